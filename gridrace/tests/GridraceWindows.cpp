#include "GridraceWindows.h"

#include <commctrl.h>

#include <algorithm>
#include <chrono>
#include <stdexcept>
#include <thread>

#include "GridQuery.h"
#include "ProcessRunner.h"
#include "WindowTree.h"

namespace gridrace_tests {

namespace {

using standins::GridCellAddress;
using namespace testing_support;

HWND WaitForTopLevel(DWORD processId, const wchar_t* className, DWORD timeoutMs) {
  auto deadline = std::chrono::steady_clock::now() + std::chrono::milliseconds(timeoutMs);
  while (std::chrono::steady_clock::now() < deadline) {
    std::vector<HWND> topLevel;
    ::EnumWindows(CollectWindow, reinterpret_cast<LPARAM>(&topLevel));
    for (HWND window : topLevel) {
      DWORD owner = 0;
      ::GetWindowThreadProcessId(window, &owner);
      if (owner == processId && ClassOf(window) == className && ::IsWindowVisible(window)) return window;
    }
    std::this_thread::sleep_for(std::chrono::milliseconds(100));
  }
  return nullptr;
}

// Receives the grid query's answers (WM_COPYDATA) on this thread.
std::wstring g_answer;

LRESULT CALLBACK ReceiveAnswer(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
  if (message == WM_COPYDATA) {
    const auto* data = reinterpret_cast<const COPYDATASTRUCT*>(lParam);
    if (data->dwData == standins::kGridCellTextAnswer) {
      g_answer.assign(static_cast<const wchar_t*>(data->lpData), data->cbData / sizeof(wchar_t));
      return TRUE;
    }
  }
  return ::DefWindowProcW(window, message, wParam, lParam);
}

HWND CreateAnswerWindow() {
  WNDCLASSW windowClass{};
  windowClass.lpfnWndProc = ReceiveAnswer;
  windowClass.hInstance = ::GetModuleHandleW(nullptr);
  windowClass.lpszClassName = L"GridraceTestAnswers";
  ::RegisterClassW(&windowClass);
  return ::CreateWindowExW(0, windowClass.lpszClassName, L"", 0, 0, 0, 0, 0, HWND_MESSAGE, nullptr,
                           windowClass.hInstance, nullptr);
}

}  // namespace

GridraceWindows::GridraceWindows() : answerWindow_(CreateAnswerWindow()) {
  std::wstring command = L"\"" + testing_support::ExecutableFolder() + L"..\\Gridrace.exe\"";
  STARTUPINFOW startup{};
  startup.cb = sizeof(startup);
  if (!::CreateProcessW(nullptr, command.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr,
                        &startup, &process_)) {
    throw std::runtime_error("cannot start Gridrace.exe");
  }
  form_ = WaitForTopLevel(process_.dwProcessId, L"FormsrtForm", 30000);
  if (!form_) throw std::runtime_error("Gridrace.exe showed no form");
  for (HWND child : Descendants(form_)) {
    std::wstring name = ClassOf(child);
    if (name == L"Edit") rows_ = child;
    if (name == L"Button") test_ = child;
    if (name == L"Static") labels_.push_back(child);
    if (name == standins::kListViewWindowClass) listViewStandin_ = child;
    if (name == L"SysListView32") listView_ = child;
    if (name == standins::kCvntGridWindowClass) cvntGrid_ = child;
    if (name == standins::kFlexGridWindowClass) flexGrid_ = child;
  }
  std::sort(labels_.begin(), labels_.end(), [](HWND a, HWND b) { return TopOf(a) < TopOf(b); });
  if (!rows_ || !test_ || labels_.size() != 3 || !listView_ || !cvntGrid_ || !flexGrid_) {
    throw std::runtime_error("Gridrace.exe's form lacks a control");
  }
}

GridraceWindows::~GridraceWindows() {
  if (::WaitForSingleObject(process_.hProcess, 0) == WAIT_TIMEOUT) {
    ::TerminateProcess(process_.hProcess, 99);
    ::WaitForSingleObject(process_.hProcess, 5000);
  }
  ::CloseHandle(process_.hThread);
  ::CloseHandle(process_.hProcess);
  if (answerWindow_) ::DestroyWindow(answerWindow_);
}

void GridraceWindows::SetRowText(const std::wstring& text) {
  ::SendMessageW(rows_, WM_SETTEXT, 0, reinterpret_cast<LPARAM>(text.c_str()));
}

void GridraceWindows::PressTest() {
  DWORD_PTR ignored = 0;
  if (!::SendMessageTimeoutW(test_, BM_CLICK, 0, 0, SMTO_NORMAL, 240000, &ignored)) {
    throw std::runtime_error("the test run did not end");
  }
}

void GridraceWindows::PressTestWithoutWaiting() { ::PostMessageW(test_, BM_CLICK, 0, 0); }

// RDW_UPDATENOW on another process's windows sends each of them WM_PAINT,
// which waits for the program to handle it.
void GridraceWindows::WaitUntilDrawn() {
  ::RedrawWindow(form_, nullptr, nullptr, RDW_UPDATENOW | RDW_ALLCHILDREN);
}

std::wstring GridraceWindows::RowText() const { return TextOf(rows_); }

std::vector<std::wstring> GridraceWindows::LabelTexts() const {
  std::vector<std::wstring> texts;
  for (HWND label : labels_) texts.push_back(TextOf(label));
  return texts;
}

int GridraceWindows::ListItemCount() const {
  return static_cast<int>(::SendMessageW(listView_, LVM_GETITEMCOUNT, 0, 0));
}

int GridraceWindows::ListHeaderCount() const {
  auto header = reinterpret_cast<HWND>(::SendMessageW(listView_, LVM_GETHEADER, 0, 0));
  return static_cast<int>(::SendMessageW(header, HDM_GETITEMCOUNT, 0, 0));
}

HWND GridraceWindows::GridWindow(Grid grid) const {
  switch (grid) {
    case Grid::ListView: return listViewStandin_;
    case Grid::Cvnt: return cvntGrid_;
    default: return flexGrid_;
  }
}

LONG GridraceWindows::Query(Grid grid, UINT question) const {
  return static_cast<LONG>(::SendMessageW(GridWindow(grid), question, 0, 0));
}

LONG GridraceWindows::Rows(Grid grid) const { return Query(grid, standins::kGridQueryRowCount); }
LONG GridraceWindows::Columns(Grid grid) const { return Query(grid, standins::kGridQueryColumnCount); }
LONG GridraceWindows::FixedRows(Grid grid) const { return Query(grid, standins::kGridQueryFixedRows); }

std::wstring GridraceWindows::CellText(Grid grid, LONG row, LONG column) const {
  GridCellAddress address{row, column};
  COPYDATASTRUCT request{standins::kGridCellTextRequest, sizeof(address), &address};
  g_answer = L"<no answer>";
  LRESULT found = ::SendMessageW(GridWindow(grid), WM_COPYDATA,
                                 reinterpret_cast<WPARAM>(answerWindow_),
                                 reinterpret_cast<LPARAM>(&request));
  return found ? g_answer : L"<outside the grid>";
}

std::wstring GridraceWindows::WaitForMessageBoxText(DWORD timeoutMs) {
  messageBox_ = WaitForTopLevel(process_.dwProcessId, L"#32770", timeoutMs);
  if (!messageBox_) return L"<no message box>";
  std::wstring text;
  for (HWND child : Descendants(messageBox_)) {
    if (ClassOf(child) == L"Static") text += TextOf(child);
  }
  return text;
}

void GridraceWindows::CloseMessageBox() {
  ::PostMessageW(messageBox_, WM_COMMAND, IDOK, 0);
}

RECT GridraceWindows::FormBounds() const {
  RECT bounds{};
  ::GetWindowRect(form_, &bounds);
  return bounds;
}

void GridraceWindows::CloseForm() { ::PostMessageW(form_, WM_CLOSE, 0, 0); }

DWORD GridraceWindows::WaitForExit(DWORD timeoutMs) {
  if (::WaitForSingleObject(process_.hProcess, timeoutMs) != WAIT_OBJECT_0) return STILL_ACTIVE;
  DWORD status = 0;
  ::GetExitCodeProcess(process_.hProcess, &status);
  return status;
}

}  // namespace gridrace_tests
