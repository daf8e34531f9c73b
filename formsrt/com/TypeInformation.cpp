#include "com/TypeInformation.h"

#include <cstring>
#include <map>
#include <mutex>
#include <string>
#include <tuple>

#include "com/ModuleCounts.h"
#include "core/RuntimeError.h"

namespace formsrt {

namespace {

constexpr int kModuleLibraryResource = 1;
constexpr int kFormsLibraryResource = 2;

struct GuidLess {
  bool operator()(const GUID& a, const GUID& b) const { return std::memcmp(&a, &b, sizeof(GUID)) < 0; }
};

// A library of this module by its resource number (libid null), or a
// registered one by its LIBID and version (resource 0).
struct LibraryKey {
  int resource;
  RegisteredLibrary registered;

  bool operator<(const LibraryKey& other) const {
    if (resource != other.resource) return resource < other.resource;
    int byId = std::memcmp(&registered.libid, &other.registered.libid, sizeof(GUID));
    if (byId != 0) return byId < 0;
    return std::tie(registered.majorVersion, registered.minorVersion) <
           std::tie(other.registered.majorVersion, other.registered.minorVersion);
  }
};

struct CachedLibrary {
  ComPtr<ITypeLib> library;
  std::map<GUID, ComPtr<ITypeInfo>, GuidLess> infos;
};

struct TypeInformationCache {
  std::mutex lock;
  std::map<LibraryKey, CachedLibrary> libraries;
};

TypeInformationCache& Cache() {
  static TypeInformationCache cache;
  return cache;
}

ComPtr<ITypeLib> Load(const LibraryKey& key) {
  ComPtr<ITypeLib> library;
  HRESULT hr;
  if (key.resource != 0) {
    std::wstring resource = ThisModulePath() + L"\\" + std::to_wstring(key.resource);
    hr = ::LoadTypeLibEx(resource.c_str(), REGKIND_NONE, library.Put());
  } else {
    const RegisteredLibrary& registered = key.registered;
    hr = ::LoadRegTypeLib(registered.libid, registered.majorVersion, registered.minorVersion,
                          LOCALE_NEUTRAL, library.Put());
  }
  ThrowIfFailed(hr);
  return library;
}

// The cache's entry for a library, loaded on first use. Called under the lock.
CachedLibrary& Entry(TypeInformationCache& cache, const LibraryKey& key) {
  auto found = cache.libraries.find(key);
  if (found != cache.libraries.end()) return found->second;
  ComPtr<ITypeLib> library = Load(key);
  return cache.libraries.emplace(key, CachedLibrary{std::move(library), {}}).first->second;
}

ComPtr<ITypeInfo> TypeInfoOf(const LibraryKey& key, REFGUID guid) {
  TypeInformationCache& cache = Cache();
  std::lock_guard<std::mutex> guard(cache.lock);
  CachedLibrary& entry = Entry(cache, key);
  auto found = entry.infos.find(guid);
  if (found != entry.infos.end()) return found->second;
  ComPtr<ITypeInfo> info;
  ThrowIfFailed(entry.library->GetTypeInfoOfGuid(guid, info.Put()));
  entry.infos.emplace(guid, info);
  return info;
}

LibraryKey ModuleResource(int resource) { return {resource, {GUID_NULL, 0, 0}}; }

}  // namespace

ComPtr<ITypeLib> ModuleTypeLibrary() {
  TypeInformationCache& cache = Cache();
  std::lock_guard<std::mutex> guard(cache.lock);
  return Entry(cache, ModuleResource(kModuleLibraryResource)).library;
}

ComPtr<ITypeInfo> ModuleTypeInfo(REFGUID guid) {
  return TypeInfoOf(ModuleResource(kModuleLibraryResource), guid);
}

ComPtr<ITypeInfo> FormsTypeInfo(REFGUID guid) {
  return TypeInfoOf(ModuleResource(kFormsLibraryResource), guid);
}

ComPtr<ITypeInfo> RegisteredTypeInfo(const RegisteredLibrary& library, REFGUID guid) {
  return TypeInfoOf({0, library}, guid);
}

void ReleaseTypeInformation() {
  ReleaseTypeInformationIf([] { return true; });
}

bool ReleaseTypeInformationIf(bool (*unused)()) {
  TypeInformationCache& cache = Cache();
  std::lock_guard<std::mutex> guard(cache.lock);
  if (!unused()) return false;
  cache.libraries.clear();
  return true;
}

}  // namespace formsrt
