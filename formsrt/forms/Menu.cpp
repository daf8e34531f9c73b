#include "forms/Menu.h"

#include "com/OutParameters.h"
#include "core/RuntimeError.h"
#include "services/UnhandledError.h"
#include "platform/Platform.h"

namespace formsrt {

Menu::Menu(ComPtr<ITypeInfo> typeInfo, std::wstring_view caption)
    : DispatchImpl(std::move(typeInfo)), menu_(formsrt::User32().CreatePopupMenu()), caption_(caption) {
  if (!menu_) ThrowLastError();
}

Menu::~Menu() { formsrt::User32().DestroyMenu(menu_); }

void Menu::AddItem(std::wstring_view caption, std::function<void()> onClick) {
  std::wstring text(caption);
  items_.push_back(std::move(onClick));
  if (!formsrt::User32().AppendMenuW(menu_, MF_STRING, items_.size(), text.c_str())) {
    items_.pop_back();
    ThrowLastError();
  }
}

void Menu::RunItem(UINT command) const {
  if (command == 0 || command > items_.size()) return;
  // A copy: the handler may add items, which moves the stored ones.
  if (auto onClick = items_[command - 1]) RunEventHandler(onClick);
}

STDMETHODIMP Menu::QueryInterface(REFIID iid, void** out) {
  return QueryObject<Offer<IRuntimeMenu, IDispatch>, ISupportErrorInfo>(this, iid, out);
}

STDMETHODIMP Menu::InterfaceSupportsErrorInfo(REFIID iid) {
  return iid == IID_IRuntimeMenu ? S_OK : S_FALSE;
}

STDMETHODIMP Menu::get_Caption(BSTR* caption) {
  ClearOutParameters(caption);
  if (!caption) return E_POINTER;
  return ComBoundary(L"Menu", IID_IRuntimeMenu, [&] { *caption = Bstr(caption_.View()).Detach(); });
}

}  // namespace formsrt
