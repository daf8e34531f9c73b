#include "SubClassClient.h"

namespace soak {

STDMETHODIMP SubClassClient::QueryInterface(REFIID iid, void** out) {
  // The timer's events reach the same IDispatch.
  return formsrt::QueryObject<formsrt::Offer<ISubClass, IDispatch, __HookwatchTimer>>(this, iid, out);
}

STDMETHODIMP SubClassClient::GetTypeInfoCount(UINT* count) {
  if (!count) return E_POINTER;
  *count = 0;
  return S_OK;
}

STDMETHODIMP SubClassClient::get_MsgResponse(HookwatchResponse* response) {
  if (!response) return E_POINTER;
  *response = hwPreviousThenClient;
  return S_OK;
}

STDMETHODIMP SubClassClient::WindowProc(LONG, LONG, LONG, LONG, LONG* result) {
  if (!result) return E_POINTER;
  *result = 0;
  return S_OK;
}

}  // namespace soak
