// The form in-process, with the registered component: what cannot be seen
// from outside the program.
#include <gtest/gtest.h>

#include "ComponentObjects.h"
#include "com/LateBound.h"
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
}

}  // namespace

}  // namespace tessmark_tests
