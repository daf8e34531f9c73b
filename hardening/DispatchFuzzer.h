// Calls every member of an automation object through IDispatch::Invoke with
// bad input and real objects, and checks each answer: a failure a client can
// act on (a DISP_E_/TYPE_E_ code, or a run-time error with EXCEPINFO filled)
// that sets the caller's result, a success
// that returns its declared type and leaves no error information,
// DISPPARAMS that contradict themselves refused, and the object afterwards
// still reading the same value of a known-good property. The thread's
// messages are handled after every call, so what a call leaves to timers
// and posted messages runs inside the fuzz too.
#pragma once

#include <oaidl.h>
#include <windows.h>

#include <map>
#include <set>
#include <string>
#include <vector>

#include "ArgumentList.h"
#include "BadValues.h"
#include "DispatchMembers.h"
#include "com/ComPtr.h"
#include "core/Variant.h"

namespace hardening {

// What the fuzzer is told of the object besides its type information.
struct FuzzedObject {
  std::wstring label;
  // A property read without arguments that must work, and read the same,
  // after every bad call (empty: the first such property that works).
  std::wstring knownGoodProperty;
  // Members besides its own put that may change the known-good value.
  std::set<std::wstring> changesKnownGood;
  // Members that are never called.
  std::set<std::wstring> skipped;
};

class DispatchFuzzer {
 public:
  // Objects that the object's properties return are fuzzed too, down to
  // `depth` levels.
  DispatchFuzzer(IDispatch* object, FuzzedObject described, const ValueObjects& values,
                 int depth = 2);

  void Run();

  const std::vector<std::wstring>& Faults() const { return faults_; }
  size_t CallCount() const { return calls_; }
  size_t SuccessCount() const { return successes_; }

 private:
  // One position's value instead of its plausible one.
  struct Replacement {
    BadValue value;
    Passing passing;
  };
  using Replacements = std::map<size_t, Replacement>;

  void FuzzMember(const MemberDescription& member);
  void FuzzArgumentCount(const MemberDescription& member);
  void FuzzNamedArguments(const MemberDescription& member);
  void FuzzEachArgument(const MemberDescription& member);
  void FuzzAroundSuccess(const MemberDescription& member, size_t position, Replacement object);
  void FuzzContradictoryParams(const MemberDescription& member);
  void FuzzWrongFlags(const MemberDescription& member);
  void FuzzUnknownMembers();
  void FuzzInvokeItself();
  void FuzzReturnedObjects(const std::vector<MemberDescription>& members);
  DISPID FirstWorkingProperty(const std::vector<MemberDescription>& members);

  // Fills `arguments` with plausible values, those in `replaced` replaced,
  // the value of a property put named as such.
  void AddPlausible(ArgumentList& arguments, const MemberDescription& member, WORD flags,
                    const Replacements& replaced = {});
  // One call; `member` (null for an unknown DISPID) is the member called
  // with its own flags, whose success is checked for its declared result.
  HRESULT Call(DISPID id, WORD flags, ArgumentList& arguments, const std::wstring& what,
               const MemberDescription* member = nullptr, bool wantResult = true);
  // A call that must be refused before the member runs.
  void CallRefused(DISPID id, WORD flags, DISPPARAMS* params, const std::wstring& what);
  void Judge(HRESULT hr, EXCEPINFO& info, const std::wstring& what);
  void CheckResult(const MemberDescription& member, const VARIANT& result, const std::wstring& what);
  void CheckStillWorks(const std::wstring& after, DISPID called = DISPID_UNKNOWN, WORD flags = 0);
  bool MayChangeKnownGood(DISPID called, WORD flags) const;
  void Fault(const std::wstring& text);

  formsrt::ComPtr<IDispatch> object_;
  FuzzedObject described_;
  const ValueObjects& values_;
  int depth_;
  DISPID knownGood_ = DISPID_UNKNOWN;
  formsrt::Variant knownGoodValue_;
  std::set<DISPID> changesKnownGood_;
  std::vector<std::wstring> faults_;
  size_t calls_ = 0;
  size_t successes_ = 0;
};

std::wstring HresultText(HRESULT hr);

// Reads a property without arguments into `value`; the HRESULT of the call.
HRESULT ReadProperty(IDispatch* object, DISPID id, formsrt::Variant* value = nullptr);

// The DISPID of a member name, or DISPID_UNKNOWN.
DISPID IdOfName(IDispatch* object, std::wstring name);

}  // namespace hardening
