// The form in-process, with the registered component: what cannot be seen
// from outside the program.
#include <gtest/gtest.h>

#include <optional>

#include "ComponentObjects.h"
#include "TimerEvents.h"
#include "com/LateBound.h"
#include "com/TypeDescriptions.h"
#include "core/RuntimeError.h"
#include "core/Variant.h"
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

TEST_F(frmHookwatchTest, LoadAttachesBothMessagesAndEveryUnloadDetachesThem) {
  form_->Show();
  EXPECT_EQ(2, AttachmentsInForce());
  EXPECT_TRUE(form_->Unload());
  EXPECT_EQ(0, AttachmentsInForce());
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

TEST(ComponentObjects, AClassThatCannotBeMadeIsError429) {
  try {
    tessmark::NewComponentObject<IHookwatchTimer>(CLSID_NULL);
    ADD_FAILURE() << "made an object of no class";
  } catch (const formsrt::RuntimeError& failure) {
    EXPECT_EQ(formsrt::error::CannotCreateObject, failure.Number());
  }
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
