#include "cxScrollBar.h"

#include "LookAndFeelResources.h"
#include "cxGraphics.h"

#include <algorithm>
#include <utility>

namespace tvk {

TResStringRec SScrollBarRange(IDS_SScrollBarRange);

namespace {

POINT ScrollBarSystemCursorPos() {
  POINT p{};
  GetCursorPos(&p);
  return p;
}

int ScrollBarMulDiv(int ANumber, int ANumerator, int ADenominator) { return MulDiv(ANumber, ANumerator, ADenominator); }

int RectLength(const RECT& R, bool AVertical) { return AVertical ? R.bottom - R.top : R.right - R.left; }
bool IsRectEmptyBox(const RECT& R) { return R.right <= R.left || R.bottom <= R.top; }

}  // namespace

POINT (*cxScrollBarGetCursorPos)() = &ScrollBarSystemCursorPos;

// ---- TcxScrollBarViewInfo

void TcxScrollBarViewInfo::DoCalculate() {
  TcxScrollBar& bar = *FScrollBar;
  const int width = bar.Width(), height = bar.Height();
  if (bar.Kind() == sbVertical) {
    const int arrow = std::min(GetSystemMetrics(SM_CXVSCROLL), height / 2);
    FTopLeftArrowRect = {0, 0, width, arrow};
    FBottomRightArrowRect = {0, height - arrow, width, height};
  } else {
    const int arrow = std::min(GetSystemMetrics(SM_CYHSCROLL), width / 2);
    FTopLeftArrowRect = {0, 0, arrow, height};
    FBottomRightArrowRect = {width - arrow, 0, width, height};
  }
  CalculateThumbnailRect();
}

void TcxScrollBarViewInfo::CalculateMinThumnailSize() { FThumbnailSize = FScrollBar->GetMinThumbnailSizeValue(); }

void TcxScrollBarViewInfo::CalculateThumbnailRect() {
  FThumbnailRect = {};
  FPageUpRect = {};
  FPageDownRect = {};
  TcxScrollBar& bar = *FScrollBar;
  if (!bar.Enabled()) return;
  const bool vertical = bar.Kind() == sbVertical;
  const int trackStart = vertical ? FTopLeftArrowRect.bottom : FTopLeftArrowRect.right;
  const int trackEnd = vertical ? FBottomRightArrowRect.top : FBottomRightArrowRect.left;
  const int track = trackEnd - trackStart;
  const int range = bar.Max() - bar.Min();
  int length = 0, offset = 0;
  if (bar.PageSize() != 0) {
    length = std::min(track, ScrollBarMulDiv(bar.PageSize(), track, range + 1));
    if (track < FThumbnailSize || range == 0) return;
    length = std::max(length, FThumbnailSize);
    const int d = range - bar.PageSize() + 1;
    offset = d > 0 ? ScrollBarMulDiv(track - length, std::min(bar.Position() - bar.Min(), d), d) : 0;
  } else {
    length = GetSystemMetrics(vertical ? SM_CYVTHUMB : SM_CXHTHUMB);
    if (track < length) return;
    offset = track - length > 0 && range != 0 ? ScrollBarMulDiv(track - length, bar.Position() - bar.Min(), range) : 0;
  }
  if (vertical)
    FThumbnailRect = {0, trackStart + offset, bar.Width(), trackStart + offset + length};
  else
    FThumbnailRect = {trackStart + offset, 0, trackStart + offset + length, bar.Height()};
  AdjustPageRects();
}

void TcxScrollBarViewInfo::AdjustPageRects() {
  if (IsRectEmptyBox(FThumbnailRect)) {
    FPageUpRect = {};
    FPageDownRect = {};
    return;
  }
  const int width = FScrollBar->Width(), height = FScrollBar->Height();
  if (FScrollBar->Kind() == sbVertical) {
    FPageUpRect = {0, FTopLeftArrowRect.bottom, width, FThumbnailRect.top};
    FPageDownRect = {0, FThumbnailRect.bottom, width, FBottomRightArrowRect.top};
  } else {
    FPageUpRect = {FTopLeftArrowRect.right, 0, FThumbnailRect.left, height};
    FPageDownRect = {FThumbnailRect.right, 0, FBottomRightArrowRect.left, height};
  }
}

void TcxScrollBarViewInfo::SetThumbnailPos(POINT APos) {
  if (FScrollBar->Kind() == sbVertical)
    OffsetRect(&FThumbnailRect, 0, APos.y - FThumbnailRect.top);
  else
    OffsetRect(&FThumbnailRect, APos.x - FThumbnailRect.left, 0);
}

// ---- TcxScrollBar

TcxScrollBar::TcxScrollBar(TComponent* AOwner) : TCustomControl(AOwner) {
  FLookAndFeel = std::make_unique<TcxLookAndFeel>(this);
  FLookAndFeel->OnChanged = [this](TcxLookAndFeel* ASender, TcxLookAndFeelValues AValues) {
    LookAndFeelChanged(ASender, AValues);
  };
  FViewInfo.reset(CreateViewInfo());
  TControl::SetBounds(Left(), Top(), 121, GetSystemMetrics(SM_CYHSCROLL));
  SetControlStyle(csCaptureMouse | csFramed | csOpaque);
  FThemeChangedNotificator = std::make_unique<TdxThemeChangedNotificator>();
  FThemeChangedNotificator->OnThemeChanged = [this] { ThemeChanged(); };
  FTimer = std::make_unique<TcxTimer>(nullptr);
  FTimer->SetInterval(cxScrollBarInitialRepeatPause);
  FTimer->SetEnabled(false);
  FTimer->SetOnTimer([this](TObject* ASender) { TimerHandler(ASender); });
  FViewInfo->CalculateMinThumnailSize();
  FViewInfo->Calculate();
}

TcxScrollBar::~TcxScrollBar() {
  FTimer.reset();
  FThemeChangedNotificator.reset();
  FViewInfo.reset();
  FLookAndFeel.reset();
}

void TcxScrollBar::SetScrollParams(int AMin, int AMax, int APosition, int APageSize, bool ARedraw) {
  if (AMax < AMin || AMax - AMin < APageSize) throw EInvalidOperation(LoadResString(&SScrollBarRange));
  ARedraw = ARedraw && HandleAllocated();
  APosition = std::clamp(APosition, AMin, AMax);
  if (FMin == AMin && FMax == AMax && FPageSize == APageSize && FPosition == APosition) return;
  FMin = AMin;
  FMax = AMax;
  FPageSize = APageSize;
  if (FPosition == APosition) {
    FViewInfo->CalculateThumbnailRect();
    if (ARedraw) Invalidate();
    return;
  }
  SetEnabled(true);
  FPosition = APosition;
  FViewInfo->CalculateThumbnailRect();
  if (ARedraw) Invalidate();
  Change();
}

void TcxScrollBar::SetBounds(int ALeft, int ATop, int AWidth, int AHeight) {
  const RECT old = BoundsRect();
  TCustomControl::SetBounds(ALeft, ATop, AWidth, AHeight);
  const RECT now = BoundsRect();
  if (!EqualRect(&old, &now) && Width() > 0 && Height() > 0) FViewInfo->Calculate();
}

void TcxScrollBar::SetKind(TScrollBarKind AValue) {
  if (FKind == AValue) return;
  FKind = AValue;
  if (ComponentState() & csLoading)
    FViewInfo->Calculate();
  else
    SetBounds(Left(), Top(), Height(), Width());
  FViewInfo->Calculate();
  Invalidate();
}

void TcxScrollBar::SetCtl3D(bool AValue) {
  FRealCtl3D = AValue;
  // A value set on the bar is its own, as the class library's setter makes it.
  TWinControl::SetParentCtl3D(false);
  StoreCtl3D(AValue);
  LookAndFeelChanged(FLookAndFeel.get(), 0);
}

void TcxScrollBar::StoreCtl3D(bool AValue) {
  const bool wasStoring = std::exchange(FStoringCtl3D, true);
  struct TRestore {
    bool& Flag;
    bool Value;
    ~TRestore() { Flag = Value; }
  } restore{FStoringCtl3D, wasStoring};
  ApplyCtl3D(AValue);
}

void TcxScrollBar::CMParentCtl3DChanged(TMessage& Message) {
  if (ParentCtl3D() && Parent()) FRealCtl3D = Parent()->Ctl3D();
  TVK_INHERITED(Message);
}

void TcxScrollBar::CMCtl3DChanged(TMessage& Message) {
  TVK_INHERITED(Message);
  // The bar's own switching under a skin painter must not lose the setting.
  if (FStoringCtl3D) return;
  FRealCtl3D = TWinControl::Ctl3D();
  LookAndFeelChanged(FLookAndFeel.get(), 0);
}

int TcxScrollBar::GetMinThumbnailSizeValue() { return GetMinThumbnailSize(); }

int TcxScrollBar::GetMinThumbnailSize() { return GetPainter()->ScrollBarMinimalThumbSize(FKind == sbVertical); }

void TcxScrollBar::Change() {
  if (OnChange) OnChange(this);
}

void TcxScrollBar::Scroll(TScrollCode AScrollCode, int& AScrollPos) {
  if (OnScroll) OnScroll(this, AScrollCode, AScrollPos);
}

TcxScrollBarPart TcxScrollBar::HitTest(POINT P) {
  const RECT client = ClientRect();
  if (!PtInRect(&client, P)) return sbpNone;
  if (PtInRect(&FViewInfo->TopLeftArrowRect(), P)) return sbpLineUp;
  if (PtInRect(&FViewInfo->BottomRightArrowRect(), P)) return sbpLineDown;
  if (IsRectEmptyBox(FViewInfo->ThumbnailRect())) return sbpNone;
  if (PtInRect(&FViewInfo->ThumbnailRect(), P)) return sbpThumbnail;
  if (PtInRect(&FViewInfo->PageUpRect(), P)) return sbpPageUp;
  if (PtInRect(&FViewInfo->PageDownRect(), P)) return sbpPageDown;
  return sbpNone;
}

int TcxScrollBar::GetPositionFromThumbnail() {
  const bool vertical = FKind == sbVertical;
  const RECT& thumb = FViewInfo->ThumbnailRect();
  const int trackStart = vertical ? FViewInfo->TopLeftArrowRect().bottom : FViewInfo->TopLeftArrowRect().right;
  const int trackEnd = vertical ? FViewInfo->BottomRightArrowRect().top : FViewInfo->BottomRightArrowRect().left;
  const int free = trackEnd - trackStart - RectLength(thumb, vertical);
  // A thumb that fills the whole track cannot move: it stands for where the bar is.
  if (free <= 0) return FPosition;
  const int offset = (vertical ? thumb.top : thumb.left) - trackStart;
  const int span = FMax - FMin + (FPageSize > 0 ? 1 - FPageSize : 0);
  return std::clamp(FMin + ScrollBarMulDiv(span, offset, free), FMin, FMax);
}

void TcxScrollBar::DoScroll(TScrollCode AScrollCode) {
  int pos = FPosition;
  switch (AScrollCode) {
    case scLineUp: pos -= FSmallChange; break;
    case scLineDown: pos += FSmallChange; break;
    case scPageUp: pos -= FLargeChange; break;
    case scPageDown: pos += FLargeChange; break;
    case scTop: pos = FMin; break;
    case scBottom: pos = FMax; break;
    default: break;
  }
  pos = std::clamp(pos, FMin, FMax);
  Scroll(AScrollCode, pos);
  pos = std::clamp(pos, FMin, FMax);
  if (pos == FPosition) return;
  if (AScrollCode == scTrack) {
    FPosition = pos;
    FViewInfo->CalculateThumbnailRect();
    Redraw();
  } else {
    SetPosition(pos);
  }
}

void TcxScrollBar::ScrollByPart(TcxScrollBarPart APart) {
  switch (APart) {
    case sbpLineUp: DoScroll(scLineUp); break;
    case sbpLineDown: DoScroll(scLineDown); break;
    case sbpThumbnail: DoScroll(scTrack); break;
    case sbpPageUp: DoScroll(scPageUp); break;
    case sbpPageDown: DoScroll(scPageDown); break;
    default: break;
  }
}

void TcxScrollBar::MouseDown(TMouseButton AButton, TShiftState AShift, int X, int Y) {
  TCustomControl::MouseDown(AButton, AShift, X, Y);
  if (AButton != TMouseButton::mbLeft) return;
  const POINT p{X, Y};
  const TcxScrollBarPart part = HitTest(p);
  if (part == sbpNone) return;
  if (part == sbpThumbnail) {
    FDownMousePos = p;
    FSavePosition = FPosition;
    FSaveThumbnailPos = {FViewInfo->ThumbnailRect().left, FViewInfo->ThumbnailRect().top};
    DoScroll(scTrack);
  }
  FState.PressedPart = part;
  FState.HotPart = part;
  if (part != sbpThumbnail) {
    ScrollByPart(part);
    FTimer->SetEnabled(false);
    FTimer->SetInterval(cxScrollBarInitialRepeatPause);
    FTimer->SetEnabled(true);
  }
  Redraw();
}

void TcxScrollBar::TimerHandler(TObject*) {
  const TcxScrollBarPart pressed = FState.PressedPart;
  if (MouseCapture() && pressed != sbpNone && pressed != sbpThumbnail) {
    if (FTimer->Interval() == cxScrollBarInitialRepeatPause) FTimer->SetInterval(cxScrollBarRepeatPause);
    ScrollByPart(pressed);
    FTimer->SetEnabled(HitTest(CursorClientPos()) == pressed);
  } else {
    CancelScroll();
  }
}

void TcxScrollBar::TrackThumbnail(POINT P) {
  RECT zone = ClientRect();
  if (FKind == sbVertical)
    InflateRect(&zone, cxScrollBarTrackZoneAcross, cxScrollBarTrackZoneAlong);
  else
    InflateRect(&zone, cxScrollBarTrackZoneAlong, cxScrollBarTrackZoneAcross);
  if (!FUnlimitedTracking && !PtInRect(&zone, P)) {
    if (FSavePosition != FPosition) {
      SetPosition(FSavePosition);
      int pos = FPosition;
      Scroll(scTrack, pos);
    }
    return;
  }
  const bool vertical = FKind == sbVertical;
  int delta = vertical ? P.y - FDownMousePos.y : P.x - FDownMousePos.x;
  if (delta == 0) return;
  const int trackStart = vertical ? FViewInfo->TopLeftArrowRect().bottom : FViewInfo->TopLeftArrowRect().right;
  const int trackEnd = vertical ? FViewInfo->BottomRightArrowRect().top : FViewInfo->BottomRightArrowRect().left;
  const int length = RectLength(FViewInfo->ThumbnailRect(), vertical);
  const int savedStart = vertical ? FSaveThumbnailPos.y : FSaveThumbnailPos.x;
  delta = std::max(delta, trackStart - savedStart);
  delta = std::min(delta, trackEnd - length - savedStart);
  POINT pos = FSaveThumbnailPos;
  (vertical ? pos.y : pos.x) += delta;
  FViewInfo->SetThumbnailPos(pos);
  FViewInfo->AdjustPageRects();
  Redraw();
  const int newPosition = GetPositionFromThumbnail();
  if (newPosition != FPosition) {
    FPosition = newPosition;
    int reported = FPosition;
    Scroll(scTrack, reported);
    Change();
  }
}

void TcxScrollBar::MouseMove(TShiftState AShift, int X, int Y) {
  TCustomControl::MouseMove(AShift, X, Y);
  const POINT p{X, Y};
  if (FState.PressedPart == sbpThumbnail) {
    TrackThumbnail(p);
    return;
  }
  const TcxScrollBarPart part = HitTest(p);
  if (FState.PressedPart != sbpNone) FTimer->SetEnabled(part == FState.PressedPart);
  if (part != FState.HotPart) {
    FState.HotPart = part;
    if (IsButtonHotTrack()) Redraw();
  }
}

void TcxScrollBar::MouseUp(TMouseButton AButton, TShiftState AShift, int X, int Y) {
  TCustomControl::MouseUp(AButton, AShift, X, Y);
  CancelScroll();
  FState.HotPart = HitTest({X, Y});
}

void TcxScrollBar::CancelScroll() {
  if (FState.PressedPart == sbpNone) return;
  if (FState.PressedPart == sbpThumbnail) {
    SetPosition(GetPositionFromThumbnail());
    int pos = FPosition;
    Scroll(scPosition, pos);
  }
  FTimer->SetEnabled(false);
  FState.PressedPart = sbpNone;
  FState.HotPart = sbpNone;
  int pos = FPosition;
  Scroll(scEndScroll, pos);
  FViewInfo->CalculateThumbnailRect();
  Invalidate();
}

TcxButtonState TcxScrollBar::GetPartState(TcxScrollBarPart APart) {
  if (!Enabled()) return cxbsDisabled;
  if (APart == sbpThumbnail && !GetPainter()->IsButtonHotTrack()) return cxbsNormal;
  if (APart != FState.HotPart) return cxbsNormal;
  if (FState.PressedPart == sbpNone) return (ComponentState() & csDesigning) ? cxbsNormal : cxbsHot;
  return APart == FState.PressedPart ? cxbsPressed : cxbsNormal;
}

void TcxScrollBar::DrawScrollBar(TcxCanvas& ACanvas) {
  DrawScrollBarBackground(ACanvas, {0, 0, Width(), Height()});
  DrawScrollBarPart(ACanvas, FViewInfo->TopLeftArrowRect(), sbpLineUp);
  DrawScrollBarPart(ACanvas, FViewInfo->BottomRightArrowRect(), sbpLineDown);
  if (IsRectEmptyBox(FViewInfo->ThumbnailRect())) return;
  DrawScrollBarPart(ACanvas, FViewInfo->ThumbnailRect(), sbpThumbnail);
  DrawScrollBarPart(ACanvas, FViewInfo->PageUpRect(), sbpPageUp);
  DrawScrollBarPart(ACanvas, FViewInfo->PageDownRect(), sbpPageDown);
}

void TcxScrollBar::DrawScrollBarBackground(TcxCanvas& ACanvas, const RECT& R) {
  GetPainter()->DrawScrollBarBackground(ACanvas, R, FKind == sbHorizontal);
}

void TcxScrollBar::DoDrawScrollBarPart(TcxCanvas& ACanvas, const RECT& R, TcxScrollBarPart APart,
                                       TcxButtonState AState) {
  GetPainter()->DrawScrollBarPart(ACanvas, FKind == sbHorizontal, R, APart, AState);
}

void TcxScrollBar::DrawScrollBarPart(TcxCanvas& ACanvas, const RECT& R, TcxScrollBarPart APart) {
  if (IsRectEmptyBox(R)) return;
  DoDrawScrollBarPart(ACanvas, R, APart, GetPartState(APart));
}

void TcxScrollBar::Paint() {
  if (Width() <= 0 || Height() <= 0) return;
  TcxBitmap bitmap(Width(), Height());
  DrawScrollBar(bitmap.cxCanvas());
  BitBlt(Canvas().Handle(), 0, 0, Width(), Height(), bitmap.Canvas().Handle(), 0, 0, SRCCOPY);
}

void TcxScrollBar::LookAndFeelChanged(TcxLookAndFeel*, TcxLookAndFeelValues) {
  if (FLookAndFeel->SkinPainter() && FRealCtl3D)
    StoreCtl3D(false);
  else
    StoreCtl3D(FRealCtl3D);
  FViewInfo->CalculateMinThumnailSize();
  FViewInfo->Calculate();
  Invalidate();
}

void TcxScrollBar::ThemeChanged() {
  FViewInfo->CalculateMinThumnailSize();
  FViewInfo->Calculate();
  PaintScrollBarPatternBitmaps();
  Invalidate();
  if (Parent()) Parent()->Realign();
}

void TcxScrollBar::WMEraseBkgnd(TMessage& Message) { Message.Result = 1; }

void TcxScrollBar::WMCancelMode(TMessage& Message) {
  TVK_INHERITED(Message);
  CancelScroll();
}

void TcxScrollBar::CNHScroll(TMessage& Message) { DoScroll(TScrollCode(LOWORD(Message.WParam))); }

void TcxScrollBar::CMVisibleChanged(TMessage& Message) {
  TVK_INHERITED(Message);
  if (!Visible()) CancelScroll();
}

void TcxScrollBar::CMEnabledChanged(TMessage& Message) {
  TVK_INHERITED(Message);
  if (!Enabled()) {
    FViewInfo->Calculate();
    CancelScroll();
  } else {
    FViewInfo->Calculate();
  }
}

void TcxScrollBar::CMMouseEnter(TMessage& Message) {
  if (IsButtonHotTrack() || (FState.PressedPart != sbpNone && FState.PressedPart != sbpThumbnail)) Redraw();
  TVK_INHERITED(Message);
}

void TcxScrollBar::CMMouseLeave(TMessage& Message) {
  if (FState.PressedPart != sbpThumbnail) {
    FState.HotPart = sbpNone;
    Redraw();
  }
  TVK_INHERITED(Message);
}

void TcxScrollBar::CMSysColorChange(TMessage& Message) {
  PaintScrollBarPatternBitmaps();
  TVK_INHERITED(Message);
}

void TcxScrollBar::CNCtlColorScrollBar(TMessage& Message) {
  PaintScrollBarPatternBitmaps();
  Message.Result = HandleAllocated() ? DefWindowProcW(Handle(), WM_CTLCOLORSCROLLBAR, Message.WParam, Message.LParam) : 0;
}

TVK_MESSAGE_MAP(TcxScrollBar, {WM_ERASEBKGND, &TcxScrollBar::WMEraseBkgnd},
                {WM_CANCELMODE, &TcxScrollBar::WMCancelMode}, {CN_HSCROLL, &TcxScrollBar::CNHScroll},
                {CN_VSCROLL, &TcxScrollBar::CNHScroll}, {CM_VISIBLECHANGED, &TcxScrollBar::CMVisibleChanged},
                {CM_ENABLEDCHANGED, &TcxScrollBar::CMEnabledChanged}, {CM_MOUSEENTER, &TcxScrollBar::CMMouseEnter},
                {CM_MOUSELEAVE, &TcxScrollBar::CMMouseLeave}, {CM_SYSCOLORCHANGE, &TcxScrollBar::CMSysColorChange},
                {CN_CTLCOLORSCROLLBAR, &TcxScrollBar::CNCtlColorScrollBar},
                {CM_CTL3DCHANGED, &TcxScrollBar::CMCtl3DChanged},
                {CM_PARENTCTL3DCHANGED, &TcxScrollBar::CMParentCtl3DChanged})

}  // namespace tvk
