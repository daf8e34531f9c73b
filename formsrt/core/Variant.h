// An owning VARIANT: cleared on destruction, deep-copied on copy.
#pragma once

#include <windows.h>
#include <oleauto.h>

#include <string_view>

namespace formsrt {

class Variant {
 public:
  Variant() { ::VariantInit(&v_); }
  Variant(const Variant& other);
  Variant(Variant&& other) noexcept;
  explicit Variant(const VARIANT& borrowed);
  ~Variant() { ::VariantClear(&v_); }
  Variant& operator=(Variant other) noexcept;

  static Variant FromInt16(SHORT value);
  static Variant FromInt32(LONG value);
  static Variant FromDouble(double value);
  static Variant FromBool(bool value);
  static Variant FromText(std::wstring_view text);
  static Variant FromDispatch(IDispatch* borrowed);
  // An optional argument left out: VT_ERROR holding DISP_E_PARAMNOTFOUND.
  static Variant Omitted();

  VARTYPE Type() const { return V_VT(&v_); }
  const VARIANT& Get() const { return v_; }
  VARIANT* Put();  // cleared, for an out parameter
  VARIANT* Raw() { return &v_; }
  // Hands the value to an out parameter; this Variant is left empty.
  void MoveTo(VARIANT* out);

 private:
  VARIANT v_;
};

}  // namespace formsrt
