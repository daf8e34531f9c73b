#include "com/ComObject.h"

namespace formsrt {

// Only an object whose construction failed is still counted here.
ComObjectBase::~ComObjectBase() {
  if (!destroyedByRelease_) ObjectDestroyed();
}

void ComObjectBase::DestroyThenUncount() {
  references_ = 1;
  destroyedByRelease_ = true;
  delete this;
  ObjectDestroyed();
}

}  // namespace formsrt
