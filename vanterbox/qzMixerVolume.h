// The library's one public class: twenty members that read or set the volume
// level and the mute switch of five lines of mixer device 0. Every call
// stands alone (open the mixer, look the control up, read or write its one
// 32-bit value, close the mixer) and returns the value, or -1 on any failure.
// Objects hold no state; the module's per-apartment state is in Module1.
#pragma once

#include <windows.h>

#include "Vanterbox.h"
#include "com/ComObject.h"
#include "com/TypeLibDispatch.h"

namespace vanterbox {

class qzMixerVolume : public formsrt::DispatchImpl<_qzMixerVolume>, private formsrt::ComObjectBase {
 public:
  // Creates an object and queries it for iid (the class object's creator).
  static HRESULT Create(REFIID iid, void** object);

  qzMixerVolume();

  STDMETHODIMP QueryInterface(REFIID iid, void** out) override;
  STDMETHODIMP_(ULONG) AddRef() override { return AddRefImpl(); }
  STDMETHODIMP_(ULONG) Release() override { return ReleaseImpl(); }
  STDMETHODIMP Invoke(DISPID id, REFIID riid, LCID locale, WORD flags, DISPPARAMS* params,
                      VARIANT* result, EXCEPINFO* excepInfo, UINT* argErr) override;

  STDMETHODIMP get_GetLineVolume(LONG* result) override;
  STDMETHODIMP get_SetLineVolume(LONG* VolumeValue, LONG* result) override;
  STDMETHODIMP get_GetLineMute(LONG* result) override;
  STDMETHODIMP get_SetLineMute(LONG* VolumeValue, LONG* result) override;
  STDMETHODIMP get_GetWAVVolume(LONG* result) override;
  STDMETHODIMP get_SetWAVVolume(LONG* VolumeValue, LONG* result) override;
  STDMETHODIMP get_GetWAVMute(LONG* result) override;
  STDMETHODIMP get_SetWAVMute(LONG* VolumeValue, LONG* result) override;
  STDMETHODIMP get_GetSynthesizerVolume(LONG* result) override;
  STDMETHODIMP get_SetSynthesizerVolume(LONG* VolumeValue, LONG* result) override;
  STDMETHODIMP get_GetSynthesizerMute(LONG* result) override;
  STDMETHODIMP get_SetSynthesizerMute(LONG* VolumeValue, LONG* result) override;
  STDMETHODIMP get_GetCDVolume(LONG* result) override;
  STDMETHODIMP get_SetCDVolume(LONG* VolumeValue, LONG* result) override;
  STDMETHODIMP get_GetCDMute(LONG* result) override;
  STDMETHODIMP get_SetCDMute(LONG* VolumeValue, LONG* result) override;
  STDMETHODIMP get_GetMainVolume(LONG* result) override;
  STDMETHODIMP get_SetMainVolume(LONG* VolumeValue, LONG* result) override;
  STDMETHODIMP get_GetMainMute(LONG* result) override;
  STDMETHODIMP get_SetMainMute(LONG* VolumeValue, LONG* result) override;
};

}  // namespace vanterbox
