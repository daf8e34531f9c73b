#include "control/PropertyValues.h"

#include "core/Conversions.h"

namespace formsrt {

const Variant* PropertyValues::Find(std::wstring_view name) const {
  for (const Entry& entry : entries_) {
    if (EqualsOrdinalIgnoringCase(entry.first, name)) return &entry.second;
  }
  return nullptr;
}

void PropertyValues::Set(std::wstring_view name, Variant value) {
  for (Entry& entry : entries_) {
    if (EqualsOrdinalIgnoringCase(entry.first, name)) {
      entry.second = std::move(value);
      return;
    }
  }
  entries_.emplace_back(std::wstring(name), std::move(value));
}

}  // namespace formsrt
