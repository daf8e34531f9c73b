#include "container/ControlSite.h"

#include <cmath>

#include "com/ComBoundary.h"
#include "com/OutParameters.h"
#include "core/RuntimeError.h"
#include "platform/Platform.h"

namespace formsrt {

ControlSite::ControlSite(HWND form, const RECT& bounds, std::wstring name, AmbientProperties ambient)
    : form_(form), bounds_(bounds), name_(std::move(name)), ambient_(std::move(ambient)) {}

STDMETHODIMP ControlSite::QueryInterface(REFIID iid, void** out) {
  return QueryObject<IOleClientSite, Offer<IOleInPlaceSite, IOleWindow>, IOleControlSite,
                     Offer<IOleInPlaceFrame, IOleInPlaceUIWindow>, IDispatch>(this, iid, out);
}

STDMETHODIMP ControlSite::GetMoniker(DWORD, DWORD, IMoniker** moniker) {
  if (moniker) *moniker = nullptr;
  return E_NOTIMPL;
}

STDMETHODIMP ControlSite::GetContainer(IOleContainer** container) {
  if (container) *container = nullptr;
  return E_NOINTERFACE;
}

STDMETHODIMP ControlSite::GetWindow(HWND* window) {
  if (!window) return E_POINTER;
  *window = form_;
  return S_OK;
}

STDMETHODIMP ControlSite::GetWindowContext(IOleInPlaceFrame** frame, IOleInPlaceUIWindow** document,
                                           LPRECT position, LPRECT clip,
                                           LPOLEINPLACEFRAMEINFO info) {
  ClearOutParameters(frame, document);
  if (!frame || !document || !position || !clip || !info) return E_POINTER;
  *frame = static_cast<IOleInPlaceFrame*>(this);
  AddRef();
  *document = nullptr;
  *position = bounds_;
  *clip = bounds_;
  info->fMDIApp = FALSE;
  info->hwndFrame = form_;
  info->haccel = nullptr;
  info->cAccelEntries = 0;
  return S_OK;
}

STDMETHODIMP ControlSite::OnPosRectChange(LPCRECT position) {
  if (!position) return E_POINTER;
  bounds_ = *position;
  return S_OK;
}

STDMETHODIMP ControlSite::GetExtendedControl(IDispatch** control) {
  if (control) *control = nullptr;
  return E_NOTIMPL;
}

STDMETHODIMP ControlSite::GetTypeInfoCount(UINT* count) {
  if (!count) return E_POINTER;
  *count = 0;
  return S_OK;
}

STDMETHODIMP ControlSite::GetTypeInfo(UINT, LCID, ITypeInfo** info) {
  if (info) *info = nullptr;
  return E_NOTIMPL;
}

STDMETHODIMP ControlSite::GetIDsOfNames(REFIID, LPOLESTR*, UINT count, LCID, DISPID* ids) {
  for (UINT i = 0; ids && i < count; ++i) ids[i] = DISPID_UNKNOWN;
  return DISP_E_UNKNOWNNAME;
}

namespace {

// The source of the site's errors: it answers for the form.
constexpr wchar_t kSource[] = L"Form";

Variant FromColour(OLE_COLOR colour) { return Variant::FromInt32(static_cast<LONG>(colour)); }

}  // namespace

STDMETHODIMP ControlSite::Invoke(DISPID id, REFIID riid, LCID, WORD flags, DISPPARAMS* params,
                                 VARIANT* result, EXCEPINFO*, UINT*) {
  if (result) ::VariantInit(result);
  if (riid != IID_NULL) return DISP_E_UNKNOWNINTERFACE;
  if (!(flags & DISPATCH_PROPERTYGET)) return DISP_E_MEMBERNOTFOUND;
  if (params && params->cArgs != 0) return DISP_E_BADPARAMCOUNT;
  if (!result) return E_POINTER;
  return ComBoundary(kSource, IID_IDispatch, [&] { Ambient(id).MoveTo(result); });
}

Variant ControlSite::Ambient(DISPID id) {
  switch (id) {
    case DISPID_AMBIENT_USERMODE: return Variant::FromBool(ambient_.userMode);
    case DISPID_AMBIENT_UIDEAD:
    case DISPID_AMBIENT_SHOWGRABHANDLES:
    case DISPID_AMBIENT_SHOWHATCHING:
    case DISPID_AMBIENT_MESSAGEREFLECT:
    case DISPID_AMBIENT_DISPLAYASDEFAULT: return Variant::FromBool(false);
    case DISPID_AMBIENT_SUPPORTSMNEMONICS:
    case DISPID_AMBIENT_AUTOCLIP: return Variant::FromBool(true);
    case DISPID_AMBIENT_BACKCOLOR: return FromColour(ambient_.backColor);
    case DISPID_AMBIENT_FORECOLOR: return FromColour(ambient_.foreColor);
    case DISPID_AMBIENT_LOCALEID: return Variant::FromInt32(static_cast<LONG>(formsrt::Kernel32().GetUserDefaultLCID()));
    case DISPID_AMBIENT_APPEARANCE: return Variant::FromInt32(1);  // three-dimensional
    case DISPID_AMBIENT_DISPLAYNAME: return Variant::FromText(name_);
    case DISPID_AMBIENT_SCALEUNITS: return Variant::FromText(L"Twip");
    case DISPID_AMBIENT_FONT: return AmbientFont();
    default: throw ComError(DISP_E_MEMBERNOTFOUND);
  }
}

Variant ControlSite::AmbientFont() {
  if (!font_) {
    FONTDESC description{};
    description.cbSizeofstruct = sizeof(description);
    description.lpstrName = const_cast<LPOLESTR>(ambient_.fontName.c_str());
    description.cySize.int64 = std::llround(ambient_.fontPoints * 10000);
    description.sWeight = static_cast<SHORT>(ambient_.fontBold ? FW_BOLD : FW_NORMAL);
    description.sCharset = DEFAULT_CHARSET;
    ThrowIfFailed(::OleCreateFontIndirect(&description, IID_IFontDisp, font_.PutVoid()));
  }
  return Variant::FromDispatch(font_.Get());
}

}  // namespace formsrt
