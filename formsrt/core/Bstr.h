// An owning BSTR.
#pragma once

#include <windows.h>
#include <oleauto.h>

#include <string>
#include <string_view>
#include <utility>

namespace formsrt {

class Bstr {
 public:
  Bstr() = default;
  explicit Bstr(std::wstring_view text);
  Bstr(const Bstr& other);
  Bstr(Bstr&& other) noexcept : s_(std::exchange(other.s_, nullptr)) {}
  ~Bstr() { ::SysFreeString(s_); }
  Bstr& operator=(Bstr other) noexcept {
    std::swap(s_, other.s_);
    return *this;
  }

  // Adopts a BSTR that the caller owns.
  static Bstr Attach(BSTR owned);
  // Copies a BSTR that someone else owns (a null BSTR is the empty string).
  static Bstr Copy(const BSTR borrowed);

  BSTR Get() const { return s_; }
  BSTR* Put();
  BSTR Detach() { return std::exchange(s_, nullptr); }

  UINT Length() const { return ::SysStringLen(s_); }
  std::wstring_view View() const { return {s_ ? s_ : L"", Length()}; }
  std::wstring Str() const { return std::wstring(View()); }

 private:
  BSTR s_ = nullptr;
};

}  // namespace formsrt
