// The three grid stand-ins registered with COM for this process while this
// lives, made from this module's own code: a client here that creates them
// by ProgID (a program's form in a test) gets objects whose calls a CallLog
// of this module records.
#pragma once

#include <windows.h>

#include <vector>

namespace standins {

class StandinsInThisProcess {
 public:
  StandinsInThisProcess();
  ~StandinsInThisProcess();
  StandinsInThisProcess(const StandinsInThisProcess&) = delete;
  StandinsInThisProcess& operator=(const StandinsInThisProcess&) = delete;

 private:
  void Register(REFCLSID clsid, HRESULT (*create)(REFIID iid, void** object));
  void Revoke();

  std::vector<DWORD> registrations_;
};

}  // namespace standins
