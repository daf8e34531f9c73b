#include "com/ClassFactory.h"

namespace formsrt {

STDMETHODIMP ClassFactory::QueryInterface(REFIID iid, void** out) {
  return QueryObject<IClassFactory>(this, iid, out);
}

STDMETHODIMP ClassFactory::CreateInstance(IUnknown* outer, REFIID iid, void** object) {
  if (!object) return E_POINTER;
  *object = nullptr;
  if (outer) return CLASS_E_NOAGGREGATION;
  return create_(iid, object);
}

STDMETHODIMP ClassFactory::LockServer(BOOL lock) {
  if (lock) {
    LockModule();
  } else {
    UnlockModule();
  }
  return S_OK;
}

}  // namespace formsrt
