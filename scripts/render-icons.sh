#!/usr/bin/env bash
# Renders the program icon and the link cursor from their sources in resources/icons
# (an SVG for the large icon, pixel drawings in XPM for the small icon and the cursor).
# Each pixel is opaque or transparent, as in a 16-colour icon. The PNGs are committed; run this
# after changing a source. Needs ImageMagick.
set -euo pipefail
cd "$(dirname "$0")/../resources/icons"
convert -background none -density 96 jotterel.svg -resize 32x32 -colors 16 -channel A -threshold 50% +channel \
    PNG32:jotterel-32.png
convert jotterel-16.xpm PNG32:jotterel-16.png
convert link-cursor.xpm PNG32:link-cursor.png
# The icon of the Windows program file: both sizes in one .ico, as Explorer and the task bar pick.
convert jotterel-16.png jotterel-32.png jotterel.ico
