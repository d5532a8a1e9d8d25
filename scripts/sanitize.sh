#!/usr/bin/env bash
# Builds and runs the tests under AddressSanitizer + UBSan (build-asan: the core and txt2vcf tests) and under
# ThreadSanitizer (build-tsan: the core tests, which hold the number list's concurrency stress test).
# Exits non-zero on the first failure or sanitizer report.
set -euo pipefail
cd "$(dirname "$0")/.."

scripts/install-deps.sh native

export ASAN_OPTIONS=${ASAN_OPTIONS:-detect_leaks=1:abort_on_error=1}
export UBSAN_OPTIONS=${UBSAN_OPTIONS:-print_stacktrace=1:halt_on_error=1}
export TSAN_OPTIONS=${TSAN_OPTIONS:-halt_on_error=1:second_deadlock_stack=1}

common=(-DCMAKE_BUILD_TYPE=RelWithDebInfo -DTAVIX_BUILD_BENCH=OFF -DTAVIX_BUILD_WINDOWS=OFF)

echo "== AddressSanitizer + UndefinedBehaviorSanitizer"
cmake -S . -B build-asan "${common[@]}" -DTAVIX_SANITIZE=address,undefined
cmake --build build-asan -j2
ctest --test-dir build-asan --output-on-failure -j1

echo "== ThreadSanitizer"
cmake -S . -B build-tsan "${common[@]}" -DTAVIX_SANITIZE=thread
cmake --build build-tsan -j2 --target tavix_core_tests
ctest --test-dir build-tsan --output-on-failure -j1 -R '^core\.'
