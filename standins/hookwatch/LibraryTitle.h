#pragma once

namespace hookwatch {

// The source of the errors that the library's classes report.
inline constexpr const wchar_t* kLibraryTitle = L"Hookwatch";

}  // namespace hookwatch
