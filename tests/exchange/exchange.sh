#!/bin/sh
# Runs the member folder exchange on a fresh application folder:
#   exchange.sh LINUX_HELPER EMULATOR WINDOWS_HELPER FOLDER
# Linux starts the folder; while Linux holds the member's lock, Windows is refused; then
# Windows continues the folder and Linux checks it.
set -eu
linux=$1
emulator=$2
windows=$3
folder=$4
rm -rf "$folder"
mkdir -p "$folder"
"$linux" start "$folder"

"$linux" hold "$folder" &
holder=$!
tries=0
while [ ! -f "$folder/held" ]; do
    tries=$((tries + 1))
    if [ "$tries" -gt 500 ]; then
        echo "the Linux build never took the lock" >&2
        kill "$holder" 2>/dev/null || true
        exit 1
    fi
    sleep 0.02
done
# The emulator shows the Linux root as drive Z:.
status=0
"$emulator" "$windows" refused "Z:$folder" || status=$?
touch "$folder/release"
wait "$holder"
[ "$status" -eq 0 ] || exit "$status"
rm -f "$folder/held" "$folder/release"

"$emulator" "$windows" continue "Z:$folder"
"$linux" check "$folder"
