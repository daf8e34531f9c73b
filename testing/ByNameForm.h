// A form of another forms runtime, as a host built on one hands it to a
// control: an automation object whose IDispatch answers "hWnd", "Icon",
// "PopupMenu", "WindowState", "Width", "Height" and "Move" by name (in any
// case), with no IRuntimeForm and no type information. It is backed by a
// real top-level window, shown when made and destroyed with the object.
//
// "PopupMenu" shows nothing: it records the menu object it was given and
// runs onPopupMenu, which stands for what the user picks while the menu is
// open. Arguments it cannot take are refused with DISP_E_ codes, and an
// invalid "WindowState" with run-time error 380, as such a runtime would.
#pragma once

#include <windows.h>
#include <oaidl.h>
#include <ocidl.h>

#include <functional>
#include <vector>

#include "com/ComPtr.h"

namespace testing_support {

class ByNameForm final : public IDispatch {
 public:
  static formsrt::ComPtr<ByNameForm> Create(const wchar_t* caption);

  HWND Handle() const { return window_; }
  HICON IconHandle() const { return icon_; }
  // The references held on it, the test's own included.
  ULONG References() const { return references_; }
  // The menus "PopupMenu" was given, by identity: no reference is kept.
  const std::vector<IUnknown*>& PoppedUpMenus() const { return poppedUp_; }

  std::function<void(IDispatch* menu)> onPopupMenu;
  // False: the object no longer knows "hWnd", so that it is no form, though
  // it still has an "Icon".
  bool knowsWindowHandle = true;

  // IUnknown
  STDMETHODIMP QueryInterface(REFIID iid, void** out) override;
  STDMETHODIMP_(ULONG) AddRef() override { return ++references_; }
  STDMETHODIMP_(ULONG) Release() override;
  // IDispatch
  STDMETHODIMP GetTypeInfoCount(UINT* count) override;
  STDMETHODIMP GetTypeInfo(UINT, LCID, ITypeInfo** info) override;
  STDMETHODIMP GetIDsOfNames(REFIID, LPOLESTR* names, UINT count, LCID, DISPID* ids) override;
  STDMETHODIMP Invoke(DISPID id, REFIID iid, LCID, WORD flags, DISPPARAMS* params, VARIANT* result,
                      EXCEPINFO*, UINT*) override;

 private:
  explicit ByNameForm(const wchar_t* caption);
  ~ByNameForm();

  HRESULT Get(DISPID id, VARIANT* result);
  HRESULT PutWindowState(const VARIANT& value);
  HRESULT Move(const DISPPARAMS& params);
  HRESULT PopupMenu(const VARIANT& menu);

  ULONG references_ = 1;
  HWND window_;
  HICON icon_;
  formsrt::ComPtr<IPictureDisp> picture_;
  std::vector<IUnknown*> poppedUp_;
};

}  // namespace testing_support
