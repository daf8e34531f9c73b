// A soak module loaded into the soak program: one of the suite's COM
// libraries built with a counting platform seam (SoakModule.cpp). While the
// object lives the module counts, and its classes are registered with COM
// for this process, so that a container that creates a control by its
// ProgID gets the counted copy rather than the registered library.
#pragma once

#include <windows.h>

#include <memory>
#include <span>
#include <vector>

#include "SeamCounts.h"
#include "com/ComPtr.h"

namespace soak {

class SoakModuleLibrary {
 public:
  SoakModuleLibrary(const wchar_t* fileName, std::span<const CLSID> classes);
  ~SoakModuleLibrary();
  SoakModuleLibrary(const SoakModuleLibrary&) = delete;
  SoakModuleLibrary& operator=(const SoakModuleLibrary&) = delete;

  formsrt::ComPtr<IClassFactory> ClassObject(REFCLSID clsid) const;
  SeamCounts Counts() const;
  // The module's live COM objects, other than the class objects registered
  // for the soak, and its lock count.
  void ComCounts(long& objects, long& locks) const;

 private:
  struct FreeModule {
    void operator()(HMODULE module) const { ::FreeLibrary(module); }
  };

  template <class Function>
  Function Entry(const char* name) const;
  // Revokes the classes and stops the counting.
  void Close();

  std::unique_ptr<HINSTANCE__, FreeModule> module_;
  HRESULT(WINAPI* classObject_)(REFCLSID, REFIID, void**);
  void(WINAPI* readCounts_)(SeamCounts*);
  void(WINAPI* stopCounting_)();
  void(WINAPI* comCounts_)(long*, long*);
  std::vector<DWORD> registrations_;
};

}  // namespace soak
