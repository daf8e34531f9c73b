#include "FuzzTargets.h"

#include <psapi.h>

#include "QuennetCtl.h"
#include "com/ComBoundary.h"
#include "com/ComModule.h"
#include "forms/Form.h"

namespace hardening {

namespace {

std::wstring InprocServerPath(const CLSID& clsid) {
  std::wstring key = L"CLSID\\" + formsrt::GuidText(clsid) + L"\\InprocServer32";
  wchar_t path[MAX_PATH];
  DWORD size = sizeof(path);
  if (::RegGetValueW(HKEY_CLASSES_ROOT, key.c_str(), nullptr, RRF_RT_REG_SZ, nullptr, path,
                     &size) != ERROR_SUCCESS)
    return L"";
  return path;
}

// A form of the runtime, the host form that QuennetCtl and the programs drive
// through IRuntimeForm. It has no ProgID: hosts make it in process.
HRESULT CreateRuntimeForm(REFIID iid, void** object) {
  HRESULT hr = E_FAIL;
  HRESULT created = formsrt::ComBoundary(L"", iid, [&] {
    hr = formsrt::Form::Create(L"Fuzzed form", {1500, 1500, 4800, 3600})
             ->QueryInterface(iid, object);
  });
  return FAILED(created) ? created : hr;
}

}  // namespace

// QuennetCtl is made from its own code in this process: its shell, desktop
// and message-box members then run against the fakes that the dispatch test
// puts in this module's seam, so none of its members is skipped. The other
// classes have no member that starts a program, changes the desktop or shows
// a box, and run from their registered libraries (the grid stand-ins from
// GridStandins.ocx). The runtime's form is fuzzed too: its PopupMenu shows a
// modal menu, but only for a menu of the form itself, which no fuzzed call
// can reach, so nothing is skipped there either.
const std::vector<FuzzTarget>& FuzzTargets() {
  static const std::vector<FuzzTarget> targets = {
      {L"Quennet.QuennetCtl", quennet::QuennetCtl::Create, L"STxTrayTTT", {}},
      {L"Vanterbox.qzMixerVolume", nullptr, L"GetMainVolume", {}},
      {L"HookwatchLib.HookwatchGlobal", nullptr, L"AttachmentCount", {}},
      {L"HookwatchLib.HookwatchTimer", nullptr, L"Interval", {}},
      {L"ComctlLib.ListView", nullptr, L"ListItems", {}},
      {L"MSFlexGridLib.MSFlexGrid", nullptr, L"Rows", {}},
      {L"CorvantisGrid.cvntGrid", nullptr, L"Rows", {}},
      {L"formsrt.Form", CreateRuntimeForm, L"Caption", {}},
  };
  return targets;
}

HRESULT Create(const FuzzTarget& target, REFIID iid, void** object) {
  if (target.createInProcess) return target.createInProcess(iid, object);
  CLSID clsid;
  HRESULT hr = ::CLSIDFromProgID(target.progId.c_str(), &clsid);
  if (FAILED(hr)) return hr;
  return ::CoCreateInstance(clsid, nullptr, CLSCTX_INPROC_SERVER, iid, object);
}

bool ServerIsIdle(const FuzzTarget& target) {
  if (target.createInProcess)
    return formsrt::ActiveObjectCount() == 0 && formsrt::ModuleLockCount() == 0;
  CLSID clsid;
  if (FAILED(::CLSIDFromProgID(target.progId.c_str(), &clsid))) return false;
  HMODULE library = ::GetModuleHandleW(InprocServerPath(clsid).c_str());
  if (!library) return true;  // not loaded, so nothing of it lives
  auto canUnloadNow = reinterpret_cast<HRESULT(STDAPICALLTYPE*)()>(
      reinterpret_cast<void*>(::GetProcAddress(library, "DllCanUnloadNow")));
  return canUnloadNow && canUnloadNow() == S_OK;
}

bool HeapsAreIntact() {
  HANDLE heaps[256];
  DWORD count = ::GetProcessHeaps(256, heaps);
  for (DWORD i = 0; i < count && i < 256; ++i) {
    if (!::HeapValidate(heaps[i], 0, nullptr)) return false;
  }
  return true;
}

SIZE_T PrivateBytes() {
  PROCESS_MEMORY_COUNTERS_EX counters{};
  counters.cb = sizeof(counters);
  ::GetProcessMemoryInfo(::GetCurrentProcess(),
                         reinterpret_cast<PROCESS_MEMORY_COUNTERS*>(&counters), sizeof(counters));
  return counters.PrivateUsage ? counters.PrivateUsage : counters.PagefileUsage;
}

}  // namespace hardening
