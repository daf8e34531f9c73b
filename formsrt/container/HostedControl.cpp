#include "container/HostedControl.h"

#include <string>

#include "core/RuntimeError.h"
#include "control/PropertyValuesBag.h"
#include "control/ViewAndExtent.h"
#include "forms/Screen.h"

namespace formsrt {

namespace {

ComPtr<IOleObject> CreateControl(std::wstring_view progId) {
  std::wstring name(progId);
  CLSID clsid{};
  ComPtr<IOleObject> object;
  if (FAILED(::CLSIDFromProgID(name.c_str(), &clsid)) ||
      FAILED(::CoCreateInstance(clsid, nullptr, CLSCTX_INPROC_SERVER, IID_IOleObject,
                                object.PutVoid()))) {
    Raise(error::CannotCreateObject);
  }
  return object;
}

bool WantsSiteFirst(IOleObject* object) {
  DWORD status = 0;
  return SUCCEEDED(object->GetMiscStatus(DVASPECT_CONTENT, &status)) &&
         (status & OLEMISC_SETCLIENTSITEFIRST);
}

}  // namespace

HostedControl::HostedControl(HWND form, std::wstring_view name, std::wstring_view progId,
                             const TwipsRect& bounds, const AmbientProperties& ambient,
                             const std::optional<PropertyValues>& saved)
    : bounds_(Screen::PixelsFromTwips(bounds)), object_(CreateControl(progId)) {
  site_ = ComPtr<IOleClientSite>::Attach(new ControlSite(form, bounds_, std::wstring(name), ambient));
  bool siteFirst = WantsSiteFirst(object_.Get());
  if (siteFirst) ThrowIfFailed(object_->SetClientSite(site_.Get()));
  Load(saved);
  if (!siteFirst) ThrowIfFailed(object_->SetClientSite(site_.Get()));
  ThrowIfFailed(object_.As(dispatch_));
  Activate(form, bounds);
}

HostedControl::~HostedControl() {
  ComPtr<IOleInPlaceObject> inPlace;
  if (SUCCEEDED(object_.As(inPlace))) inPlace->InPlaceDeactivate();
  object_->Close(OLECLOSE_NOSAVE);
  object_->SetClientSite(nullptr);
}

HWND HostedControl::Handle() const {
  ComPtr<IOleWindow> window;
  HWND handle = nullptr;
  if (SUCCEEDED(object_.As(window))) window->GetWindow(&handle);
  return handle;
}

void HostedControl::Load(const std::optional<PropertyValues>& saved) {
  ComPtr<IPersistPropertyBag> bagPersistence;
  ComPtr<IPersistStreamInit> streamPersistence;
  bool usesBag = SUCCEEDED(object_.As(bagPersistence));
  if (saved) {
    if (!usesBag) Raise(error::CannotCreateObject);
    ThrowIfFailed(bagPersistence->Load(PropertyValuesBag::Create(*saved).Get(), nullptr));
  } else if (usesBag) {
    ThrowIfFailed(bagPersistence->InitNew());
  } else if (SUCCEEDED(object_.As(streamPersistence))) {
    ThrowIfFailed(streamPersistence->InitNew());
  }
}

void HostedControl::Activate(HWND form, const TwipsRect& bounds) {
  SIZEL extent = HimetricFromTwips(SIZE{bounds.width, bounds.height});
  object_->SetExtent(DVASPECT_CONTENT, &extent);
  ThrowIfFailed(object_->DoVerb(OLEIVERB_INPLACEACTIVATE, nullptr, site_.Get(), 0, form, &bounds_));
}

PropertyValues HostedControl::SaveProperties() const {
  ComPtr<IPersistPropertyBag> persistence;
  ThrowIfFailed(object_.As(persistence));
  auto saved = PropertyValuesBag::Create();
  ThrowIfFailed(persistence->Save(saved.Get(), TRUE, TRUE));
  return saved->Values();
}

}  // namespace formsrt
