// Owns an icon that the suite loaded (not a shared system icon): destroys it
// through the platform seam when it goes out of scope.
#pragma once

#include <windows.h>

#include "platform/Platform.h"
#include "forms/OwnedHandle.h"

namespace formsrt {

struct DestroyIconHandle {
  void operator()(HICON icon) const { User32().DestroyIcon(icon); }
};

using IconHandle = OwnedHandle<HICON, DestroyIconHandle>;

}  // namespace formsrt
