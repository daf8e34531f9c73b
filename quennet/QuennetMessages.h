// The four message boxes of the control, with their texts, styles and
// captions. Two of them report misuse by the host and stay silent when the
// control's QuietErrors is True; the menu error and the About box always show.
#pragma once

namespace quennet {

// The library's title: the caption of a box that names none of its own.
inline constexpr wchar_t kLibraryTitle[] = L"Quennet";

// FCxLaunchCPA could not start the applet.
void ShowAppletNotFound(bool quietErrors);
// FCxReturnPath was given a folder name it does not know.
void ShowFunctionError(bool quietErrors);
// The tray callback could not pop up the host's menu.
void ShowMenuError();
// ShowAbout; returns when the user closes the box.
void ShowAboutBox();

}  // namespace quennet
