#include "cxPCCustomPainter.h"

#include "cxLookAndFeels.h"
#include "cxPCViewInfo.h"
#include "dxThemeManager.h"
#include "dxUxTheme.h"

#include <algorithm>

namespace tvk {

// ---- Free functions

RECT RotateRectForPosition(const RECT& S, TcxTabPosition APosition) {
  switch (APosition) {
    case tpTop: return S;
    case tpBottom: return {S.right, S.bottom, S.left, S.top};
    case tpLeft: return {S.top, S.right, S.bottom, S.left};
    case tpRight: return {S.bottom, S.left, S.top, S.right};
  }
  return S;
}

RECT UnrotateRectForPosition(const RECT& S, TcxTabPosition APosition) {
  switch (APosition) {
    case tpTop: return S;
    case tpBottom: return RotateRectForPosition(S, tpBottom);
    case tpLeft: return RotateRectForPosition(S, tpRight);
    case tpRight: return RotateRectForPosition(S, tpLeft);
  }
  return S;
}

RECT DeflateRectForPosition(const RECT& ABounds, const RECT& AMargins, TcxTabPosition APosition) {
  const RECT m = RotateRectForPosition(AMargins, APosition);
  return {ABounds.left + m.left, ABounds.top + m.top, ABounds.right - m.right, ABounds.bottom - m.bottom};
}

RECT AddRectOffsets(const RECT& R, const RECT& O) {
  return {R.left + O.left, R.top + O.top, R.right + O.right, R.bottom + O.bottom};
}

RECT NormalizeRectSize(const RECT& R) {
  return {R.left, R.top, std::max(R.left, R.right), std::max(R.top, R.bottom)};
}

RECT EmptyRectIfInverted(const RECT& R) { return R.right < R.left || R.bottom < R.top ? RECT{} : R; }

int PickSizeComponent(const TcxPCDistance& ASize, bool AFirst) { return AFirst ? ASize.First : ASize.Second; }

int GetPointCoordinate(POINT P, bool AIsY) { return AIsY ? P.y : P.x; }

void SetPointCoordinate(POINT& P, bool AIsY, int AValue) { (AIsY ? P.y : P.x) = AValue; }

void SetRectSide(RECT& R, bool ALeftOrTop, bool AIsY, int AValue) {
  if (ALeftOrTop)
    (AIsY ? R.top : R.left) = AValue;
  else
    (AIsY ? R.bottom : R.right) = AValue;
}

bool ButtonIsEither(TcxPCNavigatorButton AButton, TcxPCNavigatorButton A, TcxPCNavigatorButton B) {
  return AButton == A || AButton == B;
}

TcxRotationAngle GetEffectiveTextRotation(const TcxCustomTabControlViewInfo* AViewInfo) {
  return AViewInfo->IsNativePainting() ? ra0 : AViewInfo->GetTextRotationAngle();
}

bool IsEffectiveTextVertical(const TcxCustomTabControlViewInfo* AViewInfo) {
  return !AViewInfo->IsNativePainting() && AViewInfo->IsVerticalText();
}

SIZE MeasureTabText(TcxTabViewInfo* ATabViewInfo, const WideString& AText, TFont* AFont) {
  TcxScreenCanvas* canvas = GetScreenCanvas();
  if (!canvas) return {0, 0};
  if (AFont)
    canvas->Font().Assign(*AFont);
  else
    ATabViewInfo->ControlViewInfo()->PrepareTabCanvasFont(ATabViewInfo, *canvas);
  const SIZE size = canvas->TextExtent(AText);
  canvas->Dormant();
  return size;
}

// ---- TcxPCCustomPainter: slots

TcxPCImageList& TcxPCCustomPainter::ImagePainter() const { return FViewInfo->Properties()->Images(); }

bool TcxPCCustomPainter::CanPaintParentBackground() { return FViewInfo->CanDrawParentBackground(); }

void TcxPCCustomPainter::AdjustTabElementOffsets(int ATabVisibleIndex, RECT& AOffsets) {
  if (PainterClass()->IsTabPressable()) {
    if (IsTabActiveLook(ATabVisibleIndex) != (GetEffectiveTextRotation(FViewInfo) == raMinus90)) {
      ++AOffsets.top;
      --AOffsets.bottom;
    }
  } else if (FViewInfo->ActuallyRotate()) {
    AOffsets.top = 0;
    AOffsets.bottom = 0;
  }
  if (PainterClass()->IsMainTabBoundWithClient() &&
      GetTabViewInfo(ATabVisibleIndex)->GetRelativeTextRotationAngle() == ra180)
    std::swap(AOffsets.top, AOffsets.bottom);
}

void TcxPCCustomPainter::GetTabRectExtension(int ATabVisibleIndex, RECT& AOffsets) {
  (void)ATabVisibleIndex;
  AOffsets = {};
}

void TcxPCCustomPainter::PaintBackground(TcxCanvas& ACanvas) {
  const RECT bounds = FViewInfo->ControlBounds();
  if (!UseNativePainting() || !FViewInfo->ParentBackground())
    FillBackgroundRect(ACanvas, bounds);
  else if (CanPaintParentBackground())
    if (TWinControl* control = FViewInfo->IControl()->QueryControl())
      DrawControlParentBackground(control, ACanvas, bounds);
}

namespace {
TcxRotationAngle PCCounterAngle(TcxRotationAngle AAngle) {
  switch (AAngle) {
    case raMinus90: return raPlus90;
    case raPlus90: return raMinus90;
    default: return ra0;
  }
}

TcxButtonState CloseButtonLookAndFeelState(TcxPCNavigatorButtonState AState) {
  constexpr TcxButtonState kStates[] = {cxbsNormal, cxbsPressed, cxbsHot, cxbsDisabled};
  return kStates[AState];
}
}  // namespace

void TcxPCCustomPainter::PaintTabCloseButton(TcxCanvas& ACanvas, int ATabVisibleIndex) {
  TcxPCTabCloseButtonViewInfo* button = GetTabViewInfo(ATabVisibleIndex)->CloseButtonInfo();
  if (!button) return;
  const RECT r = button->Bounds();
  const TcxPCNavigatorButtonState state = button->State();
  auto drawGlyph = [&](TcxCanvas& ACanvasToUse, const RECT& AGlyphRect) {
    if (UsesLookAndFeelCloseButton())
      GetLookAndFeelPainter()->DrawSmallCloseButton(ACanvasToUse, AGlyphRect, CloseButtonLookAndFeelState(state));
    else
      DrawCloseButtonGlyph(ACanvasToUse, AGlyphRect, state);
  };
  const TcxRotationAngle angle = GetEffectiveTextRotation(FViewInfo);
  if (angle == ra0) {
    drawGlyph(ACanvas, r);
    return;
  }
  TcxBitmap bitmap(r, TPixelFormat::pf32bit);
  bitmap.Canvas().Lock();
  struct TUnlock {
    TcxBitmap& B;
    ~TUnlock() { B.Canvas().Unlock(); }
  } unlock{bitmap};
  BitBlt(bitmap.Canvas().Handle(), 0, 0, bitmap.Width(), bitmap.Height(), ACanvas.Handle(), r.left, r.top, SRCCOPY);
  bitmap.Rotate(PCCounterAngle(angle));
  drawGlyph(bitmap.cxCanvas(), bitmap.ClientRect());
  bitmap.Rotate(angle);
  BitBlt(ACanvas.Handle(), r.left, r.top, r.right - r.left, r.bottom - r.top, bitmap.Canvas().Handle(), 0, 0, SRCCOPY);
}

void TcxPCCustomPainter::PaintTabImage(TcxCanvas& ACanvas, const RECT& R, int ATabVisibleIndex, TColor ABkColor,
                                       bool AEnabled, int AImageIndex) {
  const bool hot = GetTabViewInfo(ATabVisibleIndex)->IsHotTrack();
  const TcxRotationAngle angle = GetEffectiveTextRotation(FViewInfo);
  if (angle == ra0) {
    ImagePainter().Draw(ACanvas, R.left, R.top, hot, AEnabled, UseNativePainting(), ABkColor, AImageIndex);
    return;
  }
  TcxBitmap32 bitmap(R.right - R.left, R.bottom - R.top);
  bitmap.Canvas().Lock();
  struct TUnlock {
    TcxBitmap32& B;
    ~TUnlock() { B.Canvas().Unlock(); }
  } unlock{bitmap};
  TcxCanvas& bitmapCanvas = bitmap.cxCanvas();
  bitmapCanvas.SetWindowOrg({R.left, R.top});
  PaintTabBackground(bitmapCanvas, R, ATabVisibleIndex, ABkColor);
  bitmapCanvas.SetWindowOrg({0, 0});
  if (angle != ra180) bitmap.Rotate(PCCounterAngle(angle));
  ImagePainter().Draw(bitmapCanvas, 0, 0, hot, AEnabled, UseNativePainting(), ABkColor, AImageIndex);
  BitBlt(ACanvas.Handle(), R.left, R.top, R.right - R.left, R.bottom - R.top, bitmap.Canvas().Handle(), 0, 0,
         SRCCOPY);
}

bool TcxPCCustomPainter::IsTabImageShown(int ATabVisibleIndex) const {
  TcxTabViewInfo* tab = GetTabViewInfo(ATabVisibleIndex);
  const TcxPCImageList& images = FViewInfo->Properties()->Images();
  const int index = tab->ImageIndex();
  if (!tab->IsHotTrack()) return IsImageIndexValid(images.BaseImages(), index);
  if (images.BaseHotImages()) return IsImageIndexValid(images.BaseHotImages(), index);
  return IsImageIndexValid(images.BaseImages(), index);
}

void TcxPCCustomPainter::PaintTabContent(TcxCanvas& ACanvas, int ATabVisibleIndex) {
  TcxTabViewInfo* tab = GetTabViewInfo(ATabVisibleIndex);
  FViewInfo->PrepareTabCanvasFont(tab, ACanvas);
  const TColor color = GetTabColor(ATabVisibleIndex);
  const bool enabled = tab->ActuallyEnabled();
  if (IsTabImageShown(ATabVisibleIndex))
    PaintTabImage(ACanvas, tab->ImageRect(), ATabVisibleIndex, color, enabled, tab->ImageIndex());
  if (tab->HasCaption()) PaintTabText(ACanvas, tab->TextRect(), ATabVisibleIndex, color, enabled, tab->Caption());
  if (tab->HasCloseButton()) PaintTabCloseButton(ACanvas, ATabVisibleIndex);
}

void TcxPCCustomPainter::PaintTabText(TcxCanvas& ACanvas, const RECT& R, int ATabVisibleIndex, TColor ABkColor,
                                      bool AEnabled, const WideString& ACaption) {
  (void)ABkColor;
  if (!AEnabled) {
    ACanvas.Font().SetColor(GetButtonHighlightColor());
    if (HasDisabledTextShadow()) {
      static constexpr POINT kShadowShift[] = {{1, 1}, {1, -1}, {-1, 1}, {1, 1}};
      const POINT d = kShadowShift[GetEffectiveTextRotation(FViewInfo)];
      RECT shadow = R;
      OffsetRect(&shadow, d.x, d.y);
      DrawTabText(ACanvas, ACaption, ATabVisibleIndex, shadow);
    }
    ACanvas.Font().SetColor(GetButtonShadowColor());
  }
  DrawTabText(ACanvas, ACaption, ATabVisibleIndex, R);
}

void TcxPCCustomPainter::FillBackgroundRect(TcxCanvas& ACanvas, const RECT& R) {
  ACanvas.Brush().SetStyle(TBrushStyle::bsSolid);
  ACanvas.FillRect(R, GetBackgroundColor());
}

void TcxPCCustomPainter::PaintPageClientBackground(TcxCanvas& ACanvas) {
  RECT r;
  GetPageClientBackgroundRect(r);
  ACanvas.Brush().SetStyle(TBrushStyle::bsSolid);
  ACanvas.FillRect(r, GetPageClientColor());
}

TColor TcxPCCustomPainter::GetPageClientColor() {
  return FViewInfo->UseActivePageColor() ? FViewInfo->GetActivePageColor() : GetDefaultPageClientColor();
}

int TcxPCCustomPainter::GetCloseButtonAreaHeight(int ATabVisibleIndex) {
  RECT margins;
  SIZE size;
  GetCloseButtonMargins(ATabVisibleIndex, margins);
  GetCloseButtonSize(size);
  return margins.top + size.cy + margins.bottom;
}

int TcxPCCustomPainter::GetCloseButtonAreaWidth(int ATabVisibleIndex) {
  RECT margins;
  SIZE size;
  GetCloseButtonMargins(ATabVisibleIndex, margins);
  GetCloseButtonSize(size);
  return margins.left + size.cx + margins.right;
}

void TcxPCCustomPainter::GetCloseButtonMargins(int ATabVisibleIndex, RECT& AMargins) {
  AMargins = {4, 2, 0, 2};
  if (ATabVisibleIndex == -1) return;
  RECT image;
  GetTabImageOffsets(ATabVisibleIndex, image);
  AMargins.top = image.top;
  AMargins.bottom = image.bottom - 1;
}

TColor TcxPCCustomPainter::GetBackgroundColor() { return FViewInfo->Color(); }

void TcxPCCustomPainter::GetPageClientRectOffset(RECT& AOffsets) {
  GetTabsAreaMargins(AOffsets);
  if (!HasFrame()) return;
  RECT widths;
  GetFrameWidths(widths);
  const unsigned sides = GetTabSideBorders();
  RECT frame{};
  if (sides & cxPCSideLeft) frame.left = widths.left;
  if (sides & cxPCSideTop) frame.top = widths.top;
  if (sides & cxPCSideRight) frame.right = widths.right;
  if (sides & cxPCSideBottom) frame.bottom = widths.bottom;
  AOffsets = AddRectOffsets(AOffsets, UnrotateRectForPosition(frame, FViewInfo->TabPosition()));
}

TColor TcxPCCustomPainter::GetDefaultPageClientColor() { return FViewInfo->Color(); }

void TcxPCCustomPainter::GetFrameRect(RECT& R) {
  R = {};
  if (!HasPageArea()) return;
  RECT margins;
  GetTabsAreaMargins(margins);
  R = NormalizeRectSize(DeflateRectForPosition(FViewInfo->ControlBounds(), margins, FViewInfo->TabPosition()));
}

void TcxPCCustomPainter::GetTabsAreaMargins(RECT& AMargins) {
  AMargins = {};
  if (FViewInfo->HideTabs() || FViewInfo->RowCount() == 0) return;
  CalculateTabsAreaMargins(AMargins);
}

TcxCustomLookAndFeelPainter* TcxPCCustomPainter::GetLookAndFeelPainter() {
  TcxLookAndFeel* lookAndFeel = FViewInfo->GetLookAndFeel();
  return lookAndFeel ? lookAndFeel->GetAvailablePainter() : nullptr;
}

void TcxPCCustomPainter::GetFrameWidths(RECT& AWidths) {
  const int width = GetFrameWidth();
  AWidths = {width, width, width, width};
}

void TcxPCCustomPainter::DoAfterPaintTab(TcxCanvas& ACanvas, int ATabVisibleIndex) {
  TcxTabViewInfo* tab = GetTabViewInfo(ATabVisibleIndex);
  const TcxPCOutTabImageAndTextData data{tab->ToCanvasRect(tab->ImageRect()), tab->ToCanvasRect(tab->TextRect()),
                                         ATabVisibleIndex};
  FViewInfo->NotifyAfterPaintTab(ACanvas, tab->Tab(), data);
}

void TcxPCCustomPainter::GetNativeContentOffsets(RECT& AOffsets) {
  AOffsets = {};
  const RECT bounds{0, 0, 100, 100};
  RECT content = bounds;
  if (HTHEME theme = GetThemeHandleForType(totTab))
    GetThemeBackgroundContentRect(theme, nullptr, 9, 0, bounds, content);
  AOffsets = {content.left, content.top, 100 - content.right, 100 - content.bottom};
  if (IsXPStandardVisualStyle()) {
    AOffsets.left = FViewInfo->IsTabsContainer() ? 3 : std::max(AOffsets.left, AOffsets.top);
    AOffsets.top = AOffsets.left;
    AOffsets.right = 2 * AOffsets.left;
    AOffsets.bottom = 2 * AOffsets.top;
  }
}

TColor TcxPCCustomPainter::GetTabDefinedColor(int ATabVisibleIndex) {
  return FViewInfo->GetTabOwnColor(ATabVisibleIndex);
}

std::unique_ptr<TcxRegion> TcxPCCustomPainter::GetTabClipRegion(TcxCanvas& ACanvas, int ATabVisibleIndex) {
  (void)ACanvas;
  return std::make_unique<TcxRegion>(GetTabViewInfo(ATabVisibleIndex)->VisibleRect());
}

void TcxPCCustomPainter::GetTabNativePartAndState(int ATabVisibleIndex, int& APartId, int& AStateId) {
  (void)ATabVisibleIndex;
  APartId = 0;
  AStateId = 0;
}

TColor TcxPCCustomPainter::GetTabTextColor(int ATabVisibleIndex) {
  TcxTabViewInfo* tab = GetTabViewInfo(ATabVisibleIndex);
  if (tab->IsHighlighted()) return GetHighlightedTabTextColor(ATabVisibleIndex, FViewInfo->Font()->Color());
  if (tab->IsHotTrack()) return GetHotTrackColor();
  return clBtnText;
}

namespace {
constexpr UINT kTabTextFlags = 0x8020;  // single line, end ellipsis
constexpr int kTabItemPart = 1;        // the theme's tab item
constexpr int kTextColorProperty = 3803;
}  // namespace

void TcxPCCustomPainter::DrawTabText(TcxCanvas& ACanvas, const WideString& AText, int ATabVisibleIndex,
                                     const RECT& R) {
  if (UseNativePainting() && GetTabViewInfo(ATabVisibleIndex)->ActuallyEnabled() && AreThemesAvailable()) {
    int part = 0, state = 0;
    GetTabNativePartAndState(ATabVisibleIndex, part, state);
    RECT r = R;
    tvk::DrawThemeText(GetThemeHandleForType(totTab), ACanvas.Handle(), part, state, AText.c_str(), -1,
                       kTabTextFlags, 0, r);
    return;
  }
  DrawRotatedText(ACanvas, AText, R, GetEffectiveTextRotation(FViewInfo), clDefault, kTabTextFlags);
}

void TcxPCCustomPainter::CalculateTabsAreaMargins(RECT& AMargins) {
  const RECT& topOrLeft = FViewInfo->ExtendedTopOrLeftTabsRect();
  const RECT& bottomOrRight = FViewInfo->ExtendedBottomOrRightTabsRect();
  const int h = FViewInfo->Height(), w = FViewInfo->Width();
  const bool bottomRows = FViewInfo->TopOrLeftPartRowCount() < FViewInfo->RowCount();
  const bool topRows = FViewInfo->TopOrLeftPartRowCount() > 0;
  const bool narrow = FViewInfo->IsTooNarrow();
  switch (FViewInfo->TabPosition()) {
    case tpTop:
      AMargins.top = topOrLeft.bottom;
      if (bottomRows) AMargins.bottom = h - bottomOrRight.top;
      break;
    case tpLeft:
      AMargins.top = topOrLeft.right;
      if (bottomRows) AMargins.bottom = w - bottomOrRight.left;
      break;
    case tpBottom:
      AMargins.top = narrow ? topOrLeft.top : h - bottomOrRight.top;
      if (topRows) AMargins.bottom = topOrLeft.bottom;
      break;
    case tpRight:
      AMargins.top = narrow ? topOrLeft.left : w - bottomOrRight.left;
      if (topRows) AMargins.bottom = topOrLeft.right;
      break;
  }
}

void TcxPCCustomPainter::PaintContent(TcxCanvas& ACanvas) {
  const bool tabsFirst = PaintTabsFirst();
  if (tabsFirst && !FViewInfo->HideTabs()) PaintTabsArea(ACanvas);
  PaintPageClientArea(ACanvas);
  PaintFrameAndExclude(ACanvas);
  if (!tabsFirst && !FViewInfo->HideTabs()) PaintTabsArea(ACanvas);
}

void TcxPCCustomPainter::InvalidateTab(int ATabVisibleIndex) {
  FViewInfo->InvalidateRect(GetTabViewInfo(ATabVisibleIndex)->VisibleRect(), false);
}

bool TcxPCCustomPainter::IsTabsAreaVisible(TcxCanvas& ACanvas) {
  const RECT b = FViewInfo->ControlBounds();
  RECT p;
  CalculatePageClientRect(p);
  const RECT bands[] = {{b.left, b.top, p.left, b.bottom},
                        {b.left, b.top, b.right, p.top},
                        {p.right, b.top, b.right, b.bottom},
                        {b.left, p.bottom, b.right, b.bottom}};
  for (const RECT& band : bands)
    if (ACanvas.RectVisible(band)) return true;
  return false;
}

bool TcxPCCustomPainter::HasFrame() { return FViewInfo->ShowFrame(); }

void TcxPCCustomPainter::PaintTabsArea(TcxCanvas& ACanvas) {
  const bool vertical = FViewInfo->TabPosition() == tpLeft || FViewInfo->TabPosition() == tpRight;
  if (!(vertical && FViewInfo->IsTooNarrow())) PaintNavigatorButtons(ACanvas);
  if (IsTabsAreaVisible(ACanvas)) PaintTabs(ACanvas);
}

void TcxPCCustomPainter::PaintTabBackground(TcxCanvas& ACanvas, const RECT& R, int ATabVisibleIndex,
                                            TColor AColor) {
  (void)ATabVisibleIndex;
  ACanvas.FillRect(R, AColor);
}

void TcxPCCustomPainter::Paint(TcxCanvas& ACanvas) {
  PaintContent(ACanvas);
  PaintBackground(ACanvas);
}

void TcxPCCustomPainter::PaintPageClientArea(TcxCanvas& ACanvas) {
  PaintPageClientBackground(ACanvas);
  RECT r;
  CalculatePageClientRect(r);
  ACanvas.ExcludeClipRect(r);
}

// ---- Services

TcxTabViewInfo* TcxPCCustomPainter::GetTabViewInfo(int ATabVisibleIndex) const {
  return FViewInfo->TabViewInfo(ATabVisibleIndex);
}

unsigned TcxPCCustomPainter::GetTabSideBorders() const {
  if (FViewInfo->HasFullFrame()) return cxPCSideLeft | cxPCSideTop | cxPCSideRight | cxPCSideBottom;
  if (FViewInfo->HideTabs() || FViewInfo->RowCount() == 0) return 0;
  const int part = FViewInfo->TopOrLeftPartRowCount();
  const bool allNear = part == FViewInfo->RowCount();
  switch (FViewInfo->TabPosition()) {
    case tpTop: return allNear ? cxPCSideTop : cxPCSideTop | cxPCSideBottom;
    case tpBottom: return part == 0 ? cxPCSideBottom : cxPCSideTop | cxPCSideBottom;
    case tpLeft: return allNear ? cxPCSideLeft : cxPCSideLeft | cxPCSideRight;
    case tpRight: return part == 0 ? cxPCSideRight : cxPCSideLeft | cxPCSideRight;
  }
  return 0;
}

void TcxPCCustomPainter::CalculatePageClientRect(RECT& R) {
  R = {};
  if (!HasPageArea()) return;
  RECT offsets;
  GetPageClientRectOffset(offsets);
  R = NormalizeRectSize(DeflateRectForPosition(FViewInfo->ControlBounds(), offsets, FViewInfo->TabPosition()));
}

bool TcxPCCustomPainter::HasPageArea() const {
  auto area = [](const RECT& r) { return r.right > r.left && r.bottom > r.top ? r : RECT{}; };
  const RECT a = area(FViewInfo->ExtendedTopOrLeftTabsRect());
  const RECT b = area(FViewInfo->ExtendedBottomOrRightTabsRect());
  const TcxTabPosition position = FViewInfo->TabPosition();
  if (position == tpTop || position == tpBottom)
    return (a.bottom - a.top) + (b.bottom - b.top) < FViewInfo->Height();
  return (a.right - a.left) + (b.right - b.left) < FViewInfo->Width();
}

bool TcxPCCustomPainter::DoCustomDrawTab(int ATabVisibleIndex) {
  return FViewInfo->Properties()->CustomDrawTab(ATabVisibleIndex);
}

void TcxPCCustomPainter::ExcludeTabFromClip(TcxCanvas& ACanvas, int ATabVisibleIndex) {
  if (UseNativePainting()) return;
  auto region = std::make_unique<TcxRegion>(GetTabViewInfo(ATabVisibleIndex)->FullRect());
  region->Combine(GetTabClipRegion(ACanvas, ATabVisibleIndex).release(), roIntersect);
  ACanvas.SetClipRegion(region.release(), roSubtract);
}

bool TcxPCCustomPainter::ClipToRect(TcxCanvas& ACanvas, const RECT& R, bool AIntersect) {
  if (R.right <= R.left || R.bottom <= R.top) return false;
  if (AIntersect && !ACanvas.RectVisible(R)) return false;
  ACanvas.SaveClipRegion();
  ACanvas.SetClipRegion(new TcxRegion(R), AIntersect ? roIntersect : roSet);
  return true;
}

void TcxPCCustomPainter::RestoreClip(TcxCanvas& ACanvas) { ACanvas.RestoreClipRegion(); }

void TcxPCCustomPainter::InvalidateTabsPart(int ATabVisibleIndex) {
  TcxTabViewInfo* tab = GetTabViewInfo(ATabVisibleIndex);
  FViewInfo->InvalidateRect(tab->VisibleRow() < FViewInfo->TopOrLeftPartRowCount()
                                ? FViewInfo->ExtendedTopOrLeftTabsRect()
                                : FViewInfo->ExtendedBottomOrRightTabsRect(),
                            false);
}

void TcxPCCustomPainter::PaintFrameAndExclude(TcxCanvas& ACanvas) {
  if (HasFrame()) PaintFrame(ACanvas);
  RECT r;
  GetFrameRect(r);
  ACanvas.ExcludeClipRect(r);
}

TColor TcxPCCustomPainter::GetHotTrackColor() const { return clHotLight; }

TColor TcxPCCustomPainter::GetHighlightedTabTextColor(int ATabVisibleIndex, TColor ADefaultColor) {
  if (!UseNativePainting()) return clHighlightText;
  COLORREF color = 0;
  if (HTHEME theme = GetThemeHandleForType(totTab))
    if (SUCCEEDED(GetThemeColor(theme, kTabItemPart, GetTabNativeState(ATabVisibleIndex), kTextColorProperty, color)))
      return TColor(color);
  return ADefaultColor;
}

int TcxPCCustomPainter::GetTabNativeState(int ATabVisibleIndex) const {
  if (ATabVisibleIndex == FViewInfo->MainTabVisibleIndex()) return 3;
  if (ATabVisibleIndex == FViewInfo->HotTrackTabVisibleIndex()) return 2;
  return 1;
}

int TcxPCCustomPainter::GetMaxCaptionHeight() const {
  int result = 0;
  for (int i = 0; i < FViewInfo->TabViewInfoCount(); ++i)
    result = std::max<int>(result, MeasureTabText(GetTabViewInfo(i), L"Zg").cy);
  return result;
}

SIZE TcxPCCustomPainter::GetImageSize() const { return FViewInfo->GetTabImageSize(); }
SIZE TcxPCCustomPainter::GetRotatedImageSize() const { return ImagePainter().RotatedImageSize(); }
int TcxPCCustomPainter::GetImageAreaWidth() const { return GetImageSize().cx + 2 * FViewInfo->ImageBorder(); }
int TcxPCCustomPainter::GetImageAreaHeight() const { return GetImageSize().cy + 2 * FViewInfo->ImageBorder(); }
bool TcxPCCustomPainter::HasImages() const { return ImagePainter().IsImagesAssigned(); }
bool TcxPCCustomPainter::TabHasImage(int ATabVisibleIndex) const { return GetTabViewInfo(ATabVisibleIndex)->HasImage(); }
bool TcxPCCustomPainter::IsPageActive() const { return FViewInfo->IsActivePagePresent(); }
bool TcxPCCustomPainter::IsActivePageColorUsed() const { return FViewInfo->UseActivePageColor(); }

void TcxPCCustomPainter::DrawLines(const POINT* APoints, int ALastIndex, TcxCanvas& ACanvas, TColor AColor) {
  // Through the canvas, so that the pen of that colour is the one selected.
  ACanvas.Pen().SetColor(AColor);
  ACanvas.Canvas()->Polyline({APoints, std::size_t(ALastIndex + 1)});
  const POINT last = APoints[ALastIndex];
  ACanvas.SetPixel(last.x, last.y, AColor);
}

void TcxPCCustomPainter::DrawRotatedLines(TcxCanvas& ACanvas, const RECT& R, TColor AColor, TcxTabPosition APosition,
                                          int ALastIndex, const POINT* APoints) {
  std::vector<POINT> points(APoints, APoints + ALastIndex + 1);
  for (POINT& p : points) RotatePointInRect(R, p, APosition);
  DrawLines(points.data(), ALastIndex, ACanvas, AColor);
}

void TcxPCCustomPainter::RotatePointInRect(const RECT& R, POINT& P, TcxTabPosition APosition) {
  const LONG x = P.x, y = P.y;
  switch (APosition) {
    case tpTop: break;
    case tpBottom: P.y = R.top + R.bottom - y - 1; break;
    case tpLeft: P = {y + R.right - R.bottom, R.bottom + R.left - x - 1}; break;
    case tpRight: P = {R.bottom + R.left - y - 1, R.bottom + R.left - x - 1}; break;
  }
}

}  // namespace tvk
