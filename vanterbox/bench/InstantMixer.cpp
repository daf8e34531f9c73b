#include "InstantMixer.h"

namespace vanterbox_bench {

namespace {

constexpr DWORD kLineId = 0xFFFF0000;
constexpr DWORD kControlId = 1;
DWORD keptValue = 0;

MMRESULT WINAPI InstantOpen(LPHMIXER mixer, UINT, DWORD_PTR, DWORD_PTR, DWORD) {
  *mixer = reinterpret_cast<HMIXER>(static_cast<INT_PTR>(0x100));
  return MMSYSERR_NOERROR;
}

MMRESULT WINAPI InstantClose(HMIXER) { return MMSYSERR_NOERROR; }

MMRESULT WINAPI InstantLineInfo(HMIXEROBJ, LPMIXERLINEA line, DWORD) {
  line->dwLineID = kLineId;
  return MMSYSERR_NOERROR;
}

MMRESULT WINAPI InstantLineControls(HMIXEROBJ, LPMIXERLINECONTROLSA controls, DWORD) {
  controls->pamxctrl->cbStruct = sizeof(MIXERCONTROLA);
  controls->pamxctrl->dwControlID = kControlId;
  controls->pamxctrl->dwControlType = controls->dwControlType;
  return MMSYSERR_NOERROR;
}

MMRESULT WINAPI InstantGetDetails(HMIXEROBJ, LPMIXERCONTROLDETAILS details, DWORD) {
  *static_cast<DWORD*>(details->paDetails) = keptValue;
  return MMSYSERR_NOERROR;
}

MMRESULT WINAPI InstantSetDetails(HMIXEROBJ, LPMIXERCONTROLDETAILS details, DWORD) {
  keptValue = *static_cast<const DWORD*>(details->paDetails);
  return MMSYSERR_NOERROR;
}

}  // namespace

InstantMixer::InstantMixer() : winmm_(formsrt::Winmm()) {
  winmm_->mixerOpen = InstantOpen;
  winmm_->mixerClose = InstantClose;
  winmm_->mixerGetLineInfoA = InstantLineInfo;
  winmm_->mixerGetLineControlsA = InstantLineControls;
  winmm_->mixerGetControlDetailsA = InstantGetDetails;
  winmm_->mixerSetControlDetails = InstantSetDetails;
}

}  // namespace vanterbox_bench
