// The flat list of visible nodes, focus changes and node notifications.
#include "TreeListTest.h"

namespace treelist_test {
namespace {

using tvk::TdxTreeListNode;

struct VisibleFixture : ::testing::Test {
  TTestTreeList Tree;
  std::vector<std::wstring> Events;

  void SetUp() override {
    Tree.OnChangeNode = [this](tvk::TObject*, TdxTreeListNode*, TdxTreeListNode*) { Events.push_back(L"node"); };
    Tree.OnChangeColumn = [this](tvk::TObject*, TdxTreeListNode*, int c) {
      Events.push_back(L"column " + std::to_wstring(c));
    };
  }
  // N top-level nodes built under one lock.
  std::vector<TdxTreeListNode*> Build(int count) {
    std::vector<TdxTreeListNode*> nodes;
    Tree.BeginUpdate();
    for (int i = 0; i < count; ++i) nodes.push_back(Tree.Add());
    Tree.EndUpdate();
    return nodes;
  }
};

TEST_F(VisibleFixture, ExpandingShiftsLaterIndexesByTheChildCount) {
  std::vector<TdxTreeListNode*> top = Build(3);
  for (int i = 0; i < 3; ++i) top[0]->AddChild();
  int before = Tree.AbsoluteCount();
  EXPECT_EQ(2, Tree.GetAbsoluteIndex(top[2]));
  top[0]->SetExpanded(true);
  EXPECT_EQ(before + 3, Tree.AbsoluteCount());
  EXPECT_EQ(5, Tree.GetAbsoluteIndex(top[2]));
  EXPECT_EQ(top[0]->GetItem(2), Tree.GetAbsoluteNode(3));
  EXPECT_EQ(nullptr, Tree.GetAbsoluteNode(6));
  EXPECT_EQ(nullptr, Tree.GetAbsoluteNode(-1));
  EXPECT_EQ(-1, Tree.GetAbsoluteIndex(nullptr));
}

TEST_F(VisibleFixture, OneInsertOrDeleteOutsideTheLockUpdatesTheListWithoutRebuilding) {
  std::vector<TdxTreeListNode*> top = Build(4);
  ASSERT_TRUE(Tree.IsFlatListValid());
  Tree.ResetListStats();
  TdxTreeListNode* inserted = Tree.Insert(top[1]);
  EXPECT_EQ(1, Tree.GetAbsoluteIndex(inserted));
  EXPECT_EQ(2, Tree.GetAbsoluteIndex(top[1]));
  delete top[0];
  EXPECT_EQ(0, Tree.GetAbsoluteIndex(inserted));
  EXPECT_EQ(3, Tree.GetAbsoluteIndex(top[3]));
  EXPECT_EQ(4, Tree.AbsoluteCount());
  EXPECT_EQ(0, Tree.ListStats().FullRebuilds);
  EXPECT_TRUE(Tree.IsFlatListValid());
}

TEST_F(VisibleFixture, DeletingTheFocusedNodeMovesFocusWithoutEvents) {
  std::vector<TdxTreeListNode*> top = Build(3);
  TdxTreeListNode* child = top[1]->AddChild();
  top[1]->SetExpanded(true);
  struct TCase {
    TdxTreeListNode* Focused;
    TdxTreeListNode* Expected;
  };
  // Previous sibling; parent; next visible when it had neither.
  const TCase cases[] = {{top[2], top[1]}, {child, top[1]}, {top[0], top[1]}};
  for (const TCase& c : cases) {
    Tree.SetFocusedNode(c.Focused);
    Events.clear();
    delete c.Focused;
    EXPECT_EQ(c.Expected, Tree.FocusedNode());
    EXPECT_TRUE(Events.empty());
  }
}

TEST_F(VisibleFixture, DeletingTheLastNodeClearsEveryReference) {
  std::vector<TdxTreeListNode*> top = Build(1);
  Tree.SetFocusedNode(top[0]);
  delete top[0];
  EXPECT_EQ(nullptr, Tree.FocusedNode());
  EXPECT_EQ(nullptr, Tree.TopVisibleNode());
  EXPECT_EQ(nullptr, Tree.SelectionAnchor());
  EXPECT_EQ(nullptr, Tree.DragNode());
  EXPECT_EQ(nullptr, Tree.HotTrackNode());
  EXPECT_EQ(0, Tree.AbsoluteCount());
  EXPECT_FALSE(Tree.IsFlatListValid());
}

TEST_F(VisibleFixture, FocusedNumberIsClamped) {
  std::vector<TdxTreeListNode*> top = Build(25);
  struct TCase {
    int Value;
    TdxTreeListNode* Expected;
  };
  const TCase cases[] = {{10000, top[24]}, {-5, top[0]}, {7, top[7]}};
  for (const TCase& c : cases) {
    Tree.SetFocusedNumber(c.Value);
    EXPECT_EQ(c.Expected, Tree.FocusedNode()) << c.Value;
  }
}

TEST_F(VisibleFixture, ColumnChangesFireOnlyTheColumnEventAndNothingUnderRowSelect) {
  std::vector<TdxTreeListNode*> top = Build(2);
  Tree.SetOptions(Tree.Options() & ~tvk::OptionBit(tvk::aoRowSelect));
  Tree.ChangeFocus(top[0], 0, false);
  Events.clear();
  Tree.ChangeFocus(top[0], 1, false);
  EXPECT_EQ(std::vector<std::wstring>{L"column 1"}, Events);
  Tree.ChangeFocus(top[1], 1, false);
  EXPECT_EQ((std::vector<std::wstring>{L"column 1", L"node"}), Events);

  Tree.SetOptions(Tree.Options() | tvk::OptionBit(tvk::aoRowSelect));
  Events.clear();
  Tree.ChangeFocus(top[1], 2, false);
  EXPECT_TRUE(Events.empty());
  EXPECT_EQ(0, Tree.FocusedColumn());  // row selection reads column 0
  // The stored column stayed: it reads again once there are columns and no row selection.
  Tree.Bands.push_back(Band(150, 20, true, {{0, 1, 2}}));
  Tree.Columns = {Column(50, 10), Column(50, 10), Column(50, 10)};
  Tree.SetOptions(Tree.Options() & ~tvk::OptionBit(tvk::aoRowSelect));
  EXPECT_EQ(1, Tree.FocusedColumn());
}

// The events describe the state reached also when the repaint fails.
struct TRaisingTree : TTestTreeList {
  bool IsShowNewItemRow() override { throw tvk::Exception(L"repaint failed"); }
};

TEST(TreeListFocus, EventsFireWhenTheRepaintRaises) {
  TRaisingTree tree;
  tree.Add();
  TdxTreeListNode* b = tree.Add();
  std::vector<TdxTreeListNode*> changed;
  tree.OnChangeNode = [&](tvk::TObject*, TdxTreeListNode*, TdxTreeListNode* node) { changed.push_back(node); };
  EXPECT_THROW(tree.ChangeFocus(b, 0, false), tvk::Exception);
  EXPECT_EQ(b, tree.FocusedNode());
  EXPECT_EQ(std::vector<TdxTreeListNode*>{b}, changed);
}

}  // namespace
}  // namespace treelist_test
