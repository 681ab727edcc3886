#include "Buttons.h"

#include "Messages.h"

namespace tvk {

namespace {
constexpr int kSpeedButtonSpacing = 4;  // between glyph and caption
}

TSpeedButton::TSpeedButton(TComponent* owner) : TGraphicControl(owner) {
  SetControlStyle(csCaptureMouse | csClickEvents | csDoubleClicks);
  SetBounds(0, 0, 23, 22);
}

void TSpeedButton::SetFlat(bool value) {
  if (FFlat == value) return;
  FFlat = value;
  Invalidate();
}

void TSpeedButton::SetMargin(int value) {
  if (FMargin == value) return;
  FMargin = value;
  Invalidate();
}

void TSpeedButton::SetGlyph(const TBitmap& glyph) {
  FGlyph.Assign(glyph);
  FGlyph.SetTransparent(true);
  Invalidate();
}

void TSpeedButton::SetState(TButtonState value) {
  if (value == FState) return;
  FState = value;
  Invalidate();
}

TVK_MESSAGE_MAP(TSpeedButton, {CM_ENABLEDCHANGED, &TSpeedButton::CMEnabledChanged},
                {CM_MOUSEENTER, &TSpeedButton::CMMouseEnter}, {CM_MOUSELEAVE, &TSpeedButton::CMMouseLeave})

void TSpeedButton::CMEnabledChanged(TMessage& message) {
  FState = Enabled() ? TButtonState::bsUp : TButtonState::bsDisabled;
  TVK_INHERITED(message);
  Invalidate();
}

void TSpeedButton::CMMouseEnter(TMessage& message) {
  TVK_INHERITED(message);
  FMouseInControl = true;
  if (FFlat) Invalidate();
}

void TSpeedButton::CMMouseLeave(TMessage& message) {
  TVK_INHERITED(message);
  FMouseInControl = false;
  if (FFlat) Invalidate();
}

void TSpeedButton::MouseDown(TMouseButton button, TShiftState shift, int x, int y) {
  TGraphicControl::MouseDown(button, shift, x, y);
  if (button == TMouseButton::mbLeft && Enabled()) SetState(TButtonState::bsDown);
}

void TSpeedButton::MouseUp(TMouseButton button, TShiftState shift, int x, int y) {
  if (FState == TButtonState::bsDown) SetState(Enabled() ? TButtonState::bsUp : TButtonState::bsDisabled);
  TGraphicControl::MouseUp(button, shift, x, y);
}

void TSpeedButton::Paint() {
  TCanvas& canvas = Canvas();
  HDC dc = canvas.Handle();
  RECT r{0, 0, Width(), Height()};
  FillRect(dc, &r, GetSysColorBrush(COLOR_BTNFACE));
  if (Down())
    DrawEdge(dc, &r, FFlat ? BDR_SUNKENOUTER : EDGE_SUNKEN, BF_RECT);
  else if (!FFlat || (FMouseInControl && Enabled()))
    DrawEdge(dc, &r, FFlat ? BDR_RAISEDINNER : EDGE_RAISED, BF_RECT);
  const int shift = Down() ? 1 : 0;

  SIZE textSize{};
  const WideString& caption = Caption();
  HDC textDC = dc;
  HGDIOBJ oldFont = SelectObject(dc, Font().Handle());
  if (!caption.empty()) {
    RECT measure{0, 0, 0, 0};
    DrawTextW(textDC, caption.c_str(), int(caption.size()), &measure, DT_CALCRECT | DT_SINGLELINE);
    textSize = SIZE{measure.right - measure.left, measure.bottom - measure.top};
  }
  const int glyphWidth = FGlyph.Empty() ? 0 : FGlyph.Width();
  const int glyphHeight = FGlyph.Empty() ? 0 : FGlyph.Height();
  const int spacing = glyphWidth && !caption.empty() ? kSpeedButtonSpacing : 0;
  const int total = glyphWidth + spacing + textSize.cx;
  const int x = (FMargin >= 0 ? FMargin : (Width() - total) / 2) + shift;
  if (glyphWidth) {
    RECT g{x, (Height() - glyphHeight) / 2 + shift, 0, 0};
    g.right = g.left + glyphWidth;
    g.bottom = g.top + glyphHeight;
    FGlyph.Draw(canvas, g);
  }
  if (!caption.empty()) {
    RECT t{x + glyphWidth + spacing, shift, Width(), Height() + shift};
    SetBkMode(textDC, TRANSPARENT);
    SetTextColor(textDC, GetSysColor(Enabled() ? COLOR_BTNTEXT : COLOR_GRAYTEXT));
    DrawTextW(textDC, caption.c_str(), int(caption.size()), &t, DT_SINGLELINE | DT_VCENTER | DT_LEFT);
  }
  SelectObject(dc, oldFont);
}

}  // namespace tvk
