#include "qzMixerVolume.h"

#include "GlobalBlock.h"
#include "MixerRecordSizes.h"
#include "Module1.h"
#include "OpenedMixer.h"
#include "com/OutParameters.h"
#include "platform/Platform.h"
#include "com/TypeInformation.h"

namespace vanterbox {

namespace {

using Module1::ApartmentState;

// What tells the members of one line apart: the line's component type and
// the apartment's record that its lookups fill.
struct MixerLine {
  DWORD componentType;
  MixerControlRecord ApartmentState::*record;
};

constexpr MixerLine kLine{MIXERLINE_COMPONENTTYPE_SRC_LINE, &ApartmentState::LineControl};
constexpr MixerLine kWAV{MIXERLINE_COMPONENTTYPE_SRC_WAVEOUT, &ApartmentState::WAVControl};
constexpr MixerLine kSynthesizer{MIXERLINE_COMPONENTTYPE_SRC_SYNTHESIZER,
                                 &ApartmentState::SynthesizerControl};
constexpr MixerLine kCD{MIXERLINE_COMPONENTTYPE_SRC_COMPACTDISC, &ApartmentState::CDControl};
constexpr MixerLine kMain{MIXERLINE_COMPONENTTYPE_DST_SPEAKERS, &ApartmentState::MainControl};

constexpr DWORD kVolume = MIXERCONTROL_CONTROLTYPE_VOLUME;
constexpr DWORD kMute = MIXERCONTROL_CONTROLTYPE_MUTE;

// The client sees only this; it cannot tell which step failed.
constexpr LONG kFailed = -1;

// One 32-bit value for all channels of the control, in the value block.
MIXERCONTROLDETAILS ValueDetails(const MixerControlRecord& control, void* valueBlock) {
  MIXERCONTROLDETAILS details{};
  details.cbStruct = kControlDetailsRecordSize;
  details.dwControlID = control.dwControlID;
  details.cChannels = 1;
  details.cMultipleItems = 0;
  details.cbDetails = sizeof(LONG);
  details.paDetails = valueBlock;
  return details;
}

void CopyValue(void* destination, const void* source) {
  formsrt::Kernel32().RtlMoveMemory(destination, source, sizeof(LONG));
}

bool LookUp(ApartmentState& apartment, const MixerLine& line, DWORD controlType) {
  return Module1::LookupLineControl(apartment.MixerHandle, line.componentType, controlType,
                                    apartment.*line.record) == VARIANT_TRUE;
}

// Opens the mixer into the apartment's handle, looks the control up into
// the apartment's record and gives `transfer` the details of the control's
// one value, held in a 4-byte block; -1 when a step before fails.
template <class Transfer>
LONG TransferValue(const MixerLine& line, DWORD controlType, Transfer&& transfer) {
  ApartmentState& apartment = Module1::ThisApartment();
  OpenedMixer mixer(apartment.MixerHandle);
  if (!mixer.IsOpen() || !LookUp(apartment, line, controlType)) return kFailed;
  GlobalBlock valueBlock(sizeof(LONG));
  if (!valueBlock.Address()) return kFailed;
  MIXERCONTROLDETAILS details = ValueDetails(apartment.*line.record, valueBlock.Address());
  return transfer(AsMixerObject(apartment.MixerHandle), details, valueBlock.Address());
}

LONG ReadControl(const MixerLine& line, DWORD controlType) {
  return TransferValue(line, controlType, [](HMIXEROBJ mixer, MIXERCONTROLDETAILS& details, void* block) {
    LONG value = 0;
    CopyValue(block, &value);
    if (formsrt::Winmm().mixerGetControlDetailsA(mixer, &details, MIXER_GETCONTROLDETAILSF_VALUE) !=
        MMSYSERR_NOERROR) {
      return kFailed;
    }
    // An unsigned level comes back in the signed result bit for bit.
    CopyValue(&value, block);
    return value;
  });
}

LONG WriteControl(const MixerLine& line, DWORD controlType, LONG value) {
  return TransferValue(line, controlType, [value](HMIXEROBJ mixer, MIXERCONTROLDETAILS& details,
                                                  void* block) {
    CopyValue(block, &value);
    // The value goes through unchanged: whether it is in range is the
    // platform's decision.
    if (formsrt::Winmm().mixerSetControlDetails(mixer, &details, MIXER_SETCONTROLDETAILSF_VALUE) !=
        MMSYSERR_NOERROR) {
      return kFailed;
    }
    return value;
  });
}

// A failure of the mixer is the result -1 with S_OK; only a missing pointer,
// which no automation client can pass, is refused as an error.
HRESULT Read(const MixerLine& line, DWORD controlType, LONG* result) {
  if (!result) return E_POINTER;
  *result = ReadControl(line, controlType);
  return S_OK;
}

// VolumeValue is passed by reference but only read.
HRESULT Write(const MixerLine& line, DWORD controlType, const LONG* VolumeValue, LONG* result) {
  formsrt::ClearOutParameters(result);
  if (!VolumeValue || !result) return E_POINTER;
  *result = WriteControl(line, controlType, *VolumeValue);
  return S_OK;
}

}  // namespace

HRESULT qzMixerVolume::Create(REFIID iid, void** object) {
  return formsrt::CreateAndQuery<qzMixerVolume>(iid, object);
}

qzMixerVolume::qzMixerVolume() : DispatchImpl(formsrt::ModuleTypeInfo(IID__qzMixerVolume)) {}

STDMETHODIMP qzMixerVolume::QueryInterface(REFIID iid, void** out) {
  return formsrt::QueryObject<formsrt::Offer<_qzMixerVolume, IDispatch>>(this, iid, out);
}

STDMETHODIMP qzMixerVolume::Invoke(DISPID id, REFIID riid, LCID locale, WORD flags,
                                   DISPPARAMS* params, VARIANT* result, EXCEPINFO* excepInfo,
                                   UINT* argErr) {
  // Every member is a property get, yet a script calls a Set member as a
  // statement ("m.SetMainVolume v"), which asks for a method only; the type
  // information would answer that with "member not found".
  if (flags & DISPATCH_METHOD) flags |= DISPATCH_PROPERTYGET;
  return DispatchImpl::Invoke(id, riid, locale, flags, params, result, excepInfo, argErr);
}

STDMETHODIMP qzMixerVolume::get_GetLineVolume(LONG* result) {
  return Read(kLine, kVolume, result);
}
STDMETHODIMP qzMixerVolume::get_SetLineVolume(LONG* VolumeValue, LONG* result) {
  return Write(kLine, kVolume, VolumeValue, result);
}

STDMETHODIMP qzMixerVolume::get_GetLineMute(LONG* result) {
  return Read(kLine, kMute, result);
}
STDMETHODIMP qzMixerVolume::get_SetLineMute(LONG* VolumeValue, LONG* result) {
  return Write(kLine, kMute, VolumeValue, result);
}

STDMETHODIMP qzMixerVolume::get_GetWAVVolume(LONG* result) {
  return Read(kWAV, kVolume, result);
}
STDMETHODIMP qzMixerVolume::get_SetWAVVolume(LONG* VolumeValue, LONG* result) {
  return Write(kWAV, kVolume, VolumeValue, result);
}

STDMETHODIMP qzMixerVolume::get_GetWAVMute(LONG* result) {
  return Read(kWAV, kMute, result);
}
STDMETHODIMP qzMixerVolume::get_SetWAVMute(LONG* VolumeValue, LONG* result) {
  return Write(kWAV, kMute, VolumeValue, result);
}

STDMETHODIMP qzMixerVolume::get_GetSynthesizerVolume(LONG* result) {
  return Read(kSynthesizer, kVolume, result);
}
STDMETHODIMP qzMixerVolume::get_SetSynthesizerVolume(LONG* VolumeValue, LONG* result) {
  return Write(kSynthesizer, kVolume, VolumeValue, result);
}

STDMETHODIMP qzMixerVolume::get_GetSynthesizerMute(LONG* result) {
  return Read(kSynthesizer, kMute, result);
}
STDMETHODIMP qzMixerVolume::get_SetSynthesizerMute(LONG* VolumeValue, LONG* result) {
  return Write(kSynthesizer, kMute, VolumeValue, result);
}

STDMETHODIMP qzMixerVolume::get_GetCDVolume(LONG* result) {
  return Read(kCD, kVolume, result);
}
STDMETHODIMP qzMixerVolume::get_SetCDVolume(LONG* VolumeValue, LONG* result) {
  return Write(kCD, kVolume, VolumeValue, result);
}

STDMETHODIMP qzMixerVolume::get_GetCDMute(LONG* result) {
  return Read(kCD, kMute, result);
}
STDMETHODIMP qzMixerVolume::get_SetCDMute(LONG* VolumeValue, LONG* result) {
  return Write(kCD, kMute, VolumeValue, result);
}

STDMETHODIMP qzMixerVolume::get_GetMainVolume(LONG* result) {
  return Read(kMain, kVolume, result);
}
STDMETHODIMP qzMixerVolume::get_SetMainVolume(LONG* VolumeValue, LONG* result) {
  return Write(kMain, kVolume, VolumeValue, result);
}

STDMETHODIMP qzMixerVolume::get_GetMainMute(LONG* result) {
  return Read(kMain, kMute, result);
}
STDMETHODIMP qzMixerVolume::get_SetMainMute(LONG* VolumeValue, LONG* result) {
  return Write(kMain, kMute, VolumeValue, result);
}

}  // namespace vanterbox
