#include "QuennetMessages.h"

#include "services/MessageBox.h"

namespace quennet {

namespace {

namespace style = formsrt::message_box_style;

// A box without a caption of its own shows the library's title.
void Show(const wchar_t* text, UINT boxStyle, const wchar_t* caption = nullptr) {
  std::optional<std::wstring_view> shownCaption;
  if (caption) shownCaption = caption;
  formsrt::ShowMessageBox(text, boxStyle, shownCaption, kLibraryTitle);
}

}  // namespace

void ShowAppletNotFound(bool quietErrors) {
  if (!quietErrors) Show(L"Applet not found", style::OkOnly);
}

void ShowFunctionError(bool quietErrors) {
  if (quietErrors) return;
  Show(L"Function only returns string if input is equal to Windows, System or Temp",
       style::Exclamation, L"Function Error");
}

void ShowMenuError() {
  Show(
      L"Menu ERROR: Please refer to Information.html for correct use of the System Tray "
      L"function set.",
      style::OkOnly);
}

void ShowAboutBox() {
  Show(
      L"QuennetCtl v1.0\r\n\r\nSystem tray and desktop utility control.\r\n"
      L"Written by the Quennet authors.",
      style::OkOnly);
}

}  // namespace quennet
