#include "FakeSubClass.h"

STDMETHODIMP FakeSubClass::get_MsgResponse(HookwatchResponse* value) {
  ++responseReads;
  if (responseFails) return E_FAIL;
  *value = response;
  return S_OK;
}

STDMETHODIMP FakeSubClass::put_MsgResponse(HookwatchResponse value) {
  response = value;
  return S_OK;
}

STDMETHODIMP FakeSubClass::WindowProc(LONG hWnd, LONG iMsg, LONG wParam, LONG lParam,
                                      LONG* resultOut) {
  calls.push_back({hWnd, iMsg, wParam, lParam});
  if (log_) log_->push_back(name_);
  if (onWindowProc) onWindowProc();
  *resultOut = result;
  return windowProcOutcome;
}

void BehaveAsTheTester(FakeSubClass& client) {
  client.result = 0;
  client.onWindowProc = [&client] { client.put_MsgResponse(static_cast<HookwatchResponse>(1)); };
}
