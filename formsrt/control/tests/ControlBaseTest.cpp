// The control base as containers drive it, through a probe of each window
// policy: where the window lives, what a site that refuses or fails leaves
// behind, UI activation, verbs, Close's save option, the ambient font and a
// control without events.
#include <gtest/gtest.h>
#include <ocidl.h>
#include <olectl.h>

#include <functional>
#include <string>
#include <tuple>
#include <utility>
#include <vector>

#include "ConnectionPoints.h"
#include "FakeInPlaceSite.h"
#include "ProbeControl.h"
#include "WindowTree.h"
#include "core/Bstr.h"
#include "com/ComPtr.h"
#include "com/ModuleCounts.h"
#include "com/QueryObject.h"

using namespace control_tests;
using formsrt::Bstr;
using formsrt::ComPtr;
using namespace testing_support;

namespace {

using Notes = std::vector<std::wstring>;

// A probe, held by its IOleObject, with the window of a form to be sited in.
template <class Probe>
class ControlBaseTest : public ::testing::Test {
 protected:
  ControlBaseTest()
      : form_(::CreateWindowExW(0, L"STATIC", L"", WS_POPUP | WS_VISIBLE, 0, 0, 300, 200, nullptr,
                                nullptr, nullptr, nullptr)),
        site_(form_),
        probe_(new Probe),
        control_(ComPtr<IOleObject>::Attach(static_cast<IOleObject*>(probe_))) {}
  ~ControlBaseTest() override {
    control_->Close(OLECLOSE_NOSAVE);
    control_->SetClientSite(nullptr);
    control_.Reset();
    ::DestroyWindow(form_);
  }

  template <class I>
  ComPtr<I> As() {
    ComPtr<I> to;
    EXPECT_EQ(S_OK, control_.As(to));
    return to;
  }
  HRESULT DoVerb(LONG verb) {
    RECT elsewhere{100, 100, 120, 120};  // not where the site places the control
    return control_->DoVerb(verb, nullptr, &site_, 0, form_, &elsewhere);
  }
  HWND InPlaceWindow() {
    HWND window = nullptr;
    return SUCCEEDED(As<IOleInPlaceObject>()->GetWindow(&window)) ? window : nullptr;
  }
  // The control's in-place window, and whether `window` is on the form and visible.
  std::tuple<HWND, bool, bool> Placing(HWND window) {
    return {InPlaceWindow(), ::GetParent(window) == form_, ::IsWindowVisible(window) != FALSE};
  }

  HWND form_;
  FakeInPlaceSite site_;
  Probe* probe_;  // owned by control_
  ComPtr<IOleObject> control_;
};

using ParkedWindow = ControlBaseTest<ParkedProbe>;
using ActivationWindow = ControlBaseTest<ActivationProbe>;

}  // namespace

TEST_F(ParkedWindow, LivesFromCreationToTheEndAndIsParkedWhileInactive) {
  HWND window = probe_->Window();
  ASSERT_TRUE(::IsWindow(window));
  EXPECT_EQ(std::make_tuple(HWND{}, false, false), Placing(window));

  ASSERT_EQ(S_OK, DoVerb(OLEIVERB_INPLACEACTIVATE));
  EXPECT_EQ(std::make_tuple(window, true, true), Placing(window));
  EXPECT_EQ(Edges(site_.position), Edges(PlacedIn(form_, window)));
  // Its paint is the control's: the whole client area in the face colour,
  // over what was there.
  RECT client;
  ::GetClientRect(window, &client);
  HDC dc = ::GetDC(window);
  ::PatBlt(dc, 0, 0, client.right, client.bottom, BLACKNESS);
  ::RedrawWindow(window, nullptr, nullptr, RDW_INVALIDATE | RDW_UPDATENOW);
  for (POINT corner : {POINT{0, 0}, POINT{client.right - 1, client.bottom - 1}}) {
    EXPECT_EQ(::GetSysColor(COLOR_BTNFACE), ::GetPixel(dc, corner.x, corner.y));
  }
  ::ReleaseDC(window, dc);

  EXPECT_EQ(S_OK, As<IOleInPlaceObject>()->InPlaceDeactivate());
  EXPECT_EQ(window, probe_->Window());  // the same window, back under its parking window
  EXPECT_EQ(std::make_tuple(HWND{}, false, false), Placing(window));
  EXPECT_EQ((Notes{L"activate", L"deactivate"}), site_.notes);
}

TEST_F(ActivationWindow, IsMadeAtActivationWhereTheSiteSaysAndDestroyedAtDeactivation) {
  ASSERT_EQ(S_OK, control_->SetClientSite(&site_));
  EXPECT_EQ(nullptr, probe_->Window());

  ASSERT_EQ(S_OK, DoVerb(OLEIVERB_INPLACEACTIVATE));
  HWND window = InPlaceWindow();
  ASSERT_TRUE(::IsWindow(window));
  EXPECT_EQ(window, probe_->Window());
  EXPECT_EQ(std::make_tuple(window, true, true), Placing(window));
  EXPECT_EQ(Edges(site_.position), Edges(PlacedIn(form_, window)));
  RECT moved{10, 20, 110, 70};
  EXPECT_EQ(S_OK, As<IOleInPlaceObject>()->SetObjectRects(&moved, &moved));
  EXPECT_EQ(Edges(moved), Edges(PlacedIn(form_, window)));

  EXPECT_EQ(S_OK, As<IOleInPlaceObject>()->InPlaceDeactivate());
  EXPECT_FALSE(::IsWindow(window));
  EXPECT_EQ(std::make_pair(HWND{}, HWND{}), std::make_pair(probe_->Window(), InPlaceWindow()));

  ASSERT_EQ(S_OK, DoVerb(OLEIVERB_SHOW));  // a new window for the next activation
  EXPECT_TRUE(::IsWindow(InPlaceWindow()));
  EXPECT_EQ((Notes{L"activate", L"deactivate", L"activate"}), site_.notes);
}

TEST_F(ActivationWindow, ASiteThatRefusesTheActivationLeavesTheControlInactive) {
  site_.canActivateResult = S_FALSE;  // a no that is not a failure
  EXPECT_EQ(OLE_E_NOT_INPLACEACTIVE, DoVerb(OLEIVERB_INPLACEACTIVATE));
  EXPECT_EQ((Notes{}), site_.notes);
  site_.canActivateResult = S_OK;
  site_.activateResult = E_ABORT;
  EXPECT_EQ(E_ABORT, DoVerb(OLEIVERB_INPLACEACTIVATE));
  EXPECT_EQ(std::make_pair(HWND{}, HWND{}), std::make_pair(probe_->Window(), InPlaceWindow()));
  EXPECT_EQ((Notes{L"activate"}), site_.notes);  // refused: nothing to deactivate

  site_.activateResult = S_OK;
  site_.windowContextResult = E_FAIL;
  EXPECT_EQ(E_FAIL, DoVerb(OLEIVERB_INPLACEACTIVATE));
  EXPECT_EQ(std::make_pair(HWND{}, HWND{}), std::make_pair(probe_->Window(), InPlaceWindow()));
  EXPECT_EQ((Notes{L"activate", L"activate", L"deactivate"}), site_.notes);
  EXPECT_EQ(1u, site_.frame.references);
}

TEST_F(ParkedWindow, ASiteWithoutAWindowContextLeavesTheWindowParked) {
  site_.windowContextResult = E_UNEXPECTED;
  EXPECT_EQ(E_FAIL, DoVerb(OLEIVERB_UIACTIVATE));
  EXPECT_EQ(std::make_tuple(HWND{}, false, false), Placing(probe_->Window()));
  EXPECT_EQ((Notes{L"activate", L"deactivate"}), site_.notes);
}

TEST_F(ActivationWindow, UiActivationTellsTheSiteAndTheFrameAndDeactivationUndoesIt) {
  ASSERT_EQ(S_OK, DoVerb(OLEIVERB_UIACTIVATE));
  ASSERT_EQ(S_OK, DoVerb(OLEIVERB_UIACTIVATE));  // once active, nothing more
  ComPtr<IOleInPlaceActiveObject> active = As<IOleInPlaceActiveObject>();
  EXPECT_EQ((std::vector<IOleInPlaceActiveObject*>{active.Get()}), site_.frame.activeObjects);
  EXPECT_EQ((Notes{L"activate", L"ui activate"}), site_.notes);

  EXPECT_EQ(S_OK, As<IOleInPlaceObject>()->UIDeactivate());
  EXPECT_EQ((std::vector<IOleInPlaceActiveObject*>{active.Get(), nullptr}), site_.frame.activeObjects);
  EXPECT_TRUE(::IsWindow(InPlaceWindow()));  // still active in place
  EXPECT_EQ(S_OK, control_->Close(OLECLOSE_NOSAVE));
  EXPECT_EQ((Notes{L"activate", L"ui activate", L"ui deactivate", L"deactivate"}), site_.notes);
  EXPECT_EQ(1u, site_.frame.references);
}

// A container may end the activation again from the notifications of the
// deactivation it asked for, by any of the three ways: the inner call finds
// nothing left to do, and the outer one finishes, each notification given once.
TEST_F(ActivationWindow, ADeactivationReenteredFromTheSitesNotificationsIsDoneOnce) {
  const std::function<HRESULT()> deactivations[] = {
      [&] { return As<IOleInPlaceObject>()->InPlaceDeactivate(); },
      [&] { return control_->Close(OLECLOSE_NOSAVE); },
      [&] { return DoVerb(OLEIVERB_HIDE); },
  };
  for (const wchar_t* during : {L"ui deactivate", L"deactivate"}) {
    for (const auto& outer : deactivations) {
      for (const auto& inner : deactivations) {
        site_.notes.clear();
        ASSERT_EQ(S_OK, DoVerb(OLEIVERB_UIACTIVATE));
        HWND window = InPlaceWindow();
        site_.onNote = [&](const std::wstring& note) {
          if (note == during) {
            EXPECT_EQ(S_OK, inner());
          }
        };
        EXPECT_EQ(S_OK, outer());
        site_.onNote = nullptr;
        EXPECT_FALSE(::IsWindow(window));
        EXPECT_EQ(nullptr, InPlaceWindow());
        EXPECT_EQ((Notes{L"activate", L"ui activate", L"ui deactivate", L"deactivate"}), site_.notes)
            << "re-entered during " << during;
        EXPECT_EQ(1u, site_.frame.references);
      }
    }
  }
}

TEST_F(ActivationWindow, HideDeactivatesAnUnknownVerbActivatesWhenPositiveAndIsRefusedWhenNot) {
  EXPECT_EQ(OLEOBJ_S_INVALIDVERB, DoVerb(7));
  EXPECT_TRUE(::IsWindow(InPlaceWindow()));
  EXPECT_EQ(S_OK, DoVerb(OLEIVERB_HIDE));
  EXPECT_EQ(nullptr, InPlaceWindow());
  EXPECT_EQ(E_NOTIMPL, DoVerb(-42));
  EXPECT_EQ(nullptr, InPlaceWindow());
  EXPECT_EQ((Notes{L"activate", L"deactivate"}), site_.notes);
}

// An advise sink that counts the closes it hears.
class CloseCountingSink : public IAdviseSink {
 public:
  STDMETHODIMP QueryInterface(REFIID iid, void** out) override {
    return formsrt::QueryObject<IAdviseSink>(this, iid, out);
  }
  STDMETHODIMP_(ULONG) AddRef() override { return ++references; }
  STDMETHODIMP_(ULONG) Release() override { return --references; }
  STDMETHODIMP_(void) OnDataChange(FORMATETC*, STGMEDIUM*) override {}
  STDMETHODIMP_(void) OnViewChange(DWORD, LONG) override {}
  STDMETHODIMP_(void) OnRename(IMoniker*) override {}
  STDMETHODIMP_(void) OnSave() override {}
  STDMETHODIMP_(void) OnClose() override { ++closes; }

  ULONG references = 1;
  int closes = 0;
};

// A pointer that a call writes through or reads from, left null: refused,
// whichever of the base's interfaces is asked; the view's advise state may
// be asked for in part.
TEST_F(ParkedWindow, RefusesANullPointerItNeedsOnEveryInterface) {
  const std::pair<const char*, std::function<HRESULT()>> calls[] = {
      {"QueryInterface", [&] { return control_->QueryInterface(IID_IUnknown, nullptr); }},
      {"GetClientSite", [&] { return control_->GetClientSite(nullptr); }},
      {"GetMiscStatus", [&] { return control_->GetMiscStatus(DVASPECT_CONTENT, nullptr); }},
      {"GetExtent", [&] { return control_->GetExtent(DVASPECT_CONTENT, nullptr); }},
      {"SetExtent", [&] { return control_->SetExtent(DVASPECT_CONTENT, nullptr); }},
      {"EnumVerbs", [&] { return control_->EnumVerbs(nullptr); }},
      {"EnumAdvise", [&] { return control_->EnumAdvise(nullptr); }},
      {"GetControlInfo", [&] { return As<IOleControl>()->GetControlInfo(nullptr); }},
      {"GetClassID", [&] { return As<IPersistStreamInit>()->GetClassID(nullptr); }},
      {"Load stream", [&] { return As<IPersistStreamInit>()->Load(nullptr); }},
      {"Save stream", [&] { return As<IPersistStreamInit>()->Save(nullptr, TRUE); }},
      {"GetSizeMax", [&] { return As<IPersistStreamInit>()->GetSizeMax(nullptr); }},
      {"Load bag", [&] { return As<IPersistPropertyBag>()->Load(nullptr, nullptr); }},
      {"Save bag", [&] { return As<IPersistPropertyBag>()->Save(nullptr, TRUE, TRUE); }},
      {"GetWindow", [&] { return As<IOleInPlaceObject>()->GetWindow(nullptr); }},
      {"SetObjectRects", [&] { return As<IOleInPlaceObject>()->SetObjectRects(nullptr, nullptr); }},
      {"GetClassInfo", [&] { return As<IProvideClassInfo>()->GetClassInfo(nullptr); }},
      {"GetGUID", [&] {
         return As<IProvideClassInfo2>()->GetGUID(GUIDKIND_DEFAULT_SOURCE_DISP_IID, nullptr);
       }},
  };
  for (const auto& [name, call] : calls) EXPECT_EQ(E_POINTER, call()) << name;
  EXPECT_EQ(S_OK, As<IViewObject2>()->GetAdvise(nullptr, nullptr, nullptr));
}

TEST_F(ParkedWindow, ListsItsVerbsWholeAndKeepsItsAdviseSinksUntilTheyGo) {
  using Verb = std::tuple<LONG, std::wstring, DWORD, DWORD>;  // verb, name, flags, attributes
  const std::vector<Verb> expected = {{OLEIVERB_PRIMARY, L"&Activate", MF_STRING, OLEVERBATTRIB_ONCONTAINERMENU},
                                      {OLEIVERB_SHOW, L"", MF_STRING, 0},
                                      {OLEIVERB_HIDE, L"", MF_STRING, 0},
                                      {OLEIVERB_UIACTIVATE, L"", MF_STRING, 0},
                                      {OLEIVERB_INPLACEACTIVATE, L"", MF_STRING, 0}};
  ComPtr<IEnumOLEVERB> verbs;
  ASSERT_EQ(S_OK, control_->EnumVerbs(verbs.Put()));
  OLEVERB listed[6] = {};
  ULONG count = 0;
  EXPECT_EQ(S_FALSE, verbs->Next(6, listed, &count));
  ASSERT_EQ(5u, count);
  std::vector<Verb> given;
  for (ULONG i = 0; i < count; ++i) {
    const wchar_t* name = listed[i].lpszVerbName;
    given.emplace_back(listed[i].lVerb, name ? name : L"(none)", listed[i].fuFlags, listed[i].grfAttribs);
    ::CoTaskMemFree(listed[i].lpszVerbName);
  }
  EXPECT_EQ(expected, given);

  CloseCountingSink sink;
  ComPtr<IEnumSTATDATA> advises;
  EXPECT_EQ(OLE_E_NOCONNECTION, control_->Unadvise(1));
  EXPECT_EQ(S_OK, control_->EnumAdvise(advises.Put()));
  EXPECT_FALSE(advises);
  DWORD connection = 0;
  ASSERT_EQ(S_OK, control_->Advise(&sink, &connection));
  EXPECT_NE(0u, connection);
  ASSERT_EQ(S_OK, control_->EnumAdvise(advises.Put()));
  STATDATA advised{};
  ASSERT_EQ(S_OK, advises->Next(1, &advised, nullptr));
  EXPECT_EQ(connection, advised.dwConnection);
  EXPECT_EQ(static_cast<IAdviseSink*>(&sink), advised.pAdvSink);
  if (advised.pAdvSink) advised.pAdvSink->Release();
  advises.Reset();
  EXPECT_EQ(S_OK, control_->Close(OLECLOSE_NOSAVE));
  EXPECT_EQ(1, sink.closes);
  EXPECT_EQ(S_OK, control_->Unadvise(connection));
  EXPECT_EQ(S_OK, control_->Close(OLECLOSE_NOSAVE));
  EXPECT_EQ(1, sink.closes);
  EXPECT_EQ(1u, sink.references);

  // The view's sink: kept with its aspects and flags until replaced.
  ComPtr<IViewObject2> view = As<IViewObject2>();
  ASSERT_EQ(S_OK, view->SetAdvise(DVASPECT_CONTENT, ADVF_PRIMEFIRST, &sink));
  DWORD aspects = 0, flags = 0;
  ComPtr<IAdviseSink> viewSink;
  ASSERT_EQ(S_OK, view->GetAdvise(&aspects, &flags, viewSink.Put()));
  EXPECT_EQ(std::make_tuple(DWORD{DVASPECT_CONTENT}, DWORD{ADVF_PRIMEFIRST}, static_cast<IAdviseSink*>(&sink)),
            std::make_tuple(aspects, flags, viewSink.Get()));
  viewSink.Reset();
  ASSERT_EQ(S_OK, view->SetAdvise(DVASPECT_CONTENT, 0, nullptr));
  EXPECT_EQ(1u, sink.references);

  auto* moniker = reinterpret_cast<IMoniker*>(1);
  EXPECT_EQ(E_NOTIMPL, control_->GetMoniker(OLEGETMONIKER_ONLYIFTHERE, OLEWHICHMK_OBJFULL, &moniker));
  EXPECT_EQ(nullptr, moniker);
  auto* data = reinterpret_cast<IDataObject*>(1);
  EXPECT_EQ(E_NOTIMPL, control_->GetClipboardData(0, &data));
  EXPECT_EQ(nullptr, data);
}

TEST_F(ParkedWindow, CloseSavesThroughTheSiteOnlyWhenDirtyAndAskedTo) {
  ASSERT_EQ(S_OK, control_->SetClientSite(&site_));
  ASSERT_EQ(S_OK, As<IPersistStreamInit>()->InitNew());
  EXPECT_EQ(S_OK, control_->Close(OLECLOSE_SAVEIFDIRTY));  // not dirty
  EXPECT_EQ(Notes{}, site_.notes);

  ComPtr<IProbe> probe = As<IProbe>();
  ASSERT_EQ(S_OK, probe->put_Caption(Bstr(L"changed").Get()));
  EXPECT_EQ(S_OK, As<IPersistStreamInit>()->IsDirty());
  EXPECT_EQ(S_OK, control_->Close(OLECLOSE_NOSAVE));
  EXPECT_EQ(Notes{}, site_.notes);
  EXPECT_EQ(S_OK, control_->Close(OLECLOSE_SAVEIFDIRTY));
  EXPECT_EQ(S_OK, control_->Close(OLECLOSE_PROMPTSAVE));
  EXPECT_EQ((Notes{L"save", L"save"}), site_.notes);
}

TEST_F(ActivationWindow, TheSitesAmbientFontReachesTheControlAtEveryChange) {
  auto fontOf = [](const wchar_t* face) {
    FONTDESC description{sizeof(FONTDESC), const_cast<LPOLESTR>(face), {{82500, 0}}, FW_NORMAL,
                         DEFAULT_CHARSET, FALSE, FALSE, FALSE};
    ComPtr<IFontDisp> font;
    EXPECT_EQ(S_OK, ::OleCreateFontIndirect(&description, IID_IFontDisp, font.PutVoid()));
    return font;
  };
  auto handleOf = [](const ComPtr<IFontDisp>& font) {
    ComPtr<IFont> asFont;
    EXPECT_EQ(S_OK, font.As(asFont));
    HFONT handle = nullptr;
    asFont->get_hFont(&handle);
    return handle;
  };
  site_.ambientFont = fontOf(L"Tahoma");
  HFONT first = handleOf(site_.ambientFont);
  ASSERT_EQ(S_OK, control_->SetClientSite(&site_));

  site_.ambientFont = fontOf(L"Courier New");
  HFONT second = handleOf(site_.ambientFont);
  ComPtr<IOleControl> control = As<IOleControl>();
  EXPECT_EQ(S_OK, control->OnAmbientPropertyChange(DISPID_AMBIENT_BACKCOLOR));  // the font stays
  EXPECT_EQ(S_OK, control->OnAmbientPropertyChange(DISPID_AMBIENT_FONT));
  site_.ambientFont.Reset();  // the control keeps the font it was given
  LOGFONTW kept{};
  EXPECT_NE(0, ::GetObjectW(second, sizeof(kept), &kept));
  EXPECT_STREQ(L"Courier New", kept.lfFaceName);
  site_.ambientFontName = L"Arial";  // not a font object: the control has none
  EXPECT_EQ(S_OK, control->OnAmbientPropertyChange(DISPID_AMBIENT_FONT));

  EXPECT_EQ(S_OK, control_->SetClientSite(nullptr));
  using Change = std::pair<DISPID, HFONT>;
  EXPECT_EQ((std::vector<Change>{{DISPID_UNKNOWN, first},
                                 {DISPID_AMBIENT_BACKCOLOR, first},
                                 {DISPID_AMBIENT_FONT, second},
                                 {DISPID_AMBIENT_FONT, nullptr},
                                 {DISPID_UNKNOWN, nullptr}}),
            probe_->ambientChanges);
  EXPECT_EQ(1u, site_.references);
}

TEST_F(ActivationWindow, AControlWithoutEventsOffersOnlyItsPropertyChanges) {
  ComPtr<IConnectionPointContainer> container = As<IConnectionPointContainer>();
  ComPtr<IConnectionPoint> point;
  EXPECT_EQ(S_OK, container->FindConnectionPoint(IID_IPropertyNotifySink, point.Put()));
  EXPECT_EQ(CONNECT_E_NOCONNECTION, container->FindConnectionPoint(IID_NULL, point.Put()));
  std::vector<ComPtr<IConnectionPoint>> points = EnumeratedPoints(container.Get());
  ASSERT_EQ(1u, points.size());
  IID outgoing{};
  EXPECT_EQ(S_OK, points[0]->GetConnectionInterface(&outgoing));
  EXPECT_EQ(IID_IPropertyNotifySink, outgoing);
  GUID events = IID_IDispatch;
  EXPECT_EQ(E_FAIL, As<IProvideClassInfo2>()->GetGUID(GUIDKIND_DEFAULT_SOURCE_DISP_IID, &events));
  EXPECT_EQ(GUID_NULL, events);
}

TEST_F(ParkedWindow, AControlWithEventsOffersTheirInterface) {
  GUID events{};
  EXPECT_EQ(S_OK, As<IProvideClassInfo2>()->GetGUID(GUIDKIND_DEFAULT_SOURCE_DISP_IID, &events));
  EXPECT_EQ(DIID_DProbeEvents, events);
  ComPtr<IConnectionPointContainer> container = As<IConnectionPointContainer>();
  ComPtr<IConnectionPoint> point;
  EXPECT_EQ(S_OK, container->FindConnectionPoint(DIID_DProbeEvents, point.Put()));
  std::vector<ComPtr<IConnectionPoint>> points = EnumeratedPoints(container.Get());
  ASSERT_EQ(2u, points.size());
  EXPECT_EQ(point.Get(), points[0].Get());  // the events first, then property changes
}

namespace {

// A property-change sink that unadvises itself when the point lets go of it,
// as a sink that tidies up in its release does. It holds its point by a raw
// pointer: a reference would keep the control alive.
class SelfUnadvisingSink : public IPropertyNotifySink {
 public:
  STDMETHODIMP QueryInterface(REFIID iid, void** out) override {
    return formsrt::QueryObject<IPropertyNotifySink>(this, iid, out);
  }
  STDMETHODIMP_(ULONG) AddRef() override { return ++references; }
  STDMETHODIMP_(ULONG) Release() override {
    if (--references == 1 && point) std::exchange(point, nullptr)->Unadvise(cookie);
    return references;
  }
  STDMETHODIMP OnChanged(DISPID) override { return S_OK; }
  STDMETHODIMP OnRequestEdit(DISPID) override { return S_OK; }

  ULONG references = 1;
  IConnectionPoint* point = nullptr;  // when set, unadvised at the point's release
  DWORD cookie = 0;
};

}  // namespace

// The final release: whatever the site and the sinks call back while the
// control lets go of them, the control is destroyed once and releases each
// of them once.
TEST(FinalRelease, ASiteCallingBackFromItsReleaseLeavesTheControlDestroyedOnce) {
  FakeInPlaceSite site(nullptr);
  long objects = formsrt::ActiveObjectCount();
  IOleObject* control = new ParkedProbe;
  ASSERT_EQ(S_OK, control->SetClientSite(&site));
  site.onRelease = [&] {
    control->AddRef();
    control->Release();
  };
  EXPECT_EQ(0u, control->Release());
  EXPECT_EQ(objects, formsrt::ActiveObjectCount());
  EXPECT_EQ(1u, site.references);
}

TEST(FinalRelease, SinksThatUnadviseAsTheyAreReleasedAreEachReleasedOnce) {
  IOleObject* control = new ParkedProbe;
  ComPtr<IConnectionPointContainer> container;
  ASSERT_EQ(S_OK, control->QueryInterface(IID_IConnectionPointContainer, container.PutVoid()));
  ComPtr<IConnectionPoint> point;
  ASSERT_EQ(S_OK, container->FindConnectionPoint(IID_IPropertyNotifySink, point.Put()));
  SelfUnadvisingSink sinks[3];
  for (SelfUnadvisingSink& sink : sinks) ASSERT_EQ(S_OK, point->Advise(&sink, &sink.cookie));
  sinks[0].point = sinks[2].point = point.Get();
  point.Reset();
  container.Reset();
  EXPECT_EQ(0u, control->Release());
  for (const SelfUnadvisingSink& sink : sinks) EXPECT_EQ(1u, sink.references);
}
