#include "CvntGridStandin.h"

#include <limits>
#include <string>

#include "GridDispatchIds.h"
#include "GridQuery.h"
#include "GridStandins.h"
#include "StandinDescription.h"
#include "core/RuntimeError.h"
#include "control/PropertyBag.h"

namespace standins {

namespace {

using formsrt::RuntimeError;
namespace error = formsrt::error;

const formsrt::ControlDescription kDescription{
    CLSID_cvntGrid, DIID_DcvntGrid, IID_NULL, L"cvntGrid", kStandinDesignSizeTwips, kStandinMiscStatus};

// The design-time settings, which the read access members report.
constexpr formsrt::PersistedProperty<VARIANT_BOOL> kDisableIcons{
    L"disableicons", DISPID_CVNTGRID_DISABLEICONS, VARIANT_FALSE};
constexpr formsrt::PersistedProperty<LONG> kBackgroundPictureWidth{
    L"backgroundpicturewidth", DISPID_CVNTGRID_BACKGROUNDPICTUREWIDTH, 0};
constexpr formsrt::PersistedProperty<LONG> kBackgroundPictureHeight{
    L"backgroundpictureheight", DISPID_CVNTGRID_BACKGROUNDPICTUREHEIGHT, 0};

}  // namespace

CvntGridStandin::CvntGridStandin() : GridStandin(kDescription, kCvntGridWindowClass) {
  cells_.SetRowCount(1);  // the header row
}

void CvntGridStandin::Dispatch(DISPID id, WORD flags, const DispatchArguments& args,
                               VARIANT* result) {
  switch (id) {
    case DISPID_CVNTGRID_CELLTEXT: {
      RequireDataRow(args.Int32(0));
      LONG column = StoreColumn(args.Int32(1));
      if (IsPut(flags)) {
        args.RequireCount(3);
        cells_.SetText(args.Int32(0), column, args.Text(2));
        Changed();
      } else {
        args.RequireCount(2);
        ReturnText(result, cells_.Text(args.Int32(0), column));
      }
      return;
    }
    case DISPID_CVNTGRID_REDRAW:
      if (IsPut(flags)) {
        args.RequireCount(1);
        SetRedraw(args.Boolean(0));
      } else {
        ReturnBoolean(result, view_.redraw);
      }
      return;
    case DISPID_CVNTGRID_CLEAR:
      args.RequireCount(1);
      Clear(args.Boolean(0));
      return;
    case DISPID_CVNTGRID_ADDCOLUMN:
      args.RequireCount(2);
      args.Text(0);  // the key: any text, a null string included; not kept
      AddColumn(args.Text(1));
      return;
    case DISPID_CVNTGRID_ROWS:
      if (IsPut(flags)) {
        args.RequireCount(1);
        SetDataRowCount(args.Int32(0));
      } else {
        ReturnInt32(result, cells_.RowCount() - 1);
      }
      return;
    default: break;
  }
  if (IsPut(flags)) NoSuchMember();
  switch (id) {
    case DISPID_CVNTGRID_COLS: ReturnInt32(result, cells_.ColumnCount()); return;
    case DISPID_CVNTGRID_COLUMNHEADER:
      args.RequireCount(1);
      ReturnText(result, cells_.Text(0, StoreColumn(args.Int32(0))));
      return;
    case DISPID_CVNTGRID_DISABLEICONS: ReturnBoolean(result, disableIcons_); return;
    case DISPID_CVNTGRID_BACKGROUNDPICTUREWIDTH:
      ReturnInt32(result, backgroundPictureWidth_);
      return;
    case DISPID_CVNTGRID_BACKGROUNDPICTUREHEIGHT:
      ReturnInt32(result, backgroundPictureHeight_);
      return;
    default: NoSuchMember();
  }
}

void CvntGridStandin::Clear(bool structureToo) {
  if (structureToo) {
    cells_.Clear();
    cells_.SetRowCount(1);
  } else {
    // Keeps the rows and the columns with their headers.
    std::vector<std::wstring> headers;
    for (LONG column = 0; column < cells_.ColumnCount(); ++column) {
      headers.emplace_back(cells_.Text(0, column));
    }
    cells_.ClearTexts();
    for (LONG column = 0; column < cells_.ColumnCount(); ++column) {
      cells_.SetText(0, column, headers[column]);
    }
  }
  Changed();
}

void CvntGridStandin::AddColumn(std::wstring_view header) {
  LONG column = cells_.ColumnCount();
  if (column == std::numeric_limits<LONG>::max()) formsrt::Raise(error::Overflow);
  cells_.SetColumnCount(column + 1);
  cells_.SetText(0, column, header);
  Changed();
}

void CvntGridStandin::SetDataRowCount(LONG rows) {
  if (rows < 0) {
    throw RuntimeError(error::InvalidPropertyValue,
                       L"The row count cannot be negative: " + std::to_wstring(rows));
  }
  if (rows == std::numeric_limits<LONG>::max()) formsrt::Raise(error::OutOfMemory);
  cells_.SetRowCount(rows + 1);
  Changed();
}

void CvntGridStandin::RequireDataRow(LONG row) const {
  LONG rows = cells_.RowCount() - 1;
  if (row < 1 || row > rows) {
    throw RuntimeError(error::SubscriptOutOfRange, L"Row " + std::to_wstring(row) +
                                                       L" is outside the grid's rows 1 to " +
                                                       std::to_wstring(rows));
  }
}

LONG CvntGridStandin::StoreColumn(LONG column) const {
  LONG columns = cells_.ColumnCount();
  if (column < 1 || column > columns) {
    throw RuntimeError(error::SubscriptOutOfRange, L"Column " + std::to_wstring(column) +
                                                       L" is outside the grid's columns 1 to " +
                                                       std::to_wstring(columns));
  }
  return column - 1;
}

void CvntGridStandin::UserControl_ReadProperties(formsrt::PropertyBag& bag) {
  disableIcons_ = bag.Read(kDisableIcons) != VARIANT_FALSE;
  backgroundPictureWidth_ = bag.Read(kBackgroundPictureWidth);
  backgroundPictureHeight_ = bag.Read(kBackgroundPictureHeight);
}

void CvntGridStandin::UserControl_WriteProperties(formsrt::PropertyBag& bag) {
  bag.Write(kDisableIcons, disableIcons_ ? VARIANT_TRUE : VARIANT_FALSE);
  bag.Write(kBackgroundPictureWidth, backgroundPictureWidth_);
  bag.Write(kBackgroundPictureHeight, backgroundPictureHeight_);
}

HRESULT CreateCvntGridStandin(REFIID iid, void** object) {
  return formsrt::CreateAndQuery<CvntGridStandin>(iid, object);
}

}  // namespace standins
