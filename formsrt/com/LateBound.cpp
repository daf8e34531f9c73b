#include "com/LateBound.h"

#include <dispex.h>

#include <algorithm>
#include <vector>

#include "core/Bstr.h"
#include "core/RuntimeError.h"

namespace formsrt {

namespace {

// Owns the strings that a callee puts into an EXCEPINFO.
class ExcepInfo {
 public:
  ExcepInfo() = default;
  ExcepInfo(const ExcepInfo&) = delete;
  ExcepInfo& operator=(const ExcepInfo&) = delete;
  ~ExcepInfo() {
    ::SysFreeString(info_.bstrSource);
    ::SysFreeString(info_.bstrDescription);
    ::SysFreeString(info_.bstrHelpFile);
  }
  EXCEPINFO* Put() { return &info_; }
  EXCEPINFO& Get() { return info_; }

 private:
  EXCEPINFO info_{};
};

long NumberFromHresult(HRESULT hr) {
  if (HRESULT_FACILITY(hr) == FACILITY_CONTROL) return HRESULT_CODE(hr);
  switch (hr) {
    case DISP_E_MEMBERNOTFOUND:
    case DISP_E_UNKNOWNNAME:
    case E_NOINTERFACE:
    case E_NOTIMPL:
      return error::MemberNotSupported;
    case DISP_E_TYPEMISMATCH: return error::TypeMismatch;
    case DISP_E_OVERFLOW: return error::Overflow;
    case DISP_E_BADPARAMCOUNT: return error::WrongArgumentCount;
    case DISP_E_PARAMNOTOPTIONAL: return error::ArgumentNotOptional;
    case DISP_E_BADINDEX: return error::SubscriptOutOfRange;
    case E_OUTOFMEMORY: return error::OutOfMemory;
    case E_INVALIDARG: return error::InvalidProcedureCall;
    default: return hr;  // an outside object's own code, passed on as it is
  }
}

[[noreturn]] void RaiseFromHresult(HRESULT hr) {
  long number = NumberFromHresult(hr);
  if (number == hr) throw RuntimeError(number, StandardErrorText(error::AutomationError));
  throw RuntimeError(number);
}

}  // namespace

void RaiseInvokeFailure(HRESULT hr, EXCEPINFO& info) {
  if (hr != DISP_E_EXCEPTION) RaiseFromHresult(hr);
  if (info.pfnDeferredFillIn) info.pfnDeferredFillIn(&info);
  HRESULT code = info.scode ? info.scode : MAKE_HRESULT(SEVERITY_ERROR, FACILITY_CONTROL, info.wCode);
  long number = NumberFromHresult(code);
  if (info.bstrDescription && ::SysStringLen(info.bstrDescription) > 0) {
    throw RuntimeError(number, Bstr::Copy(info.bstrDescription).Str());
  }
  RaiseFromHresult(code);
}

ComPtr<IDispatch> RequireObject(const VARIANT& holder) {
  const VARIANT* v = &holder;
  while (V_VT(v) == (VT_BYREF | VT_VARIANT)) {
    v = V_VARIANTREF(v);
    if (!v) Raise(error::ObjectRequired);
  }
  switch (V_VT(v)) {
    case VT_DISPATCH:
      if (!V_DISPATCH(v)) Raise(error::ObjectNotSet);
      return ComPtr<IDispatch>(V_DISPATCH(v));
    case VT_BYREF | VT_DISPATCH:
      if (!V_DISPATCHREF(v) || !*V_DISPATCHREF(v)) Raise(error::ObjectNotSet);
      return ComPtr<IDispatch>(*V_DISPATCHREF(v));
    case VT_UNKNOWN:
    case VT_BYREF | VT_UNKNOWN: {
      IUnknown* unknown = V_VT(v) == VT_UNKNOWN ? V_UNKNOWN(v)
                                                : (V_UNKNOWNREF(v) ? *V_UNKNOWNREF(v) : nullptr);
      if (!unknown) Raise(error::ObjectNotSet);
      ComPtr<IDispatch> dispatch;
      if (FAILED(unknown->QueryInterface(IID_IDispatch, dispatch.PutVoid()))) {
        Raise(error::MemberNotSupported);
      }
      return dispatch;
    }
    default:
      Raise(error::ObjectRequired);
  }
}

namespace {

struct FoundMember {
  HRESULT result;
  DISPID id;
  bool ofScript;  // found through IDispatchEx
};

// A script object (IDispatchEx) is asked as its language would ask itself:
// ignoring case, so that "hWnd" finds a member spelt hwnd. Any other object
// matches names as its GetIDsOfNames does, exactly or not.
FoundMember FindMember(IDispatch* object, const wchar_t* name) {
  DISPID id = DISPID_UNKNOWN;
  ComPtr<IDispatchEx> script;
  if (SUCCEEDED(object->QueryInterface(__uuidof(IDispatchEx), script.PutVoid())) && script) {
    Bstr scriptName{std::wstring_view(name)};
    if (SUCCEEDED(script->GetDispID(scriptName.Get(), fdexNameCaseInsensitive, &id))) {
      return {S_OK, id, true};
    }
  }
  auto* nameText = const_cast<LPOLESTR>(name);
  HRESULT hr = object->GetIDsOfNames(IID_NULL, &nameText, 1, LOCALE_USER_DEFAULT, &id);
  return {hr, id, false};
}

FoundMember RequireMember(IDispatch* object, const wchar_t* name) {
  if (!object) Raise(error::ObjectNotSet);
  FoundMember found = FindMember(object, name);
  if (FAILED(found.result)) {
    RaiseFromHresult(found.result == DISP_E_UNKNOWNNAME ? DISP_E_MEMBERNOTFOUND : found.result);
  }
  return found;
}

}  // namespace

DISPID LookupMember(IDispatch* object, const wchar_t* name) {
  return RequireMember(object, name).id;
}

bool KnowsMember(IDispatch* object, const wchar_t* name) {
  return object && SUCCEEDED(FindMember(object, name).result);
}

Variant InvokeMember(IDispatch* object, DISPID member, WORD flags,
                     std::span<const VARIANT> arguments) {
  if (!object) Raise(error::ObjectNotSet);
  // DISPPARAMS lists the arguments last to first. A few arguments (the
  // usual case, and the hot one in a fill loop) need no allocation.
  constexpr size_t kFewArguments = 4;
  VARIANTARG few[kFewArguments];
  std::vector<VARIANTARG> many;
  VARIANTARG* reversed = few;
  if (arguments.size() > kFewArguments) {
    many.resize(arguments.size());
    reversed = many.data();
  }
  std::reverse_copy(arguments.begin(), arguments.end(), reversed);
  DISPID putId = DISPID_PROPERTYPUT;
  DISPPARAMS params{reversed, nullptr, static_cast<UINT>(arguments.size()), 0};
  if (flags & (DISPATCH_PROPERTYPUT | DISPATCH_PROPERTYPUTREF)) {
    params.rgdispidNamedArgs = &putId;
    params.cNamedArgs = 1;
  }
  Variant result;
  ExcepInfo excepInfo;
  UINT argErr = 0;
  bool wantsResult = !(flags & (DISPATCH_PROPERTYPUT | DISPATCH_PROPERTYPUTREF));
  HRESULT hr = object->Invoke(member, IID_NULL, LOCALE_USER_DEFAULT, flags, &params,
                              wantsResult ? result.Put() : nullptr, excepInfo.Put(), &argErr);
  if (FAILED(hr)) RaiseInvokeFailure(hr, excepInfo.Get());
  return result;
}

namespace {

std::span<const VARIANT> AsSpan(std::initializer_list<VARIANT> list) {
  return {list.begin(), list.size()};
}

}  // namespace

Variant GetProperty(IDispatch* object, DISPID member, std::initializer_list<VARIANT> indexes) {
  return InvokeMember(object, member, DISPATCH_PROPERTYGET | DISPATCH_METHOD, AsSpan(indexes));
}

// A script reads a property as a property only: its objects take a read
// that may also be a call for a call (and fail it when the member is a value).
Variant GetProperty(IDispatch* object, const wchar_t* name) {
  FoundMember member = RequireMember(object, name);
  if (!member.ofScript) return GetProperty(object, member.id);
  return InvokeMember(object, member.id, DISPATCH_PROPERTYGET, {});
}

void PutProperty(IDispatch* object, DISPID member, const VARIANT& value,
                 std::initializer_list<VARIANT> indexes) {
  // The put value comes after the indexes. A few indexes (a cell's row and
  // column, in a fill loop) need no allocation.
  VARIANT few[4];
  std::vector<VARIANT> many;
  VARIANT* arguments = few;
  if (indexes.size() >= std::size(few)) {
    many.resize(indexes.size() + 1);
    arguments = many.data();
  }
  std::copy(indexes.begin(), indexes.end(), arguments);
  arguments[indexes.size()] = value;
  InvokeMember(object, member, DISPATCH_PROPERTYPUT,
               std::span<const VARIANT>(arguments, indexes.size() + 1));
}

void PutProperty(IDispatch* object, const wchar_t* name, const VARIANT& value) {
  PutProperty(object, LookupMember(object, name), value);
}

Variant CallMethod(IDispatch* object, DISPID member, std::initializer_list<VARIANT> arguments) {
  return InvokeMember(object, member, DISPATCH_METHOD, AsSpan(arguments));
}

Variant CallMethod(IDispatch* object, const wchar_t* name,
                   std::initializer_list<VARIANT> arguments) {
  return CallMethod(object, LookupMember(object, name), arguments);
}

}  // namespace formsrt
