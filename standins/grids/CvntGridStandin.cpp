#include "CvntGridStandin.h"

#include <limits>
#include <string>

#include "GridDispatchIds.h"
#include "GridQuery.h"
#include "GridStandins.h"
#include "com/RuntimeError.h"
#include "com/Variant.h"

namespace standins {

namespace {

using formsrt::RuntimeError;
using formsrt::Variant;
namespace error = formsrt::error;

// A property from the bag in the wanted type, or the default when the bag
// has no such property or holds something that does not convert.
Variant ReadBagValue(IPropertyBag* bag, const wchar_t* name, VARTYPE type, const Variant& fallback) {
  Variant value;
  if (FAILED(bag->Read(name, value.Put(), nullptr))) return fallback;
  Variant converted;
  if (FAILED(::VariantChangeType(converted.Put(), value.Raw(), 0, type))) return fallback;
  return converted;
}

}  // namespace

CvntGridStandin::CvntGridStandin()
    : GridStandin(CLSID_cvntGrid, DIID_DcvntGrid, kCvntGridWindowClass, L"cvntGrid") {
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

void CvntGridStandin::ReadProperties(IPropertyBag* bag) {
  disableIcons_ = V_BOOL(&ReadBagValue(bag, L"disableicons", VT_BOOL, Variant::FromBool(false)).Get()) !=
                  VARIANT_FALSE;
  backgroundPictureWidth_ =
      V_I4(&ReadBagValue(bag, L"backgroundpicturewidth", VT_I4, Variant::FromInt32(0)).Get());
  backgroundPictureHeight_ =
      V_I4(&ReadBagValue(bag, L"backgroundpictureheight", VT_I4, Variant::FromInt32(0)).Get());
}

void CvntGridStandin::WriteProperties(IPropertyBag* bag) {
  bag->Write(L"disableicons", Variant::FromBool(disableIcons_).Raw());
  bag->Write(L"backgroundpicturewidth", Variant::FromInt32(backgroundPictureWidth_).Raw());
  bag->Write(L"backgroundpictureheight", Variant::FromInt32(backgroundPictureHeight_).Raw());
}

HRESULT CreateCvntGridStandin(REFIID iid, void** object) {
  return formsrt::CreateAndQuery<CvntGridStandin>(iid, object);
}

}  // namespace standins
