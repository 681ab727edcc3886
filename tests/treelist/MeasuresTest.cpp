// Row heights, band and header widths.
#include "ImageLists.h"
#include "TreeListTest.h"

namespace treelist_test {
namespace {

using tvk::TdxTreeListNode;

struct MeasuresFixture : ::testing::Test {
  TTestTreeList Tree;
  void SetUp() override { Tree.SetBounds(0, 0, 300, 200); }
  void AutoWidth() { Tree.SetOptions(Tree.Options() | tvk::OptionBit(tvk::aoAutoWidth)); }
  std::vector<int> BandWidths() {
    std::vector<int> widths;
    for (int i = 0; i < Tree.GetVisibleBandCount(); ++i) widths.push_back(Tree.GetBandWidth(i));
    return widths;
  }
};

TEST_F(MeasuresFixture, AutoWidthSharesTheClientWidthAmongTheBands) {
  AutoWidth();
  struct TCase {
    std::vector<TBand> Bands;
    std::vector<int> Expected;
  };
  const TCase cases[] = {
      {{Band(100, 20), Band(100, 20), Band(200, 20)}, {75, 75, 150}},
      {{Band(100, 90), Band(100, 20), Band(200, 20)}, {90, 77, 133}},
      // A band that is not sizable keeps its natural width.
      {{Band(100, 20, false), Band(100, 20), Band(200, 20)}, {100, 73, 127}},
  };
  for (const TCase& c : cases) {
    Tree.Bands = c.Bands;
    EXPECT_EQ(c.Expected, BandWidths());
    EXPECT_EQ(300, Tree.GetBandsWidth());
  }
  // Bands without any width share nothing and fault nowhere (MulDiv by 0).
  Tree.Bands = {Band(0, 0), Band(0, 0), Band(0, 0)};
  std::vector<int> widths = BandWidths();
  EXPECT_EQ(300, widths[0] + widths[1] + widths[2]);
  // Without auto width every band has its natural width.
  Tree.SetOptions(Tree.Options() & ~tvk::OptionBit(tvk::aoAutoWidth));
  Tree.Bands = {Band(100, 20), Band(100, 20), Band(200, 20)};
  EXPECT_EQ((std::vector<int>{100, 100, 200}), BandWidths());
  EXPECT_EQ(400, Tree.GetBandsWidth());
  EXPECT_EQ(200, Tree.GetBandLeft(2));
}

TEST_F(MeasuresFixture, HeadersShareTheirBandsWidth) {
  Tree.Columns = {Column(100, 10), Column(100, 10), Column(100, 10)};
  Tree.Bands = {Band(300, 20, true, {{0, 1, 2}})};
  EXPECT_EQ(300, Tree.GetBandNaturalWidth(0));
  EXPECT_EQ(100, Tree.GetHeaderWidth(1));
  Tree.SetBounds(0, 0, 600, 200);
  AutoWidth();
  EXPECT_EQ(200, Tree.GetHeaderWidth(0));
  Tree.Columns[0].Sizable = false;
  EXPECT_EQ(100, Tree.GetHeaderWidth(0));
  EXPECT_EQ(250, Tree.GetHeaderWidth(1));
  EXPECT_EQ(250, Tree.GetHeaderWidth(2));
}

TEST_F(MeasuresFixture, LastRowHeaderWithoutLineLimitSpansThePanel) {
  Tree.Columns = {Column(50, 10), Column(50, 10, 1, 0)};
  Tree.Bands = {Band(100, 20, true, {{0}, {1}})};
  Tree.PanelRows = 3;
  EXPECT_EQ(1, Tree.GetHeaderLineCount(0, 0, 0));
  EXPECT_EQ(2, Tree.GetHeaderLineCount(0, 1, 0));
}

TEST_F(MeasuresFixture, RowHeights) {
  Tree.Columns = {Column(200, 10)};
  Tree.Bands = {Band(200, 20, true, {{0}})};
  TdxTreeListNode* shortRow = Tree.Add();
  TdxTreeListNode* longRow = Tree.Add();
  shortRow->SetString(0, L"short");
  longRow->SetString(0, L"long");
  Tree.WrappedLines[L"long"] = 3;
  EXPECT_EQ(18, Tree.GetRowHeight(shortRow, 18, false));
  EXPECT_EQ(18, shortRow->FRowHeight);

  // Rows grow with their text: three lines are two text heights taller.
  Tree.SetOptionsEx(Tree.OptionsEx() | tvk::OptionBit(tvk::aoRowAutoHeight));
  ASSERT_TRUE(Tree.IsRowAutoHeightActive());
  int one = Tree.GetRowHeight(shortRow, 18, true);
  EXPECT_EQ(one + 2 * Tree.FTextHeight, Tree.GetRowHeight(longRow, 18, true));

  // A taller image list raises the row.
  tvk::TImageList images(nullptr);
  images.SetSize(16, 40);
  Tree.NodeImages = &images;
  EXPECT_EQ(40, Tree.GetRowHeight(shortRow, 18, true));
}

TEST_F(MeasuresFixture, LineHeightForARowHeight) {
  TdxTreeListNode* node = Tree.Add();
  Tree.FShowPreviewGrid = false;  // the grid's line adds to the row
  struct TCase {
    TdxTreeListNode* Node;
    bool Grid;
    int Height;
    int Expected;
  };
  // -1: the default row height.
  const TCase cases[] = {{node, false, 30, 30}, {node, true, 30, 29}, {node, false, 10, -1}, {nullptr, false, 30, -1}};
  for (const TCase& c : cases) {
    Tree.FShowGrid = c.Grid;
    int expected = c.Expected == -1 ? Tree.RowHeight() : c.Expected;
    EXPECT_EQ(expected, Tree.GetLineHeightForRowHeight(c.Node, c.Height)) << c.Height << " " << c.Grid;
  }
}

}  // namespace
}  // namespace treelist_test
