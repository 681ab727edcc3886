#!/bin/bash
# The test command: install what is missing, build, run every test under Wine.
set -euo pipefail
root="$(cd "$(dirname "$0")/.." && pwd)"
"$root/scripts/setup.sh"
"$root/scripts/build.sh"
. "$root/scripts/wine-env.sh"
# Keep one server for the whole run (fast process starts); stop it only if we started it.
if ! pgrep -f wineserver >/dev/null; then
  wineserver -p
  trap 'wineserver -k 2>/dev/null || true' EXIT
fi
cd "${TVK_BUILD:-$root/build}"
# One test executable at a time: several share the host's System folder beside them.
ctest --output-on-failure "$@"
