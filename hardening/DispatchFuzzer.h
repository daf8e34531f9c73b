// Calls every member of an automation object through IDispatch::Invoke with
// bad input and checks each answer: an HRESULT that a client can act on
// (success, a DISP_E_/TYPE_E_ code, or a run-time error with EXCEPINFO
// filled), and the object still answering a known-good call afterwards.
#pragma once

#include <oaidl.h>
#include <windows.h>

#include <set>
#include <string>
#include <vector>

#include "ArgumentList.h"
#include "BadValues.h"
#include "com/ComPtr.h"

namespace hardening {

struct MemberDescription {
  DISPID id;
  std::wstring name;
  INVOKEKIND kind;
  // One per parameter that a caller passes (not the result, not the locale).
  std::vector<formsrt::Variant> plausibleArguments;
  std::vector<bool> byReference;
};

// The members of the object's dispatch type information, without the
// restricted ones (IUnknown's and IDispatch's own).
std::vector<MemberDescription> DispatchMembers(IDispatch* object);

class DispatchFuzzer {
 public:
  // knownGoodProperty: a property read without arguments that must work
  // after every bad call (empty: the first such property that works).
  // Members in `skipped` are not called at all. Objects that the object's
  // properties return are fuzzed too, down to `depth` levels.
  DispatchFuzzer(IDispatch* object, std::wstring label, std::wstring knownGoodProperty,
                 std::set<std::wstring> skipped, UnrelatedObject& unrelated, int depth = 2);

  void Run();

  const std::vector<std::wstring>& Faults() const { return faults_; }
  size_t CallCount() const { return calls_; }

 private:
  void FuzzMember(const MemberDescription& member);
  void FuzzArgumentCount(const MemberDescription& member);
  void FuzzNamedArguments(const MemberDescription& member);
  void FuzzEachArgument(const MemberDescription& member);
  void FuzzWrongFlags(const MemberDescription& member);
  void FuzzUnknownMembers();
  void FuzzInvokeItself();
  void FuzzReturnedObjects(const std::vector<MemberDescription>& members);
  DISPID FirstWorkingProperty(const std::vector<MemberDescription>& members);

  // Fills `arguments` with plausible values, the one at `replaced` (if any)
  // replaced by `bad`, the value of a property put named as such.
  void AddPlausible(ArgumentList& arguments, const MemberDescription& member, WORD flags,
                    size_t replaced = SIZE_MAX, BadValue bad = BadValue::Empty,
                    Passing passing = Passing::ByValue);
  void Call(DISPID id, WORD flags, ArgumentList& arguments, const std::wstring& what,
            bool wantResult = true);
  void Judge(HRESULT hr, EXCEPINFO& info, const std::wstring& what);
  void CheckStillWorks(const std::wstring& after);
  void Fault(const std::wstring& text);

  formsrt::ComPtr<IDispatch> object_;
  std::wstring label_;
  DISPID knownGood_ = DISPID_UNKNOWN;
  std::set<std::wstring> skipped_;
  UnrelatedObject& unrelated_;
  int depth_;
  std::vector<std::wstring> faults_;
  size_t calls_ = 0;
};

std::wstring HresultText(HRESULT hr);

// Reads a property without arguments; the HRESULT of the call.
HRESULT ReadProperty(IDispatch* object, DISPID id);

// The DISPID of a member name, or DISPID_UNKNOWN.
DISPID IdOfName(IDispatch* object, std::wstring name);

}  // namespace hardening
