// Controls of mixer device 0 read or written with the platform's own mixer
// calls, without the library: what the platform itself reports is the
// measure the benchmark compares with and the tests expect (32-bit Wine, for
// one, reads back 32767 after 32768 is set).
#pragma once

#include <windows.h>

namespace vanterbox_direct {

// Opens mixer device 0 (through the platform seam, so that a counting open
// counts it), finds the control of that type on the line of that component
// type, reads it or writes `value`, and closes. The value read or written,
// or -1 on any failure (no mixer, no such line, no such control).
LONG DirectControlValue(DWORD componentType, DWORD controlType, bool write, LONG value);

// The speakers line's volume.
LONG DirectSpeakersVolume(bool write, LONG value);

// Whether mixer device 0 has that control on that line.
bool MixerHasControl(DWORD componentType, DWORD controlType);

// What the platform reads back after `level` is set; the volume found
// before is put back.
LONG PlatformReadBack(LONG level);

}  // namespace vanterbox_direct
