#include "CountingSeam.h"

#include <map>
#include <memory>
#include <set>
#include <tuple>
#include <utility>

namespace soak {

namespace {

using TimerKey = std::pair<HWND, UINT_PTR>;
using SubclassKey = std::tuple<HWND, SUBCLASSPROC, UINT_PTR>;
using TrayIconKey = std::pair<HWND, UINT>;
using SelectionKey = std::pair<HDC, DWORD>;  // a context and a kind of object (OBJ_FONT, ...)

// The seam as it was before counting began: the functions the wrappers call.
struct RealPlatform {
  formsrt::User32Api user32;
  formsrt::Gdi32Api gdi32;
  formsrt::Shell32Api shell32;
  formsrt::Kernel32Api kernel32;
  formsrt::WinmmApi winmm;
  formsrt::Comctl32Api comctl32;
};

struct Ledger {
  RealPlatform real;
  SeamCounts counts;
  std::set<HWND> windows;
  std::set<TimerKey> timers;
  std::set<SubclassKey> subclasses;
  std::set<TrayIconKey> trayIcons;
  std::set<HANDLE> startHandles;
  std::set<HGDIOBJ> fonts;
  std::set<HGDIOBJ> bitmaps;
  std::set<HICON> icons;
  // The object that a context held before its first selection of each kind.
  std::map<SelectionKey, HGDIOBJ> originalSelections;
  HMIXER sharedMixer = nullptr;
};

std::unique_ptr<Ledger> ledger;

void Acquire(Tally& tally) { ++tally.acquired; }
void Release(Tally& tally) { ++tally.released; }

// Takes out of `held` what satisfies `ended`, counting each as released.
template <class Key, class Ended>
void ReleaseEnded(std::set<Key>& held, Tally& tally, Ended ended) {
  for (auto it = held.begin(); it != held.end();) {
    if (ended(*it)) {
      it = held.erase(it);
      Release(tally);
    } else {
      ++it;
    }
  }
}

bool WindowGone(HWND window) { return window && !::IsWindow(window); }

HWND WINAPI CountingCreateWindowExW(DWORD exStyle, LPCWSTR className, LPCWSTR text, DWORD style,
                                    int x, int y, int width, int height, HWND parent, HMENU menu,
                                    HINSTANCE instance, LPVOID parameter) {
  HWND window = ledger->real.user32.CreateWindowExW(exStyle, className, text, style, x, y, width,
                                                    height, parent, menu, instance, parameter);
  if (!window) return window;
  Acquire(ledger->counts.windows);
  // The same handle again: the window it named ended without DestroyWindow.
  if (!ledger->windows.insert(window).second) Release(ledger->counts.windows);
  return window;
}

BOOL WINAPI CountingDestroyWindow(HWND window) {
  BOOL destroyed = ledger->real.user32.DestroyWindow(window);
  if (destroyed && ledger->windows.erase(window)) Release(ledger->counts.windows);
  return destroyed;
}

UINT_PTR WINAPI CountingSetTimer(HWND window, UINT_PTR id, UINT elapse, TIMERPROC procedure) {
  UINT_PTR started = ledger->real.user32.SetTimer(window, id, elapse, procedure);
  // A window's timer is named by its id; a thread timer by what SetTimer returned.
  if (started && ledger->timers.insert({window, window ? id : started}).second) {
    Acquire(ledger->counts.timers);
  }
  return started;
}

BOOL WINAPI CountingKillTimer(HWND window, UINT_PTR id) {
  BOOL killed = ledger->real.user32.KillTimer(window, id);
  if (killed && ledger->timers.erase({window, id})) Release(ledger->counts.timers);
  return killed;
}

int WINAPI FakeMessageBoxW(HWND, LPCWSTR, LPCWSTR, UINT) {
  ++ledger->counts.fakedCalls;
  return IDOK;
}

BOOL WINAPI FakeSetCursorPos(int, int) {
  ++ledger->counts.fakedCalls;
  return TRUE;
}

BOOL WINAPI GuardedSystemParametersInfoA(UINT action, UINT number, PVOID value, UINT flags) {
  if (action != SPI_SETDESKWALLPAPER) {
    return ledger->real.user32.SystemParametersInfoA(action, number, value, flags);
  }
  ++ledger->counts.fakedCalls;
  return TRUE;
}

// The caption move command starts the platform's modal move loop, which
// follows the real mouse; arranging icons changes the desktop.
LRESULT WINAPI GuardedSendMessageA(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
  bool moveLoop = message == WM_SYSCOMMAND && (wParam & 0xFFF0) == SC_MOVE;
  bool arrangeIcons = message == LVM_ARRANGE;
  if (!moveLoop && !arrangeIcons) {
    return ledger->real.user32.SendMessageA(window, message, wParam, lParam);
  }
  ++ledger->counts.fakedCalls;
  return 0;
}

BOOL WINAPI CountingShellNotifyIconA(DWORD message, PNOTIFYICONDATAA data) {
  BOOL done = ledger->real.shell32.Shell_NotifyIconA(message, data);
  if (!done || !data) return done;
  TrayIconKey key{data->hWnd, data->uID};
  if (message == NIM_ADD && ledger->trayIcons.insert(key).second) Acquire(ledger->counts.trayIcons);
  if (message == NIM_DELETE && ledger->trayIcons.erase(key)) Release(ledger->counts.trayIcons);
  return done;
}

HINSTANCE WINAPI FakeShellExecuteW(HWND, LPCWSTR, LPCWSTR, LPCWSTR, LPCWSTR, INT) {
  ++ledger->counts.fakedCalls;
  return reinterpret_cast<HINSTANCE>(static_cast<INT_PTR>(42));  // above 32: success
}

HANDLE NewStartHandle() {
  HANDLE handle = ::CreateEventW(nullptr, TRUE, TRUE, nullptr);
  if (handle) {
    ledger->startHandles.insert(handle);
    Acquire(ledger->counts.kernelHandles);
  }
  return handle;
}

BOOL WINAPI FakeCreateProcessW(LPCWSTR, LPWSTR, LPSECURITY_ATTRIBUTES, LPSECURITY_ATTRIBUTES, BOOL,
                               DWORD, LPVOID, LPCWSTR, LPSTARTUPINFOW,
                               LPPROCESS_INFORMATION process) {
  ++ledger->counts.fakedCalls;
  process->hProcess = NewStartHandle();
  process->hThread = NewStartHandle();
  process->dwProcessId = 4242;
  process->dwThreadId = 4243;
  return TRUE;
}

BOOL WINAPI CountingCloseHandle(HANDLE handle) {
  BOOL closed = ledger->real.kernel32.CloseHandle(handle);
  if (closed && ledger->startHandles.erase(handle)) Release(ledger->counts.kernelHandles);
  return closed;
}

HGLOBAL WINAPI CountingGlobalAlloc(UINT flags, SIZE_T size) {
  HGLOBAL block = ledger->real.kernel32.GlobalAlloc(flags, size);
  if (block) Acquire(ledger->counts.globalBlocks);
  return block;
}

HGLOBAL WINAPI CountingGlobalFree(HGLOBAL block) {
  HGLOBAL failed = ledger->real.kernel32.GlobalFree(block);
  if (block && !failed) Release(ledger->counts.globalBlocks);
  return failed;
}

MMRESULT WINAPI CountingMixerOpen(LPHMIXER mixer, UINT device, DWORD_PTR callback,
                                  DWORD_PTR instance, DWORD flags) {
  if (!ledger->sharedMixer) {
    MMRESULT status =
        ledger->real.winmm.mixerOpen(&ledger->sharedMixer, device, callback, instance, flags);
    if (status != MMSYSERR_NOERROR) return status;
  }
  *mixer = ledger->sharedMixer;
  Acquire(ledger->counts.mixerHandles);
  return MMSYSERR_NOERROR;
}

MMRESULT WINAPI CountingMixerClose(HMIXER mixer) {
  if (!mixer || mixer != ledger->sharedMixer) return MMSYSERR_INVALHANDLE;
  Release(ledger->counts.mixerHandles);
  return MMSYSERR_NOERROR;
}

BOOL WINAPI CountingSetWindowSubclass(HWND window, SUBCLASSPROC procedure, UINT_PTR id,
                                      DWORD_PTR data) {
  BOOL done = ledger->real.comctl32.SetWindowSubclass(window, procedure, id, data);
  if (done && ledger->subclasses.insert({window, procedure, id}).second) {
    Acquire(ledger->counts.subclasses);
  }
  return done;
}

BOOL WINAPI CountingRemoveWindowSubclass(HWND window, SUBCLASSPROC procedure, UINT_PTR id) {
  BOOL done = ledger->real.comctl32.RemoveWindowSubclass(window, procedure, id);
  if (done && ledger->subclasses.erase({window, procedure, id})) Release(ledger->counts.subclasses);
  return done;
}

// Device contexts: every one acquired must be given back; the handles are
// the platform's to reuse, so only the numbers are compared. A call that
// succeeded counts.
template <class Result>
Result CountedContext(Result result, void (*count)(Tally&)) {
  if (result) count(ledger->counts.deviceContexts);
  return result;
}

HDC WINAPI CountingGetDC(HWND window) {
  return CountedContext(ledger->real.user32.GetDC(window), Acquire);
}

int WINAPI CountingReleaseDC(HWND window, HDC dc) {
  return CountedContext(ledger->real.user32.ReleaseDC(window, dc), Release);
}

HDC WINAPI CountingBeginPaint(HWND window, LPPAINTSTRUCT paint) {
  return CountedContext(ledger->real.user32.BeginPaint(window, paint), Acquire);
}

BOOL WINAPI CountingEndPaint(HWND window, const PAINTSTRUCT* paint) {
  return CountedContext(ledger->real.user32.EndPaint(window, paint), Release);
}

HDC WINAPI CountingCreateCompatibleDC(HDC like) {
  return CountedContext(ledger->real.gdi32.CreateCompatibleDC(like), Acquire);
}

BOOL WINAPI CountingDeleteDC(HDC dc) {
  return CountedContext(ledger->real.gdi32.DeleteDC(dc), Release);
}

// A selection is held from the first object of a kind selected into a
// context until the object it replaced is selected back.
HGDIOBJ WINAPI CountingSelectObject(HDC dc, HGDIOBJ object) {
  HGDIOBJ previous = ledger->real.gdi32.SelectObject(dc, object);
  if (!previous || previous == HGDI_ERROR) return previous;
  SelectionKey key{dc, ::GetObjectType(object)};
  auto original = ledger->originalSelections.find(key);
  if (original == ledger->originalSelections.end()) {
    ledger->originalSelections.emplace(key, previous);
    Acquire(ledger->counts.selections);
  } else if (original->second == object) {
    ledger->originalSelections.erase(original);
    Release(ledger->counts.selections);
  }
  return previous;
}

HFONT WINAPI CountingCreateFontW(int height, int width, int escapement, int orientation,
                                 int weight, DWORD italic, DWORD underline, DWORD strikeOut,
                                 DWORD charSet, DWORD precision, DWORD clipPrecision,
                                 DWORD quality, DWORD pitchAndFamily, LPCWSTR face) {
  HFONT font = ledger->real.gdi32.CreateFontW(height, width, escapement, orientation, weight,
                                              italic, underline, strikeOut, charSet, precision,
                                              clipPrecision, quality, pitchAndFamily, face);
  if (font && ledger->fonts.insert(font).second) Acquire(ledger->counts.fonts);
  return font;
}

BOOL WINAPI CountingDeleteObject(HGDIOBJ object) {
  BOOL deleted = ledger->real.gdi32.DeleteObject(object);
  if (!deleted) return deleted;
  if (ledger->fonts.erase(object)) Release(ledger->counts.fonts);
  if (ledger->bitmaps.erase(object)) Release(ledger->counts.bitmaps);
  return deleted;
}

HANDLE WINAPI CountingLoadImageW(HINSTANCE module, LPCWSTR name, UINT type, int width, int height,
                                 UINT flags) {
  HANDLE image = ledger->real.user32.LoadImageW(module, name, type, width, height, flags);
  if (!image || (flags & LR_SHARED)) return image;  // a shared image is never destroyed
  if (type == IMAGE_BITMAP && ledger->bitmaps.insert(image).second) {
    Acquire(ledger->counts.bitmaps);
  }
  if (type == IMAGE_ICON && ledger->icons.insert(static_cast<HICON>(image)).second) {
    Acquire(ledger->counts.icons);
  }
  return image;
}

BOOL WINAPI CountingDestroyIcon(HICON icon) {
  BOOL destroyed = ledger->real.user32.DestroyIcon(icon);
  if (destroyed && ledger->icons.erase(icon)) Release(ledger->counts.icons);
  return destroyed;
}

}  // namespace

CountingSeam::CountingSeam()
    : user32_(formsrt::User32()),
      gdi32_(formsrt::Gdi32()),
      shell32_(formsrt::Shell32()),
      kernel32_(formsrt::Kernel32()),
      winmm_(formsrt::Winmm()),
      comctl32_(formsrt::Comctl32()) {
  ledger = std::make_unique<Ledger>();
  ledger->real = {formsrt::User32(), formsrt::Gdi32(), formsrt::Shell32(), formsrt::Kernel32(), formsrt::Winmm(),
                  formsrt::Comctl32()};
  user32_->CreateWindowExW = CountingCreateWindowExW;
  user32_->DestroyWindow = CountingDestroyWindow;
  user32_->SetTimer = CountingSetTimer;
  user32_->KillTimer = CountingKillTimer;
  user32_->MessageBoxW = FakeMessageBoxW;
  user32_->SetCursorPos = FakeSetCursorPos;
  user32_->SystemParametersInfoA = GuardedSystemParametersInfoA;
  user32_->SendMessageA = GuardedSendMessageA;
  user32_->GetDC = CountingGetDC;
  user32_->ReleaseDC = CountingReleaseDC;
  user32_->BeginPaint = CountingBeginPaint;
  user32_->EndPaint = CountingEndPaint;
  user32_->LoadImageW = CountingLoadImageW;
  user32_->DestroyIcon = CountingDestroyIcon;
  gdi32_->CreateCompatibleDC = CountingCreateCompatibleDC;
  gdi32_->DeleteDC = CountingDeleteDC;
  gdi32_->SelectObject = CountingSelectObject;
  gdi32_->CreateFontW = CountingCreateFontW;
  gdi32_->DeleteObject = CountingDeleteObject;
  shell32_->Shell_NotifyIconA = CountingShellNotifyIconA;
  shell32_->ShellExecuteW = FakeShellExecuteW;
  kernel32_->CreateProcessW = FakeCreateProcessW;
  kernel32_->CloseHandle = CountingCloseHandle;
  kernel32_->GlobalAlloc = CountingGlobalAlloc;
  kernel32_->GlobalFree = CountingGlobalFree;
  winmm_->mixerOpen = CountingMixerOpen;
  winmm_->mixerClose = CountingMixerClose;
  comctl32_->SetWindowSubclass = CountingSetWindowSubclass;
  comctl32_->RemoveWindowSubclass = CountingRemoveWindowSubclass;
}

CountingSeam::~CountingSeam() {
  if (ledger->sharedMixer) ledger->real.winmm.mixerClose(ledger->sharedMixer);
  ledger.reset();
}

SeamCounts CountingSeam::Read() {
  ReleaseEnded(ledger->windows, ledger->counts.windows, WindowGone);
  ReleaseEnded(ledger->timers, ledger->counts.timers,
               [](const TimerKey& timer) { return WindowGone(timer.first); });
  ReleaseEnded(ledger->subclasses, ledger->counts.subclasses,
               [](const SubclassKey& subclass) { return WindowGone(std::get<0>(subclass)); });
  return ledger->counts;
}

}  // namespace soak
