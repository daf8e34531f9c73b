// The cvntGrid stand-in: titled columns and data rows numbered from 1. Its
// cell store keeps the headers in row 0 and data row i in row i.
#pragma once

#include <windows.h>

#include "GridStandin.h"

namespace standins {

class CvntGridStandin : public GridStandin {
 public:
  CvntGridStandin();

 private:
  void Dispatch(DISPID id, WORD flags, const DispatchArguments& args, VARIANT* result) override;
  void UserControl_ReadProperties(formsrt::PropertyBag& bag) override;
  void UserControl_WriteProperties(formsrt::PropertyBag& bag) override;

  void Clear(bool structureToo);
  void AddColumn(std::wstring_view header);
  void SetDataRowCount(LONG rows);
  // Data rows count from 1, as do columns; the store's column is one less.
  void RequireDataRow(LONG row) const;
  LONG StoreColumn(LONG column) const;

  bool disableIcons_ = false;
  LONG backgroundPictureWidth_ = 0;
  LONG backgroundPictureHeight_ = 0;
};

HRESULT CreateCvntGridStandin(REFIID iid, void** object);

}  // namespace standins
