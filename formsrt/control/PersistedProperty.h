// A property that a control saves with its container, declared once: the
// key it is stored under, its DISPID on the control's default interface
// (which the property change notification carries) and its default, on
// reading and on writing. The control initialises, reads, writes and
// notifies through the declaration:
//
//   constexpr PersistedProperty<VARIANT_BOOL> kMenu{L"Menu", DISPID_MENU, VARIANT_TRUE};
//   m_Menu = kMenu.defaultValue;          m_Menu = bag.Read(kMenu);
//   bag.Write(kMenu, m_Menu);             PropertyChanged(kMenu.dispid);
#pragma once

#include <windows.h>
#include <oaidl.h>

#include <string_view>

namespace formsrt {

// T is VARIANT_BOOL, LONG or std::wstring_view (text).
template <class T>
struct PersistedProperty {
  const wchar_t* key;
  DISPID dispid;
  T defaultValue;
};

}  // namespace formsrt
