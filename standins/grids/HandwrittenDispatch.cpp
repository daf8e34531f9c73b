#include "HandwrittenDispatch.h"

#include "CallLog.h"
#include "core/Bstr.h"
#include "com/ComBoundary.h"
#include "com/DispatchParams.h"
#include "core/RuntimeError.h"
#include "com/TypeInformation.h"

namespace standins {

using formsrt::Bstr;
using formsrt::ComError;
using formsrt::ContradictoryDispatchParams;
using formsrt::NullReferenceArgument;

HandwrittenDispatch::HandwrittenDispatch(const wchar_t* source, REFIID dispinterface)
    : source_(source), iid_(dispinterface), typeInfo_(formsrt::ModuleTypeInfo(dispinterface)) {}

STDMETHODIMP HandwrittenDispatch::GetTypeInfoCount(UINT* count) {
  if (!count) return E_POINTER;
  *count = 1;
  return S_OK;
}

STDMETHODIMP HandwrittenDispatch::GetTypeInfo(UINT index, LCID, ITypeInfo** out) {
  if (!out) return E_POINTER;
  *out = nullptr;
  if (index != 0) return DISP_E_BADINDEX;
  return typeInfo_.CopyTo(out);
}

STDMETHODIMP HandwrittenDispatch::GetIDsOfNames(REFIID, LPOLESTR* names, UINT count, LCID,
                                                DISPID* ids) {
  return ::DispGetIDsOfNames(typeInfo_.Get(), names, count, ids);
}

STDMETHODIMP HandwrittenDispatch::Invoke(DISPID id, REFIID riid, LCID, WORD flags,
                                         DISPPARAMS* params, VARIANT* result,
                                         EXCEPINFO* excepInfo, UINT* argErr) {
  if (result) ::VariantInit(result);
  if (riid != IID_NULL) return DISP_E_UNKNOWNINTERFACE;
  if (ContradictoryDispatchParams(params)) return DISP_E_BADPARAMCOUNT;
  if (std::optional<UINT> argument = NullReferenceArgument(*params)) {
    if (argErr) *argErr = *argument;
    return DISP_E_TYPEMISMATCH;
  }
  return formsrt::DispatchBoundary(source_, iid_, excepInfo, [&] {
    // Within the boundary: the record allocates.
    if (CallLog::Recording()) CallLog::RecordInvoke(source_ + (L"." + NameOf(id)), flags, *params);
    DispatchArguments args(*params, flags);
    Dispatch(id, flags, args, result);
  });
}

void HandwrittenDispatch::NoSuchMember() { throw ComError(DISP_E_MEMBERNOTFOUND); }

std::wstring HandwrittenDispatch::NameOf(DISPID id) const {
  Bstr name;
  UINT count = 0;
  if (FAILED(typeInfo_->GetNames(id, name.Put(), 1, &count)) || count == 0) {
    return std::to_wstring(id);
  }
  return name.Str();
}

void ReturnInt32(VARIANT* result, LONG value) {
  if (!result) return;
  V_VT(result) = VT_I4;
  V_I4(result) = value;
}

void ReturnBoolean(VARIANT* result, bool value) {
  if (!result) return;
  V_VT(result) = VT_BOOL;
  V_BOOL(result) = value ? VARIANT_TRUE : VARIANT_FALSE;
}

void ReturnText(VARIANT* result, std::wstring_view text) {
  if (!result) return;
  V_BSTR(result) = Bstr(text).Detach();
  V_VT(result) = VT_BSTR;
}

}  // namespace standins

