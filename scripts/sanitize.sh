#!/usr/bin/env bash
# Builds Jotterel and its tests with AddressSanitizer and UndefinedBehaviorSanitizer (in
# build-sanitize/) and runs every test there. An out-of-bounds access, a use after free, a leak
# or undefined behaviour ends the test that caused it with a report, and fails the run.
set -euo pipefail
cd "$(dirname "$0")/.."
scripts/install-deps.sh
. scripts/compiler-cache.sh
cmake -S . -B build-sanitize -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo -DJOTTEREL_SANITIZE=ON \
    -DJOTTEREL_BENCHMARKS=OFF >/dev/null
cmake --build build-sanitize
export ASAN_OPTIONS="detect_leaks=1:abort_on_error=0:strict_string_checks=1:detect_stack_use_after_return=1"
export UBSAN_OPTIONS="print_stacktrace=1:halt_on_error=1"
ctest --test-dir build-sanitize --output-on-failure --parallel "$(nproc)"
