// What the registered server tells its clients: the registry entries and the
// compiled type library (names, DISPIDs, vtable slots, flags, parameters).
#include <gtest/gtest.h>

#include "MemberTable.h"
#include "Vanterbox.h"
#include "core/Bstr.h"
#include "com/ServerRegistration.h"
#include "com/ComPtr.h"
#include "com/TypeDescriptions.h"
#include "com/RegistryKey.h"

using namespace formsrt;
using vanterbox_testing::kMembers;

namespace {

ComPtr<ITypeLib> RegisteredLibrary() {
  ComPtr<ITypeLib> library;
  EXPECT_EQ(S_OK, ::LoadRegTypeLib(LIBID_Vanterbox, 1, 0, 0, library.Put()));
  return library;
}

// The dual interface as IDispatch::GetTypeInfo describes it (TKIND_DISPATCH).
ComPtr<ITypeInfo> DispatchSide() {
  ComPtr<ITypeInfo> info;
  ComPtr<ITypeLib> library = RegisteredLibrary();
  if (library) {
    EXPECT_EQ(S_OK, library->GetTypeInfoOfGuid(IID__qzMixerVolume, info.Put()));
  }
  return info;
}

// The type that a type implements as its implType-th; -1 on the dispatch side
// gives the same interface's vtable description (TKIND_INTERFACE).
ComPtr<ITypeInfo> ImplementedType(ITypeInfo* info, UINT implType) {
  HREFTYPE reference = 0;
  ComPtr<ITypeInfo> implemented;
  EXPECT_EQ(S_OK, info->GetRefTypeOfImplType(implType, &reference));
  EXPECT_EQ(S_OK, info->GetRefTypeInfo(reference, implemented.Put()));
  return implemented;
}

// Reads a type's attributes and releases them.
TYPEATTR AttributesOf(ITypeInfo* info) {
  formsrt::TypeAttributes attributes(info);
  EXPECT_TRUE(attributes);
  return attributes ? *attributes : TYPEATTR{};
}

bool IsLongPointer(const ELEMDESC& element) {
  return element.tdesc.vt == VT_PTR && element.tdesc.lptdesc->vt == VT_I4;
}

std::wstring TypeName(ITypeInfo* info) {
  Bstr name;
  EXPECT_EQ(S_OK, info->GetDocumentation(MEMBERID_NIL, name.Put(), nullptr, nullptr, nullptr));
  return name.Str();
}

std::vector<std::wstring> NamesOf(ITypeInfo* info, MEMBERID id) {
  BSTR names[3] = {};
  UINT count = 0;
  EXPECT_EQ(S_OK, info->GetNames(id, names, 3, &count));
  std::vector<std::wstring> result;
  for (UINT i = 0; i < count; ++i) result.push_back(Bstr::Attach(names[i]).Str());
  return result;
}

}  // namespace

TEST(Registration, TheClassIsFoundByProgIdRunsInItsCallersApartmentAndNamesItsLibrary) {
  CLSID clsid{};
  ASSERT_EQ(S_OK, ::CLSIDFromProgID(L"Vanterbox.qzMixerVolume", &clsid));
  EXPECT_EQ(CLSID_qzMixerVolume, clsid);
  std::wstring classKey = L"CLSID\\" + GuidText(CLSID_qzMixerVolume);
  RegistryKey inproc = RegistryKey::Open(HKEY_CLASSES_ROOT, classKey + L"\\InprocServer32");
  ASSERT_TRUE(inproc);
  EXPECT_NE(std::wstring::npos, inproc.GetString(nullptr).find(L"Vanterbox.dll"));
  EXPECT_EQ(L"Apartment", inproc.GetString(L"ThreadingModel"));
  EXPECT_EQ(GuidText(LIBID_Vanterbox),
            RegistryKey::Open(HKEY_CLASSES_ROOT, classKey + L"\\TypeLib").GetString(nullptr));
  EXPECT_EQ(L"1.0", RegistryKey::Open(HKEY_CLASSES_ROOT, classKey + L"\\Version").GetString(nullptr));
}

TEST(TypeLibrary, LibraryAndClassAreAsPublished) {
  ComPtr<ITypeLib> library = RegisteredLibrary();
  ASSERT_TRUE(library);
  TLIBATTR* attr = nullptr;
  ASSERT_EQ(S_OK, library->GetLibAttr(&attr));
  EXPECT_EQ(std::make_pair(WORD{1}, WORD{0}), std::make_pair(attr->wMajorVerNum, attr->wMinorVerNum));
  library->ReleaseTLibAttr(attr);
  Bstr name;
  ASSERT_EQ(S_OK, library->GetDocumentation(-1, name.Put(), nullptr, nullptr, nullptr));
  EXPECT_EQ(L"Vanterbox", name.Str());

  ComPtr<ITypeInfo> coclass;
  ASSERT_EQ(S_OK, library->GetTypeInfoOfGuid(CLSID_qzMixerVolume, coclass.Put()));
  TYPEATTR classAttr = AttributesOf(coclass.Get());
  EXPECT_EQ(TKIND_COCLASS, classAttr.typekind);
  EXPECT_TRUE(classAttr.wTypeFlags & TYPEFLAG_FCANCREATE);
  EXPECT_EQ(L"qzMixerVolume", TypeName(coclass.Get()));
  ComPtr<ITypeInfo> defaultInterface = ImplementedType(coclass.Get(), 0);
  ASSERT_TRUE(defaultInterface);
  EXPECT_EQ(IID__qzMixerVolume, AttributesOf(defaultInterface.Get()).guid);
  INT implFlags = 0;
  ASSERT_EQ(S_OK, coclass->GetImplTypeFlags(0, &implFlags));
  EXPECT_TRUE(implFlags & IMPLTYPEFLAG_FDEFAULT);
}

TEST(TypeLibrary, TheInterfaceIsDualHiddenAndNotExtensible) {
  ComPtr<ITypeInfo> dispatchSide = DispatchSide();
  ASSERT_TRUE(dispatchSide);
  ComPtr<ITypeInfo> vtableSide = ImplementedType(dispatchSide.Get(), -1);
  ASSERT_TRUE(vtableSide);

  for (ITypeInfo* info : {dispatchSide.Get(), vtableSide.Get()}) {
    TYPEATTR attr = AttributesOf(info);
    SCOPED_TRACE(attr.typekind);
    EXPECT_EQ(L"_qzMixerVolume", TypeName(info));
    const WORD flags = TYPEFLAG_FHIDDEN | TYPEFLAG_FNONEXTENSIBLE | TYPEFLAG_FDUAL;
    EXPECT_EQ(flags, attr.wTypeFlags & flags);
  }
  EXPECT_EQ(TKIND_DISPATCH, AttributesOf(dispatchSide.Get()).typekind);
  TYPEATTR vtableAttr = AttributesOf(vtableSide.Get());
  EXPECT_EQ(TKIND_INTERFACE, vtableAttr.typekind);
  EXPECT_TRUE(vtableAttr.wTypeFlags & TYPEFLAG_FOLEAUTOMATION) << "automation types only";
}

TEST(TypeLibrary, TwentyPropertyGetsInTableOrderWithTheirDispidsAndParameters) {
  ComPtr<ITypeInfo> dispatchSide = DispatchSide();
  ASSERT_TRUE(dispatchSide);
  ComPtr<ITypeInfo> vtable = ImplementedType(dispatchSide.Get(), -1);
  ASSERT_TRUE(vtable);
  ASSERT_EQ(20, AttributesOf(vtable.Get()).cFuncs);

  const SHORT firstSlot = 7 * sizeof(void*);  // after IUnknown and IDispatch
  for (UINT i = 0; i < 20; ++i) {
    const auto& expected = kMembers[i];
    SCOPED_TRACE(testing::Message() << "member " << i + 1);
    FunctionDescription function(vtable.Get(), i);
    EXPECT_EQ(expected.dispid, function->memid);
    EXPECT_EQ(std::wstring(expected.name), NamesOf(vtable.Get(), function->memid).at(0));
    EXPECT_EQ(INVOKE_PROPERTYGET, function->invkind);
    EXPECT_EQ(FUNC_PUREVIRTUAL, function->funckind);
    EXPECT_EQ(firstSlot + static_cast<SHORT>(i * sizeof(void*)), function->oVft);
    EXPECT_EQ(VT_HRESULT, function->elemdescFunc.tdesc.vt);
    ASSERT_EQ(expected.takesValue ? 2 : 1, function->cParams);
    const ELEMDESC& result = function->lprgelemdescParam[function->cParams - 1];
    EXPECT_TRUE(IsLongPointer(result));
    EXPECT_EQ(PARAMFLAG_FOUT | PARAMFLAG_FRETVAL, result.paramdesc.wParamFlags);
    if (expected.takesValue) {
      const ELEMDESC& value = function->lprgelemdescParam[0];
      EXPECT_TRUE(IsLongPointer(value));
      EXPECT_EQ(PARAMFLAG_FIN | PARAMFLAG_FOUT, value.paramdesc.wParamFlags);
      EXPECT_EQ(L"VolumeValue", NamesOf(vtable.Get(), function->memid).at(1));
    }
  }
}
