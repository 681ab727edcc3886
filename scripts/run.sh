#!/bin/bash
# The main job: build the module and drive it from the simulated host; the
# product where this machine runs 32-bit programs, the twin otherwise.
set -euo pipefail
root="$(cd "$(dirname "$0")/.." && pwd)"
. "$root/scripts/builds.sh"
. "$root/scripts/wine-env.sh"
# Decided after set-up: on a fresh machine Wine's 32-bit half is there only then.
"$root/scripts/setup.sh" >/dev/null
arch="$(tvk_run_arch)"
if [ "$arch" = i686 ]; then
  echo "running the i686 module (the product)"
else
  echo "running the x86_64 twin (this machine cannot run 32-bit programs)"
fi
TVK_ARCH=$arch "$root/scripts/build.sh" >/dev/null
tvk_start_wine
build="$(tvk_build_dir "$arch")"
"$WINELOADER" "$build/hostsim/tvkhost.exe" "$build/STM32CortexM3.TVK" "$@"
