#include "DirectMixerControl.h"

#include <mmsystem.h>

#include "platform/Platform.h"

namespace vanterbox_direct {

LONG DirectControlValue(DWORD componentType, DWORD controlType, bool write, LONG value) {
  HMIXER mixer = nullptr;
  if (formsrt::Winmm().mixerOpen(&mixer, 0, 0, 0, 0) != MMSYSERR_NOERROR) return -1;
  auto object = reinterpret_cast<HMIXEROBJ>(mixer);
  MIXERLINEA line{};
  line.cbStruct = sizeof(line);
  line.dwComponentType = componentType;
  MIXERCONTROLA control{};
  MIXERLINECONTROLSA controls{};
  controls.cbStruct = sizeof(controls);
  controls.dwControlType = controlType;
  controls.cControls = 1;
  controls.cbmxctrl = sizeof(control);
  controls.pamxctrl = &control;
  MIXERCONTROLDETAILS details{};
  details.cbStruct = sizeof(details);
  details.cChannels = 1;
  details.cbDetails = sizeof(value);
  details.paDetails = &value;
  MMRESULT status = ::mixerGetLineInfoA(object, &line, MIXER_GETLINEINFOF_COMPONENTTYPE);
  controls.dwLineID = line.dwLineID;
  if (status == MMSYSERR_NOERROR) {
    status = ::mixerGetLineControlsA(object, &controls, MIXER_GETLINECONTROLSF_ONEBYTYPE);
  }
  details.dwControlID = control.dwControlID;
  if (status == MMSYSERR_NOERROR) {
    status = write ? ::mixerSetControlDetails(object, &details, MIXER_SETCONTROLDETAILSF_VALUE)
                   : ::mixerGetControlDetailsA(object, &details, MIXER_GETCONTROLDETAILSF_VALUE);
  }
  formsrt::Winmm().mixerClose(mixer);
  return status == MMSYSERR_NOERROR ? value : -1;
}

LONG DirectSpeakersVolume(bool write, LONG value) {
  return DirectControlValue(MIXERLINE_COMPONENTTYPE_DST_SPEAKERS, MIXERCONTROL_CONTROLTYPE_VOLUME,
                            write, value);
}

// No volume or mute control reads -1: a level is 0 to 65535, a switch 0 or 1.
bool MixerHasControl(DWORD componentType, DWORD controlType) {
  return DirectControlValue(componentType, controlType, false, 0) != -1;
}

LONG PlatformReadBack(LONG level) {
  LONG saved = DirectSpeakersVolume(false, 0);
  if (saved == -1 || DirectSpeakersVolume(true, level) == -1) return -1;
  LONG readBack = DirectSpeakersVolume(false, 0);
  DirectSpeakersVolume(true, saved);
  return readBack;
}

}  // namespace vanterbox_direct
