// The flex grid stand-in: rows and columns from 0, the first FixedRows rows
// and FixedCols columns drawn as headers, and a current cell (Row, Col) that
// Text reads and writes.
#pragma once

#include <windows.h>

#include "GridStandin.h"

namespace standins {

class FlexGridStandin : public GridStandin {
 public:
  FlexGridStandin();

 private:
  void Dispatch(DISPID id, WORD flags, const DispatchArguments& args, VARIANT* result) override;
  void PutProperty(DISPID id, const DispatchArguments& args);
  void GetProperty(DISPID id, const DispatchArguments& args, VARIANT* result) const;

  void SetRows(LONG rows);
  void SetColumns(LONG columns);

  LONG row_ = 1;
  LONG column_ = 1;
};

HRESULT CreateFlexGridStandin(REFIID iid, void** object);

}  // namespace standins
