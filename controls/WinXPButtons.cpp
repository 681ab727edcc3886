#include "WinXPButtons.h"

#include "Themes.h"
#include "XPControlUtils.h"
#include "XPSystem.h"

#include <shellapi.h>
#include <uxtheme.h>
#include <vssym32.h>

#include <algorithm>

namespace tvk {

namespace {

constexpr TSkinRow kButtonSkinRows[] = {
    {L"BBOK", TSkinKind::skBitmap},       {L"BBCANCEL", TSkinKind::skBitmap}, {L"BBHELP", TSkinKind::skBitmap},
    {L"BBYES", TSkinKind::skBitmap},      {L"BBNO", TSkinKind::skBitmap},     {L"BBCLOSE", TSkinKind::skBitmap},
    {L"BBABORT", TSkinKind::skBitmap},    {L"BBRETRY", TSkinKind::skBitmap},  {L"BBIGNORE", TSkinKind::skBitmap},
    {L"BBALL", TSkinKind::skBitmap},      {L"XPPUSHBUTTON", TSkinKind::skAlphaImage},
    {L"XPCHECKBOX", TSkinKind::skAlphaImage}, {L"XPRADIOBUTTON", TSkinKind::skAlphaImage},
    {nullptr, TSkinKind::skStockIcon, SIID_SHIELD, false},
};
TSkinCache gButtonSkins(kButtonSkinRows);
constexpr std::size_t kPushButtonSkin = 10, kCheckBoxSkin = 11, kRadioButtonSkin = 12, kShieldSkin = 13;

// The kinds in declaration order.
constexpr TBitBtnKindRow kKindRows[] = {
    {L"", mrNone, false, false},        {L"OK", mrOk, true, false},          {L"Cancel", mrCancel, false, true},
    {L"&Help", mrNone, false, false},   {L"&Yes", mrYes, true, false},       {L"&No", mrNo, false, true},
    {L"&Close", mrNone, false, false},  {L"Abort", mrAbort, false, false},   {L"&Retry", mrRetry, false, false},
    {L"&Ignore", mrIgnore, false, false}, {L"&All", mrAll, false, false},
};

// The push button's theme states (BP_PUSHBUTTON).
constexpr int kPushNormal = PBS_NORMAL, kPushHot = PBS_HOT, kPushPressed = PBS_PRESSED,
              kPushDisabled = PBS_DISABLED, kPushDefaulted = PBS_DEFAULTED;

void SolidRect(HDC dc, const RECT& r, TColor color) {
  HBRUSH brush = CreateSolidBrush(ColorToRGB(color));
  FillRect(dc, &r, brush);
  DeleteObject(brush);
}

// The offset of a state among the four of a mark: 3 disabled, 2 pressed, 1 hot, 0 normal.
int MarkStateOffset(bool enabled, bool pressed, bool hot) {
  if (!enabled) return 3;
  if (pressed) return 2;
  return hot ? 1 : 0;
}

}  // namespace

const TBitBtnKindRow& BitBtnKindRow(TBitBtnKind kind) { return kKindRows[int(kind)]; }

// ---- Resources

TBitmap& TXPButtonResources::BitBtnGlyph(TBitBtnKind kind) {
  static TBitmap empty;
  if (kind == TBitBtnKind::bkCustom) return empty;
  return gButtonSkins.Bitmap(std::size_t(int(kind) - 1));
}
TAlphaImage& TXPButtonResources::PushButton() { return gButtonSkins.AlphaImage(kPushButtonSkin); }
TAlphaImage& TXPButtonResources::CheckBox() { return gButtonSkins.AlphaImage(kCheckBoxSkin); }
TAlphaImage& TXPButtonResources::RadioButton() { return gButtonSkins.AlphaImage(kRadioButtonSkin); }
TIcon& TXPButtonResources::ShieldIcon() { return gButtonSkins.Icon(kShieldSkin); }
bool TXPButtonResources::Loaded() { return gButtonSkins.Loaded(); }

bool WinXPButtonsStartup() { return true; }
void WinXPButtonsShutdown() { gButtonSkins.Release(); }

// ---- TWinXPCustomButtonControl

TWinXPCustomButtonControl::TWinXPCustomButtonControl(TComponent* owner) : TXPCustomControl(owner) {
  SetControlStyle(ControlStyle() | csClickEvents | csDoubleClicks);
  SetTabStop(true);
}

void TWinXPCustomButtonControl::SetWordWrap(bool value) {
  if (value == FWordWrap) return;
  FWordWrap = value;
  if (HandleAllocated()) RecreateWnd();
}

void TWinXPCustomButtonControl::SetLookAndFeel(TXPLookAndFeel value) {
  if (value == FLookAndFeel) return;
  FLookAndFeel = value;
  Invalidate();
}

void TWinXPCustomButtonControl::CreateParams(TCreateParams& params) {
  TXPCustomControl::CreateParams(params);
  if (FWordWrap) params.Style |= BS_MULTILINE;
}

void TWinXPCustomButtonControl::SetPressed(bool value) {
  if (value == FPressed) return;
  FPressed = value;
  Invalidate();
}

void TWinXPCustomButtonControl::MouseDownAction(int, int) {
  FMouseDown = true;
  SetPressed(true);
}

void TWinXPCustomButtonControl::MouseMoveAction(int x, int y) {
  if (!FMouseDown) return;
  RECT r = ClientRect();
  SetPressed(PtInRect(&r, POINT{x, y}) != 0);
}

void TWinXPCustomButtonControl::MouseUpAction() {
  FMouseDown = false;
  SetPressed(false);
}

void TWinXPCustomButtonControl::WndProc(TMessage& message) {
  bool press = message.Msg == WM_LBUTTONDOWN || message.Msg == WM_LBUTTONDBLCLK;
  if (press && HandleAllocated() && !Focused() && !(ComponentState() & csDesigning)) {
    // Focusing by mouse counts as Space held, so that a focus-driven check
    // (a radio button's CM_ENTER) does not act as well.
    FSpaceDown = true;
    ::SetFocus(Handle());
    FSpaceDown = false;
    if (!Focused()) return;
  }
  // Our windows are no system buttons, but a reflected command while Space
  // is held would click twice.
  if (message.Msg == CN_COMMAND && FSpaceDown) return;
  TXPCustomControl::WndProc(message);
}

void TWinXPCustomButtonControl::WMLButtonDown(TMessage& message) {
  if (!FSpaceDown) MouseDownAction(short(LOWORD(message.LParam)), short(HIWORD(message.LParam)));
  TVK_INHERITED(message);
}

void TWinXPCustomButtonControl::WMMouseMove(TMessage& message) {
  MouseMoveAction(short(LOWORD(message.LParam)), short(HIWORD(message.LParam)));
  TVK_INHERITED(message);
}

void TWinXPCustomButtonControl::WMLButtonUp(TMessage& message) {
  if (!FSpaceDown) MouseUpAction();
  TVK_INHERITED(message);  // the class library's click on a release inside
}

void TWinXPCustomButtonControl::WMLButtonDblClk(TMessage& message) {
  // A double click acts as a second click.
  Perform(WM_LBUTTONUP, message.WParam, message.LParam);
  Perform(WM_LBUTTONDOWN, message.WParam, message.LParam);
  TVK_INHERITED(message);
}

void TWinXPCustomButtonControl::WMKeyDown(TMessage& message) {
  if (!FMouseDown) SetPressed(message.WParam == VK_SPACE);
  FSpaceDown = FPressed;
  TVK_INHERITED(message);
}

void TWinXPCustomButtonControl::WMKeyUp(TMessage& message) {
  bool byKeyboard = !FMouseDown && FPressed;
  if (!FMouseDown) SetPressed(false);
  FSpaceDown = false;
  TVK_INHERITED(message);
  if (byKeyboard) ClickAction();
}

void TWinXPCustomButtonControl::WMSetFocus(TMessage& message) {
  TVK_INHERITED(message);
  Invalidate();
}

void TWinXPCustomButtonControl::WMKillFocus(TMessage& message) {
  SetPressed(false);
  TVK_INHERITED(message);
  Invalidate();
}

void TWinXPCustomButtonControl::CMInvalidating(TMessage& message) {
  TVK_INHERITED(message);
  Invalidate();
}

void TWinXPCustomButtonControl::CMMouseEnter(TMessage& message) {
  FHot = true;
  TVK_INHERITED(message);
  Invalidate();
}

void TWinXPCustomButtonControl::CMMouseLeave(TMessage& message) {
  FHot = false;
  TVK_INHERITED(message);
  Invalidate();
}

void TWinXPCustomButtonControl::CNCommand(TMessage& message) {
  if (HIWORD(message.WParam) == 0) Click();
}

TVK_MESSAGE_MAP(TWinXPCustomButtonControl, {WM_LBUTTONDOWN, &TWinXPCustomButtonControl::WMLButtonDown},
                {WM_MOUSEMOVE, &TWinXPCustomButtonControl::WMMouseMove},
                {WM_LBUTTONUP, &TWinXPCustomButtonControl::WMLButtonUp},
                {WM_LBUTTONDBLCLK, &TWinXPCustomButtonControl::WMLButtonDblClk},
                {WM_KEYDOWN, &TWinXPCustomButtonControl::WMKeyDown}, {WM_KEYUP, &TWinXPCustomButtonControl::WMKeyUp},
                {WM_SETFOCUS, &TWinXPCustomButtonControl::WMSetFocus},
                {WM_KILLFOCUS, &TWinXPCustomButtonControl::WMKillFocus},
                {CM_ENABLEDCHANGED, &TWinXPCustomButtonControl::CMInvalidating},
                {CM_TEXTCHANGED, &TWinXPCustomButtonControl::CMInvalidating},
                {CM_MOUSEENTER, &TWinXPCustomButtonControl::CMMouseEnter},
                {CM_MOUSELEAVE, &TWinXPCustomButtonControl::CMMouseLeave},
                {CN_COMMAND, &TWinXPCustomButtonControl::CNCommand})

// ---- TWinXPCustomButton

TWinXPCustomButton::TWinXPCustomButton(TComponent* owner) : TWinXPCustomButtonControl(owner) {
  FCustomImage = std::make_unique<TAlphaBitmap>();
  FCustomImage->OnChange = [this](TObject*) {
    if (FLookAndFeel == TXPLookAndFeel::xlfCustom) Invalidate();
  };
  SetColor(clBtnFace);
  SetBounds(Left(), Top(), 75, 25);
}

TWinXPCustomButton::~TWinXPCustomButton() { FCustomImage->OnChange = nullptr; }

void TWinXPCustomButton::SetDefault(bool value) {
  FDefault = value;
  if (!HandleAllocated()) return;
  if (TCustomForm* form = GetParentForm(this))
    form->Perform(CM_FOCUSCHANGED, 0, reinterpret_cast<LPARAM>(form->ActiveControl()));
}

void TWinXPCustomButton::SetStyle(TXPButtonStyle value) {
  if (value == FStyle) return;
  FStyle = value;
  Invalidate();
}

void TWinXPCustomButton::SetFrameColor(TColor value) {
  if (value == FFrameColor) return;
  FFrameColor = value;
  Invalidate();
}

void TWinXPCustomButton::CreateWnd() {
  TWinXPCustomButtonControl::CreateWnd();
  FActive = FDefault;
}

void TWinXPCustomButton::CMFocusChanged(TMessage& message) {
  auto* focused = reinterpret_cast<TWinControl*>(message.LParam);
  if (dynamic_cast<TWinXPCustomButton*>(focused))
    FActive = focused == this;
  else
    FActive = FDefault;
  Invalidate();
  TVK_INHERITED(message);
}

void TWinXPCustomButton::CMDialogKey(TMessage& message) {
  WORD key = WORD(message.WParam);
  TShiftState shift = KeyboardShiftState(message.LParam) & (ssShift | ssAlt | ssCtrl);
  if (Enabled() && shift == 0 && ((key == VK_RETURN && FActive) || (key == VK_ESCAPE && FCancel))) {
    Click();
    message.Result = 1;
    return;
  }
  TVK_INHERITED(message);
}

void TWinXPCustomButton::CMDialogChar(TMessage& message) {
  auto c = wchar_t(message.WParam);
  bool match = IsAccel(c, Caption()) || (c == L'\r' && FActive) || (c == 27 && FCancel);
  if (Enabled() && match && CanFocus()) {
    SetFocus();
    if (Focused()) Click();
    message.Result = 1;
    return;
  }
  TVK_INHERITED(message);
}

void TWinXPCustomButton::Click() {
  if (Enabled())
    if (TCustomForm* form = GetParentForm(this)) form->SetModalResult(FModalResult);
  TWinXPCustomButtonControl::Click();
}

int TWinXPCustomButton::GetThemeState(bool enabled, bool pressed, bool hot) {
  if (!enabled) return kPushDisabled;
  if (pressed) return kPushPressed;
  if (hot) return kPushHot;
  return FActive ? kPushDefaulted : kPushNormal;
}

RECT TWinXPCustomButton::GetFocusRect() {
  RECT r = ClientRect();
  InflateRect(&r, -3, -3);
  return r;
}

void TWinXPCustomButton::Paint() {
  TColor textColor = Enabled() ? Font().Color() : SubstGrayTextColor;
  if (FLookAndFeel == TXPLookAndFeel::xlfNative && FStyle == TXPButtonStyle::xpbsOffice)
    DrawOfficeButton(textColor);
  else
    DrawButton(textColor, ClientRect(), true, FHot, FPressed, Enabled(), nullptr);
  if (HandleAllocated() && Focused()) {
    RECT focus = GetFocusRect();
    Canvas().Brush().SetStyle(TBrushStyle::bsClear);
    SetTextColor(Canvas().Handle(), ColorToRGB(clBlack));
    ::DrawFocusRect(Canvas().Handle(), &focus);
  }
}

void TWinXPCustomButton::DrawOfficeButton(TColor textColor) {
  TColor pen = FFrameColor, brush = Color();
  if (!Enabled()) {
    pen = SubstBtnShadowColor;
    brush = SubstBtnHighlightColor;
  } else if (FPressed) {
    pen = FHotFrameColor;
    brush = FPressedColor;
  } else if (FHot) {
    pen = FHotFrameColor;
    brush = FHotColor;
  }
  HDC dc = Canvas().Handle();
  RECT r = ClientRect();
  SolidRect(dc, r, pen);
  InflateRect(&r, -1, -1);
  if (FActive) {
    SolidRect(dc, r, pen);
    InflateRect(&r, -1, -1);
  }
  SolidRect(dc, r, brush);
  DrawContent(r, textColor);
}

void TWinXPCustomButton::DrawButton(TColor textColor, RECT rect, bool withContent, bool, bool pressed, bool enabled,
                                    const RECT* clipRect) {
  HDC dc = Canvas().Handle();
  HRGN saved = nullptr;
  if (clipRect) BeginClipRect(dc, *clipRect, saved, false);
  int mode = GetThemeMode();
  int state = GetCurrentThemeState();
  if (FLookAndFeel == TXPLookAndFeel::xlfCustom) {
    DrawParentBackground(*this, dc, &rect);
    if (!IsGraphicEmpty(FCustomImage.get())) {
      bool across = FCustomImage->Width() > FCustomImage->Height();
      int cw = across ? FCustomImage->Width() / 6 : FCustomImage->Width();
      int ch = across ? FCustomImage->Height() : FCustomImage->Height() / 6;
      int k = state - kPushNormal;
      RECT source = across ? RECT{k * cw, 0, k * cw + cw, ch} : RECT{0, k * ch, cw, k * ch + ch};
      DrawSkinBitmap(rect, RECT{4, 4, cw - 5, ch - 5}, source, dc, FCustomImage->Handle(), true);
    }
  } else if (mode == 0) {
    if (FActive) {
      SolidRect(dc, rect, kSystemColor | COLOR_WINDOWFRAME);
      InflateRect(&rect, -1, -1);
    }
    UINT flags = DFCS_BUTTONPUSH | DFCS_ADJUSTRECT;
    if (pressed) flags |= DFCS_PUSHED;
    if (!enabled) flags |= DFCS_INACTIVE;
    DrawFrameControl(dc, &rect, DFC_BUTTON, flags);
  } else if (mode == 1) {
    DrawParentBackground(*this, dc, &rect);
    int k = state - kPushNormal;
    DrawSkinBitmap(rect, RECT{8, 8, 11, 14}, RECT{0, 23 * k, 20, 23 * k + 23}, dc,
                   TXPButtonResources::PushButton().Handle(), true);
  } else if (HTHEME theme = OpenThemeData(Handle(), L"BUTTON")) {
    int saveId = SaveDC(dc);
    if (IsThemeBackgroundPartiallyTransparent(theme, BP_PUSHBUTTON, state))
      DrawThemeParentBackground(Handle(), dc, &rect);
    RestoreDC(dc, saveId);
    DrawThemeBackground(theme, dc, BP_PUSHBUTTON, state, &rect, nullptr);
    CloseThemeData(theme);
  }
  if (withContent) DrawContent(rect, textColor);
  if (clipRect) EndClipRect(dc, saved);
}

void TWinXPCustomButton::DrawCaption(const RECT& rect, TColor color) {
  if (Caption().empty()) return;
  RECT r = ClientRect(), caption;
  InflateRect(&r, -3, -3);
  IntersectRect(&caption, &r, &rect);
  if (FPressed && GetThemeMode() == 0) OffsetRect(&caption, 1, 1);
  TXPDrawCaptionFlags flags = 0;
  if (!Enabled() && FStyle == TXPButtonStyle::xpbsWindows && FLookAndFeel == TXPLookAndFeel::xlfNative)
    flags |= dcfSunkenDisabled;
  if (FWordWrap) flags |= dcfMultiline;
  if (SmoothDraw()) flags |= dcfSmoothText;
  DrawXPCaption(Canvas(), caption, Caption(), Font(), color, TAlignment::taCenter, TTextLayout::tlCenter, flags,
                TEllipsisPosition::epNone, 100);
}

TVK_MESSAGE_MAP(TWinXPCustomButton, {CM_DIALOGCHAR, &TWinXPCustomButton::CMDialogChar},
                {CM_DIALOGKEY, &TWinXPCustomButton::CMDialogKey},
                {CM_FOCUSCHANGED, &TWinXPCustomButton::CMFocusChanged})

// ---- TXPCustomBitBtn

TXPCustomBitBtn::TXPCustomBitBtn(TComponent* owner) : TWinXPCustomButton(owner) {
  FGlyph = std::make_unique<TBitmap>();
  FGlyph->OnChange = [this](TObject*) { GlyphChanged(); };
}

TXPCustomBitBtn::~TXPCustomBitBtn() { FGlyph->OnChange = nullptr; }

void TXPCustomBitBtn::GlyphChanged() {
  if (FGlyph->Height() != 0 && FGlyph->Width() % FGlyph->Height() == 0)
    FNumGlyphs = std::clamp(FGlyph->Width() / FGlyph->Height(), 1, 4);
  if (!FSettingKind) FModifiedGlyph = true;
  Invalidate();
}

void TXPCustomBitBtn::SetLayout(TButtonLayout value) {
  if (value == FLayout) return;
  FLayout = value;
  Invalidate();
}

void TXPCustomBitBtn::SetMargin(int value) {
  if (value < -1 || value == FMargin) return;
  FMargin = value;
  Invalidate();
}

void TXPCustomBitBtn::SetSpacing(int value) {
  if (value == FSpacing) return;
  FSpacing = value;
  Invalidate();
}

void TXPCustomBitBtn::SetNumGlyphs(int value) {
  value = std::clamp(value, 1, 4);
  if (value == FNumGlyphs) return;
  FNumGlyphs = value;
  FModifiedGlyph = true;
  Invalidate();
}

void TXPCustomBitBtn::SetShowShieldIcon(bool value) {
  if (value == FShowShieldIcon) return;
  FShowShieldIcon = value;
  Invalidate();
}

void TXPCustomBitBtn::SetPressed(bool value) { TWinXPCustomButton::SetPressed(value); }

TBitBtnKind TXPCustomBitBtn::Kind() {
  if (FKind != TBitBtnKind::bkCustom) {
    const TBitBtnKindRow& row = BitBtnKindRow(FKind);
    if (row.Default != FDefault || row.Cancel != FCancel || row.ModalResult != FModalResult || FModifiedGlyph)
      FKind = TBitBtnKind::bkCustom;
  }
  return FKind;
}

void TXPCustomBitBtn::SetKind(TBitBtnKind value) {
  if (value == FKind) return;
  if (value == TBitBtnKind::bkCustom) {
    FKind = value;
    Invalidate();
    return;
  }
  const TBitBtnKindRow& row = BitBtnKindRow(value);
  FDefault = row.Default;
  FCancel = row.Cancel;
  if (!Loading() || Caption().empty()) SetCaption(row.Caption);
  FModalResult = row.ModalResult;
  FSettingKind = true;
  try {
    FGlyph->Assign(TXPButtonResources::BitBtnGlyph(value));
  } catch (...) {
    FSettingKind = false;
    throw;
  }
  FSettingKind = false;
  FNumGlyphs = 2;
  FModifiedGlyph = false;
  FKind = value;
  Invalidate();
}

void TXPCustomBitBtn::Click() {
  TBitBtnKind kind = Kind();
  if (kind == TBitBtnKind::bkClose) {
    if (TCustomForm* form = GetParentForm(this)) {
      form->Close();
      return;
    }
  }
  // Help has no help system to show here: it clicks as any other kind.
  TWinXPCustomButton::Click();
}

int TXPCustomBitBtn::GetGlyphIndex() {
  int index = !Enabled() ? 1 : (FPressed ? 2 : 0);
  return index + 1 > FNumGlyphs ? 0 : index;
}

void TXPCustomBitBtn::DrawContent(const RECT& rect, TColor color) {
  POINT glyphSize{0, 0};
  bool shield = false;
  if (!FGlyph->Empty() && FGlyph->Width() > 0) {
    glyphSize = POINT{FGlyph->Width() / FNumGlyphs, FGlyph->Height()};
  } else if (FShowShieldIcon && IsVistaOrLater()) {
    glyphSize = POINT{GetSystemMetrics(SM_CXSMICON), GetSystemMetrics(SM_CYSMICON)};
    shield = true;
  }
  TXPDrawCaptionFlags flags = 0;
  if (FWordWrap) flags |= dcfMultiline;
  if (SmoothDraw()) flags |= dcfSmoothText;
  POINT glyphPos{};
  RECT textRect{};
  CalcGlyphCaptionLayout(Canvas(), rect, Font(), Caption(), glyphSize, FLayout, FMargin, FSpacing, flags, glyphPos,
                         textRect);
  if (ShiftWhenPressed() && FPressed) {
    glyphPos.x += 1;
    glyphPos.y += 1;
  }
  HDC dc = Canvas().Handle();
  if (shield) {
    TIcon& icon = TXPButtonResources::ShieldIcon();
    if (!icon.Empty()) {
      if (Enabled()) {
        DrawIconEx(dc, glyphPos.x, glyphPos.y, icon.Handle(), glyphSize.x, glyphSize.y, 0, nullptr, DI_NORMAL);
      } else {
        TAlphaBitmap half;
        half.SetBackgroundColor(clBtnFace);
        half.SetWidth(glyphSize.x);
        half.SetHeight(glyphSize.y);
        half.Canvas().Brush().SetColor(clBtnFace);
        half.Canvas().FillRect(RECT{0, 0, glyphSize.x, glyphSize.y});
        DrawIconEx(half.Canvas().Handle(), 0, 0, icon.Handle(), glyphSize.x, glyphSize.y, 0, nullptr, DI_NORMAL);
        AlphaBlitConst(dc, glyphPos.x, glyphPos.y, glyphSize.x, glyphSize.y, half.Canvas().Handle(), 0, 0, 128, 0);
      }
    }
  } else if (glyphSize.x > 0) {
    int index = GetGlyphIndex();
    RECT glyphRect{glyphPos.x, glyphPos.y, glyphPos.x + glyphSize.x, glyphPos.y + glyphSize.y};
    TClipRect clip(dc, glyphRect);
    HDC source = FGlyph->Canvas().Handle();
    TColor transparent = TColor(GetPixel(source, 0, FGlyph->Height() - 1));
    if (!Enabled() && FNumGlyphs < 2) {
      // No disabled cell: the glyph greyed, its ink in the shadow colour.
      for (int y = 0; y < glyphSize.y; ++y)
        for (int x = 0; x < glyphSize.x; ++x)
          if (TColor(GetPixel(source, x, y)) != transparent)
            SetPixel(dc, glyphPos.x + x, glyphPos.y + y, ColorToRGB(clBtnShadow));
    } else {
      TransparentBlit(dc, glyphPos.x, glyphPos.y, glyphSize.x, glyphSize.y, source, index * glyphSize.x, 0,
                      transparent);
    }
  }
  DrawCaption(textRect, color);
}

void TXPCustomBitBtn::BCMSetShield(TMessage& message) {
  SetShowShieldIcon(message.WParam != 0);
  message.Result = 1;
}

TVK_MESSAGE_MAP(TXPCustomBitBtn, {BCM_SETSHIELD, &TXPCustomBitBtn::BCMSetShield})

// ---- TXPCheckControl

TXPCheckControl::TXPCheckControl(TComponent* owner) : TWinXPCustomButtonControl(owner) {
  FCheckImage = std::make_unique<TPicture>();
  FCheckImage->OnChange = [this](TObject*) {
    if (FLookAndFeel == TXPLookAndFeel::xlfCustom) Invalidate();
  };
  SetColor(clWindow);
  SetBounds(Left(), Top(), 113, 17);
}

TXPCheckControl::~TXPCheckControl() { FCheckImage->OnChange = nullptr; }

void TXPCheckControl::SetAlignment(TLeftRight value) {
  if (value == FAlignment) return;
  FAlignment = value;
  Invalidate();
}

POINT TXPCheckControl::GetCheckSize() {
  if (FLookAndFeel == TXPLookAndFeel::xlfCustom && !IsGraphicEmpty(FCheckImage->Graphic()))
    return POINT{FCheckImage->Width(), FCheckImage->Width()};
  if (GetThemeMode() == 2 && HandleAllocated()) {
    if (HTHEME theme = OpenThemeData(Handle(), L"BUTTON")) {
      SIZE size{13, 13};
      HDC dc = GetDC(Handle());
      GetThemePartSize(theme, dc, GetThemePart(), GetThemeState(Enabled(), FPressed, FHot) - GetFirstThemeState() + 1,
                       nullptr, TS_TRUE, &size);
      ReleaseDC(Handle(), dc);
      CloseThemeData(theme);
      return POINT{size.cx, size.cy};
    }
  }
  return POINT{13, 13};
}

void TXPCheckControl::CreateHandle() {
  TWinXPCustomButtonControl::CreateHandle();
  POINT mark = GetCheckSize();
  if (Height() < mark.y + 4) SetHeight(mark.y + 4);
  Perform(CM_FONTCHANGED);
}

void TXPCheckControl::CMFontChanged(TMessage& message) {
  TVK_INHERITED(message);
  if (!HandleAllocated()) return;
  TMeasureCanvas canvas;
  canvas.Font().Assign(Font());
  int h = canvas.TextHeight(RemoveAmpersands(Caption().empty() ? WideString(L"0") : Caption())) + 2;
  if (Height() < h) SetHeight(h);
}

void TXPCheckControl::Paint() {
  int mode = GetThemeMode();
  HDC dc = Canvas().Handle();
  RECT client = ClientRect();
  if (mode == 2)
    DrawThemeParentBackground(Handle(), dc, &client);
  else
    DrawParentBackground(*this, dc, nullptr);
  TColor textColor = Font().Color();
  if (!Enabled()) textColor = mode != 0 ? SubstBtnShadowColor : clGrayText;
  DrawCheck();
  DrawContent(Color(), textColor);
}

void TXPCheckControl::DrawCheck() {
  HDC dc = Canvas().Handle();
  POINT mark = GetCheckSize();
  bool left = FAlignment == TLeftRight::taRightJustify;
  int x = left ? 0 : Width() - mark.x - 1;
  int y = (Height() - mark.y) / 2;
  int state = GetCurrentThemeState();
  int cell = state - GetFirstThemeState();
  int mode = GetThemeMode();
  if (FLookAndFeel == TXPLookAndFeel::xlfCustom && !IsGraphicEmpty(FCheckImage->Graphic())) {
    TClipRect clip(dc, RECT{x, y, x + mark.x, y + mark.y});
    int ch = mark.x;
    int top = (Height() - ch) / 2 - ch * cell;
    FCheckImage->Graphic()->Draw(Canvas(), RECT{x, top, x + FCheckImage->Width(), top + FCheckImage->Height()});
  } else if (mode == 0) {
    POINT size;
    GetSystemCheckSize(size);
    RECT r{left ? 0 : Width() - size.x - 1, (Height() - size.y) / 2, 0, 0};
    r.right = r.left + size.x;
    r.bottom = r.top + size.y;
    DrawFrameControl(dc, &r, DFC_BUTTON, GetFrameControlState());
  } else if (mode == 1) {
    int sx = left ? 0 : Width() - 14;
    RECT dest{sx, (Height() - 13) / 2, sx + 13, (Height() - 13) / 2 + 13};
    DrawSkinBitmap(dest, RECT{0, 0, 13, 13}, RECT{0, 13 * cell, 13, 13 * cell + 13}, dc, GetSkinImage().Handle(), true);
  } else if (HTHEME theme = OpenThemeData(Handle(), L"BUTTON")) {
    RECT r = ClientRect();
    if (left)
      r.right = r.left + mark.x;
    else
      r.left = r.right - mark.x;
    DrawThemeBackground(theme, dc, GetThemePart(), state, &r, nullptr);
    CloseThemeData(theme);
  }
}

void TXPCheckControl::DrawContent(TColor, TColor textColor) {
  if (Caption().empty()) return;
  POINT mark = GetCheckSize();
  TXPDrawCaptionFlags flags = 0;
  if (FWordWrap) flags |= dcfMultiline;
  if (SmoothDraw()) flags |= dcfSmoothText;
  POINT glyphPos{};
  RECT textRect{};
  RECT client = ClientRect();
  bool left = FAlignment == TLeftRight::taRightJustify;
  CalcGlyphCaptionLayout(Canvas(), client, Font(), Caption(), mark,
                         left ? TButtonLayout::blGlyphLeft : TButtonLayout::blGlyphRight, 0, 3, flags, glyphPos,
                         textRect);
  if (!left) OffsetRect(&textRect, -textRect.left, 0);
  RECT bounds = client, clipped;
  InflateRect(&bounds, -1, -1);
  IntersectRect(&clipped, &textRect, &bounds);
  if (HandleAllocated() && Focused() && FDrawFocusRect) flags |= dcfFocusRect;
  DrawXPCaption(Canvas(), clipped, Caption(), Font(), textColor, TAlignment::taLeftJustify, TTextLayout::tlCenter,
                flags, TEllipsisPosition::epNone, 100);
}

void TXPCheckControl::CMDialogChar(TMessage& message) {
  if (IsAccel(wchar_t(message.WParam), Caption()) && CanFocus()) {
    SetFocus();
    Toggle();
    message.Result = 1;
    return;
  }
  TVK_INHERITED(message);
}

void TXPCheckControl::CNCommand(TMessage& message) {
  if (HIWORD(message.WParam) == 0) Toggle();
}

TVK_MESSAGE_MAP(TXPCheckControl, {CM_FONTCHANGED, &TXPCheckControl::CMFontChanged},
                {CM_DIALOGCHAR, &TXPCheckControl::CMDialogChar}, {CN_COMMAND, &TXPCheckControl::CNCommand})

// ---- TXPCheckBox

void TXPCheckBox::Toggle() {
  switch (FState) {
    case TCheckBoxState::cbUnchecked:
      SetState(FAllowGrayed ? TCheckBoxState::cbGrayed : TCheckBoxState::cbChecked);
      break;
    case TCheckBoxState::cbChecked: SetState(TCheckBoxState::cbUnchecked); break;
    case TCheckBoxState::cbGrayed: SetState(TCheckBoxState::cbChecked); break;
  }
}

void TXPCheckBox::SetState(TCheckBoxState value) {
  if (value == FState) return;
  FState = value;
  if (!IsUserAction()) {
    FDisableToggle = true;
    try {
      Click();
    } catch (...) {
      FDisableToggle = false;
      throw;
    }
    FDisableToggle = false;
  }
  Invalidate();
}

void TXPCheckBox::Click() {
  if (FInClick) return;
  FInClick = true;
  try {
    if (!FDisableToggle) Toggle();
    TXPCheckControl::Click();
  } catch (...) {
    FInClick = false;
    throw;
  }
  FInClick = false;
}

int TXPCheckBox::GetThemeState(bool enabled, bool pressed, bool hot) {
  return CBS_UNCHECKEDNORMAL + 4 * int(FState) + MarkStateOffset(enabled, pressed, hot);
}

UINT TXPCheckBox::GetFrameControlState() {
  UINT state = DFCS_BUTTONCHECK | DFCS_ADJUSTRECT;
  if (FState != TCheckBoxState::cbUnchecked) state |= DFCS_CHECKED;
  if (FPressed) state |= DFCS_PUSHED;
  if (!Enabled() || FState == TCheckBoxState::cbGrayed) state |= DFCS_INACTIVE;
  return state;
}

TAlphaImage& TXPCheckBox::GetSkinImage() { return TXPButtonResources::CheckBox(); }

// ---- TXPRadioButton

TXPRadioButton::TXPRadioButton(TComponent* owner) : TXPCheckControl(owner) { SetTabStop(false); }

void TXPRadioButton::SetGroupIndex(int value) {
  FGroupIndex = value;
  if (!Loading()) SetChecked(false);
}

void TXPRadioButton::SetChecked(bool value) {
  if (value == FChecked) return;
  FChecked = value;
  SetTabStop(value);
  Invalidate();
  if (value && !Loading()) {
    UncheckSiblings();
    TControl::Click();
  }
}

void TXPRadioButton::UncheckSiblings() {
  if (!Parent()) return;
  for (int i = 0; i < Parent()->ControlCount(); ++i)
    if (auto* other = dynamic_cast<TXPRadioButton*>(Parent()->Controls(i));
        other && other != this && other->FGroupIndex == FGroupIndex)
      other->SetChecked(false);
}

void TXPRadioButton::Loaded() {
  TXPCheckControl::Loaded();
  if (FChecked) UncheckSiblings();
}

void TXPRadioButton::ClickAction() {
  if (!FChecked) TControl::Click();
}

void TXPRadioButton::WMLButtonDown(TMessage& message) {
  TVK_INHERITED(message);
  Toggle();
}

void TXPRadioButton::CMEnter(TMessage& message) {
  TVK_INHERITED(message);
  if (!FSpaceDown) Toggle();
}

int TXPRadioButton::GetThemeState(bool enabled, bool pressed, bool hot) {
  return RBS_UNCHECKEDNORMAL + 4 * (FChecked ? 1 : 0) + MarkStateOffset(enabled, pressed, hot);
}

UINT TXPRadioButton::GetFrameControlState() {
  UINT state = DFCS_BUTTONRADIO | DFCS_ADJUSTRECT;
  if (FChecked) state |= DFCS_CHECKED;
  if (FPressed) state |= DFCS_PUSHED;
  if (!Enabled()) state |= DFCS_INACTIVE;
  return state;
}

TAlphaImage& TXPRadioButton::GetSkinImage() { return TXPButtonResources::RadioButton(); }

TVK_MESSAGE_MAP(TXPRadioButton, {WM_LBUTTONDOWN, &TXPRadioButton::WMLButtonDown}, {CM_ENTER, &TXPRadioButton::CMEnter})

}  // namespace tvk
