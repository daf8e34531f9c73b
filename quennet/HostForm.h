// How the control recognises a form of the host: an automation object that
// implements the forms runtime's IRuntimeForm (forms/RuntimeForm.idl).
#pragma once

#include <windows.h>

#include "RuntimeForm.h"
#include "com/ComPtr.h"

namespace quennet {

// The form that a VARIANT holds (looking through a reference): error 424
// without an object, 91 for a null reference, 13 for an object that is not
// a form of the host.
formsrt::ComPtr<IRuntimeForm> RequireHostForm(const VARIANT& holder);

}  // namespace quennet
