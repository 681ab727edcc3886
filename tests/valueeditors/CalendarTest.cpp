// The month calendar pop-up: shown dates, hit tests, keys, buttons, the arrow
// repeat and the month list.
#include "ValueEditorsTest.h"
#include "dxGrDate.h"

using namespace tvk;
namespace valueeditors_test {

namespace {

class TTestDatePopup : public TdxGridDatePopup {
public:
  TVK_CLASS(TTestDatePopup, TdxGridDatePopup)
  using TdxGridDatePopup::TdxGridDatePopup;
  using TdxGridDatePopup::KeyDown;
  using TdxGridDatePopup::MouseDown;
  using TdxGridDatePopup::MouseMove;
  using TdxGridDatePopup::MouseUp;
};

// The week's first day for one scope.
class WeekStart {
public:
  explicit WeekStart(int day) : FSaved(FirstDayOfWeek()) { SetFirstDayOfWeek(day); }
  ~WeekStart() { SetFirstDayOfWeek(FSaved); }

private:
  int FSaved;
};

struct Calendar : ::testing::Test {
  FixedClock Clock{EncodeDate(2025, 1, 15) + 0.5};
  std::unique_ptr<TTestDatePopup> Popup{new TTestDatePopup(nullptr)};
  int Changes = 0;

  void SetUp() override {
    Popup->ShowClearButton = true;
    Popup->SetFirstDate(EncodeDate(2024, 9, 17));
    Popup->SetSelStart(EncodeDate(2024, 9, 17));
    Popup->OnDateTimeChanged = [this](TObject*) { ++Changes; };
    Popup->SetBounds(100, 100, 20, 20);
    Popup->HandleNeeded();
    Popup->ShowPopup();
  }
  // The middle of day cell (Col, Row).
  POINT Cell(int col, int row) {
    return POINT{Popup->SideWidth() + col * Popup->ColWidth() + Popup->ColWidth() / 2,
                 Popup->DaysTop() + Popup->DaysOfWeekHeight() + row * Popup->RowHeight() + Popup->RowHeight() / 2};
  }
  static POINT Middle(const RECT& r) { return POINT{(r.left + r.right) / 2, (r.top + r.bottom) / 2}; }
  void Click(POINT p) {
    Popup->MouseDown(TMouseButton::mbLeft, ssLeft, p.x, p.y);
    Popup->MouseUp(TMouseButton::mbLeft, 0, p.x, p.y);
  }
  bool Visible() { return IsWindowVisible(Popup->Handle()) != FALSE; }
};

}  // namespace

TEST(CalendarDates, MonthShiftLeapYearsAndDateParts) {
  int year = 2024, month = 11;
  ShiftMonth(year, month, 3);
  EXPECT_EQ(2025, year);
  EXPECT_EQ(2, month);
  ShiftMonth(year, month, -14);
  EXPECT_EQ(2023, year);
  EXPECT_EQ(12, month);
  EXPECT_EQ(EncodeDate(2024, 2, 29), MonthShifted(EncodeDate(2024, 3, 31), -1));
  EXPECT_EQ(EncodeDate(2100, 2, 28), MonthShifted(EncodeDate(2100, 1, 31), 1));
  EXPECT_EQ(EncodeDate(2000, 2, 29), MonthShifted(EncodeDate(2000, 1, 30), 1));
  EXPECT_EQ(45000.0, DatePart(45000.75));
  EXPECT_EQ(45001.0, DatePart(45000.999999999999));
  EXPECT_EQ(-2.0, DatePart(-2.5));
  EXPECT_NEAR(0.75, TimeOfDay(45000.75), 1e-9);
}

TEST(CalendarDates, ShownRangeAlwaysHoldsSixWeeksAndAFullWeekBeforeAMonthStartingInTheFirstColumn) {
  struct Row {
    int WeekStart, Year, Month;
    TDateTime First, Last;
  };
  const Row rows[] = {
      {0, 2024, 9, EncodeDate(2024, 8, 25), EncodeDate(2024, 10, 5)},   // Sunday
      {0, 2024, 1, EncodeDate(2023, 12, 31), EncodeDate(2024, 2, 10)},  // Monday
      {0, 2024, 10, EncodeDate(2024, 9, 29), EncodeDate(2024, 11, 9)},  // Tuesday
      {0, 2024, 5, EncodeDate(2024, 4, 28), EncodeDate(2024, 6, 8)},    // Wednesday
      {0, 2024, 2, EncodeDate(2024, 1, 28), EncodeDate(2024, 3, 9)},    // Thursday
      {0, 2024, 3, EncodeDate(2024, 2, 25), EncodeDate(2024, 4, 6)},    // Friday
      {0, 2024, 6, EncodeDate(2024, 5, 26), EncodeDate(2024, 7, 6)},    // Saturday
      {1, 2024, 7, EncodeDate(2024, 6, 24), EncodeDate(2024, 8, 4)},    // Monday, weeks from Monday
      {1, 2024, 9, EncodeDate(2024, 8, 26), EncodeDate(2024, 10, 6)},   // Sunday, weeks from Monday
  };
  TTestDatePopup popup(nullptr);
  for (const Row& row : rows) {
    WeekStart start(row.WeekStart);
    popup.SetFirstDate(EncodeDate(row.Year, row.Month, 20));
    EXPECT_EQ(EncodeDate(row.Year, row.Month, 1), popup.FirstDate());
    EXPECT_EQ(row.First, popup.GetFirstShownDate()) << row.Year << "-" << row.Month << " from " << row.WeekStart;
    EXPECT_EQ(row.Last, popup.GetLastShownDate()) << row.Year << "-" << row.Month << " from " << row.WeekStart;
  }
}

TEST_F(Calendar, ClickingAGreyedDayOfTheNextMonthSelectsItClosesAndNotifies) {
  WeekStart start(0);
  const POINT p = Cell(6, 5);
  EXPECT_EQ(EncodeDate(2024, 10, 5), Popup->DateFromPoint(p));
  EXPECT_EQ(NullDate, Popup->DateFromPoint(POINT{1, p.y}));
  Click(p);
  EXPECT_EQ(EncodeDate(2024, 10, 5), Popup->SelStart());
  EXPECT_EQ(EncodeDate(2024, 9, 1), Popup->FirstDate());
  EXPECT_EQ(1, Changes);
  EXPECT_FALSE(Visible());
}

TEST_F(Calendar, KeysMoveTheSelectionAndTheShownMonthFollows) {
  WeekStart start(0);
  struct KeyRow {
    WORD Key;
    TShiftState Shift;
    TDateTime Expected;
  };
  const TDateTime base = EncodeDate(2025, 1, 15);  // a Wednesday
  const KeyRow rows[] = {
      {VK_LEFT, 0, base - 1},
      {VK_RIGHT, ssShift, base + 1},
      {VK_UP, 0, base - 7},
      {VK_DOWN, ssCtrl, base + 7},
      {VK_PRIOR, 0, EncodeDate(2024, 12, 15)},
      {VK_NEXT, 0, EncodeDate(2025, 2, 15)},
      {VK_END, ssCtrl, EncodeDate(2025, 1, 31)},
      {VK_END, ssCtrl | ssShift, EncodeDate(2025, 1, 18)},
      {VK_HOME, ssCtrl, EncodeDate(2025, 1, 1)},
      {VK_HOME, 0, EncodeDate(2025, 1, 12)},
  };
  for (const KeyRow& row : rows) {
    Popup->SetSelStart(base);
    WORD key = row.Key;
    Popup->KeyDown(key, row.Shift);
    EXPECT_EQ(row.Expected, Popup->SelStart()) << "key " << row.Key;
    EXPECT_EQ(FirstOfMonth(row.Expected), Popup->FirstDate()) << "key " << row.Key;
  }
  EXPECT_EQ(0, Changes);
  EXPECT_TRUE(Visible());
}

TEST_F(Calendar, EscapeClosesSilentlyEnterClosesWithTheNotification) {
  WORD key = VK_ESCAPE;
  Popup->KeyDown(key, 0);
  EXPECT_FALSE(Visible());
  EXPECT_EQ(0, Changes);
  Popup->ShowPopup();
  key = VK_DOWN;
  Popup->KeyDown(key, ssAlt);
  EXPECT_FALSE(Visible());
  EXPECT_EQ(0, Changes);
  Popup->ShowPopup();
  key = VK_RETURN;
  Popup->KeyDown(key, 0);
  EXPECT_FALSE(Visible());
  EXPECT_EQ(1, Changes);
}

TEST_F(Calendar, TodayAndClearButtonsSetTheSelectionAndCloseOnlyWhenReleasedOverThem) {
  const RECT today = Popup->TodayButtonRect();
  const RECT clear = Popup->ClearButtonRect();
  ASSERT_LT(today.right, clear.left);
  EXPECT_EQ(today.left, Popup->ClientWidth() - clear.right);
  // Pressed on Today, released beside it: nothing.
  Popup->MouseDown(TMouseButton::mbLeft, ssLeft, Middle(today).x, Middle(today).y);
  Popup->MouseUp(TMouseButton::mbLeft, 0, today.left - 2, Middle(today).y);
  EXPECT_TRUE(Visible());
  EXPECT_EQ(EncodeDate(2024, 9, 17), Popup->SelStart());
  Click(Middle(today));
  EXPECT_EQ(EncodeDate(2025, 1, 15), Popup->SelStart());
  EXPECT_EQ(EncodeDate(2025, 1, 1), Popup->FirstDate());
  EXPECT_FALSE(Visible());
  EXPECT_EQ(1, Changes);
  Popup->ShowPopup();
  Click(Middle(clear));
  EXPECT_EQ(NullDate, Popup->SelStart());
  EXPECT_FALSE(Visible());
  EXPECT_EQ(2, Changes);
}

TEST_F(Calendar, HoldingAnArrowStepsAMonthAtEveryTickWhileTheCursorStaysOnIt) {
  const RECT right = Popup->RightArrowRect();
  const POINT p = Middle(right);
  Popup->MouseDown(TMouseButton::mbLeft, ssLeft, p.x, p.y);
  EXPECT_EQ(EncodeDate(2024, 10, 1), Popup->FirstDate());
  ASSERT_NE(0u, Popup->ArrowTimer());
  const POINT screen = Popup->ClientToScreen(p);
  SetCursorPos(screen.x, screen.y);
  SendMessageW(Popup->Handle(), WM_TIMER, 2, 0);
  SendMessageW(Popup->Handle(), WM_TIMER, 2, 0);
  EXPECT_EQ(EncodeDate(2024, 12, 1), Popup->FirstDate());
  const POINT away = Popup->ClientToScreen(Cell(3, 3));
  SetCursorPos(away.x, away.y);
  SendMessageW(Popup->Handle(), WM_TIMER, 2, 0);
  EXPECT_EQ(EncodeDate(2024, 12, 1), Popup->FirstDate());
  Popup->MouseUp(TMouseButton::mbLeft, 0, p.x, p.y);
  EXPECT_EQ(0u, Popup->ArrowTimer());
  EXPECT_TRUE(Visible());
  EXPECT_EQ(EncodeDate(2024, 9, 17), Popup->SelStart());
  EXPECT_EQ(0, Changes);
}

TEST_F(Calendar, MonthListScrollsWhileDraggedBelowItAndPicksTheHotMonth) {
  const POINT name = Middle(Popup->MonthNameRect());
  Popup->MouseDown(TMouseButton::mbLeft, ssLeft, name.x, name.y);
  TAMonthListBox* list = Popup->MonthList();
  ASSERT_NE(nullptr, list);
  EXPECT_EQ(EncodeDate(2024, 6, 1), list->TopDate());
  EXPECT_EQ(7 * list->ItemHeight(), list->ClientHeight());
  EXPECT_EQ(NullDate, list->Date());
  // 40 pixels below the list: the fastest scroll (identifier 9).
  const POINT below = Popup->ScreenToClient(list->ClientToScreen(POINT{10, list->ClientHeight() + 39}));
  Popup->MouseMove(ssLeft, below.x, below.y);
  EXPECT_EQ(9u, list->TimerId());
  SendMessageW(list->Handle(), WM_TIMER, 9, 0);
  EXPECT_EQ(EncodeDate(2024, 7, 1), list->TopDate());
  // 5 pixels above it: the slowest scroll back.
  const POINT above = Popup->ScreenToClient(list->ClientToScreen(POINT{10, -5}));
  Popup->MouseMove(ssLeft, above.x, above.y);
  EXPECT_EQ(4u, list->TimerId());
  const POINT row2 = Popup->ScreenToClient(list->ClientToScreen(POINT{10, 2 * list->ItemHeight() + 1}));
  Popup->MouseMove(ssLeft, row2.x, row2.y);
  EXPECT_EQ(0u, list->TimerId());
  EXPECT_EQ(2, list->ItemIndex());
  Popup->MouseUp(TMouseButton::mbLeft, 0, row2.x, row2.y);
  EXPECT_EQ(nullptr, Popup->MonthList());
  EXPECT_EQ(EncodeDate(2024, 9, 1), Popup->FirstDate());
  EXPECT_TRUE(Visible());
  EXPECT_EQ(0, Changes);
}

}  // namespace valueeditors_test
