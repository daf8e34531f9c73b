// Creates a class by its ProgID, optionally inside the activation context of
// a manifest, as a host without registration does: the ProgID, the class and
// its type library must all be found through the manifest.
//
// usage: RegistrationFreeProbe <manifest | -> <ProgID>
// Exit status 0 when the object was created and its type library loaded by
// GUID and version; otherwise 1 and the step that failed with its HRESULT.
#include <windows.h>
#include <oleauto.h>

#include <cstdio>
#include <cstring>
#include <optional>
#include <string>

#include "com/ComPtr.h"

using formsrt::ComPtr;

namespace {

std::wstring Wide(const char* text) { return std::wstring(text, text + std::strlen(text)); }

// An activation context made from a manifest file and active while the
// object lives.
class ActiveManifest {
 public:
  explicit ActiveManifest(const std::wstring& manifest) {
    ACTCTXW description{};
    description.cbSize = sizeof(description);
    description.lpSource = manifest.c_str();
    context_ = ::CreateActCtxW(&description);
    if (context_ == INVALID_HANDLE_VALUE) return;
    if (!::ActivateActCtx(context_, &cookie_)) cookie_ = 0;
  }
  ~ActiveManifest() {
    if (cookie_) ::DeactivateActCtx(0, cookie_);
    if (context_ != INVALID_HANDLE_VALUE) ::ReleaseActCtx(context_);
  }
  ActiveManifest(const ActiveManifest&) = delete;
  ActiveManifest& operator=(const ActiveManifest&) = delete;

  bool active() const { return cookie_ != 0; }

 private:
  HANDLE context_ = INVALID_HANDLE_VALUE;
  ULONG_PTR cookie_ = 0;
};

int Failed(const char* step, HRESULT hr) {
  std::printf("%s failed: 0x%08lX\n", step, static_cast<unsigned long>(hr));
  return 1;
}

int CreateAndLoadTypeLibrary(const std::wstring& progId) {
  CLSID clsid;
  HRESULT hr = ::CLSIDFromProgID(progId.c_str(), &clsid);
  if (FAILED(hr)) return Failed("CLSIDFromProgID", hr);
  ComPtr<IDispatch> object;
  hr = ::CoCreateInstance(clsid, nullptr, CLSCTX_INPROC_SERVER, IID_IDispatch, object.PutVoid());
  if (FAILED(hr)) return Failed("CoCreateInstance", hr);
  ComPtr<ITypeInfo> type;
  hr = object->GetTypeInfo(0, 0, type.Put());
  if (FAILED(hr)) return Failed("GetTypeInfo", hr);
  ComPtr<ITypeLib> library;
  UINT index = 0;
  hr = type->GetContainingTypeLib(library.Put(), &index);
  if (FAILED(hr)) return Failed("GetContainingTypeLib", hr);
  TLIBATTR* attributes = nullptr;
  hr = library->GetLibAttr(&attributes);
  if (FAILED(hr)) return Failed("GetLibAttr", hr);
  GUID libid = attributes->guid;
  WORD major = attributes->wMajorVerNum, minor = attributes->wMinorVerNum;
  library->ReleaseTLibAttr(attributes);
  // What a host that binds early does: find the type library by GUID and
  // version, which the manifest's typelib element answers.
  ComPtr<ITypeLib> registered;
  hr = ::LoadRegTypeLib(libid, major, minor, 0, registered.Put());
  if (FAILED(hr)) return Failed("LoadRegTypeLib", hr);
  std::printf("created %ls, type library %d.%d loaded\n", progId.c_str(), major, minor);
  return 0;
}

}  // namespace

int main(int argc, char** argv) {
  if (argc != 3) {
    std::printf("usage: RegistrationFreeProbe <manifest | -> <ProgID>\n");
    return 2;
  }
  if (FAILED(::CoInitialize(nullptr))) return 2;
  int status = 0;
  {
    std::optional<ActiveManifest> context;
    if (std::string(argv[1]) != "-") context.emplace(Wide(argv[1]));
    if (context && !context->active()) {
      status = Failed("CreateActCtxW/ActivateActCtx", HRESULT_FROM_WIN32(::GetLastError()));
    } else {
      status = CreateAndLoadTypeLibrary(Wide(argv[2]));
    }
  }
  ::CoUninitialize();
  return status;
}
