// Soaks one class: creates, uses and releases it `creations` times without a
// container and (for a control) inside the platform's container, then calls
// each of its members `calls` times on one object. Every phase is measured
// after two rounds of warming up (first-use caches are no leak): what the
// counting seams saw acquired and released, the change of private memory in
// each half of the phase, and the module's COM objects and locks once the
// phase's objects are released.
#pragma once

#include <functional>
#include <set>
#include <string>
#include <vector>

#include "AtlContainer.h"
#include "CountingSeam.h"
#include "PhaseResult.h"
#include "SoakModuleLibrary.h"
#include "SoakOptions.h"
#include "SoakedClass.h"

namespace soak {

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
  PhaseResult Finished(PhaseResult phase) const;
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
