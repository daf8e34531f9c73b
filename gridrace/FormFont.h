// A font for a form's standard controls, given by face name and size in
// points, as a form's design names it. The platform substitutes the nearest
// face when it lacks the named one. Owns the font handle; it must outlive
// the windows that use it.
#pragma once

#include <windows.h>

#include <string_view>

namespace gridrace {

class FormFont {
 public:
  FormFont(std::wstring_view faceName, double points);
  ~FormFont();
  FormFont(const FormFont&) = delete;
  FormFont& operator=(const FormFont&) = delete;

  void ApplyTo(HWND window) const;

 private:
  HFONT font_;
};

}  // namespace gridrace
