// The pick-list editor: completion while typing, list style, stepping, the
// list's own type-ahead and the close-up.
#include "ValueEditorsTest.h"
#include "dxPopupEdits.h"

using namespace tvk;
namespace valueeditors_test {

namespace {

DWORD gPickClock = 0;
DWORD PickClock() { return gPickClock; }

struct PickEdit : EditorFixture<TdxInplacePickEdit> {
  void SetUp() override {
    EditorFixture::SetUp();
    Edit->Items().Add(L"Apple");
    Edit->Items().Add(L"Apricot");
    Edit->Items().Add(L"Banana");
  }
  void TearDown() override { TCustomdxPopupPickListBox::SetTickSource(nullptr); }
  void Pump() {
    MSG m{};
    while (PeekMessageW(&m, nullptr, 0, 0, PM_REMOVE)) DispatchMessageW(&m);
  }
};

}  // namespace

TEST_F(PickEdit, TypingCompletesFromTheFirstMatchingItemAndOpensTheList) {
  Open(L"");
  Type(L"a");
  EXPECT_EQ(L"Apple", Edit->GetTextValue());
  EXPECT_EQ(1, Edit->SelStart());
  EXPECT_EQ(L"pple", Edit->SelText());
  ASSERT_TRUE(Edit->ListVisible());
  EXPECT_EQ(0, Edit->PickList().ItemIndex());
  Type(L"PR");
  EXPECT_EQ(L"Apricot", Edit->GetTextValue());
  EXPECT_EQ(3, Edit->SelStart());
  SendMessageW(Edit->Handle(), WM_KEYDOWN, VK_BACK, 1);
  Type(L"\b");
  EXPECT_EQ(L"Apr", Edit->GetTextValue());
  SendMessageW(Edit->Handle(), WM_KEYDOWN, VK_BACK, 1);
  Type(L"\b");
  EXPECT_EQ(L"Ap", Edit->GetTextValue());
  EXPECT_TRUE(Edit->GetEditModified());
  EXPECT_EQ(1, Edit->FindItem(L"apr"));
  Edit->SetCaseSensitive(true);
  EXPECT_EQ(-1, Edit->FindItem(L"apr"));
}

TEST_F(PickEdit, ACharacterWithoutAMatchingItemStays) {
  Edit->FImmediateDropDown = false;
  Open(L"");
  Type(L"x");
  EXPECT_EQ(L"x", Edit->GetTextValue());
  EXPECT_FALSE(Edit->ListVisible());
  EXPECT_EQ(-1, Edit->ItemIndex());
}

TEST_F(PickEdit, ListStyleEmptiesTheTextOnlyWhenDeletingIsAllowed) {
  Edit->SetDropDownListStyle(true);
  Open(L"Banana");
  EXPECT_FALSE(Edit->CanModify());
  Edit->SetSelection(0, -1);
  SendMessageW(Edit->Handle(), WM_KEYDOWN, VK_DELETE, 1);
  EXPECT_EQ(L"Banana", Edit->GetTextValue());
  Edit->FCanDeleteText = true;
  Edit->SetSelection(0, -1);
  SendMessageW(Edit->Handle(), WM_KEYDOWN, VK_DELETE, 1);
  EXPECT_EQ(L"", Edit->GetTextValue());
}

TEST_F(PickEdit, DoubleClickOnARevertableEditorStepsAndWrapsAfterTheLastItem) {
  Open(L"Banana");
  SendMessageW(Edit->Handle(), WM_LBUTTONDBLCLK, MK_LBUTTON, MAKELPARAM(3, 3));
  EXPECT_EQ(L"Banana", Edit->GetTextValue());
  Edit->FRevertable = true;
  SendMessageW(Edit->Handle(), WM_LBUTTONDBLCLK, MK_LBUTTON, MAKELPARAM(3, 3));
  EXPECT_EQ(L"Apple", Edit->GetTextValue());
  Edit->SelectNext(-1, false);
  EXPECT_EQ(L"Apple", Edit->GetTextValue());
  Edit->SelectNext(5, false);
  EXPECT_EQ(L"Banana", Edit->GetTextValue());
}

TEST_F(PickEdit, ListTypeAheadRestartsAfterAPauseAndCloseUpPostsEnter) {
  TCustomdxPopupPickListBox::SetTickSource(&PickClock);
  Edit->PostEditorOnCloseUp = true;
  Open(L"Apple");
  Edit->DropDown();
  ASSERT_TRUE(Edit->ListVisible());
  const HWND list = Edit->PickList().Handle();
  EXPECT_EQ(0, Edit->PickList().ItemIndex());
  gPickClock = 10000;
  SendMessageW(list, WM_CHAR, L'b', 1);
  gPickClock = 10100;
  SendMessageW(list, WM_CHAR, L'a', 1);
  EXPECT_EQ(2, Edit->PickList().ItemIndex());
  SendMessageW(list, WM_CHAR, L'q', 1);  // no item begins with "baq"
  EXPECT_EQ(L"ba", static_cast<TCustomdxPopupPickListBox&>(Edit->PickList()).SearchText());
  gPickClock = 12500;
  SendMessageW(list, WM_CHAR, L'a', 1);
  EXPECT_EQ(0, Edit->PickList().ItemIndex());
  SendMessageW(list, WM_CHAR, L'p', 1);
  SendMessageW(list, WM_CHAR, L'r', 1);
  EXPECT_EQ(1, Edit->PickList().ItemIndex());
  Host->KeysDown.clear();
  Edit->CloseUp(true);
  EXPECT_FALSE(Edit->ListVisible());
  EXPECT_FALSE(IsWindowVisible(list));
  EXPECT_EQ(L"Apricot", Edit->GetTextValue());
  Pump();
  EXPECT_EQ(std::vector<WORD>{VK_RETURN}, Host->KeysDown);
}

}  // namespace valueeditors_test
