#include "core/Bstr.h"

#include <new>

namespace formsrt {

namespace {

BSTR Allocate(std::wstring_view text) {
  BSTR s = ::SysAllocStringLen(text.data(), static_cast<UINT>(text.size()));
  if (!s) throw std::bad_alloc();
  return s;
}

}  // namespace

Bstr::Bstr(std::wstring_view text) : s_(Allocate(text)) {}

Bstr::Bstr(const Bstr& other) : s_(other.s_ ? Allocate(other.View()) : nullptr) {}

Bstr Bstr::Attach(BSTR owned) {
  Bstr result;
  result.s_ = owned;
  return result;
}

Bstr Bstr::Copy(const BSTR borrowed) {
  Bstr result;
  if (borrowed) result.s_ = Allocate({borrowed, ::SysStringLen(borrowed)});
  return result;
}

BSTR* Bstr::Put() {
  ::SysFreeString(std::exchange(s_, nullptr));
  return &s_;
}

}  // namespace formsrt
