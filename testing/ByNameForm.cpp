#include "ByNameForm.h"

#include <olectl.h>

#include <cwctype>
#include <cwchar>
#include <string>

#include "core/Conversions.h"
#include "com/QueryObject.h"
#include "core/RuntimeError.h"
#include "core/Variant.h"
#include "forms/Screen.h"

namespace testing_support {

namespace {

constexpr wchar_t kClassName[] = L"SuiteByNameForm";

// DISPID i + 1 is member i.
constexpr const wchar_t* kMembers[] = {L"hWnd",        L"Icon",  L"PopupMenu", L"WindowState",
                                       L"Width",       L"Height", L"Move"};
enum Member : DISPID { kHwnd = 1, kIcon, kPopupMenu, kWindowState, kWidth, kHeight, kMove };

void RegisterWindowClass() {
  WNDCLASSEXW windowClass{};
  windowClass.cbSize = sizeof(windowClass);
  windowClass.lpfnWndProc = ::DefWindowProcW;
  windowClass.hInstance = ::GetModuleHandleW(nullptr);
  windowClass.hbrBackground = ::GetSysColorBrush(COLOR_BTNFACE);
  windowClass.lpszClassName = kClassName;
  ::RegisterClassExW(&windowClass);  // fails harmlessly once registered
}

formsrt::ComPtr<IPictureDisp> IconPicture(HICON icon) {
  PICTDESC description{};
  description.cbSizeofstruct = sizeof(description);
  description.picType = PICTYPE_ICON;
  description.icon.hicon = icon;
  formsrt::ComPtr<IPictureDisp> picture;
  formsrt::ThrowIfFailed(
      ::OleCreatePictureIndirect(&description, IID_IPictureDisp, FALSE, picture.PutVoid()));
  return picture;
}

// An argument as a number of twips; VariantChangeType looks through references.
HRESULT ToTwips(const VARIANT& argument, double& twips) {
  VARIANT converted;
  ::VariantInit(&converted);
  HRESULT hr = ::VariantChangeType(&converted, const_cast<VARIANT*>(&argument), 0, VT_R8);
  if (SUCCEEDED(hr)) twips = V_R8(&converted);
  return hr;
}

const VARIANT& Dereferenced(const VARIANT& argument) {
  const VARIANT* value = &argument;
  while (V_VT(value) == (VT_BYREF | VT_VARIANT) && V_VARIANTREF(value)) value = V_VARIANTREF(value);
  return *value;
}

}  // namespace

formsrt::ComPtr<ByNameForm> ByNameForm::Create(const wchar_t* caption, NameMatching names) {
  return formsrt::ComPtr<ByNameForm>::Attach(new ByNameForm(caption, names));
}

ByNameForm::ByNameForm(const wchar_t* caption, NameMatching names)
    : names_(names), icon_(::LoadIconW(nullptr, IDI_INFORMATION)) {
  RegisterWindowClass();
  window_ = ::CreateWindowExW(0, kClassName, caption, WS_OVERLAPPEDWINDOW | WS_VISIBLE, 120, 120,
                              320, 240, nullptr, nullptr, ::GetModuleHandleW(nullptr), nullptr);
  if (!window_) throw formsrt::ComError(HRESULT_FROM_WIN32(::GetLastError()));
  picture_ = IconPicture(icon_);
}

ByNameForm::~ByNameForm() { ::DestroyWindow(window_); }

STDMETHODIMP ByNameForm::QueryInterface(REFIID iid, void** out) {
  if (names_ == NameMatching::ScriptInLowerCase) {
    return formsrt::QueryObject<formsrt::Offer<IDispatchEx, IDispatch>>(this, iid, out);
  }
  return formsrt::QueryObject<IDispatch>(this, iid, out);
}

STDMETHODIMP_(ULONG) ByNameForm::Release() {
  ULONG left = --references_;
  if (left == 1 && onLastOtherRelease) onLastOtherRelease();
  if (left == 0) delete this;
  return left;
}

STDMETHODIMP ByNameForm::GetTypeInfoCount(UINT* count) {
  if (!count) return E_POINTER;
  *count = 0;
  return S_OK;
}

STDMETHODIMP ByNameForm::GetTypeInfo(UINT, LCID, ITypeInfo** info) {
  if (!info) return E_POINTER;
  *info = nullptr;
  return DISP_E_BADINDEX;
}

DISPID ByNameForm::MemberNamed(const wchar_t* name, bool ignoringCase) const {
  if (!name) return DISPID_UNKNOWN;
  for (DISPID member = kHwnd; member <= kMove; ++member) {
    if (member == kHwnd && !knowsWindowHandle) continue;
    std::wstring spelt = kMembers[member - 1];
    if (names_ == NameMatching::ScriptInLowerCase) {
      for (wchar_t& c : spelt) c = static_cast<wchar_t>(std::towlower(c));
    }
    bool same = ignoringCase ? formsrt::EqualsOrdinalIgnoringCase(name, spelt.c_str())
                             : std::wcscmp(name, spelt.c_str()) == 0;
    if (same) return member;
  }
  return DISPID_UNKNOWN;
}

// Only member names: a further name (an argument's) is unknown.
STDMETHODIMP ByNameForm::GetIDsOfNames(REFIID, LPOLESTR* names, UINT count, LCID, DISPID* ids) {
  if (names_ == NameMatching::ScriptInLowerCase) return E_NOTIMPL;
  if (!names || !ids) return E_POINTER;
  for (UINT i = 0; i < count; ++i) ids[i] = DISPID_UNKNOWN;
  if (count == 0) return DISP_E_UNKNOWNNAME;
  ids[0] = MemberNamed(names[0], names_ == NameMatching::IgnoringCase);
  return ids[0] != DISPID_UNKNOWN && count == 1 ? S_OK : DISP_E_UNKNOWNNAME;
}

STDMETHODIMP ByNameForm::GetDispID(BSTR name, DWORD flags, DISPID* id) {
  if (!id) return E_POINTER;
  *id = MemberNamed(name, flags & fdexNameCaseInsensitive);
  return *id != DISPID_UNKNOWN ? S_OK : DISP_E_UNKNOWNNAME;
}

STDMETHODIMP ByNameForm::Invoke(DISPID id, REFIID iid, LCID, WORD flags, DISPPARAMS* params,
                                VARIANT* result, EXCEPINFO*, UINT*) {
  if (result) ::VariantInit(result);
  if (iid != IID_NULL) return DISP_E_UNKNOWNINTERFACE;
  if (!params || (params->cArgs != 0 && !params->rgvarg) || params->cNamedArgs > params->cArgs ||
      (params->cNamedArgs != 0 && !params->rgdispidNamedArgs)) {
    return E_INVALIDARG;
  }
  if (id < kHwnd || id > kMove || (id == kHwnd && !knowsWindowHandle)) return DISP_E_MEMBERNOTFOUND;
  bool put = flags & DISPATCH_PROPERTYPUT;
  if (put) {
    if (id != kWindowState) return DISP_E_MEMBERNOTFOUND;
    if (params->cArgs != 1 || params->cNamedArgs != 1 ||
        params->rgdispidNamedArgs[0] != DISPID_PROPERTYPUT) {
      return DISP_E_BADPARAMCOUNT;
    }
    return PutWindowState(params->rgvarg[0]);
  }
  if (params->cNamedArgs != 0) return DISP_E_NONAMEDARGS;
  // A script calls a value member that is asked for as a method too, and
  // fails: its language reads a property as a property only.
  bool method = id == kMove || id == kPopupMenu;
  if (names_ == NameMatching::ScriptInLowerCase && !method && (flags & DISPATCH_METHOD)) {
    return E_FAIL;
  }
  if (id == kMove) return Move(*params);
  if (id == kPopupMenu) {
    return params->cArgs == 1 ? PopupMenu(params->rgvarg[0]) : DISP_E_BADPARAMCOUNT;
  }
  if (params->cArgs != 0) return DISP_E_BADPARAMCOUNT;
  return Get(id, result);
}

HRESULT ByNameForm::Get(DISPID id, VARIANT* result) {
  if (id == kHwnd && FAILED(windowHandleFailure)) return windowHandleFailure;
  if (!result) return S_OK;
  RECT bounds{};
  ::GetWindowRect(window_, &bounds);
  switch (id) {
    case kHwnd: formsrt::Variant::FromInt32(HandleToLong(window_)).MoveTo(result); break;
    case kIcon: formsrt::Variant::FromDispatch(picture_.Get()).MoveTo(result); break;
    case kWindowState:
      formsrt::Variant::FromInt16(::IsIconic(window_) ? 1 : ::IsZoomed(window_) ? 2 : 0).MoveTo(result);
      break;
    case kWidth:
    case kHeight:
      V_VT(result) = VT_R4;
      V_R4(result) = id == kWidth ? (bounds.right - bounds.left) * formsrt::Screen::TwipsPerPixelX()
                                  : (bounds.bottom - bounds.top) * formsrt::Screen::TwipsPerPixelY();
      break;
  }
  return S_OK;
}

HRESULT ByNameForm::PutWindowState(const VARIANT& value) {
  static constexpr int kShowCommands[] = {SW_RESTORE, SW_MINIMIZE, SW_MAXIMIZE};
  VARIANT state;
  ::VariantInit(&state);
  HRESULT hr = ::VariantChangeType(&state, const_cast<VARIANT*>(&value), 0, VT_I2);
  if (FAILED(hr)) return hr;
  if (V_I2(&state) < 0 || V_I2(&state) > 2) {
    return formsrt::HresultFromErrorNumber(formsrt::error::InvalidPropertyValue);
  }
  ::ShowWindow(window_, kShowCommands[V_I2(&state)]);
  return S_OK;
}

// Move(Left[, Top[, Width[, Height]]]) in twips; what is left out stays.
HRESULT ByNameForm::Move(const DISPPARAMS& params) {
  if (params.cArgs < 1 || params.cArgs > 4) return DISP_E_BADPARAMCOUNT;
  RECT bounds{};
  ::GetWindowRect(window_, &bounds);
  float perPixelX = formsrt::Screen::TwipsPerPixelX();
  float perPixelY = formsrt::Screen::TwipsPerPixelY();
  double twips[4] = {bounds.left * perPixelX, bounds.top * perPixelY,
                     (bounds.right - bounds.left) * perPixelX,
                     (bounds.bottom - bounds.top) * perPixelY};
  for (UINT i = 0; i < params.cArgs; ++i) {
    // DISPPARAMS lists the arguments last to first.
    HRESULT hr = ToTwips(params.rgvarg[params.cArgs - 1 - i], twips[i]);
    if (FAILED(hr)) return hr;
  }
  ::SetWindowPos(window_, nullptr, static_cast<int>(twips[0] / perPixelX),
                 static_cast<int>(twips[1] / perPixelY), static_cast<int>(twips[2] / perPixelX),
                 static_cast<int>(twips[3] / perPixelY), SWP_NOZORDER | SWP_NOACTIVATE);
  return S_OK;
}

HRESULT ByNameForm::PopupMenu(const VARIANT& menu) {
  const VARIANT& value = Dereferenced(menu);
  if (V_VT(&value) != VT_DISPATCH || !V_DISPATCH(&value)) return DISP_E_TYPEMISMATCH;
  IDispatch* object = V_DISPATCH(&value);
  {
    formsrt::ComPtr<IUnknown> identity;
    HRESULT hr = object->QueryInterface(IID_IUnknown, identity.PutVoid());
    if (FAILED(hr)) return hr;
    poppedUp_.push_back(identity.Get());
  }  // released before the handler, which may count the menu's references
  if (onPopupMenu) onPopupMenu(object);
  return S_OK;
}

}  // namespace testing_support
