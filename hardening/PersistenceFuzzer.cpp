#include "PersistenceFuzzer.h"

#include "ByteStream.h"
#include "DispatchFuzzer.h"
#include "RandomPropertyBag.h"
#include "com/Bstr.h"

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
  formsrt::ComPtr<IUnknown> object = Create<IUnknown>(target_);
  if (!object) Fault(L"the class cannot be created");
  return object;
}

std::vector<BYTE> PersistenceFuzzer::SavedStream() {
  auto persist = Query<IPersistStreamInit>(NewObject().Get());
  ByteStream saved;
  if (!persist || FAILED(persist->InitNew()) || FAILED(persist->Save(&saved, TRUE)))
    Fault(L"a new control cannot be saved to a stream");
  return saved.Bytes();
}

void PersistenceFuzzer::FuzzStreams(size_t cases) {
  std::vector<BYTE> saved = SavedStream();
  savedStreamBytes_ = saved.size();
  formsrt::ComPtr<IUnknown> object = NewObject();
  for (size_t length = 0; length < saved.size(); ++length) {
    std::vector<BYTE> prefix(saved.begin(), saved.begin() + length);
    LoadStream(object, prefix, SIZE_MAX, L"the first " + std::to_wstring(length) + L" bytes");
  }
  LoadStream(object, saved, SIZE_MAX, L"the saved stream");
  for (size_t i = 0; i < cases; ++i) {
    size_t failAt = SIZE_MAX;
    std::vector<BYTE> bytes = GeneratedStream(i, saved, failAt);
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
                                   size_t failAt, const std::wstring& what) {
  auto persist = Query<IPersistStreamInit>(object.Get());
  if (!persist) return Fault(L"no IPersistStreamInit");
  ByteStream stream(std::move(bytes), failAt);
  ++streamCounts_.cases;
  HRESULT hr = persist->Load(&stream);
  if (stream.references != 1) Fault(what + L": the stream's references were not given back");
  if (SUCCEEDED(hr)) {
    ++streamCounts_.loaded;
    CheckUsable(object.Get(), L"loading " + what);
    object = NewObject();
    return;
  }
  ++streamCounts_.refused;
  CheckDescribedFailure(hr, L"loading " + what);
  CheckUsable(object.Get(), L"refusing " + what);
  if (streamCounts_.refused % kInitialiseEvery == 0) {
    if (FAILED(persist->InitNew())) Fault(L"InitNew failed after refusing " + what);
    object = NewObject();
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
  auto persist = Query<IPersistStreamInit>(object);
  ByteStream saved;
  if (persist && FAILED(persist->Save(&saved, FALSE))) Fault(L"saving failed after " + after);
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
