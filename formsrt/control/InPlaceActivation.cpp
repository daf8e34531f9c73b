#include "control/InPlaceActivation.h"

#include <utility>

#include "com/ComBoundary.h"
#include "core/RuntimeError.h"
#include "forms/Screen.h"

namespace formsrt {

namespace {

SIZE PixelsFromTwips(SIZE twips) {
  return {Screen::PixelsFromTwipsX(twips.cx), Screen::PixelsFromTwipsY(twips.cy)};
}

}  // namespace

InPlaceActivation::InPlaceActivation(const ControlDescription& description, InPlaceWindow* window,
                                     ControlWindow::Painter painter)
    : description_(description),
      ownWindow_(window ? nullptr
                        : std::make_unique<ControlWindow>(
                              PixelsFromTwips(description.designSizeTwips), std::move(painter))),
      window_(window ? *window : *ownWindow_) {}

HRESULT InPlaceActivation::DoActivationVerb(LONG verb, IOleClientSite* site) {
  auto activate = [&](bool uiActivate) {
    return ComBoundary(description_.title, IID_IOleObject,
                       [&] { ActivateInPlace(site, uiActivate); });
  };
  switch (verb) {
    case OLEIVERB_PRIMARY:
    case OLEIVERB_SHOW:
    case OLEIVERB_INPLACEACTIVATE:
      return activate(false);
    case OLEIVERB_UIACTIVATE:
      return activate(true);
    case OLEIVERB_HIDE:
      return InPlaceDeactivate();
    default:
      if (verb < 0) return E_NOTIMPL;
      // An unknown positive verb: the primary verb, and say so.
      HRESULT hr = activate(false);
      return FAILED(hr) ? hr : OLEOBJ_S_INVALIDVERB;
  }
}

void InPlaceActivation::ActivateInPlace(IOleClientSite* site, bool uiActivate) {
  if (!inPlaceSite_) EnterInPlace(site);
  if (uiActivate && !uiActive_) ActivateUi();
}

// The site must agree, and say where: its window and the control's place
// there, which it alone decides (DoVerb's window and rectangle are not
// asked). A site that refuses OnInPlaceActivate has nothing to undo; once
// it agreed, any failure after is undone with OnInPlaceDeactivate.
void InPlaceActivation::EnterInPlace(IOleClientSite* site) {
  if (!site) throw ComError(E_UNEXPECTED);
  ComPtr<IOleInPlaceSite> inPlaceSite;
  ThrowIfFailed(site->QueryInterface(IID_IOleInPlaceSite, inPlaceSite.PutVoid()));
  if (inPlaceSite->CanInPlaceActivate() != S_OK) throw ComError(OLE_E_NOT_INPLACEACTIVE);
  ThrowIfFailed(inPlaceSite->OnInPlaceActivate());
  try {
    PlaceWindow(inPlaceSite.Get());
  } catch (...) {
    frame_.Reset();
    uiWindow_.Reset();
    inPlaceSite->OnInPlaceDeactivate();
    throw;
  }
  inPlaceSite_ = inPlaceSite;
}

void InPlaceActivation::PlaceWindow(IOleInPlaceSite* site) {
  HWND parent = nullptr;
  RECT position{}, clip{};
  OLEINPLACEFRAMEINFO frameInfo{};
  frameInfo.cb = sizeof(frameInfo);
  if (FAILED(site->GetWindow(&parent)) || !parent ||
      FAILED(site->GetWindowContext(frame_.Put(), uiWindow_.Put(), &position, &clip, &frameInfo))) {
    throw ComError(E_FAIL);
  }
  window_.ShowIn(parent, position);
}

void InPlaceActivation::ActivateUi() {
  uiActive_ = true;
  inPlaceSite_->OnUIActivate();
  auto* active = static_cast<IOleInPlaceActiveObject*>(this);
  if (frame_) frame_->SetActiveObject(active, nullptr);
  if (uiWindow_) uiWindow_->SetActiveObject(active, nullptr);
}

STDMETHODIMP InPlaceActivation::GetWindow(HWND* window) {
  if (!window) return E_POINTER;
  *window = inPlaceSite_ ? window_.Handle() : nullptr;
  return inPlaceSite_ ? S_OK : E_FAIL;
}

// The site is taken before anything is said to it: a container that ends the
// activation again from one of these notifications (InPlaceDeactivate, Close,
// DoVerb(OLEIVERB_HIDE)) finds the control no longer active in place, and
// this call finishes with the site it took.
STDMETHODIMP InPlaceActivation::InPlaceDeactivate() {
  ComPtr<IOleInPlaceSite> site = std::move(inPlaceSite_);
  if (!site) return S_OK;
  DeactivateUi(site.Get());
  window_.Withdraw();
  frame_.Reset();
  uiWindow_.Reset();
  site->OnInPlaceDeactivate();
  return S_OK;
}

STDMETHODIMP InPlaceActivation::UIDeactivate() {
  DeactivateUi(ComPtr<IOleInPlaceSite>(inPlaceSite_).Get());
  return S_OK;
}

// Holds what it calls: a container may end the activation, and let go of
// the frame and the site, from any of these calls.
void InPlaceActivation::DeactivateUi(IOleInPlaceSite* site) {
  if (!uiActive_) return;
  uiActive_ = false;
  ComPtr<IOleInPlaceFrame> frame = frame_;
  ComPtr<IOleInPlaceUIWindow> uiWindow = uiWindow_;
  if (frame) frame->SetActiveObject(nullptr, nullptr);
  if (uiWindow) uiWindow->SetActiveObject(nullptr, nullptr);
  if (site) site->OnUIDeactivate(FALSE);
}

STDMETHODIMP InPlaceActivation::SetObjectRects(LPCRECT position, LPCRECT) {
  if (!position) return E_POINTER;
  if (inPlaceSite_) window_.Move(*position);
  return S_OK;
}

}  // namespace formsrt
