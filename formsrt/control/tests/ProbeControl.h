// Two controls of the base, one of each window policy: ParkedProbe keeps a
// ControlWindow and raises DProbeEvents, ActivationProbe makes a window of
// its own at activation and raises no events. Each has a Caption whose put
// marks it dirty, and records what it hears of the ambient properties.
#pragma once

#include <windows.h>

#include <string>
#include <utility>
#include <vector>

#include "ProbeControls.h"
#include "control/ActivationWindow.h"
#include "control/ActiveXControl.h"
#include "forms/WindowHandle.h"

namespace control_tests {

class ProbeControl : public formsrt::ActiveXControl<IProbe> {
 public:
  STDMETHODIMP get_Caption(BSTR* caption) override;
  STDMETHODIMP put_Caption(BSTR caption) override;

  HWND Window() const { return ControlWindowHandle(); }

  // Each change the base reported, with the ambient font it gave then.
  std::vector<std::pair<DISPID, HFONT>> ambientChanges;

 protected:
  template <class... Window>
  explicit ProbeControl(const formsrt::ControlDescription& description, Window&... window)
      : ActiveXControl(description, window...) {}

 private:
  void UserControl_AmbientChanged(DISPID property) override;

  std::wstring caption_;
};

class ParkedProbe final : public ProbeControl {
 public:
  ParkedProbe();
};

// A plain child window, as a control would make for itself.
class ProbeWindow {
 public:
  ProbeWindow(HWND parent, const RECT& position);
  HWND Handle() const { return window_.Get(); }

 private:
  formsrt::WindowHandle window_;
};

class ActivationProbe final : public ProbeControl {
 public:
  ActivationProbe();

 private:
  formsrt::ActivationWindow<ProbeWindow> window_;
};

}  // namespace control_tests
