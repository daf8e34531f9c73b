// How one client's WindowProc and the procedure below it combine for one
// message. "Below" is what handled the message before the client attached:
// the clients attached earlier and, under them all, the window's previous
// window procedure.
#pragma once

#include <windows.h>

#include "Hookwatch.h"
#include "WindowMessage.h"

namespace hookwatch {

// The client's MsgResponse; hwPreviousThenClient when reading it fails.
HookwatchResponse ReadResponse(ISubClass& client);

// Calls the client's WindowProc; false when it fails.
bool CallClientWindowProc(ISubClass& client, const WindowMessage& message, LONG* result);

// Reads the client's MsgResponse once, before its WindowProc runs, then calls
// WindowProc and `below` as that response says and returns the message's
// result:
//   hwPreviousThenClient (0, and any value not listed): below, then
//     WindowProc; the result is below's.
//   hwClientThenPrevious (1): WindowProc, then below; the result is below's.
//   hwClientOnly (2): WindowProc only; the result is WindowProc's.
// A failing WindowProc never swallows the message: with hwClientOnly, below
// runs in its place. Nothing here allocates, so nothing can throw once a
// message is on its way.
template <class Below>
LRESULT RouteThroughClient(ISubClass& client, const WindowMessage& message, const Below& below) {
  LONG clientResult = 0;
  switch (ReadResponse(client)) {
    case hwClientOnly:
      if (CallClientWindowProc(client, message, &clientResult)) return clientResult;
      return below();
    case hwClientThenPrevious:
      CallClientWindowProc(client, message, &clientResult);
      return below();
    default: {
      LRESULT result = below();
      CallClientWindowProc(client, message, &clientResult);
      return result;
    }
  }
}

}  // namespace hookwatch
