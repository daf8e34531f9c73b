// The class object of every creatable class of the suite.
#pragma once

#include <windows.h>
#include <unknwn.h>

#include "com/ComObject.h"

namespace formsrt {

class ClassFactory : public IClassFactory, private ComObjectBase {
 public:
  using Creator = HRESULT (*)(REFIID iid, void** object);
  explicit ClassFactory(Creator create) : create_(create) {}

  STDMETHODIMP QueryInterface(REFIID iid, void** out) override;
  STDMETHODIMP_(ULONG) AddRef() override { return AddRefImpl(); }
  STDMETHODIMP_(ULONG) Release() override { return ReleaseImpl(); }

  STDMETHODIMP CreateInstance(IUnknown* outer, REFIID iid, void** object) override;
  STDMETHODIMP LockServer(BOOL lock) override;

 private:
  Creator create_;
};

}  // namespace formsrt
