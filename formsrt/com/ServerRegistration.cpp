#include "com/ServerRegistration.h"

#include <windows.h>
#include <oleauto.h>
#include <olectl.h>

#include "com/ClassFactory.h"
#include "com/ComBoundary.h"
#include "com/ComObject.h"
#include "com/ModuleCounts.h"
#include "platform/Platform.h"
#include "com/RegistryKey.h"
#include "core/RuntimeError.h"
#include "com/TypeInformation.h"

namespace formsrt {

namespace {

// CATID_Control: the component category of ActiveX controls.
constexpr GUID kControlCategory = {
    0x40FC6ED4, 0x2438, 0x11CF, {0xA3, 0xDB, 0x08, 0x00, 0x36, 0xF1, 0x25, 0x02}};

struct ClassesRoot {
  HKEY key;
  std::wstring prefix;  // path below key where the class keys live
};

ClassesRoot RootFor(RegistrationScope scope) {
  if (scope == RegistrationScope::Machine) return {HKEY_CLASSES_ROOT, L""};
  return {HKEY_CURRENT_USER, L"Software\\Classes\\"};
}

std::wstring VersionText(const ServerRegistration& server) {
  return std::to_wstring(server.majorVersion) + L"." + std::to_wstring(server.minorVersion);
}

void WriteControlKeys(RegistryKey& classKey, const ControlRegistration& control) {
  RegistryKey::Create(classKey.Get(), L"Control");
  RegistryKey misc = RegistryKey::Create(classKey.Get(), L"MiscStatus");
  misc.SetString(nullptr, L"0");
  RegistryKey::Create(misc.Get(), L"1").SetString(nullptr, std::to_wstring(control.miscStatus));
  RegistryKey::Create(classKey.Get(), L"ToolboxBitmap32")
      .SetString(nullptr, ThisModulePath() + L", " + std::to_wstring(control.toolboxBitmapResource));
  RegistryKey::Create(classKey.Get(),
                      L"Implemented Categories\\" + GuidText(kControlCategory));
}

void WriteClassKeys(const ClassesRoot& root, const ServerRegistration& server,
                    const CoClassRegistration& coclass) {
  std::wstring clsid = GuidText(coclass.clsid);
  RegistryKey classKey = RegistryKey::Create(root.key, root.prefix + L"CLSID\\" + clsid);
  classKey.SetString(nullptr, coclass.description);
  RegistryKey inproc = RegistryKey::Create(classKey.Get(), L"InprocServer32");
  inproc.SetString(nullptr, ThisModulePath());
  inproc.SetString(L"ThreadingModel", L"Apartment");
  RegistryKey::Create(classKey.Get(), L"ProgID").SetString(nullptr, coclass.progId);
  RegistryKey::Create(classKey.Get(), L"VersionIndependentProgID").SetString(nullptr, coclass.progId);
  RegistryKey::Create(classKey.Get(), L"TypeLib").SetString(nullptr, GuidText(server.libid));
  RegistryKey::Create(classKey.Get(), L"Version").SetString(nullptr, VersionText(server));
  RegistryKey::Create(classKey.Get(), L"Programmable");
  if (coclass.control) WriteControlKeys(classKey, *coclass.control);

  RegistryKey progIdKey = RegistryKey::Create(root.key, root.prefix + coclass.progId);
  progIdKey.SetString(nullptr, coclass.description);
  RegistryKey::Create(progIdKey.Get(), L"CLSID").SetString(nullptr, clsid);
}

// Before Vista a type library cannot be registered for one user. There the
// per-user registration does without it: the classes are registered, the
// objects read the library embedded in their own module, and a tool that
// imports the library opens the module's file.
void RegisterTypeLibrary(RegistrationScope scope) {
  auto forUser = Oleaut32().RegisterTypeLibForUser;
  if (scope == RegistrationScope::CurrentUser && !forUser) return;
  std::wstring path = ThisModulePath();
  ComPtr<ITypeLib> library = ModuleTypeLibrary();
  auto* pathText = const_cast<LPOLESTR>(path.c_str());
  ThrowIfFailed(scope == RegistrationScope::Machine
                    ? ::RegisterTypeLib(library.Get(), pathText, nullptr)
                    : forUser(library.Get(), pathText, nullptr));
}

void UnregisterTypeLibrary(const ServerRegistration& server, RegistrationScope scope) {
  SYSKIND kind = sizeof(void*) == 8 ? SYS_WIN64 : SYS_WIN32;
  // A type library that is not registered is not an error here.
  if (scope == RegistrationScope::Machine) {
    ::UnRegisterTypeLib(server.libid, server.majorVersion, server.minorVersion, 0, kind);
  } else if (auto forUser = Oleaut32().UnRegisterTypeLibForUser) {
    forUser(server.libid, server.majorVersion, server.minorVersion, 0, kind);
  }
}

}  // namespace

std::wstring GuidText(const GUID& guid) {
  wchar_t text[40] = {};
  ::StringFromGUID2(guid, text, 40);
  return text;
}

HRESULT SelfRegistrationResult(HRESULT cause, HRESULT stepFailure) noexcept {
  bool contractsOwn = SUCCEEDED(cause) || cause == E_OUTOFMEMORY || cause == E_UNEXPECTED;
  return contractsOwn ? cause : stepFailure;
}

// One step of registration through the boundary of the entry points.
template <class Step>
HRESULT RegistrationStep(const ServerRegistration& server, HRESULT stepFailure, Step&& step) noexcept {
  return SelfRegistrationResult(ComBoundary(server.title, IID_NULL, std::forward<Step>(step)),
                                stepFailure);
}

HRESULT RegisterServer(const ServerRegistration& server, RegistrationScope scope) noexcept {
  HRESULT hr = RegistrationStep(server, SELFREG_E_CLASS, [&] {
    ClassesRoot root = RootFor(scope);
    for (size_t i = 0; i < server.classCount; ++i) WriteClassKeys(root, server, server.classes[i]);
  });
  if (SUCCEEDED(hr)) {
    hr = RegistrationStep(server, SELFREG_E_TYPELIB, [&] { RegisterTypeLibrary(scope); });
  }
  if (FAILED(hr)) UnregisterServer(server, scope);
  return hr;
}

HRESULT UnregisterServer(const ServerRegistration& server, RegistrationScope scope) noexcept {
  return RegistrationStep(server, SELFREG_E_CLASS, [&] {
    ClassesRoot root = RootFor(scope);
    for (size_t i = 0; i < server.classCount; ++i) {
      const CoClassRegistration& coclass = server.classes[i];
      RegistryKey::DeleteTree(root.key, root.prefix + L"CLSID\\" + GuidText(coclass.clsid));
      RegistryKey::DeleteTree(root.key, root.prefix + coclass.progId);
    }
    UnregisterTypeLibrary(server, scope);
  });
}

HRESULT GetServerClassObject(const ServerRegistration& server, REFCLSID clsid, REFIID iid,
                             void** object) noexcept {
  if (!object) return E_POINTER;
  *object = nullptr;
  for (size_t i = 0; i < server.classCount; ++i) {
    if (server.classes[i].clsid == clsid) {
      return CreateAndQuery<ClassFactory>(iid, object, server.classes[i].create);
    }
  }
  return CLASS_E_CLASSNOTAVAILABLE;
}

}  // namespace formsrt
