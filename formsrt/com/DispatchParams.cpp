#include "com/DispatchParams.h"

namespace formsrt {

namespace {

bool HoldsNullReference(const VARIANT& argument) {
  const VARIANT* value = &argument;
  while (V_VT(value) & VT_BYREF) {
    if (!V_BYREF(value)) return true;
    if (V_VT(value) != (VT_BYREF | VT_VARIANT)) return false;
    value = V_VARIANTREF(value);
  }
  return false;
}

}  // namespace

bool ContradictoryDispatchParams(const DISPPARAMS* params) {
  return !params || (params->cArgs != 0 && !params->rgvarg) ||
         params->cNamedArgs > params->cArgs ||
         (params->cNamedArgs != 0 && !params->rgdispidNamedArgs);
}

std::optional<UINT> NullReferenceArgument(const DISPPARAMS& params) {
  for (UINT i = 0; i < params.cArgs; ++i) {
    if (HoldsNullReference(params.rgvarg[i])) return i;
  }
  return std::nullopt;
}

}  // namespace formsrt
