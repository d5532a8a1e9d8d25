#!/usr/bin/env bash
# Builds the libFuzzer target over decode, parse and compose with clang and runs it for a bounded time.
#   scripts/fuzz.sh [SECONDS]     default 60; exits non-zero when the fuzzer finds a crash or a broken invariant
# The seed corpus in tests/fuzz/corpus is only read; new inputs go to build-fuzz/corpus, crashes to
# build-fuzz/artifacts/.
set -euo pipefail
cd "$(dirname "$0")/.."

seconds=${1:-60}
case "$seconds" in
    '' | *[!0-9]*) echo "usage: scripts/fuzz.sh [SECONDS]" >&2; exit 2 ;;
esac

scripts/install-deps.sh native

cmake -S . -B build-fuzz -DCMAKE_BUILD_TYPE=RelWithDebInfo -DCMAKE_CXX_COMPILER=clang++ -DTAVIX_FUZZ=ON \
    -DTAVIX_BUILD_TESTS=OFF -DTAVIX_BUILD_BENCH=OFF -DTAVIX_BUILD_WINDOWS=OFF
cmake --build build-fuzz -j2 --target fuzz_core

mkdir -p build-fuzz/corpus build-fuzz/artifacts
echo "Fuzzing for ${seconds} s"
build-fuzz/tests/fuzz/fuzz_core -max_total_time="$seconds" -timeout=10 -rss_limit_mb=2048 -print_final_stats=1 \
    -artifact_prefix=build-fuzz/artifacts/ build-fuzz/corpus tests/fuzz/corpus
echo "Fuzzing found nothing in ${seconds} s"
