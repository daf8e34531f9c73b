// The property-bag layer: the value set, its IPropertyBag adapter and the
// reader and writer that controls get, over the adapter as over a
// container's bag, and the stream form of the same values.
#include <gtest/gtest.h>

#include <string>
#include <tuple>
#include <utility>
#include <vector>

#include "ErrorNumber.h"
#include "com/ComBoundary.h"
#include "core/RuntimeError.h"
#include "com/ComPtr.h"
#include "com/QueryObject.h"
#include "control/PropertyBag.h"
#include "control/PropertyStream.h"
#include "control/PropertyValues.h"
#include "control/PropertyValuesBag.h"

using namespace formsrt;

namespace {

// Records what a reader reports; lives on the test's stack.
class RecordingErrorLog final : public IErrorLog {
 public:
  using Entry = std::tuple<std::wstring, std::wstring, std::wstring, HRESULT>;  // name, source, text, code

  STDMETHODIMP QueryInterface(REFIID iid, void** out) override { return QueryObject<IErrorLog>(this, iid, out); }
  STDMETHODIMP_(ULONG) AddRef() override { return ++references; }
  STDMETHODIMP_(ULONG) Release() override { return --references; }
  STDMETHODIMP AddError(LPCOLESTR name, EXCEPINFO* info) override {
    entries.emplace_back(name, info->bstrSource, info->bstrDescription, info->scode);
    return S_OK;
  }

  ULONG references = 1;
  std::vector<Entry> entries;
};

constexpr PersistedProperty<VARIANT_BOOL> kVisible{L"Visible", 7, VARIANT_TRUE};
constexpr PersistedProperty<LONG> kWidth{L"Width", 8, 100};
constexpr PersistedProperty<std::wstring_view> kCaption{L"Caption", 9, L"Untitled"};

// The three properties as a reader gives them, read in this order.
std::tuple<VARIANT_BOOL, LONG, std::wstring> ReadAll(PropertyBag& bag) {
  return {bag.Read(kVisible), bag.Read(kWidth), bag.Read(kCaption)};
}

std::vector<std::wstring> NamesOf(const PropertyValues& values) {
  std::vector<std::wstring> names;
  for (const PropertyValues::Entry& entry : values.Entries()) names.push_back(entry.first);
  return names;
}

}  // namespace

TEST(PropertyValues, NamesMatchIgnoringCaseAndSetKeepsTheFirstPlace) {
  PropertyValues values{{L"Width", Variant::FromInt32(1)}, {L"width", Variant::FromInt32(2)}};
  ASSERT_TRUE(values.Find(L"WIDTH"));
  EXPECT_EQ(1, V_I4(&values.Find(L"wIdTh")->Get()));  // the first of a name given twice
  EXPECT_FALSE(values.Find(L"Widt"));
  EXPECT_FALSE(values.Find(L"Widths"));

  values.Set(L"WIDTH", Variant::FromInt32(3));
  values.Set(L"Height", Variant::FromInt32(4));
  EXPECT_EQ((std::vector<std::wstring>{L"Width", L"width", L"Height"}), NamesOf(values));
  EXPECT_EQ(3, V_I4(&values.Find(L"width")->Get()));
  EXPECT_EQ(4, V_I4(&values.Find(L"height")->Get()));
}

TEST(PropertyValuesBag, ReadsByNameWithoutCaseAndConvertsToTheAskedType) {
  auto bag = PropertyValuesBag::Create(
      {{L"disableicons", Variant::FromBool(true)}, {L"Width", Variant::FromText(L"12")}});
  Variant value;
  ASSERT_EQ(S_OK, bag->Read(L"DisableIcons", value.Put(), nullptr));
  EXPECT_EQ(VT_BOOL, value.Type());
  V_VT(value.Put()) = VT_I4;
  ASSERT_EQ(S_OK, bag->Read(L"width", value.Raw(), nullptr));
  EXPECT_EQ(12, V_I4(&value.Get()));
  V_VT(value.Put()) = VT_DISPATCH;
  EXPECT_EQ(DISP_E_TYPEMISMATCH, bag->Read(L"width", value.Raw(), nullptr));
  EXPECT_EQ(E_INVALIDARG, bag->Read(L"missing", value.Put(), nullptr));
  EXPECT_EQ(E_POINTER, bag->Read(nullptr, value.Put(), nullptr));
  EXPECT_EQ(E_POINTER, bag->Read(L"width", nullptr, nullptr));

  Variant written = Variant::FromInt32(5);
  ASSERT_EQ(S_OK, bag->Write(L"WIDTH", written.Raw()));
  Variant tall = Variant::FromInt32(70000);
  ASSERT_EQ(S_OK, bag->Write(L"Height", tall.Raw()));
  EXPECT_EQ(E_POINTER, bag->Write(L"Height", nullptr));
  ASSERT_EQ(S_OK, bag->Read(L"width", value.Put(), nullptr));
  EXPECT_EQ(5, V_I4(&value.Get()));
  V_VT(value.Put()) = VT_I2;  // out of its range: read as a mismatch too
  EXPECT_EQ(DISP_E_TYPEMISMATCH, bag->Read(L"height", value.Raw(), nullptr));
  EXPECT_EQ((std::vector<std::wstring>{L"disableicons", L"Width", L"Height"}),
            NamesOf(bag->Values()));

  ComPtr<IUnknown> unknown;
  ASSERT_EQ(S_OK, bag->QueryInterface(IID_IUnknown, unknown.PutVoid()));
  ComPtr<IPersist> other;
  EXPECT_EQ(E_NOINTERFACE, bag->QueryInterface(IID_IPersist, other.PutVoid()));
}

TEST(PropertyBag, AMissingKeyGivesTheDefaultAndABadValueIsLoggedAndDefaulted) {
  auto values = PropertyValuesBag::Create({{L"visible", Variant::FromText(L"abc")},
                                           {L"WIDTH", Variant::FromDouble(1e12)},
                                           {L"Caption", Variant::FromInt32(42)}});
  RecordingErrorLog log;
  {
    PropertyBag bag(values.Get(), &log, L"Probe");
    EXPECT_EQ(std::make_tuple(VARIANT_TRUE, 100, L"42"), ReadAll(bag));
  }
  EXPECT_EQ(1u, log.references) << "the reader kept a reference to the log";
  EXPECT_EQ((std::vector<RecordingErrorLog::Entry>{
                {L"Visible", L"Probe", L"Type mismatch: Visible", DISP_E_TYPEMISMATCH},
                {L"Width", L"Probe", L"Invalid property value: Width", DISP_E_OVERFLOW}}),
            log.entries);

  auto empty = PropertyValuesBag::Create();
  PropertyBag withoutLog(empty.Get(), nullptr, L"Probe");
  EXPECT_EQ(std::make_tuple(VARIANT_TRUE, 100, L"Untitled"), ReadAll(withoutLog));
}

TEST(PropertyBag, WritesEveryValueOrOnlyThoseAwayFromTheirDefaults) {
  auto all = PropertyValuesBag::Create();
  {
    PropertyBag bag(all.Get(), nullptr, L"Probe", true);
    bag.Write(kVisible, VARIANT_TRUE);
    bag.Write(kWidth, 100);
    bag.Write(kCaption, L"Untitled");
  }
  EXPECT_EQ((std::vector<std::wstring>{L"Visible", L"Width", L"Caption"}), NamesOf(all->Values()));
  EXPECT_EQ(VT_BOOL, all->Values().Find(L"Visible")->Type());
  EXPECT_EQ(VT_I4, all->Values().Find(L"Width")->Type());
  EXPECT_EQ(VT_BSTR, all->Values().Find(L"Caption")->Type());

  auto changed = PropertyValuesBag::Create();
  PropertyBag bag(changed.Get(), nullptr, L"Probe", false);
  bag.Write(kVisible, VARIANT_TRUE);
  bag.Write(kWidth, -5);
  bag.Write(kCaption, L"");
  EXPECT_EQ((std::vector<std::wstring>{L"Width", L"Caption"}), NamesOf(changed->Values()));

  PropertyBag reader(changed.Get(), nullptr, L"Probe");
  EXPECT_EQ(std::make_tuple(VARIANT_TRUE, -5, L""), ReadAll(reader));  // the empty caption stored, not defaulted
}

// The stream form, byte for byte: the header, then each key and value in
// order, for every kind of value the format allows; read back as written.
TEST(PropertyStream, WritesEveryKindItAllowsByteForByteAndReadsItBack) {
  PropertyValues values{{L"e", Variant()},
                        {L"b", Variant::FromBool(true)},
                        {L"i", Variant::FromInt16(5)},
                        {L"l", Variant::FromInt32(0x12345678)},
                        {L"d", Variant::FromDouble(1.5)},
                        {L"t", Variant::FromText(L"hi")}};
  const std::vector<BYTE> expected{
      'F', 'R', 'P', 'S', 1, 0, 6, 0, 60, 0, 0, 0,                            // header
      1, 0, 'e', 0, VT_EMPTY, 0,                                              //
      1, 0, 'b', 0, VT_BOOL, 0, 0xFF, 0xFF,                                   //
      1, 0, 'i', 0, VT_I2, 0, 5, 0,                                           //
      1, 0, 'l', 0, VT_I4, 0, 0x78, 0x56, 0x34, 0x12,                         //
      1, 0, 'd', 0, VT_R8, 0, 0, 0, 0, 0, 0, 0, 0xF8, 0x3F,                   //
      1, 0, 't', 0, VT_BSTR, 0, 2, 0, 0, 0, 'h', 0, 'i', 0};
  ComPtr<IStream> stream;
  ASSERT_EQ(S_OK, ::CreateStreamOnHGlobal(nullptr, TRUE, stream.Put()));
  property_stream::Write(stream.Get(), values);
  EXPECT_EQ(expected.size(), property_stream::SizeOf(values));
  HGLOBAL memory = nullptr;
  ASSERT_EQ(S_OK, ::GetHGlobalFromStream(stream.Get(), &memory));
  STATSTG status{};
  ASSERT_EQ(S_OK, stream->Stat(&status, STATFLAG_NONAME));
  const auto* bytes = static_cast<const BYTE*>(::GlobalLock(memory));
  EXPECT_EQ(expected, std::vector<BYTE>(bytes, bytes + status.cbSize.QuadPart));
  ::GlobalUnlock(memory);

  LARGE_INTEGER start{};
  ASSERT_EQ(S_OK, stream->Seek(start, STREAM_SEEK_SET, nullptr));
  PropertyValues read = property_stream::Read(stream.Get());
  ASSERT_EQ(NamesOf(values), NamesOf(read));
  for (size_t i = 0; i < values.Entries().size(); ++i) {
    const VARIANT& written = values.Entries()[i].second.Get();
    const VARIANT& back = read.Entries()[i].second.Get();
    EXPECT_EQ(V_VT(&written), V_VT(&back)) << i;
    EXPECT_EQ(VARCMP_EQ, ::VarCmp(const_cast<VARIANT*>(&written), const_cast<VARIANT*>(&back), 0, 0)) << i;
  }

  // A value of a kind the format has no form for is damage.
  const BYTE dated[] = {'F', 'R', 'P', 'S', 1, 0, 1, 0, 6, 0, 0, 0, 1, 0, 'w', 0, VT_DATE, 0};
  ASSERT_EQ(S_OK, stream->Seek(start, STREAM_SEEK_SET, nullptr));
  ASSERT_EQ(S_OK, stream->SetSize(ULARGE_INTEGER{}));
  ASSERT_EQ(S_OK, stream->Write(dated, sizeof(dated), nullptr));
  ASSERT_EQ(S_OK, stream->Seek(start, STREAM_SEEK_SET, nullptr));
  EXPECT_EQ(property_stream::kDamaged,
            testing_support::ErrorNumberOf([&] { property_stream::Read(stream.Get()); }));
}

// What the format cannot hold is refused before anything is written: a
// kind of value it has no form for, an empty key, a key over 255 characters.
TEST(PropertyStream, RefusesWhatItCannotHoldAndWritesNothing) {
  VARIANT date{};
  V_VT(&date) = VT_DATE;
  const std::pair<PropertyValues, long> refused[] = {
      {PropertyValues{{L"When", Variant(date)}}, error::TypeMismatch},
      {PropertyValues{{L"", Variant::FromInt32(1)}}, error::InvalidPropertyValue},
      {PropertyValues{{std::wstring(256, L'k'), Variant::FromInt32(1)}}, error::InvalidPropertyValue},
  };
  for (const auto& [values, number] : refused) {
    ComPtr<IStream> stream;
    ASSERT_EQ(S_OK, ::CreateStreamOnHGlobal(nullptr, TRUE, stream.Put()));
    EXPECT_EQ(number, testing_support::ErrorNumberOf([&] { property_stream::Write(stream.Get(), values); }));
    STATSTG status{};
    ASSERT_EQ(S_OK, stream->Stat(&status, STATFLAG_NONAME));
    EXPECT_EQ(0u, status.cbSize.QuadPart) << number;
  }
  EXPECT_EQ(12u + 2 + 510 + 2 + 4, property_stream::SizeOf(PropertyValues{{std::wstring(255, L'k'), Variant::FromInt32(1)}}));
}
