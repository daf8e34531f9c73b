// The runtime's message box: modal, owned by the thread's active window.
#pragma once

#include <windows.h>

#include <optional>
#include <string_view>

namespace formsrt {

namespace message_box_style {
inline constexpr UINT OkOnly = MB_OK;                          // 0
inline constexpr UINT Exclamation = MB_OK | MB_ICONEXCLAMATION;  // 48
}  // namespace message_box_style

// Shows `text` with `style` and returns the button pressed (IDOK, ...).
// Without a caption the box shows `title`, the calling deliverable's title.
int ShowMessageBox(std::wstring_view text, UINT style, std::optional<std::wstring_view> caption,
                   std::wstring_view title);

}  // namespace formsrt
