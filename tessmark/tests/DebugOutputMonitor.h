// Collects the debug output (OutputDebugStringA) of other processes, as a
// debug viewer does: it owns the system-wide buffer "DBWIN_BUFFER" and its
// two events while it lives, and takes each line from a background thread.
#pragma once

#include <windows.h>

#include <mutex>
#include <string>
#include <thread>
#include <vector>

namespace tessmark_tests {

class DebugOutputMonitor {
 public:
  DebugOutputMonitor();
  DebugOutputMonitor(const DebugOutputMonitor&) = delete;
  DebugOutputMonitor& operator=(const DebugOutputMonitor&) = delete;
  ~DebugOutputMonitor();

  // The lines that the process wrote so far, without their line ends.
  std::vector<std::string> LinesOf(DWORD processId) const;
  // How many of the process's lines equal `line`.
  size_t CountOf(DWORD processId, const std::string& line) const;

 private:
  struct Line {
    DWORD processId;
    std::string text;
  };
  void Collect();
  void CloseHandles();

  HANDLE bufferReady_ = nullptr;
  HANDLE dataReady_ = nullptr;
  HANDLE stop_ = nullptr;
  HANDLE mapping_ = nullptr;
  const void* view_ = nullptr;
  mutable std::mutex mutex_;
  std::vector<Line> lines_;
  std::thread collector_;
};

}  // namespace tessmark_tests
