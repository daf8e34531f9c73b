#include <gtest/gtest.h>

#include "com/Platform.h"

using namespace formsrt;

namespace {

int g_calls;
POINT g_asked;

BOOL WINAPI RecordingSetCursorPos(int x, int y) {
  ++g_calls;
  g_asked = {x, y};
  return FALSE;
}

}  // namespace

TEST(PlatformSeam, AnOverrideRecordsCallsAndRestoresTheRealEntryWhenItEnds) {
  g_calls = 0;
  auto real = User32().SetCursorPos;
  {
    PlatformOverride<User32Api> user32(User32());
    user32->SetCursorPos = RecordingSetCursorPos;
    EXPECT_FALSE(User32().SetCursorPos(-5, 7));
  }
  EXPECT_EQ(1, g_calls);
  EXPECT_EQ(-5, g_asked.x);
  EXPECT_EQ(7, g_asked.y);
  EXPECT_EQ(real, User32().SetCursorPos);
}

TEST(PlatformSeam, MoveMemoryIsTheKernelExport) {
  char from[4] = {1, 2, 3, 4};
  char to[4] = {};
  Kernel32().RtlMoveMemory(to, from, sizeof(to));
  EXPECT_EQ(0, memcmp(from, to, sizeof(to)));
}
