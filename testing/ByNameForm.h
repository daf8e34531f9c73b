// A form of another forms runtime or language, as a host hands it to a
// control: an automation object that answers "hWnd", "Icon", "PopupMenu",
// "WindowState", "Width", "Height" and "Move" by name, with no IRuntimeForm
// and no type information, matching names as its language does
// (NameMatching). It is backed by a real top-level window, shown when made
// and destroyed with the object.
//
// "PopupMenu" shows nothing: it records the menu object it was given and
// runs onPopupMenu, which stands for what the user picks while the menu is
// open. Arguments it cannot take are refused with DISP_E_ codes, and an
// invalid "WindowState" with run-time error 380, as such a runtime would.
#pragma once

#include <windows.h>
#include <oaidl.h>
#include <dispex.h>
#include <ocidl.h>

#include <functional>
#include <vector>

#include "com/ComPtr.h"

namespace testing_support {

// How the form's language matches member names.
enum class NameMatching {
  // GetIDsOfNames in any case, as a classic forms runtime does.
  IgnoringCase,
  // GetIDsOfNames only as spelt above, as a C++ form may.
  Exact,
  // A script object whose author spelt every member in lower case: no
  // GetIDsOfNames (E_NOTIMPL), and IDispatchEx::GetDispID exactly, or in any
  // case with fdexNameCaseInsensitive.
  ScriptInLowerCase,
};

class ByNameForm final : public IDispatchEx {
 public:
  static formsrt::ComPtr<ByNameForm> Create(const wchar_t* caption,
                                            NameMatching names = NameMatching::IgnoringCase);

  HWND Handle() const { return window_; }
  HICON IconHandle() const { return icon_; }
  // The references held on it, the test's own included.
  ULONG References() const { return references_; }
  // The menus "PopupMenu" was given, by identity: no reference is kept.
  const std::vector<IUnknown*>& PoppedUpMenus() const { return poppedUp_; }

  std::function<void(IDispatch* menu)> onPopupMenu;
  // Runs when a release leaves the test's own reference only.
  std::function<void()> onLastOtherRelease;
  // False: the object no longer knows "hWnd", so that it is no form, though
  // it still has an "Icon".
  bool knowsWindowHandle = true;
  // A failure: reading "hWnd" fails with it, as a form that went away would.
  HRESULT windowHandleFailure = S_OK;

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
  // IDispatchEx, offered by a ScriptInLowerCase form only
  STDMETHODIMP GetDispID(BSTR name, DWORD flags, DISPID* id) override;
  STDMETHODIMP InvokeEx(DISPID id, LCID locale, WORD flags, DISPPARAMS* params, VARIANT* result,
                        EXCEPINFO* excepInfo, IServiceProvider*) override {
    return Invoke(id, IID_NULL, locale, flags, params, result, excepInfo, nullptr);
  }
  STDMETHODIMP DeleteMemberByName(BSTR, DWORD) override { return E_NOTIMPL; }
  STDMETHODIMP DeleteMemberByDispID(DISPID) override { return E_NOTIMPL; }
  STDMETHODIMP GetMemberProperties(DISPID, DWORD, DWORD*) override { return E_NOTIMPL; }
  STDMETHODIMP GetMemberName(DISPID, BSTR*) override { return E_NOTIMPL; }
  STDMETHODIMP GetNextDispID(DWORD, DISPID, DISPID*) override { return E_NOTIMPL; }
  STDMETHODIMP GetNameSpaceParent(IUnknown**) override { return E_NOTIMPL; }

 private:
  ByNameForm(const wchar_t* caption, NameMatching names);
  // The member a name stands for, or DISPID_UNKNOWN.
  DISPID MemberNamed(const wchar_t* name, bool ignoringCase) const;
  ~ByNameForm();

  HRESULT Get(DISPID id, VARIANT* result);
  HRESULT PutWindowState(const VARIANT& value);
  HRESULT Move(const DISPPARAMS& params);
  HRESULT PopupMenu(const VARIANT& menu);

  ULONG references_ = 1;
  NameMatching names_;
  HWND window_;
  HICON icon_;
  formsrt::ComPtr<IPictureDisp> picture_;
  std::vector<IUnknown*> poppedUp_;
};

}  // namespace testing_support
