#!/usr/bin/env bash
# Builds a static Qt for 64-bit Windows (MinGW-w64) from Debian's own source package of the Qt
# the Linux build uses, once, into a cache folder outside the checkout keyed by Qt's version.
# A later run finds the finished install and reuses it; an interrupted build goes on where it
# stopped.
#
#   scripts/windows-qt.sh
#
# Prints the Qt prefix on its last line (the only line on standard output). The build's own
# output goes to build.log beside the prefix. JOTTEREL_CACHE chooses the cache folder.
set -euo pipefail
cd "$(dirname "$0")/.."
root=$(pwd)

# Debian's source package, the MinGW-w64 compilers and the host tools of Debian's Qt (moc, rcc,
# uic), which the Windows build runs. Those already installed are skipped.
scripts/install-deps.sh dpkg-dev g++-mingw-w64-x86-64-posix >&2

cache=${JOTTEREL_CACHE:-${XDG_CACHE_HOME:-$HOME/.cache}/jotterel}
version=$(dpkg-query -W -f='${Version}' qt6-base-dev)
upstream=${version#*:}
upstream=${upstream%%[+-]*}
prefix=$cache/qt-$upstream-mingw-w64-static
stamp=$prefix/.installed
# One build at a time: a second run waits for the first and then finds its install.
mkdir -p "$cache"
exec 9>"$cache/qt-$upstream-mingw-w64-static.lock"
flock 9
if [ "$(cat "$stamp" 2>/dev/null)" = "$version" ]; then
    echo "$prefix"
    exit 0
fi

work=$cache/work
build=$work/qt-$upstream-mingw-w64-static
log=$cache/qt-$upstream-mingw-w64-static.log
mkdir -p "$work" "$build"
source=$(scripts/debian-source.sh qt6-base-dev "$work" | tail -n 1)

# The project's toolchain, with the Qt prefix searched as well and no Wine: Qt's build runs
# only the Linux host tools.
cat >"$build/toolchain.cmake" <<TOOLCHAIN
include("$root/cmake/mingw-w64-x86_64.cmake")
list(APPEND CMAKE_FIND_ROOT_PATH "$prefix")
unset(CMAKE_CROSSCOMPILING_EMULATOR)
TOOLCHAIN

# pkg-config would offer Linux libraries to a Windows build.
mkdir -p "$build/no-pkgconfig"
export PKG_CONFIG_LIBDIR=$build/no-pkgconfig PKG_CONFIG_PATH=

echo "Building Qt $version for Windows, static, into $prefix (log: $log)" >&2
start=$(date +%s)
failed() {
    tail -n 40 "$log" >&2
    echo "*** The Qt build for Windows failed; the whole log is $log ***" >&2
    exit 1
}
{
    # Only what Jotterel uses: Core, Gui, Widgets and Test with the windows, offscreen and
    # minimal platforms. Debian's source leaves out the tablet header of the windows platform,
    # hence no tablet events.
    if [ ! -f "$build/build.ninja" ]; then
        (cd "$build" && "$source/configure" -release -static -prefix "$prefix" -qt-host-path /usr \
            -nomake examples -nomake tests -no-opengl -no-dbus \
            -no-feature-sql -no-feature-network -no-feature-concurrent -no-feature-xml \
            -no-feature-printsupport -no-feature-tabletevent \
            -qt-zlib -qt-libpng -no-feature-jpeg -qt-pcre -qt-harfbuzz -qt-freetype \
            -qt-doubleconversion \
            -- -G Ninja -DQT_HOST_PATH_CMAKE_DIR=/usr/lib/x86_64-linux-gnu/cmake \
            -DCMAKE_TOOLCHAIN_FILE="$build/toolchain.cmake")
    fi
    cmake --build "$build" --parallel "$(nproc)"
    rm -rf "$prefix"
    cmake --install "$build"
} >"$log" 2>&1 || failed
echo "$version" >"$stamp"
echo "Qt for Windows built in $(( ($(date +%s) - start) / 60 )) min" >&2
# The install holds everything a build needs; the objects are gigabytes.
rm -rf "$build"
echo "$prefix"
