#pragma once
// The drop-down month calendar of the date editor: the selection and date
// navigation (TCustomdxCalendar), the one-month pop-up with its header,
// arrows, six-week grid and the "Today" and "Clear" buttons
// (TdxGridDatePopup), and the list of seven months that opens over the
// header (TAMonthListBox). Also the calendar arithmetic the date and time
// editors share.
#include "DateTimes.h"
#include "dxCntner.h"

namespace tvk {

// The absence of a date.
constexpr TDateTime NullDate = -700000.0;

// Year and Month shifted by Delta months.
void ShiftMonth(int& year, int& month, int delta);
// Date moved by Delta months, its day clamped to the new month's days (no time).
TDateTime MonthShifted(TDateTime date, int delta);
// The first day of Date's month.
TDateTime FirstOfMonth(TDateTime date);
// The day of D (its integer part after a nudge of 1e-11 away from zero).
TDateTime DatePart(TDateTime date);
// The time of day of D, to the millisecond.
TDateTime TimeOfDay(TDateTime date);
// The grid column 0..6 of Date for the locale's first day of the week.
int DayColumn(TDateTime date);

// The first day of the week, 0 = Sunday .. 6 = Saturday.
int FirstDayOfWeek();
// Reads it from the thread's locale (whose count starts at Monday).
void ReadFirstDayOfWeek();
// Puts another first day in place (tests).
void SetFirstDayOfWeek(int day);

// The captions of the pop-up's buttons.
const WideString& CalendarTodayCaption();
const WideString& CalendarClearCaption();

class TCustomdxCalendar : public TdxInplacePopupControl {
public:
  TVK_CLASS(TCustomdxCalendar, TdxInplacePopupControl)
  explicit TCustomdxCalendar(TComponent* owner);

  bool Flat() const { return FFlat; }
  void SetFlat(bool value);
  TDateTime FirstDate() const { return FFirstDate; }
  virtual void SetFirstDate(TDateTime value);
  virtual TDateTime LastDate() = 0;
  virtual TDateTime SelStart();
  virtual TDateTime SelFinish();
  virtual void SetSelStart(TDateTime value);
  virtual void SetSelFinish(TDateTime value);
  virtual TDateTime GetFirstShownDate() { return FFirstDate; }
  virtual TDateTime GetLastShownDate() { return LastDate(); }
  virtual TDateTime DateFromPoint(POINT p) = 0;

  TNotifyEvent OnDateTimeChanged;

protected:
  virtual void KeepSelectionInView() = 0;
  virtual void NotifyDateTimeChanged();
  void CreateParams(TCreateParams& params) override;
  void CreateWnd() override;
  void MouseDown(TMouseButton button, TShiftState shift, int x, int y) override;
  void MouseMove(TShiftState shift, int x, int y) override;
  void MouseUp(TMouseButton button, TShiftState shift, int x, int y) override;
  TVK_MESSAGES();
  void WMEraseBkgnd(TMessage& message);

  TDateTime FDragDate = NullDate;
  bool FFlat = true;
  TDateTime FFirstDate = 0;
  TDateTime FSelStart = 0;
  TDateTime FSelFinish = 0;

private:
  bool FDoubleClicked = false;
};

class TdxGridDatePopup;

class TAMonthListBox : public TCustomControl {
public:
  TVK_CLASS(TAMonthListBox, TCustomControl)
  TAMonthListBox(TComponent* owner, TdxGridDatePopup* popup);
  ~TAMonthListBox() override;

  // The first day of the hot row's month; the null date without one.
  TDateTime Date() const;
  TDateTime TopDate() const { return FTopDate; }
  void SetTopDate(TDateTime value);
  int ItemIndex() const { return FItemIndex; }
  int ItemHeight() const { return FItemHeight; }
  // The identifier of the running scroll timer (0: none).
  UINT TimerId() const { return FTimer ? FTimerId : 0; }
  // A mouse move the pop-up passes on (list coordinates).
  void TrackMouse(int x, int y);

protected:
  void CreateParams(TCreateParams& params) override;
  void Paint() override;
  TVK_MESSAGES();
  void WMEraseBkgnd(TMessage& message);
  void WMDestroy(TMessage& message);
  void WMTimer(TMessage& message);
  void CMFontChanged(TMessage& message);

private:
  void StopTimer();
  void InvalidateRow(int index);
  TdxGridDatePopup* FPopup;
  TDateTime FTopDate = NullDate;
  int FItemHeight = 0;
  int FItemIndex = -1;
  UINT_PTR FTimer = 0;
  UINT FTimerId = 0;
};

class TdxGridDatePopup : public TCustomdxCalendar {
public:
  TVK_CLASS(TdxGridDatePopup, TCustomdxCalendar)
  explicit TdxGridDatePopup(TComponent* owner);

  TDateTime LastDate() override;
  TDateTime GetFirstShownDate() override;
  TDateTime GetLastShownDate() override;
  void SetFirstDate(TDateTime value) override;
  void SetSelFinish(TDateTime value) override;
  TDateTime DateFromPoint(POINT p) override;
  void SetSize();
  int GetWidth();
  int GetHeight();
  void HidePopup(bool byMouse) override;

  bool ShowTodayButton = true;
  bool ShowClearButton = false;

  // Geometry (read by the month list and tests).
  int ColWidth() const { return FColWidth; }
  int SideWidth() const { return FSideWidth; }
  int RowHeight() const { return FRowHeight; }
  int HeaderHeight() const { return FHeaderHeight; }
  int DaysOfWeekHeight() const { return FDaysOfWeekHeight; }
  int ButtonsRegionHeight() const { return FButtonsRegionHeight; }
  RECT LeftArrowRect();
  RECT RightArrowRect();
  RECT MonthNameRect();
  RECT TodayButtonRect();
  RECT ClearButtonRect();
  // The top of the weekday row.
  int DaysTop() const { return FHeaderHeight + (FFlat ? 0 : 1); }
  TAMonthListBox* MonthList() const { return FListBox; }
  UINT_PTR ArrowTimer() const { return FTimer; }

protected:
  void KeepSelectionInView() override;
  void CreateParams(TCreateParams& params) override;
  void Paint() override;
  void KeyDown(WORD& key, TShiftState shift) override;
  void MouseDown(TMouseButton button, TShiftState shift, int x, int y) override;
  void MouseMove(TShiftState shift, int x, int y) override;
  void MouseUp(TMouseButton button, TShiftState shift, int x, int y) override;
  TVK_MESSAGES();
  void WMDestroy(TMessage& message);
  void WMSize(TMessage& message);
  void WMTimer(TMessage& message);
  void CMFontChanged(TMessage& message);

private:
  void StepMonth(int delta);
  void StopTimer();
  void OpenMonthList();
  void CloseMonthList();
  void PaintHeader(HDC dc, HRGN rest);
  void PaintWeekdays(HDC dc, HRGN rest);
  void PaintDays(HDC dc, HRGN rest);
  void PaintButtons(HDC dc, HRGN rest);
  void PaintButton(HDC dc, const RECT& r, const WideString& caption, bool pressed);

  int FColCount = 1, FRowCount = 1;
  int FColWidth = 0, FSideWidth = 0, FRowHeight = 0, FHeaderHeight = 0, FDaysOfWeekHeight = 0;
  int FTodayButtonWidth = 0, FClearButtonWidth = 0, FButtonsOffset = 0, FButtonsHeight = 0,
      FButtonsRegionHeight = 0;
  TAMonthListBox* FListBox = nullptr;
  int FListBoxDelta = 0;
  UINT_PTR FTimer = 0;
  bool FTodayButtonActive = false, FTodayButtonPressed = false;
  bool FClearButtonActive = false, FClearButtonPressed = false;
};

// Counted start-up and shut-down: the button captions and the first day of the week.
bool DxGrDateUnitStartup();
void DxGrDateUnitShutdown();

}  // namespace tvk
