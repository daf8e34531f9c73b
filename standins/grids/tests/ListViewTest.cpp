// The list view stand-in: its collections fetched by DISPID, then called
// through their own interfaces, as the program calls them.
#include <gtest/gtest.h>

#include "FailingAllocations.h"
#include "GridStandins.h"
#include "ListViewStandin.h"
#include "StandinTestSupport.h"
#include "core/Bstr.h"
#include "com/EarlyBound.h"
#include "com/LateBound.h"

using namespace formsrt;
using namespace standin_tests;

namespace {

std::wstring TextOf(IDispatch* object) { return standin_tests::TextOf(GetProperty(object, DISPID{0})); }

class ListViewTest : public ::testing::Test {
 protected:
  void SetUp() override { ASSERT_TRUE(listView_ = CreateByProgId(L"ComctlLib.ListView")); }
  ComPtr<IListItems> Items() { return Collection<IListItems>(listView_.Get(), 7); }
  ComPtr<IColumnHeaders> Headers() { return Collection<IColumnHeaders>(listView_.Get(), 2); }
  ComPtr<IListItem> AddItem(const wchar_t* text) { return AddWithText<IListItem>(Items().Get(), text); }
  ComPtr<IColumnHeader> AddHeader(const wchar_t* text) {
    return AddWithText<IColumnHeader>(Headers().Get(), text);
  }
  template <class ItemOrHeader>
  static std::wstring Text(ItemOrHeader* object) {
    Bstr text;
    CheckCall(object->get_Text(text.Put()));
    return text.Str();
  }
  static std::wstring SubItem(IListItem* item, SHORT index) {
    Bstr text;
    CheckCall(item->get_SubItems(index, text.Put()));
    return text.Str();
  }

  ComPtr<IDispatch> listView_;
  Variant omitted_ = Variant::Omitted();
};

}  // namespace

TEST_F(ListViewTest, CollectionsClearAddAndHoldTheirTexts) {
  CheckCall(Items()->Clear());
  CheckCall(Headers()->Clear());
  for (const wchar_t* header : {L"Col1", L"Col2", L"Col3"}) AddHeader(header);
  ComPtr<IListItem> item = AddItem(L"Row1;Col 1");
  CheckCall(item->put_SubItems(1, Bstr(L"Row1;Col2").Get()));
  CheckCall(item->put_SubItems(2, Bstr(L"Row1;Col3").Get()));
  AddItem(L"Row2;Col 1");

  EXPECT_EQ(2, CountOf(Items()));
  EXPECT_EQ(3, CountOf(Headers()));
  EXPECT_EQ(L"Row1;Col3", SubItem(item.Get(), 2));
  LONG index = 0;
  CheckCall(item->get_Index(&index));
  EXPECT_EQ(1, index);
  ComPtr<IListItem> second;
  CheckCall(Items()->get_Item(2, second.Put()));
  EXPECT_EQ(L"Row2;Col 1", Text(second.Get()));
  EXPECT_EQ(L"", SubItem(second.Get(), 1));
  ComPtr<IColumnHeader> header;
  for (LONG column : {1, 3}) {
    CheckCall(Headers()->get_Item(column, header.Put()));
    EXPECT_EQ(L"Col" + std::to_wstring(column), Text(header.Get()));
  }

  // Through IDispatch too: a script-like client by name.
  Variant count = GetProperty(GetProperty(listView_.Get(), L"ListItems").Get().pdispVal, L"Count");
  EXPECT_EQ(2, Int32Of(count));

  CheckCall(Items()->Clear());
  EXPECT_EQ(0, CountOf(Items()));
  RuntimeError stale = CaughtError([&] { CheckCall(item->put_SubItems(1, Bstr(L"x").Get())); });
  EXPECT_EQ(error::InvalidProcedureCall, stale.Number());
  EXPECT_EQ(L"The list item was removed from the list view", stale.Description());
}

TEST_F(ListViewTest, ARemovedItemsOrHeadersGettersFailWithTheirOutParametersEmpty) {
  ComPtr<IColumnHeader> header = AddHeader(L"Col1");
  ComPtr<IListItem> item = AddItem(L"Row1");
  CheckCall(Items()->Clear());
  CheckCall(Headers()->Clear());
  auto expectGettersFailEmpty = [](auto* removed) {
    Bstr sentinel(L"sentinel");
    BSTR text = sentinel.Get();
    EXPECT_TRUE(FAILED(removed->get_Text(&text)));
    EXPECT_EQ(nullptr, text);
    LONG index = 0x5EED;
    EXPECT_TRUE(FAILED(removed->get_Index(&index)));
    EXPECT_EQ(0, index);
  };
  expectGettersFailEmpty(item.Get());
  expectGettersFailEmpty(header.Get());
  VARIANT result;
  V_VT(&result) = VT_I4;
  DISPPARAMS none{};
  EXPECT_EQ(DISP_E_UNKNOWNINTERFACE,
            listView_->Invoke(2, IID_IUnknown, 0, DISPATCH_PROPERTYGET, &none, &result, nullptr, nullptr));
  EXPECT_EQ(VT_EMPTY, V_VT(&result));
}

// The fetches of the collections are answered without the type information;
// every call of another shape still gets the type information's answer.
TEST_F(ListViewTest, CollectionFetchesOfEveryShapeGetTheTypeInformationsAnswer) {
  DISPPARAMS none{};
  EXPECT_EQ(S_OK, listView_->Invoke(7, IID_NULL, 0, DISPATCH_PROPERTYGET, &none, nullptr, nullptr,
                                    nullptr));  // no result wanted
  Variant fetched;
  EXPECT_EQ(S_OK, listView_->Invoke(2, IID_NULL, 0, DISPATCH_METHOD | DISPATCH_PROPERTYGET, &none,
                                    fetched.Put(), nullptr, nullptr));
  ASSERT_EQ(VT_DISPATCH, V_VT(&fetched.Get()));
  ComPtr<IColumnHeaders> headers;
  EXPECT_EQ(S_OK, V_DISPATCH(&fetched.Get())->QueryInterface(IID_IColumnHeaders, headers.PutVoid()));

  // With an argument, or as a method only: what the type information answers.
  ComPtr<ITypeInfo> info;
  ASSERT_EQ(S_OK, listView_->GetTypeInfo(0, 0, info.Put()));
  ComPtr<IListView> typed;
  ASSERT_EQ(S_OK, listView_->QueryInterface(IID_IListView, typed.PutVoid()));
  VARIANT argument = Variant::FromInt32(1).Get();
  DISPPARAMS one{&argument, nullptr, 1, 0};
  for (auto [flags, params] : {std::pair<WORD, DISPPARAMS*>{DISPATCH_PROPERTYGET, &one},
                               std::pair<WORD, DISPPARAMS*>{DISPATCH_METHOD, &none}}) {
    SCOPED_TRACE(flags);
    Variant ours, theirs;
    HRESULT answered = listView_->Invoke(7, IID_NULL, 0, flags, params, ours.Put(), nullptr, nullptr);
    EXPECT_TRUE(FAILED(answered));
    EXPECT_EQ(info->Invoke(typed.Get(), 7, flags, params, theirs.Put(), nullptr, nullptr), answered);
    EXPECT_EQ(V_VT(&theirs.Get()), V_VT(&ours.Get()));
  }
}

TEST_F(ListViewTest, WrongArgumentsGiveClearAutomationErrors) {
  AddHeader(L"Col1");
  AddHeader(L"Col2");
  ComPtr<IListItem> item = AddItem(L"Row1;Col 1");
  RuntimeError beyond = CaughtError([&] { CheckCall(item->put_SubItems(2, Bstr(L"x").Get())); });
  EXPECT_EQ(error::InvalidPropertyValue, beyond.Number());
  EXPECT_EQ(L"Sub-item 2 is outside 1 to 1 (one less than the column headers)", beyond.Description());
  EXPECT_EQ(error::InvalidPropertyValue,
            CaughtError([&] { CheckCall(item->put_SubItems(0, Bstr(L"x").Get())); }).Number());
  EXPECT_EQ(error::InvalidPropertyValue, CaughtError([&] { SubItem(item.Get(), 2); }).Number());
  EXPECT_EQ(error::SubscriptOutOfRange, CaughtError([&] {
              ComPtr<IListItem> none;
              CheckCall(Items()->get_Item(2, none.Put()));
            }).Number());
  ComPtr<IListItem> keyed;
  RuntimeError key = CaughtError([&] {
    CheckCall(Items()->Add(omitted_.Get(), Variant::FromText(L"k").Get(), Variant::FromText(L"t").Get(),
                           omitted_.Get(), omitted_.Get(), keyed.Put()));
  });
  EXPECT_EQ(error::InvalidProcedureCall, key.Number());
  EXPECT_NE(std::wstring::npos, key.Description().find(L"Key"));
  EXPECT_EQ(error::TypeMismatch, CaughtError([&] {
              CheckCall(Items()->Add(omitted_.Get(), omitted_.Get(),
                                     Variant::FromDispatch(listView_.Get()).Get(), omitted_.Get(),
                                     omitted_.Get(), keyed.Put()));
            }).Number());
  EXPECT_EQ(1, CountOf(Items()));  // the failed adds added nothing
  EXPECT_EQ(L"Row1;Col 1", Text(item.Get()));
}

// Made from the stand-in's own code in this program, whose allocations the
// test makes fail one after the other.
TEST(ListViewInProcess, AnItemOrColumnThatCannotBeMadeLeavesItsCollectionAsItWas) {
  ComPtr<IDispatch> listView;
  ASSERT_EQ(S_OK, standins::CreateListViewStandin(IID_IDispatch, listView.PutVoid()));
  ComPtr<IListItems> items = Collection<IListItems>(listView.Get(), 7);
  ComPtr<IColumnHeaders> headers = Collection<IColumnHeaders>(listView.Get(), 2);
  auto addHeader = [&](const wchar_t* text) { AddWithText<IColumnHeader>(headers.Get(), text); };
  auto addItem = [&](const wchar_t* text) { AddWithText<IListItem>(items.Get(), text); };
  addHeader(L"Col1");
  addItem(L"Row1");

  EveryAllocationFailingInTurn([&] { addHeader(L"Col2"); }, [&] { EXPECT_EQ(1, CountOf(headers)); });
  EveryAllocationFailingInTurn([&] { addItem(L"Row2"); }, [&] { EXPECT_EQ(1, CountOf(items)); });

  EXPECT_EQ(2, CountOf(headers));
  EXPECT_EQ(2, CountOf(items));
  ComPtr<IColumnHeader> second;
  CheckCall(headers->get_Item(2, second.Put()));
  EXPECT_EQ(L"Col2", TextOf(second.Get()));
  ComPtr<IListItem> item;
  CheckCall(items->get_Item(2, item.Put()));
  EXPECT_EQ(L"Row2", TextOf(item.Get()));
}
