// The part of the control base that draws it and keeps its size: the view
// (IViewObject2: Draw through the control's UserControl_Paint, the view's
// advise sink) and the extent, in HIMETRIC, that IOleObject's SetExtent and
// GetExtent change and read.
#pragma once

#include <windows.h>
#include <ole2.h>

#include "control/ControlDescription.h"
#include "com/ComPtr.h"

namespace formsrt {

// Twips to HIMETRIC (hundredths of a millimetre): 1440 twips are 2540,
// rounded half away from zero.
constexpr LONG HimetricFromTwips(LONG twips) {
  long long scaled = static_cast<long long>(twips) * 2540;
  return static_cast<LONG>((scaled < 0 ? scaled - 720 : scaled + 720) / 1440);
}
constexpr SIZEL HimetricFromTwips(SIZE twips) {
  return {HimetricFromTwips(twips.cx), HimetricFromTwips(twips.cy)};
}

class ViewAndExtent : public IViewObject2 {
 public:
  STDMETHODIMP Draw(DWORD aspect, LONG, void*, DVTARGETDEVICE*, HDC, HDC dc, LPCRECTL bounds,
                    LPCRECTL, BOOL(STDMETHODCALLTYPE*)(ULONG_PTR), ULONG_PTR) override;
  STDMETHODIMP GetColorSet(DWORD, LONG, void*, DVTARGETDEVICE*, HDC, LOGPALETTE**) override {
    return E_NOTIMPL;
  }
  STDMETHODIMP Freeze(DWORD, LONG, void*, DWORD*) override { return E_NOTIMPL; }
  STDMETHODIMP Unfreeze(DWORD) override { return E_NOTIMPL; }
  STDMETHODIMP SetAdvise(DWORD aspects, DWORD flags, IAdviseSink* sink) override;
  STDMETHODIMP GetAdvise(DWORD* aspects, DWORD* flags, IAdviseSink** sink) override;
  STDMETHODIMP GetExtent(DWORD aspect, LONG, DVTARGETDEVICE*, LPSIZEL size) override;

 protected:
  // The extent starts as the control's design size.
  explicit ViewAndExtent(const ControlDescription& description);
  ~ViewAndExtent() = default;

  // Draws the control's surface.
  virtual void UserControl_Paint(HDC dc, const RECT& bounds) = 0;

  // IOleObject::SetExtent and GetExtent.
  HRESULT SetContentExtent(DWORD aspect, const SIZEL* size);
  HRESULT ContentExtent(DWORD aspect, SIZEL* size) const;
  // Lets go of the view's sink: the final release, while the object is
  // still whole for a sink that calls back as it goes.
  void ReleaseViewSink() { viewSink_.Reset(); }

 private:
  const wchar_t* errorSource_;
  SIZEL extent_;  // HIMETRIC
  ComPtr<IAdviseSink> viewSink_;
  DWORD viewAspects_ = 0;
  DWORD viewAdviseFlags_ = 0;
};

}  // namespace formsrt
