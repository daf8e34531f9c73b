// The part of the control base that a container activates: the control's
// window and its place in the container's window (IOleInPlaceObject,
// IOleInPlaceActiveObject), the activating verbs, and UI activation. The
// window follows the control's window policy (InPlaceWindow.h): a
// ControlWindow made here when the control brings none, else the control's
// own.
#pragma once

#include <windows.h>
#include <ocidl.h>

#include <memory>

#include "control/ControlDescription.h"
#include "control/ControlWindow.h"
#include "control/InPlaceWindow.h"
#include "com/ComPtr.h"

namespace formsrt {

class InPlaceActivation : public IOleInPlaceObject, public IOleInPlaceActiveObject {
 public:
  // IOleWindow, IOleInPlaceObject, IOleInPlaceActiveObject
  STDMETHODIMP GetWindow(HWND* window) override;
  STDMETHODIMP ContextSensitiveHelp(BOOL) override { return E_NOTIMPL; }
  STDMETHODIMP InPlaceDeactivate() override;
  STDMETHODIMP UIDeactivate() override;
  STDMETHODIMP SetObjectRects(LPCRECT position, LPCRECT clip) override;
  STDMETHODIMP ReactivateAndUndo() override { return E_NOTIMPL; }
  STDMETHODIMP TranslateAccelerator(LPMSG) override { return S_FALSE; }
  STDMETHODIMP OnFrameWindowActivate(BOOL) override { return S_OK; }
  STDMETHODIMP OnDocWindowActivate(BOOL) override { return S_OK; }
  STDMETHODIMP ResizeBorder(LPCRECT, IOleInPlaceUIWindow*, BOOL) override { return S_OK; }
  STDMETHODIMP EnableModeless(BOOL) override { return S_OK; }

 protected:
  // `window`: the control's own, which it keeps until the final release; or
  // null for a ControlWindow of the design size that paints with `painter`.
  InPlaceActivation(const ControlDescription& description, InPlaceWindow* window,
                    ControlWindow::Painter painter);
  ~InPlaceActivation() = default;

  // IOleObject::DoVerb for every verb: `site` is the site to activate in
  // (the verb's active site, else the client site; null when there is none).
  HRESULT DoActivationVerb(LONG verb, IOleClientSite* site);
  HWND WindowHandle() const { return window_.Handle(); }

 private:
  void ActivateInPlace(IOleClientSite* site, bool uiActivate);
  void EnterInPlace(IOleClientSite* site);
  void PlaceWindow(IOleInPlaceSite* site);
  void ActivateUi();
  void DeactivateUi(IOleInPlaceSite* site);

  const ControlDescription& description_;
  std::unique_ptr<ControlWindow> ownWindow_;  // null when the control brings its window
  InPlaceWindow& window_;
  ComPtr<IOleInPlaceSite> inPlaceSite_;
  ComPtr<IOleInPlaceFrame> frame_;
  ComPtr<IOleInPlaceUIWindow> uiWindow_;
  bool uiActive_ = false;
};

}  // namespace formsrt
