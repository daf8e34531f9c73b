// The plumbing of every COM object of the suite: its reference count and
// its creation.
#pragma once

#include <windows.h>

#include <utility>

#include "com/ComBoundary.h"
#include "com/ModuleCounts.h"
#include "com/QueryObject.h"

namespace formsrt {

// Base of every COM object of the suite: an apartment-confined reference
// count that starts at 1 and counts the object in the module's total. The
// module's count is the last thing the object gives up: only after every
// base and member has been destroyed, whatever the order of the bases, so
// that the library never says it can unload while an object is still
// letting go of what it holds.
class ComObjectBase {
 public:
  ComObjectBase(const ComObjectBase&) = delete;
  ComObjectBase& operator=(const ComObjectBase&) = delete;

 protected:
  ComObjectBase() { ObjectCreated(); }
  virtual ~ComObjectBase();

  ULONG AddRefImpl() { return ++references_; }
  ULONG ReleaseImpl() {
    ULONG remaining = --references_;
    if (remaining == 0) DestroyThenUncount();
    return remaining;
  }

  // The final release: the count is held up while the object is destroyed,
  // so that an AddRef and Release from its destruction path (a site, a sink
  // calling back) cannot delete it again.
  void DestroyThenUncount();

 private:
  ULONG references_ = 1;
  bool destroyedByRelease_ = false;
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
