#include "HostForm.h"

#include "RuntimeForm.h"
#include "com/LateBound.h"
#include "com/RuntimeError.h"

namespace quennet {

namespace {

bool KnowsWindowHandle(IDispatch* object) {
  auto* name = const_cast<LPOLESTR>(L"hWnd");
  DISPID id = DISPID_UNKNOWN;
  return SUCCEEDED(object->GetIDsOfNames(IID_NULL, &name, 1, LOCALE_USER_DEFAULT, &id));
}

bool IsHostForm(IDispatch* object) {
  formsrt::ComPtr<IRuntimeForm> runtimeForm;
  return SUCCEEDED(object->QueryInterface(IID_IRuntimeForm, runtimeForm.PutVoid())) ||
         KnowsWindowHandle(object);
}

}  // namespace

formsrt::ComPtr<IDispatch> RequireHostForm(const VARIANT& holder) {
  formsrt::ComPtr<IDispatch> object = formsrt::RequireObject(holder);
  if (!IsHostForm(object.Get())) formsrt::Raise(formsrt::error::TypeMismatch);
  return object;
}

}  // namespace quennet
