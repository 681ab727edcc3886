#include "XPExtCtrls.h"

#include "InstrumentTypes.h"
#include "WindowClasses.h"
#include "XPBitmapUtils.h"
#include "XPColors.h"
#include "XPControlUtils.h"
#include "XPGraphics.h"

#include <uxtheme.h>
#include <vssym32.h>

#include <algorithm>

namespace tvk {

namespace {

enum TSkinIndex : std::size_t {
  kSpinBtnUp, kSpinBtnDown, kSpinBtnLeft, kSpinBtnRight, kSpinGlyphUp, kSpinGlyphDown, kSpinGlyphLeft,
  kSpinGlyphRight, kStdArrows, kSpeedBtn, kSpeedSplit, kSpeedDropDown
};
constexpr TSkinRow kSkins[] = {
    {L"XPSPINBTNUP", TSkinKind::skAlphaImage},    {L"XPSPINBTNDOWN", TSkinKind::skAlphaImage},
    {L"XPSPINBTNLEFT", TSkinKind::skAlphaImage},  {L"XPSPINBTNRIGHT", TSkinKind::skAlphaImage},
    {L"XPSPINGLYPHUP", TSkinKind::skAlphaImage},  {L"XPSPINGLYPHDOWN", TSkinKind::skAlphaImage},
    {L"XPSPINGLYPHLEFT", TSkinKind::skAlphaImage}, {L"XPSPINGLYPHRIGHT", TSkinKind::skAlphaImage},
    {L"STDARROWS", TSkinKind::skBitmap},          {L"XPSPEEDBTN", TSkinKind::skAlphaImage},
    {L"XPSPEEDSPLIT", TSkinKind::skAlphaImage},   {L"XPSPEEDDROPDOWN", TSkinKind::skAlphaImage},
};
TSkinCache gSkins(kSkins);

// A theme element drawn on Rect of Dc (with the parent's background where
// the element is see-through); false when the theme has no such class.
bool DrawThemed(HWND window, const wchar_t* themeClass, int part, int state, HDC dc, const RECT& rect) {
  HTHEME theme = OpenThemeData(window, themeClass);
  if (!theme) return false;
  RECT r = rect;
  if (IsThemeBackgroundPartiallyTransparent(theme, part, state)) DrawThemeParentBackground(window, dc, &r);
  DrawThemeBackground(theme, dc, part, state, &rect, nullptr);
  CloseThemeData(theme);
  return true;
}

void FillSolid(HDC dc, const RECT& r, TColor color) {
  HBRUSH b = CreateSolidBrush(ColorToRGB(color));
  FillRect(dc, &r, b);
  DeleteObject(b);
}

}  // namespace

TAlphaImage& TXPExtResources::SpinBtnUp() { return gSkins.AlphaImage(kSpinBtnUp); }
TAlphaImage& TXPExtResources::SpinBtnDown() { return gSkins.AlphaImage(kSpinBtnDown); }
TAlphaImage& TXPExtResources::SpinBtnLeft() { return gSkins.AlphaImage(kSpinBtnLeft); }
TAlphaImage& TXPExtResources::SpinBtnRight() { return gSkins.AlphaImage(kSpinBtnRight); }
TAlphaImage& TXPExtResources::SpinGlyphUp() { return gSkins.AlphaImage(kSpinGlyphUp); }
TAlphaImage& TXPExtResources::SpinGlyphDown() { return gSkins.AlphaImage(kSpinGlyphDown); }
TAlphaImage& TXPExtResources::SpinGlyphLeft() { return gSkins.AlphaImage(kSpinGlyphLeft); }
TAlphaImage& TXPExtResources::SpinGlyphRight() { return gSkins.AlphaImage(kSpinGlyphRight); }
TBitmap& TXPExtResources::StdArrows() { return gSkins.Bitmap(kStdArrows); }
TAlphaImage& TXPExtResources::SpeedButton() { return gSkins.AlphaImage(kSpeedBtn); }
TAlphaImage& TXPExtResources::SpeedSplit() { return gSkins.AlphaImage(kSpeedSplit); }
TAlphaImage& TXPExtResources::SpeedDropDown() { return gSkins.AlphaImage(kSpeedDropDown); }
int TXPExtResources::LoadCount() { return gSkins.LoadCount(); }

void XPExtCtrlsShutdown() { gSkins.Release(); }

// ---- TXPUpDown

TXPUpDown::TXPUpDown(TComponent* owner) : TXPCustomControl(owner) {
  SetTabStop(false);
  UpdateSize();
}

TXPUpDown::~TXPUpDown() { FTimer.reset(); }

void TXPUpDown::UpdateSize() {
  if (FKind == TUpDownKind::udkHorizontal) SetBounds(Left(), Top(), 32, 16);
  else SetBounds(Left(), Top(), 16, 32);
}

void TXPUpDown::SetKind(TUpDownKind value) {
  if (value == FKind) return;
  FKind = value;
  UpdateSize();
  Invalidate();
}

void TXPUpDown::SetFlat(bool value) {
  if (value == FFlat) return;
  FFlat = value;
  UpdateSize();
  Invalidate();
}

void TXPUpDown::SetUpEnabled(bool value) {
  FUpEnabled = value;
  FUpPressed = false;
  Invalidate();
}

void TXPUpDown::SetDownEnabled(bool value) {
  FDownEnabled = value;
  FDownPressed = false;
  Invalidate();
}

RECT TXPUpDown::UpRect() {
  const int w = ClientWidth(), h = ClientHeight();
  return FKind == TUpDownKind::udkVertical ? RECT{0, 0, w, h / 2} : RECT{0, 0, w / 2, h};
}

RECT TXPUpDown::DownRect() {
  const int w = ClientWidth(), h = ClientHeight();
  return FKind == TUpDownKind::udkVertical ? RECT{0, h / 2, w, h} : RECT{w / 2, 0, w, h};
}

bool TXPUpDown::InUpHalf(POINT p) {
  RECT r = UpRect();
  return PtInRect(&r, p) != 0;
}

void TXPUpDown::DoUpClick() {
  if (OnUpClick) OnUpClick(this);
}

void TXPUpDown::DoDownClick() {
  if (OnDownClick) OnDownClick(this);
}

void TXPUpDown::UpClick() {
  if (FUpEnabled) DoUpClick();
}

void TXPUpDown::DownClick() {
  if (FDownEnabled) DoDownClick();
}

void TXPUpDown::TimerTick() {
  FTimer->SetInterval(100);
  if (FIsUpTimer) UpClick();
  else DownClick();
}

void TXPUpDown::Click() {
  if (FIsUpTimer) UpClick();
  else DownClick();
}

namespace {
POINT MousePoint(const TMessage& m) { return POINT{short(LOWORD(m.LParam)), short(HIWORD(m.LParam))}; }
}  // namespace

void TXPUpDown::WMLButtonDown(TMessage& message) {
  FMouseDown = true;
  TVK_INHERITED(message);
  POINT p = MousePoint(message);
  UpdateButtonStates(p);
  if (!FTimer) {
    FTimer = std::make_unique<TTimer>(nullptr);
    FTimer->SetOnTimer([this](TObject*) { TimerTick(); });
  }
  FTimer->SetInterval(500);
  FTimer->SetEnabled(true);
  FIsUpTimer = InUpHalf(p);
}

void TXPUpDown::WMMouseMove(TMessage& message) {
  POINT p = MousePoint(message);
  if (FMouseDown && FTimer) {
    // The repetition runs only while the mouse stays on the half that was pressed.
    RECT half = FIsUpTimer ? UpRect() : DownRect();
    FTimer->SetEnabled(PtInRect(&half, p) != 0);
  }
  TVK_INHERITED(message);
  UpdateButtonStates(p);
}

void TXPUpDown::WMLButtonUp(TMessage& message) {
  if (FTimer) FTimer->SetEnabled(false);
  FMouseDown = false;
  POINT p = MousePoint(message);
  FIsUpTimer = InUpHalf(p);
  TVK_INHERITED(message);
  UpdateButtonStates(p);
}

void TXPUpDown::WMLButtonDblClk(TMessage& message) {
  Perform(WM_LBUTTONUP, message.WParam, message.LParam);
  Perform(WM_LBUTTONDOWN, message.WParam, message.LParam);
  TVK_INHERITED(message);
}

void TXPUpDown::CMMouseEnter(TMessage& message) {
  FMouseInside = true;
  TVK_INHERITED(message);
}

void TXPUpDown::CMMouseLeave(TMessage& message) {
  FMouseInside = false;
  TVK_INHERITED(message);
  UpdateButtonStates(POINT{-1, -1});
}

void TXPUpDown::CMEnabledChanged(TMessage& message) {
  TVK_INHERITED(message);
  Invalidate();
}

void TXPUpDown::UpdateButtonStates(POINT p) {
  RECT up = UpRect(), down = DownRect();
  bool upHot = FMouseInside && PtInRect(&up, p), downHot = FMouseInside && PtInRect(&down, p);
  bool upPressed = upHot && FMouseDown, downPressed = downHot && FMouseDown;
  bool upChanged = upHot != FUpHot || upPressed != FUpPressed;
  bool downChanged = downHot != FDownHot || downPressed != FDownPressed;
  FUpHot = upHot;
  FUpPressed = upPressed;
  FDownHot = downHot;
  FDownPressed = downPressed;
  if (!HandleAllocated()) return;
  if (upChanged) InvalidateRect(Handle(), &up, FALSE);
  if (downChanged) InvalidateRect(Handle(), &down, FALSE);
  if (upChanged || downChanged) UpdateWindow(Handle());
}

void TXPUpDown::Paint() {
  FillSolid(Canvas().Handle(), ClientRect(), ParentOrOwnColor(*this));
  DrawSpinButton(UpRect(), FUpPressed, true, FUpHot);
  DrawSpinButton(DownRect(), FDownPressed, false, FDownHot);
}

void TXPUpDown::DrawFlatArrow(const RECT& rect, TColor color, bool isUp) {
  TCanvas& c = Canvas();
  c.Pen().SetStyle(TPenStyle::psSolid);
  c.Pen().SetColor(color);
  if (FKind == TUpDownKind::udkVertical) {
    int y0 = (rect.top + rect.bottom - 4) / 2 + (isUp ? 3 : 0);
    int x0 = (rect.left + rect.right - 7) / 2;
    for (int i = 0; i < 4; ++i) {
      int y = isUp ? y0 - i : y0 + i;
      c.MoveTo(x0 + i, y);
      c.LineTo(x0 + 7 - i, y);
    }
  } else {
    int x0 = (rect.left + rect.right - 4) / 2 + (isUp ? 3 : 0);
    int y0 = (rect.top + rect.bottom - 7) / 2;
    for (int i = 0; i < 4; ++i) {
      int x = isUp ? x0 - i : x0 + i;
      c.MoveTo(x, y0 + i);
      c.LineTo(x, y0 + 7 - i);
    }
  }
}

void TXPUpDown::DrawSpinButton(const RECT& rect, bool pressed, bool isUp, bool hot) {
  const bool halfEnabled = isUp ? FUpEnabled : FDownEnabled;
  const bool disabled = !Enabled() || !halfEnabled;
  const int state = disabled ? 3 : pressed ? 2 : hot ? 1 : 0;
  const bool vertical = FKind == TUpDownKind::udkVertical;
  HDC dc = Canvas().Handle();
  if (FFlat) {
    TColor fill = !Enabled() ? SubstBtnHighlightColor : !halfEnabled ? clBtnFace
                  : pressed ? TColor(0xB59285) : hot ? TColor(0xD2BDB6) : clBtnFace;
    FillSolid(dc, rect, fill);
    if (!disabled && (pressed || hot)) {
      Canvas().Brush().SetColor(0x6A240A);
      Canvas().FrameRect(rect);
    }
    DrawFlatArrow(rect, disabled ? SubstBtnShadowColor : pressed ? clWindow : clWindowText, isUp);
    return;
  }
  switch (GetThemeMode()) {
    case 0: {
      RECT r = rect;
      UINT flags = DFCS_BUTTONPUSH | (hot ? DFCS_HOT : 0) | (pressed ? DFCS_PUSHED : 0) | (disabled ? DFCS_INACTIVE : 0);
      DrawFrameControl(dc, &r, DFC_BUTTON, flags);
      TBitmap& arrows = TXPExtResources::StdArrows();
      int x = (rect.left + rect.right - 8) / 2 + (pressed ? 1 : 0);
      int y = (rect.top + rect.bottom - 8) / 2 + (pressed ? 1 : 0);
      int row = ((isUp ? 1 : 0) + (vertical ? 0 : 2)) * 8;
      TransparentBlit(dc, x, y, 8, 8, arrows.Canvas().Handle(), Enabled() ? 0 : 8, row, 0xFF00FF);
      break;
    }
    case 1: {
      TAlphaImage& face = vertical ? (isUp ? TXPExtResources::SpinBtnUp() : TXPExtResources::SpinBtnDown())
                                   : (isUp ? TXPExtResources::SpinBtnLeft() : TXPExtResources::SpinBtnRight());
      DrawSkinBitmap(rect, RECT{4, 4, 11, 12}, RECT{0, 16 * state, 15, 16 * state + 16}, dc, face.Handle(), true);
      TAlphaImage& glyph = vertical ? (isUp ? TXPExtResources::SpinGlyphUp() : TXPExtResources::SpinGlyphDown())
                                    : (isUp ? TXPExtResources::SpinGlyphLeft() : TXPExtResources::SpinGlyphRight());
      const int gw = vertical ? 7 : 6, gh = vertical ? 6 : 7;
      HDC src = CreateCompatibleDC(dc);
      HGDIOBJ old = SelectObject(src, glyph.Handle());
      AlphaBlit(dc, (rect.left + rect.right - gw) / 2, (rect.top + rect.bottom - gh) / 2, gw, gh, src, 0, gh * state);
      SelectObject(src, old);
      DeleteDC(src);
      break;
    }
    default: {
      int part = vertical ? (isUp ? SPNP_UP : SPNP_DOWN) : (isUp ? SPNP_DOWNHORZ : SPNP_UPHORZ);
      DrawThemed(Handle(), L"SPIN", part, 1 + state, dc, rect);
      break;
    }
  }
}

TVK_MESSAGE_MAP(TXPUpDown, {WM_LBUTTONDOWN, &TXPUpDown::WMLButtonDown}, {WM_MOUSEMOVE, &TXPUpDown::WMMouseMove},
                {WM_LBUTTONUP, &TXPUpDown::WMLButtonUp}, {WM_LBUTTONDBLCLK, &TXPUpDown::WMLButtonDblClk},
                {CM_MOUSEENTER, &TXPUpDown::CMMouseEnter}, {CM_MOUSELEAVE, &TXPUpDown::CMMouseLeave},
                {CM_ENABLEDCHANGED, &TXPUpDown::CMEnabledChanged})

// ---- TXPBaseCustomSpeedButton

TXPBaseCustomSpeedButton::TXPBaseCustomSpeedButton(TComponent* owner) : TXPCustomTransparentControl(owner) {
  SetBounds(0, 0, 24, 24);
  SetControlStyle(ControlStyle() & ~csSetCaption);
  SetTabStop(false);
}

TXPBaseCustomSpeedButton::~TXPBaseCustomSpeedButton() {
  StopFade();
  SetDropdownMenu(nullptr);
}

void TXPBaseCustomSpeedButton::Loaded() {
  TXPCustomTransparentControl::Loaded();
  GlyphLoaded();
}

void TXPBaseCustomSpeedButton::SetAllowAllUp(bool value) {
  if (value == FAllowAllUp) return;
  FAllowAllUp = value;
  UpdateExclusive();
}

void TXPBaseCustomSpeedButton::SetGroupIndex(int value) {
  if (value == FGroupIndex) return;
  FGroupIndex = value;
  UpdateExclusive();
}

void TXPBaseCustomSpeedButton::SetFlat(bool value) {
  if (value == FFlat) return;
  FFlat = value;
  Invalidate();
}

void TXPBaseCustomSpeedButton::SetStyle(TXPSpeedStyle value) {
  if (value == FStyle) return;
  FStyle = value;
  Invalidate();
}

void TXPBaseCustomSpeedButton::SetKind(TXPSpeedKind value) {
  if (value == FKind) return;
  FKind = value;
  GlyphLoaded();
  Invalidate();
}

void TXPBaseCustomSpeedButton::SetLayout(TButtonLayout value) {
  if (value == FLayout) return;
  FLayout = value;
  Invalidate();
}

void TXPBaseCustomSpeedButton::SetMargin(int value) {
  if (value == FMargin) return;
  FMargin = value;
  Invalidate();
}

void TXPBaseCustomSpeedButton::SetSpacing(int value) {
  if (value == FSpacing) return;
  FSpacing = value;
  Invalidate();
}

void TXPBaseCustomSpeedButton::SetDropdownMenu(TPopupMenu* menu) {
  if (menu == FDropdownMenu) return;
  if (FDropdownMenu) FDropdownMenu->RemoveFreeNotification(this);
  FDropdownMenu = menu;
  if (menu) menu->FreeNotification(this);
}

void TXPBaseCustomSpeedButton::Notification(TComponent* component, TOperation operation) {
  TXPCustomTransparentControl::Notification(component, operation);
  if (operation == TOperation::opRemove && component == FDropdownMenu) FDropdownMenu = nullptr;
}

void TXPBaseCustomSpeedButton::SetDown(bool value) {
  if (FGroupIndex == 0) value = false;
  // A button that is down in its group goes up only with AllowAllUp.
  if (value != FDown && (!FDown || FAllowAllUp)) ApplyDown(value);
}

void TXPBaseCustomSpeedButton::ApplyDown(bool value) {
  FDown = value;
  if (value) {
    if (FState == TButtonState::bsUp) Invalidate();
    FState = TButtonState::bsExclusive;
  } else {
    FState = TButtonState::bsUp;
    RedrawButton(1);
  }
  if (value) UpdateExclusive();
}

void TXPBaseCustomSpeedButton::UpdateExclusive() {
  if (FGroupIndex == 0 || !Parent() || Loading()) return;
  TMessage message{CM_BUTTONPRESSED, WPARAM(FGroupIndex), reinterpret_cast<LPARAM>(this), 0};
  for (int i = 0; i < Parent()->ControlCount(); ++i) Parent()->Controls(i)->WndProc(message);
}

void TXPBaseCustomSpeedButton::CMButtonPressed(TMessage& message) {
  TVK_INHERITED(message);
  auto* sender = reinterpret_cast<TXPBaseCustomSpeedButton*>(message.LParam);
  if (int(message.WParam) != FGroupIndex || sender == this || !sender || !sender->FDown || !FDown) return;
  FDown = false;
  FState = TButtonState::bsUp;
  if (auto* action = dynamic_cast<TCustomAction*>(Action())) action->SetChecked(false);
  RedrawButton(1);
}

void TXPBaseCustomSpeedButton::RedrawButton(int) { Invalidate(); }

void TXPBaseCustomSpeedButton::MouseDown(TMouseButton button, TShiftState shift, int x, int y) {
  TXPCustomTransparentControl::MouseDown(button, shift, x, y);
  if (button != TMouseButton::mbLeft || !Enabled()) return;
  if (!HasDropDownPart() || x < ClientWidth() - kDropDownWidth) {
    if (!FDown) {
      FState = TButtonState::bsDown;
      RedrawButton(1);
    }
    FDragging = true;
  } else {
    SetDropdownDown(!FDropdownDown);
  }
}

void TXPBaseCustomSpeedButton::MouseMove(TShiftState shift, int x, int y) {
  TXPCustomTransparentControl::MouseMove(shift, x, y);
  if (!FDragging && !FHot) UpdateHotState();
}

void TXPBaseCustomSpeedButton::MouseUp(TMouseButton button, TShiftState shift, int x, int y) {
  TXPCustomTransparentControl::MouseUp(button, shift, x, y);
  if (!FDragging) return;
  FDragging = false;
  RECT client = ClientRect();
  const bool inside = PtInRect(&client, POINT{x, y}) != 0;
  if (!CanStayDown()) {
    if (!FDown) FState = TButtonState::bsUp;
    FHot = false;
  } else if (FGroupIndex == 0) {
    FState = TButtonState::bsUp;
    FHot = false;
  } else if (inside) {
    SetDown(!(FAllowAllUp && FDown));
  } else {
    FState = FDown ? TButtonState::bsExclusive : TButtonState::bsUp;
  }
  RedrawButton(1);
  if (inside) ClickAction();
  UpdateHotState();
}

void TXPBaseCustomSpeedButton::WMLButtonDblClk(TMessage& message) {
  TVK_INHERITED(message);
  if (FDown) TXPCustomTransparentControl::DblClick();
}

void TXPBaseCustomSpeedButton::CMMouseEnter(TMessage& message) {
  TVK_INHERITED(message);
  if (!FHot && Enabled() && !GetCapture()) {
    FHot = true;
    Invalidate();
    if (message.WParam != kSyntheticMouseMessage) StartFade(TXPFadeMode::xfmFadeIn);
  }
}

void TXPBaseCustomSpeedButton::CMMouseLeave(TMessage& message) {
  TVK_INHERITED(message);
  if (FHot && Enabled() && !FDragging) {
    FHot = false;
    Invalidate();
    if (message.WParam != kSyntheticMouseMessage) StartFade(TXPFadeMode::xfmFadeOut);
  }
}

void TXPBaseCustomSpeedButton::UpdateHotState() {
  if (!Enabled()) return;
  POINT cursor;
  GetCursorPos(&cursor);
  const bool under = FindDragTarget(cursor, true) == this;
  // Set to the opposite so that the message below settles it.
  FHot = !under;
  Perform(under ? CM_MOUSEENTER : CM_MOUSELEAVE, kSyntheticMouseMessage);
}

void TXPBaseCustomSpeedButton::CMDialogChar(TMessage& message) {
  WideString text = Caption();
  int pos = StripAccelChars(text);
  bool isAccel = pos > 0 && pos <= int(text.size()) &&
                 CharUpperW(reinterpret_cast<LPWSTR>(std::uintptr_t(text[std::size_t(pos - 1)]))) ==
                     CharUpperW(reinterpret_cast<LPWSTR>(std::uintptr_t(WORD(message.WParam))));
  if (isAccel && Enabled() && Visible() && Parent() && Parent()->Showing()) {
    ClickAction();
    message.Result = 1;
    return;
  }
  TVK_INHERITED(message);
}

void TXPBaseCustomSpeedButton::SetDropdownDown(bool value) {
  if (value == FDropdownDown) return;
  FDropdownDown = value;
  auto cursorInside = [this] {
    POINT p;
    GetCursorPos(&p);
    p = ScreenToClient(p);
    RECT r = ClientRect();
    return PtInRect(&r, p) != 0;
  };
  FHot = cursorInside();
  Invalidate();
  if (!value || !FDropdownMenu) return;
  FDropdownMenu->SetPopupComponent(this);
  POINT corner = ClientToScreen(POINT{0, Height()});
  FDropdownMenu->Popup(corner.x, corner.y);
  FDropdownDown = false;
  FHot = cursorInside();
  Invalidate();
}

void TXPBaseCustomSpeedButton::StartFade(TXPFadeMode mode) {
  StopFade();
  if (!Enabled() || Loading() || FKind != TXPSpeedKind::xskFading) return;
  FFadeMode = mode;
  FFadeStep = 0;
  FFadeTimer = std::make_unique<TTimer>(nullptr);
  FFadeTimer->SetInterval(20);
  FFadeTimer->SetOnTimer([this](TObject*) { FadeTick(); });
}

void TXPBaseCustomSpeedButton::FadeTick() {
  FFadeTimer->SetEnabled(false);
  ++FFadeStep;
  Invalidate();
  // After the eighth step the timer stays off; it cannot free itself inside
  // its own tick, so the next fade or the button frees it.
  if (FFadeStep <= 7) FFadeTimer->SetEnabled(true);
}

void TXPBaseCustomSpeedButton::StopFade() { FFadeTimer.reset(); }

void TXPBaseCustomSpeedButton::CMEnabledChanged(TMessage& message) {
  TVK_INHERITED(message);
  UpdateHotState();
  StopFade();
  FFadeMode = TXPFadeMode::xfmNone;
  RedrawButton(0);
}

void TXPBaseCustomSpeedButton::CMFontChanged(TMessage& message) {
  TVK_INHERITED(message);
  Invalidate();
}

void TXPBaseCustomSpeedButton::CMTextChanged(TMessage& message) {
  TVK_INHERITED(message);
  Invalidate();
}

void TXPBaseCustomSpeedButton::CMSysColorChange(TMessage& message) {
  TVK_INHERITED(message);
  RedrawButton(0);
}

void TXPBaseCustomSpeedButton::WMEraseBkgnd(TMessage& message) { message.Result = 1; }

void TXPBaseCustomSpeedButton::WMSize(TMessage& message) {
  TVK_INHERITED(message);
  if (Transparent()) RedrawButton(2);
}

void TXPBaseCustomSpeedButton::WMWindowPosChanged(TMessage& message) {
  TVK_INHERITED(message);
  RedrawButton(3);
}

int TXPBaseCustomSpeedButton::GetDrawState() {
  if (ComponentState() & csDesigning) return FDown ? 4 : 1;
  if (!Enabled()) return 3;
  if (FDown && FHot) return 5;
  if (FDown) return 4;
  if (FState == TButtonState::bsDown || FState == TButtonState::bsExclusive) return 2;
  if (FFlat && !FHot) return 0;
  return 1;
}

int TXPBaseCustomSpeedButton::GetDropDrawState() {
  if (!(ComponentState() & csDesigning) && Enabled() && FDropdownDown && !FDown) return 2;
  return GetDrawState();
}

TXPDrawCaptionFlags TXPBaseCustomSpeedButton::GetTextFlags() {
  TXPDrawCaptionFlags flags = 0;
  if (!Enabled()) flags |= dcfSunkenDisabled;
  if (SmoothDraw()) flags |= dcfSmoothText;
  return flags;
}

void TXPBaseCustomSpeedButton::DrawDropArrow(const RECT& rect, TColor color, int offset, bool pressed) {
  int shift = pressed && ShiftWhenDown() ? 1 : 0;
  int x = (rect.left + rect.right) / 2 + offset + shift;
  int y = (rect.bottom - rect.top) / 2 + offset + shift;
  TCanvas& c = Canvas();
  c.Pen().SetStyle(TPenStyle::psSolid);
  c.Pen().SetColor(color);
  for (int i = 0; i < 3; ++i) {
    c.MoveTo(x - 2 + i, y - 2 + i);
    c.LineTo(x - 2 + i + (5 - 2 * i), y - 2 + i);
  }
}

void TXPBaseCustomSpeedButton::Paint() {
  HDC dc = Canvas().Handle();
  RECT client = ClientRect();
  if (Transparent()) DrawParentBackground(*this, dc, nullptr);
  else FillSolid(dc, client, Color());
  RECT main = client, drop{};
  if (HasDropDownPart()) {
    drop = RECT{client.right - kDropDownWidth, client.top, client.right, client.bottom};
    main.right = drop.left;
  }
  const bool pressed = FState == TButtonState::bsDown || FState == TButtonState::bsExclusive || FDropdownDown;
  if (FKind == TXPSpeedKind::xskStandard) DrawStandardFace(main, drop, pressed);
  else DrawFadingFace(drop, pressed);
  DrawContent(main, Enabled() ? Font().Color() : SubstGrayTextColor, UseFadeEffects());
}

void TXPBaseCustomSpeedButton::DrawStandardFace(const RECT& rect, const RECT& dropRect, bool pressed) {
  HDC dc = Canvas().Handle();
  const int s = GetDrawState();
  switch (GetThemeMode()) {
    case 1:
      if (!Transparent()) DrawParentBackground(*this, dc, &rect);
      if (FStyle == TXPSpeedStyle::xssButton) {
        DrawSkinBitmap(rect, RECT{4, 4, 16, 19}, RECT{0, 23 * s, 20, 23 * s + 23}, dc,
                       TXPExtResources::SpeedButton().Handle(), true);
      } else {
        DrawSkinBitmap(rect, RECT{4, 4, 22, 19}, RECT{0, 23 * s, 24, 23 * s + 23}, dc,
                       TXPExtResources::SpeedSplit().Handle(), true);
        int d = GetDropDrawState();
        DrawSkinBitmap(dropRect, RECT{2, 4, 7, 19}, RECT{0, 23 * d, 11, 23 * d + 23}, dc,
                       TXPExtResources::SpeedDropDown().Handle(), true);
        DrawDropArrow(dropRect, Enabled() ? clBtnText : clBtnShadow, 0, pressed);
      }
      break;
    case 2:
      if (FStyle == TXPSpeedStyle::xssButton) {
        DrawThemed(Handle(), L"TOOLBAR", TP_BUTTON, 1 + s, dc, rect);
      } else {
        DrawThemed(Handle(), L"TOOLBAR", TP_SPLITBUTTON, 1 + s, dc, rect);
        DrawThemed(Handle(), L"TOOLBAR", TP_SPLITBUTTONDROPDOWN, 1 + GetDropDrawState(), dc, dropRect);
      }
      break;
    default:
      DrawClassicFace(rect, dropRect, pressed);
      break;
  }
}

void TXPBaseCustomSpeedButton::DrawClassicFace(RECT rect, const RECT& dropRect, bool pressed) {
  HDC dc = Canvas().Handle();
  const bool designing = ComponentState() & csDesigning;
  if (HasDropDownPart() && !FFlat) rect.right += 1;  // the two borders overlap
  if (Enabled()) {
    if (FState == TButtonState::bsDisabled) FState = FDown && FGroupIndex ? TButtonState::bsExclusive : TButtonState::bsUp;
  } else {
    FState = TButtonState::bsDisabled;
    FDragging = false;
  }
  Canvas().Font().Assign(Font());
  const bool disabled = FState == TButtonState::bsDisabled;
  auto edge = [&](RECT r, bool sunken) {
    DrawEdge(dc, &r, sunken ? BDR_SUNKENOUTER : BDR_RAISEDINNER, BF_RECT | (Transparent() ? 0 : BF_MIDDLE));
  };
  if (FFlat) {
    if (pressed || (FHot && !disabled) || designing) edge(rect, pressed);
    else if (!Transparent()) FillSolid(dc, rect, Color());
  } else {
    RECT r = rect;
    DrawFrameControl(dc, &r, DFC_BUTTON, DFCS_BUTTONPUSH | (pressed ? DFCS_PUSHED : 0));
  }
  if (FState == TButtonState::bsExclusive && !(FFlat && FHot)) {
    // The checked look: a dither of face and highlight.
    WORD pattern[8];
    for (int i = 0; i < 8; ++i) pattern[i] = (i % 2) ? 0x55 : 0xAA;
    HBITMAP bits = CreateBitmap(8, 8, 1, 1, pattern);
    HBRUSH brush = CreatePatternBrush(bits);
    COLORREF oldText = SetTextColor(dc, ColorToRGB(clBtnFace));
    COLORREF oldBack = SetBkColor(dc, ColorToRGB(clBtnHighlight));
    RECT inside = rect;
    InflateRect(&inside, -1, -1);
    FillRect(dc, &inside, brush);
    SetTextColor(dc, oldText);
    SetBkColor(dc, oldBack);
    DeleteObject(brush);
    DeleteObject(bits);
  }
  if (!HasDropDownPart()) return;
  if (!FFlat) {
    RECT r = dropRect;
    DrawFrameControl(dc, &r, DFC_BUTTON, DFCS_BUTTONPUSH | (pressed ? DFCS_PUSHED : 0));
  } else if (pressed || (FHot && !disabled) || designing) {
    edge(dropRect, pressed);
  } else if (!Transparent()) {
    FillSolid(dc, dropRect, Color());
  }
  if (Enabled()) {
    DrawDropArrow(dropRect, clBtnText, 0, pressed);
  } else {
    DrawDropArrow(dropRect, clBtnHighlight, 1, pressed);
    DrawDropArrow(dropRect, clBtnShadow, 0, pressed);
  }
}

void TXPBaseCustomSpeedButton::DrawFadingFace(const RECT& dropRect, bool pressed) {
  DrawDesignFrame(*this);
  if (HasDropDownPart()) DrawDropArrow(dropRect, Enabled() ? clBtnText : clBtnShadow, 0, pressed);
}

void TXPBaseCustomSpeedButton::CalcLayout(const RECT& rect, RECT& textRect, POINT& glyphPos) {
  POINT glyphSize{};
  GetGlyphSize(glyphSize);
  CalcGlyphCaptionLayout(Canvas(), rect, Font(), Caption(), glyphSize, FLayout, FMargin, FSpacing, GetTextFlags(),
                         glyphPos, textRect);
}

void TXPBaseCustomSpeedButton::DrawContent(const RECT& rect, TColor color, bool fade) {
  RECT r = rect;
  InflateRect(&r, -1, -1);
  int s = GetDrawState();
  if (ShiftWhenDown() && (s == 2 || s == 4 || s == 5)) OffsetRect(&r, 1, 1);
  RECT textRect{};
  POINT glyphPos{};
  CalcLayout(r, textRect, glyphPos);
  POINT glyphSize{};
  if (GetGlyphSize(glyphSize))
    DrawGlyphAt(RECT{glyphPos.x, glyphPos.y, glyphPos.x + glyphSize.x, glyphPos.y + glyphSize.y});
  IntersectRect(&textRect, &textRect, &r);
  if (fade && Enabled() && FKind == TXPSpeedKind::xskFading) color = FadeColor(color, FFadeMode, FFadeStep, FFadeStrength);
  DrawCaption(textRect, Caption(), color);
}

void TXPBaseCustomSpeedButton::DrawCaption(const RECT& rect, const WideString& text, TColor color) {
  DrawXPCaption(Canvas(), rect, text, Font(), color, TAlignment::taLeftJustify, TTextLayout::tlCenter, GetTextFlags(),
                GetTextEllipsis(), 100);
}

void TXPBaseCustomSpeedButton::DrawGlyphWithVeil(TCanvas& canvas, const RECT& rect) { DrawGlyph(canvas, rect, true); }

void TXPBaseCustomSpeedButton::DrawGlyphAt(const RECT& rect) {
  if (!Enabled()) DrawGlyph(Canvas(), rect, false);
  else if (FKind == TXPSpeedKind::xskStandard) DrawGlyph(Canvas(), rect, true);
  else DrawGlyphWithVeil(Canvas(), rect);
}

TVK_MESSAGE_MAP(TXPBaseCustomSpeedButton, {WM_LBUTTONDBLCLK, &TXPBaseCustomSpeedButton::WMLButtonDblClk},
                {CM_MOUSEENTER, &TXPBaseCustomSpeedButton::CMMouseEnter},
                {CM_MOUSELEAVE, &TXPBaseCustomSpeedButton::CMMouseLeave},
                {CM_BUTTONPRESSED, &TXPBaseCustomSpeedButton::CMButtonPressed},
                {CM_DIALOGCHAR, &TXPBaseCustomSpeedButton::CMDialogChar},
                {CM_ENABLEDCHANGED, &TXPBaseCustomSpeedButton::CMEnabledChanged},
                {CM_FONTCHANGED, &TXPBaseCustomSpeedButton::CMFontChanged},
                {CM_TEXTCHANGED, &TXPBaseCustomSpeedButton::CMTextChanged},
                {WM_SYSCOLORCHANGE, &TXPBaseCustomSpeedButton::CMSysColorChange},
                {WM_ERASEBKGND, &TXPBaseCustomSpeedButton::WMEraseBkgnd},
                {WM_SIZE, &TXPBaseCustomSpeedButton::WMSize},
                {WM_WINDOWPOSCHANGED, &TXPBaseCustomSpeedButton::WMWindowPosChanged})

// ---- TXPSplitter

TXPSplitter::TXPSplitter(TComponent* owner) : TSplitter(owner) {}

void TXPSplitter::SetDrawNotch(bool value) {
  if (value == FDrawNotch) return;
  FDrawNotch = value;
  Invalidate();
}

void TXPSplitter::SetTransparent(bool value) {
  if (value == FTransparent) return;
  FTransparent = value;
  Invalidate();
}

void TXPSplitter::SetUseDefaultColor(bool value) {
  if (value == FUseDefaultColor) return;
  FUseDefaultColor = value;
  Invalidate();
}

void TXPSplitter::Paint() {
  if (OnPaint) {
    OnPaint(this);
    return;
  }
  if (!FTransparent) {
    RECT r = ClientRect();
    FillSolid(Canvas().Handle(), r, FUseDefaultColor ? SubstBtnFaceColor : Color());
    if (Beveled()) {
      if (Align() == TAlign::alLeft || Align() == TAlign::alRight) InflateRect(&r, 0, 2);
      else InflateRect(&r, 2, 0);
      DrawEdge(Canvas().Handle(), &r, BDR_RAISEDOUTER, BF_RECT | BF_SOFT);
    }
  }
  // A see-through splitter without notch leaves its parent showing.
  if (FDrawNotch) DrawGripDots(Canvas(), Width(), Height(), Width() < Height(), 9);
}

bool TXPSplitter::DoCanResize(int& newSize) {
  FIsResizing = true;
  return TSplitter::DoCanResize(newSize);
}

void TXPSplitter::StopSizing() {
  TSplitter::StopSizing();
  FIsResizing = false;
}

// ---- TXPTransButton

TXPTransButton::TXPTransButton(TComponent* owner, const WideString& resName, bool inversible)
    : TGraphicControl(owner), FGlyph(std::make_unique<TBitmap>()), FInversible(inversible) {
  SetControlStyle(ControlStyle() & ~csDoubleClicks);
  SetAnchors(akTop | akRight);
  UpdateGlyph(resName);
}

void TXPTransButton::UpdateGlyph(const WideString& resName) {
  FGlyph->LoadFromResourceName(ClassLibraryInstance(), resName);
  SetBounds(Left(), Top(), FaceWidth(), FGlyph->Height());
  Invalidate();
}

void TXPTransButton::Paint() {
  const int w = FaceWidth();
  if (w <= 0) return;
  TransparentBlit(Canvas().Handle(), 0, 0, w, FGlyph->Height(), FGlyph->Canvas().Handle(), FaceIndex() * w, 0,
                  FGlyph->Canvas().Pixel(0, FGlyph->Height() - 1));
}

void TXPTransButton::Click() {
  if (FInClick) return;
  FInClick = true;
  struct TReset {
    bool& Flag;
    ~TReset() { Flag = false; }
  } reset{FInClick};
  if (!FInSetInverted && FInversible) SetInverted(!FInverted);
  TGraphicControl::Click();
}

void TXPTransButton::SetInverted(bool value) {
  if (FInSetInverted || !FInversible || value == FInverted) return;
  FInSetInverted = true;
  struct TReset {
    bool& Flag;
    ~TReset() { Flag = false; }
  } reset{FInSetInverted};
  FInverted = value;
  Invalidate();
  Click();
}

void TXPTransButton::CMMouseEnter(TMessage& message) {
  TVK_INHERITED(message);
  FHot = true;
  Invalidate();
}

void TXPTransButton::CMMouseLeave(TMessage& message) {
  TVK_INHERITED(message);
  FHot = false;
  Invalidate();
}

TVK_MESSAGE_MAP(TXPTransButton, {CM_MOUSEENTER, &TXPTransButton::CMMouseEnter},
                {CM_MOUSELEAVE, &TXPTransButton::CMMouseLeave})

// ---- TXPSpeedButtonActionLink

TXPSpeedButtonActionLink::TXPSpeedButtonActionLink(TXPCustomSpeedButton* client)
    : TControlActionLink(client), FClient(client) {}

bool TXPSpeedButtonActionLink::IsCheckedLinked() {
  auto* action = dynamic_cast<TCustomAction*>(Action());
  return TControlActionLink::IsCheckedLinked() && FClient->GroupIndex() != 0 && FClient->AllowAllUp() && action &&
         action->Checked() == FClient->Down();
}

bool TXPSpeedButtonActionLink::IsGroupIndexLinked() {
  auto* action = dynamic_cast<TCustomAction*>(Action());
  return FClient && action && action->GroupIndex() == FClient->GroupIndex();
}

void TXPSpeedButtonActionLink::SetChecked(bool value) {
  if (IsCheckedLinked()) FClient->SetDown(value);
}

void TXPSpeedButtonActionLink::SetGroupIndex(int value) {
  if (IsGroupIndexLinked()) FClient->SetGroupIndex(value);
}

// ---- TXPCustomSpeedButton

TXPCustomSpeedButton::TXPCustomSpeedButton(TComponent* owner)
    : TXPBaseCustomSpeedButton(owner), FGlyph(std::make_unique<TAlphaBitmap>()) {
  FGlyph->OnChange = [this](TObject*) { GlyphChanged(); };
}

TXPCustomSpeedButton::~TXPCustomSpeedButton() {
  FVeilBitmap.reset();
  FGlyph->OnChange = nullptr;
}

void TXPCustomSpeedButton::SetNumGlyphs(int value) {
  value = std::max(value, 1);
  if (value == FNumGlyphs) return;
  FNumGlyphs = value;
  Invalidate();
}

void TXPCustomSpeedButton::GlyphChanged() {
  const int w = FGlyph->Width(), h = FGlyph->Height();
  if (h != 0 && w % h == 0 && w / h > 0) FNumGlyphs = w / h;
  GlyphLoaded();
  RedrawButton(0);
}

void TXPCustomSpeedButton::GlyphLoaded() {
  FVeilBitmap.reset();
  if (Kind() == TXPSpeedKind::xskFading && !FGlyph->Empty()) FVeilBitmap = CreateShadowBitmap(*FGlyph, clWhite);
}

int TXPCustomSpeedButton::GetGlyphIndex() {
  int index = Enabled() ? int(FState) : int(TButtonState::bsDisabled);
  return FNumGlyphs < index + 1 ? 0 : index;
}

bool TXPCustomSpeedButton::GetGlyphSize(POINT& size) {
  if (FGlyph->Empty()) {
    size = POINT{0, 0};
    return false;
  }
  size = POINT{FGlyph->Width() / FNumGlyphs, FGlyph->Height()};
  return true;
}

void TXPCustomSpeedButton::DrawGlyph(TCanvas& canvas, const RECT& rect, bool enabled) {
  if (FGlyph->Empty()) return;
  const int w = rect.right - rect.left;
  if (FNumGlyphs >= 2) {
    int index = GetGlyphIndex();
    FGlyph->DrawSourceRect(canvas, RECT{index * w, 0, index * w + w, FGlyph->Height()}, rect);
    return;
  }
  if (enabled) {
    FGlyph->Draw(canvas, RECT{rect.left, rect.top, rect.left + FGlyph->Width(), rect.top + FGlyph->Height()});
    return;
  }
  TAlphaBitmap copy;
  copy.Assign(*FGlyph);
  copy.SetMonochrome(true);
  copy.Draw(canvas, rect);
}

void TXPCustomSpeedButton::DrawGlyphWithVeil(TCanvas& canvas, const RECT& rect) {
  DrawGlyph(canvas, rect, true);
  if (!UseFadeEffects() || !FVeilBitmap || FadeMode() == TXPFadeMode::xfmNone) return;
  int k = FadeMode() == TXPFadeMode::xfmFadeIn ? FadeStep() : 8 - FadeStep();
  int alpha = std::clamp(k * FadeStrength() * 4, 0, 255);
  AlphaBlitConst(canvas.Handle(), rect.left, rect.top, FVeilBitmap->Width(), FVeilBitmap->Height(),
                 FVeilBitmap->Canvas().Handle(), 0, 0, std::uint8_t(alpha), AC_SRC_ALPHA);
}

std::unique_ptr<TControlActionLink> TXPCustomSpeedButton::CreateActionLink() {
  return std::make_unique<TXPSpeedButtonActionLink>(this);
}

void TXPCustomSpeedButton::ActionChange(TObject* sender, bool checkDefaults) {
  TXPBaseCustomSpeedButton::ActionChange(sender, checkDefaults);
  auto* action = dynamic_cast<TCustomAction*>(sender);
  if (!action) return;
  if (checkDefaults || GroupIndex() == 0) SetGroupIndex(action->GroupIndex());
  TActionList* list = action->ActionList();
  TCustomImageList* images = list ? list->Images() : nullptr;
  if (FGlyph->Empty() && images && action->ImageIndex() >= 0 && action->ImageIndex() < images->Count()) {
    TBitmap picture;
    picture.SetPixelFormat(TPixelFormat::pf32bit);
    picture.SetSize(images->Width(), images->Height());
    picture.Canvas().Brush().SetColor(0xFF00FF);
    picture.Canvas().FillRect(RECT{0, 0, images->Width(), images->Height()});
    images->Draw(picture.Canvas(), 0, 0, action->ImageIndex());
    FGlyph->Assign(picture);
  }
}

}  // namespace tvk
