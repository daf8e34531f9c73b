// QueryObject, the QueryInterface of every object of the suite: identity,
// interfaces asked for by a base interface, references and refusals.
#include <gtest/gtest.h>
#include <ocidl.h>

#include "com/QueryObject.h"

using formsrt::Offer;
using formsrt::QueryObject;

namespace {

// Offers IPersistPropertyBag (also when asked for IPersist) and IClassFactory.
class Probe : public IPersistPropertyBag, public IClassFactory {
 public:
  STDMETHODIMP QueryInterface(REFIID iid, void** out) override {
    return QueryObject<Offer<IPersistPropertyBag, IPersist>, IClassFactory>(this, iid, out);
  }
  STDMETHODIMP_(ULONG) AddRef() override { return ++references; }
  STDMETHODIMP_(ULONG) Release() override { return --references; }

  STDMETHODIMP GetClassID(CLSID*) override { return E_NOTIMPL; }
  STDMETHODIMP InitNew() override { return E_NOTIMPL; }
  STDMETHODIMP Load(IPropertyBag*, IErrorLog*) override { return E_NOTIMPL; }
  STDMETHODIMP Save(IPropertyBag*, BOOL, BOOL) override { return E_NOTIMPL; }
  STDMETHODIMP CreateInstance(IUnknown*, REFIID, void**) override { return E_NOTIMPL; }
  STDMETHODIMP LockServer(BOOL) override { return E_NOTIMPL; }

  ULONG references = 1;
};

void* Query(IUnknown* through, REFIID iid, HRESULT expected = S_OK) {
  void* out = reinterpret_cast<void*>(0x1);  // a stale value the query must clear
  EXPECT_EQ(expected, through->QueryInterface(iid, &out));
  return out;
}

}  // namespace

TEST(QueryObject, IUnknownIsTheFirstInterfaceThroughEveryInterface) {
  Probe probe;
  void* asBag = static_cast<IPersistPropertyBag*>(&probe);
  void* asFactory = static_cast<IClassFactory*>(&probe);
  ASSERT_NE(asBag, asFactory);
  EXPECT_EQ(asBag, Query(static_cast<IPersistPropertyBag*>(&probe), IID_IUnknown));
  EXPECT_EQ(asBag, Query(static_cast<IClassFactory*>(&probe), IID_IUnknown));
  EXPECT_EQ(asFactory, Query(static_cast<IPersistPropertyBag*>(&probe), IID_IClassFactory));
  EXPECT_EQ(asBag, Query(static_cast<IClassFactory*>(&probe), IID_IPersistPropertyBag));
  EXPECT_EQ(5u, probe.references);  // one reference for each interface given
}

TEST(QueryObject, ABaseInterfaceInTheEntryGivesItsInterface) {
  Probe probe;
  void* asBag = static_cast<IPersistPropertyBag*>(&probe);
  EXPECT_EQ(asBag, Query(static_cast<IClassFactory*>(&probe), IID_IPersist));
  EXPECT_EQ(2u, probe.references);
}

TEST(QueryObject, WhatTheObjectDoesNotOfferIsRefusedWithTheResultCleared) {
  Probe probe;
  EXPECT_EQ(nullptr, Query(static_cast<IClassFactory*>(&probe), IID_IDispatch, E_NOINTERFACE));
  EXPECT_EQ(nullptr, Query(static_cast<IClassFactory*>(&probe), IID_IPersistStreamInit, E_NOINTERFACE));
  EXPECT_EQ(E_POINTER, probe.QueryInterface(IID_IUnknown, nullptr));
  EXPECT_EQ(1u, probe.references);
}
