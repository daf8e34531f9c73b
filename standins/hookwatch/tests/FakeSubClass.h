// An ISubClass client for the tests: answers MsgResponse with what the test
// put there, records its calls in a shared log and can act inside WindowProc.
// It lives on the stack; References() shows whether the component let go.
#pragma once

#include <windows.h>

#include <functional>
#include <string>
#include <vector>

#include "Hookwatch.h"

struct WindowProcCall {
  LONG hWnd;
  LONG iMsg;
  LONG wParam;
  LONG lParam;
};

class FakeSubClass : public ISubClass {
 public:
  explicit FakeSubClass(std::string name, std::vector<std::string>* log = nullptr)
      : name_(std::move(name)), log_(log) {}
  FakeSubClass(const FakeSubClass&) = delete;
  FakeSubClass& operator=(const FakeSubClass&) = delete;
  virtual ~FakeSubClass() = default;

  STDMETHODIMP QueryInterface(REFIID iid, void** out) override;
  STDMETHODIMP_(ULONG) AddRef() override { return ++references_; }
  STDMETHODIMP_(ULONG) Release() override { return --references_; }
  STDMETHODIMP GetTypeInfoCount(UINT*) override { return E_NOTIMPL; }
  STDMETHODIMP GetTypeInfo(UINT, LCID, ITypeInfo**) override { return E_NOTIMPL; }
  STDMETHODIMP GetIDsOfNames(REFIID, LPOLESTR*, UINT, LCID, DISPID*) override { return E_NOTIMPL; }
  STDMETHODIMP Invoke(DISPID, REFIID, LCID, WORD, DISPPARAMS*, VARIANT*, EXCEPINFO*,
                      UINT*) override {
    return E_NOTIMPL;
  }

  STDMETHODIMP get_MsgResponse(HookwatchResponse* value) override;
  STDMETHODIMP put_MsgResponse(HookwatchResponse value) override;
  STDMETHODIMP WindowProc(LONG hWnd, LONG iMsg, LONG wParam, LONG lParam, LONG* result) override;

  ULONG References() const { return references_; }

  HookwatchResponse response = hwPreviousThenClient;
  bool responseFails = false;
  LONG result = 0;
  HRESULT windowProcOutcome = S_OK;
  std::function<void()> onWindowProc;
  int responseReads = 0;
  std::vector<WindowProcCall> calls;

 private:
  std::string name_;
  std::vector<std::string>* log_;
  ULONG references_ = 1;
};

// Behaves as the tester's form does: returns 0 and sets its response to 1
// inside WindowProc, and never calls the previous procedure itself.
void BehaveAsTheTester(FakeSubClass& client);
