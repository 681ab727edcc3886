#!/bin/bash
# Configures and builds every build of scripts/builds.sh (or the one TVK_ARCH
# names), then reports where the compile time went.
set -euo pipefail
here="$(cd "$(dirname "$0")" && pwd)"
. "$here/builds.sh"
launcher=()
# A compiler cache, where the developer has one, is shared by all checkouts.
if command -v ccache >/dev/null; then
  # The settings ride in the launcher, so later `cmake --build` calls keep them:
  # paths relative to the checkout, and the precompiled header made cacheable.
  cache="/usr/bin/env;CCACHE_BASEDIR=${CCACHE_BASEDIR:-$tvk_root};CCACHE_SLOPPINESS=pch_defines,time_macros,include_file_mtime,include_file_ctime;ccache"
  launcher=("-DCMAKE_CXX_COMPILER_LAUNCHER=$cache" "-DCMAKE_C_COMPILER_LAUNCHER=$cache")
fi
for arch in $(tvk_archs); do
  build="$(tvk_build_dir "$arch")"
  if [ ! -f "$build/build.ninja" ]; then
    cmake -S "$tvk_root" -B "$build" -G Ninja -DCMAKE_BUILD_TYPE=Release "${launcher[@]}" \
          -DCMAKE_TOOLCHAIN_FILE="$tvk_root/cmake/mingw-$arch.cmake" >/dev/null
  fi
  echo "== build $arch: $build"
  # The build's real CPU time (user, system, wall), for the cost report.
  TIMEFORMAT="%U %S %R"
  { time cmake --build "$build" -- -k 0 2>&3; } 3>&2 2>"$build/.tvk_build_cpu"
  if command -v python3 >/dev/null; then
    python3 "$here/buildcost.py" "$build"
  fi
done
