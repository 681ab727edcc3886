// The history edit: where its history lives in the registry, the legacy
// place read as a fallback, entries moved to the top, and an OK close.
#include "XPExtEdits.h"
#include "XPListsTest.h"

#include <string>

namespace {

using tvk::TXPHistoryEdit;

constexpr const wchar_t* kTestRoot = L"TvkTests";

// A registry value read directly; empty when missing.
std::wstring ReadValue(const std::wstring& key, const std::wstring& name) {
  wchar_t buffer[512]{};
  DWORD size = sizeof buffer;
  if (RegGetValueW(HKEY_CURRENT_USER, key.c_str(), name.c_str(), RRF_RT_REG_SZ, nullptr, buffer, &size) != ERROR_SUCCESS)
    return L"";
  return buffer;
}

void WriteValue(const std::wstring& key, const std::wstring& name, const std::wstring& value) {
  RegSetKeyValueW(HKEY_CURRENT_USER, key.c_str(), name.c_str(), REG_SZ, value.c_str(),
                  DWORD((value.size() + 1) * sizeof(wchar_t)));
}

struct HistoryTest : xplists_test::ListsFixture {
  // Keys unique to the test, removed afterwards.
  std::wstring Key = std::wstring(kTestRoot) + L"\\History" + std::to_wstring(GetCurrentProcessId()) + L"_" +
                     tvk::UTF8Decode(::testing::UnitTest::GetInstance()->current_test_info()->name());
  std::wstring LegacyKey = std::wstring(TXPHistoryEdit::kLegacyPrefix) + Key;
  ~HistoryTest() override {
    form.reset();  // its history edits save as their windows go
    RegDeleteTreeW(HKEY_CURRENT_USER, Key.c_str());
    RegDeleteTreeW(HKEY_CURRENT_USER, LegacyKey.c_str());
    // The parents go once no other test's keys stand in them.
    RegDeleteKeyW(HKEY_CURRENT_USER, kTestRoot);
    RegDeleteKeyW(HKEY_CURRENT_USER, (std::wstring(TXPHistoryEdit::kLegacyPrefix) + kTestRoot).c_str());
  }
  TXPHistoryEdit* MakeEdit() {
    auto* edit = Make<TXPHistoryEdit>(10, 10, 150, 21);
    edit->SetRegKey(Key + L"\\Values");
    return edit;
  }
};

TEST_F(HistoryTest, PathsComeFromTheOwnerAndName) {
  auto* edit = new TXPHistoryEdit(form.get());
  edit->SetName(L"EditFilename");
  EXPECT_EQ(edit->CurrentPath(), L"TForm\\EditFilename");
  EXPECT_EQ(edit->LegacyPath(), std::wstring(TXPHistoryEdit::kLegacyPrefix) + L"EditFilenameProp");
  edit->SetRegKey(L"A\\B");
  EXPECT_EQ(edit->CurrentPath(), L"A\\B");
  TXPHistoryEdit orphan(nullptr);
  EXPECT_EQ(orphan.CurrentPath(), L"\\") << "no owner, no name: right under the root";
  EXPECT_EQ(orphan.LegacyPath(), std::wstring(TXPHistoryEdit::kLegacyPrefix) + L"Default");
}

TEST_F(HistoryTest, AFreshProfileKeepsTheTextAndStoresLinesOnSave) {
  auto* edit = MakeEdit();
  edit->SetText(L"typed");
  edit->LoadHistory();
  EXPECT_EQ(edit->Items().Count(), 0);
  EXPECT_EQ(edit->Text(), L"typed");
  for (const wchar_t* item : {L"c", L"b", L"a"}) {
    edit->SetText(item);
    edit->AddToHistory();
  }
  edit->SaveHistory();
  EXPECT_EQ(ReadValue(Key, L"Values"), L"a\r\nb\r\nc\r\n");
}

TEST_F(HistoryTest, TheLegacyValueIsReadButNeverWritten) {
  WriteValue(LegacyKey, L"Values", L"old1\r\nold2\r\n");
  auto* edit = MakeEdit();
  edit->LoadHistory();
  ASSERT_EQ(edit->Items().Count(), 2);
  EXPECT_EQ(edit->Items()[1], L"old2");
  edit->SetText(L"new");
  edit->AddToHistory();
  edit->SaveHistory();
  EXPECT_EQ(ReadValue(Key, L"Values"), L"new\r\nold1\r\nold2\r\n");
  EXPECT_EQ(ReadValue(LegacyKey, L"Values"), L"old1\r\nold2\r\n");
  // The current place wins once it exists.
  auto* again = MakeEdit();
  again->LoadHistory();
  EXPECT_EQ(again->Items().Count(), 3);
}

TEST_F(HistoryTest, AnEntryAlreadyThereMovesToTheTop) {
  auto* edit = MakeEdit();
  edit->Items().SetText(L"x\r\ny\r\nz\r\n");
  edit->SetText(L"Z");
  edit->AddToHistory();
  EXPECT_EQ(edit->Items().Text(), L"Z\r\nx\r\ny\r\n") << "compared as the items compare, without case";
  EXPECT_EQ(edit->ItemIndex(), 0);
  edit->SetText(L"");
  edit->AddToHistory();
  EXPECT_EQ(edit->Items().Count(), 3) << "an empty text adds and removes nothing";
  delete edit;
  EXPECT_EQ(ReadValue(Key, L"Values"), L"Z\r\nx\r\ny\r\n") << "an edit freed on its own saves too";
}

TEST_F(HistoryTest, EnterAddsAndAnOkCloseRecordsWhatIsShown) {
  auto* edit = MakeEdit();
  int enters = 0;
  edit->OnEnterHit = [&](tvk::TObject*) { ++enters; };
  edit->SetText(L"entered");
  SendMessageW(edit->Handle(), WM_CHAR, L'\r', 0);
  EXPECT_EQ(enters, 1);
  edit->Perform(tvk::CM_WANTSPECIALKEY, VK_RETURN, 0);
  EXPECT_EQ(edit->Items()[0], L"entered");

  edit->SetText(L"shown at OK");
  form->SetModalResult(tvk::mrOk);
  form->DestroyHandle();
  EXPECT_EQ(ReadValue(Key, L"Values"), L"shown at OK\r\nentered\r\n");
}

TEST_F(HistoryTest, AnyOtherCloseSavesTheHistoryUnchanged) {
  auto* edit = MakeEdit();
  edit->Items().SetText(L"kept\r\n");
  edit->SetText(L"not taken");
  form->SetModalResult(tvk::mrCancel);
  form->DestroyHandle();
  EXPECT_EQ(ReadValue(Key, L"Values"), L"kept\r\n");
}

TEST_F(HistoryTest, AFailedSaveDuringTeardownIsSwallowed) {
  auto* edit = MakeEdit();
  // A key name longer than the registry takes: the key cannot be made.
  edit->SetRegKey(Key + L"\\" + std::wstring(300, L'k') + L"\\Values");
  EXPECT_THROW(edit->SaveHistory(), tvk::Exception);
  EXPECT_NO_THROW(form->DestroyHandle());
}

}  // namespace
