// An owning interface pointer: AddRef on copy, Release on destruction.
#pragma once

#include <windows.h>
#include <unknwn.h>

#include <utility>

namespace formsrt {

template <class T>
class ComPtr {
 public:
  ComPtr() = default;
  ComPtr(std::nullptr_t) {}
  // Takes a new reference to an interface that someone else owns.
  explicit ComPtr(T* borrowed) : p_(borrowed) {
    if (p_) p_->AddRef();
  }
  ComPtr(const ComPtr& other) : ComPtr(other.p_) {}
  ComPtr(ComPtr&& other) noexcept : p_(std::exchange(other.p_, nullptr)) {}
  ~ComPtr() { Reset(); }

  ComPtr& operator=(ComPtr other) noexcept {
    std::swap(p_, other.p_);
    return *this;
  }

  // Adopts a reference that the caller already owns (from an out parameter).
  static ComPtr Attach(T* owned) {
    ComPtr result;
    result.p_ = owned;
    return result;
  }

  void Reset() {
    if (T* old = std::exchange(p_, nullptr)) old->Release();
  }

  // Releases what is held and gives the address for an out parameter.
  T** Put() {
    Reset();
    return &p_;
  }
  void** PutVoid() { return reinterpret_cast<void**>(Put()); }

  // Hands the reference over to the caller.
  T* Detach() { return std::exchange(p_, nullptr); }

  T* Get() const { return p_; }
  T* operator->() const { return p_; }
  explicit operator bool() const { return p_ != nullptr; }

  template <class U>
  HRESULT As(ComPtr<U>& out) const {
    if (!p_) return E_POINTER;
    return p_->QueryInterface(__uuidof(U), out.PutVoid());
  }

  // Copies the interface into an out parameter with a new reference.
  HRESULT CopyTo(T** out) const {
    if (!out) return E_POINTER;
    *out = p_;
    if (p_) p_->AddRef();
    return S_OK;
  }

 private:
  T* p_ = nullptr;
};

}  // namespace formsrt
