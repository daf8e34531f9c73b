// The HookwatchTimer class: an interval timer whose ThatTime event reaches
// the sinks connected to its connection point, on the creating thread.
#pragma once

#include <windows.h>

namespace hookwatch {

HRESULT CreateHookwatchTimer(REFIID iid, void** object);

}  // namespace hookwatch
