#include "CvntGridStandin.h"

#include <limits>
#include <string>

#include "GridQuery.h"
#include "GridStandins.h"
#include "StandinDescription.h"
#include "com/RuntimeError.h"
#include "com/Variant.h"

namespace standins {

namespace {

using formsrt::RuntimeError;
using formsrt::Variant;
namespace error = formsrt::error;

constexpr DISPID kRedraw = 0x68030032;
constexpr DISPID kClear = 0x60030058;
constexpr DISPID kAddColumn = 0x6003004B;
constexpr DISPID kRows = 0x68030003;
constexpr DISPID kCellText = 0x6803002D;
constexpr DISPID kCols = 0x68030100;
constexpr DISPID kColumnHeader = 0x68030101;
constexpr DISPID kDisableIcons = 0x68030102;
constexpr DISPID kBackgroundPictureWidth = 0x68030103;
constexpr DISPID kBackgroundPictureHeight = 0x68030104;

const formsrt::ControlDescription kDescription{
    CLSID_cvntGrid, DIID_DcvntGrid, IID_NULL, L"cvntGrid", kStandinDesignSizeTwips, kStandinMiscStatus};

// The design-time settings, kept and given back but not used.
constexpr wchar_t kDisableIconsKey[] = L"disableicons";
constexpr wchar_t kBackgroundPictureWidthKey[] = L"backgroundpicturewidth";
constexpr wchar_t kBackgroundPictureHeightKey[] = L"backgroundpictureheight";

LONG ReadInt32(formsrt::PropertyBag& bag, const wchar_t* key) {
  return V_I4(&bag.Read(key, VT_I4, Variant::FromInt32(0)).Get());
}

}  // namespace

CvntGridStandin::CvntGridStandin() : GridStandin(kDescription, kCvntGridWindowClass) {
  cells_.SetRowCount(1);  // the header row
}

void CvntGridStandin::Dispatch(DISPID id, WORD flags, const DispatchArguments& args,
                               VARIANT* result) {
  switch (id) {
    case kCellText: {
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
    case kRedraw:
      if (IsPut(flags)) {
        args.RequireCount(1);
        SetRedraw(args.Boolean(0));
      } else {
        ReturnBoolean(result, view_.redraw);
      }
      return;
    case kClear:
      args.RequireCount(1);
      Clear(args.Boolean(0));
      return;
    case kAddColumn:
      args.RequireCount(2);
      args.Text(0);  // the key: any text, a null string included; not kept
      AddColumn(args.Text(1));
      return;
    case kRows:
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
    case kCols: ReturnInt32(result, cells_.ColumnCount()); return;
    case kColumnHeader:
      args.RequireCount(1);
      ReturnText(result, cells_.Text(0, StoreColumn(args.Int32(0))));
      return;
    case kDisableIcons: ReturnBoolean(result, disableIcons_); return;
    case kBackgroundPictureWidth: ReturnInt32(result, backgroundPictureWidth_); return;
    case kBackgroundPictureHeight: ReturnInt32(result, backgroundPictureHeight_); return;
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
  disableIcons_ = bag.ReadBoolean(kDisableIconsKey, VARIANT_FALSE) != VARIANT_FALSE;
  backgroundPictureWidth_ = ReadInt32(bag, kBackgroundPictureWidthKey);
  backgroundPictureHeight_ = ReadInt32(bag, kBackgroundPictureHeightKey);
}

void CvntGridStandin::UserControl_WriteProperties(formsrt::PropertyBag& bag) {
  bag.WriteBoolean(kDisableIconsKey, disableIcons_ ? VARIANT_TRUE : VARIANT_FALSE, VARIANT_FALSE);
  bag.Write(kBackgroundPictureWidthKey, Variant::FromInt32(backgroundPictureWidth_), Variant::FromInt32(0));
  bag.Write(kBackgroundPictureHeightKey, Variant::FromInt32(backgroundPictureHeight_), Variant::FromInt32(0));
}

HRESULT CreateCvntGridStandin(REFIID iid, void** object) {
  return formsrt::CreateAndQuery<CvntGridStandin>(iid, object);
}

}  // namespace standins
