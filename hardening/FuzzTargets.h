// Every COM class the suite ships or stands in for, as the fuzzers see it:
// how to make one, a property that must keep working, and the members that
// are never called (each with the reason next to it in FuzzTargets.cpp).
#pragma once

#include <windows.h>

#include <set>
#include <string>
#include <vector>

#include "com/ComPtr.h"

namespace hardening {

struct FuzzTarget {
  std::wstring progId;  // or, for a class that hosts make in process, its name
  // Makes the object in this process from the class's own code, so that the
  // platform fakes of this module apply; null: CoCreateInstance of the
  // registered library, which has a seam of its own that no fake reaches.
  HRESULT (*createInProcess)(REFIID iid, void** object);
  std::wstring knownGoodProperty;
  std::set<std::wstring> skippedMembers;
};

const std::vector<FuzzTarget>& FuzzTargets();

HRESULT Create(const FuzzTarget& target, REFIID iid, void** object);

template <class I>
formsrt::ComPtr<I> Create(const FuzzTarget& target) {
  formsrt::ComPtr<I> object;
  Create(target, __uuidof(I), object.PutVoid());
  return object;
}

// Whether the library that serves the class holds no object and no lock:
// this module's own count for a class made in process, the registered
// library's DllCanUnloadNow otherwise.
bool ServerIsIdle(const FuzzTarget& target);

// Whether every heap of the process is intact (a write out of bounds on the
// heap shows here).
bool HeapsAreIntact();

// Private bytes of this process (PagefileUsage: Wine 8 leaves PrivateUsage 0).
SIZE_T PrivateBytes();

}  // namespace hardening
