// Focus navigation, scrolling into view, the visible column order and text export.
#include <filesystem>
#include <fstream>
#include <sstream>

#include "Clipbrd.h"
#include "Files.h"
#include "TreeListWindow.h"

namespace treelist_test {
namespace {

using tvk::TdxTreeListNode;

// a (b (b1, b2), c), d: b expanded, nothing else.
struct TNavTree : TTreeWindow {
  TdxTreeListNode *a, *b, *b1, *b2, *c, *d;
  TNavTree() : TTreeWindow(300, 200) {
    AddBand({{60, 60}});
    a = Tree->Add();
    b = a->AddChild();
    b1 = b->AddChild();
    b2 = b->AddChild();
    c = a->AddChild();
    d = Tree->Add();
    b->SetExpanded(true);
    Tree->LayoutChanged();
  }
};

TEST(TreeListNavigation, GotoWalksVisibleNodesOrHiddenOnes) {
  TNavTree t;
  t->SetFocusedNode(t.d);
  EXPECT_TRUE(t->IsEOF());
  EXPECT_FALSE(t->GotoNext(false));
  EXPECT_EQ(t.d, t->FocusedNode());
  t->SetFocusedNode(t.a);
  EXPECT_TRUE(t->IsBOF());
  EXPECT_TRUE(t->GotoNext(false));
  EXPECT_EQ(t.d, t->FocusedNode());  // a is collapsed
  t->SetFocusedNode(t.a);
  EXPECT_TRUE(t->GotoPrev(false) == false);
  EXPECT_TRUE(t->GotoNext(true));
  EXPECT_EQ(t.b, t->FocusedNode());
  EXPECT_TRUE(t.a->Expanded());  // the focused node is made visible
  t->GotoLast(true);
  EXPECT_EQ(t.d, t->FocusedNode());
  EXPECT_TRUE(t->GotoPrev(false));
  EXPECT_EQ(t.c, t->FocusedNode());
  t->GotoFirst();
  EXPECT_EQ(t.a, t->FocusedNode());
  EXPECT_EQ(t.d, t->LastNode());
}

TEST(TreeListNavigation, ASingleSelectionFollowsTheFocusSeveralStay) {
  TNavTree t;
  t->SetOptions(t->Options() | tvk::OptionBit(tvk::aoMultiSelect));
  t->KeepSelection = true;
  t->SetFocusedNode(t.a);
  t.a->SetSelected(true);
  t->GotoNext(false);
  EXPECT_EQ((std::set<const TdxTreeListNode*>{t.d}), t->SelectedNodes);
  t.a->SetSelected(true);
  t->GotoPrev(false);
  EXPECT_EQ(2u, t->SelectedNodes.size());
}

TEST(TreeListNavigation, MakeNodeVisibleExpandsItsParentsAndScrolls) {
  TNavTree t;
  t->SetTopIndex(0);
  // b1 sits under the collapsed a; after a opens it is within the page, and it still counts as scrolled.
  int expandings = 0;
  t->OnExpanding = [&](tvk::TObject*, TdxTreeListNode*, bool&) { ++expandings; };
  t->MakeNodeVisible(t.b1);
  EXPECT_TRUE(t.a->Expanded());
  EXPECT_EQ(1, expandings);
  EXPECT_TRUE(t->IsNodeVisible(t.b1));
  EXPECT_EQ(0, t->LockUpdate());
  // A node below the page becomes the last row.
  tvk::TdxTreeListNode* parent = t->Add();
  for (int i = 0; i < 40; ++i) parent->AddChild();
  tvk::TdxTreeListNode* deep = parent->GetLastChild();
  t->MakeNodeVisible(deep);
  int rows = t->GetVisibleRowCapacity();
  EXPECT_EQ(t->GetAbsoluteIndex(deep) - rows + 1, t->TopIndex());
  // An ancestor that refuses leaves the node hidden.
  tvk::TdxTreeListNode* other = t->Add()->AddChild();
  t->OnExpanding = [&](tvk::TObject*, TdxTreeListNode*, bool& allow) { allow = false; };
  t->MakeNodeVisible(other);
  EXPECT_FALSE(t->IsNodeVisible(other));
}

TEST(TreeListNavigation, VisibleColumnOrderAndScrollingColumnsIntoView) {
  TTreeWindow w(200, 200);
  w->PanelRows = 2;
  w.AddBand({{50, 50}, {100}});  // columns 0, 1 / 2
  w.AddBand({{300}});            // column 3
  w->LayoutChanged();
  // Row 0 of every band, then row 1 of the bands that have one.
  const int order[] = {0, 1, 3, 2};
  for (int i = 0; i < 4; ++i) EXPECT_EQ(order[i], w->GetFocusedAbsoluteIndex(i));
  EXPECT_EQ(-1, w->GetFocusedAbsoluteIndex(4));
  EXPECT_EQ(3, w->GetFocusedVisibleIndex(2));
  EXPECT_EQ(0, w->GetFocusedVisibleIndex(9));  // not among the visible columns
  // A column wider than the area is aligned at its left edge.
  w->MakeColumnVisible(3);
  EXPECT_EQ(100, w->LeftCoord());
  w->MakeColumnVisible(0);
  EXPECT_EQ(0, w->LeftCoord());
  w->MakeBandVisible(1);
  EXPECT_EQ(100, w->LeftCoord());
}

std::wstring Joined(const tvk::TStrings& list) { return list.Text(); }

TEST(TreeListExport, RowsAsTabbedLinesWithAnEmptyLineAfterTheHeader) {
  TNavTree t;
  for (auto [node, first, second] : {std::tuple{t.a, L"a", L"1"}, std::tuple{t.d, L"d", L"4"}}) {
    node->SetString(0, first);
    node->SetString(1, second);
  }
  const std::wstring all = L"C0\tC1\r\n\r\na\t1\r\nd\t4\r\n";
  tvk::TStringList list;
  t->SaveAllToStrings(list);
  EXPECT_EQ(all, Joined(list));

  // Without multi-select: the focused row; without a focused node only the header.
  t->SetFocusedNode(t.d);
  list.Clear();
  t->SaveSelectedToStrings(list);
  EXPECT_EQ(L"C0\tC1\r\n\r\nd\t4\r\n", Joined(list));
  // With multi-select: the selected rows in tree order, hidden or not.
  t->SetOptions(t->Options() | tvk::OptionBit(tvk::aoMultiSelect));
  t->KeepSelection = true;
  t.d->SetSelected(true);
  t.b1->SetSelected(true);
  t.b1->SetString(0, L"b1");
  list.Clear();
  t->SaveSelectedToStrings(list);
  EXPECT_EQ(L"C0\tC1\r\n\r\nb1\t\r\nd\t4\r\n", Joined(list));

  wchar_t folder[MAX_PATH];
  GetTempPathW(MAX_PATH, folder);
  std::wstring file = std::wstring(folder) + L"treelist_export.txt";
  t->SaveAllToTextFile(file);
  std::ifstream in(std::filesystem::path(file), std::ios::binary);
  std::stringstream bytes;
  bytes << in.rdbuf();
  in.close();
  EXPECT_EQ("C0\tC1\r\n\r\na\t1\r\nd\t4\r\n", bytes.str());
  std::vector<std::wstring> lines = tvk::LoadTextLines(file);
  EXPECT_EQ(4u, lines.size());
  DeleteFileW(file.c_str());
  EXPECT_THROW(t->SaveAllToTextFile(std::wstring(folder) + L"no such folder\\x.txt"), tvk::EStreamError);

  t->CopyAllToClipboard();
  EXPECT_EQ(all, tvk::Clipboard().AsText());
}

TEST(TreeListExport, WithoutFocusOnlyTheHeader) {
  TTreeWindow w(300, 200);
  w.AddBand({{60}});
  tvk::TStringList list;
  w->SaveSelectedToStrings(list);
  EXPECT_EQ(1, list.Count());
  EXPECT_EQ(L"C0\r\n", list[0]);
}

}  // namespace
}  // namespace treelist_test
