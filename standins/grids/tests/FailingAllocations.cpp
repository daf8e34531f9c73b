#include "FailingAllocations.h"

#include <gtest/gtest.h>
#include <windows.h>

#include <cstdlib>
#include <new>

namespace {

// The thread whose allocations count, and how many are left before the
// failing one; a thread id of 0 counts nothing.
DWORD g_countingThread = 0;
size_t g_allocationsLeft = 0;
bool g_reached = false;

bool AllocationShouldFail() {
  if (g_countingThread == 0 || g_countingThread != ::GetCurrentThreadId()) return false;
  if (--g_allocationsLeft > 0) return false;
  g_countingThread = 0;
  g_reached = true;
  return true;
}

}  // namespace

void* operator new(std::size_t size) {
  if (AllocationShouldFail()) throw std::bad_alloc();
  if (void* block = std::malloc(size ? size : 1)) return block;
  throw std::bad_alloc();
}

void operator delete(void* block) noexcept { std::free(block); }
void operator delete(void* block, std::size_t) noexcept { std::free(block); }

namespace standin_tests {

constexpr size_t kMostAllocations = 10000;

FailingAllocation::FailingAllocation(size_t nth) {
  g_reached = false;
  g_allocationsLeft = nth;
  g_countingThread = ::GetCurrentThreadId();
}

FailingAllocation::~FailingAllocation() { g_countingThread = 0; }

bool FailingAllocation::Reached() const { return g_reached; }

void EveryAllocationFailingInTurn(const std::function<void()>& change,
                                  const std::function<void()>& expectUnchanged) {
  for (size_t nth = 1; nth <= kMostAllocations; ++nth) {
    SCOPED_TRACE("allocation " + std::to_string(nth) + " failing");
    bool failed = false, reached = false;
    {
      FailingAllocation failing(nth);
      try {
        change();
      } catch (...) {
        failed = true;
      }
      reached = failing.Reached();
    }
    if (!reached) {
      EXPECT_FALSE(failed) << "the change failed with every allocation granted";
      return;
    }
    if (failed) expectUnchanged();
  }
  ADD_FAILURE() << "the change makes more than " << kMostAllocations << " allocations";
}

}  // namespace standin_tests
