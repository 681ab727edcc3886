#include "XPGroups.h"

#include "XPControlUtils.h"
#include "XPGraphics.h"

#include <uxtheme.h>
#include <vssym32.h>

namespace tvk {

namespace {

constexpr TColor kGroupCaptionColor = 0xD54600;
constexpr int kCaptionLeft = 8;
constexpr int kCaptionGap = 4;

int DigitHeight(TFont& font) {
  TMeasureCanvas canvas;
  canvas.Font().Assign(font);
  return canvas.TextHeight(L"0");
}

void FrameWith(HDC dc, const RECT& r, TColor color) {
  HBRUSH brush = CreateSolidBrush(ColorToRGB(color));
  FrameRect(dc, &r, brush);
  DeleteObject(brush);
}

}  // namespace

TXPCustomGroupBox::TXPCustomGroupBox(TComponent* owner) : TXPCustomControl(owner) {
  SetControlStyle(ControlStyle() | csAcceptsControls | csDisplayDragImage);
  SetBounds(Left(), Top(), 185, 105);
}

void TXPCustomGroupBox::SetOptions(TXPGroupBoxOptions value) {
  if (value == FOptions) return;
  FOptions = value;
  if (GetThemeMode() == 2) Invalidate();
}

void TXPCustomGroupBox::AdjustClientRect(RECT& rect) {
  TXPCustomControl::AdjustClientRect(rect);
  rect.top += DigitHeight(Font());
  // One pixel for the frame, one more for the 3-D look's second line.
  const int inset = Ctl3D() ? 2 : 1;
  InflateRect(&rect, -inset, -inset);
}

void TXPCustomGroupBox::CreateParams(TCreateParams& params) {
  TXPCustomControl::CreateParams(params);
  params.Style |= WS_CLIPCHILDREN;
  params.WindowClassStyle &= ~UINT(CS_HREDRAW | CS_VREDRAW);
}

RECT TXPCustomGroupBox::CaptionGap() {
  if (Caption().empty()) return RECT{};
  TMeasureCanvas canvas;
  canvas.Font().Assign(Font());
  SIZE extent = canvas.TextExtent(RemoveAmpersands(Caption()));
  return RECT{kCaptionLeft - kCaptionGap, 0, kCaptionLeft + extent.cx + kCaptionGap, extent.cy};
}

void TXPCustomGroupBox::Paint() { PaintOn(Canvas()); }

void TXPCustomGroupBox::PaintOn(TCanvas& canvas) {
  HDC dc = canvas.Handle();
  RECT client = ClientRect();
  int mode = GetThemeMode();
  TXPDrawCaptionFlags flags = SmoothDraw() ? TXPDrawCaptionFlags(dcfSmoothText) : 0u;
  canvas.Font().Assign(Font());
  if (mode == 2 && HandleAllocated()) {
    int state = Enabled() ? int(GBS_NORMAL) : int(GBS_DISABLED);
    HTHEME theme = OpenThemeData(Handle(), L"BUTTON");
    DrawThemeParentBackground(Handle(), dc, &client);
    RECT extent{};
    if (theme) GetThemeTextExtent(theme, dc, BP_GROUPBOX, state, Caption().c_str(), -1, 0, &client, &extent);
    RECT frame = client;
    frame.top += (extent.bottom - extent.top) / 2;
    RECT gap{};
    HRGN saved = nullptr;
    if (!Caption().empty()) {
      gap = RECT{kCaptionLeft - kCaptionGap, 0, kCaptionLeft + (extent.right - extent.left) + kCaptionGap,
                 extent.bottom - extent.top};
      BeginClipRect(dc, gap, saved, true);
    }
    if (theme) DrawThemeBackground(theme, dc, BP_GROUPBOX, state, &frame, nullptr);
    if (!Caption().empty()) {
      EndClipRect(dc, saved);
      InflateRect(&gap, -kCaptionGap, 0);
      if ((FOptions & xgbIgnoreThemeFont) || !theme)
        DrawXPCaption(canvas, gap, Caption(), Font(), Font().Color(), TAlignment::taLeftJustify, TTextLayout::tlCenter,
                      flags, TEllipsisPosition::epNone, 100);
      else
        DrawThemeText(theme, dc, BP_GROUPBOX, state, Caption().c_str(), -1, DT_LEFT | DT_VCENTER | DT_SINGLELINE,
                      Enabled() ? 1 : 0, &gap);
    }
    if (theme) CloseThemeData(theme);
    return;
  }
  DrawParentBackground(*this, dc, nullptr);
  RECT gap = CaptionGap();
  HRGN saved = nullptr;
  if (!Caption().empty()) BeginClipRect(dc, gap, saved, true);
  TColor captionColor = Font().Color();
  if (mode == 0) {
    int half = (gap.bottom - gap.top) / 2;
    if (Caption().empty()) half = 0;
    FrameWith(dc, RECT{client.left + 1, client.top + half + 1, client.right, client.bottom}, clBtnHighlight);
    FrameWith(dc, RECT{client.left, client.top + half, client.right - 1, client.bottom - 1}, clBtnShadow);
    if (!Enabled()) captionColor = clGrayText;
  } else {
    TColor frameColor = SubstBtnShadowColor;
    int l = 0, t = DigitHeight(Font()) / 2 - 1, r = Width(), b = Height();
    const POINT points[] = {{l + 2, t},     {r - 3, t},     {r - 3, t + 1}, {r - 2, t + 1}, {r - 2, t + 2},
                            {r - 1, t + 2}, {r - 1, b - 3}, {r - 2, b - 3}, {r - 2, b - 2}, {r - 3, b - 2},
                            {r - 3, b - 1}, {l + 2, b - 1}, {l + 2, b - 2}, {l + 1, b - 2}, {l + 1, b - 3},
                            {l, b - 3},     {l, t + 2},     {l + 1, t + 2}, {l + 1, t + 1}, {l + 2, t + 1},
                            {l + 2, t}};
    HPEN pen = CreatePen(PS_SOLID, 1, ColorToRGB(frameColor));
    HGDIOBJ old = SelectObject(dc, pen);
    ::Polyline(dc, points, int(std::size(points)));
    SelectObject(dc, old);
    DeleteObject(pen);
    captionColor = Enabled() ? kGroupCaptionColor : frameColor;
  }
  if (!Caption().empty()) {
    EndClipRect(dc, saved);
    InflateRect(&gap, -kCaptionGap, 0);
    DrawXPCaption(canvas, gap, Caption(), Font(), captionColor, TAlignment::taLeftJustify, TTextLayout::tlCenter,
                  flags, TEllipsisPosition::epNone, 100);
  }
}

void TXPCustomGroupBox::WMNCCalcSize(TMessage& message) {
  TVK_INHERITED(message);
  if (!message.WParam) return;
  auto* params = reinterpret_cast<NCCALCSIZE_PARAMS*>(message.LParam);
  // rgrc[0] the new client, rgrc[1] the old window, rgrc[2] the old client:
  // the inside is kept, only a 5-pixel band at the right and bottom is redrawn.
  RECT newClient = params->rgrc[0];
  RECT source = params->rgrc[1];
  OffsetRect(&source, source.left - newClient.left, source.top - newClient.top);
  source.right = source.right < newClient.right ? source.right - 5 : newClient.right - 5;
  source.bottom = source.bottom < newClient.bottom ? source.bottom - 5 : newClient.bottom - 5;
  params->rgrc[1] = newClient;
  params->rgrc[2] = source;
  message.Result = WVR_VALIDRECTS;
}

void TXPCustomGroupBox::WMEraseBkgnd(TMessage& message) {
  if (!DoubleBuffered() || (ComponentState() & csDesigning)) {
    TCanvas canvas;
    canvas.SetHandle(reinterpret_cast<HDC>(message.WParam));
    if (GetThemeMode() == 2)
      PaintOn(canvas);
    else
      DrawParentBackground(*this, canvas.Handle(), nullptr);
    canvas.SetHandle(nullptr);
  }
  message.Result = 1;
}

void TXPCustomGroupBox::CMEnabledChanged(TMessage& message) {
  TVK_INHERITED(message);
  Invalidate();
  for (int i = 0; i < ControlCount(); ++i) Controls(i)->Perform(CM_ENABLEDCHANGED);
}

void TXPCustomGroupBox::CMDialogChar(TMessage& message) {
  if (IsAccel(wchar_t(message.WParam), Caption()) && CanFocus()) {
    SelectFirst();
    message.Result = 1;
    return;
  }
  TVK_INHERITED(message);
}

void TXPCustomGroupBox::CMTextChanged(TMessage& message) {
  TVK_INHERITED(message);
  Invalidate();
  Realign();
}

TVK_MESSAGE_MAP(TXPCustomGroupBox, {WM_NCCALCSIZE, &TXPCustomGroupBox::WMNCCalcSize},
                {WM_ERASEBKGND, &TXPCustomGroupBox::WMEraseBkgnd},
                {CM_ENABLEDCHANGED, &TXPCustomGroupBox::CMEnabledChanged},
                {CM_DIALOGCHAR, &TXPCustomGroupBox::CMDialogChar},
                {CM_TEXTCHANGED, &TXPCustomGroupBox::CMTextChanged})

}  // namespace tvk
