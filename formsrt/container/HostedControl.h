// An ActiveX control placed on a form by its ProgID: created, given a
// client site with the form's ambient properties, initialised (from its
// saved design-time properties when it has them, as new otherwise),
// activated in place at its rectangle, and released with this object.
//
// Form::Add<HostedControl>(name, progId, bounds, ...) places one; the form
// releases its controls before its window closes.
#pragma once

#include <windows.h>
#include <ocidl.h>

#include <optional>
#include <string_view>

#include "com/ComPtr.h"
#include "container/AmbientProperties.h"
#include "container/ControlSite.h"
#include "control/PropertyValues.h"
#include "forms/TwipsRect.h"

namespace formsrt {

class HostedControl {
 public:
  // Raises 429 (ActiveX component can't create object) when the ProgID is
  // unknown or its class fails to create; a control that refuses its
  // properties or its activation fails with the control's own HRESULT.
  HostedControl(HWND form, std::wstring_view name, std::wstring_view progId,
                const TwipsRect& bounds, const AmbientProperties& ambient = {},
                const std::optional<PropertyValues>& saved = std::nullopt);
  ~HostedControl();
  HostedControl(const HostedControl&) = delete;
  HostedControl& operator=(const HostedControl&) = delete;

  // The control's automation object, for late-bound calls.
  IDispatch* Object() const { return dispatch_.Get(); }
  // The control's window while it is active in place.
  HWND Handle() const;
  // The control's properties as it saves them now, into a new bag.
  PropertyValues SaveProperties() const;

 private:
  void Load(const std::optional<PropertyValues>& saved);
  void Activate(HWND form, const TwipsRect& bounds);

  RECT bounds_;  // pixels, in the form's client coordinates
  ComPtr<IOleClientSite> site_;
  ComPtr<IOleObject> object_;
  ComPtr<IDispatch> dispatch_;
};

}  // namespace formsrt
