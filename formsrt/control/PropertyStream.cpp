#include "control/PropertyStream.h"

#include <cstring>
#include <new>
#include <string>
#include <vector>

#include "core/Bstr.h"
#include "core/RuntimeError.h"

namespace formsrt::property_stream {

namespace {

constexpr char kMagic[4] = {'F', 'R', 'P', 'S'};
constexpr WORD kVersion = 1;
constexpr ULONG kHeaderBytes = 12;
// Far beyond what a control stores; it keeps a damaged length from asking
// for gigabytes before the stream runs out.
constexpr ULONG kMaxPayloadBytes = 16u << 20;
constexpr WORD kMaxKeyLength = 255;

[[noreturn]] void Fail(HRESULT hr, const wchar_t* what) {
  throw RuntimeError(hr, std::wstring(L"The saved properties cannot be loaded: ") + what);
}

// Reads from a byte buffer and never past its end.
class ByteReader {
 public:
  explicit ByteReader(const std::vector<BYTE>& bytes) : bytes_(bytes) {}

  const BYTE* Take(size_t count) {
    if (count > bytes_.size() - position_)
      Fail(kDamaged, L"an entry runs past the recorded length");
    const BYTE* at = bytes_.data() + position_;
    position_ += count;
    return at;
  }
  template <class T>
  T Number() {
    T value;
    std::memcpy(&value, Take(sizeof(T)), sizeof(T));
    return value;
  }
  std::wstring Text(size_t length) {
    if (length > (bytes_.size() - position_) / sizeof(wchar_t)) {
      Fail(kDamaged, L"a text runs past the recorded length");
    }
    std::wstring text(length, L'\0');
    std::memcpy(text.data(), Take(length * sizeof(wchar_t)), length * sizeof(wchar_t));
    return text;
  }
  bool AtEnd() const { return position_ == bytes_.size(); }

 private:
  const std::vector<BYTE>& bytes_;
  size_t position_ = 0;
};

// Collects the bytes of a stream in memory before they are written.
class ByteWriter {
 public:
  void Raw(const void* data, size_t size) {
    size_t at = bytes_.size();
    bytes_.resize(at + size);
    if (size != 0) std::memcpy(bytes_.data() + at, data, size);
  }
  template <class T>
  void Number(T value) {
    Raw(&value, sizeof(T));
  }
  void Text(std::wstring_view text) { Raw(text.data(), text.size() * sizeof(wchar_t)); }
  const std::vector<BYTE>& Bytes() const { return bytes_; }

 private:
  std::vector<BYTE> bytes_;
};

// Nothing is asked of the stream for no bytes: an empty payload's buffer may
// be null, which a stream may refuse (STG_E_INVALIDPOINTER).
void ReadExactly(IStream* stream, void* into, ULONG count) {
  if (count == 0) return;
  ULONG read = 0;
  HRESULT hr = stream->Read(into, count, &read);
  if (FAILED(hr)) throw RuntimeError(hr, StandardErrorText(error::AutomationError));
  if (read != count) Fail(kTruncated, L"the stream ends before its recorded length");
}

Variant ReadValue(ByteReader& reader) {
  Variant value;
  VARTYPE type = reader.Number<WORD>();
  switch (type) {
    case VT_EMPTY:
      break;
    case VT_BOOL:
      value = Variant::FromBool(reader.Number<SHORT>() != 0);
      break;
    case VT_I2:
      value = Variant::FromInt16(reader.Number<SHORT>());
      break;
    case VT_I4:
      value = Variant::FromInt32(reader.Number<LONG>());
      break;
    case VT_R8:
      value = Variant::FromDouble(reader.Number<double>());
      break;
    case VT_BSTR:
      value = Variant::FromText(reader.Text(reader.Number<ULONG>()));
      break;
    default:
      Fail(kDamaged, L"a value has a type that the format does not allow");
  }
  return value;
}

void WriteValue(ByteWriter& writer, const VARIANT& value) {
  writer.Number<WORD>(V_VT(&value));
  switch (V_VT(&value)) {
    case VT_EMPTY:
      break;
    case VT_BOOL:
      writer.Number<SHORT>(V_BOOL(&value));
      break;
    case VT_I2:
      writer.Number<SHORT>(V_I2(&value));
      break;
    case VT_I4:
      writer.Number<LONG>(V_I4(&value));
      break;
    case VT_R8:
      writer.Number<double>(V_R8(&value));
      break;
    case VT_BSTR: {
      Bstr text = Bstr::Copy(V_BSTR(&value));  // held while its characters are copied
      writer.Number<ULONG>(text.Length());
      writer.Text(text.View());
      break;
    }
    default:
      throw RuntimeError(error::TypeMismatch);  // a control stored a kind we cannot keep
  }
}

std::vector<BYTE> Encode(const PropertyValues& properties) {
  ByteWriter payload;
  for (const PropertyValues::Entry& entry : properties.Entries()) {
    if (entry.first.empty() || entry.first.size() > kMaxKeyLength)
      throw RuntimeError(error::InvalidPropertyValue);
    payload.Number<WORD>(static_cast<WORD>(entry.first.size()));
    payload.Text(entry.first);
    WriteValue(payload, entry.second.Get());
  }
  if (payload.Bytes().size() > kMaxPayloadBytes || properties.Entries().size() > 0xFFFF) {
    throw RuntimeError(error::OutOfMemory);
  }
  ByteWriter whole;
  whole.Raw(kMagic, sizeof(kMagic));
  whole.Number<WORD>(kVersion);
  whole.Number<WORD>(static_cast<WORD>(properties.Entries().size()));
  whole.Number<ULONG>(static_cast<ULONG>(payload.Bytes().size()));
  whole.Raw(payload.Bytes().data(), payload.Bytes().size());
  return whole.Bytes();
}

}  // namespace

PropertyValues Read(IStream* stream) {
  BYTE header[kHeaderBytes];
  ReadExactly(stream, header, kHeaderBytes);
  if (std::memcmp(header, kMagic, sizeof(kMagic)) != 0)
    Fail(kUnknownFormat, L"the stream holds no saved properties");
  WORD version, count;
  ULONG payloadBytes;
  std::memcpy(&version, header + 4, 2);
  std::memcpy(&count, header + 6, 2);
  std::memcpy(&payloadBytes, header + 8, 4);
  if (version != kVersion)
    Fail(kUnknownFormat, L"they were saved in a format version this control does not know");
  if (payloadBytes > kMaxPayloadBytes) Fail(kDamaged, L"the recorded length is implausible");

  std::vector<BYTE> payload(payloadBytes);
  ReadExactly(stream, payload.data(), payloadBytes);
  ByteReader reader(payload);
  std::vector<PropertyValues::Entry> entries;
  for (WORD i = 0; i < count; ++i) {
    WORD keyLength = reader.Number<WORD>();
    if (keyLength == 0 || keyLength > kMaxKeyLength)
      Fail(kDamaged, L"a key has an impossible length");
    std::wstring key = reader.Text(keyLength);
    entries.emplace_back(std::move(key), ReadValue(reader));
  }
  if (!reader.AtEnd()) Fail(kDamaged, L"bytes follow the last recorded property");
  return PropertyValues(std::move(entries));
}

void Write(IStream* stream, const PropertyValues& properties) {
  std::vector<BYTE> bytes = Encode(properties);
  ULONG written = 0;
  ThrowIfFailed(stream->Write(bytes.data(), static_cast<ULONG>(bytes.size()), &written));
  if (written != bytes.size()) throw ComError(STG_E_WRITEFAULT);
}

ULONG SizeOf(const PropertyValues& properties) {
  return static_cast<ULONG>(Encode(properties).size());
}

}  // namespace formsrt::property_stream
