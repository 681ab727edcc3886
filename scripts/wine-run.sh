#!/bin/bash
# Runs a Windows program in the project's Wine prefix; used as the CMake emulator.
. "$(dirname "$0")/wine-env.sh"
exec "$WINELOADER" "$@"
