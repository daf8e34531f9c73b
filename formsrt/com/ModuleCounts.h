// The module this code is linked into: its handle and path, and the counts
// of live objects and class-object locks that decide whether a server may
// unload.
#pragma once

#include <windows.h>

#include <string>

namespace formsrt {

HMODULE ThisModule();
std::wstring ThisModulePath();

void ObjectCreated();
void ObjectDestroyed();
void LockModule();
void UnlockModule();
long ActiveObjectCount();
long ModuleLockCount();

// S_OK when no object and no lock remains (the type information cache is
// then released too), S_FALSE otherwise.
HRESULT CanUnloadServer() noexcept;

}  // namespace formsrt
