#!/bin/bash
# Installs what the build and tests need (Debian 12, as root) and creates the
# Wine prefix. Safe to run again: it only does what is missing.
set -euo pipefail
here="$(cd "$(dirname "$0")" && pwd)"

packages=(g++-mingw-w64-i686 mingw-w64-tools libz-mingw-w64-dev wine wine32:i386
          xvfb xauth fonts-liberation cmake ninja-build googletest python3)
missing=()
for p in "${packages[@]}"; do
  dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed" || missing+=("$p")
done
if ((${#missing[@]})); then
  SUDO=""; [ "$(id -u)" = 0 ] || SUDO=sudo
  $SUDO dpkg --add-architecture i386
  $SUDO apt-get update -qq
  DEBIAN_FRONTEND=noninteractive $SUDO apt-get install -y -qq "${missing[@]}" >/dev/null
fi

. "$here/wine-env.sh"
if [ ! -f "$WINEPREFIX/.tvk-ready" ]; then
  echo "creating Wine prefix $WINEPREFIX"
  rm -rf "$WINEPREFIX"
  wineboot -i >/dev/null 2>&1 || true
  wineserver -w
  # Null graphics driver: windows are created headless unless DISPLAY says otherwise.
  wine reg add 'HKCU\Software\Wine\Drivers' /v Graphics /d null /f >/dev/null 2>&1
  wineserver -w
  touch "$WINEPREFIX/.tvk-ready"
fi
