// Test doubles for a host of QuennetCtl: a property bag, an error log,
// sinks for events and property changes, client sites, and a probe class
// that opens the control's protected parts. Every double counts the
// references that others take on it and lives on the test's stack.
#pragma once

#include <windows.h>
#include <ocidl.h>

#include <string>
#include <utility>
#include <vector>

#include "FakeInPlaceSite.h"
#include "QuennetCtl.h"
#include "com/QueryObject.h"
#include "core/Variant.h"

namespace quennet_test {

// A double of interface I, also offered when asked for any of Also.
template <class I, class... Also>
class Counted : public I {
 public:
  STDMETHODIMP QueryInterface(REFIID iid, void** out) override {
    return formsrt::QueryObject<formsrt::Offer<I, Also...>>(this, iid, out);
  }
  STDMETHODIMP_(ULONG) AddRef() override { return ++references; }
  STDMETHODIMP_(ULONG) Release() override { return --references; }

  ULONG references = 1;  // the test's own
};

class FakePropertyBag : public Counted<IPropertyBag> {
 public:
  STDMETHODIMP Read(LPCOLESTR name, VARIANT* value, IErrorLog*) override;
  STDMETHODIMP Write(LPCOLESTR name, VARIANT* value) override;

  void Put(const wchar_t* name, formsrt::Variant value) {
    entries.emplace_back(name, std::move(value));
  }
  const formsrt::Variant* Find(const wchar_t* name) const;
  std::vector<std::wstring> Keys() const;

  std::vector<std::pair<std::wstring, formsrt::Variant>> entries;  // in the order written
};

class FakeErrorLog : public Counted<IErrorLog> {
 public:
  STDMETHODIMP AddError(LPCOLESTR name, EXCEPINFO* info) override;

  std::vector<std::pair<std::wstring, HRESULT>> errors;
};

class PropertyNotifySink : public Counted<IPropertyNotifySink> {
 public:
  STDMETHODIMP OnChanged(DISPID id) override {
    changed.push_back(id);
    return S_OK;
  }
  STDMETHODIMP OnRequestEdit(DISPID) override { return S_OK; }

  std::vector<DISPID> changed;
};

// A sink of __QuennetCtl: records each event and the Left it was given;
// writes `answer` into Left when set.
class EventSink : public Counted<IDispatch, __QuennetCtl> {
 public:
  STDMETHODIMP GetTypeInfoCount(UINT* count) override {
    *count = 0;
    return S_OK;
  }
  STDMETHODIMP GetTypeInfo(UINT, LCID, ITypeInfo**) override { return E_NOTIMPL; }
  STDMETHODIMP GetIDsOfNames(REFIID, LPOLESTR*, UINT, LCID, DISPID*) override { return E_NOTIMPL; }
  STDMETHODIMP Invoke(DISPID id, REFIID, LCID, WORD, DISPPARAMS* params, VARIANT*, EXCEPINFO*,
                      UINT*) override;

  struct Event {
    DISPID id;
    VARIANT_BOOL left;
  };
  std::vector<Event> events;
  bool writesAnswer = false;
  VARIANT_BOOL answer = VARIANT_FALSE;
};

class FakeClientSite : public Counted<IOleClientSite> {
 public:
  STDMETHODIMP SaveObject() override { return S_OK; }
  STDMETHODIMP GetMoniker(DWORD, DWORD, IMoniker**) override { return E_NOTIMPL; }
  STDMETHODIMP GetContainer(IOleContainer**) override { return E_NOINTERFACE; }
  STDMETHODIMP ShowObject() override { return S_OK; }
  STDMETHODIMP OnShowWindow(BOOL) override { return S_OK; }
  STDMETHODIMP RequestNewObjectLayout() override { return E_NOTIMPL; }
};

using testing_support::FakeInPlaceSite;

// QuennetCtl with its protected parts opened for the tests.
class QuennetProbe : public quennet::QuennetCtl {
 public:
  using ControlBase::RaiseEvent;

  HWND PichookWindow() const { return pichook.Handle(); }
  std::wstring Text1Text() const { return Text1.Text(); }
  HWND Text1Window() const { return Text1.Handle(); }
  void EnableTimer1() { Timer1.SetEnabled(true); }

  // Whether Timer1 was still enabled when the last Terminate ended.
  static inline bool timer1EnabledAfterTerminate = true;

 protected:
  void UserControl_Terminate() override {
    QuennetCtl::UserControl_Terminate();
    timer1EnabledAfterTerminate = Timer1.Enabled();
  }
};

// A new control (a probe) and its interfaces.
template <class I>
formsrt::ComPtr<I> NewControl() {
  formsrt::ComPtr<I> control;
  formsrt::CreateAndQuery<QuennetProbe>(__uuidof(I), control.PutVoid());
  return control;
}

template <class I, class From>
formsrt::ComPtr<I> As(const formsrt::ComPtr<From>& from) {
  formsrt::ComPtr<I> to;
  from.As(to);
  return to;
}

}  // namespace quennet_test
