#include "control/ControlBase.h"

#include <string>
#include <utility>
#include <vector>

#include "com/ComEnumerator.h"
#include "control/PropertyStream.h"
#include "control/PropertyValuesBag.h"
#include "com/ComBoundary.h"
#include "com/OutParameters.h"
#include "com/RuntimeError.h"
#include "com/TypeInformation.h"
#include "com/Variant.h"
#include "forms/Screen.h"
#include "services/UnhandledError.h"

namespace formsrt {

namespace {

constexpr int kTwipsPerInch = 1440;
constexpr int kHimetricPerInch = 2540;

SIZEL TwipsToHimetric(SIZE twips) {
  return {::MulDiv(twips.cx, kHimetricPerInch, kTwipsPerInch),
          ::MulDiv(twips.cy, kHimetricPerInch, kTwipsPerInch)};
}

SIZE TwipsToPixels(SIZE twips) {
  return {Screen::PixelsFromTwipsX(twips.cx), Screen::PixelsFromTwipsY(twips.cy)};
}

struct StoredVerb {
  LONG verb;
  std::wstring name;
  DWORD attributes;
};

void CopyVerb(const StoredVerb& stored, OLEVERB* out) {
  size_t bytes = (stored.name.size() + 1) * sizeof(wchar_t);
  out->lVerb = stored.verb;
  out->lpszVerbName = static_cast<LPOLESTR>(::CoTaskMemAlloc(bytes));
  if (out->lpszVerbName) ::memcpy(out->lpszVerbName, stored.name.c_str(), bytes);
  out->fuFlags = MF_STRING;
  out->grfAttribs = stored.attributes;
}

using VerbEnumerator = ComEnumerator<IEnumOLEVERB, OLEVERB, StoredVerb, CopyVerb>;

// The font a site offers as its ambient font; null when it has none.
ComPtr<IFont> AmbientFontOf(IOleClientSite* site) {
  ComPtr<IDispatch> ambient;
  Variant value;
  DISPPARAMS none{};
  ComPtr<IFont> font;
  if (site && SUCCEEDED(site->QueryInterface(IID_IDispatch, ambient.PutVoid())) &&
      SUCCEEDED(ambient->Invoke(DISPID_AMBIENT_FONT, IID_NULL, 0, DISPATCH_PROPERTYGET, &none,
                                value.Put(), nullptr, nullptr)) &&
      (value.Type() == VT_DISPATCH || value.Type() == VT_UNKNOWN) && V_UNKNOWN(&value.Get())) {
    V_UNKNOWN(&value.Get())->QueryInterface(IID_IFont, font.PutVoid());
  }
  return font;
}

}  // namespace

ControlBase::ControlBase(const ControlDescription& description) : ControlBase(description, nullptr) {}

ControlBase::ControlBase(const ControlDescription& description, InPlaceWindow& window)
    : ControlBase(description, &window) {}

ControlBase::ControlBase(const ControlDescription& description, InPlaceWindow* window)
    : description_(description),
      extent_(TwipsToHimetric(description.designSizeTwips)),
      ownWindow_(window ? nullptr
                        : std::make_unique<ControlWindow>(
                              TwipsToPixels(description.designSizeTwips),
                              [this](HDC dc, const RECT& bounds) {
                                // A control does not end its host for a failed paint.
                                RunControlHandler([&] { UserControl_Paint(dc, bounds); });
                              })),
      window_(window ? *window : *ownWindow_),
      eventPoint_(description.eventInterface == IID_NULL
                      ? nullptr
                      : &AddConnectionPoint(description.eventInterface,
                                            ConnectionPoint::Accepts::EventDispatch)),
      propertyNotifyPoint_(AddConnectionPoint(IID_IPropertyNotifySink)) {}

ControlBase::~ControlBase() = default;

STDMETHODIMP ControlBase::QueryInterface(REFIID iid, void** out) {
  if (!out) return E_POINTER;
  *out = nullptr;
  if (iid == IID_IDispatch || iid == description_.defaultInterface) {
    *out = DefaultDispatch();
    AddRef();
    return S_OK;
  }
  return QueryObject<IOleObject, Offer<IOleInPlaceObject, IOleWindow>, IOleInPlaceActiveObject,
                     IOleControl, Offer<IViewObject2, IViewObject>,
                     Offer<IPersistStreamInit, IPersist>, IPersistPropertyBag,
                     IConnectionPointContainer, Offer<IProvideClassInfo2, IProvideClassInfo>,
                     ISupportErrorInfo>(this, iid, out);
}

STDMETHODIMP_(ULONG) ControlBase::Release() {
  if (references_ == 1 && !finalReleaseDone_) {
    finalReleaseDone_ = true;
    FinalRelease();
  }
  ULONG remaining = --references_;
  if (remaining == 0) {
    // Held up while the members go: a site, sink or font that calls back
    // with an AddRef and a Release during destruction must not start it again.
    references_ = 1;
    DestroyThenUncount();
  }
  return remaining;
}

void ControlBase::FinalRelease() {
  try {
    UserControl_Terminate();
  } catch (...) {
    // Nothing may escape Release; a failing Terminate cannot keep the object alive.
  }
  InPlaceDeactivate();
  DisconnectAll();
}

// IOleObject

// A new site (or none) brings other ambient properties.
STDMETHODIMP ControlBase::SetClientSite(IOleClientSite* site) {
  return Guard(IID_IOleObject, [&] {
    clientSite_ = ComPtr<IOleClientSite>(site);
    AmbientChanged(DISPID_UNKNOWN);
  });
}

STDMETHODIMP ControlBase::GetClientSite(IOleClientSite** site) {
  if (!site) return E_POINTER;
  return clientSite_.CopyTo(site);
}

STDMETHODIMP ControlBase::Close(DWORD saveOption) {
  bool save = saveOption == OLECLOSE_SAVEIFDIRTY || saveOption == OLECLOSE_PROMPTSAVE;
  if (save && dirty_ && clientSite_) clientSite_->SaveObject();
  InPlaceDeactivate();
  if (adviseHolder_) adviseHolder_->SendOnClose();
  return S_OK;
}

STDMETHODIMP ControlBase::GetMoniker(DWORD, DWORD, IMoniker** moniker) {
  if (moniker) *moniker = nullptr;
  return E_NOTIMPL;
}

STDMETHODIMP ControlBase::GetClipboardData(DWORD, IDataObject** data) {
  if (data) *data = nullptr;
  return E_NOTIMPL;
}

STDMETHODIMP ControlBase::DoVerb(LONG verb, LPMSG, IOleClientSite* activeSite, LONG, HWND,
                                 LPCRECT) {
  switch (verb) {
    case OLEIVERB_PRIMARY:
    case OLEIVERB_SHOW:
    case OLEIVERB_INPLACEACTIVATE:
      return Guard(IID_IOleObject, [&] { ActivateInPlace(activeSite, false); });
    case OLEIVERB_UIACTIVATE:
      return Guard(IID_IOleObject, [&] { ActivateInPlace(activeSite, true); });
    case OLEIVERB_HIDE:
      return InPlaceDeactivate();
    default:
      if (verb < 0) return E_NOTIMPL;
      // An unknown positive verb: the primary verb, and say so.
      HRESULT hr = Guard(IID_IOleObject, [&] { ActivateInPlace(activeSite, false); });
      return FAILED(hr) ? hr : OLEOBJ_S_INVALIDVERB;
  }
}

void ControlBase::ActivateInPlace(IOleClientSite* activeSite, bool uiActivate) {
  if (!inPlaceSite_) EnterInPlace(activeSite);
  if (uiActivate && !uiActive_) ActivateUi();
}

// The site must agree, and say where: its window and the control's place
// there, which it alone decides (DoVerb's window and rectangle are not
// asked). A site that refuses OnInPlaceActivate has nothing to undo; once
// it agreed, any failure after is undone with OnInPlaceDeactivate.
void ControlBase::EnterInPlace(IOleClientSite* activeSite) {
  IOleClientSite* site = activeSite ? activeSite : clientSite_.Get();
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

void ControlBase::PlaceWindow(IOleInPlaceSite* site) {
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

void ControlBase::ActivateUi() {
  uiActive_ = true;
  inPlaceSite_->OnUIActivate();
  auto* active = static_cast<IOleInPlaceActiveObject*>(this);
  if (frame_) frame_->SetActiveObject(active, nullptr);
  if (uiWindow_) uiWindow_->SetActiveObject(active, nullptr);
}

STDMETHODIMP ControlBase::EnumVerbs(IEnumOLEVERB** verbs) {
  if (!verbs) return E_POINTER;
  *verbs = nullptr;
  return Guard(IID_IOleObject, [&] {
    std::vector<StoredVerb> list{
        {OLEIVERB_PRIMARY, L"&Activate", OLEVERBATTRIB_ONCONTAINERMENU},
        {OLEIVERB_SHOW, L"", 0},
        {OLEIVERB_HIDE, L"", 0},
        {OLEIVERB_UIACTIVATE, L"", 0},
        {OLEIVERB_INPLACEACTIVATE, L"", 0},
    };
    ThrowIfFailed(CreateAndQuery<VerbEnumerator>(IID_IEnumOLEVERB, reinterpret_cast<void**>(verbs),
                                                 std::move(list)));
  });
}

STDMETHODIMP ControlBase::GetUserType(DWORD form, LPOLESTR* userType) {
  return ::OleRegGetUserType(description_.clsid, form, userType);
}

STDMETHODIMP ControlBase::SetExtent(DWORD aspect, SIZEL* size) {
  if (aspect != DVASPECT_CONTENT) return DV_E_DVASPECT;
  if (!size) return E_POINTER;
  extent_ = *size;
  return S_OK;
}

STDMETHODIMP ControlBase::GetExtent(DWORD aspect, SIZEL* size) {
  ClearOutParameters(size);
  if (aspect != DVASPECT_CONTENT) return DV_E_DVASPECT;
  if (!size) return E_POINTER;
  *size = extent_;
  return S_OK;
}

STDMETHODIMP ControlBase::Advise(IAdviseSink* sink, DWORD* connection) {
  ClearOutParameters(connection);
  if (!adviseHolder_) {
    HRESULT hr = ::CreateOleAdviseHolder(adviseHolder_.Put());
    if (FAILED(hr)) return hr;
  }
  return adviseHolder_->Advise(sink, connection);
}

STDMETHODIMP ControlBase::Unadvise(DWORD connection) {
  return adviseHolder_ ? adviseHolder_->Unadvise(connection) : OLE_E_NOCONNECTION;
}

STDMETHODIMP ControlBase::EnumAdvise(IEnumSTATDATA** advises) {
  if (!advises) return E_POINTER;
  *advises = nullptr;
  return adviseHolder_ ? adviseHolder_->EnumAdvise(advises) : S_OK;
}

STDMETHODIMP ControlBase::GetMiscStatus(DWORD, DWORD* status) {
  if (!status) return E_POINTER;
  *status = description_.miscStatus;
  return S_OK;
}

// In-place activation

STDMETHODIMP ControlBase::GetWindow(HWND* window) {
  if (!window) return E_POINTER;
  *window = inPlaceSite_ ? window_.Handle() : nullptr;
  return inPlaceSite_ ? S_OK : E_FAIL;
}

// The site is taken before anything is said to it: a container that ends the
// activation again from one of these notifications (InPlaceDeactivate, Close,
// DoVerb(OLEIVERB_HIDE)) finds the control no longer active in place, and
// this call finishes with the site it took.
STDMETHODIMP ControlBase::InPlaceDeactivate() {
  ComPtr<IOleInPlaceSite> site = std::move(inPlaceSite_);
  if (!site) return S_OK;
  DeactivateUi(site.Get());
  window_.Withdraw();
  frame_.Reset();
  uiWindow_.Reset();
  site->OnInPlaceDeactivate();
  return S_OK;
}

STDMETHODIMP ControlBase::UIDeactivate() {
  DeactivateUi(ComPtr<IOleInPlaceSite>(inPlaceSite_).Get());
  return S_OK;
}

// Holds what it calls: a container may end the activation, and let go of
// the frame and the site, from any of these calls.
void ControlBase::DeactivateUi(IOleInPlaceSite* site) {
  if (!uiActive_) return;
  uiActive_ = false;
  ComPtr<IOleInPlaceFrame> frame = frame_;
  ComPtr<IOleInPlaceUIWindow> uiWindow = uiWindow_;
  if (frame) frame->SetActiveObject(nullptr, nullptr);
  if (uiWindow) uiWindow->SetActiveObject(nullptr, nullptr);
  if (site) site->OnUIDeactivate(FALSE);
}

STDMETHODIMP ControlBase::SetObjectRects(LPCRECT position, LPCRECT) {
  if (!position) return E_POINTER;
  if (inPlaceSite_) window_.Move(*position);
  return S_OK;
}

// IOleControl

STDMETHODIMP ControlBase::GetControlInfo(CONTROLINFO* info) {
  if (!info) return E_POINTER;
  info->hAccel = nullptr;
  info->cAccel = 0;
  info->dwFlags = 0;
  return S_OK;
}

// While the container has frozen events, raised events are dropped: the
// container has said that it cannot handle them.
STDMETHODIMP ControlBase::OnAmbientPropertyChange(DISPID property) {
  return Guard(IID_IOleControl, [&] { AmbientChanged(property); });
}

// The new font is read before the control hears of the change, and the old
// one released only after it has: the control never holds the handle of a
// font that is gone.
void ControlBase::AmbientChanged(DISPID property) {
  ComPtr<IFont> previous;
  if (property == DISPID_AMBIENT_FONT || property == DISPID_UNKNOWN) {
    previous = std::exchange(ambientFont_, AmbientFontOf(clientSite_.Get()));
  }
  UserControl_AmbientChanged(property);
}

HFONT ControlBase::AmbientFont() const {
  HFONT font = nullptr;
  if (ambientFont_) ambientFont_->get_hFont(&font);
  return font;
}

STDMETHODIMP ControlBase::FreezeEvents(BOOL freeze) {
  if (freeze) {
    ++eventFreezes_;
  } else if (eventFreezes_ > 0) {
    --eventFreezes_;
  }
  return S_OK;
}

// IViewObject2

STDMETHODIMP ControlBase::Draw(DWORD aspect, LONG, void*, DVTARGETDEVICE*, HDC, HDC dc,
                               LPCRECTL bounds, LPCRECTL, BOOL(STDMETHODCALLTYPE*)(ULONG_PTR),
                               ULONG_PTR) {
  if (aspect != DVASPECT_CONTENT) return DV_E_DVASPECT;
  if (!dc || !bounds) return E_INVALIDARG;
  RECT area{bounds->left, bounds->top, bounds->right, bounds->bottom};
  return Guard(IID_IViewObject2, [&] { UserControl_Paint(dc, area); });
}

void ControlBase::UserControl_Paint(HDC dc, const RECT& bounds) {
  ::FillRect(dc, &bounds, ::GetSysColorBrush(COLOR_BTNFACE));
}

STDMETHODIMP ControlBase::SetAdvise(DWORD aspects, DWORD flags, IAdviseSink* sink) {
  viewSink_ = ComPtr<IAdviseSink>(sink);
  viewAspects_ = aspects;
  viewAdviseFlags_ = flags;
  return S_OK;
}

STDMETHODIMP ControlBase::GetAdvise(DWORD* aspects, DWORD* flags, IAdviseSink** sink) {
  if (aspects) *aspects = viewAspects_;
  if (flags) *flags = viewAdviseFlags_;
  if (sink) viewSink_.CopyTo(sink);
  return S_OK;
}

STDMETHODIMP ControlBase::GetExtent(DWORD aspect, LONG, DVTARGETDEVICE*, LPSIZEL size) {
  return GetExtent(aspect, size);
}

// Persistence

STDMETHODIMP ControlBase::GetClassID(CLSID* clsid) {
  if (!clsid) return E_POINTER;
  *clsid = description_.clsid;
  return S_OK;
}

void ControlBase::RequireUninitialised() const {
  if (initialised_) throw ComError(CO_E_ALREADYINITIALIZED);
}

void ControlBase::LoadFrom(PropertyBag& bag) {
  UserControl_ReadProperties(bag);
  initialised_ = true;
  dirty_ = false;
}

PropertyValues ControlBase::CollectProperties() {
  auto values = PropertyValuesBag::Create();
  PropertyBag properties(values.Get(), nullptr, description_.title);
  UserControl_WriteProperties(properties);
  return values->Values();
}

STDMETHODIMP ControlBase::InitNew() {
  return Guard(IID_IPersistStreamInit, [&] {
    RequireUninitialised();
    UserControl_InitProperties();
    initialised_ = true;
    dirty_ = false;
  });
}

// The whole stream is read and checked before ReadProperties sees any of
// it, so a damaged stream leaves the control as it was and uninitialised.
STDMETHODIMP ControlBase::Load(LPSTREAM stream) {
  if (!stream) return E_POINTER;
  return Guard(IID_IPersistStreamInit, [&] {
    RequireUninitialised();
    auto values = PropertyValuesBag::Create(property_stream::Read(stream));
    PropertyBag properties(values.Get(), nullptr, description_.title);
    LoadFrom(properties);
  });
}

STDMETHODIMP ControlBase::Save(LPSTREAM stream, BOOL clearDirty) {
  if (!stream) return E_POINTER;
  return Guard(IID_IPersistStreamInit, [&] {
    property_stream::Write(stream, CollectProperties());
    if (clearDirty) dirty_ = false;
  });
}

STDMETHODIMP ControlBase::GetSizeMax(ULARGE_INTEGER* size) {
  ClearOutParameters(size);
  if (!size) return E_POINTER;
  return Guard(IID_IPersistStreamInit,
               [&] { size->QuadPart = property_stream::SizeOf(CollectProperties()); });
}

STDMETHODIMP ControlBase::Load(IPropertyBag* bag, IErrorLog* errorLog) {
  if (!bag) return E_POINTER;
  return Guard(IID_IPersistPropertyBag, [&] {
    RequireUninitialised();
    PropertyBag properties(bag, errorLog, description_.title);
    LoadFrom(properties);
  });
}

STDMETHODIMP ControlBase::Save(IPropertyBag* bag, BOOL clearDirty, BOOL saveAll) {
  if (!bag) return E_POINTER;
  return Guard(IID_IPersistPropertyBag, [&] {
    PropertyBag properties(bag, nullptr, description_.title, saveAll != FALSE);
    UserControl_WriteProperties(properties);
    if (clearDirty) dirty_ = false;
  });
}

void ControlBase::PropertyChanged(DISPID property) {
  dirty_ = true;
  for (const ComPtr<IUnknown>& sink : propertyNotifyPoint_.Sinks()) {
    static_cast<IPropertyNotifySink*>(sink.Get())->OnChanged(property);
  }
}

void ControlBase::RaiseEvent(DISPID event, std::span<VARIANT> arguments) {
  if (eventFreezes_ > 0 || !eventPoint_) return;
  std::vector<VARIANTARG> reversed(arguments.rbegin(), arguments.rend());
  DISPPARAMS params{reversed.data(), nullptr, static_cast<UINT>(reversed.size()), 0};
  eventPoint_->InvokeEach(event, params);
}

// Class and error info

STDMETHODIMP ControlBase::GetClassInfo(ITypeInfo** info) {
  if (!info) return E_POINTER;
  *info = nullptr;
  return Guard(IID_IProvideClassInfo, [&] { ModuleTypeInfo(description_.clsid).CopyTo(info); });
}

STDMETHODIMP ControlBase::GetGUID(DWORD kind, GUID* guid) {
  ClearOutParameters(guid);
  if (!guid) return E_POINTER;
  if (kind != GUIDKIND_DEFAULT_SOURCE_DISP_IID) return E_INVALIDARG;
  *guid = description_.eventInterface;
  return eventPoint_ ? S_OK : E_FAIL;  // a control without events has no such interface
}

STDMETHODIMP ControlBase::InterfaceSupportsErrorInfo(REFIID iid) {
  bool supported = iid == description_.defaultInterface || iid == IID_IPersistStreamInit ||
                   iid == IID_IPersistPropertyBag;
  return supported ? S_OK : S_FALSE;
}

}  // namespace formsrt
