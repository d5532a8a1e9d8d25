// The long runs of the driver, kept out of the ordinary end-to-end run: they are listed only when their wrapper
// asks for them (TAVIX_FAULTS=1 from tests/e2e/run_faults.sh, TAVIX_BENCH=1 from bench/wine_bench.sh).
#pragma once

#include <vector>

#include "check.h"

namespace e2e {

// Faults a busy user and a hostile disk bring: nothing may be lost, no temporary file may stay behind.
std::vector<TestCase> FaultCases();
// The figures of a million-line list: prints a table, fails only when the program does not do the work.
std::vector<TestCase> BenchCases();

}  // namespace e2e
