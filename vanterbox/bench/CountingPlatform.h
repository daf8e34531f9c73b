// Wraps the real mixer open and close and the real global allocation and
// release of the platform seam with counting functions, for as long as the
// object lives.
//
// Wine mints a new handle number on every mixerOpen and never reuses one
// (its mixerClose does nothing); after 256 opens in one process the number
// spills into the device field of the handle, and from the 512th on every
// handle is refused. So that a long run keeps reaching device 0, the
// counting mixerOpen opens the device for real once and hands that handle
// out on every open; the real handle is closed when the object goes.
#pragma once

#include "platform/Platform.h"

namespace vanterbox_bench {

struct PlatformCounts {
  long mixersOpened = 0;
  long mixersClosed = 0;
  long blocksAllocated = 0;
  long blocksFreed = 0;
};

class CountingPlatform {
 public:
  CountingPlatform();
  ~CountingPlatform();
  CountingPlatform(const CountingPlatform&) = delete;
  CountingPlatform& operator=(const CountingPlatform&) = delete;

  PlatformCounts Counts() const;

 private:
  formsrt::PlatformOverride<formsrt::WinmmApi> winmm_;
  formsrt::PlatformOverride<formsrt::Kernel32Api> kernel32_;
};

}  // namespace vanterbox_bench
