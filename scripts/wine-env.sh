# Sourced: the project's private Wine prefix. One 64-bit prefix serves the
# twin's 64-bit programs and, where this machine runs 32-bit code, the
# product's 32-bit ones too (Wine's own loader picks the half it needs).
export WINEPREFIX="${TVK_WINEPREFIX:-$HOME/.tvk-wine64}"
export WINEARCH=win64
export WINELOADER=/usr/lib/wine/wine64
export WINESERVER=/usr/lib/wine/wineserver64
export WINEDEBUG="${WINEDEBUG:--all}"
export WINEDLLOVERRIDES="${WINEDLLOVERRIDES:-mscoree,mshtml=}"
# Whether this machine runs 32-bit programs: asked of the kernel each time
# (by starting one), never remembered, so nothing copied from elsewhere fools it.
tvk_runs_32bit() { [ -x /usr/lib/wine/wineserver32 ] && /usr/lib/wine/wineserver32 --version >/dev/null 2>&1; }
# The build a program of this tree runs from: TVK_ARCH when set, else the
# product where 32-bit programs run and the twin elsewhere.
tvk_run_arch() {
  if [ -n "${TVK_ARCH:-}" ]; then echo "$TVK_ARCH"
  elif tvk_runs_32bit; then echo i686
  else echo x86_64; fi
}
# Keeps one server for this prefix while the calling script runs (fast process
# starts), stopped at its end only if it was started here; then starts Wine's
# own services detached from our output: started by a test, they would hold
# its output pipe open for as long as the server lives.
tvk_start_wine() {
  if wineserver -p 2>/dev/null; then
    trap 'wineserver -k 2>/dev/null || true' EXIT
  fi
  "$WINELOADER" cmd.exe /c exit </dev/null >/dev/null 2>&1 || true
}
