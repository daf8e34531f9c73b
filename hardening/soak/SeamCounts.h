// What a soak module's counting seam has seen: every acquisition and every
// release of the resources that the module gets through the platform seam.
// A plain record of longs, so that it crosses from a soak module to the
// soak program unchanged.
#pragma once

namespace soak {

struct Tally {
  long acquired = 0;
  long released = 0;

  long Held() const { return acquired - released; }
};

struct SeamCounts {
  Tally windows;        // CreateWindowExW; DestroyWindow, or destroyed with the parent
  Tally timers;         // SetTimer; KillTimer, or ended with the window
  Tally globalBlocks;   // GlobalAlloc; GlobalFree
  Tally mixerHandles;   // mixerOpen; mixerClose
  Tally subclasses;     // SetWindowSubclass; RemoveWindowSubclass, or ended with the window
  Tally trayIcons;      // Shell_NotifyIconA NIM_ADD; NIM_DELETE
  Tally kernelHandles;  // the handles of a (faked) program start; CloseHandle
  long fakedCalls = 0;  // message boxes, program starts and desktop changes answered by fakes
};

// Counts of one seam plus another's, and the change from one reading to a later one.
template <class Operation>
SeamCounts Combine(const SeamCounts& a, const SeamCounts& b, Operation operation) {
  auto tally = [&](Tally SeamCounts::*field) {
    return Tally{operation((a.*field).acquired, (b.*field).acquired),
                 operation((a.*field).released, (b.*field).released)};
  };
  return {tally(&SeamCounts::windows),       tally(&SeamCounts::timers),
          tally(&SeamCounts::globalBlocks),  tally(&SeamCounts::mixerHandles),
          tally(&SeamCounts::subclasses),    tally(&SeamCounts::trayIcons),
          tally(&SeamCounts::kernelHandles), operation(a.fakedCalls, b.fakedCalls)};
}

inline SeamCounts operator+(const SeamCounts& a, const SeamCounts& b) {
  return Combine(a, b, [](long x, long y) { return x + y; });
}

inline SeamCounts operator-(const SeamCounts& later, const SeamCounts& earlier) {
  return Combine(later, earlier, [](long x, long y) { return x - y; });
}

}  // namespace soak
