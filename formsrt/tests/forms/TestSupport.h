// Helpers of the forms tests.
#pragma once

#include <windows.h>

#include <functional>

#include "com/RuntimeError.h"

namespace forms_test {

// Runs the test thread's messages, as a program's message loop would, for a
// while or until a condition holds.

// Returns whether `done` became true within `timeoutMs`.
bool PumpMessagesUntil(const std::function<bool()>& done, DWORD timeoutMs);
void PumpMessagesFor(DWORD milliseconds);

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
