// What an in-process server of the suite declares about itself, and what
// its exported entry points do with it: self-registration under the machine's
// or the current user's classes, and the class object of each class.
#pragma once

#include <windows.h>

#include <string>

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

std::wstring GuidText(const GUID& guid);

}  // namespace formsrt
