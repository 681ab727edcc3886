#pragma once
// Colour maths: hue, saturation and lightness (each 0..255), lightening,
// scaling, blending and grey levels. Every colour argument is resolved with
// ColorToRGB first, so results carry no system-colour flag.
#include "Graphics.h"

#include <cstdint>

namespace tvk {

// Channel 0 (red), 1 (green) or 2 (blue) of an RGB value.
constexpr int Channel(COLORREF c, int index) { return int((c >> (8 * index)) & 0xFF); }

TColor HSLToColor(std::uint8_t h, std::uint8_t s, std::uint8_t l);
// H is left as it was for a grey (which has no hue).
void ColorToHSL(TColor color, std::uint8_t& h, std::uint8_t& s, std::uint8_t& l);
// Each channel raised by Amount, 255 at most.
TColor LightenColor(TColor color, std::uint8_t amount);
// Each channel c becomes Round((c + 1) * Factor - 1), within 0..255.
TColor ScaleColor(TColor color, double factor);
TColor ScaleColorChannels(TColor color, double red, double green, double blue);
// Color1 at weight 0, Color2 at weight 1.
TColor BlendColors(TColor color1, TColor color2, double weight);
std::uint8_t GrayLevel(std::uint8_t r, std::uint8_t g, std::uint8_t b);
TColor GrayColor(TColor color);
// A GDI+ colour: alpha, red, green, blue from the high byte down.
std::uint32_t MakeARGB(std::uint8_t a, std::uint8_t r, std::uint8_t g, std::uint8_t b);

}  // namespace tvk
