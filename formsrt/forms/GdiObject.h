// Owns a font or a bitmap that the suite made or loaded: deletes it through
// the platform seam when it goes out of scope. Stock objects and objects
// that others own (a container's font) are never given to one.
#pragma once

#include <windows.h>

#include "platform/Platform.h"
#include "forms/OwnedHandle.h"

namespace formsrt {

struct DeleteGdiObject {
  void operator()(HGDIOBJ object) const { Gdi32().DeleteObject(object); }
};

template <class Handle>
using GdiObject = OwnedHandle<Handle, DeleteGdiObject>;

}  // namespace formsrt
