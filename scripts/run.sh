#!/bin/bash
# The main job: build the module and drive it from the simulated host.
set -euo pipefail
root="$(cd "$(dirname "$0")/.." && pwd)"
"$root/scripts/setup.sh"
"$root/scripts/build.sh"
build="${TVK_BUILD:-$root/build}"
. "$root/scripts/wine-env.sh"
# Keep one server for this prefix during the run (fast process starts); stop it
# at the end only if this script started it.
if wineserver -p 2>/dev/null; then
  trap 'wineserver -k 2>/dev/null || true' EXIT
fi
# Start Wine's own services now, detached from our output: started by a test,
# they would hold its output pipe open for as long as the server lives.
wine cmd.exe /c exit </dev/null >/dev/null 2>&1 || true
wine "$build/hostsim/tvkhost.exe" "$build/STM32CortexM3.TVK" "$@"
