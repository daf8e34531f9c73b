// A mixer that answers at once: for as long as the object lives, the mixer
// entry points of the platform seam are replaced by functions that do no
// more than a successful platform call must (hand out a handle, name a line
// and a control, read or keep one value). Calls of the library against it
// cost only what the library itself does, its own global blocks included.
#pragma once

#include "platform/Platform.h"

namespace vanterbox_bench {

class InstantMixer {
 public:
  InstantMixer();
  InstantMixer(const InstantMixer&) = delete;
  InstantMixer& operator=(const InstantMixer&) = delete;

 private:
  formsrt::PlatformOverride<formsrt::WinmmApi> winmm_;
};

}  // namespace vanterbox_bench
