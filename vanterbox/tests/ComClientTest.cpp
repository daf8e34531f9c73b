// qzMixerVolume as a client uses it, after registration: created by ProgID,
// called through the vtable and late-bound by name and by DISPID, against
// Wine's real mixer (the test environment's null sink). Values changed on
// the speakers line are put back when each case ends. A volume read back is
// compared with what the platform itself reads back after setting it.
#include <gtest/gtest.h>

#include "DirectMixerControl.h"
#include "MixerSettingsKept.h"
#include "MemberTable.h"
#include "Vanterbox.h"
#include "com/ComPtr.h"
#include "com/LateBound.h"
#include "core/Variant.h"

using namespace formsrt;
using vanterbox_direct::PlatformReadBack;
using vanterbox_testing::kMembers;

namespace {

ComPtr<_qzMixerVolume> CreateByProgId() {
  CLSID clsid{};
  EXPECT_EQ(S_OK, ::CLSIDFromProgID(L"Vanterbox.qzMixerVolume", &clsid));
  ComPtr<_qzMixerVolume> object;
  EXPECT_EQ(S_OK, ::CoCreateInstance(clsid, nullptr, CLSCTX_INPROC_SERVER, IID__qzMixerVolume,
                                     object.PutVoid()));
  return object;
}

// A script's variable passed to a member: VT_VARIANT|VT_BYREF.
Variant InvokeWithVariable(IDispatch* object, DISPID member, Variant& variable) {
  VARIANT reference;
  V_VT(&reference) = VT_BYREF | VT_VARIANT;
  V_VARIANTREF(&reference) = variable.Raw();
  return InvokeMember(object, member, DISPATCH_METHOD | DISPATCH_PROPERTYGET, {&reference, 1});
}

LONG AsLong(const Variant& value) {
  EXPECT_EQ(VT_I4, value.Type());
  return V_I4(&value.Get());
}

class ComClientTest : public ::testing::Test {
 protected:
  void SetUp() override {
    ASSERT_NE(0u, ::mixerGetNumDevs())
        << "Wine has no mixer device here (no sound server): start the tests through "
           "scripts/test.sh, whose environment runs PulseAudio with a null sink";
    mixer_ = CreateByProgId();
    ASSERT_TRUE(mixer_);
    ASSERT_EQ(S_OK, mixer_.As(dispatch_));
  }

  // Made before the test sets anything, put back after it, with the
  // platform's own calls rather than the class under test.
  vanterbox_direct::MixerSettingsKept mixerSettings_;
  ComPtr<_qzMixerVolume> mixer_;
  ComPtr<IDispatch> dispatch_;
};

}  // namespace

TEST_F(ComClientTest, MainAndWavFindTheirControlsAndTheOtherLinesGiveMinusOne) {
  LONG result = 0;
  EXPECT_EQ(S_OK, mixer_->get_GetWAVVolume(&result));
  EXPECT_NE(-1, result);
  EXPECT_EQ(S_OK, mixer_->get_GetWAVMute(&result));
  EXPECT_NE(-1, result);

  // Wine's mixer has no line input, synthesizer or CD line.
  for (const auto& member : kMembers) {
    std::wstring name = member.name;
    if (name.find(L"Main") != std::wstring::npos || name.find(L"WAV") != std::wstring::npos) continue;
    SCOPED_TRACE(testing::Message() << member.dispid);
    Variant value = Variant::FromInt32(100);
    Variant outcome = member.takesValue ? InvokeWithVariable(dispatch_.Get(), member.dispid, value)
                                        : GetProperty(dispatch_.Get(), member.dispid);
    EXPECT_EQ(-1, AsLong(outcome));
  }
}

TEST_F(ComClientTest, MainVolumeAndMuteReadBackWhatWasSetThroughTheVtable) {
  LONG result = 0;
  for (LONG level : {0, 12345, 65535}) {
    LONG value = level;
    EXPECT_EQ(S_OK, mixer_->get_SetMainVolume(&value, &result));
    EXPECT_EQ(std::make_pair(level, level), std::make_pair(result, value));
    EXPECT_EQ(S_OK, mixer_->get_GetMainVolume(&result));
    EXPECT_EQ(PlatformReadBack(level), result);
  }
  LONG muted = 1, notMuted = 0;
  EXPECT_EQ(S_OK, mixer_->get_SetMainMute(&muted, &result));
  EXPECT_EQ(1, result);
  EXPECT_EQ(S_OK, mixer_->get_GetMainMute(&result));
  EXPECT_NE(0, result);
  EXPECT_NE(-1, result);
  EXPECT_EQ(S_OK, mixer_->get_SetMainMute(&notMuted, &result));
  EXPECT_EQ(S_OK, mixer_->get_GetMainMute(&result));
  EXPECT_EQ(0, result);
}

TEST_F(ComClientTest, LateBoundByNameAndByDispid) {
  for (const auto& member : kMembers) {
    SCOPED_TRACE(testing::Message() << member.dispid);
    EXPECT_EQ(member.dispid, LookupMember(dispatch_.Get(), member.name));
  }
  DISPID setVolume = LookupMember(dispatch_.Get(), L"setmainvolume");  // names ignore case
  Variant variable = Variant::FromInt16(4321);
  EXPECT_EQ(4321, AsLong(InvokeWithVariable(dispatch_.Get(), setVolume, variable)));
  EXPECT_EQ(VT_I2, variable.Type()) << "the script's variable keeps its type";
  EXPECT_EQ(4321, V_I2(&variable.Get()));
  EXPECT_EQ(PlatformReadBack(4321), AsLong(GetProperty(dispatch_.Get(), L"GetMainVolume")));

  Variant text = Variant::FromText(L"2222");
  EXPECT_EQ(2222, AsLong(InvokeWithVariable(dispatch_.Get(), 0x68030002, text)));
  EXPECT_EQ(VT_BSTR, text.Type());
  EXPECT_EQ(PlatformReadBack(2222), AsLong(GetProperty(dispatch_.Get(), 0x68030003)));

  // A literal argument, as a script passes a constant.
  EXPECT_EQ(1111, AsLong(GetProperty(dispatch_.Get(), 0x68030002, {Variant::FromInt32(1111).Get()})));
  EXPECT_EQ(PlatformReadBack(1111), AsLong(GetProperty(dispatch_.Get(), L"GetMainVolume")));
}
