#include "com/ComBoundary.h"

#include <windows.h>
#include <oleauto.h>

#include <new>
#include <string>

#include "com/ComPtr.h"
#include "core/RuntimeError.h"

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

namespace {

// Numbers outside the 16-bit code field are HRESULTs of outside objects.
HRESULT ResultOf(const RuntimeError& e) {
  bool isHresult = e.Number() < 0 || e.Number() > 0xFFFF;
  return isHresult ? static_cast<HRESULT>(e.Number()) : HresultFromErrorNumber(e.Number());
}

// What the platform's dispatch gives a caller for a failed member: the
// error in the caller's EXCEPINFO. A text that cannot be allocated is left
// out rather than thrown: this runs where nothing may escape.
HRESULT DescribeInExcepInfo(EXCEPINFO* info, const wchar_t* source, const RuntimeError& e) noexcept {
  const std::wstring& description = e.Description();
  *info = {};
  info->scode = ResultOf(e);
  info->bstrSource = ::SysAllocString(source);
  info->bstrDescription =
      ::SysAllocStringLen(description.data(), static_cast<UINT>(description.size()));
  ::SetErrorInfo(0, nullptr);
  return DISP_E_EXCEPTION;
}

}  // namespace

HRESULT ReportCurrentException(const wchar_t* source, REFIID iid, EXCEPINFO* excepInfo) noexcept {
  try {
    throw;
  } catch (const RuntimeError& e) {
    if (excepInfo) return DescribeInExcepInfo(excepInfo, source, e);
    SetComErrorInfo(source, e.Description().c_str(), iid);
    return ResultOf(e);
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
