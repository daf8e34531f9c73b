#include "FormFont.h"

#include <cmath>
#include <string>

namespace gridrace {

namespace {

int PixelHeight(double points) {
  HDC screen = ::GetDC(nullptr);
  int dpi = ::GetDeviceCaps(screen, LOGPIXELSY);
  ::ReleaseDC(nullptr, screen);
  return -static_cast<int>(std::lround(points * dpi / 72.0));
}

}  // namespace

FormFont::FormFont(std::wstring_view faceName, double points) {
  std::wstring face(faceName);
  font_ = ::CreateFontW(PixelHeight(points), 0, 0, 0, FW_NORMAL, FALSE, FALSE, FALSE,
                        DEFAULT_CHARSET, OUT_DEFAULT_PRECIS, CLIP_DEFAULT_PRECIS, DEFAULT_QUALITY,
                        DEFAULT_PITCH | FF_DONTCARE, face.c_str());
}

FormFont::~FormFont() {
  if (font_) ::DeleteObject(font_);
}

void FormFont::ApplyTo(HWND window) const {
  ::SendMessageW(window, WM_SETFONT, reinterpret_cast<WPARAM>(font_), TRUE);
}

}  // namespace gridrace
