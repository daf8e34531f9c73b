#include "DispatchFuzzer.h"

#include <cstdio>

#include "com/Bstr.h"

namespace hardening {

namespace {

// Far more than any member has; the faults of one object are few in practice.
constexpr size_t kMaxFaultsPerObject = 200;
// The slowest honest call, a find and replace in 100,000 characters that
// Text1 then holds, takes a fraction of a second under Wine.
constexpr ULONGLONG kCallBudgetMilliseconds = 5000;

WORD FlagsOf(INVOKEKIND kind) {
  switch (kind) {
    case INVOKE_PROPERTYGET:
      return DISPATCH_PROPERTYGET;
    case INVOKE_PROPERTYPUT:
      return DISPATCH_PROPERTYPUT;
    case INVOKE_PROPERTYPUTREF:
      return DISPATCH_PROPERTYPUTREF;
    default:
      return DISPATCH_METHOD;
  }
}

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

class TypeAttributes {
 public:
  explicit TypeAttributes(ITypeInfo* info) : info_(info) {
    if (FAILED(info->GetTypeAttr(&attributes_))) attributes_ = nullptr;
  }
  ~TypeAttributes() {
    if (attributes_) info_->ReleaseTypeAttr(attributes_);
  }
  TypeAttributes(const TypeAttributes&) = delete;
  TypeAttributes& operator=(const TypeAttributes&) = delete;
  const TYPEATTR* operator->() const { return attributes_; }
  explicit operator bool() const { return attributes_ != nullptr; }

 private:
  ITypeInfo* info_;
  TYPEATTR* attributes_ = nullptr;
};

class FunctionDescription {
 public:
  FunctionDescription(ITypeInfo* info, UINT index) : info_(info) {
    if (FAILED(info->GetFuncDesc(index, &description_))) description_ = nullptr;
  }
  ~FunctionDescription() {
    if (description_) info_->ReleaseFuncDesc(description_);
  }
  FunctionDescription(const FunctionDescription&) = delete;
  FunctionDescription& operator=(const FunctionDescription&) = delete;
  const FUNCDESC* operator->() const { return description_; }
  explicit operator bool() const { return description_ != nullptr; }

 private:
  ITypeInfo* info_;
  FUNCDESC* description_ = nullptr;
};

MemberDescription Describe(ITypeInfo* info, const FUNCDESC& function) {
  MemberDescription member{function.memid, L"", function.invkind, {}, {}};
  formsrt::Bstr name;
  info->GetDocumentation(function.memid, name.Put(), nullptr, nullptr, nullptr);
  member.name = name.Str();
  for (SHORT i = 0; i < function.cParams; ++i) {
    const ELEMDESC& parameter = function.lprgelemdescParam[i];
    if (parameter.paramdesc.wParamFlags & (PARAMFLAG_FRETVAL | PARAMFLAG_FLCID)) continue;
    bool pointer = parameter.tdesc.vt == VT_PTR;
    const TYPEDESC& type = pointer ? *parameter.tdesc.lptdesc : parameter.tdesc;
    member.plausibleArguments.push_back(PlausibleValue(info, type));
    member.byReference.push_back(pointer);
  }
  return member;
}

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

}  // namespace

std::wstring HresultText(HRESULT hr) {
  wchar_t text[16];
  std::swprintf(text, 16, L"0x%08lX", static_cast<unsigned long>(hr));
  return text;
}

std::vector<MemberDescription> DispatchMembers(IDispatch* object) {
  std::vector<MemberDescription> members;
  formsrt::ComPtr<ITypeInfo> info;
  if (FAILED(object->GetTypeInfo(0, LOCALE_USER_DEFAULT, info.Put()))) return members;
  TypeAttributes attributes(info.Get());
  if (!attributes) return members;
  for (UINT i = 0; i < attributes->cFuncs; ++i) {
    FunctionDescription function(info.Get(), i);
    if (!function || (function->wFuncFlags & FUNCFLAG_FRESTRICTED)) continue;
    members.push_back(Describe(info.Get(), *function.operator->()));
  }
  return members;
}

HRESULT ReadProperty(IDispatch* object, DISPID id) {
  DISPPARAMS none{};
  formsrt::Variant result;
  OwnedExcepInfo info;
  return object->Invoke(id, IID_NULL, LOCALE_USER_DEFAULT, DISPATCH_PROPERTYGET, &none,
                        result.Put(), &info, nullptr);
}

DISPID IdOfName(IDispatch* object, std::wstring name) {
  LPOLESTR names = name.data();
  DISPID id = DISPID_UNKNOWN;
  if (FAILED(object->GetIDsOfNames(IID_NULL, &names, 1, LOCALE_USER_DEFAULT, &id)))
    return DISPID_UNKNOWN;
  return id;
}

DispatchFuzzer::DispatchFuzzer(IDispatch* object, std::wstring label,
                               std::wstring knownGoodProperty, std::set<std::wstring> skipped,
                               UnrelatedObject& unrelated, int depth)
    : object_(object),
      label_(std::move(label)),
      skipped_(std::move(skipped)),
      unrelated_(unrelated),
      depth_(depth) {
  if (knownGoodProperty.empty()) return;
  knownGood_ = IdOfName(object, knownGoodProperty);
  if (knownGood_ == DISPID_UNKNOWN)
    Fault(L"the known-good property " + knownGoodProperty + L" has no DISPID");
}

void DispatchFuzzer::Run() {
  std::vector<MemberDescription> members = DispatchMembers(object_.Get());
  if (members.empty()) Fault(L"no members found in the dispatch type information");
  if (knownGood_ == DISPID_UNKNOWN) knownGood_ = FirstWorkingProperty(members);
  CheckStillWorks(L"nothing");
  for (const MemberDescription& member : members) {
    if (skipped_.count(member.name) == 0) FuzzMember(member);
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
    if (member.kind != INVOKE_PROPERTYGET || skipped_.count(member.name) != 0) continue;
    ArgumentList arguments;
    AddPlausible(arguments, member, DISPATCH_PROPERTYGET);
    formsrt::Variant result;
    OwnedExcepInfo info;
    HRESULT hr = object_->Invoke(member.id, IID_NULL, LOCALE_USER_DEFAULT, DISPATCH_PROPERTYGET,
                                 arguments.Params(), result.Put(), &info, nullptr);
    if (FAILED(hr) || result.Type() != VT_DISPATCH || !V_DISPATCH(&result.Get())) continue;
    // Objects of other libraries (the platform's pictures) are not ours to fuzz.
    if (LibraryOf(V_DISPATCH(&result.Get())) != LibraryOf(object_.Get())) continue;
    DispatchFuzzer returned(V_DISPATCH(&result.Get()), label_ + L"." + member.name, L"", skipped_,
                            unrelated_, depth_ - 1);
    returned.Run();
    calls_ += returned.calls_;
    for (const std::wstring& fault : returned.faults_) faults_.push_back(fault);
  }
}

void DispatchFuzzer::FuzzMember(const MemberDescription& member) {
  FuzzArgumentCount(member);
  FuzzNamedArguments(member);
  FuzzEachArgument(member);
  FuzzWrongFlags(member);
}

void DispatchFuzzer::FuzzArgumentCount(const MemberDescription& member) {
  WORD flags = FlagsOf(member.kind);
  {
    ArgumentList none;
    Call(member.id, flags, none, member.name + L" with no arguments");
  }
  ArgumentList oneTooMany;
  oneTooMany.Add(formsrt::Variant::FromInt32(1), Passing::ByValue);
  AddPlausible(oneTooMany, member, flags);
  Call(member.id, flags, oneTooMany, member.name + L" with one argument too many");
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
    Call(member.id, flags, named, member.name + L" with named arguments");
  }
  {
    ArgumentList unknownName;
    AddPlausible(unknownName, member, flags);
    unknownName.Add(formsrt::Variant::FromInt32(1), Passing::ByValue, 0x7777);
    Call(member.id, flags, unknownName, member.name + L" with an unknown named argument");
  }
  ArgumentList namedTwice;
  namedTwice.Add(formsrt::Variant::FromInt32(1), Passing::ByValue, 0);
  namedTwice.Add(formsrt::Variant::FromInt32(1), Passing::ByValue, 0);
  Call(member.id, flags, namedTwice, member.name + L" with one name given twice");
}

void DispatchFuzzer::FuzzEachArgument(const MemberDescription& member) {
  WORD flags = FlagsOf(member.kind);
  for (size_t i = 0; i < member.plausibleArguments.size(); ++i) {
    for (BadValue bad : kBadValues) {
      for (Passing passing : kPassings) {
        ArgumentList arguments;
        AddPlausible(arguments, member, flags, i, bad, passing);
        Call(member.id, flags, arguments,
             member.name + L" argument " + std::to_wstring(i + 1) + L" " + NameOf(bad) + L" " +
                 NameOf(passing));
      }
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
  Call(member.id, right, noResult, member.name + L" with nowhere for the result", false);
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

// Invoke's own parameters: an interface other than IID_NULL, no DISPPARAMS.
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
  formsrt::Variant result;
  OwnedExcepInfo info;
  ++calls_;
  HRESULT hr = object_->Invoke(knownGood_, IID_NULL, LOCALE_USER_DEFAULT, DISPATCH_PROPERTYGET,
                               nullptr, result.Put(), &info, nullptr);
  // DISPPARAMS that contradict themselves: more names than arguments, and
  // arguments counted but not given.
  DISPID name = DISPID_PROPERTYPUT;
  DISPPARAMS moreNamesThanArguments{nullptr, &name, 0, 1};
  DISPPARAMS argumentsMissing{nullptr, nullptr, 2, 0};
  for (DISPPARAMS* broken : {&moreNamesThanArguments, &argumentsMissing}) {
    formsrt::Variant brokenResult;
    OwnedExcepInfo brokenInfo;
    ++calls_;
    HRESULT answer =
        object_->Invoke(knownGood_, IID_NULL, LOCALE_USER_DEFAULT, DISPATCH_PROPERTYGET, broken,
                        brokenResult.Put(), &brokenInfo, nullptr);
    if (answer != E_INVALIDARG) Judge(answer, brokenInfo, L"Invoke with inconsistent DISPPARAMS");
  }
  // A call without DISPPARAMS breaks Invoke's contract; the platform's own
  // dispatch answers it with E_INVALIDARG, and so may ours.
  if (hr != E_INVALIDARG && hr != E_POINTER) Judge(hr, info, L"Invoke without DISPPARAMS");
  CheckStillWorks(L"Invoke without DISPPARAMS");
}

void DispatchFuzzer::AddPlausible(ArgumentList& arguments, const MemberDescription& member,
                                  WORD flags, size_t replaced, BadValue bad, Passing passing) {
  size_t count = member.plausibleArguments.size();
  for (size_t i = 0; i < count; ++i) {
    std::optional<DISPID> name;
    if (IsPut(flags) && i + 1 == count) name = DISPID_PROPERTYPUT;
    if (i == replaced) {
      arguments.Add(MakeBadValue(bad, &unrelated_), passing, name);
    } else {
      arguments.Add(member.plausibleArguments[i],
                    member.byReference[i] ? Passing::ByVariantReference : Passing::ByValue, name);
    }
  }
}

void DispatchFuzzer::Call(DISPID id, WORD flags, ArgumentList& arguments, const std::wstring& what,
                          bool wantResult) {
  formsrt::Variant result;
  OwnedExcepInfo info;
  UINT argumentError = 0;
  ++calls_;
  DWORD started = ::GetTickCount();  // differences survive the wrap
  HRESULT hr = object_->Invoke(id, IID_NULL, LOCALE_USER_DEFAULT, flags, arguments.Params(),
                               wantResult ? result.Put() : nullptr, &info, &argumentError);
  DWORD took = ::GetTickCount() - started;
  if (took > kCallBudgetMilliseconds)
    Fault(what + L": took " + std::to_wstring(took) + L" ms (a stall on bad input)");
  Judge(hr, info, what);
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

void DispatchFuzzer::CheckStillWorks(const std::wstring& after) {
  if (knownGood_ == DISPID_UNKNOWN) return;  // an object without a readable property
  HRESULT hr = ReadProperty(object_.Get(), knownGood_);
  if (hr != S_OK) Fault(L"the known-good call failed (" + HresultText(hr) + L") after " + after);
}

void DispatchFuzzer::Fault(const std::wstring& text) {
  if (faults_.size() < kMaxFaultsPerObject) faults_.push_back(label_ + L": " + text);
}

}  // namespace hardening
