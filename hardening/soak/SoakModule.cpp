// The entry points of a soak module: one of the suite's COM libraries built
// again with a counting platform seam, so that the soak program can create
// its classes and read what they acquired and released.
#include <windows.h>

#include <memory>

#include "CountingSeam.h"
#include "com/ModuleCounts.h"
#include "com/ServerRegistration.h"

namespace {

std::unique_ptr<soak::CountingSeam> seam;

}  // namespace

extern "C" {

HRESULT WINAPI SoakClassObject(REFCLSID clsid, REFIID iid, void** object) {
  return formsrt::GetServerClassObject(formsrt::ThisServer(), clsid, iid, object);
}

void WINAPI SoakStartCounting() { seam = std::make_unique<soak::CountingSeam>(); }

void WINAPI SoakReadCounts(soak::SeamCounts* counts) {
  if (seam && counts) *counts = seam->Read();
}

void WINAPI SoakStopCounting() { seam.reset(); }

void WINAPI SoakComCounts(long* objects, long* locks) {
  if (objects) *objects = formsrt::ActiveObjectCount();
  if (locks) *locks = formsrt::ModuleLockCount();
}

}  // extern "C"
