// A command button: a BUTTON child window. "&" in the caption marks its
// access key (Alt+key clicks it while the form's messages go through the
// runtime's message loop).
#pragma once

#include <windows.h>

#include <functional>
#include <string>
#include <string_view>

#include "forms/CommandTarget.h"
#include "forms/TwipsRect.h"
#include "forms/WindowHandle.h"

namespace formsrt {

class CommandButton : private CommandTarget {
 public:
  CommandButton(HWND parent, const TwipsRect& bounds, std::wstring_view caption);
  ~CommandButton();

  HWND Handle() const { return window_.Get(); }
  std::wstring Caption() const;
  void SetCaption(std::wstring_view caption);

  std::function<void()> onClick;

 private:
  void OnCommand(WORD notification) override;

  WindowHandle window_;
};

}  // namespace formsrt
