// Measures GetMainVolume and SetMainVolume through the vtable and through
// IDispatch against the same mixer calls made directly on winmm; then the
// library's own cost of each call, in nanoseconds, against a mixer that
// answers at once, beside the platform's cost of the same call; then makes
// 100,000 member calls and checks that every mixer handle opened was closed,
// every block allocated was freed, and private memory stayed where it was.
// The speakers volume is put back at the end. Exit status 0 when the soak
// made every call successfully and found no leak, and the library's own cost
// of every way stayed under 10% of the platform's.
#include <windows.h>
#include <mmsystem.h>
#include <psapi.h>

#include <algorithm>
#include <array>
#include <chrono>
#include <cstdio>
#include <functional>

#include "BenchmarkRun.h"
#include "CountingPlatform.h"
#include "DirectMixerControl.h"
#include "InstantMixer.h"
#include "Vanterbox.h"
#include "com/ComPtr.h"
#include "qzMixerVolume.h"

namespace {

using formsrt::ComPtr;
using vanterbox_bench::CountingPlatform;
using vanterbox_bench::PlatformCounts;
using vanterbox_direct::DirectSpeakersVolume;

constexpr int kRounds = 15;
constexpr int kCallsPerRound = 2000;
// Against the instant mixer a call takes microseconds: longer rounds, so
// that a round lasts about as long as one against the real mixer.
constexpr int kInstantCallsPerRound = 100000;
constexpr int kSoakCalls = 100000;
constexpr DISPID kGetMainVolume = 0x68030003;
constexpr DISPID kSetMainVolume = 0x68030002;

// Calls per second of one round.
double RoundSpeed(const std::function<void()>& call, int calls) {
  auto start = std::chrono::steady_clock::now();
  for (int i = 0; i < calls; ++i) call();
  std::chrono::duration<double> elapsed = std::chrono::steady_clock::now() - start;
  return calls / elapsed.count();
}

// The four ways a client calls the two members, in the order the reports
// name them.
constexpr int kWays = 4;
constexpr const char* kWayNames[kWays] = {"GetMainVolume, vtable", "GetMainVolume, IDispatch",
                                          "SetMainVolume, vtable", "SetMainVolume, IDispatch"};

// The ways are measured in turn, round after round, so that a change of the
// machine's load touches all of them alike; each way's best round counts.
template <size_t Count>
std::array<double, Count> BestSpeeds(const std::function<void()> (&ways)[Count], int calls) {
  std::array<double, Count> best{};
  for (int round = 0; round < kRounds; ++round) {
    for (size_t way = 0; way < Count; ++way) best[way] = std::max(best[way], RoundSpeed(ways[way], calls));
  }
  return best;
}

// As a script calls: the variable passed as VT_VARIANT|VT_BYREF.
LONG InvokeVolume(IDispatch* dispatch, bool write, LONG value) {
  VARIANT variable, reference, result;
  V_VT(&variable) = VT_I4;
  V_I4(&variable) = value;
  V_VT(&reference) = VT_BYREF | VT_VARIANT;
  V_VARIANTREF(&reference) = &variable;
  DISPPARAMS params{&reference, nullptr, write ? 1u : 0u, 0};
  ::VariantInit(&result);
  dispatch->Invoke(write ? kSetMainVolume : kGetMainVolume, IID_NULL, 0,
                   DISPATCH_METHOD | DISPATCH_PROPERTYGET, &params, &result, nullptr, nullptr);
  return V_VT(&result) == VT_I4 ? V_I4(&result) : -1;
}

// The process's private (commit) bytes. Wine 8 leaves PrivateUsage at 0 but
// fills PagefileUsage, which the platform defines as the same quantity.
SIZE_T PrivateBytes() {
  PROCESS_MEMORY_COUNTERS_EX counters{};
  counters.cb = sizeof(counters);
  ::GetProcessMemoryInfo(::GetCurrentProcess(), reinterpret_cast<PROCESS_MEMORY_COUNTERS*>(&counters),
                         sizeof(counters));
  return counters.PrivateUsage ? counters.PrivateUsage : counters.PagefileUsage;
}

void ReportSpeed(const char* what, double ours, double direct) {
  std::printf("%-26s %9.0f calls/s  direct %9.0f calls/s  overhead %+5.1f%%\n", what, ours,
              direct, (direct / ours - 1) * 100);
}

// The platform's time per call of each way: nanoseconds of the same calls
// made directly on winmm, the real mixer answering.
using PlatformCosts = std::array<double, kWays>;

PlatformCosts MeasureSpeed(_qzMixerVolume* mixer, IDispatch* dispatch, LONG level) {
  LONG result = 0;
  const std::function<void()> ways[] = {
      [] { DirectSpeakersVolume(false, 0); },
      [&] { mixer->get_GetMainVolume(&result); },
      [&] { InvokeVolume(dispatch, false, 0); },
      [&] { DirectSpeakersVolume(true, level); },
      [&] { mixer->get_SetMainVolume(&level, &result); },
      [&] { InvokeVolume(dispatch, true, level); },
  };
  std::array<double, 6> best = BestSpeeds(ways, kCallsPerRound);
  std::printf("Speed: best of %d rounds of %d calls; overhead = our time per call / direct - 1\n",
              kRounds, kCallsPerRound);
  const double ours[kWays] = {best[1], best[2], best[4], best[5]};
  const double direct[kWays] = {best[0], best[0], best[3], best[3]};
  PlatformCosts platform{};
  for (int way = 0; way < kWays; ++way) {
    ReportSpeed(kWayNames[way], ours[way], direct[way]);
    platform[way] = 1e9 / direct[way];
  }
  return platform;
}

// The same calls against a mixer that answers at once: what is left is the
// library's own work (lookup, records, global blocks, dispatch), which the
// real mixer's cost hides in the figures above.
bool MeasureOwnCost(_qzMixerVolume* mixer, IDispatch* dispatch, LONG level,
                    const PlatformCosts& platform) {
  vanterbox_bench::InstantMixer instant;
  LONG result = 0;
  const std::function<void()> ways[] = {
      [&] { mixer->get_GetMainVolume(&result); },
      [&] { InvokeVolume(dispatch, false, 0); },
      [&] { mixer->get_SetMainVolume(&level, &result); },
      [&] { InvokeVolume(dispatch, true, level); },
  };
  std::array<double, kWays> best = BestSpeeds(ways, kInstantCallsPerRound);
  std::printf("\nOwn cost: best of %d rounds of %d calls against a mixer that answers at once,\n"
              "beside the platform's time for the same call (direct winmm, above); goal under 10%%\n",
              kRounds, kInstantCallsPerRound);
  bool withinGoal = true;
  for (int way = 0; way < kWays; ++way) {
    double own = 1e9 / best[way];
    double share = own / platform[way] * 100;
    withinGoal = withinGoal && share < 10;
    std::printf("%-26s own %7.0f ns/call  platform %9.0f ns/call  own/platform %5.2f%%\n",
                kWayNames[way], own, platform[way], share);
  }
  return withinGoal;
}

// Every fourth call the same way: Get and Set, vtable and IDispatch.
long Soak(_qzMixerVolume* mixer, IDispatch* dispatch, LONG level) {
  long failures = 0;
  for (int i = 0; i < kSoakCalls; ++i) {
    LONG result = -1;
    switch (i % 4) {
      case 0: mixer->get_GetMainVolume(&result); break;
      case 1: mixer->get_SetMainVolume(&level, &result); break;
      case 2: result = InvokeVolume(dispatch, false, 0); break;
      default: result = InvokeVolume(dispatch, true, level); break;
    }
    failures += result == -1;
  }
  return failures;
}

int Run() {
  if (::mixerGetNumDevs() == 0) {
    std::printf("no mixer device: run inside the test environment (PulseAudio null sink)\n");
    return 2;
  }
  CountingPlatform counting;
  ComPtr<_qzMixerVolume> mixer;
  ComPtr<IDispatch> dispatch;
  if (FAILED(vanterbox::qzMixerVolume::Create(IID__qzMixerVolume, mixer.PutVoid())) ||
      FAILED(mixer.As(dispatch))) {
    std::printf("cannot create qzMixerVolume\n");
    return 2;
  }
  LONG saved = -1, result = 0;
  mixer->get_GetMainVolume(&saved);
  LONG level = saved == 0 ? 1 : saved - 1;  // a change the platform sees

  PlatformCosts platform = MeasureSpeed(mixer.Get(), dispatch.Get(), level);
  bool withinGoal = MeasureOwnCost(mixer.Get(), dispatch.Get(), level, platform);

  PlatformCounts before = counting.Counts();
  SIZE_T memoryBefore = PrivateBytes();
  long failures = Soak(mixer.Get(), dispatch.Get(), level);
  SIZE_T memoryAfter = PrivateBytes();
  PlatformCounts after = counting.Counts();
  mixer->get_SetMainVolume(&saved, &result);

  std::printf("\nSoak: %d member calls, %ld failed\n", kSoakCalls, failures);
  std::printf("  mixer handles opened %ld, closed %ld\n", after.mixersOpened - before.mixersOpened,
              after.mixersClosed - before.mixersClosed);
  std::printf("  global blocks allocated %ld, freed %ld\n",
              after.blocksAllocated - before.blocksAllocated, after.blocksFreed - before.blocksFreed);
  auto before64 = static_cast<long long>(memoryBefore), after64 = static_cast<long long>(memoryAfter);
  std::printf("  private bytes before %lld, after %lld, change %+lld bytes\n", before64, after64,
              after64 - before64);
  bool balanced = after.mixersOpened == after.mixersClosed && after.blocksAllocated == after.blocksFreed &&
                  after.mixersOpened - before.mixersOpened == kSoakCalls &&
                  after.blocksAllocated - before.blocksAllocated == 2L * kSoakCalls;
  std::printf("%s\n", balanced && failures == 0 ? "every handle closed, every block freed"
                                                : "FAILED: calls failed or counts do not balance");
  if (!withinGoal) std::printf("FAILED: the library's own cost is 10%% of the platform's or more\n");
  return balanced && failures == 0 && withinGoal ? 0 : 1;
}

}  // namespace

int main() {
  suite_bench::PrintRunHeader("vanterbox_bench");
  if (FAILED(::OleInitialize(nullptr))) return 2;
  int status = Run();
  ::OleUninitialize();
  return status;
}
