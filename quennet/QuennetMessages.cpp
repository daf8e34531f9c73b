#include "QuennetMessages.h"

#include <windows.h>

#include "com/Platform.h"

namespace quennet {

namespace {

void Show(const wchar_t* text, UINT style, const wchar_t* caption) {
  formsrt::User32Api& user32 = formsrt::User32();
  user32.MessageBoxW(user32.GetActiveWindow(), text, caption, style);
}

}  // namespace

void ShowAppletNotFound(bool quietErrors) {
  if (!quietErrors) Show(L"Applet not found", MB_OK, kLibraryTitle);
}

void ShowFunctionError(bool quietErrors) {
  if (quietErrors) return;
  Show(L"Function only returns string if input is equal to Windows, System or Temp",
       MB_OK | MB_ICONEXCLAMATION, L"Function Error");
}

void ShowMenuError() {
  Show(L"Menu ERROR: Please refer to Information.html for correct use of the System Tray "
       L"function set.",
       MB_OK, kLibraryTitle);
}

void ShowAboutBox() {
  Show(L"QuennetCtl v1.0\r\n\r\nSystem tray and desktop utility control.\r\n"
       L"Written by the Quennet authors.",
       MB_OK, kLibraryTitle);
}

}  // namespace quennet
