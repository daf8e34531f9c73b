#include "FakeInPlaceSite.h"

#include "com/QueryObject.h"
#include "core/Variant.h"

namespace testing_support {

using formsrt::Offer;
using formsrt::QueryObject;

STDMETHODIMP FakeFrame::QueryInterface(REFIID iid, void** out) {
  return QueryObject<Offer<IOleInPlaceFrame, IOleInPlaceUIWindow, IOleWindow>>(this, iid, out);
}

STDMETHODIMP FakeInPlaceSite::QueryInterface(REFIID iid, void** out) {
  return QueryObject<IOleClientSite, Offer<IOleInPlaceSite, IOleWindow>, IDispatch>(this, iid, out);
}

STDMETHODIMP FakeInPlaceSite::GetWindowContext(IOleInPlaceFrame** frameOut,
                                               IOleInPlaceUIWindow** document, LPRECT positionOut,
                                               LPRECT clip, LPOLEINPLACEFRAMEINFO) {
  *frameOut = nullptr;
  *document = nullptr;
  if (FAILED(windowContextResult)) return windowContextResult;
  *frameOut = &frame;
  frame.AddRef();
  *positionOut = position;
  *clip = position;
  return S_OK;
}

STDMETHODIMP FakeInPlaceSite::Invoke(DISPID id, REFIID, LCID, WORD, DISPPARAMS*, VARIANT* result,
                                     EXCEPINFO*, UINT*) {
  if (id != DISPID_AMBIENT_FONT || !result) return DISP_E_MEMBERNOTFOUND;
  if (!ambientFont && ambientFontName.empty()) return DISP_E_MEMBERNOTFOUND;
  formsrt::Variant font = ambientFont ? formsrt::Variant::FromDispatch(ambientFont.Get())
                                      : formsrt::Variant::FromText(ambientFontName);
  font.MoveTo(result);
  return S_OK;
}

}  // namespace testing_support
