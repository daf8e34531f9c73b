// Late-bound calls on an outside automation object (the runtime's test
// server), and the runtime error numbers their failures become.
#include <gtest/gtest.h>

#include "FormsrtTest.h"
#include "com/LateBound.h"
#include "core/RuntimeError.h"

using namespace formsrt;

namespace {

class LateBoundTest : public ::testing::Test {
 protected:
  void SetUp() override {
    ASSERT_EQ(S_OK, ::CoCreateInstance(CLSID_Calculator, nullptr, CLSCTX_INPROC_SERVER,
                                       IID_IDispatch, object_.PutVoid()));
  }

  template <class Body>
  static RuntimeError CaughtError(Body&& body) {
    try {
      body();
    } catch (const RuntimeError& e) {
      return e;
    }
    return RuntimeError(0, L"nothing raised");
  }

  ComPtr<IDispatch> object_;
};

HRESULT STDAPICALLTYPE FillInLate(EXCEPINFO* info) {
  info->bstrDescription = ::SysAllocString(L"Too big");
  return S_OK;
}

}  // namespace

TEST_F(LateBoundTest, PropertiesAndMethodsByNameAndByDispid) {
  PutProperty(object_.Get(), L"Name", Variant::FromText(L"grid").Get());
  Variant name = GetProperty(object_.Get(), L"name");
  ASSERT_EQ(VT_BSTR, name.Type());
  EXPECT_STREQ(L"grid", V_BSTR(&name.Get()));

  Variant sum = CallMethod(object_.Get(), 1, {Variant::FromInt32(40).Get(), Variant::FromInt32(2).Get()});
  EXPECT_EQ(42, V_I4(&sum.Get()));
}

TEST_F(LateBoundTest, ByReferenceArgumentsLetTheCalleeWrite) {
  LONG value = 5;
  VARIANT reference;
  V_VT(&reference) = VT_BYREF | VT_I4;
  V_I4REF(&reference) = &value;
  Variant previous = CallMethod(object_.Get(), L"Twice", {reference});
  EXPECT_EQ(5, V_I4(&previous.Get()));
  EXPECT_EQ(10, value);
}

TEST_F(LateBoundTest, OmittedArgumentsArriveAsParamNotFound) {
  Variant omitted = CallMethod(object_.Get(), L"HasExtra", {Variant::Omitted().Get()});
  EXPECT_EQ(VARIANT_FALSE, V_BOOL(&omitted.Get()));
  Variant given = CallMethod(object_.Get(), L"HasExtra", {Variant::FromInt32(0).Get()});
  EXPECT_EQ(VARIANT_TRUE, V_BOOL(&given.Get()));
}

// Every way a VARIANT can hold an object, directly or by reference, gives
// the object's IDispatch; a null one is 91, anything else 424, an object
// without IDispatch 438.
TEST_F(LateBoundTest, AnObjectIsFoundInEveryHolderAndItsAbsenceIsNumbered) {
  ComPtr<IStream> noDispatch;
  ASSERT_EQ(S_OK, ::CreateStreamOnHGlobal(nullptr, TRUE, noDispatch.Put()));
  IDispatch* dispatch = object_.Get();
  IDispatch* nullDispatch = nullptr;
  IUnknown* unknown = object_.Get();
  IUnknown* nullUnknown = nullptr;
  Variant held = Variant::FromDispatch(dispatch);
  struct Case {
    VARTYPE type;
    void* pointer;  // every one of these types keeps its pointer where V_BYREF does
    long error;     // 0: the object is found
  };
  const Case cases[] = {
      {VT_DISPATCH, dispatch, 0},
      {VT_DISPATCH, nullptr, error::ObjectNotSet},
      {VT_BYREF | VT_DISPATCH, &dispatch, 0},
      {VT_BYREF | VT_DISPATCH, &nullDispatch, error::ObjectNotSet},
      {VT_BYREF | VT_DISPATCH, nullptr, error::ObjectNotSet},
      {VT_UNKNOWN, unknown, 0},
      {VT_UNKNOWN, nullptr, error::ObjectNotSet},
      {VT_UNKNOWN, noDispatch.Get(), error::MemberNotSupported},
      {VT_BYREF | VT_UNKNOWN, &unknown, 0},
      {VT_BYREF | VT_UNKNOWN, &nullUnknown, error::ObjectNotSet},
      {VT_BYREF | VT_UNKNOWN, nullptr, error::ObjectNotSet},
      {VT_BYREF | VT_VARIANT, held.Raw(), 0},
      {VT_BYREF | VT_VARIANT, nullptr, error::ObjectRequired},
      {VT_EMPTY, nullptr, error::ObjectRequired},
      {VT_I4, nullptr, error::ObjectRequired},
  };
  for (const Case& c : cases) {
    VARIANT holder{};
    V_VT(&holder) = c.type;
    V_BYREF(&holder) = c.pointer;
    if (c.error == 0) {
      EXPECT_EQ(dispatch, RequireObject(holder).Get()) << (&c - cases);
    } else {
      EXPECT_EQ(c.error, CaughtError([&] { RequireObject(holder); }).Number()) << (&c - cases);
    }
  }
}

// What a failed Invoke returns, and what its EXCEPINFO says, as the runtime
// numbers them; an outside object's own code is passed on as it is.
TEST_F(LateBoundTest, InvokeFailuresBecomeTheRuntimesNumbers) {
  const std::pair<HRESULT, long> codes[] = {
      {DISP_E_MEMBERNOTFOUND, error::MemberNotSupported}, {DISP_E_UNKNOWNNAME, error::MemberNotSupported},
      {E_NOINTERFACE, error::MemberNotSupported},         {E_NOTIMPL, error::MemberNotSupported},
      {DISP_E_TYPEMISMATCH, error::TypeMismatch},          {DISP_E_OVERFLOW, error::Overflow},
      {DISP_E_BADPARAMCOUNT, error::WrongArgumentCount},   {DISP_E_PARAMNOTOPTIONAL, error::ArgumentNotOptional},
      {DISP_E_BADINDEX, error::SubscriptOutOfRange},       {E_OUTOFMEMORY, error::OutOfMemory},
      {E_INVALIDARG, error::InvalidProcedureCall},         {HresultFromErrorNumber(53), error::FileNotFound},
  };
  for (const auto& [hr, number] : codes) {
    EXCEPINFO info{};
    RuntimeError raised = CaughtError([&] { RaiseInvokeFailure(hr, info); });
    EXPECT_EQ(number, raised.Number()) << std::hex << hr;
    EXPECT_EQ(StandardErrorText(number), raised.Description()) << std::hex << hr;
  }
  EXCEPINFO info{};
  RuntimeError own = CaughtError([&] { RaiseInvokeFailure(STG_E_WRITEFAULT, info); });
  EXPECT_EQ(STG_E_WRITEFAULT, own.Number());
  EXPECT_EQ(L"Automation error", own.Description());

  // An exception described by its wCode alone, its text filled in late.
  info.wCode = error::Overflow;
  info.pfnDeferredFillIn = FillInLate;
  RuntimeError described = CaughtError([&] { RaiseInvokeFailure(DISP_E_EXCEPTION, info); });
  EXPECT_EQ(error::Overflow, described.Number());
  EXPECT_EQ(L"Too big", described.Description());
  ::SysFreeString(info.bstrDescription);
  // With an empty description, the standard text of its code.
  EXCEPINFO empty{};
  empty.scode = DISP_E_BADINDEX;
  empty.bstrDescription = ::SysAllocString(L"");
  RuntimeError standard = CaughtError([&] { RaiseInvokeFailure(DISP_E_EXCEPTION, empty); });
  EXPECT_EQ(error::SubscriptOutOfRange, standard.Number());
  EXPECT_EQ(L"Subscript out of range", standard.Description());
  ::SysFreeString(empty.bstrDescription);
}

TEST_F(LateBoundTest, FailuresBecomeTheRuntimesErrorNumbers) {

  EXPECT_EQ(error::MemberNotSupported,
            CaughtError([&] { GetProperty(object_.Get(), L"NoSuchMember"); }).Number());
  EXPECT_EQ(error::MemberNotSupported,
            CaughtError([&] { CallMethod(object_.Get(), 999); }).Number());

  RuntimeError raised =
      CaughtError([&] { CallMethod(object_.Get(), L"RaiseError", {Variant::FromInt32(53).Get()}); });
  EXPECT_EQ(error::FileNotFound, raised.Number());
  EXPECT_EQ(L"File not found", raised.Description());

  EXPECT_EQ(error::TypeMismatch, CaughtError([&] {
              CallMethod(object_.Get(), L"Add",
                         {Variant::FromText(L"x").Get(), Variant::FromInt32(1).Get()});
            }).Number());
}
