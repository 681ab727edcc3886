#include "dxValueEdits.h"

#include "Maths.h"
#include "Variants.h"
#include "Shell.h"
#include "dxGrDate.h"

#include <windowsx.h>

#include <algorithm>
#include <cmath>

namespace tvk {

namespace {

bool IsAmountSymbol(wchar_t key, wchar_t decimal, wchar_t thousand, bool thousands) {
  return key == L'+' || key == L'-' || (key >= L'0' && key <= L'9') || key == L'E' || key == L'e' ||
         key == decimal || (thousands && key == thousand);
}

// Digits after the decimal separator, up to an exponent that follows it.
int DecimalsAfterSeparator(const WideString& text, wchar_t decimal) {
  const std::size_t point = text.find(decimal);
  if (point == WideString::npos) return 0;
  int count = 0;
  for (std::size_t i = point + 1; i < text.size() && text[i] != L'E' && text[i] != L'e'; ++i)
    if (text[i] >= L'0' && text[i] <= L'9') ++count;
  return count;
}

// A text that stops inside its exponent ("1E", "1E-") reads as the number
// that the next digit completes, so that an exponent can be typed.
WideString CompletedExponent(const WideString& text) {
  WideString t = text;
  if (!t.empty() && (t.back() == L'+' || t.back() == L'-') && t.size() >= 2 &&
      (t[t.size() - 2] == L'E' || t[t.size() - 2] == L'e'))
    return t + L"0";
  if (!t.empty() && (t.back() == L'E' || t.back() == L'e')) return t + L"0";
  return t;
}

double Clamped(double value, double minValue, double maxValue) {
  if (minValue == 0 && maxValue == 0) return value;
  return std::min(std::max(value, minValue), maxValue);
}

}  // namespace

// ---- spin

namespace {

struct TTimeFormatRow {
  const wchar_t* Display;
  const wchar_t* Mask;
};
constexpr TTimeFormatRow kTimeFormats[] = {
    {L"hh:nn:ss", L"00:00:00;1;0"}, {L"hh:nn", L"00:00;1;0"}, {L"hh", L"00;1;0"}};

const TTimeFormatRow& TimeFormatRow(TdxTimeEditFormat format) { return kTimeFormats[static_cast<int>(format)]; }

void DrawSpinButton(HDC dc, const RECT& r, bool up, bool pressed, bool hot, const TdxEditViewData& vd) {
  RECT face = r;
  FillRect(dc, &face, vd.ButtonTransparence && !vd.Transparent && vd.Brush ? vd.Brush : GetSysColorBrush(COLOR_BTNFACE));
  switch (vd.ButtonStyle) {
    case btsFlat:
    case btsSimple:
      DrawEdge(dc, &face, pressed ? BDR_SUNKENOUTER : BDR_RAISEDINNER, BF_RECT | (vd.ButtonTransparence ? 0 : BF_MIDDLE));
      break;
    case btsHotFlat:
      if (pressed || hot) DrawEdge(dc, &face, pressed ? BDR_SUNKENOUTER : BDR_RAISEDINNER, BF_RECT);
      break;
    default:
      DrawEdge(dc, &face, pressed ? EDGE_SUNKEN : EDGE_RAISED, BF_RECT | (vd.ButtonTransparence ? 0 : BF_MIDDLE));
      break;
  }
  int h = (r.right - r.left - 2) / 2;
  if (h % 2 == 0) --h;
  if (h < 1) return;
  const int x = (r.left + r.right - h) / 2;
  const int y = (r.top + r.bottom - h / 2) / 2 - 1;
  POINT points[3];
  if (up)
    points[0] = {x, y + h / 2}, points[1] = {x + h / 2, y}, points[2] = {x + h - 1, y + h / 2};
  else
    points[0] = {x, y + 1}, points[1] = {x + h - 1, y + 1}, points[2] = {x + h / 2, y + h / 2 + 1};
  auto triangle = [&](int colour, int offset) {
    POINT p[3];
    for (int i = 0; i < 3; ++i) p[i] = POINT{points[i].x + offset, points[i].y + offset};
    HBRUSH brush = CreateSolidBrush(GetSysColor(colour));
    HPEN pen = CreatePen(PS_SOLID, 1, GetSysColor(colour));
    HGDIOBJ oldBrush = SelectObject(dc, brush), oldPen = SelectObject(dc, pen);
    ::Polygon(dc, p, 3);
    SelectObject(dc, oldBrush);
    SelectObject(dc, oldPen);
    DeleteObject(brush);
    DeleteObject(pen);
  };
  if (vd.Enabled) {
    triangle(COLOR_BTNTEXT, 0);
  } else {
    triangle(COLOR_BTNHIGHLIGHT, 1);
    triangle(COLOR_BTNSHADOW, 0);
  }
}

}  // namespace

std::unique_ptr<TdxEditViewData> TdxInplaceSpinEditClass::CreateViewDataObject() const {
  return std::make_unique<TdxSpinEditViewData>();
}

int TdxInplaceSpinEditClass::CalcSpinButtonWidth(const TdxEditViewData& viewData) {
  auto* spin = dynamic_cast<const TdxSpinEditViewData*>(&viewData);
  if (!spin || !spin->ShowButton) return 0;
  int width = GetSystemMetrics(SM_CXVSCROLL);
  if (width % 2 == 0) --width;
  width = std::max(width, 13);
  if (viewData.ButtonStyle == btsFlat || viewData.ButtonStyle == btsSimple) --width;
  return width;
}

void TdxInplaceSpinEditClass::CalcViewInfo(TdxEditViewData& viewData, bool autoSize, TdxEditViewInfo& viewInfo) const {
  TdxInplaceMaskEditClass::CalcViewInfo(viewData, autoSize, viewInfo);
  viewInfo.ClientBounds.right -= CalcSpinButtonWidth(viewData);
}

RECT TdxInplaceSpinEditClass::SpinButtonColumn(const TdxEditViewInfo& viewInfo, int width) {
  RECT r = viewInfo.BorderRect;
  AdjustRectByBorder(r, viewInfo, false);
  r.left = r.right - width;
  return r;
}

void TdxInplaceSpinEditClass::DrawBorder(HDC dc, const TdxEditViewInfo& viewInfo, TdxEditViewData& viewData) const {
  TdxInplaceMaskEditClass::DrawBorder(dc, viewInfo, viewData);
  auto* spin = dynamic_cast<TdxSpinEditViewData*>(&viewData);
  const int width = CalcSpinButtonWidth(viewData);
  if (!spin || width <= 0) return;
  const RECT column = SpinButtonColumn(viewInfo, width);
  const int middle = (column.top + column.bottom) / 2;
  const RECT upper{column.left, column.top, column.right, middle};
  const RECT lower{column.left, middle, column.right, column.bottom};
  auto pressed = [&](TdxSpinButtonState half) { return spin->StatePressed == half && spin->StateActive == half; };
  DrawSpinButton(dc, upper, true, pressed(sbTopDown), spin->StateActive == sbTopDown, viewData);
  DrawSpinButton(dc, lower, false, pressed(sbBottomDown), spin->StateActive == sbBottomDown, viewData);
}

const TdxInplaceSpinEditClass& TdxInplaceSpinEditClass::Instance() {
  static const TdxInplaceSpinEditClass instance;
  return instance;
}

TdxInplaceSpinEdit::TdxInplaceSpinEdit(TComponent* owner) : TdxInplaceMaskEdit(owner) {
  SetControlStyle(ControlStyle() & ~static_cast<TControlStyle>(csSetCaption));
  SetText(L"0");
}

double TdxInplaceSpinEdit::GetValue() {
  const WideString text = GetTextValue();
  const double lower = FValueType == vtInt ? std::trunc(FMinValue) : FMinValue;
  if (text.empty()) return lower;
  if (FValueType == vtFloat) {
    // A text without "," reads with "." too, through settings of its own.
    TFormatSettings settings = FormatSettings();
    if (text.find(L',') == WideString::npos && settings.DecimalSeparator != L'.') settings.DecimalSeparator = L'.';
    long double value = 0;
    return TryStrToFloat(text, value, settings) ? static_cast<double>(value) : lower;
  }
  std::int32_t value = 0;
  return TryStrToInt(text, value) ? value : lower;
}

bool TdxInplaceSpinEdit::IsValidNumberChar(wchar_t key) {
  if (!FEditorEnabled) return key < 32 && key != L'\b';
  return (key >= L'0' && key <= L'9') || key == L'+' || key == L'-' || key < 32 ||
         (FValueType == vtFloat && key == FormatSettings().DecimalSeparator);
}

void TdxInplaceSpinEdit::SetValue(double value) {
  if (FMaxValue != FMinValue || FMinValue != 0) value = std::min(std::max(value, FMinValue), FMaxValue);
  const WideString text = FValueType == vtFloat ? FloatToStrF(value, TFloatFormat::ffGeneral, 15, 0)
                                                : IntToStr(Round(value));
  if (text != GetText()) SetText(text);
}

void TdxInplaceSpinEdit::SetMaxValue(double value) {
  value = std::max(value, FMinValue);
  if (value == FMaxValue) return;
  FMaxValue = value;
  SetValue(GetValue());
}

void TdxInplaceSpinEdit::SetMinValue(double value) {
  value = std::min(value, FMaxValue);
  if (value == FMinValue) return;
  FMinValue = value;
  SetValue(GetValue());
}

void TdxInplaceSpinEdit::SetMinMax(double minValue, double maxValue) {
  FMinValue = minValue > maxValue ? maxValue : minValue;
  FMaxValue = maxValue;
  SetValue(GetValue());
}

void TdxInplaceSpinEdit::SetValueTypeInternal(TdxValueType value) {
  if (value == FValueType) return;
  FValueType = value;
  if (!GetTextValue().empty()) SetValue(GetValue());
}

void TdxInplaceSpinEdit::SetMinMaxValues(double minValue, double maxValue) {
  FStoredValues |= Bit(svMinValue) | Bit(svMaxValue);
  SetMinMax(minValue, maxValue);
}

void TdxInplaceSpinEdit::SetValueType(TdxValueType value) {
  FStoredValues |= Bit(svIsFloat);
  SetValueTypeInternal(value);
}

void TdxInplaceSpinEdit::RestoreDefaults() {
  TdxInplaceMaskEdit::RestoreDefaults();
  SetMinMax(DefaultMinValue(), DefaultMaxValue());
  SetValueTypeInternal(DefaultValueType());
}

namespace {
// The limits a user did not set follow the editor's defaults again.
template <class Editor, class Stored>
void RefreshDefaultLimits(Editor& editor, Stored stored) {
  const bool maxStored = stored & Bit(svMaxValue), minStored = stored & Bit(svMinValue);
  if (!maxStored && !minStored) {
    editor.SetMinMax(editor.DefaultMinValue(), editor.DefaultMaxValue());
  } else {
    if (!maxStored) editor.SetMaxValue(editor.DefaultMaxValue());
    if (!minStored) editor.SetMinValue(editor.DefaultMinValue());
  }
}
}  // namespace

void TdxInplaceSpinEdit::RefreshDefaults() {
  TdxInplaceMaskEdit::RefreshDefaults();
  if (!(FStoredValues & Bit(svIsFloat))) SetValueTypeInternal(DefaultValueType());
  RefreshDefaultLimits(*this, FStoredValues);
}

void TdxInplaceSpinEdit::ValidateEdit() {
  TdxInplaceMaskEdit::ValidateEdit();
  if (GetEditModified()) SetValue(GetValue());
}

bool TdxInplaceSpinEdit::HoldsCapture() { return HandleAllocated() && GetCapture() == Handle(); }

void TdxInplaceSpinEdit::RepaintButtons() {
  if (HandleAllocated()) Perform(WM_NCPAINT, 1, 0);
}

void TdxInplaceSpinEdit::Spin() {
  if (!CanModify()) {
    MessageBeep(0);
    return;
  }
  if (!CanEditValue()) return;
  if (FStatePressed == sbTopDown)
    SetValue(GetValue() + GetIncrement());
  else if (FStatePressed == sbBottomDown)
    SetValue(GetValue() - GetIncrement());
  SetEditModified(true);
}

void TdxInplaceSpinEdit::StopSpin() {
  if (FStatePressed == sbNotDown) return;
  FStatePressed = FStateActive = sbNotDown;
  if (HoldsCapture()) ReleaseCapture();
  RepaintButtons();
}

void TdxInplaceSpinEdit::StopRepeatTimer() {
  if (FTimer && HandleAllocated()) KillTimer(Handle(), kSpinRepeatTimer);
  FTimer = 0;
}

void TdxInplaceSpinEdit::SetSelected(bool value) {
  TdxInplaceMaskEdit::SetSelected(value);
  if (!value) FStateActive = sbNotDown;
}

std::unique_ptr<TdxEditViewData> TdxInplaceSpinEdit::CreateViewData(bool isPaintCopy) {
  auto vd = TdxInplaceMaskEdit::CreateViewData(isPaintCopy);
  if (auto* spin = dynamic_cast<TdxSpinEditViewData*>(vd.get())) {
    const TdxEditButtonTransparence t = Style().ButtonTransparence();
    spin->ShowButton = !(t == ebtHideAlways || (t == ebtHideInactive && !IsSelected()));
    spin->StatePressed = FStatePressed;
    spin->StateActive = FStatePressed != sbNotDown && !HoldsCapture() ? FStatePressed : FStateActive;
  }
  return vd;
}

void TdxInplaceSpinEdit::DefaultHandler(TMessage& message) {
  // Up and Down step the value; the caret stays where it is.
  if (message.Msg == WM_KEYDOWN && (message.WParam == VK_UP || message.WParam == VK_DOWN) &&
      !(FUseCtrlIncrement && !(KeyboardShiftState() & ssCtrl)))
    return;
  TdxInplaceMaskEdit::DefaultHandler(message);
}

void TdxInplaceSpinEdit::KeyDown(WORD& key, TShiftState shift) {
  if (!FEditorEnabled && IsEditingKey(key, shift)) {
    key = 0;
    return;
  }
  if ((key == VK_UP || key == VK_DOWN) && !(FUseCtrlIncrement && !(shift & ssCtrl))) {
    FStatePressed = FStateActive = key == VK_UP ? sbTopDown : sbBottomDown;
    if (HoldsCapture()) ReleaseCapture();
    RepaintButtons();
    Spin();
    return;
  }
  TdxInplaceMaskEdit::KeyDown(key, shift);
}

void TdxInplaceSpinEdit::KeyUp(WORD& key, TShiftState shift) {
  if (key == VK_UP || key == VK_DOWN) StopSpin();
  TdxInplaceMaskEdit::KeyUp(key, shift);
}

void TdxInplaceSpinEdit::KeyPress(wchar_t& key) {
  if (key == L'.' || key == L',') key = FormatSettings().DecimalSeparator;
  if ((key == L'\b' || key >= 32) && !IsValidNumberChar(key)) {
    key = 0;
    MessageBeep(0);
    return;
  }
  TdxInplaceMaskEdit::KeyPress(key);
}

TVK_MESSAGE_MAP(TdxInplaceSpinEdit, {WM_CANCELMODE, &TdxInplaceSpinEdit::WMStopSpin},
                {WM_CAPTURECHANGED, &TdxInplaceSpinEdit::WMStopSpin},
                {WM_LBUTTONUP, &TdxInplaceSpinEdit::WMStopSpin}, {WM_CUT, &TdxInplaceSpinEdit::WMEditCommand},
                {WM_PASTE, &TdxInplaceSpinEdit::WMEditCommand}, {WM_CLEAR, &TdxInplaceSpinEdit::WMEditCommand},
                {WM_KILLFOCUS, &TdxInplaceSpinEdit::WMKillFocus},
                {WM_MOUSEWHEEL, &TdxInplaceSpinEdit::WMMouseWheel},
                {WM_NCHITTEST, &TdxInplaceSpinEdit::WMNCHitTest},
                {WM_NCLBUTTONDOWN, &TdxInplaceSpinEdit::WMNCLButtonDown},
                {WM_NCLBUTTONDBLCLK, &TdxInplaceSpinEdit::WMNCLButtonDblClk},
                {WM_TIMER, &TdxInplaceSpinEdit::WMTimer})

void TdxInplaceSpinEdit::WMStopSpin(TMessage& message) {
  StopSpin();
  TVK_INHERITED(message);
}

void TdxInplaceSpinEdit::WMEditCommand(TMessage& message) {
  if (FEditorEnabled) TVK_INHERITED(message);
}

void TdxInplaceSpinEdit::WMKillFocus(TMessage& message) {
  TVK_INHERITED(message);
  if ((GetAsyncKeyState(VK_UP) & 0x8000) || (GetAsyncKeyState(VK_DOWN) & 0x8000)) StopSpin();
}

void TdxInplaceSpinEdit::WMMouseWheel(TMessage& message) {
  const TdxSpinButtonState saved = FStatePressed;
  FStatePressed = static_cast<short>(HIWORD(message.WParam)) > 0 ? sbTopDown : sbBottomDown;
  Spin();
  FStatePressed = saved;
  message.Result = 0;
}

void TdxInplaceSpinEdit::WMNCHitTest(TMessage& message) {
  TVK_INHERITED(message);
  auto vd = CreateViewData(false);
  TdxEditViewInfo vi;
  EditClass().CalcViewInfo(*vd, false, vi);
  RECT window{};
  GetWindowRect(Handle(), &window);
  const POINT p{GET_X_LPARAM(message.LParam) - window.left, GET_Y_LPARAM(message.LParam) - window.top};
  const RECT column = TdxInplaceSpinEditClass::SpinButtonColumn(vi, TdxInplaceSpinEditClass::CalcSpinButtonWidth(*vd));
  const bool inside = PtInRect(&column, p) != FALSE;
  if ((ComponentState() & csDesigning) || !inside || (GetCapture() != nullptr && FStatePressed == sbNotDown)) {
    FStateActive = sbNotDown;
    return;
  }
  const TdxSpinButtonState half = p.y < (column.top + column.bottom) / 2 ? sbTopDown : sbBottomDown;
  FStateActive = FStatePressed != sbNotDown && FStatePressed != half ? sbNotDown : half;
  message.Result = HTBORDER;
}

void TdxInplaceSpinEdit::WMNCLButtonDown(TMessage& message) {
  TVK_INHERITED(message);
  if (FStateActive == sbNotDown) return;
  FStatePressed = FStateActive;
  SetCapture(Handle());
  RepaintButtons();
  Spin();
  if (FTimer)
    StopRepeatTimer();
  else
    FTimer = SetTimer(Handle(), kSpinRepeatTimer, 400, nullptr);
  if (CanFocus() && GetFocus() != Handle()) SetFocus();
}

void TdxInplaceSpinEdit::WMNCLButtonDblClk(TMessage& message) {
  DefaultHandler(message);
  StopSpin();
  StopRepeatTimer();
  Perform(WM_NCLBUTTONDOWN, message.WParam, message.LParam);
  Perform(WM_NCLBUTTONUP, message.WParam, message.LParam);
}

void TdxInplaceSpinEdit::WMTimer(TMessage& message) {
  if (message.WParam != kSpinRepeatTimer) {
    TVK_INHERITED(message);
    return;
  }
  StopRepeatTimer();
  if (FStatePressed == sbNotDown || !HoldsCapture()) return;
  if (FStatePressed == FStateActive) Spin();
  FTimer = SetTimer(Handle(), kSpinRepeatTimer, 100, nullptr);
}

// ---- time

TdxInplaceTimeEdit::TdxInplaceTimeEdit(TComponent* owner) : TdxInplaceSpinEdit(owner) {
  SetEditMask(TimeFormatRow(FTimeEditFormat).Mask);
  SetIgnoreMaskBlank(true);
}

int TdxInplaceTimeEdit::Caret() { return HandleAllocated() ? SelStart() : 0; }

wchar_t TdxInplaceTimeEdit::PartAtCaret() {
  WideString format = TimeFormatRow(FTimeEditFormat).Display;
  for (wchar_t& c : format) c = AsciiUpper(c);
  const int length = static_cast<int>(format.size());
  const int p = std::min(Caret() + 1, length);
  auto at = [&](int index) { return index >= 1 && index <= length ? format[static_cast<std::size_t>(index - 1)] : L' '; };
  const wchar_t c = at(p);
  if (c == L'H' || c == L'N' || c == L'S') return c;
  return p < 2 ? at(1) : at(p - 1);
}

double TdxInplaceTimeEdit::GetIncrement() {
  switch (PartAtCaret()) {
    case L'H': return EncodeTime(1, 0, 0, 0);
    case L'N': return EncodeTime(0, 1, 0, 0);
    case L'S': return EncodeTime(0, 0, 1, 0);
    default: return 0;
  }
}

double TdxInplaceTimeEdit::GetValue() {
  TDateTime time = 0;
  return TryStrToTime(GetTextValue(), time) ? time : 0;
}

bool TdxInplaceTimeEdit::IsValidNumberChar(wchar_t key) {
  const int caret = Caret();
  const WideString text = GetTextValue();
  if (caret == 0) return key >= L'0' && key <= L'2';
  if (caret == 1 && !text.empty() && text[0] == L'2') return key >= L'0' && key <= L'3';
  if ((caret == 3 && FTimeEditFormat != tfHour) || (caret == 6 && FTimeEditFormat == tfHourMinSec))
    return key >= L'0' && key <= L'5';
  return true;
}

void TdxInplaceTimeEdit::SetValue(double value) {
  if (value < 0 || value > EncodeTime(23, 59, 59, 0) + 1e-9) return;
  const int caret = Caret();
  const int position = caret < 3 ? 1 : caret <= 5 ? 4 : 7;
  FTime = value;
  WideString text;
  try {
    text = FormatDateTime(TimeFormatRow(FTimeEditFormat).Display, value);
  } catch (const Exception&) {
    text = FormatDateTime(FormatSettings().LongTimeFormat, Now());
  }
  SetEditText(text);
  if (HandleAllocated()) SendMessageW(Handle(), EM_SETSEL, static_cast<WPARAM>(position), position + 1);
}

void TdxInplaceTimeEdit::SetTime(TDateTime value) {
  if (value == FTime) return;
  TCustomdxContainer* host = Container();
  if ((host && host->InitEdit()) || CanEditValue()) SetValue(value);
}

void TdxInplaceTimeEdit::SetTimeEditFormat(TdxTimeEditFormat value) {
  if (value == FTimeEditFormat) return;
  FTimeEditFormat = value;
  SetEditMask(TimeFormatRow(value).Mask);
}

void TdxInplaceTimeEdit::SetEditValue(const Variant& value) {
  const bool modified = GetEditModified();
  double moment = 0;
  if (!IsEmptyEditValue(value)) {
    const WideString text = VarIsStr(value) ? WideString(TrimBlanks(VarToStr(value))) : WideString();
    if (!(VarIsStr(value) && TryStrToFloat(text, moment)) && !TryVarToDateTime(value, moment)) moment = 0;
  }
  FSavedDate = DatePart(moment);
  SetValue(moment == 0 ? 0 : TimeOfDay(moment));
  SetEditModified(modified);
}

Variant TdxInplaceTimeEdit::GetEditValue() {
  if (FSavedDate == 0 && FTime == 0) return VarFromCurrency(0);
  return Variant(FSavedDate + FTime);
}

// ---- currency

TdxInplaceCurrencyEdit::TdxInplaceCurrencyEdit(TComponent* owner) : TdxInplaceMaskEdit(owner) {
  SetControlStyle(ControlStyle() & ~static_cast<TControlStyle>(csSetCaption));
  FDisplayFormat = BuildCurrencyDisplayFormat();
}

bool TdxInplaceCurrencyEdit::IsValidAmountChar(wchar_t key) {
  const TFormatSettings& s = FormatSettings();
  if (!IsAmountSymbol(key, s.DecimalSeparator, s.ThousandSeparator, FUseThousandSeparator)) return false;
  WideString text = GetTextValue();
  int start = 0;
  if (HandleAllocated()) {
    CHARRANGE range{};
    GetSelection(range);
    start = std::clamp<int>(range.cpMin, 0, static_cast<int>(text.size()));
    const int end = std::clamp<int>(range.cpMax, start, static_cast<int>(text.size()));
    text.erase(static_cast<std::size_t>(start), static_cast<std::size_t>(end - start));
  } else {
    start = static_cast<int>(text.size());
  }
  if (key == L'-' && text.empty()) return true;
  text.insert(text.begin() + start, key);
  if (DecimalsAfterSeparator(text, s.DecimalSeparator) > FDecimalPlaces) return false;
  long double amount = 0;
  return TextToAmount(CompletedExponent(text), amount);
}

void TdxInplaceCurrencyEdit::SetDisplayFormatInternal(const WideString& value) {
  if (value == FDisplayFormat) return;
  FDisplayFormat = value;
  InvalidateClient();
}

void TdxInplaceCurrencyEdit::SetDisplayFormat(const WideString& value) {
  FStoredValues |= Bit(svDisplayFormat);
  SetDisplayFormatInternal(value);
}

void TdxInplaceCurrencyEdit::SetNullable(bool value) {
  if (value == FNullable) return;
  FNullable = value;
  InvalidateClient();
}

void TdxInplaceCurrencyEdit::SetNullString(const WideString& value) {
  if (value == FNullString) return;
  FNullString = value;
  InvalidateClient();
}

void TdxInplaceCurrencyEdit::SetMaxValue(double value) {
  value = std::max(value, FMinValue);
  if (value == FMaxValue) return;
  FMaxValue = value;
  SetValue(GetValue());
}

void TdxInplaceCurrencyEdit::SetMinValue(double value) {
  value = std::min(value, FMaxValue);
  if (value == FMinValue) return;
  FMinValue = value;
  SetValue(GetValue());
}

void TdxInplaceCurrencyEdit::SetMinMax(double minValue, double maxValue) {
  FMinValue = minValue > maxValue ? maxValue : minValue;
  FMaxValue = maxValue;
  SetValue(GetValue());
}

void TdxInplaceCurrencyEdit::SetMinMaxValues(double minValue, double maxValue) {
  FStoredValues |= Bit(svMinValue) | Bit(svMaxValue);
  SetMinMax(minValue, maxValue);
}

double TdxInplaceCurrencyEdit::GetValue() {
  const WideString text = GetTextValue();
  if (text.empty()) return 0;
  long double amount = 0;
  return TextToAmount(text, amount) ? static_cast<double>(amount) : FMinValue;
}

void TdxInplaceCurrencyEdit::SetValue(double value) {
  const bool modified = GetEditModified();
  try {
    const WideString text =
        FloatToStrF(Clamped(value, FMinValue, FMaxValue), TFloatFormat::ffGeneral, 15, 0);
    if (text != GetText()) SetText(text);
  } catch (...) {
    SetEditModified(modified);
    throw;
  }
  SetEditModified(modified);
}

Variant TdxInplaceCurrencyEdit::GetDisplayValue(bool isPaintCopy) {
  Variant shown = TdxInplaceMaskEdit::GetDisplayValue(isPaintCopy);
  if (FDisplayFormat.empty()) return shown;
  const WideString text = EditValueText(shown);
  if (text.empty() && FNullable) return Variant(FNullString);
  long double amount = 0;
  if (!text.empty()) TextToAmount(text, amount);
  return Variant(FormatFloat(FDisplayFormat, amount));
}

Variant TdxInplaceCurrencyEdit::GetEditValue() {
  if (FNullable && GetTextValue().empty()) return Null();
  return TdxInplaceMaskEdit::GetEditValue();
}


void TdxInplaceCurrencyEdit::RestoreDefaults() {
  TdxInplaceMaskEdit::RestoreDefaults();
  SetDisplayFormatInternal(DefaultDisplayFormat());
  SetMinMax(DefaultMinValue(), DefaultMaxValue());
}

void TdxInplaceCurrencyEdit::RefreshDefaults() {
  TdxInplaceMaskEdit::RefreshDefaults();
  if (!(FStoredValues & Bit(svDisplayFormat))) SetDisplayFormatInternal(DefaultDisplayFormat());
  RefreshDefaultLimits(*this, FStoredValues);
}

void TdxInplaceCurrencyEdit::ValidateEdit() {
  TdxInplaceMaskEdit::ValidateEdit();
  if (GetEditModified() && (!GetTextValue().empty() || !FNullable)) SetValue(GetValue());
}

void TdxInplaceCurrencyEdit::KeyPress(wchar_t& key) {
  const TFormatSettings& s = FormatSettings();
  if ((key == L'.' || key == L',') && !(FUseThousandSeparator && key == s.ThousandSeparator))
    key = s.DecimalSeparator;
  // Every printable character is checked, the ones beyond 255 (full-width
  // digits from an input method, other scripts) too.
  if (key >= 32 && !IsValidAmountChar(key)) {
    key = 0;
    MessageBeep(0);
  }
  if (key != 0) TdxInplaceMaskEdit::KeyPress(key);
}

TVK_MESSAGE_MAP(TdxInplaceCurrencyEdit, {WM_PASTE, &TdxInplaceCurrencyEdit::WMPaste},
                {CM_WININICHANGE, &TdxInplaceCurrencyEdit::CMWinIniChange})

void TdxInplaceCurrencyEdit::WMPaste(TMessage& message) {
  if (!CanModify()) return;
  const WideString before = GetTextValue();
  TVK_INHERITED(message);
  long double value = 0;
  if (!TryStrToFloat(GetTextValue(), value, FormatSettings())) {
    SetEditText(before);
    SelectAll();
  }
}

void TdxInplaceCurrencyEdit::CMWinIniChange(TMessage& message) {
  TVK_INHERITED(message);
  if (FStoredValues & Bit(svDisplayFormat)) return;
  ReadLocaleFormatSettings();
  SetDisplayFormatInternal(DefaultDisplayFormat());
}

// ---- hyperlink

std::unique_ptr<TdxEditViewData> TdxInplaceHyperLinkEditClass::CreateViewDataObject() const {
  return std::make_unique<TdxHyperLinkEditViewData>();
}

TCursor TdxInplaceHyperLinkEditClass::GetEditCursor(int x, int y, TdxEditViewData& viewData) const {
  auto* link = dynamic_cast<TdxHyperLinkEditViewData*>(&viewData);
  if (link && link->IsLink) return crdxHandPoint;
  return TdxInplaceTextEditClass::GetEditCursor(x, y, viewData);
}

const TdxInplaceHyperLinkEditClass& TdxInplaceHyperLinkEditClass::Instance() {
  static const TdxInplaceHyperLinkEditClass instance;
  return instance;
}

TdxInplaceHyperLinkEdit::TdxInplaceHyperLinkEdit(TComponent* owner) : TdxInplaceTextEdit(owner) {
  FAutoSelect = false;
}

TFont& TdxInplaceHyperLinkEdit::LinkFont() {
  if (!FLinkFont) {
    FLinkFont = std::make_unique<TFont>();
    Perform(CM_FONTCHANGED);
  }
  return *FLinkFont;
}

void TdxInplaceHyperLinkEdit::SetLinkColor(TColor value) {
  if (value == FLinkColor) return;
  FLinkColor = value;
  Perform(CM_FONTCHANGED);
  if (HandleAllocated()) ApplyLinkCharFormat();
  InvalidateClient();
}

void TdxInplaceHyperLinkEdit::StartLink() {
  if (OnStartClick) {
    OnStartClick(this);
    return;
  }
  const WideString text = GetTextValue();
  if (TrimBlanks(text).empty()) return;
  TCustomForm* form = GetParentForm(this);
  ShellExecuteDocument(form ? form->Handle() : nullptr, L"OPEN", text.c_str(), nullptr, nullptr, SW_SHOWMAXIMIZED);
}

std::unique_ptr<TdxEditViewData> TdxInplaceHyperLinkEdit::CreateViewData(bool isPaintCopy) {
  auto vd = TdxInplaceTextEdit::CreateViewData(isPaintCopy);
  TFont& font = LinkFont();
  if (auto* link = dynamic_cast<TdxHyperLinkEditViewData*>(vd.get()))
    link->IsLink = (ComponentState() & csDesigning) == 0;
  vd->TextColor = ColorToRGB(font.Color());
  vd->Font = font.Handle();
  return vd;
}

void TdxInplaceHyperLinkEdit::KeyDown(WORD& key, TShiftState shift) {
  const TShortCut shortCut = ShortCut(key, shift);
  if (shortCut != 0 && shortCut == FStartKey) {
    if (HandleAllocated()) RemovePendingMessage(Handle(), WM_CHAR);
    StartLink();
    key = 0;
    return;
  }
  TdxInplaceTextEdit::KeyDown(key, shift);
}

void TdxInplaceHyperLinkEdit::MouseUp(TMouseButton button, TShiftState shift, int x, int y) {
  TdxInplaceTextEdit::MouseUp(button, shift, x, y);
  RECT client = ClientRect();
  if (button == TMouseButton::mbLeft && PtInRect(&client, POINT{x, y})) StartLink();
}

TVK_MESSAGE_MAP(TdxInplaceHyperLinkEdit, {WM_LBUTTONDBLCLK, &TdxInplaceHyperLinkEdit::WMLButtonDblClk},
                {WM_SETFONT, &TdxInplaceHyperLinkEdit::WMSetFont},
                {CM_FONTCHANGED, &TdxInplaceHyperLinkEdit::CMFontChanged})

void TdxInplaceHyperLinkEdit::WMLButtonDblClk(TMessage& message) {
  if (!FSingleClick && CanModify())
    StartLink();
  else
    TVK_INHERITED(message);
}

void TdxInplaceHyperLinkEdit::ApplyLinkCharFormat() {
  CHARFORMAT2W format{};
  static_assert(sizeof(CHARFORMAT2W) == 116, "the rich edit reads a CHARFORMAT2W of 116 bytes");
  format.cbSize = sizeof(format);
  format.dwMask = CFM_COLOR | CFM_UNDERLINETYPE;
  format.bUnderlineType = CFU_UNDERLINE;
  if (FLinkColor == clWindowText || FLinkColor == clDefault)
    format.dwEffects = CFE_AUTOCOLOR;
  else
    format.crTextColor = ColorToRGB(FLinkColor);
  SendMessageW(Handle(), EM_SETCHARFORMAT, SCF_DEFAULT, reinterpret_cast<LPARAM>(&format));
}

void TdxInplaceHyperLinkEdit::WMSetFont(TMessage& message) {
  TVK_INHERITED(message);
  ApplyLinkCharFormat();
}

void TdxInplaceHyperLinkEdit::CMFontChanged(TMessage& message) {
  TVK_INHERITED(message);
  if (!FLinkFont) return;
  FLinkFont->Assign(Font());
  FLinkFont->SetStyle(FLinkFont->Style() | fsUnderline);
  FLinkFont->SetColor(FLinkColor);
}

}  // namespace tvk
