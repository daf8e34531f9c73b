// The display as the forms runtime measures it: in twips, from the device's
// pixels per logical inch (a pixel is 1440 / dpi twips across).
#pragma once

#include <windows.h>

#include "forms/TwipsRect.h"

namespace formsrt {

class Screen {
 public:
  static float TwipsPerPixelX();
  static float TwipsPerPixelY();
  // The whole primary display, taskbar included (not the work area).
  static double WidthTwips();
  static double HeightTwips();

  // Conversions between twips and pixels, rounded to the nearest pixel.
  static int PixelsFromTwipsX(double twips);
  static int PixelsFromTwipsY(double twips);
  static RECT PixelsFromTwips(const TwipsRect& bounds);
};

}  // namespace formsrt
