// The groups of end-to-end cases; main.cpp runs them in this order.
#pragma once

#include <vector>

#include "check.h"

namespace e2e {

std::vector<TestCase> WindowCases();
std::vector<TestCase> GenerateCases();
std::vector<TestCase> ImportCases();
std::vector<TestCase> LinkCases();

}  // namespace e2e
