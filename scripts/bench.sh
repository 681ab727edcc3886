#!/bin/bash
# Builds and runs the benchmarks (not part of the tests), on the product where
# this machine runs 32-bit programs, on the twin otherwise.
set -euo pipefail
root="$(cd "$(dirname "$0")/.." && pwd)"
. "$root/scripts/builds.sh"
. "$root/scripts/wine-env.sh"
"$root/scripts/setup.sh" >/dev/null  # before the build is picked (Wine's 32-bit half)
arch="$(tvk_run_arch)"
echo "benchmarks of the $arch build"
TVK_ARCH=$arch "$root/scripts/build.sh" >/dev/null
build="$(tvk_build_dir "$arch")"
cmake --build "$build" --target tvk_benchmarks >/dev/null
tvk_start_wine
for b in "$build"/bench/bench_*.exe; do echo "== $(basename "$b")"; "$WINELOADER" "$b"; done
