// Runs a program under test, with a time limit, and captures what it prints.
#pragma once

#include <windows.h>

#include <string>

namespace testing_support {

struct ProcessResult {
  DWORD exitCode = 0;
  bool timedOut = false;
  std::string output;  // standard output and standard error together
};

// With pumpMessages, this thread's windows are served while the program
// runs, so that it can send them messages (place them, for example).
ProcessResult RunProcess(const std::wstring& commandLine, DWORD timeoutMs = 60000,
                         bool pumpMessages = false);

// The folder that holds the running test executable, with a trailing backslash.
std::wstring ExecutableFolder();

// Writes text to a new file in the temporary folder and returns its path.
std::wstring WriteTempFile(const std::wstring& name, const std::string& contents);

}  // namespace testing_support
