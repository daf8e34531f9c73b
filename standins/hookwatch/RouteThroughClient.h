// How one client's WindowProc and the procedure below it combine for one
// message. "Below" is what handled the message before the client attached:
// the clients attached earlier and, under them all, the window's previous
// window procedure.
#pragma once

#include <windows.h>

#include <functional>

#include "Hookwatch.h"
#include "WindowMessage.h"

namespace hookwatch {

// Reads the client's MsgResponse once, before its WindowProc runs, then calls
// WindowProc and `below` as that response says and returns the message's
// result:
//   hwPreviousThenClient (0, and any value not listed): below, then
//     WindowProc; the result is below's.
//   hwClientThenPrevious (1): WindowProc, then below; the result is below's.
//   hwClientOnly (2): WindowProc only; the result is WindowProc's.
// A client whose MsgResponse fails counts as hwPreviousThenClient. A failing
// WindowProc never swallows the message: with hwClientOnly, below runs in its
// place.
LRESULT RouteThroughClient(ISubClass& client, const WindowMessage& message,
                           const std::function<LRESULT()>& below);

}  // namespace hookwatch
