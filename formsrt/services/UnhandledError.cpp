#include "services/UnhandledError.h"

#include <windows.h>

#include <cstdlib>
#include <cwchar>
#include <new>

#include "core/RuntimeError.h"
#include "services/MessageBox.h"
#include "services/ProgramTitle.h"
#include "platform/Platform.h"

namespace formsrt {

namespace {

constexpr long kInternalError = 51;

bool g_programIsEnding = false;

struct ErrorReport {
  long number;
  std::wstring numberText;
  std::wstring description;
};

ErrorReport ReportOf(long number, std::wstring description) {
  return {number, std::to_wstring(number), std::move(description)};
}

// A COM failure without a runtime number shows as "-2147024894 (80070002)".
ErrorReport ReportOfHresult(HRESULT hr) {
  if (HRESULT_FACILITY(hr) == FACILITY_CONTROL) {
    return ReportOf(HRESULT_CODE(hr), StandardErrorText(HRESULT_CODE(hr)));
  }
  wchar_t hex[16];
  std::swprintf(hex, 16, L"%08lX", static_cast<unsigned long>(hr));
  return {hr, std::to_wstring(hr) + L" (" + hex + L")", StandardErrorText(error::AutomationError)};
}

ErrorReport ReportOfCurrentException() {
  try {
    throw;
  } catch (const RuntimeError& failure) {
    return ReportOf(failure.Number(), failure.Description());
  } catch (const ComError& failure) {
    return ReportOfHresult(failure.Result());
  } catch (const std::bad_alloc&) {
    return ReportOf(error::OutOfMemory, StandardErrorText(error::OutOfMemory));
  } catch (...) {
    return ReportOf(kInternalError, L"Internal error");
  }
}

}  // namespace

std::wstring UnhandledErrorReport(std::wstring_view number, std::wstring_view description) {
  std::wstring text = L"Run-time error '";
  text.append(number).append(L"':\n\n").append(description);
  return text;
}

bool ProgramIsEnding() noexcept { return g_programIsEnding; }

void ReportUnhandledErrorAndEnd() noexcept {
  g_programIsEnding = true;
  ErrorReport report = ReportOfCurrentException();
  try {
    // An error icon with OK only: the box is the program's last word.
    ShowMessageBox(UnhandledErrorReport(report.numberText, report.description),
                   MB_OK | MB_ICONERROR, std::nullopt, ProgramTitle());
  } catch (...) {
    // Out of memory for the report itself: end all the same.
  }
  formsrt::Kernel32().ExitProcess(static_cast<UINT>(report.number));
  std::abort();  // only a replaced ExitProcess returns
}

}  // namespace formsrt
