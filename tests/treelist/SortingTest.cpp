// The sort engine of sibling lists and the node-data map.
#include "Forms.h"
#include "PublishedTreeList.h"
#include "TreeListHooks.h"

namespace treelist_test {
namespace {

using tvk::TdxTreeListNode;

std::vector<std::wstring> Texts(const tvk::TdxTreeListNodeList& nodes, int column = 0) {
  std::vector<std::wstring> texts;
  for (const TdxTreeListNode* node : nodes) texts.push_back(node->GetString(column));
  return texts;
}

tvk::TdxTreeListNodeList TopLevel(tvk::TdxTreeList& tree) {
  tvk::TdxTreeListNodeList nodes;
  for (int i = 0; i < tree.Count(); ++i) nodes.push_back(tree.GetItem(i));
  return nodes;
}

tvk::TdxTreeListNodeList Children(const TdxTreeListNode* node) {
  tvk::TdxTreeListNodeList nodes;
  node->AddNodesToList(nodes);
  return nodes;
}

TEST(TreeListSorting, LevelMinusOneSortsEveryListAndALevelOnlyItsOwn) {
  TTreeForm form(1);
  TdxTreeListNode* b = form.AddNode({L"b"});
  form.AddNode({L"a"});
  for (const wchar_t* text : {L"z", L"x", L"y"}) form.AddNode({text}, b);  // collapsed children
  form.Tree->SortNodes(1, 0, false);
  EXPECT_EQ((std::vector<std::wstring>{L"b", L"a"}), Texts(TopLevel(*form.Tree)));
  EXPECT_EQ((std::vector<std::wstring>{L"x", L"y", L"z"}), Texts(Children(b)));
  form.Tree->SortNodes(-1, 0, true);
  EXPECT_EQ((std::vector<std::wstring>{L"b", L"a"}), Texts(TopLevel(*form.Tree)));
  EXPECT_EQ((std::vector<std::wstring>{L"z", L"y", L"x"}), Texts(Children(b)));
  form.Tree->SortNodes(-1, 0, false);
  EXPECT_EQ((std::vector<std::wstring>{L"a", L"b"}), Texts(TopLevel(*form.Tree)));
  EXPECT_EQ(0, form.Tree->GetAbsoluteIndex(form.Tree->GetItem(0)));  // the visible list follows
}

TEST(TreeListSorting, TheComparerIsTheEventTheLocaleOrTheDefault) {
  struct Case {
    const char* What;
    bool Event, Ansi;
    std::vector<std::wstring> Expected;
  };
  const Case cases[] = {
      {"default: numbers by value, letters case-blind", false, false, {L"a9", L"a10", L"B", L"c"}},
      {"the event decides (by length, then reversed)", true, false, {L"c", L"B", L"a9", L"a10"}},
      {"the locale's order", false, true, {L"a10", L"a9", L"B", L"c"}},
  };
  for (const Case& c : cases) {
    TTreeForm form(1);
    for (const wchar_t* text : {L"a9", L"c", L"a10", L"B"}) form.AddNode({text});
    if (c.Ansi) form.Tree->SetOptionsEx(form.Tree->OptionsEx() | tvk::OptionBit(tvk::aoAnsiSort));
    if (c.Event)
      form.Tree->OnCompare = [](tvk::TObject*, TdxTreeListNode* n1, TdxTreeListNode* n2, int& compare) {
        std::wstring a = n1->GetString(0), b = n2->GetString(0);
        compare = a.size() != b.size() ? int(a.size()) - int(b.size()) : (a < b ? 1 : a > b ? -1 : 0);
      };
    tvk::TreeListSortStats() = {};
    form.Tree->SortNodes(0, 0, false);
    EXPECT_EQ(c.Expected, Texts(TopLevel(*form.Tree))) << c.What;
    EXPECT_EQ(1, tvk::TreeListSortStats().ListsSorted);
  }
}

TEST(TreeListSorting, SeveralSortedColumnsChainTheirKeys) {
  TTreeForm form(2);
  form.Tree->SetOptionsEx(form.Tree->OptionsEx() | tvk::OptionBit(tvk::aoMultiSort));
  for (auto [x, y] : {std::pair{L"1", L"b"}, {L"2", L"a"}, {L"1", L"a"}, {L"2", L"b"}}) form.AddNode({x, y});
  form.Tree->Columns(0)->SetSorted(tvk::csUp);
  form.Tree->Columns(1)->SetSorted(tvk::csDown);
  form.Tree->AddSortedColumn(form.Tree->Columns(0));
  form.Tree->AddSortedColumn(form.Tree->Columns(1));
  form.Tree->SortNodes(0, 1, false);  // the sorted columns replace the column asked for
  EXPECT_EQ((std::vector<std::wstring>{L"1", L"1", L"2", L"2"}), Texts(TopLevel(*form.Tree), 0));
  EXPECT_EQ((std::vector<std::wstring>{L"b", L"a", L"b", L"a"}), Texts(TopLevel(*form.Tree), 1));
}

TEST(TreeListSorting, TheHourglassShowsDuringASortAndComesBackAfterAnError) {
  TTreeForm form(1);
  for (const wchar_t* text : {L"c", L"a", L"b"}) form.AddNode({text});
  form.Tree->SetOptionsEx(form.Tree->OptionsEx() | tvk::OptionBit(tvk::aoShowHourGlass));
  tvk::Screen().SetCursor(tvk::crHandPoint);
  tvk::TCursor during = tvk::crDefault;
  int before = 0;
  form.Tree->OnBeforeSort = [&](tvk::TObject*) { ++before; };
  form.Tree->OnCompare = [&](tvk::TObject*, TdxTreeListNode*, TdxTreeListNode*, int&) {
    during = tvk::Screen().Cursor();
    throw tvk::Exception(L"compare failed");
  };
  EXPECT_THROW(form.Tree->SortNodes(-1, 0, false), tvk::Exception);
  EXPECT_EQ(tvk::crHourGlass, during);
  EXPECT_EQ(1, before);
  EXPECT_EQ(tvk::crHandPoint, tvk::Screen().Cursor());
  EXPECT_EQ((std::vector<std::wstring>{L"c", L"a", L"b"}), Texts(TopLevel(*form.Tree)));  // nothing lost
  tvk::Screen().SetCursor(tvk::crDefault);
}

TEST(TreeListNodeData, RemovingAReferenceClearsEveryCarrierWithOrWithoutTheMap) {
  for (bool track : {true, false}) {
    TTreeForm form(1);
    form.Tree->SetTrackNodeData(track);
    int shared = 0, other = 0;
    TdxTreeListNode* a = form.AddNode({L"a"});
    TdxTreeListNode* b = form.AddNode({L"b"}, a);
    TdxTreeListNode* c = form.AddNode({L"c"});
    a->SetData(&shared);
    b->SetData(&shared);
    c->SetData(&other);
    EXPECT_EQ(track ? 2u : 0u, form.Tree->NodesByData(&shared).size());
    form.Tree->RemoveTreeNodeDataReference(&shared);
    EXPECT_EQ(nullptr, a->Data()) << track;
    EXPECT_EQ(nullptr, b->Data()) << track;
    EXPECT_EQ(&other, c->Data()) << track;
    EXPECT_TRUE(form.Tree->NodesByData(&shared).empty());
  }
}

TEST(TreeListNodeData, AFreedNodeLeavesTheMap) {
  TTreeForm form(1);
  form.Tree->SetTrackNodeData(true);
  int value = 0;
  TdxTreeListNode* a = form.AddNode({L"a"});
  TdxTreeListNode* b = form.AddNode({L"b"});
  a->SetData(&value);
  b->SetData(&value);
  b->SetData(&value);  // once only
  EXPECT_EQ(2u, form.Tree->NodesByData(&value).size());
  delete a;
  EXPECT_EQ((tvk::TdxTreeListNodeList{b}), form.Tree->NodesByData(&value));
  b->SetData(nullptr);
  EXPECT_TRUE(form.Tree->NodesByData(&value).empty());
  EXPECT_TRUE(form.Tree->NodesByData(nullptr).empty());  // a null pointer is no key
}

}  // namespace
}  // namespace treelist_test
