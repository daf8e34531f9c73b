// The run-time error, or the COM failure, a piece of test code raises.
#pragma once

#include <windows.h>

#include "core/RuntimeError.h"

namespace testing_support {

// The number of the run-time error that body raised; 0 when it raised none.
template <class Body>
long ErrorNumberOf(Body&& body) {
  try {
    body();
  } catch (const formsrt::RuntimeError& failure) {
    return failure.Number();
  }
  return 0;
}

// The HRESULT of the ComError that body raised; S_OK when it raised none.
template <class Body>
HRESULT ComErrorOf(Body&& body) {
  try {
    body();
  } catch (const formsrt::ComError& failure) {
    return failure.Result();
  }
  return S_OK;
}

}  // namespace testing_support
