#include "services/ProgramTitle.h"
#include "platform/Platform.h"

#include <windows.h>

namespace formsrt {

std::wstring ProgramTitle() {
  wchar_t path[MAX_PATH] = {};
  DWORD length = formsrt::Kernel32().GetModuleFileNameW(nullptr, path, MAX_PATH);
  std::wstring name(path, length);
  size_t folderEnd = name.find_last_of(L"\\/");
  if (folderEnd != std::wstring::npos) name.erase(0, folderEnd + 1);
  size_t extension = name.rfind(L'.');
  if (extension != std::wstring::npos) name.erase(extension);
  return name;
}

}  // namespace formsrt
