// A display of the given pixels to the inch across and down, through the
// platform seam, while this lives. At 96 across and 120 down a pixel is 15
// twips wide and 12 high, so code that takes one axis for the other shows;
// at 1,440 a pixel is a twip, so every twip of a layout shows.
#pragma once

#include "platform/Platform.h"

namespace testing_support {

class DisplayDpi {
 public:
  DisplayDpi(int across, int down);

 private:
  static int WINAPI GetDeviceCaps(HDC dc, int index);

  formsrt::PlatformOverride<formsrt::Gdi32Api> gdi32_{formsrt::Gdi32()};
};

}  // namespace testing_support
