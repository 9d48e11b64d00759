#!/usr/bin/env bash
# Builds Jotterel with its tests and runs every test, then fuzzes the file readers for a short
# while (scripts/fuzz.sh). Window tests run on Qt's offscreen platform, so no display is needed;
# the placement tests start a virtual X server with a window manager of their own.
set -euo pipefail
cd "$(dirname "$0")/.."
scripts/install-deps.sh
. scripts/compiler-cache.sh
cmake -S . -B build -G Ninja -DCMAKE_BUILD_TYPE=Release
cmake --build build
ctest --test-dir build --output-on-failure --parallel "$(nproc)"
scripts/fuzz.sh 10
