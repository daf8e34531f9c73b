// The HookwatchGlobal class: the application-global object through which a
// client attaches messages of its windows to its ISubClass implementation.
// One object serves each thread: creating it again while it lives gives the
// same object.
#pragma once

#include <windows.h>

namespace hookwatch {

HRESULT CreateHookwatchGlobal(REFIID iid, void** object);

}  // namespace hookwatch
