#include "HostForm.h"

#include "com/LateBound.h"
#include "com/RuntimeError.h"

namespace quennet {

formsrt::ComPtr<IRuntimeForm> RequireHostForm(const VARIANT& holder) {
  formsrt::ComPtr<IDispatch> object = formsrt::RequireObject(holder);
  formsrt::ComPtr<IRuntimeForm> form;
  if (FAILED(object.As(form))) formsrt::Raise(formsrt::error::TypeMismatch);
  return form;
}

}  // namespace quennet
