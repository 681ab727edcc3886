// The draw info: panels, bands, headers, empty areas and rows, and the cell
// and editor rectangles derived from them.
#include "TreeListWindow.h"

namespace treelist_test {
namespace {

using tvk::TdxGridDrawInfo;

RECT Rect(int l, int t, int r, int b) { return RECT{l, t, r, b}; }

void ExpectRect(const RECT& expected, const RECT& actual) {
  EXPECT_EQ(expected.left, actual.left);
  EXPECT_EQ(expected.top, actual.top);
  EXPECT_EQ(expected.right, actual.right);
  EXPECT_EQ(expected.bottom, actual.bottom);
}

TEST(TreeListDrawInfo, SpansOverlapWithInclusiveEnds) {
  struct TCase {
    int a1, a2, b1, b2;
    bool overlap;
  } cases[] = {{0, 10, 10, 20, true}, {0, 9, 10, 20, false}, {20, 30, 10, 20, true}, {21, 30, 10, 20, false},
               {0, 30, 10, 20, true}, {12, 15, 10, 20, true}};
  for (const TCase& c : cases) EXPECT_EQ(c.overlap, tvk::SpansOverlap(c.a1, c.a2, c.b1, c.b2)) << c.a1 << ".." << c.a2;
}

TEST(TreeListDrawInfo, WithoutBandsTheTablesAreEmpty) {
  TTreeWindow w(300, 200);
  w->FShowIndicator = true;
  w->SetIndicatorWidth(12);
  w->Add();
  w->LayoutChanged();
  TdxGridDrawInfo info;
  w->CalcDrawInfo(info);
  EXPECT_EQ(0, info.BandCount());
  EXPECT_EQ(0, info.HeaderCount());
  EXPECT_EQ(0, info.IndentLimit);
  EXPECT_EQ(info.CellsRect.left - 1 - w->LeftCoord(), info.EdgeX);
  ExpectRect(Rect(0, info.CellsRect.top, 12, info.CellsRect.top + w->RowHeight()), info.IndicatorRect);
  EXPECT_EQ(1, info.RowCount());
  // The rows end early: the area below starts at the first pixel under the last row.
  EXPECT_EQ(info.CellsRect.top + w->RowHeight() - 1, info.EdgeY);
  EXPECT_EQ(info.CellsRect.top + w->RowHeight(), info.EmptyRectBottom.top);
}

TEST(TreeListDrawInfo, PanelsStackAndNarrowBandsLeaveAnEmptyAreaAtTheRight) {
  TTreeWindow w(300, 200);
  w.AddBand({{40, 60}});
  w.AddBand({{80}});
  w->FShowBands = true;
  w->FShowNewItemRow = true;
  w->FShowFooter = true;
  w->LayoutChanged();
  TdxGridDrawInfo info;
  w->CalcDrawInfo(info);
  int bandTop = 0, headerTop = w->FBandHeight, rowTop = headerTop + w->FHeaderHeight + w->FNewItemRowHeight;
  ExpectRect(Rect(0, 0, 180, headerTop), info.BandRect);
  ExpectRect(Rect(0, headerTop, 180, headerTop + w->FHeaderHeight), info.HeaderRect);
  ExpectRect(Rect(180, bandTop, 300, 200 - w->FFooterHeight), info.EmptyRectRight);
  EXPECT_EQ(180, info.NewItemRowRect.right);
  EXPECT_EQ(rowTop, info.CellsRect.top);
  ExpectRect(Rect(0, 200 - w->FFooterHeight, 300, 200), info.FooterRect);
  ASSERT_EQ(2, info.BandCount());
  ExpectRect(Rect(100, 0, 180, headerTop), info.BandsInfo[1].BandRect);
  ASSERT_EQ(3, info.HeaderCount());
  const int lefts[] = {0, 40, 100}, rights[] = {40, 100, 180};
  for (int i = 0; i < 3; ++i) {
    EXPECT_EQ(lefts[i], info.HeadersInfo[std::size_t(i)].HeaderRect.left);
    EXPECT_EQ(rights[i], info.HeadersInfo[std::size_t(i)].HeaderRect.right);
  }
  EXPECT_TRUE(info.HeadersInfo[0].LeftEdgeColumn);
  EXPECT_TRUE(info.HeadersInfo[2].RightEdgeColumn);
  EXPECT_EQ(179, info.EdgeX);
  EXPECT_EQ(100, info.IndentLimit);
}

TEST(TreeListDrawInfo, FixedBandsKeepTheirPlacesAndTheRightOneIsPushedRight) {
  struct TCase {
    int width;
    RECT fixedRight;
    int prevRight;
  } cases[] = {{600, Rect(400, 0, 500, 0), 2}, {450, Rect(350, 0, 450, 0), 2}, {150, Rect(100, 0, 200, 0), 1}};
  for (const TCase& c : cases) {
    TTreeWindow w(c.width, 200);
    for (int width : {100, 150, 150, 100}) w.AddBand({{width}});
    w->FixedLeft = 0;
    w->FixedRight = 3;
    w->FShowBands = true;
    w->LayoutChanged();
    TdxGridDrawInfo info;
    w->CalcDrawInfo(info);
    EXPECT_EQ(0, info.FixedBandLeftIndex);
    EXPECT_EQ(3, info.FixedBandRightIndex);
    EXPECT_EQ(c.prevRight, info.FixedBandPrevRightIndex) << c.width;
    ExpectRect(Rect(0, 0, 100, info.CellsRect.top), info.FixedBandLeftRect);
    EXPECT_EQ(c.fixedRight.left, info.FixedBandRightRect.left) << c.width;
    EXPECT_EQ(c.fixedRight.right, info.FixedBandRightRect.right) << c.width;
    // The fixed bands' captions stop at their separator lines.
    EXPECT_EQ(100 - w->FFixedBandLineWidth, info.BandsInfo.front().BandRect.right);
    EXPECT_EQ(c.fixedRight.left + w->FFixedBandLineWidth, info.BandsInfo.back().BandRect.left);
    EXPECT_EQ(100 - w->FFixedBandLineWidth, info.IndentLimit);
  }
}

TEST(TreeListDrawInfo, HeaderRowsShareTheBandWidth) {
  struct TCase {
    std::vector<int> widths, minimums;
    std::vector<bool> sizable;
    std::vector<int> expected;
  } cases[] = {
      // Squeezed: the first column keeps its minimum, the next gets its minimum and a share, the last the rest.
      {{100, 100, 100}, {80, 10, 10}, {true, true, true}, {80, 60, 60}},
      // A column that may not be sized keeps its width.
      {{50, 100, 100}, {50, 10, 10}, {false, true, true}, {50, 75, 75}},
      // Everything fits: plain shares.
      {{100, 100, 200}, {10, 10, 10}, {true, true, true}, {50, 50, 100}},
  };
  for (const TCase& c : cases) {
    TTreeWindow w(200, 200);
    w.AddBand({c.widths});
    for (std::size_t i = 0; i < c.widths.size(); ++i) {
      w->Columns[i].MinWidth = c.minimums[i];
      w->Columns[i].Sizable = c.sizable[i];
    }
    w->SetOptions(w->Options() | tvk::OptionBit(tvk::aoAutoWidth));
    w->LayoutChanged();
    TdxGridDrawInfo info;
    w->CalcDrawInfo(info);
    ASSERT_EQ(3, info.HeaderCount());
    for (std::size_t i = 0; i < 3; ++i)
      EXPECT_EQ(c.expected[i], info.HeadersInfo[i].HeaderRect.right - info.HeadersInfo[i].HeaderRect.left)
          << "column " << i << " of " << c.expected[0];
  }
}

TEST(TreeListDrawInfo, ABandWithoutColumnsAndAShortHeaderLeaveEmptyHeaderAreas) {
  TTreeWindow w(300, 200);
  w->PanelRows = 2;
  w.AddBand({{60}});
  w.AddBand({});
  w->LayoutChanged();
  TdxGridDrawInfo info;
  w->CalcDrawInfo(info);
  int h = w->FHeaderRowHeight, top = info.HeaderRect.top;
  ASSERT_EQ(1, info.EmptyRectCount());
  EXPECT_EQ(1, info.EmptyRectsInfo[0].BandIndex);
  ExpectRect(Rect(60, top, 80, top + 2 * h), info.EmptyRectsInfo[0].EmptyRect);
  ASSERT_EQ(1, info.HeaderCount());
  ExpectRect(Rect(0, top + h, 60, top + 2 * h), info.HeadersInfo[0].HeaderEmptyRect);
}

TEST(TreeListDrawInfo, CellRectOfHiddenAndScrolledOutColumnsIsMinusOne) {
  TTreeWindow w(300, 200);
  for (int i = 0; i < 3; ++i) w.AddBand({{200}});
  tvk::TdxTreeListNode* node = w->Add();
  w->LayoutChanged();
  RECT visible = w->CellRect(node, 0);
  EXPECT_EQ(w->FIndent, visible.left);  // the tree indent of a top-level node without children
  EXPECT_EQ(200, visible.right);
  ExpectRect(Rect(-1, -1, -1, -1), w->CellRect(node, 7));  // no such visible column
  w->SetLeftCoord(350);
  EXPECT_EQ(300, w->LeftCoord());  // at most the scrolling width less the cells' width
  ExpectRect(Rect(-1, -1, -1, -1), w->CellRect(node, 0));
  RECT third = w->CellRect(node, 2);
  EXPECT_EQ(400 - 300, third.left);
}

TEST(TreeListDrawInfo, EditRectInsetsForInvertedSelection) {
  TTreeWindow w(300, 200);
  w.AddBand({{100, 100}});
  tvk::TdxTreeListNode* node = w->Add();
  w->LayoutChanged();
  RECT cell0 = w->CellRect(node, 0), cell1 = w->CellRect(node, 1);
  RECT plain1 = w->GetEditRect(node, 1);
  EXPECT_EQ(cell1.right - 1, plain1.right);  // the last column of the last band
  w->SetOptionsEx(w->OptionsEx() | tvk::OptionBit(tvk::aoInvertSelect));
  w->LayoutChanged();
  cell0 = w->CellRect(node, 0);
  cell1 = w->CellRect(node, 1);
  RECT edit0 = w->GetEditRect(node, 0), edit1 = w->GetEditRect(node, 1);
  EXPECT_EQ(cell0.left + 1, edit0.left);
  EXPECT_EQ(cell0.top + 1, edit0.top);
  EXPECT_EQ(cell0.bottom - 1, edit0.bottom);
  EXPECT_EQ(cell0.right, edit0.right);
  EXPECT_EQ(cell1.right - 1, edit1.right);
}

TEST(TreeListDrawInfo, AnExportLaysOutAtMost500Rows) {
  TTreeWindow w(300, 200);
  w.AddBand({{100}});
  w->BeginUpdate();
  for (int i = 0; i < 600; ++i) w->Add();
  w->EndUpdate();
  w->SelectNode(w->GetItem(3), true);
  TdxGridDrawInfo info;
  w->CalcFullDrawInfo(info, false);
  ASSERT_EQ(500, info.RowCount());
  EXPECT_EQ(info.CellsRect.top + 500 * w->RowHeight(), info.CellsRect.bottom);
  EXPECT_EQ(-1, info.EdgeY);
  EXPECT_TRUE(tvk::IsZeroRect(info.StatusRect));
  EXPECT_FALSE(info.RowsInfo[3].IsSelected);
  EXPECT_EQ(100, info.CRect.right);
  w->SelectNode(w->GetItem(1), true);
  w->CalcFullDrawInfo(info, true);
  ASSERT_EQ(2, info.RowCount());
  EXPECT_EQ(w->GetItem(1), info.RowsInfo[0].Node);
  EXPECT_EQ(w->GetItem(3), info.RowsInfo[1].Node);
  // The screen's rows stop at the bottom of the client area.
  w->CalcDrawInfo(info);
  EXPECT_LE(info.RowCount(), (info.CellsRect.bottom - info.CellsRect.top) / w->RowHeight() + 1);
  EXPECT_EQ(-1, info.EdgeY);
}

}  // namespace
}  // namespace treelist_test
