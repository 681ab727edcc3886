// Colour and drawing routines: byte rounding, system-colour mixing, the
// premultiplied blend in software and through the system, the blend dispatch,
// Lanczos resampling (also to a side of 1), the hatch and dirty looks, the
// row-count bisection and the cursor size.
#include "LookAndFeelTest.h"
#include "cxGraphics.h"

#include <string>

using namespace tvk;

namespace {

class Routines : public laf_test::LookAndFeel {
protected:
  void TearDown() override {
    GraphicsPlatform() = FPlatform;
    LookAndFeel::TearDown();
  }
  TcxGraphicsPlatform FPlatform = GraphicsPlatform();
};

// A 32-bit bitmap of one colour with the given alpha.
void Fill(TcxBitmap32& bitmap, RGBQUAD color) {
  TRGBColors colors(std::size_t(bitmap.Width()) * std::size_t(bitmap.Height()), color);
  bitmap.SetBitmapColors(colors);
}

RGBQUAD PixelOf(TcxBitmap32& bitmap, std::size_t index = 0) {
  TRGBColors colors;
  bitmap.GetBitmapColors(colors);
  return colors.at(index);
}

}  // namespace

TEST(DrawingRoutines, BytesRoundTiesToEvenAndClamp) {
  struct {
    float Value;
    int Expected;
  } const cases[] = {{2.5f, 2}, {3.5f, 4}, {-3.0f, 0}, {300.0f, 255}, {254.6f, 255}, {0.49f, 0}};
  for (const auto& c : cases) EXPECT_EQ(c.Expected, RoundToByte(c.Value)) << c.Value;
  EXPECT_EQ(0, ClampToByte(-7));
  EXPECT_EQ(255, ClampToByte(256));
  RECT r{0, 0, 10, 10};
  DeflateRectByMargins(r, RECT{1, 2, 3, 4});
  EXPECT_TRUE(AreRectsEqual(RECT{1, 2, 7, 6}, r));
  EXPECT_TRUE(RectSizesEqual(RECT{0, 0, 2, 3}, RECT{5, 5, 7, 8}));
  EXPECT_TRUE(SameColorValue(clBtnFace, TColor(ColorToRGB(clBtnFace))));
}

TEST(DrawingRoutines, SystemColourMixOfOneColourIsThatColour) {
  EXPECT_EQ(TColor(ColorToRGB(clBtnFace)), MixSystemColors(100, 0, 0));
  EXPECT_EQ(TColor(ColorToRGB(clHighlight)), MixSystemColors(0, 100, 0));
  EXPECT_EQ(TColor(ColorToRGB(clWindow)), MixSystemColors(0, 0, 100));
  EXPECT_EQ(TColor(0), MixSystemColors(-100, 0, 0)) << "clamped at 0";
}

TEST(DrawingRoutines, PremultipliedBlendOfOnePixel) {
  RGBQUAD dest{100, 100, 100, 255};
  BlendPixelPremultiplied(dest, RGBQUAD{200, 0, 0, 128}, 255);
  EXPECT_EQ(250, dest.rgbBlue);  // 200 + (1 - 128/255) * 100
  EXPECT_EQ(50, dest.rgbGreen);
  EXPECT_EQ(255, dest.rgbReserved);
  for (int alpha : {64, 151}) {
    RGBQUAD black{0, 0, 0, 255};
    BlendPixelPremultiplied(black, RGBQUAD{255, 255, 255, 255}, uint8_t(alpha));
    EXPECT_EQ(alpha, black.rgbRed) << "a glyph drawn with constant alpha " << alpha;
    EXPECT_EQ(255, black.rgbReserved);
  }
}

TEST_F(Routines, BlendBitmapsInSoftwareAndThroughTheSystemAgree) {
  for (bool system : {false, true}) {
    GraphicsPlatform().SystemAlphaBlend = system;
    TcxBitmap32 dest(3, 3), source(3, 3);
    Fill(dest, RGBQUAD{0, 0, 0, 255});
    Fill(source, RGBQUAD{255, 255, 255, 255});
    BlendBitmaps32(dest, source, 151);
    RGBQUAD p = PixelOf(dest, 4);
    EXPECT_NEAR(151, p.rgbGreen, 1) << (system ? "system" : "software");
  }
}

TEST_F(Routines, BlendDispatchDrawsOnEveryPath) {
  struct {
    bool Wow64, SystemBlend, Smooth;
    int SourceSide;
  } const cases[] = {
      {false, true, false, 4}, {true, true, false, 4}, {false, false, false, 4}, {false, true, true, 2},
  };
  for (const auto& c : cases) {
    GraphicsPlatform().Wow64 = c.Wow64;
    GraphicsPlatform().SystemAlphaBlend = c.SystemBlend;
    TcxBitmap32 dest(4, 4), source(c.SourceSide, c.SourceSide);
    Fill(dest, RGBQUAD{255, 255, 255, 255});
    Fill(source, RGBQUAD{0, 0, 255, 255});  // opaque red
    AlphaBlendDC(dest.Canvas().Handle(), source.Canvas().Handle(), dest.ClientRect(), source.ClientRect(), c.Smooth);
    // Resampling with integer weights may lose a few levels.
    for (std::size_t i : {0u, 5u, 15u}) {
      const RGBQUAD p = PixelOf(dest, i);
      EXPECT_NEAR(255, p.rgbRed, 6) << c.Wow64 << c.SystemBlend << c.Smooth << " pixel " << i;
      EXPECT_NEAR(0, p.rgbGreen, 6);
      EXPECT_NEAR(0, p.rgbBlue, 6);
    }
  }
  TcxBitmap32 dest(2, 2);
  Fill(dest, RGBQUAD{1, 2, 3, 255});
  AlphaBlendDC(dest.Canvas().Handle(), dest.Canvas().Handle(), RECT{0, 0, 0, 2}, dest.ClientRect());
  EXPECT_EQ(1, PixelOf(dest).rgbBlue) << "an empty rectangle draws nothing";
}

TEST_F(Routines, LanczosToOnePixelAndToOneColumnKeepsAUniformColour) {
  struct {
    int W, H;
  } const sizes[] = {{1, 1}, {1, 5}, {5, 1}, {3, 7}};
  for (const auto& size : sizes) {
    TcxBitmap32 source(6, 4), dest(size.W, size.H);
    Fill(source, RGBQUAD{40, 80, 120, 255});
    ResampleBitmapLanczos(source, dest, true);
    for (std::size_t i = 0; i < std::size_t(size.W * size.H); ++i) {
      RGBQUAD p = PixelOf(dest, i);
      // The filter is not normalised: its integer weights need not add up to 256 exactly.
      EXPECT_NEAR(40, p.rgbBlue, 8) << size.W << "x" << size.H;
      EXPECT_NEAR(120, p.rgbRed, 8);
      EXPECT_NEAR(255, p.rgbReserved, 8);
    }
  }
  // Enlarging keeps the end pixels exact (their centres fall on source pixels).
  TcxBitmap32 row(4, 1), wide(8, 1);
  row.SetBitmapColors(TRGBColors{{10, 0, 0, 255}, {60, 0, 0, 255}, {120, 0, 0, 255}, {200, 0, 0, 255}});
  ResampleBitmapLanczos(row, wide, true);
  EXPECT_EQ(10, PixelOf(wide, 0).rgbBlue);
  EXPECT_EQ(200, PixelOf(wide, 7).rgbBlue);
  TcxBitmap32 empty(0, 0);
  ResampleBitmapLanczos(empty, wide, true);  // nothing to do
  EXPECT_EQ(10, PixelOf(wide, 0).rgbBlue);
}

TEST(DrawingRoutines, HatchSquaresFromTheBottomLeftAndTheDirtyLook) {
  TcxAlphaBitmap bitmap(8, 8);
  bitmap.DrawHatch(clRed, clBlue, 4, 255, 255);
  struct {
    int X, Y;
    TColor Expected;
  } const pixels[] = {{0, 7, clRed}, {3, 4, clRed}, {4, 7, clBlue}, {0, 3, clBlue}, {4, 3, clRed}, {7, 0, clRed}};
  for (const auto& p : pixels) EXPECT_EQ(p.Expected, bitmap.Canvas().Pixel(p.X, p.Y)) << p.X << "," << p.Y;

  TcxAlphaBitmap dirty(2, 1);
  dirty.AddTransparentColor(clFuchsia);
  dirty.SetBitmapColors(TRGBColors{{255, 0, 255, 255}, {0, 0, 255, 255}});
  dirty.TransformBitmap(btmDirty);
  TRGBColors colors;
  dirty.GetBitmapColors(colors);
  EXPECT_EQ(255, colors[0].rgbBlue) << "transparent pixels stay";
  EXPECT_EQ(colors[1].rgbRed, colors[1].rgbGreen) << "grey under a grey shadow";
  EXPECT_NE(76, colors[1].rgbRed) << "the shadow was blended over the grey";
}

TEST_F(Routines, RowCountBisectionFindsTheNarrowestRectangle) {
  HDC dc = GetScreenCanvas()->Handle();
  const WideString text = L"alpha beta gamma delta epsilon zeta";
  const int lineHeight = GetDCTextHeight(dc);
  ASSERT_GT(lineHeight, 0);
  RECT one = GetTextRectForRowCount(dc, text, 1);
  SIZE single{};
  ASSERT_TRUE(GetTextExtentOnDC(dc, text, single));
  EXPECT_EQ(single.cx, one.right - one.left);
  EXPECT_EQ(single.cx, GetTextSizeOnDC(dc, text).cx);

  RECT two = GetTextRectForRowCount(dc, text, 2);
  EXPECT_LE(two.bottom - two.top, 2 * lineHeight);
  EXPECT_LT(two.right, one.right);
  RECT narrower{0, 0, two.right - 1, 0};
  DrawTextW(dc, text.c_str(), int(text.size()), &narrower, DT_CALCRECT | DT_WORDBREAK | DT_NOFULLWIDTHCHARBREAK);
  EXPECT_GT(narrower.bottom - narrower.top, 2 * lineHeight) << "one pixel less needs a third row";

  RECT unlimited = GetTextRectForRowCount(dc, text, 0, true);
  EXPECT_EQ(32000, unlimited.bottom);
  RECT limited = GetTextRectForRowCount(dc, text, 2, true);
  EXPECT_EQ(2 * lineHeight, limited.bottom);
}

TEST(DrawingRoutines, TextOnADcRestoresWhatItChanged) {
  TcxBitmap32 bitmap(40, 20, true);
  HDC dc = bitmap.Canvas().StateHandle();
  SetTextColor(dc, RGB(1, 2, 3));
  SetBkMode(dc, OPAQUE);
  RECT r{0, 0, 40, 20};
  EXPECT_GT(DrawTextOnDC(dc, L"Ab", r, TRANSPARENT, clRed, -1, DT_SINGLELINE), 0);
  EXPECT_EQ(RGB(1, 2, 3), GetTextColor(dc));
  EXPECT_EQ(OPAQUE, GetBkMode(dc));
  RECT empty = r;
  DrawTextOnDC(dc, L"", empty, TRANSPARENT, clRed, -1, DT_SINGLELINE | DT_CALCRECT);
  EXPECT_EQ(RGB(1, 2, 3), GetTextColor(dc)) << "an empty text leaves the context alone";
  EXPECT_TRUE(TextOutOnDC(dc, L"Ab", POINT{0, 0}, 1, ETO_CLIPPED, &r));
  SIZE cursor = GetCurrentCursorSize();
  EXPECT_GT(cursor.cx, 0);
  EXPECT_LE(cursor.cy, GetSystemMetrics(SM_CYCURSOR));
}
