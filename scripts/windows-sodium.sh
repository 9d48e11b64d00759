#!/usr/bin/env bash
# Builds a static libsodium for 64-bit Windows (MinGW-w64) from Debian's own source package of
# the libsodium the Linux build uses, into a folder (the cache folder Qt for Windows is kept in,
# when scripts/test-windows.sh asks), once for each version.
#
#   scripts/windows-sodium.sh BUILD-FOLDER
#
# Prints the install prefix on its last line (the only line on standard output); its
# lib/pkgconfig holds libsodium.pc for the cross build's pkg-config.
set -euo pipefail
cd "$(dirname "$0")/.."
build=$1
mkdir -p "$build"
build=$(cd "$build" && pwd)

# Debian's source package leaves configure to autoreconf, as its own build does.
scripts/install-deps.sh dpkg-dev g++-mingw-w64-x86-64-posix autoconf automake libtool >&2

version=$(dpkg-query -W -f='${Version}' libsodium-dev)
upstream=${version#*:}
upstream=${upstream%%[+-]*}
prefix=$build/libsodium-$upstream
stamp=$prefix/.installed
# One build at a time in a folder that several checkouts share.
exec 9>"$build/libsodium-$upstream.lock"
flock 9
if [ "$(cat "$stamp" 2>/dev/null)" = "$version" ]; then
    echo "$prefix"
    exit 0
fi

work=$build/sources
source=$(scripts/debian-source.sh libsodium-dev "$work" | tail -n 1)
objects=$work/libsodium-$upstream-mingw-w64
log=$build/libsodium-$upstream.log
echo "Building libsodium $version for Windows, static, into $prefix (log: $log)" >&2
rm -rf "$objects" "$prefix"
mkdir -p "$objects"
if [ ! -x "$source/configure" ]; then
    (cd "$source" && autoreconf -fi) >"$log" 2>&1 || { tail -n 40 "$log" >&2; exit 1; }
fi
# The C runtime's own stack protector is not linked into the programs, so none here either.
if ! (cd "$objects" && "$source/configure" --host=x86_64-w64-mingw32 CC=x86_64-w64-mingw32-gcc-posix \
        --prefix="$prefix" --disable-shared --enable-static --disable-ssp --with-pic=no &&
      make -j"$(nproc)" && make install) >>"$log" 2>&1; then
    tail -n 40 "$log" >&2
    echo "*** libsodium did not build for Windows; the whole log is $log ***" >&2
    exit 1
fi
rm -rf "$objects"
# A static libsodium has to be told so by its users' compiler (otherwise its headers ask for
# the DLL's imports): the build learns it from pkg-config like the include folder.
sed -i 's/^Cflags: .*/& -DSODIUM_STATIC/' "$prefix/lib/pkgconfig/libsodium.pc"
echo "$version" >"$stamp"
echo "$prefix"
