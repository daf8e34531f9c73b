// Objects of the component Hookwatch.dll, created as the tester's code asks
// for them.
#pragma once

#include <windows.h>

#include "Hookwatch.h"
#include "com/ComPtr.h"

namespace tessmark {

// A new object of a registered in-process class. A class that cannot be
// found, loaded or created raises 429 (ActiveX component can't create
// object); an error that the component raised itself keeps its number.
formsrt::ComPtr<IUnknown> NewComponentObject(REFCLSID clsid, REFIID iid);

template <class Interface>
formsrt::ComPtr<Interface> NewComponentObject(REFCLSID clsid) {
  formsrt::ComPtr<IUnknown> object = NewComponentObject(clsid, __uuidof(Interface));
  return formsrt::ComPtr<Interface>::Attach(static_cast<Interface*>(object.Detach()));
}

// The library's application-global object: created by the first call that
// uses it, it serves every later call until the program lets it go at its
// end (ReleaseHookwatchGlobal, before the apartment closes).
IHookwatchGlobal& HookwatchGlobalObject();
void ReleaseHookwatchGlobal();

}  // namespace tessmark
