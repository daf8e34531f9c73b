// Vanterbox.dll: the in-process server of qzMixerVolume. The class and the
// module live in vanterbox_core; this file only registers them.
#include "Vanterbox.h"
#include "com/ServerRegistration.h"
#include "qzMixerVolume.h"

namespace {

const formsrt::CoClassRegistration kClasses[] = {
    {CLSID_qzMixerVolume, L"Vanterbox.qzMixerVolume", L"qzMixerVolume", vanterbox::qzMixerVolume::Create,
     nullptr},
};

}  // namespace

namespace formsrt {

const ServerRegistration& ThisServer() {
  static const ServerRegistration server{LIBID_Vanterbox, 1, 0, L"Vanterbox", kClasses, 1};
  return server;
}

}  // namespace formsrt
