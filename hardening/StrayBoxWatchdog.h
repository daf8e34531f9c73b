// Closes any dialog box of this process that appears while it lives, from a
// thread of its own, so that a modal box that no fake caught cannot block a
// test. Counts the boxes it closed and keeps their texts.
#pragma once

#include <windows.h>

#include <atomic>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

namespace hardening {

class StrayBoxWatchdog {
 public:
  StrayBoxWatchdog();
  ~StrayBoxWatchdog();
  StrayBoxWatchdog(const StrayBoxWatchdog&) = delete;
  StrayBoxWatchdog& operator=(const StrayBoxWatchdog&) = delete;

  std::vector<std::wstring> ClosedBoxes();

 private:
  void Watch();
  static BOOL CALLBACK CloseIfBox(HWND window, LPARAM self);

  std::atomic<bool> stopping_{false};
  std::mutex mutex_;
  std::vector<std::wstring> closed_;
  std::thread thread_;
};

}  // namespace hardening
