#include "HookedWindow.h"

#include <algorithm>

#include "RouteThroughClient.h"
#include "platform/Platform.h"
#include "core/RuntimeError.h"

using formsrt::ComPtr;
using formsrt::Comctl32;

namespace hookwatch {

namespace {

class DepthGuard {
 public:
  explicit DepthGuard(int& depth) : depth_(depth) { ++depth_; }
  ~DepthGuard() { --depth_; }
  DepthGuard(const DepthGuard&) = delete;
  DepthGuard& operator=(const DepthGuard&) = delete;

 private:
  int& depth_;
};

}  // namespace

HookedWindow::HookedWindow(HWND window) : window_(window) {
  if (!Comctl32().SetWindowSubclass(window_, SubclassProc, SubclassId(),
                                    reinterpret_cast<DWORD_PTR>(this))) {
    formsrt::Raise(formsrt::error::InvalidProcedureCall);
  }
  subclassed_ = true;
}

HookedWindow::~HookedWindow() {
  if (subclassed_) Comctl32().RemoveWindowSubclass(window_, SubclassProc, SubclassId());
}

void HookedWindow::Attach(ComPtr<ISubClass> client, ComPtr<IUnknown> identity, UINT message) {
  if (IsAttached(identity.Get(), message)) return;
  attachments_.push_back({std::move(client), std::move(identity), message});
}

void HookedWindow::Detach(IUnknown* identity, UINT message) {
  auto found = std::find_if(attachments_.begin(), attachments_.end(), [&](const Attachment& a) {
    return a.identity.Get() == identity && a.message == message;
  });
  if (found == attachments_.end()) return;
  // Released after the list is consistent again: the release may re-enter.
  Attachment removed = std::move(*found);
  attachments_.erase(found);
  RemoveSubclassWhenIdle();
}

void HookedWindow::DetachAll() {
  std::vector<Attachment> removed = std::move(attachments_);
  attachments_.clear();
  RemoveSubclassWhenIdle();
}

void HookedWindow::RemoveSubclassWhenIdle() {
  if (!subclassed_ || routingDepth_ > 0 || !attachments_.empty()) return;
  subclassed_ = false;
  Comctl32().RemoveWindowSubclass(window_, SubclassProc, SubclassId());
}

LRESULT CALLBACK HookedWindow::SubclassProc(HWND window, UINT message, WPARAM wParam,
                                            LPARAM lParam, UINT_PTR, DWORD_PTR self) {
  auto* hooked = reinterpret_cast<HookedWindow*>(self);
  if (message != WM_NCDESTROY && !hooked->HasMessage(message)) {
    return Comctl32().DefSubclassProc(window, message, wParam, lParam);
  }
  try {
    return hooked->Route({window, message, wParam, lParam});
  } catch (...) {
    // No exception may leave a window procedure; only building the chain
    // can throw, before anything was called.
    return Comctl32().DefSubclassProc(window, message, wParam, lParam);
  }
}

LRESULT HookedWindow::Route(const WindowMessage& message) {
  std::shared_ptr<HookedWindow> keepAlive = shared_from_this();
  std::vector<Attachment> chain = ChainFor(message.message);
  LRESULT result;
  {
    DepthGuard depth(routingDepth_);
    result = CallChain(chain, 0, message);
  }
  // The window is going away: its attachments end with it.
  if (message.message == WM_NCDESTROY) DetachAll();
  RemoveSubclassWhenIdle();
  return result;
}

// The clients of a message form a chain like stacked subclasses: the one
// attached last is called first, and what lies below each client is the
// rest of the chain, down to the window's previous procedure. A client
// detached while the message is being routed is passed over; one attached
// meanwhile takes part from the next message on.
LRESULT HookedWindow::CallChain(const std::vector<Attachment>& chain, size_t next,
                                const WindowMessage& message) {
  while (next < chain.size() && !IsAttached(chain[next].identity.Get(), message.message)) ++next;
  if (next == chain.size()) {
    return Comctl32().DefSubclassProc(message.window, message.message, message.wParam,
                                      message.lParam);
  }
  return RouteThroughClient(*chain[next].client.Get(), message,
                            [&, below = next + 1] { return CallChain(chain, below, message); });
}

std::vector<HookedWindow::Attachment> HookedWindow::ChainFor(UINT message) const {
  std::vector<Attachment> chain;
  for (auto a = attachments_.rbegin(); a != attachments_.rend(); ++a) {
    if (a->message == message) chain.push_back(*a);
  }
  return chain;
}

bool HookedWindow::IsAttached(IUnknown* identity, UINT message) const {
  return std::any_of(attachments_.begin(), attachments_.end(), [&](const Attachment& a) {
    return a.identity.Get() == identity && a.message == message;
  });
}

bool HookedWindow::HasMessage(UINT message) const {
  return std::any_of(attachments_.begin(), attachments_.end(),
                     [&](const Attachment& a) { return a.message == message; });
}

}  // namespace hookwatch
