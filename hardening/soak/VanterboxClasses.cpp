// qzMixerVolume: every member reads or sets a control of mixer device 0.
// The set members are given a middle level and "not muted", which the null
// sink of the test environment takes without harm. A member whose control
// the environment's mixer has must not answer -1: that is a failed call.
#include <windows.h>

#include <mmsystem.h>

#include <stdexcept>

#include "DirectMixerControl.h"
#include "SoakedClass.h"
#include "Vanterbox.h"

namespace soak {

namespace {

using formsrt::Variant;

constexpr LONG kMiddleLevel = 32768;
constexpr LONG kNotMuted = 0;

struct MixerMember {
  const wchar_t* name;
  DWORD componentType;
  DWORD controlType;
  bool set;
};

#define MIXER_LINE_MEMBERS(line, type)                                   \
  {L"Get" line L"Volume", type, MIXERCONTROL_CONTROLTYPE_VOLUME, false}, \
      {L"Set" line L"Volume", type, MIXERCONTROL_CONTROLTYPE_VOLUME, true}, \
      {L"Get" line L"Mute", type, MIXERCONTROL_CONTROLTYPE_MUTE, false},    \
      {L"Set" line L"Mute", type, MIXERCONTROL_CONTROLTYPE_MUTE, true}

const MixerMember kMembers[] = {
    MIXER_LINE_MEMBERS(L"Line", MIXERLINE_COMPONENTTYPE_SRC_LINE),
    MIXER_LINE_MEMBERS(L"WAV", MIXERLINE_COMPONENTTYPE_SRC_WAVEOUT),
    MIXER_LINE_MEMBERS(L"Synthesizer", MIXERLINE_COMPONENTTYPE_SRC_SYNTHESIZER),
    MIXER_LINE_MEMBERS(L"CD", MIXERLINE_COMPONENTTYPE_SRC_COMPACTDISC),
    MIXER_LINE_MEMBERS(L"Main", MIXERLINE_COMPONENTTYPE_DST_SPEAKERS),
};

Call Checked(const MixerMember& member) {
  bool controlExists = vanterbox_direct::MixerHasControl(member.componentType, member.controlType);
  std::vector<Variant> arguments;
  if (member.set) {
    bool mute = member.controlType == MIXERCONTROL_CONTROLTYPE_MUTE;
    arguments.push_back(Variant::FromInt32(mute ? kNotMuted : kMiddleLevel));
  }
  return CheckedMethod(member.name, std::move(arguments), [controlExists](const Variant& result) {
    if (controlExists && V_VT(&result.Get()) == VT_I4 && V_I4(&result.Get()) == -1) {
      throw std::runtime_error("-1 from a control that the mixer has");
    }
  });
}

}  // namespace

std::vector<SoakedClass> VanterboxClasses(const SoakHost&) {
  std::vector<MemberCall> members;
  for (const MixerMember& member : kMembers) members.push_back({member.name, Checked(member)});
  Call use = Checked(kMembers[16]);  // GetMainVolume
  return {{L"qzMixerVolume", CLSID_qzMixerVolume, L"Vanterbox.qzMixerVolume", false, use,
           std::move(members)}};
}

}  // namespace soak
