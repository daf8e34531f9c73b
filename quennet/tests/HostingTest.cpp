// QuennetCtl in outside containers, through the registered Quennet.ocx: the
// platform's ATL host window, and a VBScript and a JScript under cscript.exe.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "ProcessRunner.h"
#include "Quennet.h"
#include "TestDoubles.h"
#include "core/Bstr.h"
#include "com/ComPtr.h"

using formsrt::Bstr;
using formsrt::ComPtr;

namespace {

// The platform's atl.dll, loaded at run time: MinGW has no header for it,
// and an import library for the 64-bit target only. It stays loaded: the
// window class it registers lives as long as the process.
class AtlHost {
 public:
  AtlHost() : library_(::LoadLibraryW(L"atl.dll")) {}

  BOOL WinInit() const { return Entry<BOOL(WINAPI*)()>("AtlAxWinInit")(); }
  HRESULT CreateControlEx(LPCOLESTR name, HWND window, IStream* stream, IUnknown** container,
                          IUnknown** control) const {
    using Function =
        HRESULT(WINAPI*)(LPCOLESTR, HWND, IStream*, IUnknown**, IUnknown**, REFIID, IUnknown*);
    return Entry<Function>("AtlAxCreateControlEx")(name, window, stream, container, control,
                                                   IID_NULL, nullptr);
  }
  HRESULT GetControl(HWND window, IUnknown** control) const {
    return Entry<HRESULT(WINAPI*)(HWND, IUnknown**)>("AtlAxGetControl")(window, control);
  }

 private:
  template <class Function>
  Function Entry(const char* name) const {
    return reinterpret_cast<Function>(reinterpret_cast<void*>(::GetProcAddress(library_, name)));
  }

  HMODULE library_;
};

HWND NewHostWindow(const wchar_t* controlName) {
  return ::CreateWindowExW(0, L"AtlAxWin", controlName, WS_POPUP | WS_VISIBLE, 10, 10, 200, 150,
                           nullptr, nullptr, ::GetModuleHandleW(nullptr), nullptr);
}

HWND ControlWindowOf(IUnknown* control) {
  ComPtr<IOleInPlaceObject> inPlace;
  EXPECT_EQ(S_OK, control->QueryInterface(IID_IOleInPlaceObject, inPlace.PutVoid()));
  HWND window = nullptr;
  if (inPlace) {
    EXPECT_EQ(S_OK, inPlace->GetWindow(&window));
  }
  return window;
}

std::wstring Tip(IUnknown* control) {
  ComPtr<_QuennetCtl> quennet;
  EXPECT_EQ(S_OK, control->QueryInterface(IID__QuennetCtl, quennet.PutVoid()));
  Bstr tip;
  if (quennet) quennet->get_STxTrayTTT(tip.Put());
  return tip.Str();
}

HRESULT CanUnloadQuennet() {
  HMODULE library = ::GetModuleHandleW(L"Quennet.ocx");
  if (!library) return S_OK;
  auto canUnload = reinterpret_cast<HRESULT(WINAPI*)()>(
      reinterpret_cast<void*>(::GetProcAddress(library, "DllCanUnloadNow")));
  return canUnload();
}

}  // namespace

TEST(Hosting, AtlHostCreatesActivatesSavesAndDestroysTheControl) {
  AtlHost atl;
  ASSERT_TRUE(atl.WinInit());
  HWND host = NewHostWindow(L"Quennet.QuennetCtl");
  ASSERT_NE(nullptr, host);
  ComPtr<IUnknown> control;
  ASSERT_EQ(S_OK, atl.GetControl(host, control.Put()));

  // Initialised as a new instance, and active in place inside the host window.
  EXPECT_EQ(L"SystemTrayIcon", Tip(control.Get()));
  HWND window = ControlWindowOf(control.Get());
  EXPECT_EQ(host, ::GetParent(window));
  EXPECT_TRUE(::IsWindowVisible(window));

  // Saved, and loaded into a second host.
  auto quennet = quennet_test::As<_QuennetCtl>(control);
  ASSERT_EQ(S_OK, quennet->put_STxTrayTTT(Bstr(L"hosted tip").Get()));
  auto persist = quennet_test::As<IPersistStreamInit>(control);
  ComPtr<IStream> stream;
  ASSERT_EQ(S_OK, ::CreateStreamOnHGlobal(nullptr, TRUE, stream.Put()));
  ASSERT_EQ(S_OK, persist->Save(stream.Get(), TRUE));
  LARGE_INTEGER start{};
  stream->Seek(start, STREAM_SEEK_SET, nullptr);

  HWND secondHost = NewHostWindow(L"");
  ComPtr<IUnknown> container, reloaded;
  ASSERT_EQ(S_OK, atl.CreateControlEx(L"Quennet.QuennetCtl", secondHost, stream.Get(),
                                      container.Put(), reloaded.Put()));
  EXPECT_EQ(L"hosted tip", Tip(reloaded.Get()));

  // Destroyed with its host windows: the windows go, and once the last
  // client reference is released no object of the library remains.
  ::DestroyWindow(host);
  ::DestroyWindow(secondHost);
  quennet.Reset();
  persist.Reset();
  control.Reset();
  reloaded.Reset();
  container.Reset();
  EXPECT_FALSE(::IsWindow(window));
  EXPECT_EQ(S_OK, CanUnloadQuennet());
}

TEST(Hosting, VbscriptCreatesTheControlWithoutAContainer) {
  std::wstring script = testing_support::WriteTempFile(
      L"quennet_client.vbs",
      "Set c = CreateObject(\"Quennet.QuennetCtl\")\r\n"
      "WScript.Echo \"defaults \" & c.QuietErrors & \" \" & c.STxMenu & \" \" & c.STxTrayTTT\r\n"
      "s = \"Hello hello\"\r\n"
      "f = \"HELLO\"\r\n"
      "r = \"Bye\"\r\n"
      "WScript.Echo \"all \" & c.FCxFindReplaceAll(s, f, r) & \" / \" & s\r\n"
      "WScript.Echo \"first \" & c.FCxFindReplace1st(s, f, r)\r\n"
      "c.STxTrayTTT = \"\"\r\n"
      "WScript.Echo \"tip [\" & c.STxTrayTTT & \"]\"\r\n"
      "On Error Resume Next\r\n"
      "c.FCxCenterForm s\r\n"
      "WScript.Echo \"centre \" & Err.Number\r\n");
  testing_support::ProcessResult run =
      testing_support::RunProcess(L"cscript.exe //nologo \"" + script + L"\"");
  ASSERT_FALSE(run.timedOut);
  for (const char* line : {"defaults False True SystemTrayIcon", "all Bye Bye / Hello hello",
                           "first Bye hello", "tip []", "centre 424"}) {
    EXPECT_NE(std::string::npos, run.output.find(line)) << line << " in " << run.output;
  }
}

namespace {

std::vector<WPARAM> g_systemCommands;

// A form's window that records the system commands it is sent instead of
// running them (a caption move would wait for the mouse).
LRESULT CALLBACK RecordSystemCommands(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam) {
  if (message == WM_SYSCOMMAND) {
    g_systemCommands.push_back(wParam);
    return 0;
  }
  return ::DefWindowProcW(hwnd, message, wParam, lParam);
}

HWND NewScriptFormWindow() {
  WNDCLASSW windowClass{};
  windowClass.lpfnWndProc = RecordSystemCommands;
  windowClass.hInstance = ::GetModuleHandleW(nullptr);
  windowClass.lpszClassName = L"QuennetTestScriptFormWindow";
  ::RegisterClassW(&windowClass);  // fails harmlessly once registered
  return ::CreateWindowExW(0, windowClass.lpszClassName, L"JScript form", WS_OVERLAPPEDWINDOW | WS_VISIBLE,
                           40, 40, 300, 200, nullptr, nullptr, windowClass.hInstance, nullptr);
}

}  // namespace

// A JScript object is a case-sensitive IDispatchEx: the form members are
// found by their documented names all the same. Each member that takes a
// form reaches the window the script's "hWnd" names (placed by the control
// in the script's process); the last, topmost, shows that each one did.
TEST(Hosting, AJscriptObjectIsAFormForTheTrayAndThePlacementMembers) {
  HWND window = NewScriptFormWindow();
  ASSERT_TRUE(window);
  HICON icon = ::LoadIconW(nullptr, IDI_INFORMATION);
  std::wstring script = testing_support::WriteTempFile(
      L"quennet_client.js",
      "var c = new ActiveXObject('Quennet.QuennetCtl');\r\n"
      "var form = {hWnd: Number(WScript.Arguments(0)), Icon: Number(WScript.Arguments(1)),\r\n"
      "            WindowState: 0, Width: 4800, Height: 3600,\r\n"
      "            Move: function (left, top) {}, PopupMenu: function (menu) {}};\r\n"
      "var menu = {};\r\n"
      "function report(name, call) {\r\n"
      "  try { call(); WScript.Echo(name + ' 0'); }\r\n"
      "  catch (e) { WScript.Echo(name + ' ' + (e.number & 0xFFFF)); }\r\n"
      "}\r\n"
      "report('load', function () { c.STxLoadIcon(form, menu); });\r\n"
      "report('flash', function () { c.FCxFlashWindow(form); });\r\n"
      "report('stop', function () { c.FCxStopFlashWindow(); });\r\n"
      "report('no form', function () { c.FCxFlashWindow(menu); });\r\n"
      "report('normal', function () { c.FCxMakeNormal(form); });\r\n"
      "report('transparent', function () { c.FCxTransparent(form); });\r\n"
      "report('move', function () { c.FCxAltMove(form); });\r\n"
      "report('top', function () { c.FCxMakeTop(form); });\r\n"
      "report('clear', function () { c.STxClearIcon(); });\r\n");
  g_systemCommands.clear();
  testing_support::ProcessResult run = testing_support::RunProcess(
      L"cscript.exe //nologo \"" + script + L"\" " + std::to_wstring(HandleToLong(window)) + L" " +
          std::to_wstring(HandleToLong(icon)),
      60000, true);
  ASSERT_FALSE(run.timedOut);
  EXPECT_EQ("load 0\r\nflash 0\r\nstop 0\r\nno form 13\r\nnormal 0\r\ntransparent 0\r\n"
            "move 0\r\ntop 0\r\nclear 0\r\n",
            run.output);
  // The platform itself adds the edge of a window with a caption.
  EXPECT_EQ(static_cast<LONG>(WS_EX_TRANSPARENT | WS_EX_TOPMOST),
            ::GetWindowLongW(window, GWL_EXSTYLE) & ~WS_EX_WINDOWEDGE);
  EXPECT_EQ(std::vector<WPARAM>{SC_MOVE | HTCAPTION}, g_systemCommands);
  ::DestroyWindow(window);
}
