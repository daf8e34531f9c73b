// The late-bound calls of SoakedClass.h.
#include <utility>

#include "ByReference.h"
#include "SoakedClass.h"
#include "com/LateBound.h"

namespace soak {

namespace {

using formsrt::Variant;

Variant Invoke(IDispatch* object, const wchar_t* name, WORD flags,
               const std::vector<Variant>& arguments, Passing passing) {
  std::vector<Variant> variables(arguments);
  std::vector<VARIANT> passed(variables.size());
  for (size_t i = 0; i < variables.size(); ++i) {
    VARIANT& variable = *variables[i].Raw();
    switch (passing) {
      case Passing::Variable:
        passed[i] = testing_support::ByReference(VT_VARIANT, &variable);
        break;
      case Passing::TypedReference:
        passed[i] = testing_support::ByReference(V_VT(&variable), &V_I4(&variable));  // the value union starts at one address
        break;
      case Passing::Value:
        passed[i] = variable;  // borrowed: `variables` owns it
        break;
    }
  }
  return formsrt::InvokeMember(object, formsrt::LookupMember(object, name), flags, passed);
}

}  // namespace

Call Method(const wchar_t* name, std::vector<Variant> arguments, Passing passing) {
  return [name, arguments = std::move(arguments), passing](IDispatch* object) {
    Invoke(object, name, DISPATCH_METHOD | DISPATCH_PROPERTYGET, arguments, passing);
  };
}

Call CheckedMethod(const wchar_t* name, std::vector<Variant> arguments, ResultCheck check) {
  return [name, arguments = std::move(arguments), check = std::move(check)](IDispatch* object) {
    check(Invoke(object, name, DISPATCH_METHOD | DISPATCH_PROPERTYGET, arguments,
                 Passing::Variable));
  };
}

Call Get(const wchar_t* name) { return Method(name, {}, Passing::Value); }

Call Put(const wchar_t* name, std::vector<Variant> arguments, Passing passing) {
  return [name, arguments = std::move(arguments), passing](IDispatch* object) {
    Invoke(object, name, DISPATCH_PROPERTYPUT, arguments, passing);
  };
}

Call Through(const wchar_t* holder, std::vector<Variant> indexes, Call call) {
  return [holder, indexes = std::move(indexes), call = std::move(call)](IDispatch* object) {
    std::vector<VARIANT> passed;
    for (const Variant& index : indexes) passed.push_back(index.Get());
    formsrt::Variant held = formsrt::InvokeMember(object, formsrt::LookupMember(object, holder),
                                                  DISPATCH_METHOD | DISPATCH_PROPERTYGET, passed);
    call(formsrt::RequireObject(held.Get()).Get());
  };
}

Call Each(std::vector<Call> calls) {
  return [calls = std::move(calls)](IDispatch* object) {
    for (const Call& call : calls) call(object);
  };
}

}  // namespace soak
