#!/bin/bash
# The main job: build the module and drive it from the simulated host.
set -euo pipefail
root="$(cd "$(dirname "$0")/.." && pwd)"
"$root/scripts/setup.sh"
"$root/scripts/build.sh"
build="${TVK_BUILD:-$root/build}"
. "$root/scripts/wine-env.sh"
if ! pgrep -f wineserver >/dev/null; then
  wineserver -p
  trap 'wineserver -k 2>/dev/null || true' EXIT
fi
wine "$build/hostsim/tvkhost.exe" "$build/STM32CortexM3.TVK" "$@"
