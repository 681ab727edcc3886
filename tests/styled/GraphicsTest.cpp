// Gradients through GradientFill and through the fallback, nine-grid skins,
// transparent and alpha blits.
#include <gtest/gtest.h>

#include "StyledTest.h"
#include "XPGraphics.h"

using namespace tvk;
namespace styled_test {

namespace {

int Red(TColor c) { return c & 0xFF; }
int Blue(TColor c) { return (c >> 16) & 0xFF; }

TEST(Gradients, GradientFillIsChosenWhenTheSystemExportsIt) {
  EXPECT_TRUE(TImgLibManager::UsesGradientFill());  // Wine's msimg32.dll has it
  EXPECT_EQ(&TImgLibManager::GradientFillGradient, TImgLibManager::DrawGradient);
}

TEST(Gradients, BothImplementationsRunFromStartToEndColour) {
  for (auto draw : {&TImgLibManager::GradientFillGradient, &TImgLibManager::FallbackGradient}) {
    for (bool horizontal : {true, false}) {
      TBitmap b;
      MakeCanvas(b, 101, 101, clWhite);
      draw(b.Canvas().Handle(), RECT{0, 0, 101, 101}, clRed, clBlue, horizontal);
      TColor start = PixelAt(b, 0, 0);
      TColor end = horizontal ? PixelAt(b, 100, 50) : PixelAt(b, 50, 100);
      TColor middle = PixelAt(b, 50, 50);
      EXPECT_NEAR(255, Red(start), 3);
      EXPECT_NEAR(0, Blue(start), 3);
      EXPECT_NEAR(255, Blue(end), 3);
      EXPECT_NEAR(0, Red(end), 3);
      EXPECT_NEAR(128, Red(middle), 4);
      // Lines across the gradient are one colour.
      EXPECT_EQ(middle, horizontal ? PixelAt(b, 50, 0) : PixelAt(b, 0, 50));
      EXPECT_EQ(middle, horizontal ? PixelAt(b, 50, 100) : PixelAt(b, 100, 50));
    }
  }
}

TEST(Gradients, TheFallbackFillsAOnePixelRunWithTheStartColour) {
  TBitmap b;
  MakeCanvas(b, 1, 5, clWhite);
  TImgLibManager::FallbackGradient(b.Canvas().Handle(), RECT{0, 0, 1, 5}, clRed, clBlue, true);
  for (int y = 0; y < 5; ++y) EXPECT_EQ(clRed, PixelAt(b, 0, y));
}

TEST(Gradients, FourCornerGradientsBlendByTheCornerCoefficients) {
  // The fallback reaches the corner colours exactly; the triangles of
  // GradientFill end just inside the rectangle's far edges.
  for (auto [draw, tolerance] : {std::pair{&TImgLibManager::GradientFillBiGradient, 16},
                                 std::pair{&TImgLibManager::FallbackBiGradient, 0}}) {
    TBitmap b;
    MakeCanvas(b, 41, 41, clRed);
    draw(b.Canvas().Handle(), RECT{0, 0, 41, 41}, clWhite, clBlack, 0, 1, 1, 0);
    EXPECT_NEAR(255, Red(PixelAt(b, 0, 0)), tolerance);    // top-left light
    EXPECT_NEAR(0, Red(PixelAt(b, 40, 0)), tolerance);     // top-right dark
    EXPECT_NEAR(0, Red(PixelAt(b, 0, 40)), tolerance);     // bottom-left dark
    EXPECT_NEAR(255, Red(PixelAt(b, 40, 40)), tolerance);  // bottom-right light
    EXPECT_NEAR(128, Red(PixelAt(b, 20, 0)), 8);
  }
}

// A 9 x 9 skin: every pixel a different colour.
void MakeSkin(TBitmap& skin) {
  MakeCanvas(skin, 9, 9, clBlack);
  for (int y = 0; y < 9; ++y)
    for (int x = 0; x < 9; ++x) skin.Canvas().SetPixel(x, y, TColor(RGB(x * 28, y * 28, 200)));
}

TEST(NineGrid, AtTheSourceSizeReproducesTheSourcePixelForPixel) {
  for (bool alpha : {false, true}) {
    TBitmap skin;
    MakeSkin(skin);
    if (alpha)
      for (int y = 0; y < 9; ++y)
        for (int x = 0; x < 9; ++x) static_cast<std::uint8_t*>(skin.ScanLine(y))[x * 4 + 3] = 255;
    TBitmap target;
    MakeCanvas(target, 20, 20, clWhite);
    DrawSkinBitmap(RECT{5, 6, 14, 15}, RECT{3, 2, 6, 7}, RECT{0, 0, 9, 9}, target.Canvas().Handle(), skin.Handle(),
                   alpha);
    for (int y = 0; y < 9; ++y)
      for (int x = 0; x < 9; ++x) ASSERT_EQ(PixelAt(skin, x, y), PixelAt(target, 5 + x, 6 + y)) << x << "," << y;
    EXPECT_EQ(clWhite, PixelAt(target, 4, 6));
  }
}

TEST(NineGrid, CornersStayUnscaledWhileEdgesAndCentreStretch) {
  TBitmap skin;
  MakeSkin(skin);
  TBitmap target;
  MakeCanvas(target, 40, 30, clWhite);
  // Corners of 3 x 2 (top-left), 3 wide (right), 2 high (bottom).
  DrawSkinBitmap(RECT{0, 0, 40, 30}, RECT{3, 2, 6, 7}, RECT{0, 0, 9, 9}, target.Canvas().Handle(), skin.Handle(),
                 false);
  for (int y = 0; y < 2; ++y)
    for (int x = 0; x < 3; ++x) {
      EXPECT_EQ(PixelAt(skin, x, y), PixelAt(target, x, y));                  // top-left
      EXPECT_EQ(PixelAt(skin, 6 + x, 7 + y), PixelAt(target, 37 + x, 28 + y));  // bottom-right
    }
  EXPECT_EQ(40 * 30, InkIn(target, clWhite, RECT{0, 0, 40, 30}));  // every pixel painted
}

TEST(TransparentBlits, LeaveOutTheTransparentColourAtAndAboveTheSourceSize) {
  TBitmap source;
  MakeCanvas(source, 4, 4, clFuchsia);
  source.Canvas().Brush().SetColor(clBlue);
  source.Canvas().FillRect(RECT{1, 1, 3, 3});
  for (bool stretch : {false, true}) {
    TBitmap target;
    MakeCanvas(target, 8, 8, clLime);
    HDC dc = target.Canvas().Handle();
    if (stretch)
      StretchTransparentBlit(dc, 0, 0, 8, 8, source.Canvas().Handle(), 0, 0, 4, 4, clFuchsia);
    else
      TransparentBlit(dc, 2, 2, 4, 4, source.Canvas().Handle(), 0, 0, clFuchsia);
    int at = stretch ? 0 : 2, scale = stretch ? 2 : 1;
    EXPECT_EQ(clLime, PixelAt(target, at, at)) << stretch;                          // key colour left out
    EXPECT_EQ(clBlue, PixelAt(target, at + 1 * scale, at + 1 * scale)) << stretch;  // the picture drawn
    EXPECT_EQ(clBlue, PixelAt(target, at + 3 * scale - 1, at + 3 * scale - 1)) << stretch;
    EXPECT_EQ(clLime, PixelAt(target, at + 4 * scale - 1, at + 4 * scale - 1)) << stretch;
  }
}

TEST(AlphaBlits, BlendPremultipliedPixelsAndConstantAlpha) {
  TBitmap source;
  MakeCanvas(source, 2, 1, clBlack);
  auto* p = static_cast<std::uint32_t*>(source.ScanLine(0));
  p[0] = 0x80800000;  // half-transparent red, premultiplied (alpha, red, green, blue)
  p[1] = 0x00000000;  // transparent
  TBitmap target;
  MakeCanvas(target, 2, 1, clBlue);
  AlphaBlit(target.Canvas().Handle(), 0, 0, 2, 1, source.Canvas().Handle(), 0, 0);
  EXPECT_NEAR(128, Red(PixelAt(target, 0, 0)), 2);
  EXPECT_NEAR(127, Blue(PixelAt(target, 0, 0)), 2);
  EXPECT_EQ(clBlue, PixelAt(target, 1, 0));
  TBitmap solid;
  MakeCanvas(solid, 1, 1, clWhite);
  TBitmap under;
  MakeCanvas(under, 1, 1, clBlack);
  AlphaBlitConst(under.Canvas().Handle(), 0, 0, 1, 1, solid.Canvas().Handle(), 0, 0, 64, 0);
  EXPECT_NEAR(64, Red(PixelAt(under, 0, 0)), 2);
}

}  // namespace

}  // namespace styled_test
