// The window policy of a control whose window exists only while a container
// has it active in place: the control's `make` creates it at activation, as
// a child of the container's window, and deactivation destroys it. Window
// is a class of the control's that owns its window and gives Handle().
#pragma once

#include <windows.h>

#include <functional>
#include <memory>
#include <utility>

#include "control/InPlaceWindow.h"

namespace formsrt {

template <class Window>
class ActivationWindow final : public InPlaceWindow {
 public:
  using Make = std::function<std::unique_ptr<Window>(HWND parent, const RECT& position)>;

  explicit ActivationWindow(Make make) : make_(std::move(make)) {}

  HWND Handle() const override { return window_ ? window_->Handle() : nullptr; }
  void Withdraw() override { window_.reset(); }
  // The window while the control is active in place, else null.
  Window* Get() const { return window_.get(); }

 private:
  void Enter(HWND parent, const RECT& position) override { window_ = make_(parent, position); }

  Make make_;
  std::unique_ptr<Window> window_;
};

}  // namespace formsrt
