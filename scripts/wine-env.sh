# Sourced: the project's private 32-bit Wine prefix.
export WINEPREFIX="${TVK_WINEPREFIX:-$HOME/.tvk-wine32}"
export WINEARCH=win32
export WINEDEBUG="${WINEDEBUG:--all}"
export WINEDLLOVERRIDES="${WINEDLLOVERRIDES:-mscoree,mshtml=}"
