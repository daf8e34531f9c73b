#include "TestSupport.h"

#include "forms/MessageLoop.h"

namespace forms_test {

bool PumpMessagesUntil(const std::function<bool()>& done, DWORD timeoutMs) {
  DWORD start = ::GetTickCount();
  while (!done()) {
    DWORD elapsed = ::GetTickCount() - start;
    if (elapsed >= timeoutMs) return false;
    ::MsgWaitForMultipleObjects(0, nullptr, FALSE, timeoutMs - elapsed, QS_ALLINPUT);
    MSG message;
    while (::PeekMessageW(&message, nullptr, 0, 0, PM_REMOVE)) formsrt::DispatchFormMessage(message);
  }
  return true;
}

void PumpMessagesFor(DWORD milliseconds) {
  PumpMessagesUntil([] { return false; }, milliseconds);
}

}  // namespace forms_test
