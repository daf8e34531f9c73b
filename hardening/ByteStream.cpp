#include "ByteStream.h"

#include <algorithm>
#include <cstring>

#include "com/QueryObject.h"

namespace hardening {

STDMETHODIMP ByteStream::QueryInterface(REFIID iid, void** out) {
  return formsrt::QueryObject<formsrt::Offer<IStream, ISequentialStream>>(this, iid, out);
}

STDMETHODIMP ByteStream::Read(void* into, ULONG count, ULONG* read) {
  if (read) *read = 0;
  if (!into) return STG_E_INVALIDPOINTER;
  size_t end = std::min(bytes_.size(), failAt_);
  size_t available = position_ < end ? end - position_ : 0;
  size_t served = std::min<size_t>(count, available);
  if (served != 0) std::memcpy(into, bytes_.data() + position_, served);
  position_ += served;
  if (read) *read = static_cast<ULONG>(served);
  if (served < count && position_ >= failAt_) return failure_;
  return served < count ? S_FALSE : S_OK;
}

STDMETHODIMP ByteStream::Write(const void* from, ULONG count, ULONG* written) {
  if (written) *written = 0;
  if (!from) return STG_E_INVALIDPOINTER;
  if (bytes_.size() < position_ + count) bytes_.resize(position_ + count);
  std::memcpy(bytes_.data() + position_, from, count);
  position_ += count;
  if (written) *written = count;
  return S_OK;
}

STDMETHODIMP ByteStream::Seek(LARGE_INTEGER move, DWORD origin, ULARGE_INTEGER* position) {
  LONGLONG base = origin == STREAM_SEEK_SET   ? 0
                  : origin == STREAM_SEEK_CUR ? static_cast<LONGLONG>(position_)
                                              : static_cast<LONGLONG>(bytes_.size());
  if (origin > STREAM_SEEK_END) return STG_E_INVALIDFUNCTION;
  LONGLONG target = base + move.QuadPart;
  if (target < 0) return STG_E_INVALIDFUNCTION;
  position_ = static_cast<size_t>(target);
  if (position) position->QuadPart = position_;
  return S_OK;
}

STDMETHODIMP ByteStream::Stat(STATSTG* statistics, DWORD) {
  if (!statistics) return STG_E_INVALIDPOINTER;
  *statistics = STATSTG{};
  statistics->type = STGTY_STREAM;
  statistics->cbSize.QuadPart = bytes_.size();
  return S_OK;
}

}  // namespace hardening
