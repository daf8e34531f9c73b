// The type information that the suite's objects answer IDispatch from, and
// the one cache that holds it. A library comes from one of three places:
// the module's own (its TYPELIB resource 1), the forms runtime's (TYPELIB 2,
// embedded in every module that creates forms), or a library that another
// module registered. Each library is loaded once, and each type's
// information asked of it once; both stay in the cache until
// ReleaseTypeInformation(), which a server calls when it can unload. Every
// load and every release of a library happens under the cache's lock.
#pragma once

#include <windows.h>
#include <oaidl.h>

#include "com/ComPtr.h"

namespace formsrt {

// A library registered by another module, by its LIBID and version.
struct RegisteredLibrary {
  GUID libid;
  WORD majorVersion;
  WORD minorVersion;
};

// Each raises a ComError with the platform's failure: a module without
// that resource, a library that is not registered, a GUID it lacks.
ComPtr<ITypeLib> ModuleTypeLibrary();
ComPtr<ITypeInfo> ModuleTypeInfo(REFGUID guid);
ComPtr<ITypeInfo> FormsTypeInfo(REFGUID guid);
ComPtr<ITypeInfo> RegisteredTypeInfo(const RegisteredLibrary& library, REFGUID guid);

void ReleaseTypeInformation();
// Releases the cache when `unused` answers true under the cache's lock, and
// says whether it did: a load in another apartment waits for the answer.
bool ReleaseTypeInformationIf(bool (*unused)());

}  // namespace formsrt
