#include "TestDoubles.h"

#include <gtest/gtest.h>

#include "ErrorNumber.h"
#include "com/LateBound.h"
#include "core/Bstr.h"

namespace quennet_test {

STDMETHODIMP FakePropertyBag::Read(LPCOLESTR name, VARIANT* value, IErrorLog*) {
  const formsrt::Variant* found = Find(name);
  if (!found) return E_INVALIDARG;
  return ::VariantCopy(value, const_cast<VARIANT*>(&found->Get()));
}

STDMETHODIMP FakePropertyBag::Write(LPCOLESTR name, VARIANT* value) {
  entries.emplace_back(name, formsrt::Variant(*value));
  return S_OK;
}

const formsrt::Variant* FakePropertyBag::Find(const wchar_t* name) const {
  for (const auto& entry : entries) {
    if (entry.first == name) return &entry.second;
  }
  return nullptr;
}

std::vector<std::wstring> FakePropertyBag::Keys() const {
  std::vector<std::wstring> keys;
  for (const auto& entry : entries) keys.push_back(entry.first);
  return keys;
}

STDMETHODIMP FakeErrorLog::AddError(LPCOLESTR name, EXCEPINFO* info) {
  errors.emplace_back(name, info ? info->scode : S_OK);
  return S_OK;
}

STDMETHODIMP EventSink::Invoke(DISPID id, REFIID, LCID, WORD, DISPPARAMS* params, VARIANT*,
                               EXCEPINFO*, UINT*) {
  bool byReference = params->cArgs == 1 && V_VT(&params->rgvarg[0]) == (VT_BYREF | VT_BOOL);
  events.push_back({id, byReference ? *V_BOOLREF(&params->rgvarg[0]) : VARIANT_BOOL{1}});
  if (byReference && onEvent) onEvent(id, *V_BOOLREF(&params->rgvarg[0]));
  return S_OK;
}

std::vector<ShownBox> Shown(const std::vector<testing_support::AskedMessageBox>& boxes) {
  std::vector<ShownBox> shown;
  for (const auto& box : boxes) shown.push_back({box.text, box.caption, box.style});
  return shown;
}

long ErrorNumberOfCall(IDispatch* control, const wchar_t* member, std::vector<VARIANT> arguments) {
  return testing_support::ErrorNumberOf([&] {
    formsrt::InvokeMember(control, formsrt::LookupMember(control, member), DISPATCH_METHOD,
                          arguments);
  });
}

long ErrorNumberWithObjects(IDispatch* control, const wchar_t* member,
                            std::vector<IDispatch*> objects) {
  std::vector<formsrt::Variant> values;
  for (IDispatch* object : objects) values.push_back(formsrt::Variant::FromDispatch(object));
  std::vector<VARIANT> arguments;
  for (formsrt::Variant& value : values) arguments.push_back(ByReference(value));
  return ErrorNumberOfCall(control, member, arguments);
}

void PrintTo(const ShownBox& box, std::ostream* out) {
  *out << ::testing::PrintToString(box.text) << " / " << ::testing::PrintToString(box.caption)
       << " / style " << box.style;
}

}  // namespace quennet_test
