#include "RouteThroughClient.h"

namespace hookwatch {

HookwatchResponse ReadResponse(ISubClass& client) {
  HookwatchResponse response = hwPreviousThenClient;
  if (FAILED(client.get_MsgResponse(&response))) return hwPreviousThenClient;
  return response;
}

// The interface carries 32-bit values: on the 64-bit target the upper halves
// of wParam and lParam do not reach the client.
bool CallClientWindowProc(ISubClass& client, const WindowMessage& message, LONG* result) {
  *result = 0;
  return SUCCEEDED(client.WindowProc(LongFromHandle(message.window),
                                     static_cast<LONG>(message.message),
                                     static_cast<LONG>(message.wParam),
                                     static_cast<LONG>(message.lParam), result));
}

}  // namespace hookwatch
