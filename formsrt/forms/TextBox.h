// A text box: an EDIT child window without a practical length limit (up to
// the platform's maximum, far above a million characters). Selection
// positions are 0-based character offsets.
#pragma once

#include <windows.h>

#include <string>
#include <string_view>

#include "forms/TwipsRect.h"
#include "forms/WindowHandle.h"

namespace formsrt {

class TextBox {
 public:
  TextBox(HWND parent, const TwipsRect& bounds, bool multiLine = false);

  HWND Handle() const { return window_.Get(); }

  std::wstring Text() const;
  void SetText(std::wstring_view text);

  // Setting the start collapses the selection to a caret there; setting the
  // length selects that many characters from the start. Both are clipped to
  // the text; a negative value raises error 380 (Invalid property value).
  long SelStart() const;
  void SetSelStart(long start);
  long SelLength() const;
  void SetSelLength(long length);
  // Replaces the selection (or inserts at the caret) and leaves the caret
  // after the inserted text.
  void SetSelText(std::wstring_view text);

 private:
  long TextLength() const;
  void Select(long start, long end);

  WindowHandle window_;
};

}  // namespace formsrt
