#include "XPScrolls.h"

#include "XPControlUtils.h"
#include "XPGraphics.h"
#include "Themes.h"
#include "XPSystem.h"

#include <uxtheme.h>
#include <vssym32.h>

namespace tvk {

namespace {

constexpr TSkinRow kScrollSkinRows[] = {
    {L"SCROLLARROWS", TSkinKind::skBitmapHandle},
    {L"SCROLLARROWGLYPHS", TSkinKind::skBitmapHandle},
    {L"SCROLLSHAFTHORIZONTAL", TSkinKind::skBitmapHandle},
    {L"SCROLLSHAFTVERTICAL", TSkinKind::skBitmapHandle},
    {L"SCROLLTHUMBHORIZONTAL", TSkinKind::skBitmapHandle},
    {L"SCROLLTHUMBVERTICAL", TSkinKind::skBitmapHandle},
    {L"SCROLLTHUMBGRIPPERHORIZONTAL", TSkinKind::skBitmapHandle},
    {L"SCROLLTHUMBGRIPPERVERTICAL", TSkinKind::skBitmapHandle},
    {L"STDSCROLLPATTERN", TSkinKind::skAlphaTemplate},
};
TSkinCache gScrollSkins(kScrollSkinRows);

class TResourceManager {
public:
  static HBITMAP Arrows() { return gScrollSkins.BitmapHandle(0); }
  static HBITMAP ArrowGlyphs() { return gScrollSkins.BitmapHandle(1); }
  static HBITMAP Shaft(bool vertical) { return gScrollSkins.BitmapHandle(vertical ? 3 : 2); }
  static HBITMAP Thumb(bool vertical) { return gScrollSkins.BitmapHandle(vertical ? 5 : 4); }
  static HBITMAP ThumbGripper(bool vertical) { return gScrollSkins.BitmapHandle(vertical ? 7 : 6); }
  static TAlphaImage& ScrollPattern() { return gScrollSkins.AlphaImage(8); }
};

constexpr UINT kRepeatDelay = 200;
constexpr UINT kRepeatInterval = 30;
constexpr int kSkinCell = 17;
constexpr int kGlyphCell = 9;
constexpr int kGripperCell = 8;
constexpr int kGripperLength = 20;

// Hover states of the themed arrows (newer systems).
constexpr int kArrowHover[] = {17, 18, 19, 20};  // up, down, left, right

void SolidRect(HDC dc, const RECT& r, TColor brushColor, TColor penColor) {
  HBRUSH brush = CreateSolidBrush(ColorToRGB(brushColor));
  HPEN pen = CreatePen(PS_SOLID, 1, ColorToRGB(penColor));
  HGDIOBJ oldBrush = SelectObject(dc, brush), oldPen = SelectObject(dc, pen);
  Rectangle(dc, r.left, r.top, r.right, r.bottom);
  SelectObject(dc, oldBrush);
  SelectObject(dc, oldPen);
  DeleteObject(brush);
  DeleteObject(pen);
}

// A line along each long edge and the band between them filled.
void BandedRect(HDC dc, const RECT& r, bool vertical, TColor brushColor, TColor penColor) {
  HBRUSH fill = CreateSolidBrush(ColorToRGB(brushColor));
  HBRUSH line = CreateSolidBrush(ColorToRGB(penColor));
  RECT inner = r;
  if (vertical) {
    RECT a{r.left, r.top, r.left + 1, r.bottom}, b{r.right - 1, r.top, r.right, r.bottom};
    FillRect(dc, &a, line);
    FillRect(dc, &b, line);
    inner.left += 1;
    inner.right -= 1;
  } else {
    RECT a{r.left, r.top, r.right, r.top + 1}, b{r.left, r.bottom - 1, r.right, r.bottom};
    FillRect(dc, &a, line);
    FillRect(dc, &b, line);
    inner.top += 1;
    inner.bottom -= 1;
  }
  if (inner.right > inner.left && inner.bottom > inner.top) FillRect(dc, &inner, fill);
  DeleteObject(fill);
  DeleteObject(line);
}

// A glyph block of Bitmap, keyed on the bitmap's top-left pixel.
void GlyphBlit(HDC dc, HBITMAP bitmap, int x, int y, int width, int height, int srcX, int srcY) {
  if (!bitmap) return;
  HDC memory = CreateCompatibleDC(dc);
  HGDIOBJ old = SelectObject(memory, bitmap);
  TColor key = TColor(GetPixel(memory, 0, 0));
  TransparentBlit(dc, x, y, width, height, memory, srcX, srcY, key);
  SelectObject(memory, old);
  DeleteDC(memory);
}

}  // namespace

bool XPScrollsStartup() { return true; }
void XPScrollsShutdown() { gScrollSkins.Release(); }

TCustomXPScrollBar::TCustomXPScrollBar(TComponent* owner) : TXPCustomControl(owner), FBtnSize(GetScrollBarSize()) {
  SetBounds(Left(), Top(), 121, GetScrollBarSize());
  SetTabStop(true);
  SetControlStyle((ControlStyle() & ~TControlStyle(csSetCaption)) | csOpaque | csDisplayDragImage);
  FTimer = std::make_unique<TTimer>(nullptr);
  FTimer->SetEnabled(false);
  FTimer->SetOnTimer([this](TObject* sender) { TimerTick(sender); });
  FArrowImage = std::make_unique<TPicture>();
  FButtonImage = std::make_unique<TAlphaBitmap>();
  FThumbImage = std::make_unique<TAlphaBitmap>();
  FShaftImage = std::make_unique<TAlphaBitmap>();
  auto changed = [this](TObject* sender) { PictureChanged(sender); };
  FArrowImage->OnChange = changed;
  FButtonImage->OnChange = changed;
  FThumbImage->OnChange = changed;
  FShaftImage->OnChange = changed;
}

TCustomXPScrollBar::~TCustomXPScrollBar() {
  FTimer->SetEnabled(false);
  FArrowImage->OnChange = nullptr;
  FButtonImage->OnChange = nullptr;
  FThumbImage->OnChange = nullptr;
  FShaftImage->OnChange = nullptr;
}

void TCustomXPScrollBar::PictureChanged(TObject*) {
  if (FLookAndFeel == TXPLookAndFeel::xlfCustom) Invalidate();
}

void TCustomXPScrollBar::SetParams(int position, int min, int max) {
  if ((position == FPosition && min == FMin && max == FMax) || max < min) return;
  FMin = min;
  FMax = max;
  UpdateUsedMax();
  FPosition = std::clamp(position, FMin, std::max(FMin, FUsedMax));
  Change();
  Invalidate();
}

void TCustomXPScrollBar::SetPageSize(int value) {
  value = std::clamp(value, 0, std::max(0, FMax - FMin + 1));
  if (value == FPageSize) return;
  FPageSize = value;
  UpdateUsedMax();
  Invalidate();
}

void TCustomXPScrollBar::SetKind(TScrollBarKind value) {
  if (value == FKind) return;
  FKind = value;
  if (!Loading()) SetBounds(Left(), Top(), Height(), Width());
  Invalidate();
}

void TCustomXPScrollBar::SetBelongsToControl(bool value) {
  if (value == FBelongsToControl) return;
  FBelongsToControl = value;
  RecreateWnd();
}

void TCustomXPScrollBar::Change() {
  if (OnChange) OnChange(this);
}

void TCustomXPScrollBar::Scroll(TScrollCode scrollCode, int& pos) {
  if (OnScroll) OnScroll(this, scrollCode, pos);
}

void TCustomXPScrollBar::CreateParams(TCreateParams& params) {
  Inherited::CreateParams(params);
  if (GetThemeMode() == 0 && !FBelongsToControl) params.ExStyle |= WS_EX_STATICEDGE;
}

void TCustomXPScrollBar::CreateHandle() {
  Inherited::CreateHandle();
  UpdateButtonSize();
}

void TCustomXPScrollBar::SetBounds(int left, int top, int width, int height) {
  Inherited::SetBounds(left, top, width, height);
  UpdateButtonSize();
}

void TCustomXPScrollBar::RequestAlign() {
  Inherited::RequestAlign();
  switch (Align()) {
    case TAlign::alTop:
    case TAlign::alBottom: FKind = TScrollBarKind::sbHorizontal; break;
    case TAlign::alLeft:
    case TAlign::alRight: FKind = TScrollBarKind::sbVertical; break;
    default: break;
  }
}

// ---- Geometry

RECT TCustomXPScrollBar::Along(int from, int to, int acrossFrom, int acrossTo) const {
  return Vertical() ? RECT{acrossFrom, from, acrossTo, to} : RECT{from, acrossFrom, to, acrossTo};
}

void TCustomXPScrollBar::UpdateButtonSize() {
  if (!HandleAllocated()) return;
  FBtnSize = Length() < 2 * Thickness() ? Length() / 2 : Thickness();
  Invalidate();
}

int TCustomXPScrollBar::ThumbStart() {
  int track = Length() - 2 * FBtnSize;
  TrackThumbSize = std::max(MulDiv(FPageSize, track, FMax - FMin + 1), Thickness());
  if (FMin == FUsedMax) return FBtnSize;
  return FBtnSize + MulDiv(FPosition - FMin, track - TrackThumbSize, FUsedMax - FMin);
}

RECT TCustomXPScrollBar::StartButtonRect() { return Along(0, FBtnSize, 0, Thickness()); }

RECT TCustomXPScrollBar::EndButtonRect() { return Along(Length() - FBtnSize, Length(), 0, Thickness()); }

RECT TCustomXPScrollBar::ThumbRect() {
  int start = ThumbStart();
  return Along(start, start + TrackThumbSize, 0, Thickness());
}

RECT TCustomXPScrollBar::BeforeThumbRect() { return Along(FBtnSize, ThumbStart(), 0, Thickness()); }

RECT TCustomXPScrollBar::AfterThumbRect() {
  int start = ThumbStart();
  return Along(start + TrackThumbSize, Length() - FBtnSize, 0, Thickness());
}

RECT TCustomXPScrollBar::GripperRect() {
  int start = ThumbStart();
  int middle = start + TrackThumbSize / 2;
  int across = Thickness();
  return Along(middle - kGripperLength / 2, middle + kGripperLength / 2, across / 4, across * 3 / 4);
}

RECT TCustomXPScrollBar::ElementRect(TXPScrollElem element) {
  switch (element) {
    case TXPScrollElem::pseStartButton: return StartButtonRect();
    case TXPScrollElem::pseBeforeThumb: return BeforeThumbRect();
    case TXPScrollElem::pseThumb: return ThumbRect();
    case TXPScrollElem::pseAfterThumb: return AfterThumbRect();
    case TXPScrollElem::pseEndButton: return EndButtonRect();
    default: return RECT{};
  }
}

// ---- Hit test, repeat and steps

void TCustomXPScrollBar::UpdateHotElement(POINT point) {
  static constexpr TXPScrollElem kOrder[] = {TXPScrollElem::pseStartButton, TXPScrollElem::pseEndButton,
                                             TXPScrollElem::pseBeforeThumb, TXPScrollElem::pseAfterThumb,
                                             TXPScrollElem::pseThumb};
  HotXPScrollElem = TXPScrollElem::pseNone;
  for (TXPScrollElem element : kOrder) {
    RECT r = ElementRect(element);
    if (PtInRect(&r, point)) {
      HotXPScrollElem = element;
      break;
    }
  }
  Invalidate();
  if (PressedXPScrollElem == TXPScrollElem::pseThumb) return;
  bool inside = false;
  if (PressedXPScrollElem != TXPScrollElem::pseNone && FGetRectFunc) {
    RECT r = (this->*FGetRectFunc)();
    inside = PtInRect(&r, point) != 0;
  }
  FTimer->SetEnabled(false);
  if (inside) {
    // One step at once, then the delay before the repetition.
    DoScroll(FTimerCode);
    FTimer->SetInterval(kRepeatDelay);
    FTimer->SetEnabled(true);
  }
}

void TCustomXPScrollBar::UpdateHotElementAtCursor() {
  POINT cursor{};
  GetCursorPos(&cursor);
  UpdateHotElement(ScreenToClient(cursor));
}

void TCustomXPScrollBar::DoScroll(TScrollCode scrollCode) {
  FTimer->SetInterval(kRepeatInterval);
  int pos = FPosition;
  switch (scrollCode) {
    case TScrollCode::scLineUp: pos -= FSmallChange; break;
    case TScrollCode::scLineDown: pos += FSmallChange; break;
    case TScrollCode::scPageUp: pos -= FLargeChange; break;
    case TScrollCode::scPageDown: pos += FLargeChange; break;
    case TScrollCode::scTop: pos = FMin; break;
    case TScrollCode::scBottom: pos = FUsedMax; break;
    default: break;
  }
  pos = std::clamp(pos, FMin, std::max(FMin, FUsedMax));
  Scroll(scrollCode, pos);
  SetPosition(pos);
}

int TCustomXPScrollBar::ElementState(TXPScrollElem element) {
  if (!Enabled()) return 3;
  if (element == PressedXPScrollElem) return 2;
  if (element == HotXPScrollElem) return 1;
  return 0;
}

// ---- Mouse and keys

void TCustomXPScrollBar::WMLButtonDown(TMessage& message) {
  TVK_INHERITED(message);
  auto* owner = dynamic_cast<TWinControl*>(Owner());
  if (FBelongsToControl && owner) {
    if (owner->CanFocus()) owner->SetFocus();
  } else if (CanFocus()) {
    SetFocus();
  }
  SetCapture(Handle());
  POINT point{short(LOWORD(message.LParam)), short(HIWORD(message.LParam))};
  struct TPress {
    TXPScrollElem Element;
    TGetRectFunc Rect;
    TScrollCode Code;
  };
  static constexpr TPress kPresses[] = {
      {TXPScrollElem::pseStartButton, &TCustomXPScrollBar::StartButtonRect, TScrollCode::scLineUp},
      {TXPScrollElem::pseEndButton, &TCustomXPScrollBar::EndButtonRect, TScrollCode::scLineDown},
      {TXPScrollElem::pseBeforeThumb, &TCustomXPScrollBar::BeforeThumbRect, TScrollCode::scPageUp},
      {TXPScrollElem::pseAfterThumb, &TCustomXPScrollBar::AfterThumbRect, TScrollCode::scPageDown},
  };
  PressedXPScrollElem = TXPScrollElem::pseThumb;
  FGetRectFunc = nullptr;
  for (const TPress& press : kPresses) {
    RECT r = (this->*press.Rect)();
    if (PtInRect(&r, point)) {
      PressedXPScrollElem = press.Element;
      FGetRectFunc = press.Rect;
      FTimerCode = press.Code;
      break;
    }
  }
  if (PressedXPScrollElem == TXPScrollElem::pseThumb)
    TrackThumbStart = FBtnSize + ((Vertical() ? point.y : point.x) - ThumbStart());
  UpdateHotElement(point);
}

void TCustomXPScrollBar::WMMouseMove(TMessage& message) {
  TVK_INHERITED(message);
  POINT point{short(LOWORD(message.LParam)), short(HIWORD(message.LParam))};
  UpdateHotElement(point);
  if (PressedXPScrollElem != TXPScrollElem::pseThumb) return;
  ThumbStart();  // the thumb length of the present values
  int d = 2 * FBtnSize + TrackThumbSize;
  int coordinate = Vertical() ? point.y : point.x;
  int pos = Length() == d ? FMin : FMin + MulDiv(coordinate - TrackThumbStart, FUsedMax - FMin, Length() - d);
  int old = FPosition;
  SetPosition(pos);
  if (FPosition != old) DoScroll(TScrollCode::scTrack);
}

void TCustomXPScrollBar::WMLButtonUp(TMessage& message) {
  if (GetCapture() == Handle()) ReleaseCapture();
  if (PressedXPScrollElem == TXPScrollElem::pseThumb) DoScroll(TScrollCode::scPosition);
  PressedXPScrollElem = TXPScrollElem::pseNone;
  FGetRectFunc = nullptr;
  UpdateHotElement(POINT{short(LOWORD(message.LParam)), short(HIWORD(message.LParam))});
  DoScroll(TScrollCode::scEndScroll);
  TVK_INHERITED(message);
}

void TCustomXPScrollBar::WMLButtonDblClk(TMessage& message) {
  TMessage up = message, down = message;
  up.Msg = WM_LBUTTONUP;
  down.Msg = WM_LBUTTONDOWN;
  WMLButtonUp(up);
  WMLButtonDown(down);
  TVK_INHERITED(message);
}

namespace {

struct TScrollKey {
  WORD Key;
  TScrollCode Code;
};
constexpr TScrollKey kScrollKeys[] = {
    {VK_PRIOR, TScrollCode::scPageUp},   {VK_NEXT, TScrollCode::scPageDown}, {VK_END, TScrollCode::scBottom},
    {VK_HOME, TScrollCode::scTop},       {VK_LEFT, TScrollCode::scLineUp},   {VK_UP, TScrollCode::scLineUp},
    {VK_RIGHT, TScrollCode::scLineDown}, {VK_DOWN, TScrollCode::scLineDown},
};

const TScrollKey* FindScrollKey(WPARAM key) {
  for (const TScrollKey& row : kScrollKeys)
    if (row.Key == key) return &row;
  return nullptr;
}

}  // namespace

void TCustomXPScrollBar::WMKeyDown(TMessage& message) {
  if (const TScrollKey* row = FindScrollKey(message.WParam)) {
    DoScroll(row->Code);
    return;
  }
  TVK_INHERITED(message);
}

void TCustomXPScrollBar::WMKeyUp(TMessage& message) {
  TVK_INHERITED(message);
  if (FindScrollKey(message.WParam)) DoScroll(TScrollCode::scEndScroll);
}

void TCustomXPScrollBar::WMGetDlgCode(TMessage& message) {
  TVK_INHERITED(message);
  message.Result |= DLGC_WANTARROWS;
}

void TCustomXPScrollBar::CMMouseEnter(TMessage& message) {
  TVK_INHERITED(message);
  if (HandleAllocated()) UpdateHotElementAtCursor();
}

void TCustomXPScrollBar::CMMouseLeave(TMessage& message) {
  TVK_INHERITED(message);
  if (HandleAllocated()) UpdateHotElementAtCursor();
}

void TCustomXPScrollBar::CMEnabledChanged(TMessage& message) {
  TVK_INHERITED(message);
  Invalidate();
}

TVK_MESSAGE_MAP(TCustomXPScrollBar, {WM_LBUTTONDOWN, &TCustomXPScrollBar::WMLButtonDown},
                {WM_LBUTTONUP, &TCustomXPScrollBar::WMLButtonUp},
                {WM_LBUTTONDBLCLK, &TCustomXPScrollBar::WMLButtonDblClk},
                {WM_MOUSEMOVE, &TCustomXPScrollBar::WMMouseMove}, {WM_KEYDOWN, &TCustomXPScrollBar::WMKeyDown},
                {WM_KEYUP, &TCustomXPScrollBar::WMKeyUp}, {WM_GETDLGCODE, &TCustomXPScrollBar::WMGetDlgCode},
                {CM_MOUSEENTER, &TCustomXPScrollBar::CMMouseEnter},
                {CM_MOUSELEAVE, &TCustomXPScrollBar::CMMouseLeave},
                {CM_ENABLEDCHANGED, &TCustomXPScrollBar::CMEnabledChanged})

// ---- Painting

void TCustomXPScrollBar::Paint() {
  if (!IsCustomLook() && GetThemeMode() == 2) {
    PaintThemed();
    return;
  }
  DrawShaft(BeforeThumbRect(), ElementState(TXPScrollElem::pseBeforeThumb));
  DrawShaft(AfterThumbRect(), ElementState(TXPScrollElem::pseAfterThumb));
  DrawThumb(ThumbRect(), ElementState(TXPScrollElem::pseThumb));
  DrawButton(StartButtonRect(), ElementState(TXPScrollElem::pseStartButton), Vertical() ? 0 : 8, true);
  DrawButton(EndButtonRect(), ElementState(TXPScrollElem::pseEndButton), Vertical() ? 4 : 12, false);
}

void TCustomXPScrollBar::PaintThemed() {
  HDC dc = Canvas().Handle();
  const TThemeHandle theme(HandleAllocated() ? Handle() : nullptr, L"SCROLLBAR");
  if (!theme) {
    // No theme to draw with: the classic frame controls.
    RECT client = ClientRect();
    FillRect(dc, &client, GetSysColorBrush(COLOR_SCROLLBAR));
    DrawButton(StartButtonRect(), ElementState(TXPScrollElem::pseStartButton), Vertical() ? 0 : 8, true);
    DrawButton(EndButtonRect(), ElementState(TXPScrollElem::pseEndButton), Vertical() ? 4 : 12, false);
    return;
  }
  bool vertical = Vertical();
  auto draw = [&](int part, int state, const RECT& r) {
    if (r.right > r.left && r.bottom > r.top) ThemeBackground(theme, dc, part, state, r);
  };
  draw(vertical ? SBP_UPPERTRACKVERT : SBP_UPPERTRACKHORZ, ElementState(TXPScrollElem::pseBeforeThumb) + 1,
       BeforeThumbRect());
  draw(vertical ? SBP_LOWERTRACKVERT : SBP_LOWERTRACKHORZ, ElementState(TXPScrollElem::pseAfterThumb) + 1,
       AfterThumbRect());
  if (Enabled()) {
    int state = ElementState(TXPScrollElem::pseThumb) + 1;
    draw(vertical ? SBP_THUMBBTNVERT : SBP_THUMBBTNHORZ, state, ThumbRect());
    draw(vertical ? SBP_GRIPPERVERT : SBP_GRIPPERHORZ, state, GripperRect());
  } else {
    draw(vertical ? SBP_UPPERTRACKVERT : SBP_UPPERTRACKHORZ, SCRBS_DISABLED, ThumbRect());
  }
  draw(SBP_ARROWBTN, ArrowThemeState(true), StartButtonRect());
  draw(SBP_ARROWBTN, ArrowThemeState(false), EndButtonRect());
}

int TCustomXPScrollBar::ArrowThemeState(bool isStart) {
  int arrowIndex = (Vertical() ? 0 : 8) + (isStart ? 0 : 4);
  TXPScrollElem hot = HotXPScrollElem;
  int state = ElementState(isStart ? TXPScrollElem::pseStartButton : TXPScrollElem::pseEndButton);
  bool elsewhere = isStart ? hot > TXPScrollElem::pseStartButton
                           : hot != TXPScrollElem::pseNone && hot != TXPScrollElem::pseEndButton;
  if (state == 0 && elsewhere && IsVistaOrLater()) return kArrowHover[arrowIndex / 4];
  return arrowIndex + state + 1;
}

void TCustomXPScrollBar::DrawShaft(const RECT& rect, int state) {
  if (rect.right <= rect.left || rect.bottom <= rect.top) return;
  HDC dc = Canvas().Handle();
  bool vertical = Vertical();
  RECT inner = vertical ? RECT{1, 0, 16, 17} : RECT{0, 1, 17, 16};
  RECT cell{0, state * kSkinCell, kSkinCell, state * kSkinCell + kSkinCell};
  if (FLookAndFeel == TXPLookAndFeel::xlfCustom) {
    if (FShaftImage->Empty()) {
      if (state == 3)
        BandedRect(dc, rect, vertical, SubstBtnHighlightColor, SubstBtnShadowColor);
      else
        BandedRect(dc, rect, vertical, FShaftColor, FFrameColor);
    } else {
      DrawSkinBitmap(rect, inner, cell, dc, FShaftImage->Handle(), false);
    }
    return;
  }
  switch (GetThemeMode()) {
    case 0:
      if (state == 2) {
        FillRect(dc, &rect, static_cast<HBRUSH>(GetStockObject(BLACK_BRUSH)));
      } else {
        HBRUSH pattern = CreatePatternBrush(TResourceManager::ScrollPattern().Handle());
        FillRect(dc, &rect, pattern);
        DeleteObject(pattern);
      }
      break;
    case 1: DrawSkinBitmap(rect, inner, cell, dc, TResourceManager::Shaft(vertical), false); break;
    default: break;
  }
}

void TCustomXPScrollBar::DrawButton(const RECT& rect, int state, int arrowIndex, bool isStart) {
  HDC dc = Canvas().Handle();
  RECT cell{0, state * kSkinCell, kSkinCell, state * kSkinCell + kSkinCell};
  if (FLookAndFeel == TXPLookAndFeel::xlfNative) {
    if (GetThemeMode() == 1) {
      DrawSkinBitmap(rect, RECT{5, 5, 12, 12}, cell, dc, TResourceManager::Arrows(), false);
      GlyphBlit(dc, TResourceManager::ArrowGlyphs(), (rect.left + rect.right - kGlyphCell) / 2,
                (rect.top + rect.bottom - kGlyphCell) / 2, kGlyphCell, kGlyphCell, 0,
                (state + arrowIndex) * kGlyphCell);
      return;
    }
    static constexpr UINT kArrows[] = {DFCS_SCROLLUP, DFCS_SCROLLDOWN, DFCS_SCROLLLEFT, DFCS_SCROLLRIGHT};
    static constexpr UINT kStates[] = {0, DFCS_HOT, DFCS_PUSHED, DFCS_INACTIVE};
    RECT r = rect;
    DrawFrameControl(dc, &r, DFC_SCROLL, kArrows[(arrowIndex / 4) & 3] | kStates[state & 3]);
    return;
  }
  if (FButtonImage->Empty()) {
    TColor brush = state == 0 ? FButtonColor : state == 3 ? SubstBtnHighlightColor : FHotButtonColor;
    SolidRect(dc, rect, brush, state == 3 ? SubstBtnShadowColor : FFrameColor);
  } else {
    DrawSkinBitmap(rect, RECT{5, 5, 12, 12}, cell, dc, FButtonImage->Handle(), false);
  }
  TGraphic* arrows = FArrowImage->Graphic();
  if (!arrows || arrows->Empty()) return;
  int w = arrows->Width(), h = arrows->Height();
  bool across = w > h;
  int size = across ? h : w;
  int index = state + (isStart ? 0 : 4) + (Vertical() ? 0 : 8);
  int x = (rect.left + rect.right - size) / 2, y = (rect.top + rect.bottom - size) / 2;
  // The strip drawn shifted so that only the wanted cell shows.
  int saved = SaveDC(dc);
  IntersectClipRect(dc, x, y, x + size, y + size);
  RECT whole = across ? RECT{x - index * size, y, x - index * size + w, y + h}
                      : RECT{x, y - index * size, x + w, y - index * size + h};
  Canvas().StretchDraw(whole, *arrows);
  RestoreDC(dc, saved);
}

void TCustomXPScrollBar::DrawThumb(const RECT& rect, int state) {
  HDC dc = Canvas().Handle();
  bool vertical = Vertical();
  int cw = vertical ? 15 : 22, ch = vertical ? 22 : 15;
  RECT cell{0, state * ch, cw, state * ch + ch};
  RECT inner{5, 5, cw - 5, ch - 5};
  if (FLookAndFeel == TXPLookAndFeel::xlfNative) {
    int mode = GetThemeMode();
    if (mode == 1) {
      DrawSkinBitmap(rect, inner, cell, dc, TResourceManager::Thumb(vertical), false);
      GlyphBlit(dc, TResourceManager::ThumbGripper(vertical), (rect.left + rect.right - kGripperCell) / 2,
                (rect.top + rect.bottom - kGripperCell) / 2, kGripperCell, kGripperCell, 0, state * kGripperCell);
    } else if (mode == 0) {
      if (state == 3) {
        DrawShaft(rect, state);
      } else {
        // Classic thumbs never look pushed.
        static constexpr UINT kStates[] = {0, DFCS_HOT, DFCS_HOT, DFCS_INACTIVE};
        RECT r = rect;
        DrawFrameControl(dc, &r, DFC_BUTTON, DFCS_BUTTONPUSH | kStates[state & 3]);
      }
    }
    return;
  }
  if (FThumbImage->Empty()) {
    TColor brush = state == 0 ? FButtonColor : state == 3 ? SubstBtnHighlightColor : FHotButtonColor;
    BandedRect(dc, rect, vertical, brush, state == 3 ? SubstBtnShadowColor : FFrameColor);
  } else {
    DrawSkinBitmap(rect, inner, cell, dc, FThumbImage->Handle(), false);
  }
}

}  // namespace tvk
