// The tester's one form. It routes two messages of its own window, the
// left-button press and the resize, to its implementation of the component's
// callback interface ISubClass, and runs two of the component's timers, which
// write the time of day into Label1 and Label2; Check1 and Check2 switch the
// timers on and off.
#pragma once

#include <windows.h>

#include <optional>

#include "Hookwatch.h"
#include "RegisteredTypeInfo.h"
#include "TimerEvents.h"
#include "com/ComObject.h"
#include "com/ComPtr.h"
#include "forms/CheckBox.h"
#include "forms/Form.h"
#include "forms/Label.h"

namespace tessmark {

class frmHookwatch final : private formsrt::ComObjectBase, public ISubClass {
 public:
  static constexpr wchar_t kCaption[] = L"Corvantis Hookwatch Tester";

  // The form with its controls, not yet loaded or shown.
  static formsrt::ComPtr<frmHookwatch> Create();

  // Loads the form (Form_Load) the first time, then shows it.
  void Show() { form_->Show(); }
  // Asks the form to unload (Form_QueryUnload); false when it stays.
  bool Unload() { return form_->Unload(); }
  const formsrt::Form& Window() const { return *form_.Get(); }

  // IUnknown
  STDMETHODIMP QueryInterface(REFIID iid, void** out) override;
  STDMETHODIMP_(ULONG) AddRef() override { return AddRefImpl(); }
  STDMETHODIMP_(ULONG) Release() override { return ReleaseImpl(); }
  // IDispatch, for late-bound callers
  STDMETHODIMP GetTypeInfoCount(UINT* count) override;
  STDMETHODIMP GetTypeInfo(UINT index, LCID, ITypeInfo** out) override;
  STDMETHODIMP GetIDsOfNames(REFIID, LPOLESTR* names, UINT count, LCID, DISPID* ids) override;
  STDMETHODIMP Invoke(DISPID id, REFIID riid, LCID, WORD flags, DISPPARAMS* params, VARIANT* result,
                      EXCEPINFO* excepInfo, UINT* argErr) override;
  // ISubClass, called by the component
  STDMETHODIMP get_MsgResponse(HookwatchResponse* response) override;
  STDMETHODIMP put_MsgResponse(HookwatchResponse response) override;
  STDMETHODIMP WindowProc(LONG hWnd, LONG iMsg, LONG wParam, LONG lParam, LONG* result) override;

 private:
  frmHookwatch();

  void Form_Load();
  void Form_QueryUnload(bool& Cancel, int UnloadMode);
  void Check1_Click();
  void Check2_Click();
  void m_t1_ThatTime();
  void m_t2_ThatTime();
  LONG ISubClass_MsgResponse() const { return m_Response; }
  void ISubClass_MsgResponse(LONG response) { m_Response = response; }
  LONG ISubClass_WindowProc(LONG hWnd, LONG iMsg, LONG wParam, LONG lParam);

  LONG FormHandle() const;
  void ShowTimeIn(formsrt::Label& label);

  formsrt::ComPtr<formsrt::Form> form_;
  formsrt::CheckBox& Check1;
  formsrt::CheckBox& Check2;
  formsrt::Label& Label1;
  formsrt::Label& Label2;
  RegisteredTypeInfo subClassTypeInfo_;

  formsrt::ComPtr<IHookwatchTimer> m_t1;
  formsrt::ComPtr<IHookwatchTimer> m_t2;
  std::optional<TimerEvents> m_t1Events;
  std::optional<TimerEvents> m_t2Events;
  LONG m_Response = 0;
};

}  // namespace tessmark
