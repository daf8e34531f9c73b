// Debug output: a line of text to the debugger's channel.
#pragma once

#include <string_view>

namespace formsrt {

// Sends the line, in the system's 8-bit code page and ended by CR LF,
// through OutputDebugStringA.
void DebugPrint(std::wstring_view line);

}  // namespace formsrt
