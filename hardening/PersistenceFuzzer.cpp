#include "PersistenceFuzzer.h"

#include <algorithm>

#include "ByteStream.h"
#include "DispatchFuzzer.h"
#include "RandomPropertyBag.h"
#include "core/Bstr.h"

namespace hardening {

namespace {

// A control that refused a load stays uninitialised and takes the next one;
// every so often the test also makes sure it can still be initialised.
constexpr size_t kInitialiseEvery = 64;
constexpr size_t kMaxFaults = 200;

// The description of the thread's last error, consumed.
std::wstring LastErrorDescription() {
  formsrt::ComPtr<IErrorInfo> info;
  if (::GetErrorInfo(0, info.Put()) != S_OK || !info) return L"";
  formsrt::Bstr description;
  info->GetDescription(description.Put());
  return description.Str();
}

template <class I>
formsrt::ComPtr<I> Query(IUnknown* object) {
  formsrt::ComPtr<I> queried;
  if (object) object->QueryInterface(__uuidof(I), queried.PutVoid());
  return queried;
}

bool IsDocumentedRefusal(HRESULT hr) {
  return hr == STG_E_READFAULT || hr == STG_E_INVALIDHEADER || hr == STG_E_DOCFILECORRUPT;
}

// The runtime's stream starts with a 12-byte header whose last six bytes
// count the properties (16 bits) and the payload's bytes (32 bits). The
// saved header alone, with those fields at their edges (none, all ones).
std::vector<std::vector<BYTE>> HeaderEdges(const std::vector<BYTE>& saved) {
  constexpr size_t kHeaderBytes = 12, kCountAt = 6, kLengthAt = 8;
  std::vector<std::vector<BYTE>> edges;
  if (saved.size() < kHeaderBytes) return edges;
  for (BYTE count : {BYTE{0x00}, BYTE{0xFF}}) {
    for (BYTE length : {BYTE{0x00}, BYTE{0xFF}}) {
      std::vector<BYTE> header(saved.begin(), saved.begin() + kHeaderBytes);
      std::fill(header.begin() + kCountAt, header.begin() + kLengthAt, count);
      std::fill(header.begin() + kLengthAt, header.end(), length);
      edges.push_back(std::move(header));
    }
  }
  return edges;
}

void PutByName(IDispatch* object, const std::wstring& name, const formsrt::Variant& value) {
  VARIANT argument = value.Get();
  DISPID putName = DISPID_PROPERTYPUT;
  DISPPARAMS params{&argument, &putName, 1, 1};
  object->Invoke(IdOfName(object, name), IID_NULL, LOCALE_USER_DEFAULT, DISPATCH_PROPERTYPUT,
                 &params, nullptr, nullptr, nullptr);
}

}  // namespace

PersistenceFuzzer::PersistenceFuzzer(const FuzzTarget& target, std::uint32_t seed)
    : target_(target), random_(seed) {}

bool PersistenceFuzzer::HasStream() {
  return static_cast<bool>(Query<IPersistStreamInit>(NewObject().Get()));
}

bool PersistenceFuzzer::HasPropertyBag() {
  return static_cast<bool>(Query<IPersistPropertyBag>(NewObject().Get()));
}

ULONG PersistenceFuzzer::KeptReferences() const { return unrelated_.references - 1; }

formsrt::ComPtr<IUnknown> PersistenceFuzzer::NewObject() {
  formsrt::ComPtr<IUnknown> object = Create<IUnknown>(target_, arguments_);
  if (!object) Fault(L"the class cannot be created");
  return object;
}

formsrt::ComPtr<IUnknown> PersistenceFuzzer::NewObjectAwayFromDefaults() {
  formsrt::ComPtr<IUnknown> object = NewObject();
  auto dispatch = Query<IDispatch>(object.Get());
  if (dispatch && !target_.savedSettings.empty()) {
    for (const auto& [name, value] : target_.savedSettings.back()) {
      PutByName(dispatch.Get(), name, value);
    }
  }
  return object;
}

std::vector<BYTE> PersistenceFuzzer::Saved(IUnknown* object, const std::wstring& when) {
  auto persist = Query<IPersistStreamInit>(object);
  ByteStream saved;
  if (!persist || FAILED(persist->Save(&saved, FALSE))) Fault(L"saving failed " + when);
  return saved.Bytes();
}

std::vector<std::vector<BYTE>> PersistenceFuzzer::ValidSaves() {
  std::vector<std::vector<BYTE>> saves;
  for (const auto& settings : target_.savedSettings) {
    formsrt::ComPtr<IUnknown> object = NewObject();
    auto persist = Query<IPersistStreamInit>(object.Get());
    if (!persist || FAILED(persist->InitNew())) Fault(L"a new control cannot be initialised");
    auto dispatch = Query<IDispatch>(object.Get());
    for (const auto& [name, value] : settings) PutByName(dispatch.Get(), name, value);
    saves.push_back(Saved(object.Get(), L"after InitNew"));
  }
  return saves;
}

void PersistenceFuzzer::FuzzStreams(size_t cases) {
  std::vector<std::vector<BYTE>> saves = ValidSaves();
  savedStreamBytes_ = saves.empty() ? 0 : saves.front().size();
  formsrt::ComPtr<IUnknown> object = NewObjectAwayFromDefaults();
  for (size_t save = 0; save < saves.size(); ++save) {
    const std::vector<BYTE>& saved = saves[save];
    std::wstring of = L" of save " + std::to_wstring(save);
    // Every prefix of the first 64 bytes, then ever fewer: a long tip's
    // thousands of bytes are text, whose every cut is alike.
    for (size_t length = 0; length < saved.size(); length += 1 + length / 64) {
      std::vector<BYTE> prefix(saved.begin(), saved.begin() + length);
      LoadStream(object, prefix, SIZE_MAX, L"the first " + std::to_wstring(length) + L" bytes" + of);
    }
    LoadStream(object, saved, SIZE_MAX, L"save " + std::to_wstring(save), true);
    for (std::vector<BYTE>& edge : HeaderEdges(saved)) {
      LoadStream(object, std::move(edge), SIZE_MAX, L"a header at its edges" + of);
    }
  }
  for (size_t i = 0; i < cases && !saves.empty(); ++i) {
    size_t failAt = SIZE_MAX;
    std::vector<BYTE> bytes = GeneratedStream(i, saves[i % saves.size()], failAt);
    LoadStream(object, std::move(bytes), failAt, L"generated stream " + std::to_wstring(i));
  }
}

// Six kinds in turn: truncated, with bytes after the end, random, damaged in
// a few bytes, with a run of extreme values, and failing part way.
std::vector<BYTE> PersistenceFuzzer::GeneratedStream(size_t index, const std::vector<BYTE>& saved,
                                                     size_t& failAt) {
  auto below = [&](size_t limit) {
    return limit == 0 ? 0 : std::uniform_int_distribution<size_t>(0, limit - 1)(random_);
  };
  auto randomByte = [&] { return static_cast<BYTE>(below(256)); };
  std::vector<BYTE> bytes = saved;
  switch (index % 6) {
    case 0:
      bytes.resize(below(saved.size()));
      break;
    case 1:
      for (size_t extra = 1 + below(4096); extra > 0; --extra) bytes.push_back(randomByte());
      break;
    case 2:
      // Half of them start like a saved stream, to get past its first check.
      bytes.resize(below(2) ? std::min<size_t>(8, saved.size()) : 0);
      for (size_t length = below(1024); length > 0; --length) bytes.push_back(randomByte());
      break;
    case 3:
      for (size_t changes = 1 + below(8); changes > 0 && !bytes.empty(); --changes)
        bytes[below(bytes.size())] = randomByte();
      break;
    case 4: {
      static const BYTE kExtremes[] = {0x00, 0xFF, 0x7F, 0x80};
      BYTE extreme = kExtremes[below(4)];
      size_t at = below(bytes.size());
      for (size_t run = 1 + below(4); run > 0 && at < bytes.size(); --run) bytes[at++] = extreme;
      break;
    }
    default:
      failAt = below(saved.size());
      break;
  }
  return bytes;
}

void PersistenceFuzzer::LoadStream(formsrt::ComPtr<IUnknown>& object, std::vector<BYTE> bytes,
                                   size_t failAt, const std::wstring& what, bool valid) {
  auto persist = Query<IPersistStreamInit>(object.Get());
  if (!persist) return Fault(L"no IPersistStreamInit");
  std::vector<BYTE> before = Saved(object.Get(), L"before loading " + what);
  std::vector<BYTE> loadedBytes = valid ? bytes : std::vector<BYTE>();
  ByteStream stream(std::move(bytes), failAt);
  ++streamCounts_.cases;
  HRESULT hr = persist->Load(&stream);
  if (stream.references != 1) Fault(what + L": the stream's references were not given back");
  if (SUCCEEDED(hr)) {
    ++streamCounts_.loaded;
    CheckUsable(object.Get(), L"loading " + what);
    CheckSavesBack(object.Get(), valid ? &loadedBytes : nullptr, L"loading " + what);
    object = NewObjectAwayFromDefaults();
    return;
  }
  ++streamCounts_.refused;
  CheckRefusal(hr, object.Get(), before, L"refusing " + what);
  if (streamCounts_.refused % kInitialiseEvery == 0) {
    if (FAILED(persist->InitNew())) Fault(L"InitNew failed after refusing " + what);
    object = NewObjectAwayFromDefaults();
  }
}

// One of the format's three codes, described; and the values as they were.
void PersistenceFuzzer::CheckRefusal(HRESULT hr, IUnknown* object, const std::vector<BYTE>& before,
                                     const std::wstring& what) {
  if (!IsDocumentedRefusal(hr)) Fault(what + L": " + HresultText(hr) + L" is no documented code");
  CheckDescribedFailure(hr, what);
  CheckUsable(object, what);
  if (Saved(object, L"after " + what) != before) Fault(what + L": the control's values changed");
}

// What a load accepted comes back whole: saved, loaded into a new control
// and saved again, the two saves are equal; a control's own save comes back
// as it was.
void PersistenceFuzzer::CheckSavesBack(IUnknown* loaded, const std::vector<BYTE>* loadedBytes,
                                       const std::wstring& what) {
  std::vector<BYTE> first = Saved(loaded, L"after " + what);
  if (loadedBytes && first != *loadedBytes) Fault(what + L": saves other than what it loaded");
  formsrt::ComPtr<IUnknown> again = NewObject();
  auto persist = Query<IPersistStreamInit>(again.Get());
  ByteStream stream(first);
  if (!persist || FAILED(persist->Load(&stream))) {
    Fault(what + L": its own save does not load");
    return;
  }
  if (Saved(again.Get(), L"after reloading") != first) {
    Fault(what + L": saved, loaded and saved again, the saves differ");
  }
}

void PersistenceFuzzer::FuzzPropertyBags(size_t cases) {
  for (size_t i = 0; i < cases; ++i) {
    std::wstring what = L"property bag " + std::to_wstring(i);
    formsrt::ComPtr<IUnknown> object = NewObject();
    auto persist = Query<IPersistPropertyBag>(object.Get());
    if (!persist) return Fault(L"no IPersistPropertyBag");
    RandomPropertyBag bag(random_, &unrelated_);
    CountingErrorLog log;
    ++bagCounts_.cases;
    HRESULT hr = persist->Load(&bag, i % 2 ? &log : nullptr);
    if (bag.references != 1 || log.references != 1)
      Fault(what + L": the bag's or the log's references were not given back");
    if (log.undescribed != 0) Fault(what + L": an error was logged without a description");
    if (SUCCEEDED(hr)) {
      ++bagCounts_.loaded;
      if (Query<IPersistStreamInit>(object.Get())) {
        CheckSavesBack(object.Get(), nullptr, L"loading " + what);
      }
    } else {
      ++bagCounts_.refused;
      CheckDescribedFailure(hr, L"loading " + what);
    }
    CheckUsable(object.Get(), L"loading " + what);
  }
}

// Usable: the known-good property reads, and the control saves itself.
void PersistenceFuzzer::CheckUsable(IUnknown* object, const std::wstring& after) {
  auto dispatch = Query<IDispatch>(object);
  if (!dispatch ||
      ReadProperty(dispatch.Get(), IdOfName(dispatch.Get(), target_.knownGoodProperty)) != S_OK)
    Fault(L"the known-good property failed after " + after);
  if (Query<IPersistStreamInit>(object)) Saved(object, L"after " + after);
}

void PersistenceFuzzer::CheckDescribedFailure(HRESULT hr, const std::wstring& what) {
  if (hr == E_OUTOFMEMORY) return;  // what a bag's own out-of-memory answer becomes
  if (LastErrorDescription().empty())
    Fault(what + L" failed with " + HresultText(hr) + L" and no error description");
}

void PersistenceFuzzer::Fault(const std::wstring& text) {
  if (faults_.size() < kMaxFaults) faults_.push_back(target_.progId + L": " + text);
}

}  // namespace hardening
