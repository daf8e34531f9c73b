// A font for a form's standard controls, given by face name and size in
// points, as a form's design names it. The platform substitutes the nearest
// face when it lacks the named one. Owns the font; it must outlive the
// windows that use it.
#pragma once

#include <windows.h>

#include <string_view>

#include "forms/GdiObject.h"

namespace gridrace {

class FormFont {
 public:
  FormFont(std::wstring_view faceName, double points);

  void ApplyTo(HWND window) const;

 private:
  formsrt::GdiObject<HFONT> font_;
};

}  // namespace gridrace
