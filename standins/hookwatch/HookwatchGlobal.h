// The HookwatchGlobal class: the application-global object through which a
// client attaches messages of its windows to its ISubClass implementation.
#pragma once

#include <windows.h>

namespace hookwatch {

HRESULT CreateHookwatchGlobal(REFIID iid, void** object);

}  // namespace hookwatch
