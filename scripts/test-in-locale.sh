#!/usr/bin/env bash
# Runs every test once more under another locale and system language (German by default), to
# show that the tests pin what they need and that Jotterel works whatever the desktop's language.
# Builds first if needed, with scripts/test.sh's build folder.
#   scripts/test-in-locale.sh                 de_DE.UTF-8
#   scripts/test-in-locale.sh fr_FR.UTF-8
set -euo pipefail
cd "$(dirname "$0")/.."
locale_name="${1:-de_DE.UTF-8}"
language="${locale_name%%_*}"
scripts/install-deps.sh locales
. scripts/compiler-cache.sh
if ! locale -a | grep -qix "$(echo "$locale_name" | sed 's/UTF-8/utf8/')"; then
    SUDO=""
    if [ "$(id -u)" -ne 0 ]; then
        SUDO="sudo"
    fi
    $SUDO sed -i "s/^# *\\($locale_name UTF-8\\)/\\1/" /etc/locale.gen
    grep -q "^$locale_name UTF-8" /etc/locale.gen || echo "$locale_name UTF-8" | $SUDO tee -a /etc/locale.gen >/dev/null
    $SUDO locale-gen >/dev/null
fi
if [ ! -d build ]; then
    cmake -S . -B build -G Ninja -DCMAKE_BUILD_TYPE=Release
fi
cmake --build build
LANG="$locale_name" LC_ALL="$locale_name" LANGUAGE="$language" \
    ctest --test-dir build --output-on-failure --parallel "$(nproc)"
