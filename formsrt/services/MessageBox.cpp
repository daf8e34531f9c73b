#include "services/MessageBox.h"

#include <string>

#include "platform/Platform.h"

namespace formsrt {

int ShowMessageBox(std::wstring_view text, UINT style, std::optional<std::wstring_view> caption,
                   std::wstring_view title) {
  std::wstring shownText(text);
  std::wstring shownCaption(caption.value_or(title));
  HWND owner = User32().GetActiveWindow();
  return User32().MessageBoxW(owner, shownText.c_str(), shownCaption.c_str(), style);
}

}  // namespace formsrt
