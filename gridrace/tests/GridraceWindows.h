// Gridrace.exe as a test drives it: started as a child process, its form and
// controls found by window class, the row box set with WM_SETTEXT, Test
// pressed with BM_CLICK, and the controls' contents read back through
// window messages (list view messages and the stand-ins' grid query).
#pragma once

#include <windows.h>

#include <string>
#include <vector>

namespace gridrace_tests {

class GridraceWindows {
 public:
  GridraceWindows();  // starts the program and waits for its form
  ~GridraceWindows();  // ends the program if it still runs
  GridraceWindows(const GridraceWindows&) = delete;
  GridraceWindows& operator=(const GridraceWindows&) = delete;

  void SetRowText(const std::wstring& text);
  // Presses Test and returns when the test run is over.
  void PressTest();
  // Presses Test without waiting: for a run that stops at a modal box.
  void PressTestWithoutWaiting();
  // Returns when every window of the form that a test left to be drawn
  // (the list view catches up with its content as it is drawn) has drawn
  // itself on the program's thread.
  void WaitUntilDrawn();

  std::wstring RowText() const;
  std::vector<std::wstring> LabelTexts() const;  // lblLvw, lblGrid, lblMSGrid

  int ListItemCount() const;    // LVM_GETITEMCOUNT
  int ListHeaderCount() const;  // the list view's header control

  enum class Grid { ListView, Cvnt, Flex };
  // The stand-ins' grid query: rows with the header row, columns, fixed rows.
  LONG Rows(Grid grid) const;
  LONG Columns(Grid grid) const;
  LONG FixedRows(Grid grid) const;
  std::wstring CellText(Grid grid, LONG row, LONG column) const;

  // The text of the modal box the program shows, once it shows one.
  std::wstring WaitForMessageBoxText(DWORD timeoutMs);
  void CloseMessageBox();
  // The form's window on the screen, in pixels.
  RECT FormBounds() const;
  // Closes the form as its close box does.
  void CloseForm();
  // Waits for the program to end and gives its exit status.
  DWORD WaitForExit(DWORD timeoutMs);

 private:
  HWND GridWindow(Grid grid) const;
  LONG Query(Grid grid, UINT question) const;  // a grid query's answer

  PROCESS_INFORMATION process_{};
  HWND form_ = nullptr;
  HWND rows_ = nullptr;
  HWND test_ = nullptr;
  std::vector<HWND> labels_;
  HWND listViewStandin_ = nullptr;
  HWND listView_ = nullptr;
  HWND cvntGrid_ = nullptr;
  HWND flexGrid_ = nullptr;
  HWND messageBox_ = nullptr;
  HWND answerWindow_ = nullptr;
};

}  // namespace gridrace_tests
