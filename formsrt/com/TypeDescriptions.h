// Owners of the descriptions a type information hands out: each is given
// back to the type information that gave it (which it keeps) when the owner
// goes. An owner whose request failed holds nothing and is false.
#pragma once

#include <windows.h>
#include <oaidl.h>

#include <utility>

#include "com/ComPtr.h"

namespace formsrt {

template <class Description, HRESULT (STDMETHODCALLTYPE ITypeInfo::*Give)(UINT, Description**),
          void (STDMETHODCALLTYPE ITypeInfo::*GiveBack)(Description*)>
class OwnedDescription {
 public:
  // The description at `index`.
  OwnedDescription(ITypeInfo* info, UINT index) : info_(info) {
    if (FAILED((info_.Get()->*Give)(index, &description_))) description_ = nullptr;
  }
  // A description the caller already has.
  OwnedDescription(ITypeInfo* info, Description* description)
      : info_(info), description_(description) {}
  ~OwnedDescription() {
    if (description_) (info_.Get()->*GiveBack)(description_);
  }
  OwnedDescription(OwnedDescription&& other) noexcept
      : info_(std::move(other.info_)), description_(std::exchange(other.description_, nullptr)) {}
  OwnedDescription(const OwnedDescription&) = delete;
  OwnedDescription& operator=(const OwnedDescription&) = delete;

  const Description* Get() const { return description_; }
  const Description* operator->() const { return description_; }
  explicit operator bool() const { return description_ != nullptr; }

 private:
  ComPtr<ITypeInfo> info_;
  Description* description_ = nullptr;
};

using FunctionDescription =
    OwnedDescription<FUNCDESC, &ITypeInfo::GetFuncDesc, &ITypeInfo::ReleaseFuncDesc>;
using VariableDescription =
    OwnedDescription<VARDESC, &ITypeInfo::GetVarDesc, &ITypeInfo::ReleaseVarDesc>;

// The type's attributes.
class TypeAttributes {
 public:
  explicit TypeAttributes(ITypeInfo* info) : info_(info) {
    if (FAILED(info_->GetTypeAttr(&attributes_))) attributes_ = nullptr;
  }
  ~TypeAttributes() {
    if (attributes_) info_->ReleaseTypeAttr(attributes_);
  }
  TypeAttributes(const TypeAttributes&) = delete;
  TypeAttributes& operator=(const TypeAttributes&) = delete;

  const TYPEATTR* operator->() const { return attributes_; }
  const TYPEATTR& operator*() const { return *attributes_; }
  explicit operator bool() const { return attributes_ != nullptr; }

 private:
  ComPtr<ITypeInfo> info_;
  TYPEATTR* attributes_ = nullptr;
};

}  // namespace formsrt
