#include "control/ViewAndExtent.h"

#include "com/ComBoundary.h"
#include "com/OutParameters.h"

namespace formsrt {

ViewAndExtent::ViewAndExtent(const ControlDescription& description)
    : errorSource_(description.title), extent_(HimetricFromTwips(description.designSizeTwips)) {}

STDMETHODIMP ViewAndExtent::Draw(DWORD aspect, LONG, void*, DVTARGETDEVICE*, HDC, HDC dc,
                                 LPCRECTL bounds, LPCRECTL, BOOL(STDMETHODCALLTYPE*)(ULONG_PTR),
                                 ULONG_PTR) {
  if (aspect != DVASPECT_CONTENT) return DV_E_DVASPECT;
  if (!dc || !bounds) return E_INVALIDARG;
  RECT area{bounds->left, bounds->top, bounds->right, bounds->bottom};
  return ComBoundary(errorSource_, IID_IViewObject2, [&] { UserControl_Paint(dc, area); });
}

STDMETHODIMP ViewAndExtent::SetAdvise(DWORD aspects, DWORD flags, IAdviseSink* sink) {
  viewSink_ = ComPtr<IAdviseSink>(sink);
  viewAspects_ = aspects;
  viewAdviseFlags_ = flags;
  return S_OK;
}

STDMETHODIMP ViewAndExtent::GetAdvise(DWORD* aspects, DWORD* flags, IAdviseSink** sink) {
  if (aspects) *aspects = viewAspects_;
  if (flags) *flags = viewAdviseFlags_;
  if (sink) viewSink_.CopyTo(sink);
  return S_OK;
}

STDMETHODIMP ViewAndExtent::GetExtent(DWORD aspect, LONG, DVTARGETDEVICE*, LPSIZEL size) {
  return ContentExtent(aspect, size);
}

HRESULT ViewAndExtent::SetContentExtent(DWORD aspect, const SIZEL* size) {
  if (aspect != DVASPECT_CONTENT) return DV_E_DVASPECT;
  if (!size) return E_POINTER;
  extent_ = *size;
  return S_OK;
}

HRESULT ViewAndExtent::ContentExtent(DWORD aspect, SIZEL* size) const {
  ClearOutParameters(size);
  if (aspect != DVASPECT_CONTENT) return DV_E_DVASPECT;
  if (!size) return E_POINTER;
  *size = extent_;
  return S_OK;
}

}  // namespace formsrt
