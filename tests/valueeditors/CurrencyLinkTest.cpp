// The currency editor (typing, display, validation, paste, limits) and the
// hyperlink editor (start gestures through the shell seam, its look).
#include "support/VariantValues.h"
#include "Clipbrd.h"
#include "Shell.h"
#include "ValueEditorsTest.h"
#include "dxValueEdits.h"

#include <string>
#include <vector>

using namespace tvk;
namespace valueeditors_test {

namespace {

struct Currency : EditorFixture<TdxInplaceCurrencyEdit> {
  TFormatSettingsScope Locale{Settings()};
};

}  // namespace

TEST_F(Currency, TypingKeepsTheDecimalPlacesAcceptsExponentsAndRefusesEveryOtherCharacter) {
  Open(L"1");
  Type(L",23");  // the comma becomes the decimal separator
  EXPECT_EQ(L"1.23", Edit->GetTextValue());
  Type(L"4");
  EXPECT_EQ(L"1.23", Edit->GetTextValue());
  Edit->SetSelection(0, -1);
  Type(L"1E5");
  EXPECT_EQ(L"1E5", Edit->GetTextValue());
  Edit->SetSelection(0, -1);
  Type(L"-");
  EXPECT_EQ(L"-", Edit->GetTextValue());
  // A full-width digit, a letter of another script and a Latin letter are all refused.
  Type(L"\xFF11\x0416x");
  EXPECT_EQ(L"-", Edit->GetTextValue());
  Type(L"7");
  EXPECT_EQ(L"-7", Edit->GetTextValue());
  EXPECT_EQ(-7.0, Edit->GetValue());
}

TEST_F(Currency, DisplayUsesTheLocaleCurrencyPatternAndTheNullString) {
  TFormatSettings s = Settings();
  s.CurrencyString = L"$";
  s.CurrencyFormat = 0;
  s.CurrencyDecimals = 2;
  TFormatSettingsScope locale(s);
  Edit->RestoreDefaults();
  EXPECT_EQ(L"$,0.00;-$,0.00", Edit->DisplayFormat());
  Open(L"-1234.5");
  EXPECT_EQ(L"-$1,234.50", Edit->GetDisplayValue(true));
  EXPECT_EQ(L"-$1,234.50", Edit->CreateViewData(false)->Data);
  Edit->SetEditValue(L"");
  EXPECT_EQ(L"$0.00", Edit->GetDisplayValue(true));
  Edit->SetNullable(true);
  Edit->SetNullString(L"(none)");
  EXPECT_EQ(L"(none)", Edit->GetDisplayValue(true));
  Edit->SetDisplayFormat(L"");
  Edit->SetEditValue(L"12.5");
  EXPECT_EQ(L"12.5", Edit->GetDisplayValue(true));
}

TEST_F(Currency, RefreshingDefaultsKeepsTheSetFormatAndLimitsAndRedrawsWithAFormat) {
  Open(L"5");
  EXPECT_TRUE(Edit->IsNeededRedraw());
  const WideString standard = Edit->DefaultDisplayFormat();
  Edit->SetDisplayFormatInternal(L"0.0");  // derived, not set
  Edit->SetMinMax(1, 3);
  Edit->RefreshDefaults();
  EXPECT_EQ(standard, Edit->DisplayFormat());
  EXPECT_EQ(0.0, Edit->MaxValue());
  Edit->SetDisplayFormat(L"");
  Edit->SetMinMaxValues(1, 3);
  Edit->RefreshDefaults();
  EXPECT_EQ(L"", Edit->DisplayFormat());
  EXPECT_FALSE(Edit->IsNeededRedraw());
  EXPECT_EQ(1.0, Edit->MinValue());
  EXPECT_EQ(3.0, Edit->MaxValue());
}

TEST_F(Currency, ValidationNormalisesClampsAndLeavesANullableEmptyText) {
  Open(L"");
  Edit->SetEditModified(true);
  Edit->ValidateEdit();
  EXPECT_EQ(L"0", Edit->GetTextValue());
  Edit->SetNullable(true);
  Edit->SetEditValue(L"");
  Edit->SetEditModified(true);
  Edit->ValidateEdit();
  EXPECT_EQ(Null(), Edit->GetEditValue());
  Edit->SetValue(150);
  EXPECT_EQ(L"150", Edit->GetTextValue());
  EXPECT_TRUE(Edit->GetEditModified());
  Edit->SetMinMaxValues(0, 100);
  EXPECT_EQ(L"100", Edit->GetTextValue());
  Edit->SetValue(-3);
  EXPECT_EQ(L"0", Edit->GetTextValue());
  Edit->SetMinMaxValues(20, 10);
  EXPECT_EQ(10.0, Edit->MinValue());
  Edit->SetEditValue(L"abc");
  EXPECT_EQ(10.0, Edit->GetValue());
  Edit->SetEditValue(L"1,250.5");
  EXPECT_EQ(1250.5, Edit->GetValue());
}

TEST_F(Currency, PastingSomethingThatIsNoNumberRestoresTheText) {
  Open(L"7");
  Edit->SetSelection(0, -1);
  Clipboard().SetAsText(L"abc");
  SendMessageW(Edit->Handle(), WM_PASTE, 0, 0);
  EXPECT_EQ(L"7", Edit->GetTextValue());
  EXPECT_EQ(L"7", Edit->SelText());
  Clipboard().SetAsText(L"12.5");
  SendMessageW(Edit->Handle(), WM_PASTE, 0, 0);
  EXPECT_EQ(L"12.5", Edit->GetTextValue());
}

namespace {

struct ShellCall {
  HWND Window;
  std::wstring Operation, File;
  int Show;
};
std::vector<ShellCall> gShellCalls;

HINSTANCE WINAPI RecordShellCall(HWND window, const wchar_t* operation, const wchar_t* file, const wchar_t*,
                                 const wchar_t*, int show) {
  gShellCalls.push_back({window, operation, file, show});
  return reinterpret_cast<HINSTANCE>(static_cast<INT_PTR>(2));  // a failure, which the editor ignores
}

struct HyperLink : EditorFixture<TdxInplaceHyperLinkEdit> {
  TShellExecuteProc Saved = nullptr;
  void SetUp() override {
    EditorFixture::SetUp();
    gShellCalls.clear();
    Saved = SetShellExecuteProc(&RecordShellCall);
  }
  void TearDown() override {
    SetShellExecuteProc(Saved);
    SetCtrl(false);
  }
  static void SetCtrl(bool down) {
    BYTE keys[256]{};
    GetKeyboardState(keys);
    keys[VK_CONTROL] = down ? 0x80 : 0;
    SetKeyboardState(keys);
  }
  void CtrlEnter() {
    SetCtrl(true);
    SendMessageW(Edit->Handle(), WM_KEYDOWN, VK_RETURN, 1);
    SetCtrl(false);
  }
};

}  // namespace

TEST_F(HyperLink, StartKeyOpensTheUntrimmedTextMaximisedAndNeverReachesTheHost) {
  Open(L" www.example.org ");
  CtrlEnter();
  ASSERT_EQ(1u, gShellCalls.size());
  EXPECT_EQ(L"OPEN", gShellCalls[0].Operation);
  EXPECT_EQ(L" www.example.org ", gShellCalls[0].File);
  EXPECT_EQ(SW_SHOWMAXIMIZED, gShellCalls[0].Show);
  EXPECT_EQ(Form->Handle(), gShellCalls[0].Window);
  EXPECT_TRUE(Host->KeysDown.empty());
  Edit->FStartKey = 0;
  CtrlEnter();
  EXPECT_EQ(1u, gShellCalls.size());
}

TEST_F(HyperLink, BlankTextCallsNothingButTheHandlerAlwaysRuns) {
  Open(L"   ");
  Edit->StartLink();
  EXPECT_TRUE(gShellCalls.empty());
  int started = 0;
  Edit->OnStartClick = [&](TObject*) { ++started; };
  Edit->SetEditValue(L"");
  Edit->StartLink();
  EXPECT_EQ(1, started);
  EXPECT_TRUE(gShellCalls.empty());
}

TEST_F(HyperLink, DoubleClickStartsOnlyWhenTheEditorMayBeModified) {
  Open(L"file.txt");
  Edit->SetReadOnly(true);
  SendMessageW(Edit->Handle(), WM_LBUTTONDBLCLK, MK_LBUTTON, MAKELPARAM(5, 5));
  EXPECT_TRUE(gShellCalls.empty());
  Edit->SetReadOnly(false);
  SendMessageW(Edit->Handle(), WM_LBUTTONDBLCLK, MK_LBUTTON, MAKELPARAM(5, 5));
  EXPECT_EQ(1u, gShellCalls.size());
  Edit->FSingleClick = true;
  SendMessageW(Edit->Handle(), WM_LBUTTONDBLCLK, MK_LBUTTON, MAKELPARAM(5, 5));
  EXPECT_EQ(1u, gShellCalls.size());
  SendMessageW(Edit->Handle(), WM_LBUTTONUP, 0, MAKELPARAM(5, 5));
  EXPECT_EQ(2u, gShellCalls.size());
}

TEST_F(HyperLink, LinkFontFollowsTheEditorsFontAndColourAndTheCellShowsAHand) {
  Open(L"x");
  Edit->Font().SetSize(14);
  Edit->Perform(CM_FONTCHANGED);
  EXPECT_EQ(14, Edit->LinkFont().Size());
  EXPECT_TRUE(Edit->LinkFont().Style() & fsUnderline);
  EXPECT_EQ(clBlue, Edit->LinkFont().Color());
  Edit->SetLinkColor(clRed);
  EXPECT_EQ(clRed, Edit->LinkFont().Color());
  auto vd = Edit->CreateViewData(false);
  EXPECT_EQ(ColorToRGB(clRed), vd->TextColor);
  EXPECT_EQ(crdxHandPoint, Edit->EditClass().GetEditCursor(1, 1, *vd));
  CHARFORMAT2W format{};
  format.cbSize = sizeof(format);
  SendMessageW(Edit->Handle(), WM_SETFONT, reinterpret_cast<WPARAM>(Edit->Font().Handle()), 0);
  SendMessageW(Edit->Handle(), EM_GETCHARFORMAT, SCF_DEFAULT, reinterpret_cast<LPARAM>(&format));
  EXPECT_EQ(ColorToRGB(clRed), format.crTextColor);
  EXPECT_EQ(CFU_UNDERLINE, format.bUnderlineType);
}

}  // namespace valueeditors_test
