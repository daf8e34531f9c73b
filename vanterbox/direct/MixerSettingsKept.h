// The volume and the mute switch of every line that qzMixerVolume reaches,
// as mixer device 0 has them when this is made, put back when it goes: a
// test or a soak that sets them leaves the environment's mixer as it found
// it, also when it fails.
#pragma once

#include <windows.h>

#include <vector>

namespace vanterbox_direct {

class MixerSettingsKept {
 public:
  MixerSettingsKept();
  ~MixerSettingsKept();
  MixerSettingsKept(const MixerSettingsKept&) = delete;
  MixerSettingsKept& operator=(const MixerSettingsKept&) = delete;

 private:
  struct Setting {
    DWORD componentType;
    DWORD controlType;
    LONG value;
  };
  std::vector<Setting> kept_;
};

}  // namespace vanterbox_direct
