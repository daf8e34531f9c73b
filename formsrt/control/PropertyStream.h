// The stream form of a control's properties (IPersistStreamInit), a small
// versioned format of our own:
//
//   header   "FRPS"  u16 version (1)  u16 count  u32 payload bytes
//   count x  u16 key length  key (UTF-16LE)  u16 VARTYPE  value
//   values   VT_EMPTY: nothing; VT_BOOL, VT_I2: 2 bytes; VT_I4: 4; VT_R8: 8;
//            VT_BSTR: u32 length in characters, then UTF-16LE text
//
// Little-endian throughout. Reading takes the whole payload first and parses
// it with a length-checked reader, so a truncated or damaged stream fails
// with a clear error, before the control has seen any of it.
#pragma once

#include <windows.h>
#include <objidl.h>

#include "control/PropertyValues.h"

namespace formsrt {

namespace property_stream {

// The stream ends before the length that its header records.
inline constexpr HRESULT kTruncated = STG_E_READFAULT;
// Not this format, or a version this code cannot read.
inline constexpr HRESULT kUnknownFormat = STG_E_INVALIDHEADER;
// A length, count or type that the format does not allow.
inline constexpr HRESULT kDamaged = STG_E_DOCFILECORRUPT;

// Raises a RuntimeError carrying one of the HRESULTs above, with a
// description, when the stream is not a whole, valid property set.
PropertyValues Read(IStream* stream);
void Write(IStream* stream, const PropertyValues& properties);
ULONG SizeOf(const PropertyValues& properties);

}  // namespace property_stream

}  // namespace formsrt
