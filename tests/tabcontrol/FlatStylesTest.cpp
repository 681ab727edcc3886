// The button styles, ExtraFlat, UltraFlat and Office11: button frames and
// separators, separator bars and row edges, the light button face, glyph
// looks, Office11's blends, transparent tabs and navigator gradients.
#include "StyleTest.h"
#include "dxOffice11.h"
#include "laf_editors/EditorsTest.h"

namespace tabcontrol_test {
namespace {

using namespace tvk;

TEST_F(TabStyle, ButtonsAreRaisedOrPressedAndTrackedTabsGoDownOnlyInButtons) {
  struct TRow {
    TcxPCStyleID Style;
    int Tab;
    bool Track;
    TColor Left, Right;  // the outer frame's left and right lines
    bool ActiveLook;
  };
  const TRow rows[] = {{2, 2, false, clBtnHighlight, cl3DDkShadow, false},  // up
                       {2, 0, false, cl3DDkShadow, clBtnHighlight, true},   // the active tab, down
                       {2, 2, true, cl3DDkShadow, clBtnHighlight, true},    // tracked: down
                       {3, 0, false, clBtnShadow, clBtnHighlight, true},    // flat, sunken
                       {3, 2, true, clBtnHighlight, clBtnShadow, false}};   // flat, tracked: thin raised
  for (const TRow& row : rows) {
    SCOPED_TRACE(&row - rows);
    TTabOwner& owner = StyleOwner(row.Style, 3);
    if (row.Track) owner.ViewInfo().SetTrackingTabVisibleIndex(row.Tab);
    Paint();
    const RECT r = Tab(row.Tab)->FullRect();
    EXPECT_EQ(Rgb(row.Left), Pixel(r.left, r.top + 5));
    EXPECT_EQ(Rgb(row.Right), Pixel(r.right - 1, r.top + 5));
    TcxPCButtonedPainter& painter = Painter<TcxPCButtonedPainter>();
    EXPECT_EQ(row.ActiveLook, painter.IsTabActiveLook(row.Tab));
    // The content shifts one pixel with the pressed look.
    TcxPCDistance offsets;
    painter.GetTabContentOffsets(row.Tab, offsets);
    EXPECT_EQ(row.ActiveLook ? 5 : 4, offsets.First);
    EXPECT_EQ(row.ActiveLook ? 3 : 4, offsets.Second);
  }
  StyleOwner(2, 3);
  EXPECT_EQ(clBtnHighlight, Painter<TcxPCButtonedPainter>().GetTabColor(0));
  EXPECT_EQ(clBtnFace, Painter<TcxPCButtonedPainter>().GetTabColor(1));
}

TEST_F(TabStyle, FlatButtonsSeparateNeighboursInTheirRowOnly) {
  // Three buttons in a row, then a second row: separators after 0 and 1 only.
  TTabOwner& owner = StyleOwner(3, 3, 300, 120);
  Paint();
  for (int i = 0; i < 3; ++i) {
    SCOPED_TRACE(i);
    const RECT r = Tab(i)->FullRect();
    const int x = r.right + 4, y = (r.top + r.bottom) / 2;  // the gap is 10: lines 4 pixels in
    if (i < 2) {
      EXPECT_EQ(Rgb(clBtnShadow), Pixel(x, y));
      EXPECT_EQ(Rgb(clBtnHighlight), Pixel(x + 1, y));
      EXPECT_EQ(Rgb(owner.OwnColor), Pixel(x - 1, y));
      EXPECT_EQ(Rgb(owner.OwnColor), Pixel(x, r.top));  // one pixel in from the ends
    } else {
      EXPECT_NE(Rgb(clBtnShadow), Pixel(x, y));
    }
  }
  EXPECT_TRUE(Painter<TcxPCFlatButtonsPainter>().NeedsTabSeparator(0));
  EXPECT_FALSE(Painter<TcxPCFlatButtonsPainter>().NeedsTabSeparator(2));
}

TEST_F(TabStyle, ExtraFlatBarsStopShortAndKeepAwayFromTheActiveTab) {
  // Rotated text running top to bottom lays the row out right to left: the bars follow.
  for (bool rightToLeft : {false, true}) {
    SCOPED_TRACE(rightToLeft);
    TTabOwner& owner = StyleOwner(5, 4, 300, 120, [&](TTabOwner& o) {
      if (!rightToLeft) return;
      o.Properties().SetRotate(true);
      o.Properties().SetOptions(TcxPCOptions(o.Properties().Options() | PCOptions({pcoTopToBottomText})));
    });
    Paint();
    ASSERT_EQ(rightToLeft, owner.ViewInfo().IsRightToLeftAlignment());
    const RECT first = Tab(0)->FullRect(), second = Tab(1)->FullRect(), third = Tab(2)->FullRect();
    // Between the inactive second and third tabs, 2 pixels short of both ends.
    const int x = rightToLeft ? second.left - 1 : second.right;
    EXPECT_EQ(Rgb(clBtnShadow), Pixel(x, second.top + 2));
    EXPECT_EQ(Rgb(clBtnShadow), Pixel(x, second.bottom - 3));
    EXPECT_NE(Rgb(clBtnShadow), Pixel(x, second.top + 1));
    EXPECT_NE(Rgb(clBtnShadow), Pixel(x, second.bottom - 2));
    EXPECT_EQ(rightToLeft ? x : x + 1, rightToLeft ? third.right : third.left);
    // Each bar lies on the side of its tab facing the next one in the row.
    EXPECT_EQ(Rgb(clBtnShadow), Pixel(rightToLeft ? third.left - 1 : third.right, third.top + 2));
    // None between the active first tab and the second.
    const int from = rightToLeft ? std::min(second.right, first.left) : first.right - 1;
    const int to = rightToLeft ? std::max(second.right, first.left) + 1 : second.left;
    for (int px = from; px < to; ++px)
      EXPECT_NE(Rgb(clBtnShadow), Pixel(px, (first.top + first.bottom) / 2)) << px;
  }
}

TEST_F(TabStyle, ExtraFlatFramesThePageAloneWhenTabsAreHidden) {
  StyleOwner(5, 3, 300, 120, [](TTabOwner& o) {
    o.Properties().SetShowFrame(true);
    o.Properties().SetHideTabs(true);
  });
  Paint();
  RECT page, strip;
  Painter<TcxPCExtraFlatPainter>().CalculatePageClientRect(page);
  Painter<TcxPCExtraFlatPainter>().GetTabsPageStripRect(strip);
  // The one-pixel frame on all four sides, no page strip and no step toward a tab row.
  EXPECT_EQ((TBox{1, 1, 299, 119}), Box(page));
  EXPECT_TRUE(IsRectEmpty(&strip));
  EXPECT_EQ(Rgb(clBtnHighlight), Pixel(150, 0));
  EXPECT_EQ(Rgb(clBtnHighlight), Pixel(0, 60));
  EXPECT_EQ(Rgb(clBtnShadow), Pixel(150, 119));
  EXPECT_EQ(Rgb(clBtnShadow), Pixel(299, 60));
}

TEST_F(TabStyle, RowEdgesRunAlongTheBandTowardThePage) {
  struct TRow {
    TcxPCStyleID Style;
    TColor Lines[3];  // from the page side out
  };
  const TRow rows[] = {{5, {clBtnFace, clBtnFace, clWhite}}, {6, {clBtnFace, clBtnFace, clBlack}}};
  for (const TRow& row : rows) {
    SCOPED_TRACE(row.Style);
    StyleOwner(row.Style, 2);
    Paint();
    RECT band;
    Painter<TcxPCExtraFlatPainter>().GetTabBandRect(0, true, band);
    const int x = 250;  // right of the tabs
    for (int i = 0; i < 3; ++i) EXPECT_EQ(Rgb(row.Lines[i]), Pixel(x, band.bottom - 1 - i)) << i;
    EXPECT_EQ(Rgb(LightButtonFaceColor()), Pixel(x, band.bottom - 4));
  }
}

TEST_F(TabStyle, DisabledArrowsAreHollowInExtraFlatAndEmbossedInUltraFlat) {
  struct TRow {
    TcxPCStyleID Style;
    bool Enabled, Thin;
    TColor Fill, Line;
  };
  const TRow rows[] = {{5, true, true, LightButtonFaceColor(), clBtnShadow},
                       {6, false, false, clBtnShadow, clBtnShadow}};
  for (const TRow& row : rows) {
    SCOPED_TRACE(row.Style);
    StyleOwner(row.Style, 2);
    FOwner->Enabled = false;
    TcxPCNavigatorGlyphParams params;
    Painter<TcxPCStandardPainter>().GetNavigatorGlyphParams(nbTopLeft, nbsNormal, params);
    EXPECT_EQ(row.Enabled, params.Enabled);
    EXPECT_EQ(row.Thin, params.Thin);
    EXPECT_EQ(row.Fill, params.FillColor);
    EXPECT_EQ(row.Line, params.LineColor);
  }
}

TEST_F(TabStyle, LightButtonFaceIsTakenOnceAtStartUp) {
  const int element = COLOR_BTNFACE;
  const COLORREF original = GetSysColor(element);
  struct TRow {
    COLORREF Face, Light;
  };
  const TRow rows[] = {{RGB(240, 240, 240), RGB(255, 255, 255)}, {RGB(200, 100, 236), RGB(220, 120, 255)}};
  for (const TRow& row : rows) {
    SCOPED_TRACE(&row - rows);
    SetSysColors(1, &element, &row.Face);
    laf_editors_test::StopSteps(LookAndFeelEditorsSteps());
    for (const TInitStep& step : LookAndFeelEditorsSteps()) ASSERT_TRUE(step.Startup()) << step.Name;
    EXPECT_EQ(row.Light, ColorToRGB(LightButtonFaceColor()));
  }
  const COLORREF changed = RGB(10, 10, 10);
  SetSysColors(1, &element, &changed);
  EXPECT_EQ(RGB(220, 120, 255), ColorToRGB(LightButtonFaceColor()));  // later changes are ignored
  SetSysColors(1, &element, &original);
  laf_editors_test::StopSteps(LookAndFeelEditorsSteps());
  for (const TInitStep& step : LookAndFeelEditorsSteps()) ASSERT_TRUE(step.Startup()) << step.Name;
}

TEST_F(TabStyle, Office11BlendsWithoutGradientsAndLeavesUncolouredTabsTransparent) {
  for (bool gradient : {false, true}) {
    SCOPED_TRACE(gradient);
    StyleOwner(8, 3, 300, 120, [&](TTabOwner& o) {
      const TcxPCOptions options = o.Properties().Options();  // the gradient is on by default
      o.Properties().SetOptions(TcxPCOptions(gradient ? options | PCOptions({pcoGradient})
                                                      : options & ~PCOptions({pcoGradient})));
      o.Properties().Tabs().Tabs(2)->SetColor(TColor(0x4080C0));
    });
    TcxPCOffice11Painter& painter = Painter<TcxPCOffice11Painter>();
    TColor c1, c2;
    painter.GetOffice11GradientColors(-1, false, c1, c2);
    const TColor band1 = Office11SchemeColor(1), band2 = Office11SchemeColor(2);
    if (gradient) {
      EXPECT_EQ(band1, c1);
      EXPECT_EQ(band2, c2);
      painter.GetOffice11GradientColors(-1, true, c1, c2);
      EXPECT_EQ(band2, c1);
    } else {
      EXPECT_EQ(BlendColorsByPercent(band1, band2, 50), c1);
      EXPECT_EQ(c1, c2);
    }
    EXPECT_FALSE(painter.IsTabTransparent(0));  // active
    EXPECT_TRUE(painter.IsTabTransparent(1));   // no colour of its own
    EXPECT_FALSE(painter.IsTabTransparent(2));
  }
}

TEST_F(TabStyle, AHotOffice11NavigatorButtonShowsItsPartOfTheRowGradient) {
  TTabOwner& owner = StyleOwner(8, 12, 300, 120, [](TTabOwner& o) {
    o.Properties().SetOptions(TcxPCOptions(o.Properties().Options() | PCOptions({pcoGradient})));
  });
  TcxPCOffice11Painter& painter = Painter<TcxPCOffice11Painter>();
  TcxPCNavigatorButtonViewInfo* button = owner.ViewInfo().FindNavigatorButton(nbBottomRight);
  ASSERT_NE(nullptr, button);
  const RECT b = button->Bounds();
  const RECT row = painter.GetTabRowRect(0);
  ASSERT_GT(row.bottom - row.top, b.bottom - b.top);
  // The same gradient over the whole row on a bitmap of the control's size.
  TcxBitmap32 reference(300, 120);
  FillGradientRect(reference.Canvas().Handle(), row, Office11SchemeColor(23), Office11SchemeColor(24), false);
  painter.FillNavigatorButton(owner.Surface().cxCanvas(), b, nbsHotTrack);
  for (int y : {b.top + 1, b.bottom - 2})
    EXPECT_EQ(ColorToRGB(reference.Canvas().Pixel(b.left + 3, y)), Pixel(b.left + 3, y)) << y;
}

}  // namespace
}  // namespace tabcontrol_test
