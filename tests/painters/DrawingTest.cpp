// The base painter's drawing, pixel by pixel on small surfaces filled with a
// sentinel colour: what an element paints, where, and what it leaves alone.
#include "PaintersTest.h"

#include <cmath>

using namespace tvk;
using painters_test::Box;
using painters_test::kSentinel;
using painters_test::LookAndFeel;
using painters_test::Rgb;
using painters_test::TBox;
using painters_test::TDib;

namespace {

// The base painter with its protected operations in reach and a few sizes set.
class TOpenPainter : public TcxCustomLookAndFeelPainter {
public:
  using TcxCustomLookAndFeelPainter::ButtonTextRect;
  using TcxCustomLookAndFeelPainter::FilterSmartTagGlyphColor;
  int HeaderBorder = 0;
  int HeaderBorderSize() override { return HeaderBorder; }
  TColor FilledTextColor = clDefault;
  TColor ProgressBarTextColorEx(bool AIsFilledArea) override {
    return AIsFilledArea ? FilledTextColor : TcxCustomLookAndFeelPainter::ProgressBarTextColorEx(false);
  }
};

using BasePainterDrawing = LookAndFeel;

TEST_F(BasePainterDrawing, ArrowPoints) {
  struct TRow {
    RECT R;
    TcxArrowDirection Direction;
    bool Proportional;
    TBox Points;  // P[0], P[2] ... compared as (P0.x, P0.y, P1.x, P1.y) then P2 below
    POINT P2;
  };
  const TRow rows[] = {
      {{0, 0, 9, 9}, adDown, false, {6, 3, 4, 5}, {2, 3}},
      {{0, 0, 20, 9}, adDown, true, {11, 3, 9, 5}, {7, 3}},  // squared to 9 x 9 about the centre
      {{0, 0, 9, 9}, adUp, false, {2, 5, 4, 3}, {6, 5}},
      {{0, 0, 9, 9}, adRight, false, {3, 2, 5, 4}, {3, 6}},
      {{0, 0, 9, 9}, adLeft, false, {5, 6, 3, 4}, {5, 2}},
  };
  TcxCustomLookAndFeelPainter painter;
  for (const auto& row : rows) {
    TcxArrowPoints p{};
    painter.CalculateArrowPoints(row.R, p, row.Direction, row.Proportional);
    EXPECT_EQ(row.Points, (TBox{p[0].x, p[0].y, p[1].x, p[1].y})) << row.Direction << " " << row.R.right;
    EXPECT_EQ(row.P2.x, p[2].x);
    EXPECT_EQ(row.P2.y, p[2].y);
  }
}

TEST_F(BasePainterDrawing, DownArrowIsFiveWideThreeHighAboutTheMiddleColumn) {
  TDib dib(9, 9);
  TcxCustomLookAndFeelPainter().DrawArrow(dib.Canvas(), RECT{0, 0, 9, 9}, adDown, clBlack);
  EXPECT_EQ((TBox{2, 3, 7, 6}), Box(dib.BoundsOf(clBlack)));
  EXPECT_EQ(Rgb(clBlack), dib.At(4, 5)) << "apex";
  EXPECT_EQ(kSentinel, dib.At(3, 5));
  EXPECT_EQ(kSentinel, dib.At(2, 4));
  EXPECT_EQ(9, dib.CountOf(clBlack));
}

TEST_F(BasePainterDrawing, ButtonTextRectangleHasAnEvenHeight) {
  TOpenPainter painter;
  EXPECT_EQ((TBox{0, -1, 40, 16}), Box(painter.ButtonTextRect(RECT{0, 0, 40, 17}, cxbsNormal, false)));
  EXPECT_EQ((TBox{0, 0, 40, 20}), Box(painter.ButtonTextRect(RECT{0, 0, 40, 21}, cxbsNormal, false)));
  EXPECT_EQ((TBox{0, -1, 40, 16}), Box(painter.ButtonTextRect(RECT{0, 0, 40, 16}, cxbsNormal, false)));
  TDib dib(40, 17);
  painter.DrawButton(dib.Canvas(), RECT{0, 0, 40, 17}, L"", cxbsNormal, false);
  EXPECT_EQ(40 * 17, dib.CountOf(clBtnFace));
}

TEST_F(BasePainterDrawing, CloseCrossIsSevenSquareAndMovesWhenPressed) {
  TcxCustomLookAndFeelPainter painter;
  TDib normal(16, 14), pressed(16, 14);
  painter.DrawButtonCross(normal.Canvas(), RECT{0, 0, 16, 14}, clBlack, cxbsNormal);
  painter.DrawButtonCross(pressed.Canvas(), RECT{0, 0, 16, 14}, clBlack, cxbsPressed);
  // Seven rows; two pixels thick, so eight columns.
  EXPECT_EQ((TBox{4, 3, 12, 10}), Box(normal.BoundsOf(clBlack)));
  EXPECT_EQ((TBox{5, 4, 13, 11}), Box(pressed.BoundsOf(clBlack)));
  EXPECT_EQ(Rgb(clBlack), normal.At(7, 6)) << "the diagonals cross in the middle";
}

TEST_F(BasePainterDrawing, SmallExpandButton) {
  struct TRow {
    TColor Color;
    bool Expanded;
    TColor Inside;  // at (2, 2)
    bool VerticalBar;
  };
  const TRow rows[] = {{clDefault, false, kSentinel, true}, {clRed, false, clRed, true}, {clRed, true, clRed, false}};
  for (const TRow& row : rows) {
    TDib dib(9, 9);
    TcxCustomLookAndFeelPainter().DrawSmallExpandButton(dib.Canvas(), RECT{0, 0, 9, 9}, row.Expanded, clBlack,
                                                        row.Color);
    EXPECT_EQ(Rgb(clBlack), dib.At(0, 0));
    EXPECT_EQ(Rgb(clBlack), dib.At(8, 8));
    EXPECT_EQ(row.Inside == kSentinel ? kSentinel : Rgb(row.Inside), dib.At(2, 2));
    EXPECT_EQ(Rgb(clBtnText), dib.At(2, 4)) << "the bar reaches two pixels from the centre";
    EXPECT_EQ(Rgb(clBtnText), dib.At(6, 4));
    EXPECT_EQ(row.VerticalBar, dib.At(4, 2) == Rgb(clBtnText));
  }
}

TEST_F(BasePainterDrawing, ContainerBorders) {
  struct TRow {
    TcxContainerBorderStyle Style;
    TcxBorders Borders;
    bool Framed;
  };
  const TRow rows[] = {{cbsSingle, 0, true},           {cbsThick, 0, true},   {cbsNone, cxBordersAll, false},
                       {cbsUltraFlat, cxBordersAll, false}, {cbsOffice11, cxBordersAll, false}};
  for (const TRow& row : rows) {
    TDib dib(10, 10);
    TcxCustomLookAndFeelPainter().DrawContainerBorder(dib.Canvas(), RECT{0, 0, 10, 10}, row.Style, 1, clRed,
                                                      row.Borders);
    if (row.Framed) {
      for (POINT p : {POINT{0, 5}, POINT{9, 5}, POINT{5, 0}, POINT{5, 9}}) EXPECT_EQ(Rgb(clRed), dib.At(p.x, p.y));
      EXPECT_EQ(kSentinel, dib.At(5, 5));
    } else
      EXPECT_TRUE(dib.Untouched()) << row.Style;
  }
  TDib dib(10, 10);
  TcxCustomLookAndFeelPainter().DrawContainerBorder(dib.Canvas(), RECT{0, 0, 10, 10}, cbs3D, 2, clRed, cxBordersAll);
  EXPECT_EQ(Rgb(cl3DDkShadow), dib.At(1, 5));
  EXPECT_EQ(Rgb(cl3DLight), dib.At(8, 5));
}

TEST_F(BasePainterDrawing, CheckMark) {
  TcxCustomLookAndFeelPainter painter;
  struct TRow {
    TcxButtonState State;
    TcxCheckBoxState Check;
    TColor Mark;
    TColor Background;
  };
  const TRow rows[] = {{cxbsNormal, cbsChecked, clBtnText, clWindow},
                       {cxbsNormal, cbsGrayed, clGrayText, clWindow},
                       {cxbsDisabled, cbsChecked, clGrayText, clBtnFace},
                       {cxbsPressed, cbsUnchecked, clNone, clBtnFace}};
  for (const TRow& row : rows) {
    TDib dib(17, 17);
    painter.DrawCheckButton(dib.Canvas(), RECT{0, 0, 17, 17}, row.State, row.Check);
    EXPECT_EQ(kSentinel, dib.At(1, 1)) << "the base painter draws no check border";
    EXPECT_EQ(Rgb(row.Background), dib.At(2, 2));
    if (row.Mark == clNone) {
      EXPECT_EQ(13 * 13, dib.CountOf(row.Background));
      continue;
    }
    const RECT mark = dib.BoundsOf(row.Mark);
    EXPECT_GE(mark.left, 2);
    EXPECT_LE(mark.right, 15);
    EXPECT_GE(dib.CountOf(row.Mark), 3 * 9) << "three pixels thick";
    // The long arm rises to the right: its top is right of the short arm's.
    EXPECT_GT(mark.bottom - mark.top, 4);
  }
  EXPECT_EQ(CheckBoxGlyphSize().cx, painter.CheckButtonSize().cx);
  EXPECT_GT(CheckBoxGlyphSize().cx, 0);
}

TEST_F(BasePainterDrawing, RadioImagesCoverEveryCombination) {
  TcxRadioButtonImageList* list = GetRadioButtonImageList();
  ASSERT_NE(nullptr, list);
  const SIZE size = list->GetSize();
  EXPECT_GT(size.cx, 0);
  EXPECT_EQ(128, list->ImageCount());
  const std::vector<int>& map = RadioButtonImageIndexMap();
  ASSERT_EQ(128u, map.size());
  std::vector<bool> seen(128);
  for (int position : map) {
    ASSERT_GE(position, 0);
    ASSERT_LT(position, 128);
    EXPECT_FALSE(seen[position]);
    seen[position] = true;
  }
  EXPECT_EQ(list->ImageIndex(cxbsNormal, false, lfFlat, false, false),
            list->ImageIndex(cxbsDefault, false, lfFlat, false, false));
  EXPECT_EQ(127, list->ImageIndex(cxbsDisabled, true, lfOffice11, true, true));
  EXPECT_EQ(size.cx, TcxCustomLookAndFeelPainter().RadioButtonSize().cx);
  // Corners lie outside the button; the ring's upper left is code 1, lower right 2.
  EXPECT_EQ(0, list->PatternCode(0, 0));
  EXPECT_EQ(0, list->PatternCode(size.cy - 1, size.cx - 1));
  EXPECT_EQ(1, list->PatternCode(size.cy / 2, 0));
  EXPECT_EQ(2, list->PatternCode(size.cy / 2, size.cx - 1));
  const auto colors = TcxRadioButtonImageList::RadioButtonImageColors(lfUltraFlat, cxbsHot, true, false, false);
  EXPECT_EQ(clHighlight, colors[1]);
  EXPECT_EQ(clWindowText, colors[6]);
  EXPECT_EQ(clBtnShadow,
            TcxRadioButtonImageList::RadioButtonImageColors(lfFlat, cxbsDisabled, true, false, false)[6]);
}

TEST_F(BasePainterDrawing, RadioButtonWithAndWithoutBrush) {
  TcxCustomLookAndFeelPainter painter;
  const SIZE size = painter.RadioButtonSize();
  TDib plain(size.cx + 2, size.cy + 2), brushed(size.cx + 2, size.cy + 2);
  painter.DrawRadioButton(plain.Canvas(), 1, 1, cxbsNormal, true, false, clDefault);
  painter.DrawRadioButton(brushed.Canvas(), 1, 1, cxbsNormal, true, false, clRed);
  EXPECT_EQ(kSentinel, plain.At(1, 1)) << "outside the circle stays";
  EXPECT_EQ(kSentinel, plain.At(0, 0));
  EXPECT_EQ(Rgb(clRed), brushed.At(1, 1)) << "the whole square takes the brush first";
  EXPECT_EQ(kSentinel, brushed.At(0, 0));
  EXPECT_EQ(Rgb(clBtnShadow), plain.At(1, 1 + size.cy / 2)) << "standard ring, upper-left half";
  EXPECT_NE(kSentinel, plain.At(1 + size.cx / 2, 1 + size.cy / 2));
  TDib unchecked(size.cx + 2, size.cy + 2);
  painter.DrawRadioButton(unchecked.Canvas(), 1, 1, cxbsNormal, false, false, clDefault);
  EXPECT_EQ(Rgb(clWindowText), plain.At(1 + size.cx / 2, 1 + size.cy / 2)) << "a checked button shows its dot";
  EXPECT_EQ(Rgb(clWindow), unchecked.At(1 + size.cx / 2, 1 + size.cy / 2));
  const RECT dot = GetRadioButtonImageList()->RadioButtonCheckRect();
  EXPECT_GT(dot.right - dot.left, 0);
  EXPECT_LT(dot.right - dot.left, size.cx);
}

TEST_F(BasePainterDrawing, IndicatorsAreCentred) {
  ASSERT_NE(nullptr, IndicatorImages());
  EXPECT_EQ(6, IndicatorImages()->Count());
  EXPECT_EQ(8, IndicatorImages()->Width());
  EXPECT_EQ(9, IndicatorImages()->Height());
  TcxCustomLookAndFeelPainter painter;
  for (TcxIndicatorKind kind : {ikArrow, ikEdit, ikInsert, ikMultiDot, ikMultiArrow, ikFilter}) {
    TDib dib(20, 21);
    painter.DrawIndicatorImage(dib.Canvas(), RECT{0, 0, 20, 21}, kind);
    const RECT ink = dib.BoundsOf(clBlack);
    EXPECT_GT(ink.right, ink.left) << kind;
    EXPECT_GE(ink.left, 6);
    EXPECT_GE(ink.top, 6);
    EXPECT_LE(ink.right, 14);
    EXPECT_LE(ink.bottom, 15);
    EXPECT_EQ(20 * 21, dib.CountOf(clBlack) + dib.CountOf(kSentinel)) << "white is transparent";
  }
  TDib none(20, 21);
  painter.DrawIndicatorImage(none.Canvas(), RECT{0, 0, 20, 21}, ikNone);
  EXPECT_TRUE(none.Untouched());
  TDib item(20, 21);
  painter.DrawIndicatorItem(item.Canvas(), RECT{0, 0, 20, 21}, ikArrow, clRed);
  EXPECT_EQ(Rgb(clRed), item.At(0, 0));
  EXPECT_GT(item.CountOf(clBlack), 0);
}

TEST_F(BasePainterDrawing, HeaderWidthCountsTheBorders) {
  TOpenPainter painter;
  painter.HeaderBorder = 3;
  TDib dib(4, 4);
  const int text = dib.Canvas().TextWidth(L"Header");
  struct TRow {
    TcxBorders Borders;
    int Expected;
  };
  const TRow rows[] = {{0, text + 4}, {bLeft, text + 7}, {bRight, text + 1}, {bLeft | bRight, text + 4}};
  for (const TRow& row : rows)
    EXPECT_EQ(row.Expected, painter.HeaderWidth(dib.Canvas(), row.Borders, L"Header", nullptr)) << row.Borders;
  EXPECT_EQ((TBox{0, 0, 10, 10}), Box(painter.HeaderBounds(RECT{0, 0, 10, 10}, 0, bLeft | bRight)))
      << "the base painter's header owns every border it draws";
  EXPECT_EQ((TBox{3, 0, 7, 10}), Box(painter.HeaderContentBounds(RECT{0, 0, 10, 10}, bLeft | bRight)));
}

TEST_F(BasePainterDrawing, HeaderBackgroundCallbackSkipsOnlyTheFill) {
  TcxCustomLookAndFeelPainter painter;
  TDib dib(60, 20);
  int calls = 0;
  TFont font;
  font.SetHeight(-14);
  painter.DrawHeader(dib.Canvas(), RECT{0, 0, 60, 20}, RECT{0, 0, 60, 20}, 0, cxBordersAll, cxbsNormal,
                     TAlignment::taLeftJustify, TcxAlignmentVert::vaCenter, false, false, L"WW", &font, clBlack, clRed,
                     [&](TcxCanvas&, const RECT&) { return ++calls, true; });
  EXPECT_EQ(1, calls);
  EXPECT_EQ(0, dib.CountOf(clRed));
  EXPECT_GT(dib.CountOf(clBlack), 0);
}

TEST_F(BasePainterDrawing, EditPopupBorderShrinksByItsWidth) {
  struct TRow {
    TcxEditPopupBorderStyle Style;
    int Shrink;
    bool Draws;
  };
  const TRow rows[] = {{epbsDefault, 1, false}, {epbsSingle, 1, true}, {epbsFlat, 2, true}, {epbsFrame3D, 4, true}};
  TcxCustomLookAndFeelPainter painter;
  for (const TRow& row : rows) {
    TDib dib(20, 20);
    RECT r{0, 0, 20, 20};
    painter.DrawEditPopupWindowBorder(dib.Canvas(), r, row.Style, false);
    EXPECT_EQ((TBox{row.Shrink, row.Shrink, 20 - row.Shrink, 20 - row.Shrink}), Box(r)) << row.Style;
    EXPECT_EQ(!row.Draws, dib.Untouched()) << row.Style;
  }
  EXPECT_EQ(4, painter.GetEditPopupWindowBorderWidth(epbsFrame3D));
}

TEST_F(BasePainterDrawing, PopupPanelAtTheBottomRight) {
  TcxCustomLookAndFeelPainter painter;
  RECT client{0, 0, 200, 100}, panel{}, grip{}, close{};
  painter.CalculatePopupPanelClientRect(client, panel, grip, close, coBottomRight, RECT{1, 1, 1, 1}, RECT{1, 1, 1, 1});
  const int h = painter.PopupPanelSize();
  const SIZE g = painter.SizeGripSize(), c = painter.SmallCloseButtonSize();
  EXPECT_EQ((TBox{1, 99 - h, 199, 99}), Box(panel));
  EXPECT_EQ((TBox{1, 1, 199, 99 - h}), Box(client));
  EXPECT_EQ((TBox{197 - g.cx, 97 - g.cy, 197, 97}), Box(grip));
  const int side = h - 2;  // the panel less its borders
  const int sx = 2, sy = 100 - h;
  EXPECT_EQ((TBox{(2 * sx + side - c.cx) / 2, (2 * sy + side - c.cy) / 2, (2 * sx + side - c.cx) / 2 + c.cx,
                  (2 * sy + side - c.cy) / 2 + c.cy}),
            Box(close));
  RECT top{0, 0, 200, 100};
  painter.CalculatePopupPanelClientRect(top, panel, grip, close, coTopLeft, RECT{}, RECT{}, 20, false, false);
  EXPECT_EQ((TBox{0, 0, 200, 20}), Box(panel));
  EXPECT_EQ((TBox{0, 20, 200, 100}), Box(top));
  EXPECT_EQ((TBox{0, 0, 0, 0}), Box(grip));
  EXPECT_EQ((TBox{0, 0, 0, 0}), Box(close));
}

TEST_F(BasePainterDrawing, SizeGripTurnsForTheTopLeftCorner) {
  TcxCustomLookAndFeelPainter painter;
  const int w = 17, h = 15;
  TDib standard(w, h), turned(w, h);
  painter.DrawSizeGrip(standard.Canvas(), RECT{0, 0, w, h}, clWhite, coBottomRight);
  painter.DrawSizeGrip(turned.Canvas(), RECT{0, 0, w, h}, clWhite, coTopLeft);
  EXPECT_FALSE(standard.CountOf(clWhite) == w * h) << "a grip was drawn";
  for (int y = 0; y < h; ++y)
    for (int x = 0; x < w; ++x) ASSERT_EQ(standard.At(w - 1 - x, h - 1 - y), turned.At(x, y)) << x << "," << y;
}

TEST_F(BasePainterDrawing, SmartTagColours) {
  TOpenPainter painter;
  struct TRow {
    TcxFilterSmartTagState State;
    bool Active;
    TColor Color;
  };
  const TRow rows[] = {{fstsNormal, true, 0xFF2600}, {fstsNormal, false, 0x909090}, {fstsParentHot, true, 0xFF2600},
                       {fstsParentHot, false, 0x909090}, {fstsHot, true, 0x848484}, {fstsPressed, false, 0x303030}};
  for (const TRow& row : rows) EXPECT_EQ(row.Color, painter.FilterSmartTagGlyphColor(row.State, row.Active));
  TDib dib(10, 10);
  painter.DrawFilterSmartTag(dib.Canvas(), RECT{0, 0, 10, 10}, fstsPressed, false);
  EXPECT_EQ(0x303030, dib.At(0, 0));
  EXPECT_EQ(0x303030, dib.At(9, 9));
  EXPECT_EQ(0x303030, dib.At(2, 2)) << "the funnel's top-left corner";
  EXPECT_EQ(kSentinel, dib.At(1, 5));
}

TEST_F(BasePainterDrawing, ClockAtThreeOClock) {
  TDib dib(130, 130);
  TcxCustomLookAndFeelPainter().DrawClock(dib.Canvas(), RECT{0, 0, 130, 130}, 3.0 / 24, clWhite);
  const TColor hand = 0x808000;
  EXPECT_EQ(hand, dib.At(65 + 30, 65)) << "hour hand to the right";
  EXPECT_EQ(hand, dib.At(67, 50)) << "minute hand up";
  EXPECT_EQ(Rgb(clRed), dib.At(65, 30)) << "second hand up, over it";
  EXPECT_EQ(Rgb(clWhite), dib.At(65 - 30, 65));
  EXPECT_EQ(Rgb(clWhite), dib.At(65, 65 + 30));
  EXPECT_EQ(hand, dib.At(128, 65)) << "the three o'clock dot";
  EXPECT_EQ(0xFFFF00, dib.At(127, 64));
  EXPECT_EQ(Rgb(clWhite), dib.At(int(std::lround(63 * std::cos(0.1047) + 65)), int(std::lround(63 * std::sin(0.1047) + 65))))
      << "no dot between the hours";
  dib.Fill(clBlue);
  EXPECT_EQ(Rgb(clBlue), dib.At(128, 65)) << "the clip region is restored";
}

TEST_F(BasePainterDrawing, ProgressTextHalfOverTheChunk) {
  TOpenPainter painter;
  painter.FilledTextColor = clRed;
  TDib dib(160, 30);
  dib.Fill(clWhite);
  TFont font;
  font.SetHeight(-24);
  font.SetStyle(fsBold);
  dib.Canvas().Font().Assign(font);
  const WideString text = L"MMMMMM";
  const int width = dib.Canvas().TextWidth(text);
  const RECT textRect{0, 0, width, 30};
  const RECT chunk{0, 0, width / 2, 30};
  painter.DrawProgressBarText(dib.Canvas(), false, false, text, textRect, RECT{0, 0, 160, 30}, chunk);
  int redLeft = 0, redRight = 0, textLeft = 0, textRight = 0;
  const TColor textColor = Rgb(clWindowText), red = Rgb(clRed);
  for (int y = 0; y < 30; ++y)
    for (int x = 0; x < width; ++x) {
      const TColor c = dib.At(x, y);
      (x < width / 2 ? redLeft : redRight) += c == red;
      (x < width / 2 ? textLeft : textRight) += c == textColor;
    }
  EXPECT_GT(redLeft, 0);
  EXPECT_EQ(0, redRight);
  EXPECT_GT(textRight, 0);
  EXPECT_EQ(0, textLeft);

  // Without a filled-area colour the text inverts what lies below.
  TOpenPainter inverting;
  TDib xored(160, 30);
  xored.Fill(clBlack);
  xored.Canvas().Font().Assign(font);
  inverting.DrawProgressBarText(xored.Canvas(), false, false, text, textRect, RECT{0, 0, 160, 30}, chunk);
  EXPECT_GT(xored.CountOf(clWhite), 0);
}

TEST_F(BasePainterDrawing, CollapsedNavigationButtonRectangles) {
  TcxCustomLookAndFeelPainter painter;
  RECT bounds{0, 0, 20, 100}, text{1, 1, 2, 2}, arrow{};
  painter.CalculateSchedulerNavigationButtonRects(false, true, SIZE{50, 10}, SIZE{60, 10}, bounds, text, arrow);
  EXPECT_EQ((TBox{0, 0, 0, 0}), Box(text));
  EXPECT_EQ((TBox{0, 33, 20, 66}), Box(bounds)) << "3 x 7 + 12 rows, centred";
  EXPECT_EQ((TBox{6, 46, 13, 53}), Box(arrow));

  RECT open{0, 0, 20, 100};
  painter.CalculateSchedulerNavigationButtonRects(false, false, SIZE{40, 10}, SIZE{30, 10}, open, text, arrow);
  EXPECT_EQ((TBox{0, 32, 18, 80}), Box(text));
  painter.CalculateSchedulerNavigationButtonRects(false, false, SIZE{58, 10}, SIZE{30, 10}, open = {0, 0, 20, 100},
                                                  text, arrow);
  EXPECT_EQ((TBox{0, 22, 18, 90}), Box(text)) << "a longer text grows the button by the excess";
  EXPECT_EQ((TBox{0, -10, 20, 110}), Box(open));
}

TEST_F(BasePainterDrawing, GalleryItemSelection) {
  TcxCustomLookAndFeelPainter painter;
  for (TdxGalleryItemViewState state : {gisNormal, gisActive, gisDisabled}) {
    TDib dib(12, 12);
    painter.DrawGalleryItemSelection(dib.Canvas(), RECT{1, 1, 11, 11}, state);
    EXPECT_TRUE(dib.Untouched()) << state;
  }
  TDib hot(12, 12);
  painter.DrawGalleryItemSelection(hot.Canvas(), RECT{1, 1, 11, 11}, gisHot);
  EXPECT_EQ(kSentinel, hot.At(0, 0));
  EXPECT_EQ(0xBD8753, hot.At(1, 1));
  const TColor tinted = hot.At(5, 5);
  EXPECT_NE(kSentinel, tinted);
  EXPECT_NE(0x582801, tinted) << "a tint, not a fill";
}

TEST_F(BasePainterDrawing, BevelShapes) {
  TcxCustomLookAndFeelPainter painter;
  TDib etched(10, 10);
  painter.DrawBevelShape(etched.Canvas(), RECT{0, 0, 10, 10}, dxbsFrame, dxbsRaised);
  EXPECT_EQ(Rgb(clBtnHighlight), etched.At(0, 0)) << "raised: the highlight line is outside";
  EXPECT_EQ(Rgb(clBtnShadow), etched.At(1, 1));
  EXPECT_EQ(Rgb(clBtnShadow), etched.At(9, 9));
  EXPECT_EQ(Rgb(clBtnHighlight), etched.At(8, 8));
  EXPECT_EQ(kSentinel, etched.At(5, 5));

  TDib line(10, 10);
  painter.DrawBevelShape(line.Canvas(), RECT{0, 0, 10, 10}, dxbsLineCenteredVert, dxbsLowered);
  EXPECT_EQ(Rgb(clBtnShadow), line.At(5, 4));
  EXPECT_EQ(Rgb(clBtnHighlight), line.At(5, 5));
  EXPECT_EQ(kSentinel, line.At(5, 3));
  TDib none(10, 10);
  painter.DrawBevelShape(none.Canvas(), RECT{0, 0, 10, 10}, dxbsNone, dxbsLowered);
  EXPECT_TRUE(none.Untouched());
}

TEST_F(BasePainterDrawing, BreadcrumbButtons) {
  TcxCustomLookAndFeelPainter painter;
  struct TRow {
    TdxBreadcrumbEditButtonState State;
    bool Draws;
  };
  const TRow rows[] = {{dxbcbsNormal, false}, {dxbcbsDisabled, false}, {dxbcbsHot, true}, {dxbcbsPressed, true}};
  for (const TRow& row : rows) {
    TDib dib(16, 16);
    painter.DrawBreadcrumbEditButton(dib.Canvas(), RECT{0, 0, 16, 16}, row.State, false, false);
    EXPECT_EQ(!row.Draws, dib.Untouched()) << row.State;
  }
}

TEST_F(BasePainterDrawing, SeparatorsAndLabelLines) {
  TcxCustomLookAndFeelPainter painter;
  TDib dib(10, 10);
  painter.DoDrawSeparator(dib.Canvas(), RECT{0, 4, 10, 6}, false);
  EXPECT_EQ(Rgb(clBtnShadow), dib.At(0, 4));
  EXPECT_EQ(Rgb(clBtnHighlight), dib.At(1, 5));
  EXPECT_EQ(kSentinel, dib.At(0, 5));
  TDib label(10, 10);
  painter.DrawLabelLine(label.Canvas(), RECT{0, 4, 10, 6}, clDefault, clDefault, false);
  EXPECT_EQ(Rgb(clBtnShadow), label.At(5, 4));
  EXPECT_EQ(Rgb(clBtnHighlight), label.At(5, 5));
}

TEST_F(BasePainterDrawing, ScrollBarPatterns) {
  ASSERT_NE(nullptr, ScrollBarPatternBitmap(0));
  TBitmap& light = *ScrollBarPatternBitmap(0);
  TBitmap& dark = *ScrollBarPatternBitmap(1);
  EXPECT_EQ(8, light.Width());
  EXPECT_EQ(Rgb(clBtnFace), light.Canvas().Pixel(0, 0));
  EXPECT_EQ(Rgb(clBtnHighlight), light.Canvas().Pixel(1, 0));
  EXPECT_EQ(Rgb(clBtnFace), light.Canvas().Pixel(3, 5));
  EXPECT_EQ(Rgb(clBlack), dark.Canvas().Pixel(2, 2));
  EXPECT_EQ(Rgb(cl3DDkShadow), dark.Canvas().Pixel(2, 3));
}

}  // namespace

// The expand button is the button-coloured glyph bitmap, turned, copied
// whole: no colour of it is taken for transparent.
TEST_F(BasePainterDrawing, ExpandButtonExIsTheTurnedGlyphBitmapCopiedWhole) {
  TcxCustomLookAndFeelPainter painter;
  for (TcxRotationAngle angle : {ra0, raPlus90}) {
    SCOPED_TRACE(int(angle));
    const RECT r{0, 0, 13, 9};
    TDib drawn(13, 9);
    painter.DrawExpandButtonEx(drawn.Canvas(), r, cxbsNormal, false, angle);
    const bool turned = angle == raPlus90;
    TcxBitmap32 glyph(turned ? 9 : 13, turned ? 13 : 9);
    glyph.cxCanvas().FillRect(glyph.ClientRect(), clBtnFace);
    painter.DrawGroupExpandGlyph(glyph.cxCanvas(), glyph.ClientRect(), false, cxbsNormal);
    TcxCanvas::RotateBitmap(glyph, angle);
    int glyphPixels = 0;
    for (int y = 0; y < 9; ++y)
      for (int x = 0; x < 13; ++x) {
        EXPECT_EQ(glyph.Canvas().Pixel(x, y), drawn.At(x, y)) << x << "," << y;
        glyphPixels += drawn.At(x, y) != Rgb(clBtnFace);
      }
    EXPECT_GT(glyphPixels, 0);
    EXPECT_EQ(0, drawn.CountOf(painters_test::kSentinel));
  }
}

// A navigator glyph is drawn by the library's glyph routine, so a disabled
// one has the library's disabled look.
TEST_F(BasePainterDrawing, NavigatorGlyphsTakeTheLibrarysDisabledLook) {
  TImageList images(nullptr);
  images.SetSize(6, 6);
  TBitmap red;
  red.SetSize(6, 6);
  red.Canvas().Brush().SetColor(clRed);
  red.Canvas().FillRect(RECT{0, 0, 6, 6});
  red.Canvas().Brush().SetColor(clWhite);
  red.Canvas().FillRect(RECT{0, 0, 1, 6});  // a transparent column
  images.AddMasked(red, clWhite);
  const RECT glyph{2, 2, 8, 8};
  for (bool enabled : {true, false}) {
    SCOPED_TRACE(enabled);
    TDib drawn(10, 10), library(10, 10);
    TcxCustomLookAndFeelPainter().DrawNavigatorButtonGlyph(drawn.Canvas(), &images, 0, glyph, enabled, false);
    DrawGlyphOrImage(library.Canvas().Handle(), glyph, glyph, nullptr, &images, 0, enabled ? idmNormal : idmDisabled);
    for (int y = 0; y < 10; ++y)
      for (int x = 0; x < 10; ++x) EXPECT_EQ(library.At(x, y), drawn.At(x, y)) << x << "," << y;
    EXPECT_EQ(enabled, drawn.At(5, 5) == Rgb(clRed));
    EXPECT_EQ(painters_test::kSentinel, drawn.At(2, 5)) << "the transparent column";
    EXPECT_EQ(painters_test::kSentinel, drawn.At(0, 0));
  }
  TDib nothing(10, 10);
  TcxCustomLookAndFeelPainter().DrawNavigatorButtonGlyph(nothing.Canvas(), &images, 1, glyph, true, false);
  EXPECT_TRUE(nothing.Untouched()) << "no such image";
}
