// What a control's ReadProperties and WriteProperties handlers get: a
// property bag (the container's, or one over the values of a stream), read
// and written by the control's declared properties, each with its default.
#pragma once

#include <windows.h>
#include <ocidl.h>

#include <string>
#include <string_view>

#include "com/ComPtr.h"
#include "core/Variant.h"
#include "control/PersistedProperty.h"

namespace formsrt {

class PropertyBag {
 public:
  // `source` names the control in what goes to the error log. A bag that
  // is not asked to save everything leaves out a value equal to its
  // default, which reading a missing key gives back.
  PropertyBag(IPropertyBag* bag, IErrorLog* errorLog, const wchar_t* source, bool saveAll = true)
      : bag_(bag), errorLog_(errorLog), source_(source), saveAll_(saveAll) {}

  // The stored value converted to the property's type. A missing key gives
  // the default; so does a value that cannot be converted, which is
  // reported to the error log if there is one (loading goes on with the
  // other properties).
  VARIANT_BOOL Read(const PersistedProperty<VARIANT_BOOL>& property);
  LONG Read(const PersistedProperty<LONG>& property);
  std::wstring Read(const PersistedProperty<std::wstring_view>& property);

  void Write(const PersistedProperty<VARIANT_BOOL>& property, VARIANT_BOOL value);
  void Write(const PersistedProperty<LONG>& property, LONG value);
  void Write(const PersistedProperty<std::wstring_view>& property, std::wstring_view value);

 private:
  Variant ReadValue(const wchar_t* key, VARTYPE type, const Variant& defaultValue);
  void WriteValue(const wchar_t* key, const Variant& value, const Variant& defaultValue);
  void ReportUnreadable(const wchar_t* key, HRESULT why);

  ComPtr<IPropertyBag> bag_;
  ComPtr<IErrorLog> errorLog_;
  const wchar_t* source_;
  bool saveAll_;
};

}  // namespace formsrt
