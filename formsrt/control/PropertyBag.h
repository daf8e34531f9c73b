// What a control's ReadProperties and WriteProperties handlers get: the
// container's property bag, read and written by key, each with a default.
#pragma once

#include <windows.h>
#include <ocidl.h>

#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "com/ComPtr.h"
#include "com/Variant.h"

namespace formsrt {

class PropertyBag {
 public:
  virtual ~PropertyBag() = default;

  // The stored value converted to `type`. A missing key gives the default; so
  // does a value that cannot be converted, which is reported to the
  // container's error log (loading goes on with the other properties).
  Variant Read(const wchar_t* key, VARTYPE type, const Variant& defaultValue);
  VARIANT_BOOL ReadBoolean(const wchar_t* key, VARIANT_BOOL defaultValue);
  std::wstring ReadText(const wchar_t* key, std::wstring_view defaultValue);

  // Stores the value; a bag that is not asked to save everything leaves out
  // a value equal to its default, which reading a missing key gives back.
  void Write(const wchar_t* key, const Variant& value, const Variant& defaultValue);
  void WriteBoolean(const wchar_t* key, VARIANT_BOOL value, VARIANT_BOOL defaultValue);
  void WriteText(const wchar_t* key, std::wstring_view value, std::wstring_view defaultValue);

 protected:
  explicit PropertyBag(bool saveAll) : saveAll_(saveAll) {}

  // Fills value and returns S_OK, or returns E_INVALIDARG for a missing key,
  // or another failure for a value the bag cannot give.
  virtual HRESULT Lookup(const wchar_t* key, Variant& value) = 0;
  virtual void Store(const wchar_t* key, const Variant& value) = 0;
  virtual void ReportUnreadable(const wchar_t* key, HRESULT why) = 0;

 private:
  bool saveAll_;
};

// The container's own bag (IPersistPropertyBag), with its error log if any.
class ContainerPropertyBag final : public PropertyBag {
 public:
  ContainerPropertyBag(IPropertyBag* bag, IErrorLog* errorLog, const wchar_t* source,
                       bool saveAll = true)
      : PropertyBag(saveAll), bag_(bag), errorLog_(errorLog), source_(source) {}

 protected:
  HRESULT Lookup(const wchar_t* key, Variant& value) override;
  void Store(const wchar_t* key, const Variant& value) override;
  void ReportUnreadable(const wchar_t* key, HRESULT why) override;

 private:
  ComPtr<IPropertyBag> bag_;
  ComPtr<IErrorLog> errorLog_;
  const wchar_t* source_;
};

// Properties held in memory, in the order written: what a stream holds.
class StoredProperties final : public PropertyBag {
 public:
  using Entry = std::pair<std::wstring, Variant>;

  StoredProperties() : PropertyBag(true) {}
  explicit StoredProperties(std::vector<Entry> entries)
      : PropertyBag(true), entries_(std::move(entries)) {}

  const std::vector<Entry>& Entries() const { return entries_; }

 protected:
  HRESULT Lookup(const wchar_t* key, Variant& value) override;
  void Store(const wchar_t* key, const Variant& value) override;
  // A stream has no error log: the property simply keeps its default.
  void ReportUnreadable(const wchar_t*, HRESULT) override {}

 private:
  std::vector<Entry> entries_;
};

}  // namespace formsrt
