// Interval timers ticking on the test thread through its message loop.
#include <gtest/gtest.h>

#include <memory>

#include "TestSupport.h"
#include "com/Platform.h"
#include "forms/IntervalTimer.h"

using namespace formsrt;
using forms_test::PumpMessagesFor;

namespace {

int g_setTimers;
int g_killTimers;

UINT_PTR WINAPI CountingSetTimer(HWND hwnd, UINT_PTR id, UINT interval, TIMERPROC proc) {
  ++g_setTimers;
  return ::SetTimer(hwnd, id, interval, proc);
}

BOOL WINAPI CountingKillTimer(HWND hwnd, UINT_PTR id) {
  ++g_killTimers;
  return ::KillTimer(hwnd, id);
}

}  // namespace

TEST(IntervalTimer, TicksAtItsIntervalOnTheCreatingThread) {
  IntervalTimer timer;
  int ticks = 0;
  DWORD thread = ::GetCurrentThreadId();
  bool onOtherThread = false;
  timer.onTick = [&] {
    ++ticks;
    onOtherThread |= ::GetCurrentThreadId() != thread;
  };
  EXPECT_TRUE(timer.Enabled());
  PumpMessagesFor(150);
  EXPECT_EQ(0, ticks);  // interval 0 does not tick

  timer.SetInterval(100);
  EXPECT_EQ(100u, timer.Interval());
  PumpMessagesFor(1050);
  EXPECT_GE(ticks, 5);  // a loaded machine may delay ticks, never add them
  EXPECT_LE(ticks, 11);
  EXPECT_FALSE(onOtherThread);
}

TEST(IntervalTimer, StopsWhenDisabledAndResumesWhenEnabled) {
  IntervalTimer timer;
  int ticks = 0;
  timer.onTick = [&] {
    ++ticks;
    timer.SetEnabled(false);  // from inside its own tick
  };
  timer.SetInterval(50);
  PumpMessagesFor(400);
  EXPECT_EQ(1, ticks);
  EXPECT_FALSE(timer.Enabled());

  timer.onTick = [&] { ++ticks; };
  timer.SetEnabled(true);
  PumpMessagesFor(400);
  EXPECT_GE(ticks, 4);
}

TEST(IntervalTimer, ADestroyedTimerStopsAndReleasesItsPlatformTimer) {
  g_setTimers = g_killTimers = 0;
  PlatformOverride<User32Api> user32(User32());
  user32->SetTimer = CountingSetTimer;
  user32->KillTimer = CountingKillTimer;
  int ticks = 0;
  auto timer = std::make_unique<IntervalTimer>();
  timer->onTick = [&] { ++ticks; };
  timer->SetInterval(30);
  timer->SetInterval(40);
  PumpMessagesFor(200);
  int ticksBefore = ticks;
  EXPECT_GT(ticksBefore, 0);
  timer.reset();
  PumpMessagesFor(200);
  EXPECT_EQ(ticksBefore, ticks);
  EXPECT_EQ(2, g_setTimers);
  EXPECT_EQ(g_setTimers, g_killTimers);
}
