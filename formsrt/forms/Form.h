// A top-level form: a window of the runtime's form class, with the automation
// surface IRuntimeForm that controls reach by name ("hWnd", "Icon",
// "PopupMenu", "WindowState", "Width", "Height", "Move", "Caption"). The form
// owns its child controls (Add) and its pop-up menus (AddMenu).
//
// Lifecycle: Create makes the window, hidden. Show raises onLoad the first
// time, then shows the window. Closing the window, or Unload, asks
// onQueryUnload, which may cancel; otherwise the controls and then the window
// are destroyed. An unloaded form stays unloaded: its "hWnd" reads 0 and the
// members that need the window raise error 364 (Object was unloaded).
//
// The form's events (load, query-unload, menu item clicks) and those of its
// controls run as the program's event handlers: a run-time error they leave
// untrapped gets the standard report and ends the program (UnhandledError.h).
//
// Forms live on an OLE apartment thread (OleInitialize), the thread that
// created them. A module that creates forms embeds the forms runtime's type
// library (link the CMake target formsrt_form_typelib).
#pragma once

#include <windows.h>
#include <ocidl.h>

#include <functional>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "RuntimeForm.h"
#include "core/Bstr.h"
#include "com/ComObject.h"
#include "com/TypeLibDispatch.h"
#include "forms/IconHandle.h"
#include "forms/Menu.h"
#include "forms/TwipsRect.h"
#include "forms/WindowClass.h"

namespace formsrt {

namespace window_state {
inline constexpr short Normal = 0;
inline constexpr short Minimized = 1;
inline constexpr short Maximized = 2;
}  // namespace window_state

// Why a form is asked to unload.
namespace unload_mode {
inline constexpr int FormControlMenu = 0;  // the window was closed (system menu, Alt+F4)
inline constexpr int FormCode = 1;         // the program called Unload
}  // namespace unload_mode

class Form final : public DispatchImpl<IRuntimeForm>,
                   public ISupportErrorInfo,
                   private MessageTarget,
                   private ComObjectBase {
 public:
  static constexpr wchar_t kClassName[] = L"FormsrtForm";

  // The client area's position on the screen and its size, in twips.
  static ComPtr<Form> Create(std::wstring_view caption, const TwipsRect& clientBounds);
  ~Form() override;

  // The window, or null once the form is unloaded.
  HWND Handle() const { return window_.Get(); }
  bool IsLoaded() const { return Handle() != nullptr; }

  void Show();
  // Returns false when onQueryUnload cancelled.
  bool Unload();

  // Takes ownership of the icon: it shows in the title bar and as "Icon".
  // The form keeps every icon it was given until the form object goes, and
  // destroys them then (through the platform seam): a picture that "Icon"
  // gave, or a control that shows the icon by its handle (a tray icon, added
  // again after the shell restarts), may still show a replaced one.
  void SetIcon(HICON icon);

  // A control placed on this form: Control(parent window, arguments...).
  // The form destroys its controls, last added first, before its window.
  template <class Control, class... Arguments>
  Control& Add(Arguments&&... arguments) {
    auto control = std::make_shared<Control>(RequireWindow(), std::forward<Arguments>(arguments)...);
    controls_.push_back(control);
    return *control;
  }

  ComPtr<Menu> AddMenu(std::wstring_view caption);

  std::function<void()> onLoad;
  std::function<void(bool& cancel, int unloadMode)> onQueryUnload;

  // IUnknown
  STDMETHODIMP QueryInterface(REFIID iid, void** out) override;
  STDMETHODIMP_(ULONG) AddRef() override { return AddRefImpl(); }
  STDMETHODIMP_(ULONG) Release() override { return ReleaseImpl(); }
  // ISupportErrorInfo
  STDMETHODIMP InterfaceSupportsErrorInfo(REFIID iid) override;
  // IRuntimeForm
  STDMETHODIMP get_hWnd(LONG* handle) override;
  STDMETHODIMP get_Caption(BSTR* caption) override;
  STDMETHODIMP put_Caption(BSTR caption) override;
  STDMETHODIMP get_Icon(IPictureDisp** icon) override;
  STDMETHODIMP get_WindowState(SHORT* state) override;
  STDMETHODIMP put_WindowState(SHORT state) override;
  STDMETHODIMP get_Left(FLOAT* left) override;
  STDMETHODIMP put_Left(FLOAT left) override;
  STDMETHODIMP get_Top(FLOAT* top) override;
  STDMETHODIMP put_Top(FLOAT top) override;
  STDMETHODIMP get_Width(FLOAT* width) override;
  STDMETHODIMP put_Width(FLOAT width) override;
  STDMETHODIMP get_Height(FLOAT* height) override;
  STDMETHODIMP put_Height(FLOAT height) override;
  STDMETHODIMP Move(FLOAT left, VARIANT top, VARIANT width, VARIANT height) override;
  STDMETHODIMP PopupMenu(VARIANT menu) override;

 private:
  Form(std::wstring_view caption, const TwipsRect& clientBounds);

  LRESULT HandleMessage(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam) override;
  bool UnloadFor(int mode);
  void DestroyControls();
  HWND RequireWindow() const;
  short CurrentWindowState() const;
  void SetWindowState(short state);
  struct OuterTwips {
    double left, top, width, height;
  };
  OuterTwips OuterBounds() const;
  // Raises 384 while the form is minimised or maximised.
  void SetOuterBounds(const OuterTwips& bounds);
  HRESULT GetOuterBound(double OuterTwips::*bound, FLOAT* value);
  HRESULT PutOuterBound(double OuterTwips::*bound, FLOAT value);
  void ShowPopupMenu(const VARIANT& menu);
  ComPtr<Menu> OwnMenu(const VARIANT& menu) const;

  template <class Body>
  HRESULT Guard(Body&& body);

  // First: they outlive the window and the pictures that show them.
  std::vector<IconHandle> ownIcons_;
  WindowHandle window_;
  ComPtr<ITypeInfo> menuTypeInfo_;
  ComPtr<IPictureDisp> icon_;
  std::vector<std::shared_ptr<void>> controls_;
  std::vector<ComPtr<Menu>> menus_;
  short pendingWindowState_ = window_state::Normal;  // applied by Show
  bool loadRaised_ = false;
};

}  // namespace formsrt
