// qzMixerVolume: every member reads or sets a control of mixer device 0.
// The set members are given a middle level and "not muted", which the null
// sink of the test environment takes without harm.
#include <string_view>

#include "SoakedClass.h"
#include "Vanterbox.h"

namespace soak {

namespace {

using formsrt::Variant;

constexpr LONG kMiddleLevel = 32768;
constexpr LONG kNotMuted = 0;

#define MIXER_LINE_MEMBERS(line) \
  L"Get" line L"Volume", L"Set" line L"Volume", L"Get" line L"Mute", L"Set" line L"Mute"

const wchar_t* const kMembers[] = {MIXER_LINE_MEMBERS(L"Line"), MIXER_LINE_MEMBERS(L"WAV"),
                                   MIXER_LINE_MEMBERS(L"Synthesizer"), MIXER_LINE_MEMBERS(L"CD"),
                                   MIXER_LINE_MEMBERS(L"Main")};

std::vector<MemberCall> MixerMembers() {
  std::vector<MemberCall> members;
  for (const wchar_t* name : kMembers) {
    std::wstring_view member(name);
    if (member.starts_with(L"Get")) {
      members.push_back({name, Method(name)});
    } else {
      LONG value = member.ends_with(L"Mute") ? kNotMuted : kMiddleLevel;
      members.push_back({name, Method(name, {Variant::FromInt32(value)})});
    }
  }
  return members;
}

}  // namespace

std::vector<SoakedClass> VanterboxClasses(const SoakHost&) {
  return {{L"qzMixerVolume", CLSID_qzMixerVolume, L"Vanterbox.qzMixerVolume", false,
           Method(L"GetMainVolume"), MixerMembers()}};
}

}  // namespace soak
