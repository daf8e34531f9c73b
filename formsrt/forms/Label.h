// A label: a STATIC child window showing its caption ("&" marks an access
// key). Without SS_NOTIFY a static control lets mouse presses through to the
// form beneath it, as a label should.
#pragma once

#include <windows.h>

#include <string>
#include <string_view>

#include "forms/TwipsRect.h"
#include "forms/WindowHandle.h"

namespace formsrt {

class Label {
 public:
  Label(HWND parent, const TwipsRect& bounds, std::wstring_view caption);

  HWND Handle() const { return window_.Get(); }
  std::wstring Caption() const;
  void SetCaption(std::wstring_view caption);

 private:
  WindowHandle window_;
};

}  // namespace formsrt
