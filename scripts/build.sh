#!/bin/bash
# Configures and builds everything into ${TVK_BUILD:-build}.
set -euo pipefail
root="$(cd "$(dirname "$0")/.." && pwd)"
build="${TVK_BUILD:-$root/build}"
if [ ! -f "$build/build.ninja" ]; then
  cmake -S "$root" -B "$build" -G Ninja -DCMAKE_BUILD_TYPE=Release \
        -DCMAKE_TOOLCHAIN_FILE="$root/cmake/mingw-i686.cmake" >/dev/null
fi
cmake --build "$build" -- -k 0
