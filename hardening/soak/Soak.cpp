// The soak program: creates, uses and releases every class of the suite's
// COM libraries and stand-ins many times, with and without a container, and
// calls each harmless member many times, then reports for every phase what
// the platform seams saw acquired and released and how private memory
// changed. Exit status 0 when nothing was left held, no call failed and
// memory stayed within the bound; 1 otherwise; 2 when the soak could not run.
//
//   soak.exe [--creations N] [--calls M] [--memory-bound-kb K] [--class NAME]
//
// Each library is soaked in a soak module of its own (SoakModule.cpp), which
// counts what its copy of the runtime acquires through the platform seam;
// under Wine the process's handle, GDI and USER counts read 0.
#include <windows.h>

#include <shellapi.h>

#include <cstdio>
#include <exception>
#include <vector>

#include "AtlContainer.h"
#include "ClassSoak.h"
#include "CountingSeam.h"
#include "MixerSettingsKept.h"
#include "SoakModuleLibrary.h"
#include "SoakOptions.h"
#include "SoakReport.h"
#include "SubClassClient.h"
#include "forms/Form.h"

namespace {

using namespace soak;

struct SoakModuleClasses {
  const wchar_t* fileName;
  std::vector<SoakedClass> (*classes)(const SoakHost& host);
};

const SoakModuleClasses kModules[] = {
    {L"soak_vanterbox.dll", VanterboxClasses},
    {L"soak_hookwatch.dll", HookwatchClasses},
    {L"soak_quennet.dll", QuennetClasses},
    {L"soak_grids.dll", GridClasses},
};

std::vector<SoakedClass> Selected(std::vector<SoakedClass> classes, const SoakOptions& options) {
  std::erase_if(classes, [&](const SoakedClass& soaked) {
    return !options.onlyClass.empty() && options.onlyClass != soaked.name;
  });
  return classes;
}

bool SoakModule(const SoakModuleClasses& module, const SoakOptions& options, CountingSeam& hostSeam,
                const AtlContainer& container, const SoakHost& host) {
  std::vector<SoakedClass> classes = Selected(module.classes(host), options);
  if (classes.empty()) return true;
  std::vector<CLSID> clsids;
  for (const SoakedClass& soaked : classes) clsids.push_back(soaked.clsid);
  SoakModuleLibrary library(module.fileName, clsids);
  ClassSoak soak(options, library, hostSeam, container, host);
  bool passed = true;
  for (const SoakedClass& soaked : classes) {
    for (const PhaseResult& phase : soak.Run(soaked))
      passed &= ReportPhase(phase, options.memoryBoundKb);
  }
  return passed;
}

int Run(const SoakOptions& options) {
  CountingSeam hostSeam;  // the soak program's own copy of the runtime: its form
  vanterbox_direct::MixerSettingsKept mixerSettings;  // the set members change them
  formsrt::ComPtr<formsrt::Form> form = formsrt::Form::Create(L"Soak", {0, 0, 4800, 3600});
  form->Show();
  formsrt::ComPtr<IDispatch> menu(form->AddMenu(L"Soak").Get());
  formsrt::ComPtr<ISubClass> client = formsrt::ComPtr<ISubClass>::Attach(new SubClassClient);
  SoakHost host{formsrt::ComPtr<IDispatch>(form.Get()), menu, form->Handle(), client};
  AtlContainer container;
  bool passed = true;
  for (const SoakModuleClasses& module : kModules) {
    passed &= SoakModule(module, options, hostSeam, container, host);
  }
  form->Unload();
  std::printf(
      "%s\n",
      passed ? "soak passed: every acquisition released, no call failed, memory within the bound"
             : "soak FAILED");
  return passed ? 0 : 1;
}

}  // namespace

int main() {
  int argc = 0;
  wchar_t** argv = ::CommandLineToArgvW(::GetCommandLineW(), &argc);
  std::optional<SoakOptions> options = ParseOptions(argc, argv);
  ::LocalFree(argv);
  if (!options) {
    std::printf(
        "usage: soak.exe [--creations N] [--calls M] [--memory-bound-kb K] [--class NAME]\n");
    return 2;
  }
  if (FAILED(::OleInitialize(nullptr))) return 2;
  int status = 2;
  try {
    status = Run(*options);
  } catch (const std::exception& failure) {
    std::printf("the soak could not run: %s\n", failure.what());
  }
  ::OleUninitialize();
  return status;
}
