// The attachments made through one HookwatchGlobal object: which messages of
// which windows go to which ISubClass clients. Windows are hooked on their
// first attachment and unhooked when their last one ends or when they are
// destroyed; whatever is still attached ends with this object.
#pragma once

#include <windows.h>

#include <memory>
#include <vector>

#include "Hookwatch.h"
#include "HookedWindow.h"

namespace hookwatch {

class WindowHooks {
 public:
  WindowHooks() = default;
  ~WindowHooks();
  WindowHooks(const WindowHooks&) = delete;
  WindowHooks& operator=(const WindowHooks&) = delete;

  // Raises error 91 for a null client, error 5 for a window that does not
  // exist or belongs to another thread (its messages could not reach the
  // client on the client's thread).
  void Attach(ISubClass* client, HWND window, UINT message);
  // Ends the attachment if there is one; a window destroyed since has none.
  void Detach(ISubClass* client, HWND window, UINT message);
  long AttachmentCount();

 private:
  HookedWindow* Find(HWND window);
  HookedWindow& FindOrHook(HWND window);
  void ForgetUnhooked();

  std::vector<std::shared_ptr<HookedWindow>> windows_;
};

}  // namespace hookwatch
