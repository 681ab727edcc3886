// The smooth text renderer: line heights, wrapping, the accelerator
// underline, ellipsis, vertical placement, strike-out, font identity in the
// glyph cache and its eviction. Fonts are substituted under test, so only
// metrics and where ink lands are checked, never glyph shapes.
#include <gtest/gtest.h>

#include "Maths.h"
#include "SmoothText.h"
#include "StyledTest.h"

using namespace tvk;
namespace styled_test {

namespace {

TEXTMETRICW Metrics(TFont& font) {
  HDC dc = CreateCompatibleDC(nullptr);
  HGDIOBJ old = SelectObject(dc, font.Handle());
  TEXTMETRICW tm{};
  GetTextMetricsW(dc, &tm);
  SelectObject(dc, old);
  DeleteDC(dc);
  return tm;
}

// The renderer's cell height: tmHeight + tmDescent.
int CellHeight(TFont& font) {
  TEXTMETRICW tm = Metrics(font);
  return int(tm.tmHeight + tm.tmDescent);
}

int Ascent(TFont& font) { return int(Metrics(font).tmAscent); }

struct SmoothText : ::testing::Test {
  TBitmap Target;
  TFont Font;
  SmoothText() {
    MakeCanvas(Target, 200, 120, clWhite);
    Font.SetName(L"Tahoma");
    Font.SetHeight(-16);
    Target.Canvas().Font().Assign(Font);
  }
  void Draw(const WideString& text, RECT r, TXPDrawCaptionFlags flags = 0,
            TAlignment a = TAlignment::taLeftJustify, TTextLayout l = TTextLayout::tlTop,
            TEllipsisPosition e = TEllipsisPosition::epNone) {
    SmoothTextOut(Target.Canvas(), r, text, Font, clRed, a, l, flags, e, 100);
  }
};

TEST_F(SmoothText, HeightIsOneLineHeightPerLineScaledByTheLineSpacing) {
  TCanvas& c = Target.Canvas();
  int cell = CellHeight(Font);
  RECT r{0, 0, 200, 100};
  EXPECT_EQ(cell, SmoothTextHeight(c, L"", r, 0, 100));
  EXPECT_EQ(int(Round(cell * 1.5)), SmoothTextHeight(c, L"", r, 0, 150));
  EXPECT_EQ(cell, SmoothTextHeight(c, L"one\r\ntwo", r, 0, 100));  // one line without dcfMultiline
  EXPECT_EQ(2 * cell, SmoothTextHeight(c, L"one\r\ntwo", r, dcfMultiline, 100));
}

TEST_F(SmoothText, AWordWiderThanTheLineStandsAloneUnbroken) {
  TCanvas& c = Target.Canvas();
  const WideString word = L"Supercalifragilistic";
  int wordWidth = SmoothTextWidth(c, word, RECT{0, 0, 1000, 50}, 0);
  RECT narrow{0, 0, wordWidth / 2, 100};
  WideString text = L"a " + word + L" b";
  EXPECT_EQ(3 * CellHeight(Font), SmoothTextHeight(c, text, narrow, dcfMultiline, 100));
  EXPECT_EQ(wordWidth, SmoothTextWidth(c, text, narrow, dcfMultiline));
  // A line's width: advances of all but the last character, plus its mask.
  EXPECT_GT(SmoothTextWidth(c, L"ab", RECT{0, 0, 100, 20}, 0), SmoothTextWidth(c, L"a", RECT{0, 0, 100, 20}, 0));
}

TEST_F(SmoothText, TheAcceleratorIsUnderlinedAndItsMarkIsNotDrawn) {
  int baseline = Ascent(Font);
  RECT r{10, 10, 190, 60};
  Draw(L"&xo", r);
  RECT below{10, 10 + baseline + 1, 190, 60};
  int underline = InkIn(Target, clWhite, below);
  RECT accel = InkBox(Target, clWhite);
  MakeCanvas(Target, 200, 120, clWhite);
  Draw(L"xo", r, dcfNoPrefix);
  EXPECT_GT(underline, 0);                         // the underline lies below the baseline
  EXPECT_EQ(0, InkIn(Target, clWhite, below));     // no letter reaches there
  EXPECT_EQ(accel.left, InkBox(Target, clWhite).left);  // the mark itself took no room
  MakeCanvas(Target, 200, 120, clWhite);
  Draw(L"&xo", r, dcfNoPrefix);  // shown as it is
  EXPECT_GT(InkBox(Target, clWhite).right - InkBox(Target, clWhite).left, accel.right - accel.left);
}

TEST_F(SmoothText, TheAcceleratorCountsARemovedLineBreakAsTwoCharacters) {
  // "ab", a line break, then "&xo": the mark stands before the fifth character.
  const int cell = CellHeight(Font), baseline = Ascent(Font);
  RECT r{10, 10, 190, 110};
  Draw(L"ab\r\n&xo", r, dcfMultiline);
  RECT underFirstLine{10, 10 + baseline + 1, 190, 10 + cell};
  RECT underSecondLine{10, 10 + cell + baseline + 1, 190, 10 + 2 * cell};
  EXPECT_EQ(0, InkIn(Target, clWhite, underFirstLine));  // "b" is not underlined
  EXPECT_GT(InkIn(Target, clWhite, underSecondLine), 0);
  RECT x = InkBox(Target, clWhite);
  EXPECT_EQ(10, x.left);
}

TEST_F(SmoothText, ACustomUnderlineIsASoftLineUnderPlainGlyphs) {
  Font.SetStyle(fsUnderline);
  const int baseline = Ascent(Font);
  RECT r{10, 10, 190, 60};
  Draw(L"xxxx", r, dcfCustomUnderline);
  RECT below{10, 10 + baseline, 190, 60};
  int soft = 0, ink = 0;
  for (int y = below.top; y < below.bottom; ++y)
    for (int x = below.left; x < below.right; ++x) {
      TColor c = PixelAt(Target, x, y);
      if (c == clWhite) continue;
      ++ink;
      soft += c != clRed;  // blurred: blended, not solid
    }
  EXPECT_GT(ink, 20);
  EXPECT_GT(soft, 0);
  RECT box = InkBox(Target, clWhite);
  EXPECT_GE(box.right - box.left, SmoothTextWidth(Target.Canvas(), L"xxxx", r, 0) - 1);
}

TEST_F(SmoothText, InkIsTheTextColourBlendedOverTheBackground) {
  Font.SetHeight(-60);  // stems wide enough to cover whole mask pixels
  Draw(L"Il", RECT{5, 5, 195, 115});
  int full = 0;
  for (int y = 0; y < 120; ++y)
    for (int x = 0; x < 200; ++x) {
      TColor c = PixelAt(Target, x, y);
      if (c == clWhite) continue;
      ASSERT_EQ((c >> 8) & 0xFF, (c >> 16) & 0xFF);  // green and blue fall together
      full += c == clRed;
    }
  EXPECT_GT(full, 0);
}

TEST_F(SmoothText, EllipsisKeepsTheTextInsideItsWidth) {
  RECT r{10, 10, 60, 40};
  Draw(L"A long caption that cannot fit", r, dcfNoClipping);
  EXPECT_GT(InkBox(Target, clWhite).right, 60);
  for (auto e : {TEllipsisPosition::epEndEllipsis, TEllipsisPosition::epWordEllipsis}) {
    MakeCanvas(Target, 200, 120, clWhite);
    Draw(L"C:\\folder\\deeper\\file.txt", r, dcfNoClipping, TAlignment::taLeftJustify, TTextLayout::tlTop, e);
    RECT box = InkBox(Target, clWhite);
    EXPECT_LE(box.right, 61) << int(e);
    EXPECT_GT(box.right, 30) << int(e);
  }
  // The path ellipsis keeps the name after the last backslash whole.
  TCanvas& c = Target.Canvas();
  int tail = SmoothTextWidth(c, L"...\\file.txt", r, 0);
  RECT wide{10, 10, 10 + tail + 20, 40};
  MakeCanvas(Target, 200, 120, clWhite);
  Draw(L"C:\\folder\\deeper\\file.txt", wide, dcfNoClipping, TAlignment::taLeftJustify, TTextLayout::tlTop,
       TEllipsisPosition::epPathEllipsis);
  RECT box = InkBox(Target, clWhite);
  EXPECT_LE(box.right, wide.right + 1);
  EXPECT_GE(box.right - box.left, tail - 2);
}

TEST_F(SmoothText, AlignmentAndLayoutPlaceTheBlock) {
  RECT r{0, 0, 200, 120};
  Draw(L"Hi", r, 0, TAlignment::taRightJustify, TTextLayout::tlBottom);
  RECT box = InkBox(Target, clWhite);
  EXPECT_GT(box.left, 150);
  EXPECT_GT(box.top, 80);
  MakeCanvas(Target, 200, 120, clWhite);
  Draw(L"Hi", r, 0, TAlignment::taCenter, TTextLayout::tlCenter);
  box = InkBox(Target, clWhite);
  EXPECT_NEAR(100, (box.left + box.right) / 2, 6);
  EXPECT_NEAR(60, (box.top + box.bottom) / 2, 8);
}

TEST_F(SmoothText, VerticalTextTurnsAndStartsWhereItsReadingStarts) {
  RECT r{20, 10, 80, 110};
  const WideString text = L"MMMM....";  // heavy at its start
  Draw(text, r, dcfVertical | dcfVertClockwise);
  RECT box = InkBox(Target, clWhite);
  EXPECT_GT(box.bottom - box.top, box.right - box.left);  // turned
  EXPECT_LE(box.top, 12);                                  // taLeftJustify: at the top
  int half = (box.top + box.bottom) / 2;
  // Clockwise it reads top to bottom: the heavy start is above.
  EXPECT_GT(InkIn(Target, clWhite, RECT{0, box.top, 200, half}), InkIn(Target, clWhite, RECT{0, half, 200, box.bottom}));
  EXPECT_GT(box.right, 70);  // the glyphs' tops face right: the first line at the right edge

  MakeCanvas(Target, 200, 120, clWhite);
  Draw(text, r, dcfVertical);
  box = InkBox(Target, clWhite);
  EXPECT_GE(box.bottom, 108);  // anticlockwise it starts at the bottom
  half = (box.top + box.bottom) / 2;
  EXPECT_LT(InkIn(Target, clWhite, RECT{0, box.top, 200, half}), InkIn(Target, clWhite, RECT{0, half, 200, box.bottom}));
  EXPECT_LT(box.left, 30);
}

TEST_F(SmoothText, StrikeOutMarksTheCharactersFromItsStartAndRefusesVerticalText) {
  RECT r{10, 10, 190, 60};
  int middle = 10 + Ascent(Font) / 2 + 2;
  SmoothTextOut_MakeStrikeOutAfter(Target.Canvas(), r, L"____ oooo", 6, Font, clRed, TAlignment::taLeftJustify,
                                   TTextLayout::tlTop, 0, 100);
  int struck = InkIn(Target, clWhite, RECT{10, middle - 4, 190, middle + 4});
  MakeCanvas(Target, 200, 120, clWhite);
  SmoothTextOut_MakeStrikeOutAfter(Target.Canvas(), r, L"____ oooo", 0, Font, clRed, TAlignment::taLeftJustify,
                                   TTextLayout::tlTop, 0, 100);
  EXPECT_GT(struck, InkIn(Target, clWhite, RECT{10, middle - 4, 190, middle + 4}));
  try {
    SmoothTextOut_MakeStrikeOutAfter(Target.Canvas(), r, L"abc", 2, Font, clRed, TAlignment::taLeftJustify,
                                     TTextLayout::tlTop, dcfVertical, 100);
    FAIL() << "no error";
  } catch (const Exception& e) {
    EXPECT_EQ(L"Can't do Vertical Text when some of the text will be drawn Strike-Out.", e.Message());
  }
  EXPECT_NO_THROW(SmoothTextOut_MakeStrikeOutAfter(Target.Canvas(), r, L"abc", 0, Font, clRed,
                                                   TAlignment::taLeftJustify, TTextLayout::tlTop, dcfVertical, 100));
}

TEST_F(SmoothText, FontsOfOneIdentityShareASymbolSetAndRepeatedDrawsRenderNothing) {
  struct Variant {
    const char* What;
    void (*Change)(TFont&);
    bool Shared;
  } variants[] = {
      {"colour", [](TFont& f) { f.SetColor(clBlue); }, true},
      {"character set", [](TFont& f) { f.SetCharset(SYMBOL_CHARSET); }, true},
      {"size", [](TFont& f) { f.SetHeight(-17); }, false},
      {"name", [](TFont& f) { f.SetName(L"Arial"); }, false},
      {"style", [](TFont& f) { f.SetStyle(fsBold); }, false},
      {"pitch", [](TFont& f) { f.SetPitch(TFontPitch::fpFixed); }, false},
      {"resolution", [](TFont& f) { f.SetPixelsPerInch(144); }, false},
  };
  TCanvas& c = Target.Canvas();
  c.Font().SetName(L"Verdana");  // a font no other test uses
  c.Font().SetHeight(-21);
  SmoothTextWidth(c, L"x", RECT{0, 0, 100, 20}, 0);
  TFont base;
  base.Assign(c.Font());
  for (const Variant& v : variants) {
    c.Font().Assign(base);
    v.Change(c.Font());
    int sets = SmoothTextStats().SymbolSets;
    SmoothTextWidth(c, L"x", RECT{0, 0, 100, 20}, 0);
    EXPECT_EQ(v.Shared, SmoothTextStats().SymbolSets == sets) << v.What;
  }
  Draw(L"repeat me", RECT{0, 0, 200, 40});
  std::uint64_t rendered = SmoothTextStats().GlyphRenderings;
  Font.SetColor(clGreen);
  Draw(L"repeat me", RECT{0, 0, 200, 40});
  EXPECT_EQ(rendered, SmoothTextStats().GlyphRenderings);
}

TEST_F(SmoothText, PastTheMaskLimitANewFontEvictsOneSet) {
  SmoothTextShutdown();
  SmoothTextStartup();
  TCanvas& c = Target.Canvas();
  c.Font().SetName(L"Tahoma");
  c.Font().SetHeight(-200);  // large masks: the limit is passed quickly
  WideString text;
  for (wchar_t ch = L'A'; ch <= L'Z'; ++ch) text += ch;
  for (wchar_t ch = L'a'; ch <= L'z'; ++ch) text += ch;
  SmoothTextWidth(c, text, RECT{0, 0, 100, 20}, 0);
  TSmoothTextStats full = SmoothTextStats();
  ASSERT_GT(full.MaskBytes, kSmoothTextMaskLimit);
  EXPECT_EQ(0u, full.Evictions);
  c.Font().SetHeight(-12);
  SmoothTextWidth(c, L"x", RECT{0, 0, 100, 20}, 0);
  TSmoothTextStats after = SmoothTextStats();
  EXPECT_EQ(1u, after.Evictions);
  EXPECT_EQ(1, after.SymbolSets);
  EXPECT_LT(after.MaskBytes, 10000u);
  // Glyph records come in pages made on first use: an ASCII font costs kilobytes.
  EXPECT_LT(after.RecordBytes, 20000u);
}

}  // namespace

}  // namespace styled_test
