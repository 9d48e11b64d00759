#!/usr/bin/env bash
# Builds the fuzz targets with clang (AddressSanitizer and UndefinedBehaviorSanitizer included)
# and runs each one on its seeds (tests/fuzz/seeds) and on the corpus it has grown so far
# (build-fuzz/corpus). A crash, a sanitizer finding or a hang stops the target and fails.
#   scripts/fuzz.sh                   30 seconds per target
#   scripts/fuzz.sh 10                10 seconds per target (the short run of scripts/test.sh)
#   scripts/fuzz.sh --runs 10000000   ten million executions per target (the long run)
set -euo pipefail
cd "$(dirname "$0")/.."
limit="-max_total_time=${1:-30}"
if [ "${1:-}" = "--runs" ]; then
    limit="-runs=${2:?how many executions per target}"
fi
scripts/install-deps.sh clang libclang-rt-14-dev
. scripts/compiler-cache.sh
CC=clang CXX=clang++ cmake -S . -B build-fuzz -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo -DJOTTEREL_FUZZ=ON >/dev/null
cmake --build build-fuzz
status=0
for target in FuzzPage FuzzCaptions FuzzPasswordFile FuzzLeadingNumber FuzzPageSearch FuzzProtectedFiles; do
    corpus="build-fuzz/corpus/$target"
    mkdir -p "$corpus"
    log="build-fuzz/$target.log"
    start=$(date +%s)
    if build-fuzz/tests/fuzz/$target "$limit" -max_len=65536 -timeout=25 -print_final_stats=1 \
        -artifact_prefix="build-fuzz/$target-" "$corpus" "tests/fuzz/seeds/$target" >"$log" 2>&1; then
        runs=$(grep -o 'stat::number_of_executed_units: [0-9]*' "$log" | grep -o '[0-9]*$')
        echo "$target: $runs executions in $(($(date +%s) - start)) s, 0 crashes"
    else
        echo "$target: CRASHED, see $log and the input saved as build-fuzz/$target-*"
        tail -30 "$log"
        status=1
    fi
done
exit $status
