// The common base of the tab styles: glyphs and their places, button
// frames, navigator layout, metrics and minimums, the go-dialog corner.
#include "StyleTest.h"

namespace tabcontrol_test {
namespace {

using namespace tvk;

constexpr COLORREF kRed = RGB(255, 0, 0);

TEST_F(TabStyle, ArrowGlyphsAreFilledTrianglesFromTheirCorner) {
  struct TRow {
    TcxTabPosition Position;
    TcxPCNavigatorButton Kind;
    POINT Vertices[3];
    POINT Outside;
  };
  // Corner (10, 10); arrows of size 5 scale their unit triangle by 4, the go-dialog by 3.
  const TRow rows[] = {{tpTop, nbTopLeft, {{10, 14}, {14, 10}, {14, 18}}, {10, 10}},
                       {tpTop, nbBottomRight, {{10, 10}, {14, 14}, {10, 18}}, {14, 10}},
                       {tpLeft, nbTopLeft, {{10, 14}, {14, 10}, {18, 14}}, {10, 10}},
                       {tpLeft, nbBottomRight, {{10, 10}, {18, 10}, {14, 14}}, {10, 14}},
                       {tpTop, nbGoDialog, {{10, 10}, {16, 10}, {13, 13}}, {10, 13}}};
  for (const TRow& row : rows) {
    SCOPED_TRACE(&row - rows);
    StyleOwner(1, 3, 300, 120, [&](TTabOwner& o) { o.Properties().SetTabPosition(row.Position); });
    TSheet sheet;
    TcxPCNavigatorGlyphParams params{TColor(kRed), TColor(kRed), true, false};
    Painter<TcxPCStandardPainter>().DrawNavigatorGlyph(sheet.Canvas(), row.Kind, {10, 10}, params);
    for (POINT v : row.Vertices) EXPECT_EQ(kRed, sheet.Pixel(v.x, v.y)) << v.x << "," << v.y;
    EXPECT_EQ(RGB(255, 255, 255), sheet.Pixel(row.Outside.x, row.Outside.y));
  }
}

TEST_F(TabStyle, CloseCrossesDrawEverySegmentWithItsEndPixel) {
  struct TRow {
    bool Thin;
    TcxTabPosition Position;
    std::vector<POINT> Set, Clear;  // relative to the corner (10, 10)
  };
  const TRow rows[] = {
      {false, tpTop, {{0, 0}, {8, 8}, {1, 0}, {8, 7}, {0, 8}, {8, 0}, {1, 8}, {8, 1}, {4, 4}}, {{4, 0}, {0, 4}, {9, 9}}},
      {true, tpTop, {{1, 0}, {7, 6}, {0, 0}, {6, 6}, {0, 6}, {6, 0}, {1, 6}, {7, 0}}, {{8, 8}, {0, 7}, {4, 0}}},
      {true, tpLeft, {{0, 0}, {6, 6}, {0, 1}, {6, 7}, {0, 6}, {6, 0}, {0, 7}, {6, 1}}, {{7, 6}, {7, 0}, {4, 0}}}};
  for (const TRow& row : rows) {
    SCOPED_TRACE(&row - rows);
    StyleOwner(1, 3, 300, 120, [&](TTabOwner& o) { o.Properties().SetTabPosition(row.Position); });
    TSheet sheet;
    TcxPCNavigatorGlyphParams params{TColor(kRed), TColor(kRed), true, row.Thin};
    Painter<TcxPCStandardPainter>().DrawNavigatorGlyph(sheet.Canvas(), nbClose, {10, 10}, params);
    for (POINT p : row.Set) EXPECT_EQ(kRed, sheet.Pixel(10 + p.x, 10 + p.y)) << p.x << "," << p.y;
    for (POINT p : row.Clear) EXPECT_EQ(RGB(255, 255, 255), sheet.Pixel(10 + p.x, 10 + p.y)) << p.x << "," << p.y;
  }
}

TEST_F(TabStyle, DisabledGlyphsAreEmbossedInTheButtonColours) {
  StyleOwner(1, 3);
  TSheet sheet;
  TcxPCNavigatorGlyphParams params{TColor(kRed), TColor(kRed), false, false};
  Painter<TcxPCStandardPainter>().DrawNavigatorGlyph(sheet.Canvas(), nbClose, {10, 10}, params);
  EXPECT_EQ(Rgb(clBtnShadow), sheet.Pixel(10, 10));     // in place
  EXPECT_EQ(Rgb(clBtnHighlight), sheet.Pixel(19, 19));  // the copy one pixel right and down
  // The glyph is disabled with its button or with the whole control.
  TcxPCStandardPainter& painter = Painter<TcxPCStandardPainter>();
  painter.GetNavigatorGlyphParams(nbTopLeft, nbsDisabled, params);
  EXPECT_FALSE(params.Enabled);
  painter.GetNavigatorGlyphParams(nbTopLeft, nbsNormal, params);
  EXPECT_TRUE(params.Enabled);
  FOwner->Enabled = false;
  painter.GetNavigatorGlyphParams(nbTopLeft, nbsNormal, params);
  EXPECT_FALSE(params.Enabled);
}

TEST_F(TabStyle, PressedGlyphsMoveByTheirLayout) {
  StyleOwner(1, 3);
  TcxPCStandardPainter& painter = Painter<TcxPCStandardPainter>();
  POINT normal, pressed;
  // Fixed corners: a pressed arrow moves right and down.
  painter.GetFixedGlyphPosition(nbBottomRight, normal, nbsNormal);
  painter.GetFixedGlyphPosition(nbBottomRight, pressed, nbsPressed);
  EXPECT_EQ(8, normal.x);
  EXPECT_EQ(normal.x + 1, pressed.x);
  EXPECT_EQ(normal.y + 1, pressed.y);
  // Centred: the go-dialog glyph (7 x 4) sits one lower and, pressed, moves down only.
  const RECT button{0, 0, 20, 20};
  painter.GetCenteredGlyphPosition(button, nbGoDialog, normal, nbsNormal);
  painter.GetCenteredGlyphPosition(button, nbGoDialog, pressed, nbsPressed);
  EXPECT_EQ(6, normal.x);
  EXPECT_EQ(9, normal.y);
  EXPECT_EQ(6, pressed.x);
  EXPECT_EQ(10, pressed.y);
  painter.GetCenteredGlyphPosition(button, nbTopLeft, normal, nbsNormal);
  painter.GetCenteredGlyphPosition(button, nbTopLeft, pressed, nbsPressed);
  EXPECT_EQ(normal.x + 1, pressed.x);
  EXPECT_EQ(normal.y + 1, pressed.y);
}

TEST_F(TabStyle, ButtonFramesDrawTheirLinesOnEverySide) {
  struct TRow {
    bool Flat, Pressed;
    TColor OuterLT, OuterRB, InnerLT, InnerRB;  // clNone: no inner line
  };
  const TRow rows[] = {{true, false, cl3DLight, cl3DDkShadow, clNone, clNone},
                       {true, true, cl3DDkShadow, cl3DLight, clNone, clNone},
                       {false, false, cl3DLight, cl3DDkShadow, clBtnHighlight, clBtnShadow},
                       {false, true, clBtnShadow, clBtnHighlight, cl3DDkShadow, cl3DLight}};
  for (const TRow& row : rows) {
    SCOPED_TRACE(&row - rows);
    TSheet sheet;
    sheet.Canvas().FillRect({0, 0, 40, 40}, TColor(kRed));
    TcxPCStandardPainter::Draw3DFrame(sheet.Canvas(), {0, 0, 20, 20}, row.Flat, row.Pressed);
    EXPECT_EQ(Rgb(row.OuterLT), sheet.Pixel(0, 5));
    EXPECT_EQ(Rgb(row.OuterLT), sheet.Pixel(5, 0));
    EXPECT_EQ(Rgb(row.OuterRB), sheet.Pixel(19, 5));
    EXPECT_EQ(Rgb(row.OuterRB), sheet.Pixel(5, 19));
    EXPECT_EQ(row.InnerLT == clNone ? kRed : Rgb(row.InnerLT), sheet.Pixel(1, 5));
    EXPECT_EQ(row.InnerRB == clNone ? kRed : Rgb(row.InnerRB), sheet.Pixel(18, 5));
    EXPECT_EQ(kRed, sheet.Pixel(20, 5));
  }
}

TEST_F(TabStyle, NavigatorButtonsTakeEachStylesPlaceAndLengths) {
  struct TRow {
    TcxPCStyleID Style;
    TcxTabPosition Position;
    TBox First, Second;  // the two arrows
  };
  // A 300 x 120 control whose 12 tabs need scrolling; the navigator at the right or top end.
  const TRow rows[] = {{1, tpTop, {260, 0, 280, 20}, {280, 0, 300, 20}},
                       {1, tpBottom, {260, 100, 280, 120}, {280, 100, 300, 120}},
                       {1, tpLeft, {0, 0, 20, 20}, {0, 20, 20, 40}},
                       {7, tpTop, {264, 0, 282, 18}, {282, 0, 300, 18}},
                       {5, tpTop, {270, 6, 283, 19}, {286, 6, 299, 19}},
                       {6, tpRight, {282, 1, 297, 16}, {282, 17, 297, 32}},
                       {9, tpTop, {265, 1, 282, 18}, {283, 1, 300, 18}}};
  for (const TRow& row : rows) {
    SCOPED_TRACE(&row - rows);
    TTabOwner& owner = StyleOwner(row.Style, 12, 300, 120, [&](TTabOwner& o) {
      o.Properties().SetTabPosition(row.Position);
      o.Properties().SetNavigatorPosition(npRightTop);
    });
    TcxPCNavigatorButtonViewInfo* first = owner.ViewInfo().FindNavigatorButton(nbTopLeft);
    TcxPCNavigatorButtonViewInfo* second = owner.ViewInfo().FindNavigatorButton(nbBottomRight);
    ASSERT_NE(nullptr, first);
    ASSERT_NE(nullptr, second);
    EXPECT_EQ(row.First, Box(first->Bounds()));
    EXPECT_EQ(row.Second, Box(second->Bounds()));
  }
  // Without navigator buttons neither the end offset nor the gap counts.
  StyleOwner(9, 2);
  EXPECT_EQ(0, FOwner->ViewInfo().NavigatorButtonCount());
  EXPECT_EQ(0, Painter<TcxPCStandardPainter>().GetNavigatorAreaLength(0));
}

TEST_F(TabStyle, GoDialogMenuOpensAtTheCornerOfItsButton) {
  struct TRow {
    TcxTabPosition Position;
    TcxPCNavigatorPosition Navigator;
    bool Right, Bottom;
  };
  const TRow rows[] = {{tpTop, npLeftTop, false, false},    {tpTop, npRightBottom, true, false},
                       {tpBottom, npLeftTop, false, true},  {tpLeft, npLeftBottom, false, true},
                       {tpRight, npRightTop, true, false}, {tpRight, npLeftBottom, true, true}};
  for (const TRow& row : rows) {
    SCOPED_TRACE(&row - rows);
    TTabOwner& owner = StyleOwner(1, 12, 300, 160, [&](TTabOwner& o) {
      TcxCustomTabControlProperties& p = o.Properties();
      p.SetTabPosition(row.Position);
      p.SetNavigatorPosition(row.Navigator);
      p.SetOptions(TcxPCOptions(p.Options() | PCOptions({pcoGoDialog})));
    });
    TcxPCNavigatorButtonViewInfo* button = owner.ViewInfo().FindNavigatorButton(nbGoDialog);
    ASSERT_NE(nullptr, button);
    const RECT b = button->Bounds();
    POINT p{};
    Painter<TcxPCStandardPainter>().GetGoDialogPopupPosition({50, 30}, p);
    EXPECT_EQ(row.Right ? b.right - 50 : b.left, p.x);
    EXPECT_EQ(row.Bottom ? b.top - 30 : b.bottom, p.y);
  }
}

TEST_F(TabStyle, MinimumsRaiseSmallWidthsHeightsAndFrames) {
  // Widths: the standard base raises to 42, ExtraFlat adds 12, Slanted leaves them.
  struct TRow {
    TcxPCStyleID Style;
    int Raised10, HeightFor33;
  };
  const TRow rows[] = {{1, 42, 33}, {5, 22, 29}, {9, 10, 33}};
  for (const TRow& row : rows) {
    SCOPED_TRACE(row.Style);
    StyleOwner(row.Style, 2, 300, 120, [](TTabOwner& o) { o.Properties().SetTabHeight(33); });
    int width = 10;
    Painter<TcxPCStandardPainter>().ApplyMinTabWidth(width);
    EXPECT_EQ(row.Raised10, width);
    // A tab height of the properties counts whole; ExtraFlat takes 4 off it.
    EXPECT_EQ(row.HeightFor33, Painter<TcxPCStandardPainter>().CalculateTabNormalHeight());
  }
  // A defined width is kept by the measure (the minimum applies afterwards).
  TTabOwner& owner = StyleOwner(1, 2, 300, 120, [](TTabOwner& o) { o.Properties().SetTabWidth(20); });
  EXPECT_EQ(20, Painter<TcxPCStandardPainter>().MeasureTabNormalWidth(owner.ViewInfo().TabViewInfo(1)));
  // A tiny frame grows to twice the frame width.
  StyleOwner(1, 0, 3, 3);
  RECT frame;
  Painter<TcxPCStandardPainter>().GetFrameRect(frame);
  EXPECT_EQ((TBox{0, 0, 4, 4}), Box(frame));
}

}  // namespace
}  // namespace tabcontrol_test
