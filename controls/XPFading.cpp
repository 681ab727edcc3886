#include "XPFading.h"

#include "Maths.h"
#include "XPColors.h"

#include <algorithm>

namespace tvk {

TColor FadeColor(TColor color, TXPFadeMode mode, int step, TXPFadeStrength strength) {
  std::uint8_t h, s, l;
  ColorToHSL(color, h, s, l);
  const int k = strength;
  std::int64_t light = l;
  switch (mode) {
    case TXPFadeMode::xfmNone: light = MulDiv(l, 10 - k, 10); break;
    case TXPFadeMode::xfmFadeIn: light = Round(((10 - k) + 2.0 * k * step / 8) * l / 10); break;
    case TXPFadeMode::xfmFadeOut: light = Round(((10 + k) - 2.0 * k * step / 8) * l / 10); break;
  }
  return HSLToColor(h, s, std::uint8_t(std::clamp<std::int64_t>(light, 0, 255)));
}

}  // namespace tvk
