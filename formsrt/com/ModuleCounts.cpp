#include "com/ModuleCounts.h"

#include <atomic>

#include "core/RuntimeError.h"
#include "com/TypeInformation.h"
#include "platform/Platform.h"

extern "C" IMAGE_DOS_HEADER __ImageBase;

namespace formsrt {

namespace {

std::atomic<long> g_objects{0};
std::atomic<long> g_locks{0};

}  // namespace

HMODULE ThisModule() { return reinterpret_cast<HMODULE>(&__ImageBase); }

std::wstring ThisModulePath() {
  std::wstring path(MAX_PATH, L'\0');
  for (;;) {
    DWORD length = formsrt::Kernel32().GetModuleFileNameW(ThisModule(), path.data(), static_cast<DWORD>(path.size()));
    if (length == 0) ThrowLastError();
    if (length < path.size()) {
      path.resize(length);
      return path;
    }
    path.resize(path.size() * 2);
  }
}

void ObjectCreated() { ++g_objects; }
void ObjectDestroyed() { --g_objects; }
void LockModule() { ++g_locks; }
void UnlockModule() { --g_locks; }
long ActiveObjectCount() { return g_objects; }
long ModuleLockCount() { return g_locks; }

// Decided under the type information cache's lock, so that no other
// apartment can load type information between the answer and the release.
HRESULT CanUnloadServer() noexcept {
  return ReleaseTypeInformationIf([] { return g_objects == 0 && g_locks == 0; }) ? S_OK : S_FALSE;
}

}  // namespace formsrt
