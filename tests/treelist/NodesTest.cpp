// Nodes: structure, expansion, moves, comparisons, and the flat list kept
// against random edits.
#include <cstdint>
#include <random>

#include "Maths.h"
#include "TreeListTest.h"

namespace treelist_test {
namespace {

using tvk::TdxTreeListNode;

struct NodesFixture : ::testing::Test {
  TTestTreeList Tree;
  std::vector<std::wstring> Events;

  void Record() {
    Tree.OnExpanding = [this](tvk::TObject*, TdxTreeListNode*, bool&) { Events.push_back(L"expanding"); };
    Tree.OnExpanded = [this](tvk::TObject*, TdxTreeListNode*) { Events.push_back(L"expanded"); };
    Tree.OnCollapsing = [this](tvk::TObject*, TdxTreeListNode*, bool&) { Events.push_back(L"collapsing"); };
    Tree.OnCollapsed = [this](tvk::TObject*, TdxTreeListNode*) { Events.push_back(L"collapsed"); };
  }
};

TEST(TreeListComparers, AnswerTheOrderOfAddressesHoweverFarApart) {
  // Crafted addresses: the comparers never dereference what they compare.
  constexpr std::uintptr_t kHigh = sizeof(void*) == 8 ? std::uintptr_t(0x100000020ull) : std::uintptr_t(0x90000010u);
  struct TCase {
    std::uintptr_t A, B;
    int Expected;
  };
  const TCase cases[] = {{0x10, kHigh, -1}, {kHigh, 0x10, 1}, {kHigh, kHigh, 0}, {0x10, 0x20, -1},
                         {0x7FFFFFF0, 0x80000010, -1}};
  for (const TCase& c : cases) {
    const void* a = reinterpret_cast<const void*>(c.A);
    const void* b = reinterpret_cast<const void*>(c.B);
    EXPECT_EQ(c.Expected, tvk::ComparePointers(a, b)) << std::hex << c.A << " " << c.B;
    struct {
      const void* First;
      int Payload;
    } r1{a, 1}, r2{b, 2};
    EXPECT_EQ(c.Expected, tvk::CompareFirstPointers(&r1, &r2)) << std::hex << c.A << " " << c.B;
  }
}

TEST(TreeListNodes, NilOwnerRaisesTheResourceText) {
  try {
    TdxTreeListNode node(nullptr);
    FAIL() << "no error";
  } catch (const tvk::EInvaliddxTreeListOperation& e) {
    EXPECT_EQ(L"Invalid Owner TdxTreeListNode", e.Message());
  }
}

TEST_F(NodesFixture, FreeingTheOnlyChildClearsTheParentsExpansionAndChildList) {
  TdxTreeListNode* parent = Tree.Add();
  TdxTreeListNode* child = parent->AddChild();
  parent->SetExpanded(true);
  ASSERT_TRUE(parent->Expanded());
  delete child;
  EXPECT_FALSE(parent->Expanded());
  EXPECT_FALSE(parent->HasChildren());
  EXPECT_EQ(0, parent->Count());
  EXPECT_EQ(nullptr, parent->GetFirstChild());
  EXPECT_EQ(0, parent->Index());
  // HasChildren := False with children leaves it set.
  parent->AddChild();
  parent->SetHasChildren(false);
  EXPECT_TRUE(parent->HasChildren());
}

TEST_F(NodesFixture, ExpandingWithoutChildrenFiresNothingAndRefusalsKeepTheNode) {
  Record();
  TdxTreeListNode* leaf = Tree.Add();
  leaf->SetExpanded(true);
  EXPECT_FALSE(leaf->Expanded());
  EXPECT_TRUE(Events.empty());

  TdxTreeListNode* parent = Tree.Add();
  parent->AddChild();
  Tree.OnExpanding = [this](tvk::TObject*, TdxTreeListNode*, bool& allow) {
    Events.push_back(L"refused");
    allow = false;
  };
  parent->SetExpanded(true);
  EXPECT_FALSE(parent->Expanded());
  EXPECT_EQ(std::vector<std::wstring>{L"refused"}, Events);
}

TEST_F(NodesFixture, CollapsingMovesFocusAndTopRowToTheCollapsedNode) {
  Record();
  TdxTreeListNode* parent = Tree.Add();
  TdxTreeListNode* child = parent->AddChild();
  TdxTreeListNode* grandchild = child->AddChild();
  Tree.FullExpand();
  Tree.SetFocusedNode(grandchild);
  Tree.SetTopVisibleNode(child);
  Events.clear();
  parent->SetExpanded(false);
  EXPECT_EQ(parent, Tree.FocusedNode());
  EXPECT_EQ(parent, Tree.TopVisibleNode());
  EXPECT_EQ((std::vector<std::wstring>{L"collapsing", L"collapsed"}), Events);
  EXPECT_EQ(1, Tree.AbsoluteCount());
}

TEST_F(NodesFixture, MovesAndTheirRefusals) {
  TdxTreeListNode* parent = Tree.Add();
  TdxTreeListNode* a = parent->AddChild();
  TdxTreeListNode* b = parent->AddChild();
  TdxTreeListNode* c = parent->AddChild();
  TdxTreeListNode* other = Tree.Add();

  // The destination's index is taken after the node left: a lands right before c.
  a->MoveTo(c, tvk::natlInsert);
  EXPECT_EQ(b, parent->GetItem(0));
  EXPECT_EQ(a, parent->GetItem(1));
  EXPECT_EQ(c, parent->GetItem(2));
  EXPECT_EQ(a, Tree.FocusedNode());

  struct TCase {
    TdxTreeListNode* Node;
    TdxTreeListNode* Destination;
    tvk::TdxTreeListNodeAttachMode Mode;
    bool Expected;
  };
  const TCase cases[] = {
      {parent, nullptr, tvk::natlAdd, false},          {parent, parent, tvk::natlAddChild, false},
      {parent, parent, tvk::natlAddChildFirst, false}, {parent, parent, tvk::natlInsert, false},
      {parent, a, tvk::natlAdd, false},                {parent, a, tvk::natlAddChild, false},
      {parent, parent, tvk::natlAdd, true},            {a, other, tvk::natlAddChild, true},
      {a, parent, tvk::natlInsert, true},
  };
  for (const TCase& t : cases) EXPECT_EQ(t.Expected, t.Node->CanMove(t.Destination, t.Mode));

  // Into another node's children: the destination gets children.
  c->MoveTo(other, tvk::natlAddChildFirst);
  EXPECT_EQ(other, c->Parent());
  EXPECT_TRUE(other->HasChildren());
  // Onto itself with natlAdd: the node goes to the top level, at the end.
  a->MoveTo(a, tvk::natlAdd);
  EXPECT_EQ(nullptr, a->Parent());
  EXPECT_EQ(a, Tree.GetItem(Tree.Count() - 1));
  // A refused move changes nothing.
  parent->MoveTo(b, tvk::natlAddChild);
  EXPECT_EQ(nullptr, parent->Parent());
}

TEST_F(NodesFixture, WalksOverAllNodesAndOverVisibleNodes) {
  TdxTreeListNode* a = Tree.Add();
  TdxTreeListNode* a1 = a->AddChild();
  TdxTreeListNode* b = Tree.Add();
  // a is collapsed: GetNext enters it, GetNextNode does not.
  EXPECT_EQ(a1, a->GetNext());
  EXPECT_EQ(b, a1->GetNext());
  EXPECT_EQ(b, a->GetNextNode());
  EXPECT_EQ(a, b->GetPriorNode());
  EXPECT_EQ(a1, b->GetPrev());
  EXPECT_EQ(nullptr, b->GetNext());
  a->SetExpanded(true);
  EXPECT_EQ(a1, a->GetNextNode());
  EXPECT_EQ(a1, b->GetPriorNode());
}

TEST_F(NodesFixture, PositionsOrderParentsFirstAndNilLast) {
  TdxTreeListNode* a = Tree.Add();
  TdxTreeListNode* a1 = a->AddChild();
  TdxTreeListNode* a11 = a1->AddChild();
  TdxTreeListNode* b = Tree.Add();
  struct TCase {
    TdxTreeListNode* A;
    TdxTreeListNode* B;
    int Sign;
  };
  const TCase cases[] = {{a, a11, -1}, {a11, a, 1}, {a11, b, -1}, {b, a1, 1}, {a, a, 0},
                         {nullptr, a, 1}, {a, nullptr, -1}, {nullptr, nullptr, 0}};
  for (const TCase& c : cases) {
    int r = tvk::CompareNodePositions(c.A, c.B);
    EXPECT_EQ(c.Sign, (r > 0) - (r < 0));
  }
}

TEST_F(NodesFixture, SortComparersAreTotal) {
  Tree.Columns = {TColumn{}, TColumn{}};
  TdxTreeListNode* n1 = Tree.Add();
  TdxTreeListNode* n2 = Tree.Add();
  n1->SetString(0, L"abc");
  n2->SetString(0, L"ABC");
  tvk::TNodeVariant k1{n1, tvk::Variant(L"x10"), false, nullptr};
  tvk::TNodeVariant k2{n2, tvk::Variant(L"x9"), false, nullptr};
  // Digit runs compare by value; descending turns the order round.
  EXPECT_GT(tvk::CompareSortItems(&k1, &k2), 0);
  k1.Desc = true;
  EXPECT_LT(tvk::CompareSortItems(&k1, &k2), 0);
  // Null sorts first.
  k1 = tvk::TNodeVariant{n1, tvk::Null(), false, nullptr};
  EXPECT_LT(tvk::CompareSortItems(&k1, &k2), 0);
  // Equal values and texts that differ only in ASCII case: the address decides.
  k1 = tvk::TNodeVariant{n1, tvk::Variant(L"same"), false, nullptr};
  k2 = tvk::TNodeVariant{n2, tvk::Variant(L"same"), false, nullptr};
  int forward = tvk::CompareSortItems(&k1, &k2);
  EXPECT_NE(0, forward);
  EXPECT_EQ(-forward, tvk::CompareSortItems(&k2, &k1));
  EXPECT_EQ(0, tvk::CompareSortItems(&k1, &k1));
  // Under the ANSI rule, strings compare case-sensitively by the locale.
  Tree.SetOptionsEx(Tree.OptionsEx() | tvk::OptionBit(tvk::aoAnsiSort));
  k1.Value = tvk::Variant(L"a");
  k2.Value = tvk::Variant(L"B");
  EXPECT_LT(tvk::CompareAnsiSortItems(&k1, &k2), 0);
  EXPECT_GT(tvk::CompareAnsiSortItems(&k2, &k1), 0);
  // OnCompare decides alone when assigned.
  Tree.OnCompare = [](tvk::TObject*, TdxTreeListNode*, TdxTreeListNode*, int& compare) { compare = 7; };
  EXPECT_EQ(7, tvk::CompareByOnCompare(&k1, &k2));
}

TEST_F(NodesFixture, OneLayoutRefreshPerOuterUpdate) {
  Tree.ResetListStats();
  Tree.BeginUpdate();
  Tree.BeginUpdate();
  TdxTreeListNode* a = Tree.Add();
  a->AddChild();
  a->AddChild();
  a->Expand(true);
  Tree.EndUpdate();
  EXPECT_EQ(0, Tree.ListStats().LayoutRefreshes);
  Tree.EndUpdate();
  EXPECT_EQ(1, Tree.ListStats().LayoutRefreshes);
  EXPECT_EQ(3, Tree.AbsoluteCount());
  Tree.FullCollapse();
  EXPECT_EQ(2, Tree.ListStats().LayoutRefreshes);
  EXPECT_EQ(1, Tree.AbsoluteCount());
}

// The visible nodes as a walk over the structure finds them.
std::vector<TdxTreeListNode*> WalkVisible(TTestTreeList& tree) {
  std::vector<TdxTreeListNode*> result;
  for (TdxTreeListNode* n = tree.TopNode(); n; n = n->GetNext())
    if (n->IsVisible()) result.push_back(n);
  return result;
}

TEST_F(NodesFixture, RandomEditsKeepTheFlatListAndPositionsRight) {
  std::mt19937 random(50);
  std::vector<TdxTreeListNode*> all;
  auto pick = [&]() -> TdxTreeListNode* {
    return all.empty() ? nullptr : all[std::uniform_int_distribution<std::size_t>(0, all.size() - 1)(random)];
  };
  auto forget = [&](TdxTreeListNode* gone) {
    std::erase_if(all, [&](TdxTreeListNode* n) { return n == gone || n->HasAsParent(gone); });
  };
  for (int step = 0; step < 600; ++step) {
    int action = std::uniform_int_distribution<int>(0, 9)(random);
    TdxTreeListNode* n = pick();
    bool locked = step % 97 == 0;
    if (locked) Tree.BeginUpdate();
    if (!n || action <= 3) {
      all.push_back(n && action < 3 ? n->AddChild() : Tree.Insert(n && !n->Parent() ? n : nullptr));
    } else if (action == 4) {
      forget(n);
      delete n;
    } else if (action == 5) {
      n->MoveTo(pick(), tvk::TdxTreeListNodeAttachMode(std::uniform_int_distribution<int>(0, 4)(random)));
    } else if (action <= 7) {
      n->Expand(action == 7);
    } else {
      n->Collapse(action == 9);
    }
    if (locked) Tree.EndUpdate();

    std::vector<TdxTreeListNode*> expected = WalkVisible(Tree);
    ASSERT_EQ(int(expected.size()), Tree.AbsoluteCount()) << "step " << step;
    for (std::size_t i = 0; i < expected.size(); ++i) {
      ASSERT_EQ(int(i), Tree.GetAbsoluteIndex(expected[i])) << "step " << step;
      ASSERT_EQ(expected[i], Tree.GetAbsoluteNode(int(i))) << "step " << step;
      if (i > 0) {
        ASSERT_LT(tvk::CompareNodePositions(expected[i - 1], expected[i]), 0) << "step " << step;
      }
    }
  }
  EXPECT_TRUE(Tree.IsFlatListValid());
}

}  // namespace
}  // namespace treelist_test
