// Test doubles for a host of QuennetCtl: a property bag, an error log,
// sinks for events and property changes, client sites, the message boxes the
// control shows, a probe class that opens the control's protected parts, and a
// fixture that calls a new control. Every double counts the references that
// others take on it; it lives on the test's stack unless made OnTheHeap.
#pragma once

#include <gtest/gtest.h>
#include <windows.h>
#include <ocidl.h>

#include <functional>
#include <ostream>
#include <string>
#include <utility>
#include <vector>

#include "ByReference.h"
#include "FakeInPlaceSite.h"
#include "FakeMessageBox.h"
#include "QuennetCtl.h"
#include "com/QueryObject.h"
#include "core/Variant.h"
#include "platform/Platform.h"

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

// A double made with new, deleted when its last reference goes.
template <class Double>
class OnTheHeap : public Double {
 public:
  STDMETHODIMP_(ULONG) Release() override {
    ULONG left = --this->references;
    if (left == 0) delete this;
    return left;
  }

 protected:
  virtual ~OnTheHeap() = default;
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

inline constexpr DISPID kSTxClick = 1;
inline constexpr DISPID kSTxMouseUp = 2;
inline constexpr DISPID kSTxDBLClick = 3;

struct RaisedEvent {
  DISPID id;
  VARIANT_BOOL left;  // 1, neither True nor False: no by-reference Boolean given
  bool operator==(const RaisedEvent&) const = default;
};
using RaisedEvents = std::vector<RaisedEvent>;

// A sink of __QuennetCtl: records each event and the Left it was given, then
// runs `onEvent`, which may write into Left.
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

  RaisedEvents events;
  std::function<void(DISPID id, VARIANT_BOOL& left)> onEvent;
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

// A message box as the user saw it, to compare boxes whole.
struct ShownBox {
  std::wstring text, caption;
  UINT style;
  bool operator==(const ShownBox&) const = default;
};
std::vector<ShownBox> Shown(const std::vector<testing_support::AskedMessageBox>& boxes);
void PrintTo(const ShownBox& box, std::ostream* out);

inline const ShownBox kAppletNotFoundBox{L"Applet not found", L"Quennet", MB_OK};
inline const ShownBox kFunctionErrorBox{
    L"Function only returns string if input is equal to Windows, System or Temp",
    L"Function Error", MB_ICONEXCLAMATION};
inline const ShownBox kMenuErrorBox{
    L"Menu ERROR: Please refer to Information.html for correct use of the System Tray "
    L"function set.",
    L"Quennet", MB_OK};

// QuennetCtl with its protected parts opened for the tests.
class QuennetProbe : public quennet::QuennetCtl {
 public:
  using ControlBase::RaiseEvent;

  static formsrt::ComPtr<QuennetProbe> Create() {
    return formsrt::ComPtr<QuennetProbe>::Attach(new QuennetProbe());
  }

  HWND PichookWindow() const { return pichook.Handle(); }
  std::wstring Text1Text() const { return Text1.Text(); }
  HWND Text1Window() const { return Text1.Handle(); }
  formsrt::IntervalTimer& FlashTimer() { return Timer1; }
  IDispatch* Dispatch() { return static_cast<_QuennetCtl*>(this); }

  // What the shell does for a mouse message on the icon.
  void Notify(UINT mouseMessage) const {
    ::SendMessageW(PichookWindow(), WM_MOUSEMOVE, quennet::kTrayIconId, mouseMessage);
  }

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

using testing_support::ByReference;

// Calls a member of the control through IDispatch, by name, with the
// arguments by reference; returns the run-time error number or 0.
long ErrorNumberOfCall(IDispatch* control, const wchar_t* member, std::vector<VARIANT> arguments);
// The same with each object in a variable of its own, passed by reference.
long ErrorNumberWithObjects(IDispatch* control, const wchar_t* member,
                            std::vector<IDispatch*> objects);

// A new QuennetCtl, as a client creates it, a result for its calls, and the
// platform's user32 for a test to fake.
class ControlCalls : public ::testing::Test {
 protected:
  void SetUp() override {
    ASSERT_HRESULT_SUCCEEDED(quennet::QuennetCtl::Create(IID__QuennetCtl, control.PutVoid()));
  }

  // Calls a method whose one parameter is a BSTR passed by reference.
  template <class Method, class Result>
  HRESULT CallWithText(Method method, const std::wstring& text, Result* out) {
    BSTR argument = ::SysAllocStringLen(text.data(), static_cast<UINT>(text.size()));
    HRESULT hr = (control.Get()->*method)(&argument, out);
    ::SysFreeString(argument);
    return hr;
  }

  formsrt::PlatformOverride<formsrt::User32Api> user32{formsrt::User32()};
  formsrt::ComPtr<_QuennetCtl> control;
  formsrt::Variant result;
};

}  // namespace quennet_test
