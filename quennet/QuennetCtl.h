// QuennetCtl, the one control of the Quennet library: a system-tray icon for
// the host form and a set of one-call desktop utilities. This file holds the
// frame that every utility stands in: the automation interface, the member
// state, the child windows, the persisted properties and the lifecycle.
// The members are implemented by concern, one file each:
//   QuennetCtl.cpp       properties, lifecycle, ShowAbout
//   QuennetCtlTray.cpp   the tray icon
//   QuennetCtlWindow.cpp window placement and caption flashing
//   QuennetCtlText.cpp   text find and replace
//   QuennetMessages.cpp  the four message boxes and the QuietErrors policy
//   QuennetCtlShell.cpp  shell, desktop and mouse commands
#pragma once

#include <windows.h>

#include <algorithm>
#include <initializer_list>
#include <string>

#include "HostForm.h"
#include "Quennet.h"
#include "QuennetMessages.h"
#include "TextReplace.h"
#include "TaskbarCreatedListener.h"
#include "TrayIconData.h"
#include "com/ComBoundary.h"
#include "com/ComPtr.h"
#include "com/OutParameters.h"
#include "core/Variant.h"
#include "control/ActiveXControl.h"
#include "forms/GdiObject.h"
#include "forms/IntervalTimer.h"
#include "forms/PictureBox.h"
#include "forms/TextBox.h"
#include "services/UnhandledError.h"

namespace quennet {

class QuennetCtl : public formsrt::ActiveXControl<_QuennetCtl> {
 public:
  // What containers read from the registry and from IOleObject::GetMiscStatus.
  static constexpr DWORD kMiscStatus = OLEMISC_SETCLIENTSITEFIRST | OLEMISC_ACTIVATEWHENVISIBLE |
                                       OLEMISC_RECOMPOSEONRESIZE | OLEMISC_CANTLINKINSIDE |
                                       OLEMISC_INSIDEOUT;

  QuennetCtl();

  static HRESULT Create(REFIID iid, void** object);

  // _QuennetCtl, in slot order
  STDMETHODIMP STxClearIcon() override;
  STDMETHODIMP FCxCenterForm(VARIANT* FormName, VARIANT* result) override;
  STDMETHODIMP FCxLaunchCPA(BSTR* AppletFileName, VARIANT* result) override;
  STDMETHODIMP get_QuietErrors(VARIANT_BOOL* value) override;
  STDMETHODIMP put_QuietErrors(VARIANT_BOOL value) override;
  STDMETHODIMP get_STxMenu(VARIANT_BOOL* value) override;
  STDMETHODIMP put_STxMenu(VARIANT_BOOL value) override;
  STDMETHODIMP get_STxTrayTTT(BSTR* value) override;
  STDMETHODIMP put_STxTrayTTT(BSTR value) override;
  STDMETHODIMP STxLoadIcon(VARIANT* FormName, VARIANT* MenuName, VARIANT* result) override;
  STDMETHODIMP FCxReturnPath(BSTR* FolderName, BSTR* result) override;
  STDMETHODIMP FCxFindReplace1st(BSTR* InitString, BSTR* Find, BSTR* Replace,
                                 VARIANT* result) override;
  STDMETHODIMP FCxFindReplaceAll(BSTR* InitString, BSTR* Find, BSTR* Replace,
                                 VARIANT* result) override;
  STDMETHODIMP FCxFlashWindow(VARIANT* FormName, VARIANT* result) override;
  STDMETHODIMP FCxStopFlashWindow(VARIANT* result) override;
  STDMETHODIMP FCxAlignDeskIcons(VARIANT* result) override;
  STDMETHODIMP FCxAltMove(VARIANT* FormName, VARIANT* result) override;
  STDMETHODIMP FCxShellNav(BSTR* FileName, VARIANT* result) override;
  STDMETHODIMP FCxSetMousePos(short* x, short* y, VARIANT* result) override;
  STDMETHODIMP FCxOpenMail(BSTR* SendTo, VARIANT* result) override;
  STDMETHODIMP FCxSetWallpaper(BSTR* FileName, LONG* result) override;
  STDMETHODIMP ShowAbout(VARIANT* result) override;
  STDMETHODIMP FCxMakeTop(VARIANT* FormName) override;
  STDMETHODIMP FCxMakeNormal(VARIANT* FormName) override;
  STDMETHODIMP FCxGMP_Y(VARIANT* result) override;
  STDMETHODIMP FCxGMP_X(VARIANT* result) override;
  STDMETHODIMP FCxTransparent(VARIANT* FormName, VARIANT* result) override;

 protected:
  void UserControl_InitProperties() override;
  void UserControl_ReadProperties(formsrt::PropertyBag& bag) override;
  void UserControl_WriteProperties(formsrt::PropertyBag& bag) override;
  void UserControl_Terminate() override;
  void UserControl_Paint(HDC dc, const RECT& bounds) override;

 private:
  // Runs one of the replacers on the arguments and leaves its result in Text1.
  HRESULT FindReplace(text_replace::Outcome (*replacer)(std::wstring_view, std::wstring_view,
                                                        std::wstring_view),
                      BSTR* InitString, BSTR* Find, BSTR* Replace, VARIANT* result);

  template <class Body>
  HRESULT Guard(Body&& body) {
    return formsrt::ComBoundary(kLibraryTitle, IID__QuennetCtl, std::forward<Body>(body));
  }

  // What every member with a result does first: the result cleared, so that
  // it is never left unset, and every pointer checked; then the body runs
  // inside the exception boundary.
  template <class Result, class Body>
  HRESULT Member(Result* result, std::initializer_list<const void*> arguments, Body&& body) {
    formsrt::ClearOutParameters(result);
    if (!result || std::find(arguments.begin(), arguments.end(), nullptr) != arguments.end()) {
      return E_POINTER;
    }
    return Guard(std::forward<Body>(body));
  }

  // A member with nothing to report: its result is Empty once the body ran.
  template <class Body>
  HRESULT EmptyResultMember(VARIANT* result, std::initializer_list<const void*> arguments,
                            Body&& body) {
    return Member(result, arguments, [&] {
      body();
      formsrt::Variant().MoveTo(result);
    });
  }

  // Member state, in the order the control declares it. The forms are any
  // forms of the host (HostForm.h).
  HostForm m_FlashForm;
  TrayIconData m_TrayData;
  VARIANT_BOOL m_STxMenu;
  std::wstring m_STxTrayTTT;
  VARIANT_BOOL m_QuietErrors;
  formsrt::Variant m_TrayMenu;
  HostForm m_TrayForm;
  POINT m_CursorPos{0, 0};
  VARIANT_BOOL m_TrayBusy = VARIANT_FALSE;
  LONG m_TrayMsg = 0;
  // Added by STxLoadIcon and not cleared since: added again when the shell
  // announces a new taskbar.
  bool m_TrayIconShown = false;
  // The picture on the control's surface (IDB_QUENNETCTL), once painted.
  formsrt::GdiObject<HBITMAP> m_Picture;

  // The tray callback: pichook's mouse moves carry the shell's notifications.
  void pichook_MouseMove(short button, short shift, float x, float y);
  void HandleTrayMessage();
  void RaiseTrayEvent(DISPID event, bool left);
  void PopUpTrayMenu();
  void AddTrayIconAgain();
  // Each tick of Timer1 inverts the caption of m_FlashForm.
  void Timer1_Timer();

 protected:
  // Children on the control's surface (visible to the tests' probe class).
  formsrt::PictureBox pichook;
  formsrt::TextBox Text1;
  formsrt::IntervalTimer Timer1;

 private:
  // Last, so that it goes first: no announcement reaches a half-destroyed control.
  TaskbarCreatedListener m_TaskbarListener{
      [this] { formsrt::RunControlHandler([this] { AddTrayIconAgain(); }); }};
};

}  // namespace quennet
