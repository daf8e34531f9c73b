// LookupLineControl against the faked platform: the calls and their
// arguments, the caller's record after success and after each failure, and
// the receive block freed on every path that allocated it.
#include <gtest/gtest.h>

#include <algorithm>
#include <tuple>

#include "FakeMixer.h"
#include "Module1.h"

using namespace vanterbox;
using namespace vanterbox_testing;

namespace {

constexpr DWORD kSpeakers = MIXERLINE_COMPONENTTYPE_DST_SPEAKERS;
constexpr DWORD kVolume = MIXERCONTROL_CONTROLTYPE_VOLUME;
constexpr DWORD kMute = MIXERCONTROL_CONTROLTYPE_MUTE;
const HMIXER kMixer = reinterpret_cast<HMIXER>(static_cast<INT_PTR>(0x7700));

class LookupLineControlTest : public ::testing::Test {
 protected:
  void TearDown() override {
    EXPECT_EQ(0, fake_.liveBlocks) << "a receive block was not freed";
    auto failed = std::count_if(fake_.allocations.begin(), fake_.allocations.end(),
                                [](const AllocationCall& call) { return call.block == nullptr; });
    EXPECT_EQ(fake_.allocations.size(), fake_.freed.size() + failed);
  }
  FakeMixer fake_;
};

}  // namespace

TEST_F(LookupLineControlTest, FindsTheLineThenItsControlWithTheExactArguments) {
  MixerControlRecord record = FilledWith(0xCD);
  EXPECT_EQ(VARIANT_TRUE, Module1::LookupLineControl(kMixer, kSpeakers, kVolume, record));

  EXPECT_EQ(LookupCalls(), fake_.calls);
  ASSERT_EQ(1u, fake_.lineInfoCalls.size());
  const LineInfoCall& lineCall = fake_.lineInfoCalls[0];
  // Flags 3: by component type, object-type bits 0.
  EXPECT_EQ(std::make_tuple(reinterpret_cast<HMIXEROBJ>(kMixer), DWORD{3}, kLineRecordBytes, kSpeakers),
            std::make_tuple(lineCall.mixer, lineCall.flags, lineCall.line.cbStruct, lineCall.line.dwComponentType));
  MIXERLINEA expectedLine{};
  expectedLine.cbStruct = lineCall.line.cbStruct;
  expectedLine.dwComponentType = kSpeakers;
  EXPECT_TRUE(SameBytes(expectedLine, lineCall.line)) << "not zeroed";

  ASSERT_EQ(1u, fake_.allocations.size());
  EXPECT_EQ(std::make_pair(0x40u, SIZE_T{152}), std::make_pair(fake_.allocations[0].flags, fake_.allocations[0].size));

  // Mixer, flags (2: one control, by type), record size, line, control type,
  // count, element size, receive block size and whether it was zeroed.
  ASSERT_EQ(1u, fake_.lineControlsCalls.size());
  const LineControlsCall& call = fake_.lineControlsCalls[0];
  const MIXERLINECONTROLSA& c = call.controls;
  EXPECT_EQ(std::make_tuple(reinterpret_cast<HMIXEROBJ>(kMixer), DWORD{2}, kLineControlsRecordBytes, fake_.lineId,
                            kVolume, DWORD{1}, DWORD{148}, SIZE_T{152}, true),
            std::make_tuple(call.mixer, call.flags, c.cbStruct, c.dwLineID, c.dwControlType, c.cControls, c.cbmxctrl,
                            call.blockSize, call.blockZeroFilled));

  ASSERT_EQ(1u, fake_.moves.size());
  EXPECT_EQ(std::make_tuple(static_cast<void*>(&record), static_cast<const void*>(c.pamxctrl), SIZE_T{152}),
            std::make_tuple(fake_.moves[0].destination, fake_.moves[0].source, fake_.moves[0].length));
  EXPECT_EQ(std::vector<HGLOBAL>{fake_.allocations[0].block}, fake_.freed);
}

TEST_F(LookupLineControlTest, SuccessReplacesAllOf152BytesWithWhatThePlatformWrote) {
  MixerControlRecord record = FilledWith(0xCD);
  ASSERT_EQ(VARIANT_TRUE, Module1::LookupLineControl(kMixer, kSpeakers, kVolume, record));

  MixerControlRecord expected{};
  FillPlatformControl(reinterpret_cast<MIXERCONTROLA&>(expected), kVolume, fake_.controlId);
  EXPECT_TRUE(SameBytes(expected, record));
  EXPECT_EQ(fake_.controlId, record.dwControlID);
  EXPECT_STREQ("Volume", record.szName);
  EXPECT_EQ(0u, record.dwReserved[10]) << "the word beyond the platform's record";
}

TEST_F(LookupLineControlTest, ASecondLookupLeavesTheRecordDescribingOnlyTheSecondControl) {
  MixerControlRecord record = FilledWith(0xCD);
  ASSERT_EQ(VARIANT_TRUE, Module1::LookupLineControl(kMixer, kSpeakers, kVolume, record));
  fake_.controlId = 0x43;
  ASSERT_EQ(VARIANT_TRUE, Module1::LookupLineControl(kMixer, kSpeakers, kMute, record));

  MixerControlRecord expected{};
  FillPlatformControl(reinterpret_cast<MIXERCONTROLA&>(expected), kMute, 0x43);
  EXPECT_TRUE(SameBytes(expected, record));
  EXPECT_STREQ("Mute", record.szShortName);
  EXPECT_EQ(0, record.szShortName[5]) << "left over from the first control";
}

TEST_F(LookupLineControlTest, AMissingLineLeavesTheRecordUntouchedAndAllocatesNothing) {
  fake_.lineInfoResult = MIXERR_INVALLINE;
  MixerControlRecord record = FilledWith(0xCD);
  EXPECT_EQ(VARIANT_FALSE, Module1::LookupLineControl(kMixer, kSpeakers, kVolume, record));
  EXPECT_TRUE(SameBytes(FilledWith(0xCD), record));
  EXPECT_EQ(std::vector<std::string>{"mixerGetLineInfoA"}, fake_.calls);
}

TEST_F(LookupLineControlTest, AMissingControlSetsOnlyTheRecordSizeAndFreesTheBlock) {
  fake_.lineControlsResult = MIXERR_INVALCONTROL;
  MixerControlRecord record = FilledWith(0xCD);
  EXPECT_EQ(VARIANT_FALSE, Module1::LookupLineControl(kMixer, kSpeakers, kMute, record));

  MixerControlRecord expected = FilledWith(0xCD);
  expected.cbStruct = 152;
  EXPECT_TRUE(SameBytes(expected, record));
  EXPECT_EQ((std::vector<std::string>{"mixerGetLineInfoA", "GlobalAlloc", "GlobalLock",
                                      "mixerGetLineControlsA", "GlobalFree"}),
            fake_.calls);
}

TEST_F(LookupLineControlTest, ABlockThatCannotBeHadFailsWithTheRecordUntouched) {
  MixerControlRecord record = FilledWith(0xCD);
  fake_.failAllocationNumber = 1;
  EXPECT_EQ(VARIANT_FALSE, Module1::LookupLineControl(kMixer, kSpeakers, kVolume, record));
  EXPECT_EQ((std::vector<std::string>{"mixerGetLineInfoA", "GlobalAlloc"}), fake_.calls);

  fake_.calls.clear();
  fake_.failLockNumber = 1;
  EXPECT_EQ(VARIANT_FALSE, Module1::LookupLineControl(kMixer, kSpeakers, kVolume, record));
  EXPECT_EQ((std::vector<std::string>{"mixerGetLineInfoA", "GlobalAlloc", "GlobalLock", "GlobalFree"}),
            fake_.calls);
  EXPECT_TRUE(SameBytes(FilledWith(0xCD), record));
}

TEST(LookupLineControlOnWinesMixer, FindsTheSpeakersControlsAndNoCdLine) {
  ASSERT_NE(0u, ::mixerGetNumDevs())
      << "Wine has no mixer device here (no sound server): start the tests through "
         "scripts/test.sh, whose environment runs PulseAudio with a null sink";
  HMIXER mixer = nullptr;
  ASSERT_EQ(MMSYSERR_NOERROR, ::mixerOpen(&mixer, 0, 0, 0, 0));

  // The platform accepts the announced element size and fills 148 bytes.
  MixerControlRecord record = FilledWith(0xCD);
  EXPECT_EQ(VARIANT_TRUE, Module1::LookupLineControl(mixer, kSpeakers, kVolume, record));
  EXPECT_EQ(kVolume, record.dwControlType);
  EXPECT_NE('\0', record.szName[0]);
  EXPECT_EQ(0u, record.dwReserved[10]);
  EXPECT_EQ(VARIANT_TRUE, Module1::LookupLineControl(mixer, kSpeakers, kMute, record));
  EXPECT_EQ(kMute, record.dwControlType);
  EXPECT_EQ(VARIANT_TRUE,
            Module1::LookupLineControl(mixer, MIXERLINE_COMPONENTTYPE_SRC_WAVEOUT, kVolume, record));

  MixerControlRecord untouched = FilledWith(0xCD);
  EXPECT_EQ(VARIANT_FALSE, Module1::LookupLineControl(mixer, MIXERLINE_COMPONENTTYPE_SRC_COMPACTDISC,
                                                      kVolume, untouched));
  EXPECT_TRUE(SameBytes(FilledWith(0xCD), untouched));
  EXPECT_EQ(MMSYSERR_NOERROR, ::mixerClose(mixer));
}
