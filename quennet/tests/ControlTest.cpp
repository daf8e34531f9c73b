// QuennetCtl as a container and its host see it: property-change
// notifications, events, termination, references, message boxes, and find
// and replace through the control with Text1 holding the result.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "TestDoubles.h"
#include "com/Bstr.h"
#include "com/ComModule.h"
#include "com/Platform.h"

using namespace quennet_test;
using formsrt::Bstr;
using formsrt::ComPtr;
using formsrt::Variant;

namespace {

constexpr DISPID kQuietErrorsId = 0x68030002;
constexpr DISPID kSTxMenuId = 0x68030001;
constexpr DISPID kSTxTrayTTTId = 0x68030000;

DWORD Connect(IUnknown* control, REFIID outgoing, IUnknown* sink) {
  ComPtr<IConnectionPointContainer> container;
  control->QueryInterface(IID_IConnectionPointContainer, container.PutVoid());
  ComPtr<IConnectionPoint> point;
  EXPECT_EQ(S_OK, container->FindConnectionPoint(outgoing, point.Put()));
  DWORD cookie = 0;
  EXPECT_EQ(S_OK, point->Advise(sink, &cookie));
  return cookie;
}

// Records the calls that the tests fake.
struct Recorded {
  struct MessageBox {
    std::wstring text, caption;
    UINT style;
  };
  static inline std::vector<MessageBox> boxes;
  struct TrayCall {
    DWORD message, size;
    HWND window;
    UINT id;
  };
  static inline std::vector<TrayCall> trayCalls;
  static void Clear() {
    boxes.clear();
    trayCalls.clear();
  }
};

int WINAPI FakeMessageBox(HWND, LPCWSTR text, LPCWSTR caption, UINT style) {
  Recorded::boxes.push_back({text, caption ? caption : L"", style});
  return IDOK;
}

HWND WINAPI NoActiveWindow() { return nullptr; }

BOOL WINAPI FakeNotifyIcon(DWORD message, PNOTIFYICONDATAA data) {
  Recorded::trayCalls.push_back({message, data->cbSize, data->hWnd, data->uID});
  return FALSE;
}

using Replacer = HRESULT (STDMETHODCALLTYPE _QuennetCtl::*)(BSTR*, BSTR*, BSTR*, VARIANT*);

// Calls FCxFindReplace1st or FCxFindReplaceAll; the result text, or the failure.
std::wstring Call(_QuennetCtl* control, Replacer member, const std::wstring& initString,
                  const std::wstring& find, const std::wstring& replace, HRESULT expected = S_OK) {
  Bstr init(initString), findText(find), replaceText(replace);
  BSTR a = init.Get(), b = findText.Get(), c = replaceText.Get();
  Variant result;
  EXPECT_EQ(expected, (control->*member)(&a, &b, &c, result.Put()));
  EXPECT_EQ(initString, init.Str());  // by-reference parameters are not written
  return result.Type() == VT_BSTR ? Bstr::Copy(V_BSTR(&result.Get())).Str() : L"";
}

class ControlTest : public ::testing::Test {
 protected:
  void SetUp() override {
    Recorded::Clear();
    user32_->MessageBoxW = FakeMessageBox;
    user32_->GetActiveWindow = NoActiveWindow;
    shell32_->Shell_NotifyIconA = FakeNotifyIcon;
  }

  formsrt::PlatformOverride<formsrt::User32Api> user32_{formsrt::User32()};
  formsrt::PlatformOverride<formsrt::Shell32Api> shell32_{formsrt::Shell32()};
};

}  // namespace

TEST_F(ControlTest, EveryPutNotifiesByDispidEvenWithAnEqualValue) {
  auto control = NewControl<_QuennetCtl>();
  PropertyNotifySink sink;
  Connect(control.Get(), IID_IPropertyNotifySink, &sink);
  EXPECT_EQ(S_OK, As<IPersistStreamInit>(control)->InitNew());
  EXPECT_EQ(S_FALSE, As<IPersistStreamInit>(control)->IsDirty());

  for (int twice = 0; twice < 2; ++twice) {
    EXPECT_EQ(S_OK, control->put_QuietErrors(VARIANT_FALSE));
    EXPECT_EQ(S_OK, control->put_STxMenu(VARIANT_TRUE));
    EXPECT_EQ(S_OK, control->put_STxTrayTTT(Bstr(L"SystemTrayIcon").Get()));
  }
  EXPECT_EQ((std::vector<DISPID>{kQuietErrorsId, kSTxMenuId, kSTxTrayTTTId, kQuietErrorsId,
                                 kSTxMenuId, kSTxTrayTTTId}),
            sink.changed);
  EXPECT_EQ(S_OK, As<IPersistStreamInit>(control)->IsDirty());
}

TEST_F(ControlTest, EventsReachEveryConnectedSinkByReference) {
  ComPtr<IUnknown> unknown;
  QuennetProbe* probe = nullptr;
  {
    auto control = NewControl<_QuennetCtl>();
    probe = static_cast<QuennetProbe*>(control.Get());
    control.As(unknown);
  }
  EventSink first, second;
  Connect(unknown.Get(), DIID___QuennetCtl, &first);
  Connect(unknown.Get(), DIID___QuennetCtl, &second);
  first.writesAnswer = true;

  VARIANT_BOOL left = VARIANT_TRUE;
  VARIANT argument;
  V_VT(&argument) = VT_BYREF | VT_BOOL;
  V_BOOLREF(&argument) = &left;
  probe->RaiseEvent(2, {&argument, 1});

  ASSERT_EQ(1u, first.events.size());
  ASSERT_EQ(1u, second.events.size());
  EXPECT_EQ(2, first.events[0].id);
  EXPECT_EQ(VARIANT_TRUE, first.events[0].left);
  EXPECT_EQ(VARIANT_FALSE, second.events[0].left);  // what the first sink wrote
  EXPECT_EQ(VARIANT_FALSE, left);

  // While the container has frozen events, none is raised.
  ComPtr<IOleControl> oleControl;
  unknown.As(oleControl);
  oleControl->FreezeEvents(TRUE);
  probe->RaiseEvent(1, {&argument, 1});
  oleControl->FreezeEvents(FALSE);
  EXPECT_EQ(1u, first.events.size());
}

TEST_F(ControlTest, TerminateRemovesTheTrayIconAndStopsTimer1) {
  auto control = NewControl<_QuennetCtl>();
  auto* probe = static_cast<QuennetProbe*>(control.Get());
  HWND pichook = probe->PichookWindow();
  probe->EnableTimer1();
  QuennetProbe::timer1EnabledAfterTerminate = true;

  control.Reset();

  ASSERT_EQ(1u, Recorded::trayCalls.size());
  EXPECT_EQ(static_cast<DWORD>(NIM_DELETE), Recorded::trayCalls[0].message);
  EXPECT_EQ(static_cast<DWORD>(NOTIFYICONDATAA_V1_SIZE), Recorded::trayCalls[0].size);
  EXPECT_EQ(pichook, Recorded::trayCalls[0].window);
  EXPECT_EQ(1u, Recorded::trayCalls[0].id);
  EXPECT_FALSE(QuennetProbe::timer1EnabledAfterTerminate);
  EXPECT_FALSE(::IsWindow(pichook));
}

TEST_F(ControlTest, STxClearIconCanBeCalledTwice) {
  auto control = NewControl<_QuennetCtl>();
  EXPECT_EQ(S_OK, control->STxClearIcon());
  EXPECT_EQ(S_OK, control->STxClearIcon());
  EXPECT_EQ(2u, Recorded::trayCalls.size());
}

TEST_F(ControlTest, NoReferenceRemainsAfterTheFinalRelease) {
  long objectsBefore = formsrt::ActiveObjectCount();
  FakeClientSite site;
  PropertyNotifySink notifySink;
  EventSink eventSink;
  FakePropertyBag bag;

  auto control = NewControl<IOleObject>();
  ASSERT_EQ(S_OK, control->SetClientSite(&site));
  Connect(control.Get(), IID_IPropertyNotifySink, &notifySink);
  Connect(control.Get(), DIID___QuennetCtl, &eventSink);
  EXPECT_EQ(S_OK, As<IPersistPropertyBag>(control)->Load(&bag, nullptr));
  {
    ComPtr<IEnumConnectionPoints> points;
    As<IConnectionPointContainer>(control)->EnumConnectionPoints(points.Put());
    IConnectionPoint* fetched[2] = {};
    ULONG count = 0;
    EXPECT_EQ(S_OK, points->Next(2, fetched, &count));
    EXPECT_EQ(2u, count);
    for (IConnectionPoint* point : fetched) point->Release();
    ComPtr<IEnumOLEVERB> verbs;
    EXPECT_EQ(S_OK, control->EnumVerbs(verbs.Put()));
    ComPtr<ITypeInfo> classInfo;
    EXPECT_EQ(S_OK, As<IProvideClassInfo2>(control)->GetClassInfo(classInfo.Put()));
    ComPtr<IDispatch> dispatch = As<IDispatch>(control);
    ASSERT_EQ(S_OK, As<_QuennetCtl>(dispatch)->put_STxMenu(VARIANT_FALSE));
  }
  EXPECT_GT(site.references, 1u);

  EXPECT_EQ(0u, control.Detach()->Release());
  EXPECT_EQ(objectsBefore, formsrt::ActiveObjectCount());
  EXPECT_EQ(1u, site.references);
  EXPECT_EQ(1u, notifySink.references);
  EXPECT_EQ(1u, eventSink.references);
  EXPECT_EQ(1u, bag.references);
}

TEST_F(ControlTest, MessageBoxesShowTheirTextsStylesAndCaptions) {
  quennet::ShowAppletNotFound(false);
  quennet::ShowFunctionError(false);
  quennet::ShowMenuError();
  ASSERT_EQ(3u, Recorded::boxes.size());
  EXPECT_EQ(L"Applet not found", Recorded::boxes[0].text);
  EXPECT_EQ(L"Quennet", Recorded::boxes[0].caption);
  EXPECT_EQ(0u, Recorded::boxes[0].style);
  EXPECT_EQ(L"Function only returns string if input is equal to Windows, System or Temp",
            Recorded::boxes[1].text);
  EXPECT_EQ(L"Function Error", Recorded::boxes[1].caption);
  EXPECT_EQ(48u, Recorded::boxes[1].style);
  EXPECT_EQ(L"Menu ERROR: Please refer to Information.html for correct use of the System Tray "
            L"function set.",
            Recorded::boxes[2].text);
  EXPECT_EQ(L"Quennet", Recorded::boxes[2].caption);
  EXPECT_EQ(0u, Recorded::boxes[2].style);
}

TEST_F(ControlTest, QuietErrorsSilencesOnlyTheMisuseMessages) {
  quennet::ShowAppletNotFound(true);
  quennet::ShowFunctionError(true);
  EXPECT_TRUE(Recorded::boxes.empty());

  auto control = NewControl<_QuennetCtl>();
  ASSERT_EQ(S_OK, control->put_QuietErrors(VARIANT_TRUE));
  Variant result = Variant::FromInt16(1);
  EXPECT_EQ(S_OK, control->ShowAbout(result.Put()));
  EXPECT_EQ(VT_EMPTY, result.Type());
  ASSERT_EQ(1u, Recorded::boxes.size());
  EXPECT_NE(std::wstring::npos, Recorded::boxes[0].text.find(L"QuennetCtl v1.0"));
  EXPECT_EQ(L"Quennet", Recorded::boxes[0].caption);
  EXPECT_EQ(0u, Recorded::boxes[0].style);
}

TEST_F(ControlTest, FindReplaceLeavesTheResultInText1) {
  auto control = NewControl<_QuennetCtl>();
  auto* probe = static_cast<QuennetProbe*>(control.Get());
  EXPECT_EQ(L"Bye hello", Call(control.Get(), &_QuennetCtl::FCxFindReplace1st, L"Hello hello",
                               L"HELLO", L"Bye"));
  EXPECT_EQ(L"Bye hello", probe->Text1Text());
  EXPECT_EQ(L"Bye Bye", Call(control.Get(), &_QuennetCtl::FCxFindReplaceAll, L"Hello hello",
                             L"HELLO", L"Bye"));
  EXPECT_EQ(L"Bye Bye", probe->Text1Text());
}

TEST_F(ControlTest, Text1KeepsLineBreaksAndNonAsciiText) {
  auto control = NewControl<_QuennetCtl>();
  auto* probe = static_cast<QuennetProbe*>(control.Get());
  std::wstring result = Call(control.Get(), &_QuennetCtl::FCxFindReplaceAll,
                             L"Line 1\r\n\x00C4pfel\r\nline 3", L"LINE", L"\x00E4pfel");
  EXPECT_EQ(L"\x00E4pfel 1\r\n\x00C4pfel\r\n\x00E4pfel 3", result);
  EXPECT_EQ(result, probe->Text1Text());
}

TEST_F(ControlTest, FindReplaceOverflowRaisesError6WithTheWorkSoFarInText1) {
  auto control = NewControl<_QuennetCtl>();
  auto* probe = static_cast<QuennetProbe*>(control.Get());
  std::wstring text(40000, L'.');
  text.replace(31999, 2, L"ab");
  Call(control.Get(), &_QuennetCtl::FCxFindReplaceAll, text, L"AB", std::wstring(800, L'z'),
       static_cast<HRESULT>(0x800A0006));
  std::wstring held = probe->Text1Text();
  EXPECT_EQ(40798u, held.size());
  EXPECT_EQ(std::wstring(800, L'z'), held.substr(31999, 800));
}
