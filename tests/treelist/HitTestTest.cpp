// What lies under a point: probes placed from the draw info of a 400 x 200
// list with two bands of two columns and five rows.
#include "TreeListWindow.h"

namespace treelist_test {
namespace {

using namespace tvk;

// Bands of two 60-pixel columns each; rows a, b (expanded: b1 with a collapsed child, b2), c.
struct THitTree {
  TTreeWindow W{400, 200};
  TdxTreeListNode *A, *B, *B1, *B2, *C;
  TdxGridDrawInfo Info;

  THitTree() {
    W.AddBand({{60, 60}});
    W.AddBand({{60, 60}});
    W->FShowBands = true;
    W->FShowIndicator = true;
    W->SetIndicatorWidth(12);
    W->SetOptionsEx(W->OptionsEx() | OptionBit(aoRowSizing));
    A = W->Add();
    B = W->Add();
    B1 = B->AddChild();
    B1->AddChild();
    B2 = B->AddChild();
    C = W->Add();
    B->Expand(false);
    Refresh();
  }
  void Refresh() {
    W->LayoutChanged();
    W->CalcDrawInfo(Info);
  }
  int RowTop(int row) {
    int t = Info.CellsRect.top;
    for (int k = 0; k < row; ++k) t += Info.RowsInfo[std::size_t(k)].RowHeight;
    return t;
  }
  int BandY() { return (Info.BandRect.top + Info.BandRect.bottom) / 2; }
  int HeaderY() { return (Info.HeaderRect.top + Info.HeaderRect.bottom) / 2; }
  TdxTreeListHitInfo At(int x, int y) { return W->GetHitInfo(POINT{x, y}); }
};

// Opens the component state to the test.
class TDesignState : public TTestTreeList {
public:
  static void Set(TTestTreeList& tree, bool designing) {
    static_cast<TDesignState&>(tree).SetComponentState(csDesigning, designing);
  }
};

struct TProbe {
  const char* Name;
  int X, Y;
  TdxTreeListHitTest Kind;
  int Band, Column, Row;
};

void ExpectProbe(THitTree& t, const TProbe& p) {
  TdxTreeListHitInfo hit = t.At(p.X, p.Y);
  EXPECT_EQ(p.Kind, hit.hitType) << p.Name;
  EXPECT_EQ(p.Band, hit.Band) << p.Name;
  EXPECT_EQ(p.Column, hit.Column) << p.Name;
  EXPECT_EQ(p.Row, hit.Row) << p.Name;
  EXPECT_EQ(p.X, hit.X) << p.Name;
  EXPECT_EQ(p.Y, hit.Y) << p.Name;
}

TEST(TreeListHitTest, BandAndColumnEdgesAreFoundFourPixelsEitherSide) {
  THitTree t;
  ASSERT_EQ(2, t.Info.BandCount());
  ASSERT_EQ(4, t.Info.HeaderCount());
  const int border = t.Info.BandsInfo[0].BandRect.right;  // band 0 | band 1
  const int column = t.Info.HeadersInfo[0].HeaderRect.right;  // column 0 | column 1
  const int by = t.BandY(), hy = t.HeaderY();
  const TProbe probes[] = {
      {"band, 5 left of its edge", border - 5, by, htBand, 0, -1, -1},
      {"band edge, 4 left", border - 4, by, htBandEdge, 0, -1, -1},
      {"band edge, on it", border, by, htBandEdge, 0, -1, -1},
      {"band edge, 4 right", border + 4, by, htBandEdge, 0, -1, -1},
      {"next band, 5 right", border + 5, by, htBand, 1, -1, -1},
      {"column, 5 left of its edge", column - 5, hy, htColumn, 0, 0, -1},
      {"column edge, 4 left", column - 4, hy, htColumnEdge, 0, 0, -1},
      {"column edge, 4 right", column + 4, hy, htColumnEdge, 0, 0, -1},
      {"next column, 5 right", column + 5, hy, htColumn, 0, 1, -1},
      {"band button", 5, by, htBandButton, -1, -1, -1},
      {"header button", 5, hy, htHeaderButton, -1, -1, -1},
      {"right of the last band's edge strip", t.Info.BandRect.right + 4, by, htNowhere, -1, -1, -1},
      {"last band's edge, right of the panel", t.Info.BandRect.right + 3, by, htBandEdge, 1, -1, -1},
  };
  for (const TProbe& p : probes) ExpectProbe(t, p);
}

TEST(TreeListHitTest, AHeaderEdgeAtABandBorderSizesTheBandOrWithHeaderBandSizingTheColumn) {
  THitTree t;
  const int border = t.Info.BandsInfo[0].BandRect.right, hy = t.HeaderY();
  ExpectProbe(t, {"last column of band 0", border - 2, hy, htBandEdge, 0, 1, -1});
  ExpectProbe(t, {"first column of band 1", border + 2, hy, htBandEdge, 0, 2, -1});
  t.W->SetOptions(t.W->Options() | OptionBit(aoHeaderBandSizing));
  ExpectProbe(t, {"last column of band 0, header band sizing", border - 2, hy, htColumnEdge, 0, 1, -1});
  ExpectProbe(t, {"first column of band 1, header band sizing", border + 2, hy, htColumnEdge, 0, 1, -1});
  // Neither the band nor the column may be sized: the column under the point, with its own band.
  t.W->Columns[1].Sizable = false;
  ExpectProbe(t, {"unsizable column, header band sizing", border + 2, hy, htColumn, 1, 2, -1});
  t.W->SetOptions(t.W->Options() & ~OptionBit(aoHeaderBandSizing));
  t.W->Bands[0].Sizable = false;
  ExpectProbe(t, {"unsizable band", border + 2, hy, htColumn, 1, 2, -1});
}

TEST(TreeListHitTest, RowsAnswerTreePartsCellsRowEdgesAndTheRight) {
  THitTree t;
  ASSERT_EQ(5, t.Info.RowCount());
  const int left = t.Info.CellsRect.left, indent = t.W->FIndent;
  const int t1 = t.RowTop(1), t2 = t.RowTop(2), mid1 = t1 + 5, mid2 = t2 + 5;
  const int cell2 = (t.Info.HeadersInfo[2].HeaderRect.left + t.Info.HeadersInfo[2].HeaderRect.right) / 2;
  const int bottom = t.RowTop(5);
  const TProbe probes[] = {
      {"button of b", left + indent / 2, mid1, htButton, -1, -1, 1},
      {"indent of b1", left + indent / 2, mid2, htIndent, -1, -1, 2},
      {"button of b1", left + indent + indent / 2, mid2, htButton, -1, -1, 2},
      {"cell of column 2", cell2, mid1, htLabel, 1, 2, 1},
      {"right of the bands", 350, mid1, htRight, -1, -1, 1},
      {"indicator", 5, mid1, htIndicator, -1, -1, 1},
      {"row edge, 4 above", 5, t1 - 4, htRowEdge, -1, -1, 0},
      {"row edge, 4 below", 5, t1 + 4, htRowEdge, -1, -1, 0},
      {"under the last row", 5, bottom + 2, htRowEdge, -1, -1, 4},
      {"outside", -1, mid1, htOutside, -1, -1, -1},
      {"below the client area", 5, 200, htOutside, -1, -1, -1},
  };
  for (const TProbe& p : probes) ExpectProbe(t, p);
  TdxTreeListHitInfo hit = t.At(5, mid1);
  EXPECT_EQ(t.B, hit.Node);
  EXPECT_EQ(t1, hit.NodeTop);
  EXPECT_EQ(t.B, t.W->GetNodeAt(left + indent / 2, mid1));
  EXPECT_EQ(nullptr, t.W->GetNodeAt(-1, mid1));
  EXPECT_EQ(htRowEdge, t.W->GetHitTestInfoAt(5, t1 - 1));
}

TEST(TreeListHitTest, WithoutTheIndicatorRowEdgesRunAlongTheRows) {
  THitTree t;
  t.W->FShowIndicator = false;
  t.Refresh();
  const int t1 = t.RowTop(1);
  const int cell2 = (t.Info.HeadersInfo[2].HeaderRect.left + t.Info.HeadersInfo[2].HeaderRect.right) / 2;
  ExpectProbe(t, {"row edge in a cell", cell2, t1 - 2, htRowEdge, -1, -1, 0});
  ExpectProbe(t, {"middle of a cell", cell2, t1 + 8, htLabel, 1, 2, 1});
  t.W->SetOptionsEx(t.W->OptionsEx() & ~OptionBit(aoRowSizing));
  ExpectProbe(t, {"no row sizing", cell2, t1 - 2, htLabel, 1, 2, 0});
}

TEST(TreeListHitTest, WithoutRootTheTopLevelHasNoButtonArea) {
  THitTree t;
  t.W->FShowRoot = false;
  t.Refresh();
  const int left = t.Info.CellsRect.left, indent = t.W->FIndent, mid1 = t.RowTop(1) + 5, mid2 = t.RowTop(2) + 5;
  ExpectProbe(t, {"where b's button was", left + indent / 2, mid1, htLabel, 0, 0, 1});
  ExpectProbe(t, {"b1's button, one indent left", left + indent / 2, mid2, htButton, -1, -1, 2});
}

TEST(TreeListHitTest, TheDesignerTakesTheMouseOnlyOverHeadersEdgesAndInSizingStates) {
  THitTree t;
  const int border = t.Info.BandsInfo[0].BandRect.right;
  const int mid1 = t.RowTop(1) + 5;
  EXPECT_FALSE(t.W->DesignHitTest(POINT{border, t.BandY()}));  // not designing
  TDesignState::Set(*t.W, true);
  EXPECT_TRUE(t.W->DesignHitTest(POINT{border, t.BandY()}));
  EXPECT_TRUE(t.W->DesignHitTest(POINT{30, t.HeaderY()}));
  EXPECT_FALSE(t.W->DesignHitTest(POINT{100, mid1}));
  t.W->SetState(tsColumnSizing);
  EXPECT_TRUE(t.W->DesignHitTest(POINT{100, mid1}));
  t.W->SetState(tsNormal);
  TDesignState::Set(*t.W, false);
}

}  // namespace
}  // namespace treelist_test
