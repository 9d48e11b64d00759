#!/bin/sh
# Runs a window test program under Wine with its standard error written to a file and passed
# on once the program has ended. Wine starts its desktop process from the first program that
# makes a window (Qt's event loop makes one), and that process keeps the program's standard
# error open for as long as it lives; CTest would wait for that pipe until the test's time ran
# out, although the test had passed.
err=$(mktemp) || exit 1
"$@" 2>"$err"
status=$?
cat "$err" >&2
rm -f "$err"
exit $status
