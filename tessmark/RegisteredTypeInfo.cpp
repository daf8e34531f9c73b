#include "RegisteredTypeInfo.h"

#include "com/ComBoundary.h"
#include "com/RuntimeError.h"
#include "com/TypeLibDispatch.h"

namespace tessmark {

namespace {

constexpr wchar_t kErrorSource[] = L"Tessmark";

}  // namespace

ITypeInfo* RegisteredTypeInfo::Get() {
  if (!info_) {
    formsrt::ComPtr<ITypeLib> library;
    formsrt::ThrowIfFailed(
        ::LoadRegTypeLib(libraryId_, majorVersion_, minorVersion_, LOCALE_NEUTRAL, library.Put()));
    formsrt::ThrowIfFailed(library->GetTypeInfoOfGuid(iid_, info_.Put()));
  }
  return info_.Get();
}

HRESULT RegisteredTypeInfo::GetTypeInfo(UINT index, ITypeInfo** out) noexcept {
  if (!out) return E_POINTER;
  *out = nullptr;
  if (index != 0) return DISP_E_BADINDEX;
  return formsrt::ComBoundary(kErrorSource, iid_, [&] {
    *out = Get();
    (*out)->AddRef();
  });
}

HRESULT RegisteredTypeInfo::GetIDsOfNames(LPOLESTR* names, UINT count, DISPID* ids) noexcept {
  ITypeInfo* info = nullptr;
  HRESULT hr = formsrt::ComBoundary(kErrorSource, iid_, [&] { info = Get(); });
  return FAILED(hr) ? hr : ::DispGetIDsOfNames(info, names, count, ids);
}

HRESULT RegisteredTypeInfo::Invoke(void* instance, DISPID id, REFIID riid, WORD flags,
                                   DISPPARAMS* params, VARIANT* result, EXCEPINFO* excepInfo,
                                   UINT* argErr) noexcept {
  if (result) ::VariantInit(result);
  if (riid != IID_NULL) return DISP_E_UNKNOWNINTERFACE;
  ITypeInfo* info = nullptr;
  HRESULT hr = formsrt::ComBoundary(kErrorSource, iid_, [&] { info = Get(); });
  if (FAILED(hr)) return hr;
  return formsrt::InvokeThroughTypeInfo(info, instance, id, flags, params, result, excepInfo,
                                        argErr);
}

}  // namespace tessmark
