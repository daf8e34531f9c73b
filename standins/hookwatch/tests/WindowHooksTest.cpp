// Attaching messages of real windows to clients through HookwatchGlobal,
// created in-process so that the platform seam can be watched.
#include <gtest/gtest.h>

#include <future>
#include <memory>
#include <thread>

#include "FakeSubClass.h"
#include "Hookwatch.h"
#include "HookwatchGlobal.h"
#include "TestWindow.h"
#include "com/ComPtr.h"
#include "platform/Platform.h"
#include "core/RuntimeError.h"

using formsrt::ComPtr;
using formsrt::Comctl32Api;
using formsrt::PlatformOverride;

namespace {

using Log = std::vector<std::string>;

int g_subclassesSet;
int g_subclassesRemoved;
bool g_refuseSubclass;

BOOL WINAPI CountingSetWindowSubclass(HWND window, SUBCLASSPROC procedure, UINT_PTR id,
                                      DWORD_PTR data) {
  if (g_refuseSubclass) return FALSE;
  ++g_subclassesSet;
  return ::SetWindowSubclass(window, procedure, id, data);
}

BOOL WINAPI CountingRemoveWindowSubclass(HWND window, SUBCLASSPROC procedure, UINT_PTR id) {
  ++g_subclassesRemoved;
  return ::RemoveWindowSubclass(window, procedure, id);
}

class WindowHooksTest : public ::testing::Test {
 protected:
  WindowHooksTest() : comctl32_(formsrt::Comctl32()), window_(&log_) {
    g_subclassesSet = g_subclassesRemoved = 0;
    g_refuseSubclass = false;
    comctl32_->SetWindowSubclass = CountingSetWindowSubclass;
    comctl32_->RemoveWindowSubclass = CountingRemoveWindowSubclass;
    EXPECT_EQ(S_OK, hookwatch::CreateHookwatchGlobal(IID_IHookwatchGlobal, global_.PutVoid()));
  }

  // Clients outlive the global object, which may still hold them when a test ends.
  FakeSubClass& NewClient(const char* name) {
    clients_.push_back(std::make_unique<FakeSubClass>(name, &log_));
    return *clients_.back();
  }
  HRESULT Attach(FakeSubClass& client, UINT message, LONG window = 0) {
    ISubClass* reference = &client;
    return global_->AttachMessage(&reference, window ? window : window_.HandleValue(), message);
  }
  HRESULT Detach(FakeSubClass& client, UINT message, LONG window = 0) {
    ISubClass* reference = &client;
    return global_->DetachMessage(&reference, window ? window : window_.HandleValue(), message);
  }
  LONG AttachmentCount() {
    LONG count = -1;
    EXPECT_EQ(S_OK, global_->get_AttachmentCount(&count));
    return count;
  }
  // All let go: no attachment left, every client back at its own one
  // reference and every subclass set removed again.
  void ExpectAllLetGo() {
    EXPECT_EQ(0, AttachmentCount());
    for (auto& client : clients_) EXPECT_EQ(1u, client->References()) << client->Name();
    EXPECT_EQ(g_subclassesSet, g_subclassesRemoved);
  }
  LRESULT Probe(UINT message = TestWindow::kProbe) {
    return ::SendMessageW(window_.Handle(), message, 0, 0);
  }

  PlatformOverride<Comctl32Api> comctl32_;
  Log log_;
  TestWindow window_;
  std::vector<std::unique_ptr<FakeSubClass>> clients_;
  ComPtr<IHookwatchGlobal> global_;
};

constexpr HRESULT ErrorNumber(long number) { return formsrt::HresultFromErrorNumber(number); }

}  // namespace

TEST_F(WindowHooksTest, RoutesTheAttachedMessageWithItsArgumentsAndNothingElse) {
  FakeSubClass& client = NewClient("client");
  ASSERT_EQ(S_OK, Attach(client, TestWindow::kProbe));

  EXPECT_EQ(TestWindow::kProbeAnswer,
            ::SendMessageW(window_.Handle(), TestWindow::kProbe, 7, MAKELPARAM(-3, 40)));
  EXPECT_EQ((std::vector<WindowProcCall>{{window_.HandleValue(), static_cast<LONG>(TestWindow::kProbe), 7,
                                           static_cast<LONG>(MAKELPARAM(-3, 40))}}),
            client.calls);
  EXPECT_EQ((Log{"window", "client"}), log_);

  Probe(TestWindow::kOtherProbe);
  ::SendMessageW(window_.Handle(), WM_RBUTTONDOWN, 0, 0);
  EXPECT_EQ(1u, client.calls.size());
  EXPECT_EQ(1, client.responseReads);
  EXPECT_EQ(1, AttachmentCount());
}

TEST_F(WindowHooksTest, TheTestersClientLeavesResizeAndClicksToTheWindow) {
  FakeSubClass& tester = NewClient("client");
  BehaveAsTheTester(tester);
  ASSERT_EQ(S_OK, Attach(tester, WM_LBUTTONDOWN));
  ASSERT_EQ(S_OK, Attach(tester, WM_SIZE));

  // The first message reads 0: the window first, then the client.
  ::SetWindowPos(window_.Handle(), nullptr, 0, 0, 320, 240, SWP_NOMOVE | SWP_NOZORDER);
  EXPECT_EQ((Log{"window", "client"}), log_);
  // From then on it reads 1: the client first, then the window.
  log_.clear();
  ::SetWindowPos(window_.Handle(), nullptr, 0, 0, 400, 300, SWP_NOMOVE | SWP_NOZORDER);
  ::SendMessageW(window_.Handle(), WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(5, 5));
  EXPECT_EQ((Log{"client", "window", "client", "window"}), log_);

  EXPECT_EQ(2, window_.sizeMessages);
  RECT client{};
  ::GetWindowRect(window_.Handle(), &client);
  EXPECT_EQ(400, client.right - client.left);
  EXPECT_EQ(3u, tester.calls.size());
  EXPECT_EQ(hwClientThenPrevious, tester.response);
}

TEST_F(WindowHooksTest, ClientsOfOneMessageChainNewestFirst) {
  FakeSubClass& first = NewClient("first");
  FakeSubClass& second = NewClient("second");
  FakeSubClass& third = NewClient("third");
  first.response = hwClientOnly;
  first.result = 5;
  second.response = hwPreviousThenClient;
  third.response = hwClientThenPrevious;
  for (FakeSubClass* client : {&first, &second, &third}) ASSERT_EQ(S_OK, Attach(*client, TestWindow::kProbe));
  ASSERT_EQ(S_OK, Attach(first, TestWindow::kOtherProbe));

  // third runs, then what lies below it: second, which first lets first
  // (client only, 5) handle the message and then runs itself.
  EXPECT_EQ(5, Probe());
  EXPECT_EQ((Log{"third", "first", "second"}), log_);
  EXPECT_EQ(0, window_.probes);

  log_.clear();
  Probe(TestWindow::kOtherProbe);
  EXPECT_EQ((Log{"first"}), log_);
  EXPECT_EQ(4, AttachmentCount());
  EXPECT_EQ(1, g_subclassesSet);  // one subclass per window
}

TEST_F(WindowHooksTest, AttachingTheSameThreeTwiceChangesNothing) {
  FakeSubClass& client = NewClient("client");
  ASSERT_EQ(S_OK, Attach(client, TestWindow::kProbe));
  ASSERT_EQ(S_OK, Attach(client, TestWindow::kProbe));
  Probe();
  EXPECT_EQ(1u, client.calls.size());
  EXPECT_EQ(1, AttachmentCount());
  ASSERT_EQ(S_OK, Detach(client, TestWindow::kProbe));
  EXPECT_EQ(0, AttachmentCount());
}

TEST_F(WindowHooksTest, DetachingInAnyOrderEndsEachAttachmentAndFinallyTheSubclass) {
  FakeSubClass& first = NewClient("first");
  FakeSubClass& second = NewClient("second");
  FakeSubClass& third = NewClient("third");
  for (FakeSubClass* client : {&first, &second, &third}) {
    ASSERT_EQ(S_OK, Attach(*client, TestWindow::kProbe));
  }
  ASSERT_EQ(S_OK, Detach(second, TestWindow::kProbe));
  EXPECT_EQ(1u, second.References());
  // Both let what lies below them go first: the window, then first, then third.
  Probe();
  EXPECT_EQ((Log{"window", "first", "third"}), log_);

  ASSERT_EQ(S_OK, Detach(first, TestWindow::kProbe));
  ASSERT_EQ(S_OK, Detach(first, TestWindow::kProbe));  // no longer attached: nothing happens
  EXPECT_EQ(0, g_subclassesRemoved);
  ASSERT_EQ(S_OK, Detach(third, TestWindow::kProbe));
  EXPECT_EQ(1, g_subclassesRemoved);

  log_.clear();
  EXPECT_EQ(TestWindow::kProbeAnswer, Probe());
  EXPECT_EQ((Log{"window"}), log_);
  ExpectAllLetGo();
}

TEST_F(WindowHooksTest, AClientCanDetachItselfAndOthersInsideItsCallback) {
  FakeSubClass& below = NewClient("below");
  FakeSubClass& detacher = NewClient("detacher");
  detacher.response = hwClientThenPrevious;
  ASSERT_EQ(S_OK, Attach(below, TestWindow::kProbe));
  ASSERT_EQ(S_OK, Attach(detacher, TestWindow::kProbe));
  detacher.onWindowProc = [&] {
    EXPECT_EQ(S_OK, Detach(detacher, TestWindow::kProbe));
    EXPECT_EQ(S_OK, Detach(below, TestWindow::kProbe));
    EXPECT_EQ(0, g_subclassesRemoved);  // not while the message is on its way
  };

  // The detached client further down is passed over; the window still answers.
  EXPECT_EQ(TestWindow::kProbeAnswer, Probe());
  EXPECT_EQ((Log{"detacher", "window"}), log_);
  EXPECT_EQ(1, g_subclassesRemoved);
  ExpectAllLetGo();
}

TEST_F(WindowHooksTest, AClientAttachedInsideACallbackTakesPartFromTheNextMessage) {
  FakeSubClass& attacher = NewClient("attacher");
  FakeSubClass& late = NewClient("late");
  ASSERT_EQ(S_OK, Attach(attacher, TestWindow::kProbe));
  attacher.onWindowProc = [&] {
    EXPECT_EQ(S_OK, Attach(late, TestWindow::kProbe));
    attacher.onWindowProc = nullptr;
  };
  Probe();
  EXPECT_EQ((Log{"window", "attacher"}), log_);
  log_.clear();
  Probe();
  EXPECT_EQ((Log{"window", "attacher", "late"}), log_);
}

TEST_F(WindowHooksTest, AWindowDestroyedWhileAttachedEndsItsAttachments) {
  FakeSubClass& client = NewClient("client");
  FakeSubClass& watcher = NewClient("watcher");
  ASSERT_EQ(S_OK, Attach(client, TestWindow::kProbe));
  ASSERT_EQ(S_OK, Attach(watcher, WM_NCDESTROY));
  LONG handle = window_.HandleValue();

  window_.Destroy();
  ASSERT_EQ(1u, watcher.calls.size());  // the last message still reaches its client
  EXPECT_EQ(static_cast<LONG>(WM_NCDESTROY), watcher.calls[0].iMsg);
  ExpectAllLetGo();
  EXPECT_EQ(S_OK, Detach(client, TestWindow::kProbe, handle));
}

TEST_F(WindowHooksTest, AWindowDestroyedByAClientInsideItsCallbackIsLetGoCleanly) {
  FakeSubClass& destroyer = NewClient("destroyer");
  FakeSubClass& other = NewClient("other");
  destroyer.response = hwClientThenPrevious;
  destroyer.onWindowProc = [&] { window_.Destroy(); };
  ASSERT_EQ(S_OK, Attach(other, TestWindow::kProbe));
  ASSERT_EQ(S_OK, Attach(destroyer, TestWindow::kProbe));
  Probe();
  EXPECT_EQ((Log{"destroyer"}), log_);
  ExpectAllLetGo();
}

TEST_F(WindowHooksTest, ReleasingTheGlobalObjectEndsItsAttachmentsEvenInsideACallback) {
  FakeSubClass& client = NewClient("client");
  FakeSubClass& releaser = NewClient("releaser");
  ASSERT_EQ(S_OK, Attach(client, TestWindow::kProbe));
  ASSERT_EQ(S_OK, Attach(releaser, TestWindow::kOtherProbe));
  releaser.response = hwClientThenPrevious;
  releaser.onWindowProc = [&] { global_.Reset(); };

  Probe(TestWindow::kOtherProbe);
  EXPECT_EQ((Log{"releaser", "window"}), log_);
  for (FakeSubClass* each : {&client, &releaser}) EXPECT_EQ(1u, each->References()) << each->Name();
  EXPECT_EQ(1, g_subclassesRemoved);
  log_.clear();
  EXPECT_EQ(TestWindow::kProbeAnswer, Probe());
  EXPECT_EQ((Log{"window"}), log_);
}

TEST_F(WindowHooksTest, AttachRefusesWhatItCannotHook) {
  FakeSubClass& client = NewClient("client");
  ISubClass* none = nullptr;
  EXPECT_EQ(ErrorNumber(91), global_->AttachMessage(&none, window_.HandleValue(), WM_SIZE));
  EXPECT_EQ(ErrorNumber(91), global_->DetachMessage(&none, window_.HandleValue(), WM_SIZE));
  EXPECT_EQ(ErrorNumber(5), Attach(client, WM_SIZE, 0x7FFF0000));  // no such window

  // A window of another thread, kept alive until the attempt is over.
  std::promise<HWND> created;
  std::promise<void> attempted;
  std::thread other([&] {
    HWND foreign = ::CreateWindowExW(0, L"STATIC", L"", 0, 0, 0, 0, 0, HWND_MESSAGE, nullptr,
                                     nullptr, nullptr);
    created.set_value(foreign);
    attempted.get_future().wait();
    ::DestroyWindow(foreign);
  });
  HWND foreign = created.get_future().get();
  ASSERT_TRUE(::IsWindow(foreign));
  EXPECT_EQ(ErrorNumber(5),
            Attach(client, WM_SIZE, static_cast<LONG>(reinterpret_cast<LONG_PTR>(foreign))));
  attempted.set_value();
  other.join();

  g_refuseSubclass = true;
  EXPECT_EQ(ErrorNumber(5), Attach(client, WM_SIZE));
  ExpectAllLetGo();
}

TEST_F(WindowHooksTest, CreatingTheGlobalObjectAgainOnTheThreadGivesTheSameOne) {
  FakeSubClass& client = NewClient("client");
  ASSERT_EQ(S_OK, Attach(client, TestWindow::kProbe));
  ComPtr<IHookwatchGlobal> again;
  ASSERT_EQ(S_OK, hookwatch::CreateHookwatchGlobal(IID_IHookwatchGlobal, again.PutVoid()));
  EXPECT_EQ(global_.Get(), again.Get());

  global_.Reset();  // the attachment lives on through the other reference
  EXPECT_GT(client.References(), 1u);
  again.Reset();
  EXPECT_EQ(1u, client.References());
  ASSERT_EQ(S_OK, hookwatch::CreateHookwatchGlobal(IID_IHookwatchGlobal, global_.PutVoid()));
  EXPECT_EQ(0, AttachmentCount());
}
