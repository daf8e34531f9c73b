// Runs the test thread's messages, as a program's message loop would, for a
// while or until a condition holds.
#pragma once

#include <windows.h>

#include <functional>

namespace forms_test {

// Returns whether `done` became true within `timeoutMs`.
bool PumpMessagesUntil(const std::function<bool()>& done, DWORD timeoutMs);
void PumpMessagesFor(DWORD milliseconds);

}  // namespace forms_test
