// Rows that fit, the top index and left coordinate, the scroll messages and
// the scroll bars of the base tree list.
#include "TreeListScrolling.h"
#include "TreeListWindow.h"

namespace treelist_test {
namespace {

using namespace tvk;

int CellsHeight(TTestTreeList& tree) {
  TdxGridDrawInfo info;
  tree.CalcRectInfo(info, false);
  return info.CellsRect.bottom - info.CellsRect.top;
}

// One band with one column of ColumnWidth, Rows top-level nodes, cells exactly Fit rows high.
struct TScrollTree {
  TTreeWindow W{300, 200};
  TScrollTree(int rows, int fit, int columnWidth = 280) {
    W.AddBand({{columnWidth}});
    W->FTreeLineStyle = tlSolid;
    W.Form->Show();
    for (int i = 0; i < rows; ++i) W->Add();
    W->LayoutChanged();
    Fit(fit);
  }
  // Sizes the window so that the cells area is Rows rows high (without a horizontal bar).
  void Fit(int rows) {
    W->FScrollBars = TdxScrollBars::ssNone;
    W->LayoutChanged();
    int header = W->ClientRect().bottom - CellsHeight(*W);
    W->SetBounds(0, 0, 300, header + rows * W->RowHeight());
    W->LayoutChanged();
  }
  void Send(UINT message, int code) { SendMessageW(W->Handle(), message, WPARAM(code), 0); }
  // Puts a scroll bar's position where a dragged thumb would report it.
  void Thumb(int bar, int position) {
    SCROLLINFO info{};
    info.cbSize = sizeof(info);
    info.fMask = SIF_POS;
    info.nPos = position;
    W->SetFlatScrollInfo(bar, info, false);
  }
};

TEST(TreeListScrolling, RowsThatExactlyFillTheCellsCountOneMorePartialRow) {
  TScrollTree t(10, 5);
  EXPECT_EQ(5, t.W->RowCount());
  EXPECT_EQ(6, t.W->VisibleRowCount());
  t.W->SetBounds(0, 0, 300, t.W->Height() - 1);
  t.W->LayoutChanged();
  EXPECT_EQ(4, t.W->RowCount());
  EXPECT_EQ(5, t.W->VisibleRowCount());
  // Near the end the rows above the top fill the room left.
  int whole = 0, partial = 0;
  t.W->CountRows(t.W->GetAbsoluteNode(9), CellsHeight(*t.W), whole, partial);
  EXPECT_EQ(4, whole);
}

TEST(TreeListScrolling, TheTopIndexStaysInItsRange) {
  struct TCase {
    int Value, Expected;
  } cases[] = {{3, 3}, {1000, 15}, {-5, 0}, {15, 15}, {16, 15}};
  TScrollTree t(20, 5);
  for (const TCase& c : cases) {
    t.W->SetTopIndex(c.Value);
    EXPECT_EQ(c.Expected, t.W->TopIndex()) << c.Value;
    EXPECT_EQ(t.W->GetAbsoluteNode(c.Expected), t.W->TopVisibleNode()) << c.Value;
  }
  TScrollTree one(1, 5);
  one.W->SetTopIndex(1);
  EXPECT_EQ(0, one.W->TopIndex());
}

TEST(TreeListScrolling, ALineStepScrollsTheWindowAndRepaintsOneRowWhileAJumpRepaintsAll) {
  TScrollTree t(40, 5);
  int changes = 0;
  t.W->OnChangeTopVisibleNode = [&](TObject*) { ++changes; };
  t.W->SetFocusedNode(t.W->GetAbsoluteNode(39));  // the focus frame off screen repaints nothing
  t.W->SetTopIndex(0);
  changes = 0;
  UpdateWindow(t.W->Handle());
  t.W->ResetScrollStats();
  t.Send(WM_VSCROLL, SB_LINEDOWN);
  EXPECT_EQ(1, t.W->TopIndex());
  EXPECT_EQ(1, changes);
  EXPECT_EQ(1, t.W->ScrollStats().WindowScrolls);
  EXPECT_EQ(0, t.W->ScrollStats().FullRepaints);
  RECT dirty{};
  ASSERT_TRUE(GetUpdateRect(t.W->Handle(), &dirty, FALSE));
  EXPECT_EQ(t.W->RowHeight(), dirty.bottom - dirty.top);
  UpdateWindow(t.W->Handle());
  t.W->SetTopIndex(30);  // more rows than fit
  EXPECT_EQ(1, t.W->ScrollStats().WindowScrolls);
  EXPECT_EQ(1, t.W->ScrollStats().FullRepaints);
  t.W->SetTopIndex(30);
  EXPECT_EQ(2, changes);  // an unchanged index does nothing
}

TEST(TreeListScrolling, VerticalScrollMessagesMoveTheTopIndex) {
  TScrollTree t(20, 5);
  struct TStep {
    int Code;
    int Thumb;  // position the bar reports, -1 none
    int Expected;
  } steps[] = {{SB_LINEDOWN, -1, 1},  {SB_PAGEDOWN, -1, 6}, {SB_LINEUP, -1, 5},       {SB_PAGEUP, -1, 0},
               {SB_BOTTOM, -1, 15},   {SB_TOP, -1, 0},      {SB_THUMBPOSITION, 7, 7}, {SB_THUMBTRACK, 0, 0},
               {SB_ENDSCROLL, -1, 0}, {99, -1, 0}};
  t.W->FScrollBars = TdxScrollBars::ssBoth;
  t.W->LayoutChanged();
  for (const TStep& s : steps) {
    if (s.Thumb >= 0) t.Thumb(SB_VERT, s.Thumb);
    t.Send(WM_VSCROLL, s.Code);
    EXPECT_EQ(s.Expected, t.W->TopIndex()) << s.Code;
  }
  // The bar shows the rows: a page of RowCount, the last index and the top.
  SCROLLINFO info{};
  info.cbSize = sizeof(info);
  info.fMask = SIF_ALL;
  t.W->SetTopIndex(4);
  t.W->GetFlatScrollInfo(SB_VERT, info);
  EXPECT_EQ(UINT(t.W->RowCount()), info.nPage);
  EXPECT_EQ(19, info.nMax);
  EXPECT_EQ(4, info.nPos);
  // Bars are written only when they change.
  t.W->ResetScrollStats();
  t.W->UpdateScrollBars();
  EXPECT_EQ(0, t.W->ScrollStats().BarWrites);
}

TEST(TreeListScrolling, HorizontalScrollMessagesMoveTheLeftCoordinateInThumbStepsOfFour) {
  TScrollTree t(3, 5, 700);
  t.W->FScrollBars = TdxScrollBars::ssBoth;
  t.W->LayoutChanged();
  const int width = t.W->GetScrollingWidth(), visible = t.W->GetVisibleScrollingWidth();
  ASSERT_EQ(700, width);
  const int end = width - visible, delta = t.W->FDeltaHScroll;
  int changes = 0;
  t.W->OnChangeLeftCoord = [&](TObject*) { ++changes; };
  struct TStep {
    int Code;
    int Thumb;
    int Expected;
  } steps[] = {{SB_LINERIGHT, -1, delta},  {SB_LINELEFT, -1, 0},         {SB_PAGERIGHT, -1, visible},
               {SB_PAGELEFT, -1, 0},       {SB_THUMBTRACK, 10, 8},        {SB_THUMBPOSITION, 13, 12},
               {SB_THUMBTRACK, end, end},  {SB_THUMBTRACK, end - 2, end - 4}, {SB_THUMBTRACK, end - 1, end},
               {SB_LEFT, -1, 0},
               {SB_RIGHT, -1, end},        {SB_ENDSCROLL, -1, end}};
  for (const TStep& s : steps) {
    if (s.Thumb >= 0) t.Thumb(SB_HORZ, s.Thumb);
    t.Send(WM_HSCROLL, s.Code);
    EXPECT_EQ(s.Expected, t.W->LeftCoord()) << s.Code << " " << s.Thumb;
  }
  EXPECT_EQ(11, changes);
  // Without visible columns the message is ignored.
  t.W->Bands[0].Rows[0].clear();
  t.W->Columns.clear();
  t.Send(WM_HSCROLL, SB_LEFT);
  EXPECT_EQ(end, t.W->LeftCoord());
}

TEST(TreeListScrolling, ContentThatFitsWithoutBothBarsLosesBothAtOnce) {
  for (int rows : {6, 7}) {
    TScrollTree t(rows, 6, 300);
    t.W->FScrollBars = TdxScrollBars::ssBoth;
    ShowScrollBar(t.W->Handle(), SB_BOTH, TRUE);
    LONG style = GetWindowLongW(t.W->Handle(), GWL_STYLE);
    if (rows == 6) {
      EXPECT_EQ(0, style & (WS_HSCROLL | WS_VSCROLL)) << rows;
      EXPECT_EQ(300, t.W->ClientRect().right);
    } else {
      EXPECT_NE(0, style & WS_VSCROLL) << rows;
    }
  }
}

}  // namespace
}  // namespace treelist_test
