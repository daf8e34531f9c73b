#include "FakeInPlaceSite.h"

#include "com/QueryObject.h"

namespace testing_support {

using formsrt::Offer;
using formsrt::QueryObject;

STDMETHODIMP FakeFrame::QueryInterface(REFIID iid, void** out) {
  return QueryObject<Offer<IOleInPlaceFrame, IOleInPlaceUIWindow, IOleWindow>>(this, iid, out);
}

STDMETHODIMP FakeInPlaceSite::QueryInterface(REFIID iid, void** out) {
  return QueryObject<IOleClientSite, Offer<IOleInPlaceSite, IOleWindow>, IDispatch>(this, iid, out);
}

STDMETHODIMP FakeInPlaceSite::OnInPlaceActivate() {
  Note(L"activate");
  return activateResult;
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

STDMETHODIMP FakeInPlaceSite::GetTypeInfoCount(UINT* count) {
  *count = 0;
  return S_OK;
}

STDMETHODIMP FakeInPlaceSite::Invoke(DISPID id, REFIID, LCID, WORD, DISPPARAMS*, VARIANT* result,
                                     EXCEPINFO*, UINT*) {
  if (id != DISPID_AMBIENT_FONT || !result) return DISP_E_MEMBERNOTFOUND;
  if (!ambientFont) {
    if (ambientFontName.empty()) return DISP_E_MEMBERNOTFOUND;
    V_VT(result) = VT_BSTR;
    V_BSTR(result) = ::SysAllocString(ambientFontName.c_str());
    return S_OK;
  }
  V_VT(result) = VT_DISPATCH;
  V_DISPATCH(result) = ambientFont.Get();
  ambientFont->AddRef();
  return S_OK;
}

}  // namespace testing_support
