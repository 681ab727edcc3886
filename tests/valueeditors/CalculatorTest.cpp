// The pocket calculator: engine, keys, layout, sizing, clipboard and painting.
#include "Clipbrd.h"
#include "ValueEditorsTest.h"
#include "dxCalc.h"

#include <string>
#include <vector>

using namespace tvk;
namespace valueeditors_test {
using enum TdxCalcButtonKind;

namespace {

// A calculator whose display is a text of its own.
class TDisplayCalculator : public TCustomdxCalculator {
public:
  TVK_CLASS(TDisplayCalculator, TCustomdxCalculator)
  using TCustomdxCalculator::TCustomdxCalculator;
  WideString Display;

protected:
  void ReadDisplayText(WideString& text) override { text = Display; }
  void WriteDisplayText(const WideString& text) override { Display = text; }
};

// Presses the buttons a script names: digits and operators as typed, "C"
// clear, "S" sign, "P" M+, "M" MS, "R" MR, "L" MC, "B" back, "=" equal.
void Press(TCustomdxCalculator& calc, const std::wstring& script) {
  for (wchar_t c : script) {
    TdxCalcButtonKind kind = TCustomdxCalculator::GetButtonKindChar(c);
    switch (c) {
      case L'C': kind = cbClear; break;
      case L'S': kind = cbSign; break;
      case L'P': kind = cbMP; break;
      case L'M': kind = cbMS; break;
      case L'R': kind = cbMR; break;
      case L'L': kind = cbMC; break;
      case L'B': kind = cbBack; break;
      default: break;
    }
    ASSERT_NE(cbNone, kind) << "script character " << static_cast<int>(c);
    calc.ProcessCalculatorButton(kind);
  }
}

struct CalcRow {
  const wchar_t* Script;
  const wchar_t* Display;
  TdxCalcState State;
  int Errors;
  int Results;
};

struct Calculator : FormFixture {
  TFormatSettingsScope Locale{Settings()};
  TDisplayCalculator* Calc = nullptr;
  int Errors = 0, Results = 0;
  void SetUp() override {
    FormFixture::SetUp();
    Calc = new TDisplayCalculator(Form.get());
    Calc->FBeepOnError = false;
    Calc->OnError = [this](TObject*) { ++Errors; };
    Calc->OnResult = [this](TObject*) { ++Results; };
  }
  void Show() {
    Calc->SetParent(Form.get());
    Form->Show();
    Calc->HandleNeeded();
  }
};

}  // namespace

TEST_F(Calculator, EngineWorksStrictlyLeftToRightThroughErrorsAndTheDigitLimit) {
  const CalcRow rows[] = {
      {L"2+3*4=", L"20", csFirst, 0, 1},
      {L"200+10%", L"220", csFirst, 0, 1},
      {L"50*10%", L"5", csFirst, 0, 1},
      {L"5++3=", L"8", csFirst, 0, 1},
      {L"1/0=", L"Error", csError, 1, 1},
      {L"1/0=5", L"Error", csError, 2, 1},
      {L"1/0=5C", L"0", csFirst, 2, 1},
      {L"1234567890123", L"1234567890123", csValid, 0, 0},
      {L"12345678901234", L"1234567890123", csValid, 0, 0},
      {L"123456789012S3", L"-1234567890123", csValid, 0, 0},
      {L"123456789012S34", L"-1234567890123", csValid, 0, 0},
      {L"9@", L"3", csFirst, 0, 0},
      {L"2+9@=", L"5", csFirst, 0, 1},
      {L"0+0-1=@", L"Error", csError, 1, 1},
      {L"1..5", L"1.5", csValid, 0, 0},
      {L"12BBB7", L"7", csValid, 0, 0},
      {L"3S8", L"-38", csValid, 0, 0},
      {L"7MC4+R=", L"11", csFirst, 0, 1},
      {L"7MR5", L"75", csValid, 0, 0},
  };
  for (const CalcRow& row : rows) {
    SCOPED_TRACE(testing::Message() << "script " << UTF8Encode(row.Script));
    Calc->ProcessCalculatorButton(cbClear);
    Errors = Results = 0;
    Press(*Calc, row.Script);
    EXPECT_EQ(row.Display, Calc->Display);
    EXPECT_EQ(row.State, Calc->Status());
    EXPECT_EQ(row.Errors, Errors);
    EXPECT_EQ(row.Results, Results);
  }
}

TEST_F(Calculator, MemoryButtonsAreGreyedExactlyWhileTheMemoryIsZero) {
  Press(*Calc, L"0P");
  EXPECT_TRUE(Calc->Button(cbMC).Grayed);
  EXPECT_TRUE(Calc->Button(cbMR).Grayed);
  Press(*Calc, L"7M");
  EXPECT_EQ(7.0L, Calc->Memory());
  EXPECT_FALSE(Calc->Button(cbMC).Grayed);
  EXPECT_FALSE(Calc->Button(cbMR).Grayed);
  Press(*Calc, L"3P");
  EXPECT_EQ(10.0L, Calc->Memory());
  Press(*Calc, L"L");
  EXPECT_EQ(0.0L, Calc->Memory());
  EXPECT_TRUE(Calc->Button(cbMR).Grayed);
}

TEST_F(Calculator, ButtonClickHandlerMayReplaceTheButtonAndValueReadsTheDisplay) {
  Calc->OnButtonClick = [](TObject*, TdxCalcButtonKind& kind) {
    if (kind == cbNum1) kind = cbNum9;
  };
  Press(*Calc, L"11");
  EXPECT_EQ(L"99", Calc->Display);
  EXPECT_EQ(99.0L, Calc->Value());
  Calc->Display = L"x1";
  EXPECT_THROW(Calc->Value(), EConvertError);
  Calc->Display = L"  ";
  EXPECT_EQ(0.0L, Calc->Value());
}

TEST_F(Calculator, DefaultLayoutPlacesTheButtonsOnTheGrid) {
  struct Place {
    TdxCalcButtonKind Kind;
    RECT Rect;
  };
  const Place places[] = {
      {cbMC, {4, 30, 32, 52}},       {cbMP, {4, 108, 32, 130}},     {cbNum7, {44, 30, 72, 52}},
      {cbNum0, {44, 108, 72, 130}},  {cbDecimal, {108, 108, 136, 130}}, {cbDiv, {140, 30, 168, 52}},
      {cbSqrt, {172, 30, 200, 52}},  {cbEqual, {172, 108, 200, 130}},   {cbBack, {51, 4, 98, 26}},
      {cbCancel, {102, 4, 149, 26}}, {cbClear, {153, 4, 200, 26}},
  };
  for (const Place& p : places) {
    const RECT& r = Calc->Button(p.Kind).BtnRect;
    EXPECT_TRUE(EqualRect(&r, &p.Rect)) << "button " << static_cast<int>(p.Kind) << ": " << r.left << "," << r.top
                                        << "," << r.right << "," << r.bottom;
  }
  EXPECT_EQ(L".", Calc->Button(cbDecimal).Text);
  EXPECT_EQ(L"sqrt", Calc->Button(cbSqrt).Text);
  EXPECT_EQ(cbNum5, Calc->GetButtonKindAt(80, 60));
  EXPECT_EQ(cbNone, Calc->GetButtonKindAt(38, 60));
}

TEST_F(Calculator, KeyTableAnswersByShiftState) {
  struct KeyRow {
    WORD Key;
    TShiftState Shift;
    TdxCalcButtonKind Kind;
  };
  const KeyRow keys[] = {
      {VK_RETURN, ssShift, cbEqual}, {VK_ESCAPE, 0, cbClear}, {VK_DELETE, 0, cbCancel}, {'C', 0, cbClear},
      {'C', ssCtrl, cbNone},         {'L', ssCtrl, cbMC},     {'L', 0, cbNone},         {'R', ssCtrl, cbMR},
      {'R', ssShift, cbRev},         {'M', ssCtrl, cbMS},     {'P', ssCtrl, cbMP},      {VK_F9, ssAlt, cbSign},
  };
  for (const KeyRow& k : keys)
    EXPECT_EQ(k.Kind, TCustomdxCalculator::GetButtonKindKey(k.Key, k.Shift)) << "key " << k.Key;
}

TEST_F(Calculator, AHeldDigitEntersOnceWhileAHeldBackspaceRepeats) {
  Show();
  const HWND h = Calc->Handle();
  const LPARAM first = 1, repeat = LPARAM(1) | (LPARAM(1) << 30);
  SendMessageW(h, WM_CHAR, L'5', first);
  SendMessageW(h, WM_CHAR, L'5', repeat);
  SendMessageW(h, WM_CHAR, L'5', repeat);
  EXPECT_EQ(L"5", Calc->Display);
  EXPECT_TRUE(Calc->Button(cbNum5).Down);
  SendMessageW(h, WM_KEYUP, '5', LPARAM(1) | (LPARAM(3) << 30));
  EXPECT_FALSE(Calc->Button(cbNum5).Down);
  Press(*Calc, L"678");
  EXPECT_EQ(L"5678", Calc->Display);
  SendMessageW(h, WM_CHAR, L'\b', first);
  SendMessageW(h, WM_CHAR, L'\b', repeat);
  SendMessageW(h, WM_CHAR, L'\b', repeat);
  EXPECT_EQ(L"5", Calc->Display);
  SendMessageW(h, WM_KEYUP, VK_BACK, LPARAM(1) | (LPARAM(3) << 30));
  EXPECT_FALSE(Calc->Button(cbBack).Down);
  EXPECT_EQ(DLGC_WANTARROWS, SendMessageW(h, WM_GETDLGCODE, 0, 0));
}

TEST_F(Calculator, ResizingFitsTheButtonsAndClearsMemoryAndThePendingOperation) {
  Show();
  Press(*Calc, L"7M5+");
  ASSERT_EQ(7.0L, Calc->Memory());
  Calc->SetBounds(0, 0, 300, 200);
  RECT client{};
  GetClientRect(Calc->Handle(), &client);
  EXPECT_EQ(304, client.right);
  EXPECT_EQ(201, client.bottom);
  const RECT equal{6 + 42 + 12 + 4 + 4 * 48, 6 + 4 * 39, 6 + 42 + 12 + 4 + 4 * 48 + 42, 5 * 39};
  EXPECT_TRUE(EqualRect(&Calc->Button(cbEqual).BtnRect, &equal));
  EXPECT_EQ(0.0L, Calc->Memory());
  EXPECT_TRUE(Calc->Button(cbMR).Grayed);
  Press(*Calc, L"3=");
  EXPECT_EQ(L"3", Calc->Display);
}

TEST_F(Calculator, PasteReadsANumberWithoutTheCurrencyAndAnythingElseAsZero) {
  TFormatSettings s = Settings(L',', L'.');
  s.CurrencyString = L"EUR";
  TFormatSettingsScope locale(s);
  Show();
  Clipboard().SetAsText(L" 12,5 EUR ");
  Calc->PasteFromClipboard();
  EXPECT_EQ(L"12,5", Calc->Display);
  EXPECT_EQ(csValid, Calc->Status());
  Press(*Calc, L"1");
  EXPECT_EQ(L"12,51", Calc->Display);
  Clipboard().SetAsText(L"abc");
  Calc->PasteFromClipboard();
  EXPECT_EQ(L"0", Calc->Display);
  Calc->Display = L"42";
  Calc->CopyToClipboard();
  EXPECT_EQ(L"42", Clipboard().AsText());
}

TEST_F(Calculator, AGreyedMemoryButtonDrawsItsCaptionInTheShadowColour) {
  Show();
  TBitmap before, after;
  const RECT mc = Calc->Button(cbMC).BtnRect;
  const COLORREF red = ColorToRGB(clRed);
  PrintClient(Calc->Handle(), before);
  EXPECT_FALSE(HasColor(before, mc, red));
  Press(*Calc, L"7M");
  PrintClient(Calc->Handle(), after);
  EXPECT_TRUE(HasColor(after, mc, red));
  EXPECT_TRUE(HasColor(after, Calc->Button(cbNum7).BtnRect, ColorToRGB(clBlue)));
}

TEST_F(Calculator, ItsOwnFontLeavesTheParentsAndItsSingleBorderFollowsCtl3D) {
  Calc->SetParent(Form.get());
  EXPECT_FALSE(Calc->Ctl3D());
  EXPECT_FALSE(Calc->ParentCtl3D());
  EXPECT_TRUE(Calc->ParentFont());
  Form->Font().SetName(L"Courier New");
  EXPECT_EQ(L"Courier New", Calc->Font().Name());
  Calc->Font().SetSize(13);
  EXPECT_FALSE(Calc->ParentFont());
  Form->Font().SetName(L"Arial");
  EXPECT_EQ(L"Courier New", Calc->Font().Name());

  Calc->FBorderStyle = TdxCalcBorderStyle::bsSingle;
  Show();
  auto styleOf = [&] {
    return std::pair{GetWindowLongPtrW(Calc->Handle(), GWL_STYLE) & WS_BORDER,
                     GetWindowLongPtrW(Calc->Handle(), GWL_EXSTYLE) & WS_EX_CLIENTEDGE};
  };
  EXPECT_EQ(std::pair(LONG_PTR(WS_BORDER), LONG_PTR(0)), styleOf()) << "flat: a plain border";
  Calc->SetCtl3D(true);
  EXPECT_EQ(std::pair(LONG_PTR(0), LONG_PTR(WS_EX_CLIENTEDGE)), styleOf()) << "3-D: the sunken edge";
}

}  // namespace valueeditors_test
