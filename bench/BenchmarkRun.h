// The first line of every benchmark's output: the benchmark's name, the date
// and time of the run, the commit the program was built from, the target
// and what it runs on.
#pragma once

namespace suite_bench {

// "gridrace_bench: 2026-12-10 14:03, commit 1a2b3c4, target x86, 2 processors, Wine 8.0"
void PrintRunHeader(const char* benchmark);

}  // namespace suite_bench
