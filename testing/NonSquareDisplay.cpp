#include "NonSquareDisplay.h"

namespace testing_support {

NonSquareDisplay::NonSquareDisplay() { gdi32_->GetDeviceCaps = &NonSquareDisplay::GetDeviceCaps; }

int WINAPI NonSquareDisplay::GetDeviceCaps(HDC dc, int index) {
  if (index == LOGPIXELSX) return kDpiAcross;
  if (index == LOGPIXELSY) return kDpiDown;
  return ::GetDeviceCaps(dc, index);
}

}  // namespace testing_support
