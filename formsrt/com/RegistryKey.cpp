#include "com/RegistryKey.h"

#include "core/RuntimeError.h"
#include "platform/Platform.h"

namespace formsrt {

RegistryKey RegistryKey::Create(HKEY parent, const std::wstring& path) {
  RegistryKey key;
  LSTATUS status = formsrt::Advapi32().RegCreateKeyExW(parent, path.c_str(), 0, nullptr, 0, KEY_READ | KEY_WRITE,
                                     nullptr, &key.key_, nullptr);
  if (status != ERROR_SUCCESS) throw ComError(HRESULT_FROM_WIN32(status));
  return key;
}

RegistryKey RegistryKey::Open(HKEY parent, const std::wstring& path) {
  RegistryKey key;
  if (formsrt::Advapi32().RegOpenKeyExW(parent, path.c_str(), 0, KEY_READ, &key.key_) != ERROR_SUCCESS) {
    key.key_ = nullptr;
  }
  return key;
}

namespace {

// Key names are at most 255 characters.
constexpr DWORD kLongestKeyName = 256;

void ThrowUnlessDoneOrMissing(LSTATUS status) {
  if (status == ERROR_SUCCESS || status == ERROR_FILE_NOT_FOUND) return;
  throw ComError(HRESULT_FROM_WIN32(status));
}

// The name of the key's first subkey; empty when it has none.
std::wstring FirstSubkey(HKEY key) {
  wchar_t name[kLongestKeyName];
  DWORD length = kLongestKeyName;
  LSTATUS status = formsrt::Advapi32().RegEnumKeyExW(key, 0, name, &length, nullptr, nullptr, nullptr, nullptr);
  if (status == ERROR_NO_MORE_ITEMS) return {};
  if (status != ERROR_SUCCESS) throw ComError(HRESULT_FROM_WIN32(status));
  return {name, length};
}

}  // namespace

// Subkeys first, as RegDeleteKeyW deletes only a key without subkeys
// (RegDeleteTreeW came with Vista).
void RegistryKey::DeleteTree(HKEY parent, const std::wstring& path) {
  RegistryKey key;
  LSTATUS status = formsrt::Advapi32().RegOpenKeyExW(parent, path.c_str(), 0, KEY_READ, &key.key_);
  if (status != ERROR_SUCCESS) {
    key.key_ = nullptr;
    ThrowUnlessDoneOrMissing(status);
    return;
  }
  for (std::wstring child = FirstSubkey(key.Get()); !child.empty(); child = FirstSubkey(key.Get())) {
    DeleteTree(key.Get(), child);
  }
  ThrowUnlessDoneOrMissing(formsrt::Advapi32().RegDeleteKeyW(parent, path.c_str()));
}

void RegistryKey::SetString(const wchar_t* name, const std::wstring& value) {
  auto bytes = static_cast<DWORD>((value.size() + 1) * sizeof(wchar_t));
  LSTATUS status = formsrt::Advapi32().RegSetValueExW(key_, name, 0, REG_SZ,
                                    reinterpret_cast<const BYTE*>(value.c_str()), bytes);
  if (status != ERROR_SUCCESS) throw ComError(HRESULT_FROM_WIN32(status));
}

std::wstring RegistryKey::GetString(const wchar_t* name) const {
  DWORD type = 0;
  DWORD bytes = 0;
  if (formsrt::Advapi32().RegQueryValueExW(key_, name, nullptr, &type, nullptr, &bytes) != ERROR_SUCCESS ||
      type != REG_SZ) {
    return {};
  }
  std::wstring value(bytes / sizeof(wchar_t), L'\0');
  if (formsrt::Advapi32().RegQueryValueExW(key_, name, nullptr, nullptr, reinterpret_cast<BYTE*>(value.data()),
                         &bytes) != ERROR_SUCCESS) {
    return {};
  }
  value.resize(wcsnlen(value.c_str(), value.size()));
  return value;
}

}  // namespace formsrt
