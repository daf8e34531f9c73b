// Every out-parameter of the control holds Empty, 0 or null when a call
// fails, so that a caller may free it either way: each is given a sentinel
// first, and each call is made to fail.
#include <gtest/gtest.h>

#include <functional>
#include <string>
#include <vector>

#include "TestDoubles.h"
#include "core/Bstr.h"

using namespace quennet_test;

namespace {

constexpr LONG kSentinel = 0x5EED;

VARIANT Sentinel() {
  VARIANT sentinel;
  V_VT(&sentinel) = VT_I4;
  V_I4(&sentinel) = kSentinel;
  return sentinel;
}

struct FailingCall {
  const char* member;
  std::function<HRESULT(_QuennetCtl&, VARIANT* result)> call;
};

}  // namespace

TEST(OutParameters, EveryFailingMemberEmptiesItsResult) {
  auto control = NewControl<_QuennetCtl>();
  VARIANT empty{};
  std::wstring overflowing(40000, L'.');
  overflowing.replace(39000, 2, L"ab");
  formsrt::Bstr longText(overflowing), find(L"AB"), replace(L"z");
  std::vector<FailingCall> calls = {
      {"FCxCenterForm", [&](_QuennetCtl& c, VARIANT* r) { return c.FCxCenterForm(&empty, r); }},
      {"FCxAltMove", [&](_QuennetCtl& c, VARIANT* r) { return c.FCxAltMove(&empty, r); }},
      {"FCxFlashWindow", [&](_QuennetCtl& c, VARIANT* r) { return c.FCxFlashWindow(&empty, r); }},
      {"FCxTransparent", [&](_QuennetCtl& c, VARIANT* r) { return c.FCxTransparent(&empty, r); }},
      {"STxLoadIcon", [&](_QuennetCtl& c, VARIANT* r) { return c.STxLoadIcon(&empty, &empty, r); }},
      {"FCxLaunchCPA", [](_QuennetCtl& c, VARIANT* r) { return c.FCxLaunchCPA(nullptr, r); }},
      {"FCxShellNav", [](_QuennetCtl& c, VARIANT* r) { return c.FCxShellNav(nullptr, r); }},
      {"FCxOpenMail", [](_QuennetCtl& c, VARIANT* r) { return c.FCxOpenMail(nullptr, r); }},
      {"FCxSetMousePos",
       [](_QuennetCtl& c, VARIANT* r) { return c.FCxSetMousePos(nullptr, nullptr, r); }},
      {"FCxFindReplace1st",
       [](_QuennetCtl& c, VARIANT* r) { return c.FCxFindReplace1st(nullptr, nullptr, nullptr, r); }},
      {"FCxFindReplaceAll past 32,767",
       [&](_QuennetCtl& c, VARIANT* r) {
         BSTR text = longText.Get(), what = find.Get(), with = replace.Get();
         return c.FCxFindReplaceAll(&text, &what, &with, r);
       }},
  };
  for (const FailingCall& failing : calls) {
    VARIANT result = Sentinel();
    EXPECT_TRUE(FAILED(failing.call(*control.Get(), &result))) << failing.member;
    EXPECT_EQ(VT_EMPTY, V_VT(&result)) << failing.member;
  }

  formsrt::Bstr sentinelText(L"sentinel");
  BSTR path = sentinelText.Get();
  EXPECT_EQ(E_POINTER, control->FCxReturnPath(nullptr, &path));
  EXPECT_EQ(nullptr, path);
  LONG wallpaper = kSentinel;
  EXPECT_EQ(E_POINTER, control->FCxSetWallpaper(nullptr, &wallpaper));
  EXPECT_EQ(0, wallpaper);
}

TEST(OutParameters, TheContainerInterfacesClearWhatTheyRefuse) {
  auto control = NewControl<IOleObject>();
  SIZEL extent{kSentinel, kSentinel};
  EXPECT_EQ(DV_E_DVASPECT, control->GetExtent(DVASPECT_THUMBNAIL, &extent));
  EXPECT_EQ(0, extent.cx);
  EXPECT_EQ(0, extent.cy);
  GUID guid = IID_IDispatch;
  EXPECT_EQ(E_INVALIDARG, As<IProvideClassInfo2>(control)->GetGUID(0x7F, &guid));
  EXPECT_EQ(GUID_NULL, guid);
  VARIANT result = Sentinel();
  DISPPARAMS none{};
  EXPECT_EQ(DISP_E_UNKNOWNINTERFACE, As<IDispatch>(control)->Invoke(1, IID_IUnknown, 0, DISPATCH_METHOD,
                                                                    &none, &result, nullptr, nullptr));
  EXPECT_EQ(VT_EMPTY, V_VT(&result));
  result = Sentinel();
  DISPPARAMS contradictory{nullptr, nullptr, 2, 0};
  EXPECT_EQ(E_INVALIDARG, As<IDispatch>(control)->Invoke(0x60030005, IID_NULL, 0, DISPATCH_METHOD,
                                                         &contradictory, &result, nullptr, nullptr));
  EXPECT_EQ(VT_EMPTY, V_VT(&result));
}
