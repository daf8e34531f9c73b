// The form in-process, with the registered component: what cannot be seen
// from outside the program.
#include <gtest/gtest.h>
#include <windows.h>
#include <commctrl.h>

#include <functional>
#include <optional>
#include <string>
#include <tuple>
#include <utility>

#include "ComponentObjects.h"
#include "DisplayDpi.h"
#include "TessmarkResources.h"
#include "TimerEvents.h"
#include "com/LateBound.h"
#include "com/QueryObject.h"
#include "com/TypeDescriptions.h"
#include "core/RuntimeError.h"
#include "core/Variant.h"
#include "forms/WindowClass.h"
#include "frmHookwatch.h"

namespace tessmark_tests {

namespace {

using formsrt::ComPtr;
using tessmark::frmHookwatch;

LONG AttachmentsInForce() {
  LONG count = -1;
  EXPECT_EQ(S_OK, tessmark::HookwatchGlobalObject().get_AttachmentCount(&count));
  return count;
}

class frmHookwatchTest : public ::testing::Test {
 protected:
  void TearDown() override {
    form_.Reset();
    tessmark::ReleaseHookwatchGlobal();
  }

  ComPtr<ISubClass> Client() const {
    ComPtr<ISubClass> client;
    EXPECT_EQ(S_OK, form_->QueryInterface(IID_ISubClass, client.PutVoid()));
    return client;
  }

  ComPtr<frmHookwatch> form_ = frmHookwatch::Create();
};

// Every window the form and its controls ask the platform for, with the
// place and size asked for; a control's text is set once it is made.
std::vector<std::tuple<HWND, int, int, int, int>> g_askedWindows;
DWORD g_formStyle;

HWND WINAPI RecordingCreateWindowExW(DWORD extendedStyle, LPCWSTR className, LPCWSTR text, DWORD style,
                                     int x, int y, int width, int height, HWND parent, HMENU menu,
                                     HINSTANCE instance, LPVOID parameter) {
  if (!parent) g_formStyle = style;
  HWND window = ::CreateWindowExW(extendedStyle, className, text, style, x, y, width, height, parent,
                                  menu, instance, parameter);
  g_askedWindows.emplace_back(window, x, y, width, height);
  return window;
}

// The images asked for: resource, type, width, height, flags.
std::vector<std::tuple<UINT_PTR, UINT, int, int, UINT>> g_askedImages;

HANDLE WINAPI RecordingLoadImageW(HINSTANCE module, LPCWSTR name, UINT type, int width, int height,
                                  UINT flags) {
  g_askedImages.emplace_back(reinterpret_cast<UINT_PTR>(name), type, width, height, flags);
  return ::LoadImageW(module, name, type, width, height, flags);
}

// On a display of 1,440 pixels to the inch a pixel is a twip: the form's
// client area and each control, in their tab order, are asked for to the
// twip. The form's icon is asked for at the small icon's size.
TEST(frmHookwatchLayout, AsksForTheFormAndEveryControlToTheTwip) {
  testing_support::DisplayDpi display(1440, 1440);
  formsrt::PlatformOverride<formsrt::User32Api> user32(formsrt::User32());
  user32->CreateWindowExW = RecordingCreateWindowExW;
  user32->LoadImageW = RecordingLoadImageW;
  g_askedWindows.clear();
  g_askedImages.clear();
  ComPtr<frmHookwatch> form = frmHookwatch::Create();
  EXPECT_EQ((decltype(g_askedImages){{IDI_FRMHOOKWATCH, IMAGE_ICON, 16, 16, LR_DEFAULTCOLOR}}),
            g_askedImages);
  RECT outer{0, 0, 5085, 2925};
  ::AdjustWindowRectEx(&outer, g_formStyle, FALSE, 0);
  ASSERT_FALSE(g_askedWindows.empty());
  EXPECT_EQ((std::pair<int, int>{outer.right - outer.left, outer.bottom - outer.top}),
            (std::pair{std::get<3>(g_askedWindows[0]), std::get<4>(g_askedWindows[0])}));
  using Placed = std::tuple<std::wstring, int, int, int, int>;
  std::vector<Placed> controls;
  for (auto [window, x, y, width, height] : g_askedWindows) {
    if (window == form->Window().Handle()) continue;
    controls.emplace_back(formsrt::WindowText(window), x, y, width, height);
  }
  EXPECT_EQ((std::vector<Placed>{
                {L"Timer 1", 300, 300, 1095, 255},
                {L"Timer 2", 300, 660, 1155, 375},
                {L"Label1", 1500, 300, 1035, 255},
                {L"Label2", 1500, 720, 1035, 255},
                {L"All Code Timer Test:", 60, 60, 4995, 195},
                {L"Click or resize the form to test the subclassing. This form subclasses the "
                 L"WM_MOUSEDOWN and WM_SIZE messages and outputs a debug message whenever one is "
                 L"encountered.",
                 60, 1260, 4995, 735}}),
            controls);
}

TEST_F(frmHookwatchTest, ShowsItsOwnSmallIcon) {
  auto icon =
      reinterpret_cast<HICON>(::SendMessageW(form_->Window().Handle(), WM_GETICON, ICON_SMALL, 0));
  ICONINFO info{};
  ASSERT_TRUE(::GetIconInfo(icon, &info));
  BITMAP colour{};
  ::GetObjectW(info.hbmColor, sizeof(colour), &colour);
  EXPECT_EQ(16, colour.bmWidth);
  EXPECT_EQ(16, colour.bmHeight);
  EXPECT_NE(::LoadIconW(nullptr, IDI_APPLICATION), icon);
  ::DeleteObject(info.hbmColor);
  ::DeleteObject(info.hbmMask);
}

// Records, as the form's window is destroyed, the attachments still in
// force: the window's own going would drop them too, but later.
LRESULT CALLBACK AttachmentsAtDestroy(HWND window, UINT message, WPARAM wParam, LPARAM lParam,
                                      UINT_PTR, DWORD_PTR attachments) {
  if (message == WM_DESTROY) *reinterpret_cast<LONG*>(attachments) = AttachmentsInForce();
  return ::DefSubclassProc(window, message, wParam, lParam);
}

TEST_F(frmHookwatchTest, LoadAttachesBothMessagesAndEveryUnloadDetachesThem) {
  form_->Show();
  EXPECT_EQ(2, AttachmentsInForce());
  LONG atDestroy = -1;
  ::SetWindowSubclass(form_->Window().Handle(), AttachmentsAtDestroy, 1,
                      reinterpret_cast<DWORD_PTR>(&atDestroy));
  EXPECT_TRUE(form_->Unload());
  EXPECT_EQ(0, atDestroy) << "both detached before the window goes";
  EXPECT_FALSE(form_->Window().IsLoaded());
}

TEST_F(frmHookwatchTest, ClosingTheWindowDetachesToo) {
  form_->Show();
  ::SendMessageW(form_->Window().Handle(), WM_CLOSE, 0, 0);
  EXPECT_FALSE(form_->Window().IsLoaded());
  EXPECT_EQ(0, AttachmentsInForce());
}

TEST_F(frmHookwatchTest, MsgResponseStartsAtZeroKeepsWhatIsPutAndIsOneAfterWindowProc) {
  ComPtr<ISubClass> client = Client();
  HookwatchResponse response = hwClientOnly;
  EXPECT_EQ(S_OK, client->get_MsgResponse(&response));
  EXPECT_EQ(0, response);

  EXPECT_EQ(S_OK, client->put_MsgResponse(static_cast<HookwatchResponse>(7)));
  EXPECT_EQ(S_OK, client->get_MsgResponse(&response));
  EXPECT_EQ(7, response);

  LONG result = -1;
  EXPECT_EQ(S_OK, client->WindowProc(0x1234, 0x201, 1, 2, &result));
  EXPECT_EQ(0, result);
  EXPECT_EQ(S_OK, client->get_MsgResponse(&response));
  EXPECT_EQ(1, response);
}

// The IDispatch part comes from the component's registered type library.
TEST_F(frmHookwatchTest, AnswersLateBoundCallsThroughTheComponentsTypeLibrary) {
  ComPtr<IDispatch> client;
  ASSERT_EQ(S_OK, form_->QueryInterface(IID_IDispatch, client.PutVoid()));
  using formsrt::Variant;
  formsrt::PutProperty(client.Get(), L"MsgResponse", Variant::FromInt32(2).Get());
  EXPECT_EQ(2, V_I4(&formsrt::GetProperty(client.Get(), L"MsgResponse").Get()));
  Variant result = formsrt::CallMethod(client.Get(), L"WindowProc",
                                       {Variant::FromInt32(1).Get(), Variant::FromInt32(5).Get(),
                                        Variant::FromInt32(0).Get(), Variant::FromInt32(0).Get()});
  EXPECT_EQ(0, V_I4(&result.Get()));
  EXPECT_EQ(1, V_I4(&formsrt::GetProperty(client.Get(), L"MsgResponse").Get()));

  Variant refused = Variant::FromInt32(0x5EED);
  DISPPARAMS none{};
  EXPECT_EQ(DISP_E_UNKNOWNINTERFACE, client->Invoke(1, IID_IUnknown, 0, DISPATCH_PROPERTYGET, &none,
                                                    refused.Raw(), nullptr, nullptr));
  EXPECT_EQ(VT_EMPTY, refused.Type());  // set before the refusal

  UINT count = 0;
  EXPECT_EQ(S_OK, client->GetTypeInfoCount(&count));
  EXPECT_EQ(1u, count);
  EXPECT_EQ(E_POINTER, client->GetTypeInfoCount(nullptr));
  ComPtr<ITypeInfo> info;
  ASSERT_EQ(S_OK, client->GetTypeInfo(0, 0, info.Put()));
  EXPECT_EQ(IID_ISubClass, formsrt::TypeAttributes(info.Get())->guid);
  auto* stale = reinterpret_cast<ITypeInfo*>(1);
  EXPECT_EQ(DISP_E_BADINDEX, client->GetTypeInfo(1, 0, &stale));
  EXPECT_EQ(nullptr, stale);
  EXPECT_EQ(E_POINTER, client->GetTypeInfo(0, 0, nullptr));
}

// A class object for the test's thread, registered while it lives: each
// creation is answered by `create`.
class ClassOfThisThread final : public IClassFactory {
 public:
  using Create = std::function<HRESULT(REFIID iid, void** out)>;
  ClassOfThisThread(REFCLSID clsid, Create create) : create_(std::move(create)) {
    EXPECT_EQ(S_OK, ::CoRegisterClassObject(clsid, this, CLSCTX_INPROC_SERVER, REGCLS_MULTIPLEUSE,
                                            &cookie_));
  }
  ~ClassOfThisThread() { ::CoRevokeClassObject(cookie_); }
  STDMETHODIMP QueryInterface(REFIID iid, void** out) override {
    return formsrt::QueryObject<formsrt::Offer<IClassFactory>>(this, iid, out);
  }
  STDMETHODIMP_(ULONG) AddRef() override { return 2; }  // lives on the test's stack
  STDMETHODIMP_(ULONG) Release() override { return 1; }
  STDMETHODIMP CreateInstance(IUnknown*, REFIID iid, void** out) override {
    *out = nullptr;
    return create_(iid, out);
  }
  STDMETHODIMP LockServer(BOOL) override { return S_OK; }

 private:
  Create create_;
  DWORD cookie_ = 0;
};

// The timers run at 500 ms from the form's load; a check box cleared stops
// its own timer (-1), set again restarts it. The component's timer class is
// interposed to keep the timers it makes.
TEST_F(frmHookwatchTest, TheTimersRunAtHalfASecondAndEachCheckBoxSwitchesItsOwn) {
  ComPtr<IClassFactory> component;
  ASSERT_EQ(S_OK, ::CoGetClassObject(CLSID_HookwatchTimer, CLSCTX_INPROC_SERVER, nullptr,
                                     IID_IClassFactory, component.PutVoid()));
  std::vector<ComPtr<IHookwatchTimer>> timers;
  ClassOfThisThread kept(CLSID_HookwatchTimer, [&](REFIID iid, void** out) {
    HRESULT hr = component->CreateInstance(nullptr, iid, out);
    if (SUCCEEDED(hr)) {
      auto* made = static_cast<IUnknown*>(*out);
      made->QueryInterface(IID_IHookwatchTimer, timers.emplace_back().PutVoid());
    }
    return hr;
  });
  auto intervals = [&] {
    std::vector<LONG> milliseconds;
    for (const auto& timer : timers) timer->get_Interval(&milliseconds.emplace_back());
    return milliseconds;
  };
  form_->Show();
  EXPECT_EQ((std::vector<LONG>{500, 500}), intervals());
  HWND form = form_->Window().Handle();
  HWND check1 = ::FindWindowExW(form, nullptr, L"Button", L"Timer 1");
  HWND check2 = ::FindWindowExW(form, nullptr, L"Button", L"Timer 2");
  ::SendMessageW(check1, BM_CLICK, 0, 0);
  EXPECT_EQ((std::vector<LONG>{-1, 500}), intervals());
  ::SendMessageW(check2, BM_CLICK, 0, 0);
  EXPECT_EQ((std::vector<LONG>{-1, -1}), intervals());
  ::SendMessageW(check1, BM_CLICK, 0, 0);
  EXPECT_EQ((std::vector<LONG>{500, -1}), intervals());
}

// What making an object raises: a class's own run-time error (a control
// error) as it is, any other failure, and no class at all, as error 429.
TEST(ComponentObjects, AClassesOwnErrorComesThroughAndAnyOtherFailureIsError429) {
  using Raised = std::pair<HRESULT, long>;  // a COM failure raised, a run-time error raised
  auto raisedMaking = [](REFCLSID clsid) {
    try {
      tessmark::NewComponentObject<IHookwatchTimer>(clsid);
    } catch (const formsrt::ComError& failure) {
      return Raised{failure.Result(), 0};
    } catch (const formsrt::RuntimeError& failure) {
      return Raised{S_OK, failure.Number()};
    }
    return Raised{S_OK, 0};
  };
  const Raised notMade{S_OK, formsrt::error::CannotCreateObject};
  const HRESULT ownError = MAKE_HRESULT(SEVERITY_ERROR, FACILITY_CONTROL, 380);
  const struct {
    HRESULT failure;
    Raised raised;
  } cases[] = {
      {ownError, {ownError, 0}},
      {MAKE_HRESULT(SEVERITY_ERROR, FACILITY_CONTROL + 1, 380), notMade},
      {E_OUTOFMEMORY, notMade},
      {CLASS_E_CLASSNOTAVAILABLE, notMade},
  };
  // A class of the test's own whose every creation fails as told.
  constexpr CLSID kFailing = {0x5b1d0c2e, 0x7a43, 0x4f0e,
                              {0x9c, 0x61, 0x2d, 0x8e, 0x4b, 0x17, 0xa0, 0x53}};
  for (const auto& c : cases) {
    ClassOfThisThread failing(kFailing, [&](REFIID, void**) { return c.failure; });
    EXPECT_EQ(c.raised, raisedMaking(kFailing)) << std::hex << c.failure;
  }
  EXPECT_EQ(notMade, raisedMaking(CLSID_NULL));
}

// The sink connected to a timer: an IDispatch that knows ThatTime (DISPID 1)
// and nothing else, without type information, gone from the timer with its
// owner and deaf from then on even while still held.
TEST(TimerEvents, HearsOnlyThatTimeUntilItsOwnerGoes) {
  ComPtr<IHookwatchTimer> timer = tessmark::NewComponentObject<IHookwatchTimer>(CLSID_HookwatchTimer);
  ComPtr<IConnectionPointContainer> container;
  ASSERT_EQ(S_OK, timer->QueryInterface(IID_IConnectionPointContainer, container.PutVoid()));
  ComPtr<IConnectionPoint> point;
  ASSERT_EQ(S_OK, container->FindConnectionPoint(DIID___HookwatchTimer, point.Put()));
  int ticks = 0;
  std::optional<tessmark::TimerEvents> events(std::in_place, *timer.Get(), [&] { ++ticks; });
  ComPtr<IEnumConnections> connections;
  ASSERT_EQ(S_OK, point->EnumConnections(connections.Put()));
  CONNECTDATA connection{};
  ASSERT_EQ(S_OK, connections->Next(1, &connection, nullptr));
  ComPtr<IDispatch> sink;
  ASSERT_EQ(S_OK, ComPtr<IUnknown>::Attach(connection.pUnk)->QueryInterface(IID_IDispatch, sink.PutVoid()));
  EXPECT_EQ(S_FALSE, connections->Next(1, &connection, nullptr));  // the one sink
  ComPtr<IUnknown> asEvents;
  EXPECT_EQ(S_OK, sink->QueryInterface(DIID___HookwatchTimer, asEvents.PutVoid()));

  UINT count = 7;
  EXPECT_EQ(S_OK, sink->GetTypeInfoCount(&count));
  EXPECT_EQ(0u, count);
  EXPECT_EQ(E_POINTER, sink->GetTypeInfoCount(nullptr));
  auto* stale = reinterpret_cast<ITypeInfo*>(1);
  EXPECT_EQ(E_NOTIMPL, sink->GetTypeInfo(0, 0, &stale));
  EXPECT_EQ(nullptr, stale);
  LPOLESTR name = const_cast<LPOLESTR>(L"ThatTime");
  DISPID id = 0;
  EXPECT_EQ(E_NOTIMPL, sink->GetIDsOfNames(IID_NULL, &name, 1, 0, &id));

  DISPPARAMS none{};
  formsrt::Variant result = formsrt::Variant::FromInt32(5);
  EXPECT_EQ(S_OK, sink->Invoke(1, IID_NULL, 0, DISPATCH_METHOD, &none, result.Raw(), nullptr, nullptr));
  EXPECT_EQ(VT_EMPTY, result.Type());
  EXPECT_EQ(1, ticks);
  for (DISPID other : {DISPID_VALUE, 2}) {
    result = formsrt::Variant::FromInt32(5);
    EXPECT_EQ(DISP_E_MEMBERNOTFOUND,
              sink->Invoke(other, IID_NULL, 0, DISPATCH_METHOD, &none, result.Raw(), nullptr, nullptr));
    EXPECT_EQ(VT_EMPTY, result.Type());
  }
  EXPECT_EQ(1, ticks);

  events.reset();
  ASSERT_EQ(S_OK, point->EnumConnections(connections.Put()));
  EXPECT_EQ(S_FALSE, connections->Next(1, &connection, nullptr));
  EXPECT_EQ(S_OK, sink->Invoke(1, IID_NULL, 0, DISPATCH_METHOD, &none, nullptr, nullptr, nullptr));
  EXPECT_EQ(1, ticks);
}

}  // namespace

}  // namespace tessmark_tests
