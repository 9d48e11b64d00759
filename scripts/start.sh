#!/usr/bin/env bash
# Builds Jotterel and starts it. The member folders live beside the program, in build/Jotterel/.
set -euo pipefail
cd "$(dirname "$0")/.."
scripts/install-deps.sh
. scripts/compiler-cache.sh
cmake -S . -B build -G Ninja -DCMAKE_BUILD_TYPE=Release
cmake --build build --target jotterel
exec build/Jotterel/jotterel
