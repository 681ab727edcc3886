#include "dxCalc.h"

#include "Clipbrd.h"
#include "DateTimes.h"
#include "EditorsClassicResources.h"
#include "ResStrings.h"

#include <algorithm>
#include <cmath>
#include <memory>

namespace tvk {

using enum TdxCalcButtonKind;

namespace {

TResStringRec sdxCalcError(IDS_sdxCalcError);

struct TCalcUnitState {
  int RefCount = 0;
  std::unique_ptr<TBitmap> Bitmap;
  WideString ErrorText;
};

TCalcUnitState& CalcUnit() {
  static TCalcUnitState state;
  return state;
}

struct TCalcButtonRow {
  TdxCalcButtonKind Kind;
  const wchar_t* Caption;
  TColor Color;
};

constexpr TCalcButtonRow kCalcButtons[kCalcButtonCount] = {
    {cbBack, L"Back", clMaroon}, {cbCancel, L"CE", clMaroon}, {cbClear, L"C", clMaroon},
    {cbMC, L"MC", clRed},        {cbMR, L"MR", clRed},        {cbMS, L"MS", clRed},
    {cbMP, L"M+", clRed},        {cbNum0, L"0", clBlue},      {cbNum1, L"1", clBlue},
    {cbNum2, L"2", clBlue},      {cbNum3, L"3", clBlue},      {cbNum4, L"4", clBlue},
    {cbNum5, L"5", clBlue},      {cbNum6, L"6", clBlue},      {cbNum7, L"7", clBlue},
    {cbNum8, L"8", clBlue},      {cbNum9, L"9", clBlue},      {cbSign, L"+/-", clBlue},
    {cbDecimal, L",", clBlue},   {cbDiv, L"/", clRed},        {cbMul, L"*", clRed},
    {cbSub, L"-", clRed},        {cbAdd, L"+", clRed},        {cbSqrt, L"sqrt", clNavy},
    {cbPercent, L"%", clNavy},   {cbRev, L"1/x", clNavy},     {cbEqual, L"=", clRed},
};

// Grid places: row 1..4 and column 0..4 (column -1: the memory column).
struct TCalcGridPlace {
  TdxCalcButtonKind Kind;
  int Row;
  int Column;
};

constexpr TCalcGridPlace kCalcGrid[] = {
    {cbMC, 1, -1},    {cbMR, 2, -1},      {cbMS, 3, -1},      {cbMP, 4, -1},   {cbNum7, 1, 0}, {cbNum8, 1, 1},
    {cbNum9, 1, 2},   {cbNum4, 2, 0},     {cbNum5, 2, 1},     {cbNum6, 2, 2},  {cbNum1, 3, 0}, {cbNum2, 3, 1},
    {cbNum3, 3, 2},   {cbNum0, 4, 0},     {cbSign, 4, 1},     {cbDecimal, 4, 2}, {cbDiv, 1, 3}, {cbMul, 2, 3},
    {cbSub, 3, 3},    {cbAdd, 4, 3},      {cbSqrt, 1, 4},     {cbPercent, 2, 4}, {cbRev, 3, 4}, {cbEqual, 4, 4},
};

struct TCalcKeyRow {
  WORD Key;
  int CtrlRule;  // -1 without Ctrl, 0 any, 1 with Ctrl
  TdxCalcButtonKind Kind;
};

constexpr TCalcKeyRow kCalcKeys[] = {
    {VK_RETURN, 0, cbEqual}, {VK_ESCAPE, 0, cbClear}, {VK_DELETE, 0, cbCancel}, {'C', -1, cbClear},
    {'L', 1, cbMC},          {'R', 1, cbMR},          {'R', -1, cbRev},         {'M', 1, cbMS},
    {'P', 1, cbMP},          {VK_F9, 0, cbSign},
};

bool IsBinaryOperator(TdxCalcButtonKind kind) {
  return kind == cbDiv || kind == cbMul || kind == cbSub || kind == cbAdd;
}

bool IsDigitKind(TdxCalcButtonKind kind) { return kind >= cbNum0 && kind <= cbNum9; }

}  // namespace

const WideString& CalcErrorText() { return CalcUnit().ErrorText; }

bool DxCalcUnitStartup() {
  TCalcUnitState& unit = CalcUnit();
  if (unit.RefCount++ == 0) {
    unit.Bitmap = std::make_unique<TBitmap>();
    unit.ErrorText = LoadResString(&sdxCalcError);
  }
  return true;
}

void DxCalcUnitShutdown() {
  TCalcUnitState& unit = CalcUnit();
  if (unit.RefCount == 0 || --unit.RefCount > 0) return;
  unit.Bitmap.reset();
  unit.ErrorText.clear();
}

TCustomdxCalculator::TCustomdxCalculator(TComponent* owner) : TdxInplacePopupControl(owner) {
  SetBounds(Left(), Top(), FCalcWidth, FCalcHeight);
  SetControlStyle(csCaptureMouse | csOpaque);
  SetColor(clBtnFace);
  SetCtl3D(false);
  SetTabStop(true);
  CalcLayout();
}

WideString TCustomdxCalculator::DisplayText() {
  WideString text;
  ReadDisplayText(text);
  return text;
}

long double TCustomdxCalculator::Value() {
  if (FStatus == csError) return 0;
  WideString text(TrimBlanks(DisplayText()));
  if (text.empty()) text = L"0";
  return StrToFloat(text);
}

void TCustomdxCalculator::SetValue(long double value) {
  const WideString text = FloatToStrF(value, TFloatFormat::ffGeneral, std::max<int>(2, FPrecision), 0);
  if (text == DisplayText()) return;
  WriteDisplayText(text);
  if (OnDisplayChange) OnDisplayChange(this);
}

void TCustomdxCalculator::BeginEntry() {
  if (FStatus != csFirst) return;
  FStatus = csValid;
  WriteDisplayText(L"0");
}

void TCustomdxCalculator::EnterErrorState() {
  FStatus = csError;
  WriteDisplayText(CalcErrorText());
  if (FBeepOnError) MessageBeep(0);
  if (OnError) OnError(this);
}

void TCustomdxCalculator::ResetEngine() {
  FOperator = cbEqual;
  FStatus = csFirst;
  FMemory = 0;
  UpdateMemoryButtons();
}

void TCustomdxCalculator::UpdateMemoryButtons() {
  const bool empty = FMemory == 0;
  ButtonRef(cbMC).Grayed = empty;
  ButtonRef(cbMR).Grayed = empty;
  InvalidateButton(cbMC);
  InvalidateButton(cbMR);
}

void TCustomdxCalculator::InvalidateButton(TdxCalcButtonKind kind) {
  if (kind == cbNone || !HandleAllocated()) return;
  const RECT r = Button(kind).BtnRect;
  InvalidateRect(Handle(), &r, FALSE);
}

void TCustomdxCalculator::ProcessCalculatorButton(TdxCalcButtonKind kind) {
  if (OnButtonClick) OnButtonClick(this, kind);
  if (kind == cbNone) return;
  if (FStatus == csError && kind != cbCancel && kind != cbClear) {
    EnterErrorState();
    return;
  }
  const wchar_t separator = FormatSettings().DecimalSeparator;
  if (kind == cbDecimal) {
    BeginEntry();
    const WideString text = DisplayText();
    if (text.find(separator) == WideString::npos) WriteDisplayText(text + separator);
  } else if (IsDigitKind(kind)) {
    BeginEntry();
    WideString text = DisplayText();
    if (text == L"0") text.clear();
    const std::size_t minus = text.find(L'-');
    const std::size_t limit =
        static_cast<std::size_t>(std::max<int>(2, FPrecision)) + (minus == WideString::npos ? 0 : minus + 1);
    if (text.size() < limit)
      WriteDisplayText(text + wchar_t(L'0' + (static_cast<int>(kind) - static_cast<int>(cbNum0))));
    else if (FBeepOnError)
      MessageBeep(0);
  } else if (kind == cbBack) {
    BeginEntry();
    const WideString text = DisplayText();
    if (text.size() <= 1 || (text.size() == 2 && text[0] == L'-'))
      WriteDisplayText(L"0");
    else
      WriteDisplayText(text.substr(0, text.size() - 1));
  } else if (kind == cbSign) {
    SetValue(-Value());
  } else if (kind == cbSqrt || kind == cbRev) {
    FStatus = IsBinaryOperator(FOperator) ? csValid : csFirst;
    const long double value = Value();
    if (kind == cbSqrt) {
      if (value < 0)
        EnterErrorState();
      else
        SetValue(std::sqrt(value));
    } else if (value == 0) {
      EnterErrorState();
    } else {
      SetValue(1 / value);
    }
  } else if (IsBinaryOperator(kind) || kind == cbPercent || kind == cbEqual) {
    if (FStatus == csValid) {
      FStatus = csFirst;
      long double x = Value();
      if (kind == cbPercent) {
        if (FOperator == cbDiv || FOperator == cbMul)
          x = x / 100;
        else if (FOperator == cbSub || FOperator == cbAdd)
          x = FOperand * x / 100;
      }
      switch (FOperator) {
        case cbDiv:
          if (x == 0)
            EnterErrorState();
          else
            SetValue(FOperand / x);
          break;
        case cbMul: SetValue(FOperand * x); break;
        case cbSub: SetValue(FOperand - x); break;
        case cbAdd: SetValue(FOperand + x); break;
        default: break;
      }
    }
    FOperator = kind;
    FOperand = Value();
    if ((kind == cbPercent || kind == cbEqual) && OnResult) OnResult(this);
  } else if (kind == cbCancel || kind == cbClear) {
    FStatus = csFirst;
    SetValue(0);
    FOperator = cbEqual;
  } else if (kind == cbMP || kind == cbMS) {
    FStatus = csFirst;
    FMemory = kind == cbMP ? FMemory + Value() : Value();
    UpdateMemoryButtons();
  } else if (kind == cbMR) {
    FStatus = csFirst;
    BeginEntry();
    SetValue(FMemory);
  } else if (kind == cbMC) {
    FMemory = 0;
    UpdateMemoryButtons();
  }
}

TdxCalcButtonKind TCustomdxCalculator::GetButtonKindAt(int x, int y) const {
  const POINT p{x, y};
  for (const TdxButtonInfo& button : FButtons)
    if (PtInRect(&button.BtnRect, p)) return button.Kind;
  return cbNone;
}

TdxCalcButtonKind TCustomdxCalculator::GetButtonKindChar(wchar_t ch) {
  if (ch >= L'0' && ch <= L'9') return static_cast<TdxCalcButtonKind>(static_cast<int>(cbNum0) + (ch - L'0'));
  if (ch == FormatSettings().DecimalSeparator) return cbDecimal;
  switch (ch) {
    case L'+': return cbAdd;
    case L'-': return cbSub;
    case L'*': return cbMul;
    case L'/': return cbDiv;
    case L'%': return cbPercent;
    case L'=': return cbEqual;
    case L'@': return cbSqrt;
    case L'\b': return cbBack;
    default: return cbNone;
  }
}

TdxCalcButtonKind TCustomdxCalculator::GetButtonKindKey(WORD key, TShiftState shift) {
  const bool ctrl = (shift & ssCtrl) != 0;
  for (const TCalcKeyRow& row : kCalcKeys)
    if (row.Key == key && (row.CtrlRule == 0 || (row.CtrlRule > 0) == ctrl)) return row.Kind;
  return cbNone;
}

void TCustomdxCalculator::CopyToClipboard() { Clipboard().SetAsText(DisplayText()); }

void TCustomdxCalculator::PasteFromClipboard() {
  if (!Clipboard().HasFormat(CF_TEXT)) return;
  WideString text = Clipboard().AsText();
  const WideString& currency = FormatSettings().CurrencyString;
  if (!currency.empty())
    for (std::size_t at = text.find(currency); at != WideString::npos; at = text.find(currency, at))
      text.erase(at, currency.size());
  long double value = 0;
  if (TryStrToFloat(TrimBlanks(text), value, FormatSettings())) {
    SetValue(value);
    FStatus = csValid;
  } else {
    SetValue(0);
  }
}

void TCustomdxCalculator::SetButtonStyle(TdxButtonStyle value) {
  if (value == FButtonStyle) return;
  FButtonStyle = value;
  Invalidate();
}

void TCustomdxCalculator::SetButtonFrameVisible(bool value) {
  if (value == FButtonFrameVisible) return;
  FButtonFrameVisible = value;
  Invalidate();
}

void TCustomdxCalculator::SetFocusRectVisible(bool value) {
  if (value == FFocusRectVisible) return;
  FFocusRectVisible = value;
  Invalidate();
}

void TCustomdxCalculator::CalcLayout() {
  const int x = FCalcXOfs, y = FCalcYOfs, w = FCalcBtnWidth, h = FCalcBtnHeight, large = FCalcLargeBtnWidth;
  const int gridLeft = x + w + 2 * x + 4;
  for (const TCalcButtonRow& row : kCalcButtons) {
    TdxButtonInfo& button = ButtonRef(row.Kind);
    button = TdxButtonInfo{};
    button.Kind = row.Kind;
    button.Text = row.Kind == cbDecimal ? WideString(1, FormatSettings().DecimalSeparator) : row.Caption;
    button.Text = button.Text.substr(0, 4);
    button.FontColor = row.Color;
  }
  for (const TCalcGridPlace& place : kCalcGrid) {
    RECT& r = ButtonRef(place.Kind).BtnRect;
    r.top = y + place.Row * (y + h);
    r.bottom = (place.Row + 1) * (y + h);
    r.left = place.Column < 0 ? x : gridLeft + place.Column * (x + w);
    r.right = place.Column < 0 ? x + w : r.left + w;
  }
  const int clearRight = Button(cbEqual).BtnRect.right;
  ButtonRef(cbClear).BtnRect = RECT{clearRight - large, y, clearRight, y + h};
  const int cancelRight = clearRight - large - y;
  ButtonRef(cbCancel).BtnRect = RECT{cancelRight - large, y, cancelRight, y + h};
  const int backRight = cancelRight - large - y;
  ButtonRef(cbBack).BtnRect = RECT{backRight - large, y, backRight, y + h};
  ResetEngine();
}

void TCustomdxCalculator::CreateParams(TCreateParams& params) {
  TdxInplacePopupControl::CreateParams(params);
  params.Style |= WS_TABSTOP | WS_CLIPCHILDREN;
  params.WindowClassStyle &= ~static_cast<UINT>(CS_DBLCLKS);
  if (IsPopupControl())
    params.Style &= ~static_cast<DWORD>(WS_BORDER);
  else if (FBorderStyle == TdxCalcBorderStyle::bsSingle && Ctl3D())
    params.ExStyle |= WS_EX_CLIENTEDGE;
  else if (FBorderStyle == TdxCalcBorderStyle::bsSingle)
    params.Style |= WS_BORDER;
}

void TCustomdxCalculator::CMCtl3DChanged(TMessage& message) {
  TVK_INHERITED(message);
  // The border is the window's style.
  if (HandleAllocated() && FBorderStyle == TdxCalcBorderStyle::bsSingle) RecreateWnd();
}

void TCustomdxCalculator::Paint() {
  TCanvas& canvas = Canvas();
  HRGN rest = CreateRectRgn(0, 0, ClientWidth(), ClientHeight());
  canvas.Font().Assign(Font());
  if (FAutoFontSize) {
    canvas.Font().SetSize(FCalcFontSize);
    TFontStyles style = canvas.Font().Style();
    style = FCalcFontSize >= 10 ? (style | fsBold) : (style & ~static_cast<TFontStyles>(fsBold));
    canvas.Font().SetStyle(style);
  }
  canvas.Brush().SetColor(Color());
  for (const TdxButtonInfo& button : FButtons) {
    if (!RectVisible(canvas.Handle(), &button.BtnRect)) continue;
    DrawButton(button);
    HRGN cut = CreateRectRgnIndirect(&button.BtnRect);
    CombineRgn(rest, rest, cut, RGN_DIFF);
    DeleteObject(cut);
  }
  HBRUSH brush = CreateSolidBrush(ColorToRGB(Color()));
  FillRgn(canvas.Handle(), rest, brush);
  DeleteObject(brush);
  DeleteObject(rest);
}

void TCustomdxCalculator::DrawButton(const TdxButtonInfo& button) {
  TBitmap* bitmap = CalcUnit().Bitmap.get();
  if (!bitmap) return;
  const RECT& b = button.BtnRect;
  const int w = b.right - b.left, h = b.bottom - b.top;
  if (w <= 0 || h <= 0) return;
  if (bitmap->Width() < w || bitmap->Height() < h)
    bitmap->SetSize(std::max(bitmap->Width(), w), std::max(bitmap->Height(), h));
  TCanvas& bc = bitmap->Canvas();
  const bool down = button.Down && !button.Grayed;
  bc.Font().Assign(Canvas().Font());
  bc.Font().SetColor(button.Grayed ? clBtnShadow : button.FontColor);
  bc.Brush().SetColor(Canvas().Brush().Color());
  bc.Brush().SetStyle(TBrushStyle::bsSolid);
  RECT area{0, 0, w, h};
  bc.FillRect(area);
  HDC dc = bc.StateHandle();
  if (FButtonStyle == bsStandard) {
    RECT face = area;
    DrawFrameControl(dc, &face, DFC_BUTTON, DFCS_BUTTONPUSH | (down ? DFCS_PUSHED : 0));
  } else if (down || FButtonStyle != bsExtraFlat || button.Kind == FActiveButton) {
    RECT face = area;
    DrawEdge(dc, &face, down ? BDR_SUNKENOUTER : BDR_RAISEDINNER, BF_RECT);
  }
  RECT text{2, 2, w - 2, h - 2};
  if (down) OffsetRect(&text, 2, 2), text.right -= 2, text.bottom -= 2;
  const UINT format = DT_CENTER | DT_VCENTER | DT_SINGLELINE | DT_EXPANDTABS | DT_NOPREFIX;
  SetBkMode(dc, TRANSPARENT);
  if (!Enabled()) {
    RECT raised = text;
    OffsetRect(&raised, 1, 1);
    SetTextColor(dc, ColorToRGB(clBtnHighlight));
    DrawTextW(dc, button.Text.c_str(), -1, &raised, format);
    SetTextColor(dc, ColorToRGB(clBtnShadow));
  }
  DrawTextW(dc, button.Text.c_str(), -1, &text, format);
  if (FButtonFrameVisible) {
    RECT frame = area;
    InflateRect(&frame, -3, -3);
    if (down) OffsetRect(&frame, 1, 1);
    HPEN pen = CreatePen(PS_SOLID, 1, ColorToRGB(clBtnShadow));
    HGDIOBJ oldPen = SelectObject(dc, pen);
    HGDIOBJ oldBrush = SelectObject(dc, GetStockObject(NULL_BRUSH));
    const int corner = frame.bottom - frame.top - 4;
    RoundRect(dc, frame.left, frame.top, frame.right, frame.bottom, corner, corner);
    SelectObject(dc, oldBrush);
    SelectObject(dc, oldPen);
    DeleteObject(pen);
  }
  Canvas().CopyRect(b, bc, area);
  if (button.Kind == cbEqual && FFocusRectVisible && HandleAllocated() && GetFocus() == Handle()) {
    RECT focus = b;
    InflateRect(&focus, -3, -3);
    DrawFocusRect(Canvas().Handle(), &focus);
  }
}

void TCustomdxCalculator::TrackButton(int x, int y) {
  if (FDownButton == cbNone) return;
  TdxButtonInfo& button = ButtonRef(FDownButton);
  const POINT p{x, y};
  const bool over = PtInRect(&button.BtnRect, p) != FALSE;
  if (over == button.Down) return;
  button.Down = over;
  InvalidateButton(FDownButton);
}

void TCustomdxCalculator::StopTracking() {
  if (!FTracking) return;
  TrackButton(-1, -1);
  FTracking = false;
  SetMouseCapture(false);
  if (FDownButton != cbNone) ButtonRef(FDownButton).Down = false;
}

void TCustomdxCalculator::MouseDown(TMouseButton button, TShiftState shift, int x, int y) {
  if (!IsPopup && CanFocus() && HandleAllocated() && GetFocus() != Handle()) SetFocus();
  if (button == TMouseButton::mbLeft) {
    const TdxCalcButtonKind kind = GetButtonKindAt(x, y);
    if (kind != cbNone) {
      SetMouseCapture(true);
      FTracking = true;
      FDownButton = kind;
      TrackButton(x, y);
    }
  }
  TdxInplacePopupControl::MouseDown(button, shift, x, y);
}

void TCustomdxCalculator::MouseMove(TShiftState shift, int x, int y) {
  if (FTracking) {
    TrackButton(x, y);
  } else if (FButtonStyle == bsExtraFlat && Enabled()) {
    const TdxCalcButtonKind kind = GetButtonKindAt(x, y);
    if (kind != FActiveButton) {
      const TdxCalcButtonKind old = FActiveButton;
      FActiveButton = kind;
      InvalidateButton(old);
      InvalidateButton(kind);
    }
  }
  TdxInplacePopupControl::MouseMove(shift, x, y);
}

void TCustomdxCalculator::MouseUp(TMouseButton button, TShiftState shift, int x, int y) {
  const TdxCalcButtonKind kind = FDownButton;
  const bool counted = FTracking && kind != cbNone && Button(kind).Down;
  StopTracking();
  if (counted && button == TMouseButton::mbLeft) ProcessCalculatorButton(kind);
  FDownButton = cbNone;
  TdxInplacePopupControl::MouseUp(button, shift, x, y);
}

void TCustomdxCalculator::PressKeyButton(TdxCalcButtonKind kind) {
  if (kind == cbNone || kind == FPressedButton) return;
  ReleaseKeyButton();
  ButtonRef(kind).Down = true;
  InvalidateButton(kind);
  if (HandleAllocated()) UpdateWindow(Handle());
  FPressedButton = kind;
  if (kind != cbBack) ProcessCalculatorButton(kind);
}

void TCustomdxCalculator::ReleaseKeyButton() {
  if (FPressedButton == cbNone) return;
  ButtonRef(FPressedButton).Down = false;
  InvalidateButton(FPressedButton);
  FPressedButton = cbNone;
  if (HandleAllocated()) UpdateWindow(Handle());
}

void TCustomdxCalculator::KeyDown(WORD& key, TShiftState shift) {
  TdxInplacePopupControl::KeyDown(key, shift);
  if (key == VK_INSERT && shift == ssShift)
    PasteFromClipboard();
  else if (key == VK_INSERT && shift == ssCtrl)
    CopyToClipboard();
  PressKeyButton(GetButtonKindKey(key, shift));
}

void TCustomdxCalculator::KeyPress(wchar_t& key) {
  TdxInplacePopupControl::KeyPress(key);
  if (key == 22)
    PasteFromClipboard();
  else if (key == 3)
    CopyToClipboard();
  PressKeyButton(GetButtonKindChar(key));
  if (FPressedButton == cbBack) ProcessCalculatorButton(cbBack);
}

void TCustomdxCalculator::KeyUp(WORD& key, TShiftState shift) {
  (void)key;
  (void)shift;
  ReleaseKeyButton();
}

TVK_MESSAGE_MAP(TCustomdxCalculator, {WM_ERASEBKGND, &TCustomdxCalculator::WMEraseBkgnd},
                {WM_GETDLGCODE, &TCustomdxCalculator::WMGetDlgCode}, {WM_SIZE, &TCustomdxCalculator::WMSize},
                {WM_SETFOCUS, &TCustomdxCalculator::WMFocusChanged},
                {WM_KILLFOCUS, &TCustomdxCalculator::WMFocusChanged}, {WM_KEYUP, &TCustomdxCalculator::WMKeyUp},
                {CM_FONTCHANGED, &TCustomdxCalculator::CMRepaintChanged},
                {CM_ENABLEDCHANGED, &TCustomdxCalculator::CMRepaintChanged},
                {CM_MOUSELEAVE, &TCustomdxCalculator::CMMouseLeave},
                {CM_CTL3DCHANGED, &TCustomdxCalculator::CMCtl3DChanged})

void TCustomdxCalculator::WMEraseBkgnd(TMessage& message) {
  DefaultHandler(message);
  message.Result = 1;
}

void TCustomdxCalculator::WMGetDlgCode(TMessage& message) { message.Result = DLGC_WANTARROWS; }

void TCustomdxCalculator::WMSize(TMessage& message) {
  TVK_INHERITED(message);
  const int cw = ClientWidth(), ch = ClientHeight();
  if (cw <= 0 || ch <= 0) return;
  const int a = std::min(ch, MulDiv(cw, 137, 207));
  auto span = [](int h) { return h * 5 + MulDiv(h, 4, 22) * 6; };
  int h = 22;
  while (std::abs(span(h + 1) - a) < std::abs(span(h) - a)) ++h;
  FCalcBtnHeight = h;
  FCalcBtnWidth = MulDiv(h, 28, 22);
  FCalcXOfs = FCalcYOfs = MulDiv(h, 4, 22);
  FCalcLargeBtnWidth = MulDiv(FCalcBtnWidth, 17, 10);
  FCalcFontSize = MulDiv(h, 8, 22);
  FCalcHeight = 5 * h + 6 * FCalcYOfs;
  FCalcWidth = 6 * FCalcBtnWidth + 8 * FCalcXOfs + 4;
  CalcLayout();
  if (cw != FCalcWidth || ch != FCalcHeight)
    SetBounds(Left(), Top(), Width() - cw + FCalcWidth, Height() - ch + FCalcHeight);
  Invalidate();
}

void TCustomdxCalculator::WMFocusChanged(TMessage& message) {
  TVK_INHERITED(message);
  InvalidateButton(cbEqual);
}

void TCustomdxCalculator::WMKeyUp(TMessage& message) {
  TVK_INHERITED(message);
  WORD key = static_cast<WORD>(message.WParam);
  KeyUp(key, KeyboardShiftState(message.LParam));
}

void TCustomdxCalculator::CMRepaintChanged(TMessage& message) {
  TVK_INHERITED(message);
  Invalidate();
}

void TCustomdxCalculator::CMMouseLeave(TMessage& message) {
  TVK_INHERITED(message);
  if (FButtonStyle != bsExtraFlat || !Enabled()) return;
  const TdxCalcButtonKind old = FActiveButton;
  FActiveButton = cbNone;
  InvalidateButton(old);
}

}  // namespace tvk
