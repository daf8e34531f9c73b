// What one phase of a soak found, and whether that passes.
#pragma once

#include <set>
#include <string>

#include "SeamCounts.h"

namespace soak {

struct PhaseResult {
  std::wstring what;
  long repetitions;
  double seconds;
  SeamCounts counts;  // the soak module's and the soak program's own seam together
  // Private memory added in the first and in the second half of the phase.
  long long memoryChange[2];
  long failures;
  std::set<std::wstring> failed;  // what failed, once each
  // The soak module's COM objects and locks once the phase's objects are gone.
  long objectsLeft = 0;
  long locksLeft = 0;
};

// Passes when no call failed, nothing counted is held, the module holds no
// object or lock, and neither half of the phase added `memoryBoundKb` KiB or
// more of private memory: a steady leak grows both halves and fails once
// either exceeds the bound; a one-off allocation of the platform (a thread
// of the sound system, a heap extended) lands in one half and stays below it.
bool PhasePassed(const PhaseResult& phase, long memoryBoundKb);

}  // namespace soak
