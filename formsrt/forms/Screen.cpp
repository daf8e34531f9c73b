#include "forms/Screen.h"

#include <cmath>

#include "platform/Platform.h"
#include "forms/WindowDC.h"

namespace formsrt {

namespace {

constexpr float kTwipsPerInch = 1440.0f;
constexpr int kDefaultPixelsPerInch = 96;  // USER_DEFAULT_SCREEN_DPI of later headers

int ScreenPixelsPerInch(int axis) {
  WindowDC screen(nullptr);
  int dpi = screen.Get() ? Gdi32().GetDeviceCaps(screen.Get(), axis) : 0;
  return dpi > 0 ? dpi : kDefaultPixelsPerInch;
}

}  // namespace

float Screen::TwipsPerPixelX() { return kTwipsPerInch / ScreenPixelsPerInch(LOGPIXELSX); }

float Screen::TwipsPerPixelY() { return kTwipsPerInch / ScreenPixelsPerInch(LOGPIXELSY); }

double Screen::WidthTwips() {
  return static_cast<double>(formsrt::User32().GetSystemMetrics(SM_CXSCREEN)) * TwipsPerPixelX();
}

double Screen::HeightTwips() {
  return static_cast<double>(formsrt::User32().GetSystemMetrics(SM_CYSCREEN)) * TwipsPerPixelY();
}

int Screen::PixelsFromTwipsX(double twips) {
  return static_cast<int>(std::lround(twips / TwipsPerPixelX()));
}

int Screen::PixelsFromTwipsY(double twips) {
  return static_cast<int>(std::lround(twips / TwipsPerPixelY()));
}

RECT Screen::PixelsFromTwips(const TwipsRect& bounds) {
  int left = PixelsFromTwipsX(bounds.left);
  int top = PixelsFromTwipsY(bounds.top);
  return {left, top, left + PixelsFromTwipsX(bounds.width), top + PixelsFromTwipsY(bounds.height)};
}

}  // namespace formsrt
