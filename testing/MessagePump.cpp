#include "MessagePump.h"

#include "forms/MessageLoop.h"

namespace testing_support {

bool PumpMessagesUntil(const std::function<bool()>& done, DWORD timeoutMs) {
  DWORD start = ::GetTickCount();
  for (;;) {
    formsrt::DispatchWaitingMessages();
    if (done()) return true;
    DWORD elapsed = ::GetTickCount() - start;
    if (elapsed >= timeoutMs) return false;
    ::MsgWaitForMultipleObjects(0, nullptr, FALSE, timeoutMs - elapsed, QS_ALLINPUT);
  }
}

void PumpMessagesFor(DWORD milliseconds) {
  PumpMessagesUntil([] { return false; }, milliseconds);
}

}  // namespace testing_support
