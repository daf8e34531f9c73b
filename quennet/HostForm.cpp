#include "HostForm.h"

#include "RuntimeForm.h"
#include "core/Conversions.h"
#include "com/LateBound.h"
#include "core/RuntimeError.h"

namespace quennet {

namespace {

using formsrt::Variant;

constexpr wchar_t kWindowHandle[] = L"hWnd";
constexpr wchar_t kIcon[] = L"Icon";
constexpr wchar_t kPopupMenu[] = L"PopupMenu";
constexpr wchar_t kWindowState[] = L"WindowState";
constexpr wchar_t kWidth[] = L"Width";
constexpr wchar_t kHeight[] = L"Height";
constexpr wchar_t kMove[] = L"Move";

bool IsFormOfTheHost(IDispatch* object) {
  formsrt::ComPtr<IRuntimeForm> runtimeForm;
  return SUCCEEDED(object->QueryInterface(IID_IRuntimeForm, runtimeForm.PutVoid())) ||
         formsrt::KnowsMember(object, kWindowHandle);
}

}  // namespace

HostForm HostForm::Of(const VARIANT& holder) { return HostForm(formsrt::RequireObject(holder)); }

HostForm HostForm::Require(const VARIANT& holder) {
  HostForm form = Of(holder);
  if (!IsFormOfTheHost(form.object_.Get())) formsrt::Raise(formsrt::error::TypeMismatch);
  return form;
}

HWND HostForm::WindowHandle() const {
  Variant handle = formsrt::GetProperty(object_.Get(), kWindowHandle);
  return static_cast<HWND>(LongToHandle(formsrt::ToInt32(handle.Get())));
}

// A picture converts to its handle through its default member.
HICON HostForm::IconHandle() const {
  Variant icon = formsrt::GetProperty(object_.Get(), kIcon);
  return static_cast<HICON>(LongToHandle(formsrt::ToInt32(icon.Get())));
}

void HostForm::PopupMenu(const VARIANT& menu) const {
  formsrt::CallMethod(object_.Get(), kPopupMenu, {menu});
}

long HostForm::WindowState() const {
  return formsrt::ToInt32(formsrt::GetProperty(object_.Get(), kWindowState).Get());
}

void HostForm::SetWindowState(short state) const {
  formsrt::PutProperty(object_.Get(), kWindowState, Variant::FromInt16(state).Get());
}

double HostForm::Width() const {
  return formsrt::ToDouble(formsrt::GetProperty(object_.Get(), kWidth).Get());
}

double HostForm::Height() const {
  return formsrt::ToDouble(formsrt::GetProperty(object_.Get(), kHeight).Get());
}

void HostForm::Move(short left, short top) const {
  VARIANT leftArgument;
  V_VT(&leftArgument) = VT_BYREF | VT_I2;
  V_I2REF(&leftArgument) = &left;
  VARIANT topArgument;
  V_VT(&topArgument) = VT_BYREF | VT_I2;
  V_I2REF(&topArgument) = &top;
  formsrt::CallMethod(object_.Get(), kMove, {leftArgument, topArgument});
}

}  // namespace quennet
