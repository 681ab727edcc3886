// In-place editing of a published tree list: opening the focused cell's
// editor, writing its value back, refusals, the editor following a scroll,
// node changes under an open editor, and the tree list's answers to it.
#include <gtest/gtest.h>

#include <memory>
#include <stdexcept>
#include <string>

#include "Clipbrd.h"
#include "Forms.h"
#include "TreeListEditing.h"
#include "TreeListEditors.h"
#include "TreeListPublished.h"
#include "dxEditor.h"

namespace treelist_test {
namespace {

using namespace tvk;

class TEditTree : public TdxTreeList {
public:
  TVK_CLASS(TEditTree, TdxTreeList)
  explicit TEditTree(TComponent* owner) : TdxTreeList(owner) {}
  ~TEditTree() override { PrepareDestroy(); }
};

// A column whose editor set-up can be told to fail.
class TFailingColumn : public TdxTreeListColumn {
public:
  TVK_CLASS(TFailingColumn, TdxTreeListColumn)
  using TdxTreeListColumn::TdxTreeListColumn;
  bool Fail = false;
  void InitEditor(TdxInplaceEdit* editor) override {
    TdxTreeListColumn::InitEditor(editor);
    if (Fail) throw std::runtime_error("column set-up failed");
  }
};

void Pump() {
  MSG msg;
  while (PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE)) {
    TranslateMessage(&msg);
    DispatchMessageW(&msg);
  }
}

// A shown form with a tree list: a text column, a mask column ("000") and Rows text nodes.
struct TEditForm {
  std::unique_ptr<TForm> Form{CreateComponent<TForm>(nullptr, kCreateNew)};
  TEditTree* Tree;
  TdxTreeListColumn* Text;
  TdxTreeListMaskColumn* Mask;
  int Edited = 0;

  explicit TEditForm(int rows = 3, TComponentClass textClass = ComponentClassOf<TdxTreeListColumn>()) {
    Form->SetBounds(0, 0, 500, 400);
    Tree = CreateComponent<TEditTree>(Form.get());
    Tree->SetParent(Form.get());
    Tree->SetBounds(0, 0, 300, 200);
    Text = Tree->CreateColumn(textClass);
    Mask = static_cast<TdxTreeListMaskColumn*>(Tree->CreateColumn(ComponentClassOf<TdxTreeListMaskColumn>()));
    Mask->SetEditMask(L"000;1;_");
    for (int i = 0; i < rows; ++i) {
      TdxTreeListNode* node = Tree->Add();
      node->SetString(0, L"t" + std::to_wstring(i));
      node->SetString(1, std::to_wstring(100 + i));
    }
    Tree->OnEdited = [this](TObject*, TdxTreeListNode*) { ++Edited; };
    Tree->SetOptions(Tree->Options() & ~OptionBit(aoRowSelect));
    Form->Show();
    Tree->SetFocusedNode(Tree->GetItem(0));
    Tree->SetFocusedColumn(0);
  }
  ~TEditForm() { Form->Hide(); }
  TdxInplaceEdit* Editor() { return Tree->InplaceEditor(); }
  void Type(const wchar_t* text) {
    for (const wchar_t* p = text; *p; ++p) SendMessageW(Editor()->Handle(), WM_CHAR, *p, 1);
  }
  bool EditorShown() { return Editor() && Editor()->IsVisible() && IsWindowVisible(Editor()->Handle()); }
  // The editor window's place in the tree list's client coordinates, without its 2-pixel margin.
  RECT EditorCell() {
    RECT r = Editor()->BoundsRect();
    InflateRect(&r, -2, -2);
    return r;
  }
};

void ExpectSameRect(const RECT& a, const RECT& b, const char* what) {
  EXPECT_EQ(a.left, b.left) << what;
  EXPECT_EQ(a.top, b.top) << what;
  EXPECT_EQ(a.right, b.right) << what;
  EXPECT_EQ(a.bottom, b.bottom) << what;
}

TEST(TreeListEditing, ShowEditorOpensTheFocusedCellAndCloseEditorWritesTheTypedText) {
  TEditForm f;
  f.Tree->ShowEditor();
  ASSERT_EQ(tsEditing, f.Tree->State());
  ASSERT_TRUE(f.EditorShown());
  EXPECT_TRUE(f.Editor()->Is<TdxInplaceTreeListTextEdit>());
  EXPECT_EQ(L"t0", f.Tree->EditingText());
  EXPECT_EQ(0, f.Tree->InplaceColumnIndex());
  ExpectSameRect(f.Tree->GetEditRect(f.Tree->GetItem(0), 0), f.EditorCell(), "placed on its cell");
  f.Type(L"new");
  f.Tree->CloseEditor();
  EXPECT_EQ(tsNormal, f.Tree->State());
  EXPECT_FALSE(f.EditorShown());
  EXPECT_EQ(L"new", f.Tree->GetItem(0)->GetString(0));
  EXPECT_EQ(1, f.Edited);
  EXPECT_EQ(L"", f.Tree->EditingText());
  // The next cell of the same class reuses the editor object.
  TdxInplaceEdit* first = f.Editor();
  f.Tree->SetFocusedNode(f.Tree->GetItem(1));
  f.Tree->ShowEditor();
  EXPECT_EQ(first, f.Editor());
  EXPECT_EQ(L"t1", f.Tree->EditingText());
  f.Tree->CloseEditor();
  EXPECT_EQ(L"t1", f.Tree->GetItem(1)->GetString(0));
}

TEST(TreeListEditing, ClosingAnUnmodifiedEditorWritesNothingButFiresOnEdited) {
  TEditForm f;
  int writes = 0;
  f.Text->OnChange = [&](TObject*) { ++writes; };
  f.Tree->ShowEditor();
  ASSERT_EQ(tsEditing, f.Tree->State());
  f.Tree->CloseEditor();
  EXPECT_EQ(1, f.Edited);
  EXPECT_EQ(0, writes);
  EXPECT_EQ(L"t0", f.Tree->GetItem(0)->GetString(0));
  // Cancelling after typing writes nothing either.
  f.Tree->ShowEditor();
  f.Type(L"lost");
  f.Tree->CancelEditor();
  EXPECT_EQ(tsNormal, f.Tree->State());
  EXPECT_EQ(L"t0", f.Tree->GetItem(0)->GetString(0));
  EXPECT_EQ(1, f.Edited);
}

TEST(TreeListEditing, ARefusedValueKeepsTheEditorOpenUntilItIsAccepted) {
  TEditForm f;
  bool accept = false;
  f.Text->OnValidate = [&](TObject*, WideString& error, bool& ok) {
    ok = accept;
    error = L"no";
  };
  f.Tree->ShowEditor();
  ASSERT_EQ(tsEditing, f.Tree->State());
  f.Type(L"bad");
  EXPECT_THROW(f.Tree->CloseEditor(), EdxEditInvalidInput);
  EXPECT_EQ(tsEditing, f.Tree->State());
  EXPECT_TRUE(f.EditorShown());
  EXPECT_EQ(L"t0", f.Tree->GetItem(0)->GetString(0));
  EXPECT_THROW(f.Tree->HideEditor(), EdxEditInvalidInput);
  EXPECT_EQ(tsEditing, f.Tree->State());
  accept = true;
  f.Tree->CloseEditor();
  EXPECT_EQ(tsNormal, f.Tree->State());
  EXPECT_EQ(L"bad", f.Tree->GetItem(0)->GetString(0));
}

TEST(TreeListEditing, NothingOpensWithRowSelectWithoutAFocusedNodeOrWhenRefused) {
  struct TCase {
    const char* Name;
    void (*Setup)(TEditForm& f);
    bool ForgetsTheEditor;
  } cases[] = {
      {"row select", [](TEditForm& f) { f.Tree->SetOptions(f.Tree->Options() | OptionBit(aoRowSelect)); }, false},
      {"editing off", [](TEditForm& f) { f.Tree->SetOptions(f.Tree->Options() & ~OptionBit(aoEditing)); }, false},
      {"no focused node", [](TEditForm& f) { f.Tree->ClearNodes(); }, false},
      {"OnEditing refuses",
       [](TEditForm& f) { f.Tree->OnEditing = [](TObject*, TdxTreeListNode*, bool& allow) { allow = false; }; },
       true},
      {"column disables its editor", [](TEditForm& f) { f.Text->SetDisableEditor(true); }, true},
  };
  for (const TCase& c : cases) {
    TEditForm f;
    f.Tree->ShowEditor();  // an editor object exists from an earlier edit
    f.Tree->CloseEditor();
    ASSERT_NE(nullptr, f.Editor());
    c.Setup(f);
    f.Tree->ShowEditor();
    EXPECT_EQ(tsNormal, f.Tree->State()) << c.Name;
    EXPECT_EQ(c.ForgetsTheEditor, f.Editor() == nullptr) << c.Name;
  }
  // Already editing: a second ShowEditor changes nothing.
  TEditForm f;
  f.Tree->ShowEditor();
  ASSERT_EQ(tsEditing, f.Tree->State());
  f.Type(L"x");
  f.Tree->ShowEditor();
  EXPECT_EQ(L"x", f.Tree->EditingText());
  f.Tree->CloseEditor();
}

TEST(TreeListEditing, TheInitialisingFlagFallsWhenAColumnFailsToSetUpItsEditor) {
  TEditForm f(3, ComponentClassOf<TFailingColumn>());
  static_cast<TFailingColumn*>(f.Text)->Fail = true;
  EXPECT_THROW(f.Tree->ShowEditor(), std::runtime_error);
  EXPECT_FALSE(f.Tree->InitEdit());
  static_cast<TFailingColumn*>(f.Text)->Fail = false;
  f.Tree->CancelEditor();
  EXPECT_EQ(tsNormal, f.Tree->State());
  f.Tree->ShowEditor();
  EXPECT_TRUE(f.EditorShown());
  EXPECT_FALSE(f.Tree->InitEdit());
  f.Tree->CloseEditor();
}

TEST(TreeListEditing, TheEditorFollowsItsCellWhenTheRowsScroll) {
  TEditForm f(40);
  f.Tree->SetFocusedNode(f.Tree->GetItem(2));
  f.Tree->ShowEditor();
  ASSERT_TRUE(f.EditorShown());
  f.Type(L"kept");
  const RECT before = f.EditorCell();
  SendMessageW(f.Tree->Handle(), WM_VSCROLL, SB_LINEDOWN, 0);
  ASSERT_EQ(1, f.Tree->TopIndex());
  EXPECT_EQ(tsEditing, f.Tree->State());
  ASSERT_TRUE(f.EditorShown());
  const RECT after = f.EditorCell();
  EXPECT_EQ(before.top - f.Tree->RowHeight(), after.top);
  ExpectSameRect(f.Tree->GetEditRect(f.Tree->GetItem(2), 0), after, "moved with its row");
  // Out of view the editor hides but keeps its cell; back in view it shows again.
  f.Tree->SetTopIndex(10);
  EXPECT_FALSE(f.EditorShown());
  EXPECT_EQ(tsEditing, f.Tree->State());
  f.Tree->SetTopIndex(0);
  ASSERT_TRUE(f.EditorShown());
  ExpectSameRect(f.Tree->GetEditRect(f.Tree->GetItem(2), 0), f.EditorCell(), "back in view");
  EXPECT_EQ(L"kept", f.Tree->EditingText());
  f.Tree->CloseEditor();
  EXPECT_EQ(L"kept", f.Tree->GetItem(2)->GetString(0));
}

TEST(TreeListEditing, NodesComeAndGoUnderAnInvalidMaskedValueWithoutLosingTheList) {
  TEditForm f(4);
  f.Tree->SetFocusedColumn(1);
  f.Tree->ShowEditor();
  ASSERT_EQ(tsEditing, f.Tree->State());
  ASSERT_TRUE(f.Editor()->Is<TdxInplaceMaskEdit>());
  f.Type(L"\b\b\b1");  // "1__" does not fill the mask
  ASSERT_TRUE(f.Editor()->GetEditModified());
  EXPECT_THROW(f.Tree->CloseEditor(), Exception);
  ASSERT_EQ(tsEditing, f.Tree->State());
  // An insertion finishes the list and raises the refusal afterwards.
  EXPECT_THROW(f.Tree->Add(), Exception);
  ASSERT_EQ(5, f.Tree->Count());
  ASSERT_EQ(5, f.Tree->AbsoluteCount());
  TdxTreeListNode* added = f.Tree->GetItem(4);
  EXPECT_EQ(4, f.Tree->GetAbsoluteIndex(added));
  EXPECT_EQ(added, f.Tree->GetAbsoluteNode(4));
  EXPECT_EQ(L"", added->GetString(1));
  EXPECT_EQ(L"100", f.Tree->GetItem(0)->GetString(1));  // the refused value was never written
  // A deletion cancels without validating: no error can leave the node's destruction.
  delete f.Tree->GetItem(3);
  EXPECT_EQ(tsNormal, f.Tree->State());
  EXPECT_FALSE(f.EditorShown());
  EXPECT_EQ(4, f.Tree->AbsoluteCount());
  for (int i = 0; i < 4; ++i) EXPECT_EQ(i, f.Tree->GetAbsoluteIndex(f.Tree->GetItem(i)));
  EXPECT_EQ(L"100", f.Tree->GetItem(0)->GetString(1));
  // The edited node itself may go too.
  f.Tree->ShowEditor();
  f.Type(L"\b\b\b2");
  delete f.Tree->GetItem(0);
  EXPECT_EQ(tsNormal, f.Tree->State());
  EXPECT_EQ(3, f.Tree->AbsoluteCount());
}

TEST(TreeListEditing, TheEditedVisibleColumnIsWrittenWhateverItsAbsoluteIndex) {
  TEditForm f;
  f.Text->SetVisible(false);  // visible column 0 is now the mask column
  f.Tree->SetFocusedColumn(0);
  f.Tree->ShowEditor();
  ASSERT_EQ(tsEditing, f.Tree->State());
  ASSERT_TRUE(f.Editor()->Is<TdxInplaceMaskEdit>());
  f.Type(L"987");
  f.Tree->CloseEditor();
  EXPECT_EQ(L"987", f.Tree->GetItem(0)->GetString(1));
  EXPECT_EQ(L"t0", f.Tree->GetItem(0)->GetString(0));
}

TEST(TreeListEditing, ShowEditorCharTypesPastesAndCutsIntoTheNewEditor) {
  TEditForm f;
  f.Tree->ShowEditorChar(L'z');
  Pump();
  EXPECT_EQ(L"z", f.Tree->EditingText());
  f.Tree->CloseEditor();
  EXPECT_EQ(L"z", f.Tree->GetItem(0)->GetString(0));
  Clipboard().SetAsText(L"pasted");
  f.Tree->ShowEditorChar(wchar_t(22));
  Pump();
  EXPECT_EQ(L"pasted", f.Tree->EditingText());
  f.Tree->CloseEditor();
  f.Tree->ShowEditorChar(wchar_t(24));
  Pump();
  EXPECT_EQ(L"", f.Tree->EditingText());
  EXPECT_EQ(L"pasted", Clipboard().AsText());
  f.Tree->CancelEditor();
}

TEST(TreeListEditing, TheClickHoverTimerOpensTheEditorUnlessTheEventRefuses) {
  TEditForm f;
  bool allow = false;
  int asked = -1;
  f.Tree->OnClickHoverEdit = [&](TObject*, int column, bool& edit) {
    asked = column;
    edit = allow;
  };
  f.Tree->StartClickHoverEditTimer(true);
  EXPECT_TRUE(f.Tree->ClickHoverEditTimerActive());
  f.Tree->Perform(WM_TIMER, kClickHoverEditTimer, 0);
  EXPECT_FALSE(f.Tree->ClickHoverEditTimerActive());
  EXPECT_EQ(0, asked);
  EXPECT_EQ(tsNormal, f.Tree->State());
  allow = true;
  f.Tree->StartClickHoverEditTimer(false);
  EXPECT_FALSE(f.Tree->ClickHoverEditTimerActive());
  f.Tree->StartClickHoverEditTimer(true);
  f.Tree->Perform(WM_TIMER, kClickHoverEditTimer, 0);
  EXPECT_EQ(tsEditing, f.Tree->State());
  f.Tree->CloseEditor();
  // A press stops a waiting timer.
  f.Tree->StartClickHoverEditTimer(true);
  SendMessageW(f.Tree->Handle(), WM_LBUTTONDOWN, 0, MAKELPARAM(250, 150));
  EXPECT_FALSE(f.Tree->ClickHoverEditTimerActive());
}

TEST(TreeListEditing, TheTreeListAnswersItsEditorsColourFontStyleAndNeighbours) {
  TEditForm f;
  f.Text->SetColor(clYellow);
  f.Mask->SetReadOnly(true);
  f.Tree->OnGetEditColor = [](TObject*, TColor& color) {
    if (color == clYellow) color = clAqua;
  };
  f.Tree->ShowEditor();
  ASSERT_EQ(tsEditing, f.Tree->State());
  EXPECT_EQ(ColorToRGB(clAqua), ColorToRGB(f.Editor()->Color()));
  EXPECT_TRUE(f.Tree->CanEditModify());
  EXPECT_FALSE(f.Tree->IsEditorKeyBlocked());
  auto& style = f.Editor()->Style();
  EXPECT_TRUE(style.Is<TdxTreeListEditStyle>());
  EXPECT_EQ(xbsSingle, style.BorderStyle());
  EXPECT_EQ(clWindowFrame, style.BorderColor());
  f.Tree->FShowGrid = true;
  EXPECT_EQ(xbsNone, style.BorderStyle());
  // Moving on from inside the editor closes it and focuses the next column.
  f.Type(L"n");
  f.Tree->MoveToNeighbourCell(false);
  EXPECT_EQ(tsNormal, f.Tree->State());
  EXPECT_EQ(L"n", f.Tree->GetItem(0)->GetString(0));
  EXPECT_EQ(1, f.Tree->FocusedColumn());
  EXPECT_FALSE(f.Tree->CanEditModify());  // the mask column is read-only
  f.Tree->MoveToNeighbourCell(true);
  EXPECT_EQ(0, f.Tree->FocusedColumn());
  // With row selection the focused column always reads 0.
  f.Tree->SetFocusedColumn(1);
  f.Tree->SetOptions(f.Tree->Options() | OptionBit(aoRowSelect));
  EXPECT_EQ(0, f.Tree->FocusedColumn());
}

}  // namespace
}  // namespace treelist_test
