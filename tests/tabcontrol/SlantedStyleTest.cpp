// The Slanted and OneNote styles: outline ends by kind, overlaps and the
// hit in an overlap, minimum widths, the colour arithmetic, the OneNote
// colours after a palette change, outlines, regions and hot gradients.
#include "StyleTest.h"
#include "cxLookAndFeels.h"
#include "laf_editors/EditorsTest.h"

namespace tabcontrol_test {
namespace {

using namespace tvk;

constexpr TcxTabSlantPositions kLeft = 1u << spLeft, kRight = 1u << spRight, kBoth = kLeft | kRight;

TEST_F(TabStyle, SlantedOutlinesFollowTheKindAndPositionsOfEachEnd) {
  // Each point: x = L + a + b*w + c*h, y = B + d - e*h, written {a, b, c, d, e}.
  struct TP {
    int A, B, C, D, E;
  };
  struct TCase {
    TcxTabSlantKind Kind;
    TcxTabSlantPositions Positions;
    std::vector<TP> Points;
  };
  const TCase cases[] = {
      {skSlant, kBoth, {{0, 0, 0, -1, 0}, {-1, 0, 1, 0, 1}, {0, 1, -1, 0, 1}, {-1, 1, 0, -1, 0}}},
      {skCutCorner, kLeft, {{0, 0, 0, -1, 0}, {0, 0, 0, 6, 1}, {6, 0, 0, 0, 1}, {-1, 1, 0, 0, 1}, {-1, 1, 0, -1, 0}}},
      {skCutCorner, kRight, {{0, 0, 0, -1, 0}, {0, 0, 0, 0, 1}, {-7, 1, 0, 0, 1}, {-1, 1, 0, 6, 1}, {-1, 1, 0, -1, 0}}},
      {skSlant, 0, {{0, 0, 0, -1, 0}, {0, 0, 0, 2, 1}, {2, 0, 0, 0, 1}, {-3, 1, 0, 0, 1}, {-1, 1, 0, 2, 1}, {-1, 1, 0, -1, 0}}}};
  for (const TCase& c : cases) {
    SCOPED_TRACE(&c - cases);
    StyleOwner(9, 2, 300, 120, [&](TTabOwner& o) {
      o.Properties().TabSlants().SetKind(c.Kind);
      o.Properties().TabSlants().SetPositions(c.Positions);
    });
    std::vector<POINT> points;
    std::vector<int> positions;
    Painter<TcxPCSlantedPainter>().BuildTabOutline(1, points, positions);
    const RECT r = Tab(1)->FullRect();
    const int L = r.left, B = r.bottom, w = r.right - r.left, h = r.bottom - r.top;
    ASSERT_EQ(c.Points.size(), points.size());
    EXPECT_EQ(points.size() - 1, positions.size());
    for (std::size_t i = 0; i < points.size(); ++i) {
      const TP& p = c.Points[i];
      EXPECT_EQ(L + p.A + p.B * w + p.C * h, points[i].x) << i;
      EXPECT_EQ(B + p.D - p.E * h, points[i].y) << i;
    }
  }
}

TEST_F(TabStyle, SlantedTabsOverlapAndTheOverlapBelongsToTheActiveTab) {
  StyleOwner(9, 3, 400, 120, [](TTabOwner& o) {
    o.Properties().TabSlants().SetPositions(kBoth);
    o.Properties().SetTabHeight(20);
  });
  TcxPCSlantedPainter& painter = Painter<TcxPCSlantedPainter>();
  ASSERT_EQ(19, painter.CutValue());
  EXPECT_EQ(42, painter.SlantMinTabWidth());  // 19 x 2 - 4 + 8
  TcxPCDistance gap;
  painter.GetTabsGap(gap);
  EXPECT_EQ(-18, gap.First);  // 19 div 2 for each of the two slanted sides
  EXPECT_EQ(-3, gap.Second);
  const RECT first = Tab(0)->NormalRect(), second = Tab(1)->NormalRect();
  EXPECT_EQ(first.right - 18, second.left);
  const POINT p{second.left + 2, second.bottom - 3};  // under both tabs' slants
  for (int active : {0, 1}) {
    SCOPED_TRACE(active);
    FOwner->Properties().SetTabIndex(active);
    EXPECT_EQ(active, FOwner->ViewInfo().VisibleIndexOfTabAt(p.x, p.y));
  }
  // Without slant positions: bevelled ends one pixel apart.
  StyleOwner(9, 3, 400, 120, [](TTabOwner& o) { o.Properties().TabSlants().SetPositions(0); });
  Painter<TcxPCSlantedPainter>().GetTabsGap(gap);
  EXPECT_EQ(1, gap.First);
  EXPECT_EQ(Tab(0)->NormalRect().right + 1, Tab(1)->NormalRect().left);
  EXPECT_EQ(8, Painter<TcxPCSlantedPainter>().SlantMinTabWidth());
}

TEST_F(TabStyle, ColoursTurnIntoHueSaturationBrightnessAndBack) {
  struct TRow {
    COLORREF Color;
    long double H, S, B;
  };
  const TRow rows[] = {{RGB(255, 0, 0), 0, 100, 100},
                       {RGB(0, 128, 0), 120, 100, 128 * 100.0L / 255},
                       {RGB(0, 0, 0), 0, 0, 0},
                       {RGB(255, 0, 128), 360 - 128 * 60.0L / 255, 100, 100},
                       {RGB(10, 36, 106), 240 - 26 * 60.0L / 96, 100 - 1000.0L / 106, 106 * 100.0L / 255}};
  for (const TRow& row : rows) {
    SCOPED_TRACE(&row - rows);
    const TcxHSB hsb = ColorToHSB(TColor(row.Color));
    EXPECT_NEAR(double(row.H), double(hsb.H), 1e-9);
    EXPECT_NEAR(double(row.S), double(hsb.S), 1e-9);
    EXPECT_NEAR(double(row.B), double(hsb.B), 1e-9);
    EXPECT_EQ(row.Color, COLORREF(HSBToColor(hsb)));
  }
  // Brightness raised keeps hue and saturation; black stays black, full brightness stays.
  EXPECT_EQ(RGB(150, 75, 0), COLORREF(RaiseColorBrightness(TColor(RGB(100, 50, 0)), 50)));
  EXPECT_EQ(RGB(0, 0, 0), COLORREF(RaiseColorBrightness(clBlack, 50)));
  EXPECT_EQ(RGB(255, 128, 0), COLORREF(RaiseColorBrightness(TColor(RGB(255, 128, 0)), 20)));
  // System colours are resolved first.
  EXPECT_EQ(ColorToRGB(clBtnFace), COLORREF(HSBToColor(ColorToHSB(clBtnFace))));
}

TEST_F(TabStyle, OneNoteColoursAreReadAgainOnAPaletteChange) {
  if (GetOffice11ColorScheme() == 0) {
    const TcxOneNoteColors& colors = OneNoteColors();
    EXPECT_EQ(clBtnShadow, colors.Frame);
    EXPECT_EQ(clBtnShadow, colors.InactiveOutline);
    EXPECT_EQ(TColor(RGB(10, 36, 106)), colors.HotOutline);
    EXPECT_EQ(clBtnFace, colors.InactiveTint);
  }
  const int element = COLOR_BTNSHADOW;
  const COLORREF original = GetSysColor(element), changed = RGB(90, 20, 30);
  const int before = OneNoteColorsPreparedCount();
  SetSysColors(1, &element, &changed);
  laf_editors_test::PumpWaiting();
  SendMessageW(SystemPaletteListener()->Handle(), WM_SYSCOLORCHANGE, 0, 0);
  EXPECT_GT(OneNoteColorsPreparedCount(), before);
  // Tabs painted afterwards use the new colours: the active tab's outline.
  StyleOwner(10, 3);
  Paint();
  const RECT r = Tab(0)->FullRect();
  EXPECT_EQ(ColorToRGB(OneNoteColors().Frame), Pixel(r.right - 1, r.bottom - 3));
  if (GetOffice11ColorScheme() == 0) {
    EXPECT_EQ(changed, Pixel(r.right - 1, r.bottom - 3));
  }
  SetSysColors(1, &element, &original);
  laf_editors_test::PumpWaiting();
}

TEST_F(TabStyle, OneNoteOutlinesAndRegionsFollowTheTabsState) {
  StyleOwner(10, 4, 400, 120, [](TTabOwner& o) { o.Properties().SetTabIndex(1); });
  FOwner->ViewInfo().SetHotTrackTabVisibleIndex(3);
  Paint();
  TcxPCOneNotePainter& painter = Painter<TcxPCOneNotePainter>();
  // The right end of each tab: the frame colour (active), the hot outline, the inactive outline.
  struct TRow {
    int Tab;
    TColor Color;
  };
  const TRow rows[] = {{1, OneNoteColors().Frame}, {3, OneNoteColors().HotOutline}};
  for (const TRow& row : rows) {
    const RECT r = Tab(row.Tab)->FullRect();
    EXPECT_EQ(ColorToRGB(row.Color), Pixel(r.right - 1, r.bottom - 4)) << row.Tab;
  }
  // The clip region takes the long slant on the left and the bevel on the right.
  const RECT r = Tab(2)->FullRect();
  const int h = r.bottom - r.top;
  std::unique_ptr<TcxRegion> region = painter.CreateTabRegion(FOwner->Surface().cxCanvas(), 2, false);
  EXPECT_TRUE(region->PtInRegion((r.left + r.right) / 2, r.top + 2));
  EXPECT_TRUE(region->PtInRegion(r.left + 1, r.bottom - 1));
  EXPECT_FALSE(region->PtInRegion(r.left + 2, r.top + 2));
  EXPECT_FALSE(region->PtInRegion(r.right - 1, r.top));
  EXPECT_GT(h, 10);
}

TEST_F(TabStyle, AHotActiveTabTakesTheGradientOnlyInOneNote) {
  struct TRow {
    TcxPCStyleID Style;
    bool Gradient;
  };
  const TRow rows[] = {{9, false}, {10, true}};
  for (const TRow& row : rows) {
    SCOPED_TRACE(row.Style);
    StyleOwner(row.Style, 3, 400, 120, [](TTabOwner& o) {
      o.Properties().SetOptions(TcxPCOptions(o.Properties().Options() | PCOptions({pcoGradient})));
    });
    FOwner->ViewInfo().SetHotTrackTabVisibleIndex(0);
    ASSERT_TRUE(Tab(0)->IsHotTrack());
    TcxBitmap32 sheet(400, 120);
    const RECT r = Tab(0)->FullRect();
    Painter<TcxPCSlantedPainter>().FillTabBody(sheet.cxCanvas(), r, false, false, 0);
    const COLORREF top = ColorToRGB(sheet.Canvas().Pixel((r.left + r.right) / 2, r.top + 1));
    const COLORREF bottom = ColorToRGB(sheet.Canvas().Pixel((r.left + r.right) / 2, r.bottom - 2));
    EXPECT_EQ(row.Gradient, top != bottom);
  }
}

}  // namespace
}  // namespace tabcontrol_test
