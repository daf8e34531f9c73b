#include "Module1.h"

#include "GlobalBlock.h"
#include "MixerRecordSizes.h"
#include "platform/Platform.h"

namespace vanterbox::Module1 {

namespace {

// Asks for the line of componentType; its identifier, or false.
bool FindLine(HMIXER mixerHandle, DWORD componentType, DWORD& lineId) {
  MIXERLINEA line{};
  line.cbStruct = kLineRecordSize;
  line.dwComponentType = componentType;
  MMRESULT status = formsrt::Winmm().mixerGetLineInfoA(AsMixerObject(mixerHandle), &line,
                                                       MIXER_GETLINEINFOF_COMPONENTTYPE);
  if (status != MMSYSERR_NOERROR) return false;
  lineId = line.dwLineID;
  return true;
}

}  // namespace

ApartmentState& ThisApartment() {
  // Apartment-threaded objects run on their apartment's thread only, so a
  // thread's own copy is the apartment's copy.
  thread_local ApartmentState state{};
  return state;
}

VARIANT_BOOL LookupLineControl(HMIXER mixerHandle, DWORD componentType, DWORD controlType,
                               MixerControlRecord& control) {
  DWORD lineId = 0;
  if (!FindLine(mixerHandle, componentType, lineId)) return VARIANT_FALSE;

  // The platform writes its 148-byte record into a zero-filled 152-byte
  // block, so the record's last reserved word reads 0.
  GlobalBlock received(sizeof(MixerControlRecord));
  if (!received.Address()) return VARIANT_FALSE;

  MIXERLINECONTROLSA controls{};
  controls.cbStruct = kLineControlsRecordSize;
  controls.dwLineID = lineId;
  controls.dwControlType = controlType;
  controls.cControls = 1;
  controls.cbmxctrl = kAnnouncedControlSize;
  controls.pamxctrl = static_cast<MIXERCONTROLA*>(received.Address());

  control.cbStruct = sizeof(MixerControlRecord);
  if (formsrt::Winmm().mixerGetLineControlsA(AsMixerObject(mixerHandle), &controls,
                                             MIXER_GETLINECONTROLSF_ONEBYTYPE) != MMSYSERR_NOERROR) {
    return VARIANT_FALSE;
  }
  formsrt::Kernel32().RtlMoveMemory(&control, received.Address(), sizeof(MixerControlRecord));
  return VARIANT_TRUE;
}

}  // namespace vanterbox::Module1
