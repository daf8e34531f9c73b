// A control's saved properties in memory: named values in the order they
// were first written. It is what a stream holds (PropertyStream.h) and what
// a form keeps of a control's design-time properties; PropertyValuesBag
// offers it as an IPropertyBag. Names match ignoring case, character by
// character and the same under every locale, as the persistence format of
// forms matches them.
#pragma once

#include <windows.h>

#include <initializer_list>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "core/Variant.h"

namespace formsrt {

class PropertyValues {
 public:
  using Entry = std::pair<std::wstring, Variant>;

  PropertyValues() = default;
  PropertyValues(std::initializer_list<Entry> entries) : entries_(entries) {}
  // Kept as they are, a name given twice included: Find gives the first.
  explicit PropertyValues(std::vector<Entry> entries) : entries_(std::move(entries)) {}

  // The value of the first entry of that name, or null.
  const Variant* Find(std::wstring_view name) const;
  // Replaces the value of the first entry of that name, or adds an entry at the end.
  void Set(std::wstring_view name, Variant value);

  const std::vector<Entry>& Entries() const { return entries_; }

 private:
  std::vector<Entry> entries_;
};

}  // namespace formsrt
