// Answers the messages of GridQuery.h from a cell store.
#pragma once

#include <windows.h>

#include "CellStore.h"

namespace standins {

// True when `message` is a grid query; `result` then holds the answer.
bool AnswerGridQuery(HWND window, UINT message, WPARAM wParam, LPARAM lParam,
                     const CellStore& cells, LONG fixedRows, LRESULT& result);

}  // namespace standins
