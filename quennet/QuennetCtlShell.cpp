// QuennetCtl: shell, desktop and mouse commands. Each is a thin wrapper
// around one platform call or one started program; the only state is the
// last pointer position read, kept in m_CursorPos.
#include "QuennetCtl.h"

#include <string>
#include <string_view>

#include "core/Bstr.h"
#include "core/Conversions.h"
#include "platform/Platform.h"
#include "core/RuntimeError.h"
#include "services/ProgramStart.h"

namespace quennet {

namespace {

using formsrt::Bstr;
using formsrt::StartProgram;
namespace show_style = formsrt::show_style;

// The caller's text is appended to these unchanged: no quoting, no escaping.
constexpr std::wstring_view kAppletCommand = L"rundll.exe shell32.dll,Control_RunDLL ";
// Current Windows and Wine have only the 32-bit launcher, which takes the
// same arguments.
constexpr std::wstring_view kAppletCommandFallback = L"rundll32.exe shell32.dll,Control_RunDLL ";
constexpr std::wstring_view kShellNavCommand = L"rundll32.exe url.dll,FileProtocolHandler ";
constexpr std::wstring_view kMailCommand = L"start.exe mailto:";
constexpr std::wstring_view kMailScheme = L"mailto:";

constexpr UINT kSetWallpaperAction = SPI_SETDESKWALLPAPER;                  // 20
constexpr UINT kStoreAndBroadcast = SPIF_UPDATEINIFILE | SPIF_SENDWININICHANGE;  // 3

constexpr UINT kArrangeIcons = 0x1016;   // LVM_ARRANGE
constexpr WPARAM kAlignLeft = 1;         // LVA_ALIGNLEFT

constexpr UINT kFolderBufferSize = 255;

std::wstring Text(const BSTR* text) { return Bstr::Copy(*text).Str(); }

// Starts the command line; false when its program does not exist (error 53).
// Every other failure is raised to the caller.
bool StartIfPresent(const std::wstring& commandLine, int showStyle) {
  try {
    StartProgram(commandLine, showStyle);
    return true;
  } catch (const formsrt::RuntimeError& failure) {
    if (failure.Number() != formsrt::error::FileNotFound) throw;
    return false;
  }
}

// Hands "mailto:" and the recipient to the shell's open verb. The mail
// program shows its new message normally: the hidden show command of the
// started command line only ever hid the starter's own console.
bool OpenMailThroughShell(std::wstring_view sendTo) {
  std::wstring address = std::wstring(kMailScheme) + std::wstring(sendTo);
  HINSTANCE outcome = formsrt::Shell32().ShellExecuteW(nullptr, L"open", address.c_str(),
                                                       nullptr, nullptr, SW_SHOWNORMAL);
  return reinterpret_cast<INT_PTR>(outcome) > 32;
}

// Reads a folder path through a 255-character buffer. A longer path does not
// fit: the platform then fills nothing and reports the size it needs. Rather
// than hand the host an empty or cut-off path, the buffer is grown to that
// size and the call made again, so the host always gets the whole path (or
// an empty string if the platform fails, or the path grows between the two
// calls).
template <class ReadInto>
std::wstring ReadFolderPath(ReadInto read) {
  std::string buffer(kFolderBufferSize, '\0');
  UINT length = read(buffer.data(), kFolderBufferSize);
  if (length >= kFolderBufferSize) {
    // One more than reported, whether or not the platform counted the NUL.
    buffer.assign(length + 1, '\0');
    length = read(buffer.data(), static_cast<UINT>(buffer.size()));
    if (length >= buffer.size()) length = 0;
  }
  buffer.resize(length);
  return formsrt::FromAnsi(buffer);
}

UINT ReadWindowsFolder(char* buffer, UINT size) {
  return formsrt::Kernel32().GetWindowsDirectoryA(buffer, size);
}

UINT ReadSystemFolder(char* buffer, UINT size) {
  return formsrt::Kernel32().GetSystemDirectoryA(buffer, size);
}

UINT ReadTempFolder(char* buffer, UINT size) {
  return formsrt::Kernel32().GetTempPathA(size, buffer);
}

}  // namespace

// Any failure to start the applet launcher is trapped: the host sees the
// "Applet not found" box (unless QuietErrors) and never an error.
STDMETHODIMP QuennetCtl::FCxLaunchCPA(BSTR* AppletFileName, VARIANT* result) {
  return EmptyResultMember(result, {AppletFileName}, [&] {
    std::wstring applet = Text(AppletFileName);
    try {
      if (!StartIfPresent(std::wstring(kAppletCommand) + applet, show_style::MinimizedFocus)) {
        StartProgram(std::wstring(kAppletCommandFallback) + applet, show_style::MinimizedFocus);
      }
    } catch (const formsrt::RuntimeError&) {
      ShowAppletNotFound(m_QuietErrors != VARIANT_FALSE);
    }
  });
}

STDMETHODIMP QuennetCtl::FCxShellNav(BSTR* FileName, VARIANT* result) {
  return EmptyResultMember(result, {FileName}, [&] {
    StartProgram(std::wstring(kShellNavCommand) + Text(FileName), show_style::MaximizedFocus);
  });
}

// Current Windows has no "start.exe" (start is a command of the command
// interpreter); there the address goes to the shell instead.
STDMETHODIMP QuennetCtl::FCxOpenMail(BSTR* SendTo, VARIANT* result) {
  return EmptyResultMember(result, {SendTo}, [&] {
    std::wstring sendTo = Text(SendTo);
    if (!StartIfPresent(std::wstring(kMailCommand) + sendTo, show_style::Hidden) &&
        !OpenMailThroughShell(sendTo)) {
      formsrt::Raise(formsrt::error::FileNotFound);
    }
  });
}

// The file name goes to the platform as 8-bit text and comes back to the
// caller the same way, so characters the code page lacks come back changed.
STDMETHODIMP QuennetCtl::FCxSetWallpaper(BSTR* FileName, LONG* result) {
  return Member(result, {FileName}, [&] {
    std::string fileName = formsrt::ToAnsi(Text(FileName));
    Bstr writtenBack(formsrt::FromAnsi(fileName));
    *result = formsrt::User32().SystemParametersInfoA(kSetWallpaperAction, 0, fileName.data(),
                                                      kStoreAndBroadcast);
    ::SysFreeString(*FileName);
    *FileName = writtenBack.Detach();
  });
}

// The desktop's list view is the first child of the first child of the
// shell's "Progman" window. Nothing is checked: where a window is missing,
// the following calls get handle 0 and do nothing.
STDMETHODIMP QuennetCtl::FCxAlignDeskIcons(VARIANT* result) {
  return EmptyResultMember(result, {}, [&] {
    formsrt::User32Api& user32 = formsrt::User32();
    HWND desktop = user32.FindWindowA("Progman", nullptr);
    HWND view = user32.GetWindow(desktop, GW_CHILD);
    HWND icons = user32.GetWindow(view, GW_CHILD);
    user32.SendMessageA(icons, kArrangeIcons, kAlignLeft, 0);
  });
}

// The folder names match exactly, case included.
STDMETHODIMP QuennetCtl::FCxReturnPath(BSTR* FolderName, BSTR* result) {
  return Member(result, {FolderName}, [&] {
    std::wstring folderName = Text(FolderName);
    std::wstring path;
    if (folderName == L"Windows") {
      path = ReadFolderPath(ReadWindowsFolder);
    } else if (folderName == L"System") {
      path = ReadFolderPath(ReadSystemFolder);
    } else if (folderName == L"Temp") {
      path = ReadFolderPath(ReadTempFolder);
    } else {
      ShowFunctionError(m_QuietErrors != VARIANT_FALSE);
    }
    *result = Bstr(path).Detach();
  });
}

STDMETHODIMP QuennetCtl::FCxSetMousePos(short* x, short* y, VARIANT* result) {
  return EmptyResultMember(result, {x, y}, [&] {
    formsrt::User32().SetCursorPos(static_cast<int>(*x), static_cast<int>(*y));
  });
}

// Each read asks the platform afresh; a failed read leaves m_CursorPos as it
// was and returns that.
STDMETHODIMP QuennetCtl::FCxGMP_X(VARIANT* result) {
  return Member(result, {}, [&] {
    formsrt::User32().GetCursorPos(&m_CursorPos);
    formsrt::Variant::FromInt32(m_CursorPos.x).MoveTo(result);
  });
}

STDMETHODIMP QuennetCtl::FCxGMP_Y(VARIANT* result) {
  return Member(result, {}, [&] {
    formsrt::User32().GetCursorPos(&m_CursorPos);
    formsrt::Variant::FromInt32(m_CursorPos.y).MoveTo(result);
  });
}

}  // namespace quennet
