#include "SoakModuleLibrary.h"

#include <stdexcept>
#include <string>

namespace soak {

template <class Function>
Function SoakModuleLibrary::Entry(const char* name) const {
  FARPROC entry = ::GetProcAddress(module_.get(), name);
  if (!entry) throw std::runtime_error(std::string("soak module without ") + name);
  return reinterpret_cast<Function>(reinterpret_cast<void*>(entry));
}

SoakModuleLibrary::SoakModuleLibrary(const wchar_t* fileName, std::span<const CLSID> classes)
    : module_(::LoadLibraryW(fileName)) {
  if (!module_) throw std::runtime_error("cannot load a soak module");
  classObject_ = Entry<decltype(classObject_)>("SoakClassObject");
  readCounts_ = Entry<decltype(readCounts_)>("SoakReadCounts");
  stopCounting_ = Entry<decltype(stopCounting_)>("SoakStopCounting");
  comCounts_ = Entry<decltype(comCounts_)>("SoakComCounts");
  Entry<void(WINAPI*)()>("SoakStartCounting")();
  try {
    for (const CLSID& clsid : classes) {
      DWORD cookie = 0;
      if (FAILED(::CoRegisterClassObject(clsid, ClassObject(clsid).Get(), CLSCTX_INPROC_SERVER,
                                         REGCLS_MULTIPLEUSE, &cookie))) {
        throw std::runtime_error("cannot register a class of a soak module");
      }
      registrations_.push_back(cookie);
    }
  } catch (...) {
    Close();
    throw;
  }
}

SoakModuleLibrary::~SoakModuleLibrary() { Close(); }

void SoakModuleLibrary::Close() {
  for (DWORD cookie : registrations_) ::CoRevokeClassObject(cookie);
  registrations_.clear();
  stopCounting_();
}

formsrt::ComPtr<IClassFactory> SoakModuleLibrary::ClassObject(REFCLSID clsid) const {
  formsrt::ComPtr<IClassFactory> factory;
  if (FAILED(classObject_(clsid, IID_IClassFactory, factory.PutVoid()))) {
    throw std::runtime_error("a soak module without the class asked for");
  }
  return factory;
}

// The class objects registered for the soak are the module's own objects too.
void SoakModuleLibrary::ComCounts(long& objects, long& locks) const {
  comCounts_(&objects, &locks);
  objects -= static_cast<long>(registrations_.size());
}

SeamCounts SoakModuleLibrary::Counts() const {
  SeamCounts counts;
  readCounts_(&counts);
  return counts;
}

}  // namespace soak
