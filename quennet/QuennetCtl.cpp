#include "QuennetCtl.h"

#include "QuennetDispatchIds.h"
#include "QuennetResources.h"
#include "core/Bstr.h"
#include "platform/Platform.h"
#include "control/PersistedProperty.h"
#include "forms/MemoryDC.h"
#include "forms/SelectedObject.h"
#include "services/UnhandledError.h"

namespace quennet {

namespace {

using formsrt::Bstr;
using formsrt::PersistedProperty;
using formsrt::TwipsRect;

// The persisted properties, in the order they are read and written. The
// defaults on reading and on writing: the 16-bit integers 0 and 1, which
// convert to False and True, and the tooltip text.
constexpr PersistedProperty<VARIANT_BOOL> kQuietErrors{L"QuietErrors", DISPID_QUENNET_QUIETERRORS,
                                                       VARIANT_FALSE};
constexpr PersistedProperty<VARIANT_BOOL> kSTxMenu{L"STxMenu", DISPID_QUENNET_STXMENU, VARIANT_TRUE};
constexpr PersistedProperty<std::wstring_view> kSTxTrayTTT{L"STxTrayTTT", DISPID_QUENNET_STXTRAYTTT,
                                                           L"SystemTrayIcon"};

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
      m_STxMenu(kSTxMenu.defaultValue),
      m_STxTrayTTT(kSTxTrayTTT.defaultValue),
      m_QuietErrors(kQuietErrors.defaultValue),
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
    PropertyChanged(kQuietErrors.dispid);
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
    PropertyChanged(kSTxMenu.dispid);
  });
}

STDMETHODIMP QuennetCtl::get_STxTrayTTT(BSTR* value) {
  return Member(value, {}, [&] { *value = Bstr(m_STxTrayTTT).Detach(); });
}

STDMETHODIMP QuennetCtl::put_STxTrayTTT(BSTR value) {
  return Guard([&] {
    m_STxTrayTTT = Bstr::Copy(value).Str();
    PropertyChanged(kSTxTrayTTT.dispid);
  });
}

// Lifecycle

void QuennetCtl::UserControl_InitProperties() {
  m_QuietErrors = kQuietErrors.defaultValue;
  m_STxMenu = kSTxMenu.defaultValue;
  m_STxTrayTTT = kSTxTrayTTT.defaultValue;
}

void QuennetCtl::UserControl_ReadProperties(formsrt::PropertyBag& bag) {
  m_QuietErrors = bag.Read(kQuietErrors);
  m_STxMenu = bag.Read(kSTxMenu);
  m_STxTrayTTT = bag.Read(kSTxTrayTTT);
}

void QuennetCtl::UserControl_WriteProperties(formsrt::PropertyBag& bag) {
  bag.Write(kQuietErrors, m_QuietErrors);
  bag.Write(kSTxMenu, m_STxMenu);
  bag.Write(kSTxTrayTTT, m_STxTrayTTT);
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
  formsrt::Gdi32().GetObjectW(m_Picture.Get(), sizeof(size), &size);
  formsrt::Gdi32().StretchBlt(dc, bounds.left, bounds.top, bounds.right - bounds.left, bounds.bottom - bounds.top,
               memory.Get(), 0, 0, size.bmWidth, size.bmHeight, SRCCOPY);
}

STDMETHODIMP QuennetCtl::ShowAbout(VARIANT* result) {
  return EmptyResultMember(result, {}, [&] {
    ShowAboutBox();
  });
}

}  // namespace quennet
