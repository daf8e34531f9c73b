// The type information of an interface of a registered type library of
// another module, asked of the runtime's type information cache on each
// use: an object that implements an outside library's dual interface serves
// its IDispatch part from it, and is made even while the library is missing.
#pragma once

#include <windows.h>
#include <oaidl.h>

#include "com/TypeInformation.h"

namespace tessmark {

class RegisteredTypeInfo {
 public:
  RegisteredTypeInfo(const formsrt::RegisteredLibrary& library, const IID& iid)
      : library_(library), iid_(iid) {}

  // Raises the platform's failure when the library is not registered.
  formsrt::ComPtr<ITypeInfo> Get() const;

  // IDispatch, answered from the type information.
  HRESULT GetTypeInfo(UINT index, ITypeInfo** out) noexcept;
  HRESULT GetIDsOfNames(LPOLESTR* names, UINT count, DISPID* ids) noexcept;
  HRESULT Invoke(void* instance, DISPID id, REFIID riid, WORD flags, DISPPARAMS* params,
                 VARIANT* result, EXCEPINFO* excepInfo, UINT* argErr) noexcept;

 private:
  formsrt::RegisteredLibrary library_;
  IID iid_;
};

}  // namespace tessmark
