// The test server's one class.
#include <limits>
#include <new>
#include <utility>

#include "FormsrtTest.h"
#include "core/Bstr.h"
#include "com/ComBoundary.h"
#include "com/ComObject.h"
#include "com/ServerRegistration.h"
#include "core/RuntimeError.h"
#include "com/TypeInformation.h"
#include "com/TypeLibDispatch.h"

namespace {

using namespace formsrt;

constexpr const wchar_t* kTitle = L"FormsrtTest";

class Calculator : public DispatchImpl<ICalculator>, public ISupportErrorInfo, private ComObjectBase {
 public:
  Calculator() : DispatchImpl(ModuleTypeInfo(IID_ICalculator)) {}

  STDMETHODIMP QueryInterface(REFIID iid, void** out) override {
    return QueryObject<Offer<ICalculator, IDispatch>, ISupportErrorInfo>(this, iid, out);
  }
  STDMETHODIMP_(ULONG) AddRef() override { return AddRefImpl(); }
  STDMETHODIMP_(ULONG) Release() override { return ReleaseImpl(); }

  STDMETHODIMP InterfaceSupportsErrorInfo(REFIID iid) override {
    return iid == IID_ICalculator ? S_OK : S_FALSE;
  }

  STDMETHODIMP Add(LONG a, LONG b, LONG* sum) override {
    return Guard([&] {
      long long total = static_cast<long long>(a) + b;
      if (total > std::numeric_limits<LONG>::max() || total < std::numeric_limits<LONG>::min()) {
        Raise(error::Overflow);
      }
      *sum = static_cast<LONG>(total);
    });
  }

  STDMETHODIMP Twice(LONG* value, LONG* previous) override {
    return Guard([&] {
      *previous = *value;
      *value *= 2;
    });
  }

  // Writes the whole DECIMAL, as a member does.
  STDMETHODIMP TwiceDecimal(DECIMAL* value) override {
    return Guard([&] {
      DECIMAL doubled{};
      ThrowIfFailed(::VarDecAdd(value, value, &doubled));
      *value = doubled;
    });
  }

  STDMETHODIMP Swap(LONG* a, LONG* b) override {
    return Guard([&] { std::swap(*a, *b); });
  }

  STDMETHODIMP Peek(LONG* value, LONG* seen) override {
    return Guard([&] { *seen = *value; });
  }

  STDMETHODIMP RaiseError(LONG number) override {
    return Guard([&] { Raise(number); });
  }

  STDMETHODIMP get_Name(BSTR* name) override {
    return Guard([&] { *name = Bstr(name_.View()).Detach(); });
  }

  STDMETHODIMP put_Name(BSTR name) override {
    return Guard([&] { name_ = Bstr::Copy(name); });
  }

  STDMETHODIMP Exhaust() override {
    return Guard([] { throw std::bad_alloc(); });
  }

  STDMETHODIMP HasExtra(VARIANT extra, VARIANT_BOOL* given) override {
    return Guard([&] {
      bool omitted = V_VT(&extra) == VT_ERROR && V_ERROR(&extra) == DISP_E_PARAMNOTFOUND;
      *given = omitted ? VARIANT_FALSE : VARIANT_TRUE;
    });
  }

 private:
  template <class Body>
  HRESULT Guard(Body&& body) {
    return ComBoundary(kTitle, IID_ICalculator, std::forward<Body>(body));
  }

  Bstr name_;
};

HRESULT CreateCalculator(REFIID iid, void** object) {
  return CreateAndQuery<Calculator>(iid, object);
}

const CoClassRegistration kClasses[] = {
    {CLSID_Calculator, L"FormsrtTest.Calculator", L"Calculator", CreateCalculator, nullptr},
};

}  // namespace

namespace formsrt {

const ServerRegistration& ThisServer() {
  static const ServerRegistration server{LIBID_FormsrtTest, 1, 0, kTitle, kClasses, 1};
  return server;
}

}  // namespace formsrt
