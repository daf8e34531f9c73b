#include "forms/CommandTarget.h"

namespace formsrt {

namespace {

constexpr wchar_t kTargetProperty[] = L"FormsrtCommandTarget";

}  // namespace

void CommandTarget::AttachTo(HWND control) { ::SetPropW(control, kTargetProperty, this); }

void CommandTarget::DetachFrom(HWND control) {
  if (control) ::RemovePropW(control, kTargetProperty);
}

bool ReflectCommand(WPARAM wParam, LPARAM lParam) {
  auto control = reinterpret_cast<HWND>(lParam);
  if (!control) return false;  // a menu or accelerator command
  auto* target = static_cast<CommandTarget*>(::GetPropW(control, kTargetProperty));
  if (!target) return false;
  target->OnCommand(HIWORD(wParam));
  return true;
}

}  // namespace formsrt
