#pragma once

#include "ClassSoak.h"

namespace soak {

// Prints a phase; true when it failed no call, left no counted resource held
// and grew private memory no more than the bound.
bool ReportPhase(const PhaseResult& phase, long memoryBoundKb);

}  // namespace soak
