// The COM core end to end, through the runtime's own test server:
// registration, creation by ProgID, vtable and dispatch calls, script-style
// by-reference arguments and the error model.
#include <gtest/gtest.h>

#include "ByReference.h"
#include "ErrorNumber.h"
#include "FormsrtTest.h"
#include "ProcessRunner.h"
#include "core/Bstr.h"
#include "com/ComObject.h"
#include "com/ComPtr.h"
#include "com/ModuleCounts.h"
#include "com/ServerRegistration.h"
#include "com/RegistryKey.h"
#include "core/RuntimeError.h"
#include "com/TypeInformation.h"
#include "com/TypeLibDispatch.h"
#include "core/Variant.h"

using namespace formsrt;
using testing_support::ByReference;
using testing_support::ComErrorOf;

namespace {

class ServerLibrary {
 public:
  ServerLibrary() : module_(::LoadLibraryW((testing_support::ExecutableFolder() + L"FormsrtTest.dll").c_str())) {}
  ~ServerLibrary() {
    if (module_) ::FreeLibrary(module_);
  }
  ServerLibrary(const ServerLibrary&) = delete;
  ServerLibrary& operator=(const ServerLibrary&) = delete;

  HRESULT Call(const char* entry) const {
    auto function = reinterpret_cast<HRESULT(WINAPI*)()>(reinterpret_cast<void*>(::GetProcAddress(module_, entry)));
    return function ? function() : E_FAIL;
  }
  HRESULT Install(BOOL install, const wchar_t* scope) const {
    auto function = reinterpret_cast<HRESULT(WINAPI*)(BOOL, LPCWSTR)>(
        reinterpret_cast<void*>(::GetProcAddress(module_, "DllInstall")));
    return function ? function(install, scope) : E_FAIL;
  }
  explicit operator bool() const { return module_ != nullptr; }

 private:
  HMODULE module_;
};

std::wstring ClassKeyPath() { return L"CLSID\\" + GuidText(CLSID_Calculator); }

bool TypeLibraryRegistered() {
  ComPtr<ITypeLib> library;
  return SUCCEEDED(::LoadRegTypeLib(LIBID_FormsrtTest, 1, 0, 0, library.Put()));
}

ComPtr<ICalculator> CreateByProgId() {
  CLSID clsid{};
  EXPECT_EQ(S_OK, ::CLSIDFromProgID(L"FormsrtTest.Calculator", &clsid));
  ComPtr<ICalculator> calculator;
  EXPECT_EQ(S_OK, ::CoCreateInstance(clsid, nullptr, CLSCTX_INPROC_SERVER, IID_ICalculator,
                                     calculator.PutVoid()));
  return calculator;
}

struct InvokeOutcome {
  HRESULT hr;
  Variant result;
  EXCEPINFO excepInfo{};
  ~InvokeOutcome() {
    ::SysFreeString(excepInfo.bstrSource);
    ::SysFreeString(excepInfo.bstrDescription);
    ::SysFreeString(excepInfo.bstrHelpFile);
  }
};

// Invokes with the arguments given last to first, as DISPPARAMS holds them.
void Invoke(IDispatch* object, DISPID id, WORD flags, std::vector<VARIANT> reversedArgs,
            InvokeOutcome& outcome) {
  DISPPARAMS params{reversedArgs.data(), nullptr, static_cast<UINT>(reversedArgs.size()), 0};
  UINT argErr = 0;
  outcome.hr = object->Invoke(id, IID_NULL, LOCALE_USER_DEFAULT, flags, &params,
                              outcome.result.Put(), &outcome.excepInfo, &argErr);
}

class ComServerTest : public ::testing::Test {
 protected:
  void SetUp() override {
    ASSERT_TRUE(library_);
    ASSERT_EQ(S_OK, library_.Call("DllRegisterServer"));
  }
  ServerLibrary library_;
};

}  // namespace

TEST_F(ComServerTest, RegistrationWritesEveryKeyAndUnregistrationRemovesThem) {
  RegistryKey inproc = RegistryKey::Open(HKEY_CLASSES_ROOT, ClassKeyPath() + L"\\InprocServer32");
  ASSERT_TRUE(inproc);
  EXPECT_NE(std::wstring::npos, inproc.GetString(nullptr).find(L"FormsrtTest.dll"));
  EXPECT_EQ(L"Apartment", inproc.GetString(L"ThreadingModel"));
  EXPECT_EQ(GuidText(CLSID_Calculator),
            RegistryKey::Open(HKEY_CLASSES_ROOT, L"FormsrtTest.Calculator\\CLSID").GetString(nullptr));
  EXPECT_EQ(GuidText(LIBID_FormsrtTest),
            RegistryKey::Open(HKEY_CLASSES_ROOT, ClassKeyPath() + L"\\TypeLib").GetString(nullptr));
  EXPECT_TRUE(TypeLibraryRegistered());

  EXPECT_EQ(S_OK, library_.Call("DllUnregisterServer"));
  EXPECT_EQ(S_OK, library_.Call("DllUnregisterServer"));  // idempotent
  EXPECT_FALSE(RegistryKey::Open(HKEY_CLASSES_ROOT, ClassKeyPath()));
  EXPECT_FALSE(RegistryKey::Open(HKEY_CLASSES_ROOT, L"FormsrtTest.Calculator"));
  EXPECT_FALSE(TypeLibraryRegistered());

  EXPECT_EQ(S_OK, library_.Call("DllRegisterServer"));
  EXPECT_EQ(S_OK, library_.Call("DllRegisterServer"));  // idempotent
  EXPECT_TRUE(RegistryKey::Open(HKEY_CLASSES_ROOT, ClassKeyPath()));
}

TEST_F(ComServerTest, PerUserInstallWritesUnderTheCurrentUsersClasses) {
  std::wstring userClass = L"Software\\Classes\\" + ClassKeyPath();
  EXPECT_EQ(S_OK, library_.Install(TRUE, L"user"));
  EXPECT_TRUE(RegistryKey::Open(HKEY_CURRENT_USER, userClass + L"\\InprocServer32"));
  EXPECT_TRUE(RegistryKey::Open(HKEY_CURRENT_USER, L"Software\\Classes\\FormsrtTest.Calculator"));
  EXPECT_EQ(S_OK, library_.Install(FALSE, L"user"));
  EXPECT_FALSE(RegistryKey::Open(HKEY_CURRENT_USER, userClass));
  EXPECT_FALSE(RegistryKey::Open(HKEY_CURRENT_USER, L"Software\\Classes\\FormsrtTest.Calculator"));
}

TEST_F(ComServerTest, UnloadIsRefusedWhileAnObjectOrALockLives) {
  ComPtr<ICalculator> calculator = CreateByProgId();
  ASSERT_TRUE(calculator);
  EXPECT_EQ(S_FALSE, library_.Call("DllCanUnloadNow"));
  calculator.Reset();
  EXPECT_EQ(S_OK, library_.Call("DllCanUnloadNow"));

  ComPtr<IClassFactory> factory;
  ASSERT_EQ(S_OK, ::CoGetClassObject(CLSID_Calculator, CLSCTX_INPROC_SERVER, nullptr,
                                     IID_IClassFactory, factory.PutVoid()));
  EXPECT_EQ(S_OK, factory->LockServer(TRUE));
  factory.Reset();
  EXPECT_EQ(S_FALSE, library_.Call("DllCanUnloadNow"));
  ComPtr<IClassFactory> again;
  ASSERT_EQ(S_OK, ::CoGetClassObject(CLSID_Calculator, CLSCTX_INPROC_SERVER, nullptr,
                                     IID_IClassFactory, again.PutVoid()));
  EXPECT_EQ(S_OK, again->LockServer(FALSE));
  ComPtr<IUnknown> aggregated;
  EXPECT_EQ(CLASS_E_NOAGGREGATION,
            again->CreateInstance(reinterpret_cast<IUnknown*>(again.Get()), IID_IUnknown,
                                  aggregated.PutVoid()));
  again.Reset();
  EXPECT_EQ(S_OK, library_.Call("DllCanUnloadNow"));
}

TEST_F(ComServerTest, CallsThroughTheVtableAndThroughInvokeByNameAndDispid) {
  ComPtr<ICalculator> calculator = CreateByProgId();
  ASSERT_TRUE(calculator);
  LONG sum = 0;
  EXPECT_EQ(S_OK, calculator->Add(2, 40, &sum));
  EXPECT_EQ(42, sum);

  DISPID id = 0;
  LPOLESTR name = const_cast<LPOLESTR>(L"add");  // names are not case-sensitive
  ASSERT_EQ(S_OK, calculator->GetIDsOfNames(IID_NULL, &name, 1, LOCALE_USER_DEFAULT, &id));
  EXPECT_EQ(1, id);
  InvokeOutcome outcome;
  Invoke(calculator.Get(), id, DISPATCH_METHOD,
         {Variant::FromInt32(5).Get(), Variant::FromInt16(7).Get()}, outcome);
  ASSERT_EQ(S_OK, outcome.hr);
  EXPECT_EQ(VT_I4, outcome.result.Type());
  EXPECT_EQ(12, V_I4(&outcome.result.Get()));

  Variant text = Variant::FromText(L"\u00e9t\u00e9");
  InvokeOutcome put;
  DISPID putId = DISPID_PROPERTYPUT;
  VARIANT arg = text.Get();
  DISPPARAMS params{&arg, &putId, 1, 1};
  put.hr = calculator->Invoke(5, IID_NULL, 0, DISPATCH_PROPERTYPUT, &params, nullptr, nullptr, nullptr);
  EXPECT_EQ(S_OK, put.hr);
  Bstr stored;
  EXPECT_EQ(S_OK, calculator->get_Name(stored.Put()));
  EXPECT_EQ(L"\u00e9t\u00e9", stored.Str());
}

TEST_F(ComServerTest, ScriptVariablesPassedByReferenceAreCoercedAndWrittenBack) {
  ComPtr<ICalculator> calculator = CreateByProgId();
  ASSERT_TRUE(calculator);

  // A script's variable holding a 16-bit integer, passed as VT_VARIANT|VT_BYREF.
  Variant variable = Variant::FromInt16(21);
  VARIANT reference;
  V_VT(&reference) = VT_BYREF | VT_VARIANT;
  V_VARIANTREF(&reference) = variable.Raw();
  InvokeOutcome twice;
  Invoke(calculator.Get(), 2, DISPATCH_METHOD, {reference}, twice);
  ASSERT_EQ(S_OK, twice.hr);
  EXPECT_EQ(21, V_I4(&twice.result.Get()));
  EXPECT_EQ(VT_I2, variable.Type());  // the variable keeps its own type
  EXPECT_EQ(42, V_I2(&variable.Get()));

  Variant text = Variant::FromText(L"17");
  V_VARIANTREF(&reference) = text.Raw();
  InvokeOutcome peek;
  Invoke(calculator.Get(), 3, DISPATCH_METHOD | DISPATCH_PROPERTYGET, {reference}, peek);
  ASSERT_EQ(S_OK, peek.hr);
  EXPECT_EQ(17, V_I4(&peek.result.Get()));
  EXPECT_EQ(VT_BSTR, text.Type());
  EXPECT_STREQ(L"17", V_BSTR(&text.Get()));

  // Two variables by reference, both written.
  Variant first = Variant::FromInt32(1);
  Variant second = Variant::FromInt32(2);
  InvokeOutcome swapped;
  Invoke(calculator.Get(), 9, DISPATCH_METHOD, {ByReference(first), ByReference(second)}, swapped);
  ASSERT_EQ(S_OK, swapped.hr);
  EXPECT_EQ((std::pair<LONG, LONG>{2, 1}), (std::pair{V_I4(&first.Get()), V_I4(&second.Get())}));

  // A by-value parameter given a script variable.
  Variant addend = Variant::FromInt32(8);
  V_VARIANTREF(&reference) = addend.Raw();
  InvokeOutcome add;
  Invoke(calculator.Get(), 1, DISPATCH_METHOD, {reference, Variant::FromInt32(1).Get()}, add);
  ASSERT_EQ(S_OK, add.hr);
  EXPECT_EQ(9, V_I4(&add.result.Get()));

  // Read, not changed: the variable keeps its value and type, not the 11
  // and the long that the member read.
  Variant fraction = Variant::FromDouble(10.6);
  V_VARIANTREF(&reference) = fraction.Raw();
  InvokeOutcome read;
  Invoke(calculator.Get(), 3, DISPATCH_METHOD, {reference}, read);
  ASSERT_EQ(S_OK, read.hr);
  EXPECT_EQ(11, V_I4(&read.result.Get()));
  EXPECT_EQ(VT_R8, fraction.Type());
  EXPECT_EQ(10.6, V_R8(&fraction.Get()));
  Variant empty;
  V_VARIANTREF(&reference) = empty.Raw();
  Invoke(calculator.Get(), 3, DISPATCH_METHOD, {reference}, read);
  ASSERT_EQ(S_OK, read.hr);
  EXPECT_EQ(VT_EMPTY, empty.Type());
  V_VARIANTREF(&reference) = fraction.Raw();
  Invoke(calculator.Get(), 2, DISPATCH_METHOD, {reference}, twice);
  EXPECT_EQ(VT_R8, fraction.Type());
  EXPECT_EQ(22.0, V_R8(&fraction.Get()));

  // A decimal fills the whole VARIANT, its first field under the type: the
  // member is given all of it, and the variable keeps its type. Doubling
  // 2^64 changes only its high 32 bits.
  Variant whole = Variant::FromInt32(21);
  Variant decimal;
  ASSERT_EQ(S_OK, ::VarDecFromR8(0x1p64, &V_DECIMAL(decimal.Raw())));
  V_VT(decimal.Raw()) = VT_DECIMAL;
  for (Variant* variable : {&whole, &decimal}) {
    V_VARIANTREF(&reference) = variable->Raw();
    InvokeOutcome doubled;
    Invoke(calculator.Get(), 8, DISPATCH_METHOD, {reference}, doubled);
    ASSERT_EQ(S_OK, doubled.hr);
  }
  EXPECT_EQ(VT_I4, whole.Type());
  EXPECT_EQ(42, V_I4(&whole.Get()));
  double doubledDecimal = 0;
  ASSERT_EQ(VT_DECIMAL, decimal.Type());
  EXPECT_EQ(S_OK, ::VarR8FromDec(&V_DECIMAL(decimal.Raw()), &doubledDecimal));
  EXPECT_EQ(0x1p65, doubledDecimal);

  Variant notANumber = Variant::FromText(L"abc");
  V_VARIANTREF(&reference) = notANumber.Raw();
  InvokeOutcome mismatch;
  Invoke(calculator.Get(), 2, DISPATCH_METHOD, {reference}, mismatch);
  EXPECT_EQ(DISP_E_TYPEMISMATCH, mismatch.hr);
  EXPECT_STREQ(L"abc", V_BSTR(&notANumber.Get()));
}

TEST_F(ComServerTest, DispatchParametersThatContradictThemselvesAreRefused) {
  ComPtr<ICalculator> calculator = CreateByProgId();
  ASSERT_TRUE(calculator);
  DISPID name = DISPID_PROPERTYPUT;
  VARIANT argument = Variant::FromInt32(1).Get();
  DISPPARAMS argumentsMissing{nullptr, nullptr, 2, 0};
  DISPPARAMS moreNamesThanArguments{&argument, &name, 1, 2};
  DISPPARAMS namesMissing{&argument, nullptr, 1, 1};
  for (DISPPARAMS* params : {&argumentsMissing, &moreNamesThanArguments, &namesMissing}) {
    Variant result = Variant::FromInt32(0x5EED);
    EXPECT_EQ(E_INVALIDARG, calculator->Invoke(2, IID_NULL, 0, DISPATCH_METHOD, params,
                                               result.Raw(), nullptr, nullptr));
    EXPECT_EQ(VT_EMPTY, result.Type());  // set before the refusal
  }
  // Twice(long*): a null reference, typed or through a variant, never
  // reaches the member as a null pointer.
  VARIANT nullLong;
  V_VT(&nullLong) = VT_BYREF | VT_I4;
  V_I4REF(&nullLong) = nullptr;
  VARIANT throughVariant;
  V_VT(&throughVariant) = VT_BYREF | VT_VARIANT;
  V_VARIANTREF(&throughVariant) = &nullLong;
  for (VARIANT reference : {nullLong, throughVariant}) {
    DISPPARAMS params{&reference, nullptr, 1, 0};
    Variant result;
    UINT argErr = 99;
    EXPECT_EQ(DISP_E_TYPEMISMATCH, calculator->Invoke(2, IID_NULL, 0, DISPATCH_METHOD, &params,
                                                      result.Put(), nullptr, &argErr));
    EXPECT_EQ(0u, argErr);
  }
}

TEST_F(ComServerTest, RuntimeErrorsReachTheClientWithTheirNumberAndText) {
  ComPtr<ICalculator> calculator = CreateByProgId();
  ASSERT_TRUE(calculator);
  ComPtr<ISupportErrorInfo> support;
  ASSERT_EQ(S_OK, calculator.As(support));
  EXPECT_EQ(S_OK, support->InterfaceSupportsErrorInfo(IID_ICalculator));

  const std::pair<long, const wchar_t*> cases[] = {
      {5, L"Invalid procedure call or argument"},
      {6, L"Overflow"},
      {7, L"Out of memory"},
      {9, L"Subscript out of range"},
      {13, L"Type mismatch"},
      {53, L"File not found"},
      {91, L"Object variable or With block variable not set"},
      {380, L"Invalid property value"},
      {424, L"Object required"},
      {429, L"ActiveX component can't create object"},
      {438, L"Object doesn't support this property or method"},
      {440, L"Automation error"},
      {449, L"Argument not optional"},
      {450, L"Wrong number of arguments or invalid property assignment"},
      {1001, L"Application-defined or object-defined error"},
  };
  for (const auto& [number, text] : cases) {
    SCOPED_TRACE(number);
    EXPECT_EQ(static_cast<HRESULT>(0x800A0000 | number), calculator->RaiseError(number));
    ComPtr<IErrorInfo> info;
    ASSERT_EQ(S_OK, ::GetErrorInfo(0, info.Put()));
    Bstr description, source;
    info->GetDescription(description.Put());
    info->GetSource(source.Put());
    EXPECT_EQ(text, description.Str());
    EXPECT_EQ(L"FormsrtTest", source.Str());

    InvokeOutcome outcome;
    Invoke(calculator.Get(), 4, DISPATCH_METHOD, {Variant::FromInt32(number).Get()}, outcome);
    EXPECT_EQ(DISP_E_EXCEPTION, outcome.hr);
    EXPECT_EQ(static_cast<HRESULT>(0x800A0000 | number), outcome.excepInfo.scode);
    EXPECT_STREQ(text, outcome.excepInfo.bstrDescription);
  }

  LONG sum = 0;
  EXPECT_EQ(static_cast<HRESULT>(0x800A0006), calculator->Add(0x7FFFFFFF, 1, &sum));
  EXPECT_EQ(E_OUTOFMEMORY, calculator->Exhaust());
}

// A client that reads the error information after a call that succeeded
// must not find the description of an earlier failure.
TEST_F(ComServerTest, ASuccessfulCallLeavesNoErrorInformation) {
  ComPtr<ICalculator> calculator = CreateByProgId();
  ASSERT_TRUE(calculator);
  LONG sum = 0;
  ASSERT_EQ(static_cast<HRESULT>(0x800A0006), calculator->Add(0x7FFFFFFF, 1, &sum));
  EXPECT_EQ(S_OK, calculator->Add(1, 2, &sum));
  ComPtr<IErrorInfo> stale;
  EXPECT_EQ(S_FALSE, ::GetErrorInfo(0, stale.Put()));

  ASSERT_EQ(static_cast<HRESULT>(0x800A0009), calculator->RaiseError(9));
  InvokeOutcome add;
  Invoke(calculator.Get(), 1, DISPATCH_METHOD, {Variant::FromInt32(1).Get(), Variant::FromInt32(2).Get()},
         add);
  EXPECT_EQ(S_OK, add.hr);
  EXPECT_EQ(S_FALSE, ::GetErrorInfo(0, stale.Put()));
}

namespace {

std::wstring NameOf(ITypeInfo* info) {
  Bstr name;
  EXPECT_EQ(S_OK, info->GetDocumentation(MEMBERID_NIL, name.Put(), nullptr, nullptr, nullptr));
  return name.Str();
}

const RegisteredLibrary kTestLibrary{LIBID_FormsrtTest, 1, 0};

}  // namespace

// The interface's own description has no dispatch half to look a member up
// in: the member is found by scanning, and a script variable is still
// coerced and written back.
TEST_F(ComServerTest, ThroughTheInterfacesOwnDescriptionScriptVariablesAreAdaptedToo) {
  ComPtr<ICalculator> calculator = CreateByProgId();
  ASSERT_TRUE(calculator);
  ComPtr<ITypeInfo> dispatchHalf = RegisteredTypeInfo(kTestLibrary, IID_ICalculator);
  HREFTYPE own = 0;
  ComPtr<ITypeInfo> interfaceHalf;
  ASSERT_EQ(S_OK, dispatchHalf->GetRefTypeOfImplType(-1, &own));
  ASSERT_EQ(S_OK, dispatchHalf->GetRefTypeInfo(own, interfaceHalf.Put()));
  Variant variable = Variant::FromInt16(21);
  VARIANT reference = ByReference(variable);
  DISPPARAMS params{&reference, nullptr, 1, 0};
  Variant previous;
  EXPECT_EQ(S_OK, InvokeThroughTypeInfo(interfaceHalf.Get(), calculator.Get(), 2, DISPATCH_METHOD,
                                        &params, previous.Put(), nullptr, nullptr));
  EXPECT_EQ(21, V_I4(&previous.Get()));
  EXPECT_EQ((std::pair<VARTYPE, SHORT>{VT_I2, 42}), (std::pair{variable.Type(), V_I2(&variable.Get())}));
}

// A registered library is read once: its type information is still served
// after the library's registration is gone, until the cache is released.
TEST_F(ComServerTest, RegisteredTypeInformationIsKeptUntilTheCacheIsReleased) {
  ReleaseTypeInformation();
  ComPtr<ITypeInfo> first = RegisteredTypeInfo(kTestLibrary, IID_ICalculator);
  ASSERT_TRUE(first);
  EXPECT_EQ(L"ICalculator", NameOf(first.Get()));

  ASSERT_EQ(S_OK, library_.Call("DllUnregisterServer"));
  ASSERT_FALSE(TypeLibraryRegistered());
  ComPtr<ITypeInfo> cached = RegisteredTypeInfo(kTestLibrary, IID_ICalculator);
  EXPECT_EQ(first.Get(), cached.Get());
  EXPECT_TRUE(RegisteredTypeInfo(kTestLibrary, CLSID_Calculator));  // from the kept library

  ReleaseTypeInformation();
  EXPECT_EQ(TYPE_E_LIBNOTREGISTERED,
            ComErrorOf([] { RegisteredTypeInfo(kTestLibrary, IID_ICalculator); }));
  ASSERT_EQ(S_OK, library_.Call("DllRegisterServer"));
  EXPECT_EQ(L"ICalculator", NameOf(RegisteredTypeInfo(kTestLibrary, IID_ICalculator).Get()));
}

TEST_F(ComServerTest, MissingTypeInformationRaisesThePlatformsFailure) {
  EXPECT_EQ(TYPE_E_ELEMENTNOTFOUND,
            ComErrorOf([] { RegisteredTypeInfo(kTestLibrary, IID_IDispatch); }));
  const RegisteredLibrary kOtherVersion{LIBID_FormsrtTest, 7, 0};
  EXPECT_EQ(TYPE_E_LIBNOTREGISTERED,
            ComErrorOf([&] { RegisteredTypeInfo(kOtherVersion, IID_ICalculator); }));
  // This test program embeds no type library of its own, nor the forms'.
  EXPECT_TRUE(FAILED(ComErrorOf([] { ModuleTypeInfo(IID_ICalculator); })));
  EXPECT_TRUE(FAILED(ComErrorOf([] { FormsTypeInfo(IID_ICalculator); })));
  EXPECT_TRUE(FAILED(ComErrorOf([] { ModuleTypeLibrary(); })));
}

namespace {

// What the module answers, asked from an object's own destruction.
HRESULT g_unloadAnswer = E_FAIL;

struct AsksWhenDestroyed {
  virtual ~AsksWhenDestroyed() { g_unloadAnswer = CanUnloadServer(); }
};

// The order of a class whose dispatch base comes first, and the other.
class AskingBaseFirst : public AsksWhenDestroyed, private ComObjectBase {
 public:
  ULONG Release() { return ReleaseImpl(); }
};

class AskingBaseLast : private ComObjectBase, public AsksWhenDestroyed {
 public:
  ULONG Release() { return ReleaseImpl(); }
};

}  // namespace

TEST(ModuleCounts, AnObjectIsCountedUntilEveryBaseHasLetGoWhateverTheirOrder) {
  ASSERT_EQ(S_OK, CanUnloadServer());
  g_unloadAnswer = E_FAIL;
  EXPECT_EQ(0u, (new AskingBaseFirst)->Release());
  EXPECT_EQ(S_FALSE, g_unloadAnswer);
  g_unloadAnswer = E_FAIL;
  EXPECT_EQ(0u, (new AskingBaseLast)->Release());
  EXPECT_EQ(S_FALSE, g_unloadAnswer);
  EXPECT_EQ(S_OK, CanUnloadServer());
}
