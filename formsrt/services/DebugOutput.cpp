#include "services/DebugOutput.h"

#include <string>

#include "core/Conversions.h"
#include "platform/Platform.h"

namespace formsrt {

void DebugPrint(std::wstring_view line) {
  std::string text = ToAnsi(line) + "\r\n";
  Kernel32().OutputDebugStringA(text.c_str());
}

}  // namespace formsrt
