// The platform seam: every user32, gdi32, shell32, kernel32, winmm, comctl32
// and registry entry point that the suite calls is reached through one table
// per platform library.
// The tables hold the real functions by default; a test swaps entries for
// recording fakes with a PlatformOverride, which restores the table when it
// goes out of scope.
#pragma once

#include <windows.h>
#include <commctrl.h>
#include <mmsystem.h>
#include <shellapi.h>

// The headers turn RtlMoveMemory into memmove; the suite calls the real export.
#undef RtlMoveMemory

namespace formsrt {

// An entry point that the oldest Windows the suite supports lacks: looked up
// at run time, null where the platform has none (the caller then does
// without it).
template <class Function>
Function LaterEntryPoint(const wchar_t* module, const char* name) {
  HMODULE loaded = ::GetModuleHandleW(module);
  FARPROC found = loaded ? ::GetProcAddress(loaded, name) : nullptr;
  return reinterpret_cast<Function>(reinterpret_cast<void (*)()>(found));
}

struct User32Api {
  BOOL(WINAPI* SetWindowPos)(HWND, HWND, int, int, int, int, UINT) = ::SetWindowPos;
  LONG(WINAPI* SetWindowLongA)(HWND, int, LONG) = ::SetWindowLongA;
  LRESULT(WINAPI* SendMessageA)(HWND, UINT, WPARAM, LPARAM) = ::SendMessageA;
  BOOL(WINAPI* ReleaseCapture)() = ::ReleaseCapture;
  BOOL(WINAPI* FlashWindow)(HWND, BOOL) = ::FlashWindow;
  HWND(WINAPI* FindWindowA)(LPCSTR, LPCSTR) = ::FindWindowA;
  HWND(WINAPI* GetWindow)(HWND, UINT) = ::GetWindow;
  BOOL(WINAPI* SystemParametersInfoA)(UINT, UINT, PVOID, UINT) = ::SystemParametersInfoA;
  BOOL(WINAPI* SetCursorPos)(int, int) = ::SetCursorPos;
  BOOL(WINAPI* GetCursorPos)(LPPOINT) = ::GetCursorPos;
  int(WINAPI* MessageBoxW)(HWND, LPCWSTR, LPCWSTR, UINT) = ::MessageBoxW;
  HWND(WINAPI* GetActiveWindow)() = ::GetActiveWindow;
  UINT_PTR(WINAPI* SetTimer)(HWND, UINT_PTR, UINT, TIMERPROC) = ::SetTimer;
  BOOL(WINAPI* KillTimer)(HWND, UINT_PTR) = ::KillTimer;
  HWND(WINAPI* CreateWindowExW)(DWORD, LPCWSTR, LPCWSTR, DWORD, int, int, int, int, HWND, HMENU,
                                HINSTANCE, LPVOID) = ::CreateWindowExW;
  BOOL(WINAPI* DestroyWindow)(HWND) = ::DestroyWindow;
  BOOL(WINAPI* SetForegroundWindow)(HWND) = ::SetForegroundWindow;
  BOOL(WINAPI* TrackPopupMenuEx)(HMENU, UINT, int, int, HWND, LPTPMPARAMS) = ::TrackPopupMenuEx;
  BOOL(WINAPI* PostMessageW)(HWND, UINT, WPARAM, LPARAM) = ::PostMessageW;
  // Windows 7 and Vista: let a message through the filter of an elevated
  // process, for one window or for the whole process.
  BOOL(WINAPI* ChangeWindowMessageFilterEx)(HWND, UINT, DWORD, void*) =
      LaterEntryPoint<BOOL(WINAPI*)(HWND, UINT, DWORD, void*)>(L"user32.dll",
                                                                "ChangeWindowMessageFilterEx");
  BOOL(WINAPI* ChangeWindowMessageFilter)(UINT, DWORD) =
      LaterEntryPoint<BOOL(WINAPI*)(UINT, DWORD)>(L"user32.dll", "ChangeWindowMessageFilter");
  HDC(WINAPI* GetDC)(HWND) = ::GetDC;
  int(WINAPI* ReleaseDC)(HWND, HDC) = ::ReleaseDC;
  HDC(WINAPI* BeginPaint)(HWND, LPPAINTSTRUCT) = ::BeginPaint;
  BOOL(WINAPI* EndPaint)(HWND, const PAINTSTRUCT*) = ::EndPaint;
  HANDLE(WINAPI* LoadImageW)(HINSTANCE, LPCWSTR, UINT, int, int, UINT) = ::LoadImageW;
  BOOL(WINAPI* DestroyIcon)(HICON) = ::DestroyIcon;
  decltype(&::AdjustWindowRectEx) AdjustWindowRectEx = ::AdjustWindowRectEx;
  decltype(&::AppendMenuW) AppendMenuW = ::AppendMenuW;
  decltype(&::CreatePopupMenu) CreatePopupMenu = ::CreatePopupMenu;
  decltype(&::DefWindowProcW) DefWindowProcW = ::DefWindowProcW;
  decltype(&::DestroyMenu) DestroyMenu = ::DestroyMenu;
  decltype(&::DispatchMessageW) DispatchMessageW = ::DispatchMessageW;
  decltype(&::DrawTextW) DrawTextW = ::DrawTextW;
  decltype(&::FillRect) FillRect = ::FillRect;
  decltype(&::GetAncestor) GetAncestor = ::GetAncestor;
  decltype(&::GetClassNameW) GetClassNameW = ::GetClassNameW;
  decltype(&::GetClientRect) GetClientRect = ::GetClientRect;
  decltype(&::GetKeyState) GetKeyState = ::GetKeyState;
  decltype(&::GetMessageW) GetMessageW = ::GetMessageW;
  decltype(&::GetPropW) GetPropW = ::GetPropW;
  decltype(&::GetScrollInfo) GetScrollInfo = ::GetScrollInfo;
  decltype(&::GetSysColor) GetSysColor = ::GetSysColor;
  decltype(&::GetSysColorBrush) GetSysColorBrush = ::GetSysColorBrush;
  decltype(&::GetSystemMetrics) GetSystemMetrics = ::GetSystemMetrics;
  decltype(&::GetWindowLongW) GetWindowLongW = ::GetWindowLongW;
  decltype(&::GetWindowRect) GetWindowRect = ::GetWindowRect;
  decltype(&::GetWindowTextLengthW) GetWindowTextLengthW = ::GetWindowTextLengthW;
  decltype(&::GetWindowTextW) GetWindowTextW = ::GetWindowTextW;
  decltype(&::GetWindowThreadProcessId) GetWindowThreadProcessId = ::GetWindowThreadProcessId;
  decltype(&::InvalidateRect) InvalidateRect = ::InvalidateRect;
  decltype(&::IsDialogMessageW) IsDialogMessageW = ::IsDialogMessageW;
  decltype(&::IsIconic) IsIconic = ::IsIconic;
  decltype(&::IsWindow) IsWindow = ::IsWindow;
  decltype(&::IsWindowVisible) IsWindowVisible = ::IsWindowVisible;
  decltype(&::IsZoomed) IsZoomed = ::IsZoomed;
  decltype(&::LoadCursorW) LoadCursorW = ::LoadCursorW;
  decltype(&::LoadIconW) LoadIconW = ::LoadIconW;
  decltype(&::MoveWindow) MoveWindow = ::MoveWindow;
  decltype(&::PeekMessageW) PeekMessageW = ::PeekMessageW;
  decltype(&::RedrawWindow) RedrawWindow = ::RedrawWindow;
  decltype(&::RegisterClassExW) RegisterClassExW = ::RegisterClassExW;
  decltype(&::RegisterWindowMessageW) RegisterWindowMessageW = ::RegisterWindowMessageW;
  decltype(&::RemovePropW) RemovePropW = ::RemovePropW;
  decltype(&::SendMessageW) SendMessageW = ::SendMessageW;
  decltype(&::SetFocus) SetFocus = ::SetFocus;
  decltype(&::SetParent) SetParent = ::SetParent;
  decltype(&::SetPropW) SetPropW = ::SetPropW;
  decltype(&::SetScrollInfo) SetScrollInfo = ::SetScrollInfo;
  decltype(&::SetWindowTextW) SetWindowTextW = ::SetWindowTextW;
  decltype(&::ShowWindow) ShowWindow = ::ShowWindow;
  decltype(&::TranslateMessage) TranslateMessage = ::TranslateMessage;
  decltype(&::UnregisterClassW) UnregisterClassW = ::UnregisterClassW;
};

// The device contexts and the fonts and bitmaps the suite makes itself, and
// what it asks of the display.
struct Gdi32Api {
  int(WINAPI* GetDeviceCaps)(HDC, int) = ::GetDeviceCaps;
  HDC(WINAPI* CreateCompatibleDC)(HDC) = ::CreateCompatibleDC;
  BOOL(WINAPI* DeleteDC)(HDC) = ::DeleteDC;
  HGDIOBJ(WINAPI* SelectObject)(HDC, HGDIOBJ) = ::SelectObject;
  HFONT(WINAPI* CreateFontW)(int, int, int, int, int, DWORD, DWORD, DWORD, DWORD, DWORD, DWORD,
                             DWORD, DWORD, LPCWSTR) = ::CreateFontW;
  BOOL(WINAPI* DeleteObject)(HGDIOBJ) = ::DeleteObject;
  decltype(&::GetObjectW) GetObjectW = ::GetObjectW;
  decltype(&::GetStockObject) GetStockObject = ::GetStockObject;
  decltype(&::GetTextMetricsW) GetTextMetricsW = ::GetTextMetricsW;
  decltype(&::IntersectClipRect) IntersectClipRect = ::IntersectClipRect;
  decltype(&::LineTo) LineTo = ::LineTo;
  decltype(&::MoveToEx) MoveToEx = ::MoveToEx;
  decltype(&::RestoreDC) RestoreDC = ::RestoreDC;
  decltype(&::SaveDC) SaveDC = ::SaveDC;
  decltype(&::SetBkMode) SetBkMode = ::SetBkMode;
  decltype(&::SetDCPenColor) SetDCPenColor = ::SetDCPenColor;
  decltype(&::SetTextColor) SetTextColor = ::SetTextColor;
  decltype(&::SetViewportOrgEx) SetViewportOrgEx = ::SetViewportOrgEx;
  decltype(&::StretchBlt) StretchBlt = ::StretchBlt;
};

struct Shell32Api {
  BOOL(WINAPI* Shell_NotifyIconA)(DWORD, PNOTIFYICONDATAA) = ::Shell_NotifyIconA;
  HINSTANCE(WINAPI* ShellExecuteW)(HWND, LPCWSTR, LPCWSTR, LPCWSTR, LPCWSTR, INT) = ::ShellExecuteW;
};

extern "C" __declspec(dllimport) void WINAPI RtlMoveMemory(void* destination, const void* source,
                                                           SIZE_T length);

struct Kernel32Api {
  UINT(WINAPI* GetWindowsDirectoryA)(LPSTR, UINT) = ::GetWindowsDirectoryA;
  UINT(WINAPI* GetSystemDirectoryA)(LPSTR, UINT) = ::GetSystemDirectoryA;
  DWORD(WINAPI* GetTempPathA)(DWORD, LPSTR) = ::GetTempPathA;
  HGLOBAL(WINAPI* GlobalAlloc)(UINT, SIZE_T) = ::GlobalAlloc;
  LPVOID(WINAPI* GlobalLock)(HGLOBAL) = ::GlobalLock;
  HGLOBAL(WINAPI* GlobalFree)(HGLOBAL) = ::GlobalFree;
  void(WINAPI* RtlMoveMemory)(void*, const void*, SIZE_T) = formsrt::RtlMoveMemory;
  BOOL(WINAPI* CreateProcessW)(LPCWSTR, LPWSTR, LPSECURITY_ATTRIBUTES, LPSECURITY_ATTRIBUTES, BOOL,
                               DWORD, LPVOID, LPCWSTR, LPSTARTUPINFOW,
                               LPPROCESS_INFORMATION) = ::CreateProcessW;
  BOOL(WINAPI* CloseHandle)(HANDLE) = ::CloseHandle;
  void(WINAPI* OutputDebugStringA)(LPCSTR) = ::OutputDebugStringA;
  // Vista.
  int(WINAPI* CompareStringOrdinal)(LPCWSTR, int, LPCWSTR, int, BOOL) =
      LaterEntryPoint<int(WINAPI*)(LPCWSTR, int, LPCWSTR, int, BOOL)>(L"kernel32.dll",
                                                                      "CompareStringOrdinal");
  ULONGLONG(WINAPI* GetTickCount64)() =
      LaterEntryPoint<ULONGLONG(WINAPI*)()>(L"kernel32.dll", "GetTickCount64");
  decltype(&::CompareStringW) CompareStringW = ::CompareStringW;
  decltype(&::ExitProcess) ExitProcess = ::ExitProcess;
  decltype(&::GetCurrentThreadId) GetCurrentThreadId = ::GetCurrentThreadId;
  decltype(&::GetLastError) GetLastError = ::GetLastError;
  decltype(&::GetLocalTime) GetLocalTime = ::GetLocalTime;
  decltype(&::GetModuleFileNameW) GetModuleFileNameW = ::GetModuleFileNameW;
  decltype(&::GetModuleHandleW) GetModuleHandleW = ::GetModuleHandleW;
  decltype(&::GetUserDefaultLCID) GetUserDefaultLCID = ::GetUserDefaultLCID;
  decltype(&::LCMapStringW) LCMapStringW = ::LCMapStringW;
  decltype(&::MultiByteToWideChar) MultiByteToWideChar = ::MultiByteToWideChar;
  decltype(&::WideCharToMultiByte) WideCharToMultiByte = ::WideCharToMultiByte;
};

struct WinmmApi {
  MMRESULT(WINAPI* mixerOpen)(LPHMIXER, UINT, DWORD_PTR, DWORD_PTR, DWORD) = ::mixerOpen;
  MMRESULT(WINAPI* mixerClose)(HMIXER) = ::mixerClose;
  MMRESULT(WINAPI* mixerGetLineInfoA)(HMIXEROBJ, LPMIXERLINEA, DWORD) = ::mixerGetLineInfoA;
  MMRESULT(WINAPI* mixerGetLineControlsA)(HMIXEROBJ, LPMIXERLINECONTROLSA,
                                          DWORD) = ::mixerGetLineControlsA;
  MMRESULT(WINAPI* mixerGetControlDetailsA)(HMIXEROBJ, LPMIXERCONTROLDETAILS,
                                            DWORD) = ::mixerGetControlDetailsA;
  MMRESULT(WINAPI* mixerSetControlDetails)(HMIXEROBJ, LPMIXERCONTROLDETAILS,
                                           DWORD) = ::mixerSetControlDetails;
  DWORD(WINAPI* timeGetTime)() = ::timeGetTime;
  MMRESULT(WINAPI* timeBeginPeriod)(UINT) = ::timeBeginPeriod;
  MMRESULT(WINAPI* timeEndPeriod)(UINT) = ::timeEndPeriod;
};

struct Oleaut32Api {
  // Vista: type library registration for the current user only.
  HRESULT(WINAPI* RegisterTypeLibForUser)(ITypeLib*, OLECHAR*, OLECHAR*) =
      LaterEntryPoint<HRESULT(WINAPI*)(ITypeLib*, OLECHAR*, OLECHAR*)>(L"oleaut32.dll",
                                                                       "RegisterTypeLibForUser");
  HRESULT(WINAPI* UnRegisterTypeLibForUser)(REFGUID, WORD, WORD, LCID, SYSKIND) =
      LaterEntryPoint<HRESULT(WINAPI*)(REFGUID, WORD, WORD, LCID, SYSKIND)>(
          L"oleaut32.dll", "UnRegisterTypeLibForUser");
};

// The registry.
struct Advapi32Api {
  decltype(&::RegCloseKey) RegCloseKey = ::RegCloseKey;
  decltype(&::RegCreateKeyExW) RegCreateKeyExW = ::RegCreateKeyExW;
  decltype(&::RegDeleteKeyW) RegDeleteKeyW = ::RegDeleteKeyW;
  decltype(&::RegEnumKeyExW) RegEnumKeyExW = ::RegEnumKeyExW;
  decltype(&::RegOpenKeyExW) RegOpenKeyExW = ::RegOpenKeyExW;
  decltype(&::RegQueryValueExW) RegQueryValueExW = ::RegQueryValueExW;
  decltype(&::RegSetValueExW) RegSetValueExW = ::RegSetValueExW;
};

struct Comctl32Api {
  BOOL(WINAPI* SetWindowSubclass)(HWND, SUBCLASSPROC, UINT_PTR, DWORD_PTR) = ::SetWindowSubclass;
  LRESULT(WINAPI* DefSubclassProc)(HWND, UINT, WPARAM, LPARAM) = ::DefSubclassProc;
  BOOL(WINAPI* RemoveWindowSubclass)(HWND, SUBCLASSPROC, UINT_PTR) = ::RemoveWindowSubclass;
  decltype(&::InitCommonControlsEx) InitCommonControlsEx = ::InitCommonControlsEx;
};

// The live tables. Code calls, for example, formsrt::User32().SetWindowPos(...).
User32Api& User32();
Gdi32Api& Gdi32();
Shell32Api& Shell32();
Kernel32Api& Kernel32();
WinmmApi& Winmm();
Oleaut32Api& Oleaut32();
Comctl32Api& Comctl32();
Advapi32Api& Advapi32();

// Restores a table to what it held when the override was made.
template <class Api>
class PlatformOverride {
 public:
  explicit PlatformOverride(Api& live) : live_(live), saved_(live) {}
  ~PlatformOverride() { live_ = saved_; }
  PlatformOverride(const PlatformOverride&) = delete;
  PlatformOverride& operator=(const PlatformOverride&) = delete;

  Api* operator->() { return &live_; }

 private:
  Api& live_;
  Api saved_;
};

}  // namespace formsrt
