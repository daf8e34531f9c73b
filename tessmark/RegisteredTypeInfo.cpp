#include "RegisteredTypeInfo.h"

#include "com/ComBoundary.h"
#include "com/TypeLibDispatch.h"

namespace tessmark {

namespace {

constexpr wchar_t kErrorSource[] = L"Tessmark";

}  // namespace

formsrt::ComPtr<ITypeInfo> RegisteredTypeInfo::Get() const {
  return formsrt::RegisteredTypeInfo(library_, iid_);
}

HRESULT RegisteredTypeInfo::GetTypeInfo(UINT index, ITypeInfo** out) noexcept {
  if (!out) return E_POINTER;
  *out = nullptr;
  if (index != 0) return DISP_E_BADINDEX;
  return formsrt::ComBoundary(kErrorSource, iid_, [&] { *out = Get().Detach(); });
}

HRESULT RegisteredTypeInfo::GetIDsOfNames(LPOLESTR* names, UINT count, DISPID* ids) noexcept {
  formsrt::ComPtr<ITypeInfo> info;
  HRESULT hr = formsrt::ComBoundary(kErrorSource, iid_, [&] { info = Get(); });
  return FAILED(hr) ? hr : ::DispGetIDsOfNames(info.Get(), names, count, ids);
}

HRESULT RegisteredTypeInfo::Invoke(void* instance, DISPID id, REFIID riid, WORD flags,
                                   DISPPARAMS* params, VARIANT* result, EXCEPINFO* excepInfo,
                                   UINT* argErr) noexcept {
  if (result) ::VariantInit(result);
  if (riid != IID_NULL) return DISP_E_UNKNOWNINTERFACE;
  formsrt::ComPtr<ITypeInfo> info;
  HRESULT hr = formsrt::ComBoundary(kErrorSource, iid_, [&] { info = Get(); });
  if (FAILED(hr)) return hr;
  return formsrt::InvokeThroughTypeInfo(info.Get(), instance, id, flags, params, result, excepInfo,
                                        argErr);
}

}  // namespace tessmark
