#include "StandinsInThisProcess.h"

#include "CvntGridStandin.h"
#include "FlexGridStandin.h"
#include "GridStandins.h"
#include "ListViewStandin.h"
#include "com/ClassFactory.h"
#include "com/ComPtr.h"
#include "core/RuntimeError.h"

namespace standins {

namespace {

struct StandinClass {
  const CLSID& clsid;
  HRESULT (*create)(REFIID iid, void** object);
};

const StandinClass kClasses[] = {
    {CLSID_ListView, CreateListViewStandin},
    {CLSID_FlexGrid, CreateFlexGridStandin},
    {CLSID_cvntGrid, CreateCvntGridStandin},
};

}  // namespace

StandinsInThisProcess::StandinsInThisProcess() {
  try {
    for (const StandinClass& standin : kClasses) Register(standin.clsid, standin.create);
  } catch (...) {
    Revoke();
    throw;
  }
}

StandinsInThisProcess::~StandinsInThisProcess() { Revoke(); }

void StandinsInThisProcess::Register(REFCLSID clsid, HRESULT (*create)(REFIID, void**)) {
  auto factory = formsrt::ComPtr<formsrt::ClassFactory>::Attach(new formsrt::ClassFactory(create));
  DWORD cookie = 0;
  formsrt::ThrowIfFailed(::CoRegisterClassObject(clsid, factory.Get(), CLSCTX_INPROC_SERVER,
                                                 REGCLS_MULTIPLEUSE, &cookie));
  registrations_.push_back(cookie);
}

void StandinsInThisProcess::Revoke() {
  for (DWORD cookie : registrations_) ::CoRevokeClassObject(cookie);
  registrations_.clear();
}

}  // namespace standins
