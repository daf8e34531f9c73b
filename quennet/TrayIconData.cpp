#include "TrayIconData.h"

#include <algorithm>
#include <cstring>
#include <string>

#include "com/Conversions.h"

namespace quennet {

NOTIFYICONDATAA TrayIconData::ForShell() const {
  NOTIFYICONDATAA record{};
  record.cbSize = cbSize;
  record.hWnd = hWnd;
  record.uID = uID;
  record.uFlags = uFlags;
  record.uCallbackMessage = uCallbackMessage;
  record.hIcon = hIcon;
  std::string tip = formsrt::ToAnsi({szTip, ::wcsnlen(szTip, std::size(szTip))});
  size_t kept = std::min(tip.size(), sizeof(record.szTip) - 1);
  std::memset(record.szTip, ' ', sizeof(record.szTip));
  std::memcpy(record.szTip, tip.data(), kept);
  record.szTip[kept] = '\0';
  return record;
}

}  // namespace quennet
