#include "dxGrDate.h"

#include "EditorsClassicResources.h"
#include "ResStrings.h"

#include <algorithm>
#include <cmath>

namespace tvk {

namespace {

TResStringRec sdxDatePopupToday(IDS_sdxDatePopupToday), sdxDatePopupClear(IDS_sdxDatePopupClear);

struct TGrDateUnitState {
  int RefCount = 0;
  WideString TodayCaption;
  WideString ClearCaption;
  int FirstDay = 0;
};

TGrDateUnitState& GrDateUnit() {
  static TGrDateUnitState state;
  return state;
}

constexpr UINT kPrevMonthTimer = 1;
constexpr UINT kNextMonthTimer = 2;
constexpr UINT kArrowInterval = 170;

SIZE FontTextSize(TFont& font, const WideString& text) {
  HDC dc = GetDC(nullptr);
  HGDIOBJ old = SelectObject(dc, font.Handle());
  SIZE size{};
  GetTextExtentPoint32W(dc, text.c_str(), static_cast<int>(text.size()), &size);
  SelectObject(dc, old);
  ReleaseDC(nullptr, dc);
  return size;
}

void FillSolid(HDC dc, const RECT& r, TColor color) {
  HBRUSH brush = CreateSolidBrush(ColorToRGB(color));
  FillRect(dc, &r, brush);
  DeleteObject(brush);
}

void CutOut(HRGN rest, const RECT& r) {
  HRGN cut = CreateRectRgnIndirect(&r);
  CombineRgn(rest, rest, cut, RGN_DIFF);
  DeleteObject(cut);
}

void Line(HDC dc, int x1, int y1, int x2, int y2, TColor color) {
  HPEN pen = CreatePen(PS_SOLID, 1, ColorToRGB(color));
  HGDIOBJ old = SelectObject(dc, pen);
  MoveToEx(dc, x1, y1, nullptr);
  LineTo(dc, x2, y2);
  SelectObject(dc, old);
  DeleteObject(pen);
}

WideString MonthCaption(TDateTime date) {
  int year = 0, month = 0, day = 0;
  DecodeDate(date, year, month, day);
  return FormatSettings().LongMonthNames[static_cast<std::size_t>(month - 1)] + L" " + IntToStr(year);
}

bool IsDate(TDateTime d) { return d != NullDate; }

bool PointInClient(TControl& control, int x, int y) {
  RECT r = control.ClientRect();
  return PtInRect(&r, POINT{x, y}) != FALSE;
}

}  // namespace

void ShiftMonth(int& year, int& month, int delta) {
  year += delta / 12;
  int m = month + delta % 12;
  if (m <= 0) {
    --year;
    m += 12;
  } else if (m > 12) {
    ++year;
    m -= 12;
  }
  month = m;
}

TDateTime MonthShifted(TDateTime date, int delta) {
  int year = 0, month = 0, day = 0;
  DecodeDate(date, year, month, day);
  ShiftMonth(year, month, delta);
  day = std::clamp(day, 1, DaysInAMonth(year, month));
  return EncodeDate(year, month, day);
}

TDateTime FirstOfMonth(TDateTime date) {
  int year = 0, month = 0, day = 0;
  DecodeDate(date, year, month, day);
  return EncodeDate(year, month, 1);
}

TDateTime DatePart(TDateTime date) { return std::trunc(date + 1e-11 * (date >= 0 ? 1 : -1)); }

TDateTime TimeOfDay(TDateTime date) {
  int h = 0, m = 0, s = 0, ms = 0;
  DecodeTime(date, h, m, s, ms);
  return EncodeTime(h, m, s, ms);
}

int FirstDayOfWeek() { return GrDateUnit().FirstDay; }

void SetFirstDayOfWeek(int day) { GrDateUnit().FirstDay = std::clamp(day, 0, 6); }

void ReadFirstDayOfWeek() {
  wchar_t buffer[8]{};
  int n = 0;
  if (GetLocaleInfoW(GetThreadLocale(), LOCALE_IFIRSTDAYOFWEEK, buffer, 8) > 1) n = _wtoi(buffer);
  n += 1;
  GrDateUnit().FirstDay = n > 6 ? 0 : n;
}

int DayColumn(TDateTime date) {
  const int d = DayOfWeek(date) - FirstDayOfWeek();
  return d > 0 ? d - 1 : d + 6;
}

const WideString& CalendarTodayCaption() { return GrDateUnit().TodayCaption; }
const WideString& CalendarClearCaption() { return GrDateUnit().ClearCaption; }

bool DxGrDateUnitStartup() {
  TGrDateUnitState& unit = GrDateUnit();
  if (unit.RefCount++ == 0) {
    unit.TodayCaption = LoadResString(&sdxDatePopupToday);
    unit.ClearCaption = LoadResString(&sdxDatePopupClear);
    ReadFirstDayOfWeek();
  }
  return true;
}

void DxGrDateUnitShutdown() {
  TGrDateUnitState& unit = GrDateUnit();
  if (unit.RefCount == 0 || --unit.RefCount > 0) return;
  unit.TodayCaption.clear();
  unit.ClearCaption.clear();
}

// ---- TCustomdxCalendar

TCustomdxCalendar::TCustomdxCalendar(TComponent* owner) : TdxInplacePopupControl(owner) {
  SetControlStyle(ControlStyle() | csDoubleClicks | csCaptureMouse);
  FFirstDate = FSelStart = FSelFinish = tvk::Date();
}

void TCustomdxCalendar::SetFlat(bool value) {
  if (value == FFlat) return;
  FFlat = value;
  if (HandleAllocated()) RecreateWnd();
}

void TCustomdxCalendar::SetFirstDate(TDateTime value) {
  if (value != FFirstDate) FFirstDate = value;
}

TDateTime TCustomdxCalendar::SelStart() {
  return FSelStart >= FSelFinish && IsDate(FSelFinish) ? FSelFinish : FSelStart;
}

TDateTime TCustomdxCalendar::SelFinish() {
  return FSelStart >= FSelFinish && IsDate(FSelFinish) ? FSelStart : FSelFinish;
}

void TCustomdxCalendar::SetSelStart(TDateTime value) {
  FSelStart = value;
  FSelFinish = NullDate;
  SetSelFinish(value);
}

void TCustomdxCalendar::SetSelFinish(TDateTime value) {
  if (value == FSelFinish) return;
  KeepSelectionInView();
  FSelFinish = value;
  KeepSelectionInView();
  if (HandleAllocated()) {
    Invalidate();
    UpdateWindow(Handle());
  }
}

void TCustomdxCalendar::NotifyDateTimeChanged() {
  if (OnDateTimeChanged) OnDateTimeChanged(this);
}

void TCustomdxCalendar::CreateParams(TCreateParams& params) {
  TdxInplacePopupControl::CreateParams(params);
  params.Style |= WS_CLIPCHILDREN;
}

void TCustomdxCalendar::CreateWnd() {
  TdxInplacePopupControl::CreateWnd();
  Perform(CM_FONTCHANGED);
}

void TCustomdxCalendar::MouseDown(TMouseButton button, TShiftState shift, int x, int y) {
  FDoubleClicked = (shift & ssDouble) != 0;
  if (FDoubleClicked) return;
  TdxInplacePopupControl::MouseDown(button, shift, x, y);
  const TDateTime d = DateFromPoint(POINT{x, y});
  if (button != TMouseButton::mbLeft) return;
  FDragDate = SelStart();
  if (IsDate(d)) SetSelStart(d);
}

void TCustomdxCalendar::MouseMove(TShiftState shift, int x, int y) {
  const bool left = (shift & ssLeft) != 0;
  const TDateTime d = left ? DateFromPoint(POINT{x, y}) : NullDate;
  TdxInplacePopupControl::MouseMove(shift, x, y);
  if (!left) return;
  if (IsDate(d)) {
    SetSelFinish(d);
  } else if (!PointInClient(*this, x, y) && IsDate(FDragDate) && FDragDate != SelFinish()) {
    const TDateTime before = FSelFinish;
    SetSelFinish(FDragDate);
    if (FSelFinish == before) Invalidate();
  }
  if (HandleAllocated()) UpdateWindow(Handle());
}

void TCustomdxCalendar::MouseUp(TMouseButton button, TShiftState shift, int x, int y) {
  TdxInplacePopupControl::MouseUp(button, shift, x, y);
  if (FDoubleClicked) {
    FDoubleClicked = false;
    return;
  }
  if (PointInClient(*this, x, y)) NotifyDateTimeChanged();
}

TVK_MESSAGE_MAP(TCustomdxCalendar, {WM_ERASEBKGND, &TCustomdxCalendar::WMEraseBkgnd})

void TCustomdxCalendar::WMEraseBkgnd(TMessage& message) { message.Result = 1; }

// ---- TAMonthListBox

TAMonthListBox::TAMonthListBox(TComponent* owner, TdxGridDatePopup* popup) : TCustomControl(owner), FPopup(popup) {
  SetVisible(false);
}

TAMonthListBox::~TAMonthListBox() { StopTimer(); }

TDateTime TAMonthListBox::Date() const {
  if (FItemIndex < 0 || !IsDate(FTopDate)) return NullDate;
  return MonthShifted(FTopDate, FItemIndex);
}

void TAMonthListBox::SetTopDate(TDateTime value) {
  if (value == FTopDate) return;
  FTopDate = value;
  Invalidate();
}

void TAMonthListBox::CreateParams(TCreateParams& params) {
  TCustomControl::CreateParams(params);
  params.Style = WS_POPUP | WS_BORDER;
  params.ExStyle = WS_EX_TOPMOST;
  params.WindowClassStyle |= CS_SAVEBITS;
}

void TAMonthListBox::Paint() {
  TCanvas& canvas = Canvas();
  canvas.Font().Assign(Font());
  HDC dc = canvas.StateHandle();
  SetBkMode(dc, OPAQUE);
  for (int i = 0; i < 7; ++i) {
    RECT r{0, i * FItemHeight, ClientWidth(), (i + 1) * FItemHeight};
    const bool hot = i == FItemIndex;
    FillSolid(dc, r, hot ? clWindowText : clWindow);
    SetTextColor(dc, ColorToRGB(hot ? clWindow : clWindowText));
    SetBkColor(dc, ColorToRGB(hot ? clWindowText : clWindow));
    if (!IsDate(FTopDate)) continue;
    const WideString caption = MonthCaption(MonthShifted(FTopDate, i));
    DrawTextW(dc, caption.c_str(), -1, &r, DT_CENTER | DT_VCENTER | DT_SINGLELINE | DT_NOCLIP);
  }
}

void TAMonthListBox::InvalidateRow(int index) {
  if (index < 0 || !HandleAllocated()) return;
  RECT r{0, index * FItemHeight, ClientWidth(), (index + 1) * FItemHeight};
  InvalidateRect(Handle(), &r, FALSE);
}

void TAMonthListBox::StopTimer() {
  if (FTimer && HandleAllocated()) KillTimer(Handle(), FTimerId);
  FTimer = 0;
  FTimerId = 0;
}

void TAMonthListBox::TrackMouse(int x, int y) {
  const int height = ClientHeight();
  if (x >= 0 && x < ClientWidth() && y >= 0 && y < height) {
    StopTimer();
    const int index = FItemHeight > 0 ? std::min(y / FItemHeight, 6) : -1;
    if (index != FItemIndex) {
      InvalidateRow(FItemIndex);
      FItemIndex = index;
      InvalidateRow(FItemIndex);
    }
    return;
  }
  if (FItemIndex >= 0) {
    InvalidateRow(FItemIndex);
    FItemIndex = -1;
  }
  if (y >= 0 && y < height) return;
  const int d = y < 0 ? y : y - height + 1;
  int s = (d > 0 ? 1 : -1) + d / 12;
  s = std::clamp(s, -4, 4);
  const UINT id = static_cast<UINT>(s + 5);
  if (FTimer && FTimerId == id) return;
  StopTimer();
  static constexpr UINT kIntervals[] = {500, 250, 100, 50};
  FTimerId = id;
  FTimer = SetTimer(Handle(), id, kIntervals[std::abs(s) - 1], nullptr);
}

TVK_MESSAGE_MAP(TAMonthListBox, {WM_ERASEBKGND, &TAMonthListBox::WMEraseBkgnd},
                {WM_DESTROY, &TAMonthListBox::WMDestroy}, {WM_TIMER, &TAMonthListBox::WMTimer},
                {CM_FONTCHANGED, &TAMonthListBox::CMFontChanged})

void TAMonthListBox::WMEraseBkgnd(TMessage& message) { message.Result = 1; }

void TAMonthListBox::WMDestroy(TMessage& message) {
  StopTimer();
  TVK_INHERITED(message);
}

void TAMonthListBox::WMTimer(TMessage& message) {
  const auto id = static_cast<UINT>(message.WParam);
  if (id < 1 || id > 9 || id == 5 || !IsDate(FTopDate)) return;
  FTopDate = MonthShifted(FTopDate, id < 6 ? -1 : 1);
  Invalidate();
  UpdateWindow(Handle());
}

void TAMonthListBox::CMFontChanged(TMessage& message) {
  TVK_INHERITED(message);
  Canvas().Font().Assign(Font());
  FItemHeight = FPopup->HeaderHeight() - 2;
  SetBounds(Left(), Top(), 2 * GetSystemMetrics(SM_CXBORDER) + 6 * FPopup->ColWidth(),
            2 * GetSystemMetrics(SM_CYBORDER) + 7 * FItemHeight);
}

// ---- TdxGridDatePopup

TdxGridDatePopup::TdxGridDatePopup(TComponent* owner) : TCustomdxCalendar(owner) {
  FFirstDate = FirstOfMonth(FFirstDate);
  SetBounds(Left(), Top(), 20, 20);
  SetIsPopupControl(true);
}

TDateTime TdxGridDatePopup::LastDate() {
  int year = 0, month = 0, day = 0;
  DecodeDate(FFirstDate, year, month, day);
  return EncodeDate(year, month, DaysInAMonth(year, month));
}

TDateTime TdxGridDatePopup::GetFirstShownDate() {
  const int c = DayColumn(FFirstDate);
  return FFirstDate - (c == 0 ? 7 : c);
}

TDateTime TdxGridDatePopup::GetLastShownDate() {
  const TDateTime last = LastDate();
  int year = 0, month = 0, day = 0;
  DecodeDate(last, year, month, day);
  const int c = DayColumn(EncodeDate(year, month, 1));
  return last + 42 - DaysInAMonth(year, month) - c - (c == 0 ? 7 : 0);
}

void TdxGridDatePopup::SetFirstDate(TDateTime value) {
  int year = 0, month = 0, day = 0;
  DecodeDate(value, year, month, day);
  TCustomdxCalendar::SetFirstDate(DatePart(value - day + 1));
}

void TdxGridDatePopup::SetSelFinish(TDateTime value) {
  if (value != FSelFinish) FSelStart = value;
  TCustomdxCalendar::SetSelFinish(value);
}

void TdxGridDatePopup::KeepSelectionInView() {
  if (!IsDate(FSelStart)) return;
  if (GetFirstShownDate() > FSelStart) SetFirstDate(MonthShifted(FSelStart, -1));
  if (GetLastShownDate() < FSelStart) SetFirstDate(DatePart(FSelStart));
}

TDateTime TdxGridDatePopup::DateFromPoint(POINT p) {
  if (!PointInClient(*this, p.x, p.y) || FColWidth <= 0 || FRowHeight <= 0) return NullDate;
  const int top = DaysTop() + FDaysOfWeekHeight;
  RECT grid{FSideWidth, top, ClientWidth() - FSideWidth, top + 6 * FRowHeight};
  if (!PtInRect(&grid, p)) return NullDate;
  const int x = (p.x - grid.left) / FColWidth;
  const int y = (p.y - grid.top) / FRowHeight;
  if (x > 6) return NullDate;
  const TDateTime m = FirstOfMonth(FFirstDate);
  TDateTime d = m - DayColumn(m) + 7 * y + x;
  if (DayColumn(FFirstDate) == 0) d -= 7;
  return d;
}

int TdxGridDatePopup::GetWidth() {
  const int nonClient = Width() - ClientWidth();
  return nonClient + 2 * FSideWidth + 7 * FColWidth;
}

int TdxGridDatePopup::GetHeight() {
  const int nonClient = Height() - ClientHeight();
  int h = nonClient + (FFlat ? 0 : 1) + FHeaderHeight + FDaysOfWeekHeight + 6 * FRowHeight + 1;
  if (ShowTodayButton || ShowClearButton) h += FButtonsRegionHeight;
  return h;
}

void TdxGridDatePopup::SetSize() {
  const int w = GetWidth(), h = GetHeight();
  if (w != Width() || h != Height()) SetBounds(Left(), Top(), w, h);
}

RECT TdxGridDatePopup::LeftArrowRect() { return RECT{1, 1, FColWidth - 1, FHeaderHeight - 1}; }

RECT TdxGridDatePopup::RightArrowRect() {
  const int w = ClientWidth();
  return RECT{w - FColWidth, 1, w - (FFlat ? 0 : 1) - 1, FHeaderHeight - 1};
}

RECT TdxGridDatePopup::MonthNameRect() {
  const int bottom = DaysTop() - (FFlat ? 0 : 1) - 1;
  return RECT{FColWidth, bottom - (FHeaderHeight - 2), ClientWidth() - FColWidth - (FFlat ? 0 : 1), bottom};
}

RECT TdxGridDatePopup::TodayButtonRect() {
  const int top = ClientHeight() + FButtonsOffset - FButtonsRegionHeight;
  const int free = ClientWidth() - (ShowTodayButton ? FTodayButtonWidth : 0) -
                   (ShowClearButton ? FClearButtonWidth : 0);
  const int left = ShowClearButton ? free / 3 : free / 2;
  return RECT{left, top, left + FTodayButtonWidth, top + FButtonsHeight};
}

RECT TdxGridDatePopup::ClearButtonRect() {
  const int top = ClientHeight() + FButtonsOffset - FButtonsRegionHeight;
  const int free = ClientWidth() - (ShowTodayButton ? FTodayButtonWidth : 0) -
                   (ShowClearButton ? FClearButtonWidth : 0);
  const int right = ShowTodayButton ? ClientWidth() - free / 3 : ClientWidth() - free / 2;
  return RECT{right - FClearButtonWidth, top, right, top + FButtonsHeight};
}

void TdxGridDatePopup::CreateParams(TCreateParams& params) {
  TCustomdxCalendar::CreateParams(params);
  params.Style = WS_POPUP;
  params.WindowClassStyle |= CS_SAVEBITS;
}

void TdxGridDatePopup::PaintHeader(HDC dc, HRGN rest) {
  const int w = ClientWidth();
  RECT header{0, 0, w, FHeaderHeight};
  if (!FFlat) {
    Line(dc, 0, FHeaderHeight, w, FHeaderHeight, clBtnText);
    Line(dc, w - 1, 0, w - 1, FHeaderHeight, clBtnText);
  }
  FillSolid(dc, header, clBtnFace);
  RECT edge = header;
  DrawEdge(dc, &edge, BDR_RAISEDINNER, BF_RECT);
  InflateRect(&header, -1, -1);
  int q = FHeaderHeight / 2;
  if (q % 2 == 0) ++q;
  const int middle = (header.top + header.bottom) / 2;
  HBRUSH brush = CreateSolidBrush(ColorToRGB(clBtnText));
  HPEN pen = CreatePen(PS_SOLID, 1, ColorToRGB(clBtnText));
  HGDIOBJ oldBrush = SelectObject(dc, brush), oldPen = SelectObject(dc, pen);
  const int leftSide = header.left + FSideWidth - 1;
  const POINT leftArrow[3] = {{leftSide, middle - q / 2}, {leftSide, middle + q / 2}, {leftSide - q / 2, middle}};
  const int rightSide = header.right - FSideWidth + 1;
  const POINT rightArrow[3] = {
      {rightSide, middle - q / 2}, {rightSide, middle + q / 2}, {rightSide + q / 2, middle}};
  ::Polygon(dc, leftArrow, 3);
  ::Polygon(dc, rightArrow, 3);
  SelectObject(dc, oldBrush);
  SelectObject(dc, oldPen);
  DeleteObject(brush);
  DeleteObject(pen);
  const int saved = SaveDC(dc);
  ExcludeClipRect(dc, leftSide - q / 2, middle - q / 2, leftSide + 1, middle + q / 2 + 1);
  ExcludeClipRect(dc, rightSide, middle - q / 2, rightSide + q / 2 + 1, middle + q / 2 + 1);
  const WideString caption = MonthCaption(FFirstDate);
  SIZE size{};
  GetTextExtentPoint32W(dc, caption.c_str(), static_cast<int>(caption.size()), &size);
  SetTextColor(dc, GetSysColor(COLOR_BTNTEXT));
  SetBkColor(dc, ColorToRGB(clBtnFace));
  ExtTextOutW(dc, (header.left + header.right - size.cx) / 2, (header.top + header.bottom - size.cy) / 2,
              ETO_OPAQUE | ETO_CLIPPED, &header, caption.c_str(), static_cast<UINT>(caption.size()), nullptr);
  RestoreDC(dc, saved);
  CutOut(rest, RECT{0, 0, w, FHeaderHeight + (FFlat ? 0 : 1)});
}

void TdxGridDatePopup::PaintWeekdays(HDC dc, HRGN rest) {
  const int w = ClientWidth(), top = DaysTop();
  RECT row{FSideWidth, top, w - FSideWidth, top + FDaysOfWeekHeight - 2};
  FillSolid(dc, RECT{row.left - 8, row.top, row.right + 8, row.bottom}, clWindow);
  Line(dc, row.left, row.bottom, row.right, row.bottom, clBtnShadow);
  Line(dc, row.left, row.bottom + 1, row.right, row.bottom + 1, clWindow);
  SetTextColor(dc, GetSysColor(COLOR_BTNTEXT));
  SetBkColor(dc, ColorToRGB(clWindow));
  for (int i = 0; i < 7; ++i) {
    const WideString& name = FormatSettings().ShortDayNames[static_cast<std::size_t>((FirstDayOfWeek() + i) % 7)];
    const WideString letter = name.substr(0, 1);
    RECT cell{FSideWidth + i * FColWidth, row.top, FSideWidth + (i + 1) * FColWidth, row.bottom};
    SIZE size{};
    GetTextExtentPoint32W(dc, letter.c_str(), static_cast<int>(letter.size()), &size);
    ExtTextOutW(dc, cell.right - 3 - size.cx, (cell.top + cell.bottom - size.cy) / 2, ETO_OPAQUE, &cell,
                letter.c_str(), static_cast<UINT>(letter.size()), nullptr);
  }
  CutOut(rest, RECT{row.left - 8, row.top, row.right + 8, row.bottom + 2});
}

void TdxGridDatePopup::PaintDays(HDC dc, HRGN rest) {
  const TDateTime today = tvk::Date();
  const TDateTime first = GetFirstShownDate();
  const TDateTime selStart = SelStart(), selFinish = SelFinish();
  int shownYear = 0, shownMonth = 0, shownDay = 0;
  DecodeDate(FFirstDate, shownYear, shownMonth, shownDay);
  const int top = DaysTop() + FDaysOfWeekHeight;
  for (int col = 0; col < 7; ++col)
    for (int row = 0; row < 6; ++row) {
      const TDateTime day = first + 7 * row + col;
      RECT cell{FSideWidth + col * FColWidth, top + row * FRowHeight, FSideWidth + (col + 1) * FColWidth,
                top + (row + 1) * FRowHeight};
      const bool selected = IsDate(selStart) && selStart <= day && day <= selFinish;
      const TColor back = selected ? (FFlat ? clBtnFace : clHighlight) : clWindow;
      RECT text = cell;
      if (day == today) {
        HBRUSH frame = CreateSolidBrush(ColorToRGB(clMaroon));
        FrameRect(dc, &cell, frame);
        DeleteObject(frame);
        InflateRect(&text, -1, -1);
      }
      int y = 0, m = 0, d = 0;
      DecodeDate(day, y, m, d);
      const int color = selected ? COLOR_HIGHLIGHTTEXT : (m == shownMonth ? COLOR_WINDOWTEXT : COLOR_GRAYTEXT);
      SetTextColor(dc, GetSysColor(color));
      SetBkColor(dc, ColorToRGB(back));
      const WideString number = IntToStr(d);
      SIZE size{};
      GetTextExtentPoint32W(dc, number.c_str(), static_cast<int>(number.size()), &size);
      ExtTextOutW(dc, cell.right - 3 - size.cx, (cell.top + cell.bottom - size.cy) / 2, ETO_OPAQUE, &text,
                  number.c_str(), static_cast<UINT>(number.size()), nullptr);
      CutOut(rest, cell);
    }
}

void TdxGridDatePopup::PaintButton(HDC dc, const RECT& r, const WideString& caption, bool pressed) {
  RECT face = r;
  if (pressed) {
    DrawFrameControl(dc, &face, DFC_BUTTON, DFCS_BUTTONPUSH | DFCS_PUSHED);
  } else {
    FillSolid(dc, face, clBtnFace);
    Line(dc, r.left, r.bottom - 1, r.right - 1, r.bottom - 1, clBtnText);
    Line(dc, r.right - 1, r.top, r.right - 1, r.bottom, clBtnText);
    Line(dc, r.left, r.top, r.right - 1, r.top, clBtnFace);
    Line(dc, r.left, r.top, r.left, r.bottom - 1, clBtnFace);
    Line(dc, r.left + 1, r.bottom - 2, r.right - 2, r.bottom - 2, clBtnShadow);
    Line(dc, r.right - 2, r.top + 1, r.right - 2, r.bottom - 1, clBtnShadow);
    Line(dc, r.left + 1, r.top + 1, r.right - 2, r.top + 1, clBtnHighlight);
    Line(dc, r.left + 1, r.top + 1, r.left + 1, r.bottom - 2, clBtnHighlight);
    SetPixel(dc, r.right - 2, r.top + 1, GetSysColor(COLOR_BTNFACE));
  }
  RECT text = r;
  InflateRect(&text, -2, -2);
  if (pressed) OffsetRect(&text, 1, 1);
  SetTextColor(dc, GetSysColor(COLOR_BTNTEXT));
  SetBkColor(dc, ColorToRGB(clBtnFace));
  SetBkMode(dc, TRANSPARENT);
  DrawTextW(dc, caption.c_str(), -1, &text, DT_CENTER | DT_VCENTER | DT_SINGLELINE);
  SetBkMode(dc, OPAQUE);
}

void TdxGridDatePopup::PaintButtons(HDC dc, HRGN rest) {
  if (!ShowTodayButton && !ShowClearButton) return;
  const int y = ClientHeight() - FButtonsRegionHeight - 1;
  Line(dc, FSideWidth, y, ClientWidth() - FSideWidth, y, clBtnShadow);
  if (ShowTodayButton) {
    const RECT r = TodayButtonRect();
    PaintButton(dc, r, CalendarTodayCaption(), FTodayButtonActive && FTodayButtonPressed);
    CutOut(rest, r);
  }
  if (ShowClearButton) {
    const RECT r = ClearButtonRect();
    PaintButton(dc, r, CalendarClearCaption(), FClearButtonActive && FClearButtonPressed);
    CutOut(rest, r);
  }
}

void TdxGridDatePopup::Paint() {
  TCanvas& canvas = Canvas();
  canvas.Font().Assign(Font());
  HDC dc = canvas.StateHandle();
  HRGN rest = CreateRectRgn(0, 0, ClientWidth(), ClientHeight());
  PaintHeader(dc, rest);
  PaintWeekdays(dc, rest);
  PaintDays(dc, rest);
  PaintButtons(dc, rest);
  HBRUSH window = CreateSolidBrush(ColorToRGB(clWindow));
  FillRgn(dc, rest, window);
  DeleteObject(window);
  DeleteObject(rest);
}

void TdxGridDatePopup::KeyDown(WORD& key, TShiftState shift) {
  TCustomdxCalendar::KeyDown(key, shift);
  const TDateTime sel = IsDate(SelStart()) ? SelStart() : tvk::Date();
  const bool ctrlOnly = shift == ssCtrl;
  switch (key) {
    case VK_RETURN:
      if (!FListBox) {
        HidePopup(false);
        NotifyDateTimeChanged();
      }
      break;
    case VK_ESCAPE:
    case VK_F4:
      HidePopup(false);
      break;
    case VK_PRIOR: SetSelStart(MonthShifted(sel, -1)); break;
    case VK_NEXT: SetSelStart(MonthShifted(sel, 1)); break;
    case VK_END:
      if (ctrlOnly) {
        int y = 0, m = 0, d = 0;
        DecodeDate(sel, y, m, d);
        SetSelStart(EncodeDate(y, m, DaysInAMonth(y, m)));
      } else {
        SetSelStart(sel + 6 - DayColumn(sel));
      }
      break;
    case VK_HOME:
      if (ctrlOnly)
        SetSelStart(FirstOfMonth(sel));
      else
        SetSelStart(sel - DayColumn(sel));
      break;
    case VK_LEFT: SetSelStart(sel - 1); break;
    case VK_RIGHT: SetSelStart(sel + 1); break;
    case VK_UP:
    case VK_DOWN:
      if (shift == ssAlt)
        HidePopup(false);
      else
        SetSelStart(sel + (key == VK_UP ? -7 : 7));
      break;
    default: break;
  }
}

void TdxGridDatePopup::StepMonth(int delta) {
  SetFirstDate(MonthShifted(FFirstDate, delta));
  if (HandleAllocated()) {
    Invalidate();
    UpdateWindow(Handle());
  }
}

void TdxGridDatePopup::StopTimer() {
  if (FTimer && HandleAllocated()) KillTimer(Handle(), FTimer);
  FTimer = 0;
}

void TdxGridDatePopup::OpenMonthList() {
  FListBoxDelta = 0;
  FListBox = new TAMonthListBox(this, this);
  FListBox->Font().Assign(Font());
  FListBox->SetParentWindow(Handle());
  FListBox->Perform(CM_FONTCHANGED);
  FListBox->SetTopDate(MonthShifted(FirstOfMonth(FFirstDate), -3));
  const RECT area = MonthNameRect();
  POINT centre{(area.left + area.right) / 2, (area.top + area.bottom) / 2};
  centre = ClientToScreen(centre);
  FListBox->SetBounds(centre.x - FListBox->Width() / 2, centre.y - FListBox->Height() / 2, FListBox->Width(),
                      FListBox->Height());
  // Shown without taking the activation: the calendar keeps the focus.
  ShowWindow(FListBox->Handle(), SW_SHOWNOACTIVATE);
}

void TdxGridDatePopup::CloseMonthList() {
  delete FListBox;
  FListBox = nullptr;
}

void TdxGridDatePopup::MouseDown(TMouseButton button, TShiftState shift, int x, int y) {
  const POINT p{x, y};
  if (button == TMouseButton::mbLeft) {
    const bool anyButton = ShowTodayButton || ShowClearButton;
    if (ShowTodayButton) {
      const RECT r = TodayButtonRect();
      if (PtInRect(&r, p)) {
        FTodayButtonActive = FTodayButtonPressed = true;
        InvalidateRect(Handle(), &r, FALSE);
        SetMouseCapture(true);
        return;
      }
    }
    if (ShowClearButton) {
      const RECT r = ClearButtonRect();
      if (PtInRect(&r, p)) {
        FClearButtonActive = FClearButtonPressed = true;
        InvalidateRect(Handle(), &r, FALSE);
        SetMouseCapture(true);
        return;
      }
    }
    if (anyButton && y >= ClientHeight() - FButtonsRegionHeight) return;
  }
  TCustomdxCalendar::MouseDown(button, shift, x, y);
  if (button != TMouseButton::mbLeft || (shift & ssDouble)) return;
  const RECT name = MonthNameRect(), left = LeftArrowRect(), right = RightArrowRect();
  UINT id = 0;
  if (PtInRect(&name, p)) {
    OpenMonthList();
  } else if (PtInRect(&left, p)) {
    StepMonth(-1);
    id = kPrevMonthTimer;
  } else if (PtInRect(&right, p)) {
    StepMonth(1);
    id = kNextMonthTimer;
  }
  if (id != 0 && FTimer == 0) FTimer = SetTimer(Handle(), id, kArrowInterval, nullptr);
}

void TdxGridDatePopup::MouseMove(TShiftState shift, int x, int y) {
  if (FTimer) return;
  if (FListBox) {
    POINT p = ClientToScreen(POINT{x, y});
    p = FListBox->ScreenToClient(p);
    FListBox->TrackMouse(p.x, p.y);
    return;
  }
  const POINT p{x, y};
  if (FTodayButtonActive || FClearButtonActive) {
    const RECT r = FTodayButtonActive ? TodayButtonRect() : ClearButtonRect();
    bool& pressed = FTodayButtonActive ? FTodayButtonPressed : FClearButtonPressed;
    const bool over = PtInRect(&r, p) != FALSE;
    if (over != pressed) {
      pressed = over;
      InvalidateRect(Handle(), &r, FALSE);
    }
    return;
  }
  TCustomdxCalendar::MouseMove(shift, x, y);
}

void TdxGridDatePopup::MouseUp(TMouseButton button, TShiftState shift, int x, int y) {
  if (FTimer) {
    StopTimer();
    return;
  }
  if (FListBox) {
    const TDateTime d = FListBox->Date();
    CloseMonthList();
    SetMouseCapture(false);
    if (IsDate(d)) {
      SetFirstDate(MonthShifted(d, -FListBoxDelta));
      Invalidate();
    }
    return;
  }
  const POINT p{x, y};
  if (FTodayButtonActive || FClearButtonActive) {
    const bool today = FTodayButtonActive;
    const RECT r = today ? TodayButtonRect() : ClearButtonRect();
    FTodayButtonActive = FTodayButtonPressed = FClearButtonActive = FClearButtonPressed = false;
    SetMouseCapture(false);
    if (HandleAllocated()) InvalidateRect(Handle(), &r, FALSE);
    if (!PtInRect(&r, p)) return;
    SetSelStart(today ? tvk::Date() : NullDate);
  }
  if (PointInClient(*this, x, y)) HidePopup(true);
  TCustomdxCalendar::MouseUp(button, shift, x, y);
}

void TdxGridDatePopup::HidePopup(bool byMouse) {
  if (HandleAllocated() && IsWindowVisible(Handle())) {
    if (MouseCapture()) SetMouseCapture(false);
    StopTimer();
    if (FListBox) CloseMonthList();
    FTodayButtonActive = FClearButtonActive = false;
  }
  TCustomdxCalendar::HidePopup(byMouse);
}

TVK_MESSAGE_MAP(TdxGridDatePopup, {WM_DESTROY, &TdxGridDatePopup::WMDestroy}, {WM_SIZE, &TdxGridDatePopup::WMSize},
                {WM_TIMER, &TdxGridDatePopup::WMTimer},
                {CM_FONTCHANGED, &TdxGridDatePopup::CMFontChanged})

void TdxGridDatePopup::WMDestroy(TMessage& message) {
  StopTimer();
  TVK_INHERITED(message);
}

void TdxGridDatePopup::WMSize(TMessage& message) {
  TVK_INHERITED(message);
  SetSize();
}

void TdxGridDatePopup::WMTimer(TMessage& message) {
  const auto id = static_cast<UINT>(message.WParam);
  if (id != kPrevMonthTimer && id != kNextMonthTimer) return;
  POINT cursor{};
  GetCursorPos(&cursor);
  cursor = ScreenToClient(cursor);
  const RECT area = id == kPrevMonthTimer ? LeftArrowRect() : RightArrowRect();
  if (PtInRect(&area, cursor)) StepMonth(id == kPrevMonthTimer ? -1 : 1);
}

void TdxGridDatePopup::CMFontChanged(TMessage& message) {
  TVK_INHERITED(message);
  Canvas().Font().Assign(Font());
  const SIZE zero = FontTextSize(Font(), L"0");
  const int w0 = zero.cx, h = zero.cy;
  FColWidth = 3 * w0;
  FSideWidth = 2 * w0;
  FRowHeight = h + 2;
  FHeaderHeight = h + 4 + (FFlat ? 1 : 0);
  FDaysOfWeekHeight = h + 3;
  FTodayButtonWidth = FontTextSize(Font(), CalendarTodayCaption()).cx + FColWidth;
  FClearButtonWidth = FontTextSize(Font(), CalendarClearCaption()).cx + FColWidth;
  FButtonsOffset = Font().Size() / 2;
  FButtonsHeight = MulDiv(FontTextSize(Font(), L"Wg").cy, 20, 13);
  FButtonsRegionHeight = Font().Size() * 3 / 4 + FButtonsHeight + FButtonsOffset;
  Perform(WM_SIZE);
}

}  // namespace tvk
