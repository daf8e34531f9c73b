// One window subclassed for one WindowHooks: the clients attached to its
// messages and the subclass procedure that routes those messages to them.
#pragma once

#include <windows.h>

#include <memory>
#include <vector>

#include "Hookwatch.h"
#include "WindowMessage.h"
#include "com/ComPtr.h"

namespace hookwatch {

class HookedWindow : public std::enable_shared_from_this<HookedWindow> {
 public:
  // Subclasses the window; raises error 5 when the platform refuses.
  explicit HookedWindow(HWND window);
  ~HookedWindow();
  HookedWindow(const HookedWindow&) = delete;
  HookedWindow& operator=(const HookedWindow&) = delete;

  // Attaching a client to a message it already has changes nothing; the
  // client is known by its IUnknown identity.
  void Attach(formsrt::ComPtr<ISubClass> client, formsrt::ComPtr<IUnknown> identity, UINT message);
  void Detach(IUnknown* identity, UINT message);
  void DetachAll();

  HWND Window() const { return window_; }
  long AttachmentCount() const { return static_cast<long>(attachments_.size()); }
  // False once the subclass is gone: every attachment ended, or the window
  // was destroyed.
  bool StillHooked() const { return subclassed_; }

 private:
  struct Attachment {
    formsrt::ComPtr<ISubClass> client;
    formsrt::ComPtr<IUnknown> identity;
    UINT message;
  };

  static LRESULT CALLBACK SubclassProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam,
                                       UINT_PTR id, DWORD_PTR self);
  LRESULT Route(const WindowMessage& message);
  LRESULT CallChain(const std::vector<Attachment>& chain, size_t next,
                    const WindowMessage& message);
  std::vector<Attachment> ChainFor(UINT message) const;
  bool IsAttached(IUnknown* identity, UINT message) const;
  bool HasMessage(UINT message) const;
  void RemoveSubclassWhenIdle();
  UINT_PTR SubclassId() const { return reinterpret_cast<UINT_PTR>(this); }

  HWND window_;
  bool subclassed_ = false;
  // How many messages of this window are being routed right now (a client
  // may send messages from inside WindowProc). The subclass is removed only
  // when none is, so that no routing frame outlives it.
  int routingDepth_ = 0;
  std::vector<Attachment> attachments_;  // in the order of attachment
};

}  // namespace hookwatch
