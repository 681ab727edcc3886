// The standard, flat, ultra-flat and Office 2003 styles: their sizes and
// colours, and their drawing pixel by pixel on sentinel-filled surfaces.
#include "PaintersTest.h"
#include "dxOffice11.h"

using namespace tvk;
using painters_test::Box;
using painters_test::kSentinel;
using painters_test::LookAndFeel;
using painters_test::Rgb;
using painters_test::TBox;
using painters_test::TDib;

namespace {

using PainterStyles = LookAndFeel;

TcxCustomLookAndFeelPainter* Registered(TcxLookAndFeelStyle AStyle) {
  return cxLookAndFeelPaintersManager()->GetPainter(AStyle);
}

// Every pixel of two surfaces of the same size is the same.
bool SamePixels(TDib& A, TDib& B) {
  for (int y = 0; y < A.Height(); ++y)
    for (int x = 0; x < A.Width(); ++x)
      if (A.At(x, y) != B.At(x, y)) return false;
  return true;
}

TEST_F(PainterStyles, Metrics) {
  struct TRow {
    TcxLookAndFeelStyle Style;
    int Border, Separator, DefaultButtonBorder, ButtonBorder, TextOffset, TextShift, Expand;
    bool HotTrack;
    int FooterCellOffset;
    POINT Sorting, SummarySorting;
  };
  const TRow rows[] = {
      {lfsStandard, 2, 2, 3, 2, 1, 1, 12, false, 1, {8, 7}, {8, 8}},
      {lfsFlat, 1, 2, 2, 1, 1, 1, 11, false, 1, {8, 7}, {8, 8}},
      {lfsUltraFlat, 1, 1, 2, 1, 2, 0, 11, true, 2, {7, 8}, {7, 9}},
      {lfsOffice11, 1, 2, 2, 1, 2, 0, 11, true, 2, {7, 8}, {7, 9}},
  };
  for (const TRow& row : rows) {
    TcxCustomLookAndFeelPainter* p = Registered(row.Style);
    ASSERT_NE(nullptr, p);
    const std::wstring name = p->LookAndFeelName();
    SCOPED_TRACE(std::string(name.begin(), name.end()));
    EXPECT_EQ(row.Border, p->BorderSize());
    EXPECT_EQ(row.Separator, p->SeparatorSize());
    EXPECT_EQ(row.DefaultButtonBorder, p->ButtonBorderSize(cxbsDefault));
    EXPECT_EQ(row.ButtonBorder, p->ButtonBorderSize(cxbsPressed));
    EXPECT_EQ(row.TextOffset, p->ButtonTextOffset());
    EXPECT_EQ(row.TextShift, p->ButtonTextShift());
    EXPECT_EQ(row.Expand, p->ExpandButtonSize());
    EXPECT_EQ(row.HotTrack, p->IsButtonHotTrack());
    EXPECT_EQ(1, p->HeaderBorderSize());
    EXPECT_EQ(1, p->TabBorderSize(false));
    EXPECT_EQ(row.FooterCellOffset, p->FooterCellOffset());
    EXPECT_EQ(row.Sorting.x, p->SortingMarkSize().x);
    EXPECT_EQ(row.Sorting.y, p->SortingMarkSize().y);
    EXPECT_EQ(row.SummarySorting.y, p->SummarySortingMarkSize().y);
  }
  EXPECT_EQ(1, Registered(lfsStandard)->HeaderControlSectionBorderSize(cxbsPressed));
  EXPECT_EQ(2, Registered(lfsStandard)->HeaderControlSectionBorderSize(cxbsHot));
  EXPECT_EQ(TColor(clWindow), Registered(lfsStandard)->DefaultSchedulerViewContentColor());
  EXPECT_EQ(TColor(0xD5FFFF), Registered(lfsFlat)->DefaultSchedulerViewContentColor());
  EXPECT_EQ(TColor(cl3DDkShadow), Registered(lfsFlat)->GetSplitterOuterColor(true));
}

TEST_F(PainterStyles, UltraFlatColoursAndAnswers) {
  TcxUltraFlatLookAndFeelPainter p;
  EXPECT_EQ(GetLightHotColor(), p.ButtonColor(cxbsHot));
  EXPECT_EQ(GetLightPressedColor(), p.ButtonColor(cxbsPressed));
  EXPECT_EQ(TColor(clBtnFace), p.ButtonColor(cxbsNormal));
  EXPECT_EQ(TColor(clHighlightText), p.ButtonSymbolColor(cxbsPressed));
  EXPECT_EQ(TColor(clBtnShadow), p.ButtonSymbolColor(cxbsDisabled)) << "the base rule";
  for (TcxButtonState s : {cxbsDefault, cxbsNormal, cxbsHot, cxbsPressed, cxbsDisabled})
    EXPECT_EQ(cxbsNormal, p.ButtonSymbolState(s)) << "a pressed symbol never moves";
  EXPECT_EQ(TColor(clWindow), p.RadioButtonBodyColor(cxbsNormal));
  EXPECT_EQ(TColor(clBtnFace), p.RadioButtonBodyColor(cxbsDisabled));
  EXPECT_EQ(TColor(clBtnShadow), p.FilterDropDownButtonBorderColor(cxbsNormal));
  EXPECT_EQ(TColor(clHighlight), p.FilterDropDownButtonBorderColor(cxbsHot));
  EXPECT_EQ(TColor(clBtnShadow), p.MutedFrameColor());
  EXPECT_EQ(TColor(clBtnText), p.StrongFrameColor());
  EXPECT_EQ(TColor(clHighlight), p.BorderHighlightColor());
  EXPECT_EQ(TColor(kSystemColor | COLOR_MENUTEXT), p.DropDownListBoxItemTextColor(true));
  EXPECT_EQ(15, p.FilterCloseButtonSize().y);
  EXPECT_EQ(1, p.GetSplitterSize(true).cy);
  TDib dib(4, 4);
  EXPECT_EQ((TBox{3, 3, 7, 7}), Box(p.ButtonFocusRect(dib.Canvas(), RECT{0, 0, 10, 10})));
  EXPECT_EQ((TBox{0, 0, 6, 6}), Box(p.ButtonFocusRect(dib.Canvas(), RECT{0, 0, 6, 6}))) << "too small: R itself";
  // Header borders: a left or top neighbour takes that side.
  const struct {
    TcxNeighbors Neighbors;
    TcxBorders Borders;
  } headers[] = {{0, cxBordersAll}, {nLeft | nTop, bRight | bBottom}, {nRight | nBottom, cxBordersAll}};
  for (const auto& row : headers) EXPECT_EQ(row.Borders, p.HeaderBorders(row.Neighbors)) << row.Neighbors;
}

// Pixels of one element drawn on a 10 x 10 surface.
struct TPixelRow {
  const char* Name;
  TcxLookAndFeelStyle Style;
  std::function<void(TcxCustomLookAndFeelPainter&, TcxCanvas&)> Draw;
  std::vector<std::tuple<int, int, TColor>> Pixels;  // kSentinel: untouched
};

TEST_F(PainterStyles, BordersAndButtonBordersPerState) {
  const RECT r{0, 0, 10, 10};
  const auto border = [r](TcxCustomLookAndFeelPainter& p, TcxCanvas& c) { p.DrawBorder(c, r); };
  const auto button = [r](TcxButtonState s) {
    return [r, s](TcxCustomLookAndFeelPainter& p, TcxCanvas& c) { p.DrawButtonBorder(c, r, s); };
  };
  const TPixelRow rows[] = {
      {"standard border", lfsStandard, border,
       {{0, 0, clBtnShadow}, {9, 9, clBtnHighlight}, {1, 1, cl3DDkShadow}, {8, 8, cl3DLight}, {2, 2, kSentinel}}},
      {"flat border", lfsFlat, border, {{0, 0, clBtnShadow}, {9, 9, clBtnHighlight}, {1, 1, kSentinel}}},
      {"ultra-flat border", lfsUltraFlat, border, {{0, 0, clBtnShadow}, {9, 9, clBtnShadow}, {1, 1, kSentinel}}},
      {"standard pressed", lfsStandard, button(cxbsPressed),
       {{0, 0, clBlack}, {9, 9, clBlack}, {1, 1, clBtnShadow}, {8, 8, clBtnShadow}, {2, 2, kSentinel}}},
      {"standard default", lfsStandard, button(cxbsDefault),
       {{0, 0, clBlack}, {1, 1, clBtnHighlight}, {8, 8, cl3DDkShadow}, {2, 2, cl3DLight}, {7, 7, clBtnShadow},
        {3, 3, kSentinel}}},
      {"standard normal", lfsStandard, button(cxbsNormal),
       {{0, 0, clBtnHighlight}, {9, 9, cl3DDkShadow}, {1, 1, cl3DLight}, {8, 8, clBtnShadow}, {2, 2, kSentinel}}},
      {"flat pressed", lfsFlat, button(cxbsPressed), {{0, 0, clBtnShadow}, {9, 9, clBtnHighlight}, {1, 1, kSentinel}}},
      {"flat default", lfsFlat, button(cxbsDefault),
       {{0, 0, clBlack}, {1, 1, clBtnHighlight}, {8, 8, clBtnShadow}, {2, 2, kSentinel}}},
      {"flat hot", lfsFlat, button(cxbsHot), {{0, 0, clBtnHighlight}, {9, 9, clBtnShadow}, {1, 1, kSentinel}}},
      {"ultra-flat default", lfsUltraFlat, button(cxbsDefault),
       {{0, 0, clWindowFrame}, {1, 1, clWindowFrame}, {2, 2, kSentinel}}},
      {"ultra-flat normal", lfsUltraFlat, button(cxbsNormal), {{0, 0, clBtnText}, {9, 9, clBtnText}, {1, 1, kSentinel}}},
      {"ultra-flat disabled", lfsUltraFlat, button(cxbsDisabled), {{0, 0, clBtnShadow}, {1, 1, kSentinel}}},
      {"ultra-flat hot", lfsUltraFlat, button(cxbsHot), {{0, 0, clHighlight}, {1, 1, kSentinel}}},
      {"ultra-flat check border", lfsUltraFlat,
       [r](TcxCustomLookAndFeelPainter& p, TcxCanvas& c) { p.DrawCheckBorder(c, r, cxbsNormal); },
       {{0, 0, clBtnText}, {1, 1, clWindow}, {2, 2, kSentinel}}},
  };
  for (const TPixelRow& row : rows) {
    TDib dib(10, 10);
    row.Draw(*Registered(row.Style), dib.Canvas());
    for (const auto& [x, y, color] : row.Pixels)
      EXPECT_EQ(color == kSentinel ? kSentinel : Rgb(color), dib.At(x, y)) << row.Name << " at " << x << "," << y;
  }
}

TEST_F(PainterStyles, ClassicHeaderBordersJoinTheirNeighbours) {
  for (TcxLookAndFeelStyle style : {lfsStandard, lfsFlat}) {
    TDib alone(10, 8), joined(10, 8);
    Registered(style)->DrawHeaderBorder(alone.Canvas(), RECT{0, 0, 10, 8}, 0, cxBordersAll);
    Registered(style)->DrawHeaderBorder(joined.Canvas(), RECT{0, 0, 10, 8}, nLeft | nRight, cxBordersAll);
    EXPECT_EQ(Rgb(clBtnHighlight), alone.At(0, 1));
    EXPECT_EQ(Rgb(clBtnShadow), alone.At(9, 1));
    EXPECT_EQ(Rgb(clBtnFace), joined.At(0, 1));
    EXPECT_EQ(Rgb(clBtnFace), joined.At(0, 6));
    EXPECT_EQ(Rgb(clBtnHighlight), joined.At(9, 0));
    EXPECT_EQ(Rgb(clBtnFace), joined.At(9, 1));
    EXPECT_EQ(Rgb(clBtnFace), joined.At(9, 6));
    EXPECT_EQ(Rgb(clBtnShadow), joined.At(9, 3)) << "the rest of the edge stays";
    EXPECT_EQ(kSentinel, joined.At(4, 4));
  }
}

TEST_F(PainterStyles, StandardScrollArrowIsTheSystemGlyphAndIgnoresHot) {
  TcxCustomLookAndFeelPainter& p = *Registered(lfsStandard);
  const RECT r{0, 0, 16, 16};
  TDib normal(16, 16), hot(16, 16), system(16, 16);
  p.DrawScrollBarPart(normal.Canvas(), false, r, sbpLineUp, cxbsNormal);
  p.DrawScrollBarPart(hot.Canvas(), false, r, sbpLineUp, cxbsHot);
  EXPECT_TRUE(SamePixels(normal, hot));
  RECT sr = r;
  DrawFrameControl(system.Canvas().Handle(), &sr, DFC_SCROLL, DFCS_SCROLLUP);
  for (int y = 2; y < 14; ++y)
    for (int x = 2; x < 14; ++x) ASSERT_EQ(system.At(x, y), normal.At(x, y)) << x << "," << y;
  EXPECT_EQ(Rgb(clBtnFace), normal.At(0, 0)) << "the scroll-button frame";
  EXPECT_EQ(Rgb(cl3DDkShadow), normal.At(15, 15));
  // Nothing for an empty rectangle or a disabled thumb.
  TDib empty(16, 16);
  p.DrawScrollBarPart(empty.Canvas(), false, RECT{4, 4, 4, 10}, sbpLineUp, cxbsNormal);
  p.DrawScrollBarPart(empty.Canvas(), false, r, sbpThumbnail, cxbsDisabled);
  EXPECT_TRUE(empty.Untouched());
}

TEST_F(PainterStyles, StandardGroupExpandButtonIsTheFlatOne) {
  TDib standard(15, 15), flat(15, 15);
  Registered(lfsStandard)->DrawGroupExpandButton(standard.Canvas(), RECT{0, 0, 15, 15}, true, cxbsHot);
  Registered(lfsFlat)->DrawGroupExpandButton(flat.Canvas(), RECT{0, 0, 15, 15}, true, cxbsHot);
  EXPECT_TRUE(SamePixels(standard, flat));
  EXPECT_EQ(Rgb(clBtnHighlight), flat.At(0, 0)) << "a one-pixel flat bevel";
  cxLookAndFeelPaintersManager()->Unregister(L"Flat");
  TDib alone(15, 15);
  Registered(lfsStandard)->DrawGroupExpandButton(alone.Canvas(), RECT{0, 0, 15, 15}, true, cxbsHot);
  EXPECT_EQ(Rgb(clBtnHighlight), alone.At(0, 0)) << "without the flat painter: its own two-pixel bevel";
  EXPECT_EQ(Rgb(cl3DDkShadow), alone.At(14, 14));
  EXPECT_EQ(Rgb(cl3DLight), alone.At(1, 1));
  EXPECT_EQ(Rgb(clBtnShadow), alone.At(13, 13));
}

TEST_F(PainterStyles, UltraFlatHotArrowButton) {
  TDib dib(15, 15);
  Registered(lfsUltraFlat)->DrawScrollBarPart(dib.Canvas(), false, RECT{0, 0, 15, 15}, sbpLineDown, cxbsHot);
  EXPECT_EQ(Rgb(clHighlight), dib.At(0, 0));
  EXPECT_EQ(Rgb(clHighlight), dib.At(14, 14));
  EXPECT_EQ(Rgb(GetLightHotColor()), dib.At(1, 1));
  EXPECT_EQ(Rgb(clBtnText), dib.At(7, 8)) << "the arrow in the symbol colour";
}

TEST_F(PainterStyles, UltraFlatHeaderLines) {
  TDib dib(10, 8);
  Registered(lfsUltraFlat)->DrawHeaderBorder(dib.Canvas(), RECT{0, 0, 10, 8}, nLeft | nTop, bRight | bBottom);
  EXPECT_EQ(kSentinel, dib.At(0, 3));
  EXPECT_EQ(kSentinel, dib.At(4, 0));
  EXPECT_EQ(Rgb(clBtnText), dib.At(9, 3));
  EXPECT_EQ(Rgb(clBtnText), dib.At(4, 7));
}

TEST_F(PainterStyles, UltraFlatBreadcrumbButtons) {
  auto& p = static_cast<TcxUltraFlatLookAndFeelPainter&>(*Registered(lfsUltraFlat));
  struct TRow {
    TdxBreadcrumbEditButtonState State;
    bool First, Last;
    TColor Left, Middle, Right;
  };
  const TColor hot = GetLightHotColor();
  const TRow rows[] = {
      {dxbcbsHot, true, true, hot, hot, hot},
      {dxbcbsHot, false, false, clHighlight, hot, clHighlight},
      {dxbcbsFocused, true, false, clBtnFace, clBtnFace, clBtnShadow},
      {dxbcbsNormal, false, false, kSentinel, kSentinel, kSentinel},
      {dxbcbsDisabled, false, false, kSentinel, kSentinel, kSentinel},
  };
  for (const TRow& row : rows) {
    TDib dib(10, 6);
    p.DrawBreadcrumbEditButton(dib.Canvas(), RECT{0, 0, 10, 6}, row.State, row.First, row.Last);
    const auto expect = [](TColor c) { return c == kSentinel ? kSentinel : Rgb(c); };
    EXPECT_EQ(expect(row.Left), dib.At(0, 3)) << row.State << row.First << row.Last;
    EXPECT_EQ(expect(row.Middle), dib.At(5, 3));
    EXPECT_EQ(expect(row.Right), dib.At(9, 3));
  }
}

TEST_F(PainterStyles, ClassicTabBorders) {
  struct TRow {
    TcxBorder Border;
    TcxBorders Borders;
    bool Vertical;
    TBox Shadow, Highlight;  // the box of each colour
  };
  const TRow rows[] = {
      {bRight, bTop | bBottom, false, {4, 2, 5, 9}, {0, 0, 0, 0}},
      {bLeft, bTop, false, {0, 0, 0, 0}, {4, 2, 5, 10}},
      {bTop, cxBordersAll, false, {0, 0, 0, 0}, {4, 1, 6, 3}},  // strip cut to 5 .. 5 plus the two corners
      {bBottom, bLeft, true, {5, 4, 10, 5}, {0, 0, 0, 0}},
  };
  for (const TRow& row : rows) {
    TDib dib(10, 10);
    const RECT strip = row.Border == bTop ? RECT{4, 1, 7, 2} : row.Vertical ? RECT{4, 4, 10, 5} : RECT{4, 0, 5, 10};
    Registered(lfsFlat)->DrawTabBorder(dib.Canvas(), strip, row.Border, row.Borders, row.Vertical);
    EXPECT_EQ(row.Shadow, Box(dib.BoundsOf(clBtnShadow))) << row.Border;
    if (row.Border != bTop)
      EXPECT_EQ(row.Highlight, Box(dib.BoundsOf(clBtnHighlight))) << row.Border;
    else {
      EXPECT_EQ(Rgb(clBtnHighlight), dib.At(5, 1));
      EXPECT_EQ(Rgb(clBtnHighlight), dib.At(4, 2)) << "the corner outside the cut strip";
      EXPECT_EQ(Rgb(clBtnHighlight), dib.At(6, 2));
      EXPECT_EQ(kSentinel, dib.At(4, 1));
    }
  }
}

// ---- Office 2003

TEST_F(PainterStyles, Office11ColoursWithoutScheme) {
  auto& p = static_cast<TcxOffice11LookAndFeelPainter&>(*Registered(lfsOffice11));
  if (IsOffice11Themed()) GTEST_SKIP() << "a visual-style scheme is in use";
  using P = TcxOffice11LookAndFeelPainter;
  EXPECT_EQ(BlendColorsByPercent(clBtnFace, clWindow, 22), P::RoleColor(P::rBand1));
  EXPECT_EQ(BlendColorsByPercent(clBtnFace, clWindow, 96), P::RoleColor(P::rBand2));
  EXPECT_EQ(BlendColorsByPercent(clBtnShadow, clWindow, 70), p.HeaderShadowLineColor());
  EXPECT_EQ(BlendColorsByPercent(P::RoleColor(P::rBand1), P::RoleColor(P::rBand2), 50), p.HeaderGradientStartColor());
  EXPECT_EQ(p.HeaderGradientStartColor(), p.DefaultHeaderColor());
  EXPECT_EQ(TColor(clBtnShadow), p.DefaultFilterBoxColor());
  EXPECT_EQ(TColor(clBtnHighlight), p.DefaultFilterBoxTextColor());
  EXPECT_EQ(TColor(clHighlightText), p.ButtonSymbolColor(cxbsPressed)) << "classic scheme: highlight text";
  EXPECT_EQ(Rgb(clBtnText), Rgb(p.ButtonSymbolColor(cxbsHot, clRed))) << "the default colour is not used";
  EXPECT_EQ(Rgb(clGrayText), Rgb(p.ButtonSymbolColor(cxbsDisabled)));
  EXPECT_EQ(Rgb(GetLightPressedColor()), Rgb(p.ButtonColor(cxbsPressed)));
  EXPECT_EQ(TColor(clBtnFace), p.ButtonColor(cxbsDisabled));
  EXPECT_EQ(TColor(clWindow), p.RadioButtonBodyColor(cxbsNormal));
  EXPECT_EQ(p.ButtonColor(cxbsHot), p.CheckButtonColor(cxbsHot));
  EXPECT_EQ(cxBordersAll, p.HeaderBorders(nLeft | nTop | nRight)) << "unlike the ultra-flat style";
  EXPECT_EQ(p.HeaderShadowLineColor(), p.MutedFrameColor());
  EXPECT_EQ(TColor(clBtnText), p.StrongFrameColor());
  EXPECT_EQ(Rgb(clHighlight), Rgb(p.BorderHighlightColor()));
  EXPECT_FALSE(p.DrawExpandButtonFirst());
  EXPECT_EQ(0, p.GridBordersOverlapSize());
}

// The selection's frame takes the highlight text colour on a black button
// face, white button text or not.
TEST_F(PainterStyles, Office11SelectionFrameOnABlackButtonFace) {
  auto& p = static_cast<TcxOffice11LookAndFeelPainter&>(*Registered(lfsOffice11));
  using P = TcxOffice11LookAndFeelPainter;
  const INT elements[] = {COLOR_BTNFACE, COLOR_BTNTEXT};
  const COLORREF old[] = {GetSysColor(COLOR_BTNFACE), GetSysColor(COLOR_BTNTEXT)};
  const struct {
    COLORREF Face, Text;
    bool BlackFace;
  } cases[] = {{old[0], old[1], false}, {0, RGB(255, 255, 255), true}, {0, RGB(0, 0, 128), true}};
  for (const auto& c : cases) {
    const COLORREF now[] = {c.Face, c.Text};
    SetSysColors(2, elements, now);
    TDib dib(6, 5);
    p.DrawDropDownListBoxSelection(dib.Canvas(), RECT{0, 0, 6, 5}, RECT{0, 0, 6, 5});
    const TColor want = Rgb(c.BlackFace ? TColor(clHighlightText) : P::RoleColor(P::rHighlightFrame));
    const TColor corner = dib.At(0, 0), edge = dib.At(5, 2);
    SetSysColors(2, elements, old);
    EXPECT_EQ(want, corner) << std::hex << c.Face << " " << c.Text;
    EXPECT_EQ(want, edge);
  }
}

TEST_F(PainterStyles, Office11HotAndNormalHeaders) {
  auto& p = static_cast<TcxOffice11LookAndFeelPainter&>(*Registered(lfsOffice11));
  using P = TcxOffice11LookAndFeelPainter;
  const RECT bounds{0, 0, 20, 14};
  TDib normal(20, 14), hot(20, 14);
  p.DrawHeader(normal.Canvas(), bounds, bounds, 0, cxBordersAll, cxbsNormal, TAlignment::taLeftJustify,
               TcxAlignmentVert::vaCenter, false, false, L"", nullptr, clDefault, clRed);
  p.DrawHeader(hot.Canvas(), bounds, bounds, 0, cxBordersAll, cxbsHot, TAlignment::taLeftJustify,
               TcxAlignmentVert::vaCenter, false, false, L"", nullptr, clDefault, clRed);
  // The content lies inside the one-pixel border: rows 1 .. 12.
  EXPECT_EQ(Rgb(p.HeaderGradientStartColor()), normal.At(8, 4)) << "the face, not the background colour";
  EXPECT_EQ(Rgb(p.HeaderGradientStartColor()), normal.At(8, 8)) << "above the last 4 rows";
  EXPECT_EQ(Rgb(P::RoleColor(P::rBand1)), hot.At(8, 4)) << "a flat band-1 face";
  if (Rgb(P::RoleColor(P::rSelected1)) == Rgb(P::RoleColor(P::rSelected2))) {
    for (int y : {11, 12, 13}) EXPECT_EQ(Rgb(P::RoleColor(P::rSelected1)), hot.At(8, y)) << y;
    EXPECT_EQ(Rgb(P::RoleColor(P::rSelected1)), hot.At(0, 12)) << "the bar starts one pixel to the left";
  }
  EXPECT_NE(hot.At(8, 12), normal.At(8, 12));
  EXPECT_EQ(Rgb(p.HeaderGradientStartColor()), normal.At(8, 0)) << "the top border line";
  EXPECT_EQ(Rgb(p.HeaderShadowLineColor()), normal.At(8, 13)) << "the bottom border line";
  EXPECT_EQ(Rgb(p.HeaderShadowLineColor()), normal.At(19, 6)) << "the right border column";
  EXPECT_EQ(Rgb(p.HeaderHighlightLineColor()), normal.At(0, 6)) << "the left border column";
}

TEST_F(PainterStyles, Office11ScrollPartsWithoutTheNativePainter) {
  cxLookAndFeelPaintersManager()->Unregister(L"Native");
  TcxUltraFlatLookAndFeelPainter ultraFlat;
  for (TcxScrollBarPart part : {sbpLineUp, sbpLineDown, sbpThumbnail, sbpPageUp})
    for (TcxButtonState state : {cxbsNormal, cxbsHot, cxbsPressed}) {
      TDib office(16, 16), plain(16, 16);
      Registered(lfsOffice11)->DrawScrollBarPart(office.Canvas(), true, RECT{0, 0, 16, 16}, part, state);
      // The Office 2003 colours reach the drawing, so compare with the same
      // scheme-coloured button drawn by the ultra-flat composition.
      static_cast<TcxUltraFlatLookAndFeelPainter*>(Registered(lfsOffice11))
          ->TcxUltraFlatLookAndFeelPainter::DrawScrollBarPart(plain.Canvas(), true, RECT{0, 0, 16, 16}, part, state);
      EXPECT_TRUE(SamePixels(office, plain)) << part << " " << state;
      EXPECT_FALSE(office.Untouched());
    }
  EXPECT_EQ(ultraFlat.ScrollBarMinimalThumbSize(true), Registered(lfsOffice11)->ScrollBarMinimalThumbSize(true));
}

TEST_F(PainterStyles, Office11ExpandButtonTintsItsCornersAndIgnoresTheColour) {
  auto& p = *Registered(lfsOffice11);
  TDib plain(13, 13), red(13, 13);
  red.Canvas().FillRect(RECT{0, 0, 13, 13}, clWhite);
  plain.Canvas().FillRect(RECT{0, 0, 13, 13}, clWhite);
  p.DrawExpandButton(plain.Canvas(), RECT{1, 1, 12, 12}, false);
  p.DrawExpandButton(red.Canvas(), RECT{1, 1, 12, 12}, false, clRed);
  EXPECT_TRUE(SamePixels(plain, red));
  EXPECT_EQ(Rgb(BlendColorsByPercent(0xBFAE9E, clWhite, 25)), plain.At(1, 1));
  const TColor outer = Rgb(BlendColorsByPercent(0x5F462E, clWhite, 25));
  EXPECT_EQ(outer, plain.At(11, 11));
  EXPECT_EQ(outer, plain.At(1, 11));
  EXPECT_EQ(outer, plain.At(11, 1));
  EXPECT_EQ(Rgb(clWhite), plain.At(12, 12)) << "eleven pixels square";
  EXPECT_EQ(Rgb(clBtnText), plain.At(6, 4)) << "the plus sign's vertical bar";
  TDib minus(13, 13);
  p.DrawExpandButton(minus.Canvas(), RECT{1, 1, 12, 12}, true);
  EXPECT_NE(Rgb(clBtnText), minus.At(6, 4));
  EXPECT_EQ(Rgb(clBtnText), minus.At(6, 6));
}

TEST_F(PainterStyles, Office11SeparatorAndBreadcrumbArea) {
  auto& p = static_cast<TcxOffice11LookAndFeelPainter&>(*Registered(lfsOffice11));
  using P = TcxOffice11LookAndFeelPainter;
  TDib dib(6, 6);
  p.DoDrawSeparator(dib.Canvas(), RECT{0, 0, 4, 4}, true);
  EXPECT_EQ(Rgb(P::RoleColor(P::rSeparatorDark)), dib.At(0, 0));
  EXPECT_EQ(Rgb(P::RoleColor(P::rSeparatorLight)), dib.At(3, 3));
  EXPECT_EQ(kSentinel, dib.At(4, 4));
  TDib area(8, 8);
  p.DrawBreadcrumbEditButtonArea(area.Canvas(), RECT{0, 0, 8, 8}, dxbcbsNormal, bLeft);
  EXPECT_EQ(Rgb(P::RoleColor(P::rBorder)), area.At(0, 4));
  EXPECT_EQ(Rgb(p.HeaderGradientStartColor()), area.At(7, 4));
  TDib none(8, 8);
  p.DrawBreadcrumbEditButtonArea(none.Canvas(), RECT{3, 3, 3, 8}, dxbcbsHot, cxBordersAll);
  EXPECT_TRUE(none.Untouched());
}

}  // namespace
