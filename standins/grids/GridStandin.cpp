#include "GridStandin.h"

#include <memory>

namespace standins {

GridStandin::GridStandin(const formsrt::ControlDescription& description, const wchar_t* windowClass)
    : ControlBase(description, window_),
      HandwrittenDispatch(description.title, description.defaultInterface),
      window_([this, windowClass](HWND parent, const RECT& position) {
        return std::make_unique<GridWindow>(windowClass, parent, position, cells_, view_);
      }) {}

void GridStandin::Changed() {
  if (GridWindow* window = window_.Get()) window->Refresh();
}

void GridStandin::SetRedraw(bool redraw) {
  view_.redraw = redraw;
  Changed();
}

void GridStandin::UserControl_Paint(HDC dc, const RECT& bounds) {
  GridWindow::Draw(dc, bounds, cells_, view_);
}

void GridStandin::UserControl_AmbientChanged(DISPID property) {
  if (property != DISPID_AMBIENT_FONT && property != DISPID_UNKNOWN) return;
  view_.font = AmbientFont();
  if (GridWindow* window = window_.Get()) window->FontChanged();
  Changed();
}

}  // namespace standins
