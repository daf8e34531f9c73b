#include "OpenedMixer.h"

#include "platform/Platform.h"

namespace vanterbox {

OpenedMixer::OpenedMixer(HMIXER& handleVariable) {
  // Device 0, no callback, no instance data, flags 0: the device is named by
  // its identifier. The new handle replaces whatever the variable held.
  open_ = formsrt::Winmm().mixerOpen(&handleVariable, 0, 0, 0, 0) == MMSYSERR_NOERROR;
  if (open_) opened_ = handleVariable;
}

OpenedMixer::~OpenedMixer() {
  if (open_) formsrt::Winmm().mixerClose(opened_);
}

}  // namespace vanterbox
