#include "RandomPropertyBag.h"

#include <limits>
#include <string>

#include "com/QueryObject.h"

namespace hardening {

STDMETHODIMP RandomPropertyBag::QueryInterface(REFIID iid, void** out) {
  return formsrt::QueryObject<IPropertyBag>(this, iid, out);
}

STDMETHODIMP RandomPropertyBag::Read(LPCOLESTR name, VARIANT* value, IErrorLog*) {
  if (!name || !value) return E_POINTER;
  switch (std::uniform_int_distribution<int>(0, 19)(random_)) {
    case 0:
    case 1:
    case 2:
      return E_INVALIDARG;  // not in the bag
    case 3:
      return E_FAIL;
    case 4:
      return E_OUTOFMEMORY;
    case 5:
      return S_OK;  // success, and the variant left as the caller gave it
    default:
      break;
  }
  ::VariantClear(value);
  RandomValue(value);
  return S_OK;
}

STDMETHODIMP RandomPropertyBag::Write(LPCOLESTR name, VARIANT* value) {
  if (!name || !value) return E_POINTER;
  VARIANT copy;
  ::VariantInit(&copy);
  HRESULT hr = ::VariantCopy(&copy, value);  // a written value must be a whole VARIANT
  ::VariantClear(&copy);
  return hr;
}

std::wstring RandomPropertyBag::RandomText() {
  static const size_t kLengths[] = {0, 1, 7, 63, 64, 255, 256, 1000, 100000};
  size_t length = kLengths[std::uniform_int_distribution<size_t>(0, 8)(random_)];
  std::wstring text(length, L'\0');
  std::uniform_int_distribution<int> character(0, 0xFFFF);
  for (wchar_t& c : text) c = static_cast<wchar_t>(character(random_));
  return text;
}

void RandomPropertyBag::RandomValue(VARIANT* value) {
  std::uniform_int_distribution<LONG> number(std::numeric_limits<LONG>::min(),
                                             std::numeric_limits<LONG>::max());
  static const double kDoubles[] = {0.0,
                                    -1.0,
                                    1e308,
                                    -1e308,
                                    32767.5,
                                    4.9e-324,
                                    std::numeric_limits<double>::infinity(),
                                    std::numeric_limits<double>::quiet_NaN()};
  switch (std::uniform_int_distribution<int>(0, 15)(random_)) {
    case 0:
      V_VT(value) = VT_EMPTY;
      break;
    case 1:
      V_VT(value) = VT_NULL;
      break;
    case 2:
      V_VT(value) = VT_I2;
      V_I2(value) = static_cast<SHORT>(number(random_));
      break;
    case 3:
      V_VT(value) = VT_I4;
      V_I4(value) = number(random_);
      break;
    case 4:
      V_VT(value) = VT_R8;
      V_R8(value) = kDoubles[std::uniform_int_distribution<size_t>(0, 7)(random_)];
      break;
    case 5:
      V_VT(value) = VT_BOOL;
      V_BOOL(value) = static_cast<SHORT>(number(random_));
      break;
    case 6:
    case 7: {
      std::wstring text = RandomText();
      V_VT(value) = VT_BSTR;
      V_BSTR(value) = ::SysAllocStringLen(text.data(), static_cast<UINT>(text.size()));
      break;
    }
    case 8:
      V_VT(value) = VT_BSTR;
      V_BSTR(value) = nullptr;
      break;
    case 9:
      V_VT(value) = VT_DISPATCH;
      V_DISPATCH(value) = nullptr;
      break;
    case 10:
      V_VT(value) = VT_DISPATCH;
      V_DISPATCH(value) = unrelated_;
      unrelated_->AddRef();
      break;
    case 11:
      V_VT(value) = VT_ARRAY | VT_VARIANT;
      V_ARRAY(value) = ::SafeArrayCreateVector(VT_VARIANT, 0, 2);
      if (!V_ARRAY(value)) V_VT(value) = VT_EMPTY;
      break;
    case 12:
      V_VT(value) = VT_ERROR;
      V_ERROR(value) = DISP_E_PARAMNOTFOUND;
      break;
    case 13:
      V_VT(value) = VT_DATE;
      V_DATE(value) = kDoubles[std::uniform_int_distribution<size_t>(0, 7)(random_)];
      break;
    case 14:
      V_VT(value) = VT_CY;
      V_CY(value).int64 = static_cast<LONGLONG>(number(random_)) << 31;
      break;
    default:
      V_VT(value) = VT_UI8;
      V_UI8(value) = ~0ull;
      break;
  }
}

STDMETHODIMP CountingErrorLog::QueryInterface(REFIID iid, void** out) {
  return formsrt::QueryObject<IErrorLog>(this, iid, out);
}

STDMETHODIMP CountingErrorLog::AddError(LPCOLESTR name, EXCEPINFO* info) {
  ++errors;
  if (!name || !info || !info->bstrDescription || !*info->bstrDescription) ++undescribed;
  return S_OK;
}

}  // namespace hardening
