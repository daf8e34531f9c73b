#include "core/Conversions.h"

#include <windows.h>
#include <oleauto.h>

#include <new>

#include "core/Bstr.h"
#include "platform/Platform.h"
#include "core/RuntimeError.h"
#include "core/Variant.h"

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
  formsrt::Kernel32().GetLocalTime(&now);
  DATE value = 0;
  ::SystemTimeToVariantTime(&now, &value);
  return value;
}

int CompareIgnoringCase(std::wstring_view a, std::wstring_view b) {
  int result = formsrt::Kernel32().CompareStringW(LOCALE_USER_DEFAULT, NORM_IGNORECASE, a.data(),
                                static_cast<int>(a.size()), b.data(), static_cast<int>(b.size()));
  return result - CSTR_EQUAL;
}

bool EqualsOrdinalIgnoringCase(std::wstring_view a, std::wstring_view b) {
  int aLength = static_cast<int>(a.size());
  int bLength = static_cast<int>(b.size());
  if (auto ordinal = Kernel32().CompareStringOrdinal) {
    return ordinal(a.data(), aLength, b.data(), bLength, TRUE) == CSTR_EQUAL;
  }
  // Before Vista: the invariant locale, which for names compares the same.
  return formsrt::Kernel32().CompareStringW(LOCALE_INVARIANT, NORM_IGNORECASE, a.data(), aLength, b.data(),
                          bLength) == CSTR_EQUAL;
}

namespace {

int AnsiSize(std::wstring_view text, UINT codePage) {
  return formsrt::Kernel32().WideCharToMultiByte(codePage, 0, text.data(), static_cast<int>(text.size()), nullptr, 0,
                               nullptr, nullptr);
}

std::string ToCodePage(std::wstring_view text, UINT codePage) {
  if (text.empty()) return {};
  int size = AnsiSize(text, codePage);
  std::string result(size, '\0');
  formsrt::Kernel32().WideCharToMultiByte(codePage, 0, text.data(), static_cast<int>(text.size()), result.data(),
                        size, nullptr, nullptr);
  return result;
}

// The length of the character at the start of text: 2 for a surrogate pair.
size_t CharacterLength(std::wstring_view text) {
  bool pair = text.size() >= 2 && IS_HIGH_SURROGATE(text[0]) && IS_LOW_SURROGATE(text[1]);
  return pair ? 2 : 1;
}

}  // namespace

std::string ToAnsi(std::wstring_view text) { return ToCodePage(text, CP_ACP); }

// Character by character: the code pages that serve as a system code page
// (single-byte, double-byte, UTF-8) convert each character on its own.
std::string ToAnsiWithin(std::wstring_view text, size_t maxBytes, UINT codePage) {
  size_t kept = 0;
  size_t bytes = 0;
  while (kept < text.size()) {
    size_t length = CharacterLength(text.substr(kept));
    size_t size = static_cast<size_t>(AnsiSize(text.substr(kept, length), codePage));
    if (bytes + size > maxBytes) break;
    bytes += size;
    kept += length;
  }
  return ToCodePage(text.substr(0, kept), codePage);
}

std::wstring FromAnsi(std::string_view text) {
  if (text.empty()) return {};
  int size = formsrt::Kernel32().MultiByteToWideChar(CP_ACP, 0, text.data(), static_cast<int>(text.size()), nullptr, 0);
  std::wstring result(size, L'\0');
  formsrt::Kernel32().MultiByteToWideChar(CP_ACP, 0, text.data(), static_cast<int>(text.size()), result.data(), size);
  return result;
}

}  // namespace formsrt
