#!/usr/bin/env bash
# Builds the fuzz targets with clang (AddressSanitizer and UndefinedBehaviorSanitizer included)
# and runs each for the given number of seconds (default 30). Corpora are kept in build-fuzz/.
#   scripts/fuzz.sh            short run
#   scripts/fuzz.sh 1200       long run
set -euo pipefail
cd "$(dirname "$0")/.."
seconds="${1:-30}"
scripts/install-deps.sh clang libclang-rt-14-dev
CC=clang CXX=clang++ cmake -S . -B build-fuzz -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo -DJOTTEREL_FUZZ=ON >/dev/null
cmake --build build-fuzz
status=0
for target in FuzzPage FuzzCaptions FuzzPasswordFile FuzzLeadingNumber; do
    corpus="build-fuzz/corpus/$target"
    mkdir -p "$corpus"
    log="build-fuzz/$target.log"
    if build-fuzz/tests/fuzz/$target -max_total_time="$seconds" -max_len=65536 -print_final_stats=1 \
        -artifact_prefix="build-fuzz/$target-" "$corpus" >"$log" 2>&1; then
        runs=$(grep -o 'stat::number_of_executed_units: [0-9]*' "$log" | grep -o '[0-9]*$')
        echo "$target: $runs executions, no crash"
    else
        echo "$target: FAILED, see $log"
        tail -30 "$log"
        status=1
    fi
done
exit $status
