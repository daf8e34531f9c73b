#include "SubClassClient.h"

namespace soak {

STDMETHODIMP SubClassClient::QueryInterface(REFIID iid, void** out) {
  if (!out) return E_POINTER;
  *out = nullptr;
  if (iid == IID_IUnknown || iid == IID_IDispatch || iid == IID_ISubClass ||
      iid == DIID___HookwatchTimer) {
    *out = static_cast<ISubClass*>(this);
    AddRef();
    return S_OK;
  }
  return E_NOINTERFACE;
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
  ++routedMessages_;
  *result = 0;
  return S_OK;
}

}  // namespace soak
