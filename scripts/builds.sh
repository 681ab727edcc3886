# Sourced: the builds this tree makes, each from the same sources.
#   i686    the product, STM32CortexM3.TVK as shipped (PE32), in build/
#   x86_64  the twin (PE32+), a test vehicle that is never shipped, in build-x86_64/
# TVK_ARCH=i686 or TVK_ARCH=x86_64 picks one for a developer's quick run;
# unset, every build is made (CI always leaves it unset).
TVK_ALL_ARCHS=(i686 x86_64)
tvk_root="$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)"

tvk_archs() {
  case "${TVK_ARCH:-}" in
    "") echo "${TVK_ALL_ARCHS[@]}" ;;
    i686|x86_64) echo "$TVK_ARCH" ;;
    *) echo "TVK_ARCH must be i686 or x86_64, not '$TVK_ARCH'" >&2; return 1 ;;
  esac
}

tvk_build_dir() {
  case "$1" in
    i686) echo "${TVK_BUILD:-$tvk_root/build}" ;;
    x86_64) echo "${TVK_BUILD64:-$tvk_root/build-x86_64}" ;;
  esac
}
