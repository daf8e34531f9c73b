// The in-process server plumbing that every COM library of the suite shares:
// object and lock counts, class objects, and self-registration.
#pragma once

#include <windows.h>

#include <string>

#include "ComBoundary.h"
#include "QueryObject.h"

namespace formsrt {

// What containers look for under the CLSID of an ActiveX control.
struct ControlRegistration {
  DWORD miscStatus;          // OLEMISC_* bits for DVASPECT_CONTENT
  int toolboxBitmapResource;  // bitmap resource id shown in a container's toolbox
};

struct CoClassRegistration {
  const CLSID& clsid;
  const wchar_t* progId;       // "Library.Class"
  const wchar_t* description;  // the class name
  // Creates an object and queries it for iid.
  HRESULT (*create)(REFIID iid, void** object);
  const ControlRegistration* control;  // null for a plain class
};

struct ServerRegistration {
  const GUID& libid;
  WORD majorVersion;
  WORD minorVersion;
  const wchar_t* title;  // the library's title: error source and message box caption
  const CoClassRegistration* classes;
  size_t classCount;
};

// Defined once by every COM library of the suite.
const ServerRegistration& ThisServer();

// Where registration writes: HKEY_CLASSES_ROOT for the machine, or
// HKEY_CURRENT_USER\Software\Classes for the current user only.
enum class RegistrationScope { Machine, CurrentUser };

HMODULE ThisModule();
std::wstring ThisModulePath();

void ObjectCreated();
void ObjectDestroyed();
void LockModule();
void UnlockModule();
long ActiveObjectCount();
long ModuleLockCount();

// What DllRegisterServer, DllUnregisterServer and DllInstall return when a
// step fails: their contract, which installers and regsvr32 read, names
// SELFREG_E_CLASS and SELFREG_E_TYPELIB for the step that failed, and
// E_OUTOFMEMORY and E_UNEXPECTED as themselves. Any other cause (access
// denied, a damaged library) becomes the step's code; a success stays one.
HRESULT SelfRegistrationResult(HRESULT cause, HRESULT stepFailure) noexcept;

HRESULT RegisterServer(const ServerRegistration& server, RegistrationScope scope) noexcept;
HRESULT UnregisterServer(const ServerRegistration& server, RegistrationScope scope) noexcept;
HRESULT GetServerClassObject(const ServerRegistration& server, REFCLSID clsid, REFIID iid,
                             void** object) noexcept;
// S_OK when no object and no lock remains (the type information cache is
// then released too), S_FALSE otherwise.
HRESULT CanUnloadServer() noexcept;

std::wstring GuidText(const GUID& guid);

// Base of every COM object of the suite: an apartment-confined reference
// count that starts at 1 and counts the object in the module's total.
class ComObjectBase {
 public:
  ComObjectBase(const ComObjectBase&) = delete;
  ComObjectBase& operator=(const ComObjectBase&) = delete;

 protected:
  ComObjectBase() { ObjectCreated(); }
  virtual ~ComObjectBase() { ObjectDestroyed(); }

  ULONG AddRefImpl() { return ++references_; }
  ULONG ReleaseImpl() {
    ULONG remaining = --references_;
    if (remaining == 0) delete this;
    return remaining;
  }

 private:
  ULONG references_ = 1;
};

// Creates an object of type T (reference count 1), queries it and drops the
// creation reference, so that a failed query leaves nothing behind.
template <class T, class... Args>
HRESULT CreateAndQuery(REFIID iid, void** out, Args&&... args) noexcept {
  if (!out) return E_POINTER;
  *out = nullptr;
  T* object = nullptr;
  try {
    object = new T(std::forward<Args>(args)...);
  } catch (...) {
    return ReportCurrentException(L"", iid);
  }
  HRESULT hr = object->QueryInterface(iid, out);
  object->Release();
  return hr;
}

}  // namespace formsrt
