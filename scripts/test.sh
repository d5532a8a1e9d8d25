#!/usr/bin/env bash
# Installs what is missing, builds everything and runs every test:
# the core under AddressSanitizer/UBSan and ThreadSanitizer, a bounded fuzzing run, then the main suite
# (unit tests, txt2vcf tests, the Windows program's checks and its end-to-end tests under Wine).
set -euo pipefail
cd "$(dirname "$0")/.."

scripts/install-deps.sh
jobs=$(nproc 2>/dev/null || echo 2)

scripts/sanitize.sh
scripts/fuzz.sh "${TAVIX_FUZZ_SECONDS:-60}"

cmake -S . -B build -DCMAKE_BUILD_TYPE=Release
cmake --build build -j"$jobs"
ctest --test-dir build --output-on-failure -j1
