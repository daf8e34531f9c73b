#include "ProbeControl.h"

#include <memory>

#include "core/Bstr.h"
#include "com/ComBoundary.h"
#include "forms/WindowClass.h"

namespace control_tests {

namespace {

const formsrt::ControlDescription kParked{CLSID_ParkedControl, IID_IProbe, DIID_DProbeEvents,
                                          L"ParkedProbe", SIZE{1440, 720}, OLEMISC_SETCLIENTSITEFIRST};
const formsrt::ControlDescription kActivation{CLSID_ActivationControl, IID_IProbe, IID_NULL,
                                              L"ActivationProbe", SIZE{1440, 720},
                                              OLEMISC_SETCLIENTSITEFIRST};

constexpr DISPID kCaptionDispid = 1;  // as ProbeControls.idl gives it

}  // namespace

STDMETHODIMP ProbeControl::get_Caption(BSTR* caption) {
  if (!caption) return E_POINTER;
  return formsrt::ComBoundary(L"Probe", IID_IProbe,
                              [&] { *caption = formsrt::Bstr(caption_).Detach(); });
}

STDMETHODIMP ProbeControl::put_Caption(BSTR caption) {
  return formsrt::ComBoundary(L"Probe", IID_IProbe, [&] {
    caption_ = formsrt::Bstr::Copy(caption).Str();
    PropertyChanged(kCaptionDispid);
  });
}

void ProbeControl::UserControl_AmbientChanged(DISPID property) {
  ambientChanges.emplace_back(property, AmbientFont());
}

ParkedProbe::ParkedProbe() : ProbeControl(kParked) {}

ProbeWindow::ProbeWindow(HWND parent, const RECT& position)
    : window_(formsrt::CreateRuntimeWindow({L"STATIC", L"", WS_CHILD, 0, position, parent})) {}

ActivationProbe::ActivationProbe()
    : ProbeControl(kActivation, window_),
      window_([](HWND parent, const RECT& position) {
        return std::make_unique<ProbeWindow>(parent, position);
      }) {}

}  // namespace control_tests
