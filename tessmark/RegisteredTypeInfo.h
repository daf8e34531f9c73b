// The type information of an interface of a registered type library of
// another module, read on first use: an object that implements an outside
// library's dual interface serves its IDispatch part from it.
#pragma once

#include <windows.h>
#include <oaidl.h>

#include "com/ComPtr.h"

namespace tessmark {

class RegisteredTypeInfo {
 public:
  RegisteredTypeInfo(const GUID& libraryId, WORD majorVersion, WORD minorVersion, const IID& iid)
      : libraryId_(libraryId),
        majorVersion_(majorVersion),
        minorVersion_(minorVersion),
        iid_(iid) {}

  // Raises the platform's failure when the library is not registered.
  ITypeInfo* Get();

  // IDispatch, answered from the type information.
  HRESULT GetTypeInfo(UINT index, ITypeInfo** out) noexcept;
  HRESULT GetIDsOfNames(LPOLESTR* names, UINT count, DISPID* ids) noexcept;
  HRESULT Invoke(void* instance, DISPID id, REFIID riid, WORD flags, DISPPARAMS* params,
                 VARIANT* result, EXCEPINFO* excepInfo, UINT* argErr) noexcept;

 private:
  GUID libraryId_;
  WORD majorVersion_;
  WORD minorVersion_;
  IID iid_;
  formsrt::ComPtr<ITypeInfo> info_;
};

}  // namespace tessmark
