// The calculator editor: the calculator's display is the editor's text.
#include "ValueEditorsTest.h"
#include "dxPopupEdits.h"

using namespace tvk;
namespace valueeditors_test {

namespace {

struct CalcEdit : EditorFixture<TdxInplaceCalcEdit> {
  TFormatSettingsScope Locale{Settings()};
  HWND OpenCalculator(const WideString& text) {
    Open(text);
    Edit->DropDown();
    EXPECT_TRUE(Edit->ListVisible());
    TdxPopupCalculator* calc = Edit->PopupCalculator();
    EXPECT_NE(nullptr, calc);
    return calc ? calc->Handle() : nullptr;
  }
  bool CalculatorShown() { return IsWindowVisible(Edit->PopupCalculator()->Handle()) != FALSE; }
  static void Chars(HWND h, const std::wstring& keys) {
    for (wchar_t c : keys) SendMessageW(h, WM_CHAR, c, 1);
  }
};

}  // namespace

TEST_F(CalcEdit, StartsFromTheCellsNumberAndEnterLeavesTheResultMarkedModified) {
  const HWND calc = OpenCalculator(L"12.5");
  EXPECT_TRUE(CalculatorShown());
  EXPECT_FALSE(Edit->GetEditModified());
  Chars(calc, L"+2");
  EXPECT_EQ(L"2", Edit->GetTextValue());
  SendMessageW(calc, WM_KEYDOWN, VK_RETURN, 1);
  EXPECT_EQ(L"14.5", Edit->GetTextValue());
  EXPECT_TRUE(Edit->GetEditModified());
  EXPECT_FALSE(CalculatorShown());
}

TEST_F(CalcEdit, AnErrorOnTheDisplayBecomesZeroWhenTheCalculatorCloses) {
  const HWND calc = OpenCalculator(L"5");
  Edit->FBeepOnError = false;
  Chars(calc, L"/0=");
  EXPECT_EQ(CalcErrorText(), Edit->GetTextValue());
  SendMessageW(calc, WM_KEYDOWN, VK_ESCAPE, 1);
  EXPECT_FALSE(CalculatorShown());
  EXPECT_EQ(L"0", Edit->GetTextValue());
}

TEST_F(CalcEdit, QuickCloseOnEqualsAndEscapeKeepsTheLastDisplay) {
  Edit->FQuickClose = true;
  HWND calc = OpenCalculator(L"3");
  Chars(calc, L"*4");
  EXPECT_TRUE(CalculatorShown());
  Chars(calc, L"=");
  EXPECT_FALSE(CalculatorShown());
  EXPECT_EQ(L"12", Edit->GetTextValue());
  Edit->FQuickClose = false;
  SendMessageW(Edit->Handle(), WM_POPUPCLOSED, 0, 0);
  calc = OpenCalculator(L"7");
  Chars(calc, L"+8");
  SendMessageW(calc, WM_KEYDOWN, VK_ESCAPE, 1);
  EXPECT_FALSE(CalculatorShown());
  EXPECT_EQ(L"8", Edit->GetTextValue());
}

}  // namespace valueeditors_test
