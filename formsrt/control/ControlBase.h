// The base of every ActiveX control of the suite: the interfaces a container
// uses and the lifecycle handlers a control implements, named as the forms
// runtime names them. Each protocol is a part of its own, which the base
// composes and which reaches the control through the handlers it declares:
//   InPlaceActivation   the window, in-place and UI activation, DoVerb
//   ControlPersistence  IPersistStreamInit, IPersistPropertyBag
//   VerbsAndAdvise      IOleObject's verbs and advise sinks
//   ViewAndExtent       IViewObject2 and the extent
//   ClassAndErrorInfo   IProvideClassInfo2, OLEMISC status, ISupportErrorInfo
// The base itself holds the site and its ambient properties (IOleControl),
// the connection points for events and property changes, the rest of
// IOleObject, and the reference count.
//
// A control derives from ActiveXControl<DualInterface> (ActiveXControl.h),
// which adds the dual default interface to this base, or from this base and
// an IDispatch of its own. Its window follows one of two policies
// (InPlaceWindow.h): by default a ControlWindow made with the control and
// parked while inactive; or an ActivationWindow of the control's own, made
// at in-place activation.
#pragma once

#include <windows.h>
#include <ocidl.h>
#include <olectl.h>

#include <span>

#include "control/ClassAndErrorInfo.h"
#include "control/ControlDescription.h"
#include "control/ControlPersistence.h"
#include "control/InPlaceActivation.h"
#include "control/InPlaceWindow.h"
#include "control/PropertyBag.h"
#include "control/VerbsAndAdvise.h"
#include "control/ViewAndExtent.h"
#include "com/ComBoundary.h"
#include "com/ComObject.h"
#include "com/ComPtr.h"
#include "com/ConnectionPointContainer.h"

namespace formsrt {

class ControlBase : public VerbsAndAdvise,
                    public InPlaceActivation,
                    public IOleControl,
                    public ViewAndExtent,
                    public ControlPersistence,
                    public ConnectionPointContainer,
                    public ClassAndErrorInfo,
                    protected ComObjectBase {
 public:
  // IUnknown
  STDMETHODIMP QueryInterface(REFIID iid, void** out) override;
  STDMETHODIMP_(ULONG) AddRef() override { return ++references_; }
  STDMETHODIMP_(ULONG) Release() override;

  // IOleObject: the site, closing, and what the parts answer.
  STDMETHODIMP SetClientSite(IOleClientSite* site) override;
  STDMETHODIMP GetClientSite(IOleClientSite** site) override;
  STDMETHODIMP Close(DWORD saveOption) override;
  STDMETHODIMP DoVerb(LONG verb, LPMSG, IOleClientSite* activeSite, LONG, HWND,
                      LPCRECT) override {
    return DoActivationVerb(verb, activeSite ? activeSite : clientSite_.Get());
  }
  STDMETHODIMP GetUserClassID(CLSID* clsid) override { return GetClassID(clsid); }
  STDMETHODIMP GetUserType(DWORD form, LPOLESTR* userType) override;
  STDMETHODIMP SetExtent(DWORD aspect, SIZEL* size) override {
    return SetContentExtent(aspect, size);
  }
  STDMETHODIMP GetExtent(DWORD aspect, SIZEL* size) override { return ContentExtent(aspect, size); }
  using ViewAndExtent::GetExtent;
  STDMETHODIMP GetMiscStatus(DWORD, DWORD* status) override { return MiscStatus(status); }

  // IOleControl: the control has no mnemonics.
  STDMETHODIMP GetControlInfo(CONTROLINFO* info) override;
  STDMETHODIMP OnMnemonic(MSG*) override { return S_OK; }
  STDMETHODIMP OnAmbientPropertyChange(DISPID property) override;
  STDMETHODIMP FreezeEvents(BOOL freeze) override;

 protected:
  // A control whose window is a ControlWindow of the base's.
  explicit ControlBase(const ControlDescription& description);
  // A control with a window policy of its own: `window` is a member of the
  // control, which the base uses until the final release.
  ControlBase(const ControlDescription& description, InPlaceWindow& window);
  ~ControlBase() override;

  // The lifecycle, called by the base as the container asks; a control
  // leaves out what it has no use for. Exactly one of InitProperties (a new
  // instance) or ReadProperties (a saved one) runs.
  void UserControl_InitProperties() override {}
  void UserControl_ReadProperties(PropertyBag&) override {}
  void UserControl_WriteProperties(PropertyBag&) override {}
  // The instance is about to be destroyed (its final release).
  virtual void UserControl_Terminate() {}
  // Draws the control's surface; the default fills it with the face colour.
  void UserControl_Paint(HDC dc, const RECT& bounds) override;
  // An ambient property of the site changed (DISPID_UNKNOWN: any of them may
  // have, as when the control gets a site); AmbientFont() already gives the
  // new font.
  virtual void UserControl_AmbientChanged(DISPID) {}

  // The dual default interface, implemented by ActiveXControl<I>.
  virtual IDispatch* DefaultDispatch() = 0;

  // The parent of the control's child windows: its window (null while a
  // control with an ActivationWindow is not active in place).
  HWND ControlWindowHandle() const { return WindowHandle(); }
  // The font the site offers as its ambient font, null when it offers none.
  // The base keeps it alive until the control has heard of the next one.
  HFONT AmbientFont() const;

  // Tells every IPropertyNotifySink that the property with that DISPID on
  // the default interface changed, and marks the control dirty.
  void PropertyChanged(DISPID property);
  // Raises an event to every connected sink. Arguments are in their
  // natural order; a VT_BYREF argument lets the sinks write into it.
  void RaiseEvent(DISPID event, std::span<VARIANT> arguments);

 private:
  // Terminate and disconnect while the last reference is still held.
  void FinalRelease();
  ControlBase(const ControlDescription& description, InPlaceWindow* window);
  void AmbientChanged(DISPID property);
  // The boundary of the control's COM methods. The body is taken by
  // reference: a copy (to the heap, for a large lambda) would be made before
  // the boundary, where its failure would escape the method.
  template <class Body>
  HRESULT Guard(REFIID iid, Body&& body) {
    return ComBoundary(description_.title, iid, std::forward<Body>(body));
  }

  // Counted here rather than by ComObjectBase (which counts the object in
  // the module): the final release runs Terminate before destruction begins.
  ULONG references_ = 1;
  bool finalReleaseDone_ = false;
  const ControlDescription& description_;
  ConnectionPoint* eventPoint_;  // null when the control raises no events
  ConnectionPoint& propertyNotifyPoint_;

  ComPtr<IOleClientSite> clientSite_;
  ComPtr<IFont> ambientFont_;
  long eventFreezes_ = 0;
};

}  // namespace formsrt
