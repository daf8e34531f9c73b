// Gridrace.exe: shows Form1 and runs its messages until it closes. A
// failure while the form loads is reported like any unhandled error.
#include <windows.h>
#include <ole2.h>

#include "Form1.h"
#include "forms/MessageLoop.h"
#include "services/UnhandledError.h"

int WINAPI WinMain(HINSTANCE, HINSTANCE, LPSTR, int) {
  if (FAILED(::OleInitialize(nullptr))) return 1;
  formsrt::RunEventHandler([] {
    gridrace::Form1 form;
    form.Show();
    formsrt::RunMessageLoop(form.Window());
  });
  ::OleUninitialize();
  return 0;
}
