// The spin editor (limits, rounding, separators, keys, the held button's
// repeat), the time editor (fields at the caret, digit rules, its value), and
// which of the masked, spin and date editors the close lock holds open.
#include "support/VariantValues.h"
#include "ValueEditorsTest.h"
#include "dxPopupEdits.h"
#include "dxValueEdits.h"

#include <windowsx.h>

#include <type_traits>

using namespace tvk;
namespace valueeditors_test {

namespace {

// An editor with the close lock raised, as a drop-down in progress raises it.
template <class TEditor>
class TCloseLocked : public TEditor {
public:
  explicit TCloseLocked(TComponent* owner) : TEditor(owner) { this->FDisableCloseEditor = true; }
};

template <class TEditor>
struct CloseLock : EditorFixture<TCloseLocked<TEditor>> {};
using CloseLockedEditors = ::testing::Types<TdxInplaceMaskEdit, TdxInplaceSpinEdit, TdxInplaceDateEdit>;
TYPED_TEST_SUITE(CloseLock, CloseLockedEditors);

struct Spin : EditorFixture<TdxInplaceSpinEdit> {
  TFormatSettingsScope Locale{Settings()};
  // The screen point in the middle of the upper or lower button.
  POINT ButtonPoint(bool upper) {
    auto vd = Edit->CreateViewData(false);
    TdxEditViewInfo vi;
    Edit->EditClass().CalcViewInfo(*vd, false, vi);
    const RECT column =
        TdxInplaceSpinEditClass::SpinButtonColumn(vi, TdxInplaceSpinEditClass::CalcSpinButtonWidth(*vd));
    RECT window{};
    GetWindowRect(Edit->Handle(), &window);
    const int middle = (column.top + column.bottom) / 2;
    return POINT{window.left + (column.left + column.right) / 2,
                 window.top + (upper ? (column.top + middle) / 2 : (middle + column.bottom) / 2)};
  }
  LRESULT HitTest(bool upper) {
    const POINT p = ButtonPoint(upper);
    return SendMessageW(Edit->Handle(), WM_NCHITTEST, 0, MAKELPARAM(p.x, p.y));
  }
  void Key(WORD key, bool ctrl = false) {
    SetCtrlDown(ctrl);
    SendMessageW(Edit->Handle(), WM_KEYDOWN, key, 1);
    SendMessageW(Edit->Handle(), WM_KEYUP, key, LPARAM(1) | (LPARAM(3) << 30));
    SetCtrlDown(false);
  }
};

}  // namespace

TEST_F(Spin, LimitsClampUnlessBothAreZeroAndIntegersRoundHalvesToEven) {
  struct Row {
    TdxValueType Type;
    double Min, Max, Value;
    const wchar_t* Text;
  };
  const Row rows[] = {
      {vtInt, 0, 0, 12345, L"12345"}, {vtInt, 0, 0, -7, L"-7"},    {vtInt, 5, 5, 100, L"5"},
      {vtInt, 5, 5, -100, L"5"},      {vtInt, 0, 0, 2.5, L"2"},    {vtInt, 0, 0, 3.5, L"4"},
      {vtInt, 1, 10, 11, L"10"},      {vtInt, 1, 10, -1, L"1"},    {vtFloat, 0, 0, 1.25, L"1.25"},
      {vtFloat, -1, 1, 0.1, L"0.1"},  {vtInt, 10, 1, 50, L"1"},
  };
  Open(L"0");
  for (const Row& row : rows) {
    Edit->SetValueType(row.Type);
    Edit->SetMinMaxValues(row.Min, row.Max);
    Edit->SetValue(row.Value);
    EXPECT_EQ(row.Text, Edit->GetTextValue()) << row.Min << ".." << row.Max << " " << row.Value;
  }
  Edit->SetValueType(vtInt);
  Edit->SetMinMaxValues(3, 9);
  Edit->SetEditValue(L"2.5");
  EXPECT_EQ(3.0, Edit->GetValue());
  Edit->SetEditValue(L"");
  EXPECT_EQ(3.0, Edit->GetValue());
}

TEST_F(Spin, FloatTextReadsWithEitherSeparatorWithoutTouchingTheLocale) {
  TFormatSettingsScope comma(Settings(L',', L'.'));
  Open(L"0");
  Edit->SetValueType(vtFloat);
  Edit->SetEditValue(L"1.5");
  EXPECT_EQ(1.5, Edit->GetValue());
  Edit->SetEditValue(L"1,5");
  EXPECT_EQ(1.5, Edit->GetValue());
  EXPECT_EQ(L',', FormatSettings().DecimalSeparator);
  Edit->SetValue(2.25);
  EXPECT_EQ(L"2,25", Edit->GetTextValue());
}

TEST_F(Spin, AHeldButtonStepsAtOnceThenAtEveryTickAndPausesOffThePressedHalf) {
  Open(L"0");
  ASSERT_EQ(HTBORDER, HitTest(true));
  SendMessageW(Edit->Handle(), WM_NCLBUTTONDOWN, HTBORDER, 0);
  EXPECT_EQ(L"1", Edit->GetTextValue());
  EXPECT_TRUE(Edit->RepeatTimerRunning());
  EXPECT_EQ(sbTopDown, Edit->StatePressed());
  SendMessageW(Edit->Handle(), WM_TIMER, kSpinRepeatTimer, 0);
  EXPECT_EQ(L"2", Edit->GetTextValue());
  HitTest(false);
  SendMessageW(Edit->Handle(), WM_TIMER, kSpinRepeatTimer, 0);
  EXPECT_EQ(L"2", Edit->GetTextValue());
  EXPECT_TRUE(Edit->RepeatTimerRunning());
  HitTest(true);
  SendMessageW(Edit->Handle(), WM_TIMER, kSpinRepeatTimer, 0);
  SendMessageW(Edit->Handle(), WM_TIMER, kSpinRepeatTimer, 0);
  EXPECT_EQ(L"4", Edit->GetTextValue());
  EXPECT_TRUE(Edit->GetEditModified());
  SendMessageW(Edit->Handle(), WM_LBUTTONUP, 0, 0);
  EXPECT_EQ(sbNotDown, Edit->StatePressed());
  SendMessageW(Edit->Handle(), WM_TIMER, kSpinRepeatTimer, 0);
  EXPECT_EQ(L"4", Edit->GetTextValue());
  EXPECT_FALSE(Edit->RepeatTimerRunning());
  SendMessageW(Edit->Handle(), WM_MOUSEWHEEL, MAKEWPARAM(0, static_cast<WORD>(-WHEEL_DELTA)), 0);
  EXPECT_EQ(L"3", Edit->GetTextValue());
  EXPECT_EQ(sbNotDown, Edit->StatePressed());
}

TEST_F(Spin, ArrowKeysSpinOnlyWithCtrlWhenAskedAndADisabledTextOnlySpins) {
  Open(L"5");
  Key(VK_UP);
  EXPECT_EQ(L"6", Edit->GetTextValue());
  EXPECT_EQ(sbNotDown, Edit->StatePressed());
  Edit->FUseCtrlIncrement = true;
  Key(VK_DOWN);
  EXPECT_EQ(L"6", Edit->GetTextValue());
  Key(VK_DOWN, true);
  EXPECT_EQ(L"5", Edit->GetTextValue());
  Edit->FEditorEnabled = false;
  const int end = static_cast<int>(Edit->GetTextValue().size());
  Edit->SetSelection(end, end);
  Type(L"7\b");
  EXPECT_EQ(L"5", Edit->GetTextValue());
  Key(VK_UP, true);
  EXPECT_EQ(L"6", Edit->GetTextValue());
  Host->EditModify = false;
  Key(VK_UP, true);
  EXPECT_EQ(L"6", Edit->GetTextValue());
}

namespace {

struct TimeEdit : EditorFixture<TdxInplaceTimeEdit> {
  TFormatSettingsScope Locale{Settings()};
  void Caret(int position) { SendMessageW(Edit->Handle(), EM_SETSEL, position, position); }
};

}  // namespace

TEST_F(TimeEdit, StepsTheFieldAtTheCaretAndKeepsTheCaretThere) {
  Open(L"");
  Edit->SetValue(EncodeTime(10, 20, 30, 0));
  EXPECT_EQ(L"10:20:30", Edit->GetTextValue());
  Caret(4);
  EXPECT_EQ(L'N', Edit->PartAtCaret());
  SendMessageW(Edit->Handle(), WM_KEYDOWN, VK_UP, 1);
  EXPECT_EQ(L"10:21:30", Edit->GetTextValue());
  EXPECT_EQ(4, Edit->SelStart());
  Caret(0);
  SendMessageW(Edit->Handle(), WM_KEYDOWN, VK_DOWN, 1);
  EXPECT_EQ(L"09:21:30", Edit->GetTextValue());
  Edit->SetValue(EncodeTime(23, 59, 59, 0));
  Caret(7);
  SendMessageW(Edit->Handle(), WM_KEYDOWN, VK_UP, 1);
  EXPECT_EQ(L"23:59:59", Edit->GetTextValue());
  Edit->SetValue(-0.1);
  EXPECT_EQ(L"23:59:59", Edit->GetTextValue());
}

TEST_F(TimeEdit, DigitRulesOfTheHourMinuteAndSecondFields) {
  Open(L"");
  Edit->SetValue(EncodeTime(21, 0, 0, 0));
  struct Row {
    int Caret;
    wchar_t Key;
    bool Valid;
  };
  const Row rows[] = {{0, L'2', true}, {0, L'3', false}, {1, L'3', true}, {1, L'4', false},
                      {3, L'5', true}, {3, L'6', false}, {6, L'6', false}, {7, L'9', true}};
  for (const Row& row : rows) {
    Caret(row.Caret);
    EXPECT_EQ(row.Valid, Edit->IsValidNumberChar(row.Key)) << row.Caret << " " << static_cast<char>(row.Key);
  }
  Caret(3);
  Type(L"6");
  EXPECT_EQ(L"21:00:00", Edit->GetTextValue());
}

TEST_F(TimeEdit, ValueKeepsTheDatePartApartAndReadsZeroAsZero) {
  Open(L"45000.75");
  EXPECT_EQ(L"18:00:00", Edit->GetTextValue());
  EXPECT_EQ(45000.0, Edit->SavedDate());
  EXPECT_EQ(Variant(45000.75), Edit->GetEditValue());
  EXPECT_FALSE(Edit->GetEditModified());
  Edit->SetEditValue(L"");
  EXPECT_EQ(L"00:00:00", Edit->GetTextValue());
  EXPECT_EQ(VarFromCurrency(0), Edit->GetEditValue());
}

// A modified masked editor holds the host's close while the lock is up; the
// spin and date editors never do.
TYPED_TEST(CloseLock, OnlyTheMaskedEditorHoldsTheCloseOfAModifiedText) {
  TFormatSettingsScope locale{Settings()};
  this->Open(L"");
  this->Type(L"1");
  ASSERT_TRUE(this->Edit->GetEditModified());
  EXPECT_EQ((std::is_same_v<TypeParam, TdxInplaceMaskEdit>), this->Edit->IsCloseEditorDisabled());
}

}  // namespace valueeditors_test
