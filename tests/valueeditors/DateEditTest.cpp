// The date editor: validation modes, the masked editor, and picks in the calendar.
#include "support/VariantValues.h"
#include "ValueEditorsTest.h"
#include "dxPopupEdits.h"

using namespace tvk;
namespace valueeditors_test {

namespace {

struct DateEdit : EditorFixture<TdxInplaceDateEdit> {
  TFormatSettingsScope Locale{Settings()};
  FixedClock Clock{EncodeDate(2025, 1, 15) + 0.25};
  void Enter(const std::wstring& text) {
    Edit->SetSelection(0, -1);
    Type(text);
  }
};

}  // namespace

TEST_F(DateEdit, UnreadableTextBecomesTheNullDateOrTodaySilentlyWithoutValidation) {
  Open(L"");
  Enter(L"abc");
  ASSERT_TRUE(Edit->GetEditModified());
  Edit->ValidateEdit();
  EXPECT_EQ(NullDate, Edit->Date());
  EXPECT_EQ(L"", Edit->GetTextValue());
  EXPECT_EQ(Null(), Edit->GetEditValue());
  Edit->FDateOnError = deToday;
  Enter(L"abc");
  Edit->ValidateEdit();
  EXPECT_EQ(EncodeDate(2025, 1, 15), Edit->Date());
  EXPECT_EQ(DateToText(EncodeDate(2025, 1, 15)), Edit->GetTextValue());
  Enter(L"today+3");
  Edit->ValidateEdit();
  EXPECT_EQ(EncodeDate(2025, 1, 18), Edit->Date());
}

TEST_F(DateEdit, ValidationRejectsUnreadableTextUnlessTheHandlerSuppliesADate) {
  Edit->FDateValidation = true;
  int changes = 0;
  Edit->FOnDateChange = [&](TObject*) { ++changes; };
  Open(L"");
  Enter(L"abc");
  try {
    Edit->ValidateEdit();
    ADD_FAILURE() << "no error raised";
  } catch (const Exception& e) {
    EXPECT_EQ(L"Invalid Date", e.Message());
  }
  EXPECT_EQ(NullDate, Edit->Date());
  EXPECT_EQ(L"abc", Edit->GetTextValue());
  Edit->FOnDateValidateInput = [](TObject*, const WideString& text, TDateTime& date, WideString&, bool& error) {
    if (text == L"abc") {
      error = false;
      date = EncodeDate(2024, 2, 29);
    }
  };
  Edit->ValidateEdit();
  EXPECT_EQ(EncodeDate(2024, 2, 29), Edit->Date());
  EXPECT_EQ(1, changes);
}

TEST_F(DateEdit, ARejectedTextKeepsTheEntrySnapshotThroughTheFocusComingBack) {
  Edit->FDateValidation = true;
  const TDateTime day = EncodeDate(2024, 3, 1);
  Open(DateToText(day));
  Enter(L"abc");
  EXPECT_THROW(Edit->ValidateEdit(), Exception);
  Edit->Perform(CM_ENTER, 0, 0);  // the focus taken back: no new snapshot of the refused text
  SendMessageW(Edit->Handle(), WM_KEYDOWN, VK_ESCAPE, 1);
  EXPECT_EQ(DateToText(day), Edit->GetTextValue());
  EXPECT_FALSE(Edit->GetEditModified());
}

TEST_F(DateEdit, AClosingHostClearsARefusedTextButKeepsTheDate) {
  struct ClosingDateEdit : TdxInplaceDateEdit {
    using TdxInplaceDateEdit::TdxInplaceDateEdit;
    void SetClosing() { FCloseFlag = true; }
  };
  auto* edit = new ClosingDateEdit(Host);
  edit->SetParent(Host);
  Host->Editor = Edit = edit;
  edit->FDateValidation = true;
  const TDateTime day = EncodeDate(2024, 3, 1);
  Open(DateToText(day));
  Enter(L"abc");
  edit->SetClosing();
  edit->ValidateEdit();
  EXPECT_EQ(day, edit->Date());
  EXPECT_EQ(L"", edit->GetTextValue());
}

TEST_F(DateEdit, OnlyTheUsersTypingMarksTheTextChangedAndShowingADateClearsIt) {
  Open(DateToText(EncodeDate(2024, 3, 1)));
  EXPECT_FALSE(Edit->TextChanged());
  Edit->SetEditModified(true);  // a host's flag is no typing: the text stays as it is
  Edit->ValidateEdit();
  EXPECT_FALSE(Edit->TextChanged());
  Enter(L"3/1/24");
  EXPECT_TRUE(Edit->TextChanged());
  Edit->ValidateEdit();  // the same date, but typed: the text is shown in full again
  EXPECT_FALSE(Edit->TextChanged());
  EXPECT_EQ(DateToText(EncodeDate(2024, 3, 1)), Edit->GetTextValue());
}

TEST_F(DateEdit, ABlankMaskedEditorValidatesToTheNullDateAndItsCalendarShowsToday) {
  Open(L"");
  Edit->SetUseEditMask(true);
  EXPECT_EQ(L"!99/99/9999;1; ", Edit->EditMask());
  EXPECT_EQ(L"", Edit->GetEditingText());
  Edit->SetEditModified(true);
  Edit->ValidateEdit();
  EXPECT_EQ(NullDate, Edit->Date());
  Edit->DropDown();
  ASSERT_NE(nullptr, Edit->DateNavigator());
  EXPECT_EQ(EncodeDate(2025, 1, 15), Edit->DateNavigator()->SelStart());
  EXPECT_EQ(EncodeDate(2025, 1, 1), Edit->DateNavigator()->FirstDate());
  EXPECT_TRUE(IsWindowVisible(Edit->DateNavigator()->Handle()));
  Edit->SetEditValue(L"45000");
  EXPECT_EQ(L"03/15/2023", Edit->GetTextValue());
}

TEST_F(DateEdit, ACalendarPickKeepsTheTimeOfTheDateItOpenedWith) {
  Open(FloatToStr(EncodeDate(2023, 3, 15) + 0.75));
  EXPECT_EQ(EncodeDate(2023, 3, 15) + 0.75, Edit->Date());
  Edit->DropDown();
  TdxGridDatePopup* calendar = Edit->DateNavigator();
  ASSERT_NE(nullptr, calendar);
  EXPECT_EQ(EncodeDate(2023, 3, 15), calendar->SelStart());
  EXPECT_TRUE(calendar->ShowClearButton);
  calendar->SetSelStart(EncodeDate(2023, 3, 20));
  calendar->OnDateTimeChanged(calendar);
  EXPECT_NEAR(EncodeDate(2023, 3, 20) + 0.75, Edit->Date(), 1e-6);
  EXPECT_TRUE(Edit->GetEditModified());
  calendar->SetSelStart(NullDate);
  calendar->OnDateTimeChanged(calendar);
  EXPECT_EQ(NullDate, Edit->Date());
  EXPECT_EQ(L"", Edit->GetTextValue());
}

}  // namespace valueeditors_test
