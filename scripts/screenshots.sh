#!/bin/bash
# Renders the styled controls in look modes 0, 1 and 2, a rack instrument
# panel in three plate schemes, the look-and-feel library's cursors and the
# in-place editors' windowless cells into
# PNG files under
# the build folder (screenshots/), under a virtual X server.
set -euo pipefail
root="$(cd "$(dirname "$0")/.." && pwd)"
. "$root/scripts/builds.sh"
. "$root/scripts/wine-env.sh"
arch="$(tvk_run_arch)"
TVK_ARCH=$arch "$root/scripts/build.sh" >/dev/null
build="$(tvk_build_dir "$arch")"
cmake --build "$build" --target tvk_tools >/dev/null
tvk_start_wine
mkdir -p "$build/screenshots"
xvfb-run -a "$WINELOADER" "$build/styled_screens.exe" "$(winepath -w "$build/screenshots" 2>/dev/null || echo "$build/screenshots")"
xvfb-run -a "$WINELOADER" "$build/instrument_screens.exe" "$(winepath -w "$build/screenshots" 2>/dev/null || echo "$build/screenshots")"
xvfb-run -a "$WINELOADER" "$build/laf_cursor_screens.exe" "$(winepath -w "$build/screenshots" 2>/dev/null || echo "$build/screenshots")"
xvfb-run -a "$WINELOADER" "$build/inplace_screens.exe" "$(winepath -w "$build/screenshots" 2>/dev/null || echo "$build/screenshots")"
ls "$build"/screenshots/*.png
