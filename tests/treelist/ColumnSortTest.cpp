// Header-click sorting, re-sort requests, best fit and measured line counts.
#include "Forms.h"
#include "PublishedTreeList.h"

namespace treelist_test {
namespace {

using tvk::OptionBit;
using tvk::TdxTreeListColumnSort;

// Three columns under aoAutoSort, four rows of (letter, digit, word).
struct TSortForm : TTreeForm {
  TSortForm() : TTreeForm(3) {
    Tree->SetOptions(Tree->Options() | OptionBit(tvk::aoAutoSort));
    for (auto [a, b, c] : {std::tuple{L"b", L"1", L"x"}, {L"a", L"2", L"y"}, {L"b", L"0", L"w"}, {L"a", L"1", L"z"}})
      AddNode({a, b, c});
  }
  // A click on the header of Column with Shift and Ctrl as given.
  void Click(int column, bool shift = false, bool ctrl = false) {
    Tree->FlagMultiSort = shift && Tree->IsMultiSort();
    Tree->FlagClearSort = ctrl;
    Tree->ColumnClick(column);
    Tree->FlagMultiSort = Tree->FlagClearSort = false;
  }
  std::vector<TdxTreeListColumnSort> Sorts() const {
    std::vector<TdxTreeListColumnSort> sorts;
    for (int i = 0; i < Tree->ColumnCount(); ++i) sorts.push_back(Tree->Columns(i)->Sorted());
    return sorts;
  }
  // Each row's texts in the sorted columns, by sort priority (ties may come in any order).
  std::vector<std::wstring> Keys() const {
    std::vector<std::wstring> rows;
    for (int i = 0; i < Tree->Count(); ++i) {
      std::wstring key;
      for (int k = 0; k < Tree->SortedColumnCount(); ++k)
        key += Tree->GetItem(i)->GetString(Tree->SortedColumnIndex(k));
      rows.push_back(key);
    }
    return rows;
  }
};

TEST(TreeListColumnSort, HeaderClicksToggleTheSortAndCtrlClearsIt) {
  using tvk::csDown;
  using tvk::csNone;
  using tvk::csUp;
  struct Step {
    int Column;
    bool Shift, Ctrl;
    std::vector<TdxTreeListColumnSort> Sorts;
    std::vector<std::wstring> Keys;
  };
  const Step single[] = {
      {0, false, false, {csUp, csNone, csNone}, {L"a", L"a", L"b", L"b"}},
      {0, false, false, {csDown, csNone, csNone}, {L"b", L"b", L"a", L"a"}},
      {0, false, false, {csUp, csNone, csNone}, {L"a", L"a", L"b", L"b"}},
      {2, false, false, {csNone, csNone, csUp}, {L"w", L"x", L"y", L"z"}},
      {2, false, true, {csNone, csNone, csNone}, {L"", L"", L"", L""}},
  };
  TSortForm form;
  for (const Step& s : single) {
    form.Click(s.Column, s.Shift, s.Ctrl);
    EXPECT_EQ(s.Sorts, form.Sorts()) << s.Column << s.Shift << s.Ctrl;
    EXPECT_EQ(s.Keys, form.Keys()) << s.Column << s.Shift << s.Ctrl;
  }

  // With aoMultiSort, Shift adds a key and a plain click starts over.
  const Step multi[] = {
      {0, false, false, {csUp, csNone, csNone}, {L"a", L"a", L"b", L"b"}},
      {1, true, false, {csUp, csUp, csNone}, {L"a1", L"a2", L"b0", L"b1"}},
      {1, true, false, {csUp, csDown, csNone}, {L"a2", L"a1", L"b1", L"b0"}},
      {2, false, false, {csNone, csNone, csUp}, {L"w", L"x", L"y", L"z"}},
  };
  TSortForm multiForm;
  multiForm.Tree->SetOptionsEx(multiForm.Tree->OptionsEx() | OptionBit(tvk::aoMultiSort));
  for (const Step& s : multi) {
    multiForm.Click(s.Column, s.Shift, s.Ctrl);
    EXPECT_EQ(s.Sorts, multiForm.Sorts()) << s.Column << s.Shift;
    EXPECT_EQ(s.Keys, multiForm.Keys()) << s.Column << s.Shift;
  }
  EXPECT_EQ(1, multiForm.Tree->SortedColumnCount());
}

TEST(TreeListColumnSort, TheSortingEventMayRefuseAndAutoSortClearsOldSorts) {
  TSortForm form;
  form.Click(0);
  form.Tree->OnColumnSorting = [](tvk::TObject*, tvk::TdxTreeListColumn* column, bool& allow) {
    allow = column->Index() != 1;
  };
  form.Click(1);
  EXPECT_EQ((std::vector<TdxTreeListColumnSort>{tvk::csUp, tvk::csNone, tvk::csNone}), form.Sorts());
  // Switching aoAutoSort off leaves the sort; switching it on clears it.
  form.Tree->SetOptions(form.Tree->Options() & ~OptionBit(tvk::aoAutoSort));
  EXPECT_EQ(tvk::csUp, form.Tree->Columns(0)->Sorted());
  form.Tree->SetOptions(form.Tree->Options() | OptionBit(tvk::aoAutoSort));
  EXPECT_EQ(tvk::csNone, form.Tree->Columns(0)->Sorted());
  EXPECT_EQ(0, form.Tree->SortedColumnCount());
}

TEST(TreeListColumnSort, CaseInsensitiveKeysAndReSortsAfterAnUpdate) {
  TSortForm form;
  tvk::Variant upper, lower;
  form.Tree->SetOptions(form.Tree->Options() | OptionBit(tvk::aoCaseInsensitive));
  form.Tree->GetItem(0)->SetString(2, L"abc");
  form.Tree->GetItem(1)->SetString(2, L"ABC");
  form.Tree->GetNodeSortValue(form.Tree->GetItem(0), 2, lower);
  form.Tree->GetNodeSortValue(form.Tree->GetItem(1), 2, upper);
  EXPECT_EQ(tvk::VarToStr(upper), tvk::VarToStr(lower));

  form.Tree->SetOptionsEx(form.Tree->OptionsEx() | OptionBit(tvk::aoAutoSortRefresh));
  form.Click(1);  // by the digit: 0, 1, 1, 2
  ASSERT_EQ(L"0", form.Tree->GetItem(0)->GetString(1));
  form.Tree->GetItem(0)->SetString(1, L"9");  // re-sorted at once
  EXPECT_EQ(L"9", form.Tree->GetItem(3)->GetString(1));
  form.Tree->BeginUpdate();
  form.Tree->GetItem(3)->SetString(1, L"0");
  EXPECT_TRUE(form.Tree->NeededSortRefresh);
  EXPECT_EQ(L"0", form.Tree->GetItem(3)->GetString(1));  // waits for the update
  form.Tree->EndUpdate();
  EXPECT_FALSE(form.Tree->NeededSortRefresh);
  EXPECT_EQ(L"0", form.Tree->GetItem(0)->GetString(1));
}

// A shown published tree list on a form, for the measuring tests.
struct TShownTree {
  std::unique_ptr<tvk::TForm> Form{tvk::CreateComponent<tvk::TForm>(nullptr, tvk::kCreateNew)};
  tvk::TdxTreeList* Tree = tvk::CreateComponent<tvk::TdxTreeList>(Form.get());
  TShownTree() {
    Form->SetBounds(0, 0, 400, 300);
    Tree->SetBounds(0, 0, 300, 200);
  }
  tvk::TdxTreeListColumn* AddColumn(const wchar_t* caption) {
    tvk::TdxTreeListColumn* column = Tree->CreateColumnEx(tvk::ComponentClassOf<tvk::TdxTreeListColumn>(), Form.get());
    column->SetCaption(caption);
    return column;
  }
  void Show() {
    Tree->SetParent(Form.get());
    Tree->HandleNeeded();
  }
  int TextWidth(tvk::TFont& font, const wchar_t* text) {
    tvk::TBitmap bitmap;
    bitmap.SetSize(1, 1);
    bitmap.Canvas().Font().Assign(font);
    return bitmap.Canvas().TextWidth(text);
  }
};

TEST(TreeListBestFit, TheWiderOfCaptionAndCellsPlusTheMarginsAndTheFilterButton) {
  TShownTree shown;
  tvk::TdxTreeListColumn* filtered = shown.AddColumn(L"A fairly long caption");
  tvk::TdxTreeListColumn* plain = shown.AddColumn(L"A fairly long caption");
  tvk::TdxTreeListColumn* cells = shown.AddColumn(L"C");
  plain->SetDisableFilter(true);
  tvk::TdxTreeListNode* node = shown.Tree->Add();
  for (int i = 0; i < 3; ++i) node->SetString(i, L"ab");
  node->SetString(2, L"A much longer cell text than the caption");
  shown.Show();
  const int margin = shown.TextWidth(shown.Tree->Font(), L"0") / 2 + 1;
  const int caption = shown.TextWidth(shown.Tree->FHeaderFont, L"A fairly long caption");
  // The first column carries the tree's indent (one root level).
  const int indent = shown.Tree->Indent();
  shown.Tree->ApplyBestFit(nullptr);
  EXPECT_EQ(std::max(caption + 15, shown.TextWidth(shown.Tree->Font(), L"ab") + indent) + 2 * margin,
            filtered->Width());
  EXPECT_EQ(caption + 2 * margin, plain->Width());
  EXPECT_EQ(shown.TextWidth(shown.Tree->Font(), L"A much longer cell text than the caption") + 2 * margin,
            cells->Width());
  EXPECT_FALSE(shown.Tree->NeedToApplyBestFit);
}

TEST(TreeListBestFit, WithoutAWindowTheFitWaitsForIt) {
  TShownTree shown;
  tvk::TdxTreeListColumn* column = shown.AddColumn(L"A fairly long caption");
  const int before = column->Width();
  shown.Tree->ApplyBestFit(column);
  EXPECT_EQ(before, column->Width());
  EXPECT_TRUE(shown.Tree->NeedToApplyBestFit);
  shown.Show();
  EXPECT_NE(before, column->Width());
  EXPECT_FALSE(shown.Tree->NeedToApplyBestFit);
}

TEST(TreeListBestFit, FiveWrappedLinesAreCappedAtTheLineLimit) {
  TShownTree shown;
  shown.AddColumn(L"C");
  tvk::TdxTreeListNode* node = shown.Tree->Add();
  shown.Show();
  const std::wstring text = L"one\r\ntwo\r\nthree\r\nfour\r\nfive";
  tvk::TBitmap bitmap;
  bitmap.SetSize(1, 1);
  bitmap.Canvas().Font().Assign(shown.Tree->Font());
  const int lineHeight = bitmap.Canvas().TextHeight(L"Wg");
  struct Case {
    int MaxLines, Lines;
  };
  for (Case c : {Case{-1, 5}, Case{3, 3}}) {
    int height = 0, lines = 0;
    ASSERT_TRUE(shown.Tree->ColumnCalcLineCount(node, 0, height, lines, false, false, c.MaxLines, lineHeight, 200, text));
    EXPECT_EQ(c.Lines, lines) << c.MaxLines;
    const int oneLine = shown.Tree->Columns(0)->GetViewData()->LineTextHeight;
    EXPECT_EQ(lineHeight, oneLine);
    if (c.MaxLines == 3) {
      EXPECT_EQ(3 * oneLine + 3, height);
    }
  }
  EXPECT_EQ(nullptr, shown.Tree->Columns(0)->ActualNode());
  bool asked = false;
  shown.Tree->OnCalcRowLineHeight = [&](tvk::TObject*, tvk::TdxTreeListNode*, tvk::TdxTreeListColumn*,
                                        const std::wstring&, int, int, int, bool, bool, int& count, int& height,
                                        bool& done) {
    asked = true;
    count = 7;
    height = 70;
    done = true;
  };
  int height = 0, lines = 0;
  shown.Tree->ColumnCalcLineCount(node, 0, height, lines, false, false, 3, lineHeight, 200, text);
  EXPECT_TRUE(asked);
  EXPECT_EQ(7, lines);
  EXPECT_EQ(70, height);
}

}  // namespace
}  // namespace treelist_test
