#include "forms/Label.h"

#include "forms/Screen.h"
#include "forms/WindowClass.h"

namespace formsrt {

Label::Label(HWND parent, const TwipsRect& bounds, std::wstring_view caption) {
  window_ = CreateRuntimeWindow(
      {L"STATIC", L"", WS_CHILD | WS_VISIBLE | SS_LEFT, 0, Screen::PixelsFromTwips(bounds), parent});
  SetCaption(caption);
}

std::wstring Label::Caption() const { return WindowText(Handle()); }

void Label::SetCaption(std::wstring_view caption) { SetWindowTextTo(Handle(), caption); }

}  // namespace formsrt
