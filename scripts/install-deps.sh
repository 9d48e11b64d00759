#!/usr/bin/env bash
# Installs the Debian packages Jotterel needs to build, test and run, skipping those already
# present. Run as root (or through sudo).
set -euo pipefail

packages=(
    build-essential cmake ninja-build pkg-config ccache
    qt6-base-dev qt6-base-dev-tools qt6-qpa-plugins
    libgtest-dev libgmock-dev libbenchmark-dev
    libsodium-dev
    fonts-dejavu-core fonts-liberation2 fonts-comic-neue
    desktop-file-utils
    libxcb1-dev libxcb-damage0-dev xvfb icewm
    "$@"
)

missing=()
for p in "${packages[@]}"; do
    if ! dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed"; then
        missing+=("$p")
    fi
done

if [ ${#missing[@]} -gt 0 ]; then
    echo "Installing: ${missing[*]}"
    SUDO=""
    if [ "$(id -u)" -ne 0 ]; then
        SUDO="sudo"
    fi
    $SUDO apt-get update -qq
    DEBIAN_FRONTEND=noninteractive $SUDO apt-get install -y -qq --no-install-recommends "${missing[@]}"
fi
