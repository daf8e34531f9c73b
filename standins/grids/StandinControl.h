// What a container needs of an ActiveX control, in the smallest form that
// serves the grid stand-ins: a client site, in-place activation in a child
// window of the site's window, drawing into a given device context,
// initialisation from a property bag or a stream, and the ambient font.
// A derived class supplies its window, its drawing and its properties, and
// answers IUnknown for the whole object (QueryControlInterface gives the
// interfaces of this base).
#pragma once

#include <windows.h>
#include <ocidl.h>
#include <olectl.h>

#include "com/ComPtr.h"

namespace standins {

class StandinControl : public IOleObject,
                       public IOleInPlaceObject,
                       public IViewObject2,
                       public IPersistPropertyBag,
                       public IPersistStreamInit,
                       public IOleControl {
 public:
  // IOleObject
  STDMETHODIMP SetClientSite(IOleClientSite* site) override;
  STDMETHODIMP GetClientSite(IOleClientSite** site) override;
  STDMETHODIMP SetHostNames(LPCOLESTR, LPCOLESTR) override { return S_OK; }
  STDMETHODIMP Close(DWORD saveOption) override;
  STDMETHODIMP SetMoniker(DWORD, IMoniker*) override { return E_NOTIMPL; }
  STDMETHODIMP GetMoniker(DWORD, DWORD, IMoniker**) override { return E_NOTIMPL; }
  STDMETHODIMP InitFromData(IDataObject*, BOOL, DWORD) override { return E_NOTIMPL; }
  STDMETHODIMP GetClipboardData(DWORD, IDataObject**) override { return E_NOTIMPL; }
  STDMETHODIMP DoVerb(LONG verb, LPMSG, IOleClientSite* site, LONG, HWND parent,
                      LPCRECT bounds) override;
  STDMETHODIMP EnumVerbs(IEnumOLEVERB**) override { return OLEOBJ_E_NOVERBS; }
  STDMETHODIMP Update() override { return S_OK; }
  STDMETHODIMP IsUpToDate() override { return S_OK; }
  STDMETHODIMP GetUserClassID(CLSID* clsid) override;
  STDMETHODIMP GetUserType(DWORD, LPOLESTR*) override { return OLE_S_USEREG; }
  STDMETHODIMP SetExtent(DWORD aspect, SIZEL* size) override;
  STDMETHODIMP GetExtent(DWORD aspect, SIZEL* size) override;
  STDMETHODIMP Advise(IAdviseSink*, DWORD*) override { return OLE_E_ADVISENOTSUPPORTED; }
  STDMETHODIMP Unadvise(DWORD) override { return OLE_E_NOCONNECTION; }
  STDMETHODIMP EnumAdvise(IEnumSTATDATA**) override { return E_NOTIMPL; }
  STDMETHODIMP GetMiscStatus(DWORD aspect, DWORD* status) override;
  STDMETHODIMP SetColorScheme(LOGPALETTE*) override { return E_NOTIMPL; }

  // IOleWindow, IOleInPlaceObject
  STDMETHODIMP GetWindow(HWND* window) override;
  STDMETHODIMP ContextSensitiveHelp(BOOL) override { return E_NOTIMPL; }
  STDMETHODIMP InPlaceDeactivate() override;
  STDMETHODIMP UIDeactivate() override { return S_OK; }
  STDMETHODIMP SetObjectRects(LPCRECT position, LPCRECT clip) override;
  STDMETHODIMP ReactivateAndUndo() override { return E_NOTIMPL; }

  // IViewObject2
  STDMETHODIMP Draw(DWORD aspect, LONG, void*, DVTARGETDEVICE*, HDC, HDC dc, LPCRECTL bounds,
                    LPCRECTL, BOOL(STDMETHODCALLTYPE*)(ULONG_PTR), ULONG_PTR) override;
  STDMETHODIMP GetColorSet(DWORD, LONG, void*, DVTARGETDEVICE*, HDC, LOGPALETTE**) override {
    return E_NOTIMPL;
  }
  STDMETHODIMP Freeze(DWORD, LONG, void*, DWORD*) override { return E_NOTIMPL; }
  STDMETHODIMP Unfreeze(DWORD) override { return E_NOTIMPL; }
  STDMETHODIMP SetAdvise(DWORD, DWORD, IAdviseSink*) override { return S_OK; }
  STDMETHODIMP GetAdvise(DWORD*, DWORD*, IAdviseSink**) override { return E_NOTIMPL; }
  STDMETHODIMP GetExtent(DWORD aspect, LONG, DVTARGETDEVICE*, LPSIZEL size) override;

  // IPersist, IPersistPropertyBag, IPersistStreamInit
  STDMETHODIMP GetClassID(CLSID* clsid) override;
  STDMETHODIMP InitNew() override { return S_OK; }
  STDMETHODIMP Load(IPropertyBag* bag, IErrorLog*) override;
  STDMETHODIMP Save(IPropertyBag* bag, BOOL, BOOL) override;
  // Nothing of the stand-ins goes into a stream: loading and saving one is
  // accepted and moves no data.
  STDMETHODIMP IsDirty() override { return S_FALSE; }
  STDMETHODIMP Load(IStream*) override { return S_OK; }
  STDMETHODIMP Save(IStream*, BOOL) override { return S_OK; }
  STDMETHODIMP GetSizeMax(ULARGE_INTEGER* size) override;

  // IOleControl
  STDMETHODIMP GetControlInfo(CONTROLINFO* info) override;
  STDMETHODIMP OnMnemonic(MSG*) override { return E_NOTIMPL; }
  STDMETHODIMP OnAmbientPropertyChange(DISPID id) override;
  STDMETHODIMP FreezeEvents(BOOL) override { return S_OK; }

 protected:
  explicit StandinControl(const CLSID& clsid) : clsid_(clsid) {}
  virtual ~StandinControl() = default;

  HRESULT QueryControlInterface(REFIID iid, void** out);

  // The control's window, a child of `parent` at `bounds` (pixels); it lives
  // until DestroyControlWindow.
  virtual HWND CreateControlWindow(HWND parent, const RECT& bounds) = 0;
  virtual void DestroyControlWindow() = 0;
  // Draws the control's content into a device context that is not its window.
  virtual void DrawContent(HDC dc, const RECT& bounds) = 0;
  // The ambient font changed (null: the container offers none).
  virtual void ApplyFont(HFONT font) = 0;
  virtual void ReadProperties(IPropertyBag*) {}
  virtual void WriteProperties(IPropertyBag*) {}

 private:
  void ReadAmbientFont();
  HRESULT ActivateInPlace(IOleClientSite* site, HWND parent, LPCRECT bounds);

  const CLSID& clsid_;
  formsrt::ComPtr<IOleClientSite> clientSite_;
  formsrt::ComPtr<IOleInPlaceSite> inPlaceSite_;
  formsrt::ComPtr<IFont> ambientFont_;  // keeps the font handle alive
  HWND window_ = nullptr;
  SIZEL extent_{2540, 2540};  // HIMETRIC: one inch square until the container says otherwise
};

}  // namespace standins
