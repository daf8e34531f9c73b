#include "ArgumentList.h"

#include "ByReference.h"

namespace hardening {

void ArgumentList::Add(formsrt::Variant value, Passing passing, std::optional<DISPID> name) {
  VARTYPE type = value.Type();
  // Empty and Null have no typed reference; they travel in a VARIANT reference.
  if (passing == Passing::ByTypedReference && (type == VT_EMPTY || type == VT_NULL))
    passing = Passing::ByVariantReference;
  VARIANT* target = held_.emplace_back(std::move(value)).Raw();
  VARIANTARG argument;
  switch (passing) {
    case Passing::ByValue:
      argument = *target;  // a shallow copy: the list's copy is the one freed
      break;
    case Passing::ByVariantReference:
      argument = testing_support::ByReference(VT_VARIANT, target);
      break;
    case Passing::ByTypedReference:
      argument = testing_support::ByReference(type, &V_I4(target));  // every member of the union starts here
      break;
  }
  entries_.push_back({argument, name});
}

DISPPARAMS* ArgumentList::Params() {
  arguments_.clear();
  names_.clear();
  // Named arguments come first, then the positional ones from last to first.
  for (const Entry& entry : entries_) {
    if (!entry.name) continue;
    arguments_.push_back(entry.argument);
    names_.push_back(*entry.name);
  }
  for (auto entry = entries_.rbegin(); entry != entries_.rend(); ++entry) {
    if (!entry->name) arguments_.push_back(entry->argument);
  }
  params_.rgvarg = arguments_.empty() ? nullptr : arguments_.data();
  params_.cArgs = static_cast<UINT>(arguments_.size());
  params_.rgdispidNamedArgs = names_.empty() ? nullptr : names_.data();
  params_.cNamedArgs = static_cast<UINT>(names_.size());
  return &params_;
}

}  // namespace hardening
