// QuennetCtl: window placement and attention for a form of the host
// (HostForm.h): any automation object with the members a method uses can be
// placed; only flashing asks for a form of the host, which it keeps.
#include "QuennetCtl.h"

#include "HostForm.h"
#include "core/Conversions.h"
#include "platform/Platform.h"
#include "forms/Screen.h"

namespace quennet {

namespace {

using formsrt::Variant;

constexpr UINT kKeepPlaceAndSize = SWP_NOSIZE | SWP_NOMOVE;                    // 3
constexpr UINT kApplyFrameStyle = SWP_FRAMECHANGED | SWP_NOMOVE | SWP_NOSIZE;  // 0x23
constexpr WPARAM kMoveByCaption = SC_MOVE | HTCAPTION;                         // 0xF012
constexpr LONG kFlashInvert = -1;

void SetZOrder(const VARIANT& holder, HWND insertAfter) {
  HWND window = HostForm::Of(holder).WindowHandle();
  formsrt::User32().SetWindowPos(window, insertAfter, 0, 0, 0, 0, kKeepPlaceAndSize);
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
  return EmptyResultMember(result, {FormName}, [&] {
    HostForm form = HostForm::Of(*FormName);
    if (form.WindowState() != 0) form.SetWindowState(0);
    // The screen first, then the form, in each direction; nothing is cached.
    double screenWidth = formsrt::Screen::WidthTwips();
    SHORT left = CentredOffset(screenWidth, form.Width());
    double screenHeight = formsrt::Screen::HeightTwips();
    SHORT top = CentredOffset(screenHeight, form.Height());
    // Width and height stay.
    form.Move(left, top);
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
  return EmptyResultMember(result, {FormName}, [&] {
    formsrt::User32Api& user32 = formsrt::User32();
    user32.ReleaseCapture();
    HWND window = HostForm::Of(*FormName).WindowHandle();
    user32.SendMessageA(window, WM_SYSCOMMAND, kMoveByCaption, 0);
  });
}

// The first inversion comes with the first tick, an interval after the
// call. A call while flashing only swaps the target: the old form keeps the
// look it has, and the running timer is not restarted. The form's "hWnd" is
// read once here as well as at every tick: a form that cannot give it can
// never be flashed, and is refused at once with its error, the kept target
// and the timer as they were.
STDMETHODIMP QuennetCtl::FCxFlashWindow(VARIANT* FormName, VARIANT* result) {
  return EmptyResultMember(result, {FormName}, [&] {
    HostForm form = HostForm::Require(*FormName);
    form.WindowHandle();
    m_FlashForm = std::move(form);
    if (!Timer1.Enabled()) Timer1.SetEnabled(true);
  });
}

// Stops the ticks and nothing else: the caption keeps the look the last
// tick left, and m_FlashForm keeps its reference.
STDMETHODIMP QuennetCtl::FCxStopFlashWindow(VARIANT* result) {
  return EmptyResultMember(result, {}, [&] {
    Timer1.SetEnabled(false);
  });
}

// The extended style becomes exactly WS_EX_TRANSPARENT (every earlier bit
// is dropped), then the frame is recalculated, which also takes the form
// out of the topmost group.
STDMETHODIMP QuennetCtl::FCxTransparent(VARIANT* FormName, VARIANT* result) {
  return EmptyResultMember(result, {FormName}, [&] {
    HostForm form = HostForm::Of(*FormName);
    formsrt::User32Api& user32 = formsrt::User32();
    // "hWnd" is read anew for each of the two calls.
    user32.SetWindowLongA(form.WindowHandle(), GWL_EXSTYLE, WS_EX_TRANSPARENT);
    user32.SetWindowPos(form.WindowHandle(), HWND_NOTOPMOST, 0, 0, 0, 0, kApplyFrameStyle);
  });
}

// Without a target the tick does nothing. A form that no longer gives its
// "hWnd" cannot be flashed again: the ticks stop, silently (the tick has no
// caller to tell), and the form stays kept until it is replaced.
void QuennetCtl::Timer1_Timer() {
  if (!m_FlashForm) return;
  HWND window = nullptr;
  try {
    window = m_FlashForm.WindowHandle();
  } catch (...) {
    Timer1.SetEnabled(false);
    return;
  }
  formsrt::User32().FlashWindow(window, kFlashInvert);
}

}  // namespace quennet
