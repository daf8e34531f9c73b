// The shell's tray record as the control keeps it between calls (member
// m_TrayData): the fields of the first, ANSI NOTIFYICONDATA, with the tip
// kept as 64 wide characters and converted to 8-bit text on every call.
#pragma once

#include <windows.h>
#include <shellapi.h>

namespace quennet {

// 88 bytes on x86; on x64 the handles widen the same record to 104.
inline constexpr DWORD kTrayRecordSize = NOTIFYICONDATAA_V1_SIZE;
static_assert(sizeof(void*) != 4 || kTrayRecordSize == 88, "the 32-bit tray record is 88 bytes");

inline constexpr UINT kTrayIconId = 1;

struct TrayIconData {
  DWORD cbSize = 0;
  HWND hWnd = nullptr;
  UINT uID = 0;
  UINT uFlags = 0;
  UINT uCallbackMessage = 0;
  HICON hIcon = nullptr;
  wchar_t szTip[64] = {};

  // The record for Shell_NotifyIconA: the tip in the system's 8-bit code
  // page, cut to at most 63 bytes at a character boundary, then a NUL, then
  // spaces to the end of the 64-byte field.
  NOTIFYICONDATAA ForShell() const;
};

}  // namespace quennet
