// Program start: runs a command line and returns at once.
#pragma once

#include <windows.h>

#include <string_view>

namespace formsrt {

namespace show_style {
inline constexpr int Hidden = 0;
inline constexpr int NormalFocus = 1;
inline constexpr int MinimizedFocus = 2;
inline constexpr int MaximizedFocus = 3;
inline constexpr int NormalNoFocus = 4;
inline constexpr int MinimizedNoFocus = 6;
}  // namespace show_style

// Starts the program named by the command line's first word (quoted when it
// holds spaces; found as the platform finds programs) with the rest as its
// arguments, shows its first window as `showStyle` asks, and returns the new
// process's id without waiting for it. Raises 53 (File not found) when the
// program or its folder does not exist, 70 (Permission denied) when it may
// not be run, and 5 (Invalid procedure call or argument) for an empty command
// line, an unknown style or any other failure.
DWORD StartProgram(std::wstring_view commandLine, int showStyle);

}  // namespace formsrt
