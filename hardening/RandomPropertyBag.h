// A container's property bag that answers every read from a seeded
// generator: missing, failing, or any kind of value (numbers out of range,
// huge and odd texts, objects, arrays, Null). Also an error log that counts.
// Both live on the caller's stack and count the references taken on them.
#pragma once

#include <ocidl.h>
#include <windows.h>

#include <random>

#include "BadValues.h"

namespace hardening {

class RandomPropertyBag : public IPropertyBag {
 public:
  RandomPropertyBag(std::mt19937& random, IDispatch* unrelated)
      : random_(random), unrelated_(unrelated) {}

  STDMETHODIMP QueryInterface(REFIID iid, void** out) override;
  STDMETHODIMP_(ULONG) AddRef() override { return ++references; }
  STDMETHODIMP_(ULONG) Release() override { return --references; }
  STDMETHODIMP Read(LPCOLESTR name, VARIANT* value, IErrorLog* log) override;
  STDMETHODIMP Write(LPCOLESTR name, VARIANT* value) override;

  ULONG references = 1;

 private:
  void RandomValue(VARIANT* value);
  std::wstring RandomText();

  std::mt19937& random_;
  IDispatch* unrelated_;
};

class CountingErrorLog : public IErrorLog {
 public:
  STDMETHODIMP QueryInterface(REFIID iid, void** out) override;
  STDMETHODIMP_(ULONG) AddRef() override { return ++references; }
  STDMETHODIMP_(ULONG) Release() override { return --references; }
  STDMETHODIMP AddError(LPCOLESTR name, EXCEPINFO* info) override;

  ULONG references = 1;
  size_t errors = 0;
  size_t undescribed = 0;  // errors without a name or a description
};

}  // namespace hardening
