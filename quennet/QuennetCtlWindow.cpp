// QuennetCtl: window placement and attention for a form of the host. The
// form is reached late bound, by the member names "WindowState", "Width",
// "Height", "Move" and "hwnd", so that any automation object with those
// members can be placed; only flashing asks for a form of the host
// (HostForm.h), which it keeps.
#include "QuennetCtl.h"

#include "HostForm.h"
#include "com/Conversions.h"
#include "com/LateBound.h"
#include "com/Platform.h"
#include "forms/Screen.h"

namespace quennet {

namespace {

using formsrt::ComPtr;
using formsrt::Variant;

constexpr UINT kKeepPlaceAndSize = SWP_NOSIZE | SWP_NOMOVE;                    // 3
constexpr UINT kApplyFrameStyle = SWP_FRAMECHANGED | SWP_NOMOVE | SWP_NOSIZE;  // 0x23
constexpr WPARAM kMoveByCaption = SC_MOVE | HTCAPTION;                         // 0xF012
constexpr LONG kFlashInvert = -1;

// The form's "hwnd", read anew on every call.
HWND WindowOf(IDispatch* form) {
  return static_cast<HWND>(
      LongToHandle(formsrt::ToInt32(formsrt::GetProperty(form, L"hwnd").Get())));
}

void SetZOrder(const VARIANT& holder, HWND insertAfter) {
  ComPtr<IDispatch> form = formsrt::RequireObject(holder);
  formsrt::User32().SetWindowPos(WindowOf(form.Get()), insertAfter, 0, 0, 0, 0, kKeepPlaceAndSize);
}

double Measure(IDispatch* form, const wchar_t* dimension) {
  return formsrt::ToDouble(formsrt::GetProperty(form, dimension).Get());
}

// Half the room that the screen leaves beside the form, as a 16-bit
// integer (ties to even; error 6 outside its range).
SHORT CentredOffset(double screenTwips, double formTwips) {
  return formsrt::ToInt16((screenTwips - formTwips) / 2);
}

}  // namespace

// Restores a minimised or maximised form first, so that it is measured and
// centred by its normal size.
STDMETHODIMP QuennetCtl::FCxCenterForm(VARIANT* FormName, VARIANT* result) {
  formsrt::ClearOutParameters(result);
  if (!FormName || !result) return E_POINTER;
  return Guard([&] {
    ComPtr<IDispatch> form = formsrt::RequireObject(*FormName);
    if (formsrt::ToInt32(formsrt::GetProperty(form.Get(), L"WindowState").Get()) != 0) {
      formsrt::PutProperty(form.Get(), L"WindowState", Variant::FromInt16(0).Get());
    }
    // The screen first, then the form, in each direction; nothing is cached.
    double screenWidth = formsrt::Screen::WidthTwips();
    SHORT left = CentredOffset(screenWidth, Measure(form.Get(), L"Width"));
    double screenHeight = formsrt::Screen::HeightTwips();
    SHORT top = CentredOffset(screenHeight, Measure(form.Get(), L"Height"));
    // Move(Left, Top), both by reference; width and height stay.
    VARIANT leftArgument;
    V_VT(&leftArgument) = VT_BYREF | VT_I2;
    V_I2REF(&leftArgument) = &left;
    VARIANT topArgument;
    V_VT(&topArgument) = VT_BYREF | VT_I2;
    V_I2REF(&topArgument) = &top;
    formsrt::CallMethod(form.Get(), L"Move", {leftArgument, topArgument});
    Variant().MoveTo(result);
  });
}

STDMETHODIMP QuennetCtl::FCxMakeTop(VARIANT* FormName) {
  if (!FormName) return E_POINTER;
  return Guard([&] { SetZOrder(*FormName, HWND_TOPMOST); });
}

STDMETHODIMP QuennetCtl::FCxMakeNormal(VARIANT* FormName) {
  if (!FormName) return E_POINTER;
  return Guard([&] { SetZOrder(*FormName, HWND_NOTOPMOST); });
}

// The system's move loop, as if the caption were dragged; it runs inside
// the call (the message is sent) until the mouse button is released.
STDMETHODIMP QuennetCtl::FCxAltMove(VARIANT* FormName, VARIANT* result) {
  formsrt::ClearOutParameters(result);
  if (!FormName || !result) return E_POINTER;
  return Guard([&] {
    formsrt::User32Api& user32 = formsrt::User32();
    user32.ReleaseCapture();
    ComPtr<IDispatch> form = formsrt::RequireObject(*FormName);
    user32.SendMessageA(WindowOf(form.Get()), WM_SYSCOMMAND, kMoveByCaption, 0);
    Variant().MoveTo(result);
  });
}

// The first inversion comes with the first tick, an interval after the
// call. A call while flashing only swaps the target: the old form keeps the
// look it has, and the running timer is not restarted.
STDMETHODIMP QuennetCtl::FCxFlashWindow(VARIANT* FormName, VARIANT* result) {
  formsrt::ClearOutParameters(result);
  if (!FormName || !result) return E_POINTER;
  return Guard([&] {
    m_FlashForm = RequireHostForm(*FormName);
    if (!Timer1.Enabled()) Timer1.SetEnabled(true);
    Variant().MoveTo(result);
  });
}

// Stops the ticks and nothing else: the caption keeps the look the last
// tick left, and m_FlashForm keeps its reference.
STDMETHODIMP QuennetCtl::FCxStopFlashWindow(VARIANT* result) {
  formsrt::ClearOutParameters(result);
  if (!result) return E_POINTER;
  return Guard([&] {
    Timer1.SetEnabled(false);
    Variant().MoveTo(result);
  });
}

// The extended style becomes exactly WS_EX_TRANSPARENT (every earlier bit
// is dropped), then the frame is recalculated, which also takes the form
// out of the topmost group.
STDMETHODIMP QuennetCtl::FCxTransparent(VARIANT* FormName, VARIANT* result) {
  formsrt::ClearOutParameters(result);
  if (!FormName || !result) return E_POINTER;
  return Guard([&] {
    ComPtr<IDispatch> form = formsrt::RequireObject(*FormName);
    formsrt::User32Api& user32 = formsrt::User32();
    user32.SetWindowLongA(WindowOf(form.Get()), GWL_EXSTYLE, WS_EX_TRANSPARENT);
    user32.SetWindowPos(WindowOf(form.Get()), HWND_NOTOPMOST, 0, 0, 0, 0, kApplyFrameStyle);
    Variant().MoveTo(result);
  });
}

// Without a target the tick does nothing. A form that no longer answers
// ends the tick with its error, which the control's handlers trap (see the
// constructor), so the timer keeps running.
void QuennetCtl::Timer1_Timer() {
  if (!m_FlashForm) return;
  formsrt::User32().FlashWindow(WindowOf(m_FlashForm.Get()), kFlashInvert);
}

}  // namespace quennet
