#include "DispatchMembers.h"

#include "BadValues.h"
#include "core/Bstr.h"
#include "com/ComPtr.h"
#include "com/TypeDescriptions.h"

namespace hardening {

namespace {

using formsrt::FunctionDescription;
using formsrt::TypeAttributes;

const TYPEDESC& WithoutPointer(const TYPEDESC& type) {
  return type.vt == VT_PTR && type.lptdesc ? *type.lptdesc : type;
}

// The VARIANT type that carries a value of a declared type through Invoke.
VARTYPE VariantTypeOf(ITypeInfo* owner, const TYPEDESC& type) {
  switch (type.vt) {
    case VT_PTR:
    case VT_UNKNOWN:
      return VT_DISPATCH;  // an interface pointer
    case VT_INT:
      return VT_I4;
    case VT_UINT:
      return VT_UI4;
    case VT_USERDEFINED:
      break;
    default:
      return type.vt;
  }
  formsrt::ComPtr<ITypeInfo> referenced;
  if (FAILED(owner->GetRefTypeInfo(type.hreftype, referenced.Put()))) return VT_VARIANT;
  TypeAttributes attributes(referenced.Get());
  if (!attributes) return VT_VARIANT;
  if (attributes->typekind == TKIND_ENUM) return VT_I4;
  if (attributes->typekind == TKIND_ALIAS) return VariantTypeOf(referenced.Get(), attributes->tdescAlias);
  return VT_DISPATCH;
}

// A dual interface's dispatch view may show the result as the function's
// own type or as its [retval] parameter.
VARTYPE DeclaredResult(ITypeInfo* info, const FUNCDESC& function) {
  if (function.invkind & (INVOKE_PROPERTYPUT | INVOKE_PROPERTYPUTREF)) return VT_EMPTY;
  const TYPEDESC& own = function.elemdescFunc.tdesc;
  if (own.vt != VT_HRESULT && own.vt != VT_VOID) return VariantTypeOf(info, own);
  for (SHORT i = 0; i < function.cParams; ++i) {
    const ELEMDESC& parameter = function.lprgelemdescParam[i];
    if (parameter.paramdesc.wParamFlags & PARAMFLAG_FRETVAL) {
      return VariantTypeOf(info, WithoutPointer(parameter.tdesc));
    }
  }
  return VT_EMPTY;
}

MemberDescription Describe(ITypeInfo* info, const FUNCDESC& function) {
  MemberDescription member{function.memid, L"", function.invkind, {}, {},
                           DeclaredResult(info, function)};
  formsrt::Bstr name;
  info->GetDocumentation(function.memid, name.Put(), nullptr, nullptr, nullptr);
  member.name = name.Str();
  for (SHORT i = 0; i < function.cParams; ++i) {
    const ELEMDESC& parameter = function.lprgelemdescParam[i];
    if (parameter.paramdesc.wParamFlags & (PARAMFLAG_FRETVAL | PARAMFLAG_FLCID)) continue;
    member.plausibleArguments.push_back(PlausibleValue(info, WithoutPointer(parameter.tdesc)));
    member.byReference.push_back(parameter.tdesc.vt == VT_PTR);
  }
  return member;
}

}  // namespace

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

bool IsDeclaredResult(VARTYPE declared, VARTYPE returned) {
  if (declared == VT_VARIANT) return true;
  if (declared == VT_DISPATCH) return returned == VT_DISPATCH || returned == VT_UNKNOWN;
  return declared == returned;
}

}  // namespace hardening
