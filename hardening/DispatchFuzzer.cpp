#include "DispatchFuzzer.h"

#include <cstdio>

#include "core/Bstr.h"
#include "forms/MessageLoop.h"

namespace hardening {

namespace {

// Far more than any member has; the faults of one object are few in practice.
constexpr size_t kMaxFaultsPerObject = 200;
// The slowest honest call, a find and replace in 100,000 characters that
// Text1 then holds, takes a fraction of a second under Wine.
constexpr ULONGLONG kCallBudgetMilliseconds = 5000;

// Each kind of member is called with the flag of the same value.
static_assert(INVOKE_FUNC == DISPATCH_METHOD && INVOKE_PROPERTYGET == DISPATCH_PROPERTYGET &&
              INVOKE_PROPERTYPUT == DISPATCH_PROPERTYPUT && INVOKE_PROPERTYPUTREF == DISPATCH_PROPERTYPUTREF);
WORD FlagsOf(INVOKEKIND kind) { return static_cast<WORD>(kind); }

const wchar_t* FlagsText(WORD flags) {
  switch (flags) {
    case DISPATCH_PROPERTYGET:
      return L"get";
    case DISPATCH_PROPERTYPUT:
      return L"put";
    case DISPATCH_PROPERTYPUTREF:
      return L"put by reference";
    default:
      return L"method";
  }
}

// EXCEPINFO whose texts are freed at the end of the scope.
struct OwnedExcepInfo : EXCEPINFO {
  OwnedExcepInfo() : EXCEPINFO{} {}
  ~OwnedExcepInfo() {
    ::SysFreeString(bstrSource);
    ::SysFreeString(bstrDescription);
    ::SysFreeString(bstrHelpFile);
  }
  OwnedExcepInfo(const OwnedExcepInfo&) = delete;
  OwnedExcepInfo& operator=(const OwnedExcepInfo&) = delete;
};

bool IsPut(WORD flags) { return flags & (DISPATCH_PROPERTYPUT | DISPATCH_PROPERTYPUTREF); }

// The type library that describes the object's dispatch interface.
GUID LibraryOf(IDispatch* object) {
  GUID library = GUID_NULL;
  formsrt::ComPtr<ITypeInfo> info;
  formsrt::ComPtr<ITypeLib> containing;
  UINT index = 0;
  TLIBATTR* attributes = nullptr;
  if (FAILED(object->GetTypeInfo(0, LOCALE_USER_DEFAULT, info.Put())) ||
      FAILED(info->GetContainingTypeLib(containing.Put(), &index)) ||
      FAILED(containing->GetLibAttr(&attributes)))
    return library;
  library = attributes->guid;
  containing->ReleaseTLibAttr(attributes);
  return library;
}

// Objects compare as objects: a property may hand out a new one each time.
bool SameValue(const formsrt::Variant& before, const formsrt::Variant& after) {
  if (before.Type() != after.Type()) return false;
  if (before.Type() == VT_DISPATCH || before.Type() == VT_UNKNOWN) {
    return (V_UNKNOWN(&before.Get()) != nullptr) == (V_UNKNOWN(&after.Get()) != nullptr);
  }
  return ::VarCmp(const_cast<VARIANT*>(&before.Get()), const_cast<VARIANT*>(&after.Get()),
                  LOCALE_USER_DEFAULT, 0) == static_cast<HRESULT>(VARCMP_EQ);
}

std::wstring TextOf(const formsrt::Variant& value) {
  formsrt::Variant text;
  if (FAILED(::VariantChangeType(text.Put(), const_cast<VARIANT*>(&value.Get()), 0, VT_BSTR))) {
    return L"(type " + std::to_wstring(value.Type()) + L")";
  }
  return formsrt::Bstr::Copy(V_BSTR(&text.Get())).Str().substr(0, 40);
}

// What the fuzzer puts into the result before a call: a failure must set
// the caller's variable (to Empty), not leave it as it was given.
constexpr LONG kResultSentinel = 0x5E5E1234;

void PutSentinel(formsrt::Variant& result) {
  VARIANT* raw = result.Put();
  V_VT(raw) = VT_I4;
  V_I4(raw) = kResultSentinel;
}

bool IsSentinel(const VARIANT& result) {
  return V_VT(&result) == VT_I4 && V_I4(&result) == kResultSentinel;
}

// The members of an object that are not property gets: what may change it.
std::set<std::wstring> AllButGets(IDispatch* object) {
  std::set<std::wstring> names;
  for (const MemberDescription& member : DispatchMembers(object)) {
    if (member.kind != INVOKE_PROPERTYGET) names.insert(member.name);
  }
  return names;
}

}  // namespace

std::wstring HresultText(HRESULT hr) {
  wchar_t text[16];
  std::swprintf(text, 16, L"0x%08lX", static_cast<unsigned long>(hr));
  return text;
}

HRESULT ReadProperty(IDispatch* object, DISPID id, formsrt::Variant* value) {
  DISPPARAMS none{};
  formsrt::Variant result;
  OwnedExcepInfo info;
  HRESULT hr = object->Invoke(id, IID_NULL, LOCALE_USER_DEFAULT, DISPATCH_PROPERTYGET, &none,
                              result.Put(), &info, nullptr);
  if (value) *value = std::move(result);
  return hr;
}

DISPID IdOfName(IDispatch* object, std::wstring name) {
  LPOLESTR names = name.data();
  DISPID id = DISPID_UNKNOWN;
  if (FAILED(object->GetIDsOfNames(IID_NULL, &names, 1, LOCALE_USER_DEFAULT, &id)))
    return DISPID_UNKNOWN;
  return id;
}

DispatchFuzzer::DispatchFuzzer(IDispatch* object, FuzzedObject described,
                               const ValueObjects& values, int depth)
    : object_(object), described_(std::move(described)), values_(values), depth_(depth) {
  for (const std::wstring& name : described_.changesKnownGood) {
    changesKnownGood_.insert(IdOfName(object, name));
  }
  if (described_.knownGoodProperty.empty()) return;
  knownGood_ = IdOfName(object, described_.knownGoodProperty);
  if (knownGood_ == DISPID_UNKNOWN)
    Fault(L"the known-good property " + described_.knownGoodProperty + L" has no DISPID");
}

void DispatchFuzzer::Run() {
  std::vector<MemberDescription> members = DispatchMembers(object_.Get());
  if (members.empty()) Fault(L"no members found in the dispatch type information");
  if (knownGood_ == DISPID_UNKNOWN) knownGood_ = FirstWorkingProperty(members);
  if (knownGood_ != DISPID_UNKNOWN) ReadProperty(object_.Get(), knownGood_, &knownGoodValue_);
  CheckStillWorks(L"nothing");
  for (const MemberDescription& member : members) {
    if (described_.skipped.count(member.name) == 0) FuzzMember(member);
  }
  FuzzUnknownMembers();
  FuzzInvokeItself();
  if (depth_ > 0) FuzzReturnedObjects(members);
}

DISPID DispatchFuzzer::FirstWorkingProperty(const std::vector<MemberDescription>& members) {
  for (const MemberDescription& member : members) {
    if (member.kind == INVOKE_PROPERTYGET && member.plausibleArguments.empty() &&
        ReadProperty(object_.Get(), member.id) == S_OK)
      return member.id;
  }
  return DISPID_UNKNOWN;
}

// Collections, items and the like: every object of the same type library
// that a property gives for plausible arguments is fuzzed in turn.
void DispatchFuzzer::FuzzReturnedObjects(const std::vector<MemberDescription>& members) {
  for (const MemberDescription& member : members) {
    if (member.kind != INVOKE_PROPERTYGET || described_.skipped.count(member.name) != 0) continue;
    ArgumentList arguments;
    AddPlausible(arguments, member, DISPATCH_PROPERTYGET);
    formsrt::Variant result;
    OwnedExcepInfo info;
    HRESULT hr = object_->Invoke(member.id, IID_NULL, LOCALE_USER_DEFAULT, DISPATCH_PROPERTYGET,
                                 arguments.Params(), result.Put(), &info, nullptr);
    if (FAILED(hr) || result.Type() != VT_DISPATCH || !V_DISPATCH(&result.Get())) continue;
    // Objects of other libraries (the platform's pictures) are not ours to fuzz.
    if (LibraryOf(V_DISPATCH(&result.Get())) != LibraryOf(object_.Get())) continue;
    // Of such an object nothing more is known than that a get changes nothing.
    IDispatch* object = V_DISPATCH(&result.Get());
    DispatchFuzzer returned(object,
                            {described_.label + L"." + member.name, L"", AllButGets(object),
                             described_.skipped},
                            values_, depth_ - 1);
    returned.Run();
    calls_ += returned.calls_;
    successes_ += returned.successes_;
    for (const std::wstring& fault : returned.faults_) faults_.push_back(fault);
  }
}

void DispatchFuzzer::FuzzMember(const MemberDescription& member) {
  FuzzArgumentCount(member);
  FuzzNamedArguments(member);
  FuzzEachArgument(member);
  FuzzContradictoryParams(member);
  FuzzWrongFlags(member);
}

void DispatchFuzzer::FuzzArgumentCount(const MemberDescription& member) {
  WORD flags = FlagsOf(member.kind);
  {
    ArgumentList none;
    Call(member.id, flags, none, member.name + L" with no arguments", &member);
  }
  ArgumentList oneTooMany;
  oneTooMany.Add(formsrt::Variant::FromInt32(1), Passing::ByValue);
  AddPlausible(oneTooMany, member, flags);
  Call(member.id, flags, oneTooMany, member.name + L" with one argument too many", &member);
}

void DispatchFuzzer::FuzzNamedArguments(const MemberDescription& member) {
  WORD flags = FlagsOf(member.kind);
  size_t count = member.plausibleArguments.size();
  {
    // Every argument named by its position, in reverse order.
    ArgumentList named;
    for (size_t i = count; i-- > 0;) {
      bool value = IsPut(flags) && i + 1 == count;
      named.Add(member.plausibleArguments[i],
                member.byReference[i] ? Passing::ByVariantReference : Passing::ByValue,
                value ? DISPID_PROPERTYPUT : static_cast<DISPID>(i));
    }
    Call(member.id, flags, named, member.name + L" with named arguments", &member);
  }
  {
    ArgumentList unknownName;
    AddPlausible(unknownName, member, flags);
    unknownName.Add(formsrt::Variant::FromInt32(1), Passing::ByValue, 0x7777);
    Call(member.id, flags, unknownName, member.name + L" with an unknown named argument", &member);
  }
  ArgumentList namedTwice;
  namedTwice.Add(formsrt::Variant::FromInt32(1), Passing::ByValue, 0);
  namedTwice.Add(formsrt::Variant::FromInt32(1), Passing::ByValue, 0);
  Call(member.id, flags, namedTwice, member.name + L" with one name given twice", &member);
}

// Each position gets every value, the others their plausible ones. Where a
// real object makes the member succeed, that success path is fuzzed in turn.
void DispatchFuzzer::FuzzEachArgument(const MemberDescription& member) {
  WORD flags = FlagsOf(member.kind);
  for (size_t i = 0; i < member.plausibleArguments.size(); ++i) {
    std::optional<Replacement> succeeded;
    for (BadValue bad : kBadValues) {
      for (Passing passing : kPassings) {
        ArgumentList arguments;
        AddPlausible(arguments, member, flags, {{i, {bad, passing}}});
        HRESULT hr = Call(member.id, flags, arguments,
                          member.name + L" argument " + std::to_wstring(i + 1) + L" " +
                              NameOf(bad) + L" " + NameOf(passing),
                          &member);
        if (SUCCEEDED(hr) && IsRealObject(bad) && !succeeded) succeeded = Replacement{bad, passing};
      }
    }
    if (succeeded) FuzzAroundSuccess(member, i, *succeeded);
  }
}

// The object that made the member succeed stays at its position; every
// other position gets every value.
void DispatchFuzzer::FuzzAroundSuccess(const MemberDescription& member, size_t position,
                                       Replacement object) {
  WORD flags = FlagsOf(member.kind);
  for (size_t j = 0; j < member.plausibleArguments.size(); ++j) {
    if (j == position) continue;
    for (BadValue bad : kBadValues) {
      for (Passing passing : kPassings) {
        ArgumentList arguments;
        AddPlausible(arguments, member, flags, {{position, object}, {j, {bad, passing}}});
        Call(member.id, flags, arguments,
             member.name + L" with " + NameOf(object.value) + L", argument " +
                 std::to_wstring(j + 1) + L" " + NameOf(bad) + L" " + NameOf(passing),
             &member);
      }
    }
  }
}

// DISPPARAMS that contradict themselves, and arguments passed by reference
// through a null pointer in each position: refused before the member runs.
void DispatchFuzzer::FuzzContradictoryParams(const MemberDescription& member) {
  WORD flags = FlagsOf(member.kind);
  VARIANT one = formsrt::Variant::FromInt32(1).Get();
  DISPID putName = DISPID_PROPERTYPUT;
  DISPPARAMS argumentsMissing{nullptr, nullptr, 2, 0};
  DISPPARAMS namesMissing{&one, nullptr, 1, 1};
  DISPPARAMS moreNamesThanArguments{&one, &putName, 1, 2};
  CallRefused(member.id, flags, nullptr, member.name + L" without DISPPARAMS");
  CallRefused(member.id, flags, &argumentsMissing, member.name + L" with arguments not given");
  CallRefused(member.id, flags, &namesMissing, member.name + L" with names not given");
  CallRefused(member.id, flags, &moreNamesThanArguments,
              member.name + L" with more names than arguments");
  // And one argument more than the member has: a null reference, directly or
  // through a reference to a variant, is refused even where no argument is expected.
  size_t count = member.plausibleArguments.size();
  for (size_t i = 0; i <= count; ++i) {
    for (VARTYPE type : {VARTYPE{VT_BYREF | VT_I4}, VARTYPE{VT_BYREF | VT_BSTR}, VARTYPE{VT_BYREF | VT_VARIANT}}) {
      ArgumentList arguments;
      if (i == count) arguments.Add(NullPointer(type), Passing::ByValue);
      for (size_t k = 0; k < count; ++k) {
        std::optional<DISPID> name;
        if (IsPut(flags) && k + 1 == count) name = DISPID_PROPERTYPUT;
        Passing plausible = member.byReference[k] ? Passing::ByVariantReference : Passing::ByValue;
        arguments.Add(k == i ? NullPointer(type) : member.plausibleArguments[k],
                      k == i ? Passing::ByValue : plausible, name);
      }
      CallRefused(member.id, flags, arguments.Params(),
                  member.name + L" argument " + std::to_wstring(i + 1) +
                      L" by reference through a null pointer");
    }
  }
}

void DispatchFuzzer::FuzzWrongFlags(const MemberDescription& member) {
  const WORD right = FlagsOf(member.kind);
  for (WORD flags : {WORD{DISPATCH_METHOD}, WORD{DISPATCH_PROPERTYGET}, WORD{DISPATCH_PROPERTYPUT},
                     WORD{DISPATCH_PROPERTYPUTREF}}) {
    if (flags == right) continue;
    ArgumentList arguments;
    AddPlausible(arguments, member, right);
    // A put needs a value named as such; a member that is no put gets one more.
    if (IsPut(flags) && !IsPut(right))
      arguments.Add(formsrt::Variant::FromInt32(1), Passing::ByValue, DISPID_PROPERTYPUT);
    Call(member.id, flags, arguments,
         member.name + L" called as " + FlagsText(flags) + L" instead of " + FlagsText(right));
  }
  ArgumentList noFlags;
  AddPlausible(noFlags, member, right);
  Call(member.id, 0, noFlags, member.name + L" with no invoke flags");
  ArgumentList noResult;
  AddPlausible(noResult, member, right);
  Call(member.id, right, noResult, member.name + L" with nowhere for the result", nullptr, false);
}

void DispatchFuzzer::FuzzUnknownMembers() {
  for (DISPID id : {DISPID{0x7FFF1234}, DISPID{DISPID_UNKNOWN}, DISPID{-5000}, DISPID{0x60020000},
                    DISPID{0x6803FFFF}}) {
    for (WORD flags : {WORD{DISPATCH_METHOD}, WORD{DISPATCH_PROPERTYGET},
                       WORD{DISPATCH_METHOD | DISPATCH_PROPERTYGET}}) {
      ArgumentList none;
      Call(id, flags, none, L"unknown DISPID " + HresultText(id) + L" as " + FlagsText(flags));
    }
    ArgumentList value;
    value.Add(formsrt::Variant::FromInt32(1), Passing::ByValue, DISPID_PROPERTYPUT);
    Call(id, DISPATCH_PROPERTYPUT, value, L"unknown DISPID " + HresultText(id) + L" as put");
  }
}

// Invoke's own parameter: an interface other than IID_NULL.
void DispatchFuzzer::FuzzInvokeItself() {
  for (const IID* iid : {&IID_IDispatch, &IID_IUnknown}) {
    DISPPARAMS none{};
    formsrt::Variant result;
    OwnedExcepInfo info;
    ++calls_;
    HRESULT hr = object_->Invoke(knownGood_, *iid, LOCALE_USER_DEFAULT, DISPATCH_PROPERTYGET, &none,
                                 result.Put(), &info, nullptr);
    if (hr != DISP_E_UNKNOWNINTERFACE)
      Fault(L"Invoke with an interface other than IID_NULL answered " + HresultText(hr));
    Judge(hr, info, L"Invoke with an interface other than IID_NULL");
  }
  CheckStillWorks(L"Invoke with an interface other than IID_NULL");
}

void DispatchFuzzer::AddPlausible(ArgumentList& arguments, const MemberDescription& member,
                                  WORD flags, const Replacements& replaced) {
  size_t count = member.plausibleArguments.size();
  for (size_t i = 0; i < count; ++i) {
    std::optional<DISPID> name;
    if (IsPut(flags) && i + 1 == count) name = DISPID_PROPERTYPUT;
    auto replacement = replaced.find(i);
    if (replacement != replaced.end()) {
      arguments.Add(MakeBadValue(replacement->second.value, values_), replacement->second.passing,
                    name);
    } else {
      arguments.Add(member.plausibleArguments[i],
                    member.byReference[i] ? Passing::ByVariantReference : Passing::ByValue, name);
    }
  }
}

HRESULT DispatchFuzzer::Call(DISPID id, WORD flags, ArgumentList& arguments,
                             const std::wstring& what, const MemberDescription* member,
                             bool wantResult) {
  formsrt::Variant result;
  OwnedExcepInfo info;
  UINT argumentError = 0;
  ++calls_;
  ::SetErrorInfo(0, nullptr);
  if (wantResult) PutSentinel(result);
  DWORD started = ::GetTickCount();  // differences survive the wrap
  HRESULT hr = object_->Invoke(id, IID_NULL, LOCALE_USER_DEFAULT, flags, arguments.Params(),
                               wantResult ? result.Raw() : nullptr, &info, &argumentError);
  DWORD took = ::GetTickCount() - started;
  if (took > kCallBudgetMilliseconds)
    Fault(what + L": took " + std::to_wstring(took) + L" ms (a stall on bad input)");
  Judge(hr, info, what);
  if (FAILED(hr) && wantResult && IsSentinel(result.Get())) {
    Fault(what + L": failed and left the result as it was given");
  }
  if (SUCCEEDED(hr)) ++successes_;
  if (SUCCEEDED(hr) && member && wantResult) CheckResult(*member, result.Get(), what);
  formsrt::DispatchWaitingMessages();
  CheckStillWorks(what, SUCCEEDED(hr) ? id : DISPID_UNKNOWN, flags);
  return hr;
}

// A DISP_E_ code, or E_INVALIDARG: the platform's own dispatch answers so
// DISPPARAMS that break Invoke's contract.
void DispatchFuzzer::CallRefused(DISPID id, WORD flags, DISPPARAMS* params,
                                 const std::wstring& what) {
  formsrt::Variant result;
  OwnedExcepInfo info;
  UINT argumentError = 0;
  ++calls_;
  PutSentinel(result);
  HRESULT hr = object_->Invoke(id, IID_NULL, LOCALE_USER_DEFAULT, flags, params, result.Raw(),
                               &info, &argumentError);
  if (IsSentinel(result.Get())) Fault(what + L": refused and left the result as it was given");
  if (SUCCEEDED(hr)) {
    Fault(what + L": accepted");
  } else if (HRESULT_FACILITY(hr) != FACILITY_DISPATCH && hr != E_INVALIDARG) {
    Fault(what + L": refused with " + HresultText(hr) + L", not a DISP_E_ code");
  }
  formsrt::DispatchWaitingMessages();
  CheckStillWorks(what);
}

// A failure must be one a client can act on: a dispatch code, a run-time
// error described in EXCEPINFO, or E_OUTOFMEMORY.
void DispatchFuzzer::Judge(HRESULT hr, EXCEPINFO& info, const std::wstring& what) {
  if (info.pfnDeferredFillIn) info.pfnDeferredFillIn(&info);
  if (SUCCEEDED(hr)) return;
  bool described =
      (FAILED(info.scode) || info.wCode != 0) && ::SysStringLen(info.bstrDescription) > 0;
  if (hr == DISP_E_EXCEPTION || HRESULT_FACILITY(hr) == FACILITY_CONTROL) {
    if (!described) Fault(what + L": " + HresultText(hr) + L" without a described EXCEPINFO");
    return;
  }
  // Dispatch codes, and memory running out (what std::bad_alloc becomes).
  if (HRESULT_FACILITY(hr) == FACILITY_DISPATCH || hr == E_OUTOFMEMORY) return;
  Fault(what + L": " + HresultText(hr) + L" is neither a dispatch code nor a run-time error");
}

// A success returns what the member declares, and leaves no error
// information behind for a client to mistake for its own.
void DispatchFuzzer::CheckResult(const MemberDescription& member, const VARIANT& result,
                                 const std::wstring& what) {
  if (!IsDeclaredResult(member.result, V_VT(&result))) {
    Fault(what + L": returned type " + std::to_wstring(V_VT(&result)) + L", declared " +
          std::to_wstring(member.result));
  }
  formsrt::ComPtr<IErrorInfo> stale;
  if (::GetErrorInfo(0, stale.Put()) == S_OK) Fault(what + L": succeeded and left error information");
}

bool DispatchFuzzer::MayChangeKnownGood(DISPID called, WORD flags) const {
  if (called == DISPID_UNKNOWN) return false;
  return (called == knownGood_ && IsPut(flags)) || changesKnownGood_.count(called) != 0;
}

// The known-good property still reads, and reads what it read before,
// unless the call that succeeded was its own put or a member that changes it.
void DispatchFuzzer::CheckStillWorks(const std::wstring& after, DISPID called, WORD flags) {
  if (knownGood_ == DISPID_UNKNOWN) return;  // an object without a readable property
  formsrt::Variant now;
  HRESULT hr = ReadProperty(object_.Get(), knownGood_, &now);
  if (hr != S_OK) {
    Fault(L"the known-good call failed (" + HresultText(hr) + L") after " + after);
    return;
  }
  if (!SameValue(knownGoodValue_, now) && !MayChangeKnownGood(called, flags)) {
    Fault(L"the known-good property changed from " + TextOf(knownGoodValue_) + L" to " +
          TextOf(now) + L" after " + after);
  }
  knownGoodValue_ = std::move(now);
}

void DispatchFuzzer::Fault(const std::wstring& text) {
  if (faults_.size() < kMaxFaultsPerObject) faults_.push_back(described_.label + L": " + text);
}

}  // namespace hardening
