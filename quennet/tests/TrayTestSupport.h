// What the tray and window tests share besides the test doubles: a recorder
// of the control's events, a scripted host form that records the calls made
// on it, and host forms of the runtime.
#pragma once

#include <windows.h>

#include <functional>
#include <string>
#include <vector>

#include "MessagePump.h"
#include "QuennetCtl.h"
#include "TestDoubles.h"
#include "com/ComPtr.h"
#include "core/Variant.h"
#include "forms/Form.h"

namespace tray_test {

using quennet_test::ByReference;
using quennet_test::ErrorNumberOfCall;
using quennet_test::ErrorNumberWithObjects;
using quennet_test::QuennetProbe;
using quennet_test::RaisedEvent;
using quennet_test::RaisedEvents;

// Connected to the control's event interface while it lives.
class EventRecorder {
 public:
  explicit EventRecorder(QuennetProbe& control);
  ~EventRecorder();
  EventRecorder(const EventRecorder&) = delete;
  EventRecorder& operator=(const EventRecorder&) = delete;

  const RaisedEvents& Events() const;
  // Runs inside the event, after it was recorded; may write into Left.
  void OnEvent(std::function<void(DISPID id, VARIANT_BOOL& left)> handler);

 private:
  class Sink;
  formsrt::ComPtr<IConnectionPoint> point_;
  Sink* sink_;
  DWORD cookie_ = 0;
};

using quennet_test::kSTxClick;
using quennet_test::kSTxDBLClick;
using quennet_test::kSTxMouseUp;

// An automation object with the members of a host form, by name: it answers
// from its public values and records every call in order ("get Width",
// "put WindowState 0", "Move I2& 5272, I2& 5258"). It is not a form of the
// runtime (no IRuntimeForm).
class ScriptedForm : public quennet_test::OnTheHeap<quennet_test::Counted<IDispatch>> {
 public:
  static formsrt::ComPtr<ScriptedForm> Create();

  short windowState = 0;
  double width = 4800;
  double height = 3600;
  LONG hwnd = 0x1234;
  std::vector<std::string> calls;

  STDMETHODIMP GetTypeInfoCount(UINT* count) override;
  STDMETHODIMP GetTypeInfo(UINT, LCID, ITypeInfo**) override { return E_NOTIMPL; }
  STDMETHODIMP GetIDsOfNames(REFIID, LPOLESTR* names, UINT count, LCID, DISPID* ids) override;
  STDMETHODIMP Invoke(DISPID id, REFIID, LCID, WORD flags, DISPPARAMS* params, VARIANT* result,
                      EXCEPINFO*, UINT*) override;

 private:
  ScriptedForm() = default;
};

// A shown form of the runtime with one pop-up menu.
struct HostForm {
  formsrt::ComPtr<formsrt::Form> form;
  formsrt::ComPtr<formsrt::Menu> menu;
};
HostForm MakeHostForm(const wchar_t* caption);

// Whether the platform's tray holds icon 1 of the window: NIM_MODIFY succeeds
// only for an icon that the tray holds, and changes nothing when no field is
// flagged.
bool TrayHolds(HWND owner);
// Waits a while for the platform's tray window; whether it is up.
bool TrayWindowIsUp();

using testing_support::PumpMessagesFor;
using testing_support::PumpMessagesUntil;

}  // namespace tray_test
