// The arguments of one IDispatch::Invoke call, in the order a caller writes
// them. Holds every value and every by-reference target until the call is
// over, then frees whatever the member left in them.
#pragma once

#include <oaidl.h>
#include <windows.h>

#include <deque>
#include <optional>
#include <vector>

#include "BadValues.h"
#include "core/Variant.h"

namespace hardening {

class ArgumentList {
 public:
  ArgumentList() = default;
  ArgumentList(const ArgumentList&) = delete;
  ArgumentList& operator=(const ArgumentList&) = delete;

  // Adds a positional argument, or a named one when `name` is given.
  void Add(formsrt::Variant value, Passing passing, std::optional<DISPID> name = std::nullopt);

  // The DISPPARAMS of the call; valid while the list lives and is unchanged.
  DISPPARAMS* Params();

 private:
  struct Entry {
    VARIANTARG argument;
    std::optional<DISPID> name;
  };

  std::deque<formsrt::Variant> held_;
  std::vector<Entry> entries_;
  std::vector<VARIANTARG> arguments_;
  std::vector<DISPID> names_;
  DISPPARAMS params_{};
};

}  // namespace hardening
