// The classes of Hookwatch.dll, as registration and DllGetClassObject see them.
#include "Hookwatch.h"
#include "HookwatchGlobal.h"
#include "HookwatchTimer.h"
#include "LibraryTitle.h"
#include "com/ServerRegistration.h"

namespace {

using formsrt::CoClassRegistration;

const CoClassRegistration kClasses[] = {
    {CLSID_HookwatchGlobal, L"HookwatchLib.HookwatchGlobal", L"HookwatchGlobal",
     hookwatch::CreateHookwatchGlobal, nullptr},
    {CLSID_HookwatchTimer, L"HookwatchLib.HookwatchTimer", L"HookwatchTimer",
     hookwatch::CreateHookwatchTimer, nullptr},
};

}  // namespace

namespace formsrt {

const ServerRegistration& ThisServer() {
  static const ServerRegistration server{LIBID_HookwatchLib, 1, 0, hookwatch::kLibraryTitle, kClasses, 2};
  return server;
}

}  // namespace formsrt
