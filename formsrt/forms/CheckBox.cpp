#include "forms/CheckBox.h"

#include "core/RuntimeError.h"
#include "forms/Screen.h"
#include "forms/WindowClass.h"
#include "platform/Platform.h"

namespace formsrt {

namespace {

// BST_UNCHECKED, BST_CHECKED and BST_INDETERMINATE are 0, 1 and 2, as are
// the values; BS_3STATE lets the runtime decide what a click does.
constexpr DWORD kStyle = WS_CHILD | WS_VISIBLE | WS_TABSTOP | BS_3STATE;

void RequireCheckValue(short value) {
  if (value < check_value::Unchecked || value > check_value::Grayed) {
    Raise(error::InvalidPropertyValue);
  }
}

}  // namespace

CheckBox::CheckBox(HWND parent, const TwipsRect& bounds, std::wstring_view caption, short value) {
  RequireCheckValue(value);
  window_ =
      CreateRuntimeWindow({L"BUTTON", L"", kStyle, 0, Screen::PixelsFromTwips(bounds), parent});
  SetCaption(caption);
  ShowValue(value);
  AttachTo(Handle());
}

CheckBox::~CheckBox() { DetachFrom(Handle()); }

std::wstring CheckBox::Caption() const { return WindowText(Handle()); }

void CheckBox::SetCaption(std::wstring_view caption) { SetWindowTextTo(Handle(), caption); }

short CheckBox::Value() const {
  return static_cast<short>(formsrt::User32().SendMessageW(Handle(), BM_GETCHECK, 0, 0));
}

void CheckBox::SetValue(short value) {
  RequireCheckValue(value);
  if (value == Value()) return;
  ShowValue(value);
  if (onClick) onClick();
}

void CheckBox::OnCommand(WORD notification) {
  if (notification != BN_CLICKED) return;
  SetValue(Value() == check_value::Checked ? check_value::Unchecked : check_value::Checked);
}

void CheckBox::ShowValue(short value) { formsrt::User32().SendMessageW(Handle(), BM_SETCHECK, value, 0); }

}  // namespace formsrt
