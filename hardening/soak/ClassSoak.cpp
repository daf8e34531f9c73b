#include "ClassSoak.h"

#include <chrono>
#include <exception>
#include <string>
#include <utility>

#include "ProcessMemory.h"
#include "core/RuntimeError.h"
#include "forms/MessageLoop.h"

namespace soak {

namespace {

constexpr int kWarmUpRounds = 2;

std::wstring Describe(const std::exception_ptr& failure) {
  try {
    std::rethrow_exception(failure);
  } catch (const formsrt::RuntimeError& error) {
    return L"error " + std::to_wstring(error.Number());
  } catch (const formsrt::ComError& error) {
    return L"HRESULT " + std::to_wstring(static_cast<unsigned long>(error.Result()));
  } catch (const std::exception& error) {
    std::string what = error.what();
    return std::wstring(what.begin(), what.end());
  } catch (...) {
    return L"exception";
  }
}

}  // namespace

ClassSoak::ClassSoak(const SoakOptions& options, const SoakModuleLibrary& module,
                     CountingSeam& hostSeam, const AtlContainer& container, const SoakHost& host)
    : options_(options), module_(module), hostSeam_(hostSeam), container_(container), host_(host) {}

formsrt::ComPtr<IDispatch> ClassSoak::Create(const SoakedClass& soaked) const {
  formsrt::ComPtr<IDispatch> object;
  formsrt::ThrowIfFailed(
      module_.ClassObject(soaked.clsid)->CreateInstance(nullptr, IID_IDispatch, object.PutVoid()));
  return object;
}

SeamCounts ClassSoak::Counts() const { return module_.Counts() + hostSeam_.Read(); }

long ClassSoak::Attempt(const wchar_t* what, const Call& call, IDispatch* object) {
  try {
    call(object);
    return 0;
  } catch (...) {
    failed_.insert(std::wstring(what) + L" (" + Describe(std::current_exception()) + L")");
    return 1;
  }
}

PhaseResult ClassSoak::Measure(std::wstring what, long repetitions,
                               const std::function<long()>& once) {
  for (int round = 0; round < kWarmUpRounds; ++round) {
    once();
    formsrt::DispatchWaitingMessages();
  }
  failed_.clear();
  SeamCounts countsBefore = Counts();
  auto start = std::chrono::steady_clock::now();
  long failures = 0;
  long long memory[3] = {testing_support::PrivateBytes()};
  for (long i = 0; i < repetitions; ++i) {
    failures += once();
    formsrt::DispatchWaitingMessages();
    if (i + 1 == repetitions / 2) memory[1] = testing_support::PrivateBytes();
  }
  memory[2] = testing_support::PrivateBytes();
  std::chrono::duration<double> elapsed = std::chrono::steady_clock::now() - start;
  return {std::move(what),
          repetitions,
          elapsed.count(),
          Counts() - countsBefore,
          {memory[1] - memory[0], memory[2] - memory[1]},
          failures,
          std::move(failed_),
          0,
          0};
}

// Once the objects of a phase are gone, the module must hold none.
PhaseResult ClassSoak::Finished(PhaseResult phase) const {
  formsrt::DispatchWaitingMessages();
  module_.ComCounts(phase.objectsLeft, phase.locksLeft);
  return phase;
}

std::vector<PhaseResult> ClassSoak::Run(const SoakedClass& soaked) {
  std::vector<PhaseResult> results;
  std::wstring name(soaked.name);
  results.push_back(Finished(Measure(name + L": created, used and released", options_.creations, [&] {
    return Attempt(
        L"create and use", [&](IDispatch*) { soaked.use(Create(soaked).Get()); }, nullptr);
  })));
  if (soaked.isControl) {
    results.push_back(Finished(
        Measure(name + L": created, used and released in AtlAxWin", options_.creations, [&] {
          return Attempt(
              L"host and use",
              [&](IDispatch*) {
                AtlContainer::Window window = container_.Host(host_.formWindow, soaked.progId);
                soaked.use(container_.Control(window.get()).Get());
              },
              nullptr);
        })));
  }
  formsrt::ComPtr<IDispatch> object = Create(soaked);
  PhaseResult members = Measure(name + L": each member called", options_.calls, [&] {
    long failures = 0;
    for (const MemberCall& member : soaked.members)
      failures += Attempt(member.name, member.call, object.Get());
    return failures;
  });
  object.Reset();
  results.push_back(Finished(std::move(members)));
  return results;
}

}  // namespace soak
