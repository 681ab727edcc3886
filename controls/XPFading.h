#pragma once
// One colour step of the fading of the styled speed buttons: the lightness
// moves from (1 - s/10) to (1 + s/10) of its value over eight steps.
#include "Graphics.h"

namespace tvk {

enum class TXPFadeMode { xfmNone, xfmFadeIn, xfmFadeOut };
// 1 to 5.
using TXPFadeStrength = int;

TColor FadeColor(TColor color, TXPFadeMode mode, int step, TXPFadeStrength strength);

}  // namespace tvk
