// What containers and clients read about QuennetCtl: its registration and
// its type library (members in slot order, DISPIDs, by-reference
// parameters, the events, the flags of each type).
#include <gtest/gtest.h>

#include <string>
#include <tuple>
#include <vector>

#include "Quennet.h"
#include "core/Bstr.h"
#include "com/ServerRegistration.h"
#include "com/ComPtr.h"
#include "com/TypeDescriptions.h"
#include "com/RegistryKey.h"

using formsrt::Bstr;
using formsrt::ComPtr;
using formsrt::GuidText;
using formsrt::RegistryKey;

namespace {

struct Member {
  const wchar_t* name;
  DISPID id;
  int byReferenceParameters;  // every method parameter is [in, out]
  bool returnsValue;
};

// _QuennetCtl in slot order; each property appears once (get and put share an id).
const Member kMembers[] = {
    {L"STxClearIcon", 0x60030003, 0, false},     {L"FCxCenterForm", 0x60030005, 1, true},
    {L"FCxLaunchCPA", 0x60030006, 1, true},      {L"QuietErrors", 0x68030002, 0, true},
    {L"STxMenu", 0x68030001, 0, true},           {L"STxTrayTTT", 0x68030000, 0, true},
    {L"STxLoadIcon", 0x6003000c, 2, true},       {L"FCxReturnPath", 0x6003000d, 1, true},
    {L"FCxFindReplace1st", 0x6003000e, 3, true}, {L"FCxFindReplaceAll", 0x6003000f, 3, true},
    {L"FCxFlashWindow", 0x60030010, 1, true},    {L"FCxStopFlashWindow", 0x60030011, 0, true},
    {L"FCxAlignDeskIcons", 0x60030012, 0, true}, {L"FCxAltMove", 0x60030013, 1, true},
    {L"FCxShellNav", 0x60030014, 1, true},       {L"FCxSetMousePos", 0x60030015, 2, true},
    {L"FCxOpenMail", 0x60030016, 1, true},       {L"FCxSetWallpaper", 0x60030017, 1, true},
    {L"ShowAbout", 0x60030018, 0, true},         {L"FCxMakeTop", 0x60030019, 1, false},
    {L"FCxMakeNormal", 0x6003001a, 1, false},    {L"FCxGMP_Y", 0x6003001b, 0, true},
    {L"FCxGMP_X", 0x6003001c, 0, true},          {L"FCxTransparent", 0x6003001d, 1, true},
};

ComPtr<ITypeLib> RegisteredLibrary() {
  ComPtr<ITypeLib> library;
  EXPECT_EQ(S_OK, ::LoadRegTypeLib(LIBID_Quennet, 18, 0, 0, library.Put()));
  return library;
}

WORD TypeFlags(ITypeInfo* info) {
  formsrt::TypeAttributes attributes(info);
  return attributes ? attributes->wTypeFlags : 0;
}

std::wstring Name(ITypeInfo* info, MEMBERID id) {
  Bstr name;
  info->GetDocumentation(id, name.Put(), nullptr, nullptr, nullptr);
  return name.Str();
}

RegistryKey ClassKey(const std::wstring& below = L"") {
  std::wstring key = L"CLSID\\" + GuidText(CLSID_QuennetCtl);
  return RegistryKey::Open(HKEY_CLASSES_ROOT, below.empty() ? key : key + L"\\" + below);
}

}  // namespace

TEST(TypeLibrary, LibraryVersionAndHelpString) {
  ComPtr<ITypeLib> library = RegisteredLibrary();
  ASSERT_TRUE(library);
  TLIBATTR* attr = nullptr;
  library->GetLibAttr(&attr);
  EXPECT_EQ(std::make_tuple(18, 0), std::make_tuple(attr->wMajorVerNum, attr->wMinorVerNum));
  library->ReleaseTLibAttr(attr);
  Bstr name, help;
  library->GetDocumentation(-1, name.Put(), help.Put(), nullptr, nullptr);
  EXPECT_EQ(std::make_tuple(L"Quennet", L"Quennet"), std::make_tuple(name.Str(), help.Str()));
}

TEST(TypeLibrary, DefaultInterfaceMembersInSlotOrder) {
  ComPtr<ITypeInfo> dispatch;
  ASSERT_EQ(S_OK, RegisteredLibrary()->GetTypeInfoOfGuid(IID__QuennetCtl, dispatch.Put()));
  EXPECT_EQ(TYPEFLAG_FDUAL | TYPEFLAG_FHIDDEN | TYPEFLAG_FNONEXTENSIBLE | TYPEFLAG_FDISPATCHABLE,
            TypeFlags(dispatch.Get()));
  // The vtable half of the dual interface, slot by slot after IDispatch.
  HREFTYPE vtableRef = 0;
  ASSERT_EQ(S_OK, dispatch->GetRefTypeOfImplType(-1, &vtableRef));
  ComPtr<ITypeInfo> vtable;
  ASSERT_EQ(S_OK, dispatch->GetRefTypeInfo(vtableRef, vtable.Put()));

  std::vector<std::wstring> names;
  size_t member = 0;
  for (UINT index = 0;; ++index) {
    formsrt::FunctionDescription function(vtable.Get(), index);
    if (!function) break;
    std::wstring name = Name(vtable.Get(), function->memid);
    if (names.empty() || names.back() != name) {
      names.push_back(name);
      ASSERT_LT(member, std::size(kMembers));
      const Member& expected = kMembers[member++];
      EXPECT_EQ(expected.name, name);
      EXPECT_EQ(expected.id, function->memid) << name;
      if (function->invkind == INVOKE_FUNC) {
        int parameters = function->cParams - (expected.returnsValue ? 1 : 0);
        EXPECT_EQ(expected.byReferenceParameters, parameters) << name;
        for (int p = 0; p < parameters; ++p) {
          const ELEMDESC& param = function->lprgelemdescParam[p];
          EXPECT_EQ(VT_PTR, param.tdesc.vt) << name;
          EXPECT_EQ(PARAMFLAG_FIN | PARAMFLAG_FOUT,
                    param.paramdesc.wParamFlags & (PARAMFLAG_FIN | PARAMFLAG_FOUT))
              << name;
        }
      }
    }
  }
  EXPECT_EQ(std::size(kMembers), names.size());
}

TEST(TypeLibrary, EventInterfaceAndControlClass) {
  ComPtr<ITypeLib> library = RegisteredLibrary();
  ComPtr<ITypeInfo> events;
  ASSERT_EQ(S_OK, library->GetTypeInfoOfGuid(DIID___QuennetCtl, events.Put()));
  EXPECT_EQ(TYPEFLAG_FHIDDEN | TYPEFLAG_FNONEXTENSIBLE, TypeFlags(events.Get()) & (TYPEFLAG_FHIDDEN | TYPEFLAG_FNONEXTENSIBLE));
  const wchar_t* expected[] = {L"STxClick", L"STxMouseUp", L"STxDBLClick"};
  for (UINT index = 0; index < 3; ++index) {
    formsrt::FunctionDescription function(events.Get(), index);
    ASSERT_TRUE(function);
    EXPECT_EQ(static_cast<MEMBERID>(index + 1), function->memid);
    EXPECT_EQ(expected[index], Name(events.Get(), function->memid));
    ASSERT_EQ(1, function->cParams);
    EXPECT_EQ(VT_PTR, function->lprgelemdescParam[0].tdesc.vt);
    EXPECT_EQ(VT_BOOL, function->lprgelemdescParam[0].tdesc.lptdesc->vt);
  }

  ComPtr<ITypeInfo> coclass;
  ASSERT_EQ(S_OK, library->GetTypeInfoOfGuid(CLSID_QuennetCtl, coclass.Put()));
  EXPECT_EQ(TYPEFLAG_FCONTROL | TYPEFLAG_FCANCREATE, TypeFlags(coclass.Get()) & (TYPEFLAG_FCONTROL | TYPEFLAG_FCANCREATE));
  INT implFlags = 0;
  coclass->GetImplTypeFlags(1, &implFlags);
  EXPECT_EQ(IMPLTYPEFLAG_FDEFAULT | IMPLTYPEFLAG_FSOURCE, implFlags);
}

TEST(Registration, WritesWhatContainersLookFor) {
  ASSERT_TRUE(ClassKey());
  EXPECT_TRUE(ClassKey(L"Control"));
  EXPECT_EQ(L"131473", ClassKey(L"MiscStatus\\1").GetString(nullptr));
  std::wstring toolbox = ClassKey(L"ToolboxBitmap32").GetString(nullptr);
  EXPECT_NE(std::wstring::npos, toolbox.find(L"Quennet.ocx, 1")) << toolbox;
  EXPECT_EQ(GuidText(LIBID_Quennet), ClassKey(L"TypeLib").GetString(nullptr));
  EXPECT_EQ(L"18.0", ClassKey(L"Version").GetString(nullptr));
  EXPECT_EQ(L"Quennet.QuennetCtl", ClassKey(L"ProgID").GetString(nullptr));
  EXPECT_EQ(L"Apartment", ClassKey(L"InprocServer32").GetString(L"ThreadingModel"));
  EXPECT_TRUE(ClassKey(L"Implemented Categories\\{40FC6ED4-2438-11CF-A3DB-080036F12502}"));
}
