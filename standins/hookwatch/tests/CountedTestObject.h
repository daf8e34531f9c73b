// Base of the tests' own COM objects (clients, sinks): it counts references
// but never deletes itself, so a test can see whether the component let go
// (References() back at 1), and it offers no type information: the
// component reaches these objects through their vtables and Invoke only.
#pragma once

#include <windows.h>
#include <oaidl.h>

#include "com/QueryObject.h"

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
  // Offers this object for IUnknown, IDispatch and Also.
  template <class Also>
  HRESULT QueryAs(REFIID iid, void** out) {
    return formsrt::QueryObject<formsrt::Offer<Interface, IDispatch, Also>>(this, iid, out);
  }

 private:
  ULONG references_ = 1;
};
