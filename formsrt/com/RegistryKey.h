// An owning registry key handle.
#pragma once
#include "platform/Platform.h"

#include <windows.h>

#include <string>
#include <utility>

namespace formsrt {

class RegistryKey {
 public:
  RegistryKey() = default;
  RegistryKey(RegistryKey&& other) noexcept : key_(std::exchange(other.key_, nullptr)) {}
  RegistryKey& operator=(RegistryKey&& other) noexcept {
    std::swap(key_, other.key_);
    return *this;
  }
  ~RegistryKey() {
    if (key_) formsrt::Advapi32().RegCloseKey(key_);
  }

  // Creates or opens parent\path for writing; raises a ComError on failure.
  static RegistryKey Create(HKEY parent, const std::wstring& path);
  // Opens parent\path for reading; an empty key when it does not exist.
  static RegistryKey Open(HKEY parent, const std::wstring& path);
  // Deletes parent\path with everything below it; a missing key is no error.
  static void DeleteTree(HKEY parent, const std::wstring& path);

  void SetString(const wchar_t* name, const std::wstring& value);
  std::wstring GetString(const wchar_t* name) const;  // empty when missing

  HKEY Get() const { return key_; }
  explicit operator bool() const { return key_ != nullptr; }

 private:
  HKEY key_ = nullptr;
};

}  // namespace formsrt
