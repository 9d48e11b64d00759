#!/usr/bin/env bash
# Builds Jotterel for 64-bit Windows with MinGW-w64, jotterel.exe and every test, and runs the
# tests under Wine: the core tests and the window tests (on Qt's offscreen platform) with no
# display and a Wine prefix of their own in the build folder, the member folder exchange
# between the Linux and the Windows build, and a member's keyboard session with jotterel.exe on
# an X server with a window manager. Tests that cannot hold on Windows are listed at the end
# with the reason each gives; the last line names the built program.
#
#   scripts/test-windows.sh [build folder, default build-windows]
#
# Qt for Windows is built from Debian's source package once, into a cache folder outside the
# checkout (scripts/windows-qt.sh: about 35 minutes of two cores the first time), and libsodium
# beside it; GoogleTest for Windows once per build folder. Exit status: 0 when everything built and
# passed, 2 when the program does not build for Windows, anything else for any other failure.
set -euo pipefail
cd "$(dirname "$0")/.."
. scripts/compiler-cache.sh
root=$(pwd)
build=${1:-build-windows}
case $build in /*) ;; *) build=$root/$build ;; esac

# Besides what every build needs: MinGW-w64 with POSIX threads (std::thread, std::mutex), Wine
# and the sources of GoogleTest; ImageMagick keeps the screen of a keyboard session that failed.
# Those already installed are skipped.
scripts/install-deps.sh googletest g++-mingw-w64-x86-64-posix wine64 imagemagick

# Qt for Windows, static, from the cache or built into it.
qt=$(scripts/windows-qt.sh | tail -n 1)

toolchain=$root/cmake/mingw-w64-x86_64.cmake
jobs=$(nproc)

# Debian keeps wine64 out of PATH.
wine=/usr/lib/wine/wine64
wineserver=/usr/lib/wine/wineserver64
[ -x "$wine" ] || wine=$(command -v wine64 || command -v wine)
[ -x "$wineserver" ] || wineserver=$(command -v wineserver)

# Quiet and headless: no display, no debug channels, no installers for .NET and HTML engines,
# no desktop menu entries, English messages.
unset DISPLAY WAYLAND_DISPLAY
export WINEPREFIX=$build/wineprefix
export WINEARCH=win64
export WINEDEBUG=-all
export WINEDLLOVERRIDES="mscoree,mshtml=;winemenubuilder.exe=d"
export LC_ALL=C.UTF-8 LANG=C.UTF-8

# GoogleTest for Windows, rebuilt only when Debian's googletest package changes.
gtest_version=$(dpkg-query -W -f='${Version}' googletest)
gtest=$build/googletest
if [ "$(cat "$gtest/install/.version" 2>/dev/null)" != "$gtest_version" ]; then
    echo "Building GoogleTest $gtest_version for Windows"
    rm -rf "$gtest"
    cmake -S /usr/src/googletest -B "$gtest/build" -G Ninja -DCMAKE_TOOLCHAIN_FILE="$toolchain" \
        -DCMAKE_BUILD_TYPE=Release -DCMAKE_INSTALL_PREFIX="$gtest/install" -DBUILD_GMOCK=ON >/dev/null
    cmake --build "$gtest/build" --parallel "$jobs" >/dev/null
    cmake --install "$gtest/build" >/dev/null
    echo "$gtest_version" >"$gtest/install/.version"
fi

# The Wine prefix, made once: the first start takes several seconds and prints notices that a
# test run should not.
if [ ! -f "$WINEPREFIX/system.reg" ]; then
    echo "Creating the Wine prefix $WINEPREFIX"
    "$wine" wineboot --init </dev/null >/dev/null 2>&1
    "$wineserver" -w
fi

# Every test .exe runs through Wine (the toolchain makes Wine the emulator), for test discovery
# in the build too. One wineserver and Wine's own background processes serve the whole run:
# started here, away from the output pipes of the build and of ctest (which would wait for
# them to close), each test takes a tenth of a second instead of a second and a half.
"$wineserver" -p </dev/null >/dev/null 2>&1
trap '"$wineserver" -k >/dev/null 2>&1 || true' EXIT
"$wine" wineboot </dev/null >/dev/null 2>&1

# libsodium for Windows from Debian's source, built once into the cache folder beside Qt's. The
# cross build's pkg-config sees it alone, never the Linux libraries.
sodium=$(scripts/windows-sodium.sh "${JOTTEREL_CACHE:-${XDG_CACHE_HOME:-$HOME/.cache}/jotterel}" | tail -n 1)

does_not_build() {
    echo
    echo "*** Jotterel does not build for Windows (see the errors above). ***"
    exit 2
}

# The Linux half of the exchange test: the same helper built for Linux, core only.
cmake -S . -B "$build/linux" -G Ninja -DCMAKE_BUILD_TYPE=Release -DJOTTEREL_GUI=OFF -DJOTTEREL_BENCHMARKS=OFF >/dev/null
cmake --build "$build/linux" --parallel "$jobs" --target member_exchange

# The host tools (moc, rcc, uic) are those of Debian's Qt of the same version.
PKG_CONFIG_LIBDIR=$sodium/lib/pkgconfig PKG_CONFIG_PATH= \
cmake -S . -B "$build/jotterel" -G Ninja -DCMAKE_TOOLCHAIN_FILE="$toolchain" \
    -DCMAKE_PREFIX_PATH="$gtest/install;$qt;$sodium" -DCMAKE_BUILD_TYPE=Release \
    -DQT_HOST_PATH=/usr -DQT_HOST_PATH_CMAKE_DIR=/usr/lib/x86_64-linux-gnu/cmake \
    -DJOTTEREL_GUI=ON -DJOTTEREL_BENCHMARKS=OFF \
    -DJOTTEREL_EXCHANGE_PARTNER="$build/linux/tests/exchange/member_exchange" || does_not_build
cmake --build "$build/jotterel" --parallel "$jobs" || does_not_build
program=$build/jotterel/Jotterel/jotterel.exe

status=0
ctest --test-dir "$build/jotterel" --output-on-failure --parallel "$jobs" || status=$?

# Each test that cannot hold on Windows says why; CTest only counts them.
log=$build/jotterel/Testing/Temporary/LastTest.log
if grep -aq '^\[  SKIPPED \]' "$log" 2>/dev/null; then
    echo
    echo "Skipped on Windows, and why:"
    awk '/: Skipped$/ { getline reason }
         /^\[  SKIPPED \] [A-Za-z].* \([0-9]+ ms\)$/ { print "  " $4 ": " reason }' "$log"
fi
echo
echo "Windows program: $program"
exit "$status"
