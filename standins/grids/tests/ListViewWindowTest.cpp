// The platform list view inside the list view stand-in, on a form: after a
// fill it shows the content's columns, item count and texts, by itself (its
// header and its pixels show them once the messages have run, before anyone
// sends the list view anything); a second fill replaces what the first left;
// and it is given only what changed, so that a list cleared and filled again
// with the same columns gets no column work.
#include <gtest/gtest.h>

#include <windows.h>
#include <commctrl.h>

#include <string>
#include <vector>

#include "GridStandins.h"
#include "ListViewContent.h"
#include "StandinTestSupport.h"
#include "core/Bstr.h"
#include "com/EarlyBound.h"
#include "com/LateBound.h"
#include "container/HostedControl.h"
#include "forms/Form.h"
#include "MessagePump.h"

using namespace formsrt;
using namespace standin_tests;

namespace {

// How many of each changing message the platform list view received.
struct ListViewMessages {
  int columnsInserted = 0;
  int columnsDeleted = 0;
  int columnsSet = 0;
  int itemCountsSet = 0;
  int syncsPosted = 0;
};

LRESULT CALLBACK CountMessages(HWND window, UINT message, WPARAM wParam, LPARAM lParam, UINT_PTR,
                               DWORD_PTR counts) {
  auto& seen = *reinterpret_cast<ListViewMessages*>(counts);
  switch (message) {
    case LVM_INSERTCOLUMNW: ++seen.columnsInserted; break;
    case LVM_DELETECOLUMN: ++seen.columnsDeleted; break;
    case LVM_SETCOLUMNW: ++seen.columnsSet; break;
    case LVM_SETITEMCOUNT: ++seen.itemCountsSet; break;
    case standins::ListViewContent::kSyncMessage: ++seen.syncsPosted; break;
    default: break;
  }
  return ::DefSubclassProc(window, message, wParam, lParam);
}

// The text that a list view message writes into a record's buffer.
template <class Record>
std::wstring TextAsked(HWND listView, UINT message, WPARAM index, Record asked) {
  wchar_t text[64] = {};
  asked.pszText = text;
  asked.cchTextMax = 64;
  ::SendMessageW(listView, message, index, reinterpret_cast<LPARAM>(&asked));
  return text;
}

class ListViewWindowTest : public ::testing::Test {
 protected:
  void SetUp() override {
    form_ = Form::Create(L"List", TwipsRect{600, 600, 6500, 3000});
    control_ = &form_->Add<HostedControl>(L"lvwTest", L"ComctlLib.ListView",
                                          TwipsRect{120, 120, 6195, 2055});
    form_->Show();
    listView_ = ::FindWindowExW(control_->Handle(), nullptr, WC_LISTVIEWW, nullptr);
    ASSERT_TRUE(listView_);
    // Installed last, so called first: it also sees what the stand-in sends.
    ::SetWindowSubclass(listView_, CountMessages, 7, reinterpret_cast<DWORD_PTR>(&seen_));
  }
  void TearDown() override {
    if (listView_) ::RemoveWindowSubclass(listView_, CountMessages, 7);
    if (form_) form_->Unload();
  }

  // As the program fills it: both collections cleared, the headers added,
  // then each item with its sub-items "<item text>.<k>".
  // The list view is first brought to rest: no paint left over from before
  // that would bring it up to date.
  void Fill(const std::vector<std::wstring>& headers, const std::vector<std::wstring>& items) {
    ::UpdateWindow(listView_);
    CheckCall(Collection<IListItems>(control_->Object(), 7)->Clear());
    CheckCall(Collection<IColumnHeaders>(control_->Object(), 2)->Clear());
    for (const std::wstring& header : headers) {
      AddWithText<IColumnHeader>(Collection<IColumnHeaders>(control_->Object(), 2).Get(), header);
    }
    for (const std::wstring& text : items) {
      ComPtr<IListItem> item = AddWithText<IListItem>(Collection<IListItems>(control_->Object(), 7).Get(), text);
      for (SHORT k = 1; k < static_cast<SHORT>(headers.size()); ++k) {
        CheckCall(item->put_SubItems(k, Bstr(text + L"." + std::to_wstring(k)).Get()));
      }
    }
  }

  // What the platform list view shows. Its header and its pixels are read
  // without a message to the list view, which would bring it up to date.
  LONG ItemCount() const { return static_cast<LONG>(::SendMessageW(listView_, LVM_GETITEMCOUNT, 0, 0)); }
  std::vector<std::wstring> Headers() const {
    HWND header = ::FindWindowExW(listView_, nullptr, WC_HEADERW, nullptr);
    int count = static_cast<int>(::SendMessageW(header, HDM_GETITEMCOUNT, 0, 0));
    std::vector<std::wstring> texts;
    for (int column = 0; column < count; ++column) {
      HDITEMW asked{};
      asked.mask = HDI_TEXT;
      texts.push_back(TextAsked(header, HDM_GETITEMW, column, asked));
    }
    return texts;
  }
  // Whether the first item row, below the header, has text drawn in it.
  bool FirstRowDrawn() const {
    RECT below{};
    ::GetWindowRect(::FindWindowExW(listView_, nullptr, WC_HEADERW, nullptr), &below);
    ::MapWindowPoints(nullptr, listView_, reinterpret_cast<POINT*>(&below), 2);
    HDC dc = ::GetDC(listView_);
    bool drawn = false;
    for (int y = below.bottom + 1; y < below.bottom + 16 && !drawn; ++y) {
      for (int x = 0; x < below.right && !drawn; ++x) {
        drawn = ::GetPixel(dc, x, y) == ::GetSysColor(COLOR_WINDOWTEXT);
      }
    }
    ::ReleaseDC(listView_, dc);
    return drawn;
  }
  // Runs the messages until the header and the first row show a fill.
  bool ShownByItself(const std::vector<std::wstring>& headers, bool rowDrawn) const {
    return testing_support::PumpMessagesUntil(
        [&] { return Headers() == headers && FirstRowDrawn() == rowDrawn; }, 3000);
  }
  std::wstring ItemText(int item, int subItem) const {
    LVITEMW asked{};
    asked.iSubItem = subItem;
    return TextAsked(listView_, LVM_GETITEMTEXTW, item, asked);
  }

  ComPtr<Form> form_;
  HostedControl* control_ = nullptr;
  HWND listView_ = nullptr;
  ListViewMessages seen_;
};

using Texts = std::vector<std::wstring>;

}  // namespace

TEST_F(ListViewWindowTest, ShowsEachFillsColumnsItemsAndTextsGivenOnlyWhatChanged) {
  Fill({L"Col1", L"Col2", L"Col3"}, {L"a", L"b", L"c", L"d"});
  EXPECT_TRUE(ShownByItself({L"Col1", L"Col2", L"Col3"}, true));
  EXPECT_EQ(4, ItemCount());
  EXPECT_EQ((Texts{L"Col1", L"Col2", L"Col3"}), Headers());
  EXPECT_EQ(96, ::SendMessageW(listView_, LVM_GETCOLUMNWIDTH, 2, 0));  // every column's width
  EXPECT_EQ(L"b", ItemText(1, 0));
  EXPECT_EQ(L"d.2", ItemText(3, 2));
  EXPECT_EQ(3, seen_.columnsInserted);
  EXPECT_EQ(1, seen_.itemCountsSet);
  EXPECT_EQ(1, seen_.syncsPosted);  // one for the whole fill

  seen_ = {};
  Fill({L"Col1", L"Col2", L"Col3"}, {L"x", L"y"});  // the same columns, fewer items
  EXPECT_EQ(2, ItemCount());
  EXPECT_EQ((Texts{L"Col1", L"Col2", L"Col3"}), Headers());
  EXPECT_EQ(L"y.1", ItemText(1, 1));
  EXPECT_EQ(0, seen_.columnsInserted + seen_.columnsDeleted + seen_.columnsSet);
  EXPECT_EQ(1, seen_.itemCountsSet);

  seen_ = {};
  Fill({L"First", L"Col2"}, {L"p", L"q"});  // one header renamed, one gone, as many items
  EXPECT_TRUE(ShownByItself({L"First", L"Col2"}, true));
  EXPECT_EQ((Texts{L"First", L"Col2"}), Headers());
  EXPECT_EQ(2, ItemCount());
  EXPECT_EQ(L"p", ItemText(0, 0));
  EXPECT_EQ(L"q.1", ItemText(1, 1));
  EXPECT_EQ(1, seen_.columnsSet);
  EXPECT_EQ(1, seen_.columnsDeleted);
  EXPECT_EQ(0, seen_.columnsInserted);
  EXPECT_EQ(0, seen_.itemCountsSet);

  Fill({}, {});
  EXPECT_TRUE(ShownByItself({}, false));
  EXPECT_EQ(0, ItemCount());
  EXPECT_EQ(Texts{}, Headers());
}
