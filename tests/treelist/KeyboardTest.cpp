// Keys sent to a shown tree list as window messages: moving the focus, pages,
// multi-selection, expanding, tab stops, the new item row, header rows,
// opening the editor, copying, and the incremental search.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstring>
#include <initializer_list>
#include <memory>
#include <string>
#include <vector>

#include "Clipbrd.h"
#include "Forms.h"
#include "PublishedTreeList.h"
#include "TreeListKeyboard.h"
#include "dxEditor.h"

namespace treelist_test {
namespace {

using namespace tvk;

void PumpKeyMessages() {
  MSG msg;
  while (PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE)) {
    TranslateMessage(&msg);
    DispatchMessageW(&msg);
  }
}

// The thread's modifier keys held down for a scope (what GetKeyState answers).
class TModifiersDown {
public:
  explicit TModifiersDown(TShiftState shift) {
    GetKeyboardState(FSaved);
    BYTE state[256];
    std::memcpy(state, FSaved, sizeof state);
    auto set = [&](int key, bool down) { state[key] = down ? 0x80 : 0; };
    set(VK_SHIFT, shift & ssShift);
    set(VK_CONTROL, shift & ssCtrl);
    set(VK_MENU, shift & ssAlt);
    SetKeyboardState(state);
  }
  ~TModifiersDown() { SetKeyboardState(FSaved); }
  TModifiersDown(const TModifiersDown&) = delete;
  TModifiersDown& operator=(const TModifiersDown&) = delete;

private:
  BYTE FSaved[256];
};

// A shown form with a published tree list of Columns text columns.
struct TKeyForm {
  std::unique_ptr<TForm> Form{CreateComponent<TForm>(nullptr, kCreateNew)};
  TCountingTreeList* Tree = CreateComponent<TCountingTreeList>(Form.get());
  int SelectedCountChanges = 0;

  explicit TKeyForm(int columns = 2, int height = 200) {
    Form->SetBounds(0, 0, 500, 400);
    Tree->SetParent(Form.get());
    Tree->SetBounds(0, 0, 300, height);
    for (int i = 0; i < columns; ++i) {
      TdxTreeListColumn* column = Tree->CreateColumnEx(ComponentClassOf<TdxTreeListColumn>(), Form.get());
      column->SetCaption(L"C" + std::to_wstring(i));
      column->SetWidth(100);
    }
    Tree->OnSelectedCountChange = [this](TObject*) { ++SelectedCountChanges; };
    Form->Show();
  }
  ~TKeyForm() { Form->Hide(); }

  TdxTreeListNode* Add(std::vector<std::wstring> texts, TdxTreeListNode* parent = nullptr) {
    TdxTreeListNode* node = parent ? parent->AddChild() : Tree->Add();
    for (int i = 0; i < int(texts.size()); ++i) node->SetString(i, texts[std::size_t(i)]);
    return node;
  }
  // Rows "r0", "r1", ... in column 0.
  void AddRows(int count) {
    Tree->BeginUpdate();
    for (int i = 0; i < count; ++i) Add({L"r" + std::to_wstring(i), L"x"});
    Tree->EndUpdate();
  }
  void Options(std::initializer_list<TdxTreeListOption> on, std::initializer_list<TdxTreeListOption> off = {}) {
    TdxTreeListOptions o = Tree->Options();
    for (auto v : on) o |= OptionBit(v);
    for (auto v : off) o &= ~OptionBit(v);
    Tree->SetOptions(o);
  }
  void OptionsEx(std::initializer_list<TdxTreeListOptionEx> on) {
    TdxTreeListOptionsEx o = Tree->OptionsEx();
    for (auto v : on) o |= OptionBit(v);
    Tree->SetOptionsEx(o);
  }
  // A key down in the window that has it: the open editor, else the tree list.
  void Press(WORD key, TShiftState shift = 0) {
    TModifiersDown held(shift);
    TdxInplaceEdit* editor = Tree->State() == tsEditing ? Tree->InplaceEditor() : nullptr;
    SendMessageW(editor ? editor->Handle() : Tree->Handle(), WM_KEYDOWN, key, 1);
    PumpKeyMessages();
  }
  void Type(const std::wstring& text, TShiftState shift = 0) {
    TModifiersDown held(shift);
    for (wchar_t ch : text) SendMessageW(Tree->Handle(), WM_CHAR, ch, 1);
    PumpKeyMessages();
  }
  int Focused() { return Tree->FocusedNumber(); }
  std::vector<int> Selected() {
    std::vector<int> result;
    for (int i = 0; i < Tree->SelectedCount(); ++i) result.push_back(Tree->GetSelectedItem(i)->AbsoluteIndex());
    std::sort(result.begin(), result.end());
    return result;
  }
};

TEST(TreeListKeyboard, ArrowAndHomeEndKeysMoveTheFocusWithinTheEnds) {
  struct Step {
    WORD Key;
    TShiftState Shift;
    int Row, Column;
  };
  const Step steps[] = {
      {VK_DOWN, 0, 1, 0},        {VK_DOWN, 0, 2, 0},      {VK_UP, 0, 1, 0},       {VK_RIGHT, 0, 1, 1},
      {VK_RIGHT, 0, 1, 1},       {VK_LEFT, 0, 1, 0},      {VK_LEFT, 0, 1, 0},     {VK_END, 0, 1, 1},
      {VK_HOME, 0, 1, 0},        {VK_END, ssCtrl, 4, 0},  {VK_DOWN, 0, 4, 0},     {VK_HOME, ssCtrl, 0, 0},
      {VK_UP, 0, 0, 0},          {VK_RIGHT, ssCtrl, 0, 1}, {VK_DOWN, ssCtrl, 1, 1}, {VK_LEFT, ssCtrl, 1, 0},
  };
  TKeyForm f;
  f.Options({}, {aoRowSelect});
  f.AddRows(5);
  f.Tree->SetFocusedNode(f.Tree->GetItem(0));
  for (const Step& s : steps) {
    f.Press(s.Key, s.Shift);
    EXPECT_EQ(s.Row, f.Focused()) << s.Key << " " << s.Shift;
    EXPECT_EQ(s.Column, f.Tree->FocusedColumn()) << s.Key << " " << s.Shift;
  }
}

TEST(TreeListKeyboard, PageKeysGoToThePageEdgeFirstAndThenByAPage) {
  TKeyForm f;
  f.AddRows(40);
  f.Tree->SetFocusedNode(f.Tree->GetItem(0));
  const int page = f.Tree->RowCount();
  ASSERT_GT(page, 3);
  f.Tree->SetFocusedNumber(2);  // inside the page
  f.Press(VK_NEXT);
  EXPECT_EQ(page - 1, f.Focused()) << "to the last fully shown row";
  EXPECT_EQ(0, f.Tree->TopIndex()) << "without scrolling";
  f.Press(VK_NEXT);
  EXPECT_EQ(2 * (page - 1), f.Focused());
  EXPECT_GT(f.Tree->TopIndex(), 0);
  const int top = f.Tree->TopIndex();
  f.Press(VK_PRIOR);
  EXPECT_EQ(top, f.Focused()) << "Page Up from the bottom edge: a page back";
  f.Press(VK_END, ssCtrl);
  f.Press(VK_NEXT);
  EXPECT_EQ(39, f.Focused()) << "never past the last row";

  // One row only: a page key moves one row, never past an end.
  TKeyForm one;
  one.AddRows(1);
  one.Tree->SetFocusedNode(one.Tree->GetItem(0));
  one.Press(VK_NEXT);
  one.Press(VK_PRIOR);
  EXPECT_EQ(0, one.Focused());
}

TEST(TreeListKeyboard, ShiftArrowsExtendFromTheAnchorAndCtrlSpaceTogglesInPlace) {
  TKeyForm f;
  f.Options({aoMultiSelect});
  f.AddRows(8);
  f.Tree->SetFocusedNode(f.Tree->GetItem(2));
  f.SelectedCountChanges = 0;
  for (int i = 0; i < 3; ++i) f.Press(VK_DOWN, ssShift);
  EXPECT_EQ((std::vector<int>{2, 3, 4, 5}), f.Selected());
  EXPECT_EQ(3, f.SelectedCountChanges) << "one notice per key";
  f.Press(VK_UP, ssShift);
  EXPECT_EQ((std::vector<int>{2, 3, 4}), f.Selected()) << "the anchor and the next two";
  EXPECT_EQ(4, f.Focused());

  f.Press(VK_SPACE, ssCtrl);
  EXPECT_EQ((std::vector<int>{2, 3}), f.Selected());
  EXPECT_EQ(4, f.Focused()) << "Ctrl+Space does not move";
  f.Press(VK_SPACE, ssCtrl);
  EXPECT_EQ((std::vector<int>{2, 3, 4}), f.Selected());

  f.Press(VK_DOWN);
  EXPECT_EQ((std::vector<int>{5}), f.Selected()) << "a plain move selects only the new row";
  f.Press(VK_END, ssShift);
  EXPECT_EQ((std::vector<int>{5, 6, 7}), f.Selected());
  f.Press(VK_NEXT, ssShift | ssCtrl);  // Ctrl with Shift ranges like Shift
  EXPECT_EQ((std::vector<int>{5, 6, 7}), f.Selected());
}

TEST(TreeListKeyboard, RowModeArrowsAndSignKeysExpandCollapseAndWalkTheTree) {
  TKeyForm f;
  f.Options({aoRowSelect});
  TdxTreeListNode* a = f.Add({L"a"});
  TdxTreeListNode* a1 = f.Add({L"a1"}, a);
  f.Add({L"a11"}, a1);
  f.Add({L"b"});
  f.Tree->SetFocusedNode(a);
  struct Step {
    WORD Key;
    wchar_t Char;
    const wchar_t* Focused;
    bool AExpanded, A1Expanded;
  };
  const Step steps[] = {
      {VK_RIGHT, 0, L"a", true, false},  // a collapsed node expands
      {VK_RIGHT, 0, L"a1", true, false}, // an expanded one goes to its first child
      {VK_LEFT, 0, L"a", true, false},   // a collapsed child goes to its parent
      {VK_LEFT, 0, L"a", false, false},  // an expanded node collapses
      {VK_LEFT, 0, L"a", false, false},  // a collapsed top-level node stays
      {0, L'*', L"a", true, true},       // the whole subtree
      {0, L'-', L"a", false, true},
      {0, L'+', L"a", true, true},
  };
  for (const Step& s : steps) {
    if (s.Key)
      f.Press(s.Key);
    else
      f.Type(std::wstring(1, s.Char));
    EXPECT_EQ(s.Focused, f.Tree->FocusedNode()->GetString(0)) << s.Key << char(s.Char);
    EXPECT_EQ(s.AExpanded, a->Expanded()) << s.Key << char(s.Char);
    EXPECT_EQ(s.A1Expanded, a1->Expanded()) << s.Key << char(s.Char);
  }
}

TEST(TreeListKeyboard, TabWalksTabStopColumnsAndOnlyTabThroughLeavesTheRow) {
  TKeyForm f(3);
  f.Options({}, {aoRowSelect, aoTabThrough});
  f.AddRows(3);
  f.Tree->Columns(1)->SetTabStop(false);
  f.Tree->SetFocusedNode(f.Tree->GetItem(1));
  f.Tree->SetFocusedColumn(0);
  f.Press(VK_TAB, ssShift);
  EXPECT_EQ(1, f.Focused());
  EXPECT_EQ(0, f.Tree->FocusedColumn()) << "Shift+Tab at the first tab stop does nothing";
  f.Press(VK_TAB);
  EXPECT_EQ(2, f.Tree->FocusedColumn()) << "the column without a tab stop is skipped";
  f.Press(VK_TAB);
  EXPECT_EQ(1, f.Focused());
  EXPECT_EQ(2, f.Tree->FocusedColumn()) << "past the last without aoTabThrough: nothing";

  f.Options({aoTabThrough});
  f.Tree->SetFocusedNode(f.Tree->GetItem(1));
  f.Tree->SetFocusedColumn(2);
  f.Press(VK_TAB);
  EXPECT_EQ(2, f.Focused());
  EXPECT_EQ(0, f.Tree->FocusedColumn()) << "the next row's first tab stop";
  f.Press(VK_TAB, ssShift);
  EXPECT_EQ(1, f.Focused());
  EXPECT_EQ(2, f.Tree->FocusedColumn()) << "the previous row's last tab stop";

  f.OptionsEx({aoHorzThrough});
  f.Press(VK_RIGHT);
  EXPECT_EQ(2, f.Focused());
  EXPECT_EQ(0, f.Tree->FocusedColumn()) << "Right past the last column with aoHorzThrough";
}

TEST(TreeListKeyboard, UpFromTheFirstRowEntersTheNewItemRowAndDownLeavesIt) {
  TKeyForm f;
  f.Options({aoMultiSelect}, {aoRowSelect});
  f.Tree->FShowNewItemRow = true;
  f.AddRows(5);
  f.Tree->LayoutChanged();
  f.Tree->SetFocusedNode(f.Tree->GetItem(0));
  ASSERT_TRUE(f.Tree->IsShowNewItemRow());
  f.Press(VK_UP);
  EXPECT_TRUE(f.Tree->IsNewItemRowActive());
  f.Press(VK_DOWN);
  EXPECT_FALSE(f.Tree->IsNewItemRowActive());
  EXPECT_EQ(0, f.Focused());
  EXPECT_EQ((std::vector<int>{0}), f.Selected());
}

TEST(TreeListKeyboard, VertThroughMovesBetweenHeaderRowsAndThenToTheNeighbouringRow) {
  TKeyForm f;  // C0 above C1 in one band
  f.Options({}, {aoRowSelect});
  f.OptionsEx({aoVertThrough});
  f.Tree->SetHeaderPanelRowCount(2);
  f.Tree->Columns(1)->SetRowIndex(1);
  f.AddRows(3);
  f.Tree->SetFocusedNode(f.Tree->GetItem(0));
  f.Tree->SetFocusedColumn(f.Tree->GetFocusedVisibleIndex(0));
  auto column = [&] { return f.Tree->GetFocusedAbsoluteIndex(f.Tree->FocusedColumn()); };
  f.Press(VK_DOWN);
  EXPECT_EQ(0, f.Focused());
  EXPECT_EQ(1, column()) << "down to the lower header row";
  f.Press(VK_DOWN);
  EXPECT_EQ(1, f.Focused());
  EXPECT_EQ(0, column()) << "the next node's upper row";
  f.Press(VK_UP);
  EXPECT_EQ(0, f.Focused());
  EXPECT_EQ(1, column()) << "the previous node's lower row";
  f.Press(VK_UP);
  f.Press(VK_UP);
  EXPECT_EQ(0, f.Focused());
  EXPECT_EQ(0, column()) << "the first node's upper row stays";
}

TEST(TreeListKeyboard, EditingStartKeysOpenTheEditorWithWhatWasTyped) {
  struct Case {
    const char* Name;
    WORD Key;
    std::wstring Typed;
    TShiftState Shift;
    std::wstring Text;  // the editor's text afterwards
  };
  Clipboard().SetAsText(L"pasted");
  const Case cases[] = {
      {"F2", VK_F2, L"", 0, L"r1"},
      {"Enter", 0, L"\r", 0, L"r1"},
      {"a letter", 0, L"q", 0, L"q"},
      {"a Cyrillic letter", 0, L"\x0416", 0, L"\x0416"},
      {"a Greek letter with AltGr", 0, L"\x03A9", ssCtrl | ssAlt, L"\x03A9"},
      {"Ctrl+V", 0, L"\x16", ssCtrl, L"pasted"},
  };
  for (const Case& c : cases) {
    TKeyForm f;
    f.Options({aoEditing}, {aoRowSelect});
    f.OptionsEx({aoEnterShowEditor});
    f.AddRows(3);
    f.Tree->SetFocusedNode(f.Tree->GetItem(1));
    if (c.Key)
      f.Press(c.Key);
    else
      f.Type(c.Typed, c.Shift);
    ASSERT_EQ(tsEditing, f.Tree->State()) << c.Name;
    EXPECT_EQ(c.Text, f.Tree->EditingText()) << c.Name;

    f.Press(VK_ESCAPE);
    EXPECT_EQ(tsNormal, f.Tree->State()) << c.Name;
    EXPECT_EQ(L"r1", f.Tree->GetItem(1)->GetString(0)) << c.Name << ": Esc keeps the old value";
  }

  // Without aoEnterShowEditor typing opens nothing; Enter then Down writes back and moves.
  TKeyForm f;
  f.Options({aoEditing}, {aoRowSelect});
  f.AddRows(3);
  f.Tree->SetFocusedNode(f.Tree->GetItem(0));
  f.Type(L"q");
  EXPECT_EQ(tsNormal, f.Tree->State());
  f.Press(VK_F2);
  ASSERT_EQ(tsEditing, f.Tree->State());
  SendMessageW(f.Tree->InplaceEditor()->Handle(), WM_CHAR, L'z', 1);
  f.Press(VK_DOWN);
  EXPECT_EQ(tsNormal, f.Tree->State());
  EXPECT_EQ(L"z", f.Tree->GetItem(0)->GetString(0));
  EXPECT_EQ(1, f.Focused());
}

TEST(TreeListKeyboard, EscapeClosesTheEditorAndASecondOneLeavesOnlyTheFocusedRowSelected) {
  TKeyForm f;
  f.Options({aoEditing, aoMultiSelect}, {aoRowSelect});
  f.AddRows(4);
  f.Tree->SetFocusedNode(f.Tree->GetItem(0));
  f.Press(VK_DOWN, ssShift);
  f.Press(VK_DOWN, ssShift);
  f.Press(VK_F2);
  ASSERT_EQ(tsEditing, f.Tree->State());
  f.Press(VK_ESCAPE);
  EXPECT_EQ(tsNormal, f.Tree->State());
  EXPECT_EQ((std::vector<int>{0, 1, 2}), f.Selected()) << "the first Esc only closes the editor";
  f.Press(VK_ESCAPE);
  EXPECT_EQ((std::vector<int>{2}), f.Selected());
}

TEST(TreeListKeyboard, CtrlCCopiesTheSelectionOrTheWholeListAndCtrlASelectsAll) {
  TKeyForm f;
  f.Options({aoMultiSelect});
  f.AddRows(3);
  f.Tree->SetFocusedNode(f.Tree->GetItem(1));
  f.Press(VK_DOWN, ssShift);
  f.Type(L"\x03", ssCtrl);
  EXPECT_EQ(L"C0\tC1\r\n\r\nr1\tx\r\nr2\tx\r\n", Clipboard().AsText());  // the header line ends with its own break
  EXPECT_TRUE(Clipboard().HasFormat(CF_ENHMETAFILE));
  f.Type(L"\x03", ssCtrl | ssShift);
  EXPECT_EQ(L"C0\tC1\r\n\r\nr0\tx\r\nr1\tx\r\nr2\tx\r\n", Clipboard().AsText());
  f.Type(L"\x01", ssCtrl);
  EXPECT_EQ((std::vector<int>{0, 1, 2}), f.Selected());
}

// A search list: "alpha", "beta", "bravo" with a collapsed child "bingo", "gamma", "Бета".
struct TSearchForm : TKeyForm {
  TdxTreeListNode* Bravo;
  TdxTreeListNode* Bingo;
  TSearchForm() {
    Options({}, {aoRowSelect});
    OptionsEx({aoAutoSearch});
    Add({L"alpha"});
    Add({L"beta"});
    Bravo = Add({L"bravo"});
    Bingo = Add({L"bingo"}, Bravo);
    Add({L"gamma"});
    Add({L"\x0411\x0435\x0442\x0430"});
    Tree->SetFocusedNode(Tree->GetItem(0));
  }
  std::wstring FocusedText() { return Tree->FocusedNode()->GetString(0); }
};

TEST(TreeListKeyboard, TypingSearchesTheFocusedColumnAndDropsACharacterThatMatchesNothing) {
  struct Step {
    std::wstring Typed;
    WORD Key;
    TShiftState Shift;
    const wchar_t* Focused;
    const wchar_t* Text;
  };
  const Step steps[] = {
      {L"B", 0, 0, L"beta", L"B"},                 // ignoring case
      {L"r", 0, 0, L"bravo", L"Br"},
      {L"x", 0, 0, L"bravo", L"Br"},               // matches nothing: dropped
      {L"", VK_BACK, 0, L"bravo", L"B"},           // from the focused node on
      {L"", VK_RETURN, ssCtrl, L"bingo", L"B"},    // the next one, inside the collapsed node
      {L"", VK_RETURN, ssCtrl, L"beta", L"B"},     // wraps around
      {L"", VK_RETURN, ssShift, L"bingo", L"B"},   // backward, wrapping
      {L"", VK_DELETE, 0, L"bingo", L""},
      {L"\x0431", 0, 0, L"\x0411\x0435\x0442\x0430", L"\x0431"},  // a Cyrillic letter, other case
  };
  TSearchForm f;
  for (const Step& s : steps) {
    if (s.Key)
      f.Press(s.Key, s.Shift);
    else
      f.Type(s.Typed, s.Shift);
    EXPECT_TRUE(f.Tree->Searching()) << s.Focused;
    EXPECT_EQ(s.Focused, f.FocusedText());
    EXPECT_EQ(s.Text, f.Tree->SearchText()) << s.Focused;
  }
  EXPECT_TRUE(f.Bravo->Expanded()) << "the match inside the collapsed node was shown";

  f.Press(VK_ESCAPE);
  EXPECT_FALSE(f.Tree->Searching());
  f.Type(L"g");
  EXPECT_EQ(L"gamma", f.FocusedText()) << "typing again starts a new search";
  f.Press(VK_UP);
  EXPECT_FALSE(f.Tree->Searching()) << "moving the focus ends the search";

  TSearchForm rows;  // a row-select list searches its first column
  rows.Options({aoRowSelect});
  rows.Type(L"ga");
  EXPECT_EQ(L"gamma", rows.FocusedText());
}

TEST(TreeListKeyboard, WithoutAutoExpandTheSearchSkipsCollapsedNodesAndComparesEachNodeOnce) {
  TSearchForm f;
  f.Tree->SetAutoExpandOnSearch(false);
  f.Type(L"bi");
  EXPECT_EQ(L"beta", f.FocusedText()) << "bingo is hidden; the i is dropped";
  EXPECT_FALSE(f.Bravo->Expanded());

  f.Tree->ResetListStats();
  f.Type(L"z");  // matches nothing: one full wrap
  EXPECT_EQ(5, f.Tree->ListStats().SearchComparisons) << "each shown node once";
  f.Tree->SetAutoExpandOnSearch(true);
  f.Tree->ResetListStats();
  f.Type(L"z");
  EXPECT_EQ(6, f.Tree->ListStats().SearchComparisons) << "each node once, the collapsed one too";
  EXPECT_EQ(L"b", f.Tree->SearchText());
}

TEST(TreeListKeyboard, StartSearchEndsWhenTheEditorOpensAndAnEmptyStartFindsNothing) {
  TSearchForm f;
  f.Options({aoEditing});
  EXPECT_TRUE(f.Tree->StartSearch(-1, L"GA"));
  EXPECT_EQ(L"gamma", f.FocusedText());
  EXPECT_FALSE(f.Tree->StartSearch(0, L"nothing"));
  EXPECT_TRUE(f.Tree->Searching());
  EXPECT_EQ(L"", f.Tree->SearchText()) << "a failed start clears the text";
  f.Tree->ShowEditor();
  EXPECT_EQ(tsEditing, f.Tree->State());
  EXPECT_FALSE(f.Tree->Searching());
}

}  // namespace
}  // namespace treelist_test
