#include "forms/CommandTarget.h"
#include "platform/Platform.h"

namespace formsrt {

namespace {

constexpr wchar_t kTargetProperty[] = L"FormsrtCommandTarget";

}  // namespace

void CommandTarget::AttachTo(HWND control) { formsrt::User32().SetPropW(control, kTargetProperty, this); }

void CommandTarget::DetachFrom(HWND control) {
  if (control) formsrt::User32().RemovePropW(control, kTargetProperty);
}

bool ReflectCommand(WPARAM wParam, LPARAM lParam) {
  auto control = reinterpret_cast<HWND>(lParam);
  if (!control) return false;  // a menu or accelerator command
  auto* target = static_cast<CommandTarget*>(formsrt::User32().GetPropW(control, kTargetProperty));
  if (!target) return false;
  target->OnCommand(HIWORD(wParam));
  return true;
}

}  // namespace formsrt
