#!/bin/sh
# Runs the three steps of the member folder exchange on a fresh application folder:
#   exchange.sh LINUX_HELPER EMULATOR WINDOWS_HELPER FOLDER
set -eu
linux=$1
emulator=$2
windows=$3
folder=$4
rm -rf "$folder"
mkdir -p "$folder"
"$linux" start "$folder"
# The emulator shows the Linux root as drive Z:.
"$emulator" "$windows" continue "Z:$folder"
"$linux" check "$folder"
