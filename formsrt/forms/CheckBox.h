// A check box: a BUTTON child window. Its value is 0 (cleared), 1 (ticked)
// or 2 (greyed). onClick follows every change of the value, whether the user
// clicked or the program set it; a click on a ticked box clears it, a click
// on a cleared or greyed box ticks it.
#pragma once

#include <windows.h>

#include <functional>
#include <string>
#include <string_view>

#include "forms/CommandTarget.h"
#include "forms/TwipsRect.h"
#include "forms/WindowHandle.h"

namespace formsrt {

namespace check_value {
inline constexpr short Unchecked = 0;
inline constexpr short Checked = 1;
inline constexpr short Grayed = 2;
}  // namespace check_value

class CheckBox : private CommandTarget {
 public:
  CheckBox(HWND parent, const TwipsRect& bounds, std::wstring_view caption,
           short value = check_value::Unchecked);
  ~CheckBox();

  HWND Handle() const { return window_.Get(); }
  std::wstring Caption() const;
  void SetCaption(std::wstring_view caption);

  short Value() const;
  // Raises error 380 (Invalid property value) outside 0 to 2.
  void SetValue(short value);

  std::function<void()> onClick;

 private:
  void OnCommand(WORD notification) override;
  void ShowValue(short value);

  WindowHandle window_;
};

}  // namespace formsrt
