// What a control reads from its site, asked directly.
#include <gtest/gtest.h>

#include <tuple>
#include <utility>

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
  AmbientProperties ambient{.fontName = L"Tahoma", .fontPoints = 8.25};
  auto site = ComPtr<IOleClientSite>::Attach(new ControlSite(nullptr, RECT{1, 2, 30, 40}, L"grdMS", ambient));
  ComPtr<IDispatch> dispatch;
  ASSERT_EQ(S_OK, site.As(dispatch));

  // Every ambient property but the font, with its type and value.
  const std::pair<DISPID, Variant> expected[] = {
      {DISPID_AMBIENT_USERMODE, Variant::FromBool(true)},
      {DISPID_AMBIENT_UIDEAD, Variant::FromBool(false)},
      {DISPID_AMBIENT_SHOWGRABHANDLES, Variant::FromBool(false)},
      {DISPID_AMBIENT_SHOWHATCHING, Variant::FromBool(false)},
      {DISPID_AMBIENT_MESSAGEREFLECT, Variant::FromBool(false)},
      {DISPID_AMBIENT_DISPLAYASDEFAULT, Variant::FromBool(false)},
      {DISPID_AMBIENT_SUPPORTSMNEMONICS, Variant::FromBool(true)},
      {DISPID_AMBIENT_AUTOCLIP, Variant::FromBool(true)},
      {DISPID_AMBIENT_BACKCOLOR, Variant::FromInt32(static_cast<LONG>(0x80000000 | COLOR_BTNFACE))},
      {DISPID_AMBIENT_FORECOLOR, Variant::FromInt32(static_cast<LONG>(0x80000000 | COLOR_BTNTEXT))},
      {DISPID_AMBIENT_LOCALEID, Variant::FromInt32(static_cast<LONG>(::GetUserDefaultLCID()))},
      {DISPID_AMBIENT_APPEARANCE, Variant::FromInt32(1)},
      {DISPID_AMBIENT_DISPLAYNAME, Variant::FromText(L"grdMS")},
      {DISPID_AMBIENT_SCALEUNITS, Variant::FromText(L"Twip")},
  };
  Variant value;
  for (const auto& [id, held] : expected) {
    SCOPED_TRACE(id);
    ASSERT_EQ(S_OK, Ambient(dispatch.Get(), id, value));
    ASSERT_EQ(held.Type(), value.Type());
    if (held.Type() == VT_BSTR) {
      EXPECT_STREQ(V_BSTR(&held.Get()), V_BSTR(&value.Get()));
    } else {  // a number or truth value, compared exactly
      EXPECT_EQ(VARCMP_EQ, ::VarCmp(const_cast<VARIANT*>(&held.Get()), value.Raw(), LOCALE_USER_DEFAULT, 0));
    }
  }

  // What a dispatch caller may get wrong, refused as the platform would.
  DISPPARAMS none{};
  VARIANT argument{};
  DISPPARAMS one{&argument, nullptr, 1, 0};
  auto userMode = [&](REFIID iid, WORD flags, DISPPARAMS* params, VARIANT* result) {
    return dispatch->Invoke(DISPID_AMBIENT_USERMODE, iid, 0, flags, params, result, nullptr, nullptr);
  };
  EXPECT_EQ(DISP_E_UNKNOWNINTERFACE, userMode(IID_IDispatch, DISPATCH_PROPERTYGET, &none, value.Put()));
  EXPECT_EQ(DISP_E_MEMBERNOTFOUND, userMode(IID_NULL, DISPATCH_PROPERTYPUT, &none, value.Put()));
  EXPECT_EQ(DISP_E_BADPARAMCOUNT, userMode(IID_NULL, DISPATCH_PROPERTYGET, &one, value.Put()));
  EXPECT_EQ(E_POINTER, userMode(IID_NULL, DISPATCH_PROPERTYGET, &none, nullptr));
  UINT count = 7;
  EXPECT_EQ(S_OK, dispatch->GetTypeInfoCount(&count));
  EXPECT_EQ(0u, count);
  LPOLESTR name = const_cast<LPOLESTR>(L"UserMode");
  DISPID id = 0;
  EXPECT_EQ(DISP_E_UNKNOWNNAME, dispatch->GetIDsOfNames(IID_NULL, &name, 1, 0, &id));
  EXPECT_EQ(DISPID_UNKNOWN, id);

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
  EXPECT_EQ(std::make_tuple(true, false, LONG{30}, LONG{40}),
            std::make_tuple(static_cast<bool>(frame), static_cast<bool>(document), position.right, clip.bottom));
  RECT moved{5, 6, 70, 80};
  ASSERT_EQ(S_OK, inPlace->OnPosRectChange(&moved));
  ASSERT_EQ(S_OK, inPlace->GetWindowContext(frame.Put(), document.Put(), &position, &clip, &info));
  EXPECT_EQ(std::make_pair(LONG{5}, LONG{80}), std::make_pair(position.left, clip.bottom));

  // What the site does not offer leaves its out-parameters empty.
  auto* moniker = reinterpret_cast<IMoniker*>(1);
  EXPECT_EQ(E_NOTIMPL, site->GetMoniker(OLEGETMONIKER_ONLYIFTHERE, OLEWHICHMK_OBJFULL, &moniker));
  EXPECT_EQ(nullptr, moniker);
  auto* container = reinterpret_cast<IOleContainer*>(1);
  EXPECT_EQ(E_NOINTERFACE, site->GetContainer(&container));
  EXPECT_EQ(nullptr, container);
  ComPtr<IOleControlSite> controlSite;
  ASSERT_EQ(S_OK, site.As(controlSite));
  auto* extended = reinterpret_cast<IDispatch*>(1);
  EXPECT_EQ(E_NOTIMPL, controlSite->GetExtendedControl(&extended));
  EXPECT_EQ(nullptr, extended);
  auto* typeInfo = reinterpret_cast<ITypeInfo*>(1);
  EXPECT_EQ(E_NOTIMPL, dispatch->GetTypeInfo(0, 0, &typeInfo));
  EXPECT_EQ(nullptr, typeInfo);

  // Null pointers: refused where something must be written or read, and
  // otherwise the same answer as with them.
  EXPECT_EQ(E_NOTIMPL, site->GetMoniker(OLEGETMONIKER_ONLYIFTHERE, OLEWHICHMK_OBJFULL, nullptr));
  EXPECT_EQ(E_NOINTERFACE, site->GetContainer(nullptr));
  EXPECT_EQ(E_NOTIMPL, controlSite->GetExtendedControl(nullptr));
  EXPECT_EQ(E_NOTIMPL, dispatch->GetTypeInfo(0, 0, nullptr));
  EXPECT_EQ(DISP_E_UNKNOWNNAME, dispatch->GetIDsOfNames(IID_NULL, &name, 1, 0, nullptr));
  EXPECT_EQ(E_POINTER, dispatch->GetTypeInfoCount(nullptr));
  EXPECT_EQ(E_POINTER, inPlace->GetWindow(nullptr));
  EXPECT_EQ(E_POINTER, inPlace->OnPosRectChange(nullptr));
  EXPECT_EQ(S_OK, userMode(IID_NULL, DISPATCH_PROPERTYGET, nullptr, value.Put()));
  for (int missing = 0; missing < 5; ++missing) {
    SCOPED_TRACE(missing);
    auto* staleFrame = reinterpret_cast<IOleInPlaceFrame*>(1);
    auto* staleDocument = reinterpret_cast<IOleInPlaceUIWindow*>(1);
    EXPECT_EQ(E_POINTER, inPlace->GetWindowContext(missing == 0 ? nullptr : &staleFrame,
                                                   missing == 1 ? nullptr : &staleDocument,
                                                   missing == 2 ? nullptr : &position,
                                                   missing == 3 ? nullptr : &clip,
                                                   missing == 4 ? nullptr : &info));
    EXPECT_EQ(missing == 0 ? reinterpret_cast<IOleInPlaceFrame*>(1) : nullptr, staleFrame);
    EXPECT_EQ(missing == 1 ? reinterpret_cast<IOleInPlaceUIWindow*>(1) : nullptr, staleDocument);
  }
}
