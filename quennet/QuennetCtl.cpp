#include "QuennetCtl.h"

#include "QuennetResources.h"
#include "com/Bstr.h"
#include "com/Platform.h"
#include "forms/MemoryDC.h"
#include "forms/SelectedObject.h"
#include "services/UnhandledError.h"

namespace quennet {

namespace {

using formsrt::Bstr;
using formsrt::TwipsRect;

constexpr wchar_t kQuietErrorsKey[] = L"QuietErrors";
constexpr wchar_t kSTxMenuKey[] = L"STxMenu";
constexpr wchar_t kSTxTrayTTTKey[] = L"STxTrayTTT";
// The defaults on reading and on writing: the 16-bit integers 0 and 1,
// which convert to False and True, and the tooltip text.
constexpr VARIANT_BOOL kQuietErrorsDefault = VARIANT_FALSE;
constexpr VARIANT_BOOL kSTxMenuDefault = VARIANT_TRUE;
constexpr wchar_t kSTxTrayTTTDefault[] = L"SystemTrayIcon";

constexpr TwipsRect kPichookBounds{0, 0, 670, 540};
// Below the control's visible area: a working buffer, not shown.
constexpr TwipsRect kText1Bounds{120, 960, 975, 495};
constexpr UINT kTimer1Interval = 1000;

const formsrt::ControlDescription kDescription{
    CLSID_QuennetCtl, IID__QuennetCtl, DIID___QuennetCtl,
    kLibraryTitle,    {720, 585},      QuennetCtl::kMiscStatus,
};

}  // namespace

// The members that the lifecycle sets start at the values that
// InitProperties gives them, so that an instance nobody initialises (a
// script's CreateObject) reads the same defaults.
QuennetCtl::QuennetCtl()
    : ActiveXControl(kDescription),
      m_STxMenu(kSTxMenuDefault),
      m_STxTrayTTT(kSTxTrayTTTDefault),
      m_QuietErrors(kQuietErrorsDefault),
      pichook(ControlWindowHandle(), kPichookBounds),
      Text1(ControlWindowHandle(), kText1Bounds) {
  Timer1.SetInterval(kTimer1Interval);
  Timer1.SetEnabled(false);
  // No error of these handlers may end the host's process.
  pichook.onMouseMove = [this](short button, short shift, float x, float y) {
    formsrt::RunControlHandler([&] { pichook_MouseMove(button, shift, x, y); });
  };
  Timer1.onTick = [this] { formsrt::RunControlHandler([this] { Timer1_Timer(); }); };
}

HRESULT QuennetCtl::Create(REFIID iid, void** object) {
  return formsrt::CreateAndQuery<QuennetCtl>(iid, object);
}

// Properties

STDMETHODIMP QuennetCtl::get_QuietErrors(VARIANT_BOOL* value) {
  if (!value) return E_POINTER;
  *value = m_QuietErrors;
  return S_OK;
}

STDMETHODIMP QuennetCtl::put_QuietErrors(VARIANT_BOOL value) {
  return Guard([&] {
    m_QuietErrors = value;
    PropertyChanged(kQuietErrorsKey);
  });
}

STDMETHODIMP QuennetCtl::get_STxMenu(VARIANT_BOOL* value) {
  if (!value) return E_POINTER;
  *value = m_STxMenu;
  return S_OK;
}

STDMETHODIMP QuennetCtl::put_STxMenu(VARIANT_BOOL value) {
  return Guard([&] {
    m_STxMenu = value;
    PropertyChanged(kSTxMenuKey);
  });
}

STDMETHODIMP QuennetCtl::get_STxTrayTTT(BSTR* value) {
  formsrt::ClearOutParameters(value);
  if (!value) return E_POINTER;
  return Guard([&] { *value = Bstr(m_STxTrayTTT).Detach(); });
}

STDMETHODIMP QuennetCtl::put_STxTrayTTT(BSTR value) {
  return Guard([&] {
    m_STxTrayTTT = Bstr::Copy(value).Str();
    PropertyChanged(kSTxTrayTTTKey);
  });
}

// Lifecycle

void QuennetCtl::UserControl_InitProperties() {
  m_QuietErrors = kQuietErrorsDefault;
  m_STxMenu = kSTxMenuDefault;
  m_STxTrayTTT = kSTxTrayTTTDefault;
}

void QuennetCtl::UserControl_ReadProperties(formsrt::PropertyBag& bag) {
  m_QuietErrors = bag.ReadBoolean(kQuietErrorsKey, kQuietErrorsDefault);
  m_STxMenu = bag.ReadBoolean(kSTxMenuKey, kSTxMenuDefault);
  m_STxTrayTTT = bag.ReadText(kSTxTrayTTTKey, kSTxTrayTTTDefault);
}

void QuennetCtl::UserControl_WriteProperties(formsrt::PropertyBag& bag) {
  bag.WriteBoolean(kQuietErrorsKey, m_QuietErrors, kQuietErrorsDefault);
  bag.WriteBoolean(kSTxMenuKey, m_STxMenu, kSTxMenuDefault);
  bag.WriteText(kSTxTrayTTTKey, m_STxTrayTTT, kSTxTrayTTTDefault);
}

// Removes the tray icon whether or not one was shown, then stops the flash
// timer; the members release what they hold when the instance is freed.
void QuennetCtl::UserControl_Terminate() {
  STxClearIcon();
  Timer1.SetEnabled(false);
}

// The control's picture, loaded at the first paint and kept with the control.
void QuennetCtl::UserControl_Paint(HDC dc, const RECT& bounds) {
  ControlBase::UserControl_Paint(dc, bounds);
  if (!m_Picture) {
    m_Picture = formsrt::GdiObject<HBITMAP>(static_cast<HBITMAP>(formsrt::User32().LoadImageW(
        formsrt::ThisModule(), MAKEINTRESOURCEW(IDB_QUENNETCTL), IMAGE_BITMAP, 0, 0, 0)));
    if (!m_Picture) return;
  }
  formsrt::MemoryDC memory(dc);
  formsrt::SelectedObject selected(memory.Get(), m_Picture.Get());
  BITMAP size{};
  ::GetObjectW(m_Picture.Get(), sizeof(size), &size);
  ::StretchBlt(dc, bounds.left, bounds.top, bounds.right - bounds.left, bounds.bottom - bounds.top,
               memory.Get(), 0, 0, size.bmWidth, size.bmHeight, SRCCOPY);
}

STDMETHODIMP QuennetCtl::ShowAbout(VARIANT* result) {
  formsrt::ClearOutParameters(result);
  if (!result) return E_POINTER;
  return Guard([&] {
    ShowAboutBox();
    formsrt::Variant().MoveTo(result);
  });
}

}  // namespace quennet
