#!/bin/bash
# The test command: install what is missing, build, run every test under Wine:
# the twin's suite on every machine, the product's wherever 32-bit programs run.
set -euo pipefail
root="$(cd "$(dirname "$0")/.." && pwd)"
"$root/scripts/setup.sh"
"$root/scripts/build.sh"
. "$root/scripts/builds.sh"
# The benchmarks and the picture tool are not part of a build; compiled once
# here, on the twin, so that they keep up with the code.
cmake --build "$(tvk_build_dir x86_64)" --target tvk_benchmarks tvk_tools
. "$root/scripts/wine-env.sh"
tvk_start_wine
status=0
for arch in $(tvk_archs); do
  cd "$(tvk_build_dir "$arch")"
  if [ "$arch" = i686 ] && ! tvk_runs_32bit; then
    echo "32-bit suite skipped: this machine cannot run 32-bit programs"
    # What needs no Wine still runs: the shipped file's own shape among it.
    ctest --output-on-failure --timeout 300 -L nowine "$@" || status=1
    continue
  fi
  echo "== tests $arch"
  # One test executable at a time: several share the host's System folder beside them.
  ctest --output-on-failure --timeout 300 "$@" || status=1
done
exit $status
