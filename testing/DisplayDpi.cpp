#include "DisplayDpi.h"

namespace testing_support {

namespace {

// One display at a time: the seam's entry is a plain function.
int g_across;
int g_down;

}  // namespace

DisplayDpi::DisplayDpi(int across, int down) {
  g_across = across;
  g_down = down;
  gdi32_->GetDeviceCaps = &DisplayDpi::GetDeviceCaps;
}

int WINAPI DisplayDpi::GetDeviceCaps(HDC dc, int index) {
  if (index == LOGPIXELSX) return g_across;
  if (index == LOGPIXELSY) return g_down;
  return ::GetDeviceCaps(dc, index);
}

}  // namespace testing_support
