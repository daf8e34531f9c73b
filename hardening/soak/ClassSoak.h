// Soaks one class: creates, uses and releases it `creations` times without a
// container and (for a control) inside the platform's container, then calls
// each of its members `calls` times on one object. Every phase is measured
// after two rounds of warming up (first-use caches are no leak): what the
// counting seams saw acquired and released, and the change of private
// memory in each half of the phase.
#pragma once

#include <functional>
#include <set>
#include <string>
#include <vector>

#include "AtlContainer.h"
#include "CountingSeam.h"
#include "SoakModuleLibrary.h"
#include "SoakOptions.h"
#include "SoakedClass.h"

namespace soak {

struct PhaseResult {
  std::wstring what;
  long repetitions;
  double seconds;
  SeamCounts counts;  // the soak module's and the soak program's own seam together
  // A leak grows memory in both halves alike; the platform's own one-off
  // allocations (a thread of the sound system, a heap extended) land in one.
  long long memoryChange[2];
  long failures;
  std::set<std::wstring> failed;  // what failed, once each
};

class ClassSoak {
 public:
  ClassSoak(const SoakOptions& options, const SoakModuleLibrary& module, CountingSeam& hostSeam,
            const AtlContainer& container, const SoakHost& host);

  std::vector<PhaseResult> Run(const SoakedClass& soaked);

 private:
  formsrt::ComPtr<IDispatch> Create(const SoakedClass& soaked) const;
  SeamCounts Counts() const;
  // Runs `once` (which returns its failures) `repetitions` times after the
  // warm-up, handling the thread's messages after each.
  PhaseResult Measure(std::wstring what, long repetitions, const std::function<long()>& once);
  // One call; a failure is counted and remembered, never thrown.
  long Attempt(const wchar_t* what, const Call& call, IDispatch* object);

  const SoakOptions& options_;
  const SoakModuleLibrary& module_;
  CountingSeam& hostSeam_;
  const AtlContainer& container_;
  const SoakHost& host_;
  std::set<std::wstring> failed_;
};

}  // namespace soak
