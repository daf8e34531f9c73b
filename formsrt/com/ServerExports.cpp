// The four entry points of an in-process COM server, plus DllInstall for
// per-user registration ("regsvr32 /n /i:user"). Linked into every COM
// library of the suite, each of which defines ThisServer().
#include <windows.h>

#include "com/ModuleCounts.h"
#include "com/ServerRegistration.h"
#include "core/Conversions.h"

using formsrt::RegistrationScope;

extern "C" {

STDAPI DllGetClassObject(REFCLSID clsid, REFIID iid, void** object) {
  return formsrt::GetServerClassObject(formsrt::ThisServer(), clsid, iid, object);
}

STDAPI DllCanUnloadNow() { return formsrt::CanUnloadServer(); }

STDAPI DllRegisterServer() {
  return formsrt::RegisterServer(formsrt::ThisServer(), RegistrationScope::Machine);
}

STDAPI DllUnregisterServer() {
  return formsrt::UnregisterServer(formsrt::ThisServer(), RegistrationScope::Machine);
}

STDAPI DllInstall(BOOL install, LPCWSTR commandLine) {
  bool perUser = commandLine && formsrt::EqualsOrdinalIgnoringCase(commandLine, L"user");
  RegistrationScope scope = perUser ? RegistrationScope::CurrentUser : RegistrationScope::Machine;
  const formsrt::ServerRegistration& server = formsrt::ThisServer();
  return install ? formsrt::RegisterServer(server, scope) : formsrt::UnregisterServer(server, scope);
}

}  // extern "C"
