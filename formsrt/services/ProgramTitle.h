// The running program's title: its file name without the extension
// ("Tessmark" for Tessmark.exe), as the standard error report shows it.
#pragma once

#include <string>

namespace formsrt {

std::wstring ProgramTitle();

}  // namespace formsrt
