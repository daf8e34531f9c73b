#pragma once

#include "PhaseResult.h"

namespace soak {

// Prints a phase; true when it passed (PhasePassed).
bool ReportPhase(const PhaseResult& phase, long memoryBoundKb);

}  // namespace soak
