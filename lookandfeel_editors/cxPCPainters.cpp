#include "cxPCPainters.h"

#include "cxLookAndFeels.h"
#include "cxPCViewInfo.h"
#include "dxCore.h"
#include "dxOffice11.h"
#include "dxUxTheme.h"

#include <algorithm>
#include <cmath>

namespace tvk {

// ---- Platform answers, shared colours and colour arithmetic

namespace {
bool PCVistaOrLater() { return IsWinVistaOrLater; }
bool PCWin7OrLater() { return IsWin7OrLater; }
bool VistaOrLater() { return cxPCPlatformQueries().VistaOrLater(); }
bool Win7OrLater() { return cxPCPlatformQueries().Win7OrLater(); }

TColor gLightButtonFaceColor = clBtnFace;
TcxOneNoteColors gOneNoteColors{clBtnShadow, clBtnShadow, TColor(0x6A240A), clBtnFace};
std::unique_ptr<TcxPaletteChangedNotifier> gPaletteNotifier;
int gOneNoteColorsPrepared = 0;

TColor ComputeLightButtonFaceColor() {
  const COLORREF face = ColorToRGB(clBtnFace);
  auto raise = [](int AChannel) { return AChannel + 20 >= 256 ? 255 : AChannel + 20; };
  return TColor(RGB(raise(GetRValue(face)), raise(GetGValue(face)), raise(GetBValue(face))));
}
}  // namespace

TcxPCPlatformQueries& cxPCPlatformQueries() {
  static TcxPCPlatformQueries queries{&PCVistaOrLater, &PCWin7OrLater};
  return queries;
}

TColor LightButtonFaceColor() { return gLightButtonFaceColor; }
const TcxOneNoteColors& OneNoteColors() { return gOneNoteColors; }
bool IsPCPaletteNotifierPresent() { return gPaletteNotifier != nullptr; }
int OneNoteColorsPreparedCount() { return gOneNoteColorsPrepared; }

void PrepareOneNoteColors() {
  // Frame, inactive outline, hot outline, inactive tint by scheme (blue, olive, silver).
  static constexpr TcxOneNoteColors kSchemes[] = {
      {TColor(RGB(59, 97, 156)), TColor(RGB(0, 53, 154)), TColor(RGB(0, 0, 128)), TColor(RGB(117, 166, 241))},
      {TColor(RGB(96, 128, 88)), TColor(RGB(96, 119, 107)), TColor(RGB(63, 93, 56)), TColor(RGB(176, 194, 140))},
      {TColor(RGB(124, 124, 148)), TColor(RGB(118, 116, 146)), TColor(RGB(75, 75, 111)), TColor(RGB(186, 185, 206))}};
  ++gOneNoteColorsPrepared;
  const int scheme = GetOffice11ColorScheme();
  if (scheme >= 1 && scheme <= 3)
    gOneNoteColors = kSchemes[scheme - 1];
  else
    gOneNoteColors = {clBtnShadow, clBtnShadow, TColor(RGB(10, 36, 106)), clBtnFace};
}

void TcxPaletteChangedNotifier::NotifyPaletteChange() {
  Inherited::NotifyPaletteChange();
  PrepareOneNoteColors();
}

TcxHSB ColorToHSB(TColor AColor) {
  const COLORREF c = ColorToRGB(AColor);
  const long double r = GetRValue(c), g = GetGValue(c), b = GetBValue(c);
  const long double mx = std::max({r, g, b}), mn = std::min({r, g, b});
  TcxHSB result{0, 0, mx * 100 / 255};
  result.S = mx == 0 ? 0 : 100 - mn * 100 / mx;
  if (result.S == 0) return result;
  const long double d = mx - mn;
  if (r == mx)
    result.H = (g - b) * 60 / d;
  else if (g == mx)
    result.H = (b - r) * 60 / d + 120;
  else
    result.H = (r - g) * 60 / d + 240;
  if (result.H < 0) result.H += 360;
  return result;
}

TColor HSBToColor(const TcxHSB& A) {
  if (A.B == 0) return clBlack;
  const long double M = A.B * 255 / 100, m = M * (100 - A.S) / 100, d = M - m, h = A.H;
  long double r, g, b;
  if (h <= 60) {
    r = M, g = m + d * h / 60, b = m;
  } else if (h <= 120) {
    r = M - d * (h - 60) / 60, g = M, b = m;
  } else if (h <= 180) {
    r = m, g = M, b = m + d * (h - 120) / 60;
  } else if (h <= 240) {
    r = m, g = M - d * (h - 180) / 60, b = M;
  } else if (h <= 300) {
    r = m + d * (h - 240) / 60, g = m, b = M;
  } else {
    r = M, g = m, b = M - d * (h - 300) / 60;
  }
  // Nearest integer, ties to even (the default rounding mode).
  auto channel = [](long double v) { return int(std::nearbyintl(v)); };
  return TColor(channel(r) + channel(g) * 256 + channel(b) * 65536);
}

TColor RaiseColorBrightness(TColor AColor, int APercent) {
  TcxHSB hsb = ColorToHSB(AColor);
  hsb.B = std::min<long double>(hsb.B * (100 + APercent) / 100, 100);
  return HSBToColor(hsb);
}

void cxPCPaintersUnitStart() {
  gLightButtonFaceColor = ComputeLightButtonFaceColor();
  PrepareOneNoteColors();
  gPaletteNotifier = std::make_unique<TcxPaletteChangedNotifier>(true);
  for (int i = 0; i < cxPCRegisteredPainterCount; ++i) RegisterPainterClass(RegisteredPCPainterClasses()[i]);
}

void cxPCPaintersUnitStop() {
  for (int i = 0; i < cxPCRegisteredPainterCount; ++i) UnregisterPainterClass(RegisteredPCPainterClasses()[i]);
  gPaletteNotifier.reset();
}

// ---- Registry answers

TcxLookAndFeelStyle GetTabPainterStyle(TcxLookAndFeel* ALookAndFeel) {
  TcxCustomLookAndFeelPainter* painter = ALookAndFeel ? ALookAndFeel->GetAvailablePainter(totTab) : nullptr;
  return painter ? painter->LookAndFeelStyle() : lfsSkin;
}

bool TcxPCTabsPainter::HasLookAndFeel(TcxPCPainterClass, TcxLookAndFeel* ALookAndFeel) {
  const TcxLookAndFeelStyle style = GetTabPainterStyle(ALookAndFeel);
  return style == lfsStandard || style == lfsNative;
}

bool TcxPCTabsPainter::IsDefault(TcxPCPainterClass, TcxLookAndFeel* ALookAndFeel) {
  return ALookAndFeel && ALookAndFeel->NativeStyle();
}

bool TcxPCUltraFlatPainter::HasLookAndFeel(TcxPCPainterClass, TcxLookAndFeel* ALookAndFeel) {
  return GetTabPainterStyle(ALookAndFeel) == lfsUltraFlat;
}

bool TcxPCFlatPainter::HasLookAndFeel(TcxPCPainterClass, TcxLookAndFeel* ALookAndFeel) {
  return GetTabPainterStyle(ALookAndFeel) == lfsFlat;
}

bool TcxPCOffice11Painter::HasLookAndFeel(TcxPCPainterClass, TcxLookAndFeel* ALookAndFeel) {
  return ALookAndFeel && !ALookAndFeel->SkinPainter() && GetTabPainterStyle(ALookAndFeel) == lfsOffice11;
}

namespace {
TcxCustomLookAndFeelPainter* RegisteredLookAndFeelPainter(TcxLookAndFeelStyle AStyle) {
  TcxCustomLookAndFeelPainter* painter = nullptr;
  if (TcxLookAndFeelPaintersManager* manager = cxLookAndFeelPaintersManager()) manager->GetPainter(AStyle, painter);
  return painter;
}

// A rectangle's sides as one-pixel strips.
RECT LeftSide(const RECT& R) { return {R.left, R.top, R.left + 1, R.bottom}; }
RECT TopSide(const RECT& R) { return {R.left, R.top, R.right, R.top + 1}; }
RECT RightSide(const RECT& R) { return {R.right - 1, R.top, R.right, R.bottom}; }
RECT BottomSide(const RECT& R) { return {R.left, R.bottom - 1, R.right, R.bottom}; }

RECT Inflated(RECT R, int D) {
  InflateRect(&R, D, D);
  return R;
}

// The three sides of R away from the page moved in by D, written for APosition.
RECT ShrinkAwayFromPage(const RECT& R, int D, TcxTabPosition APosition) {
  return DeflateRectForPosition(R, {D, D, D, 0}, APosition);
}
}  // namespace

// ---- TcxPCStandardPainter

namespace {
struct TStandardOffsets {
  RECT Image, Text;
  TcxPCDistance Content, LongText;
};
// By standard style, then normal and active look.
constexpr TStandardOffsets kStandardOffsets[3][2] = {
    {{{6, 1, 0, 0}, {5, 1, 5, -1}, {2, 2}, {2, 2}}, {{8, 1, 0, 3}, {5, 1, 5, 2}, {4, 4}, {4, 4}}},
    {{{6, -1, 0, 1}, {6, 0, 4, 1}, {3, 3}, {3, 3}}, {{7, -1, 0, 1}, {6, 0, 4, 1}, {3, 3}, {3, 3}}},
    {{{6, -1, 0, 1}, {6, 0, 4, 1}, {2, 2}, {2, 2}}, {{7, -1, 0, 1}, {6, 0, 4, 1}, {4, 2}, {3, 2}}}};

// Navigator button lengths by kind: tabs on top or bottom, on the left or right.
constexpr int kNavigatorButtonLengths[2][4] = {{20, 20, 12, 20}, {20, 20, 13, 20}};

// Go-dialog menu corner by tab position and navigator position: right?, bottom?
struct TCorner {
  bool Right, Bottom;
};
constexpr TCorner kGoDialogCorners[4][4] = {
    {{false, false}, {false, false}, {true, false}, {true, false}},
    {{false, true}, {false, true}, {true, true}, {true, true}},
    {{false, false}, {false, true}, {false, false}, {false, true}},
    {{true, false}, {true, true}, {true, false}, {true, true}}};

// Fixed glyph corners: arrows by direction, then close, then the go-dialog across and along.
constexpr POINT kFixedArrowCorners[4] = {{5, 7}, {5, 7}, {6, 5}, {8, 5}};

// Arrow triangles of unit size by direction.
constexpr POINT kArrowTriangles[4][3] = {
    {{0, 1}, {1, 0}, {2, 1}}, {{0, 0}, {2, 0}, {1, 1}}, {{0, 1}, {1, 0}, {1, 2}}, {{0, 0}, {1, 1}, {0, 2}}};

struct TSegment {
  POINT A, B;
};
constexpr TSegment kBoldCross[] = {{{1, 0}, {8, 7}}, {{0, 0}, {8, 8}}, {{0, 1}, {7, 8}},
                                   {{0, 7}, {7, 0}}, {{0, 8}, {8, 0}}, {{1, 8}, {8, 1}}};
constexpr TSegment kThinCrossHorizontal[] = {{{1, 0}, {7, 6}}, {{0, 0}, {6, 6}}, {{0, 6}, {6, 0}}, {{1, 6}, {7, 0}}};
constexpr TSegment kThinCrossVertical[] = {{{0, 0}, {6, 6}}, {{0, 1}, {6, 7}}, {{0, 6}, {6, 0}}, {{0, 7}, {6, 1}}};

// Button frames: outer and inner line, each left-top / right-bottom.
struct TFrameLines {
  TColor OuterLT, OuterRB, InnerLT, InnerRB;
};
constexpr TFrameLines kRaisedFrame{cl3DLight, cl3DDkShadow, clBtnHighlight, clBtnShadow};
constexpr TFrameLines kSunkenFrame{clBtnShadow, clBtnHighlight, cl3DDkShadow, cl3DLight};
}  // namespace

TcxTabPosition TcxPCStandardPainter::Position() const { return ViewInfo()->TabPosition(); }
bool TcxPCStandardPainter::IsHorizontalTabs() const { return Position() == tpTop || Position() == tpBottom; }
bool TcxPCStandardPainter::HasGradientOption() const { return ViewInfo()->Options() & (1u << pcoGradient); }

int TcxPCStandardPainter::MeasureTabWidthFromContent(int ATab) {
  TcxTabViewInfo* tab = GetTabViewInfo(ATab);
  int width = GetTabWidthWithoutText(ATab);
  if (tab->HasCaption()) width += MeasureTabCaptionWidth(ATab);
  tab->CorrectTabNormalWidth(width);
  return width;
}

void TcxPCStandardPainter::GetNavigatorGlyphParams(TcxPCNavigatorButton, TcxPCNavigatorButtonState AState,
                                                   TcxPCNavigatorGlyphParams& AParams) {
  AParams.FillColor = AParams.LineColor = GetNavigatorGlyphColor(AState);
  AParams.Enabled = ViewInfo()->IsEnabled() && AState != nbsDisabled;
  AParams.Thin = false;
}

int TcxPCStandardPainter::GetNavigatorButtonsLength() {
  int length = 0;
  const int count = ViewInfo()->NavigatorButtonCount();
  for (int i = 0; i < count; ++i) {
    const TcxPCNavigatorButton kind = ViewInfo()->NavigatorButtonInfos(i)->ButtonType();
    length += GetNavigatorButtonLength(kind);
    if (i + 1 < count) length += GetNavigatorButtonsDistance(kind, ViewInfo()->NavigatorButtonInfos(i + 1)->ButtonType());
  }
  return length;
}

void TcxPCStandardPainter::CalculateNavigatorArea(TcxPCNavigatorButtons) {
  const int t = GetNavigatorButtonThickness(), w = GetNavigatorButtonsLength();
  const int width = ViewInfo()->Width(), height = ViewInfo()->Height();
  const TcxPCNavigatorPosition np = ViewInfo()->NavigatorPosition();
  if (IsHorizontalTabs()) {
    const int left = np == npLeftTop || np == npLeftBottom ? GetNavigatorEndOffset() : width - w - GetNavigatorEndOffset();
    const int top = Position() == tpTop ? GetNavigatorEdgeOffset() : height - t - GetNavigatorEdgeOffset();
    FButtonsRect = {left, top, left + w, top + t};
  } else {
    const int left = Position() == tpLeft ? GetNavigatorEdgeOffset() : width - t - GetNavigatorEdgeOffset();
    const int top = np == npLeftTop || np == npRightTop ? GetNavigatorEndOffset() : height - w - GetNavigatorEndOffset();
    FButtonsRect = {left, top, left + t, top + w};
  }
}

void TcxPCStandardPainter::PlaceNavigatorButtons(TcxPCNavigatorButtons AButtons) {
  if (AButtons == 0) {
    ViewInfo()->SetNavigatorButtons(0);
    return;
  }
  CalculateNavigatorArea(AButtons);
  const bool horizontal = IsHorizontalTabs();
  const int thickness = GetNavigatorButtonThickness();
  int along = horizontal ? FButtonsRect.left : FButtonsRect.top;
  const int count = ViewInfo()->NavigatorButtonCount();
  for (int i = 0; i < count; ++i) {
    TcxPCNavigatorButtonViewInfo* button = ViewInfo()->NavigatorButtonInfos(i);
    const TcxPCNavigatorButton kind = button->ButtonType();
    const int length = GetNavigatorButtonLength(kind);
    button->SetBounds(horizontal ? RECT{along, FButtonsRect.top, along + length, FButtonsRect.top + thickness}
                                 : RECT{FButtonsRect.left, along, FButtonsRect.left + thickness, along + length});
    along += length;
    if (i + 1 < count) along += GetNavigatorButtonsDistance(kind, ViewInfo()->NavigatorButtonInfos(i + 1)->ButtonType());
  }
}

int TcxPCStandardPainter::GetNavigatorAreaLength(TcxPCNavigatorButtons) {
  const int length = GetNavigatorButtonsLength();
  return length > 0 ? length + GetNavigatorEndOffset() + GetNavigatorTabsGap() : 0;
}

TColor TcxPCStandardPainter::GetNavigatorButtonColor(TcxPCNavigatorButtonState) { return clBtnFace; }

TColor TcxPCStandardPainter::GetNavigatorGlyphColor(TcxPCNavigatorButtonState AState) {
  return AState == nbsHotTrack ? GetHotTrackColor() : clBtnText;
}

void TcxPCStandardPainter::GetNavigatorGlyphPosition(const RECT& R, TcxPCNavigatorButton AKind, POINT& APoint,
                                                     TcxPCNavigatorButtonState AState) {
  GetCenteredGlyphPosition(R, AKind, APoint, AState);
}

int TcxPCStandardPainter::GetNavigatorButtonLength(TcxPCNavigatorButton AKind) {
  return kNavigatorButtonLengths[IsHorizontalTabs() ? 0 : 1][AKind];
}

int TcxPCStandardPainter::GetStandardTabHeight() { return PainterClass()->GetStandardStyle() == tsTabs ? 18 : 20; }
int TcxPCStandardPainter::GetTabIndent() { return PainterClass()->GetStandardStyle() == tsTabs ? 2 : 4; }

void TcxPCStandardPainter::GetFrameBounds(RECT& R) {
  GetFrameRect(R);
  RECT widths;
  GetFrameWidths(widths);
  const unsigned sides = GetTabSideBorders();
  if (!(sides & cxPCSideLeft)) R.left -= widths.left;
  if (!(sides & cxPCSideTop)) R.top -= widths.top;
  if (!(sides & cxPCSideRight)) R.right += widths.right;
  if (!(sides & cxPCSideBottom)) R.bottom += widths.bottom;
}

int TcxPCStandardPainter::GetTabInnerMargin(int) { return 12; }

int TcxPCStandardPainter::GetTabImageAreaLength(int ATab) { return GetImageTextDistance(ATab) + GetImageAreaWidth(); }

int TcxPCStandardPainter::GetTabWidthWithoutText(int ATab) {
  int width = GetTabInnerMargin(ATab);
  if ((ATab == -1 && HasImages()) || (ATab != -1 && TabHasImage(ATab)) || ViewInfo()->ActuallyRotate())
    width += GetTabImageAreaLength(ATab);
  if (ATab != -1 && GetTabViewInfo(ATab)->HasCloseButton()) width += GetCloseButtonAreaWidth(-1);
  return width;
}

int TcxPCStandardPainter::MeasureTabCaptionWidth(int ATab) {
  TcxTabViewInfo* tab = GetTabViewInfo(ATab);
  return MeasureTabText(tab, tab->Caption()).cx;
}

int TcxPCStandardPainter::MeasureTabContentHeight() {
  int height = GetMaxCaptionHeight() + 8;
  if (HasImages()) height = std::max(height, GetImageAreaHeight() + 6);
  return height;
}

void TcxPCStandardPainter::PaintTabFocusFrame(TcxCanvas& ACanvas, int ATab, const RECT& R) {
  if (!GetTabViewInfo(ATab)->IsFocused() || !ViewInfo()->IsFocused()) return;
  ACanvas.Pen().SetColor(ViewInfo()->Font()->Color());
  ACanvas.DrawFocusRect(Inflated(R, -1));
}

void TcxPCStandardPainter::PaintTabBuffered(TcxCanvas& ACanvas, int ATab) {
  TcxTabViewInfo* tab = GetTabViewInfo(ATab);
  RECT r = tab->FullRect();
  if (tab->IsMainTab()) r = DeflateRectForPosition(r, {0, 0, 0, -1}, tab->PaintingPosition());
  if (r.right <= r.left || r.bottom <= r.top) return;
  TcxBitmap32 bitmap(r.right - r.left, r.bottom - r.top);
  TcxCanvas& canvas = bitmap.cxCanvas();
  bitmap.Canvas().Lock();
  struct TUnlock {
    TcxBitmap32& B;
    ~TUnlock() { B.Canvas().Unlock(); }
  } unlock{bitmap};
  canvas.SetWindowOrg({r.left, r.top});
  PaintTabBackground(canvas, r, ATab, GetTabColor(ATab));
  PaintTabShape(canvas, ATab);
  PaintTabContent(canvas, ATab);
  PaintTabFocusRect(canvas, ATab);
  canvas.SetWindowOrg({0, 0});
  BitBlt(ACanvas.Handle(), r.left, r.top, r.right - r.left, r.bottom - r.top, bitmap.Canvas().Handle(), 0, 0, SRCCOPY);
}

void TcxPCStandardPainter::FillNavigatorButton(TcxCanvas& ACanvas, const RECT& R, TcxPCNavigatorButtonState AState) {
  ACanvas.Brush().SetStyle(TBrushStyle::bsSolid);
  ACanvas.FillRect(R, GetNavigatorButtonColor(AState));
}

void TcxPCStandardPainter::PaintNavigatorButtonFrame(TcxCanvas& ACanvas, RECT& R, TcxPCNavigatorButtonState AState) {
  Draw3DFrame(ACanvas, R, false, AState == nbsPressed);
  InflateRect(&R, -2, -2);
}

void TcxPCStandardPainter::DrawFrameSides(TcxCanvas& ACanvas, const RECT& R, TColor ALeftTop, TColor ARightBottom) {
  ACanvas.FillRect({R.left, R.top, R.left + 1, R.bottom - 1}, ALeftTop);
  ACanvas.FillRect({R.left, R.top, R.right - 1, R.top + 1}, ALeftTop);
  ACanvas.FillRect(RightSide(R), ARightBottom);
  ACanvas.FillRect(BottomSide(R), ARightBottom);
}

void TcxPCStandardPainter::DrawFrameInRect(TcxCanvas& ACanvas, const RECT& R) {
  const unsigned sides = GetTabSideBorders();
  RECT r = R;
  static constexpr TColor kLines[2][2] = {{clBtnHighlight, cl3DDkShadow}, {cl3DLight, clBtnShadow}};
  for (const auto& line : kLines) {
    if (sides & cxPCSideLeft) ACanvas.FillRect({r.left, r.top, r.left + 1, r.bottom - 1}, line[0]);
    if (sides & cxPCSideTop) ACanvas.FillRect({r.left, r.top, r.right - 1, r.top + 1}, line[0]);
    if (sides & cxPCSideRight) ACanvas.FillRect(RightSide(r), line[1]);
    if (sides & cxPCSideBottom) ACanvas.FillRect(BottomSide(r), line[1]);
    if (sides & cxPCSideLeft) ++r.left;
    if (sides & cxPCSideTop) ++r.top;
    if (sides & cxPCSideRight) --r.right;
    if (sides & cxPCSideBottom) --r.bottom;
  }
}

void TcxPCStandardPainter::Draw3DFrame(TcxCanvas& ACanvas, const RECT& R, bool AFlat, bool APressed) {
  if (AFlat) {
    DrawFrameSides(ACanvas, R, APressed ? cl3DDkShadow : cl3DLight, APressed ? cl3DLight : cl3DDkShadow);
    return;
  }
  const TFrameLines& lines = APressed ? kSunkenFrame : kRaisedFrame;
  DrawFrameSides(ACanvas, R, lines.OuterLT, lines.OuterRB);
  DrawFrameSides(ACanvas, Inflated(R, -1), lines.InnerLT, lines.InnerRB);
}

int TcxPCStandardPainter::MeasureTabNormalWidth(TcxTabViewInfo* ATabViewInfo) {
  const int defined = ATabViewInfo->GetDefinedWidth();
  return defined > 0 ? defined : MeasureTabWidthFromContent(ATabViewInfo->VisibleIndex());
}

void TcxPCStandardPainter::ApplyMinTabWidth(int& AWidth) { AWidth = std::max(AWidth, GetDefaultMinTabWidth()); }

void TcxPCStandardPainter::DrawCloseButtonGlyph(TcxCanvas& ACanvas, const RECT& R, TcxPCNavigatorButtonState AState) {
  static constexpr TcxButtonState kStates[] = {cxbsNormal, cxbsPressed, cxbsHot, cxbsDisabled};
  RECT r = R;
  PaintNavigatorButtonFrame(ACanvas, r, AState);
  FillNavigatorButton(ACanvas, r, AState);
  if (TcxCustomLookAndFeelPainter* painter = RegisteredLookAndFeelPainter(lfsStandard))
    painter->DrawButtonCross(ACanvas, r, painter->ButtonSymbolColor(kStates[AState], clDefault), kStates[AState]);
}

void TcxPCStandardPainter::GetCloseButtonSize(SIZE& ASize) {
  if (UsesLookAndFeelCloseButton())
    if (TcxCustomLookAndFeelPainter* painter = GetLookAndFeelPainter()) {
      ASize = painter->SmallCloseButtonSize();
      return;
    }
  ASize = {GetNavigatorButtonLength(nbClose), GetNavigatorButtonThickness()};
}

void TcxPCStandardPainter::GetFrameRect(RECT& R) {
  TcxPCCustomPainter::GetFrameRect(R);
  if (IsRectEmpty(&R)) return;
  const int minimum = GetMinFrameSize();
  R.right = std::max<LONG>(R.right, R.left + minimum);
  R.bottom = std::max<LONG>(R.bottom, R.top + minimum);
}

void TcxPCStandardPainter::GetTabImageOffsets(int ATab, RECT& AOffsets) {
  AOffsets = kStandardOffsets[PainterClass()->GetStandardStyle()][IsTabActiveLook(ATab)].Image;
}

void TcxPCStandardPainter::GetTabTextOffsets(int ATab, RECT& AOffsets) {
  AOffsets = kStandardOffsets[PainterClass()->GetStandardStyle()][IsTabActiveLook(ATab)].Text;
}

void TcxPCStandardPainter::GetTabContentOffsets(int ATab, TcxPCDistance& AOffsets) {
  AOffsets = kStandardOffsets[PainterClass()->GetStandardStyle()][IsTabActiveLook(ATab)].Content;
}

void TcxPCStandardPainter::GetTabContentOffsetsLongText(int ATab, TcxPCDistance& AOffsets) {
  AOffsets = kStandardOffsets[PainterClass()->GetStandardStyle()][IsTabActiveLook(ATab)].LongText;
  if (UseNativePainting() && GetTabViewInfo(ATab)->GetRelativeTextRotationAngle() == raPlus90)
    std::swap(AOffsets.First, AOffsets.Second);
}

void TcxPCStandardPainter::GetTabImageOnlyOffsets(int, TcxPCDistance& AOffsets) { AOffsets = {0, 0}; }

void TcxPCStandardPainter::GetGoDialogPopupPosition(SIZE AMenuSize, POINT& APoint) {
  TcxPCNavigatorButtonViewInfo* button = ViewInfo()->FindNavigatorButton(nbGoDialog);
  if (!button) return;
  const RECT b = button->Bounds();
  const TCorner corner = kGoDialogCorners[Position()][ViewInfo()->NavigatorPosition()];
  APoint.x = corner.Right ? b.right - AMenuSize.cx : b.left;
  APoint.y = corner.Bottom ? b.top - AMenuSize.cy : b.bottom;
}

int TcxPCStandardPainter::GetTabMinWidth(int ATab) {
  return std::max(GetTabWidthWithoutText(ATab), GetDefaultMinTabWidth());
}

void TcxPCStandardPainter::GetTabsGap(TcxPCDistance& AGap) {
  static constexpr TcxPCDistance kGaps[] = {{0, 0}, {3, 3}, {10, 3}};
  AGap = kGaps[PainterClass()->GetStandardStyle()];
}

void TcxPCStandardPainter::CalculateTabsPosition(TcxPCNavigatorButtons AButtons, TcxPCTabsPosition& APosition) {
  const int n = GetNavigatorAreaLength(AButtons);
  RECT m{};
  if (ViewInfo()->IsTabsContainer()) GetTabsContainerMargins(m);
  RECT offsets;
  GetTabsBoundsOffsets(offsets);
  RECT& e = APosition.ExtendedTabsRect;
  e = DeflateRectForPosition(ViewInfo()->ControlBounds(), offsets, Position());
  const TcxPCNavigatorPosition np = ViewInfo()->NavigatorPosition();
  if (AButtons != 0) {
    e = DeflateRectForPosition(e, {0, m.top, 0, 0}, Position());
    const RECT t = RotateRectForPosition(m, Position());
    if (!IsHorizontalTabs()) {
      if (np == npLeftBottom || np == npRightBottom)
        e.bottom -= n, e.top += t.top;
      else
        e.top += n, e.bottom -= t.bottom;
    } else if (np == npRightTop || np == npRightBottom) {
      e.right -= n, e.left += t.left;
    } else {
      e.left += n, e.right -= t.right;
    }
  } else {
    e = DeflateRectForPosition(e, m, Position());
  }
  APosition.NormalRowWidth = IsHorizontalTabs() ? e.right - e.left : e.bottom - e.top;
  APosition.NormalTabsRect = e;
  APosition.ExtendedTopOrLeftTabsRectBottomOrRightBorderOffset = 0;
  APosition.ExtendedBottomOrRightTabsRectTopOrLeftBorderOffset = 0;
  TcxPCDistance gap;
  GetTabsGap(gap);
  APosition.MinDistanceBetweenTopOrLeftAndBottomOrRightExtendedTabsRects = gap.Second;
  PlaceNavigatorButtons(AButtons);
}

void TcxPCStandardPainter::DrawTab(TcxCanvas& ACanvas, int ATab) {
  if (!DoCustomDrawTab(ATab)) PaintTabBuffered(ACanvas, ATab);
}

bool TcxPCStandardPainter::IsTabActiveLook(int ATab) { return GetTabViewInfo(ATab)->IsMainTab(); }

void TcxPCStandardPainter::PaintNavigatorButton(TcxCanvas& ACanvas, const RECT& R, TcxPCNavigatorButton AKind,
                                                TcxPCNavigatorButtonState AState) {
  RECT inner = R;
  PaintNavigatorButtonFrame(ACanvas, inner, AState);
  FillNavigatorButton(ACanvas, inner, AState);
  TcxPCNavigatorGlyphParams params;
  GetNavigatorGlyphParams(AKind, AState, params);
  POINT corner{};
  GetNavigatorGlyphPosition(R, AKind, corner, AState);
  corner.x += R.left;
  corner.y += R.top;
  DrawNavigatorGlyph(ACanvas, AKind, corner, params);
}

void TcxPCStandardPainter::PaintNavigatorButtons(TcxCanvas& ACanvas) {
  for (int i = 0; i < ViewInfo()->NavigatorButtonCount(); ++i) {
    TcxPCNavigatorButtonViewInfo* button = ViewInfo()->NavigatorButtonInfos(i);
    const RECT bounds = button->Bounds();
    ACanvas.SaveClipRegion();
    ACanvas.IntersectClipRect(bounds);
    PaintNavigatorButton(ACanvas, bounds, button->ButtonType(), button->State());
    ACanvas.RestoreClipRegion();
    ACanvas.ExcludeClipRect(bounds);
  }
}

void TcxPCStandardPainter::PaintFrame(TcxCanvas& ACanvas) {
  RECT r;
  GetFrameBounds(r);
  DrawFrameInRect(ACanvas, r);
}

void TcxPCStandardPainter::PaintTab(TcxCanvas& ACanvas, int ATab) {
  std::unique_ptr<TcxRegion> region = GetTabClipRegion(ACanvas, ATab);
  const TcxRegionOperation operation = GetTabClipOperation(ATab);
  ACanvas.SaveClipRegion();
  auto clip = std::make_unique<TcxRegion>();
  clip->Combine(region.get(), roSet, false);
  ACanvas.SetClipRegion(clip.release(), operation);
  const bool drawn = DoCustomDrawTab(ATab);
  if (!drawn) PaintTabBuffered(ACanvas, ATab);
  ACanvas.RestoreClipRegion();
  if (drawn || !IsTabTransparent(ATab)) {
    DoAfterPaintTab(ACanvas, ATab);
    ACanvas.SetClipRegion(region.release(), roSubtract);
  } else {
    ExcludeTabFromClip(ACanvas, ATab);
  }
}

void TcxPCStandardPainter::PaintTabs(TcxCanvas& ACanvas) {
  int first = 0, last = -1;
  ViewInfo()->InitializeVisibleTabRange(first, last);
  for (int i = first; i <= last; ++i) PaintTab(ACanvas, i);
}

void TcxPCStandardPainter::InvalidateNavigatorButtons() {
  if (ViewInfo()->NavigatorButtonCount() > 0) ViewInfo()->InvalidateRect(FButtonsRect, false);
}

void TcxPCStandardPainter::RepaintTab(int ATab, int) { InvalidateTab(ATab); }

int TcxPCStandardPainter::CalculateTabNormalHeight() {
  int h = std::max(MeasureTabContentHeight(), GetStandardTabHeight());
  const int imageHeight = GetImageSize().cy;
  if (ViewInfo()->ActuallyRotate() && imageHeight > 0 && (h - imageHeight) % 2 != 0) ++h;
  h = std::max(h, ViewInfo()->TabsViewInfo()->GetTabDefaultHeight());
  if (ViewInfo()->HasTabCloseButtons()) h = std::max(h, GetCloseButtonAreaHeight(-1));
  return h;
}

void TcxPCStandardPainter::GetCenteredGlyphPosition(const RECT& R, TcxPCNavigatorButton AKind, POINT& APoint,
                                                    TcxPCNavigatorButtonState AState) {
  const SIZE glyph = GetGlyphSize(AKind);
  APoint.x = (R.right - R.left - glyph.cx) / 2;
  APoint.y = (R.bottom - R.top - glyph.cy) / 2;
  if (AKind == nbGoDialog) ++APoint.y;
  if (AState == nbsPressed) {
    if (AKind != nbGoDialog) ++APoint.x;
    ++APoint.y;
  }
}

void TcxPCStandardPainter::GetFixedGlyphPosition(TcxPCNavigatorButton AKind, POINT& APoint,
                                                 TcxPCNavigatorButtonState AState) {
  switch (AKind) {
    case nbClose: APoint = {5, 5}; break;
    case nbGoDialog: APoint = IsHorizontalTabs() ? POINT{2, 8} : POINT{6, 4}; break;
    default: APoint = kFixedArrowCorners[GetArrowDirection(AKind)]; break;
  }
  if (AState == nbsPressed) ++APoint.x, ++APoint.y;
}

SIZE TcxPCStandardPainter::GetGlyphSize(TcxPCNavigatorButton AKind) const {
  SIZE size;
  if (AKind == nbClose) {
    size = {8, 7};
  } else {
    const int s = AKind == nbGoDialog ? 4 : 5;
    size = {s, 2 * s - 1};
    if (AKind == nbGoDialog) return {2 * s - 1, s};
  }
  if (!IsHorizontalTabs()) std::swap(size.cx, size.cy);
  return size;
}

TcxArrowDirection TcxPCStandardPainter::GetArrowDirection(TcxPCNavigatorButton AKind) const {
  const bool horizontal = IsHorizontalTabs();
  switch (AKind) {
    case nbTopLeft: return horizontal ? adLeft : adUp;
    case nbBottomRight: return horizontal ? adRight : adDown;
    default: return adDown;
  }
}

void TcxPCStandardPainter::DrawArrowGlyph(TcxCanvas& ACanvas, TcxPCNavigatorButton AKind, POINT ACorner) {
  const int s = AKind == nbGoDialog ? 4 : 5;
  POINT points[3];
  for (int i = 0; i < 3; ++i) {
    const POINT unit = kArrowTriangles[GetArrowDirection(AKind)][i];
    points[i] = {ACorner.x + unit.x * (s - 1), ACorner.y + unit.y * (s - 1)};
  }
  ACanvas.Canvas()->Polygon(points);
}

void TcxPCStandardPainter::DrawCloseGlyph(TcxCanvas& ACanvas, POINT ACorner, bool AThin) {
  auto draw = [&](const auto& ASegments) {
    for (const TSegment& segment : ASegments) {
      const POINT line[] = {{ACorner.x + segment.A.x, ACorner.y + segment.A.y},
                            {ACorner.x + segment.B.x, ACorner.y + segment.B.y}};
      DrawLines(line, 1, ACanvas, ACanvas.Pen().Color());
    }
  };
  if (!AThin)
    draw(kBoldCross);
  else if (IsHorizontalTabs())
    draw(kThinCrossHorizontal);
  else
    draw(kThinCrossVertical);
}

void TcxPCStandardPainter::DrawNavigatorGlyph(TcxCanvas& ACanvas, TcxPCNavigatorButton AKind, POINT ACorner,
                                              const TcxPCNavigatorGlyphParams& AParams) {
  auto draw = [&](POINT ACornerToUse, TColor AFill, TColor ALine) {
    ACanvas.Brush().SetStyle(TBrushStyle::bsSolid);
    ACanvas.Brush().SetColor(AFill);
    ACanvas.Pen().SetColor(ALine);
    if (AKind == nbClose)
      DrawCloseGlyph(ACanvas, ACornerToUse, AParams.Thin);
    else
      DrawArrowGlyph(ACanvas, AKind, ACornerToUse);
  };
  if (AParams.Enabled) {
    draw(ACorner, AParams.FillColor, AParams.LineColor);
  } else {
    draw({ACorner.x + 1, ACorner.y + 1}, GetButtonHighlightColor(), GetButtonHighlightColor());
    draw(ACorner, GetButtonShadowColor(), GetButtonShadowColor());
  }
  ACanvas.Brush().SetStyle(TBrushStyle::bsSolid);
}

// ---- Outline tables: points written against the tab's full rectangle

namespace {
// A coordinate: from the near edge (L or T) or the far edge (R or B), plus D.
struct TCoord {
  bool Far;
  int D;
};
constexpr TCoord L(int D = 0) { return {false, D}; }
constexpr TCoord R(int D = 0) { return {true, D}; }
constexpr TCoord T(int D = 0) { return {false, D}; }
constexpr TCoord B(int D = 0) { return {true, D}; }
struct TOutlinePoint {
  TCoord X, Y;
};
// The colours an outline line is drawn in.
enum TOutlineRole { orHighlight, orLight, orDarkShadow, orShadow, orFace, orPale };
struct TOutlineLine {
  TOutlineRole Role;
  int Count;
  TOutlinePoint Points[6];
};
struct TOutline {
  int Count;
  TOutlineLine Lines[4];
};

POINT ResolvePoint(const TOutlinePoint& P, const RECT& ARect) {
  return {(P.X.Far ? ARect.right : ARect.left) + P.X.D, (P.Y.Far ? ARect.bottom : ARect.top) + P.Y.D};
}

// The classic 3D outline by painting position.
constexpr TOutline kTabsOutlines[4] = {
    {4,
     {{orHighlight, 4, {{L(), B(-1)}, {L(), T(2)}, {L(2), T()}, {R(-3), T()}}},
      {orLight, 4, {{L(1), B(-1)}, {L(1), T(2)}, {L(2), T(1)}, {R(-3), T(1)}}},
      {orDarkShadow, 3, {{R(-1), B(-1)}, {R(-1), T(2)}, {R(-2), T(1)}}},
      {orShadow, 2, {{R(-2), B(-1)}, {R(-2), T(2)}}}}},
    {4,
     {{orHighlight, 3, {{L(), T()}, {L(), B(-3)}, {L(1), B(-2)}}},
      {orLight, 2, {{L(1), T()}, {L(1), B(-3)}}},
      {orDarkShadow, 4, {{L(2), B(-1)}, {R(-3), B(-1)}, {R(-1), B(-3)}, {R(-1), T()}}},
      {orShadow, 4, {{L(2), B(-2)}, {R(-3), B(-2)}, {R(-2), B(-3)}, {R(-2), T()}}}}},
    {4,
     {{orHighlight, 4, {{L(), B(-3)}, {L(), T(2)}, {L(2), T()}, {R(-1), T()}}},
      {orLight, 4, {{L(1), B(-3)}, {L(1), T(2)}, {L(2), T(1)}, {R(-1), T(1)}}},
      {orDarkShadow, 3, {{L(2), B(-2)}, {L(3), B(-1)}, {R(-1), B(-1)}}},
      {orShadow, 4, {{L(1), B(-2)}, {L(2), B(-1)}, {L(3), B(-2)}, {R(-1), B(-2)}}}}},
    {4,
     {{orHighlight, 3, {{L(), T()}, {R(-3), T()}, {R(-2), T(1)}}},
      {orLight, 2, {{L(), T(1)}, {R(-3), T(1)}}},
      {orDarkShadow, 4, {{L(), B(-1)}, {R(-3), B(-1)}, {R(-1), B(-3)}, {R(-1), T(2)}}},
      {orShadow, 4, {{L(), B(-2)}, {R(-3), B(-2)}, {R(-2), B(-3)}, {R(-2), T(2)}}}}}};

// The one-pixel outline with its pale inner line by painting position.
constexpr TOutline kFlatOutlines[4] = {
    {3,
     {{orHighlight, 5, {{L(), B(-1)}, {L(), T(2)}, {L(2), T()}, {R(-3), T()}, {R(-2), T(1)}}},
      {orShadow, 2, {{R(-1), T(2)}, {R(-1), B(-1)}}},
      {orPale, 6, {{L(1), B(-1)}, {L(1), T(2)}, {L(2), T(1)}, {R(-3), T(1)}, {R(-2), T(2)}, {R(-2), B(-1)}}}}},
    {4,
     {{orHighlight, 3, {{L(), T()}, {L(), B(-3)}, {L(1), B(-2)}}},
      {orShadow, 4, {{L(2), B(-1)}, {R(-3), B(-1)}, {R(-1), B(-3)}, {R(-1), T()}}},
      {orPale, 2, {{L(1), T()}, {L(1), B(-3)}}},
      {orFace, 4, {{L(2), B(-2)}, {R(-3), B(-2)}, {R(-2), B(-3)}, {R(-2), T()}}}}},
    {3,
     {{orShadow, 2, {{R(-1), B(-1)}, {L(2), B(-1)}}},
      {orHighlight, 5, {{L(1), B(-2)}, {L(), B(-3)}, {L(), T(2)}, {L(2), T()}, {R(-1), T()}}},
      {orPale, 6, {{R(-1), B(-2)}, {L(2), B(-2)}, {L(1), B(-3)}, {L(1), T(2)}, {L(2), T(1)}, {R(-1), T(1)}}}}},
    {4,
     {{orHighlight, 3, {{L(), T()}, {R(-3), T()}, {R(-2), T(1)}}},
      {orShadow, 4, {{R(-1), T(2)}, {R(-1), B(-3)}, {R(-3), B(-1)}, {L(), B(-1)}}},
      {orPale, 2, {{L(), T(1)}, {R(-3), T(1)}}},
      {orFace, 4, {{R(-2), T(2)}, {R(-2), B(-3)}, {R(-3), B(-2)}, {L(), B(-2)}}}}}};

// The three pixels outside each cut corner by painting position.
constexpr TOutlinePoint kTabCornerPixels[4][2][3] = {
    {{{L(), T(1)}, {L(), T()}, {L(1), T()}}, {{R(-2), T()}, {R(-1), T()}, {R(-1), T(1)}}},
    {{{L(), B(-2)}, {L(), B(-1)}, {L(1), B(-1)}}, {{R(-2), B(-1)}, {R(-1), B(-1)}, {R(-1), B(-2)}}},
    {{{L(), T(1)}, {L(), T()}, {L(1), T()}}, {{L(), B(-2)}, {L(), B(-1)}, {L(1), B(-1)}}},
    {{{R(-2), T()}, {R(-1), T()}, {R(-1), T(1)}}, {{R(-2), B(-1)}, {R(-1), B(-1)}, {R(-1), B(-2)}}}};

// The active tab's extension by painting position.
constexpr RECT kTabsActiveExtension[4] = {{-2, -2, 2, 1}, {-2, -1, 2, 2}, {-2, -2, 1, 2}, {-1, -2, 2, 2}};

// Native navigator parts: themed type, part and the first state; states follow as normal, pressed, hot, disabled.
constexpr int kNativeStateOrder[4] = {0, 2, 1, 3};

void DrawOutline(TcxPCCustomPainter& APainter, TcxCanvas& ACanvas, const TOutline& AOutline, const RECT& ARect,
                 const TColor (&AColors)[6]) {
  for (int i = 0; i < AOutline.Count; ++i) {
    const TOutlineLine& line = AOutline.Lines[i];
    POINT points[6];
    for (int p = 0; p < line.Count; ++p) points[p] = ResolvePoint(line.Points[p], ARect);
    APainter.DrawLines(points, line.Count - 1, ACanvas, AColors[line.Role]);
  }
}
}  // namespace

// ---- TcxPCTabsPainter

int TcxPCTabsPainter::GetNativeNavigatorButtonThickness() { return VistaOrLater() ? 21 : 17; }

void TcxPCTabsPainter::CalculateTabFocusRect(const RECT& ABounds, RECT& AResult) { AResult = Inflated(ABounds, -2); }

void TcxPCTabsPainter::DrawNativeTab(HDC DC, int ATab, const RECT& R) {
  int part = 0, state = 0;
  GetTabNativePartAndState(ATab, part, state);
  if (HTHEME theme = GetThemeHandleForType(totTab)) DrawThemeBackground(theme, DC, part, state, R);
}

namespace {
// The turn that brings a native tab drawn as a top tab to its painting position.
TcxRotationAngle NativeTabAngle(int APaintingPositionIndex) {
  switch (APaintingPositionIndex) {
    case 2: case 9: case 12: return raMinus90;
    case 3: case 6: case 11: return raPlus90;
    case 4: case 7: return ra180;
    default: return ra0;
  }
}
bool IsMirroredPosition(TcxTabPosition APosition) { return APosition == tpBottom || APosition == tpLeft; }
bool IsVerticalPosition(TcxTabPosition APosition) { return APosition == tpLeft || APosition == tpRight; }
}  // namespace

void TcxPCTabsPainter::PaintNativeTabBitmap(TcxBitmap& ABitmap, int ATab) {
  TcxTabViewInfo* tab = GetTabViewInfo(ATab);
  const TcxTabPosition position = tab->PaintingPosition();
  RECT r = tab->FullRect();
  if (tab->IsMainTab()) r = DeflateRectForPosition(r, {0, 0, 0, -1}, position);
  const int w = r.right - r.left, h = r.bottom - r.top;
  const bool vertical = IsVerticalPosition(position);
  ABitmap.SetSize(vertical ? h : w, vertical ? w : h);
  ABitmap.Rotate(vertical ? raMinus90 : ra0, IsMirroredPosition(position));
  PaintNativeTabBackground(ABitmap, r, ATab);
  ABitmap.Rotate(vertical ? raPlus90 : ra0, IsMirroredPosition(position));
  DrawNativeTab(ABitmap.Canvas().Handle(), ATab, ABitmap.ClientRect());
  ABitmap.Rotate(NativeTabAngle(tab->PaintingPositionIndex()), IsMirroredPosition(position));
}

void TcxPCTabsPainter::PaintNativeTabBackground(TcxBitmap& ABitmap, const RECT& R, int) {
  if (UseNativePainting() && CanPaintParentBackground() && ViewInfo()->ParentBackground()) {
    if (TWinControl* control = ViewInfo()->IControl()->QueryControl())
      PaintParentIntoCanvas(control, ABitmap.cxCanvas(), R, false);
    return;
  }
  FillBackgroundRect(ABitmap.cxCanvas(), ABitmap.ClientRect());
}

int TcxPCTabsPainter::GetNativeNavigatorButtonsDistance(TcxPCNavigatorButton AKind, TcxPCNavigatorButton AOtherKind) {
  const bool pair = (AKind == nbGoDialog && AOtherKind == nbClose) || (AKind == nbClose && AOtherKind == nbGoDialog);
  return VistaOrLater() && pair ? 1 : 0;
}

void TcxPCTabsPainter::GetTabCornerColors(int ATab, TColor& AColor1, TColor& AColor2) {
  TcxTabViewInfo* tab = GetTabViewInfo(ATab);
  const int row = tab->VisibleRow(), part = ViewInfo()->TopOrLeftPartRowCount();
  const bool outermost = (part > 0 && row == 0) || (part < ViewInfo()->RowCount() && row == ViewInfo()->RowCount() - 1);
  if (outermost) {
    AColor1 = AColor2 = ViewInfo()->Color();
    return;
  }
  AColor1 = AColor2 = clBtnFace;
  if (!tab->IsMainTab() || ViewInfo()->ActuallyRotate()) return;
  TcxPCLineIndexBoundsArray rows;
  ViewInfo()->InitializeLineBoundsArray(rows);
  if (row < 0 || row >= int(rows.size())) return;
  if (rows[std::size_t(row)].Left == ATab) AColor1 = ViewInfo()->Color();
  if (rows[std::size_t(row)].Right == ATab) AColor2 = ViewInfo()->Color();
}

void TcxPCTabsPainter::PaintTabCorners(TcxCanvas& ACanvas, int ATab) {
  TcxTabViewInfo* tab = GetTabViewInfo(ATab);
  const TcxTabPosition position = tab->PaintingPosition();
  TColor colors[2];
  GetTabCornerColors(ATab, colors[0], colors[1]);
  if (IsVerticalPosition(position) && ViewInfo()->GetTextRotationAngle() != raMinus90) std::swap(colors[0], colors[1]);
  const RECT r = tab->FullRect();
  for (int corner = 0; corner < 2; ++corner)
    for (const TOutlinePoint& p : kTabCornerPixels[position][corner]) {
      const POINT pixel = ResolvePoint(p, r);
      ACanvas.SetPixel(pixel.x, pixel.y, colors[corner]);
    }
}

void TcxPCTabsPainter::PaintTabOutline(TcxCanvas& ACanvas, int ATab) {
  TcxTabViewInfo* tab = GetTabViewInfo(ATab);
  const TcxTabPosition position = tab->PaintingPosition();
  const RECT r = tab->FullRect();
  const TColor c = ViewInfo()->IsTabsContainer() ? clBtnFace : GetTabColor(ATab);
  const TColor colors[6] = {clBtnHighlight, cl3DLight, cl3DDkShadow, clBtnShadow, clBtnFace, c};
  DrawOutline(*this, ACanvas, kTabsOutlines[position], r, colors);
  if (tab->IsMainTab()) {
    // The line that joins the active tab to the page, one pixel beyond its page side.
    const bool horizontal = !IsVerticalPosition(position);
    const bool nearSide = position == tpTop || position == tpLeft;
    const int start = horizontal ? r.left : r.top, end = horizontal ? r.right : r.bottom;
    const int extent = horizontal ? ViewInfo()->Width() : ViewInfo()->Height();
    const int across = position == tpTop ? r.bottom : position == tpBottom ? r.top - 1 : position == tpLeft ? r.right : r.left - 1;
    auto run = [&](int AFrom, int ATo, TColor AColor) {  // both ends included
      if (ATo < AFrom) return;
      ACanvas.FillRect(horizontal ? RECT{AFrom, across, ATo + 1, across + 1} : RECT{across, AFrom, across + 1, ATo + 1},
                       AColor);
    };
    const bool atEnd = end == extent;
    if (nearSide) {
      run(start, start, start == 0 ? clBtnHighlight : cl3DLight);
      run(start + 1, start + 1, cl3DLight);
      if (atEnd) {
        run(start + 2, end - 3, c);
        run(end - 2, end - 2, clBtnShadow);
        run(end - 1, end - 1, cl3DDkShadow);
      } else {
        run(start + 2, end - 1, c);
      }
    } else {
      int from = start;
      if (start == 0) {
        run(0, 0, clBtnHighlight);
        run(1, 1, cl3DLight);
        from = start + 2;
      }
      run(from, end - 3, c);
      run(end - 2, end - 2, clBtnShadow);
      run(end - 1, end - 1, atEnd ? cl3DDkShadow : clBtnShadow);
    }
  }
  PaintTabCorners(ACanvas, ATab);
}

void TcxPCTabsPainter::PaintNativePage(TcxCanvas& ACanvas) {
  RECT o;
  GetNativeContentOffsets(o);
  RECT r;
  GetFrameBounds(r);
  r.right = std::max<LONG>(r.right, r.left + o.left + o.right);
  r.bottom = std::max<LONG>(r.bottom, r.top + o.top + o.bottom);
  HTHEME theme = GetThemeHandleForType(totTab);
  const bool ownCanvas = &ACanvas == ViewInfo()->Canvas();
  TWinControl* control = ViewInfo()->IControl()->QueryControl();
  if (ViewInfo()->ParentBackground() && ownCanvas && theme && control &&
      IsThemeBackgroundPartiallyTransparent(theme, 9, 0))
    DrawControlParentBackground(control, ACanvas, r);
  else
    ACanvas.FillRect(r, ViewInfo()->Color());
  if (theme) DrawThemeBackground(theme, ACanvas.Handle(), 9, 0, r);
  if (ownCanvas) {
    RECT frame;
    GetFrameRect(frame);
    ACanvas.ExcludeClipRect(frame);
  }
}

bool TcxPCTabsPainter::UseNativePainting() {
  TcxLookAndFeel* lookAndFeel = ViewInfo()->GetLookAndFeel();
  return !ViewInfo()->IControl()->QueryDestroying() && lookAndFeel && lookAndFeel->NativeStyle() &&
         AreThemesAvailable() && GetThemeHandleForType(totTab) != nullptr;
}

TcxCustomLookAndFeelPainter* TcxPCTabsPainter::GetLookAndFeelPainter() {
  return RegisteredLookAndFeelPainter(UseNativePainting() ? lfsNative : lfsStandard);
}

void TcxPCTabsPainter::GetTabRectExtension(int ATab, RECT& AOffsets) {
  AOffsets = ATab == ViewInfo()->MainTabVisibleIndex() ? kTabsActiveExtension[GetTabViewInfo(ATab)->PaintingPosition()]
                                                       : RECT{};
}

void TcxPCTabsPainter::PaintTabFocusRect(TcxCanvas& ACanvas, int ATab) {
  TcxTabViewInfo* tab = GetTabViewInfo(ATab);
  if (!tab->IsFocused()) return;
  PaintTabFocusFrame(ACanvas, ATab, DeflateRectForPosition(tab->FullRect(), {2, 2, 2, 1}, tab->PaintingPosition()));
}

void TcxPCTabsPainter::PaintNativePageBackground(HDC DC) {
  RECT r;
  GetFrameRect(r);
  r = Inflated(r, 2);
  RECT client;
  CalculatePageClientRect(client);
  OffsetRect(&r, -client.left, -client.top);
  if (HTHEME theme = GetThemeHandleForType(totTab)) DrawThemeBackground(theme, DC, 9, 0, r);
}

int TcxPCTabsPainter::GetNavigatorButtonsDistance(TcxPCNavigatorButton AKind, TcxPCNavigatorButton AOtherKind) {
  return UseNativePainting() ? GetNativeNavigatorButtonsDistance(AKind, AOtherKind) : 0;
}

int TcxPCTabsPainter::GetNavigatorEdgeOffset() { return ViewInfo()->IsTabsContainer() ? 2 : 0; }
int TcxPCTabsPainter::GetNavigatorEndOffset() { return ViewInfo()->IsTabsContainer() ? 2 : 0; }

void TcxPCTabsPainter::GetCloseButtonMargins(int ATab, RECT& AMargins) {
  TcxPCStandardPainter::GetCloseButtonMargins(ATab, AMargins);
  if (ATab != -1 && !UseNativePainting())
    AMargins.top += GetTabViewInfo(ATab)->GetRelativeTextRotationAngle() == ra180 ? -1 : 1;
}

void TcxPCTabsPainter::GetPageClientRectOffset(RECT& AOffsets) {
  TcxPCStandardPainter::GetPageClientRectOffset(AOffsets);
  if (ViewInfo()->IsTabsContainer() && !UseNativePainting()) AOffsets.top += 3 - GetFrameWidth();
}

void TcxPCTabsPainter::GetTabImageOffsets(int ATab, RECT& AOffsets) {
  TcxPCStandardPainter::GetTabImageOffsets(ATab, AOffsets);
  if (GetTabViewInfo(ATab)->GetRelativeTextRotationAngle() == ra180) ++AOffsets.bottom;
}

void TcxPCTabsPainter::GetTabTextOffsets(int ATab, RECT& AOffsets) {
  TcxPCStandardPainter::GetTabTextOffsets(ATab, AOffsets);
  if (GetTabViewInfo(ATab)->GetRelativeTextRotationAngle() == ra180) ++AOffsets.bottom;
}

void TcxPCTabsPainter::GetTabImageOnlyOffsets(int ATab, TcxPCDistance& AOffsets) {
  AOffsets = {0, 0};
  TcxTabViewInfo* tab = GetTabViewInfo(ATab);
  if (!ViewInfo()->ActuallyRotate() || !tab->IsMainTab()) return;
  const TcxRotationAngle angle = tab->GetRelativeTextRotationAngle();
  AOffsets = angle == raMinus90 ? TcxPCDistance{2, 1} : TcxPCDistance{1, 2};
  if (UseNativePainting() && angle == raPlus90) std::swap(AOffsets.First, AOffsets.Second);
}

void TcxPCTabsPainter::GetFrameWidths(RECT& AWidths) {
  if (UseNativePainting())
    GetNativeContentOffsets(AWidths);
  else
    TcxPCStandardPainter::GetFrameWidths(AWidths);
}

TColor TcxPCTabsPainter::GetTabColor(int ATab) {
  if (GetTabViewInfo(ATab)->IsHighlighted()) return GetSelectionColor();
  const TColor color = GetTabDefinedColor(ATab);
  return color == clDefault ? clBtnFace : color;
}

std::unique_ptr<TcxRegion> TcxPCTabsPainter::GetTabClipRegion(TcxCanvas&, int ATab) {
  TcxTabViewInfo* tab = GetTabViewInfo(ATab);
  RECT r = tab->VisibleRect();
  if (tab->IsMainTab()) r = DeflateRectForPosition(r, {0, 0, 0, -1}, tab->PaintingPosition());
  return std::make_unique<TcxRegion>(r);
}

TcxRegionOperation TcxPCTabsPainter::GetTabClipOperation(int ATab) {
  return GetTabViewInfo(ATab)->IsMainTab() ? roSet : roIntersect;
}

void TcxPCTabsPainter::GetTabContentOffsets(int ATab, TcxPCDistance& AOffsets) {
  TcxTabViewInfo* tab = GetTabViewInfo(ATab);
  if (!tab->IsMainTab())
    AOffsets = {3, 3};
  else
    AOffsets = ViewInfo()->ActuallyRotate() ? TcxPCDistance{4, 5} : TcxPCDistance{5, 5};
  const bool native = UseNativePainting();
  if (native && tab->HasCloseButton()) {
    int part = 0, state = 0;
    GetTabNativePartAndState(ATab, part, state);
    if (part == 3) ++AOffsets.Second;
  }
  const TcxRotationAngle angle = tab->GetRelativeTextRotationAngle();
  if (angle == raMinus90 || (native && angle == raPlus90)) std::swap(AOffsets.First, AOffsets.Second);
}

void TcxPCTabsPainter::GetTabNativePartAndState(int ATab, int& APart, int& AState) {
  TcxTabViewInfo* tab = GetTabViewInfo(ATab);
  AState = GetTabNativeState(ATab);
  int place = 1;
  if (!ViewInfo()->IsTabsContainer()) {
    TcxPCLineIndexBoundsArray rows;
    ViewInfo()->InitializeLineBoundsArray(rows);
    const int row = tab->VisibleRow();
    const bool inRow = row >= 0 && row < int(rows.size());
    const bool firstOfRow = inRow && rows[std::size_t(row)].Left == ATab;
    const bool lastOfRow = inRow && rows[std::size_t(row)].Right == ATab;
    const bool singleOrRagged = !ViewInfo()->MultiLine() || ViewInfo()->RaggedRight();
    if (singleOrRagged) {
      int first = 0, last = -1;
      ViewInfo()->InitializeVisibleTabRange(first, last);
      place = firstOfRow ? 0 : ATab == last ? 2 : 1;
      if (tab->IsMainTab() && place == 2) place = 1;
    } else {
      place = lastOfRow ? 2 : firstOfRow ? 0 : 1;
    }
  }
  static constexpr int kParts[2][3] = {{2, 1, 3}, {6, 5, 7}};
  APart = kParts[tab->IsMainTab() ? 1 : 0][place];
}

void TcxPCTabsPainter::CalculateTabsPosition(TcxPCNavigatorButtons AButtons, TcxPCTabsPosition& APosition) {
  const RECT bounds = ViewInfo()->ControlBounds();
  const int n = GetNavigatorAreaLength(AButtons);
  RECT m{};
  if (ViewInfo()->IsTabsContainer()) GetTabsContainerMargins(m);
  const bool horizontal = IsHorizontalTabs();
  const int size = horizontal ? bounds.right - bounds.left : bounds.bottom - bounds.top;
  // Written for top tabs: the ends of the row along, the tab side across.
  RECT e{m.left, m.top, size - m.left, 0};
  if (AButtons != 0 && !ViewInfo()->MultiLine()) {
    const TcxPCNavigatorPosition np = ViewInfo()->NavigatorPosition();
    const bool atFarEnd = horizontal ? (np == npRightTop || np == npRightBottom) : (np == npLeftBottom || np == npRightBottom);
    e.left = atFarEnd ? m.left : n;
    e.right = atFarEnd ? size - n : size - m.left;
  }
  // Map the along-row ends and the tab-side inset to the real position.
  auto place = [&](int AStart, int AEnd, int AInset) {
    RECT r = bounds;
    switch (Position()) {
      case tpTop: r.left = AStart, r.right = AEnd, r.top += AInset; break;
      case tpBottom: r.left = AStart, r.right = AEnd, r.bottom -= AInset; break;
      case tpLeft: r.top = AStart, r.bottom = AEnd, r.left += AInset; break;
      case tpRight: r.top = AStart, r.bottom = AEnd, r.right -= AInset; break;
    }
    return r;
  };
  APosition.ExtendedTabsRect = place(e.left, e.right, m.top);
  APosition.NormalTabsRect = place(e.left + 2, e.right - 2, m.top + 2);
  APosition.NormalRowWidth = e.right - e.left - 4;
  APosition.ExtendedTopOrLeftTabsRectBottomOrRightBorderOffset = 0;
  APosition.ExtendedBottomOrRightTabsRectTopOrLeftBorderOffset = 0;
  if (Position() == tpTop || Position() == tpLeft)
    APosition.ExtendedTopOrLeftTabsRectBottomOrRightBorderOffset = 1;
  else
    APosition.ExtendedBottomOrRightTabsRectTopOrLeftBorderOffset = -1;
  APosition.MinDistanceBetweenTopOrLeftAndBottomOrRightExtendedTabsRects = 0;
  PlaceNavigatorButtons(AButtons);
}

void TcxPCTabsPainter::CalculateTabsAreaMargins(RECT& AMargins) {
  TcxPCStandardPainter::CalculateTabsAreaMargins(AMargins);
  --AMargins.top;
}

void TcxPCTabsPainter::InvalidateTab(int ATab) {
  TcxTabViewInfo* tab = GetTabViewInfo(ATab);
  ViewInfo()->InvalidateRect(DeflateRectForPosition(tab->VisibleRect(), {0, 0, 0, -1}, tab->PaintingPosition()), false);
}

void TcxPCTabsPainter::GetNativeButtonPart(TcxPCNavigatorButton AKind, TcxPCNavigatorButtonState AState,
                                           TdxThemedObjectType& AType, int& APart, int& AStateId) {
  const int order = kNativeStateOrder[AState];
  switch (AKind) {
    case nbClose: AType = totWindow, APart = 19, AStateId = 1 + order; return;
    case nbGoDialog: AType = totComboBox, APart = 1, AStateId = 1 + order; return;
    default: break;
  }
  const TcxArrowDirection direction = GetArrowDirection(AKind);
  if (VistaOrLater()) {
    AType = totScrollBar, APart = 1, AStateId = 1 + 4 * int(direction) + order;
  } else {
    static constexpr int kSpinParts[4] = {1, 2, 4, 3};
    AType = totSpin, APart = kSpinParts[direction], AStateId = 1 + order;
  }
}

void TcxPCTabsPainter::DrawNativeNavigatorButton(TcxCanvas& ACanvas, const RECT& R, TcxPCNavigatorButton AKind,
                                                 TcxPCNavigatorButtonState AState) {
  TdxThemedObjectType type = totTab;
  int part = 0, state = 0;
  GetNativeButtonPart(AKind, AState, type, part, state);
  HTHEME theme = GetThemeHandleForType(type);
  TWinControl* control = ViewInfo()->IControl()->QueryControl();
  if (ViewInfo()->ParentBackground() && theme && control && IsThemeBackgroundPartiallyTransparent(theme, part, state))
    DrawControlParentBackground(control, ACanvas, R);
  else
    ACanvas.FillRect(R, ViewInfo()->Color());
  RECT r = R;
  if (VistaOrLater() && (AKind == nbGoDialog || AKind == nbClose)) {
    if (IsHorizontalTabs())
      InflateRect(&r, 0, -1);
    else
      InflateRect(&r, -1, 0);
  }
  if (theme) DrawThemeBackground(theme, ACanvas.Handle(), part, state, r);
}

void TcxPCTabsPainter::PaintNavigatorButton(TcxCanvas& ACanvas, const RECT& R, TcxPCNavigatorButton AKind,
                                            TcxPCNavigatorButtonState AState) {
  if (UseNativePainting())
    DrawNativeNavigatorButton(ACanvas, R, AKind, AState);
  else
    TcxPCStandardPainter::PaintNavigatorButton(ACanvas, R, AKind, AState);
}

void TcxPCTabsPainter::PaintFrame(TcxCanvas& ACanvas) {
  TcxPCStandardPainter::PaintFrame(ACanvas);
  if (!ViewInfo()->IsTabsContainer()) return;
  RECT r;
  GetFrameRect(r);
  ACanvas.FillRect(Inflated(r, -GetFrameWidth()), clBtnFace);
}

void TcxPCTabsPainter::PaintTabs(TcxCanvas& ACanvas) {
  const int main = ViewInfo()->MainTabVisibleIndex();
  if (main != -1 && GetTabViewInfo(main)->ActuallyVisible()) PaintTab(ACanvas, main);
  int first = 0, last = -1;
  ViewInfo()->InitializeVisibleTabRange(first, last);
  for (int i = first; i <= last; ++i)
    if (i != main) PaintTab(ACanvas, i);
}

void TcxPCTabsPainter::RepaintTab(int ATab, int AChange) {
  if (AChange == tpcIsMainTab && !GetTabViewInfo(ATab)->IsMainTab())
    InvalidateTabsPart(ATab);
  else
    InvalidateTab(ATab);
}

void TcxPCTabsPainter::PaintPageClientArea(TcxCanvas& ACanvas) {
  if (UseNativePainting())
    PaintNativePage(ACanvas);
  else
    TcxPCStandardPainter::PaintPageClientArea(ACanvas);
}

void TcxPCTabsPainter::GetNavigatorGlyphPosition(const RECT&, TcxPCNavigatorButton AKind, POINT& APoint,
                                                 TcxPCNavigatorButtonState AState) {
  GetFixedGlyphPosition(AKind, APoint, AState);
}

int TcxPCTabsPainter::GetNavigatorButtonThickness() {
  return UseNativePainting() ? GetNativeNavigatorButtonThickness() : TcxPCStandardPainter::GetNavigatorButtonThickness();
}

int TcxPCTabsPainter::GetNavigatorButtonLength(TcxPCNavigatorButton AKind) {
  if (!UseNativePainting()) return TcxPCStandardPainter::GetNavigatorButtonLength(AKind);
  if (AKind != nbGoDialog) return 17;
  if (Win7OrLater()) return GetSystemMetrics(SM_CYHSCROLL);
  SIZE size{};
  if (HTHEME theme = GetThemeHandleForType(totComboBox))
    if (SUCCEEDED(GetThemePartSize(theme, nullptr, 1, 1, TS_TRUE, size)) && size.cx > 0) return size.cx;
  return 17;
}

int TcxPCTabsPainter::GetMinFrameSize() {
  return ViewInfo()->IsTabsContainer() ? GetFrameWidth() + 3 : TcxPCStandardPainter::GetMinFrameSize();
}

int TcxPCTabsPainter::MeasureTabContentHeight() {
  return TcxPCStandardPainter::MeasureTabContentHeight() - 2 - (ViewInfo()->ActuallyRotate() ? 0 : 1);
}

void TcxPCTabsPainter::PaintTabBuffered(TcxCanvas& ACanvas, int ATab) {
  if (!UseNativePainting()) {
    TcxPCStandardPainter::PaintTabBuffered(ACanvas, ATab);
    return;
  }
  TcxTabViewInfo* tab = GetTabViewInfo(ATab);
  RECT d = tab->FullRect();
  TcxBitmap32 bitmap(1, 1);
  bitmap.Canvas().Lock();
  {
    struct TUnlock {
      TcxBitmap32& B;
      ~TUnlock() { B.Canvas().Unlock(); }
    } unlock{bitmap};
    PaintNativeTabBitmap(bitmap, ATab);
    // Under native drawing the tab's content is laid out against the tab's own origin already.
    PaintTabContent(bitmap.cxCanvas(), ATab);
    bitmap.Rotate(ViewInfo()->GetTextRotationAngle());
  }
  if (tab->IsMainTab()) d = DeflateRectForPosition(d, {0, 0, 0, -1}, tab->PaintingPosition());
  BitBlt(ACanvas.Handle(), d.left, d.top, d.right - d.left, d.bottom - d.top, bitmap.Canvas().Handle(), 0, 0, SRCCOPY);
  RECT focus;
  CalculateTabFocusRect(d, focus);
  PaintTabFocusFrame(ACanvas, ATab, focus);
}

void TcxPCTabsPainter::PaintTabShape(TcxCanvas& ACanvas, int ATab) {
  TcxTabViewInfo* tab = GetTabViewInfo(ATab);
  const TcxTabPosition position = tab->PaintingPosition();
  const RECT full = tab->FullRect();
  RECT r = Inflated(full, -2);
  const bool active = tab->IsMainTab();
  if (active || ViewInfo()->IsTabsContainer()) r = DeflateRectForPosition(r, {0, 0, 0, -2}, position);
  ACanvas.Brush().SetStyle(TBrushStyle::bsSolid);
  ACanvas.FillRect(r, GetTabColor(ATab));
  if (!active) {
    // The strip between the body and the page side shows the control.
    const RECT strip = DeflateRectForPosition(r, {0, 0, 0, -2}, position);
    RECT band;
    SubtractRect(&band, &strip, &r);
    ACanvas.FillRect(band, ViewInfo()->Color());
  }
  PaintTabOutline(ACanvas, ATab);
}

// ---- TcxPCFlatPainter

TcxCustomLookAndFeelPainter* TcxPCFlatPainter::GetLookAndFeelPainter() { return RegisteredLookAndFeelPainter(lfsFlat); }

std::unique_ptr<TcxRegion> TcxPCFlatPainter::GetTabClipRegion(TcxCanvas&, int ATab) {
  return std::make_unique<TcxRegion>(GetTabViewInfo(ATab)->VisibleRect());
}

void TcxPCFlatPainter::GetNavigatorGlyphPosition(const RECT& R, TcxPCNavigatorButton AKind, POINT& APoint,
                                                 TcxPCNavigatorButtonState AState) {
  TcxPCTabsPainter::GetNavigatorGlyphPosition(R, AKind, APoint, AState);
  --APoint.x, --APoint.y;
}

void TcxPCFlatPainter::PaintNavigatorButtonFrame(TcxCanvas& ACanvas, RECT& R, TcxPCNavigatorButtonState AState) {
  const bool pressed = AState == nbsPressed;
  DrawFrameSides(ACanvas, R, pressed ? clBtnShadow : clBtnHighlight, pressed ? clBtnHighlight : clBtnShadow);
  InflateRect(&R, -1, -1);
}

void TcxPCFlatPainter::DrawFrameInRect(TcxCanvas& ACanvas, const RECT& R) {
  const unsigned sides = GetTabSideBorders();
  if (sides & cxPCSideLeft) ACanvas.FillRect({R.left, R.top, R.left + 1, R.bottom - 1}, clBtnHighlight);
  if (sides & cxPCSideTop) ACanvas.FillRect({R.left, R.top, R.right - 1, R.top + 1}, clBtnHighlight);
  if (sides & cxPCSideRight) ACanvas.FillRect(RightSide(R), clBtnShadow);
  if (sides & cxPCSideBottom) ACanvas.FillRect(BottomSide(R), clBtnShadow);
}

void TcxPCFlatPainter::PaintTabOutline(TcxCanvas& ACanvas, int ATab) {
  TcxTabViewInfo* tab = GetTabViewInfo(ATab);
  const TColor colors[6] = {clBtnHighlight, cl3DLight, cl3DDkShadow, clBtnShadow, clBtnFace,
                            RaiseColorBrightness(GetTabColor(ATab), 85)};
  DrawOutline(*this, ACanvas, kFlatOutlines[tab->PaintingPosition()], tab->FullRect(), colors);
  PaintTabCorners(ACanvas, ATab);
}

// ---- TcxPCButtonedPainter, TcxPCButtonsPainter, TcxPCFlatButtonsPainter

TcxPCButtonedPainter::TcxPCButtonedPainter(TcxCustomTabControlViewInfo* AViewInfo)
    : TcxPCStandardPainter(AViewInfo), FMainTabBrushBitmap(std::make_unique<TBitmap>()) {
  // A dotted 8 x 8 brush; kept for owners, no drawing of the styles uses it.
  FMainTabBrushBitmap->SetSize(8, 8);
  TCanvas& canvas = FMainTabBrushBitmap->Canvas();
  const COLORREF light = ColorToRGB(cl3DLight), highlight = ColorToRGB(clBtnHighlight);
  for (int y = 0; y < 8; ++y)
    for (int x = 0; x < 8; ++x) SetPixel(canvas.Handle(), x, y, (x + y) % 2 == 0 ? highlight : light);
}

TcxPCButtonedPainter::~TcxPCButtonedPainter() = default;

void TcxPCButtonedPainter::PaintTabFocusRect(TcxCanvas& ACanvas, int ATab) {
  PaintTabFocusFrame(ACanvas, ATab, Inflated(GetTabViewInfo(ATab)->FullRect(), -1));
}

int TcxPCButtonedPainter::GetNavigatorEdgeOffset() { return ViewInfo()->IsTabsContainer() ? 2 : 0; }
int TcxPCButtonedPainter::GetNavigatorEndOffset() { return ViewInfo()->IsTabsContainer() ? 2 : 0; }

void TcxPCButtonedPainter::GetTabImageOnlyOffsets(int ATab, TcxPCDistance& AOffsets) {
  AOffsets = {0, 0};
  AdjustPressedContentOffsets(ATab, AOffsets);
}

TcxCustomLookAndFeelPainter* TcxPCButtonedPainter::GetLookAndFeelPainter() {
  return RegisteredLookAndFeelPainter(lfsStandard);
}

TColor TcxPCButtonedPainter::GetTabColor(int ATab) {
  TcxTabViewInfo* tab = GetTabViewInfo(ATab);
  if (tab->IsHighlighted()) return GetSelectionColor();
  const TColor color = GetTabDefinedColor(ATab);
  if (color != clDefault) return color;
  return tab->IsMainTab() ? clBtnHighlight : clBtnFace;
}

void TcxPCButtonedPainter::AdjustPressedContentOffsets(int ATab, TcxPCDistance& AOffsets) {
  if (!PainterClass()->IsTabPressable() || !IsTabActiveLook(ATab)) return;
  if (GetEffectiveTextRotation(ViewInfo()) == raPlus90)
    --AOffsets.First, ++AOffsets.Second;
  else
    ++AOffsets.First, --AOffsets.Second;
}

void TcxPCButtonedPainter::GetTabContentOffsets(int ATab, TcxPCDistance& AOffsets) {
  AOffsets = HasImages() ? TcxPCDistance{3, 4} : TcxPCDistance{4, 4};
  AdjustPressedContentOffsets(ATab, AOffsets);
  if (PainterClass()->IsTabPressable() && HasImages() && GetEffectiveTextRotation(ViewInfo()) == raPlus90)
    ++AOffsets.First, --AOffsets.Second;
}

void TcxPCButtonedPainter::CalculateTabsAreaMargins(RECT& AMargins) {
  TcxPCStandardPainter::CalculateTabsAreaMargins(AMargins);
  AMargins.top += 2;
}

bool TcxPCButtonedPainter::IsTabActiveLook(int ATab) {
  TcxTabViewInfo* tab = GetTabViewInfo(ATab);
  return !tab->IsTracking() && (tab->IsPressed() || tab->IsSelected() || tab->IsMainTab());
}

void TcxPCButtonedPainter::GetNavigatorGlyphPosition(const RECT&, TcxPCNavigatorButton AKind, POINT& APoint,
                                                     TcxPCNavigatorButtonState AState) {
  GetFixedGlyphPosition(AKind, APoint, AState);
}

bool TcxPCButtonsPainter::IsTabActiveLook(int ATab) {
  TcxTabViewInfo* tab = GetTabViewInfo(ATab);
  return tab->IsTracking() || tab->IsPressed() || tab->IsSelected() || tab->IsMainTab();
}

void TcxPCButtonsPainter::PaintTabShape(TcxCanvas& ACanvas, int ATab) {
  TcxTabViewInfo* tab = GetTabViewInfo(ATab);
  const RECT r = tab->FullRect();
  const bool down = tab->IsPressed() || tab->IsSelected() || tab->IsMainTab() || tab->IsTracking();
  // Up: the raised frame; down: the sunken one with the outer and inner colours of a pressed button.
  static constexpr TFrameLines kUp{clBtnHighlight, cl3DDkShadow, cl3DLight, clBtnShadow};
  static constexpr TFrameLines kDown{cl3DDkShadow, clBtnHighlight, clBtnShadow, cl3DLight};
  const TFrameLines& lines = down ? kDown : kUp;
  DrawFrameSides(ACanvas, r, lines.OuterLT, lines.OuterRB);
  DrawFrameSides(ACanvas, Inflated(r, -1), lines.InnerLT, lines.InnerRB);
  ACanvas.Brush().SetStyle(TBrushStyle::bsSolid);
  ACanvas.FillRect(Inflated(r, -2), GetTabColor(ATab));
}

void TcxPCFlatButtonsPainter::PaintTab(TcxCanvas& ACanvas, int ATab) {
  TcxPCButtonedPainter::PaintTab(ACanvas, ATab);
  PaintTabSeparator(ACanvas, ATab);
}

void TcxPCFlatButtonsPainter::PaintTabShape(TcxCanvas& ACanvas, int ATab) {
  TcxTabViewInfo* tab = GetTabViewInfo(ATab);
  const RECT r = tab->FullRect();
  int frame = 0;
  if (!tab->IsTracking() && (tab->IsPressed() || tab->IsSelected() || tab->IsMainTab())) {
    Draw3DFrame(ACanvas, r, false, true);
    frame = 2;
  } else if (tab->IsHotTrack() || tab->IsTracking()) {
    DrawFrameSides(ACanvas, r, clBtnHighlight, clBtnShadow);
    frame = 1;
  }
  ACanvas.Brush().SetStyle(TBrushStyle::bsSolid);
  ACanvas.FillRect(Inflated(r, -frame), GetTabColor(ATab));
}

bool TcxPCFlatButtonsPainter::NeedsTabSeparator(int ATab) {
  int first = 0, last = -1;
  ViewInfo()->InitializeVisibleTabRange(first, last);
  TcxTabViewInfo* tab = GetTabViewInfo(ATab);
  if (!ViewInfo()->ActuallyRotate())
    return ATab != last && ATab + 1 < ViewInfo()->TabViewInfoCount() &&
           GetTabViewInfo(ATab + 1)->VisibleRow() == tab->VisibleRow();
  if (ViewInfo()->RowCount() <= 1 || tab->VisibleRow() == ViewInfo()->RowCount() - 1) return false;
  const bool horizontal = IsHorizontalTabs();
  const int start = horizontal ? tab->FullRect().left : tab->FullRect().top;
  for (int i = first; i <= last; ++i) {
    TcxTabViewInfo* other = GetTabViewInfo(i);
    if (other->VisibleRow() == tab->VisibleRow() + 1 &&
        (horizontal ? other->FullRect().left : other->FullRect().top) == start)
      return true;
  }
  return false;
}

void TcxPCFlatButtonsPainter::PaintTabSeparator(TcxCanvas& ACanvas, int ATab) {
  if (!NeedsTabSeparator(ATab)) return;
  TcxPCDistance gap;
  GetTabsGap(gap);
  const int g = gap.First, c = (g - 2) / 2;
  const RECT full = GetTabViewInfo(ATab)->FullRect();
  const bool vertical = ViewInfo()->IsVerticalText();
  RECT r;
  if (vertical)
    r = ViewInfo()->IsBottomToTopAlignment() ? RECT{full.left, full.top - g, full.right, full.top}
                                             : RECT{full.left, full.bottom, full.right, full.bottom + g};
  else
    r = ViewInfo()->IsRightToLeftAlignment() ? RECT{full.left - g, full.top, full.left, full.bottom}
                                             : RECT{full.right, full.top, full.right + g, full.bottom};
  if (!ClipToRect(ACanvas, r)) return;
  RECT lines[2];
  if (vertical) {
    lines[0] = {r.left + 1, r.top + c, r.right - 1, r.top + c + 1};
    lines[1] = {r.left + 1, r.top + c + 1, r.right - 1, r.top + c + 2};
  } else {
    lines[0] = {r.left + c, r.top + 1, r.left + c + 1, r.bottom - 1};
    lines[1] = {r.left + c + 1, r.top + 1, r.left + c + 2, r.bottom - 1};
  }
  ACanvas.FillRect(lines[0], clBtnShadow);
  ACanvas.FillRect(lines[1], clBtnHighlight);
  ACanvas.ExcludeClipRect(lines[0]);
  ACanvas.ExcludeClipRect(lines[1]);
  ACanvas.Brush().SetStyle(TBrushStyle::bsSolid);
  ACanvas.FillRect(r, ViewInfo()->Color());
  RestoreClip(ACanvas);
  ACanvas.ExcludeClipRect(r);
}

// ---- TcxPCExtraFlatPainter

namespace {
// DrawSideLines' sides.
enum : int { sdLeft, sdTop, sdRight, sdBottom };
// The side of a rectangle that faces the page, by painting position.
constexpr int kPageSide[4] = {sdBottom, sdTop, sdRight, sdLeft};
// The focused tab's frame: offsets added to the full rectangle by tab position.
constexpr RECT kExtraFlatFocusOffsets[4] = {{0, 0, -1, 1}, {1, -1, -1, -1}, {0, 0, 1, -1}, {-1, 1, -1, -1}};

TcxTabPosition RowPosition(const TcxCustomTabControlViewInfo* AViewInfo, int ARow) {
  const bool horizontal = AViewInfo->TabPosition() == tpTop || AViewInfo->TabPosition() == tpBottom;
  if (ARow < AViewInfo->TopOrLeftPartRowCount()) return horizontal ? tpTop : tpLeft;
  return horizontal ? tpBottom : tpRight;
}
}  // namespace

void TcxPCExtraFlatPainter::DrawSideLines(TcxCanvas& ACanvas, RECT& R, std::initializer_list<std::pair<int, TColor>> ALines,
                                          bool AClip) {
  const RECT start = R;
  for (const auto& [side, color] : ALines) {
    switch (side) {
      case sdLeft: ACanvas.FillRect(LeftSide(R), color), ++R.left; break;
      case sdTop: ACanvas.FillRect(TopSide(R), color), ++R.top; break;
      case sdRight: ACanvas.FillRect(RightSide(R), color), --R.right; break;
      default: ACanvas.FillRect(BottomSide(R), color), --R.bottom; break;
    }
  }
  if (!AClip) return;
  auto band = std::make_unique<TcxRegion>(start);
  band->Combine(new TcxRegion(R), roSubtract);
  ACanvas.SetClipRegion(band.release(), roSubtract);
}

void TcxPCExtraFlatPainter::PaintFrameSides(TcxCanvas& ACanvas, TColor ALeftTop, TColor ARightBottom) {
  RECT r;
  GetFrameRect(r);
  if (ViewInfo()->HideTabs() || ViewInfo()->RowCount() == 0) {
    DrawFrameSides(ACanvas, r, ALeftTop, ARightBottom);
    return;
  }
  switch (Position()) {
    case tpTop: DrawSideLines(ACanvas, r, {{sdRight, ARightBottom}, {sdBottom, ARightBottom}, {sdLeft, ALeftTop}}); break;
    case tpBottom: DrawSideLines(ACanvas, r, {{sdRight, ARightBottom}, {sdTop, ALeftTop}, {sdLeft, ALeftTop}}); break;
    case tpLeft: DrawSideLines(ACanvas, r, {{sdBottom, ARightBottom}, {sdRight, ARightBottom}, {sdTop, ALeftTop}}); break;
    case tpRight: DrawSideLines(ACanvas, r, {{sdBottom, ARightBottom}, {sdLeft, ALeftTop}, {sdTop, ALeftTop}}); break;
  }
}

void TcxPCExtraFlatPainter::DrawEdgeLinesForPosition(TcxCanvas& ACanvas, const RECT& R, TColor ALight, TColor ADark) {
  const int main = ViewInfo()->MainTabVisibleIndex();
  const TcxTabPosition position = main == -1 ? Position() : GetTabViewInfo(main)->PaintingPosition();
  RECT r = R;
  bool corner = false;
  switch (position) {
    case tpTop: DrawSideLines(ACanvas, r, {{sdLeft, ALight}, {sdTop, ALight}, {sdRight, ADark}}, true); break;
    case tpBottom:
      DrawSideLines(ACanvas, r, {{sdLeft, ALight}, {sdBottom, ADark}, {sdRight, ADark}}, true);
      corner = true;
      break;
    case tpLeft: DrawSideLines(ACanvas, r, {{sdTop, ALight}, {sdLeft, ALight}, {sdBottom, ADark}}, true); break;
    case tpRight:
      DrawSideLines(ACanvas, r, {{sdTop, ALight}, {sdRight, ADark}, {sdBottom, ADark}}, true);
      corner = true;
      break;
  }
  if (corner) {
    ACanvas.SetPixel(R.left, R.top, ADark);
    ACanvas.ExcludeClipRect({R.left, R.top, R.left + 1, R.top + 1});
  }
}

void TcxPCExtraFlatPainter::DrawRowEdgeLines(TcxCanvas& ACanvas, RECT& R, std::initializer_list<TColor> AColors) {
  for (TColor color : AColors) {
    switch (kPageSide[FRowPosition]) {
      case sdLeft: DrawSideLines(ACanvas, R, {{sdLeft, color}}); break;
      case sdTop: DrawSideLines(ACanvas, R, {{sdTop, color}}); break;
      case sdRight: DrawSideLines(ACanvas, R, {{sdRight, color}}); break;
      default: DrawSideLines(ACanvas, R, {{sdBottom, color}}); break;
    }
  }
}

bool TcxPCExtraFlatPainter::IsActiveTabRow(int ARow) const {
  const int main = ViewInfo()->MainTabVisibleIndex();
  return main != -1 && ViewInfo()->TabViewInfo(main)->VisibleRow() == ARow;
}

RECT TcxPCExtraFlatPainter::GetTabRowRect(int ARow) {
  TcxPCLineIndexBoundsArray rows;
  ViewInfo()->InitializeLineBoundsArray(rows);
  if (ARow < 0 || ARow >= int(rows.size())) return {};
  RECT r;
  GetTabBandRect(rows[std::size_t(ARow)].Left, true, r);
  const int framed = IsTabsAreaFramed() ? 1 : 0;
  if (IsHorizontalTabs())
    r.left = framed, r.right = ViewInfo()->Width() - framed;
  else
    r.top = framed, r.bottom = ViewInfo()->Height() - framed;
  return r;
}

bool TcxPCExtraFlatPainter::NeedsTabSeparatorBar(int ATab) {
  int first = 0, last = -1;
  ViewInfo()->InitializeVisibleTabRange(first, last);
  TcxTabViewInfo* tab = GetTabViewInfo(ATab);
  if (tab->IsMainTab() || ATab >= last) return false;
  TcxTabViewInfo* next = GetTabViewInfo(ATab + 1);
  return !next->IsMainTab() && next->VisibleRow() == tab->VisibleRow();
}

void TcxPCExtraFlatPainter::CalculateFocusedTabFocusRect(RECT& R) {
  const int focused = ViewInfo()->FocusedTabVisibleIndex();
  R = focused == -1 ? RECT{} : AddRectOffsets(GetTabViewInfo(focused)->FullRect(), kExtraFlatFocusOffsets[Position()]);
}

void TcxPCExtraFlatPainter::PaintTabBody(TcxCanvas& ACanvas, const RECT& R, int ATab) {
  RECT inside = R;
  if (ATab != -1 && !GetTabViewInfo(ATab)->IsMainTab()) {
    ACanvas.FrameRect(R, GetTabsAreaColor());
    inside = Inflated(R, -1);
  }
  ACanvas.Brush().SetStyle(TBrushStyle::bsSolid);
  ACanvas.FillRect(inside, ATab == -1 ? GetTabsAreaColor() : GetTabColor(ATab));
}

void TcxPCExtraFlatPainter::AdjustPageClientTop(RECT& AOffsets) {
  if (HasFrame() && !ViewInfo()->HideTabs() && ViewInfo()->RowCount() > 0) --AOffsets.top;
}

TColor TcxPCExtraFlatPainter::GetActiveTabColor() {
  const int main = ViewInfo()->MainTabVisibleIndex();
  if (main == -1) return clBtnFace;
  const TColor color = GetTabDefinedColor(main);
  return color == clDefault ? clBtnFace : color;
}

void TcxPCExtraFlatPainter::GetTabsPageStripRect(RECT& R) {
  R = {};
  if (ViewInfo()->HideTabs() || ViewInfo()->RowCount() == 0) return;
  RECT page;
  CalculatePageClientRect(page);
  const RECT grown = DeflateRectForPosition(page, {0, -2, 0, 0}, Position());
  SubtractRect(&R, &grown, &page);
}

void TcxPCExtraFlatPainter::GetTabBandRect(int ATab, bool ARow, RECT& R) {
  TcxTabViewInfo* tab = GetTabViewInfo(ATab);
  const TcxTabPosition position = tab->PaintingPosition();
  if (ARow || !tab->IsMainTab())
    R = DeflateRectForPosition(tab->NormalRect(), {0, -3, 0, -GetRowEdgeWidth()}, position);
  else
    R = ShrinkAwayFromPage(tab->FullRect(), 1, position);
}

TColor TcxPCExtraFlatPainter::GetTabsAreaColor() {
  return ViewInfo()->IsTabsContainer() ? ViewInfo()->Color() : LightButtonFaceColor();
}

void TcxPCExtraFlatPainter::PaintActiveTabEdges(TcxCanvas& ACanvas, const RECT& R) {
  DrawEdgeLinesForPosition(ACanvas, R, clWhite, clBlack);
}

void TcxPCExtraFlatPainter::DrawTabSeparatorBar(TcxCanvas& ACanvas, const RECT& R) {
  ACanvas.FillRect(R, clBtnShadow);
  ACanvas.ExcludeClipRect(R);
}

void TcxPCExtraFlatPainter::PaintRowEdge(TcxCanvas& ACanvas, RECT& R, int) {
  const bool nearSide = Position() == tpTop || Position() == tpLeft;
  DrawRowEdgeLines(ACanvas, R, {clBtnFace, clBtnFace, nearSide ? clWhite : clBlack});
}

int TcxPCExtraFlatPainter::MeasureTabNormalWidth(TcxTabViewInfo* ATabViewInfo) {
  return std::max(TcxPCStandardPainter::MeasureTabNormalWidth(ATabViewInfo), GetTabMinWidth(ATabViewInfo->VisibleIndex()));
}

void TcxPCExtraFlatPainter::GetTabRectExtension(int ATab, RECT& AOffsets) {
  AOffsets = ATab == ViewInfo()->MainTabVisibleIndex() ? RECT{-1, -1, 1, 1} : RECT{};
}

void TcxPCExtraFlatPainter::PaintTabFocusRect(TcxCanvas& ACanvas, int ATab) {
  if (!GetTabViewInfo(ATab)->IsFocused()) return;
  RECT r;
  CalculateFocusedTabFocusRect(r);
  PaintTabFocusFrame(ACanvas, ATab, r);
}

int TcxPCExtraFlatPainter::GetNavigatorButtonsDistance(TcxPCNavigatorButton AKind, TcxPCNavigatorButton AOtherKind) {
  const bool pair = (AKind == nbGoDialog && AOtherKind == nbClose) || (AKind == nbClose && AOtherKind == nbGoDialog);
  return pair ? 0 : 3;
}

int TcxPCExtraFlatPainter::GetNavigatorEndOffset() { return 1 + (IsTabsAreaFramed() ? GetFrameWidth() : 0); }

void TcxPCExtraFlatPainter::GetCloseButtonMargins(int ATab, RECT& AMargins) {
  TcxPCStandardPainter::GetCloseButtonMargins(ATab, AMargins);
  ++AMargins.left;
}

void TcxPCExtraFlatPainter::GetPageClientRectOffset(RECT& AOffsets) {
  TcxPCStandardPainter::GetPageClientRectOffset(AOffsets);
  if (!ViewInfo()->HideTabs() && ViewInfo()->RowCount() > 0) AOffsets.top += 2;
  AdjustPageClientTop(AOffsets);
}

TColor TcxPCExtraFlatPainter::GetDefaultPageClientColor() {
  return IsPageActive() ? TcxPCStandardPainter::GetDefaultPageClientColor() : GetBackgroundColor();
}

void TcxPCExtraFlatPainter::GetTabImageOffsets(int ATab, RECT& AOffsets) {
  AOffsets = GetTabViewInfo(ATab)->IsMainTab() ? RECT{3, 0, 0, 0} : RECT{2, 0, 0, 0};
}

void TcxPCExtraFlatPainter::GetTabTextOffsets(int ATab, RECT& AOffsets) {
  TcxTabViewInfo* tab = GetTabViewInfo(ATab);
  const bool active = tab->IsMainTab();
  AOffsets = active ? RECT{6, 2, 3, 0} : RECT{5, 2, 3, 0};
  if (tab->GetRelativeTextRotationAngle() == ra180) AOffsets.top = AOffsets.bottom = 0;
  if (GetRotatedImageSize().cx > 0) AOffsets.left += active ? 1 : 2;
}

TColor TcxPCExtraFlatPainter::GetTabColor(int ATab) {
  TcxTabViewInfo* tab = GetTabViewInfo(ATab);
  if (tab->IsHighlighted()) return GetSelectionColor();
  const TColor color = GetTabDefinedColor(ATab);
  if (color != clDefault) return color;
  if (tab->IsMainTab()) return clBtnFace;
  return ViewInfo()->IsTabsContainer() ? ViewInfo()->Color() : LightButtonFaceColor();
}

void TcxPCExtraFlatPainter::GetTabContentOffsets(int ATab, TcxPCDistance& AOffsets) {
  AOffsets = GetTabViewInfo(ATab)->IsMainTab() ? TcxPCDistance{3, 3} : TcxPCDistance{2, 2};
}

void TcxPCExtraFlatPainter::GetTabsGap(TcxPCDistance& AGap) {
  AGap = {GetTabSeparatorWidth(), GetRowEdgeWidth() + 3};
  if (ViewInfo()->ActuallyRotate()) std::swap(AGap.First, AGap.Second);
}

void TcxPCExtraFlatPainter::CalculateTabsPosition(TcxPCNavigatorButtons AButtons, TcxPCTabsPosition& APosition) {
  const int n = GetNavigatorAreaLength(AButtons);
  RECT m{6, 3, 6, 0};
  if (IsTabsAreaFramed()) m.top += GetFrameWidth();
  RECT& normal = APosition.NormalTabsRect;
  normal = DeflateRectForPosition(ViewInfo()->ControlBounds(), m, Position());
  APosition.NormalRowWidth = (IsHorizontalTabs() ? ViewInfo()->Width() : ViewInfo()->Height()) - n - 12;
  const TcxPCNavigatorPosition np = ViewInfo()->NavigatorPosition();
  if (!IsHorizontalTabs())
    (np == npLeftBottom || np == npRightBottom) ? normal.bottom -= n : normal.top += n;
  else
    (np == npRightTop || np == npRightBottom) ? normal.right -= n : normal.left += n;
  APosition.ExtendedTabsRect = DeflateRectForPosition(normal, {-1, -1, -1, 0}, Position());
  APosition.ExtendedTopOrLeftTabsRectBottomOrRightBorderOffset = 0;
  APosition.ExtendedBottomOrRightTabsRectTopOrLeftBorderOffset = 0;
  if (Position() == tpTop || Position() == tpLeft)
    APosition.ExtendedTopOrLeftTabsRectBottomOrRightBorderOffset = 1;
  else
    APosition.ExtendedBottomOrRightTabsRectTopOrLeftBorderOffset = -1;
  TcxPCDistance gap;
  GetTabsGap(gap);
  APosition.MinDistanceBetweenTopOrLeftAndBottomOrRightExtendedTabsRects = gap.Second - 1;
  PlaceNavigatorButtons(AButtons);
}

void TcxPCExtraFlatPainter::CalculateTabsAreaMargins(RECT& AMargins) {
  TcxPCStandardPainter::CalculateTabsAreaMargins(AMargins);
  if (ViewInfo()->IsTabsOnBothSides()) AMargins.bottom += 3;
}

void TcxPCExtraFlatPainter::PaintFrame(TcxCanvas& ACanvas) { PaintFrameSides(ACanvas, clBtnHighlight, clBtnShadow); }

void TcxPCExtraFlatPainter::PaintTabs(TcxCanvas& ACanvas) {
  TcxPCLineIndexBoundsArray rows;
  ViewInfo()->InitializeLineBoundsArray(rows);
  TcxPCDistance margins;
  for (int row = 0; row < int(rows.size()); ++row) {
    const TcxPCIndexInterval bounds = rows[std::size_t(row)];
    FRowPosition = RowPosition(ViewInfo(), row);
    ACanvas.SaveClipRegion();
    for (int i = bounds.Left; i <= bounds.Right; ++i) {
      PaintTab(ACanvas, i);
      if (!NeedsTabSeparatorBar(i)) continue;
      GetTabSeparatorMargins(margins);
      const RECT full = GetTabViewInfo(i)->FullRect();
      const int w = GetTabSeparatorWidth();
      RECT bar;
      if (IsHorizontalTabs())
        bar = ViewInfo()->IsRightToLeftAlignment() ? RECT{full.left - w, 0, full.left, 0} : RECT{full.right, 0, full.right + w, 0},
        bar.top = full.top + margins.First, bar.bottom = full.bottom - margins.Second;
      else
        bar = ViewInfo()->IsBottomToTopAlignment() ? RECT{0, full.top - w, 0, full.top} : RECT{0, full.bottom, 0, full.bottom + w},
        bar.left = full.left + margins.First, bar.right = full.right - margins.Second;
      DrawTabSeparatorBar(ACanvas, bar);
    }
    const RECT r = GetTabRowRect(row);
    RECT edge = r;
    PaintRowEdge(ACanvas, edge, row);
    PaintTabBody(ACanvas, edge, -1);
    ACanvas.RestoreClipRegion();
    for (int i = bounds.Left; i <= bounds.Right; ++i)
      if (IsTabTransparent(i)) DoAfterPaintTab(ACanvas, i);
    ACanvas.ExcludeClipRect(r);
  }
}

void TcxPCExtraFlatPainter::RepaintTab(int ATab, int AChange) {
  TcxTabViewInfo* tab = GetTabViewInfo(ATab);
  if (AChange == tpcIsMainTab && !tab->IsMainTab())
    InvalidateTabsPart(ATab);
  else
    InvalidateTab(ATab);
  if (tab->IsMainTab()) {
    RECT strip;
    GetTabsPageStripRect(strip);
    ViewInfo()->InvalidateRect(strip, false);
  }
}

void TcxPCExtraFlatPainter::PaintPageClientArea(TcxCanvas& ACanvas) {
  RECT strip;
  GetTabsPageStripRect(strip);
  if (!IsRectEmpty(&strip)) ACanvas.FillRect(strip, GetActiveTabColor());
  TcxPCStandardPainter::PaintPageClientArea(ACanvas);
}

int TcxPCExtraFlatPainter::CalculateTabNormalHeight() {
  int h = std::max(MeasureTabContentHeight(), GetStandardTabHeight());
  const int imageHeight = GetImageSize().cy;
  if (ViewInfo()->ActuallyRotate() && imageHeight > 0 && (h - imageHeight) % 2 != 0) ++h;
  const int d = ViewInfo()->TabsViewInfo()->GetTabDefaultHeight() - 4;
  if (d >= 17 && d > h) h = d;
  if (ViewInfo()->HasTabCloseButtons()) h = std::max(h, GetCloseButtonAreaHeight(-1));
  return h;
}

void TcxPCExtraFlatPainter::GetNavigatorGlyphParams(TcxPCNavigatorButton AKind, TcxPCNavigatorButtonState AState,
                                                    TcxPCNavigatorGlyphParams& AParams) {
  TcxPCStandardPainter::GetNavigatorGlyphParams(AKind, AState, AParams);
  AParams.Enabled = true;
  AParams.Thin = AKind == nbClose || !ViewInfo()->IsEnabled() || AState == nbsDisabled;
  if (AParams.Thin) AParams.FillColor = LightButtonFaceColor();
}

TColor TcxPCExtraFlatPainter::GetNavigatorButtonColor(TcxPCNavigatorButtonState AState) {
  return AState == nbsPressed || AState == nbsHotTrack ? clBtnFace : GetTabsAreaColor();
}

TColor TcxPCExtraFlatPainter::GetNavigatorGlyphColor(TcxPCNavigatorButtonState AState) {
  if (!ViewInfo()->IsEnabled() || AState == nbsDisabled) return clBtnShadow;
  return AState == nbsPressed ? clBtnHighlight : clBtnText;
}

void TcxPCExtraFlatPainter::GetNavigatorGlyphPosition(const RECT&, TcxPCNavigatorButton AKind, POINT& APoint,
                                                      TcxPCNavigatorButtonState AState) {
  static constexpr POINT kArrows[4] = {{2, 5}, {2, 3}, {5, 2}, {3, 2}};
  switch (AKind) {
    case nbGoDialog: APoint = {3, AState == nbsPressed ? 5 : 4}; break;
    case nbClose: APoint = IsHorizontalTabs() ? POINT{2, 3} : POINT{3, 2}; break;
    default: APoint = kArrows[GetArrowDirection(AKind)]; break;
  }
}

void TcxPCExtraFlatPainter::PaintNavigatorButtonFrame(TcxCanvas& ACanvas, RECT& R, TcxPCNavigatorButtonState AState) {
  if (AState != nbsPressed && AState != nbsHotTrack) return;
  Draw3DFrame(ACanvas, R, true, AState == nbsPressed);
  InflateRect(&R, -1, -1);
}

void TcxPCExtraFlatPainter::PaintTabShape(TcxCanvas& ACanvas, int ATab) {
  TcxTabViewInfo* tab = GetTabViewInfo(ATab);
  if (tab->IsMainTab()) PaintActiveTabEdges(ACanvas, tab->FullRect());
  if (!IsTabTransparent(ATab)) PaintTabBody(ACanvas, tab->FullRect(), ATab);
}

// ---- TcxPCUltraFlatPainter

void TcxPCUltraFlatPainter::GetNavigatorGlyphParams(TcxPCNavigatorButton AKind, TcxPCNavigatorButtonState AState,
                                                    TcxPCNavigatorGlyphParams& AParams) {
  TcxPCExtraFlatPainter::GetNavigatorGlyphParams(AKind, AState, AParams);
  AParams.Enabled = ViewInfo()->IsEnabled();
  AParams.Thin = AKind == nbClose;
  AParams.FillColor = AParams.LineColor;
}

TColor TcxPCUltraFlatPainter::GetNavigatorButtonColor(TcxPCNavigatorButtonState AState) {
  switch (AState) {
    case nbsHotTrack: return clBtnFace;
    case nbsPressed: return clBtnShadow;
    default: return LightButtonFaceColor();
  }
}

void TcxPCUltraFlatPainter::GetNavigatorGlyphPosition(const RECT& R, TcxPCNavigatorButton AKind, POINT& APoint,
                                                      TcxPCNavigatorButtonState AState) {
  GetCenteredGlyphPosition(R, AKind, APoint, AState);
}

int TcxPCUltraFlatPainter::GetNavigatorButtonLength(TcxPCNavigatorButton AKind) {
  static constexpr int kLengths[4] = {15, 15, 11, 14};
  return kLengths[AKind];
}

int TcxPCUltraFlatPainter::GetNavigatorButtonsDistance(TcxPCNavigatorButton AKind, TcxPCNavigatorButton AOtherKind) {
  return AKind == nbClose || AOtherKind == nbClose ? 3 : 1;
}

void TcxPCUltraFlatPainter::PaintNavigatorButtonFrame(TcxCanvas& ACanvas, RECT& R, TcxPCNavigatorButtonState AState) {
  ACanvas.FrameRect(R, AState == nbsPressed || AState == nbsHotTrack ? clBlack : clBtnShadow);
  InflateRect(&R, -1, -1);
}

void TcxPCUltraFlatPainter::CalculateFocusedTabFocusRect(RECT& R) {
  const int focused = ViewInfo()->FocusedTabVisibleIndex();
  R = focused == -1 ? RECT{}
                    : ShrinkAwayFromPage(GetTabViewInfo(focused)->FullRect(), 1, GetTabViewInfo(focused)->PaintingPosition());
}

void TcxPCUltraFlatPainter::PaintFrame(TcxCanvas& ACanvas) { PaintFrameSides(ACanvas, clBtnShadow, clBtnShadow); }

void TcxPCUltraFlatPainter::PaintActiveTabEdges(TcxCanvas& ACanvas, const RECT& R) {
  DrawEdgeLinesForPosition(ACanvas, R, clBlack, clBlack);
}

void TcxPCUltraFlatPainter::PaintRowEdge(TcxCanvas& ACanvas, RECT& R, int ARow) {
  if (IsActiveTabRow(ARow))
    DrawRowEdgeLines(ACanvas, R, {clBtnFace, clBtnFace, clBlack});
  else
    DrawRowEdgeLines(ACanvas, R, {clBtnFace, clBlack, clBtnFace});
}

// ---- TcxPCOffice11Painter

namespace {
// The Office 2003 scheme colours by role.
enum TOffice11Role : int {
  o11Band1 = 1, o11Band2 = 2, o11SeparatorDark = 15, o11SeparatorLight = 16, o11Frame = 22, o11Selected1 = 23,
  o11Selected2 = 24, o11Pressed1 = 25, o11Pressed2 = 26, o11Text = 31, o11DisabledText = 32
};
TColor Office11(TOffice11Role ARole) { return Office11SchemeColor(ARole); }
TColor HalfBlend(TColor A, TColor B) { return BlendColorsByPercent(A, B, 50); }
}  // namespace

TColor TcxPCOffice11Painter::GetOffice11FrameColor() { return Office11(o11Frame); }

TColor TcxPCOffice11Painter::GetDefaultPageClientColor() { return HalfBlend(Office11(o11Band1), Office11(o11Band2)); }

bool TcxPCOffice11Painter::HasUnframedSecondTabPart() {
  if (HasFrame()) return false;
  const int part = ViewInfo()->TopOrLeftPartRowCount();
  return Position() == tpTop || Position() == tpLeft ? part != ViewInfo()->RowCount() : part > 0;
}

void TcxPCOffice11Painter::GetPageClientRectOffset(RECT& AOffsets) {
  TcxPCUltraFlatPainter::GetPageClientRectOffset(AOffsets);
  if (HasUnframedSecondTabPart()) ++AOffsets.bottom;
}

bool TcxPCOffice11Painter::IsClientAreaGradient() {
  const TcxPCOptions both = PCOptions({pcoGradient, pcoGradientClientArea});
  return (ViewInfo()->Options() & both) == both;
}

void TcxPCOffice11Painter::PaintPageClientBackground(TcxCanvas& ACanvas) {
  if (IsActivePageColorUsed() || !IsClientAreaGradient()) {
    TcxPCUltraFlatPainter::PaintPageClientBackground(ACanvas);
    return;
  }
  RECT r;
  CalculatePageClientRect(r);
  FillGradientRect(ACanvas.Handle(), r, Office11(o11Band1), Office11(o11Band2), !IsHorizontalTabs());
}

TcxCustomLookAndFeelPainter* TcxPCOffice11Painter::GetLookAndFeelPainter() {
  return RegisteredLookAndFeelPainter(lfsOffice11);
}

TColor TcxPCOffice11Painter::GetTabColor(int ATab) {
  return GetTabViewInfo(ATab)->IsHighlighted() ? GetSelectionColor() : GetTabDefinedColor(ATab);
}

bool TcxPCOffice11Painter::IsTabTransparent(int ATab) {
  return !GetTabViewInfo(ATab)->IsMainTab() && GetTabColor(ATab) == clDefault;
}

void TcxPCOffice11Painter::GetOffice11GradientColors(int ATab, bool AReverse, TColor& AColor1, TColor& AColor2) {
  if (ATab != -1 && GetTabViewInfo(ATab)->IsMainTab())
    AColor1 = Office11(o11Selected1), AColor2 = Office11(o11Selected2);
  else
    AColor1 = Office11(o11Band1), AColor2 = Office11(o11Band2);
  if (!HasGradientOption())
    AColor1 = AColor2 = HalfBlend(AColor1, AColor2);
  else if (AReverse)
    std::swap(AColor1, AColor2);
}

void TcxPCOffice11Painter::PaintGradientTabBody(TcxCanvas& ACanvas, const RECT& R, bool AReverse, int ATab) {
  TColor c1, c2;
  GetOffice11GradientColors(ATab, AReverse, c1, c2);
  if (ATab == -1 || GetTabColor(ATab) == clDefault) {
    FillGradientRect(ACanvas.Handle(), R, c1, c2, !IsHorizontalTabs());
    return;
  }
  RECT r = R;
  TcxTabViewInfo* tab = GetTabViewInfo(ATab);
  if (!tab->IsMainTab()) {
    // The page side keeps a line of the row's gradient.
    switch (tab->PaintingPosition()) {
      case tpTop: DrawSideLines(ACanvas, r, {{sdBottom, c2}}); break;
      case tpBottom: DrawSideLines(ACanvas, r, {{sdTop, c1}}); break;
      case tpLeft: DrawSideLines(ACanvas, r, {{sdRight, c2}}); break;
      case tpRight: DrawSideLines(ACanvas, r, {{sdLeft, c1}}); break;
    }
  }
  ACanvas.Brush().SetStyle(TBrushStyle::bsSolid);
  ACanvas.FillRect(r, GetTabColor(ATab));
}

void TcxPCOffice11Painter::PaintTabBackground(TcxCanvas& ACanvas, const RECT& R, int ATab, TColor) {
  RECT r;
  GetTabBandRect(ATab, false, r);
  r = DeflateRectForPosition(r, {0, 0, 0, GetRowEdgeWidth()}, GetTabViewInfo(ATab)->PaintingPosition());
  ACanvas.SaveClipRegion();
  ACanvas.IntersectClipRect(R);
  PaintGradientTabBody(ACanvas, r, false, ATab);
  ACanvas.RestoreClipRegion();
}

void TcxPCOffice11Painter::PaintPageClientArea(TcxCanvas& ACanvas) {
  if (HasUnframedSecondTabPart()) {
    RECT page;
    CalculatePageClientRect(page);
    const RECT longer = DeflateRectForPosition(page, {0, 0, 0, -1}, Position());
    RECT line;
    SubtractRect(&line, &longer, &page);
    ACanvas.FillRect(line, GetOffice11FrameColor());
  }
  TcxPCUltraFlatPainter::PaintPageClientArea(ACanvas);
}

TColor TcxPCOffice11Painter::GetNavigatorGlyphColor(TcxPCNavigatorButtonState AState) {
  return Office11(AState == nbsDisabled ? o11DisabledText : o11Text);
}

void TcxPCOffice11Painter::FillNavigatorButton(TcxCanvas& ACanvas, const RECT& R, TcxPCNavigatorButtonState AState) {
  if (!ClipToRect(ACanvas, R)) return;
  // The button shows the part of the first row's gradient that lies under it.
  const RECT row = GetTabRowRect(0);
  TColor c1, c2;
  switch (AState) {
    case nbsHotTrack: c1 = Office11(o11Selected1), c2 = Office11(o11Selected2); break;
    case nbsPressed: c1 = Office11(o11Pressed1), c2 = Office11(o11Pressed2); break;
    default:
      PaintTabBody(ACanvas, row, -1);
      RestoreClip(ACanvas);
      return;
  }
  if (!HasGradientOption()) c1 = c2 = HalfBlend(c1, c2);
  FillGradientRect(ACanvas.Handle(), row, c1, c2, !IsHorizontalTabs());
  RestoreClip(ACanvas);
}

void TcxPCOffice11Painter::PaintNavigatorButtonFrame(TcxCanvas& ACanvas, RECT& R, TcxPCNavigatorButtonState AState) {
  const bool disabled = !ViewInfo()->IsEnabled() || AState == nbsDisabled;
  ACanvas.FrameRect(R, disabled ? Office11(o11DisabledText) : GetOffice11FrameColor());
  InflateRect(&R, -1, -1);
}

void TcxPCOffice11Painter::PaintFrame(TcxCanvas& ACanvas) {
  RECT r;
  CalculatePageClientRect(r);
  ACanvas.FrameRect(Inflated(r, 1), GetOffice11FrameColor());
}

void TcxPCOffice11Painter::CalculateFocusedTabFocusRect(RECT& R) { TcxPCUltraFlatPainter::CalculateFocusedTabFocusRect(R); }

void TcxPCOffice11Painter::GetTabSeparatorMargins(TcxPCDistance& AMargins) {
  AMargins = Position() == tpTop || Position() == tpLeft ? TcxPCDistance{0, 2} : TcxPCDistance{3, -1};
}

void TcxPCOffice11Painter::PaintTabBody(TcxCanvas& ACanvas, const RECT& R, int ATab) {
  PaintGradientTabBody(ACanvas, R, false, ATab);
}

TColor TcxPCOffice11Painter::GetActiveTabColor() {
  const int main = ViewInfo()->MainTabVisibleIndex();
  if (main != -1) {
    const TColor color = GetTabDefinedColor(main);
    if (color != clDefault) return color;
  }
  if (!HasGradientOption()) return HalfBlend(Office11(o11Selected1), Office11(o11Selected2));
  return Position() == tpTop || Position() == tpLeft ? Office11(o11Selected2) : Office11(o11Selected1);
}

void TcxPCOffice11Painter::GetTabsPageStripRect(RECT& R) {
  R = {};
  if (ViewInfo()->HideTabs() || ViewInfo()->RowCount() == 0) return;
  RECT frame;
  GetFrameRect(frame);
  switch (Position()) {
    case tpTop: R = {frame.left, frame.top, frame.right, frame.top + 2}; break;
    case tpBottom: R = {frame.left, frame.bottom - 2, frame.right, frame.bottom}; break;
    case tpLeft: R = {frame.left, frame.top, frame.left + 2, frame.bottom}; break;
    case tpRight: R = {frame.right - 2, frame.top, frame.right, frame.bottom}; break;
  }
}

void TcxPCOffice11Painter::PaintActiveTabEdges(TcxCanvas& ACanvas, const RECT& R) {
  DrawEdgeLinesForPosition(ACanvas, R, GetOffice11FrameColor(), GetOffice11FrameColor());
}

void TcxPCOffice11Painter::DrawTabSeparatorBar(TcxCanvas& ACanvas, const RECT& R) {
  RECT dark{R.left, R.top, R.right - 1, R.bottom - 1};
  ACanvas.FillRect(dark, Office11(o11SeparatorDark));
  ACanvas.ExcludeClipRect(dark);
  OffsetRect(&dark, 1, 1);
  ACanvas.FillRect(dark, Office11(o11SeparatorLight));
  ACanvas.ExcludeClipRect(dark);
}

void TcxPCOffice11Painter::PaintRowEdge(TcxCanvas& ACanvas, RECT& R, int) {
  DrawRowEdgeLines(ACanvas, R, {GetOffice11FrameColor()});
}

// ---- TcxPCSlantedPainter

namespace {
enum TLinePosition : int { lpL, lpLT, lpT, lpRT, lpR, lpRB, lpB, lpLB };

// A tab's size along and across its row.
SIZE RectSizeForPosition(const RECT& R, TcxTabPosition APosition) {
  const int w = R.right - R.left, h = R.bottom - R.top;
  return IsVerticalPosition(APosition) ? SIZE{h, w} : SIZE{w, h};
}

int SlantCount(TcxTabSlantPositions APositions) { return int((APositions >> spLeft) & 1) + int((APositions >> spRight) & 1); }
bool HasSlant(TcxTabSlantPositions APositions, TcxTabSlantPosition APosition) { return (APositions >> APosition) & 1; }

// Line positions of a top tab's outline turned to the painting position.
constexpr TLinePosition kOrientedLinePositions[4][8] = {
    {lpL, lpLT, lpT, lpRT, lpR, lpRB, lpB, lpLB},
    {lpL, lpLB, lpB, lpRB, lpR, lpRB, lpB, lpLB},
    {lpB, lpLB, lpL, lpLT, lpT, lpRB, lpB, lpLB},
    {lpB, lpRB, lpR, lpRT, lpT, lpRB, lpB, lpLB}};
// How the last outline point is pushed out by the last segment's position.
constexpr POINT kOutlineExtension[8] = {{0, -1}, {1, -1}, {1, 0}, {1, 1}, {0, 1}, {-1, 1}, {-1, 0}, {-1, -1}};

std::unique_ptr<TcxRegion> CreateOutlineRegion(std::vector<POINT> APoints, std::vector<int> APositions, const RECT& ARect,
                                               TcxTabPosition APosition, bool AForPaint) {
  for (POINT& p : APoints) TcxPCCustomPainter::RotatePointInRect(ARect, p, APosition);
  if (APosition == tpBottom || APosition == tpRight) {
    std::reverse(APoints.begin(), APoints.end());
    std::reverse(APositions.begin(), APositions.end());
  }
  for (int& position : APositions) position = kOrientedLinePositions[APosition][position];
  if (!APositions.empty()) {
    const POINT d = kOutlineExtension[APositions.back()];
    APoints.back().x += d.x, APoints.back().y += d.y;
    if (APosition == tpLeft && APositions.front() == lpLB) ++APoints.front().x, ++APoints.front().y;
  }
  auto used = [&](int APos) { return std::find(APositions.begin(), APositions.end(), APos) != APositions.end(); };
  for (std::size_t i = 0; i < APositions.size(); ++i) {
    POINT& s = APoints[i];
    POINT& e = APoints[i + 1];
    const int position = APositions[i];
    if (AForPaint) {
      switch (position) {
        case lpL: ++s.x, ++e.x, s.y += used(lpLB), e.y -= used(lpLT); break;
        case lpLT: (used(lpL) ? s.y : s.x) += 1, (used(lpT) ? e.x : e.y) += 1; break;
        case lpT: ++s.y, ++e.y, s.x -= used(lpLT), e.x += used(lpRT); break;
        case lpLB: used(lpB) ? ++s.x : --s.y, used(lpL) ? --e.y : ++e.x; break;
        default: break;
      }
    } else {
      switch (position) {
        case lpRT: used(lpT) ? ++s.x : --s.y, used(lpR) ? --e.y : ++e.x; break;
        case lpR: ++s.x, ++e.x, s.y += used(lpRT), e.y -= used(lpRB); break;
        case lpRB: (used(lpR) ? s.y : s.x) += 1, (used(lpB) ? e.x : e.y) += 1; break;
        case lpB: ++s.y, ++e.y, s.x -= used(lpRB), e.x += used(lpLB); break;
        default: break;
      }
    }
  }
  return std::make_unique<TcxRegion>(CreatePolygonRgn(APoints.data(), int(APoints.size()), WINDING));
}
}  // namespace

bool TcxPCSlantedPainter::IsTabSlantTowardContent(int ATab) {
  if (ATab == -1) return false;
  const int index = GetTabViewInfo(ATab)->PaintingPositionIndex();
  const TcxTabSlantPositions positions = ViewInfo()->TabSlants().Positions();
  return index == 5 || index == 8 ? HasSlant(positions, spLeft) : HasSlant(positions, spRight);
}

void TcxPCSlantedPainter::FillTabBody(TcxCanvas& ACanvas, const RECT& R, bool AReverse, bool AAcrossRows, int ATab) {
  TcxTabViewInfo* tab = GetTabViewInfo(ATab);
  const bool hotActive = tab->IsMainTab() && tab->IsHotTrack() && IsActiveTabHotGradient();
  if (tab->IsMainTab() && !hotActive) {
    ACanvas.FillRect(R, GetTabColor(ATab));
    return;
  }
  TColor c1, c2;
  if (HasGradientOption())
    GetTabGradientColors(ATab, c1, c2);
  else
    c1 = c2 = GetTabColor(ATab);
  if (hotActive && (tab->PaintingPosition() == tpBottom || tab->PaintingPosition() == tpRight)) std::swap(c1, c2);
  if (AReverse) std::swap(c1, c2);
  FillGradientRect(ACanvas.Handle(), R, c1, c2, AAcrossRows);
}

RECT TcxPCSlantedPainter::GetPageSideStripRect(int ATab) {
  TcxTabViewInfo* tab = GetTabViewInfo(ATab);
  const RECT v = tab->VisibleRect();
  switch (tab->PaintingPosition()) {
    case tpTop: return {v.left, v.bottom, v.right, v.bottom + 1};
    case tpBottom: return {v.left, v.top - 1, v.right, v.top};
    case tpLeft: return {v.right, v.top, v.right + 1, v.bottom};
    default: return {v.left - 1, v.top, v.left, v.bottom};
  }
}

void TcxPCSlantedPainter::PaintActiveTabBase(TcxCanvas& ACanvas, int ATab) {
  TcxTabViewInfo* tab = GetTabViewInfo(ATab);
  ACanvas.FillRect(GetPageSideStripRect(ATab), GetTabColor(ATab));
  const RECT full = tab->FullRect();
  const SIZE size = RectSizeForPosition(full, tab->PaintingPosition());
  const TcxTabSlantPositions slanted = OverlapSlantSides();
  const POINT ends[2] = {{full.left, full.bottom}, {full.left + size.cx - 1, full.bottom}};
  for (TcxTabSlantPosition end : {spLeft, spRight}) {
    if (HasSlant(slanted, end)) continue;
    POINT p = ends[end];
    RotatePointInRect(full, p, tab->PaintingPosition());
    ACanvas.SetPixel(p.x, p.y, GetSlantFrameColor());
  }
}

void TcxPCSlantedPainter::GetTabGradientColors(int ATab, TColor& AColor1, TColor& AColor2) {
  const TColor c = GetTabColor(ATab);
  if (GetTabViewInfo(ATab)->IsHotTrack()) {
    AColor1 = RaiseColorBrightness(c, 20);
    AColor2 = c;
  } else {
    AColor1 = RaiseColorBrightness(c, 13);
    AColor2 = ScaleColorByPercent(c, 90);
  }
}

int TcxPCSlantedPainter::SlantMinTabWidth() {
  if (ViewInfo()->ActuallyRotate()) return 0;
  const TcxTabSlants& slants = ViewInfo()->TabSlants();
  const int n = SlantCount(slants.Positions());
  if (n == 0) return 8;
  return slants.Kind() == skSlant ? FCutValue * n - 2 * n + 8 : FCutValue * n + GetFrameWidth() * (2 - n) + 4;
}

TcxTabSlantPositions TcxPCSlantedPainter::OverlapSlantSides() {
  const TcxTabSlants& slants = ViewInfo()->TabSlants();
  return slants.Kind() == skSlant && !ViewInfo()->ActuallyRotate() ? slants.Positions() : 0;
}

void TcxPCSlantedPainter::GetTabImageAreaSize(SIZE& ASize) {
  ASize = HasImages() ? SIZE{GetImageAreaWidth(), GetImageAreaHeight()} : SIZE{0, 0};
}

int TcxPCSlantedPainter::GetCutValue() {
  return ViewInfo()->TabSlants().Kind() == skSlant ? CalculateTabNormalHeight() - 1 : 6;
}

int TcxPCSlantedPainter::GetSlantOffset() const {
  return ViewInfo()->TabSlants().Kind() == skSlant ? FCutValue : 6;
}

void TcxPCSlantedPainter::BuildTabOutline(int ATab, std::vector<POINT>& APoints, std::vector<int>& ALinePositions) {
  TcxTabViewInfo* tab = GetTabViewInfo(ATab);
  const RECT full = tab->FullRect();
  const SIZE size = RectSizeForPosition(full, tab->PaintingPosition());
  const int L = full.left, B = full.bottom, w = size.cx, h = size.cy;
  const TcxTabSlants& slants = ViewInfo()->TabSlants();
  const bool rotated = ViewInfo()->ActuallyRotate();
  const bool anySet = slants.Positions() != 0;
  APoints.clear();
  ALinePositions.clear();
  auto append = [&](std::initializer_list<POINT> APointsToAdd, std::initializer_list<int> APositions) {
    APoints.insert(APoints.end(), APointsToAdd);
    ALinePositions.insert(ALinePositions.end(), APositions);
  };
  auto applies = [&](TcxTabSlantPosition AEnd) {
    return HasSlant(slants.Positions(), AEnd) && !(rotated && slants.Kind() == skSlant);
  };
  if (applies(spLeft) && slants.Kind() == skSlant)
    append({{L, B - 1}, {L + h - 1, B - h}}, {lpLT});
  else if (applies(spLeft))
    append({{L, B - 1}, {L, B - h + 6}, {L + 6, B - h}}, {lpL, lpLT});
  else if (slants.Kind() == skCutCorner && anySet)
    append({{L, B - 1}, {L, B - h}}, {lpL});
  else
    append({{L, B - 1}, {L, B - h + 2}, {L + 2, B - h}}, {lpL, lpLT});
  if (applies(spRight) && slants.Kind() == skSlant)
    append({{L + w - h, B - h}, {L + w - 1, B - 1}}, {lpT, lpRT});
  else if (applies(spRight))
    append({{L + w - 7, B - h}, {L + w - 1, B - h + 6}, {L + w - 1, B - 1}}, {lpT, lpRT, lpR});
  else if (slants.Kind() == skCutCorner && anySet)
    append({{L + w - 1, B - h}, {L + w - 1, B - 1}}, {lpT, lpR});
  else
    append({{L + w - 3, B - h}, {L + w - 1, B - h + 2}, {L + w - 1, B - 1}}, {lpT, lpRT, lpR});
}

std::unique_ptr<TcxRegion> TcxPCSlantedPainter::CreateTabRegion(TcxCanvas&, int ATab, bool AForPaint) {
  std::vector<POINT> points;
  std::vector<int> positions;
  BuildTabOutline(ATab, points, positions);
  TcxTabViewInfo* tab = GetTabViewInfo(ATab);
  return CreateOutlineRegion(points, positions, tab->FullRect(), tab->PaintingPosition(), AForPaint);
}

void TcxPCSlantedPainter::PaintTabOutlineLines(TcxCanvas& ACanvas, int ATab, const RECT& R) {
  std::vector<POINT> points;
  std::vector<int> positions;
  BuildTabOutline(ATab, points, positions);
  DrawRotatedLines(ACanvas, R, GetSlantFrameColor(), GetTabViewInfo(ATab)->PaintingPosition(), int(points.size()) - 1,
                   points.data());
}

void TcxPCSlantedPainter::PaintTabAccent(TcxCanvas& ACanvas, int ATab) {
  TcxTabViewInfo* tab = GetTabViewInfo(ATab);
  if (!tab->IsHotTrack() && !tab->IsMainTab()) return;
  const RECT full = tab->FullRect();
  const RECT inner = DeflateRectForPosition(full, {0, GetFrameWidth() + 3, 0, 0}, tab->PaintingPosition());
  RECT strip;
  SubtractRect(&strip, &full, &inner);
  ACanvas.FillRect(strip, clHighlight);
  ACanvas.ExcludeClipRect(strip);
}

int TcxPCSlantedPainter::MeasureTabNormalWidth(TcxTabViewInfo* ATabViewInfo) {
  return std::max(TcxPCStandardPainter::MeasureTabNormalWidth(ATabViewInfo), GetTabMinWidth(ATabViewInfo->VisibleIndex()));
}

void TcxPCSlantedPainter::PaintTabFocusRect(TcxCanvas& ACanvas, int ATab) {
  TcxTabViewInfo* tab = GetTabViewInfo(ATab);
  RECT r = tab->TextRect();
  if (IsRectEmpty(&r)) return;
  switch (ViewInfo()->GetTextRotationAngle()) {
    case ra0: InflateRect(&r, 3, 2); break;
    case raPlus90: case raMinus90: InflateRect(&r, 2, 3); break;
    default: break;
  }
  ACanvas.Brush().SetColor(GetTabColor(ATab));
  PaintTabFocusFrame(ACanvas, ATab, r);
}

int TcxPCSlantedPainter::GetNavigatorButtonsDistance(TcxPCNavigatorButton AKind, TcxPCNavigatorButton AOtherKind) {
  return AKind == nbClose || AOtherKind == nbClose ? 3 : 1;
}

int TcxPCSlantedPainter::GetNavigatorEdgeOffset() { return ViewInfo()->IsTabsContainer() ? 2 : 1; }
int TcxPCSlantedPainter::GetNavigatorEndOffset() { return ViewInfo()->IsTabsContainer() ? 2 : 0; }

TColor TcxPCSlantedPainter::GetPageClientColor() {
  const int main = ViewInfo()->MainTabVisibleIndex();
  if (ViewInfo()->IsTabsContainer() && main != -1) {
    const TColor color = GetTabDefinedColor(main);
    return color == clDefault ? clBtnFace : color;
  }
  return TcxPCStandardPainter::GetPageClientColor();
}

void TcxPCSlantedPainter::GetPageClientBackgroundRect(RECT& R) {
  TcxPCStandardPainter::GetPageClientBackgroundRect(R);
  if (ViewInfo()->IsTabsContainer()) R = DeflateRectForPosition(R, {0, -2, 0, 0}, Position());
}

void TcxPCSlantedPainter::GetPageClientRectOffset(RECT& AOffsets) {
  TcxPCStandardPainter::GetPageClientRectOffset(AOffsets);
  const bool tabsShown = !ViewInfo()->HideTabs() && ViewInfo()->RowCount() > 0;
  if (!tabsShown) return;
  if (ViewInfo()->IsTabsContainer()) AOffsets.top += 2;
  if (!HasFrame()) {
    ++AOffsets.top;
    if (ViewInfo()->IsTabsOnBothSides()) ++AOffsets.bottom;
  }
}

void TcxPCSlantedPainter::GetTabImageOffsets(int, RECT& AOffsets) {
  const int w = GetFrameWidth();
  if (!ViewInfo()->ActuallyRotate()) {
    AOffsets = {0, w + 3, 0, 1};
    return;
  }
  const TcxTabSlants& slants = ViewInfo()->TabSlants();
  const int v = slants.Kind() == skCutCorner && slants.Positions() != 0 ? w + 2 : w + 1;
  AOffsets = {0, v, 0, v};
}

void TcxPCSlantedPainter::GetTabTextOffsets(int, RECT& AOffsets) {
  const int w = GetFrameWidth();
  AOffsets = ViewInfo()->ActuallyRotate() ? RECT{0, w + 3, 0, w + 1} : RECT{0, w + 4, 0, 1};
}

TColor TcxPCSlantedPainter::GetTabColor(int ATab) {
  if (GetTabViewInfo(ATab)->IsHighlighted()) return GetSelectionColor();
  const TColor color = GetTabDefinedColor(ATab);
  if (color != clDefault) return color;
  return ViewInfo()->IsTabsContainer() ? clBtnFace : ViewInfo()->Color();
}

std::unique_ptr<TcxRegion> TcxPCSlantedPainter::GetTabClipRegion(TcxCanvas& ACanvas, int ATab) {
  TcxTabViewInfo* tab = GetTabViewInfo(ATab);
  std::unique_ptr<TcxRegion> region = CreateTabRegion(ACanvas, ATab, false);
  region->Combine(new TcxRegion(tab->VisibleRect()), roIntersect);
  if (tab->IsMainTab()) region->Combine(new TcxRegion(GetPageSideStripRect(ATab)), roAdd);
  return region;
}

void TcxPCSlantedPainter::GetTabContentOffsets(int ATab, TcxPCDistance& AOffsets) {
  const int w = GetFrameWidth();
  const TcxTabSlants& slants = ViewInfo()->TabSlants();
  if (ViewInfo()->ActuallyRotate()) {
    AOffsets = {2, w + 5 + (slants.Kind() == skCutCorner && slants.Positions() != 0 ? 1 : 0)};
    if (GetTabViewInfo(ATab)->GetRelativeTextRotationAngle() == raMinus90) std::swap(AOffsets.First, AOffsets.Second);
    return;
  }
  AOffsets = {HasSlant(slants.Positions(), spLeft) ? GetSlantOffset() : w + 2,
              HasSlant(slants.Positions(), spRight) ? GetSlantOffset() : w + 2};
  if (ViewInfo()->GetTextRotationAngle() == raMinus90) std::swap(AOffsets.First, AOffsets.Second);
}

void TcxPCSlantedPainter::GetTabsContainerMargins(RECT& AMargins) {
  AMargins = {};
  if (!ViewInfo()->IsTabsContainer()) return;
  AMargins = {0, 2, 0, 0};
  const TcxTabSlantPositions slanted = OverlapSlantSides();
  const bool swapEnds = Position() == tpBottom || Position() == tpRight;
  if (HasSlant(slanted, spLeft)) (swapEnds ? AMargins.right : AMargins.left) = 1;
  if (HasSlant(slanted, spRight)) (swapEnds ? AMargins.left : AMargins.right) = 1;
}

void TcxPCSlantedPainter::GetTabsGap(TcxPCDistance& AGap) {
  const TcxTabSlantPositions slanted = OverlapSlantSides();
  AGap = {slanted != 0 ? -(FCutValue / 2) * SlantCount(slanted) : 1, -3};
  if (ViewInfo()->ActuallyRotate()) std::swap(AGap.First, AGap.Second);
}

void TcxPCSlantedPainter::PrepareLayout() {
  TcxPCStandardPainter::PrepareLayout();
  FCutValue = GetCutValue();
}

bool TcxPCSlantedPainter::IsPointInTab(int ATab, int X, int Y) {
  TcxCanvas* canvas = ViewInfo()->Canvas();
  if (!canvas) return true;
  if (!GetTabClipRegion(*canvas, ATab)->PtInRegion(X, Y)) return false;
  int first = 0, last = -1;
  ViewInfo()->InitializeVisibleTabRange(first, last);
  const int next = ATab + 1;
  if (next <= last && GetTabViewInfo(next)->IsMainTab() && GetTabClipRegion(*canvas, next)->PtInRegion(X, Y))
    return false;
  return true;
}

void TcxPCSlantedPainter::PaintFrame(TcxCanvas& ACanvas) {
  RECT r;
  CalculatePageClientRect(r);
  r = Inflated(r, 1);
  if (ViewInfo()->IsTabsContainer()) r = DeflateRectForPosition(r, {0, -2, 0, 0}, Position());
  ACanvas.FrameRect(r, GetSlantFrameColor());
}

void TcxPCSlantedPainter::PaintRowTabs(TcxCanvas& ACanvas, int ARow, int AFirst, int ALast) {
  for (int i = AFirst; i <= ALast; ++i)
    if (!GetTabViewInfo(i)->IsMainTab()) PaintTab(ACanvas, i);
  // The row's base lines.
  RECT r{};
  for (int i = AFirst; i <= ALast; ++i) {
    const RECT v = GetTabViewInfo(i)->VisibleRect();
    if (IsRectEmpty(&r))
      r = v;
    else
      UnionRect(&r, &r, &v);
  }
  const int part = ViewInfo()->TopOrLeftPartRowCount();
  const bool nearest = ARow == part - 1 || ARow == part;
  const TcxTabSlantPositions slanted = OverlapSlantSides();
  const bool horizontal = IsHorizontalTabs();
  const bool stretchStart = nearest || HasSlant(slanted, spLeft), stretchEnd = nearest || HasSlant(slanted, spRight);
  if (horizontal) {
    if (stretchStart) r.left = 0;
    if (stretchEnd) r.right = ViewInfo()->Width();
  } else {
    if (stretchStart) r.bottom = ViewInfo()->Height();
    if (stretchEnd) r.top = 0;
  }
  const TcxTabPosition position = RowPosition(ViewInfo(), ARow);
  r = DeflateRectForPosition(r, {0, 3, 0, -1}, position);
  const bool outermost = (part > 0 && ARow == 0) || (part < ViewInfo()->RowCount() && ARow == ViewInfo()->RowCount() - 1);
  const TColor color = GetSlantFrameColor();
  if (!outermost) {
    if (HasSlant(slanted, spLeft)) TcxPCExtraFlatPainter::DrawSideLines(ACanvas, r, {{horizontal ? sdLeft : sdBottom, color}}, true);
    if (HasSlant(slanted, spRight)) TcxPCExtraFlatPainter::DrawSideLines(ACanvas, r, {{horizontal ? sdRight : sdTop, color}}, true);
  }
  TcxPCExtraFlatPainter::DrawSideLines(ACanvas, r, {{kPageSide[position], color}}, true);
}

void TcxPCSlantedPainter::PaintTabs(TcxCanvas& ACanvas) {
  int first = 0, last = -1;
  ViewInfo()->InitializeVisibleTabRange(first, last);
  const int main = ViewInfo()->MainTabVisibleIndex();
  if (main != -1 && main >= first && main <= last) PaintTab(ACanvas, main);
  TcxPCLineIndexBoundsArray rows;
  ViewInfo()->InitializeLineBoundsArray(rows);
  const int part = std::min<int>(ViewInfo()->TopOrLeftPartRowCount(), int(rows.size()));
  for (int row = part - 1; row >= 0; --row) PaintRowTabs(ACanvas, row, rows[std::size_t(row)].Left, rows[std::size_t(row)].Right);
  for (int row = part; row < int(rows.size()); ++row)
    PaintRowTabs(ACanvas, row, rows[std::size_t(row)].Left, rows[std::size_t(row)].Right);
}

void TcxPCSlantedPainter::PaintTabBackground(TcxCanvas& ACanvas, const RECT& R, int ATab, TColor) {
  ACanvas.SaveClipRegion();
  ACanvas.IntersectClipRect(R);
  FillTabBody(ACanvas, GetTabViewInfo(ATab)->FullRect(), false, !IsHorizontalTabs(), ATab);
  ACanvas.RestoreClipRegion();
}

void TcxPCSlantedPainter::GetNavigatorGlyphParams(TcxPCNavigatorButton AKind, TcxPCNavigatorButtonState AState,
                                                  TcxPCNavigatorGlyphParams& AParams) {
  TcxPCStandardPainter::GetNavigatorGlyphParams(AKind, AState, AParams);
  AParams.Enabled = true;
  AParams.Thin = AKind == nbClose;
}

TColor TcxPCSlantedPainter::GetNavigatorButtonColor(TcxPCNavigatorButtonState AState) {
  switch (AState) {
    case nbsHotTrack: return BlendColorsByPercent(clBtnFace, clWhite, 35);
    case nbsPressed: return BlendColorsByPercent(clBtnFace, clBlack, 90);
    default: return clBtnFace;
  }
}

TColor TcxPCSlantedPainter::GetNavigatorGlyphColor(TcxPCNavigatorButtonState AState) {
  if (!ViewInfo()->IsEnabled() || AState == nbsDisabled) return clBtnShadow;
  return AState == nbsPressed ? BlendColorsByPercent(ViewInfo()->Color(), clWhite, 10) : clBtnText;
}

int TcxPCSlantedPainter::GetNavigatorButtonLength(TcxPCNavigatorButton AKind) {
  static constexpr int kLengths[4] = {17, 17, 13, 16};
  return kLengths[AKind];
}

int TcxPCSlantedPainter::GetTabInnerMargin(int ATab) {
  TcxPCDistance offsets;
  GetTabContentOffsets(ATab, offsets);
  return offsets.First + offsets.Second;
}

int TcxPCSlantedPainter::GetTabImageAreaLength(int) {
  SIZE size;
  GetTabImageAreaSize(size);
  return size.cx;
}

int TcxPCSlantedPainter::GetTabWidthWithoutText(int ATab) {
  return std::max(TcxPCStandardPainter::GetTabWidthWithoutText(ATab), SlantMinTabWidth());
}

void TcxPCSlantedPainter::GetTabsBoundsOffsets(RECT& R) {
  R = {};
  const TcxTabSlantPositions slanted = OverlapSlantSides();
  const bool horizontal = IsHorizontalTabs();
  if (HasSlant(slanted, spLeft)) (horizontal ? R.left : R.bottom) = 1;
  if (HasSlant(slanted, spRight)) (horizontal ? R.right : R.top) = 1;
}

int TcxPCSlantedPainter::MeasureTabCaptionWidth(int ATab) {
  int width = TcxPCStandardPainter::MeasureTabCaptionWidth(ATab);
  if (TabHasImage(ATab) || (HasImages() && ViewInfo()->ActuallyRotate())) width += GetImageTextDistance(ATab);
  return width;
}

int TcxPCSlantedPainter::MeasureTabContentHeight() {
  RECT text, image;
  GetTabTextOffsets(-1, text);
  GetTabImageOffsets(-1, image);
  SIZE imageArea;
  GetTabImageAreaSize(imageArea);
  return std::max<int>(GetMaxCaptionHeight() + text.top + text.bottom, imageArea.cy + image.top + image.bottom);
}

void TcxPCSlantedPainter::PaintNavigatorButtonFrame(TcxCanvas& ACanvas, RECT& R, TcxPCNavigatorButtonState AState) {
  ACanvas.FrameRect(R, AState == nbsPressed || AState == nbsHotTrack ? clBlack : clBtnShadow);
  InflateRect(&R, -1, -1);
}

void TcxPCSlantedPainter::PaintTabShape(TcxCanvas& ACanvas, int ATab) {
  TcxTabViewInfo* tab = GetTabViewInfo(ATab);
  const RECT full = tab->FullRect();
  ACanvas.SaveClipRegion();
  PaintTabOutlineLines(ACanvas, ATab, full);
  ACanvas.SetClipRegion(CreateTabRegion(ACanvas, ATab, true).release(), roIntersect);
  PaintTabAccent(ACanvas, ATab);
  FillTabBody(ACanvas, full, false, !IsHorizontalTabs(), ATab);
  ACanvas.RestoreClipRegion();
  if (tab->IsMainTab()) PaintActiveTabBase(ACanvas, ATab);
}

// ---- TcxPCOneNotePainter

int TcxPCOneNotePainter::GetNavigatorEdgeOffset() { return ViewInfo()->IsTabsContainer() ? 2 : 0; }

void TcxPCOneNotePainter::GetTabContentOffsets(int, TcxPCDistance& AOffsets) {
  AOffsets = {FCutValue, 4};
  if (ViewInfo()->GetTextRotationAngle() == raMinus90) std::swap(AOffsets.First, AOffsets.Second);
}

void TcxPCOneNotePainter::GetTabsContainerMargins(RECT& AMargins) {
  AMargins = {};
  if (ViewInfo()->IsTabsContainer()) AMargins.top = 2;
}

void TcxPCOneNotePainter::GetTabsGap(TcxPCDistance& AGap) { AGap = {5 - FCutValue, -3}; }

void TcxPCOneNotePainter::GetTabsBoundsOffsets(RECT& R) { R = RotateRectForPosition({4, 0, 4, 0}, Position()); }

bool TcxPCOneNotePainter::IsTabSlantTowardContent(int ATab) {
  if (ATab == -1) return false;
  const int index = GetTabViewInfo(ATab)->PaintingPositionIndex();
  return index == 5 || index == 8;
}

void TcxPCOneNotePainter::PaintActiveTabBase(TcxCanvas& ACanvas, int ATab) {
  TcxTabViewInfo* tab = GetTabViewInfo(ATab);
  const TColor c = tab->IsMainTab() ? GetTabColor(ATab) : GetSlantFrameColor();
  const RECT full = tab->FullRect();
  const SIZE size = RectSizeForPosition(full, tab->PaintingPosition());
  const int L = full.left, B = full.bottom, w = size.cx;
  const POINT corner[] = {{L, B}};
  DrawRotatedLines(ACanvas, full, HalfBlend(GetSlantFrameColor(), c), tab->PaintingPosition(), 0, corner);
  const POINT line[] = {{L + 1, B}, {L + w - 1, B}};
  DrawRotatedLines(ACanvas, full, c, tab->PaintingPosition(), 1, line);
}

std::unique_ptr<TcxRegion> TcxPCOneNotePainter::CreateTabRegion(TcxCanvas& ACanvas, int ATab, bool AForPaint) {
  TcxTabViewInfo* tab = GetTabViewInfo(ATab);
  const TcxTabPosition position = tab->PaintingPosition();
  RECT r = tab->FullRect();
  std::vector<POINT> points;
  if (AForPaint) {
    switch (position) {
      case tpTop: ++r.top, ++r.bottom; break;
      case tpBottom: ++r.left; break;
      case tpLeft: ++r.top, ++r.left, ++r.right; break;
      case tpRight: ++r.top; break;
    }
    const SIZE size = RectSizeForPosition(r, position);
    const int L = r.left, B = r.bottom, w = size.cx, h = size.cy, R = L + w;
    static constexpr int kShape[4][3] = {{2, 3, 2}, {3, 4, 2}, {2, 3, 2}, {1, 3, 3}};
    const int a = kShape[position][0], b = kShape[position][1], c = kShape[position][2];
    points = {{L + 2, B - 1}, {L + h - a, B - h + b}, {L + h + c, B - h + 1}, {R - 2, B - h + 1}, {R - 2, B - 1}};
  } else {
    r = Inflated(r, 1);
    const SIZE size = RectSizeForPosition(r, position);
    const int L = r.left, B = r.bottom, w = size.cx, h = size.cy;
    switch (position) {
      case tpRight:
        points = {{L - 1, B - 1}, {L - 1, B - 3}, {L + 2, B - 3}, {L + h - 2, B - h + 2},
                  {L + h + 2, B - h}, {L + w - 4, B - h}, {L + w - 1, B - h + 3}, {L + w - 1, B - 1}};
        break;
      case tpLeft:
        points = {{L, B - 2}, {L + 1, B - 2}, {L + h - 3, B - h + 3}, {L + h + 2, B - h},
                  {L + w - 5, B - h}, {L + w - 1, B - h + 4}, {L + w - 1, B - 1}};
        break;
      default:
        points = {{L, B - 2}, {L + 1, B - 2}, {L + h - 3, B - h + 3}, {L + h + 2, B - h},
                  {L + w - 4, B - h}, {L + w - 1, B - h + 3}, {L + w - 1, B - 1}};
        break;
    }
  }
  for (POINT& p : points) RotatePointInRect(r, p, position);
  // The path is closed and made a region even when drawing it fails.
  HDC dc = ACanvas.Handle();
  BeginPath(dc);
  Polyline(dc, points.data(), int(points.size()));
  EndPath(dc);
  HRGN region = PathToRegion(dc);
  return std::make_unique<TcxRegion>(region ? region : CreateRectRgn(0, 0, 0, 0));
}

TColor TcxPCOneNotePainter::GetColorBehindPoint(int ATab, POINT P) {
  TcxTabViewInfo* tab = GetTabViewInfo(ATab);
  RotatePointInRect(tab->FullRect(), P, tab->PaintingPosition());
  const int index = ViewInfo()->VisibleIndexOfTabAt(P.x, P.y);
  return index == -1 ? ViewInfo()->Color() : GetTabColor(index);
}

void TcxPCOneNotePainter::PaintTabOutlineLines(TcxCanvas& ACanvas, int ATab, const RECT& R) {
  TcxTabViewInfo* tab = GetTabViewInfo(ATab);
  const TcxTabPosition position = tab->PaintingPosition();
  const TcxOneNoteColors& colors = OneNoteColors();
  const TColor tabColor = GetTabColor(ATab);
  TColor outer, inner, innerRight;
  if (tab->IsHotTrack()) {
    outer = inner = innerRight = colors.HotOutline;
  } else if (tab->IsMainTab()) {
    outer = colors.Frame;
    inner = BlendColorsByPercent(clWhite, tabColor, 60);
    innerRight = BlendColorsByPercent(inner, tabColor, 70);
  } else {
    outer = colors.InactiveOutline;
    inner = HalfBlend(HalfBlend(clWhite, colors.InactiveTint), tabColor);
    innerRight = HalfBlend(colors.InactiveTint, tabColor);
  }
  const SIZE size = RectSizeForPosition(R, position);
  const int L = R.left, B = R.bottom, w = size.cx, h = size.cy;
  auto lines = [&](TColor AColor, std::initializer_list<POINT> APoints) {
    DrawRotatedLines(ACanvas, R, AColor, position, int(APoints.size()) - 1, APoints.begin());
  };
  lines(BlendColorsByPercent(outer, GetColorBehindPoint(ATab, {L - 1, B - 1}), 25), {{L, B - 1}});
  lines(outer, {{L + 1, B - 1}, {L + h - 3, B - h + 3}, {L + h + 2, B - h}, {L + w - 3, B - h}, {L + w - 1, B - h + 2},
                {L + w - 1, B - 1}});
  lines(BlendColorsByPercent(outer, GetColorBehindPoint(ATab, {L + h + 1, B - h}), 60), {{L + h + 2, B - h}});
  lines(inner, {{L + 2, B - 1}, {L + h - 3, B - h + 4}, {L + h + 2, B - h + 1}, {L + w - 4, B - h + 1}});
  lines(innerRight, {{L + w - 3, B - h + 1}, {L + w - 2, B - h + 2}, {L + w - 2, B - 1}});
}

}  // namespace tvk
