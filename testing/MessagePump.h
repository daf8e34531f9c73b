// The test thread's messages, run as a program's message loop runs them (a
// form's keyboard handling included).
#pragma once

#include <windows.h>

#include <functional>

namespace testing_support {

// Until `done` holds: whether it did within `timeoutMs`. The way to wait for
// something to happen.
bool PumpMessagesUntil(const std::function<bool()>& done, DWORD timeoutMs);

// For a fixed time: only where a test shows that something does not happen
// within it, or stands in for a modal loop that runs for a while.
void PumpMessagesFor(DWORD milliseconds);

}  // namespace testing_support
