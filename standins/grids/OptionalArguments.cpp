#include "OptionalArguments.h"

#include "core/Bstr.h"
#include "core/RuntimeError.h"
#include "core/Variant.h"

namespace standins {

namespace error = formsrt::error;

namespace {

bool IsOmitted(const VARIANT& argument) {
  return V_VT(&argument) == VT_ERROR && V_ERROR(&argument) == DISP_E_PARAMNOTFOUND;
}

}  // namespace

void RequireOmitted(const VARIANT& argument, const wchar_t* name) {
  if (IsOmitted(argument)) return;
  throw formsrt::RuntimeError(error::InvalidProcedureCall,
                              std::wstring(L"The argument ") + name +
                                  L" is not supported by this stand-in and must be omitted");
}

std::wstring OptionalText(const VARIANT& argument) {
  if (IsOmitted(argument)) return {};
  formsrt::Variant text;
  if (FAILED(::VariantChangeType(text.Put(), const_cast<VARIANT*>(&argument), 0, VT_BSTR))) {
    formsrt::Raise(error::TypeMismatch);
  }
  return formsrt::Bstr::Copy(V_BSTR(&text.Get())).Str();
}

}  // namespace standins
