// The twenty members of _qzMixerVolume in interface (vtable) order, as
// clients know them: name, DISPID and whether the member takes VolumeValue.
#pragma once

#include <windows.h>

namespace vanterbox_testing {

struct MemberEntry {
  const wchar_t* name;
  DISPID dispid;
  bool takesValue;
};

inline constexpr MemberEntry kMembers[] = {
    {L"GetLineVolume", 0x68030013, false},
    {L"SetLineVolume", 0x68030012, true},
    {L"GetLineMute", 0x68030011, false},
    {L"SetLineMute", 0x68030010, true},
    {L"GetWAVVolume", 0x6803000f, false},
    {L"SetWAVVolume", 0x6803000e, true},
    {L"GetWAVMute", 0x6803000d, false},
    {L"SetWAVMute", 0x6803000c, true},
    {L"GetSynthesizerVolume", 0x6803000b, false},
    {L"SetSynthesizerVolume", 0x6803000a, true},
    {L"GetSynthesizerMute", 0x68030009, false},
    {L"SetSynthesizerMute", 0x68030008, true},
    {L"GetCDVolume", 0x68030007, false},
    {L"SetCDVolume", 0x68030006, true},
    {L"GetCDMute", 0x68030005, false},
    {L"SetCDMute", 0x68030004, true},
    {L"GetMainVolume", 0x68030003, false},
    {L"SetMainVolume", 0x68030002, true},
    {L"GetMainMute", 0x68030001, false},
    {L"SetMainMute", 0x68030000, true},
};

}  // namespace vanterbox_testing
