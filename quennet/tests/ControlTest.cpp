// QuennetCtl as a container and its host see it: property-change
// notifications, events, termination, references, message boxes, and find
// and replace through the control with Text1 holding the result.
#include <gtest/gtest.h>
#include <olectl.h>

#include <string>
#include <tuple>
#include <vector>

#include "FakeMessageBox.h"
#include "WindowTree.h"
#include "QuennetResources.h"
#include "TestDoubles.h"
#include "core/Bstr.h"
#include "com/ModuleCounts.h"
#include "platform/Platform.h"

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

// The tray calls made while a test runs.
struct TrayCall {
  DWORD message, size;
  HWND window;
  UINT id;
  bool operator==(const TrayCall&) const = default;
};
std::vector<TrayCall> trayCalls;

BOOL WINAPI FakeNotifyIcon(DWORD message, PNOTIFYICONDATAA data) {
  trayCalls.push_back({message, data->cbSize, data->hWnd, data->uID});
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
    trayCalls.clear();
    shell32_->Shell_NotifyIconA = FakeNotifyIcon;
  }

  const std::vector<testing_support::AskedMessageBox>& Boxes() const {
    return messageBoxes_.Boxes();
  }

  formsrt::PlatformOverride<formsrt::Shell32Api> shell32_{formsrt::Shell32()};
  testing_support::FakeMessageBox messageBoxes_;
};

}  // namespace

TEST_F(ControlTest, AnswersWhatContainersAsk) {
  auto control = NewControl<IOleObject>();
  DWORD status = 0;
  EXPECT_EQ(S_OK, control->GetMiscStatus(DVASPECT_CONTENT, &status));
  EXPECT_EQ(quennet::QuennetCtl::kMiscStatus, status);
  SIZEL extent{};
  EXPECT_EQ(S_OK, control->GetExtent(DVASPECT_CONTENT, &extent));
  EXPECT_EQ(std::make_tuple(1270, 1032), std::make_tuple(extent.cx, extent.cy));  // 720 x 585 twips in HIMETRIC
  SIZEL wider{2000, 1000};
  EXPECT_EQ(S_OK, control->SetExtent(DVASPECT_CONTENT, &wider));
  EXPECT_EQ(S_OK, As<IViewObject2>(control)->GetExtent(DVASPECT_CONTENT, -1, nullptr, &extent));
  EXPECT_EQ(2000, extent.cx);
  GUID events{};
  EXPECT_EQ(S_OK,
            As<IProvideClassInfo2>(control)->GetGUID(GUIDKIND_DEFAULT_SOURCE_DISP_IID, &events));
  EXPECT_EQ(DIID___QuennetCtl, events);
  EXPECT_EQ(S_OK, As<ISupportErrorInfo>(control)->InterfaceSupportsErrorInfo(IID__QuennetCtl));
  HWND window = nullptr;
  EXPECT_EQ(E_FAIL, As<IOleInPlaceObject>(control)->GetWindow(&window));  // not active in place
  ComPtr<IConnectionPoint> point;
  EXPECT_EQ(CONNECT_E_NOCONNECTION, As<IConnectionPointContainer>(control)->FindConnectionPoint(
                                        IID_IDispatch, point.Put()));
}

TEST_F(ControlTest, ActivatesInPlaceAndGoesBackToItsOwnWindowOnClose) {
  HWND form = ::CreateWindowExW(0, L"STATIC", L"", WS_POPUP | WS_VISIBLE, 0, 0, 200, 100, nullptr,
                                nullptr, nullptr, nullptr);
  FakeInPlaceSite site(form);
  {
    auto control = NewControl<IOleObject>();
    ASSERT_EQ(S_OK, control->SetClientSite(&site));
    RECT position{5, 6, 53, 45};
    ASSERT_EQ(S_OK, control->DoVerb(OLEIVERB_INPLACEACTIVATE, nullptr, &site, 0, form, &position));
    HWND window = nullptr;
    ASSERT_EQ(S_OK, As<IOleInPlaceObject>(control)->GetWindow(&window));
    EXPECT_EQ(form, ::GetParent(window));
    EXPECT_TRUE(::IsWindowVisible(window));
    RECT moved{10, 10, 60, 50};
    EXPECT_EQ(S_OK, As<IOleInPlaceObject>(control)->SetObjectRects(&moved, &moved));
    RECT placed = testing_support::PlacedIn(form, window);
    EXPECT_EQ(std::make_tuple(10, 60), std::make_tuple(placed.left, placed.right));
    EXPECT_EQ(S_OK, control->DoVerb(OLEIVERB_UIACTIVATE, nullptr, &site, 0, form, &position));

    EXPECT_EQ(S_OK, control->Close(OLECLOSE_NOSAVE));
    EXPECT_NE(form, ::GetParent(window));
    EXPECT_FALSE(::IsWindowVisible(window));
    EXPECT_EQ(E_FAIL, As<IOleInPlaceObject>(control)->GetWindow(&window));
    EXPECT_EQ(S_OK, control->SetClientSite(nullptr));
  }
  EXPECT_EQ(
      (std::vector<std::wstring>{L"activate", L"ui activate", L"ui deactivate", L"deactivate"}),
      site.notes);
  EXPECT_EQ(1u, site.references);
  ::DestroyWindow(form);
}

// The bitmaps the control loads (with the resource, size and flags asked
// for) and deletes through the platform seam.
std::vector<HANDLE> loadedBitmaps;
std::vector<std::tuple<UINT_PTR, int, int, UINT>> bitmapRequests;
std::vector<HGDIOBJ> deletedObjects;

HANDLE WINAPI RecordingLoadImageW(HINSTANCE module, LPCWSTR name, UINT type, int width, int height,
                                  UINT flags) {
  HANDLE image = ::LoadImageW(module, name, type, width, height, flags);
  if (type == IMAGE_BITMAP) {
    loadedBitmaps.push_back(image);
    bitmapRequests.emplace_back(reinterpret_cast<UINT_PTR>(name), width, height, flags);
  }
  return image;
}

BOOL WINAPI RecordingDeleteObject(HGDIOBJ object) {
  deletedObjects.push_back(object);
  return ::DeleteObject(object);
}

// How many pixels of a width x height drawing differ from the picture
// stretched over it.
int PixelsOtherThanThePicture(HDC drawn, HBITMAP picture, int width, int height) {
  HDC source = ::CreateCompatibleDC(drawn);
  HGDIOBJ previousSource = ::SelectObject(source, picture);
  BITMAP size{};
  ::GetObjectW(picture, sizeof(size), &size);
  HDC reference = ::CreateCompatibleDC(drawn);
  HBITMAP referenceBitmap = ::CreateCompatibleBitmap(drawn, width, height);
  HGDIOBJ previousReference = ::SelectObject(reference, referenceBitmap);
  ::StretchBlt(reference, 0, 0, width, height, source, 0, 0, size.bmWidth, size.bmHeight, SRCCOPY);
  int differing = 0;
  for (int y = 0; y < height; ++y) {
    for (int x = 0; x < width; ++x) differing += ::GetPixel(reference, x, y) != ::GetPixel(drawn, x, y);
  }
  ::SelectObject(reference, previousReference);
  ::DeleteObject(referenceBitmap);
  ::DeleteDC(reference);
  ::SelectObject(source, previousSource);
  ::DeleteDC(source);
  return differing;
}

TEST_F(ControlTest, DrawsItsSurfaceWithAPictureLoadedOnceAndDeletedWithTheControl) {
  loadedBitmaps.clear();
  bitmapRequests.clear();
  deletedObjects.clear();
  formsrt::PlatformOverride<formsrt::User32Api> user32(formsrt::User32());
  formsrt::PlatformOverride<formsrt::Gdi32Api> gdi32(formsrt::Gdi32());
  user32->LoadImageW = RecordingLoadImageW;
  gdi32->DeleteObject = RecordingDeleteObject;
  auto view = NewControl<IViewObject2>();
  HDC screen = ::GetDC(nullptr);
  HDC dc = ::CreateCompatibleDC(screen);
  HBITMAP bitmap = ::CreateCompatibleBitmap(screen, 48, 39);
  ::ReleaseDC(nullptr, screen);
  HGDIOBJ previous = ::SelectObject(dc, bitmap);
  RECT all{0, 0, 48, 39};
  RECTL bounds{0, 0, 48, 39};
  for (int paint = 0; paint < 2; ++paint) {
    ::FillRect(dc, &all, static_cast<HBRUSH>(::GetStockObject(WHITE_BRUSH)));
    EXPECT_EQ(S_OK, view->Draw(DVASPECT_CONTENT, -1, nullptr, nullptr, nullptr, dc, &bounds,
                               nullptr, nullptr, 0));
    ASSERT_EQ(1u, loadedBitmaps.size());
    EXPECT_EQ(0, PixelsOtherThanThePicture(dc, static_cast<HBITMAP>(loadedBitmaps[0]), 48, 39))
        << "paint " << paint;
    EXPECT_EQ(bitmap, ::GetCurrentObject(dc, OBJ_BITMAP)) << "the caller's context keeps its own";
  }
  ASSERT_EQ(1u, loadedBitmaps.size()) << "the picture is loaded once, not for every paint";
  // The picture's own size, not scaled when loaded.
  EXPECT_EQ((decltype(bitmapRequests){{IDB_QUENNETCTL, 0, 0, 0}}), bitmapRequests);
  EXPECT_EQ(DV_E_DVASPECT, view->Draw(DVASPECT_ICON, -1, nullptr, nullptr, nullptr, dc, &bounds,
                                      nullptr, nullptr, 0));
  EXPECT_TRUE(deletedObjects.empty());
  view.Reset();
  EXPECT_EQ(loadedBitmaps, std::vector<HANDLE>(deletedObjects.begin(), deletedObjects.end()));
  ::SelectObject(dc, previous);
  ::DeleteObject(bitmap);
  ::DeleteDC(dc);
}

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
  auto probe = QuennetProbe::Create();
  auto unknown = As<IUnknown>(probe);
  EventSink first, second;
  Connect(unknown.Get(), DIID___QuennetCtl, &first);
  Connect(unknown.Get(), DIID___QuennetCtl, &second);
  first.onEvent = [](DISPID, VARIANT_BOOL& left) { left = VARIANT_FALSE; };

  VARIANT_BOOL left = VARIANT_TRUE;
  VARIANT argument = ByReference(VT_BOOL, &left);
  probe->RaiseEvent(2, {&argument, 1});

  EXPECT_EQ((RaisedEvents{{2, VARIANT_TRUE}}), first.events);
  // The second sink is given what the first wrote.
  EXPECT_EQ((RaisedEvents{{2, VARIANT_FALSE}}), second.events);
  EXPECT_EQ(VARIANT_FALSE, left);

  // While the container has frozen events, none is raised.
  auto oleControl = As<IOleControl>(unknown);
  oleControl->FreezeEvents(TRUE);
  probe->RaiseEvent(1, {&argument, 1});
  oleControl->FreezeEvents(FALSE);
  EXPECT_EQ(1u, first.events.size());
}

TEST_F(ControlTest, TerminateRemovesTheTrayIconAndStopsTimer1) {
  auto probe = QuennetProbe::Create();
  HWND pichook = probe->PichookWindow();
  probe->FlashTimer().SetEnabled(true);
  QuennetProbe::timer1EnabledAfterTerminate = true;

  probe.Reset();

  EXPECT_EQ((std::vector<TrayCall>{
                {NIM_DELETE, static_cast<DWORD>(NOTIFYICONDATAA_V1_SIZE), pichook, 1}}),
            trayCalls);
  EXPECT_FALSE(QuennetProbe::timer1EnabledAfterTerminate);
  EXPECT_FALSE(::IsWindow(pichook));
}

TEST_F(ControlTest, STxClearIconCanBeCalledTwice) {
  auto control = NewControl<_QuennetCtl>();
  EXPECT_EQ(S_OK, control->STxClearIcon());
  EXPECT_EQ(S_OK, control->STxClearIcon());
  EXPECT_EQ(2u, trayCalls.size());
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
  EXPECT_EQ(std::make_tuple(1u, 1u, 1u, 1u),
            std::make_tuple(site.references, notifySink.references, eventSink.references, bag.references));
}

TEST_F(ControlTest, MessageBoxesShowTheirTextsStylesAndCaptions) {
  quennet::ShowAppletNotFound(false);
  quennet::ShowFunctionError(false);
  quennet::ShowMenuError();
  EXPECT_EQ((std::vector<ShownBox>{kAppletNotFoundBox, kFunctionErrorBox, kMenuErrorBox}),
            Shown(Boxes()));
}

TEST_F(ControlTest, QuietErrorsSilencesOnlyTheMisuseMessages) {
  quennet::ShowAppletNotFound(true);
  quennet::ShowFunctionError(true);
  EXPECT_TRUE(Boxes().empty());

  auto control = NewControl<_QuennetCtl>();
  ASSERT_EQ(S_OK, control->put_QuietErrors(VARIANT_TRUE));
  Variant result = Variant::FromInt16(1);
  EXPECT_EQ(S_OK, control->ShowAbout(result.Put()));
  EXPECT_EQ(VT_EMPTY, result.Type());
  ASSERT_EQ(1u, Boxes().size());
  EXPECT_NE(std::wstring::npos, Boxes()[0].text.find(L"QuennetCtl v1.0"));
  EXPECT_EQ(L"Quennet", Boxes()[0].caption);
  EXPECT_EQ(0u, Boxes()[0].style);
}

TEST_F(ControlTest, FindReplaceLeavesTheResultInText1BelowTheVisibleArea) {
  auto probe = QuennetProbe::Create();
  // At 120, 960 twips, 975 wide and 495 high, in the control's window.
  HDC screen = ::GetDC(nullptr);
  int dpi = ::GetDeviceCaps(screen, LOGPIXELSX);
  ::ReleaseDC(nullptr, screen);
  auto pixels = [dpi](int twips) { return ::MulDiv(twips, dpi, 1440); };
  HWND text1 = probe->Text1Window();
  RECT placed = testing_support::PlacedIn(::GetParent(text1), text1);
  EXPECT_EQ(std::make_tuple(pixels(120), pixels(960), pixels(975), pixels(495)),
            std::make_tuple(placed.left, placed.top, placed.right - placed.left, placed.bottom - placed.top));
  EXPECT_EQ(L"Bye hello",
            Call(probe.Get(), &_QuennetCtl::FCxFindReplace1st, L"Hello hello", L"HELLO", L"Bye"));
  EXPECT_EQ(L"Bye hello", probe->Text1Text());
  EXPECT_EQ(L"Bye Bye",
            Call(probe.Get(), &_QuennetCtl::FCxFindReplaceAll, L"Hello hello", L"HELLO", L"Bye"));
  EXPECT_EQ(L"Bye Bye", probe->Text1Text());
}

TEST_F(ControlTest, Text1KeepsLineBreaksAndNonAsciiText) {
  auto probe = QuennetProbe::Create();
  std::wstring result = Call(probe.Get(), &_QuennetCtl::FCxFindReplaceAll,
                             L"Line 1\r\n\x00C4pfel\r\nline 3", L"LINE", L"\x00E4pfel");
  EXPECT_EQ(L"\x00E4pfel 1\r\n\x00C4pfel\r\n\x00E4pfel 3", result);
  EXPECT_EQ(result, probe->Text1Text());
}

TEST_F(ControlTest, FindReplaceOverflowRaisesError6WithTheWorkSoFarInText1) {
  auto probe = QuennetProbe::Create();
  std::wstring text(40000, L'.');
  text.replace(31999, 2, L"ab");
  Call(probe.Get(), &_QuennetCtl::FCxFindReplaceAll, text, L"AB", std::wstring(800, L'z'),
       static_cast<HRESULT>(0x800A0006));
  std::wstring held = probe->Text1Text();
  EXPECT_EQ(40798u, held.size());
  EXPECT_EQ(std::wstring(800, L'z'), held.substr(31999, 800));
}
