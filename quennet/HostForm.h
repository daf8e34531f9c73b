// A form of the host, as the control uses it: an automation object made by
// any runtime or language, reached late bound by these members only, spelt
// as the control's documentation spells them:
//   "hWnd"         read: the window handle, a 32-bit signed integer
//   "Icon"         read: a picture whose handle is an icon handle
//   "PopupMenu"    method (menu): shows that menu of the form at the mouse
//   "WindowState"  read and write: 0 normal, 1 minimised, 2 maximised
//   "Width"        read: the outer width in twips
//   "Height"       read: the outer height in twips
//   "Move"         method (Left, Top): twips, each a 16-bit integer by reference
// Each name is found as the form's own language finds it (a script object
// ignoring case, any other by its GetIDsOfNames); a member the form does not
// know raises error 438 when it is used, and a failing member raises the
// form's own error. Every value is read anew at each use.
//
// The tray and flashing keep a form, and ask for one that is a form of the
// host: an IRuntimeForm (forms/RuntimeForm.idl), or an object that knows
// "hWnd". Placement and centring take any object with the members they use.
#pragma once

#include <windows.h>

#include <utility>

#include "com/ComPtr.h"

namespace quennet {

class HostForm {
 public:
  HostForm() = default;

  // The object a VARIANT holds, looking through references: error 424
  // without an object, 91 for a null reference.
  static HostForm Of(const VARIANT& holder);
  // The same, and error 13 for an object that is not a form of the host.
  static HostForm Require(const VARIANT& holder);

  explicit operator bool() const { return static_cast<bool>(object_); }

  HWND WindowHandle() const;
  HICON IconHandle() const;
  void PopupMenu(const VARIANT& menu) const;
  long WindowState() const;
  void SetWindowState(short state) const;
  double Width() const;
  double Height() const;
  void Move(short left, short top) const;

 private:
  explicit HostForm(formsrt::ComPtr<IDispatch> object) : object_(std::move(object)) {}

  formsrt::ComPtr<IDispatch> object_;
};

}  // namespace quennet
