// The instrument drawing routines: colour schemes whole, display windows and
// their bevels, gradient bands, button faces, grip dots, hatches, GDI+ by
// count and the screen animations leaving the screen as it was.
#include <gtest/gtest.h>

#include "InstrumentTest.h"
#include "InstrumentTypes.h"
#include "Maths.h"
#include "XPColors.h"
#include "XPFading.h"

#include <functional>
#include <utility>

using namespace tvk;
namespace styled_test {

namespace {

using enum TInstrumentPanelStyle;
using enum TDisplayStyle;

TEST(InstrumentColors, SchemesWhole) {
  struct Row {
    TInstrumentPanelStyle Style;
    TColor Plate;
    TDisplayStyle Display;
  };
  const Row rows[] = {
      {ipsMidGray, 0xA59B9B, dsCream},     {ipsLightGray, 0xADB2AD, dsWhite}, {ipsDarkGray, 0x847C7C, dsGray},
      {ipsDarkRed, 0x29279B, dsGray},      {ipsOliveGreen, 0x638B74, dsCream}, {ipsBlueGreen, 0x6C6C4A, dsWhite},
      {ipsBronze, 0x697C95, dsCream},      {ipsBlueGray, 0x8A7069, dsGray},    {ipsGreen, 0x508957, dsBronze},
      {ipsBlue, 0xC67C00, dsWhite},        {ipsGrayLilac, 0xBABFBA, dsLilac}, {ipsGrayOrange, 0xBABFBA, dsOrange},
      {ipsGrayBlue, 0xBABFBA, dsBlue},
  };
  for (const Row& r : rows) {
    SCOPED_TRACE(InstrumentPanelStyleName(r.Style));
    EXPECT_EQ(InstrumentStyleColor(r.Style), r.Plate);
    EXPECT_EQ(DisplayStyleForPanelStyle(r.Style), r.Display);
  }
  // Out of range: the mid grey.
  EXPECT_EQ(InstrumentStyleColor(TInstrumentPanelStyle(40)), 0xA59B9B);
  // Button colours: the base by each scheme's channel factors, then by 1.05
  // (channels rounded half to even, as 0xBF8252 and 0x7971B3 show).
  const std::pair<TInstrumentPanelStyle, TColor> buttons[] = {
      {ipsMidGray, 0x9B9393},    {ipsLightGray, 0xA5A8A3}, {ipsDarkGray, 0x9B9393},  {ipsDarkRed, 0x7971B3},
      {ipsOliveGreen, 0xA5AB9A}, {ipsBlueGreen, 0xB6AB93}, {ipsBronze, 0x9393AB},    {ipsBlueGray, 0xB6A3A3},
      {ipsGreen, 0xA5B39A},      {ipsBlue, 0xBF8252},      {ipsGrayLilac, 0x9B9393}, {ipsGrayOrange, 0x9B9393},
      {ipsGrayBlue, 0x9B9393},
  };
  for (auto [style, color] : buttons) EXPECT_EQ(InstrumentButtonColor(style), color) << InstrumentPanelStyleName(style);
  // The three grey schemes share plate and button colours and differ in their displays only.
  EXPECT_EQ(InstrumentButtonColor(ipsGrayLilac), InstrumentButtonColor(ipsGrayBlue));
  EXPECT_EQ(InstrumentButtonColor(ipsGrayOrange), InstrumentButtonColor(ipsMidGray));
  EXPECT_EQ(InstrumentButtonColor(TInstrumentPanelStyle(40)), ScaleColor(0xA59B9B, 1.05));
}

TEST(InstrumentColors, DisplayAndLabelColours) {
  struct Row {
    TDisplayStyle Style;
    TColor Label, Background;
  };
  const Row rows[] = {
      {dsWhite, 0x464646, 0xFFFFFF}, {dsGray, 0x3C3C3C, 0xDCDCDC},  {dsCream, 0x5A3830, 0xD3EFF7},
      {dsRed, 0x19193C, 0x6E6EFF},   {dsOrange, 0x142846, 0x46AAFF}, {dsLilac, 0x321E32, 0xFFA0FF},
      {dsBlue, 0x503200, 0xFFC500},  {dsGreen, 0x1E3214, 0x96B4A0},  {dsPaleGreen, 0x1E3214, 0xD2EBA0},
      {dsBronze, 0x1E283C, 0xA0BEE6}, {dsRedLed, 0x0000FF, 0x323264},
  };
  for (const Row& r : rows) {
    SCOPED_TRACE(DisplayStyleName(r.Style));
    EXPECT_EQ(InstrumentLabelColor(r.Style), r.Label);
    EXPECT_EQ(InstrumentDisplayColor(r.Style, false), r.Background);
  }
  EXPECT_EQ(InstrumentDisplayColor(dsRedLed, true), 0x414182);
  EXPECT_EQ(InstrumentDisplayColor(TDisplayStyle(30), false), 0xD3EFF7);
  EXPECT_EQ(InstrumentLabelColor(TDisplayStyle(30)), 0x5A3830);
}

TEST(InstrumentColors, EnumerationsStreamByName) {
  TInstrumentPanelStyle p{};
  ASSERT_TRUE(InstrumentPanelStyleFromName(L"ipsGrayBlue", p));
  EXPECT_EQ(p, ipsGrayBlue);
  TDisplayStyle d{};
  ASSERT_TRUE(DisplayStyleFromName(L"dsRedLed", d));
  EXPECT_EQ(d, dsRedLed);
  TInstrumentCheckStyle c{};
  ASSERT_TRUE(InstrumentCheckStyleFromName(L"icsWhite", c));
  EXPECT_EQ(c, TInstrumentCheckStyle::icsWhite);
  EXPECT_FALSE(DisplayStyleFromName(L"dsPurple", d));
  EXPECT_STREQ(InstrumentCheckStyleName(TInstrumentCheckStyle::icsRectAmber), L"icsRectAmber");
}

constexpr TColor kPlate = 0x808080;
// 128 scaled by F as ScaleColor scales a channel.
int Scaled(double f) { return int(Round(129 * f - 1)); }

TEST(InstrumentDisplay, SmallWindowBevelAndOuterFrame) {
  for (TDisplayStyle style : {dsGray, dsRedLed}) {
    SCOPED_TRACE(DisplayStyleName(style));
    TBitmap b;
    MakeCanvas(b, 60, 60, kPlate);
    SetRandSeed(7);
    // 30 wide inside (Right - Left - 1 = 29): the three-step bevel.
    DrawInstrumentDisplay(b, RECT{10, 10, 40, 50}, false, style, false);
    const bool led = style == dsRedLed;
    EXPECT_EQ(instrument_test::Red(PixelAt(b, 20, 9)), Scaled(led ? 0.5 : 0.55));   // row Top - 1
    EXPECT_EQ(instrument_test::Red(PixelAt(b, 20, 50)), Scaled(led ? 1.2 : 0.6));   // row Bottom
    EXPECT_EQ(instrument_test::Red(PixelAt(b, 9, 30)), Scaled(led ? 0.5 : 0.55));   // column Left - 1
    EXPECT_EQ(instrument_test::Red(PixelAt(b, 40, 30)), Scaled(led ? 1.2 : 0.6));   // column Right
    EXPECT_EQ(PixelAt(b, 41, 30), kPlate);
    EXPECT_EQ(AlphaAt(b, 25, 25), 0);
  }
}

TEST(InstrumentDisplay, LargeWindowHasSixStepsAndOneOuterLine) {
  TBitmap b;
  MakeCanvas(b, 80, 80, kPlate);
  SetRandSeed(3);
  DrawInstrumentDisplay(b, RECT{10, 10, 70, 70}, false, dsWhite, false);
  EXPECT_EQ(instrument_test::Red(PixelAt(b, 30, 9)), Scaled(0.45));
  EXPECT_EQ(instrument_test::Red(PixelAt(b, 9, 30)), Scaled(0.45));
  // No lines below and right of a large window.
  EXPECT_EQ(PixelAt(b, 30, 70), kPlate);
  EXPECT_EQ(PixelAt(b, 70, 30), kPlate);
  // The window's own edge: top 0.55 of the shaded white, the sixth shadow row 0.82.
  int top = instrument_test::Red(PixelAt(b, 30, 10)), shadow = instrument_test::Red(PixelAt(b, 30, 11)), deep = instrument_test::Red(PixelAt(b, 30, 20));
  EXPECT_LT(top, shadow);
  EXPECT_LT(shadow, deep);
}

TEST(InstrumentDisplay, InnerDrawsNothingOutsideAndClipsToTheBitmap) {
  TBitmap b;
  MakeCanvas(b, 40, 40, kPlate);
  DrawInstrumentDisplay(b, RECT{5, 5, 20, 20}, false, dsCream, true);
  EXPECT_EQ(PixelAt(b, 10, 4), kPlate);
  EXPECT_EQ(PixelAt(b, 4, 10), kPlate);
  // Partly outside: drawn only where it overlaps, lines outside skipped.
  TBitmap c;
  MakeCanvas(c, 40, 40, kPlate);
  DrawInstrumentDisplay(c, RECT{-10, -10, 15, 15}, false, dsGray, false);
  DrawInstrumentDisplay(c, RECT{30, 30, 70, 70}, false, dsGray, false);
  EXPECT_NE(PixelAt(c, 0, 0), kPlate);
  EXPECT_EQ(PixelAt(c, 20, 20), kPlate);
  EXPECT_NE(PixelAt(c, 35, 35), kPlate);
}

TEST(InstrumentDisplay, LitRedLedIsBrighter) {
  auto brightness = [](bool lit) {
    TBitmap b;
    MakeCanvas(b, 30, 14, kPlate);
    DrawInstrumentDisplay(b, RECT{0, 0, 30, 14}, lit, dsRedLed, true);
    return instrument_test::Red(PixelAt(b, 20, 7));
  };
  EXPECT_GT(brightness(true), brightness(false));
}

TEST(InstrumentDisplay, NoiseFollowsTheSeed) {
  auto render = [] {
    TBitmap b;
    MakeCanvas(b, 40, 40, kPlate);
    SetRandSeed(11);
    DrawInstrumentDisplay(b, RECT{0, 0, 40, 40}, false, dsWhite, true);
    return PixelAt(b, 17, 23);
  };
  EXPECT_EQ(render(), render());
  // The shade runs from 1.0 at the top-left to 0.7 at the bottom-right, plus up to 7.
  TBitmap b;
  MakeCanvas(b, 40, 40, kPlate);
  DrawInstrumentDisplay(b, RECT{0, 0, 40, 40}, false, dsWhite, true);
  const int inside = instrument_test::Red(PixelAt(b, 30, 30)), expected = int(Round(256 * (1 - 0.3 * 30 / 40.0) - 1));
  EXPECT_GE(inside, expected);
  EXPECT_LE(inside, expected + 7);
}

TEST(InstrumentDrawing, GradientBandsMeetAtTheirCuts) {
  TBitmap b;
  MakeCanvas(b, 100, 4, clBlack);
  DrawGradientBands(b.Canvas(), RECT{0, 0, 100, 4}, 0x808080, 1.0, 0.5, 0.5, 0.5, 1.0, 0.2, 0.5, 0.8, true);
  EXPECT_EQ(PixelAt(b, 0, 1), 0x808080);
  // Between the cuts the band is flat at 0.5.
  EXPECT_EQ(PixelAt(b, 30, 1), ScaleColor(0x808080, 0.5));
  EXPECT_EQ(PixelAt(b, 60, 1), ScaleColor(0x808080, 0.5));
}

TEST(InstrumentDrawing, ButtonFaceFrameAndPress) {
  TFont font;
  auto face = [&](std::uint8_t flags) {
    auto b = std::make_unique<TBitmap>();
    MakeCanvas(*b, 40, 20, clWhite);
    SetRandSeed(1);
    DrawInstrumentButtonFace(*b, 0x808080, 0x202020, RECT{0, 0, 40, 20}, L"", font, 0, flags, itmAuto, 5);
    return b;
  };
  auto up = face(0), down = face(iffPressed), lit = face(iffLit);
  EXPECT_EQ(PixelAt(*up, 0, 10), 0x202020);
  // Pressed: the frame lightened by 1.2 and the lower-right edge by 1.3.
  EXPECT_EQ(PixelAt(*down, 0, 10), ScaleColor(0x202020, 1.2));
  EXPECT_EQ(PixelAt(*down, 20, 19), ScaleColor(0x202020, 1.3));
  // Lit faces glow yellow: red and green far above blue.
  TColor l = PixelAt(*lit, 20, 3);
  EXPECT_GT(l & 0xFF, (l >> 16) & 0xFF);
}

TEST(InstrumentDrawing, GripDots) {
  TBitmap b;
  MakeCanvas(b, 5, 100, clBlack);
  DrawGripDots(b.Canvas(), 5, 100, true, 9);
  EXPECT_EQ(PixelAt(b, 1, 32), 0x404020);
  EXPECT_EQ(PixelAt(b, 2, 33), 0x808060);
  EXPECT_EQ(PixelAt(b, 3, 34), clWhite);
  EXPECT_EQ(PixelAt(b, 1, 36), 0x404020);  // the next dot, 4 lower
  EXPECT_EQ(PixelAt(b, 1, 31), clBlack);
  EXPECT_EQ(InkIn(b, clBlack, RECT{0, 0, 5, 100}), 9 * 7);
  TBitmap h;
  MakeCanvas(h, 50, 5, clBlack);
  DrawGripDots(h.Canvas(), 50, 5, false, 0);
  EXPECT_EQ(InkIn(h, clBlack, RECT{0, 0, 50, 5}), 0);
}

TEST(InstrumentDrawing, HatchStaysInsideItsRectangle) {
  TBitmap b;
  MakeCanvas(b, 30, 30, clWhite);
  FillHatch(b.Canvas().Handle(), RECT{5, 5, 20, 20}, TBrushStyle::bsSolid, clRed);
  EXPECT_EQ(InkBox(b, clWhite), (RECT{0, 0, 0, 0}));
  FillHatch(b.Canvas().Handle(), RECT{5, 5, 20, 20}, TBrushStyle::bsDiagCross, clRed);
  RECT box = InkBox(b, clWhite);
  EXPECT_GE(box.left, 5);
  EXPECT_LE(box.right, 21);
  EXPECT_GT(InkIn(b, clWhite, RECT{5, 5, 21, 21}), 20);
}

TEST(InstrumentDrawing, GdiPlusByCount) {
  ASSERT_EQ(GdiPlusUseCount(), 0);
  GdiPlusAddRef();
  GdiPlusAddRef();
  const bool started = GdiPlusRunning();
  GdiPlusRelease();
  EXPECT_EQ(GdiPlusUseCount(), 1);
  EXPECT_EQ(GdiPlusRunning(), started);
  GdiPlusRelease();
  EXPECT_EQ(GdiPlusUseCount(), 0);
  EXPECT_FALSE(GdiPlusRunning());
  GdiPlusRelease();  // an extra release does not go below zero
  EXPECT_EQ(GdiPlusUseCount(), 0);
}

TEST(InstrumentDrawing, AnimationsDrawTheirFramesAndLeaveTheScreenAsItWas) {
  // A grey screen of our own: the system's may read back as nothing.
  TBitmap screen;
  MakeCanvas(screen, 120, 80, 0x808080);
  instrument_test::TAnimationCapture capture(screen);
  TBitmap image;
  MakeCanvas(image, 10, 10, clRed);
  struct Case {
    const char* Name;
    std::function<void()> Run;
  };
  const Case cases[] = {
      {"focus rectangles", [] { AnimateFocusRects(RECT{0, 0, 20, 20}, RECT{10, 10, 100, 70}, 3, 1); }},
      {"sliding image", [&] { AnimateSlideBitmap(image, false, RECT{0, 0, 10, 10}, RECT{50, 30, 110, 70}, 3, 1); }},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.Name);
    const auto before = capture.Shot();
    capture.Run(c.Run, 1);
    const auto after = capture.Shot();
    ASSERT_FALSE(capture.Middle.empty()) << "no middle frame";
    EXPECT_GT(capture.Frames, 2);
    EXPECT_NE(capture.Middle, before) << "the middle frame draws something";
    EXPECT_NE(capture.Middle, after);
    EXPECT_EQ(after, before);
  }
}

TEST(Fading, FadeColorTable) {
  // A grey of lightness 200: HSL keeps hue and saturation at 0.
  const TColor grey = 0xC8C8C8;
  auto lightness = [](TColor c) {
    std::uint8_t h, s, l;
    ColorToHSL(c, h, s, l);
    return int(l);
  };
  struct Row {
    TXPFadeMode Mode;
    int Step, Strength, Light;
  };
  const Row rows[] = {
      {TXPFadeMode::xfmNone, 0, 3, 140},    {TXPFadeMode::xfmFadeIn, 0, 5, 100}, {TXPFadeMode::xfmFadeIn, 4, 5, 200},
      {TXPFadeMode::xfmFadeIn, 8, 5, 255},  {TXPFadeMode::xfmFadeOut, 0, 2, 240}, {TXPFadeMode::xfmFadeOut, 8, 2, 160},
  };
  for (const Row& r : rows) {
    SCOPED_TRACE(r.Step);
    EXPECT_EQ(lightness(FadeColor(grey, r.Mode, r.Step, r.Strength)), r.Light);
  }
}

}  // namespace

}  // namespace styled_test
