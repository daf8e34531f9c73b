// The registration of the Quennet library: one control class.
#include "Quennet.h"
#include "QuennetCtl.h"
#include "QuennetMessages.h"
#include "QuennetResources.h"
#include "com/ServerRegistration.h"

namespace {

const formsrt::ControlRegistration kControl{
    quennet::QuennetCtl::kMiscStatus,
    IDB_QUENNETCTL,
};

const formsrt::CoClassRegistration kClasses[] = {
    {CLSID_QuennetCtl, L"Quennet.QuennetCtl", L"QuennetCtl", quennet::QuennetCtl::Create,
     &kControl},
};

}  // namespace

namespace formsrt {

const ServerRegistration& ThisServer() {
  static const ServerRegistration server{LIBID_Quennet, 18, 0, quennet::kLibraryTitle, kClasses, 1};
  return server;
}

}  // namespace formsrt
