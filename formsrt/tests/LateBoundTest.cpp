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

TEST_F(LateBoundTest, FailuresBecomeTheRuntimesErrorNumbers) {
  EXPECT_EQ(error::ObjectRequired, CaughtError([] { RequireObject(Variant().Get()); }).Number());
  EXPECT_EQ(error::ObjectRequired,
            CaughtError([] { RequireObject(Variant::FromInt32(3).Get()); }).Number());
  EXPECT_EQ(error::ObjectNotSet,
            CaughtError([] { RequireObject(Variant::FromDispatch(nullptr).Get()); }).Number());

  Variant holder = Variant::FromDispatch(object_.Get());
  VARIANT reference;
  V_VT(&reference) = VT_BYREF | VT_VARIANT;
  V_VARIANTREF(&reference) = holder.Raw();
  EXPECT_EQ(object_.Get(), RequireObject(reference).Get());

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
