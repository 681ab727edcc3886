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
# A program that failed without a single line of output never started (Wine
# refused the launch now and then under load): it gets one more start, and a
# program that really fails that way fails again.
if [ "$status" -ne 0 ] && [ ! -s "$out" ]; then
  echo "wine-run: exit $status without output; starting once more" >&2
  status=0
  "$WINELOADER" "$@" >"$out" 2>&1 </dev/null || status=$?
fi
cat "$out"
exit $status
