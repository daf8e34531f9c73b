#include "StandinControl.h"

#include "com/ComBoundary.h"
#include "com/ComModule.h"
#include "com/OutParameters.h"
#include "com/Variant.h"

#include <utility>

namespace standins {

using formsrt::ComPtr;

HRESULT StandinControl::QueryControlInterface(REFIID iid, void** out) {
  return formsrt::QueryObject<IOleObject, formsrt::Offer<IOleInPlaceObject, IOleWindow>,
                              formsrt::Offer<IViewObject2, IViewObject>,
                              formsrt::Offer<IPersistPropertyBag, IPersist>, IPersistStreamInit,
                              IOleControl>(this, iid, out);
}

STDMETHODIMP StandinControl::SetClientSite(IOleClientSite* site) {
  clientSite_ = ComPtr<IOleClientSite>(site);
  if (site) ReadAmbientFont();
  return S_OK;
}

STDMETHODIMP StandinControl::GetClientSite(IOleClientSite** site) {
  if (!site) return E_POINTER;
  return clientSite_.CopyTo(site);
}

STDMETHODIMP StandinControl::Close(DWORD) { return InPlaceDeactivate(); }

STDMETHODIMP StandinControl::DoVerb(LONG verb, LPMSG, IOleClientSite* site, LONG, HWND parent,
                                    LPCRECT bounds) {
  switch (verb) {
    case OLEIVERB_PRIMARY:
    case OLEIVERB_SHOW:
    case OLEIVERB_INPLACEACTIVATE:
    case OLEIVERB_UIACTIVATE: {
      HRESULT hr = E_FAIL;
      try {
        hr = ActivateInPlace(site ? site : clientSite_.Get(), parent, bounds);
      } catch (...) {
        return formsrt::ReportCurrentException(L"", IID_IOleObject);
      }
      if (SUCCEEDED(hr)) ::ShowWindow(window_, SW_SHOWNA);
      return hr;
    }
    case OLEIVERB_HIDE:
      if (window_) ::ShowWindow(window_, SW_HIDE);
      return S_OK;
    default:
      return OLEOBJ_S_INVALIDVERB;
  }
}

HRESULT StandinControl::ActivateInPlace(IOleClientSite* site, HWND parent, LPCRECT bounds) {
  if (window_) return S_OK;
  if (!site) return E_UNEXPECTED;
  ComPtr<IOleInPlaceSite> inPlace;
  HRESULT hr = site->QueryInterface(IID_IOleInPlaceSite, inPlace.PutVoid());
  if (FAILED(hr)) return hr;
  if (inPlace->CanInPlaceActivate() != S_OK) return E_FAIL;
  inPlace->OnInPlaceActivate();
  HWND siteWindow = nullptr;
  if (FAILED(inPlace->GetWindow(&siteWindow)) || !siteWindow) siteWindow = parent;
  RECT position{}, clip{};
  OLEINPLACEFRAMEINFO frameInfo{};
  frameInfo.cb = sizeof(frameInfo);
  ComPtr<IOleInPlaceFrame> frame;
  ComPtr<IOleInPlaceUIWindow> document;
  inPlace->GetWindowContext(frame.Put(), document.Put(), &position, &clip, &frameInfo);
  if (bounds) position = *bounds;
  try {
    window_ = CreateControlWindow(siteWindow, position);
  } catch (...) {
    inPlace->OnInPlaceDeactivate();
    throw;
  }
  inPlaceSite_ = inPlace;
  return S_OK;
}

STDMETHODIMP StandinControl::InPlaceDeactivate() {
  if (!window_) return S_OK;
  DestroyControlWindow();
  window_ = nullptr;
  if (ComPtr<IOleInPlaceSite> site = std::exchange(inPlaceSite_, nullptr)) site->OnInPlaceDeactivate();
  return S_OK;
}

STDMETHODIMP StandinControl::GetUserClassID(CLSID* clsid) { return GetClassID(clsid); }

STDMETHODIMP StandinControl::SetExtent(DWORD aspect, SIZEL* size) {
  if (!size) return E_POINTER;
  if (aspect != DVASPECT_CONTENT) return DV_E_DVASPECT;
  extent_ = *size;
  return S_OK;
}

STDMETHODIMP StandinControl::GetExtent(DWORD aspect, SIZEL* size) {
  formsrt::ClearOutParameters(size);
  if (!size) return E_POINTER;
  if (aspect != DVASPECT_CONTENT) return DV_E_DVASPECT;
  *size = extent_;
  return S_OK;
}

STDMETHODIMP StandinControl::GetExtent(DWORD aspect, LONG, DVTARGETDEVICE*, LPSIZEL size) {
  return GetExtent(aspect, size);
}

STDMETHODIMP StandinControl::GetMiscStatus(DWORD aspect, DWORD* status) {
  formsrt::ClearOutParameters(status);
  if (!status) return E_POINTER;
  if (aspect != DVASPECT_CONTENT) return DV_E_DVASPECT;
  *status = OLEMISC_RECOMPOSEONRESIZE | OLEMISC_CANTLINKINSIDE | OLEMISC_INSIDEOUT |
            OLEMISC_ACTIVATEWHENVISIBLE | OLEMISC_SETCLIENTSITEFIRST;
  return S_OK;
}

STDMETHODIMP StandinControl::GetWindow(HWND* window) {
  if (!window) return E_POINTER;
  *window = window_;
  return window_ ? S_OK : E_FAIL;
}

STDMETHODIMP StandinControl::SetObjectRects(LPCRECT position, LPCRECT) {
  if (!position) return E_POINTER;
  if (window_) {
    ::MoveWindow(window_, position->left, position->top, position->right - position->left,
                 position->bottom - position->top, TRUE);
  }
  return S_OK;
}

STDMETHODIMP StandinControl::Draw(DWORD aspect, LONG, void*, DVTARGETDEVICE*, HDC, HDC dc,
                                  LPCRECTL bounds, LPCRECTL, BOOL(STDMETHODCALLTYPE*)(ULONG_PTR),
                                  ULONG_PTR) {
  if (aspect != DVASPECT_CONTENT) return DV_E_DVASPECT;
  if (!dc || !bounds) return E_INVALIDARG;
  DrawContent(dc, RECT{bounds->left, bounds->top, bounds->right, bounds->bottom});
  return S_OK;
}

STDMETHODIMP StandinControl::GetClassID(CLSID* clsid) {
  if (!clsid) return E_POINTER;
  *clsid = clsid_;
  return S_OK;
}

STDMETHODIMP StandinControl::Load(IPropertyBag* bag, IErrorLog*) {
  if (!bag) return E_POINTER;
  ReadProperties(bag);
  return S_OK;
}

STDMETHODIMP StandinControl::Save(IPropertyBag* bag, BOOL, BOOL) {
  if (!bag) return E_POINTER;
  WriteProperties(bag);
  return S_OK;
}

STDMETHODIMP StandinControl::GetSizeMax(ULARGE_INTEGER* size) {
  if (!size) return E_POINTER;
  size->QuadPart = 0;
  return S_OK;
}

STDMETHODIMP StandinControl::GetControlInfo(CONTROLINFO* info) {
  if (!info) return E_POINTER;
  *info = {};
  info->cb = sizeof(*info);
  return S_OK;
}

STDMETHODIMP StandinControl::OnAmbientPropertyChange(DISPID id) {
  if (id == DISPID_AMBIENT_FONT || id == DISPID_UNKNOWN) ReadAmbientFont();
  return S_OK;
}

void StandinControl::ReadAmbientFont() {
  ComPtr<IDispatch> ambient;
  ComPtr<IFont> font;
  formsrt::Variant value;
  DISPPARAMS none{};
  if (clientSite_ && SUCCEEDED(clientSite_.As(ambient)) &&
      SUCCEEDED(ambient->Invoke(DISPID_AMBIENT_FONT, IID_NULL, 0, DISPATCH_PROPERTYGET, &none,
                                value.Put(), nullptr, nullptr)) &&
      (value.Type() == VT_DISPATCH || value.Type() == VT_UNKNOWN) && V_UNKNOWN(&value.Get())) {
    V_UNKNOWN(&value.Get())->QueryInterface(IID_IFont, font.PutVoid());
  }
  HFONT handle = nullptr;
  if (font) font->get_hFont(&handle);
  ambientFont_ = font;
  ApplyFont(handle);
}

}  // namespace standins
