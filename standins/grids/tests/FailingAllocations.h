// Allocation failures on demand: this test program replaces the global
// operator new, and while a FailingAllocation lives, the nth allocation of
// the thread that made it throws std::bad_alloc.
#pragma once

#include <cstddef>
#include <functional>

namespace standin_tests {

class FailingAllocation {
 public:
  explicit FailingAllocation(size_t nth);  // from 1
  ~FailingAllocation();
  FailingAllocation(const FailingAllocation&) = delete;
  FailingAllocation& operator=(const FailingAllocation&) = delete;

  // Whether the allocation meant to fail was reached.
  bool Reached() const;
};

// Runs `change` with its first allocation failing, then its second, and so
// on, until a run reaches no failing allocation; that run must succeed.
// After every run that failed, `expectUnchanged` checks that the failure
// left everything as it was. A failure is anything `change` throws.
void EveryAllocationFailingInTurn(const std::function<void()>& change,
                                  const std::function<void()>& expectUnchanged);

}  // namespace standin_tests
