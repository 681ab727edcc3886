#!/bin/bash
# Configures and builds every build of scripts/builds.sh (or the one TVK_ARCH
# names), then reports where the compile time went.
set -euo pipefail
here="$(cd "$(dirname "$0")" && pwd)"
. "$here/builds.sh"
launcher=()
# A compiler cache, where the developer has one, is shared by all checkouts.
if command -v ccache >/dev/null; then
  launcher=(-DCMAKE_CXX_COMPILER_LAUNCHER=ccache -DCMAKE_C_COMPILER_LAUNCHER=ccache)
  export CCACHE_BASEDIR="${CCACHE_BASEDIR:-$tvk_root}"
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
