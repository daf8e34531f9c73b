// How the control recognises a form of the host: an automation object that
// implements the forms runtime's IRuntimeForm (forms/RuntimeForm.idl), or
// one whose IDispatch knows the name "hWnd", as the forms of other runtimes
// do. Either is reached late bound, by member name.
#pragma once

#include <windows.h>

#include "com/ComPtr.h"

namespace quennet {

// The form that a VARIANT holds (looking through a reference): error 424
// without an object, 91 for a null reference, 13 for an object that is not
// a form of the host.
formsrt::ComPtr<IDispatch> RequireHostForm(const VARIANT& holder);

}  // namespace quennet
