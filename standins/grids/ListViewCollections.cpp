#include "ListViewCollections.h"

#include "CallLog.h"
#include "OptionalArguments.h"
#include "core/Bstr.h"
#include "com/ComBoundary.h"
#include "com/OutParameters.h"
#include "core/RuntimeError.h"
#include "com/TypeInformation.h"
#include "core/Variant.h"

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

template <class Kind>
ListViewCollection<Kind>::ListViewCollection(ComPtr<IUnknown> owner, ListViewContent& content)
    : formsrt::DispatchImpl<typename Kind::Collection>(
          formsrt::ModuleTypeInfo(__uuidof(typename Kind::Collection))),
      owner_(std::move(owner)),
      content_(content) {}

template <class Kind>
STDMETHODIMP ListViewCollection<Kind>::QueryInterface(REFIID iid, void** out) {
  return QueryObject<Offer<typename Kind::Collection, IDispatch>>(this, iid, out);
}

template <class Kind>
STDMETHODIMP ListViewCollection<Kind>::Clear() {
  return ComBoundary(kSource, __uuidof(typename Kind::Collection), [&] {
    CallLog::RecordMethod(Kind::kClearCall, {});
    Kind::Clear(content_);
  });
}

template <class Kind>
STDMETHODIMP ListViewCollection<Kind>::Add(VARIANT index, VARIANT key, VARIANT text, VARIANT fourth,
                                           VARIANT fifth, Element** element) {
  return ComBoundary(kSource, __uuidof(typename Kind::Collection), [&] {
    CallLog::RecordMethod(Kind::kAddCall, {index, key, text, fourth, fifth});
    RequirePointer(element);
    *element = nullptr;
    RequireOmitted(index, L"Index");
    RequireOmitted(key, L"Key");
    RequireOmitted(fourth, Kind::kFourthArgument);
    RequireOmitted(fifth, Kind::kFifthArgument);
    // The element's object first, with the index the element is about to
    // get: when either fails, the collection is as it was.
    std::wstring elementText = OptionalText(text);
    ComPtr<Element> created;
    formsrt::ThrowIfFailed(formsrt::CreateAndQuery<typename Kind::ElementObject>(
        __uuidof(Element), created.PutVoid(), owner_, content_, Kind::Count(content_) + 1));
    Kind::Add(content_, elementText);
    *element = created.Detach();
  });
}

template <class Kind>
STDMETHODIMP ListViewCollection<Kind>::get_Count(LONG* count) {
  formsrt::ClearOutParameters(count);
  return ComBoundary(kSource, __uuidof(typename Kind::Collection), [&] {
    RequirePointer(count);
    *count = Kind::Count(content_);
  });
}

template <class Kind>
STDMETHODIMP ListViewCollection<Kind>::get_Item(LONG index, Element** element) {
  return ComBoundary(kSource, __uuidof(typename Kind::Collection), [&] {
    RequirePointer(element);
    *element = nullptr;
    Kind::RequireIndex(content_, index);
    formsrt::ThrowIfFailed(formsrt::CreateAndQuery<typename Kind::ElementObject>(
        __uuidof(Element), reinterpret_cast<void**>(element), owner_, content_, index));
  });
}

template class ListViewCollection<ListItemsKind>;
template class ListViewCollection<ColumnHeadersKind>;

}  // namespace standins
