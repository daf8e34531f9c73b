// Wraps the platform seam of the module it is linked into with counting
// functions, for as long as the object lives: windows, timers, global
// blocks, mixer handles, window subclasses, tray icons, the handles of a
// program start, fonts, bitmaps, icons, device contexts and the objects
// selected into them are counted as they are acquired and released.
//
// What must not happen for real in a soak is answered by fakes, and counted
// as faked: message boxes (IDOK), program starts (two real event handles
// stand for the process and its thread, so that closing them is checked),
// the shell's open verb, moving the cursor, setting the wallpaper, the
// caption move loop and arranging the desktop's icons.
//
// Wine mints a new mixer handle number on every mixerOpen and never reuses
// one, and refuses every handle from the 512th open of a process on. So
// that a long soak keeps reaching device 0, the counting mixerOpen opens the
// device for real once and hands that handle out on every open; the real
// handle is closed when the object goes.
#pragma once

#include "SeamCounts.h"
#include "platform/Platform.h"

namespace soak {

class CountingSeam {
 public:
  CountingSeam();
  ~CountingSeam();
  CountingSeam(const CountingSeam&) = delete;
  CountingSeam& operator=(const CountingSeam&) = delete;

  // Windows, timers and subclasses that ended with their window count as
  // released from the moment this reading notices it.
  SeamCounts Read();

 private:
  formsrt::PlatformOverride<formsrt::User32Api> user32_;
  formsrt::PlatformOverride<formsrt::Gdi32Api> gdi32_;
  formsrt::PlatformOverride<formsrt::Shell32Api> shell32_;
  formsrt::PlatformOverride<formsrt::Kernel32Api> kernel32_;
  formsrt::PlatformOverride<formsrt::WinmmApi> winmm_;
  formsrt::PlatformOverride<formsrt::Comctl32Api> comctl32_;
};

}  // namespace soak
