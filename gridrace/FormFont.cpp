#include "FormFont.h"

#include <cmath>
#include <string>

#include "platform/Platform.h"
#include "forms/WindowDC.h"

namespace gridrace {

namespace {

int PixelHeight(double points) {
  formsrt::WindowDC screen(nullptr);
  int dpi = formsrt::Gdi32().GetDeviceCaps(screen.Get(), LOGPIXELSY);
  return -static_cast<int>(std::lround(points * dpi / 72.0));
}

HFONT NewFont(std::wstring_view faceName, double points) {
  std::wstring face(faceName);
  return formsrt::Gdi32().CreateFontW(PixelHeight(points), 0, 0, 0, FW_NORMAL, FALSE, FALSE,
                                      FALSE, DEFAULT_CHARSET, OUT_DEFAULT_PRECIS,
                                      CLIP_DEFAULT_PRECIS, DEFAULT_QUALITY,
                                      DEFAULT_PITCH | FF_DONTCARE, face.c_str());
}

}  // namespace

FormFont::FormFont(std::wstring_view faceName, double points)
    : font_(NewFont(faceName, points)) {}

void FormFont::ApplyTo(HWND window) const {
  formsrt::User32().SendMessageW(window, WM_SETFONT, reinterpret_cast<WPARAM>(font_.Get()), TRUE);
}

}  // namespace gridrace
