// The library's own 152-byte mixer control record. Its first 148 bytes
// coincide with the platform's MIXERCONTROLA; one more reserved word follows.
#pragma once

#include <windows.h>
#include <mmsystem.h>

#include <cstddef>

namespace vanterbox {

struct MixerControlRecord {
  DWORD cbStruct;
  DWORD dwControlID;
  DWORD dwControlType;
  DWORD fdwControl;
  DWORD cMultipleItems;
  CHAR szShortName[MIXER_SHORT_NAME_CHARS];
  CHAR szName[MIXER_LONG_NAME_CHARS];
  LONG lMinimum;
  LONG lMaximum;
  DWORD dwReserved[11];
};

static_assert(sizeof(MixerControlRecord) == 152);
static_assert(offsetof(MixerControlRecord, szShortName) == 20);
static_assert(offsetof(MixerControlRecord, szName) == 36);
static_assert(offsetof(MixerControlRecord, lMinimum) == 100);
static_assert(offsetof(MixerControlRecord, dwReserved) == 108);
static_assert(sizeof(MIXERCONTROLA) == 148);
static_assert(offsetof(MIXERCONTROLA, Bounds) == offsetof(MixerControlRecord, lMinimum));

}  // namespace vanterbox
