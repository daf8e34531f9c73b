#include "forms/CommandButton.h"

#include "forms/Screen.h"
#include "forms/WindowClass.h"

namespace formsrt {

CommandButton::CommandButton(HWND parent, const TwipsRect& bounds, std::wstring_view caption) {
  window_ = CreateRuntimeWindow({L"BUTTON", L"", WS_CHILD | WS_VISIBLE | WS_TABSTOP | BS_PUSHBUTTON,
                                 0, Screen::PixelsFromTwips(bounds), parent});
  SetCaption(caption);
  AttachTo(Handle());
}

CommandButton::~CommandButton() { DetachFrom(Handle()); }

std::wstring CommandButton::Caption() const { return WindowText(Handle()); }

void CommandButton::SetCaption(std::wstring_view caption) { SetWindowTextTo(Handle(), caption); }

void CommandButton::OnCommand(WORD notification) {
  if (notification == BN_CLICKED && onClick) onClick();
}

}  // namespace formsrt
