// Pixel filters on 32-bit bitmaps, with the random ones seeded.
#include <gtest/gtest.h>

#include <cmath>

#include "Maths.h"
#include "PngImage.h"
#include "StyledTest.h"
#include "XPBitmapUtils.h"
#include "ZStreams.h"

using namespace tvk;
namespace styled_test {

namespace {

std::uint32_t Word(TBitmap& b, int x, int y) { return static_cast<std::uint32_t*>(b.ScanLine(y))[x]; }
void SetWord(TBitmap& b, int x, int y, std::uint32_t v) { static_cast<std::uint32_t*>(b.ScanLine(y))[x] = v; }

// A bitmap of gradually different words, so that every filter has work.
void Ramp(TBitmap& b, int w, int h) {
  MakeCanvas(b, w, h, clBlack);
  for (int y = 0; y < h; ++y)
    for (int x = 0; x < w; ++x) SetWord(b, x, y, 0x40000000u | std::uint32_t(x * 20) << 16 | std::uint32_t(y * 20) << 8 | 0x30);
}

std::vector<std::uint32_t> Words(TBitmap& b) {
  std::vector<std::uint32_t> w;
  for (int y = 0; y < b.Height(); ++y)
    for (int x = 0; x < b.Width(); ++x) w.push_back(Word(b, x, y));
  return w;
}

TEST(Filters, RaiseAnAssertionErrorForBitmapsThatAreNot32Bit) {
  TBitmap b;
  b.SetSize(4, 4);  // 24-bit
  try {
    GaussianBlur(b, 1);
    FAIL() << "no error";
  } catch (const EAssertionFailed& e) {
    EXPECT_EQ(L"Assertion failure", e.Message());
  }
  EXPECT_THROW(GrayscaleBitmap(b), EAssertionFailed);
  EXPECT_THROW(AddNoise(b, 0, 0, 4, 4, 10), EAssertionFailed);
  b.SetPixelFormat(TPixelFormat::pfDevice);
  EXPECT_THROW(GaussianBlur(b, 1), EAssertionFailed);
}

TEST(Filters, SmoothingLeavesTheOutermostRowsAndColumnsAndLimitsEachStep) {
  TBitmap b;
  MakeCanvas(b, 7, 7, clBlack);
  SetWord(b, 3, 3, 0xFFFFFFFFu);
  std::vector<std::uint32_t> before = Words(b);
  SmoothBitmapRect(b, 1, 1, 5, 5, 10);
  for (int i = 1; i <= 5; ++i)
    for (auto [x, y] : {std::pair{1, i}, std::pair{5, i}, std::pair{i, 1}, std::pair{i, 5}})
      EXPECT_EQ(before[std::size_t(y * 7 + x)], Word(b, x, y)) << x << "," << y;
  EXPECT_EQ(0xF5F5F5F5u, Word(b, 3, 3));  // down by at most 10 per channel
  EXPECT_EQ(0x0A0A0A0Au, Word(b, 2, 2));  // up by at most 10
}

TEST(Filters, GaussianBlurSpreadsSymmetricallyLosingOnlyToTruncation) {
  TBitmap b;
  MakeCanvas(b, 21, 21, clBlack);
  SetWord(b, 10, 10, 0xFFFFFFFFu);
  GaussianBlur(b, 0);
  EXPECT_EQ(0xFFFFFFFFu, Word(b, 10, 10));  // nothing for a radius of 0
  GaussianBlur(b, 2);
  EXPECT_LT(Word(b, 10, 10) & 0xFF, 255u);
  EXPECT_EQ(Word(b, 8, 10), Word(b, 12, 10));
  EXPECT_EQ(Word(b, 10, 8), Word(b, 10, 12));
  // Rows first, then columns, each cut to whole values: across the two
  // directions the same distance may differ by that one cut.
  EXPECT_NEAR(int(Word(b, 8, 10) & 0xFF), int(Word(b, 10, 8) & 0xFF), 1);
  EXPECT_GT(Word(b, 9, 10) & 0xFF, Word(b, 7, 10) & 0xFF);
  int total = 0;
  for (int y = 0; y < 21; ++y)
    for (int x = 0; x < 21; ++x) total += int(Word(b, x, y) & 0xFF);
  EXPECT_LE(total, 255);
  EXPECT_GT(total, 150);
}

TEST(Filters, NoiseAndShadingRepeatForTheSameSeed) {
  for (int pass = 0; pass < 2; ++pass) {
    TBitmap a, b;
    Ramp(a, 12, 6);
    Ramp(b, 12, 6);
    SetRandSeed(4711);
    if (pass == 0) AddNoise(a, 0, 0, 11, 5, 40);
    else RandomShadeFilter(a, 5, 4, 0.02);
    SetRandSeed(4711);
    if (pass == 0) AddNoise(b, 0, 0, 11, 5, 40);
    else RandomShadeFilter(b, 5, 4, 0.02);
    EXPECT_EQ(Words(a), Words(b)) << pass;
    TBitmap original;
    Ramp(original, 12, 6);
    EXPECT_NE(Words(original), Words(a)) << pass;
    EXPECT_EQ(0u, Word(a, 3, 2) >> 24) << pass;  // alpha bytes become 0
  }
}

TEST(Filters, NoiseOnlyLightensAndLeavesTheRightAndBottomEdges) {
  TBitmap b, original;
  Ramp(b, 10, 10);
  Ramp(original, 10, 10);
  SetRandSeed(1);
  AddNoise(b, 0, 0, 100, 100, 50);  // clipped to 9, 9; edges at 9 excluded
  for (int y = 0; y < 10; ++y)
    for (int x = 0; x < 10; ++x) {
      std::uint32_t now = Word(b, x, y), was = Word(original, x, y);
      if (x == 9 || y == 9) {
        EXPECT_EQ(was, now);
        continue;
      }
      for (int shift : {0, 8, 16}) EXPECT_GE((now >> shift) & 0xFF, (was >> shift) & 0xFF);
    }
}

TEST(Filters, ShadingStaysWithinItsSteps) {
  TBitmap b;
  MakeCanvas(b, 200, 3, 0x808080);
  SetRandSeed(7);
  RandomShadeFilter(b, 3, 5, 0.1);  // the offset never passes 4 steps either way
  for (int y = 0; y < 3; ++y)
    for (int x = 0; x < 200; ++x) {
      int v = int(Word(b, x, y) & 0xFF);
      ASSERT_GE(v, int(std::lround(129 * 0.6 - 1)) - 1);
      ASSERT_LE(v, int(std::lround(129 * 1.4 - 1)) + 1);
    }
}

TEST(Filters, GreyLevelsColourKeyAndDisabledLook) {
  TBitmap b;
  MakeCanvas(b, 3, 1, clBlack);
  SetWord(b, 0, 0, 0x7FFF0000u);  // red, alpha 127
  GrayscaleBitmap(b);
  EXPECT_EQ(0x7F4C4C4Cu, Word(b, 0, 0));

  TBitmap k;
  MakeCanvas(k, 3, 1, clFuchsia);
  AlphaFromColorDistance(k, clFuchsia);
  for (int x = 0; x < 3; ++x) EXPECT_EQ(0u, Word(k, x, 0));  // fully transparent, black
  SetWord(k, 0, 0, 0x00FF00FFu);
  SetWord(k, 1, 0, 0x00F000FFu);  // near the key: distance 15
  SetWord(k, 2, 0, 0x0000FF00u);  // far
  AlphaFromColorDistance(k, clFuchsia);
  EXPECT_EQ(0u, Word(k, 0, 0));
  EXPECT_EQ(0x0F0E000Fu, Word(k, 1, 0));  // alpha 15, channels times 15 / 255
  EXPECT_EQ(0xFF00FF00u, Word(k, 2, 0));

  TBitmap d;
  MakeCanvas(d, 1, 1, clBlack);
  SetWord(d, 0, 0, 0x00000080u);  // read as a colour: its first byte is red
  DisabledGrayBitmap(d);
  std::uint32_t w = Word(d, 0, 0);
  EXPECT_EQ(0u, w >> 24);
  EXPECT_EQ(w & 0xFF, (w >> 8) & 0xFF);
  EXPECT_GT(int(w & 0xFF), 0x26);  // lighter than the grey of red 128
}

TEST(Filters, ShadowsTakeTheirAlphaFromThePicture) {
  TPngImage png;
  png.SetPixels(2, 1, {0x80123456u, 0x00FFFFFFu});
  auto shadow = CreateShadowBitmap(png, clRed);
  EXPECT_EQ(0x80800000u, Word(*shadow, 0, 0));  // red times 128 / 255
  EXPECT_EQ(0u, Word(*shadow, 1, 0));

  TBitmap plain;
  plain.SetSize(2, 2);
  plain.Canvas().Brush().SetColor(clBlue);
  plain.Canvas().FillRect(RECT{0, 0, 2, 2});
  plain.Canvas().SetPixel(0, 1, clFuchsia);  // the transparent colour
  auto silhouette = CreateShadowBitmap(plain, clLime);
  EXPECT_EQ(0u, Word(*silhouette, 0, 1));
  EXPECT_EQ(0xFF00FF00u, Word(*silhouette, 1, 1));

  TMemoryStream data;
  {
    TCompressionStream zip(TCompressionLevel::clMax, data);
    zip.WriteValue(std::int32_t(48));
    BITMAPINFOHEADER h{40, 1, 2, 1, 32, BI_RGB, 8, 0, 0, 0, 0};
    zip.WriteValue(h);
    std::uint32_t pixels[2] = {0xFF000000u, 0x40000000u};  // bottom opaque, top alpha 64
    zip.WriteBuffer(pixels, sizeof pixels);
  }
  data.SetPosition(0);
  TAlphaBitmap alpha;
  alpha.LoadFromStream(data);
  auto fromAlpha = CreateShadowBitmap(alpha, clWhite);
  EXPECT_EQ(0x40u, Word(*fromAlpha, 0, 0) >> 24);  // picture row 0 is the top
  EXPECT_EQ(0xFFu, Word(*fromAlpha, 0, 1) >> 24);

  PremultiplyAlpha(alpha);
  EXPECT_EQ(0x40000000u, *static_cast<std::uint32_t*>(alpha.ScanLine(1)));
}

TEST(Filters, ClipRectToBitmapKeepsTheRectangleInside) {
  TBitmap b;
  MakeCanvas(b, 10, 8, clBlack);
  int l = -5, t = -1, r = 50, bottom = 40;
  ClipRectToBitmap(b, l, t, r, bottom);
  EXPECT_EQ((std::vector<int>{0, 0, 9, 7}), (std::vector<int>{l, t, r, bottom}));
}

}  // namespace

}  // namespace styled_test
