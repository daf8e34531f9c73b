// One wrapper per COM entry point: whatever the body throws becomes an
// HRESULT with IErrorInfo set, so no C++ exception crosses the boundary.
#pragma once

#include <windows.h>
#include <oleauto.h>

#include <utility>

namespace formsrt {

// Describes the failure being handled by the current catch block to COM and
// returns its HRESULT: a RuntimeError as 0x800A0000 | number with the
// runtime's text, std::bad_alloc as E_OUTOFMEMORY, a ComError as its HRESULT.
// Given an EXCEPINFO (IDispatch::Invoke), a RuntimeError is described there
// instead and the result is DISP_E_EXCEPTION, as the platform's dispatch does.
HRESULT ReportCurrentException(const wchar_t* source, REFIID iid,
                               EXCEPINFO* excepInfo = nullptr) noexcept;

// Sets the thread's IErrorInfo (source, description, interface).
void SetComErrorInfo(const wchar_t* source, const wchar_t* description, REFIID iid) noexcept;

// The boundary of IDispatch::Invoke: whatever the body throws becomes the
// HRESULT of ReportCurrentException with the caller's EXCEPINFO (which may be
// null). A body that succeeds leaves no error information behind, not even
// that of a failure it trapped on the way.
template <class Body>
HRESULT DispatchBoundary(const wchar_t* source, REFIID iid, EXCEPINFO* excepInfo,
                         Body&& body) noexcept {
  try {
    body();
    ::SetErrorInfo(0, nullptr);
    return S_OK;
  } catch (...) {
    return ReportCurrentException(source, iid, excepInfo);
  }
}

// The boundary of every other COM entry point.
template <class Body>
HRESULT ComBoundary(const wchar_t* source, REFIID iid, Body&& body) noexcept {
  return DispatchBoundary(source, iid, nullptr, std::forward<Body>(body));
}

}  // namespace formsrt
