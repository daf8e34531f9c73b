// Every COM class the suite ships or stands in for, as the fuzzers see it:
// how to make one, a property that must keep working, and the members that
// are never called (each with the reason next to it in FuzzTargets.cpp).
#pragma once

#include <windows.h>

#include <set>
#include <string>
#include <utility>
#include <vector>

#include "FuzzArguments.h"
#include "com/ComPtr.h"
#include "core/Variant.h"

namespace hardening {

struct FuzzTarget {
  std::wstring progId;  // or, for a class that hosts make in process, its name
  // Makes the object in this process from the class's own code, so that the
  // platform fakes of this module apply; null: CoCreateInstance of the
  // registered library, which has a seam of its own that no fake reaches.
  HRESULT (*createInProcess)(const FuzzArguments& arguments, REFIID iid, void** object);
  // Whether the library that made it in process holds no object and no lock;
  // null: this module's own counts (or, for a registered library, its
  // DllCanUnloadNow).
  bool (*libraryIsIdle)();
  std::wstring knownGoodProperty;
  // Members besides the known-good property's own put that change its value.
  std::set<std::wstring> changesKnownGood;
  std::set<std::wstring> skippedMembers;
  // Property puts, by name, that give a saved stream other than a new
  // control's; each set gives one (the persistence fuzzer starts from all).
  std::vector<std::vector<std::pair<std::wstring, formsrt::Variant>>> savedSettings;
};

const std::vector<FuzzTarget>& FuzzTargets();

HRESULT Create(const FuzzTarget& target, const FuzzArguments& arguments, REFIID iid,
               void** object);

template <class I>
formsrt::ComPtr<I> Create(const FuzzTarget& target, const FuzzArguments& arguments) {
  formsrt::ComPtr<I> object;
  Create(target, arguments, __uuidof(I), object.PutVoid());
  return object;
}

// Whether the library that serves the class holds no object and no lock:
// this module's own count for a class made in process, the registered
// library's DllCanUnloadNow otherwise.
bool ServerIsIdle(const FuzzTarget& target);

// Whether every heap of the process is intact (a write out of bounds on the
// heap shows here).
bool HeapsAreIntact();


}  // namespace hardening
