// Interval timers ticking on the test thread through its message loop.
#include <gtest/gtest.h>

#include <memory>

#include "MessagePump.h"
#include "platform/Platform.h"
#include "forms/IntervalTimer.h"

using namespace formsrt;
using testing_support::PumpMessagesFor;
using testing_support::PumpMessagesUntil;

namespace {

int g_setTimers;
int g_killTimers;
HWND g_timerWindow;
UINT_PTR g_timerId;

UINT_PTR WINAPI CountingSetTimer(HWND hwnd, UINT_PTR id, UINT interval, TIMERPROC proc) {
  ++g_setTimers;
  g_timerWindow = hwnd;
  g_timerId = id;
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
  PumpMessagesFor(150);  // shows that interval 0 does not tick
  EXPECT_EQ(0, ticks);

  timer.SetInterval(100);
  EXPECT_EQ(100u, timer.Interval());
  // Five ticks take four intervals at the least; a loaded machine may delay
  // them, never bring them sooner.
  DWORD start = ::GetTickCount();
  ASSERT_TRUE(PumpMessagesUntil([&] { return ticks >= 5; }, 5000));
  EXPECT_GE(::GetTickCount() - start, 400u);
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
  ASSERT_TRUE(PumpMessagesUntil([&] { return ticks > 0; }, 3000));
  PumpMessagesFor(200);  // shows that the timer disabled in its tick ticks no more
  EXPECT_EQ(1, ticks);
  EXPECT_FALSE(timer.Enabled());

  timer.onTick = [&] { ++ticks; };
  timer.SetEnabled(true);
  EXPECT_TRUE(PumpMessagesUntil([&] { return ticks >= 4; }, 3000));
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
  ASSERT_TRUE(PumpMessagesUntil([&] { return ticks > 0; }, 3000));
  int ticksBefore = ticks;
  // Only its own timer's WM_TIMER ticks it.
  for (UINT other : {WM_TIMER - 1, WM_TIMER + 1}) ::SendMessageW(g_timerWindow, other, g_timerId, 0);
  ::SendMessageW(g_timerWindow, WM_TIMER, g_timerId + 1, 0);
  EXPECT_EQ(ticksBefore, ticks);
  ::SendMessageW(g_timerWindow, WM_TIMER, g_timerId, 0);
  EXPECT_EQ(++ticksBefore, ticks);
  timer.reset();
  PumpMessagesFor(200);  // shows that a destroyed timer ticks no more
  EXPECT_EQ(ticksBefore, ticks);
  EXPECT_EQ(2, g_setTimers);
  EXPECT_EQ(g_setTimers, g_killTimers);
}

UINT_PTR WINAPI RefusingSetTimer(HWND, UINT_PTR, UINT, TIMERPROC) { return 0; }

TEST(IntervalTimer, RunsOnlyWithAnIntervalWhileEnabledAndWhenThePlatformGivesATimer) {
  IntervalTimer timer;
  EXPECT_FALSE(timer.Running());  // interval 0
  timer.SetInterval(1000);
  EXPECT_TRUE(timer.Running());
  timer.SetEnabled(false);
  EXPECT_FALSE(timer.Running());
  timer.SetEnabled(true);
  EXPECT_TRUE(timer.Running());
  timer.SetInterval(0);
  EXPECT_FALSE(timer.Running());

  PlatformOverride<User32Api> user32(User32());
  user32->SetTimer = RefusingSetTimer;
  timer.SetInterval(1000);
  EXPECT_FALSE(timer.Running());
  EXPECT_EQ(1000u, timer.Interval());
}

TEST(IntervalTimer, ATickMayDestroyItsOwnTimer) {
  g_setTimers = g_killTimers = 0;
  PlatformOverride<User32Api> user32(User32());
  user32->SetTimer = CountingSetTimer;
  user32->KillTimer = CountingKillTimer;
  auto timer = std::make_unique<IntervalTimer>();
  int ticks = 0;
  timer->onTick = [&] {
    ++ticks;
    timer.reset();
  };
  timer->SetInterval(30);
  ASSERT_TRUE(PumpMessagesUntil([&] { return !timer; }, 3000));
  PumpMessagesFor(150);  // shows that the timer destroyed in its tick ticks no more
  EXPECT_EQ(1, ticks);
  EXPECT_EQ(1, g_killTimers);
}
