#!/bin/bash
# Renders the styled controls in look modes 0, 1 and 2, a rack instrument
# panel in three plate schemes, the module's pin-state panel docked by the
# simulated host, a dialog like the flash memory utility's, a
# pin-state panel with its page control in the three looks, the look-and-feel
# library's cursors, its drawing galleries and the elements of the base
# painter and of every registered style in every state (the native style also
# without the theme library), the in-place editors' windowless cells, and the
# picture and blob editors with their toolbar, pop-ups and pop-up forms, the
# calculator, the calendar and the value editors' cells, and the module's ARM
# rack panel held in a rack over the simulated chip, into
# PNG files under the build folder
# (screenshots/), under a virtual X server.
set -euo pipefail
root="$(cd "$(dirname "$0")/.." && pwd)"
. "$root/scripts/builds.sh"
. "$root/scripts/wine-env.sh"
"$root/scripts/setup.sh" >/dev/null  # before the build is picked (Wine's 32-bit half)
arch="$(tvk_run_arch)"
TVK_ARCH=$arch "$root/scripts/build.sh" >/dev/null
build="$(tvk_build_dir "$arch")"
cmake --build "$build" --target tvk_tools >/dev/null
tvk_start_wine
mkdir -p "$build/screenshots"
# The folder as the programs see it; where winepath prints nothing, Wine's Z:
# drive, which maps the root (an empty argument would write to the drive root).
out="$(winepath -w "$build/screenshots" 2>/dev/null || true)"
[ -n "$out" ] || out="Z:$(echo "$build/screenshots" | tr / '\\')"
for program in styled_screens instrument_screens page_screens flash_dialog_screens flash_utility_screens list_screens \
               laf_cursor_screens painter_gallery laf_drawing_screens container_screens inplace_screens exeditor_screens \
               dx_edit_screens picture_editor_screens value_editor_screens rack_screens pins_panel_screens treelist_screens inspector_screens tab_screens editor_screens; do
  xvfb-run -a "$WINELOADER" "$build/$program.exe" "$out"
done
ls "$build"/screenshots/*.png
