// Tessmark.exe: shows the form frmHookwatch and runs its messages until it
// unloads. An error that the form's code does not trap ends the program with
// the runtime's standard report.
#include <windows.h>
#include <ole2.h>

#include "ComponentObjects.h"
#include "forms/MessageLoop.h"
#include "frmHookwatch.h"
#include "services/UnhandledError.h"

int WINAPI WinMain(HINSTANCE, HINSTANCE, LPSTR, int) {
  if (FAILED(::OleInitialize(nullptr))) return 1;
  formsrt::RunEventHandler([] {
    formsrt::ComPtr<tessmark::frmHookwatch> form = tessmark::frmHookwatch::Create();
    form->Show();
    formsrt::RunMessageLoop(form->Window());
  });
  tessmark::ReleaseHookwatchGlobal();
  ::OleUninitialize();
  return 0;
}
