#include "control/ControlBase.h"

#include <utility>
#include <vector>

#include "core/Variant.h"
#include "services/UnhandledError.h"
#include "platform/Platform.h"

namespace formsrt {

namespace {

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
    : VerbsAndAdvise(description.title),
      InPlaceActivation(description, window,
                        [this](HDC dc, const RECT& bounds) {
                          // A control does not end its host for a failed paint.
                          RunControlHandler([&] { UserControl_Paint(dc, bounds); });
                        }),
      ViewAndExtent(description),
      ControlPersistence(description),
      ClassAndErrorInfo(description),
      description_(description),
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
  ReleaseAdviseSinks();
  ReleaseViewSink();
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
  if (save && IsDirty() == S_OK && clientSite_) clientSite_->SaveObject();
  InPlaceDeactivate();
  SendOnClose();
  return S_OK;
}

STDMETHODIMP ControlBase::GetUserType(DWORD form, LPOLESTR* userType) {
  return ::OleRegGetUserType(description_.clsid, form, userType);
}

// IOleControl

STDMETHODIMP ControlBase::GetControlInfo(CONTROLINFO* info) {
  if (!info) return E_POINTER;
  info->hAccel = nullptr;
  info->cAccel = 0;
  info->dwFlags = 0;
  return S_OK;
}

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

// While the container has frozen events, raised events are dropped: the
// container has said that it cannot handle them.
STDMETHODIMP ControlBase::FreezeEvents(BOOL freeze) {
  if (freeze) {
    ++eventFreezes_;
  } else if (eventFreezes_ > 0) {
    --eventFreezes_;
  }
  return S_OK;
}

void ControlBase::UserControl_Paint(HDC dc, const RECT& bounds) {
  formsrt::User32().FillRect(dc, &bounds, formsrt::User32().GetSysColorBrush(COLOR_BTNFACE));
}

void ControlBase::PropertyChanged(DISPID property) {
  MarkDirty();
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

}  // namespace formsrt
