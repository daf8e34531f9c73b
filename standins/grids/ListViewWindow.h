// The window of the list view stand-in: the platform's list view in
// virtual report mode, filling its window and drawing the texts of a
// ListViewContent; the stand-in's own window around it answers the grid
// query and passes the list view's requests for text to the content.
#pragma once

#include <windows.h>
#include <commctrl.h>

#include "ListViewContent.h"
#include "forms/WindowClass.h"
#include "forms/WindowHandle.h"

namespace standins {

class ListViewWindow : private formsrt::MessageTarget {
 public:
  ListViewWindow(HWND parent, const RECT& bounds, ListViewContent& content);
  ~ListViewWindow();
  ListViewWindow(const ListViewWindow&) = delete;
  ListViewWindow& operator=(const ListViewWindow&) = delete;

  HWND Handle() const { return window_.Get(); }
  void SetFont(HFONT font);

 private:
  LRESULT HandleMessage(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam) override;
  void FillDisplayInfo(NMLVDISPINFOW& request) const;
  static LRESULT CALLBACK SyncBeforeMessage(HWND window, UINT message, WPARAM wParam,
                                            LPARAM lParam, UINT_PTR, DWORD_PTR self);

  ListViewContent& content_;
  formsrt::WindowHandle window_;
  HWND listView_ = nullptr;  // a child of window_, destroyed with it
};

}  // namespace standins
