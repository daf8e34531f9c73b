// A COM enumerator (IEnumOLEVERB, IEnumConnections, IEnumConnectionPoints)
// over a snapshot of items taken when it is made, so that a caller may
// enumerate while the underlying list changes.
#pragma once

#include <windows.h>
#include <unknwn.h>

#include <utility>
#include <vector>

#include "com/ComObject.h"

namespace formsrt {

// Stored is what the snapshot keeps (owning), Item what Next hands out;
// CopyOut gives the caller its own reference or copy of one item.
template <class EnumInterface, class Item, class Stored, void (*CopyOut)(const Stored&, Item*)>
class ComEnumerator : public EnumInterface, private ComObjectBase {
 public:
  explicit ComEnumerator(std::vector<Stored> items, size_t position = 0)
      : items_(std::move(items)), position_(position) {}

  STDMETHODIMP QueryInterface(REFIID iid, void** out) override {
    return QueryObject<EnumInterface>(this, iid, out);
  }
  STDMETHODIMP_(ULONG) AddRef() override { return AddRefImpl(); }
  STDMETHODIMP_(ULONG) Release() override { return ReleaseImpl(); }

  STDMETHODIMP Next(ULONG count, Item* out, ULONG* fetched) override {
    if (!out || (count > 1 && !fetched)) return E_POINTER;
    ULONG given = 0;
    for (; given < count && position_ < items_.size(); ++given, ++position_) {
      CopyOut(items_[position_], &out[given]);
    }
    if (fetched) *fetched = given;
    return given == count ? S_OK : S_FALSE;
  }
  STDMETHODIMP Skip(ULONG count) override {
    size_t left = items_.size() - position_;
    position_ += count < left ? count : left;
    return count <= left ? S_OK : S_FALSE;
  }
  STDMETHODIMP Reset() override {
    position_ = 0;
    return S_OK;
  }
  STDMETHODIMP Clone(EnumInterface** out) override {
    if (!out) return E_POINTER;
    return CreateAndQuery<ComEnumerator>(__uuidof(EnumInterface), reinterpret_cast<void**>(out),
                                         items_, position_);
  }

 private:
  std::vector<Stored> items_;
  size_t position_;
};

}  // namespace formsrt
