// Helpers of the forms tests.
#pragma once

#include <windows.h>

#include "com/RuntimeError.h"

namespace forms_test {

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

}  // namespace forms_test
