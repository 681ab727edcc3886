// The published tree list's selection: identity order, the sibling rule,
// ranges, clearing and deleting, and the repaint of a cleared selection.
#include <algorithm>
#include <functional>

#include "PublishedTreeList.h"

namespace treelist_test {
namespace {

using tvk::TdxTreeListNode;

// A form with three parents of four children each, multi-selection on.
struct TSelectionForm : TTreeForm {
  std::vector<TdxTreeListNode*> Parents;
  TSelectionForm() : TTreeForm(1) {
    Tree->SetOptions(Tree->Options() | tvk::OptionBit(tvk::aoMultiSelect));
    for (int p = 0; p < 3; ++p) {
      Parents.push_back(AddNode({L"P" + std::to_wstring(p)}));
      for (int c = 0; c < 4; ++c) AddNode({L"C" + std::to_wstring(p) + std::to_wstring(c)}, Parents.back());
    }
  }
  std::vector<TdxTreeListNode*> Selection() const {
    std::vector<TdxTreeListNode*> nodes;
    for (int i = 0; i < Tree->SelectedCount(); ++i) nodes.push_back(Tree->SelectedNodes(i));
    return nodes;
  }
};

TEST(TreeListSelection, KeepsTheSelectedNodesInIdentityOrder) {
  TSelectionForm form;
  std::vector<TdxTreeListNode*> nodes{form.Parents[2], form.Parents[0], form.Parents[1]};
  for (TdxTreeListNode* node : nodes) node->SetSelected(true);
  std::sort(nodes.begin(), nodes.end(), std::less<>());
  EXPECT_EQ(nodes, form.Selection());
  EXPECT_TRUE(form.Parents[1]->Selected());
  EXPECT_EQ(nullptr, form.Tree->SelectedNodes(3));
  form.Parents[1]->SetSelected(false);
  EXPECT_EQ(2, form.Tree->SelectedCount());
  EXPECT_FALSE(form.Tree->IsNodeSelected(form.Parents[1]));
}

TEST(TreeListSelection, WithoutMultiSelectNothingIsSelected) {
  TSelectionForm form;
  form.Tree->SetOptions(form.Tree->Options() & ~tvk::OptionBit(tvk::aoMultiSelect));
  form.Tree->SelectNode(form.Parents[0], true);
  form.Tree->SelectAll();
  EXPECT_EQ(0, form.Tree->SelectedCount());
}

TEST(TreeListSelection, OnlySiblingsJoinWithoutExtendedMultiSelect) {
  TSelectionForm form;
  form.Tree->OnCanNodeSelected = [](tvk::TObject*, TdxTreeListNode*, bool& allow) { allow = true; };
  TdxTreeListNode* child = form.Parents[0]->GetItem(1);
  child->SetSelected(true);
  form.Parents[0]->GetItem(2)->SetSelected(true);
  form.Parents[1]->GetItem(0)->SetSelected(true);  // another parent: refused although the event allows it
  form.Parents[2]->SetSelected(true);
  EXPECT_EQ(2, form.Tree->SelectedCount());
  form.Tree->SetOptions(form.Tree->Options() | tvk::OptionBit(tvk::aoExtMultiSelect));
  EXPECT_EQ(1, form.Tree->SelectedCount());  // a change of options keeps only the focused node
  child->SetSelected(true);
  form.Parents[2]->SetSelected(true);
  EXPECT_EQ(3, form.Tree->SelectedCount());
  // The event can still refuse.
  form.Tree->OnCanNodeSelected = [](tvk::TObject*, TdxTreeListNode*, bool& allow) { allow = false; };
  form.Parents[1]->SetSelected(true);
  EXPECT_EQ(3, form.Tree->SelectedCount());
}

TEST(TreeListSelection, SelectAllFollowsTheFocusOrTakesEverything) {
  TSelectionForm form;
  form.Tree->FullExpand();
  form.Tree->SetFocusedNode(form.Parents[1]->GetItem(2));
  form.Tree->SelectAll();
  EXPECT_EQ(4, form.Tree->SelectedCount());
  for (TdxTreeListNode* node : form.Selection()) EXPECT_EQ(form.Parents[1], node->Parent());

  form.Tree->SetFocusedNode(form.Parents[0]);
  form.Tree->SelectAll();
  EXPECT_EQ(3, form.Tree->SelectedCount());

  form.Tree->FullCollapse();
  form.Tree->SetOptions(form.Tree->Options() | tvk::OptionBit(tvk::aoExtMultiSelect));
  form.Tree->SelectAll();
  EXPECT_EQ(15, form.Tree->SelectedCount());  // expanded and taken to the last node
  EXPECT_TRUE(form.Parents[2]->Expanded());
}

TEST(TreeListSelection, SelectRangeMergesWithTheSelection) {
  TSelectionForm form;
  form.Tree->SetOptions(form.Tree->Options() | tvk::OptionBit(tvk::aoExtMultiSelect));
  form.Tree->ClearSelection();  // the focused node, selected again by the option change
  form.Tree->FullExpand();
  TdxTreeListNode* first = form.Parents[0]->GetItem(3);
  TdxTreeListNode* last = form.Parents[1]->GetItem(1);
  form.Parents[2]->SetSelected(true);
  first->SetSelected(true);
  std::vector<TdxTreeListNode*> announced;
  form.Tree->OnSelectionChanged = [&](tvk::TObject*, TdxTreeListNode* node) { announced.push_back(node); };
  form.Tree->SelectRange(last, first);  // either order
  std::vector<TdxTreeListNode*> expected{first, form.Parents[1], form.Parents[1]->GetItem(0), last, form.Parents[2]};
  std::sort(expected.begin(), expected.end(), std::less<>());
  EXPECT_EQ(expected, form.Selection());
  std::reverse(expected.begin(), expected.end());
  EXPECT_EQ(expected, announced);  // announced from the end
}

TEST(TreeListSelection, ClearingRepaintsRowsOrTheWholeControlAboveTen) {
  struct Case {
    int Selected;
    bool WholeControl;
  };
  for (Case c : {Case{10, false}, Case{11, true}}) {
    TSelectionForm form;
    form.Tree->SetOptions(form.Tree->Options() | tvk::OptionBit(tvk::aoExtMultiSelect));
    form.Tree->FullExpand();
    for (int i = 0; i < c.Selected; ++i) form.Tree->GetAbsoluteNode(i)->SetSelected(true);
    std::vector<TdxTreeListNode*> announced;
    form.Tree->OnSelectionChanged = [&](tvk::TObject*, TdxTreeListNode* node) { announced.push_back(node); };
    std::vector<TdxTreeListNode*> selected = form.Selection();
    form.Tree->Invalidations = 0;
    form.Tree->ClearSelection();
    EXPECT_EQ(c.WholeControl ? 1 : 0, form.Tree->Invalidations) << c.Selected;
    EXPECT_EQ(0, form.Tree->SelectedCount());
    std::reverse(selected.begin(), selected.end());
    EXPECT_EQ(selected, announced);  // from the end of the list
  }
}

TEST(TreeListSelection, DeleteSelectionFreesTheSelectedNodes) {
  TSelectionForm form;
  form.Parents[0]->SetSelected(true);
  form.Parents[2]->SetSelected(true);
  form.Tree->DeleteSelection();
  EXPECT_EQ(0, form.Tree->SelectedCount());
  ASSERT_EQ(1, form.Tree->Count());
  EXPECT_EQ(form.Parents[1], form.Tree->GetItem(0));
}

TEST(TreeListSelection, AFreedNodeLeavesTheSelectionWhateverTheOptions) {
  TSelectionForm form;
  form.Parents[0]->SetSelected(true);
  form.Parents[1]->SetSelected(true);
  // Switched off while loading, when the option change leaves the selection alone.
  form.Tree->SetComponentState(tvk::csLoading, true);
  form.Tree->SetOptions(form.Tree->Options() & ~tvk::OptionBit(tvk::aoMultiSelect));
  form.Tree->SetComponentState(tvk::csLoading, false);
  delete form.Parents[0];
  EXPECT_EQ(1, form.Tree->SelectedCount());
  EXPECT_EQ(form.Parents[1], form.Tree->SelectedNodes(0));
}

TEST(TreeListSelection, TheIndicatorShowsFocusAndSelection) {
  TSelectionForm form;
  form.Tree->SetFocusedNode(form.Parents[0]);
  EXPECT_EQ(tvk::ikMultiArrow, form.Tree->GetRowIndicatorKind(form.Parents[0], true));
  EXPECT_EQ(tvk::ikArrow, form.Tree->GetRowIndicatorKind(form.Parents[0], false));
  EXPECT_EQ(tvk::ikMultiDot, form.Tree->GetRowIndicatorKind(form.Parents[1], true));
  EXPECT_EQ(tvk::ikNone, form.Tree->GetRowIndicatorKind(form.Parents[1], false));
}

}  // namespace
}  // namespace treelist_test
