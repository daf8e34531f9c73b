// Calls onTaskbarCreated when the shell announces that its taskbar was
// (re)created: after a restart of the shell every tray icon is gone, and
// the owners of icons are told so by the registered message
// "TaskbarCreated", broadcast to all top-level windows. A child window never
// sees the broadcast, so the listener keeps a hidden top-level window of its
// own.
#pragma once

#include <windows.h>

#include <functional>

#include "forms/WindowClass.h"

namespace quennet {

class TaskbarCreatedListener : private formsrt::MessageTarget {
 public:
  explicit TaskbarCreatedListener(std::function<void()> onTaskbarCreated);
  TaskbarCreatedListener(const TaskbarCreatedListener&) = delete;
  TaskbarCreatedListener& operator=(const TaskbarCreatedListener&) = delete;

 private:
  LRESULT HandleMessage(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam) override;

  std::function<void()> onTaskbarCreated_;
  UINT taskbarCreated_;
  formsrt::WindowHandle window_;
};

}  // namespace quennet
