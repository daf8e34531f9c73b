#include "CountingSeam.h"

#include <memory>
#include <set>
#include <tuple>
#include <utility>

namespace soak {

namespace {

using TimerKey = std::pair<HWND, UINT_PTR>;
using SubclassKey = std::tuple<HWND, SUBCLASSPROC, UINT_PTR>;
using TrayIconKey = std::pair<HWND, UINT>;

// The seam as it was before counting began: the functions the wrappers call.
struct RealPlatform {
  formsrt::User32Api user32;
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

}  // namespace

CountingSeam::CountingSeam()
    : user32_(formsrt::User32()),
      shell32_(formsrt::Shell32()),
      kernel32_(formsrt::Kernel32()),
      winmm_(formsrt::Winmm()),
      comctl32_(formsrt::Comctl32()) {
  ledger = std::make_unique<Ledger>();
  ledger->real = {formsrt::User32(), formsrt::Shell32(), formsrt::Kernel32(), formsrt::Winmm(),
                  formsrt::Comctl32()};
  user32_->CreateWindowExW = CountingCreateWindowExW;
  user32_->DestroyWindow = CountingDestroyWindow;
  user32_->SetTimer = CountingSetTimer;
  user32_->KillTimer = CountingKillTimer;
  user32_->MessageBoxW = FakeMessageBoxW;
  user32_->SetCursorPos = FakeSetCursorPos;
  user32_->SystemParametersInfoA = GuardedSystemParametersInfoA;
  user32_->SendMessageA = GuardedSendMessageA;
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
