#!/bin/sh
# A member's keyboard session with jotterel.exe under Wine, on an X server of its own with a
# window manager, then the Linux build's check of what it wrote:
#   keyboard.sh LINUX_HELPER WINE KEYBOARD_SESSION JOTTEREL_EXE FOLDER
# The program is copied into FOLDER/app, a fresh application folder. Wine runs with a prefix of
# its own (FOLDER/../wineprefix-desktop, made once), since a prefix already serving programs
# without a display would keep these from the X server. Exit status 77 (skipped) when Xvfb or
# the window manager is not installed.
set -eu
linux=$1
wine=$2
session=$3
program=$4
folder=$5

for tool in Xvfb icewm; do
    if ! command -v "$tool" >/dev/null 2>&1; then
        echo "[  SKIPPED ] $tool is not installed: the windows cannot be shown to type into."
        exit 77
    fi
done
wineserver=$(dirname "$wine")/wineserver64
[ -x "$wineserver" ] || wineserver=$(dirname "$wine")/wineserver
[ -x "$wineserver" ] || wineserver=$(command -v wineserver)

rm -rf "$folder"
mkdir -p "$folder/app"
cp "$program" "$folder/app/jotterel.exe"

xvfb=
wm=
cleanup() {
    "$wineserver" -k >/dev/null 2>&1 || true
    [ -z "$wm" ] || kill "$wm" 2>/dev/null || true
    [ -z "$xvfb" ] || kill "$xvfb" 2>/dev/null || true
}
trap cleanup EXIT

# The X server picks a free display and says which.
Xvfb -displayfd 3 -screen 0 1024x768x24 -nolisten tcp 3>"$folder/display" >"$folder/xvfb.log" 2>&1 &
xvfb=$!
tries=0
while [ ! -s "$folder/display" ]; do
    tries=$((tries + 1))
    if [ "$tries" -gt 300 ]; then
        echo "the X server did not start" >&2
        exit 1
    fi
    sleep 0.1
done
DISPLAY=:$(cat "$folder/display")
export DISPLAY
icewm >"$folder/icewm.log" 2>&1 &
wm=$!

WINEPREFIX=$(dirname "$folder")/wineprefix-desktop
export WINEPREFIX
if [ ! -f "$WINEPREFIX/system.reg" ]; then
    echo "Creating the Wine prefix $WINEPREFIX"
    "$wine" wineboot --init </dev/null >"$folder/wineboot.log" 2>&1
fi
"$wine" wineboot </dev/null >/dev/null 2>&1

status=0
"$wine" "$session" "Z:$folder/app/jotterel.exe" || status=$?
if [ "$status" -ne 0 ]; then
    if command -v import >/dev/null 2>&1; then
        import -window root "$folder/screen.png" 2>/dev/null && echo "The screen at the end: $folder/screen.png"
    fi
    exit "$status"
fi
"$wineserver" -w
"$linux" typed "$folder/app"
