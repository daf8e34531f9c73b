#include "TrayTestSupport.h"

#include <ocidl.h>

#include <cstdio>

#include "core/RuntimeError.h"

namespace tray_test {

using formsrt::ComPtr;

// Events

// On the heap: the connection point may hold it past the recorder, as when a
// handler ends the recorder inside an event.
class EventRecorder::Sink final : public quennet_test::OnTheHeap<quennet_test::EventSink> {};

EventRecorder::EventRecorder(QuennetProbe& control) : sink_(new Sink) {
  ComPtr<IConnectionPointContainer> container;
  formsrt::ThrowIfFailed(
      control.QueryInterface(IID_IConnectionPointContainer, container.PutVoid()));
  formsrt::ThrowIfFailed(container->FindConnectionPoint(DIID___QuennetCtl, point_.Put()));
  formsrt::ThrowIfFailed(point_->Advise(sink_, &cookie_));
}

EventRecorder::~EventRecorder() {
  point_->Unadvise(cookie_);
  sink_->Release();
}

const RaisedEvents& EventRecorder::Events() const { return sink_->events; }

void EventRecorder::OnEvent(std::function<void(DISPID, VARIANT_BOOL&)> handler) {
  sink_->onEvent = std::move(handler);
}

// The scripted host form

namespace {

// DISPID i + 1 is member i.
constexpr const wchar_t* kScriptedMembers[] = {L"WindowState", L"Width", L"Height", L"Move",
                                               L"hwnd"};
constexpr const char* kScriptedNames[] = {"WindowState", "Width", "Height", "Move", "hwnd"};

std::string Described(const VARIANT& argument) {
  char text[64];
  switch (V_VT(&argument)) {
    case VT_BYREF | VT_I2: std::snprintf(text, sizeof(text), "I2& %d", *V_I2REF(&argument)); break;
    case VT_I2: std::snprintf(text, sizeof(text), "I2 %d", V_I2(&argument)); break;
    default: std::snprintf(text, sizeof(text), "vt %d", V_VT(&argument)); break;
  }
  return text;
}

}  // namespace

ComPtr<ScriptedForm> ScriptedForm::Create() {
  return ComPtr<ScriptedForm>::Attach(new ScriptedForm);
}

STDMETHODIMP ScriptedForm::GetTypeInfoCount(UINT* count) {
  *count = 0;
  return S_OK;
}

STDMETHODIMP ScriptedForm::GetIDsOfNames(REFIID, LPOLESTR* names, UINT count, LCID, DISPID* ids) {
  if (count != 1) return E_INVALIDARG;
  for (DISPID id = 0; id < static_cast<DISPID>(std::size(kScriptedMembers)); ++id) {
    if (::_wcsicmp(names[0], kScriptedMembers[id]) == 0) {
      ids[0] = id + 1;
      return S_OK;
    }
  }
  ids[0] = DISPID_UNKNOWN;
  return DISP_E_UNKNOWNNAME;
}

STDMETHODIMP ScriptedForm::Invoke(DISPID id, REFIID, LCID, WORD flags, DISPPARAMS* params,
                                  VARIANT* result, EXCEPINFO*, UINT*) {
  std::string name = kScriptedNames[id - 1];
  bool put = flags & DISPATCH_PROPERTYPUT;
  if (put) {
    calls.push_back("put " + name + " " + Described(params->rgvarg[0]));
    if (id == 1) windowState = V_I2(&params->rgvarg[0]);
    return S_OK;
  }
  if (name == "Move") {
    // DISPPARAMS holds the arguments last to first.
    calls.push_back("Move " + Described(params->rgvarg[1]) + ", " + Described(params->rgvarg[0]));
    return S_OK;
  }
  calls.push_back("get " + name);
  ::VariantInit(result);
  switch (id) {
    case 1:
      V_VT(result) = VT_I2;
      V_I2(result) = windowState;
      break;
    case 2:
    case 3:
      V_VT(result) = VT_R4;
      V_R4(result) = static_cast<float>(id == 2 ? width : height);
      break;
    case 5:
      V_VT(result) = VT_I4;
      V_I4(result) = hwnd;
      break;
  }
  return S_OK;
}

// Host forms of the runtime

HostForm MakeHostForm(const wchar_t* caption) {
  HostForm host;
  host.form = formsrt::Form::Create(caption, {1500, 1500, 4800, 3600});
  host.menu = host.form->AddMenu(L"Tray");
  host.menu->AddItem(L"&Open", [] {});
  host.menu->AddItem(L"E&xit", [] {});
  host.form->Show();
  return host;
}

// The tray

bool TrayHolds(HWND owner) {
  NOTIFYICONDATAA probe{};
  probe.cbSize = NOTIFYICONDATAA_V1_SIZE;
  probe.hWnd = owner;
  probe.uID = 1;
  return ::Shell_NotifyIconA(NIM_MODIFY, &probe) != FALSE;
}

bool TrayWindowIsUp() {
  return PumpMessagesUntil([] { return ::FindWindowA("Shell_TrayWnd", nullptr) != nullptr; }, 10000);
}

}  // namespace tray_test
