#include <gtest/gtest.h>

#include "platform/Platform.h"

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

// Entry points that the oldest supported Windows lacks are looked up at run
// time; where one is missing the seam holds null and the caller does without.

extern "C" __declspec(dllimport) ULONGLONG WINAPI GetTickCount64();

namespace {

ULONGLONG WINAPI FixedTickCount() { return 0x123456789ULL; }

}  // namespace

TEST(PlatformSeam, LaterEntryPointsAreFoundWhereThePlatformHasThem) {
  EXPECT_NE(nullptr, LaterEntryPoint<void(WINAPI*)()>(L"kernel32.dll", "GetTickCount64"));
  EXPECT_EQ(nullptr, LaterEntryPoint<void(WINAPI*)()>(L"kernel32.dll", "NoSuchEntryPoint"));
  EXPECT_EQ(nullptr, LaterEntryPoint<void(WINAPI*)()>(L"nosuchlibrary.dll", "GetTickCount64"));
  EXPECT_NE(nullptr, Kernel32().CompareStringOrdinal);
  EXPECT_NE(nullptr, User32().ChangeWindowMessageFilterEx);
  EXPECT_NE(nullptr, Oleaut32().RegisterTypeLibForUser);
}

// The toolchain's threads library imports GetTickCount64; the import goes
// through the seam, and falls back to the 32-bit count without it.
TEST(PlatformSeam, TheTickCount64ImportAnswersThroughTheSeamAndWithoutIt) {
  PlatformOverride<Kernel32Api> kernel32(Kernel32());
  kernel32->GetTickCount64 = FixedTickCount;
  EXPECT_EQ(0x123456789ULL, GetTickCount64());
  kernel32->GetTickCount64 = nullptr;
  ULONGLONG before = ::GetTickCount();
  ULONGLONG count = GetTickCount64();
  EXPECT_GE(count, before);
  EXPECT_LE(count, static_cast<ULONGLONG>(::GetTickCount()));
}
