#pragma once

#include "ClassSoak.h"

namespace soak {

// Prints a phase; true when it failed no call, left no counted resource held
// and did not grow private memory by more than half the bound in each of its
// halves (so a steady leak of the bound over the phase fails, a one-off jump
// of the platform's does not).
bool ReportPhase(const PhaseResult& phase, long memoryBoundKb);

}  // namespace soak
