// The node tree: display order, visible numbering, focus and top-row
// bookkeeping through additions, deletions, collapsing and moves.
#include "InspectorTest.h"

namespace inspector_test {
namespace {

using tvk::inaAdd;
using tvk::inaAddChild;
using tvk::inaInsert;

// a (b (c, d), e), f — everything expanded.
struct TreeFixture : InspectorFixture {
  TdxInspectorNode *a = nullptr, *b = nullptr, *c = nullptr, *d = nullptr, *e = nullptr, *f = nullptr;
  void SetUp() override {
    InspectorFixture::SetUp();
    a = Insp->Row(L"a");
    b = Insp->Row(L"b", L"", a);
    c = Insp->Row(L"c", L"", b);
    d = Insp->Row(L"d", L"", b);
    e = Insp->Row(L"e", L"", a);
    f = Insp->Row(L"f");
    Insp->FullExpand();
  }
  std::wstring Order() {
    std::wstring s;
    for (TdxInspectorNode* n = Insp->TopNode(); n; n = Insp->GetNextVisible(n)) s += Insp->Captions[n];
    return s;
  }
};

TEST(InspectorTree, FirstNodeBecomesTopAndFocusedWithoutAChangeEvent) {
  TTestInspector insp;
  int changes = 0;
  insp.OnChangeNode = [&](tvk::TObject*, TdxInspectorNode*, TdxInspectorNode*) { ++changes; };
  TdxInspectorNode* first = insp.Add();
  EXPECT_EQ(first, insp.TopVisibleNode());
  EXPECT_EQ(first, insp.FocusedNode());
  EXPECT_EQ(0, changes);
  EXPECT_EQ(0, insp.TopIndex());
  // A child added later shows its parent collapsed.
  first->AddChild();
  EXPECT_FALSE(first->Expanded());
  EXPECT_EQ(1, insp.GetVisibleCount());
}

TEST_F(TreeFixture, DisplayOrderNumberingAndNavigation) {
  EXPECT_EQ(L"abcdef", Order());
  EXPECT_EQ(6, Insp->GetVisibleCount());
  EXPECT_EQ(3, d->AbsoluteIndex());
  EXPECT_EQ(d, Insp->GetNodeByVisibleIndex(3));
  EXPECT_EQ(nullptr, Insp->GetNodeByVisibleIndex(6));
  EXPECT_EQ(f, Insp->LastNode());
  EXPECT_EQ(d, e->GetPriorNode());
  EXPECT_EQ(b, e->GetPriorParentNode());
  EXPECT_EQ(a, b->GetPriorParentNode());
  EXPECT_EQ(2, c->Level());
  EXPECT_TRUE(d->HasAsParent(a));
  EXPECT_EQ(-1, c->IndexOf(a));  // no children
  EXPECT_EQ(nullptr, a->Items(5));
  EXPECT_TRUE(e->IsLast());
  b->Collapse(false);
  EXPECT_EQ(L"abef", Order());
  EXPECT_EQ(-1, c->AbsoluteIndex());
  EXPECT_EQ(b, a->GetLastNode()->GetPriorNode());
}

TEST_F(TreeFixture, DeletingTheFocusedNodeMovesTheFocusAsItMust) {
  struct Case {
    const char* name;
    TdxInspectorNode* TreeFixture::*focus;
    TdxInspectorNode* TreeFixture::*expected;
  };
  // Previous sibling; parent for a first child; next visible node for the first top-level node.
  const Case cases[] = {{"previous sibling", &TreeFixture::d, &TreeFixture::c},
                        {"parent", &TreeFixture::c, &TreeFixture::b},
                        {"next node", &TreeFixture::a, &TreeFixture::f}};
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    TearDown();
    SetUp();
    Insp->SetFocusedNode(this->*c.focus);
    delete (this->*c.focus);
    EXPECT_EQ(this->*c.expected, Insp->FocusedNode());
  }
}

TEST_F(TreeFixture, DeletingEverythingForgetsTopFocusAndEditor) {
  Insp->SetFocus();
  Insp->SetFocusedNode(c);
  Insp->ClearNodes();
  EXPECT_EQ(0, Insp->Count());
  EXPECT_EQ(nullptr, Insp->FocusedNode());
  EXPECT_EQ(nullptr, Insp->TopVisibleNode());
  EXPECT_EQ(nullptr, Insp->InplaceNode());
  EXPECT_EQ(6, Insp->Deleted);  // children first, every node told
  EXPECT_EQ(0, Insp->LockUpdate());
}

TEST_F(TreeFixture, CollapsingAnAncestorOfTheFocusFocusesIt) {
  Insp->SetFocusedNode(d);
  a->SetExpanded(false);
  EXPECT_EQ(a, Insp->FocusedNode());
}

TEST_F(TreeFixture, RemovingTheLastChildClearsTheExpandedFlag) {
  delete e;
  delete b;
  EXPECT_FALSE(a->HasChildren());
  EXPECT_FALSE(a->Expanded());
  a->AddChild();
  EXPECT_FALSE(a->Expanded());
}

TEST_F(TreeFixture, MoveToEachModeAndTheRefusedMoves) {
  struct Case {
    const char* name;
    TdxInspectorNode* TreeFixture::*node;
    TdxInspectorNode* TreeFixture::*destination;
    tvk::TdxInspectorNodeAttachMode mode;
    const wchar_t* order;
  };
  const Case cases[] = {
      {"add among the destination's siblings", &TreeFixture::c, &TreeFixture::e, inaAdd, L"abdecf"},
      {"add at the top level", &TreeFixture::b, &TreeFixture::f, inaAdd, L"aefbcd"},
      {"insert before", &TreeFixture::f, &TreeFixture::b, inaInsert, L"afbcde"},
      {"as the last child", &TreeFixture::a, &TreeFixture::f, inaAddChild, L"fabcde"},
      {"onto itself with add: the end of its list", &TreeFixture::b, &TreeFixture::b, inaAdd, L"aebcdf"},
      {"onto itself as child", &TreeFixture::b, &TreeFixture::b, inaAddChild, L"abcdef"},
      {"onto itself before", &TreeFixture::b, &TreeFixture::b, inaInsert, L"abcdef"},
      {"onto a descendant", &TreeFixture::a, &TreeFixture::d, inaAddChild, L"abcdef"},
  };
  for (const Case& k : cases) {
    SCOPED_TRACE(k.name);
    TearDown();
    SetUp();
    TdxInspectorNode* node = this->*k.node;
    node->MoveTo(this->*k.destination, k.mode);
    if (!node->Expanded() && node->HasChildren()) node->Expand(true);
    EXPECT_EQ(k.order, Order());
    EXPECT_EQ(0, Insp->LockUpdate());
  }
  // A move focuses the moved node without a change event.
  int changes = 0;
  Insp->OnChangeNode = [&](tvk::TObject*, TdxInspectorNode*, TdxInspectorNode*) { ++changes; };
  c->MoveTo(f, inaAddChild);
  EXPECT_EQ(c, Insp->FocusedNode());
  EXPECT_TRUE(c->IsVisible());
  EXPECT_EQ(0, changes);
  // An emptied parent loses its expanded flag.
  d->MoveTo(f, inaAdd);
  EXPECT_FALSE(b->Expanded());
}

TEST_F(TreeFixture, FocusedNumberClampsAndFiresTheClickWheneverItGotThatFar) {
  int clicks = 0, changes = 0;
  Insp->OnClick = [&](tvk::TObject*) { ++clicks; };
  Insp->OnChangeNode = [&](tvk::TObject*, TdxInspectorNode* oldNode, TdxInspectorNode* node) {
    ++changes;
    EXPECT_NE(oldNode, node);
  };
  Insp->SetFocusedNumber(100);
  EXPECT_EQ(f, Insp->FocusedNode());
  EXPECT_EQ(1, clicks);
  EXPECT_EQ(1, changes);
  Insp->SetFocusedNumber(5);  // the same number: nothing
  EXPECT_EQ(1, clicks);
  Insp->SetFocusedNumber(7);  // clamped to the focused one: the click only
  EXPECT_EQ(2, clicks);
  EXPECT_EQ(1, changes);
}

TEST_F(TreeFixture, MakeNodeVisibleExpandsAncestorsAndScrolls) {
  Insp->FullCollapse();
  SetRowsHigh(2);
  Insp->MakeNodeVisible(d);
  EXPECT_TRUE(a->Expanded());
  EXPECT_TRUE(b->Expanded());
  const int number = d->AbsoluteIndex();
  EXPECT_LE(Insp->TopIndex(), number);
  EXPECT_GE(Insp->TopIndex() + Insp->RowCount() - 1, number);
  Insp->MakeNodeVisible(a);
  EXPECT_EQ(0, Insp->TopIndex());
}

}  // namespace
}  // namespace inspector_test
