// Base of the tests' own COM objects (clients, sinks): it counts references
// but never deletes itself, so a test can see whether the component let go
// (References() back at 1), and it offers no type information: the
// component reaches these objects through their vtables and Invoke only.
#pragma once

#include <windows.h>
#include <oaidl.h>

template <class Interface>
class CountedTestObject : public Interface {
 public:
  CountedTestObject() = default;
  CountedTestObject(const CountedTestObject&) = delete;
  CountedTestObject& operator=(const CountedTestObject&) = delete;
  virtual ~CountedTestObject() = default;

  STDMETHODIMP_(ULONG) AddRef() override { return ++references_; }
  STDMETHODIMP_(ULONG) Release() override { return --references_; }
  STDMETHODIMP GetTypeInfoCount(UINT*) override { return E_NOTIMPL; }
  STDMETHODIMP GetTypeInfo(UINT, LCID, ITypeInfo**) override { return E_NOTIMPL; }
  STDMETHODIMP GetIDsOfNames(REFIID, LPOLESTR*, UINT, LCID, DISPID*) override { return E_NOTIMPL; }

  ULONG References() const { return references_; }

 protected:
  // Offers this object for IUnknown, IDispatch and `extra`.
  HRESULT QueryAs(REFIID iid, REFIID extra, void** out) {
    if (!out) return E_POINTER;
    *out = nullptr;
    if (iid != IID_IUnknown && iid != IID_IDispatch && iid != extra) return E_NOINTERFACE;
    AddRef();
    *out = static_cast<Interface*>(this);
    return S_OK;
  }

 private:
  ULONG references_ = 1;
};
