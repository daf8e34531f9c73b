#include "ListViewCollections.h"

#include "CallLog.h"
#include "OptionalArguments.h"
#include "com/Bstr.h"
#include "com/ComBoundary.h"
#include "com/OutParameters.h"
#include "com/RuntimeError.h"
#include "com/TypeInformation.h"
#include "com/Variant.h"

namespace standins {

using formsrt::Bstr;
using formsrt::ComBoundary;
using formsrt::ComPtr;
using formsrt::Offer;
using formsrt::QueryObject;

namespace {

constexpr const wchar_t* kSource = L"ListView";

template <class Out>
void RequirePointer(Out* out) {
  if (!out) throw formsrt::ComError(E_POINTER);
}

}  // namespace

ListItemObject::ListItemObject(ComPtr<IUnknown> owner, ListViewContent& content, LONG index)
    : DispatchImpl(formsrt::ModuleTypeInfo(IID_IListItem)),
      owner_(std::move(owner)),
      content_(content),
      index_(index),
      generation_(content.ItemGeneration()) {}

STDMETHODIMP ListItemObject::QueryInterface(REFIID iid, void** out) {
  return QueryObject<Offer<IListItem, IDispatch>>(this, iid, out);
}

STDMETHODIMP ListItemObject::get_Text(BSTR* text) {
  formsrt::ClearOutParameters(text);
  return ComBoundary(kSource, IID_IListItem, [&] {
    RequirePointer(text);
    *text = Bstr(content_.ItemText(index_, generation_, 0)).Detach();
  });
}

STDMETHODIMP ListItemObject::put_Text(BSTR text) {
  return ComBoundary(kSource, IID_IListItem, [&] {
    CallLog::RecordPut(L"ListItem.Text", {}, TextArgument(text));
    content_.SetItemText(index_, generation_, 0, Bstr::Copy(text).View());
  });
}

STDMETHODIMP ListItemObject::get_SubItems(SHORT index, BSTR* text) {
  formsrt::ClearOutParameters(text);
  return ComBoundary(kSource, IID_IListItem, [&] {
    RequirePointer(text);
    content_.RequireSubItem(index);
    *text = Bstr(content_.ItemText(index_, generation_, index)).Detach();
  });
}

STDMETHODIMP ListItemObject::put_SubItems(SHORT index, BSTR text) {
  return ComBoundary(kSource, IID_IListItem, [&] {
    CallLog::RecordPut(L"ListItem.SubItems", {formsrt::Variant::FromInt16(index).Get()},
                       TextArgument(text));
    content_.RequireSubItem(index);
    content_.SetItemText(index_, generation_, index, {text ? text : L"", ::SysStringLen(text)});
  });
}

STDMETHODIMP ListItemObject::get_Index(LONG* index) {
  formsrt::ClearOutParameters(index);
  return ComBoundary(kSource, IID_IListItem, [&] {
    RequirePointer(index);
    content_.ItemText(index_, generation_, 0);  // raises when the item is gone
    *index = index_;
  });
}

ListItemsCollection::ListItemsCollection(ComPtr<IUnknown> owner, ListViewContent& content)
    : DispatchImpl(formsrt::ModuleTypeInfo(IID_IListItems)), owner_(std::move(owner)), content_(content) {}

STDMETHODIMP ListItemsCollection::QueryInterface(REFIID iid, void** out) {
  return QueryObject<Offer<IListItems, IDispatch>>(this, iid, out);
}

STDMETHODIMP ListItemsCollection::Clear() {
  return ComBoundary(kSource, IID_IListItems, [&] {
    CallLog::RecordMethod(L"ListItems.Clear", {});
    content_.ClearItems();
  });
}

STDMETHODIMP ListItemsCollection::Add(VARIANT index, VARIANT key, VARIANT text, VARIANT icon,
                                      VARIANT smallIcon, IListItem** item) {
  return ComBoundary(kSource, IID_IListItems, [&] {
    CallLog::RecordMethod(L"ListItems.Add", {index, key, text, icon, smallIcon});
    RequirePointer(item);
    *item = nullptr;
    RequireOmitted(index, L"Index");
    RequireOmitted(key, L"Key");
    RequireOmitted(icon, L"Icon");
    RequireOmitted(smallIcon, L"SmallIcon");
    // The item's object first, with the index the item is about to get:
    // when either fails, the list is as it was.
    std::wstring itemText = OptionalText(text);
    ComPtr<IListItem> created;
    formsrt::ThrowIfFailed(formsrt::CreateAndQuery<ListItemObject>(
        IID_IListItem, created.PutVoid(), owner_, content_, content_.ItemCount() + 1));
    content_.AddItem(itemText);
    *item = created.Detach();
  });
}

STDMETHODIMP ListItemsCollection::get_Count(LONG* count) {
  formsrt::ClearOutParameters(count);
  return ComBoundary(kSource, IID_IListItems, [&] {
    RequirePointer(count);
    *count = content_.ItemCount();
  });
}

STDMETHODIMP ListItemsCollection::get_Item(LONG index, IListItem** item) {
  return ComBoundary(kSource, IID_IListItems, [&] {
    RequirePointer(item);
    *item = nullptr;
    content_.ItemText(index, content_.ItemGeneration(), 0);  // raises for a wrong index
    formsrt::ThrowIfFailed(formsrt::CreateAndQuery<ListItemObject>(
        IID_IListItem, reinterpret_cast<void**>(item), owner_, content_, index));
  });
}

ColumnHeaderObject::ColumnHeaderObject(ComPtr<IUnknown> owner, ListViewContent& content, LONG index)
    : DispatchImpl(formsrt::ModuleTypeInfo(IID_IColumnHeader)),
      owner_(std::move(owner)),
      content_(content),
      index_(index),
      generation_(content.ColumnGeneration()) {}

STDMETHODIMP ColumnHeaderObject::QueryInterface(REFIID iid, void** out) {
  return QueryObject<Offer<IColumnHeader, IDispatch>>(this, iid, out);
}

STDMETHODIMP ColumnHeaderObject::get_Text(BSTR* text) {
  formsrt::ClearOutParameters(text);
  return ComBoundary(kSource, IID_IColumnHeader, [&] {
    RequirePointer(text);
    *text = Bstr(content_.ColumnText(index_, generation_)).Detach();
  });
}

STDMETHODIMP ColumnHeaderObject::get_Index(LONG* index) {
  formsrt::ClearOutParameters(index);
  return ComBoundary(kSource, IID_IColumnHeader, [&] {
    RequirePointer(index);
    content_.ColumnText(index_, generation_);  // raises when the column is gone
    *index = index_;
  });
}

ColumnHeadersCollection::ColumnHeadersCollection(ComPtr<IUnknown> owner, ListViewContent& content)
    : DispatchImpl(formsrt::ModuleTypeInfo(IID_IColumnHeaders)),
      owner_(std::move(owner)),
      content_(content) {}

STDMETHODIMP ColumnHeadersCollection::QueryInterface(REFIID iid, void** out) {
  return QueryObject<Offer<IColumnHeaders, IDispatch>>(this, iid, out);
}

STDMETHODIMP ColumnHeadersCollection::Clear() {
  return ComBoundary(kSource, IID_IColumnHeaders, [&] {
    CallLog::RecordMethod(L"ColumnHeaders.Clear", {});
    content_.ClearColumns();
  });
}

STDMETHODIMP ColumnHeadersCollection::Add(VARIANT index, VARIANT key, VARIANT text, VARIANT width,
                                          VARIANT alignment, IColumnHeader** header) {
  return ComBoundary(kSource, IID_IColumnHeaders, [&] {
    CallLog::RecordMethod(L"ColumnHeaders.Add", {index, key, text, width, alignment});
    RequirePointer(header);
    *header = nullptr;
    RequireOmitted(index, L"Index");
    RequireOmitted(key, L"Key");
    RequireOmitted(width, L"Width");
    RequireOmitted(alignment, L"Alignment");
    std::wstring headerText = OptionalText(text);
    ComPtr<IColumnHeader> created;
    formsrt::ThrowIfFailed(formsrt::CreateAndQuery<ColumnHeaderObject>(
        IID_IColumnHeader, created.PutVoid(), owner_, content_, content_.ColumnCount() + 1));
    content_.AddColumn(headerText);
    *header = created.Detach();
  });
}

STDMETHODIMP ColumnHeadersCollection::get_Count(LONG* count) {
  formsrt::ClearOutParameters(count);
  return ComBoundary(kSource, IID_IColumnHeaders, [&] {
    RequirePointer(count);
    *count = content_.ColumnCount();
  });
}

STDMETHODIMP ColumnHeadersCollection::get_Item(LONG index, IColumnHeader** header) {
  return ComBoundary(kSource, IID_IColumnHeaders, [&] {
    RequirePointer(header);
    *header = nullptr;
    content_.ColumnText(index, content_.ColumnGeneration());  // raises for a wrong index
    formsrt::ThrowIfFailed(formsrt::CreateAndQuery<ColumnHeaderObject>(
        IID_IColumnHeader, reinterpret_cast<void**>(header), owner_, content_, index));
  });
}

}  // namespace standins
