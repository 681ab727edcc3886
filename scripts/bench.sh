#!/bin/bash
# Builds and runs the benchmarks (not part of the tests).
set -euo pipefail
root="$(cd "$(dirname "$0")/.." && pwd)"
"$root/scripts/build.sh" >/dev/null
build="${TVK_BUILD:-$root/build}"
. "$root/scripts/wine-env.sh"
for b in "$build"/bench/bench_*.exe; do echo "== $(basename "$b")"; wine "$b"; done
