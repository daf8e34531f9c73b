// What a control reads from its site, asked directly.
#include <gtest/gtest.h>

#include "core/Variant.h"
#include "container/ControlSite.h"

using namespace formsrt;

namespace {

HRESULT Ambient(IDispatch* site, DISPID id, Variant& value) {
  DISPPARAMS none{};
  return site->Invoke(id, IID_NULL, 0, DISPATCH_PROPERTYGET, &none, value.Put(), nullptr, nullptr);
}

}  // namespace

TEST(ControlSite, AnswersTheAmbientPropertiesAContainerSupplies) {
  AmbientProperties ambient;
  ambient.fontName = L"Tahoma";
  ambient.fontPoints = 8.25;
  auto site = ComPtr<IOleClientSite>::Attach(new ControlSite(nullptr, RECT{1, 2, 30, 40}, L"grdMS", ambient));
  ComPtr<IDispatch> dispatch;
  ASSERT_EQ(S_OK, site.As(dispatch));

  Variant value;
  ASSERT_EQ(S_OK, Ambient(dispatch.Get(), DISPID_AMBIENT_USERMODE, value));
  EXPECT_EQ(VARIANT_TRUE, V_BOOL(&value.Get()));
  ASSERT_EQ(S_OK, Ambient(dispatch.Get(), DISPID_AMBIENT_DISPLAYNAME, value));
  EXPECT_STREQ(L"grdMS", V_BSTR(&value.Get()));
  ASSERT_EQ(S_OK, Ambient(dispatch.Get(), DISPID_AMBIENT_BACKCOLOR, value));
  EXPECT_EQ(static_cast<LONG>(0x80000000 | COLOR_BTNFACE), V_I4(&value.Get()));

  ASSERT_EQ(S_OK, Ambient(dispatch.Get(), DISPID_AMBIENT_FONT, value));
  ComPtr<IFont> font;
  ASSERT_EQ(S_OK, V_DISPATCH(&value.Get())->QueryInterface(IID_IFont, font.PutVoid()));
  // The face asked for; the platform draws with its nearest face when it
  // lacks that one (and IFont then names the nearest one).
  HFONT handle = nullptr;
  ASSERT_EQ(S_OK, font->get_hFont(&handle));
  LOGFONTW description{};
  ::GetObjectW(handle, sizeof(description), &description);
  EXPECT_STREQ(L"Tahoma", description.lfFaceName);
  CY size{};
  font->get_Size(&size);
  EXPECT_EQ(82500, size.int64);

  EXPECT_EQ(DISP_E_MEMBERNOTFOUND, Ambient(dispatch.Get(), 12345, value));

  ComPtr<IOleInPlaceSite> inPlace;
  ASSERT_EQ(S_OK, site.As(inPlace));
  ComPtr<IOleInPlaceFrame> frame;
  ComPtr<IOleInPlaceUIWindow> document;
  RECT position{}, clip{};
  OLEINPLACEFRAMEINFO info{};
  info.cb = sizeof(info);
  ASSERT_EQ(S_OK, inPlace->GetWindowContext(frame.Put(), document.Put(), &position, &clip, &info));
  EXPECT_TRUE(frame);
  EXPECT_EQ(30, position.right);
  EXPECT_EQ(40, clip.bottom);
}
