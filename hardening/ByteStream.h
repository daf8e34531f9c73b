// An IStream over bytes in memory for feeding a loader: reads never go past
// the end, an optional failure is returned once the reader reaches a given
// offset, and what is written is kept. Lives on the caller's stack.
#pragma once

#include <objidl.h>
#include <windows.h>

#include <vector>

namespace hardening {

class ByteStream : public IStream {
 public:
  explicit ByteStream(std::vector<BYTE> bytes = {}, size_t failAt = SIZE_MAX,
                      HRESULT failure = STG_E_READFAULT)
      : bytes_(std::move(bytes)), failAt_(failAt), failure_(failure) {}

  const std::vector<BYTE>& Bytes() const { return bytes_; }

  STDMETHODIMP QueryInterface(REFIID iid, void** out) override;
  STDMETHODIMP_(ULONG) AddRef() override { return ++references; }
  STDMETHODIMP_(ULONG) Release() override { return --references; }

  STDMETHODIMP Read(void* into, ULONG count, ULONG* read) override;
  STDMETHODIMP Write(const void* from, ULONG count, ULONG* written) override;
  STDMETHODIMP Seek(LARGE_INTEGER move, DWORD origin, ULARGE_INTEGER* position) override;
  STDMETHODIMP SetSize(ULARGE_INTEGER) override { return E_NOTIMPL; }
  STDMETHODIMP CopyTo(IStream*, ULARGE_INTEGER, ULARGE_INTEGER*, ULARGE_INTEGER*) override {
    return E_NOTIMPL;
  }
  STDMETHODIMP Commit(DWORD) override { return S_OK; }
  STDMETHODIMP Revert() override { return E_NOTIMPL; }
  STDMETHODIMP LockRegion(ULARGE_INTEGER, ULARGE_INTEGER, DWORD) override { return E_NOTIMPL; }
  STDMETHODIMP UnlockRegion(ULARGE_INTEGER, ULARGE_INTEGER, DWORD) override { return E_NOTIMPL; }
  STDMETHODIMP Stat(STATSTG* statistics, DWORD) override;
  STDMETHODIMP Clone(IStream**) override { return E_NOTIMPL; }

  ULONG references = 1;  // the owner's own

 private:
  std::vector<BYTE> bytes_;
  size_t position_ = 0;
  size_t failAt_;
  HRESULT failure_;
};

}  // namespace hardening
