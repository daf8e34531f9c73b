// What a control tells its base about itself: the identities, error source
// and design size every part of the base reads.
#pragma once

#include <windows.h>

namespace formsrt {

struct ControlDescription {
  const CLSID& clsid;
  const IID& defaultInterface;  // the dual interface
  const IID& eventInterface;    // the source dispinterface; IID_NULL when it raises no events
  const wchar_t* title;         // the library's title: error source
  SIZE designSizeTwips;         // the control's client area at design time
  DWORD miscStatus;             // OLEMISC_* bits
};

}  // namespace formsrt
