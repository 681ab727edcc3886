// In-place editing and the keyboard, through real key messages.
#include "InspectorTest.h"

namespace inspector_test {
namespace {

struct EditFixture : InspectorFixture {
  TdxInspectorNode *first = nullptr, *second = nullptr, *last = nullptr;
  void SetUp() override {
    InspectorFixture::SetUp();
    first = Insp->Row(L"first", L"one");
    second = Insp->Row(L"second", L"two");
    last = Insp->Row(L"last", L"three");
    Insp->SetFocus();
    Pump();
  }
  std::wstring EditorText() { return Insp->InplaceEditor() ? std::wstring(Insp->GetEditingText()) : L"<none>"; }
  void Type(const std::wstring& text) {
    Insp->SetEditingText(text);
    Insp->InplaceEditor()->SetEditModified(true);
  }
};

TEST_F(EditFixture, TheEditorOpensOnTheFocusedValueCellAndFollowsTheFocus) {
  ASSERT_NE(nullptr, Insp->InplaceEditor());
  EXPECT_EQ(first, Insp->InplaceNode());
  EXPECT_EQ(L"one", EditorText());
  RECT editor = Insp->InplaceEditor()->BoundsRect();
  InflateRect(&editor, -2, -2);
  const RECT cell = Insp->GetNodeEditRect(first);
  EXPECT_TRUE(EqualRect(&editor, &cell));
  Key(VK_DOWN);
  EXPECT_EQ(second, Insp->FocusedNode());
  EXPECT_EQ(second, Insp->InplaceNode());
  EXPECT_EQ(L"two", EditorText());
  // A category gets no editor.
  Insp->Categories.insert(last);
  Key(VK_DOWN);
  EXPECT_EQ(last, Insp->FocusedNode());
  EXPECT_TRUE(Insp->InplaceEditor() == nullptr || !Insp->InplaceEditor()->IsVisible());
}

TEST_F(EditFixture, UpOnTheFirstRowPostsOnlyAModifiedEditor) {
  Key(VK_UP);
  EXPECT_EQ(0, Insp->Saves);
  EXPECT_EQ(first, Insp->FocusedNode());
  Type(L"uno");
  Key(VK_UP);
  EXPECT_EQ(first, Insp->FocusedNode());
  EXPECT_EQ(L"uno", Insp->Values[first]);
  EXPECT_EQ(L"uno", EditorText());  // reloaded
  EXPECT_FALSE(Insp->InplaceEditor()->GetEditModified());
}

TEST_F(EditFixture, EnterPostsEvenUntouchedAndMovesOnlyWithEnterThrough) {
  Key(VK_RETURN);
  EXPECT_EQ(1, Insp->Saves);
  EXPECT_EQ(first, Insp->FocusedNode());
  Insp->SetOptions(Insp->Options() | tvk::InspectorOptionBit(tvk::ioEnterThrough));
  Type(L"eins");
  Key(VK_RETURN);
  EXPECT_EQ(L"eins", Insp->Values[first]);
  EXPECT_EQ(second, Insp->FocusedNode());
  EXPECT_EQ(L"two", EditorText());
}

TEST_F(EditFixture, EscReloadsTheRowsValue) {
  Type(L"changed");
  Key(VK_ESCAPE);
  EXPECT_EQ(L"one", EditorText());
  EXPECT_EQ(L"one", Insp->Values[first]);
}

TEST_F(EditFixture, TabAtTheLastRowStaysLeavesOrWraps) {
  Insp->SetOptions(Insp->Options() | tvk::InspectorOptionBit(tvk::ioTabs));
  auto* other = new tvk::TWinControl(Form.get());
  other->SetParent(Form.get());
  other->SetTabStop(true);
  other->SetBounds(250, 0, 50, 20);
  Insp->SetFocusedNode(last);
  Insp->SetFocus();
  Pump();
  Key(VK_TAB);
  EXPECT_EQ(last, Insp->FocusedNode());
  EXPECT_TRUE(Insp->IsActive());
  Insp->TabCyclesInsideInspector = true;
  Insp->SetOptions(Insp->Options() | tvk::InspectorOptionBit(tvk::ioTabThrough));
  Key(VK_TAB);
  EXPECT_EQ(first, Insp->FocusedNode());
  Key(VK_TAB, true);
  EXPECT_EQ(last, Insp->FocusedNode());
  Insp->TabCyclesInsideInspector = false;
  Key(VK_TAB);
  EXPECT_EQ(last, Insp->FocusedNode());
  EXPECT_EQ(other->Handle(), GetFocus());
}

TEST_F(EditFixture, NumericPlusExpandsACategoryButAPlainRowOnlyWithCtrl) {
  TdxInspectorNode* child = Insp->Row(L"child", L"c", second);
  (void)child;
  Insp->SetFocusedNode(second);
  Key(VK_ADD);
  EXPECT_FALSE(second->Expanded());
  Key(VK_ADD, false, true);
  EXPECT_TRUE(second->Expanded());
  Key(VK_SUBTRACT, false, true);
  EXPECT_FALSE(second->Expanded());
  Insp->Categories.insert(second);
  Insp->Invalidate();
  Key(VK_ADD);
  EXPECT_TRUE(second->Expanded());
  Key(VK_LEFT);
  EXPECT_FALSE(second->Expanded());
  Key(VK_RIGHT);
  EXPECT_TRUE(second->Expanded());
}

TEST_F(EditFixture, ARefusedWriteBackKeepsTheEditorOnItsRow) {
  Insp->RefusedValue = L"bad";
  Type(L"bad");
  Key(VK_DOWN);  // the failure stops the key inside the window procedure
  EXPECT_EQ(1, Errors);
  EXPECT_EQ(first, Insp->FocusedNode());
  EXPECT_EQ(first, Insp->InplaceNode());
  EXPECT_EQ(L"bad", EditorText());
  EXPECT_EQ(tvk::isNormal, Insp->State());
  EXPECT_FALSE(Insp->InitEdit());
}

TEST_F(EditFixture, ScrollingWritesTheEditorBack) {
  Type(L"scrolled");
  SendMessageW(Wnd(), WM_VSCROLL, SB_LINEDOWN, 0);
  EXPECT_EQ(L"scrolled", Insp->Values[first]);
}

TEST_F(EditFixture, ForgottenDefaultEditorsAreFreed) {
  for (int i = 0; i < 20; ++i) Key(i % 2 ? VK_UP : VK_DOWN);
  Pump();
  int editors = 0;
  for (int i = 0; i < Insp->ComponentCount(); ++i)
    if (Insp->Components(i)->Is<tvk::TdxInplaceEdit>()) ++editors;
  EXPECT_LE(editors, 2);
}

}  // namespace
}  // namespace inspector_test
