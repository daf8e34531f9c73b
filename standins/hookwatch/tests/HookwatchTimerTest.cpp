// HookwatchTimer created in-process: the interval, the ThatTime event on the
// creating thread, and clean ends.
#include <gtest/gtest.h>
#include <ocidl.h>
#include <olectl.h>

#include <memory>
#include <vector>

#include "ConnectionPoints.h"
#include "EventSink.h"
#include "Hookwatch.h"
#include "HookwatchTimer.h"
#include "MessagePump.h"
#include "com/ComPtr.h"
#include "platform/Platform.h"
#include "core/RuntimeError.h"

using formsrt::ComPtr;
using formsrt::PlatformOverride;
using formsrt::User32Api;

namespace {

using testing_support::PumpMessagesFor;
using testing_support::PumpMessagesUntil;

std::vector<HWND> g_windowsCreated;
std::vector<HWND> g_windowsDestroyed;
bool g_refuseTimer;

HWND WINAPI RecordingCreateWindowExW(DWORD exStyle, LPCWSTR className, LPCWSTR title, DWORD style,
                                     int x, int y, int width, int height, HWND parent, HMENU menu,
                                     HINSTANCE instance, LPVOID parameter) {
  HWND window = ::CreateWindowExW(exStyle, className, title, style, x, y, width, height, parent,
                                  menu, instance, parameter);
  g_windowsCreated.push_back(window);
  return window;
}

BOOL WINAPI RecordingDestroyWindow(HWND window) {
  g_windowsDestroyed.push_back(window);
  return ::DestroyWindow(window);
}

UINT_PTR WINAPI RefusableSetTimer(HWND window, UINT_PTR id, UINT milliseconds, TIMERPROC procedure) {
  return g_refuseTimer ? 0 : ::SetTimer(window, id, milliseconds, procedure);
}

class HookwatchTimerTest : public ::testing::Test {
 protected:
  HookwatchTimerTest() : user32_(formsrt::User32()) {
    g_windowsCreated.clear();
    g_windowsDestroyed.clear();
    g_refuseTimer = false;
    user32_->CreateWindowExW = RecordingCreateWindowExW;
    user32_->DestroyWindow = RecordingDestroyWindow;
    user32_->SetTimer = RefusableSetTimer;
    EXPECT_EQ(S_OK, hookwatch::CreateHookwatchTimer(IID_IHookwatchTimer, timer_.PutVoid()));
  }

  // Sinks outlive the timer, which may still hold them when a test ends.
  EventSink& NewSink() {
    sinks_.push_back(std::make_unique<EventSink>());
    return *sinks_.back();
  }
  DWORD Connect(EventSink& sink) {
    ComPtr<IConnectionPointContainer> container;
    EXPECT_EQ(S_OK, timer_.As(container));
    EXPECT_EQ(S_OK, container->FindConnectionPoint(DIID___HookwatchTimer, point_.Put()));
    DWORD cookie = 0;
    EXPECT_EQ(S_OK, point_->Advise(&sink, &cookie));
    return cookie;
  }
  HRESULT SetInterval(LONG milliseconds) { return timer_->put_Interval(&milliseconds); }
  LONG Interval() {
    LONG milliseconds = 0;
    EXPECT_EQ(S_OK, timer_->get_Interval(&milliseconds));
    return milliseconds;
  }

  PlatformOverride<User32Api> user32_;
  std::vector<std::unique_ptr<EventSink>> sinks_;
  ComPtr<IHookwatchTimer> timer_;
  ComPtr<IConnectionPoint> point_;
};

}  // namespace

TEST_F(HookwatchTimerTest, RaisesThatTimeOnTheCreatingThreadAtRoughlyItsInterval) {
  EventSink& sink = NewSink();
  Connect(sink);
  EXPECT_EQ(-1, Interval());
  ASSERT_EQ(S_OK, SetInterval(100));
  EXPECT_EQ(100, Interval());

  // Five ticks take four intervals at the least; a loaded machine may delay
  // them, never bring them sooner.
  DWORD start = ::GetTickCount();
  ASSERT_TRUE(PumpMessagesUntil([&] { return sink.ticks >= 5; }, 5000));
  EXPECT_GE(::GetTickCount() - start, 400u);
  EXPECT_EQ(0, sink.ticksOnOtherThreads);
  ASSERT_EQ(1u, g_windowsCreated.size());
  EXPECT_EQ(::GetCurrentThreadId(), ::GetWindowThreadProcessId(g_windowsCreated[0], nullptr));
  EXPECT_FALSE(::IsWindowVisible(g_windowsCreated[0]));
}

TEST_F(HookwatchTimerTest, MinusOneStopsAndAPositiveIntervalRestarts) {
  EventSink& sink = NewSink();
  Connect(sink);
  ASSERT_EQ(S_OK, SetInterval(50));
  ASSERT_TRUE(PumpMessagesUntil([&] { return sink.ticks > 0; }, 3000));

  ASSERT_EQ(S_OK, SetInterval(-1));
  EXPECT_EQ(-1, Interval());
  int stoppedAt = sink.ticks;
  PumpMessagesFor(300);  // shows that no tick comes while stopped
  EXPECT_EQ(stoppedAt, sink.ticks);

  ASSERT_EQ(S_OK, SetInterval(50));
  EXPECT_TRUE(PumpMessagesUntil([&] { return sink.ticks > stoppedAt; }, 3000));

  for (LONG stop : {0L, -5L}) {  // no timer runs at these either
    ASSERT_EQ(S_OK, SetInterval(50));
    ASSERT_EQ(S_OK, SetInterval(stop));
    EXPECT_EQ(-1, Interval());
  }
  stoppedAt = sink.ticks;
  PumpMessagesFor(200);  // shows that no tick comes
  EXPECT_EQ(stoppedAt, sink.ticks);
}

TEST_F(HookwatchTimerTest, ReleasedWhileRunningItStopsAndLetsGoOfItsWindowAndSinks) {
  EventSink& sink = NewSink();
  Connect(sink);
  ASSERT_EQ(S_OK, SetInterval(30));
  ASSERT_TRUE(PumpMessagesUntil([&] { return sink.ticks > 0; }, 3000));
  point_.Reset();
  timer_.Reset();

  EXPECT_EQ(g_windowsCreated, g_windowsDestroyed);
  EXPECT_EQ(1u, sink.References());
  int ticks = sink.ticks;
  PumpMessagesFor(150);  // shows that no tick comes after the release
  EXPECT_EQ(ticks, sink.ticks);
}

TEST_F(HookwatchTimerTest, AHandlerMayReleaseTheLastReferenceToItsTimer) {
  EventSink& sink = NewSink();
  Connect(sink);
  sink.onTick = [&] {
    point_.Reset();
    timer_.Reset();
  };
  ASSERT_EQ(S_OK, SetInterval(30));
  ASSERT_TRUE(PumpMessagesUntil([&] { return sink.ticks > 0; }, 3000));
  PumpMessagesFor(150);  // shows that the timer released in its first tick ticks no more
  EXPECT_EQ(1, sink.ticks);
  EXPECT_EQ(g_windowsCreated, g_windowsDestroyed);
  EXPECT_EQ(1u, sink.References());
}

TEST_F(HookwatchTimerTest, EverySinkGetsTheEventUntilItDisconnects) {
  EventSink& first = NewSink();
  EventSink& second = NewSink();
  EventSink& failing = NewSink();
  DWORD firstCookie = Connect(first);
  Connect(second);
  // A sink that fails every call keeps the event from no one.
  failing.invokeOutcome = E_FAIL;
  DWORD failingCookie = 0;
  ASSERT_EQ(S_OK, point_->Advise(&failing, &failingCookie));

  first.onTick = [&] { point_->Unadvise(firstCookie); };
  ASSERT_EQ(S_OK, SetInterval(40));
  ASSERT_TRUE(PumpMessagesUntil([&] { return second.ticks > 2; }, 3000));
  EXPECT_EQ(1, first.ticks);
  EXPECT_GT(second.ticks, 1);
  EXPECT_EQ(second.ticks, failing.ticks);
  EXPECT_EQ(1u, first.References());
  EXPECT_EQ(CONNECT_E_NOCONNECTION, point_->Unadvise(firstCookie));
}

TEST_F(HookwatchTimerTest, TheConnectionPointRefusesWhatItCannotServe) {
  ComPtr<IConnectionPointContainer> container;
  ASSERT_EQ(S_OK, timer_.As(container));
  ComPtr<IConnectionPoint> point;
  EXPECT_EQ(CONNECT_E_NOCONNECTION, container->FindConnectionPoint(IID_IPropertyNotifySink, point.Put()));
  ASSERT_EQ(S_OK, container->FindConnectionPoint(DIID___HookwatchTimer, point.Put()));

  IID events{};
  EXPECT_EQ(S_OK, point->GetConnectionInterface(&events));
  EXPECT_EQ(DIID___HookwatchTimer, events);
  ComPtr<IConnectionPointContainer> back;
  ASSERT_EQ(S_OK, point->GetConnectionPointContainer(back.Put()));
  EXPECT_EQ(container.Get(), back.Get());

  ComPtr<IStream> notASink;  // offers neither the events nor IDispatch
  ASSERT_EQ(S_OK, ::CreateStreamOnHGlobal(nullptr, TRUE, notASink.Put()));
  DWORD cookie = 99;
  EXPECT_EQ(CONNECT_E_CANNOTCONNECT, point->Advise(notASink.Get(), &cookie));
  EXPECT_EQ(0u, cookie);
}

TEST_F(HookwatchTimerTest, ARefusedTimerIsReportedAndLeavesTheTimerStopped) {
  g_refuseTimer = true;
  EXPECT_EQ(formsrt::HresultFromErrorNumber(7), SetInterval(100));
  EXPECT_EQ(-1, Interval());
}

TEST_F(HookwatchTimerTest, TheContainerEnumeratesItsOnePointWhichEnumeratesItsSinks) {
  EventSink& sink = NewSink();
  DWORD cookie = Connect(sink);
  ComPtr<IConnectionPointContainer> container;
  ASSERT_EQ(S_OK, timer_.As(container));
  std::vector<ComPtr<IConnectionPoint>> points = testing_support::EnumeratedPoints(container.Get());
  ASSERT_EQ(1u, points.size());
  EXPECT_EQ(point_.Get(), points[0].Get());

  ComPtr<IEnumConnections> connections;
  ASSERT_EQ(S_OK, points[0]->EnumConnections(connections.Put()));
  CONNECTDATA connection{};
  ASSERT_EQ(S_OK, connections->Next(1, &connection, nullptr));
  ComPtr<IUnknown> connected = ComPtr<IUnknown>::Attach(connection.pUnk);
  EXPECT_EQ(cookie, connection.dwCookie);
  EXPECT_TRUE(connected);
}
