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

class ListItemsCollection : public formsrt::DispatchImpl<IListItems>, private formsrt::ComObjectBase {
 public:
  ListItemsCollection(formsrt::ComPtr<IUnknown> owner, ListViewContent& content);

  STDMETHODIMP QueryInterface(REFIID iid, void** out) override;
  STDMETHODIMP_(ULONG) AddRef() override { return AddRefImpl(); }
  STDMETHODIMP_(ULONG) Release() override { return ReleaseImpl(); }

  STDMETHODIMP Clear() override;
  STDMETHODIMP Add(VARIANT index, VARIANT key, VARIANT text, VARIANT icon, VARIANT smallIcon,
                   IListItem** item) override;
  STDMETHODIMP get_Count(LONG* count) override;
  STDMETHODIMP get_Item(LONG index, IListItem** item) override;

 private:
  formsrt::ComPtr<IUnknown> owner_;
  ListViewContent& content_;
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

class ColumnHeadersCollection : public formsrt::DispatchImpl<IColumnHeaders>,
                                private formsrt::ComObjectBase {
 public:
  ColumnHeadersCollection(formsrt::ComPtr<IUnknown> owner, ListViewContent& content);

  STDMETHODIMP QueryInterface(REFIID iid, void** out) override;
  STDMETHODIMP_(ULONG) AddRef() override { return AddRefImpl(); }
  STDMETHODIMP_(ULONG) Release() override { return ReleaseImpl(); }

  STDMETHODIMP Clear() override;
  STDMETHODIMP Add(VARIANT index, VARIANT key, VARIANT text, VARIANT width, VARIANT alignment,
                   IColumnHeader** header) override;
  STDMETHODIMP get_Count(LONG* count) override;
  STDMETHODIMP get_Item(LONG index, IColumnHeader** header) override;

 private:
  formsrt::ComPtr<IUnknown> owner_;
  ListViewContent& content_;
};

}  // namespace standins
