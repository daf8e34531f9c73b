// A pop-up menu of a form: an automation object (IRuntimeMenu) that a host
// can hand to a control, which gives it back to the form's PopupMenu. The
// chosen item's onClick runs, as an event handler of the program, after the
// menu has closed and before PopupMenu returns.
#pragma once

#include <windows.h>

#include <functional>
#include <string>
#include <string_view>
#include <vector>

#include "RuntimeForm.h"
#include "core/Bstr.h"
#include "com/ComObject.h"
#include "com/TypeLibDispatch.h"

namespace formsrt {

class Menu final : public DispatchImpl<IRuntimeMenu>, public ISupportErrorInfo, private ComObjectBase {
 public:
  Menu(ComPtr<ITypeInfo> typeInfo, std::wstring_view caption);
  ~Menu() override;

  HMENU Handle() const { return menu_; }
  // "&" marks the item's access key.
  void AddItem(std::wstring_view caption, std::function<void()> onClick);
  // Runs the item that TrackPopupMenu returned; 0 (nothing chosen) runs nothing.
  void RunItem(UINT command) const;

  // IUnknown
  STDMETHODIMP QueryInterface(REFIID iid, void** out) override;
  STDMETHODIMP_(ULONG) AddRef() override { return AddRefImpl(); }
  STDMETHODIMP_(ULONG) Release() override { return ReleaseImpl(); }
  // ISupportErrorInfo
  STDMETHODIMP InterfaceSupportsErrorInfo(REFIID iid) override;
  // IRuntimeMenu
  STDMETHODIMP get_Caption(BSTR* caption) override;

 private:
  HMENU menu_;
  Bstr caption_;
  std::vector<std::function<void()>> items_;  // item i has command i + 1
};

}  // namespace formsrt
