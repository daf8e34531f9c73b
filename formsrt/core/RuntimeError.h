// The runtime's error model: an operation that fails raises a RuntimeError
// carrying the runtime's error number; the COM boundary turns it into
// 0x800A0000 | number with the standard description.
#pragma once

#include <windows.h>

#include <exception>
#include <string>

namespace formsrt {

namespace error {
inline constexpr long InvalidProcedureCall = 5;
inline constexpr long Overflow = 6;
inline constexpr long OutOfMemory = 7;
inline constexpr long SubscriptOutOfRange = 9;
inline constexpr long TypeMismatch = 13;
inline constexpr long FileNotFound = 53;
inline constexpr long ObjectNotSet = 91;
inline constexpr long InvalidPropertyValue = 380;
inline constexpr long ObjectRequired = 424;
inline constexpr long CannotCreateObject = 429;
inline constexpr long MemberNotSupported = 438;
inline constexpr long ArgumentNotOptional = 449;
inline constexpr long WrongArgumentCount = 450;
inline constexpr long AutomationError = 440;
}  // namespace error

// The runtime's standard text for an error number.
std::wstring StandardErrorText(long number);

// The HRESULT that carries a runtime error number to a COM client.
constexpr HRESULT HresultFromErrorNumber(long number) {
  return MAKE_HRESULT(SEVERITY_ERROR, FACILITY_CONTROL, number & 0xFFFF);
}

class RuntimeError : public std::exception {
 public:
  explicit RuntimeError(long number) : RuntimeError(number, StandardErrorText(number)) {}
  RuntimeError(long number, std::wstring description)
      : number_(number), description_(std::move(description)) {}

  long Number() const { return number_; }
  const std::wstring& Description() const { return description_; }
  const char* what() const noexcept override { return "run-time error"; }

 private:
  long number_;
  std::wstring description_;
};

// A failure that has no runtime number of its own: the HRESULT goes to the
// client as it is (E_NOTIMPL, E_INVALIDARG, an outside object's own code).
class ComError : public std::exception {
 public:
  explicit ComError(HRESULT hr) : hr_(hr) {}
  HRESULT Result() const { return hr_; }
  const char* what() const noexcept override { return "COM error"; }

 private:
  HRESULT hr_;
};

[[noreturn]] void Raise(long number);

// Raises a ComError when hr is a failure.
void ThrowIfFailed(HRESULT hr);

// Raises the calling thread's last Win32 error as a ComError, right after a
// platform call that failed.
[[noreturn]] void ThrowLastError();

}  // namespace formsrt
