#include "XPColors.h"

#include "Maths.h"

#include <algorithm>

namespace tvk {

namespace {

TColor FromChannels(int r, int g, int b) {
  auto clamp = [](int v) { return std::clamp(v, 0, 255); };
  return TColor(clamp(r) | (clamp(g) << 8) | (clamp(b) << 16));
}

std::uint8_t ToByte(double unit) { return std::uint8_t(std::clamp<std::int64_t>(Round(unit * 255), 0, 255)); }

double HueToChannel(double m1, double m2, double x) {
  if (x < 0) x += 1;
  else if (x > 1) x -= 1;
  if (6 * x < 1) return m1 + (m2 - m1) * x * 6;
  if (2 * x < 1) return m2;
  if (3 * x < 2) return m1 + (m2 - m1) * (2.0 / 3.0 - x) * 6;
  return m1;
}

}  // namespace

TColor HSLToColor(std::uint8_t h, std::uint8_t s, std::uint8_t l) {
  double sf = s / 255.0, lf = l / 255.0;
  if (sf == 0) return TColor(l * 0x010101);
  double m2 = lf >= 0.5 ? sf + lf - sf * lf : lf * (sf + 1);
  double m1 = 2 * lf - m2;
  double hf = h / 255.0;
  return FromChannels(ToByte(HueToChannel(m1, m2, hf + 1.0 / 3.0)), ToByte(HueToChannel(m1, m2, hf)),
                      ToByte(HueToChannel(m1, m2, hf - 1.0 / 3.0)));
}

void ColorToHSL(TColor color, std::uint8_t& h, std::uint8_t& s, std::uint8_t& l) {
  COLORREF c = ColorToRGB(color);
  double r = Channel(c, 0) / 255.0, g = Channel(c, 1) / 255.0, b = Channel(c, 2) / 255.0;
  double mx = std::max({r, g, b}), mn = std::min({r, g, b});
  double lf = (mx + mn) / 2;
  if (mx == mn) {
    s = 0;
    l = ToByte(mn);
    return;  // a grey has no hue: H stays as the caller had it
  }
  double d = mx - mn;
  double sf = lf < 0.5 ? d / (mx + mn) : d / (2 - mx - mn);
  double hf = r == mx ? (g - b) / d : g != mx ? (r - g) / d + 4 : (b - r) / d + 2;
  hf /= 6;
  if (hf < 0) hf += 1;
  h = ToByte(hf);
  s = ToByte(sf);
  l = ToByte(lf);
}

TColor LightenColor(TColor color, std::uint8_t amount) {
  COLORREF c = ColorToRGB(color);
  auto lighten = [amount](int v) { return v < 255 - amount ? v + amount : 255; };
  return FromChannels(lighten(Channel(c, 0)), lighten(Channel(c, 1)), lighten(Channel(c, 2)));
}

TColor ScaleColor(TColor color, double factor) {
  COLORREF c = ColorToRGB(color);
  auto scale = [factor](int v) { return int(std::clamp<std::int64_t>(Round((v + 1) * factor - 1), 0, 255)); };
  return FromChannels(scale(Channel(c, 0)), scale(Channel(c, 1)), scale(Channel(c, 2)));
}

TColor ScaleColorChannels(TColor color, double red, double green, double blue) {
  COLORREF c = ColorToRGB(color);
  auto scale = [](int v, double f) { return int(std::clamp<std::int64_t>(Round(v * f), 0, 255)); };
  return FromChannels(scale(Channel(c, 0), red), scale(Channel(c, 1), green), scale(Channel(c, 2), blue));
}

TColor BlendColors(TColor color1, TColor color2, double weight) {
  COLORREF c1 = ColorToRGB(color1), c2 = ColorToRGB(color2);
  std::uint32_t result = 0;
  for (int i = 0; i < 4; ++i) {
    int a = Channel(c1, i), b = Channel(c2, i);
    int v = std::clamp<int>(int(a + Round((b - a) * weight)), 0, 255);
    result |= std::uint32_t(v) << (8 * i);
  }
  return TColor(result);
}

std::uint8_t GrayLevel(std::uint8_t r, std::uint8_t g, std::uint8_t b) {
  return std::uint8_t((r * 77 + g * 151 + b * 28) >> 8);
}

TColor GrayColor(TColor color) {
  COLORREF c = ColorToRGB(color);
  return TColor(GrayLevel(std::uint8_t(Channel(c, 0)), std::uint8_t(Channel(c, 1)), std::uint8_t(Channel(c, 2))) *
                0x010101);
}

std::uint32_t MakeARGB(std::uint8_t a, std::uint8_t r, std::uint8_t g, std::uint8_t b) {
  return std::uint32_t(b) | (std::uint32_t(g) << 8) | (std::uint32_t(r) << 16) | (std::uint32_t(a) << 24);
}

}  // namespace tvk
