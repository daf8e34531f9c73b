#include "FlexGridStandin.h"

#include <algorithm>
#include <limits>
#include <string>

#include "GridDispatchIds.h"
#include "GridQuery.h"
#include "GridStandins.h"
#include "StandinDescription.h"
#include "core/RuntimeError.h"

namespace standins {

namespace {

using formsrt::RuntimeError;
namespace error = formsrt::error;

const formsrt::ControlDescription kDescription{
    CLSID_FlexGrid, DIID_DFlexGrid, IID_NULL, L"FlexGrid", kStandinDesignSizeTwips, kStandinMiscStatus};

// Raises error 380 with the property's name unless low <= value <= high.
void RequireWithin(const wchar_t* property, LONG value, LONG low, LONG high) {
  if (value >= low && value <= high) return;
  std::wstring range = high < low ? L"no value is valid now"
                                  : L"it must be " + std::to_wstring(low) + L" to " +
                                        std::to_wstring(high);
  throw RuntimeError(error::InvalidPropertyValue, std::wstring(L"Invalid ") + property +
                                                      L" value " + std::to_wstring(value) +
                                                      L": " + range);
}

}  // namespace

FlexGridStandin::FlexGridStandin() : GridStandin(kDescription, kFlexGridWindowClass) {
  cells_.SetRowCount(2);
  cells_.SetColumnCount(2);
  view_.fixedRows = 1;
  view_.fixedColumns = 1;
}

void FlexGridStandin::Dispatch(DISPID id, WORD flags, const DispatchArguments& args,
                               VARIANT* result) {
  if (IsPut(flags)) {
    if (id == DISPID_FLEXGRID_TEXTMATRIX) NoSuchMember();
    args.RequireCount(1);
    PutProperty(id, args);
    Changed();
  } else {
    GetProperty(id, args, result);
  }
}

void FlexGridStandin::PutProperty(DISPID id, const DispatchArguments& args) {
  switch (id) {
    case DISPID_FLEXGRID_TEXT: cells_.SetText(row_, column_, args.Text(0)); return;
    case DISPID_FLEXGRID_ROW: {
      LONG row = args.Int32(0);
      RequireWithin(L"Row", row, 0, cells_.RowCount() - 1);
      row_ = row;
      return;
    }
    case DISPID_FLEXGRID_COL: {
      LONG column = args.Int32(0);
      RequireWithin(L"Col", column, 0, cells_.ColumnCount() - 1);
      column_ = column;
      return;
    }
    case DISPID_FLEXGRID_ROWS: SetRows(args.Int32(0)); return;
    case DISPID_FLEXGRID_COLS: SetColumns(args.Int32(0)); return;
    case DISPID_FLEXGRID_FIXEDROWS: {
      LONG rows = args.Int32(0);
      RequireWithin(L"FixedRows", rows, 0, cells_.RowCount());
      view_.fixedRows = rows;
      return;
    }
    case DISPID_FLEXGRID_FIXEDCOLS: {
      LONG columns = args.Int32(0);
      RequireWithin(L"FixedCols", columns, 0, cells_.ColumnCount());
      view_.fixedColumns = columns;
      return;
    }
    case DISPID_FLEXGRID_REDRAW: view_.redraw = args.Boolean(0); return;
    default: NoSuchMember();
  }
}

void FlexGridStandin::GetProperty(DISPID id, const DispatchArguments& args, VARIANT* result) const {
  args.RequireCount(id == DISPID_FLEXGRID_TEXTMATRIX ? 2 : 0);
  switch (id) {
    case DISPID_FLEXGRID_TEXT: ReturnText(result, cells_.Text(row_, column_)); return;
    case DISPID_FLEXGRID_ROW: ReturnInt32(result, row_); return;
    case DISPID_FLEXGRID_COL: ReturnInt32(result, column_); return;
    case DISPID_FLEXGRID_ROWS: ReturnInt32(result, cells_.RowCount()); return;
    case DISPID_FLEXGRID_COLS: ReturnInt32(result, cells_.ColumnCount()); return;
    case DISPID_FLEXGRID_FIXEDROWS: ReturnInt32(result, view_.fixedRows); return;
    case DISPID_FLEXGRID_FIXEDCOLS: ReturnInt32(result, view_.fixedColumns); return;
    case DISPID_FLEXGRID_REDRAW: ReturnBoolean(result, view_.redraw); return;
    case DISPID_FLEXGRID_TEXTMATRIX:
      ReturnText(result, cells_.Text(args.Int32(0), args.Int32(1)));
      return;
    default: NoSuchMember();
  }
}

// Fewer rows than fixed rows lowers the fixed rows with them, so that a grid
// of only its header row stays valid; the current row follows likewise.
void FlexGridStandin::SetRows(LONG rows) {
  RequireWithin(L"Rows", rows, 0, std::numeric_limits<LONG>::max());
  cells_.SetRowCount(rows);
  view_.fixedRows = std::min(view_.fixedRows, rows);
  row_ = std::clamp<LONG>(row_, 0, std::max<LONG>(0, rows - 1));
}

void FlexGridStandin::SetColumns(LONG columns) {
  RequireWithin(L"Cols", columns, 0, std::numeric_limits<LONG>::max());
  cells_.SetColumnCount(columns);
  view_.fixedColumns = std::min(view_.fixedColumns, columns);
  column_ = std::clamp<LONG>(column_, 0, std::max<LONG>(0, columns - 1));
}

HRESULT CreateFlexGridStandin(REFIID iid, void** object) {
  return formsrt::CreateAndQuery<FlexGridStandin>(iid, object);
}

}  // namespace standins
