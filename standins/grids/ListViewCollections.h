// The list view's item and column-header collections and their elements.
// Each keeps the list view alive; an element stays usable until its
// collection is cleared.
#pragma once

#include <windows.h>

#include "GridStandins.h"
#include "ListViewContent.h"
#include "com/ComObject.h"
#include "com/TypeLibDispatch.h"

namespace standins {

class ListItemObject : public formsrt::DispatchImpl<IListItem>, private formsrt::ComObjectBase {
 public:
  ListItemObject(formsrt::ComPtr<IUnknown> owner, ListViewContent& content, LONG index);

  STDMETHODIMP QueryInterface(REFIID iid, void** out) override;
  STDMETHODIMP_(ULONG) AddRef() override { return AddRefImpl(); }
  STDMETHODIMP_(ULONG) Release() override { return ReleaseImpl(); }

  STDMETHODIMP get_Text(BSTR* text) override;
  STDMETHODIMP put_Text(BSTR text) override;
  STDMETHODIMP get_SubItems(SHORT index, BSTR* text) override;
  STDMETHODIMP put_SubItems(SHORT index, BSTR text) override;
  STDMETHODIMP get_Index(LONG* index) override;

 private:
  formsrt::ComPtr<IUnknown> owner_;
  ListViewContent& content_;
  LONG index_;
  ULONG generation_;
};

class ColumnHeaderObject : public formsrt::DispatchImpl<IColumnHeader>, private formsrt::ComObjectBase {
 public:
  ColumnHeaderObject(formsrt::ComPtr<IUnknown> owner, ListViewContent& content, LONG index);

  STDMETHODIMP QueryInterface(REFIID iid, void** out) override;
  STDMETHODIMP_(ULONG) AddRef() override { return AddRefImpl(); }
  STDMETHODIMP_(ULONG) Release() override { return ReleaseImpl(); }

  STDMETHODIMP get_Text(BSTR* text) override;
  STDMETHODIMP get_Index(LONG* index) override;

 private:
  formsrt::ComPtr<IUnknown> owner_;
  ListViewContent& content_;
  LONG index_;
  ULONG generation_;
};

// What tells the item collection from the column-header one: its
// interfaces and element, the names it records its calls and refuses its
// arguments by, and which half of the list view's content it reaches.
struct ListItemsKind {
  using Collection = IListItems;
  using Element = IListItem;
  using ElementObject = ListItemObject;
  static constexpr const wchar_t* kClearCall = L"ListItems.Clear";
  static constexpr const wchar_t* kAddCall = L"ListItems.Add";
  static constexpr const wchar_t* kFourthArgument = L"Icon";
  static constexpr const wchar_t* kFifthArgument = L"SmallIcon";
  static LONG Count(const ListViewContent& content) { return content.ItemCount(); }
  static void Clear(ListViewContent& content) { content.ClearItems(); }
  static void Add(ListViewContent& content, const std::wstring& text) { content.AddItem(text); }
  // Raises for an index that names no item.
  static void RequireIndex(const ListViewContent& content, LONG index) {
    content.ItemText(index, content.ItemGeneration(), 0);
  }
};

struct ColumnHeadersKind {
  using Collection = IColumnHeaders;
  using Element = IColumnHeader;
  using ElementObject = ColumnHeaderObject;
  static constexpr const wchar_t* kClearCall = L"ColumnHeaders.Clear";
  static constexpr const wchar_t* kAddCall = L"ColumnHeaders.Add";
  static constexpr const wchar_t* kFourthArgument = L"Width";
  static constexpr const wchar_t* kFifthArgument = L"Alignment";
  static LONG Count(const ListViewContent& content) { return content.ColumnCount(); }
  static void Clear(ListViewContent& content) { content.ClearColumns(); }
  static void Add(ListViewContent& content, const std::wstring& text) { content.AddColumn(text); }
  static void RequireIndex(const ListViewContent& content, LONG index) {
    content.ColumnText(index, content.ColumnGeneration());
  }
};

// ListItems or ColumnHeaders: Add takes only the text (the other four
// arguments must be omitted) and answers the new element, Item(1..Count)
// answers an element, Clear empties the collection.
template <class Kind>
class ListViewCollection : public formsrt::DispatchImpl<typename Kind::Collection>,
                           private formsrt::ComObjectBase {
 public:
  using Element = typename Kind::Element;

  ListViewCollection(formsrt::ComPtr<IUnknown> owner, ListViewContent& content);

  STDMETHODIMP QueryInterface(REFIID iid, void** out) override;
  STDMETHODIMP_(ULONG) AddRef() override { return AddRefImpl(); }
  STDMETHODIMP_(ULONG) Release() override { return ReleaseImpl(); }

  STDMETHODIMP Clear() override;
  STDMETHODIMP Add(VARIANT index, VARIANT key, VARIANT text, VARIANT fourth, VARIANT fifth,
                   Element** element) override;
  STDMETHODIMP get_Count(LONG* count) override;
  STDMETHODIMP get_Item(LONG index, Element** element) override;

 private:
  formsrt::ComPtr<IUnknown> owner_;
  ListViewContent& content_;
};

using ListItemsCollection = ListViewCollection<ListItemsKind>;
using ColumnHeadersCollection = ListViewCollection<ColumnHeadersKind>;

}  // namespace standins
