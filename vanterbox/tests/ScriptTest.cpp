// An outside script client: a VBScript under the platform's cscript.exe
// creates the class by ProgID and calls all twenty members, passing its
// variables to the Set members.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "DirectMixerControl.h"
#include "MixerSettingsKept.h"
#include "ProcessRunner.h"

using namespace testing_support;

namespace {

// Prints one line per member: its name, its result, and for a Set member the
// variable it was given afterwards. Main's values are read first and put back
// by two call statements, one with and one without parentheses.
constexpr const char* kScript =
    "Set m = CreateObject(\"Vanterbox.qzMixerVolume\")\r\n"
    "savedVolume = m.GetMainVolume\r\n"
    "savedMute = m.GetMainMute\r\n"
    "Sub Report(name, result)\r\n"
    "  WScript.Echo name & \" \" & result\r\n"
    "End Sub\r\n"
    "For Each lineName In Array(\"Line\", \"WAV\", \"Synthesizer\", \"CD\", \"Main\")\r\n"
    "  For Each quantity In Array(\"Volume\", \"Mute\")\r\n"
    "    Select Case lineName & quantity\r\n"
    "      Case \"LineVolume\": r = m.GetLineVolume: v = 300: s = m.SetLineVolume(v)\r\n"
    "      Case \"LineMute\": r = m.GetLineMute: v = 1: s = m.SetLineMute(v)\r\n"
    "      Case \"WAVVolume\": r = m.GetWAVVolume: v = r: s = m.SetWAVVolume(v)\r\n"
    "      Case \"WAVMute\": r = m.GetWAVMute: v = r: s = m.SetWAVMute(v)\r\n"
    "      Case \"SynthesizerVolume\": r = m.GetSynthesizerVolume: v = 300: s = m.SetSynthesizerVolume(v)\r\n"
    "      Case \"SynthesizerMute\": r = m.GetSynthesizerMute: v = 1: s = m.SetSynthesizerMute(v)\r\n"
    "      Case \"CDVolume\": r = m.GetCDVolume: v = 300: s = m.SetCDVolume(v)\r\n"
    "      Case \"CDMute\": r = m.GetCDMute: v = 1: s = m.SetCDMute(v)\r\n"
    "      Case \"MainVolume\": v = 23456: s = m.SetMainVolume(v): r = m.GetMainVolume\r\n"
    "      Case \"MainMute\": v = 1: s = m.SetMainMute(v): r = m.GetMainMute\r\n"
    "    End Select\r\n"
    "    Report \"Get\" & lineName & quantity, r\r\n"
    "    Report \"Set\" & lineName & quantity, s & \" \" & v\r\n"
    "  Next\r\n"
    "Next\r\n"
    "m.SetMainVolume savedVolume\r\n"
    "m.SetMainMute(savedMute)\r\n"
    "WScript.Echo \"restored \" & (m.GetMainVolume = savedVolume) & \" \" & (m.GetMainMute = savedMute)\r\n";

}  // namespace

TEST(ScriptClient, VbscriptCallsAllTwentyMembersWithVariables) {
  ASSERT_NE(0u, ::mixerGetNumDevs())
      << "Wine has no mixer device here (no sound server): start the tests through "
         "scripts/test.sh, whose environment runs PulseAudio with a null sink";
  // What the platform itself reads back after 23456 (32-bit Wine rounds it).
  std::string mainVolume = std::to_string(vanterbox_direct::PlatformReadBack(23456));
  vanterbox_direct::MixerSettingsKept mixerSettings;  // also when the script stops half way
  std::wstring script = WriteTempFile(L"vanterbox_client.vbs", kScript);
  ProcessResult run = RunProcess(L"cscript.exe //nologo \"" + script + L"\"");
  ASSERT_FALSE(run.timedOut);
  EXPECT_EQ(0u, run.exitCode) << run.output;
  std::vector<std::string> shown = {"SetMainVolume 23456 23456\r\n", "GetMainVolume " + mainVolume + "\r\n",
                                    "SetMainMute 1 1\r\n", "restored True True"};
  for (const char* absent : {"Line", "Synthesizer", "CD"}) {
    for (const char* quantity : {"Volume", "Mute"}) {
      std::string name = std::string(absent) + quantity;
      std::string variable = std::string(quantity) == "Volume" ? "300" : "1";
      shown.insert(shown.end(), {"Get" + name + " -1\r\n", "Set" + name + " -1 " + variable + "\r\n"});
    }
  }
  for (const std::string& line : shown) EXPECT_NE(std::string::npos, run.output.find(line)) << line << run.output;
  for (const char* line : {"GetWAVVolume -1", "SetWAVMute -1", "GetMainMute 0\r\n"}) {
    EXPECT_EQ(std::string::npos, run.output.find(line)) << line << run.output;
  }
}
