#include "frmHookwatch.h"

#include "ComponentObjects.h"
#include "TessmarkResources.h"
#include "com/ComBoundary.h"
#include "com/OutParameters.h"
#include "core/Conversions.h"
#include "platform/Platform.h"
#include "core/RuntimeError.h"
#include "forms/Screen.h"
#include "services/DebugOutput.h"

namespace tessmark {

namespace {

constexpr wchar_t kErrorSource[] = L"Tessmark";
constexpr int kClientWidth = 5085;
constexpr int kClientHeight = 2925;
constexpr LONG kLeftButtonDown = 0x201;  // WM_LBUTTONDOWN
constexpr LONG kSize = 5;                // WM_SIZE
constexpr LONG kTickInterval = 500;
constexpr LONG kStopped = -1;

// The form starts in the middle of the screen.
formsrt::TwipsRect CentredClientBounds() {
  int left = static_cast<int>((formsrt::Screen::WidthTwips() - kClientWidth) / 2);
  int top = static_cast<int>((formsrt::Screen::HeightTwips() - kClientHeight) / 2);
  return {left, top, kClientWidth, kClientHeight};
}

HICON FormIcon() {
  auto icon = static_cast<HICON>(formsrt::User32().LoadImageW(formsrt::Kernel32().GetModuleHandleW(nullptr),
                                                              MAKEINTRESOURCEW(IDI_FRMHOOKWATCH),
                                                              IMAGE_ICON, 16, 16, LR_DEFAULTCOLOR));
  if (!icon) formsrt::ThrowLastError();
  return icon;
}

void SetInterval(IHookwatchTimer& timer, LONG milliseconds) {
  formsrt::ThrowIfFailed(timer.put_Interval(&milliseconds));
}

void Attach(ISubClass* client, LONG hWnd, LONG iMsg) {
  formsrt::ThrowIfFailed(HookwatchGlobalObject().AttachMessage(&client, hWnd, iMsg));
}

void Detach(ISubClass* client, LONG hWnd, LONG iMsg) {
  formsrt::ThrowIfFailed(HookwatchGlobalObject().DetachMessage(&client, hWnd, iMsg));
}

}  // namespace

formsrt::ComPtr<frmHookwatch> frmHookwatch::Create() {
  return formsrt::ComPtr<frmHookwatch>::Attach(new frmHookwatch());
}

// The controls are made in their tab order.
frmHookwatch::frmHookwatch()
    : form_(formsrt::Form::Create(kCaption, CentredClientBounds())),
      Check1(form_->Add<formsrt::CheckBox>(formsrt::TwipsRect{300, 300, 1095, 255}, L"Timer 1",
                                           formsrt::check_value::Checked)),
      Check2(form_->Add<formsrt::CheckBox>(formsrt::TwipsRect{300, 660, 1155, 375}, L"Timer 2",
                                           formsrt::check_value::Checked)),
      Label1(form_->Add<formsrt::Label>(formsrt::TwipsRect{1500, 300, 1035, 255}, L"Label1")),
      Label2(form_->Add<formsrt::Label>(formsrt::TwipsRect{1500, 720, 1035, 255}, L"Label2")),
      subClassTypeInfo_({LIBID_HookwatchLib, 1, 0}, IID_ISubClass) {
  form_->Add<formsrt::Label>(formsrt::TwipsRect{60, 60, 4995, 195}, L"All Code Timer Test:");
  form_->Add<formsrt::Label>(
      formsrt::TwipsRect{60, 1260, 4995, 735},
      L"Click or resize the form to test the subclassing. This form subclasses the "
      L"WM_MOUSEDOWN and WM_SIZE messages and outputs a debug message whenever one is "
      L"encountered.");
  form_->SetIcon(FormIcon());
  // The handlers hold no reference: the form owns them, through its controls.
  form_->onLoad = [this] { Form_Load(); };
  form_->onQueryUnload = [this](bool& cancel, int mode) { Form_QueryUnload(cancel, mode); };
  Check1.onClick = [this] { Check1_Click(); };
  Check2.onClick = [this] { Check2_Click(); };
}

void frmHookwatch::Form_Load() {
  Attach(this, FormHandle(), kLeftButtonDown);
  Attach(this, FormHandle(), kSize);
  m_t1 = NewComponentObject<IHookwatchTimer>(CLSID_HookwatchTimer);
  m_t1Events.emplace(*m_t1.Get(), [this] { m_t1_ThatTime(); });
  SetInterval(*m_t1.Get(), kTickInterval);
  m_t2 = NewComponentObject<IHookwatchTimer>(CLSID_HookwatchTimer);
  m_t2Events.emplace(*m_t2.Get(), [this] { m_t2_ThatTime(); });
  SetInterval(*m_t2.Get(), kTickInterval);
}

// Detaches in the order of attachment, whatever the reason for unloading;
// the timers run on until the form object is released.
void frmHookwatch::Form_QueryUnload(bool&, int) {
  Detach(this, FormHandle(), kLeftButtonDown);
  Detach(this, FormHandle(), kSize);
}

void frmHookwatch::Check1_Click() {
  SetInterval(*m_t1.Get(), Check1.Value() != 0 ? kTickInterval : kStopped);
}

void frmHookwatch::Check2_Click() {
  SetInterval(*m_t2.Get(), Check2.Value() != 0 ? kTickInterval : kStopped);
}

void frmHookwatch::m_t1_ThatTime() { ShowTimeIn(Label1); }

void frmHookwatch::m_t2_ThatTime() { ShowTimeIn(Label2); }

// The timers outlive the form's window until the form object is released; a
// tick that comes in between has no label left to show it in.
void frmHookwatch::ShowTimeIn(formsrt::Label& label) {
  if (!form_->IsLoaded()) return;
  label.SetCaption(formsrt::FormatDateTime(formsrt::CurrentLocalTime(), L"hh:nn:ss"));
}

LONG frmHookwatch::ISubClass_WindowProc(LONG, LONG, LONG, LONG) {
  formsrt::DebugPrint(L"Got Message");
  m_Response = 1;
  return 0;
}

LONG frmHookwatch::FormHandle() const { return HandleToLong(form_->Handle()); }

STDMETHODIMP frmHookwatch::QueryInterface(REFIID iid, void** out) {
  return formsrt::QueryObject<formsrt::Offer<ISubClass, IDispatch>>(this, iid, out);
}

STDMETHODIMP frmHookwatch::GetTypeInfoCount(UINT* count) {
  if (!count) return E_POINTER;
  *count = 1;
  return S_OK;
}

STDMETHODIMP frmHookwatch::GetTypeInfo(UINT index, LCID, ITypeInfo** out) {
  return subClassTypeInfo_.GetTypeInfo(index, out);
}

STDMETHODIMP frmHookwatch::GetIDsOfNames(REFIID, LPOLESTR* names, UINT count, LCID, DISPID* ids) {
  return subClassTypeInfo_.GetIDsOfNames(names, count, ids);
}

STDMETHODIMP frmHookwatch::Invoke(DISPID id, REFIID riid, LCID, WORD flags, DISPPARAMS* params,
                                  VARIANT* result, EXCEPINFO* excepInfo, UINT* argErr) {
  return subClassTypeInfo_.Invoke(static_cast<ISubClass*>(this), id, riid, flags, params, result,
                                  excepInfo, argErr);
}

STDMETHODIMP frmHookwatch::get_MsgResponse(HookwatchResponse* response) {
  if (!response) return E_POINTER;
  *response = static_cast<HookwatchResponse>(ISubClass_MsgResponse());
  return S_OK;
}

STDMETHODIMP frmHookwatch::put_MsgResponse(HookwatchResponse response) {
  ISubClass_MsgResponse(response);
  return S_OK;
}

STDMETHODIMP frmHookwatch::WindowProc(LONG hWnd, LONG iMsg, LONG wParam, LONG lParam,
                                      LONG* result) {
  formsrt::ClearOutParameters(result);
  if (!result) return E_POINTER;
  return formsrt::ComBoundary(kErrorSource, IID_ISubClass,
                              [&] { *result = ISubClass_WindowProc(hWnd, iMsg, wParam, lParam); });
}

}  // namespace tessmark
