// The plumbing of every COM object of the suite: its reference count and
// its creation.
#pragma once

#include <windows.h>

#include <utility>

#include "ComBoundary.h"
#include "ModuleCounts.h"
#include "QueryObject.h"

namespace formsrt {

// Base of every COM object of the suite: an apartment-confined reference
// count that starts at 1 and counts the object in the module's total.
class ComObjectBase {
 public:
  ComObjectBase(const ComObjectBase&) = delete;
  ComObjectBase& operator=(const ComObjectBase&) = delete;

 protected:
  ComObjectBase() { ObjectCreated(); }
  virtual ~ComObjectBase() { ObjectDestroyed(); }

  ULONG AddRefImpl() { return ++references_; }
  ULONG ReleaseImpl() {
    ULONG remaining = --references_;
    if (remaining == 0) delete this;
    return remaining;
  }

 private:
  ULONG references_ = 1;
};

// Creates an object of type T (reference count 1), queries it and drops the
// creation reference, so that a failed query leaves nothing behind.
template <class T, class... Args>
HRESULT CreateAndQuery(REFIID iid, void** out, Args&&... args) noexcept {
  if (!out) return E_POINTER;
  *out = nullptr;
  T* object = nullptr;
  try {
    object = new T(std::forward<Args>(args)...);
  } catch (...) {
    return ReportCurrentException(L"", iid);
  }
  HRESULT hr = object->QueryInterface(iid, out);
  object->Release();
  return hr;
}

}  // namespace formsrt
