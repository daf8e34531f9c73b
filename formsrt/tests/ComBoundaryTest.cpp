// The one wall between C++ exceptions and COM results: what each kind of
// failure becomes, with and without the caller's EXCEPINFO, what error
// information it leaves, and what registration makes of a failed step.
#include <gtest/gtest.h>
#include <olectl.h>

#include <memory>
#include <new>
#include <tuple>
#include <utility>

#include "core/Bstr.h"
#include "com/ComBoundary.h"
#include "com/ServerRegistration.h"
#include "com/ComPtr.h"
#include "core/RuntimeError.h"

using namespace formsrt;

namespace {

constexpr wchar_t kSource[] = L"Boundary test";

// The thread's error information, taken (the platform hands it over once).
ComPtr<IErrorInfo> TakeErrorInfo() {
  ComPtr<IErrorInfo> info;
  ::GetErrorInfo(0, info.Put());
  return info;
}

std::wstring DescriptionOf(IErrorInfo* info) {
  Bstr description;
  info->GetDescription(description.Put());
  return description.Str();
}

void LeaveStaleErrorInfo() { SetComErrorInfo(L"earlier", L"an earlier failure", IID_IDispatch); }

}  // namespace

TEST(ComBoundary, ARuntimeErrorBecomesItsNumberWithItsTextInTheErrorInfo) {
  HRESULT hr = ComBoundary(kSource, IID_IDispatch, [] { throw RuntimeError(error::TypeMismatch); });
  EXPECT_EQ(HresultFromErrorNumber(error::TypeMismatch), hr);
  ComPtr<IErrorInfo> info = TakeErrorInfo();
  ASSERT_TRUE(info);
  Bstr source;
  info->GetSource(source.Put());
  EXPECT_EQ(kSource, source.Str());
  EXPECT_EQ(L"Type mismatch", DescriptionOf(info.Get()));
}

TEST(ComBoundary, GivenAnExcepInfoARuntimeErrorIsDescribedThereAsTheDispatchDoes) {
  LeaveStaleErrorInfo();
  EXCEPINFO excepInfo{};
  excepInfo.wCode = 99;  // stale: the boundary fills the whole record
  HRESULT hr = DispatchBoundary(kSource, IID_IDispatch, &excepInfo,
                                [] { throw RuntimeError(error::Overflow, L"Too many rows"); });
  EXPECT_EQ(DISP_E_EXCEPTION, hr);
  EXPECT_EQ(std::make_tuple(HresultFromErrorNumber(error::Overflow), WORD{0}, std::wstring(kSource),
                            std::wstring(L"Too many rows")),
            std::make_tuple(excepInfo.scode, excepInfo.wCode, Bstr::Attach(excepInfo.bstrSource).Str(),
                            Bstr::Attach(excepInfo.bstrDescription).Str()));
  EXPECT_FALSE(TakeErrorInfo());  // described once, in the EXCEPINFO
}

TEST(ComBoundary, OtherFailuresKeepTheirResultsAndLeaveNoErrorInfo) {
  EXCEPINFO excepInfo{};
  struct Case {
    HRESULT expected;
    void (*body)();
  };
  const Case cases[] = {
      {DISP_E_MEMBERNOTFOUND, [] { throw ComError(DISP_E_MEMBERNOTFOUND); }},
      {E_OUTOFMEMORY, [] { throw std::bad_alloc(); }},
      {E_UNEXPECTED, [] { throw 42; }},
      {E_ACCESSDENIED, [] {
         ::SetLastError(ERROR_ACCESS_DENIED);
         ThrowLastError();
       }},
      // A platform call that failed without saying why is still a failure.
      {E_FAIL, [] {
         ::SetLastError(ERROR_SUCCESS);
         ThrowLastError();
       }},
  };
  for (const Case& failure : cases) {
    SCOPED_TRACE(failure.expected);
    LeaveStaleErrorInfo();
    EXPECT_EQ(failure.expected, ComBoundary(kSource, IID_IDispatch, failure.body));
    EXPECT_FALSE(TakeErrorInfo());
    LeaveStaleErrorInfo();
    EXPECT_EQ(failure.expected, DispatchBoundary(kSource, IID_IDispatch, &excepInfo, failure.body));
    EXPECT_FALSE(TakeErrorInfo());
  }
}

// The body is run where it is, never copied: a copy would be made before the
// try, where its failure would escape. One that cannot be copied shows it.
TEST(ComBoundary, ABodyThatSucceedsRunsUncopiedAndLeavesNoErrorInfo) {
  LeaveStaleErrorInfo();
  int runs = 0;
  auto uncopyable = [&runs, owned = std::make_unique<int>()] { ++runs; };
  EXPECT_EQ(S_OK, ComBoundary(kSource, IID_IDispatch, uncopyable));
  EXPECT_EQ(S_OK, DispatchBoundary(kSource, IID_IDispatch, nullptr, std::move(uncopyable)));
  EXPECT_EQ(2, runs);
  EXPECT_FALSE(TakeErrorInfo());
}

TEST(ComBoundary, RegistrationNamesTheFailedStepButNotOverTheContractsOwnCodes) {
  EXPECT_EQ(SELFREG_E_CLASS, SelfRegistrationResult(E_ACCESSDENIED, SELFREG_E_CLASS));
  EXPECT_EQ(SELFREG_E_TYPELIB, SelfRegistrationResult(TYPE_E_CANTLOADLIBRARY, SELFREG_E_TYPELIB));
  EXPECT_EQ(SELFREG_E_CLASS, SelfRegistrationResult(HresultFromErrorNumber(5), SELFREG_E_CLASS));
  EXPECT_EQ(E_OUTOFMEMORY, SelfRegistrationResult(E_OUTOFMEMORY, SELFREG_E_TYPELIB));
  EXPECT_EQ(E_UNEXPECTED, SelfRegistrationResult(E_UNEXPECTED, SELFREG_E_CLASS));
  EXPECT_EQ(S_OK, SelfRegistrationResult(S_OK, SELFREG_E_CLASS));
}
