// The base of every ActiveX control of the suite: the interfaces a container
// uses (site, extents, verbs, in-place activation, view, persistence through
// a property bag and a stream, connection points for events and property
// changes, class info, error info) and the lifecycle handlers a control
// implements, named as the forms runtime names them.
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

#include <memory>
#include <span>

#include "com/ConnectionPointContainer.h"
#include "control/ControlWindow.h"
#include "control/InPlaceWindow.h"
#include "control/PropertyBag.h"
#include "control/PropertyValues.h"
#include "com/ComBoundary.h"
#include "com/ComObject.h"
#include "com/ComPtr.h"

namespace formsrt {

// What a control tells its base about itself.
struct ControlDescription {
  const CLSID& clsid;
  const IID& defaultInterface;  // the dual interface
  const IID& eventInterface;    // the source dispinterface; IID_NULL when it raises no events
  const wchar_t* title;         // the library's title: error source
  SIZE designSizeTwips;         // the control's client area at design time
  DWORD miscStatus;             // OLEMISC_* bits
};

class ControlBase : public IOleObject,
                    public IOleInPlaceObject,
                    public IOleInPlaceActiveObject,
                    public IOleControl,
                    public IViewObject2,
                    public IPersistStreamInit,
                    public IPersistPropertyBag,
                    public ConnectionPointContainer,
                    public IProvideClassInfo2,
                    public ISupportErrorInfo,
                    protected ComObjectBase {
 public:
  // IUnknown
  STDMETHODIMP QueryInterface(REFIID iid, void** out) override;
  STDMETHODIMP_(ULONG) AddRef() override { return ++references_; }
  STDMETHODIMP_(ULONG) Release() override;

  // IOleObject
  STDMETHODIMP SetClientSite(IOleClientSite* site) override;
  STDMETHODIMP GetClientSite(IOleClientSite** site) override;
  STDMETHODIMP SetHostNames(LPCOLESTR, LPCOLESTR) override { return S_OK; }
  STDMETHODIMP Close(DWORD saveOption) override;
  STDMETHODIMP SetMoniker(DWORD, IMoniker*) override { return E_NOTIMPL; }
  STDMETHODIMP GetMoniker(DWORD, DWORD, IMoniker** moniker) override;
  STDMETHODIMP InitFromData(IDataObject*, BOOL, DWORD) override { return E_NOTIMPL; }
  STDMETHODIMP GetClipboardData(DWORD, IDataObject** data) override;
  STDMETHODIMP DoVerb(LONG verb, LPMSG, IOleClientSite* activeSite, LONG, HWND parent,
                      LPCRECT position) override;
  STDMETHODIMP EnumVerbs(IEnumOLEVERB** verbs) override;
  STDMETHODIMP Update() override { return S_OK; }
  STDMETHODIMP IsUpToDate() override { return S_OK; }
  STDMETHODIMP GetUserClassID(CLSID* clsid) override { return GetClassID(clsid); }
  STDMETHODIMP GetUserType(DWORD form, LPOLESTR* userType) override;
  STDMETHODIMP SetExtent(DWORD aspect, SIZEL* size) override;
  STDMETHODIMP GetExtent(DWORD aspect, SIZEL* size) override;
  STDMETHODIMP Advise(IAdviseSink* sink, DWORD* connection) override;
  STDMETHODIMP Unadvise(DWORD connection) override;
  STDMETHODIMP EnumAdvise(IEnumSTATDATA** advises) override;
  STDMETHODIMP GetMiscStatus(DWORD aspect, DWORD* status) override;
  STDMETHODIMP SetColorScheme(LOGPALETTE*) override { return E_NOTIMPL; }

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

  // IOleControl: the control has no mnemonics.
  STDMETHODIMP GetControlInfo(CONTROLINFO* info) override;
  STDMETHODIMP OnMnemonic(MSG*) override { return S_OK; }
  STDMETHODIMP OnAmbientPropertyChange(DISPID property) override;
  STDMETHODIMP FreezeEvents(BOOL freeze) override;

  // IViewObject2
  STDMETHODIMP Draw(DWORD aspect, LONG, void*, DVTARGETDEVICE*, HDC, HDC dc, LPCRECTL bounds,
                    LPCRECTL, BOOL(STDMETHODCALLTYPE*)(ULONG_PTR), ULONG_PTR) override;
  STDMETHODIMP GetColorSet(DWORD, LONG, void*, DVTARGETDEVICE*, HDC, LOGPALETTE**) override {
    return E_NOTIMPL;
  }
  STDMETHODIMP Freeze(DWORD, LONG, void*, DWORD*) override { return E_NOTIMPL; }
  STDMETHODIMP Unfreeze(DWORD) override { return E_NOTIMPL; }
  STDMETHODIMP SetAdvise(DWORD aspects, DWORD flags, IAdviseSink* sink) override;
  STDMETHODIMP GetAdvise(DWORD* aspects, DWORD* flags, IAdviseSink** sink) override;
  STDMETHODIMP GetExtent(DWORD aspect, LONG, DVTARGETDEVICE*, LPSIZEL size) override;

  // IPersist, IPersistStreamInit, IPersistPropertyBag
  STDMETHODIMP GetClassID(CLSID* clsid) override;
  STDMETHODIMP IsDirty() override { return dirty_ ? S_OK : S_FALSE; }
  STDMETHODIMP Load(LPSTREAM stream) override;
  STDMETHODIMP Save(LPSTREAM stream, BOOL clearDirty) override;
  STDMETHODIMP GetSizeMax(ULARGE_INTEGER* size) override;
  STDMETHODIMP InitNew() override;
  STDMETHODIMP Load(IPropertyBag* bag, IErrorLog* errorLog) override;
  STDMETHODIMP Save(IPropertyBag* bag, BOOL clearDirty, BOOL saveAll) override;

  // IProvideClassInfo2
  STDMETHODIMP GetClassInfo(ITypeInfo** info) override;
  STDMETHODIMP GetGUID(DWORD kind, GUID* guid) override;

  // ISupportErrorInfo
  STDMETHODIMP InterfaceSupportsErrorInfo(REFIID iid) override;

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
  virtual void UserControl_InitProperties() {}
  virtual void UserControl_ReadProperties(PropertyBag&) {}
  virtual void UserControl_WriteProperties(PropertyBag&) {}
  // The instance is about to be destroyed (its final release).
  virtual void UserControl_Terminate() {}
  // Draws the control's surface; the default fills it with the face colour.
  virtual void UserControl_Paint(HDC dc, const RECT& bounds);
  // An ambient property of the site changed (DISPID_UNKNOWN: any of them may
  // have, as when the control gets a site); AmbientFont() already gives the
  // new font.
  virtual void UserControl_AmbientChanged(DISPID) {}

  // The dual default interface, implemented by ActiveXControl<I>.
  virtual IDispatch* DefaultDispatch() = 0;

  // The parent of the control's child windows: its window (null while a
  // control with an ActivationWindow is not active in place).
  HWND ControlWindowHandle() const { return window_.Handle(); }
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
  void ActivateInPlace(IOleClientSite* activeSite, bool uiActivate);
  void EnterInPlace(IOleClientSite* activeSite);
  void PlaceWindow(IOleInPlaceSite* site);
  void ActivateUi();
  void DeactivateUi(IOleInPlaceSite* site);
  void AmbientChanged(DISPID property);
  void RequireUninitialised() const;
  void LoadFrom(PropertyBag& bag);
  PropertyValues CollectProperties();
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
  SIZEL extent_;  // HIMETRIC
  std::unique_ptr<ControlWindow> ownWindow_;  // null when the control brings its window
  InPlaceWindow& window_;
  ConnectionPoint* eventPoint_;  // null when the control raises no events
  ConnectionPoint& propertyNotifyPoint_;

  ComPtr<IOleClientSite> clientSite_;
  ComPtr<IOleInPlaceSite> inPlaceSite_;
  ComPtr<IOleInPlaceFrame> frame_;
  ComPtr<IOleInPlaceUIWindow> uiWindow_;
  ComPtr<IOleAdviseHolder> adviseHolder_;
  ComPtr<IAdviseSink> viewSink_;
  ComPtr<IFont> ambientFont_;
  DWORD viewAspects_ = 0;
  DWORD viewAdviseFlags_ = 0;

  bool uiActive_ = false;
  bool initialised_ = false;
  bool dirty_ = false;
  long eventFreezes_ = 0;
};

}  // namespace formsrt
