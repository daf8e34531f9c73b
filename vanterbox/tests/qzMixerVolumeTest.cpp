// The twenty members of qzMixerVolume against the faked platform: which line,
// control and record each one uses, the exact calls and arguments of a read
// and a write, every failure row, and the per-apartment state. Objects are
// made in this process (the type library is embedded in the test program).
#include <gtest/gtest.h>

#include <thread>
#include <tuple>

#include "FakeMixer.h"
#include "Module1.h"
#include "com/ComPtr.h"
#include "core/Variant.h"
#include "qzMixerVolume.h"

using namespace vanterbox;
using namespace vanterbox_testing;
using Module1::ApartmentState;

namespace {

using Getter = HRESULT (*)(_qzMixerVolume*, LONG*);
using Setter = HRESULT (*)(_qzMixerVolume*, LONG*, LONG*);

struct LineMembers {
  const char* name;
  Getter get;
  Setter set;
  DWORD componentType;
  DWORD controlType;
  MixerControlRecord ApartmentState::*record;
};

// A member's name, getter and setter, the two as plain functions of the object.
#define MEMBER(name)                                                     \
  #name, [](_qzMixerVolume* m, LONG* r) { return m->get_Get##name(r); }, \
      [](_qzMixerVolume* m, LONG* v, LONG* r) { return m->get_Set##name(v, r); }

// The family: component type, control type and record of every member.
const LineMembers kFamily[] = {
    {MEMBER(LineVolume), 0x1002, 0x50030001, &ApartmentState::LineControl},
    {MEMBER(LineMute), 0x1002, 0x20010002, &ApartmentState::LineControl},
    {MEMBER(WAVVolume), 0x1008, 0x50030001, &ApartmentState::WAVControl},
    {MEMBER(WAVMute), 0x1008, 0x20010002, &ApartmentState::WAVControl},
    {MEMBER(SynthesizerVolume), 0x1004, 0x50030001, &ApartmentState::SynthesizerControl},
    {MEMBER(SynthesizerMute), 0x1004, 0x20010002, &ApartmentState::SynthesizerControl},
    {MEMBER(CDVolume), 0x1005, 0x50030001, &ApartmentState::CDControl},
    {MEMBER(CDMute), 0x1005, 0x20010002, &ApartmentState::CDControl},
    {MEMBER(MainVolume), 0x4, 0x50030001, &ApartmentState::MainControl},
    {MEMBER(MainMute), 0x4, 0x20010002, &ApartmentState::MainControl},
};
#undef MEMBER

std::vector<std::string> Concat(std::vector<std::string> first, const std::vector<std::string>& second) {
  first.insert(first.end(), second.begin(), second.end());
  return first;
}

std::vector<std::string> ReadCalls() {
  return Concat(Concat({"mixerOpen"}, LookupCalls()),
                {"GlobalAlloc", "GlobalLock", "RtlMoveMemory", "mixerGetControlDetailsA",
                 "RtlMoveMemory", "GlobalFree", "mixerClose"});
}

std::vector<std::string> WriteCalls() {
  return Concat(Concat({"mixerOpen"}, LookupCalls()),
                {"GlobalAlloc", "GlobalLock", "RtlMoveMemory", "mixerSetControlDetails",
                 "GlobalFree", "mixerClose"});
}

std::vector<std::string> DetailsCallsOf(const std::vector<std::string>& calls) {
  std::vector<std::string> details;
  for (const std::string& call : calls) {
    if (call.find("ControlDetails") != std::string::npos) details.push_back(call);
  }
  return details;
}

ApartmentState Snapshot() { return Module1::ThisApartment(); }

formsrt::ComPtr<_qzMixerVolume> NewObject() {
  formsrt::ComPtr<_qzMixerVolume> object;
  EXPECT_EQ(S_OK, vanterbox::qzMixerVolume::Create(IID__qzMixerVolume, object.PutVoid()));
  return object;
}

class qzMixerVolumeTest : public ::testing::Test {
 protected:
  void SetUp() override {
    Module1::ThisApartment() = ApartmentState{};
    object_ = NewObject();
    ASSERT_TRUE(object_);
  }
  void TearDown() override {
    EXPECT_EQ(0, fake_.liveBlocks) << "a value or receive block was not freed";
    EXPECT_EQ(0, fake_.openHandles) << "a mixer handle was not closed";
    EXPECT_EQ(fake_.opened, fake_.closed) << "every call closes the handle it opened";
  }
  void ExpectAllFamilyResults(LONG expected) {
    for (const LineMembers& member : kFamily) {
      SCOPED_TRACE(member.name);
      LONG result = 0, value = 5;
      EXPECT_EQ(S_OK, member.get(object_.Get(), &result));
      EXPECT_EQ(expected, result);
      EXPECT_EQ(S_OK, member.set(object_.Get(), &value, &result));
      EXPECT_EQ(expected, result);
    }
  }

  FakeMixer fake_;
  formsrt::ComPtr<_qzMixerVolume> object_;
};

// Mixer, flags, record size, control, channels, items, value size, block size.
void ExpectDetails(const FakeMixer& fake, const DetailsCall& call) {
  const MIXERCONTROLDETAILS& d = call.details;
  EXPECT_EQ(std::make_tuple(reinterpret_cast<HMIXEROBJ>(fake.handleToOpen), DWORD{0}, kDetailsRecordBytes,
                            fake.controlId, DWORD{1}, DWORD{0}, DWORD{4}, SIZE_T{4}),
            std::make_tuple(call.mixer, call.flags, d.cbStruct, d.dwControlID, d.cChannels, d.cMultipleItems,
                            d.cbDetails, call.blockSize));
  ASSERT_GE(fake.allocations.size(), 2u);
  EXPECT_EQ(std::make_pair(0x40u, SIZE_T{4}), std::make_pair(fake.allocations[1].flags, fake.allocations[1].size));
  ASSERT_GE(fake.locked.size(), 2u);
  EXPECT_EQ(fake.locked[1], d.paDetails);
}

}  // namespace

TEST_F(qzMixerVolumeTest, EachMemberUsesItsLineControlAndRecordWithTheExactCalls) {
  LONG next = 0x1000;
  for (const LineMembers& member : kFamily) {
    SCOPED_TRACE(member.name);
    for (bool write : {false, true}) {
      [](auto&... logs) { (logs.clear(), ...); }(fake_.calls, fake_.openArguments, fake_.openTargets,
                                                  fake_.lineInfoCalls, fake_.lineControlsCalls,
                                                  fake_.detailsCalls, fake_.allocations, fake_.locked);
      fake_.controlId = static_cast<DWORD>(++next);
      fake_.controlValue = static_cast<DWORD>(++next);
      ApartmentState before = Snapshot();
      LONG value = ++next, result = 0;

      EXPECT_EQ(S_OK, write ? member.set(object_.Get(), &value, &result) : member.get(object_.Get(), &result));
      EXPECT_EQ(write ? WriteCalls() : ReadCalls(), fake_.calls);
      EXPECT_EQ((std::vector<DWORD>{0, 0, 0, 0}), fake_.openArguments);
      EXPECT_EQ(std::vector<HMIXER*>{&Module1::ThisApartment().MixerHandle}, fake_.openTargets);
      EXPECT_EQ(fake_.handleToOpen, Module1::ThisApartment().MixerHandle);
      ASSERT_EQ(1u, fake_.lineInfoCalls.size());
      EXPECT_EQ(std::make_pair(reinterpret_cast<HMIXEROBJ>(fake_.handleToOpen), member.componentType),
                std::make_pair(fake_.lineInfoCalls[0].mixer, fake_.lineInfoCalls[0].line.dwComponentType));
      ASSERT_EQ(1u, fake_.lineControlsCalls.size());
      EXPECT_EQ(member.controlType, fake_.lineControlsCalls[0].controls.dwControlType);
      ASSERT_EQ(1u, fake_.detailsCalls.size());
      ExpectDetails(fake_, fake_.detailsCalls[0]);

      ApartmentState after = Snapshot();
      EXPECT_EQ(std::make_pair(fake_.controlId, member.controlType),
                std::make_pair((after.*member.record).dwControlID, (after.*member.record).dwControlType));
      for (const LineMembers& other : kFamily) {
        if (other.record != member.record) {
          EXPECT_TRUE(SameBytes(before.*other.record, after.*other.record)) << other.name;
        }
      }
      if (write) {
        // The value given, stored and returned; VolumeValue not written.
        EXPECT_EQ(std::make_tuple(static_cast<DWORD>(value), static_cast<DWORD>(value), value, next),
                  std::make_tuple(fake_.detailsCalls[0].valueGiven, fake_.controlValue, result, value));
      } else {
        EXPECT_EQ(0u, fake_.detailsCalls[0].valueGiven) << "the block holds a zero before the read";
        EXPECT_EQ(static_cast<LONG>(fake_.controlValue), result);
      }
    }
  }
}

TEST_F(qzMixerVolumeTest, ValuesPassUnchangedInBothDirections) {
  LONG result = 0;
  fake_.controlValue = 0xFFFF;
  EXPECT_EQ(S_OK, object_->get_GetLineVolume(&result));
  EXPECT_EQ(65535, result);
  fake_.controlValue = 0xFFFFFFFE;  // an unsigned level comes back bit for bit
  EXPECT_EQ(S_OK, object_->get_GetWAVVolume(&result));
  EXPECT_EQ(-2, result);
  fake_.controlValue = 0x7;  // the platform's non-zero "muted"
  EXPECT_EQ(S_OK, object_->get_GetMainMute(&result));
  EXPECT_EQ(7, result);

  LONG minusOne = -1;
  EXPECT_EQ(S_OK, object_->get_SetLineVolume(&minusOne, &result));
  EXPECT_EQ(std::make_pair(DWORD{0xFFFFFFFF}, LONG{-1}), std::make_pair(fake_.detailsCalls.back().valueGiven, result));
  LONG outOfRange = 0x7FFFFFFF;
  EXPECT_EQ(S_OK, object_->get_SetCDVolume(&outOfRange, &result));
  EXPECT_EQ(std::make_pair(DWORD{0x7FFFFFFF}, LONG{0x7FFFFFFF}),
            std::make_pair(fake_.detailsCalls.back().valueGiven, result));
}

TEST_F(qzMixerVolumeTest, WithNoMixerDeviceAllTwentyReturnMinusOneAndLookNothingUp) {
  fake_.openResult = MMSYSERR_BADDEVICEID;
  ExpectAllFamilyResults(-1);
  EXPECT_EQ(std::vector<std::string>(20, "mixerOpen"), fake_.calls);
  EXPECT_TRUE(fake_.closed.empty());
}

TEST_F(qzMixerVolumeTest, AMissingLineGivesMinusOneLeavesTheRecordAndClosesTheMixer) {
  fake_.lineInfoResult = MIXERR_INVALLINE;
  Module1::ThisApartment().CDControl.dwControlID = 0x99;
  ApartmentState before = Snapshot();
  ExpectAllFamilyResults(-1);
  EXPECT_TRUE(SameBytes(before.CDControl, Snapshot().CDControl));
  fake_.calls.resize(3);
  EXPECT_EQ((std::vector<std::string>{"mixerOpen", "mixerGetLineInfoA", "mixerClose"}), fake_.calls);
  EXPECT_TRUE(fake_.allocations.empty());
}

TEST_F(qzMixerVolumeTest, AMissingControlGivesMinusOneAndSetsOnlyTheRecordSize) {
  fake_.lineControlsResult = MIXERR_INVALCONTROL;
  Module1::ThisApartment().LineControl = FilledWith(0xCD);
  LONG result = 0, value = 3;
  EXPECT_EQ(S_OK, object_->get_SetLineMute(&value, &result));
  EXPECT_EQ(-1, result);
  MixerControlRecord expected = FilledWith(0xCD);
  expected.cbStruct = 152;
  EXPECT_TRUE(SameBytes(expected, Snapshot().LineControl));
  EXPECT_EQ((std::vector<std::string>{"mixerOpen", "mixerGetLineInfoA", "GlobalAlloc", "GlobalLock",
                                      "mixerGetLineControlsA", "GlobalFree", "mixerClose"}),
            fake_.calls);
}

TEST_F(qzMixerVolumeTest, AFailedReadOrWriteGivesMinusOneAndReleasesTheBlockAndMixer) {
  fake_.detailsResult = MMSYSERR_INVALPARAM;
  LONG result = 0, value = 9;
  EXPECT_EQ(S_OK, object_->get_GetMainVolume(&result));
  EXPECT_EQ(-1, result);
  std::vector<std::string> failedRead = ReadCalls();
  failedRead.erase(failedRead.end() - 3);  // nothing to copy out
  EXPECT_EQ(failedRead, fake_.calls);

  fake_.calls.clear();
  EXPECT_EQ(S_OK, object_->get_SetMainVolume(&value, &result));
  EXPECT_EQ(-1, result);
  EXPECT_EQ(9, value);
  EXPECT_EQ(WriteCalls(), fake_.calls);
}

TEST_F(qzMixerVolumeTest, AValueBlockThatCannotBeHadGivesMinusOne) {
  std::vector<std::string> untilAllocation = Concat(Concat({"mixerOpen"}, LookupCalls()), {"GlobalAlloc"});
  fake_.failAllocationNumber = 2;  // the lookup's block is the first
  LONG result = 0, value = 9;
  EXPECT_EQ(S_OK, object_->get_GetWAVMute(&result));
  EXPECT_EQ(-1, result);
  EXPECT_EQ(Concat(untilAllocation, {"mixerClose"}), fake_.calls);

  fake_.calls.clear();
  fake_.failLockNumber = 3;  // the lookup's lock of this call is the second
  EXPECT_EQ(S_OK, object_->get_SetWAVMute(&value, &result));
  EXPECT_EQ(-1, result);
  EXPECT_EQ(Concat(untilAllocation, {"GlobalLock", "GlobalFree", "mixerClose"}), fake_.calls);
}

TEST_F(qzMixerVolumeTest, EveryCallLooksItsControlUpAfresh) {
  LONG result = 0;
  // The line's volume, its mute, and its volume again, each control under a new identifier.
  const std::pair<DWORD, const LineMembers*> calls[] = {{1, &kFamily[0]}, {2, &kFamily[1]}, {3, &kFamily[0]}};
  for (const auto& [id, member] : calls) {
    fake_.controlId = id;
    EXPECT_EQ(S_OK, member->get(object_.Get(), &result));
    EXPECT_EQ(std::make_pair(id, member->controlType),
              std::make_pair(fake_.detailsCalls.back().details.dwControlID, Snapshot().LineControl.dwControlType));
  }
  EXPECT_EQ(3u, fake_.lineInfoCalls.size());
}

TEST_F(qzMixerVolumeTest, MissingPointersAreRefusedWithoutTouchingTheMixer) {
  LONG value = 1, result = 0x5EED;
  EXPECT_EQ(E_POINTER, object_->get_GetMainVolume(nullptr));
  EXPECT_EQ(E_POINTER, object_->get_SetMainVolume(nullptr, &result));
  EXPECT_EQ(0, result);  // set before the refusal, so that a caller may read it
  EXPECT_EQ(E_POINTER, object_->get_SetMainVolume(&value, nullptr));
  EXPECT_TRUE(fake_.calls.empty());
}

TEST_F(qzMixerVolumeTest, AScriptVariablePassedByReferenceReachesThePlatformAndKeepsItsValue) {
  formsrt::ComPtr<IDispatch> dispatch;
  ASSERT_EQ(S_OK, object_.As(dispatch));
  formsrt::Variant variable = formsrt::Variant::FromInt16(123);
  VARIANT reference;
  V_VT(&reference) = VT_BYREF | VT_VARIANT;
  V_VARIANTREF(&reference) = variable.Raw();
  DISPPARAMS params{&reference, nullptr, 1, 0};
  formsrt::Variant result;
  ASSERT_EQ(S_OK, dispatch->Invoke(0x68030002, IID_NULL, 0, DISPATCH_METHOD | DISPATCH_PROPERTYGET,
                                   &params, result.Put(), nullptr, nullptr));
  EXPECT_EQ(std::make_tuple(VARTYPE{VT_I4}, LONG{123}, DWORD{123}),
            std::make_tuple(result.Type(), V_I4(&result.Get()), fake_.controlValue));
  fake_.calls.clear();
  EXPECT_EQ(std::make_pair(VARTYPE{VT_I2}, SHORT{123}), std::make_pair(variable.Type(), V_I2(&variable.Get())));

  // A call statement ("m.SetMainMute v") asks for a method and wants no result.
  EXPECT_EQ(S_OK, dispatch->Invoke(0x68030000, IID_NULL, 0, DISPATCH_METHOD, &params, nullptr,
                                   nullptr, nullptr));
  DISPPARAMS none{};
  EXPECT_EQ(S_OK, dispatch->Invoke(0x68030001, IID_NULL, 0, DISPATCH_METHOD, &none, nullptr,
                                   nullptr, nullptr));
  EXPECT_EQ((std::vector<std::string>{"mixerSetControlDetails", "mixerGetControlDetailsA"}),
            DetailsCallsOf(fake_.calls));
}

TEST_F(qzMixerVolumeTest, EachApartmentHasItsOwnHandleAndRecords) {
  LONG result = 0;
  fake_.controlId = 0x11;
  ASSERT_EQ(S_OK, object_->get_GetMainVolume(&result));
  ApartmentState mine = Snapshot();

  ApartmentState otherAtStart{}, otherAfter{};
  std::thread other([&] {
    ::CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED);
    otherAtStart = Snapshot();
    {
      formsrt::ComPtr<_qzMixerVolume> otherObject = NewObject();
      fake_.handleToOpen = reinterpret_cast<HMIXER>(static_cast<INT_PTR>(0x6B20));
      fake_.controlId = 0x22;
      LONG otherResult = 0;
      otherObject->get_GetMainMute(&otherResult);
      otherObject->get_GetCDVolume(&otherResult);
    }
    otherAfter = Snapshot();
    ::CoUninitialize();
  });
  other.join();

  EXPECT_TRUE(SameBytes(ApartmentState{}, otherAtStart)) << "a new apartment starts at zero";
  EXPECT_EQ(std::make_tuple(reinterpret_cast<HMIXER>(static_cast<INT_PTR>(0x6B20)), DWORD{0x22}, DWORD{0x22}),
            std::make_tuple(otherAfter.MixerHandle, otherAfter.MainControl.dwControlID,
                            otherAfter.CDControl.dwControlID));
  EXPECT_TRUE(SameBytes(mine, Module1::ThisApartment())) << "the other apartment's calls changed this one's state";
}
