#include "CallLog.h"

namespace standins {

CallLog* CallLog::active_ = nullptr;

CallLog::CallLog() { active_ = this; }

CallLog::~CallLog() { active_ = nullptr; }

void CallLog::RecordGet(const wchar_t* member) {
  if (active_) active_->calls_.push_back(member);
}

void CallLog::RecordMethod(const wchar_t* member, std::initializer_list<VARIANT> arguments) {
  if (active_) active_->calls_.push_back(member + (L"(" + Listed(arguments) + L")"));
}

void CallLog::RecordPut(const wchar_t* member, std::initializer_list<VARIANT> indexes,
                        const VARIANT& value) {
  if (!active_) return;
  std::wstring indexed(member);
  if (indexes.size() != 0) indexed += L"(" + Listed(indexes) + L")";
  active_->calls_.push_back(indexed + L" = " + Described(value));
}

// DISPPARAMS holds the arguments last to first, a put's value (the one
// named argument) first of all.
void CallLog::RecordInvoke(const std::wstring& member, WORD flags, const DISPPARAMS& params) {
  if (!active_) return;
  bool isPut = flags & (DISPATCH_PROPERTYPUT | DISPATCH_PROPERTYPUTREF);
  UINT named = params.cNamedArgs;
  std::vector<VARIANT> positional(params.rgvarg + named, params.rgvarg + params.cArgs);
  std::vector<VARIANT> inOrder(positional.rbegin(), positional.rend());
  std::wstring call = member;
  bool isMethod = (flags & DISPATCH_METHOD) && !isPut;
  if (!inOrder.empty() || isMethod) call += L"(" + Listed(inOrder) + L")";
  if (isPut && named == 1) call += L" = " + Described(params.rgvarg[0]);
  active_->calls_.push_back(call);
}

std::wstring CallLog::Listed(const std::vector<VARIANT>& arguments) {
  std::wstring listed;
  for (const VARIANT& argument : arguments) {
    if (!listed.empty()) listed += L", ";
    listed += Described(argument);
  }
  return listed;
}

std::wstring CallLog::Described(const VARIANT& value) {
  bool byReference = V_VT(&value) & VT_BYREF;
  if (V_VT(&value) == (VT_BYREF | VT_VARIANT)) return L"Variant& " + Described(*V_VARIANTREF(&value));
  std::wstring reference = byReference ? L"& " : L" ";
  switch (V_VT(&value) & ~VT_BYREF) {
    case VT_I2:
      return L"Integer" + reference + std::to_wstring(byReference ? *V_I2REF(&value) : V_I2(&value));
    case VT_I4:
      return L"Long" + reference + std::to_wstring(byReference ? *V_I4REF(&value) : V_I4(&value));
    case VT_BOOL: {
      VARIANT_BOOL flag = byReference ? *V_BOOLREF(&value) : V_BOOL(&value);
      return L"Boolean" + reference + (flag ? L"True" : L"False");
    }
    case VT_BSTR: {
      BSTR text = byReference ? *V_BSTRREF(&value) : V_BSTR(&value);
      if (!text) return L"String" + reference + L"null";
      return L"String" + reference + L"\"" + std::wstring(text, ::SysStringLen(text)) + L"\"";
    }
    case VT_ERROR:
      if (V_ERROR(&value) == DISP_E_PARAMNOTFOUND) return L"omitted";
      break;
    default:
      break;
  }
  return L"(type " + std::to_wstring(V_VT(&value)) + L")";
}

VARIANT TextArgument(BSTR text) {
  VARIANT argument;
  V_VT(&argument) = VT_BSTR;
  V_BSTR(&argument) = text;
  return argument;
}

}  // namespace standins
