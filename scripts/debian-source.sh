#!/usr/bin/env bash
# Fetches and unpacks the Debian source package of an installed package, at the exact version
# installed, through an apt folder of its own: the system's own Debian entries as deb-src. The
# system's apt setup (sources, lists, caches) is left as it is.
#
#   scripts/debian-source.sh INSTALLED-PACKAGE WORK-FOLDER
#
# Prints the unpacked source folder on its last line. An already unpacked source is reused.
set -euo pipefail
package=$1
work=$2

source_package=$(dpkg-query -W -f='${source:Package}' "$package")
version=$(dpkg-query -W -f='${source:Version}' "$package")
upstream=${version#*:}
upstream=${upstream%-*}
unpacked=$work/$source_package-${version#*:}
if [ -f "$unpacked/.unpacked" ]; then
    echo "$unpacked"
    exit 0
fi

apt=$work/apt
mkdir -p "$apt/sources.list.d" "$apt/lists/partial" "$apt/cache/archives/partial" "$work/download"
# The system's entries, the same archives and suites, for sources instead of binaries.
sed 's/^Types:.*/Types: deb-src/' /etc/apt/sources.list.d/debian.sources >"$apt/sources.list.d/debian-src.sources"
options=(-o Dir::Etc::SourceList=/dev/null -o Dir::Etc::SourceParts="$apt/sources.list.d"
    -o Dir::State::Lists="$apt/lists" -o Dir::Cache="$apt/cache")

echo "Fetching the Debian source of $source_package $version" >&2
apt-get "${options[@]}" -qq update >&2
(cd "$work/download" && apt-get "${options[@]}" -qq source --download-only "$source_package=$version" >&2)

rm -rf "$unpacked"
dsc=$work/download/${source_package}_${version#*:}.dsc
dpkg-source --no-check -x "$dsc" "$unpacked" >&2
touch "$unpacked/.unpacked"
echo "$unpacked"
