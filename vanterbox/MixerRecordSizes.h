// The sizes announced to the platform in the cbStruct fields of the mixer
// records. The 32-bit build uses the byte sizes the library was made for;
// the 64-bit build serves 64-bit hosts, whose platform records are wider
// (handles and pointers) and whose platform refuses the 32-bit sizes.
#pragma once

#include <windows.h>
#include <mmsystem.h>

namespace vanterbox {

constexpr DWORD kLineRecordSize = sizeof(MIXERLINEA);
constexpr DWORD kLineControlsRecordSize = sizeof(MIXERLINECONTROLSA);
constexpr DWORD kControlDetailsRecordSize = sizeof(MIXERCONTROLDETAILS);
// The element size announced for the one control received: the platform
// accepts exactly its own MIXERCONTROLA and refuses the 152 bytes of
// MixerControlRecord with MMSYSERR_INVALPARAM.
constexpr DWORD kAnnouncedControlSize = sizeof(MIXERCONTROLA);

#ifndef _WIN64
static_assert(kLineRecordSize == 168);
static_assert(kLineControlsRecordSize == 24);
static_assert(kControlDetailsRecordSize == 24);
#endif
static_assert(kAnnouncedControlSize == 148);

// A mixer handle given where the platform takes any mixer object; the
// object-type bits of the flags stay 0.
inline HMIXEROBJ AsMixerObject(HMIXER mixer) { return reinterpret_cast<HMIXEROBJ>(mixer); }

}  // namespace vanterbox
