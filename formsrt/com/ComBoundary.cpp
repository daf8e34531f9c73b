#include "ComBoundary.h"

#include <windows.h>
#include <oleauto.h>

#include <new>

#include "ComPtr.h"
#include "RuntimeError.h"

namespace formsrt {

void SetComErrorInfo(const wchar_t* source, const wchar_t* description, REFIID iid) noexcept {
  ComPtr<ICreateErrorInfo> create;
  if (FAILED(::CreateErrorInfo(create.Put()))) return;
  create->SetGUID(iid);
  create->SetSource(const_cast<LPOLESTR>(source));
  create->SetDescription(const_cast<LPOLESTR>(description));
  ComPtr<IErrorInfo> info;
  if (SUCCEEDED(create.As(info))) ::SetErrorInfo(0, info.Get());
}

HRESULT ReportCurrentException(const wchar_t* source, REFIID iid) noexcept {
  try {
    throw;
  } catch (const RuntimeError& e) {
    SetComErrorInfo(source, e.Description().c_str(), iid);
    // Numbers outside the 16-bit code field are HRESULTs of outside objects.
    bool isHresult = e.Number() < 0 || e.Number() > 0xFFFF;
    return isHresult ? static_cast<HRESULT>(e.Number()) : HresultFromErrorNumber(e.Number());
  } catch (const ComError& e) {
    ::SetErrorInfo(0, nullptr);
    return e.Result();
  } catch (const std::bad_alloc&) {
    ::SetErrorInfo(0, nullptr);
    return E_OUTOFMEMORY;
  } catch (...) {
    ::SetErrorInfo(0, nullptr);
    return E_UNEXPECTED;
  }
}

}  // namespace formsrt
