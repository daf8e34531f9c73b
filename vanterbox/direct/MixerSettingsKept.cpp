#include "MixerSettingsKept.h"

#include <windows.h>

#include <mmsystem.h>

#include "DirectMixerControl.h"

namespace vanterbox_direct {

namespace {

constexpr DWORD kLines[] = {MIXERLINE_COMPONENTTYPE_DST_SPEAKERS, MIXERLINE_COMPONENTTYPE_SRC_LINE,
                            MIXERLINE_COMPONENTTYPE_SRC_SYNTHESIZER,
                            MIXERLINE_COMPONENTTYPE_SRC_COMPACTDISC,
                            MIXERLINE_COMPONENTTYPE_SRC_WAVEOUT};
constexpr DWORD kControls[] = {MIXERCONTROL_CONTROLTYPE_VOLUME, MIXERCONTROL_CONTROLTYPE_MUTE};

}  // namespace

MixerSettingsKept::MixerSettingsKept() {
  for (DWORD line : kLines) {
    for (DWORD control : kControls) {
      LONG value = DirectControlValue(line, control, false, 0);
      if (value != -1) kept_.push_back({line, control, value});
    }
  }
}

MixerSettingsKept::~MixerSettingsKept() {
  for (const Setting& setting : kept_) {
    DirectControlValue(setting.componentType, setting.controlType, true, setting.value);
  }
}

}  // namespace vanterbox_direct
