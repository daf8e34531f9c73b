// QuennetCtl: the tray icon. The icon (id 1) belongs to pichook's window,
// which also receives the shell's notifications: the callback message is
// the picture box's own mouse move, so the shell's lParam (the mouse message
// on the icon) arrives as the move's X coordinate in twips.
#include "QuennetCtl.h"

#include <algorithm>
#include <new>

#include "HostForm.h"
#include "QuennetDispatchIds.h"
#include "core/Conversions.h"
#include "com/LateBound.h"
#include "platform/Platform.h"
#include "core/RuntimeError.h"
#include "forms/Screen.h"

namespace quennet {

namespace {

using formsrt::ComPtr;
using formsrt::Variant;

constexpr UINT kTrayFlags = NIF_MESSAGE | NIF_ICON | NIF_TIP;  // 7
constexpr UINT kTrayCallbackMessage = WM_MOUSEMOVE;            // 0x200

// The tip as the record keeps it: the text cut to 63 characters, a NUL,
// then spaces to the end of the 64-character field. A surrogate pair that
// the cut would split is left out whole.
void FillTip(wchar_t (&tip)[64], const std::wstring& text) {
  size_t kept = std::min(text.size(), std::size(tip) - 1);
  if (kept < text.size() && IS_LOW_SURROGATE(text[kept]) && IS_HIGH_SURROGATE(text[kept - 1])) {
    --kept;
  }
  std::fill(std::begin(tip), std::end(tip), L' ');
  std::copy_n(text.begin(), kept, tip);
  tip[kept] = L'\0';
}

// What a variant argument holds, looking through a reference, so that the
// kept copy does not depend on the caller's storage.
Variant Dereferenced(const VARIANT& argument) {
  Variant copy;
  HRESULT hr = ::VariantCopyInd(copy.Put(), const_cast<VARIANT*>(&argument));
  if (hr == E_OUTOFMEMORY) throw std::bad_alloc();
  formsrt::ThrowIfFailed(hr);
  return copy;
}

}  // namespace

STDMETHODIMP QuennetCtl::STxLoadIcon(VARIANT* FormName, VARIANT* MenuName, VARIANT* result) {
  return EmptyResultMember(result, {FormName, MenuName}, [&] {
    m_TrayData.cbSize = kTrayRecordSize;
    m_TrayData.hWnd = pichook.Handle();
    m_TrayData.uID = kTrayIconId;
    m_TrayData.uFlags = kTrayFlags;
    m_TrayData.uCallbackMessage = kTrayCallbackMessage;
    m_TrayData.hIcon = HostForm::Of(*FormName).IconHandle();
    FillTip(m_TrayData.szTip, m_STxTrayTTT);
    NOTIFYICONDATAA record = m_TrayData.ForShell();
    formsrt::Shell32().Shell_NotifyIconA(NIM_ADD, &record);
    // Wanted from now on, whatever the shell answered: a shell that was not
    // up yet shows the icon when it announces its taskbar.
    m_TrayIconShown = true;
    // An object that has an "Icon" but is no form fails here, after the icon
    // was added, and leaves the kept form and menu as they were.
    HostForm form = HostForm::Require(*FormName);
    m_TrayMenu = Dereferenced(*MenuName);
    m_TrayForm = std::move(form);
  });
}

// Rewrites only the size, the owner window (read afresh) and the id, and
// asks the shell to delete the icon; the result is not examined, so
// clearing an icon that is not shown is harmless.
STDMETHODIMP QuennetCtl::STxClearIcon() {
  return Guard([&] {
    m_TrayData.cbSize = kTrayRecordSize;
    m_TrayData.hWnd = pichook.Handle();
    m_TrayData.uID = kTrayIconId;
    NOTIFYICONDATAA record = m_TrayData.ForShell();
    formsrt::Shell32().Shell_NotifyIconA(NIM_DELETE, &record);
    m_TrayIconShown = false;
  });
}

// A restarted shell has forgotten every icon: the one this control shows is
// added again with the record it was last added with.
void QuennetCtl::AddTrayIconAgain() {
  if (!m_TrayIconShown) return;
  NOTIFYICONDATAA record = m_TrayData.ForShell();
  formsrt::Shell32().Shell_NotifyIconA(NIM_ADD, &record);
}

// Button, shift state and Y mean nothing for a notification.
void QuennetCtl::pichook_MouseMove(short, short, float x, float) {
  m_TrayMsg = formsrt::ToInt32(x / formsrt::Screen::TwipsPerPixelX());
  // While an event handler, the pop-up menu or the error box runs, further
  // notifications are dropped, not queued.
  if (m_TrayBusy) return;
  // A host may release the control inside an event; it lives to the end of
  // this notification.
  ComPtr<QuennetCtl> keepAlive(this);
  m_TrayBusy = VARIANT_TRUE;
  try {
    HandleTrayMessage();
  } catch (...) {
    m_TrayBusy = VARIANT_FALSE;
    throw;
  }
  m_TrayBusy = VARIANT_FALSE;
}

void QuennetCtl::HandleTrayMessage() {
  switch (m_TrayMsg) {
    case WM_LBUTTONDOWN: RaiseTrayEvent(DISPID_QUENNET_STXCLICK, true); break;
    case WM_LBUTTONUP: RaiseTrayEvent(DISPID_QUENNET_STXMOUSEUP, true); break;
    case WM_LBUTTONDBLCLK: RaiseTrayEvent(DISPID_QUENNET_STXDBLCLICK, true); break;
    case WM_RBUTTONDOWN: RaiseTrayEvent(DISPID_QUENNET_STXCLICK, false); break;
    case WM_RBUTTONUP:
      RaiseTrayEvent(DISPID_QUENNET_STXMOUSEUP, false);
      PopUpTrayMenu();
      break;
    case WM_RBUTTONDBLCLK: RaiseTrayEvent(DISPID_QUENNET_STXDBLCLICK, false); break;
    default: break;  // moves and the middle button raise nothing
  }
}

// Left is passed by reference; what a handler writes into it is ignored.
void QuennetCtl::RaiseTrayEvent(DISPID event, bool left) {
  VARIANT_BOOL Left = left ? VARIANT_TRUE : VARIANT_FALSE;
  VARIANT argument;
  V_VT(&argument) = VT_BYREF | VT_BOOL;
  V_BOOLREF(&argument) = &Left;
  RaiseEvent(event, {&argument, 1});
}

// The host's menu at the mouse, through the form kept by STxLoadIcon; any
// failure (nothing kept, an object that is not a menu of that form) shows
// the menu error box instead.
void QuennetCtl::PopUpTrayMenu() {
  try {
    VARIANT_BOOL popUp = VARIANT_FALSE;
    formsrt::ThrowIfFailed(get_STxMenu(&popUp));
    if (popUp != VARIANT_TRUE) return;
    // References of its own: a menu item's handler may call STxLoadIcon,
    // which replaces the kept form and menu while they are still in use.
    HostForm form = m_TrayForm;
    Variant menu = m_TrayMenu;
    form.PopupMenu(menu.Get());
  } catch (...) {
    ShowMenuError();
  }
}

}  // namespace quennet
