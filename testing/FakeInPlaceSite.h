// A container's site for one control that can be activated in place in a
// given window: it records the notifications it gets ("activate", "ui
// activate", "ui deactivate", "deactivate", "save"), can refuse the
// activation or fail to give its window context, places the control at
// `position`, and offers `ambientFont` as its ambient font when one is set
// (or else `ambientFontName`, a text, as some hosts give).
// A test can make it call back into the control as a container may: from a
// notification (`onNote`, given the note) or once from its next release
// (`onRelease`). Its frame records the active objects it is given. Both count the
// references that others take on them and live on the test's stack.
#pragma once

#include <windows.h>
#include <ocidl.h>
#include <olectl.h>

#include <functional>
#include <string>
#include <utility>
#include <vector>

#include "com/ComPtr.h"
#include "container/MenulessFrame.h"

namespace testing_support {

class FakeFrame : public formsrt::MenulessFrame {
 public:
  STDMETHODIMP QueryInterface(REFIID iid, void** out) override;
  STDMETHODIMP_(ULONG) AddRef() override { return ++references; }
  STDMETHODIMP_(ULONG) Release() override { return --references; }

  STDMETHODIMP GetWindow(HWND*) override { return E_NOTIMPL; }
  STDMETHODIMP ContextSensitiveHelp(BOOL) override { return E_NOTIMPL; }
  STDMETHODIMP SetActiveObject(IOleInPlaceActiveObject* active, LPCOLESTR) override {
    activeObjects.push_back(active);
    return S_OK;
  }

  ULONG references = 1;
  std::vector<IOleInPlaceActiveObject*> activeObjects;  // null: none active
};

class FakeInPlaceSite : public IOleClientSite, public IOleInPlaceSite, public IDispatch {
 public:
  explicit FakeInPlaceSite(HWND window) : window_(window) {}

  STDMETHODIMP QueryInterface(REFIID iid, void** out) override;
  STDMETHODIMP_(ULONG) AddRef() override { return ++references; }
  STDMETHODIMP_(ULONG) Release() override {
    ULONG remaining = --references;
    if (auto callBack = std::exchange(onRelease, nullptr)) callBack();
    return remaining;
  }

  STDMETHODIMP SaveObject() override { return Note(L"save"); }
  STDMETHODIMP GetMoniker(DWORD, DWORD, IMoniker**) override { return E_NOTIMPL; }
  STDMETHODIMP GetContainer(IOleContainer**) override { return E_NOINTERFACE; }
  STDMETHODIMP ShowObject() override { return S_OK; }
  STDMETHODIMP OnShowWindow(BOOL) override { return S_OK; }
  STDMETHODIMP RequestNewObjectLayout() override { return E_NOTIMPL; }

  STDMETHODIMP GetWindow(HWND* window) override {
    *window = window_;
    return S_OK;
  }
  STDMETHODIMP ContextSensitiveHelp(BOOL) override { return E_NOTIMPL; }
  STDMETHODIMP CanInPlaceActivate() override { return canActivateResult; }
  STDMETHODIMP OnInPlaceActivate() override {
    Note(L"activate");
    return activateResult;
  }
  STDMETHODIMP OnUIActivate() override { return Note(L"ui activate"); }
  STDMETHODIMP GetWindowContext(IOleInPlaceFrame** frame, IOleInPlaceUIWindow** document,
                                LPRECT position, LPRECT clip, LPOLEINPLACEFRAMEINFO) override;
  STDMETHODIMP Scroll(SIZE) override { return E_NOTIMPL; }
  STDMETHODIMP OnUIDeactivate(BOOL) override { return Note(L"ui deactivate"); }
  STDMETHODIMP OnInPlaceDeactivate() override { return Note(L"deactivate"); }
  STDMETHODIMP DiscardUndoState() override { return E_NOTIMPL; }
  STDMETHODIMP DeactivateAndUndo() override { return E_NOTIMPL; }
  STDMETHODIMP OnPosRectChange(LPCRECT) override { return E_NOTIMPL; }

  // IDispatch: the ambient properties; only the font, when set.
  STDMETHODIMP GetTypeInfoCount(UINT* count) override {
    *count = 0;
    return S_OK;
  }
  STDMETHODIMP GetTypeInfo(UINT, LCID, ITypeInfo**) override { return E_NOTIMPL; }
  STDMETHODIMP GetIDsOfNames(REFIID, LPOLESTR*, UINT, LCID, DISPID*) override { return E_NOTIMPL; }
  STDMETHODIMP Invoke(DISPID id, REFIID, LCID, WORD, DISPPARAMS*, VARIANT* result, EXCEPINFO*,
                      UINT*) override;

  ULONG references = 1;
  std::vector<std::wstring> notes;
  HRESULT canActivateResult = S_OK;    // what CanInPlaceActivate answers
  HRESULT activateResult = S_OK;       // what OnInPlaceActivate answers
  HRESULT windowContextResult = S_OK;  // what GetWindowContext answers
  RECT position{5, 6, 53, 45};         // where the site places the control
  FakeFrame frame;
  formsrt::ComPtr<IFontDisp> ambientFont;
  std::wstring ambientFontName;
  std::function<void(const std::wstring& note)> onNote;
  std::function<void()> onRelease;

 private:
  HRESULT Note(const wchar_t* what) {
    notes.push_back(what);
    if (onNote) onNote(what);
    return S_OK;
  }
  HWND window_;
};

}  // namespace testing_support
