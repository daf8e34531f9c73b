#include "Conversions.h"

#include <windows.h>
#include <oleauto.h>

#include <new>

#include "Bstr.h"
#include "RuntimeError.h"
#include "Variant.h"

namespace formsrt {

namespace {

[[noreturn]] void RaiseConversionFailure(HRESULT hr) {
  if (hr == DISP_E_OVERFLOW) Raise(error::Overflow);
  if (hr == E_OUTOFMEMORY) throw std::bad_alloc();
  Raise(error::TypeMismatch);
}

}  // namespace

SHORT ToInt16(double value) {
  SHORT result = 0;
  HRESULT hr = ::VarI2FromR8(value, &result);
  if (FAILED(hr)) RaiseConversionFailure(hr);
  return result;
}

LONG ToInt32(double value) {
  LONG result = 0;
  HRESULT hr = ::VarI4FromR8(value, &result);
  if (FAILED(hr)) RaiseConversionFailure(hr);
  return result;
}

namespace {

Variant ChangedTo(const VARIANT& value, VARTYPE type) {
  Variant converted;
  HRESULT hr = ::VariantChangeType(converted.Put(), const_cast<VARIANT*>(&value), 0, type);
  if (FAILED(hr)) RaiseConversionFailure(hr);
  return converted;
}

}  // namespace

LONG ToInt32(const VARIANT& value) { return V_I4(&ChangedTo(value, VT_I4).Get()); }

double ToDouble(const VARIANT& value) { return V_R8(&ChangedTo(value, VT_R8).Get()); }

LONG TextToInt32(std::wstring_view text) {
  Bstr input(text);
  LONG result = 0;
  HRESULT hr = ::VarI4FromStr(input.Get(), LOCALE_USER_DEFAULT, 0, &result);
  if (FAILED(hr)) RaiseConversionFailure(hr);
  return result;
}

std::wstring Int32ToText(LONG value) { return std::to_wstring(value); }

std::wstring FormatDateTime(DATE value, std::wstring_view pattern) {
  Variant date;
  V_VT(date.Raw()) = VT_DATE;
  V_DATE(date.Raw()) = value;
  Bstr format(pattern);
  Bstr result;
  HRESULT hr = ::VarFormat(date.Raw(), format.Get(), 0, 0, 0, result.Put());
  if (FAILED(hr)) RaiseConversionFailure(hr);
  return result.Str();
}

DATE CurrentLocalTime() {
  SYSTEMTIME now;
  ::GetLocalTime(&now);
  DATE value = 0;
  ::SystemTimeToVariantTime(&now, &value);
  return value;
}

int CompareIgnoringCase(std::wstring_view a, std::wstring_view b) {
  int result = ::CompareStringW(LOCALE_USER_DEFAULT, NORM_IGNORECASE, a.data(),
                                static_cast<int>(a.size()), b.data(), static_cast<int>(b.size()));
  return result - CSTR_EQUAL;
}

std::string ToAnsi(std::wstring_view text) {
  if (text.empty()) return {};
  int size = ::WideCharToMultiByte(CP_ACP, 0, text.data(), static_cast<int>(text.size()), nullptr,
                                   0, nullptr, nullptr);
  std::string result(size, '\0');
  ::WideCharToMultiByte(CP_ACP, 0, text.data(), static_cast<int>(text.size()), result.data(), size,
                        nullptr, nullptr);
  return result;
}

std::wstring FromAnsi(std::string_view text) {
  if (text.empty()) return {};
  int size = ::MultiByteToWideChar(CP_ACP, 0, text.data(), static_cast<int>(text.size()), nullptr, 0);
  std::wstring result(size, L'\0');
  ::MultiByteToWideChar(CP_ACP, 0, text.data(), static_cast<int>(text.size()), result.data(), size);
  return result;
}

}  // namespace formsrt
