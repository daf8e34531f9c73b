// A display whose pixels are not square, through the platform seam, while
// this lives: 96 pixels to the inch across and 120 down, so a pixel is 15
// twips wide and 12 high. Code that takes one axis for the other shows.
#pragma once

#include "platform/Platform.h"

namespace testing_support {

class NonSquareDisplay {
 public:
  static constexpr int kDpiAcross = 96;
  static constexpr int kDpiDown = 120;
  static constexpr float kTwipsPerPixelX = 1440.0f / kDpiAcross;  // 15
  static constexpr float kTwipsPerPixelY = 1440.0f / kDpiDown;    // 12

  NonSquareDisplay();

 private:
  static int WINAPI GetDeviceCaps(HDC dc, int index);

  formsrt::PlatformOverride<formsrt::Gdi32Api> gdi32_{formsrt::Gdi32()};
};

}  // namespace testing_support
