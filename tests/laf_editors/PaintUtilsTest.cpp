// The brush cache (system colours beside it, counts, eviction, a change of
// the system colours) and the editors' small drawing routines.
#include "EditorsTest.h"
#include "cxEditPaintUtils.h"
#include "cxLookAndFeelPainters.h"
#include "painters/PaintersTest.h"

#include <vector>

using namespace tvk;

namespace laf_editors_test {

using PaintUtils = EditorsUnits;
using painters_test::kSentinel;
using painters_test::TDib;

TEST_F(PaintUtils, SystemColoursBypassTheCacheAndAPlainColourIsCountedOnItsSecondAsk) {
  TcxSolidBrushCache& cache = *SolidBrushCache();
  EXPECT_EQ(GetSysColorBrush(COLOR_BTNFACE), GetSolidBrush(clBtnFace));
  EXPECT_EQ(GetSysColorBrush(COLOR_WINDOW), GetSolidBrush(clWindow));
  EXPECT_EQ(0, cache.Depth()) << "system colours add nothing to the cache";

  HBRUSH first = GetSolidBrush(TColor(0x102030));
  ASSERT_NE(nullptr, first);
  EXPECT_EQ(1, cache.Depth());
  EXPECT_EQ(0u, cache.CountAt(0));
  EXPECT_EQ(first, GetSolidBrush(TColor(0x102030)));
  EXPECT_EQ(1u, cache.CountAt(0));
  EXPECT_EQ(1, cache.CreatedCount());

  // A system colour beyond the system's table is cached, made from its value.
  HBRUSH beyond = GetSolidBrush(TColor(0xFF00001F));
  EXPECT_EQ(2, cache.Depth());
  EXPECT_NE(nullptr, beyond);
}

TEST(PaintUtilsCache, KeepsColoursInSignedOrderAndEvictsTheLeastFoundLowestFirst) {
  // No unit started: no system table, so system colours are plain keys too.
  TcxSolidBrushCache cache(4);
  for (TColor color : {TColor(30), TColor(10), TColor(0xFF000005), TColor(20)}) cache.GetBrush(color);
  ASSERT_EQ(4, cache.Depth());
  const std::vector<TColor> sorted{TColor(0xFF000005), 10, 20, 30};
  for (int i = 0; i < 4; ++i) EXPECT_EQ(sorted[std::size_t(i)], cache.ColorAt(i)) << i;

  // Every entry found once, 20 twice: a new colour evicts the lowest index of
  // the smallest count (the system colour at 0).
  for (TColor color : {TColor(0xFF000005), TColor(10), TColor(20), TColor(20), TColor(30)}) cache.GetBrush(color);
  cache.GetBrush(25);
  ASSERT_EQ(4, cache.Depth());
  EXPECT_EQ((std::vector<TColor>{10, 20, 25, 30}),
            (std::vector<TColor>{cache.ColorAt(0), cache.ColorAt(1), cache.ColorAt(2), cache.ColorAt(3)}));
  // The new entry (count 0) is the next to go, before any entry found once.
  cache.GetBrush(5);
  EXPECT_EQ((std::vector<TColor>{5, 10, 20, 30}),
            (std::vector<TColor>{cache.ColorAt(0), cache.ColorAt(1), cache.ColorAt(2), cache.ColorAt(3)}));
  EXPECT_EQ(6, cache.CreatedCount());
  // Among equal smallest counts after 5 was found once: 5 (index 0) and 10 tie, 5 goes.
  cache.GetBrush(5);
  cache.GetBrush(40);
  EXPECT_EQ((std::vector<TColor>{10, 20, 30, 40}),
            (std::vector<TColor>{cache.ColorAt(0), cache.ColorAt(1), cache.ColorAt(2), cache.ColorAt(3)}));
}

TEST_F(PaintUtils, ARealSystemColourChangeEmptiesTheCache) {
  TcxSolidBrushCache& cache = *SolidBrushCache();
  GetSolidBrush(TColor(0x112233));
  GetSolidBrush(TColor(0x445566));
  ASSERT_EQ(2, cache.Depth());
  const int element = COLOR_INFOBK;
  const COLORREF old = GetSysColor(element);
  const COLORREF changed = old ^ 0x000101;
  ASSERT_TRUE(SetSysColors(1, &element, &changed));
  PumpWaiting();
  SetSysColors(1, &element, &old);
  PumpWaiting();
  EXPECT_EQ(old, GetSysColor(element));
  EXPECT_EQ(0, cache.Depth());
  GetSolidBrush(TColor(0x112233));
  EXPECT_EQ(3, cache.CreatedCount()) << "the next request makes a new brush";
}

TEST_F(PaintUtils, StepsTwiceLeaveTheCacheAndTheSystemTableOnlyWhileRunning) {
  EXPECT_NE(nullptr, SolidBrushCache());
  EXPECT_EQ(31u, SystemColorBrushes().size());
  StopSteps(LookAndFeelEditorsSteps());
  EXPECT_EQ(nullptr, SolidBrushCache());
  EXPECT_TRUE(SystemColorBrushes().empty());
  EXPECT_EQ(nullptr, GetSolidBrush(TColor(0x102030))) << "no cache, no brush";
  for (const TInitStep& step : LookAndFeelEditorsSteps()) ASSERT_TRUE(step.Startup());
  EXPECT_NE(nullptr, SolidBrushCache());
}

TEST_F(PaintUtils, DrawEdgeLinesPaintsBothEndsAndMovesTheSidesIn) {
  TDib dib(12, 12);
  RECT r{0, 0, 10, 10};
  DrawEdgeLines(dib.Canvas(), r, cxBordersAll, clRed);
  EXPECT_EQ((painters_test::TBox{1, 1, 9, 9}), painters_test::Box(r));
  for (int y = 0; y < 12; ++y)
    for (int x = 0; x < 12; ++x) {
      const bool onLine = (x == 0 || x == 9 || y == 0 || y == 9) && x <= 9 && y <= 9;
      EXPECT_EQ(onLine ? TColor(0x0000FF) : kSentinel, dib.At(x, y)) << x << "," << y;
    }
  // Only the named sides move.
  TDib single(12, 12);
  RECT s{2, 2, 8, 8};
  DrawEdgeLines(single.Canvas(), s, bRight | bBottom, clBlue);
  EXPECT_EQ((painters_test::TBox{2, 2, 7, 7}), painters_test::Box(s));
  EXPECT_EQ(TColor(0xFF0000), single.At(7, 2));
  EXPECT_EQ(TColor(0xFF0000), single.At(7, 7));
  EXPECT_EQ(kSentinel, single.At(2, 3));
}

TEST_F(PaintUtils, FillRectFrameFillsOnlyOutsideTheInnerRectangle) {
  TDib dib(10, 10);
  HBRUSH brush = GetSolidBrush(clRed);
  FillRectFrameWithBrush(dib.Canvas(), {0, 0, 10, 10}, {0, 0, 10, 10}, brush);
  EXPECT_TRUE(dib.Untouched()) << "equal rectangles: nothing";
  FillRectFrameWithBrush(dib.Canvas(), {1, 1, 9, 9}, {3, 3, 6, 6}, brush);
  EXPECT_EQ(64 - 9, dib.CountOf(clRed));
  EXPECT_EQ(kSentinel, dib.At(4, 4));
  FillRectFrameWithBrush(dib.Canvas(), {0, 0, 10, 10}, {5, 5, 5, 5}, brush);
  EXPECT_EQ(100, dib.CountOf(clRed)) << "an empty inner rectangle: all of R";
  dib.Fill(kSentinel);
  FillRectWithColor(dib.Canvas(), {2, 2, 4, 4}, clBlue);
  EXPECT_EQ(4, dib.CountOf(clBlue));
}

TEST(PaintUtilsRoutines, TextFlagsDigitsAndAllowances) {
  struct TCase {
    int Flags, Expected;
  };
  const TCase cases[] = {
      {0, 0},
      {0x212, cxTextAlignRight | cxTextAlignVCenter | cxTextSingleLine},
      {0x3, cxTextAlignHCenter | cxTextAlignRight},  // justified: bits, not values
      {0x30, cxTextAlignVCenter | cxTextAlignBottom},
      {0x100, cxTextWordBreak},
      {0x4 | 0x8 | 0x40 | 0x400, 0},  // nothing else is carried over
  };
  for (const TCase& c : cases) EXPECT_EQ(c.Expected, TextLayoutFlagsToCanvasFlags(c.Flags)) << std::hex << c.Flags;
  EXPECT_TRUE(IsDigitChar(L'0'));
  EXPECT_TRUE(IsDigitChar(L'9'));
  EXPECT_FALSE(IsDigitChar(L'/'));
  EXPECT_FALSE(IsDigitChar(L':'));
  EXPECT_FALSE(IsDigitChar(L'\x0663'));  // an Arabic-Indic three is no digit here
  TDib dib(2, 2);
  const int expected[] = {0, 4, 2, 2, 2, 2, 2};
  for (int style = btsDefault; style <= btsOffice11; ++style)
    EXPECT_EQ(expected[style], GetEditButtonVertAllowance(dib.Canvas(), TcxEditButtonStyle(style), false));
}

TEST_F(PaintUtils, FlatButtonColoursComeFromTheRegisteredPainters) {
  TcxLookAndFeelPaintersManager* manager = cxLookAndFeelPaintersManager();
  ASSERT_NE(nullptr, manager);
  EXPECT_EQ(manager->GetPainter(lfsOffice11)->ButtonColor(cxbsPressed), GetEditButtonHighlightColor(true, true));
  EXPECT_EQ(manager->GetPainter(lfsUltraFlat)->ButtonColor(cxbsHot), GetEditButtonHighlightColor(false, false));
  EXPECT_EQ(clHighlight, GetEditButtonFrameColor(false));
  EXPECT_EQ(GetHotTrackBorderColor(true, true), GetEditButtonFrameColor(true));
}

}  // namespace laf_editors_test
