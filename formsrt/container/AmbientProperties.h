// What a form tells the ActiveX controls placed on it about itself: the
// ambient properties that a control reads through its client site.
#pragma once

#include <windows.h>
#include <ocidl.h>

#include <string>

namespace formsrt {

struct AmbientProperties {
  std::wstring fontName = L"MS Shell Dlg";
  double fontPoints = 8.25;
  bool fontBold = false;
  OLE_COLOR backColor = 0x80000000 | COLOR_BTNFACE;  // system colours, as forms use
  OLE_COLOR foreColor = 0x80000000 | COLOR_BTNTEXT;
  bool userMode = true;  // a running program, not a design surface
};

}  // namespace formsrt
