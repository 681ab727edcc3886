// Colour maths: hue, saturation and lightness, lightening, scaling, blending
// and grey levels.
#include <gtest/gtest.h>

#include "XPColors.h"

using namespace tvk;

namespace {

TEST(ColorMaths, HslRoundTripsOfPrimariesAndGreys) {
  EXPECT_EQ(TColor(0x808080), HSLToColor(0, 0, 128));
  struct {
    TColor Color;
    int H, S, L;
  } cases[] = {{clRed, 0, 255, 128}, {clBlue, 170, 255, 128}, {clLime, 85, 255, 128},
               {0x404080, 0, 85, 96}};
  for (const auto& c : cases) {
    std::uint8_t h = 7, s = 7, l = 7;
    ColorToHSL(c.Color, h, s, l);
    EXPECT_EQ(c.H, h) << std::hex << c.Color;
    EXPECT_EQ(c.S, s) << std::hex << c.Color;
    EXPECT_EQ(c.L, l) << std::hex << c.Color;
  }
  // A grey has no hue: H stays as the caller had it.
  std::uint8_t h = 77, s = 9, l = 9;
  ColorToHSL(0x606060, h, s, l);
  EXPECT_EQ(77, h);
  EXPECT_EQ(0, s);
  EXPECT_EQ(0x60, l);
  // Back from HSL: lightness 128 lies just above one half, so the other
  // channels keep 1/255 (m1 = 2l - 1).
  EXPECT_EQ(TColor(0x0101FF), HSLToColor(0, 255, 128));
  EXPECT_EQ(TColor(0xFF0101), HSLToColor(170, 255, 128));
  EXPECT_EQ(TColor(0x00FE00), HSLToColor(85, 255, 127));  // below one half: m1 = 0
}

TEST(ColorMaths, LightenScaleBlendAndGrey) {
  EXPECT_EQ(clWhite, LightenColor(0xF0F0F0, 20));
  EXPECT_EQ(TColor(0x141E28), LightenColor(0x000A14, 20));
  EXPECT_EQ(TColor(0x123456), ScaleColor(0x123456, 1));
  EXPECT_EQ(clBlack, ScaleColor(0x123456, 0));
  EXPECT_EQ(clWhite, ScaleColor(0x808080, 3));  // limited to 255
  EXPECT_EQ(TColor(0x408020), ScaleColorChannels(0x804010, 2, 2, 0.5));
  EXPECT_EQ(clBlack, BlendColors(clBlack, clWhite, 0));
  EXPECT_EQ(clWhite, BlendColors(clBlack, clWhite, 1));
  EXPECT_EQ(TColor(0x808080), BlendColors(clBlack, clWhite, 0.5));  // 127.5 to even 128
  EXPECT_EQ(255, GrayLevel(255, 255, 255));
  EXPECT_EQ(76, GrayLevel(255, 0, 0));
  EXPECT_EQ(TColor(0x4C4C4C), GrayColor(clRed));
  EXPECT_EQ(0x80FF0000u, MakeARGB(0x80, 0xFF, 0, 0));
  // System colours are resolved first: no result keeps the system flag.
  EXPECT_EQ(TColor(ColorToRGB(clBtnFace)), ScaleColor(clBtnFace, 1));
}

}  // namespace
