// The rich-edit text editor over the stand-in host, typed at through real messages.
#include "InplaceTest.h"

using namespace tvk;
using namespace inplace_test;

namespace {

struct TextEdit : HostFixture {
  TdxInplaceTextEdit* Edit = nullptr;
  int Changes = 0;
  void SetUp() override {
    HostFixture::SetUp();
    Edit = new TdxInplaceTextEdit(Host);
    Edit->SetParent(Host);
    Edit->OnChange = [this](TObject*) { ++Changes; };
    Host->Editor = Edit;
    Form->HandleNeeded();
  }
  void Type(const wchar_t* text) {
    for (const wchar_t* p = text; *p; ++p) SendMessageW(Edit->Handle(), WM_CHAR, *p, 1);
  }
};

}  // namespace

TEST_F(TextEdit, LoadsTheCellAndTypingReplacesTheSelectionAndMarksItModified) {
  Host->EditCell(2);
  EXPECT_EQ(L"gamma", Edit->GetEditValue());
  EXPECT_FALSE(Edit->GetEditModified());
  EXPECT_EQ(0, Changes);  // loading the value is no change
  EXPECT_FALSE(Edit->UndoAvailable());
  Edit->SelectAll();
  Type(L"xy");
  EXPECT_EQ(L"xy", Edit->GetEditValue());
  EXPECT_TRUE(Edit->GetEditModified());
  EXPECT_EQ(2, Changes);
  Host->CloseEditor();
  EXPECT_EQ(L"xy", Host->Cells[2]);
}

TEST_F(TextEdit, EscapeRestoresTheTextTheCellWasEnteredWith) {
  Host->EditCell(1);
  Edit->SelectAll();
  Type(L"zz");
  SendMessageW(Edit->Handle(), WM_KEYDOWN, VK_ESCAPE, 1);
  EXPECT_EQ(L"beta", Edit->GetEditValue());
  EXPECT_FALSE(Edit->GetEditModified());
  EXPECT_EQ((std::vector<WORD>{VK_ESCAPE}), Host->KeysDown);
}

TEST_F(TextEdit, AReadOnlyHostKeepsTheTextAsItWas) {
  Host->EditCell(0);
  Host->AcceptKey = false;
  Host->EditModify = false;
  Edit->Deselect();
  Type(L"q\x0436\x4E2D");
  EXPECT_EQ(L"alpha", Edit->GetEditValue());
  EXPECT_FALSE(Edit->GetEditModified());
}

TEST_F(TextEdit, UpperCaseEditorTypesCapitalsAndRecasesExistingText) {
  Host->EditCell(0);
  Edit->Deselect();
  Edit->SetCharCase(TEditCharCase::ecUpperCase);
  EXPECT_EQ(L"ALPHA", Edit->GetEditValue());
  EXPECT_FALSE(Edit->GetEditModified());  // re-casing is no edit
  Type(L"b\x0436");
  EXPECT_EQ(L"ALPHAB\x0416", Edit->GetEditValue());
}

TEST_F(TextEdit, MaxLengthLimitsTypingAlsoAfterTheTextWasSet) {
  Edit->SetMaxLength(-5);
  EXPECT_EQ(0, Edit->MaxLength());
  Edit->SetMaxLength(3);
  EXPECT_TRUE(Edit->StoredValues() & Bit(svEditLimit));
  Host->Cells[0] = L"";
  Host->EditCell(0);
  Type(L"abcd");
  EXPECT_EQ(L"abc", Edit->GetEditValue());
  Edit->SetEditValue(L"x");
  Edit->Deselect();
  Type(L"yzw");
  EXPECT_EQ(L"xyz", Edit->GetEditValue());
}

TEST_F(TextEdit, RecreatingTheWindowKeepsTextAndModifiedFlag) {
  Host->EditCell(3);
  Edit->Deselect();
  Type(L"!");
  ASSERT_TRUE(Edit->GetEditModified());
  HWND before = Edit->Handle();
  Edit->SetOEMConvert(true);
  EXPECT_NE(before, Edit->Handle());
  EXPECT_EQ(L"delta!", Edit->GetEditValue());
  EXPECT_TRUE(Edit->GetEditModified());
  wchar_t className[128]{};
  GetClassNameW(Edit->Handle(), className, 128);
  EXPECT_STREQ(L"TdxInplaceTextEdit", className);
}

TEST_F(TextEdit, SelectedTextIsCopiedOutWithinTheBuffer) {
  Host->EditCell(4);
  Edit->SetSelection(1, 5);
  EXPECT_EQ(L"psil", Edit->SelText());
  EXPECT_EQ(1, Edit->SelStart());
  EXPECT_EQ(4, Edit->SelLength());
  wchar_t buffer[4] = {L'#', L'#', L'#', L'#'};
  EXPECT_EQ(2, Edit->GetSelTextBuf(buffer, 3));
  EXPECT_STREQ(L"ps", buffer);  // BufSize - 1 characters and the null
  EXPECT_EQ(L'#', buffer[3]);
  Edit->SetSelText(L"-");
  EXPECT_EQ(L"e-on", Edit->GetEditValue());
}

TEST_F(TextEdit, PasswordEditorHidesItsCharacters) {
  Edit->SetPasswordChar(L'*');
  Host->EditCell(0);
  EXPECT_EQ(L'*', static_cast<wchar_t>(SendMessageW(Edit->Handle(), EM_GETPASSWORDCHAR, 0, 0)));
  auto vd = Edit->CreateViewData(false);
  auto* text = dynamic_cast<TdxTextEditViewData*>(vd.get());
  ASSERT_NE(nullptr, text);
  EXPECT_EQ(L'*', text->PasswordChar);
  EXPECT_EQ(L"alpha", text->Data);
}
