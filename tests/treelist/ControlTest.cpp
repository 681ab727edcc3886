// The base control: option defaults, locks, clearing and the abstract base.
#include "Classes.h"
#include "TreeListTest.h"

namespace treelist_test {
namespace {

using tvk::TdxTreeListNode;

TEST(TreeListControl, NewControlDefaultsAndWhatIsStored) {
  TTestTreeList tree;
  EXPECT_EQ(tvk::kDefaultOptions, tree.Options());
  EXPECT_FALSE(tree.OptionsStored());
  EXPECT_EQ(tvk::kDefaultOptionsEx | tvk::OptionBit(tvk::aoAutoCopySelectedToClipboard), tree.OptionsEx());
  EXPECT_TRUE(tree.OptionsExStored());
  EXPECT_EQ(0, tree.IndicatorWidth());
  EXPECT_TRUE(tree.IndicatorWidthStored());
  tree.SetIndicatorWidth(-4);
  EXPECT_EQ(0, tree.IndicatorWidth());
  EXPECT_FALSE(tree.DefaultRowHeightStored());
  EXPECT_EQ(250, tree.Width());
  EXPECT_EQ(150, tree.Height());
  EXPECT_EQ(tvk::clWindow, tree.Color());
  // The option predicates read their options.
  EXPECT_TRUE(tree.IsRowSelect());
  EXPECT_TRUE(tree.IsEditing());
  EXPECT_FALSE(tree.IsMultiSelect());
  EXPECT_TRUE(tree.IsBandHeaderWidth());
  EXPECT_FALSE(tree.IsPreview());
  EXPECT_FALSE(tree.IsEnterThrough());
  EXPECT_EQ(tvk::pbFrame3D, tree.GetDefaultPopupBorderStyle(tvk::xbsSingle));
  EXPECT_EQ(5, tree.GetMaxBandRowCount());
  EXPECT_EQ(4, tree.GetMaxHeaderPanelRowCount());
}

TEST(TreeListControl, BeginUpdateLeavesEveryStateForNormal) {
  TTestTreeList tree;
  for (tvk::TdxTreeListState state : {tvk::tsNodeDown, tvk::tsColumnSizing, tvk::tsEditing}) {
    tree.SetState(state);
    tree.BeginUpdate();
    EXPECT_EQ(tvk::tsNormal, tree.State());
    tree.EndUpdate();
  }
}

TEST(TreeListControl, PaintLockInvalidatesOnlyAtItsOuterEnd) {
  TTestTreeList tree;
  tree.BeginPaintUpdate();
  tree.BeginPaintUpdate();
  tree.Invalidations = 0;
  tree.EndPaintUpdate();
  EXPECT_EQ(0, tree.Invalidations);
  tree.EndPaintUpdate();
  EXPECT_EQ(1, tree.Invalidations);
}

TEST(TreeListControl, SelectedCountChangeOnlyAtTheOuterEndAndOnlyWhenChanged) {
  TTestTreeList tree;
  int fired = 0;
  tree.OnSelectedCountChange = [&](tvk::TObject*) { ++fired; };
  tree.BeginSelection();
  tree.BeginSelection();
  tree.Selected = 3;
  tree.EndSelection();
  EXPECT_EQ(0, fired);
  tree.EndSelection();
  EXPECT_EQ(1, fired);
  tree.BeginSelection();
  tree.EndSelection();
  EXPECT_EQ(1, fired);
}

TEST(TreeListControl, ClearNodesResetsStateAlsoWhenEmpty) {
  TTestTreeList tree;
  tree.ClearNodes();
  EXPECT_EQ(1, tree.ClearSelections);
  EXPECT_EQ(0, tree.LockUpdate());

  TdxTreeListNode* a = tree.Add();
  a->AddChild();
  tree.Add();
  tree.FullExpand();
  tree.SetFocusedNode(a->GetFirstChild());
  std::vector<TdxTreeListNode*> deleted;
  tree.OnDeletion = [&](tvk::TObject*, TdxTreeListNode* node) { deleted.push_back(node); };
  tree.ClearNodes();
  // The list of deleted nodes goes before the tree does.
  tree.OnDeletion = nullptr;
  EXPECT_EQ(3u, deleted.size());
  EXPECT_EQ(0, tree.Count());
  EXPECT_EQ(nullptr, tree.FocusedNode());
  EXPECT_EQ(nullptr, tree.TopVisibleNode());
  EXPECT_EQ(0, tree.AbsoluteCount());
  EXPECT_FALSE(tree.ClearingNodes());
  // Insert(nil) appends.
  TdxTreeListNode* first = tree.Add();
  EXPECT_EQ(1, tree.IndexOf(tree.Insert(nullptr)));
  EXPECT_EQ(0, tree.IndexOf(first));
  // A node of another level as the place appends rather than writing past the list.
  TdxTreeListNode* child = first->AddChild();
  for (int i = 0; i < 4; ++i) first->AddChild();
  EXPECT_EQ(2, tree.IndexOf(tree.Insert(first->GetLastChild())));
  EXPECT_EQ(5, first->IndexOf(first->InsertChild(tree.GetItem(1))));
  EXPECT_EQ(0, first->IndexOf(child));
}

TEST(TreeListControl, NodeDataOnTheBareBaseIsAbstract) {
  tvk::TCustomdxTreeList bare(nullptr);
  try {
    bare.Add();
    FAIL() << "no error";
  } catch (const tvk::EAbstractError& e) {
    EXPECT_EQ(L"Abstract Error", e.Message());
  }
  EXPECT_EQ(0, bare.GetVisibleBandCount());
  EXPECT_EQ(0, bare.GetBandsWidth());
  EXPECT_EQ(0, bare.Count());
}

TEST(TreeListControl, TextLinesOfTheVisibleHeaders) {
  TTestTreeList tree;
  tree.Columns = {Column(50, 10), Column(50, 10)};
  tree.Columns[0].Caption = L"Name";
  tree.Columns[1].Caption = L"Value";
  tree.Bands = {Band(100, 20, true, {{1}, {0}})};
  tree.Columns[0].Row = 1;
  tree.PanelRows = 2;
  TdxTreeListNode* node = tree.Add();
  node->SetString(0, L"pin");
  node->SetString(1, L"7");
  std::wstring text;
  tree.GetHeaderLine(text);
  // In the visible order: the first header row, then the second.
  EXPECT_EQ(L"Value\tName\r\n", text);
  tree.GetNodeLine(node, text);
  EXPECT_EQ(L"7\tpin", text);
}

TEST(TreeListUnit, TextLinesAndRegistryPaths) {
  tvk::TFont font;
  const wchar_t* text = L"alpha beta gamma delta epsilon";
  // Five short words in a width that holds one each, lines as high as the font's.
  int allHeight = 0, height = 0;
  EXPECT_EQ(5, tvk::CalcTextLines(text, 40, 0, allHeight, 0, false, font, -1));
  int lineHeight = (allHeight - 3) / 5;
  EXPECT_EQ(5 * lineHeight + 3, allHeight);
  EXPECT_EQ(2, tvk::CalcTextLines(text, 40, 0, height, 0, false, font, 2));
  EXPECT_EQ(2 * lineHeight + 3, height);
  EXPECT_EQ(0, tvk::CalcTextLines(L"", 40, 0, height, 0, false, font, 2));

  struct TCase {
    const wchar_t* Path;
    const wchar_t* Expected;
  };
  const TCase cases[] = {{L"Software\\Layout\\\\", L"\\Software\\Layout"}, {L"", L""}, {L"\\A", L"\\A"}, {L"\\", L""}};
  for (const TCase& c : cases) EXPECT_EQ(c.Expected, tvk::NormalizeRegistryPath(c.Path)) << c.Path;
}

}  // namespace
}  // namespace treelist_test
