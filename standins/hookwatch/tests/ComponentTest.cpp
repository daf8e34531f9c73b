// Hookwatch.dll as its clients meet it after registration: classes created by
// ProgID, the type library a client binds to, events through a connection
// point, and late-bound calls.
#include <gtest/gtest.h>
#include <ocidl.h>
#include <olectl.h>

#include "ByReference.h"
#include "EventSink.h"
#include "FakeSubClass.h"
#include "Hookwatch.h"
#include "MessagePump.h"
#include "TestWindow.h"
#include "core/Bstr.h"
#include "com/ModuleCounts.h"
#include "com/ServerRegistration.h"
#include "com/ComPtr.h"
#include "com/TypeDescriptions.h"
#include "com/LateBound.h"
#include "com/RegistryKey.h"
#include "core/RuntimeError.h"
#include "core/Variant.h"

using namespace formsrt;

namespace {

using testing_support::PumpMessagesFor;
using testing_support::PumpMessagesUntil;

template <class Interface>
ComPtr<Interface> CreateByProgId(const wchar_t* progId) {
  CLSID clsid{};
  EXPECT_EQ(S_OK, ::CLSIDFromProgID(progId, &clsid));
  ComPtr<Interface> object;
  EXPECT_EQ(S_OK, ::CoCreateInstance(clsid, nullptr, CLSCTX_INPROC_SERVER, __uuidof(Interface),
                                     object.PutVoid()));
  return object;
}

ComPtr<ITypeInfo> RegisteredTypeInfo(REFGUID guid) {
  ComPtr<ITypeLib> library;
  EXPECT_EQ(S_OK, ::LoadRegTypeLib(LIBID_HookwatchLib, 1, 0, 0, library.Put()));
  ComPtr<ITypeInfo> info;
  if (library) {
    EXPECT_EQ(S_OK, library->GetTypeInfoOfGuid(guid, info.Put()));
  }
  return info;
}

// The vtable interface behind a dual interface's dispatch type information.
ComPtr<ITypeInfo> VtableInterface(ITypeInfo* dual) {
  HREFTYPE reference = 0;
  EXPECT_EQ(S_OK, dual->GetRefTypeOfImplType(-1, &reference));
  ComPtr<ITypeInfo> vtable;
  EXPECT_EQ(S_OK, dual->GetRefTypeInfo(reference, vtable.Put()));
  return vtable;
}

// A member as a client binds to it: its vtable slot counts from the start of
// the interface (IDispatch's own seven come first), and each parameter's type
// is "*" for each pointer, then its VARTYPE.
struct Member {
  std::wstring name;
  INVOKEKIND kind;
  SHORT slot;
  bool hidden;
  std::vector<std::string> parameters;
  bool operator==(const Member&) const = default;
};
using Members = std::vector<Member>;

void PrintTo(const Member& m, std::ostream* out) {
  *out << testing::PrintToString(m.name) << " kind " << m.kind << " slot " << m.slot
       << (m.hidden ? " hidden " : " ") << testing::PrintToString(m.parameters);
}

// Appends rather than prepends: GCC 12's -O3 reports a false overlap
// (-Wrestrict) in the 32-bit build for a literal prepended to a temporary.
std::string TypeText(const TYPEDESC& type) {
  std::string text;
  const TYPEDESC* inner = &type;
  for (; inner->vt == VT_PTR && inner->lptdesc; inner = inner->lptdesc) text += '*';
  if (inner->vt == VT_I4) return text.append("I4");
  if (inner->vt == VT_USERDEFINED) return text.append("user-defined");
  return text.append(std::to_string(inner->vt));
}

Members MembersOf(ITypeInfo* info) {
  formsrt::TypeAttributes attr(info);
  EXPECT_TRUE(attr);
  Members members;
  for (UINT i = 0; attr && i < attr->cFuncs; ++i) {
    formsrt::FunctionDescription desc(info, i);
    if (!desc) continue;
    Bstr name;
    info->GetDocumentation(desc->memid, name.Put(), nullptr, nullptr, nullptr);
    Member member{name.Str(), desc->invkind, static_cast<SHORT>(desc->oVft / sizeof(void*)),
                  (desc->wFuncFlags & FUNCFLAG_FHIDDEN) != 0, {}};
    for (SHORT p = 0; p < desc->cParams; ++p) {
      member.parameters.push_back(TypeText(desc->lprgelemdescParam[p].tdesc));
    }
    members.push_back(member);
  }
  return members;
}

WORD TypeFlags(ITypeInfo* info) {
  formsrt::TypeAttributes attr(info);
  return attr ? attr->wTypeFlags : 0;
}

}  // namespace

TEST(HookwatchComponent, IsRegisteredWithItsProgIdsAndTypeLibrary) {
  for (const auto& [progId, clsid] : {std::pair{L"HookwatchLib.HookwatchGlobal", CLSID_HookwatchGlobal},
                                      std::pair{L"HookwatchLib.HookwatchTimer", CLSID_HookwatchTimer}}) {
    SCOPED_TRACE(progId);
    CLSID found{};
    EXPECT_EQ(S_OK, ::CLSIDFromProgID(progId, &found));
    EXPECT_EQ(clsid, found);
    RegistryKey server = RegistryKey::Open(HKEY_CLASSES_ROOT, L"CLSID\\" + GuidText(clsid) + L"\\InprocServer32");
    EXPECT_NE(std::wstring::npos, server.GetString(nullptr).find(L"Hookwatch.dll"));
    EXPECT_EQ(L"Apartment", server.GetString(L"ThreadingModel"));
  }
  EXPECT_TRUE(RegisteredTypeInfo(IID_ISubClass));
}

TEST(HookwatchComponent, TheTypeLibraryDescribesWhatClientsBindTo) {
  ComPtr<ITypeInfo> subClass = RegisteredTypeInfo(IID_ISubClass);
  ASSERT_TRUE(subClass);
  EXPECT_TRUE(TypeFlags(subClass.Get()) & TYPEFLAG_FDUAL);
  EXPECT_EQ((Members{{L"MsgResponse", INVOKE_PROPERTYGET, 7, false, {"*user-defined"}},
                     {L"MsgResponse", INVOKE_PROPERTYPUT, 8, false, {"user-defined"}},
                     {L"WindowProc", INVOKE_FUNC, 9, false, {"I4", "I4", "I4", "I4", "*I4"}}}),
            MembersOf(VtableInterface(subClass.Get()).Get()));

  ComPtr<ITypeInfo> global = RegisteredTypeInfo(CLSID_HookwatchGlobal);
  ASSERT_TRUE(global);
  EXPECT_EQ(TYPEFLAG_FAPPOBJECT | TYPEFLAG_FCANCREATE, TypeFlags(global.Get()) & (TYPEFLAG_FAPPOBJECT | TYPEFLAG_FCANCREATE));
  // The client goes by reference to its ISubClass pointer.
  EXPECT_EQ((Members{{L"AttachMessage", INVOKE_FUNC, 7, false, {"**user-defined", "I4", "I4"}},
                     {L"DetachMessage", INVOKE_FUNC, 8, false, {"**user-defined", "I4", "I4"}},
                     {L"AttachmentCount", INVOKE_PROPERTYGET, 9, true, {"*I4"}}}),
            MembersOf(VtableInterface(RegisteredTypeInfo(IID_IHookwatchGlobal).Get()).Get()));
  // The interval goes by reference both ways.
  EXPECT_EQ((Members{{L"Interval", INVOKE_PROPERTYGET, 7, false, {"*I4"}},
                     {L"Interval", INVOKE_PROPERTYPUT, 8, false, {"*I4"}}}),
            MembersOf(VtableInterface(RegisteredTypeInfo(IID_IHookwatchTimer).Get()).Get()));
  EXPECT_EQ((Members{{L"ThatTime", INVOKE_FUNC, 0, false, {}}}),
            MembersOf(RegisteredTypeInfo(DIID___HookwatchTimer).Get()));
}

TEST(HookwatchComponent, EveryTypeAndMemberCarriesAHelpString) {
  ComPtr<ITypeLib> library;
  ASSERT_EQ(S_OK, ::LoadRegTypeLib(LIBID_HookwatchLib, 1, 0, 0, library.Put()));
  for (UINT t = 0; t < library->GetTypeInfoCount(); ++t) {
    ComPtr<ITypeInfo> info;
    ASSERT_EQ(S_OK, library->GetTypeInfo(t, info.Put()));
    Bstr typeName, typeHelp;
    info->GetDocumentation(MEMBERID_NIL, typeName.Put(), typeHelp.Put(), nullptr, nullptr);
    SCOPED_TRACE(std::string(typeName.View().begin(), typeName.View().end()));
    EXPECT_GT(typeHelp.Length(), 0u);
    formsrt::TypeAttributes attr(info.Get());
    ASSERT_TRUE(attr);
    WORD count = attr->typekind == TKIND_DISPATCH || attr->typekind == TKIND_INTERFACE ? attr->cFuncs : 0;
    for (UINT f = 0; f < count; ++f) {
      formsrt::FunctionDescription desc(info.Get(), f);
      ASSERT_TRUE(desc);
      if (desc->memid < 0x60000000 || desc->memid > 0x6002FFFF) {  // not IDispatch's own
        Bstr name, help;
        info->GetDocumentation(desc->memid, name.Put(), help.Put(), nullptr, nullptr);
        EXPECT_GT(help.Length(), 0u) << std::string(name.View().begin(), name.View().end());
      }
    }
  }
}

TEST(HookwatchComponent, ATimerCreatedByProgIdRaisesThatTimeToAConnectedSink) {
  EventSink sink;  // outlives the timer
  ComPtr<IDispatch> timer = CreateByProgId<IDispatch>(L"HookwatchLib.HookwatchTimer");
  ASSERT_TRUE(timer);
  ComPtr<IConnectionPointContainer> container;
  ASSERT_EQ(S_OK, timer.As(container));
  ComPtr<IConnectionPoint> point;
  ASSERT_EQ(S_OK, container->FindConnectionPoint(DIID___HookwatchTimer, point.Put()));
  DWORD cookie = 0;
  ASSERT_EQ(S_OK, point->Advise(&sink, &cookie));

  PutProperty(timer.Get(), L"Interval", Variant::FromInt32(50).Get());
  EXPECT_EQ(50, V_I4(&GetProperty(timer.Get(), L"Interval").Get()));
  ASSERT_TRUE(PumpMessagesUntil([&] { return sink.ticks >= 2; }, 3000));
  EXPECT_EQ(0, sink.ticksOnOtherThreads);

  // As a script passes its variable: by reference to a VARIANT.
  Variant stop = Variant::FromInt16(-1);
  PutProperty(timer.Get(), L"Interval", testing_support::ByReference(stop));
  EXPECT_EQ(-1, V_I4(&GetProperty(timer.Get(), L"Interval").Get()));
  int ticks = sink.ticks;
  PumpMessagesFor(150);  // shows that no tick comes once stopped
  EXPECT_EQ(ticks, sink.ticks);

  EXPECT_EQ(S_OK, point->Unadvise(cookie));
  EXPECT_EQ(1u, sink.References());
}

TEST(HookwatchComponent, TheGlobalObjectCreatedByProgIdRoutesAWindowsMessageToItsClient) {
  TestWindow window;  // both outlive the global object
  FakeSubClass client("client");
  ComPtr<IHookwatchGlobal> global = CreateByProgId<IHookwatchGlobal>(L"HookwatchLib.HookwatchGlobal");
  ASSERT_TRUE(global);
  ISubClass* reference = &client;
  ASSERT_EQ(S_OK, global->AttachMessage(&reference, window.HandleValue(), TestWindow::kProbe));
  ComPtr<IDispatch> automation;
  ASSERT_EQ(S_OK, global.As(automation));
  EXPECT_EQ(1, V_I4(&GetProperty(automation.Get(), L"AttachmentCount").Get()));

  EXPECT_EQ(TestWindow::kProbeAnswer, ::SendMessageW(window.Handle(), TestWindow::kProbe, 0, 0));
  EXPECT_EQ(1u, client.calls.size());

  ASSERT_EQ(S_OK, global->DetachMessage(&reference, window.HandleValue(), TestWindow::kProbe));
  EXPECT_EQ(0, V_I4(&GetProperty(automation.Get(), L"AttachmentCount").Get()));
  EXPECT_EQ(1u, client.References());
}

TEST(HookwatchComponent, ALateBoundClientThatIsNoSubClassIsRefused) {
  TestWindow window;
  EventSink notASubClass;  // an automation object without ISubClass
  ComPtr<IDispatch> global = CreateByProgId<IDispatch>(L"HookwatchLib.HookwatchGlobal");
  ASSERT_TRUE(global);
  Variant client = Variant::FromDispatch(&notASubClass);
  Variant handle = Variant::FromInt32(window.HandleValue());
  Variant message = Variant::FromInt32(TestWindow::kProbe);
  VARIANT arguments[] = {message.Get(), handle.Get(), client.Get()};  // last first
  DISPPARAMS params{arguments, nullptr, 3, 0};
  DISPID attach = LookupMember(global.Get(), L"AttachMessage");
  EXCEPINFO info{};
  EXPECT_EQ(DISP_E_EXCEPTION, global->Invoke(attach, IID_NULL, 0, DISPATCH_METHOD, &params,
                                             nullptr, &info, nullptr));
  EXPECT_EQ(HresultFromErrorNumber(error::TypeMismatch), info.scode);
  Bstr source = Bstr::Attach(info.bstrSource), description = Bstr::Attach(info.bstrDescription);
  EXPECT_EQ(0, V_I4(&GetProperty(global.Get(), L"AttachmentCount").Get()));
  EXPECT_EQ(TestWindow::kProbeAnswer, ::SendMessageW(window.Handle(), TestWindow::kProbe, 0, 0));
}
