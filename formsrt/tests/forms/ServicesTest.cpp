// The runtime services: message box, program start, debug output and
// property bag values, through the platform seam's fakes and for real.
#include <gtest/gtest.h>

#include <map>
#include <string>

#include "FakeMessageBox.h"
#include "FakeProgramStart.h"
#include "TestSupport.h"
#include "com/ComModule.h"
#include "com/ComPtr.h"
#include "com/RuntimeError.h"
#include "services/DebugOutput.h"
#include "services/MessageBox.h"
#include "services/ProgramStart.h"
#include "services/PropertyBagValues.h"

using namespace formsrt;
using forms_test::ErrorNumberOf;
using testing_support::FakeMessageBox;
using testing_support::FakeProgramStart;

namespace {

std::string g_debugText;

void WINAPI RecordDebugString(LPCSTR text) { g_debugText += text; }

// A container's property bag: values by name; reading a missing name gives
// E_INVALIDARG, as the platform's bags do.
class MemoryPropertyBag final : public IPropertyBag, private ComObjectBase {
 public:
  STDMETHODIMP QueryInterface(REFIID iid, void** out) override {
    if (iid != IID_IUnknown && iid != IID_IPropertyBag) return E_NOINTERFACE;
    *out = static_cast<IPropertyBag*>(this);
    AddRef();
    return S_OK;
  }
  STDMETHODIMP_(ULONG) AddRef() override { return AddRefImpl(); }
  STDMETHODIMP_(ULONG) Release() override { return ReleaseImpl(); }
  STDMETHODIMP Read(LPCOLESTR name, VARIANT* value, IErrorLog*) override {
    auto found = values_.find(name);
    if (found == values_.end()) return E_INVALIDARG;
    return ::VariantCopy(value, const_cast<VARIANT*>(&found->second.Get()));
  }
  STDMETHODIMP Write(LPCOLESTR name, VARIANT* value) override {
    values_[name] = Variant(*value);
    return S_OK;
  }

  std::map<std::wstring, Variant> values_;
};

}  // namespace

TEST(MessageBoxService, ShowsTextStyleAndCaptionOwnedByTheActiveWindow) {
  HWND active = reinterpret_cast<HWND>(0x2468);
  FakeMessageBox boxes(IDOK, active);
  EXPECT_EQ(IDOK, ShowMessageBox(L"Applet not found", message_box_style::OkOnly, std::nullopt, L"Quennet"));
  ShowMessageBox(L"Function only returns string", message_box_style::Exclamation,
                 L"Function Error", L"Quennet");
  ASSERT_EQ(2u, boxes.Boxes().size());
  EXPECT_EQ(active, boxes.Boxes()[0].owner);
  EXPECT_EQ(L"Applet not found", boxes.Boxes()[0].text);
  EXPECT_EQ(L"Quennet", boxes.Boxes()[0].caption);
  EXPECT_EQ(0u, boxes.Boxes()[0].style);
  EXPECT_EQ(L"Function Error", boxes.Boxes()[1].caption);
  EXPECT_EQ(48u, boxes.Boxes()[1].style);
}

TEST(ProgramStart, PassesTheCommandLineAndShowStyleAndClosesBothHandles) {
  FakeProgramStart starts;
  EXPECT_EQ(FakeProgramStart::kProcessId,
            StartProgram(L"rundll32.exe url.dll,FileProtocolHandler C:\\", show_style::Hidden));
  StartProgram(L"start.exe", show_style::MinimizedFocus);
  StartProgram(L"start.exe", show_style::MaximizedFocus);
  ASSERT_EQ(3u, starts.Starts().size());
  EXPECT_EQ(L"rundll32.exe url.dll,FileProtocolHandler C:\\", starts.Starts()[0].commandLine);
  EXPECT_TRUE(starts.Starts()[0].startupFlags & STARTF_USESHOWWINDOW);
  EXPECT_EQ(SW_HIDE, starts.Starts()[0].showWindow);
  EXPECT_EQ(SW_SHOWMINIMIZED, starts.Starts()[1].showWindow);
  EXPECT_EQ(SW_SHOWMAXIMIZED, starts.Starts()[2].showWindow);
  EXPECT_EQ(6u, starts.ClosedHandles().size());
  EXPECT_EQ(FakeProgramStart::kThreadHandle, starts.ClosedHandles()[0]);
  EXPECT_EQ(FakeProgramStart::kProcessHandle, starts.ClosedHandles()[1]);
}

TEST(ProgramStart, FailuresBecomeRuntimeErrors) {
  struct Case {
    DWORD failure;
    long number;
  } cases[] = {{ERROR_FILE_NOT_FOUND, 53}, {ERROR_PATH_NOT_FOUND, 53}, {ERROR_ACCESS_DENIED, 70},
               {ERROR_BAD_EXE_FORMAT, 5}};
  for (const Case& c : cases) {
    FakeProgramStart starts(c.failure);
    EXPECT_EQ(c.number, ErrorNumberOf([] { StartProgram(L"missing.exe", show_style::Hidden); }))
        << c.failure;
    EXPECT_TRUE(starts.ClosedHandles().empty());
  }
  FakeProgramStart starts;
  EXPECT_EQ(5, ErrorNumberOf([] { StartProgram(L"start.exe", 5); }));
  EXPECT_EQ(5, ErrorNumberOf([] { StartProgram(L"  ", show_style::Hidden); }));
  EXPECT_TRUE(starts.Starts().empty());
}

TEST(ProgramStart, StartsARealProgramHiddenAndReturnsAtOnce) {
  DWORD id = StartProgram(L"cmd.exe /c exit 7", show_style::Hidden);
  ASSERT_NE(0u, id);
  HANDLE process = ::OpenProcess(SYNCHRONIZE | PROCESS_QUERY_LIMITED_INFORMATION, FALSE, id);
  ASSERT_NE(nullptr, process);
  EXPECT_EQ(WAIT_OBJECT_0, ::WaitForSingleObject(process, 30000));
  DWORD exitCode = 0;
  ::GetExitCodeProcess(process, &exitCode);
  ::CloseHandle(process);
  EXPECT_EQ(7u, exitCode);

  EXPECT_EQ(error::FileNotFound,
            ErrorNumberOf([] { StartProgram(L"no_such_program_anywhere.exe /x", show_style::Hidden); }));
  EXPECT_EQ(error::FileNotFound, ErrorNumberOf([] {
              StartProgram(L"C:\\no\\such\\folder\\program.exe", show_style::NormalFocus);
            }));
}

TEST(DebugOutput, WritesOneLineInTheEightBitCodePage) {
  g_debugText.clear();
  PlatformOverride<Kernel32Api> kernel32(Kernel32());
  kernel32->OutputDebugStringA = RecordDebugString;
  DebugPrint(L"Got Message");
  DebugPrint(L"caf\u00e9");
  EXPECT_EQ("Got Message\r\ncaf\xe9\r\n", g_debugText);
}

TEST(PropertyBagValues, ReadGivesTheDefaultForAMissingKeyAndConvertsAStoredOne) {
  ComPtr<MemoryPropertyBag> bag = ComPtr<MemoryPropertyBag>::Attach(new MemoryPropertyBag);
  Variant fallback = ReadProperty(bag.Get(), L"STxMenu", Variant::FromBool(true));
  EXPECT_EQ(VT_BOOL, fallback.Type());
  EXPECT_EQ(VARIANT_TRUE, V_BOOL(&fallback.Get()));

  bag->values_[L"QuietErrors"] = Variant::FromText(L"-1");
  Variant quiet = ReadProperty(bag.Get(), L"QuietErrors", Variant::FromBool(false));
  EXPECT_EQ(VT_BOOL, quiet.Type());
  EXPECT_EQ(VARIANT_TRUE, V_BOOL(&quiet.Get()));

  bag->values_[L"STxTrayTTT"] = Variant::FromText(L"tip");
  EXPECT_EQ(error::TypeMismatch,
            ErrorNumberOf([&] { ReadProperty(bag.Get(), L"STxTrayTTT", Variant::FromInt16(0)); }));
  bag->values_[L"Big"] = Variant::FromInt32(70000);
  EXPECT_EQ(error::Overflow,
            ErrorNumberOf([&] { ReadProperty(bag.Get(), L"Big", Variant::FromInt16(0)); }));
}

TEST(PropertyBagValues, WriteSkipsAValueEqualToItsDefault) {
  ComPtr<MemoryPropertyBag> bag = ComPtr<MemoryPropertyBag>::Attach(new MemoryPropertyBag);
  WriteProperty(bag.Get(), L"QuietErrors", Variant::FromBool(false), Variant::FromBool(false));
  WriteProperty(bag.Get(), L"STxTrayTTT", Variant::FromText(L"tip"), Variant::FromText(L""));
  EXPECT_EQ(0u, bag->values_.count(L"QuietErrors"));
  ASSERT_EQ(1u, bag->values_.count(L"STxTrayTTT"));
  EXPECT_STREQ(L"tip", V_BSTR(&bag->values_[L"STxTrayTTT"].Get()));
  Variant back = ReadProperty(bag.Get(), L"QuietErrors", Variant::FromBool(false));
  EXPECT_EQ(VARIANT_FALSE, V_BOOL(&back.Get()));
}
