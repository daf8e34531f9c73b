#include "forms/Form.h"

#include <olectl.h>

#include "com/LateBound.h"
#include "com/OutParameters.h"
#include "platform/Platform.h"
#include "core/RuntimeError.h"
#include "com/TypeInformation.h"
#include "forms/CommandTarget.h"
#include "forms/Screen.h"
#include "services/UnhandledError.h"

namespace formsrt {

namespace {

constexpr wchar_t kErrorSource[] = L"Form";
constexpr DWORD kFormStyle = WS_OVERLAPPEDWINDOW | WS_CLIPCHILDREN;
constexpr long kObjectUnloaded = 364;
constexpr long kCannotSizeMinimizedOrMaximized = 384;

// A picture that shows the icon without owning it.
ComPtr<IPictureDisp> IconPicture(HICON icon) {
  PICTDESC description{};
  description.cbSizeofstruct = sizeof(description);
  description.picType = PICTYPE_ICON;
  description.icon.hicon = icon;
  ComPtr<IPictureDisp> picture;
  ThrowIfFailed(::OleCreatePictureIndirect(&description, IID_IPictureDisp, FALSE, picture.PutVoid()));
  return picture;
}

RECT OuterPixelsFromClient(const TwipsRect& client) {
  RECT bounds = Screen::PixelsFromTwips(client);
  formsrt::User32().AdjustWindowRectEx(&bounds, kFormStyle, FALSE, 0);
  return bounds;
}

bool IsOmitted(const VARIANT& argument) {
  return V_VT(&argument) == VT_ERROR && V_ERROR(&argument) == DISP_E_PARAMNOTFOUND;
}

// An optional argument in twips; the current value when it is left out.
double OptionalTwips(const VARIANT& argument, double current) {
  if (IsOmitted(argument)) return current;
  VARIANT converted;
  ::VariantInit(&converted);
  HRESULT hr = ::VariantChangeType(&converted, const_cast<VARIANT*>(&argument), 0, VT_R8);
  if (FAILED(hr)) Raise(hr == DISP_E_OVERFLOW ? error::Overflow : error::TypeMismatch);
  return V_R8(&converted);
}

[[noreturn]] void RaiseObjectUnloaded() { throw RuntimeError(kObjectUnloaded, L"Object was unloaded"); }

}  // namespace

ComPtr<Form> Form::Create(std::wstring_view caption, const TwipsRect& clientBounds) {
  return ComPtr<Form>::Attach(new Form(caption, clientBounds));
}

Form::Form(std::wstring_view caption, const TwipsRect& clientBounds)
    : DispatchImpl(FormsTypeInfo(IID_IRuntimeForm)),
      menuTypeInfo_(FormsTypeInfo(IID_IRuntimeMenu)),
      icon_(IconPicture(formsrt::User32().LoadIconW(nullptr, IDI_APPLICATION))) {
  RegisterTargetClass(kClassName, CS_DBLCLKS, formsrt::User32().GetSysColorBrush(COLOR_BTNFACE));
  std::wstring text(caption);
  window_ = CreateRuntimeWindow(
      {kClassName, text.c_str(), kFormStyle, WS_EX_CONTROLPARENT, OuterPixelsFromClient(clientBounds), nullptr},
      this);
}

Form::~Form() {
  // Destroying the controls sends the form messages; none may reach it now.
  if (IsLoaded()) DetachMessageTarget(Handle());
  DestroyControls();
  window_.Reset();
}

void Form::Show() {
  HWND hwnd = RequireWindow();
  if (!loadRaised_) {
    loadRaised_ = true;
    if (onLoad) RunEventHandler(onLoad);
    if (!IsLoaded()) return;  // the load handler unloaded the form
  }
  static constexpr int kShowCommands[] = {SW_SHOWNORMAL, SW_SHOWMINIMIZED, SW_SHOWMAXIMIZED};
  if (!formsrt::User32().IsWindowVisible(hwnd)) formsrt::User32().ShowWindow(hwnd, kShowCommands[pendingWindowState_]);
}

bool Form::Unload() { return UnloadFor(unload_mode::FormCode); }

bool Form::UnloadFor(int mode) {
  if (!IsLoaded()) return true;
  bool cancel = false;
  if (onQueryUnload) RunEventHandler([&] { onQueryUnload(cancel, mode); });
  if (cancel) return false;
  DestroyControls();
  window_.Reset();
  return true;
}

void Form::DestroyControls() {
  while (!controls_.empty()) controls_.pop_back();
}

HWND Form::RequireWindow() const {
  if (!IsLoaded()) RaiseObjectUnloaded();
  return Handle();
}

void Form::SetIcon(HICON icon) {
  IconHandle owned(icon);
  ownIcons_.reserve(ownIcons_.size() + 1);
  ComPtr<IPictureDisp> picture = IconPicture(icon);
  if (HWND hwnd = Handle()) {
    formsrt::User32().SendMessageW(hwnd, WM_SETICON, ICON_BIG, reinterpret_cast<LPARAM>(icon));
    formsrt::User32().SendMessageW(hwnd, WM_SETICON, ICON_SMALL, reinterpret_cast<LPARAM>(icon));
  }
  icon_ = std::move(picture);
  ownIcons_.push_back(std::move(owned));
}

ComPtr<Menu> Form::AddMenu(std::wstring_view caption) {
  auto menu = ComPtr<Menu>::Attach(new Menu(menuTypeInfo_, caption));
  menus_.push_back(menu);
  return menu;
}

LRESULT Form::HandleMessage(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam) {
  ComPtr<Form> keepAlive(this);  // a handler may drop the last outside reference
  switch (message) {
    case WM_CLOSE:
      UnloadFor(unload_mode::FormControlMenu);
      return 0;
    case WM_COMMAND:
      if (ReflectCommand(wParam, lParam)) return 0;
      break;
    case WM_DESTROY:  // destroyed from outside: its children go with it
      DestroyControls();
      break;
    case WM_NCDESTROY:
      window_.Forget();
      break;
  }
  return formsrt::User32().DefWindowProcW(hwnd, message, wParam, lParam);
}

short Form::CurrentWindowState() const {
  HWND hwnd = RequireWindow();
  if (!formsrt::User32().IsWindowVisible(hwnd)) return pendingWindowState_;
  if (formsrt::User32().IsIconic(hwnd)) return window_state::Minimized;
  if (formsrt::User32().IsZoomed(hwnd)) return window_state::Maximized;
  return window_state::Normal;
}

void Form::SetWindowState(short state) {
  HWND hwnd = RequireWindow();
  if (state < window_state::Normal || state > window_state::Maximized) {
    Raise(error::InvalidPropertyValue);
  }
  if (!formsrt::User32().IsWindowVisible(hwnd)) {
    pendingWindowState_ = state;
    return;
  }
  static constexpr int kShowCommands[] = {SW_RESTORE, SW_MINIMIZE, SW_MAXIMIZE};
  formsrt::User32().ShowWindow(hwnd, kShowCommands[state]);
}

Form::OuterTwips Form::OuterBounds() const {
  RECT pixels{};
  formsrt::User32().GetWindowRect(RequireWindow(), &pixels);
  float perPixelX = Screen::TwipsPerPixelX();
  float perPixelY = Screen::TwipsPerPixelY();
  return {pixels.left * perPixelX, pixels.top * perPixelY,
          (pixels.right - pixels.left) * perPixelX, (pixels.bottom - pixels.top) * perPixelY};
}

void Form::SetOuterBounds(const OuterTwips& bounds) {
  HWND hwnd = RequireWindow();
  if (CurrentWindowState() != window_state::Normal) {
    throw RuntimeError(kCannotSizeMinimizedOrMaximized,
                       L"A form can't be moved or sized while minimized or maximized");
  }
  if (bounds.width < 0 || bounds.height < 0) Raise(error::InvalidPropertyValue);
  User32().SetWindowPos(hwnd, nullptr, Screen::PixelsFromTwipsX(bounds.left),
                        Screen::PixelsFromTwipsY(bounds.top), Screen::PixelsFromTwipsX(bounds.width),
                        Screen::PixelsFromTwipsY(bounds.height), SWP_NOZORDER | SWP_NOACTIVATE);
}

ComPtr<Menu> Form::OwnMenu(const VARIANT& menu) const {
  ComPtr<IDispatch> object = RequireObject(menu);
  ComPtr<IUnknown> identity;
  ThrowIfFailed(object->QueryInterface(IID_IUnknown, identity.PutVoid()));
  for (const ComPtr<Menu>& own : menus_) {
    ComPtr<IUnknown> ownIdentity;
    own->QueryInterface(IID_IUnknown, ownIdentity.PutVoid());
    if (ownIdentity.Get() == identity.Get()) return own;
  }
  Raise(error::TypeMismatch);
}

void Form::ShowPopupMenu(const VARIANT& menu) {
  HWND hwnd = RequireWindow();
  ComPtr<Menu> shown = OwnMenu(menu);
  User32Api& user32 = User32();
  POINT at{};
  user32.GetCursorPos(&at);
  // The platform closes a pop-up menu on a click elsewhere only while its
  // owner is the foreground window, and the next menu of the owner works
  // only after the owner has had a message once this one is done
  // (TrackPopupMenu's remarks). A tray menu's owner is seldom in front.
  user32.SetForegroundWindow(hwnd);
  UINT command = user32.TrackPopupMenuEx(shown->Handle(), TPM_RETURNCMD | TPM_RIGHTBUTTON | TPM_NONOTIFY,
                                         at.x, at.y, hwnd, nullptr);
  user32.PostMessageW(hwnd, WM_NULL, 0, 0);
  shown->RunItem(command);
}

template <class Body>
HRESULT Form::Guard(Body&& body) {
  return ComBoundary(kErrorSource, IID_IRuntimeForm, std::forward<Body>(body));
}

STDMETHODIMP Form::QueryInterface(REFIID iid, void** out) {
  return QueryObject<Offer<IRuntimeForm, IDispatch>, ISupportErrorInfo>(this, iid, out);
}

STDMETHODIMP Form::InterfaceSupportsErrorInfo(REFIID iid) {
  return iid == IID_IRuntimeForm ? S_OK : S_FALSE;
}

STDMETHODIMP Form::get_hWnd(LONG* handle) {
  if (!handle) return E_POINTER;
  *handle = HandleToLong(Handle());
  return S_OK;
}

STDMETHODIMP Form::get_Caption(BSTR* caption) {
  ClearOutParameters(caption);
  if (!caption) return E_POINTER;
  return Guard([&] { *caption = Bstr(WindowText(RequireWindow())).Detach(); });
}

STDMETHODIMP Form::put_Caption(BSTR caption) {
  return Guard([&] { SetWindowTextTo(RequireWindow(), Bstr::Copy(caption).View()); });
}

STDMETHODIMP Form::get_Icon(IPictureDisp** icon) {
  ClearOutParameters(icon);
  if (!icon) return E_POINTER;
  return Guard([&] { ThrowIfFailed(icon_.CopyTo(icon)); });
}

STDMETHODIMP Form::get_WindowState(SHORT* state) {
  ClearOutParameters(state);
  if (!state) return E_POINTER;
  return Guard([&] { *state = CurrentWindowState(); });
}

STDMETHODIMP Form::put_WindowState(SHORT state) {
  return Guard([&] { SetWindowState(state); });
}

HRESULT Form::GetOuterBound(double OuterTwips::*bound, FLOAT* value) {
  ClearOutParameters(value);
  if (!value) return E_POINTER;
  return Guard([&] { *value = static_cast<FLOAT>(OuterBounds().*bound); });
}

HRESULT Form::PutOuterBound(double OuterTwips::*bound, FLOAT value) {
  return Guard([&] {
    OuterTwips bounds = OuterBounds();
    bounds.*bound = value;
    SetOuterBounds(bounds);
  });
}

STDMETHODIMP Form::get_Left(FLOAT* left) { return GetOuterBound(&OuterTwips::left, left); }
STDMETHODIMP Form::put_Left(FLOAT left) { return PutOuterBound(&OuterTwips::left, left); }
STDMETHODIMP Form::get_Top(FLOAT* top) { return GetOuterBound(&OuterTwips::top, top); }
STDMETHODIMP Form::put_Top(FLOAT top) { return PutOuterBound(&OuterTwips::top, top); }
STDMETHODIMP Form::get_Width(FLOAT* width) { return GetOuterBound(&OuterTwips::width, width); }
STDMETHODIMP Form::put_Width(FLOAT width) { return PutOuterBound(&OuterTwips::width, width); }
STDMETHODIMP Form::get_Height(FLOAT* height) { return GetOuterBound(&OuterTwips::height, height); }
STDMETHODIMP Form::put_Height(FLOAT height) { return PutOuterBound(&OuterTwips::height, height); }

STDMETHODIMP Form::Move(FLOAT left, VARIANT top, VARIANT width, VARIANT height) {
  return Guard([&] {
    OuterTwips bounds = OuterBounds();
    SetOuterBounds({left, OptionalTwips(top, bounds.top), OptionalTwips(width, bounds.width),
                    OptionalTwips(height, bounds.height)});
  });
}

STDMETHODIMP Form::PopupMenu(VARIANT menu) {
  return Guard([&] { ShowPopupMenu(menu); });
}

}  // namespace formsrt
