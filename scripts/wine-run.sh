#!/bin/bash
# Runs a Windows program in the project's Wine prefix; used as the CMake emulator.
# The program's output goes through a file: a Wine service that the program
# happens to start inherits its output, and would hold CTest's pipe open for as
# long as the server lives.
. "$(dirname "$0")/wine-env.sh"
out="$(mktemp)"
trap 'rm -f "$out"' EXIT
status=0
"$WINELOADER" "$@" >"$out" 2>&1 </dev/null || status=$?
cat "$out"
exit $status
