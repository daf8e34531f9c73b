#include "FuzzTargets.h"

#include <psapi.h>

#include "ProcessRunner.h"
#include "QuennetCtl.h"
#include "SoakModuleLibrary.h"
#include "Vanterbox.h"
#include "com/ModuleCounts.h"
#include "com/ServerRegistration.h"
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
// through IRuntimeForm. It has no ProgID: hosts make it in process. The one
// fuzzed is the form whose menu the other arguments hold, so that its
// PopupMenu runs with a menu of its own.
HRESULT ArgumentForm(const FuzzArguments& arguments, REFIID iid, void** object) {
  return arguments.Form()->QueryInterface(iid, object);
}

HRESULT CreateQuennetCtl(const FuzzArguments&, REFIID iid, void** object) {
  return quennet::QuennetCtl::Create(iid, object);
}

// Wine mints a new mixer handle on every open and refuses them from the
// 512th of a process on, far fewer than a fuzz of qzMixerVolume makes. Its
// soak module (the library built with a counting seam) hands out one real
// handle of device 0 on every open, so that every call reaches the mixer.
const soak::SoakModuleLibrary& MixerSoakModule() {
  static const soak::SoakModuleLibrary module(
      (testing_support::ExecutableFolder() + L"soak\\soak_vanterbox.dll").c_str(), {});
  return module;
}

HRESULT CreateMixerVolume(const FuzzArguments&, REFIID iid, void** object) {
  return MixerSoakModule().ClassObject(CLSID_qzMixerVolume)->CreateInstance(nullptr, iid, object);
}

bool MixerSoakModuleIsIdle() {
  long objects = 0, locks = 0;
  MixerSoakModule().ComCounts(objects, locks);
  return objects == 0 && locks == 0;
}

using Settings = std::vector<std::pair<std::wstring, formsrt::Variant>>;

// Saved streams other than a new control's: every property away from its
// default, an empty tip, and tips long and not ASCII.
std::vector<Settings> QuennetCtlSettings() {
  using formsrt::Variant;
  return {
      {},
      {{L"QuietErrors", Variant::FromBool(true)},
       {L"STxMenu", Variant::FromBool(false)},
       {L"STxTrayTTT", Variant::FromText(L"")}},
      {{L"STxTrayTTT", Variant::FromText(std::wstring(5000, L'x') + L"end")}},
      {{L"STxTrayTTT", Variant::FromText(L"Gr\u00FC\u00DFe \u65E5\u672C \u2713 \U0001F600")}},
  };
}

}  // namespace

// QuennetCtl is made from its own code in this process: its shell, desktop
// and message-box members then run against the fakes that the dispatch test
// puts in this module's seam, so none of its members is skipped. The other
// classes have no member that starts a program, changes the desktop or shows
// a box, and run from their registered libraries (the grid stand-ins from
// GridStandins.ocx), but for qzMixerVolume, made from its soak module. The runtime's form is fuzzed too, with a menu of its
// own among the arguments: the modal menu that its PopupMenu shows is closed
// by the test's MenuCloser, so nothing is skipped there either.
const std::vector<FuzzTarget>& FuzzTargets() {
  static const std::vector<FuzzTarget> targets = {
      {L"Quennet.QuennetCtl", CreateQuennetCtl, nullptr, L"STxTrayTTT", {}, {},
       QuennetCtlSettings()},
      {L"Vanterbox.qzMixerVolume", CreateMixerVolume, MixerSoakModuleIsIdle, L"GetMainVolume",
       {L"SetMainVolume"}, {}, {{}}},
      {L"HookwatchLib.HookwatchGlobal", nullptr, nullptr, L"AttachmentCount",
       {L"AttachMessage", L"DetachMessage"}, {}, {{}}},
      {L"HookwatchLib.HookwatchTimer", nullptr, nullptr, L"Interval", {}, {}, {{}}},
      {L"ComctlLib.ListView", nullptr, nullptr, L"ListItems", {}, {}, {{}}},
      {L"MSFlexGridLib.MSFlexGrid", nullptr, nullptr, L"Rows", {}, {}, {{}}},
      {L"CorvantisGrid.cvntGrid", nullptr, nullptr, L"Rows", {L"Clear"}, {}, {{}}},
      {L"formsrt.Form", ArgumentForm, nullptr, L"Caption", {}, {}, {{}}},
  };
  return targets;
}

HRESULT Create(const FuzzTarget& target, const FuzzArguments& arguments, REFIID iid,
               void** object) {
  if (target.createInProcess) return target.createInProcess(arguments, iid, object);
  CLSID clsid;
  HRESULT hr = ::CLSIDFromProgID(target.progId.c_str(), &clsid);
  if (FAILED(hr)) return hr;
  return ::CoCreateInstance(clsid, nullptr, CLSCTX_INPROC_SERVER, iid, object);
}

bool ServerIsIdle(const FuzzTarget& target) {
  if (target.libraryIsIdle) return target.libraryIsIdle();
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

}  // namespace hardening
