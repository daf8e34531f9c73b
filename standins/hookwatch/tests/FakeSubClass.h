// An ISubClass client for the tests: answers MsgResponse with what the test
// put there, records its calls in a shared log and can act inside WindowProc.
#pragma once

#include <windows.h>

#include <functional>
#include <string>
#include <vector>

#include "CountedTestObject.h"
#include "Hookwatch.h"

struct WindowProcCall {
  LONG hWnd;
  LONG iMsg;
  LONG wParam;
  LONG lParam;
  bool operator==(const WindowProcCall&) const = default;
};

class FakeSubClass : public CountedTestObject<ISubClass> {
 public:
  explicit FakeSubClass(std::string name, std::vector<std::string>* log = nullptr)
      : name_(std::move(name)), log_(log) {}

  STDMETHODIMP QueryInterface(REFIID iid, void** out) override {
    return QueryAs<ISubClass>(iid, out);
  }
  STDMETHODIMP Invoke(DISPID, REFIID, LCID, WORD, DISPPARAMS*, VARIANT*, EXCEPINFO*,
                      UINT*) override {
    return E_NOTIMPL;
  }

  STDMETHODIMP get_MsgResponse(HookwatchResponse* value) override;
  STDMETHODIMP put_MsgResponse(HookwatchResponse value) override;
  STDMETHODIMP WindowProc(LONG hWnd, LONG iMsg, LONG wParam, LONG lParam, LONG* result) override;

  HookwatchResponse response = hwPreviousThenClient;
  bool responseFails = false;
  LONG result = 0;
  HRESULT windowProcOutcome = S_OK;
  std::function<void()> onWindowProc;
  int responseReads = 0;
  std::vector<WindowProcCall> calls;
  const std::string& Name() const { return name_; }

 private:
  std::string name_;
  std::vector<std::string>* log_;
};

// Behaves as the tester's form does: returns 0 and sets its response to 1
// inside WindowProc, and never calls the previous procedure itself.
void BehaveAsTheTester(FakeSubClass& client);
