// Persistence of QuennetCtl's three properties: initialisation, property
// bags (order, defaults, bad values) and the stream format (round trip,
// truncated and random streams).
#include <gtest/gtest.h>

#include <ostream>
#include <random>

#include "TestDoubles.h"
#include "core/Bstr.h"
#include "control/PropertyStream.h"

using namespace quennet_test;
using formsrt::Bstr;
using formsrt::ComPtr;
using formsrt::Variant;

namespace {

struct Properties {
  VARIANT_BOOL quietErrors;
  VARIANT_BOOL menu;
  std::wstring tip;
  bool operator==(const Properties&) const = default;
};

void PrintTo(const Properties& p, std::ostream* out) {
  *out << "QuietErrors " << p.quietErrors << ", STxMenu " << p.menu << ", STxTrayTTT "
       << ::testing::PrintToString(p.tip);
}

const Properties kDefaults{VARIANT_FALSE, VARIANT_TRUE, L"SystemTrayIcon"};

Properties Read(_QuennetCtl* control) {
  Properties p{};
  EXPECT_EQ(S_OK, control->get_QuietErrors(&p.quietErrors));
  EXPECT_EQ(S_OK, control->get_STxMenu(&p.menu));
  Bstr tip;
  EXPECT_EQ(S_OK, control->get_STxTrayTTT(tip.Put()));
  p.tip = tip.Str();
  return p;
}

void Set(_QuennetCtl* control, VARIANT_BOOL quietErrors, VARIANT_BOOL menu, const wchar_t* tip) {
  ASSERT_EQ(S_OK, control->put_QuietErrors(quietErrors));
  ASSERT_EQ(S_OK, control->put_STxMenu(menu));
  ASSERT_EQ(S_OK, control->put_STxTrayTTT(Bstr(tip).Get()));
}

ComPtr<_QuennetCtl> LoadedFrom(FakePropertyBag& bag, IErrorLog* log = nullptr) {
  auto control = NewControl<_QuennetCtl>();
  EXPECT_EQ(S_OK, As<IPersistPropertyBag>(control)->Load(&bag, log));
  return control;
}

ComPtr<IStream> NewStream(const std::vector<BYTE>& bytes = {}) {
  ComPtr<IStream> stream;
  ::CreateStreamOnHGlobal(nullptr, TRUE, stream.Put());
  if (!bytes.empty()) stream->Write(bytes.data(), static_cast<ULONG>(bytes.size()), nullptr);
  LARGE_INTEGER start{};
  stream->Seek(start, STREAM_SEEK_SET, nullptr);
  return stream;
}

std::vector<BYTE> Saved(_QuennetCtl* control) {
  ComPtr<IStream> stream = NewStream();
  ComPtr<_QuennetCtl> held(control);
  EXPECT_EQ(S_OK, As<IPersistStreamInit>(held)->Save(stream.Get(), TRUE));
  STATSTG stat{};
  stream->Stat(&stat, STATFLAG_NONAME);
  std::vector<BYTE> bytes(stat.cbSize.QuadPart);
  LARGE_INTEGER start{};
  stream->Seek(start, STREAM_SEEK_SET, nullptr);
  stream->Read(bytes.data(), static_cast<ULONG>(bytes.size()), nullptr);
  return bytes;
}

HRESULT LoadStream(_QuennetCtl* control, const std::vector<BYTE>& bytes) {
  ComPtr<IStream> stream = NewStream(bytes);
  ComPtr<_QuennetCtl> held(control);
  return As<IPersistStreamInit>(held)->Load(stream.Get());
}

}  // namespace

TEST(Persistence, NewInstanceAndEmptyBagGiveTheDefaults) {
  auto created = NewControl<_QuennetCtl>();
  EXPECT_EQ(S_OK, As<IPersistStreamInit>(created)->InitNew());
  EXPECT_EQ(kDefaults, Read(created.Get()));

  FakePropertyBag empty;
  EXPECT_EQ(kDefaults, Read(LoadedFrom(empty).Get()));
  // Never initialised (a script's CreateObject): the same values.
  EXPECT_EQ(kDefaults, Read(NewControl<_QuennetCtl>().Get()));
}

TEST(Persistence, StoredNumbersLoadAsBooleans) {
  FakePropertyBag zero;
  zero.Put(L"STxMenu", Variant::FromInt16(0));
  EXPECT_EQ(VARIANT_FALSE, Read(LoadedFrom(zero).Get()).menu);

  FakePropertyBag seven;
  seven.Put(L"STxMenu", Variant::FromInt32(7));
  seven.Put(L"QuietErrors", Variant::FromText(L"-1"));
  EXPECT_EQ((Properties{VARIANT_TRUE, VARIANT_TRUE, L"SystemTrayIcon"}),
            Read(LoadedFrom(seven).Get()));
}

TEST(Persistence, SavesEveryKeyInOrderAndLoadsItBack) {
  auto original = NewControl<_QuennetCtl>();
  Set(original.Get(), VARIANT_TRUE, VARIANT_FALSE, L"");
  FakePropertyBag bag;
  EXPECT_EQ(S_OK, As<IPersistPropertyBag>(original)->Save(&bag, TRUE, TRUE));
  EXPECT_EQ((std::vector<std::wstring>{L"QuietErrors", L"STxMenu", L"STxTrayTTT"}), bag.Keys());
  EXPECT_EQ(VT_BOOL, bag.Find(L"QuietErrors")->Type());
  EXPECT_EQ(VT_BSTR, bag.Find(L"STxTrayTTT")->Type());

  // The empty tooltip is stored, not taken for the default.
  EXPECT_EQ((Properties{VARIANT_TRUE, VARIANT_FALSE, L""}), Read(LoadedFrom(bag).Get()));
}

TEST(Persistence, SavesDefaultValuesOnlyWhenAskedForEveryValue) {
  auto control = NewControl<_QuennetCtl>();
  ASSERT_EQ(S_OK, control->put_STxTrayTTT(Bstr(L"tip").Get()));
  FakePropertyBag bag;
  EXPECT_EQ(S_OK, As<IPersistPropertyBag>(control)->Save(&bag, TRUE, FALSE));
  EXPECT_EQ(std::vector<std::wstring>{L"STxTrayTTT"}, bag.Keys());
  // Any true BOOL asks for every value; some containers pass VARIANT_TRUE.
  for (BOOL saveAll : {TRUE, BOOL{VARIANT_TRUE}}) {
    FakePropertyBag all;
    EXPECT_EQ(S_OK, As<IPersistPropertyBag>(control)->Save(&all, TRUE, saveAll));
    EXPECT_EQ((std::vector<std::wstring>{L"QuietErrors", L"STxMenu", L"STxTrayTTT"}), all.Keys());
  }
}

TEST(Persistence, UnreadableValuesAreLoggedAndKeepTheirDefaults) {
  FakePropertyBag bag;
  bag.Put(L"QuietErrors", Variant::FromInt16(1));
  bag.Put(L"STxMenu", Variant::FromText(L"abc"));
  bag.Put(L"STxTrayTTT", Variant::FromText(L"loaded tip"));
  FakeErrorLog log;
  EXPECT_EQ((Properties{VARIANT_TRUE, VARIANT_TRUE, L"loaded tip"}),
            Read(LoadedFrom(bag, &log).Get()));
  EXPECT_EQ((std::vector<std::pair<std::wstring, HRESULT>>{{L"STxMenu", DISP_E_TYPEMISMATCH}}), log.errors);
  EXPECT_EQ(1u, log.references);

  // Without an error log the value is defaulted all the same.
  EXPECT_EQ(VARIANT_TRUE, Read(LoadedFrom(bag).Get()).menu);
}

TEST(Persistence, LoadsOnlyOnce) {
  auto control = NewControl<_QuennetCtl>();
  FakePropertyBag bag;
  EXPECT_EQ(S_OK, As<IPersistPropertyBag>(control)->Load(&bag, nullptr));
  EXPECT_EQ(CO_E_ALREADYINITIALIZED, As<IPersistPropertyBag>(control)->InitNew());
  EXPECT_EQ(CO_E_ALREADYINITIALIZED, As<IPersistPropertyBag>(control)->Load(&bag, nullptr));
}

TEST(Persistence, StreamRoundTrip) {
  auto original = NewControl<_QuennetCtl>();
  Set(original.Get(), VARIANT_TRUE, VARIANT_FALSE, L"Tip \x00E9\x4E2D");
  std::vector<BYTE> bytes = Saved(original.Get());
  ULARGE_INTEGER size{};
  EXPECT_EQ(S_OK, As<IPersistStreamInit>(original)->GetSizeMax(&size));
  EXPECT_EQ(bytes.size(), size.QuadPart);
  EXPECT_EQ(S_FALSE, As<IPersistStreamInit>(original)->IsDirty());

  auto loaded = NewControl<_QuennetCtl>();
  ASSERT_EQ(S_OK, LoadStream(loaded.Get(), bytes));
  EXPECT_EQ((Properties{VARIANT_TRUE, VARIANT_FALSE, L"Tip \x00E9\x4E2D"}), Read(loaded.Get()));
}

TEST(Persistence, TruncatedStreamsFailAndLeaveTheControlAsItWas) {
  auto original = NewControl<_QuennetCtl>();
  Set(original.Get(), VARIANT_TRUE, VARIANT_FALSE, L"saved");
  std::vector<BYTE> bytes = Saved(original.Get());

  for (size_t length = 0; length < bytes.size(); ++length) {
    SCOPED_TRACE(length);
    auto control = NewControl<_QuennetCtl>();
    ASSERT_EQ(S_OK, control->put_STxTrayTTT(Bstr(L"before").Get()));
    std::vector<BYTE> truncated(bytes.begin(), bytes.begin() + length);
    EXPECT_EQ(formsrt::property_stream::kTruncated, LoadStream(control.Get(), truncated));
    EXPECT_EQ(L"before", Read(control.Get()).tip);
    // Still uninitialised: the container may fall back to a new instance.
    EXPECT_EQ(S_OK, As<IPersistStreamInit>(control)->InitNew());
  }
}

TEST(Persistence, DamagedStreamsFailWithAClearError) {
  auto original = NewControl<_QuennetCtl>();
  std::vector<BYTE> bytes = Saved(original.Get());

  std::vector<BYTE> otherFormat = bytes;
  otherFormat[0] = 'X';
  std::vector<BYTE> newerVersion = bytes;
  newerVersion[4] = 2;
  std::vector<BYTE> longKey = bytes;
  longKey[12] = 0xFF;  // the first key's length
  longKey[13] = 0xFF;
  std::vector<BYTE> trailing = bytes;
  trailing.push_back(0);
  trailing[8] += 1;  // the payload length covers the extra byte

  auto control = NewControl<_QuennetCtl>();
  EXPECT_EQ(formsrt::property_stream::kUnknownFormat, LoadStream(control.Get(), otherFormat));
  ComPtr<IErrorInfo> info;
  ASSERT_EQ(S_OK, ::GetErrorInfo(0, info.Put()));
  Bstr description;
  info->GetDescription(description.Put());
  EXPECT_NE(std::wstring::npos, description.Str().find(L"cannot be loaded"));
  EXPECT_EQ(formsrt::property_stream::kUnknownFormat, LoadStream(control.Get(), newerVersion));
  EXPECT_EQ(formsrt::property_stream::kDamaged, LoadStream(control.Get(), longKey));
  EXPECT_EQ(formsrt::property_stream::kDamaged, LoadStream(control.Get(), trailing));
}

// What a control saves when it stores no property loads back; a count of
// properties with no bytes for them is damage.
TEST(Persistence, AStreamOfNoPropertiesLoadsAndOneWithoutItsPayloadIsDamaged) {
  std::vector<BYTE> empty = {'F', 'R', 'P', 'S', 1, 0, 0, 0, 0, 0, 0, 0};
  auto control = NewControl<_QuennetCtl>();
  ASSERT_EQ(S_OK, LoadStream(control.Get(), empty));
  EXPECT_EQ(L"SystemTrayIcon", Read(control.Get()).tip);
  std::vector<BYTE> countButNoPayload = empty;
  countButNoPayload[6] = 1;
  EXPECT_EQ(formsrt::property_stream::kDamaged,
            LoadStream(NewControl<_QuennetCtl>().Get(), countButNoPayload));
}

TEST(Persistence, RandomStreamsNeverCrash) {
  auto original = NewControl<_QuennetCtl>();
  std::vector<BYTE> valid = Saved(original.Get());
  std::mt19937 random(20261207);
  for (int round = 0; round < 500; ++round) {
    std::vector<BYTE> bytes = valid;
    if (round % 2 == 0) {
      bytes.resize(random() % 80);
      for (BYTE& b : bytes) b = static_cast<BYTE>(random());
    } else {
      for (int flips = 0; flips < 3; ++flips)
        bytes[random() % bytes.size()] = static_cast<BYTE>(random());
    }
    auto control = NewControl<_QuennetCtl>();
    if (FAILED(LoadStream(control.Get(), bytes))) {
      EXPECT_EQ(kDefaults, Read(control.Get()));
    }
    // Loaded or not, the control answers.
    Bstr tip;
    EXPECT_EQ(S_OK, control->get_STxTrayTTT(tip.Put()));
  }
}
