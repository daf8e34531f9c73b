#include "core/RuntimeError.h"

#include "platform/Platform.h"

namespace formsrt {

std::wstring StandardErrorText(long number) {
  switch (number) {
    case error::InvalidProcedureCall: return L"Invalid procedure call or argument";
    case error::Overflow: return L"Overflow";
    case error::OutOfMemory: return L"Out of memory";
    case error::SubscriptOutOfRange: return L"Subscript out of range";
    case error::TypeMismatch: return L"Type mismatch";
    case error::FileNotFound: return L"File not found";
    case error::ObjectNotSet: return L"Object variable or With block variable not set";
    case error::InvalidPropertyValue: return L"Invalid property value";
    case error::ObjectRequired: return L"Object required";
    case error::CannotCreateObject: return L"ActiveX component can't create object";
    case error::MemberNotSupported: return L"Object doesn't support this property or method";
    case error::ArgumentNotOptional: return L"Argument not optional";
    case error::WrongArgumentCount:
      return L"Wrong number of arguments or invalid property assignment";
    case error::AutomationError: return L"Automation error";
    default: return L"Application-defined or object-defined error";
  }
}

void Raise(long number) { throw RuntimeError(number); }

void ThrowIfFailed(HRESULT hr) {
  if (FAILED(hr)) throw ComError(hr);
}

// Some calls fail without setting an error number; E_FAIL then, so that the
// failure never reaches a client as S_OK.
void ThrowLastError() {
  DWORD lastError = Kernel32().GetLastError();
  throw ComError(lastError == ERROR_SUCCESS ? E_FAIL : HRESULT_FROM_WIN32(lastError));
}

}  // namespace formsrt
