// IDispatch for the suite's dual interfaces, driven by the type library that
// is embedded in the module, and friendly to script clients.
#pragma once

#include <windows.h>
#include <oaidl.h>

#include "com/ComPtr.h"

namespace formsrt {

// ITypeInfo::Invoke after one adaptation: a script passes its variables as
// VT_VARIANT|VT_BYREF, which the platform refuses for a typed by-reference
// parameter such as long*. Such an argument is coerced into the parameter's
// type, passed by reference, and what the member changed is written back;
// a variable the member only read keeps its value and its type.
HRESULT InvokeThroughTypeInfo(ITypeInfo* info, void* instance, DISPID id, WORD flags,
                              DISPPARAMS* params, VARIANT* result, EXCEPINFO* excepInfo,
                              UINT* argErr) noexcept;

// Implements the IDispatch part of a dual interface.
template <class Interface>
class DispatchImpl : public Interface {
 public:
  explicit DispatchImpl(ComPtr<ITypeInfo> info) : typeInfo_(std::move(info)) {}

  STDMETHODIMP GetTypeInfoCount(UINT* count) override {
    if (!count) return E_POINTER;
    *count = 1;
    return S_OK;
  }
  STDMETHODIMP GetTypeInfo(UINT index, LCID, ITypeInfo** out) override {
    if (!out) return E_POINTER;
    *out = nullptr;
    if (index != 0) return DISP_E_BADINDEX;
    return typeInfo_.CopyTo(out);
  }
  STDMETHODIMP GetIDsOfNames(REFIID, LPOLESTR* names, UINT count, LCID, DISPID* ids) override {
    return ::DispGetIDsOfNames(typeInfo_.Get(), names, count, ids);
  }
  STDMETHODIMP Invoke(DISPID id, REFIID riid, LCID, WORD flags, DISPPARAMS* params,
                      VARIANT* result, EXCEPINFO* excepInfo, UINT* argErr) override {
    if (result) ::VariantInit(result);
    if (riid != IID_NULL) return DISP_E_UNKNOWNINTERFACE;
    return InvokeThroughTypeInfo(typeInfo_.Get(), static_cast<Interface*>(this), id, flags,
                                 params, result, excepInfo, argErr);
  }

 protected:
  ITypeInfo* DispatchTypeInfo() const { return typeInfo_.Get(); }

 private:
  ComPtr<ITypeInfo> typeInfo_;
};

}  // namespace formsrt
