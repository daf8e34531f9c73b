#include "TrayIconData.h"

#include <cstring>
#include <string>

#include "core/Conversions.h"

namespace quennet {

namespace {

constexpr size_t kTipBytes = 64;

}  // namespace

NOTIFYICONDATAA TrayIconData::ForShell() const {
  NOTIFYICONDATAA record{};
  record.cbSize = cbSize;
  record.hWnd = hWnd;
  record.uID = uID;
  record.uFlags = uFlags;
  record.uCallbackMessage = uCallbackMessage;
  record.hIcon = hIcon;
  // The headers' szTip is the later records' 128 bytes; the shell reads the
  // 64 of this record. In a double-byte or UTF-8 code page 63 characters
  // take up to 126 bytes, so the text is cut by its bytes, whole characters
  // only, and the NUL always falls inside the 64.
  std::string tip =
      formsrt::ToAnsiWithin({szTip, ::wcsnlen(szTip, std::size(szTip))}, kTipBytes - 1);
  std::memset(record.szTip, ' ', kTipBytes);
  std::memcpy(record.szTip, tip.data(), tip.size());
  record.szTip[tip.size()] = '\0';
  return record;
}

}  // namespace quennet
