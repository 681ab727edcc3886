#!/bin/bash
# Installs what the build and tests need (Debian 12, as root) and creates the
# Wine prefix. Safe to run again: it only does what is missing.
set -euo pipefail
here="$(cd "$(dirname "$0")" && pwd)"

# Both cross compilers always; Wine's 64-bit half runs the twin everywhere, its
# 32-bit half the product where the kernel runs 32-bit programs.
packages=(g++-mingw-w64-i686 g++-mingw-w64-x86-64 mingw-w64-tools libz-mingw-w64-dev
          wine wine64 wine32:i386 xvfb xauth fonts-liberation cmake ninja-build googletest python3)
missing=()
for p in "${packages[@]}"; do
  dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed" || missing+=("$p")
done
if ((${#missing[@]})); then
  SUDO=""; [ "$(id -u)" = 0 ] || SUDO=sudo
  $SUDO dpkg --add-architecture i386
  $SUDO apt-get update -qq
  # wine32's package scripts fail harmlessly where 32-bit programs cannot run.
  DEBIAN_FRONTEND=noninteractive $SUDO apt-get install -y -qq "${missing[@]}" >/dev/null 2>&1 ||
    DEBIAN_FRONTEND=noninteractive $SUDO apt-get install -y -qq "${missing[@]}" >/dev/null
fi

. "$here/wine-env.sh"
# The prefix remembers whether it was made with the 32-bit half running; made
# without, it lacks that half's system files, so a machine that runs 32-bit
# programs makes it again.
halves=64
tvk_runs_32bit && halves=32+64
if [ "$(cat "$WINEPREFIX/.tvk-ready" 2>/dev/null)" != "$halves" ]; then
  echo "creating Wine prefix $WINEPREFIX ($halves-bit)"
  wineserver -k 2>/dev/null || true
  rm -rf "$WINEPREFIX"
  "$WINELOADER" wineboot -i >/dev/null 2>&1 || true
  wineserver -w
  # Null graphics driver: windows are created headless unless DISPLAY says otherwise.
  "$WINELOADER" reg add 'HKCU\Software\Wine\Drivers' /v Graphics /d null /f >/dev/null 2>&1
  wineserver -w
  echo "$halves" > "$WINEPREFIX/.tvk-ready"
fi
