// QuennetCtl: every member, called late-bound as a script calls it, on the
// soak program's own form. What would start programs, change the desktop,
// move the real cursor or show a modal box reaches the fakes of the soak
// module's counting seam (CountingSeam.h) instead.
#include "Quennet.h"
#include "SoakedClass.h"

namespace soak {

namespace {

using formsrt::Variant;

Variant Text(const wchar_t* text) { return Variant::FromText(text); }

// Each call on its own: the tray icon and the flashing that a call starts
// are ended by a later call of the list.
std::vector<MemberCall> Members(const SoakHost& host) {
  Variant form = Variant::FromDispatch(host.form.Get());
  Variant menu = Variant::FromDispatch(host.menu.Get());
  return {
      {L"QuietErrors (get)", Get(L"QuietErrors")},
      {L"QuietErrors (put)", Put(L"QuietErrors", {Variant::FromBool(true)})},
      {L"STxMenu (get)", Get(L"STxMenu")},
      {L"STxMenu (put)", Put(L"STxMenu", {Variant::FromBool(false)})},
      {L"STxTrayTTT (put)", Put(L"STxTrayTTT", {Text(L"Soak")})},
      {L"STxTrayTTT (get)", Get(L"STxTrayTTT")},
      {L"STxLoadIcon", Method(L"STxLoadIcon", {form, menu})},
      {L"STxClearIcon", Method(L"STxClearIcon")},
      {L"FCxCenterForm", Method(L"FCxCenterForm", {form})},
      {L"FCxLaunchCPA", Method(L"FCxLaunchCPA", {Text(L"main.cpl")})},
      {L"FCxReturnPath", Method(L"FCxReturnPath", {Text(L"Temp")})},
      {L"FCxFindReplace1st",
       Method(L"FCxFindReplace1st", {Text(L"one two one"), Text(L"one"), Text(L"three")})},
      {L"FCxFindReplaceAll",
       Method(L"FCxFindReplaceAll", {Text(L"one two one"), Text(L"one"), Text(L"three")})},
      {L"FCxFlashWindow", Method(L"FCxFlashWindow", {form})},
      {L"FCxStopFlashWindow", Method(L"FCxStopFlashWindow")},
      {L"FCxAlignDeskIcons", Method(L"FCxAlignDeskIcons")},
      {L"FCxAltMove", Method(L"FCxAltMove", {form})},
      {L"FCxShellNav", Method(L"FCxShellNav", {Text(L"readme.txt")})},
      {L"FCxSetMousePos",
       Method(L"FCxSetMousePos", {Variant::FromInt16(10), Variant::FromInt16(20)})},
      {L"FCxOpenMail", Method(L"FCxOpenMail", {Text(L"someone@example.org")})},
      {L"FCxSetWallpaper", Method(L"FCxSetWallpaper", {Text(L"")})},
      {L"ShowAbout", Method(L"ShowAbout")},
      {L"FCxMakeTop", Method(L"FCxMakeTop", {form})},
      {L"FCxMakeNormal", Method(L"FCxMakeNormal", {form})},
      {L"FCxGMP_Y", Method(L"FCxGMP_Y")},
      {L"FCxGMP_X", Method(L"FCxGMP_X")},
      {L"FCxTransparent", Method(L"FCxTransparent", {form})},
      {L"(drawn)", Drawn()},
  };
}

}  // namespace

// An object is released with its tray icon shown and its form flashing:
// releasing must end both.
std::vector<SoakedClass> QuennetClasses(const SoakHost& host) {
  Variant form = Variant::FromDispatch(host.form.Get());
  Variant menu = Variant::FromDispatch(host.menu.Get());
  return {{L"QuennetCtl", CLSID_QuennetCtl, L"Quennet.QuennetCtl", true,
           Each({Put(L"STxTrayTTT", {Text(L"Soak")}), Method(L"STxLoadIcon", {form, menu}),
                 Method(L"FCxFlashWindow", {form}), Drawn()}),
           Members(host)}};
}

}  // namespace soak
