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
  Tally fonts;          // CreateFontW; DeleteObject
  Tally bitmaps;        // LoadImageW of a bitmap; DeleteObject
  Tally icons;          // LoadImageW of an icon, not shared; DestroyIcon
  Tally deviceContexts; // GetDC, BeginPaint, CreateCompatibleDC; ReleaseDC, EndPaint, DeleteDC
  Tally selections;     // SelectObject of a context's first object of a kind; its first back
  long fakedCalls = 0;  // message boxes, program starts and desktop changes answered by fakes
};

// Every tally of SeamCounts with its name, for reports and sums.
struct NamedTally {
  const char* name;
  Tally SeamCounts::*tally;
};
inline constexpr NamedTally kTallies[] = {
    {"windows", &SeamCounts::windows},
    {"timers", &SeamCounts::timers},
    {"global blocks", &SeamCounts::globalBlocks},
    {"mixer handles", &SeamCounts::mixerHandles},
    {"subclasses", &SeamCounts::subclasses},
    {"tray icons", &SeamCounts::trayIcons},
    {"kernel handles", &SeamCounts::kernelHandles},
    {"fonts", &SeamCounts::fonts},
    {"bitmaps", &SeamCounts::bitmaps},
    {"icons", &SeamCounts::icons},
    {"device contexts", &SeamCounts::deviceContexts},
    {"selections", &SeamCounts::selections},
};

// Counts of one seam plus another's, and the change from one reading to a later one.
template <class Operation>
SeamCounts Combine(const SeamCounts& a, const SeamCounts& b, Operation operation) {
  SeamCounts combined;
  for (const NamedTally& named : kTallies) {
    const Tally& x = a.*named.tally;
    const Tally& y = b.*named.tally;
    combined.*named.tally = {operation(x.acquired, y.acquired), operation(x.released, y.released)};
  }
  combined.fakedCalls = operation(a.fakedCalls, b.fakedCalls);
  return combined;
}

inline SeamCounts operator+(const SeamCounts& a, const SeamCounts& b) {
  return Combine(a, b, [](long x, long y) { return x + y; });
}

inline SeamCounts operator-(const SeamCounts& later, const SeamCounts& earlier) {
  return Combine(later, earlier, [](long x, long y) { return x - y; });
}

}  // namespace soak
