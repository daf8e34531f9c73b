#include "com/EarlyBound.h"

#include <oleauto.h>

#include "core/Bstr.h"
#include "com/ComPtr.h"
#include "com/LateBound.h"

namespace formsrt {

void CheckCall(HRESULT hr) {
  if (SUCCEEDED(hr)) return;
  EXCEPINFO info{};
  info.scode = hr;
  ComPtr<IErrorInfo> errorInfo;
  if (::GetErrorInfo(0, errorInfo.Put()) == S_OK && errorInfo) {
    errorInfo->GetDescription(&info.bstrDescription);
  }
  Bstr description = Bstr::Attach(info.bstrDescription);
  info.bstrDescription = description.Get();
  RaiseInvokeFailure(DISP_E_EXCEPTION, info);
}

}  // namespace formsrt
