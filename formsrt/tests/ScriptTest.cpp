// An outside script client: VBScript under the platform's cscript.exe.
#include <gtest/gtest.h>

#include "ProcessRunner.h"

using namespace testing_support;

TEST(ScriptClient, VbscriptCallsWithVariablesAndReadsErrNumber) {
  std::wstring script = WriteTempFile(L"formsrt_client.vbs",
                                      "Set c = CreateObject(\"FormsrtTest.Calculator\")\r\n"
                                      "v = 21\r\n"
                                      "r = c.Twice(v)\r\n"
                                      "WScript.Echo \"twice \" & r & \" \" & v\r\n"
                                      "w = 9\r\n"
                                      "WScript.Echo \"peek \" & c.Peek(w) & \" \" & w\r\n"
                                      "On Error Resume Next\r\n"
                                      "c.RaiseError 438\r\n"
                                      "WScript.Echo \"error \" & Err.Number & \" \" & Err.Description\r\n");
  ProcessResult run = RunProcess(L"cscript.exe //nologo \"" + script + L"\"");
  ASSERT_FALSE(run.timedOut);
  EXPECT_NE(std::string::npos, run.output.find("twice 21 42")) << run.output;
  EXPECT_NE(std::string::npos, run.output.find("peek 9 9")) << run.output;
  EXPECT_NE(std::string::npos,
            run.output.find("error 438 Object doesn't support this property or method"))
      << run.output;
}
