#include "com/TypeLibDispatch.h"

#include <cstring>
#include <new>
#include <optional>
#include <vector>

#include "com/DispatchParams.h"
#include "com/TypeDescriptions.h"

namespace formsrt {

namespace {

bool Describes(const FUNCDESC& desc, DISPID id, WORD flags) {
  return desc.memid == id && (desc.invkind & flags);
}

// Every member's description read in turn until one fits.
FunctionDescription ScanFunctions(ITypeInfo* info, DISPID id, WORD flags) {
  TypeAttributes attributes(info);
  WORD count = attributes ? attributes->cFuncs : 0;
  for (UINT i = 0; i < count; ++i) {
    FunctionDescription function(info, i);
    if (function && Describes(*function.Get(), id, flags)) return function;
  }
  return {info, nullptr};
}

// The member's description, by its identifier and the ways of calling it
// in flags (the DISPATCH_ and INVOKE_ bits are the same): of the members
// that fit, the first, as the platform's Invoke picks it, so that the
// arguments are adapted to the member that is then called. Reading every
// description in turn costs a script's call several times what the member
// itself does, so a dual interface's own half is asked through the
// platform's index of members: that half numbers its members as the index
// does (the dispatch half counts IDispatch's first) and describes the same
// parameters. Anything else, or an answer that does not fit, is scanned.
FunctionDescription FindFunction(ITypeInfo* info, DISPID id, WORD flags) {
  HREFTYPE ownHalf = 0;
  ComPtr<ITypeInfo> half;
  ComPtr<ITypeInfo2> indexed;
  if (SUCCEEDED(info->GetRefTypeOfImplType(-1, &ownHalf)) &&
      SUCCEEDED(info->GetRefTypeInfo(ownHalf, half.Put())) &&
      SUCCEEDED(half->QueryInterface(IID_ITypeInfo2, indexed.PutVoid()))) {
    std::optional<UINT> first;
    for (WORD kind : {INVOKE_FUNC, INVOKE_PROPERTYGET, INVOKE_PROPERTYPUT, INVOKE_PROPERTYPUTREF}) {
      UINT index = 0;
      if ((flags & kind) &&
          SUCCEEDED(indexed->GetFuncIndexOfMemId(id, static_cast<INVOKEKIND>(kind), &index)) &&
          (!first || index < *first)) {
        first = index;
      }
    }
    if (first) {
      FunctionDescription function(half.Get(), *first);
      if (function && Describes(*function.Get(), id, flags)) return function;
    }
  }
  return ScanFunctions(info, id, flags);
}

bool HasVariantReference(const DISPPARAMS* params) {
  for (UINT i = 0; i < params->cArgs; ++i) {
    if (V_VT(&params->rgvarg[i]) == (VT_BYREF | VT_VARIANT)) return true;
  }
  return false;
}

// The type that a by-reference parameter points at, or VT_EMPTY when the
// parameter is not a plain typed reference.
VARTYPE ReferencedType(const TYPEDESC& type) {
  if (type.vt != VT_PTR || !type.lptdesc) return VT_EMPTY;
  VARTYPE target = type.lptdesc->vt;
  if (target == VT_VARIANT || target == VT_PTR || target == VT_USERDEFINED ||
      target == VT_SAFEARRAY || target == VT_CARRAY) {
    return VT_EMPTY;
  }
  return target;
}

class ScriptArguments {
 public:
  ScriptArguments() = default;
  ScriptArguments(const ScriptArguments&) = delete;
  ScriptArguments& operator=(const ScriptArguments&) = delete;
  ~ScriptArguments() {
    for (Slot& slot : slots_) {
      ::VariantClear(&slot.value);
      ::VariantClear(&slot.given);
    }
  }

  HRESULT Adapt(const FUNCDESC* function, const DISPPARAMS* original, UINT* argErr) {
    args_.assign(original->rgvarg, original->rgvarg + original->cArgs);
    slots_.reserve(original->cArgs);
    for (UINT i = 0; i < original->cArgs; ++i) {
      if (V_VT(&args_[i]) != (VT_BYREF | VT_VARIANT)) continue;
      int param = ParameterIndex(function, original, i);
      if (param < 0) continue;
      HRESULT hr = AdaptOne(function->lprgelemdescParam[param].tdesc, args_[i]);
      if (FAILED(hr)) {
        if (argErr) *argErr = i;
        return hr;
      }
    }
    params_ = *original;
    params_.rgvarg = args_.data();
    return S_OK;
  }

  DISPPARAMS* Params() { return &params_; }

  // A member that wrote a whole DECIMAL wrote over its VARIANT's type too
  // (the DECIMAL's first field lies under it): after the call every value
  // given by reference gets back its type, which its copy still has.
  void Retype() {
    for (Slot& slot : slots_) {
      if (slot.writeBack) V_VT(&slot.value) = V_VT(&slot.given);
    }
  }

  // Puts what the member changed back into the caller's variables, in their
  // own type where the value fits it. A value the member only read stays
  // as the caller had it, in its own type (10.6 stays 10.6, not the 11
  // that a 16-bit parameter read).
  void WriteBack() {
    for (Slot& slot : slots_) {
      if (!slot.writeBack || LeftAsGiven(slot)) continue;
      VARIANT converted;
      ::VariantInit(&converted);
      VARTYPE original = V_VT(slot.target);
      bool keepType = original != VT_EMPTY && original != VT_NULL && !(original & VT_BYREF) &&
                      SUCCEEDED(::VariantChangeType(&converted, &slot.value, 0, original));
      if (!keepType && FAILED(::VariantCopy(&converted, &slot.value))) continue;
      ::VariantClear(slot.target);
      *slot.target = converted;
    }
  }

 private:
  struct Slot {
    VARIANT* target;
    VARIANT value;  // what the member gets a reference to
    VARIANT given;  // a copy of value as it was before the call
    bool writeBack;
  };

  // Texts by their characters, decimals by their value; every other
  // referenced type is held in the first 8 bytes of the value's union, the
  // rest of which stay zero.
  static bool LeftAsGiven(Slot& slot) {
    if (V_VT(&slot.value) == VT_DECIMAL) {
      return ::VarDecCmp(&V_DECIMAL(&slot.value), &V_DECIMAL(&slot.given)) == VARCMP_EQ;
    }
    if (V_VT(&slot.value) != VT_BSTR) return V_UI8(&slot.value) == V_UI8(&slot.given);
    UINT bytes = ::SysStringByteLen(V_BSTR(&slot.value));
    return bytes == ::SysStringByteLen(V_BSTR(&slot.given)) &&
           (bytes == 0 || std::memcmp(V_BSTR(&slot.value), V_BSTR(&slot.given), bytes) == 0);
  }

  // The parameters a caller passes: an interface's own description ends
  // with the result parameter, which the dispatch description leaves out.
  static int CallerParameterCount(const FUNCDESC* function) {
    int count = function->cParams;
    while (count > 0 &&
           (function->lprgelemdescParam[count - 1].paramdesc.wParamFlags & PARAMFLAG_FRETVAL)) {
      --count;
    }
    return count;
  }

  static int ParameterIndex(const FUNCDESC* function, const DISPPARAMS* params, UINT arg) {
    int count = CallerParameterCount(function);
    int index;
    if (arg < params->cNamedArgs) {
      DISPID named = params->rgdispidNamedArgs[arg];
      index = named == DISPID_PROPERTYPUT ? count - 1 : named;
    } else {
      index = static_cast<int>(params->cArgs - 1 - arg);
    }
    return index >= 0 && index < count ? index : -1;
  }

  HRESULT AdaptOne(const TYPEDESC& paramType, VARIANTARG& arg) {
    VARIANT* target = V_VARIANTREF(&arg);
    if (!target) return DISP_E_TYPEMISMATCH;
    VARTYPE referenced = ReferencedType(paramType);
    bool byReference = paramType.vt == VT_PTR;
    if (byReference && referenced == VT_EMPTY) return S_OK;  // VARIANT* takes it as it is
    slots_.push_back({target, {}, {}, byReference});
    Slot& slot = slots_.back();
    HRESULT hr = byReference ? ::VariantChangeType(&slot.value, target, 0, referenced)
                             : ::VariantCopyInd(&slot.value, target);
    if (SUCCEEDED(hr) && byReference) hr = ::VariantCopy(&slot.given, &slot.value);
    if (FAILED(hr)) return hr == E_OUTOFMEMORY ? hr : DISP_E_TYPEMISMATCH;
    if (byReference) {
      V_VT(&arg) = VT_BYREF | referenced;
      V_BYREF(&arg) = ValueAddress(slot.value);
    } else {
      arg = slot.value;  // a shallow copy; the slot still owns the value
    }
    return S_OK;
  }

  // Where a member given a reference finds the value: a DECIMAL fills the
  // whole VARIANT; every other type starts where the value union does.
  static void* ValueAddress(VARIANT& value) {
    if (V_VT(&value) == VT_DECIMAL) return &V_DECIMAL(&value);
    return &V_I4(&value);
  }

  std::vector<VARIANTARG> args_;
  std::vector<Slot> slots_;
  DISPPARAMS params_{};
};

}  // namespace

HRESULT InvokeThroughTypeInfo(ITypeInfo* info, void* instance, DISPID id, WORD flags,
                              DISPPARAMS* params, VARIANT* result, EXCEPINFO* excepInfo,
                              UINT* argErr) noexcept {
  if (result) ::VariantInit(result);
  // As the platform's own dispatch answers DISPPARAMS that break Invoke's
  // contract; a null reference would reach the member as a null pointer.
  if (ContradictoryDispatchParams(params)) return E_INVALIDARG;
  if (std::optional<UINT> argument = NullReferenceArgument(*params)) {
    if (argErr) *argErr = *argument;
    return DISP_E_TYPEMISMATCH;
  }
  if (!HasVariantReference(params)) {
    return info->Invoke(instance, id, flags, params, result, excepInfo, argErr);
  }
  try {
    FunctionDescription function = FindFunction(info, id, flags);
    if (!function.Get()) return info->Invoke(instance, id, flags, params, result, excepInfo, argErr);
    ScriptArguments arguments;
    HRESULT hr = arguments.Adapt(function.Get(), params, argErr);
    if (FAILED(hr)) return hr;
    hr = info->Invoke(instance, id, flags, arguments.Params(), result, excepInfo, argErr);
    arguments.Retype();
    if (SUCCEEDED(hr)) arguments.WriteBack();
    return hr;
  } catch (const std::bad_alloc&) {
    return E_OUTOFMEMORY;
  }
}

}  // namespace formsrt
