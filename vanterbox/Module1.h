// The library's one module: the state that each apartment shares among its
// qzMixerVolume objects, and the lookup of a mixer line's control.
#pragma once

#include <windows.h>
#include <mmsystem.h>
#include <oleauto.h>

#include "MixerControlRecord.h"

namespace vanterbox::Module1 {

// One copy per apartment (thread), zero-filled when the apartment first uses
// it. The Main, WAV, CD, Synthesizer and Line members fill their own record.
struct ApartmentState {
  HMIXER MixerHandle;
  MixerControlRecord MainControl;
  MixerControlRecord WAVControl;
  MixerControlRecord CDControl;
  MixerControlRecord SynthesizerControl;
  MixerControlRecord LineControl;
};

// The calling apartment's state.
ApartmentState& ThisApartment();

// Finds the line of componentType on the open mixer and its control of
// controlType, and copies the control's description into `control`.
// Returns VARIANT_TRUE (-1) when found. On failure returns VARIANT_FALSE and
// leaves `control` as it was, except that a line without such a control
// leaves its cbStruct set to 152.
VARIANT_BOOL LookupLineControl(HMIXER mixerHandle, DWORD componentType, DWORD controlType,
                               MixerControlRecord& control);

}  // namespace vanterbox::Module1
