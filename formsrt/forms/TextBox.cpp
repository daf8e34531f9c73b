#include "forms/TextBox.h"

#include <algorithm>

#include "core/RuntimeError.h"
#include "forms/Screen.h"
#include "forms/WindowClass.h"
#include "platform/Platform.h"

namespace formsrt {

namespace {

constexpr DWORD kSingleLineStyle = ES_AUTOHSCROLL;
constexpr DWORD kMultiLineStyle = ES_MULTILINE | ES_AUTOVSCROLL | ES_WANTRETURN | WS_VSCROLL;

struct Selection {
  DWORD start = 0;
  DWORD end = 0;
};

Selection CurrentSelection(HWND edit) {
  Selection selection;
  formsrt::User32().SendMessageW(edit, EM_GETSEL, reinterpret_cast<WPARAM>(&selection.start),
                 reinterpret_cast<LPARAM>(&selection.end));
  return selection;
}

void RequireNonNegative(long value) {
  if (value < 0) Raise(error::InvalidPropertyValue);
}

}  // namespace

TextBox::TextBox(HWND parent, const TwipsRect& bounds, bool multiLine) {
  DWORD style = WS_CHILD | WS_VISIBLE | WS_TABSTOP | (multiLine ? kMultiLineStyle : kSingleLineStyle);
  window_ = CreateRuntimeWindow(
      {L"EDIT", L"", style, WS_EX_CLIENTEDGE, Screen::PixelsFromTwips(bounds), parent});
  // 0 lifts the limit to the platform's maximum; the default is 32,767.
  formsrt::User32().SendMessageW(Handle(), EM_SETLIMITTEXT, 0, 0);
}

std::wstring TextBox::Text() const { return WindowText(Handle()); }

void TextBox::SetText(std::wstring_view text) { SetWindowTextTo(Handle(), text); }

long TextBox::SelStart() const { return static_cast<long>(CurrentSelection(Handle()).start); }

void TextBox::SetSelStart(long start) {
  RequireNonNegative(start);
  long caret = std::min(start, TextLength());
  Select(caret, caret);
}

long TextBox::SelLength() const {
  Selection selection = CurrentSelection(Handle());
  return static_cast<long>(selection.end - selection.start);
}

void TextBox::SetSelLength(long length) {
  RequireNonNegative(length);
  long start = SelStart();
  Select(start, start + std::min(length, TextLength() - start));
}

void TextBox::SetSelText(std::wstring_view text) {
  std::wstring terminated(text);
  formsrt::User32().SendMessageW(Handle(), EM_REPLACESEL, TRUE, reinterpret_cast<LPARAM>(terminated.c_str()));
}

long TextBox::TextLength() const { return formsrt::User32().GetWindowTextLengthW(Handle()); }

void TextBox::Select(long start, long end) { formsrt::User32().SendMessageW(Handle(), EM_SETSEL, start, end); }

}  // namespace formsrt
