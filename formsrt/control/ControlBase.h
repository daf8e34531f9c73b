// The base of every ActiveX control of the suite: the interfaces a container
// uses (site, extents, verbs, in-place activation, view, persistence through
// a property bag and a stream, connection points for events and property
// changes, class info, error info) and the lifecycle handlers a control
// implements, named as the forms runtime names them.
//
// A control derives from ActiveXControl<DualInterface> (ActiveXControl.h),
// which adds the dual default interface to this base.
#pragma once

#include <windows.h>
#include <ocidl.h>
#include <olectl.h>

#include <functional>
#include <span>

#include "com/ConnectionPoint.h"
#include "ControlWindow.h"
#include "PropertyBag.h"
#include "PropertyValues.h"
#include "com/ComModule.h"
#include "com/ComPtr.h"

namespace formsrt {

// What a control tells its base about itself.
struct ControlDescription {
  const CLSID& clsid;
  const IID& defaultInterface;  // the dual interface
  const IID& eventInterface;    // the source dispinterface
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
                    public IConnectionPointContainer,
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
  STDMETHODIMP OnAmbientPropertyChange(DISPID) override { return S_OK; }
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

  // IConnectionPointContainer
  STDMETHODIMP EnumConnectionPoints(IEnumConnectionPoints** points) override;
  STDMETHODIMP FindConnectionPoint(REFIID iid, IConnectionPoint** point) override;

  // IProvideClassInfo2
  STDMETHODIMP GetClassInfo(ITypeInfo** info) override;
  STDMETHODIMP GetGUID(DWORD kind, GUID* guid) override;

  // ISupportErrorInfo
  STDMETHODIMP InterfaceSupportsErrorInfo(REFIID iid) override;

 protected:
  explicit ControlBase(const ControlDescription& description);
  ~ControlBase() override;

  // The lifecycle, called by the base as the container asks. Exactly one of
  // InitProperties (a new instance) or ReadProperties (a saved one) runs.
  virtual void UserControl_InitProperties() = 0;
  virtual void UserControl_ReadProperties(PropertyBag& bag) = 0;
  virtual void UserControl_WriteProperties(PropertyBag& bag) = 0;
  // The instance is about to be destroyed (its final release).
  virtual void UserControl_Terminate() = 0;
  // Draws the control's surface; the default fills it with the face colour.
  virtual void UserControl_Paint(HDC dc, const RECT& bounds);

  // The dual default interface, implemented by ActiveXControl<I>.
  virtual IDispatch* DefaultDispatch() = 0;

  // The parent of the control's child windows.
  HWND ControlWindowHandle() const { return window_.Handle(); }

  // Tells every IPropertyNotifySink that the property with that DISPID on
  // the default interface changed, and marks the control dirty.
  void PropertyChanged(DISPID property);
  // Raises an event to every connected sink. Arguments are in their
  // natural order; a VT_BYREF argument lets the sinks write into it.
  void RaiseEvent(DISPID event, std::span<VARIANT> arguments);

 private:
  // Terminate and disconnect while the last reference is still held.
  void FinalRelease();
  void ActivateInPlace(IOleClientSite* activeSite, bool uiActivate);
  void ActivateUi();
  void RequireUninitialised() const;
  void LoadFrom(PropertyBag& bag);
  PropertyValues CollectProperties();
  HRESULT Guard(REFIID iid, const std::function<void()>& body);

  // Counted here rather than by ComObjectBase (which counts the object in
  // the module): the final release runs Terminate before destruction begins.
  ULONG references_ = 1;
  bool finalReleaseDone_ = false;
  const ControlDescription& description_;
  SIZEL extent_;  // HIMETRIC
  ControlWindow window_;
  ConnectionPoint eventPoint_;
  ConnectionPoint propertyNotifyPoint_;

  ComPtr<IOleClientSite> clientSite_;
  ComPtr<IOleInPlaceSite> inPlaceSite_;
  ComPtr<IOleInPlaceFrame> frame_;
  ComPtr<IOleInPlaceUIWindow> uiWindow_;
  ComPtr<IOleAdviseHolder> adviseHolder_;
  ComPtr<IAdviseSink> viewSink_;
  DWORD viewAspects_ = 0;
  DWORD viewAdviseFlags_ = 0;

  bool uiActive_ = false;
  bool initialised_ = false;
  bool dirty_ = false;
  long eventFreezes_ = 0;
};

}  // namespace formsrt
