#include "cxPCViewInfo.h"

#include "cxLookAndFeels.h"
#include "cxPCCustomPainter.h"

#include <algorithm>
#include <cmath>

namespace tvk {

namespace {
bool PCPointInRect(const RECT& R, POINT P) { return P.x >= R.left && P.x < R.right && P.y >= R.top && P.y < R.bottom; }
bool PCSameRect(const RECT& A, const RECT& B) { return EqualRect(&A, &B) != FALSE; }
}  // namespace

// ---- Elements

bool TcxPCCustomElementViewInfo::GetHitTest(TcxPCHitTest& AHitTest) {
  if (!ContainsPoint(AHitTest.HitPoint())) return false;
  FillHitTest(AHitTest);
  return true;
}

bool TcxPCCustomElementViewInfo::ContainsPoint(POINT P) const { return PCPointInRect(FBounds, P); }

void TcxPCCustomElementViewInfo::FillHitTest(TcxPCHitTest& AHitTest) {
  AHitTest.SetHitTestCode(GetHitTestCode(), true);
  AHitTest.SetHitObject(this);
}

TcxPCCustomButtonViewInfo::~TcxPCCustomButtonViewInfo() = default;

void TcxPCCustomButtonViewInfo::Detach() {
  if (TcxCustomTabControlViewInfo* viewInfo = ControlViewInfo()) viewInfo->ButtonDestroyed(this);
}

void TcxPCCustomButtonViewInfo::Invalidate() {
  if (TcxCustomTabControlViewInfo* viewInfo = ControlViewInfo()) viewInfo->InvalidateRect(GetDisplayBounds(), false);
}

void TcxPCCustomButtonViewInfo::SetState(TcxPCNavigatorButtonState AValue) {
  if (FState == AValue) return;
  FState = AValue;
  Invalidate();
}

bool TcxPCCustomButtonViewInfo::ContainsPoint(POINT P) const { return PCPointInRect(GetDisplayBounds(), P); }

TcxCustomTabControlViewInfo* TcxPCTabCloseButtonViewInfo::ControlViewInfo() const {
  return FTabViewInfo->ControlViewInfo();
}

void TcxPCTabCloseButtonViewInfo::Click() { FTabViewInfo->Properties()->DoCloseButtonClick(FTabViewInfo->Index()); }

RECT TcxPCTabCloseButtonViewInfo::GetDisplayBounds() const { return FTabViewInfo->ToCanvasRect(FBounds); }

TcxPCNavigatorButtonState TcxPCTabCloseButtonViewInfo::State() const {
  return ControlViewInfo()->IsTabAccessible(FTabViewInfo->VisibleIndex()) ? FState : nbsDisabled;
}

void TcxPCNavigatorButtonViewInfo::Click() {
  switch (FButtonType) {
    case nbGoDialog:
      FTabControlViewInfo->SetPressedNavigatorButton(this);
      if (TcxCustomTabControlController* controller = FTabControlViewInfo->Controller()) {
        controller->SetGoDialogShowing(true);
        controller->ShowGoDialog();
      }
      break;
    case nbClose: FTabControlViewInfo->Properties()->CloseActiveTab(); break;
    default: break;  // the controller scrolls
  }
}

bool TcxPCNavigatorButtonViewInfo::CanHotTrack() const {
  return !(ButtonIsEither(FButtonType, nbGoDialog, nbClose) && FTabControlViewInfo->Properties()->InDesignMode());
}

// ---- TcxTabViewInfo

TcxTabViewInfo::TcxTabViewInfo(TcxTab* ATab, TcxTabsViewInfo* ATabsViewInfo)
    : FTab(ATab), FTabsViewInfo(ATabsViewInfo) {
  FTab->DestroyHandlers().Add(EventHandlerOf<&TcxTabViewInfo::TabDestroyed>(this));
}

TcxTabViewInfo::~TcxTabViewInfo() {
  FCloseButtonInfo.reset();
  if (FTab) FTab->DestroyHandlers().Remove(EventHandlerOf<&TcxTabViewInfo::TabDestroyed>(this));
}

void TcxTabViewInfo::TabDestroyed(TObject* Sender, const void* AArgs) {
  (void)Sender, (void)AArgs;
  FTab->DestroyHandlers().Remove(EventHandlerOf<&TcxTabViewInfo::TabDestroyed>(this));
  FTab = nullptr;
  ControlViewInfo()->TabViewInfoDestroyed(this);
  FTabsViewInfo->RemoveViewInfo(this);  // frees this object
}

TcxCustomTabControlViewInfo* TcxTabViewInfo::ControlViewInfo() const { return FTabsViewInfo->ControlViewInfo(); }
TcxPCCustomPainter* TcxTabViewInfo::Painter() const { return ControlViewInfo()->Painter(); }
TcxCustomTabControlProperties* TcxTabViewInfo::Properties() const { return ControlViewInfo()->Properties(); }
int TcxTabViewInfo::VisibleIndex() const { return FTabsViewInfo->VisibleIndexOf(this); }
WideString TcxTabViewInfo::Caption() const { return FTab ? FTab->Caption() : WideString(); }
TColor TcxTabViewInfo::Color() const { return FTab ? FTab->Color() : clDefault; }
bool TcxTabViewInfo::Enabled() const { return FTab && FTab->Enabled(); }
int TcxTabViewInfo::ImageIndex() const { return FTab ? Properties()->GetTabImageIndex(FTab) : -1; }
int TcxTabViewInfo::Index() const { return FTab ? FTab->Index() : -1; }

bool TcxTabViewInfo::ContainsPoint(POINT P) const {
  const int index = VisibleIndex();
  return PCPointInRect(VisibleRect(), P) && Painter()->IsPointInTab(index, P.x, P.y);
}

void TcxTabViewInfo::FillHitTest(TcxPCHitTest& AHitTest) {
  TcxPCCustomElementViewInfo::FillHitTest(AHitTest);
  if (!Properties()->InDesignMode() && HasCloseButton())
    if (TcxPCTabCloseButtonViewInfo* button = CloseButtonInfo()) button->GetHitTest(AHitTest);
}

bool TcxTabViewInfo::IsMultiSelectable() const {
  return Properties()->MultiSelect() && Painter()->PainterClass()->IsMultiSelectionAccepted();
}

void TcxTabViewInfo::DoTabAction() {
  if (TcxCustomTabControlController* controller = ControlViewInfo()->Controller())
    controller->DoTabAction(VisibleIndex(), 0);
}

void TcxTabViewInfo::SelectTab(bool AMultiSelectKey) {
  if (AMultiSelectKey && IsMultiSelectable()) {
    if (IsMainTab())
      ControlViewInfo()->SetTabIndex(-1);
    else
      FTab->SetSelected(!FTab->Selected());
  } else {
    ControlViewInfo()->SetTabIndex(Index());
  }
}

void TcxTabViewInfo::FocusTab() { ControlViewInfo()->SetFocusedTabVisibleIndex(VisibleIndex()); }

void TcxTabViewInfo::ClickTab(TShiftState AShift) {
  if (TcxCustomTabControlController* controller = ControlViewInfo()->Controller())
    controller->TabClick(VisibleIndex(), AShift);
}

bool TcxTabViewInfo::IsPressable() const { return Painter()->PainterClass()->IsTabPressable(); }

bool TcxTabViewInfo::HasCloseButton() const {
  switch (Properties()->CloseButtonMode()) {
    case cbmEveryTab: return true;
    case cbmActiveTab: return IsActive();
    default: return false;
  }
}

bool TcxTabViewInfo::IsVisibleForGoDialog() const { return ControlViewInfo()->IsTabAccessible(VisibleIndex()); }
int TcxTabViewInfo::GetDefinedWidth() const { return int16_t(ControlViewInfo()->TabWidth()); }
void TcxTabViewInfo::CorrectTabNormalWidth(int& AWidth) const { Painter()->ApplyMinTabWidth(AWidth); }

TcxPCTabCloseButtonViewInfo* TcxTabViewInfo::CloseButtonInfo() {
  if (!FCloseButtonInfo && HasCloseButton()) FCloseButtonInfo = std::make_unique<TcxPCTabCloseButtonViewInfo>(this);
  return FCloseButtonInfo.get();
}

bool TcxTabViewInfo::ActuallyEnabled() const { return ControlViewInfo()->IsEnabled() && Enabled(); }
bool TcxTabViewInfo::ActuallyVisible() const { return ControlViewInfo()->IsTabVisibleInRange(VisibleIndex()); }
bool TcxTabViewInfo::IsActive() const { return Index() == ControlViewInfo()->TabIndex(); }
bool TcxTabViewInfo::IsFocused() const { return VisibleIndex() == ControlViewInfo()->FocusedTabVisibleIndex(); }
bool TcxTabViewInfo::IsHotTrack() const { return VisibleIndex() == ControlViewInfo()->HotTrackTabVisibleIndex(); }
bool TcxTabViewInfo::IsMainTab() const { return VisibleIndex() == ControlViewInfo()->MainTabVisibleIndex(); }
bool TcxTabViewInfo::IsPressed() const { return VisibleIndex() == ControlViewInfo()->PressedTabVisibleIndex(); }
bool TcxTabViewInfo::IsTracking() const { return VisibleIndex() == ControlViewInfo()->TrackingTabVisibleIndex(); }
bool TcxTabViewInfo::IsHighlighted() const { return FTab && FTab->Highlighted(); }
bool TcxTabViewInfo::IsSelected() const { return FTab && FTab->Selected(); }

RECT TcxTabViewInfo::NormalRect() const {
  TcxCustomTabControlViewInfo* viewInfo = ControlViewInfo();
  const bool rotated = viewInfo->ActuallyRotate();
  int width, height;
  if (viewInfo->IsVerticalText()) {
    width = FTabsViewInfo->TabNormalHeight();
    height = rotated ? viewInfo->RowHeight() : FNormalWidth;
  } else {
    width = rotated ? viewInfo->RowHeight() : FNormalWidth;
    height = FTabsViewInfo->TabNormalHeight();
  }
  return {FNormalPosition.x, FNormalPosition.y, FNormalPosition.x + width, FNormalPosition.y + height};
}

RECT TcxTabViewInfo::FullRect() const {
  RECT extension;
  Painter()->GetTabRectExtension(VisibleIndex(), extension);
  return AddRectOffsets(NormalRect(), extension);
}

RECT TcxTabViewInfo::VisibleRect() const {
  if (!ActuallyVisible()) return {};
  TcxCustomTabControlViewInfo* viewInfo = ControlViewInfo();
  const RECT part = FVisibleRow < viewInfo->TopOrLeftPartRowCount() ? viewInfo->ExtendedTopOrLeftTabsRect()
                                                                     : viewInfo->ExtendedBottomOrRightTabsRect();
  const RECT full = FullRect();
  RECT result;
  return IntersectRect(&result, &full, &part) ? result : RECT{};
}

TcxTabPosition TcxTabViewInfo::PaintingPosition() const {
  TcxCustomTabControlViewInfo* viewInfo = ControlViewInfo();
  const bool horizontal = viewInfo->TabPosition() == tpTop || viewInfo->TabPosition() == tpBottom;
  if (FVisibleRow < viewInfo->TopOrLeftPartRowCount()) return horizontal ? tpTop : tpLeft;
  return horizontal ? tpBottom : tpRight;
}

int TcxTabViewInfo::PaintingPositionIndex() const {
  static constexpr int kCodes[4][4] = {{1, 2, 3, 0}, {10, 11, 12, 0}, {6, 4, 5, 0}, {9, 7, 8, 0}};
  return kCodes[PaintingPosition()][ControlViewInfo()->GetTextRotationAngle()];
}

TcxRotationAngle TcxTabViewInfo::GetRelativeTextRotationAngle() const {
  switch (PaintingPositionIndex()) {
    case 2: case 9: case 12: return raPlus90;
    case 3: case 6: case 11: return raMinus90;
    case 5: case 7: case 10: return ra180;
    default: return ra0;
  }
}

int TcxTabViewInfo::CalculateNormalWidth() {
  ++ControlViewInfo()->LayoutCounts().WidthMeasurements;
  return Painter()->MeasureTabNormalWidth(this);
}

RECT TcxTabViewInfo::ToCanvasRect(const RECT& R) const {
  TcxCustomTabControlViewInfo* viewInfo = ControlViewInfo();
  if (!viewInfo->IsNativePainting()) return R;
  const RECT plain = FullRect();
  RECT full = plain;
  if (IsMainTab()) full = DeflateRectForPosition(full, {0, 0, 0, -1}, PaintingPosition());
  const int h = plain.bottom - plain.top, w = plain.right - plain.left;
  RECT result = R;
  switch (viewInfo->GetTextRotationAngle()) {
    case raPlus90: result = {R.top, h - R.right, R.bottom, h - R.left}; break;
    case raMinus90: result = {w - R.bottom, R.left, w - R.top, R.right}; break;
    default: break;
  }
  OffsetRect(&result, full.left, full.top);
  return result;
}

RECT TcxTabViewInfo::LocalFullRect() const {
  const RECT full = FullRect();
  if (!ControlViewInfo()->IsNativePainting()) return full;
  int w = full.right - full.left, h = full.bottom - full.top;
  if (ControlViewInfo()->IsVerticalText()) std::swap(w, h);
  return {0, 0, w, h};
}

int TcxTabViewInfo::GetCaptionAlignmentOffset(int ASpace, int ALength) const {
  TcxCustomTabControlViewInfo* viewInfo = ControlViewInfo();
  const TAlignment alignment = Properties()->TabCaptionAlignment();
  if (alignment == TAlignment::taCenter) return (ASpace - ALength) / 2;
  if (viewInfo->ActuallyRotate() && GetDefinedWidth() <= 0 && viewInfo->RotatedTabsMaxWidth() <= 0) {
    const int cw = viewInfo->MaxTabCaptionWidth();
    const int lead = (ASpace - cw) / 2;
    return alignment == TAlignment::taLeftJustify ? lead : cw + lead - ALength;
  }
  return alignment == TAlignment::taLeftJustify ? 0 : ASpace - ALength;
}

int TcxTabViewInfo::FitCaption(int AMaxWidth) const {
  TcxCanvas* canvas = ControlViewInfo()->Canvas();
  if (!canvas || AMaxWidth <= 0) return 0;
  // The system writes up to four characters past the text when it shortens it.
  const WideString caption = Caption();
  std::vector<wchar_t> buffer(caption.begin(), caption.end());
  buffer.resize(buffer.size() + 5, L'\0');
  RECT r{0, 0, AMaxWidth, 0};
  DrawTextW(canvas->Handle(), buffer.data(), -1, &r, DT_CALCRECT | DT_SINGLELINE | DT_END_ELLIPSIS | DT_MODIFYSTRING);
  const WideString truncated(buffer.data());
  if (truncated == L"&...") return 0;
  RECT measured{0, 0, 0, 0};
  DrawTextW(canvas->Handle(), truncated.c_str(), -1, &measured, DT_CALCRECT | DT_SINGLELINE);
  const int width = measured.right - measured.left;
  return width > AMaxWidth ? 0 : width;
}

void TcxTabViewInfo::CentreAcross(RECT& R, int AExtent, const RECT& AOffsets) const {
  RECT o = AOffsets;
  Painter()->AdjustTabElementOffsets(VisibleIndex(), o);
  switch (GetEffectiveTextRotation(ControlViewInfo())) {
    case raPlus90: {
      R.left += o.top;
      R.right -= o.bottom;
      const int free = R.right - R.left - AExtent;
      R.left += free / 2;
      R.right = R.left + AExtent;
      break;
    }
    case raMinus90: {
      R.left += o.bottom;
      R.right -= o.top;
      const int free = R.right - R.left - AExtent;
      R.right -= free / 2;
      R.left = R.right - AExtent;
      break;
    }
    default: {
      R.top += o.top;
      R.bottom -= o.bottom;
      const int free = R.bottom - R.top - AExtent;
      R.top += free / 2;
      R.bottom = R.top + AExtent;
      if (ControlViewInfo()->IsNativePainting() && IsMainTab() && GetRelativeTextRotationAngle() == ra180)
        OffsetRect(&R, 0, 1);
      break;
    }
  }
}

void TcxTabViewInfo::PlaceCloseButton(const RECT& AContent) {
  TcxPCCustomPainter* painter = Painter();
  const int index = VisibleIndex();
  RECT m;
  painter->GetCloseButtonMargins(index, m);
  SIZE size;
  painter->GetCloseButtonSize(size);
  const int w = size.cx;
  const TcxRotationAngle rotation = GetEffectiveTextRotation(ControlViewInfo());
  const bool first = IsCloseButtonPlacedFirst();
  RECT r = FCloseButtonInfo->Bounds();
  if (rotation == raPlus90 || rotation == raMinus90) {
    m = RotateRectForPosition(m, rotation == raPlus90 ? tpLeft : tpRight);
    if (first) std::swap(m.top, m.bottom);
    if (first == (rotation == raPlus90)) {
      r.bottom = AContent.bottom - m.bottom;
      r.top = r.bottom - w;
    } else {
      r.top = AContent.top + m.top;
      r.bottom = r.top + w;
    }
  } else if (first) {
    std::swap(m.left, m.right);
    r.left = AContent.left + m.left;
    r.right = r.left + w;
  } else {
    r.right = AContent.right - m.right;
    r.left = r.right - w;
  }
  FCloseButtonInfo->SetBounds(r);
}

RECT TcxTabViewInfo::ContentWithoutCloseButton(int ACloseSpace) const {
  RECT r = FContentRect;
  const TcxRotationAngle rotation = GetEffectiveTextRotation(ControlViewInfo());
  const bool first = IsCloseButtonPlacedFirst();
  if (rotation == raPlus90 || rotation == raMinus90) {
    if (first == (rotation == raPlus90))
      r.bottom -= ACloseSpace;
    else
      r.top += ACloseSpace;
  } else if (first) {
    r.left += ACloseSpace;
  } else {
    r.right -= ACloseSpace;
  }
  return r;
}

void TcxTabViewInfo::PlaceImageOnly(RECT R) {
  TcxPCDistance offsets;
  Painter()->GetTabImageOnlyOffsets(VisibleIndex(), offsets);
  const int w = ControlViewInfo()->GetTabImageSize().cx;
  switch (GetEffectiveTextRotation(ControlViewInfo())) {
    case raMinus90: {
      R.top += offsets.First;
      R.bottom -= offsets.Second;
      FImageRect.top = R.top + (R.bottom - R.top - w) / 2;
      FImageRect.bottom = FImageRect.top + w;
      break;
    }
    case raPlus90: {
      R.bottom -= offsets.First;
      R.top += offsets.Second;
      const int free = R.bottom - R.top - w;
      if (Painter()->PainterClass()->IsTabPressable()) {
        FImageRect.top = R.top + free / 2;
        FImageRect.bottom = FImageRect.top + w;
      } else {
        FImageRect.bottom = R.bottom - free / 2;
        FImageRect.top = FImageRect.bottom - w;
      }
      break;
    }
    default: {
      R.left += offsets.First;
      R.right -= offsets.Second;
      FImageRect.left = R.left + (R.right - R.left - w) / 2;
      FImageRect.right = FImageRect.left + w;
      break;
    }
  }
}

void TcxTabViewInfo::PlaceImageAndText(RECT R) {
  TcxCustomTabControlViewInfo* viewInfo = ControlViewInfo();
  TcxPCCustomPainter* painter = Painter();
  const int index = VisibleIndex();
  const TcxRotationAngle rotation = GetEffectiveTextRotation(viewInfo);
  const bool vertical = rotation == raPlus90 || rotation == raMinus90;
  const int avail = vertical ? R.bottom - R.top : R.right - R.left;
  const bool reserve = painter->HasImages() && viewInfo->ActuallyRotate();
  const bool hasImage = painter->TabHasImage(index);
  const bool shown = reserve || hasImage;
  const int border = viewInfo->ImageBorder();
  const int imageWidth = viewInfo->GetTabImageSize().cx;
  const int dist = shown ? painter->GetImageTextDistance(index) : 0;
  const int imagePart = shown ? imageWidth + 2 * border : 0;
  const int textWidth = FitCaption(avail - imagePart - dist);
  const int c = dist + imagePart;
  const int total = c + textWidth;
  if (total <= 0) {
    FImageRect = {};
    FTextRect = {};
    return;
  }
  const int lead = GetCaptionAlignmentOffset(avail, total);
  const int start = !FIsTextTooLong && !reserve ? lead : 0;
  switch (rotation) {
    case raPlus90: {
      R.bottom -= start;
      if (hasImage) {
        FImageRect.bottom = R.bottom - border;
        FImageRect.top = FImageRect.bottom - imageWidth;
      }
      const int space = R.bottom - R.top;
      R.bottom -= c;
      if (reserve && !FIsTextTooLong) R.bottom -= GetCaptionAlignmentOffset(space, textWidth);
      FTextRect.bottom = R.bottom;
      FTextRect.top = R.bottom - textWidth;
      break;
    }
    case raMinus90: {
      R.top += start;
      if (hasImage) {
        FImageRect.top = R.top + border;
        FImageRect.bottom = FImageRect.top + imageWidth;
      }
      const int space = R.bottom - R.top;
      R.top += c;
      if (reserve && !FIsTextTooLong) R.top += GetCaptionAlignmentOffset(space, textWidth);
      FTextRect.top = R.top;
      FTextRect.bottom = R.top + textWidth;
      break;
    }
    default: {
      R.left += start;
      if (hasImage) {
        FImageRect.left = R.left + border;
        FImageRect.right = FImageRect.left + imageWidth;
      }
      const int space = R.right - R.left;
      R.left += c;
      if (reserve && !FIsTextTooLong) R.left += GetCaptionAlignmentOffset(space, textWidth);
      FTextRect.left = R.left;
      FTextRect.right = R.left + textWidth;
      break;
    }
  }
}

void TcxTabViewInfo::CalculateParts() {
  TcxCustomTabControlViewInfo* viewInfo = ControlViewInfo();
  TcxPCCustomPainter* painter = Painter();
  TcxCanvas* canvas = viewInfo->Canvas();
  const int index = VisibleIndex();
  FImageRect = {};
  FTextRect = {};
  if (FCloseButtonInfo) FCloseButtonInfo->SetBounds({});
  FIsTextTooLong = false;
  if (!canvas) return;
  viewInfo->PrepareTabCanvasFont(this, *canvas);

  const TcxRotationAngle rotation = GetEffectiveTextRotation(viewInfo);
  const bool vertical = rotation == raPlus90 || rotation == raMinus90;
  const RECT local = LocalFullRect();
  const int avail = vertical ? local.bottom - local.top : local.right - local.left;
  TcxPCDistance offsets;
  painter->GetTabContentOffsets(index, offsets);
  const bool imageSpaced = painter->TabHasImage(index) || (painter->HasImages() && viewInfo->ActuallyRotate());
  const int imageSpace = imageSpaced ? painter->GetImageTextDistance(index) + viewInfo->GetTabImageSize().cx +
                                           2 * viewInfo->ImageBorder()
                                     : 0;
  const bool hasCloseButton = HasCloseButton();
  const int closeSpace = hasCloseButton ? painter->GetCloseButtonAreaWidth(index) : 0;
  FIsTextTooLong =
      avail - offsets.First - offsets.Second - imageSpace - closeSpace < canvas->TextWidth(Caption());

  if (FIsTextTooLong) painter->GetTabContentOffsetsLongText(index, offsets);
  FContentRect = local;
  switch (rotation) {
    case raMinus90:
      FContentRect.top += offsets.First;
      FContentRect.bottom -= offsets.Second;
      break;
    case raPlus90:
      FContentRect.bottom -= offsets.First;
      FContentRect.top += offsets.Second;
      break;
    default:
      FContentRect.left += offsets.First;
      FContentRect.right -= offsets.Second;
      break;
  }

  if (hasCloseButton && CloseButtonInfo()) {
    SIZE size;
    painter->GetCloseButtonSize(size);
    RECT margins;
    painter->GetCloseButtonMargins(index, margins);
    RECT r = FContentRect;
    CentreAcross(r, size.cy, margins);
    FCloseButtonInfo->SetBounds(r);
  }
  if (painter->TabHasImage(index)) {
    RECT imageOffsets;
    painter->GetTabImageOffsets(index, imageOffsets);
    FImageRect = FContentRect;
    CentreAcross(FImageRect, painter->GetRotatedImageSize().cy, imageOffsets);
  }
  if (HasCaption()) {
    RECT textOffsets;
    painter->GetTabTextOffsets(index, textOffsets);
    FTextRect = FContentRect;
    CentreAcross(FTextRect, canvas->TextHeight(L"Zg"), textOffsets);
  }

  if (hasCloseButton && FCloseButtonInfo) PlaceCloseButton(FContentRect);
  const RECT rest = ContentWithoutCloseButton(closeSpace);
  if (!HasCaption()) {
    if (painter->TabHasImage(index)) PlaceImageOnly(rest);
  } else {
    PlaceImageAndText(rest);
  }
}

// ---- TcxPCNewButtonViewInfo

bool TcxPCNewButtonViewInfo::IsFocusable() const { return !Properties()->ActivateFocusedTab() && ActuallyEnabled(); }

void TcxPCNewButtonViewInfo::ClickTab(TShiftState AShift) {
  (void)AShift;
  Properties()->NewTabButtonClick();
}

int TcxPCNewButtonViewInfo::GetDefinedWidth() const {
  return static_cast<TcxPCNewButton*>(Tab())->Width();
}

// ---- TcxTabsViewInfo

TcxTabsViewInfo::TcxTabsViewInfo(TcxTabs* ATabs, TcxCustomTabControlViewInfo* AControlViewInfo)
    : FControlViewInfo(AControlViewInfo), FTabs(ATabs) {
  FTabs->ChangedHandlers().Add(EventHandlerOf<&TcxTabsViewInfo::TabsChanged>(this));
  FTabs->DestroyHandlers().Add(EventHandlerOf<&TcxTabsViewInfo::TabsDestroyed>(this));
}

TcxTabsViewInfo::~TcxTabsViewInfo() {
  DestroyViewInfos();
  if (FTabs) {
    FTabs->ChangedHandlers().Remove(EventHandlerOf<&TcxTabsViewInfo::TabsChanged>(this));
    FTabs->DestroyHandlers().Remove(EventHandlerOf<&TcxTabsViewInfo::TabsDestroyed>(this));
  }
}

void TcxTabsViewInfo::TabsChanged(TObject* Sender, const void* AArgs) {
  (void)Sender;
  const auto* args = static_cast<const TcxTabChangedArgs*>(AArgs);
  FControlViewInfo->TabsChanged(args->Tab, args->Kind);
}

void TcxTabsViewInfo::TabsDestroyed(TObject* Sender, const void* AArgs) {
  (void)Sender, (void)AArgs;
  DestroyViewInfos();
  FTabs->ChangedHandlers().Remove(EventHandlerOf<&TcxTabsViewInfo::TabsChanged>(this));
  FTabs->DestroyHandlers().Remove(EventHandlerOf<&TcxTabsViewInfo::TabsDestroyed>(this));
  FTabs = nullptr;
  FControlViewInfo->FTabsViewInfo.reset();  // frees this object
}

TcxTabViewInfo* TcxTabsViewInfo::ViewInfos(int AVisibleIndex) const {
  return AVisibleIndex >= 0 && AVisibleIndex < ViewInfoCount() ? FViewInfos[std::size_t(AVisibleIndex)].get()
                                                                : nullptr;
}

int TcxTabsViewInfo::VisibleIndexOf(const TcxTabViewInfo* AViewInfo) const {
  for (std::size_t i = 0; i < FViewInfos.size(); ++i)
    if (FViewInfos[i].get() == AViewInfo) return int(i);
  return -1;
}

TcxTabViewInfo* TcxTabsViewInfo::FindViewInfo(const TcxTab* ATab) const {
  for (const auto& viewInfo : FViewInfos)
    if (viewInfo->Tab() == ATab) return viewInfo.get();
  return nullptr;
}

int TcxTabsViewInfo::LastRealTabIndex() const {
  for (int i = ViewInfoCount() - 1; i > 0; --i)
    if (FViewInfos[std::size_t(i)]->Index() >= 0) return i;
  return 0;
}

void TcxTabsViewInfo::CalculateNormalSizes() {
  FTabNormalHeight = FControlViewInfo->Painter()->CalculateTabNormalHeight();
  for (const auto& viewInfo : FViewInfos) viewInfo->SetNormalWidth(viewInfo->CalculateNormalWidth());
}

void TcxTabsViewInfo::CalculateTabParts() {
  for (const auto& viewInfo : FViewInfos) viewInfo->CalculateParts();
}

void TcxTabsViewInfo::UpdateViewInfos() {
  if (FControlViewInfo->Properties()->IsUpdateLocked() || !FNeedRecreateViewInfos) return;
  DestroyViewInfos();
  CreateViewInfos();
  FNeedRecreateViewInfos = false;
}

void TcxTabsViewInfo::CreateViewInfos() {
  for (int i = 0; i < FTabs->Count(); ++i)
    if (TcxTab* tab = FTabs->Tabs(i); tab->Visible()) FViewInfos.push_back(tab->CreateViewInfo(this));
  TcxPCNewButton* newButton = FTabs->NewButton();
  if (newButton && newButton->Visible() && !FControlViewInfo->Properties()->InDesignMode())
    FViewInfos.push_back(newButton->CreateViewInfo(this));
}

void TcxTabsViewInfo::DestroyViewInfos() {
  // Freed one by one from the end, so that a view info going finds the list whole.
  while (!FViewInfos.empty()) {
    std::unique_ptr<TcxTabViewInfo> last = std::move(FViewInfos.back());
    FViewInfos.pop_back();
  }
}

int TcxTabsViewInfo::GetTabDefaultHeight() const { return FControlViewInfo->Properties()->TabHeight(); }

void TcxTabsViewInfo::RemoveViewInfo(TcxTabViewInfo* AViewInfo) {
  for (auto it = FViewInfos.begin(); it != FViewInfos.end(); ++it)
    if (it->get() == AViewInfo) {
      std::unique_ptr<TcxTabViewInfo> owned = std::move(*it);
      FViewInfos.erase(it);
      return;
    }
}

// ---- TcxPCHitTest

void TcxPCHitTest::ClearHitTest() {
  FHitTestCodes = 0;
  FHitObject = nullptr;
}

void TcxPCHitTest::SetHitTestCode(int ACode, bool AInclude) {
  if (AInclude)
    FHitTestCodes |= 1u << ACode;
  else
    FHitTestCodes &= ~(1u << ACode);
}

void TcxPCHitTest::SetHitTestPoint(TShiftState AShift, POINT P) {
  FShift = AShift;
  FHitPoint = P;
  Recalculate();
}

void TcxPCHitTest::Recalculate() {
  ClearHitTest();
  IcxTabControl* control = FController ? FController->Control() : nullptr;
  TcxCustomTabControlViewInfo* viewInfo = control ? control->QueryViewInfo() : nullptr;
  if (!viewInfo) return;
  for (int i = 0; i < viewInfo->NavigatorButtonCount(); ++i)
    if (viewInfo->NavigatorButtonInfos(i)->GetHitTest(*this)) return;
  for (int i = 0; i < viewInfo->TabViewInfoCount(); ++i)
    if (viewInfo->TabViewInfo(i)->GetHitTest(*this)) return;
}

// ---- TcxCustomTabControlViewInfo

TcxCustomTabControlViewInfo::TcxCustomTabControlViewInfo(TObject* AOwner) : FOwner(AOwner) {
  FIControl = Supports<IcxTabControl>(AOwner, IID_IcxTabControl);
  if (TcxCustomTabControlProperties* properties = Properties())
    FTabsViewInfo = std::make_unique<TcxTabsViewInfo>(&properties->Tabs(), this);
}

TcxCustomTabControlViewInfo::~TcxCustomTabControlViewInfo() {
  FTabsViewInfo.reset();
  FNavigatorButtonInfos.clear();
  FIControl = nullptr;
}

TcxCustomTabControlProperties* TcxCustomTabControlViewInfo::Properties() const {
  return FIControl ? FIControl->QueryProperties() : nullptr;
}
TcxPCCustomPainter* TcxCustomTabControlViewInfo::Painter() const {
  return FIControl ? FIControl->QueryPainter() : nullptr;
}
TcxCustomTabControlController* TcxCustomTabControlViewInfo::Controller() const {
  return FIControl ? FIControl->QueryController() : nullptr;
}

RECT TcxCustomTabControlViewInfo::BoundsRect() const {
  RECT r{};
  if (FIControl) FIControl->QueryBoundsRect(r);
  return r;
}
TcxCanvas* TcxCustomTabControlViewInfo::Canvas() const { return FIControl ? FIControl->QueryCanvas() : nullptr; }
RECT TcxCustomTabControlViewInfo::ClientRect() const {
  RECT r = BoundsRect();
  OffsetRect(&r, -r.left, -r.top);
  return r;
}
RECT TcxCustomTabControlViewInfo::ControlBounds() const { return {0, 0, Width(), Height()}; }
TColor TcxCustomTabControlViewInfo::Color() const {
  const TColor color = FIControl ? FIControl->QueryColor() : clBtnFace;
  return color == clNone ? clBtnFace : color;
}
TFont* TcxCustomTabControlViewInfo::Font() const { return FIControl ? FIControl->QueryFont() : nullptr; }
int TcxCustomTabControlViewInfo::Width() const {
  const RECT r = BoundsRect();
  return r.right - r.left;
}
int TcxCustomTabControlViewInfo::Height() const {
  const RECT r = BoundsRect();
  return r.bottom - r.top;
}

TcxPCNavigatorPosition TcxCustomTabControlViewInfo::NavigatorPosition() const {
  return Properties()->NavigatorPosition();
}
TcxPCOptions TcxCustomTabControlViewInfo::Options() const { return Properties()->Options(); }
bool TcxCustomTabControlViewInfo::HideTabs() const { return Properties()->HideTabs(); }
bool TcxCustomTabControlViewInfo::MultiLine() const { return Properties()->MultiLine(); }
bool TcxCustomTabControlViewInfo::RaggedRight() const { return Properties()->RaggedRight(); }
bool TcxCustomTabControlViewInfo::ShowFrame() const { return Properties()->ShowFrame(); }
bool TcxCustomTabControlViewInfo::TabsScroll() const { return Properties()->TabsScroll(); }
TcxTabSlants& TcxCustomTabControlViewInfo::TabSlants() const { return Properties()->TabSlants(); }
TcxTabPosition TcxCustomTabControlViewInfo::TabPosition() const { return Properties()->TabPosition(); }
int TcxCustomTabControlViewInfo::ImageBorder() const { return Properties()->ImageBorder(); }
int TcxCustomTabControlViewInfo::TabHeight() const { return Properties()->TabHeight(); }
int TcxCustomTabControlViewInfo::TabWidth() const { return Properties()->TabWidth(); }
int TcxCustomTabControlViewInfo::TabIndex() const { return Properties()->TabIndex(); }
void TcxCustomTabControlViewInfo::SetTabIndex(int AValue) { Properties()->SetTabIndex(AValue); }

TcxTabViewInfo* TcxCustomTabControlViewInfo::TabViewInfo(int AVisibleIndex) const {
  return FTabsViewInfo ? FTabsViewInfo->ViewInfos(AVisibleIndex) : nullptr;
}
int TcxCustomTabControlViewInfo::TabViewInfoCount() const {
  return FTabsViewInfo ? FTabsViewInfo->ViewInfoCount() : 0;
}

RECT TcxCustomTabControlViewInfo::PageClientRect() const {
  RECT r{};
  if (TcxPCCustomPainter* painter = Painter()) painter->CalculatePageClientRect(r);
  return r;
}

RECT TcxCustomTabControlViewInfo::PageClientRectOffset() const {
  RECT r{};
  if (TcxPCCustomPainter* painter = Painter()) painter->GetPageClientRectOffset(r);
  return RotateRectForPosition(r, TabPosition());
}

RECT TcxCustomTabControlViewInfo::TabsAreaRect() const {
  RECT r = ClientRect();
  RECT frame{};
  if (TcxPCCustomPainter* painter = Painter()) painter->GetFrameRect(frame);
  switch (TabPosition()) {
    case tpTop: r.bottom = frame.top; break;
    case tpBottom: r.top = frame.bottom; break;
    case tpLeft: r.right = frame.left; break;
    case tpRight: r.left = frame.right; break;
  }
  return r;
}

TcxPCNavigatorButtonViewInfo* TcxCustomTabControlViewInfo::NavigatorButtonInfos(int AIndex) const {
  return FNavigatorButtonInfos.at(std::size_t(AIndex)).get();
}

TcxPCNavigatorButtonViewInfo* TcxCustomTabControlViewInfo::FindNavigatorButton(TcxPCNavigatorButton AButton) const {
  for (const auto& button : FNavigatorButtonInfos)
    if (button->ButtonType() == AButton) return button.get();
  return nullptr;
}

// ---- Derived answers

bool TcxCustomTabControlViewInfo::IsHorizontalRow() const {
  const TcxTabPosition position = TabPosition();
  return position == tpTop || position == tpBottom;
}

TcxPCPainterClass TcxCustomTabControlViewInfo::GetPainterClass() const {
  TcxPCPaintersFactory* factory = PaintersFactory();
  if (!factory) return nullptr;
  TcxPCStyleID style = Properties()->Style();
  if (style == cxPCDefaultStyle) {
    TcxLookAndFeel* lookAndFeel = GetLookAndFeel();
    style = factory->GetStyleID(lookAndFeel);
    if (style == cxPCNoStyle) style = factory->GetDefaultStyleID(lookAndFeel);
  }
  return factory->GetPainterClass(style);
}

bool TcxCustomTabControlViewInfo::ActuallyRotate() const {
  if (!Properties()->Rotate()) return false;
  TcxPCCustomPainter* painter = Painter();
  return painter && painter->PainterClass()->IsRotationSupported();
}

bool TcxCustomTabControlViewInfo::IsVerticalText() const {
  return IsHorizontalRow() == ActuallyRotate();
}

TcxRotationAngle TcxCustomTabControlViewInfo::GetTextRotationAngle() const {
  if (!IsVerticalText()) return ra0;
  return HasOption(Options(), pcoTopToBottomText) ? raMinus90 : raPlus90;
}

bool TcxCustomTabControlViewInfo::IsRightToLeftAlignment() const {
  return IsHorizontalRow() && ActuallyRotate() && HasOption(Options(), pcoTopToBottomText);
}

bool TcxCustomTabControlViewInfo::IsBottomToTopAlignment() const {
  return !IsHorizontalRow() && !ActuallyRotate() && !HasOption(Options(), pcoTopToBottomText);
}

bool TcxCustomTabControlViewInfo::IsTabsOnBothSides() const {
  const TcxTabPosition position = TabPosition();
  if (position == tpTop || position == tpLeft) return FTopOrLeftPartRowCount < FRowCount;
  return FTopOrLeftPartRowCount >= 1;
}

bool TcxCustomTabControlViewInfo::IsTabsContainer() const { return Properties()->IsTabsContainer(); }
bool TcxCustomTabControlViewInfo::IsNativePainting() const {
  TcxPCCustomPainter* painter = Painter();
  return painter && painter->UseNativePainting();
}
bool TcxCustomTabControlViewInfo::IsEnabled() const { return FIControl && FIControl->QueryEnabled(); }
bool TcxCustomTabControlViewInfo::IsFocused() const { return FIControl && FIControl->QueryFocused(); }
bool TcxCustomTabControlViewInfo::ParentBackground() const { return FIControl && FIControl->QueryParentBackground(); }
bool TcxCustomTabControlViewInfo::CanDrawParentBackground() const {
  return FIControl && FIControl->QueryCanDrawParentBackground();
}
TcxLookAndFeel* TcxCustomTabControlViewInfo::GetLookAndFeel() const {
  return FIControl ? FIControl->QueryLookAndFeel() : nullptr;
}
bool TcxCustomTabControlViewInfo::HasTabCloseButtons() const {
  return Properties()->CloseButtonMode() != cbmNone;
}

bool TcxCustomTabControlViewInfo::IsTabAccessible(int AVisibleIndex) const {
  TcxTabViewInfo* tab = TabViewInfo(AVisibleIndex);
  if (!tab) return false;
  return tab->Enabled() || Properties()->AllowDisabledTabAccess() || Properties()->InDesignMode();
}

bool TcxCustomTabControlViewInfo::IsTabVisibleInRange(int AVisibleIndex) const {
  if (MultiLine()) return AVisibleIndex >= 0 && AVisibleIndex < TabViewInfoCount();
  return AVisibleIndex >= FFirstTabVisibleIndex && AVisibleIndex <= FLastTabVisibleIndex && AVisibleIndex >= 0;
}

void TcxCustomTabControlViewInfo::InitializeVisibleTabRange(int& AFirst, int& ALast) const {
  if (MultiLine()) {
    AFirst = 0;
    ALast = TabViewInfoCount() - 1;
  } else if (FFirstTabVisibleIndex == -1) {
    AFirst = -1;
    ALast = -2;
  } else {
    AFirst = FFirstTabVisibleIndex;
    ALast = FLastTabVisibleIndex;
  }
}

void TcxCustomTabControlViewInfo::InitializeLineBoundsArray(TcxPCLineIndexBoundsArray& AArray) const {
  AArray.assign(std::size_t(std::max(FRowCount, 0)), {-1, -2});
  for (int i = 0; i < TabViewInfoCount(); ++i) {
    const int row = TabViewInfo(i)->Row();
    if (row < 0 || row >= FRowCount) continue;
    TcxPCIndexInterval& interval = AArray[std::size_t(row)];
    if (interval.Left < 0) interval.Left = i;
    interval.Right = i;
  }
}

int TcxCustomTabControlViewInfo::RotatedTabsMaxWidth() const {
  const int value = Properties()->RotatedTabsMaxWidth();
  if (value <= 0) return value;
  TcxPCCustomPainter* painter = Painter();
  return std::max(value, painter ? painter->GetTabMinWidth(-1) : 0);
}

SIZE TcxCustomTabControlViewInfo::GetTabImageSize() const { return Properties()->Images().BaseImageSize(); }

void TcxCustomTabControlViewInfo::InvalidateRect(const RECT& R, bool AEraseBackground) {
  if (FIControl) FIControl->RequestInvalidateRect(R, AEraseBackground);
}

TColor TcxCustomTabControlViewInfo::GetTabOwnColor(int AVisibleIndex) const {
  TcxTabViewInfo* tab = TabViewInfo(AVisibleIndex);
  return tab ? tab->Color() : clDefault;
}

TWinControl* TcxCustomTabControlViewInfo::GetPopupOwner() const {
  auto* owner = Supports<IcxTabControlPopupOwner>(FOwner, IID_IcxTabControlPopupOwner);
  TObject* object = owner ? owner->GetPopupOwnerObject() : nullptr;
  return object && object->Is<TWinControl>() ? static_cast<TWinControl*>(object) : nullptr;
}

void TcxCustomTabControlViewInfo::PrepareTabCanvasFont(TcxTabViewInfo* ATabViewInfo, TcxCanvas& ACanvas) {
  ACanvas.Canvas()->Lock();
  struct TUnlock {
    TCanvas* C;
    ~TUnlock() { C->Unlock(); }
  } unlock{ACanvas.Canvas()};
  if (TFont* font = Font()) ACanvas.Font().Assign(*font);
  const int index = ATabViewInfo->VisibleIndex();
  if (TcxPCCustomPainter* painter = Painter()) ACanvas.Font().SetColor(painter->GetTabTextColor(index));
  Properties()->DoDrawTabEx(index, ACanvas.Font());
  Properties()->DoPrepareTabCanvasFont(ATabViewInfo->Tab(), ACanvas);
}

bool TcxCustomTabControlViewInfo::IsActiveTabAt(int X, int Y) const {
  const int index = IndexOfTabAt(X, Y);
  return index != -1 && index == TabIndex();
}

int TcxCustomTabControlViewInfo::VisibleIndexOfTabAt(int X, int Y) const {
  for (int i = 0; i < TabViewInfoCount(); ++i)
    if (TabViewInfo(i)->ContainsPoint({X, Y})) return i;
  return -1;
}

int TcxCustomTabControlViewInfo::IndexOfTabAt(int X, int Y) const {
  TcxTabViewInfo* tab = TabViewInfo(VisibleIndexOfTabAt(X, Y));
  return tab ? tab->Index() : -1;
}

// ---- Calculate

void TcxCustomTabControlViewInfo::Calculate() {
  if (FUpdating || !FTabsViewInfo || !Painter()) return;
  FUpdating = true;
  struct TClear {
    bool& Flag;
    ~TClear() { Flag = false; }
  } clear{FUpdating};
  CalculateLayout();
  Properties()->Images().SetImageRotationAngle(GetEffectiveTextRotation(this));
  UpdateHotTrack(KeyboardShiftState());
}

void TcxCustomTabControlViewInfo::ValidateIndexes() {
  const int n = TabViewInfoCount();
  for (int* index : {&FMainTabVisibleIndex, &FHotTrackTabVisibleIndex, &FPressedTabVisibleIndex})
    if (*index >= n) *index = -1;
  if (Properties()->ActivateFocusedTab() || FFocusedTabVisibleIndex >= n) FFocusedTabVisibleIndex = -1;
  if (n == 0)
    FFirstTabVisibleIndex = -1;
  else if (FFirstTabVisibleIndex == -1)
    FFirstTabVisibleIndex = 0;
  else
    FFirstTabVisibleIndex = std::min(FFirstTabVisibleIndex, n - 1);
  FLastTabVisibleIndex = std::max(FLastTabVisibleIndex, FFirstTabVisibleIndex);
  if (FLastTabVisibleIndex >= n) FLastTabVisibleIndex = -1;
  const int count = Properties()->Tabs().Count();
  if (TabIndex() >= count) SetTabIndex(count - 1);
}

void TcxCustomTabControlViewInfo::UpdateMainTab() {
  int main = FMainTabVisibleIndex;
  const int tabIndex = TabIndex();
  if (tabIndex == -1) {
    main = -1;
  } else {
    TcxTabViewInfo* tab = FTabsViewInfo->FindViewInfo(Properties()->Tabs().Tabs(tabIndex));
    if (tab)
      main = tab->VisibleIndex();
    else if (main > FTabsViewInfo->LastRealTabIndex())
      main = FTabsViewInfo->LastRealTabIndex();
  }
  SetMainTabVisibleIndex(main);
}

void TcxCustomTabControlViewInfo::CalculateLayout() {
  FTabsViewInfo->UpdateViewInfos();
  const int oldTabIndex = TabIndex();
  FExtendedTopOrLeftTabsRect = {};
  FExtendedBottomOrRightTabsRect = {};
  FRowCount = 0;
  FTopOrLeftPartRowCount = 0;
  ValidateIndexes();
  const int previousMain = FMainTabVisibleIndex;
  auto checkTabIndex = [this] {
    if (!FTabsViewInfo->NeedCheckTabIndex()) return;
    FTabsViewInfo->SetNeedCheckTabIndex(false);
    if (TcxTabViewInfo* main = TabViewInfo(FMainTabVisibleIndex)) SetTabIndex(main->Index());
  };
  if (TabViewInfoCount() == 0) {
    SetNavigatorButtons(0);
    Painter()->CalculateTabsPosition(0, FTabsPosition);
    checkTabIndex();
    return;
  }
  Painter()->PrepareLayout();
  UpdateMainTab();
  FTabsViewInfo->CalculateNormalSizes();
  if (MultiLine())
    CalculateMultiLine();
  else
    CalculateSingleRow();
  if (TabIndex() == oldTabIndex && FMainTabVisibleIndex != previousMain && FMainTabVisibleIndex != -1)
    EnsureTabVisible(FMainTabVisibleIndex);
  checkTabIndex();
  FTabsViewInfo->CalculateTabParts();
}

// ---- Rows

int TcxCustomTabControlViewInfo::TabSize(int AVisibleIndex) const {
  return ActuallyRotate() ? FTabsViewInfo->TabNormalHeight() : TabViewInfo(AVisibleIndex)->NormalWidth();
}

LONG& TcxCustomTabControlViewInfo::Along(POINT& P) const { return IsHorizontalRow() ? P.x : P.y; }
LONG& TcxCustomTabControlViewInfo::Across(POINT& P) const { return IsHorizontalRow() ? P.y : P.x; }

namespace {
// The along gap (between neighbours in a row) and the across gap (between rows).
TcxPCDistance TabGaps(TcxPCCustomPainter* APainter, bool ARotated) {
  TcxPCDistance gap;
  APainter->GetTabsGap(gap);
  if (ARotated) std::swap(gap.First, gap.Second);
  return gap;
}
}  // namespace

void TcxCustomTabControlViewInfo::UpdateTabsPosition(TcxPCNavigatorButtons AButtons) {
  SetNavigatorButtons(AButtons);
  Painter()->CalculateTabsPosition(AButtons, FTabsPosition);
}

void TcxCustomTabControlViewInfo::SetNavigatorButtons(TcxPCNavigatorButtons AValue) {
  FNavigatorButtons = AValue;
  FNavigatorButtonInfos.clear();
  const TcxPCNavigatorPosition position = NavigatorPosition();
  const bool atStart = IsHorizontalRow() ? (position == npLeftTop || position == npLeftBottom)
                                         : (position == npLeftTop || position == npRightTop);
  static constexpr TcxPCNavigatorButton kStartOrder[] = {nbClose, nbTopLeft, nbBottomRight, nbGoDialog};
  static constexpr TcxPCNavigatorButton kEndOrder[] = {nbGoDialog, nbTopLeft, nbBottomRight, nbClose};
  for (TcxPCNavigatorButton button : atStart ? kStartOrder : kEndOrder)
    if (HasButton(AValue, button))
      FNavigatorButtonInfos.push_back(std::make_unique<TcxPCNavigatorButtonViewInfo>(this, button));
  UpdateNavigatorButtonStates();
}

void TcxCustomTabControlViewInfo::PositionTabsInRow(int AFirst, int ALast, bool APlaceAll) {
  if (AFirst < 0 || AFirst > ALast) return;
  POINT topLeft{FTabsPosition.NormalTabsRect.left, FTabsPosition.NormalTabsRect.top};
  const int s = Along(topLeft);
  const int e = s + FTabsPosition.NormalRowWidth - 1;
  const bool fromFar = IsRightToLeftAlignment() || IsBottomToTopAlignment();
  const int direction = fromFar ? -1 : 1;
  auto beyond = [&](int c) { return fromFar ? c < s : c > e; };
  const int gap = TabGaps(Painter(), ActuallyRotate()).First;
  int position = fromFar ? e : s;
  int lastEnd = position;
  for (int i = AFirst; i <= ALast; ++i) {
    ++FCounts.TabPlacements;
    FLastTabVisibleIndex = i;
    const int end = position + direction * (TabSize(i) - 1);
    TcxTabViewInfo* tab = TabViewInfo(i);
    POINT p = tab->NormalPosition();
    Along(p) = direction > 0 ? position : end;
    tab->SetNormalPosition(p);
    lastEnd = end;
    position = end + direction * (gap + 1);
    if (!APlaceAll && beyond(position)) break;
  }
  FIsLastTabFullyVisible = !beyond(lastEnd) && FLastTabVisibleIndex == ALast;
}

void TcxCustomTabControlViewInfo::CalculateSingleRow() {
  FRowCount = 1;
  FTopOrLeftPartRowCount = TabPosition() == tpTop || TabPosition() == tpLeft ? 1 : 0;
  ArrangeTabsInRows();
  if (IsTooNarrow()) return;
  int first, last;
  InitializeVisibleTabRange(first, last);
  for (int i = std::max(first, 0); i <= last; ++i) {
    TabViewInfo(i)->SetRow(0);
    TabViewInfo(i)->SetVisibleRow(0);
  }
  CalculateRowHeight();
  PositionRows();
}

void TcxCustomTabControlViewInfo::ArrangeTabsInRows() {
  if (TabViewInfoCount() == 0) return;
  if (FRowCount >= 2)
    StretchedRows();
  else if (TabsScroll())
    ScrollingRow();
  else
    SqueezedRow();
  if (!IsTooNarrow()) CopyAlongFromExtended();
}

void TcxCustomTabControlViewInfo::CopyAlongFromExtended() {
  const RECT& extended = FTabsPosition.ExtendedTabsRect;
  for (RECT* r : {&FExtendedTopOrLeftTabsRect, &FExtendedBottomOrRightTabsRect}) {
    if (IsHorizontalRow()) {
      r->left = extended.left;
      r->right = extended.right;
    } else {
      r->top = extended.top;
      r->bottom = extended.bottom;
    }
  }
}

void TcxCustomTabControlViewInfo::ScrollingRow() {
  const int n = TabViewInfoCount();
  const int saved = FFirstTabVisibleIndex;
  FFirstTabVisibleIndex = 0;
  UpdateTabsPosition(Properties()->CalcNavigatorButtons(true));
  if (IsTooNarrow()) return;
  PositionTabsInRow(0, n - 1, true);
  if (!FIsLastTabFullyVisible) {
    FFirstTabVisibleIndex = saved;
    UpdateTabsPosition(Properties()->CalcNavigatorButtons(false));
    if (IsTooNarrow()) return;
    PositionTabsInRow(FFirstTabVisibleIndex, n - 1, false);
    if (FIsLastTabFullyVisible)
      while (FFirstTabVisibleIndex > 0) {
        --FFirstTabVisibleIndex;
        PositionTabsInRow(FFirstTabVisibleIndex, n - 1, false);
        if (!FIsLastTabFullyVisible) {
          ++FFirstTabVisibleIndex;
          PositionTabsInRow(FFirstTabVisibleIndex, n - 1, false);
          break;
        }
      }
  }
  UpdateNavigatorButtonStates();
}

void TcxCustomTabControlViewInfo::DistributeShortfall(int AFirst, int ALast, int AAmount) {
  long long total = 0;
  for (int i = AFirst; i <= ALast; ++i) total += TabViewInfo(i)->NormalWidth();
  if (total == 0) return;
  long long given = 0;
  for (int i = AFirst; i <= ALast; ++i) {
    TcxTabViewInfo* tab = TabViewInfo(i);
    const long long share = i == ALast ? AAmount - given : (long long)AAmount * tab->NormalWidth() / total;
    given += share;
    tab->SetNormalWidth(int(tab->NormalWidth() + share));
  }
}

void TcxCustomTabControlViewInfo::SqueezedRow() {
  const int n = TabViewInfoCount();
  UpdateTabsPosition(0);
  if (IsTooNarrow()) return;
  const int gap = TabGaps(Painter(), ActuallyRotate()).First;
  long long length = (long long)gap * (n - 1);
  for (int i = 0; i < n; ++i) length += TabSize(i);
  if (ActuallyRotate() || length <= FTabsPosition.NormalRowWidth) {
    ScrollingRow();
    return;
  }
  FFirstTabVisibleIndex = 0;
  DistributeShortfall(0, n - 1, int(FTabsPosition.NormalRowWidth - length));
  PositionTabsInRow(0, n - 1, false);
}

void TcxCustomTabControlViewInfo::CalculateMultiLine() {
  UpdateTabsPosition(0);
  if (IsTooNarrow()) return;
  BreakIntoRows();
  ArrangeTabsInRows();
  CalculateRowHeight();
  CalculateRowOrder();
}

void TcxCustomTabControlViewInfo::BreakIntoRows() {
  const int n = TabViewInfoCount();
  const int w = FTabsPosition.NormalRowWidth;
  const int gap = TabGaps(Painter(), ActuallyRotate()).First;
  const bool rotated = ActuallyRotate();
  FRowCount = 1;
  int used = 0, segmentStart = 0;
  auto balanceSegment = [&](int AFirst, int ALast) {
    if (ALast - AFirst + 1 >= 2 && TabViewInfo(ALast)->Row() > TabViewInfo(AFirst)->Row())
      BalanceSegment(AFirst, ALast, TabViewInfo(AFirst)->Row());
  };
  for (int i = 0; i < n; ++i) {
    TcxTabViewInfo* tab = TabViewInfo(i);
    const int s = TabSize(i);
    if (s < w) {
      if (used + s > w) {
        ++FRowCount;
        used = s + gap;
      } else {
        used += s + gap;
      }
      tab->SetRow(FRowCount - 1);
    } else {
      if (used != 0) {
        ++FRowCount;
        used = 0;
      }
      balanceSegment(segmentStart, i - 1);
      segmentStart = i + 1;
      if (!rotated && Painter()->GetTabMinWidth(i) < w) tab->SetNormalWidth(w);
      tab->SetRow(FRowCount - 1);
      if (i != n - 1) ++FRowCount;
    }
  }
  balanceSegment(segmentStart, n - 1);
}

namespace {
// A row's deviation is 2 raised to its free length. Above 16,000 pixels even
// 80-bit powers overflow (infinite totals never compare lower, and a host that
// unmasks the overflow trap faults), so rows wider than that count their free
// length from (width - 16,000): every deviation is scaled by one power of two,
// which keeps each comparison's answer, and the exponent stays in range.
constexpr int kMaxDeviationExponent = 16000;
long double RowDeviation(long long AFree, int ARowWidth) {
  const long long shift = std::max(0, ARowWidth - kMaxDeviationExponent);
  return std::ldexp(1.0L, int(std::clamp<long long>(AFree - shift, -kMaxDeviationExponent, kMaxDeviationExponent)));
}
}  // namespace

void TcxCustomTabControlViewInfo::BalanceSegment(int AFirst, int ALast, int AFirstRow) {
  if (ActuallyRotate() && RaggedRight()) return;
  const int w = FTabsPosition.NormalRowWidth;
  const int gap = TabGaps(Painter(), ActuallyRotate()).First;
  TcxPCLineIndexBoundsArray rows;
  for (int i = AFirst; i <= ALast; ++i) {
    const int row = TabViewInfo(i)->Row() - AFirstRow;
    if (row >= int(rows.size())) rows.push_back({i, i});
    rows[std::size_t(row)].Right = i;
  }
  std::vector<int> sizes(std::size_t(ALast + 1), 0);
  for (int i = AFirst; i <= ALast; ++i) sizes[std::size_t(i)] = TabSize(i);
  auto rowLength = [&](const TcxPCIndexInterval& r) {
    long long length = (long long)gap * (r.Right - r.Left);
    for (int i = r.Left; i <= r.Right; ++i) length += sizes[std::size_t(i)];
    return length;
  };
  auto deviation = [&](const TcxPCIndexInterval& r) {
    return RowDeviation(w - rowLength(r), w);
  };
  auto total = [&](const TcxPCLineIndexBoundsArray& a) {
    long double sum = 0;
    for (const TcxPCIndexInterval& r : a) sum += deviation(r);
    return sum;
  };
  // Row ARow takes the boundary tab of its neighbour in ADirection.
  auto move = [&](TcxPCLineIndexBoundsArray& a, int ARow, int ADirection) {
    if (ADirection < 0 ? ARow == 0 : ARow == int(a.size()) - 1) return false;
    TcxPCIndexInterval& row = a[std::size_t(ARow)];
    TcxPCIndexInterval& neighbour = a[std::size_t(ARow + ADirection)];
    if (neighbour.Left == neighbour.Right) return false;  // a row never empties
    TcxPCIndexInterval grown = row;
    if (ADirection < 0)
      --grown.Left;
    else
      ++grown.Right;
    if (rowLength(grown) > w || !(deviation(grown) < deviation(row))) return false;
    row = grown;
    if (ADirection < 0)
      --neighbour.Right;
    else
      ++neighbour.Left;
    return true;
  };
  auto complexStep = [&] {
    TcxPCLineIndexBoundsArray copy = rows;
    const long double before = total(rows);
    for (int current = int(copy.size()) - 1; current >= 0; --current) {
      for (;;) {
        const long double previous = total(copy);
        if (!move(copy, current, -1)) break;
        if (total(copy) > previous) break;
      }
      if (total(copy) < before) {
        rows = copy;
        return true;
      }
    }
    return false;
  };
  auto simpleStep = [&](int ADirection) {
    const long double current = total(rows);
    for (int r = 0; r < int(rows.size()); ++r) {
      TcxPCLineIndexBoundsArray copy = rows;
      if (move(copy, r, ADirection) && total(copy) < current) {
        rows = copy;
        return true;
      }
    }
    return false;
  };
  while (complexStep() || simpleStep(+1) || simpleStep(-1)) ++FCounts.BalancingSteps;
  for (std::size_t r = 0; r < rows.size(); ++r)
    for (int i = rows[r].Left; i <= rows[r].Right; ++i) TabViewInfo(i)->SetRow(AFirstRow + int(r));
}

void TcxCustomTabControlViewInfo::StretchedRows() {
  UpdateTabsPosition(0);
  if (IsTooNarrow()) return;
  TcxPCLineIndexBoundsArray rows;
  InitializeLineBoundsArray(rows);
  const int w = FTabsPosition.NormalRowWidth;
  const int gap = TabGaps(Painter(), ActuallyRotate()).First;
  for (const TcxPCIndexInterval& row : rows) {
    if (row.Left < 0) continue;
    if (!ActuallyRotate() && !RaggedRight()) {
      long long length = (long long)gap * (row.Right - row.Left);
      for (int i = row.Left; i <= row.Right; ++i) length += TabSize(i);
      if (length < w) DistributeShortfall(row.Left, row.Right, int(w - length));
    }
    PositionTabsInRow(row.Left, row.Right, false);
  }
}

void TcxCustomTabControlViewInfo::CalculateRowHeight() {
  if (!ActuallyRotate()) {
    FRowHeight = FTabsViewInfo->TabNormalHeight();
    return;
  }
  int first = 0, last = TabViewInfoCount() - 1;
  if (!HasOption(Options(), pcoFixedTabWidthWhenRotated)) InitializeVisibleTabRange(first, last);
  TcxTabViewInfo* widest = nullptr;
  for (int i = std::max(first, 0); i <= last; ++i)
    if (!widest || TabViewInfo(i)->NormalWidth() > widest->NormalWidth()) widest = TabViewInfo(i);
  if (!widest) {
    FMaxTabCaptionWidth = 0;
    FRowHeight = 0;
    return;
  }
  FMaxTabCaptionWidth = MeasureTabText(widest, widest->Caption()).cx;
  FRowHeight = widest->NormalWidth();
  const int maxWidth = RotatedTabsMaxWidth();
  if (maxWidth > 0 && maxWidth < FRowHeight) FRowHeight = maxWidth;
}

void TcxCustomTabControlViewInfo::CalculateRowOrder() {
  const int n = TabViewInfoCount();
  const TcxTabPosition position = TabPosition();
  bool reversed;
  if (IsHorizontalRow())
    reversed = (ActuallyRotate() && !HasOption(Options(), pcoTopToBottomText)) != (position == tpBottom);
  else
    reversed = (!ActuallyRotate() && HasOption(Options(), pcoTopToBottomText)) != (position == tpRight);
  for (int i = 0; i < n; ++i) {
    TcxTabViewInfo* tab = TabViewInfo(i);
    tab->SetVisibleRow(reversed ? FRowCount - tab->Row() - 1 : tab->Row());
  }
  int part = FRowCount;
  if (TcxTabViewInfo* main = TabViewInfo(FMainTabVisibleIndex)) {
    const int m = main->VisibleRow();
    if (Properties()->ScrollOpposite()) {
      part = m + 1;
    } else if (Painter()->PainterClass()->IsMainTabBoundWithClient()) {
      for (int i = 0; i < n; ++i) {
        TcxTabViewInfo* tab = TabViewInfo(i);
        tab->SetVisibleRow((tab->VisibleRow() + FRowCount - m - 1) % FRowCount);
      }
    }
  }
  if (position == tpBottom || position == tpRight) {
    for (int i = 0; i < n; ++i) {
      TcxTabViewInfo* tab = TabViewInfo(i);
      tab->SetVisibleRow(FRowCount - tab->VisibleRow() - 1);
    }
    part = FRowCount - part;
  }
  FTopOrLeftPartRowCount = part;
  PositionRows();
}

void TcxCustomTabControlViewInfo::PositionRows() {
  POINT nearPoint{FTabsPosition.NormalTabsRect.left, FTabsPosition.NormalTabsRect.top};
  POINT farPoint{FTabsPosition.NormalTabsRect.right, FTabsPosition.NormalTabsRect.bottom};
  const int nearSide = Across(nearPoint), farSide = Across(farPoint);
  const int a = TabGaps(Painter(), ActuallyRotate()).Second;
  const int h = FRowHeight;
  int first, last;
  InitializeVisibleTabRange(first, last);
  for (int i = std::max(first, 0); i <= last; ++i) {
    TcxTabViewInfo* tab = TabViewInfo(i);
    const int r = tab->VisibleRow();
    POINT p = tab->NormalPosition();
    Across(p) = r < FTopOrLeftPartRowCount ? r * (h + a) + nearSide
                                            : farSide - (FRowCount - r) * h - (FRowCount - r - 1) * a;
    tab->SetNormalPosition(p);
  }
  const RECT& extended = FTabsPosition.ExtendedTabsRect;
  const bool horizontal = IsHorizontalRow();
  auto nearOf = [horizontal](RECT& r) -> LONG& { return horizontal ? r.top : r.left; };
  auto farOf = [horizontal](RECT& r) -> LONG& { return horizontal ? r.bottom : r.right; };
  RECT ext = extended;
  const int extNear = nearOf(ext), extFar = farOf(ext);
  const int part = FTopOrLeftPartRowCount;
  nearOf(FExtendedTopOrLeftTabsRect) = extNear;
  farOf(FExtendedBottomOrRightTabsRect) = extFar;
  farOf(FExtendedTopOrLeftTabsRect) =
      std::min(extFar, (h + a) * part + nearSide +
                           FTabsPosition.ExtendedTopOrLeftTabsRectBottomOrRightBorderOffset - a);
  nearOf(FExtendedBottomOrRightTabsRect) =
      std::max(extNear, farSide + a + FTabsPosition.ExtendedBottomOrRightTabsRectTopOrLeftBorderOffset -
                            (FRowCount - part) * (h + a));
  if (IsTabsOnBothSides()) {
    const int distance = FTabsPosition.MinDistanceBetweenTopOrLeftAndBottomOrRightExtendedTabsRects;
    const TcxTabPosition position = TabPosition();
    if (position == tpTop || position == tpLeft) {
      const int value = std::min<int>(extFar, farOf(FExtendedTopOrLeftTabsRect) + distance);
      if (value > nearOf(FExtendedBottomOrRightTabsRect)) nearOf(FExtendedBottomOrRightTabsRect) = value;
    } else {
      const int value = std::max<int>(extNear, nearOf(FExtendedBottomOrRightTabsRect) - distance);
      if (value < farOf(FExtendedTopOrLeftTabsRect)) farOf(FExtendedTopOrLeftTabsRect) = value;
    }
  }
}

// ---- Optimal size and scrolling

int TcxCustomTabControlViewInfo::GetOptimalSize() {
  const int n = TabViewInfoCount();
  if (n == 0 || !Painter()) return 0;
  FTabsViewInfo->CalculateNormalSizes();
  UpdateTabsPosition(Properties()->CalcNavigatorButtons(true));
  POINT topLeft{FTabsPosition.NormalTabsRect.left, FTabsPosition.NormalTabsRect.top};
  const int start = Along(topLeft);
  const int gap = TabGaps(Painter(), ActuallyRotate()).First;
  int position = start, lastEnd = start;
  for (int i = 0; i < n; ++i) {
    lastEnd = position + TabSize(i) - 1;
    position = lastEnd + gap + 1;
  }
  const int limit = start + FTabsPosition.NormalRowWidth - 1;
  FIsLastTabFullyVisible = lastEnd <= limit;
  return (IsHorizontalRow() ? Width() : Height()) + (lastEnd - limit);
}

void TcxCustomTabControlViewInfo::EnsureTabVisible(int AVisibleIndex) {
  if (MultiLine()) return;
  TcxTabViewInfo* tab = TabViewInfo(AVisibleIndex);
  if (!tab || PCSameRect(tab->FullRect(), tab->VisibleRect())) return;
  const int oldFirst = FFirstTabVisibleIndex;
  if (AVisibleIndex < FFirstTabVisibleIndex) {
    FFirstTabVisibleIndex = AVisibleIndex;
  } else if (AVisibleIndex > FLastTabVisibleIndex ||
             (AVisibleIndex == FLastTabVisibleIndex && !FIsLastTabFullyVisible)) {
    UpdateTabsPosition(FNavigatorButtons);
    if (IsTooNarrow()) {
      FFirstTabVisibleIndex = AVisibleIndex;
    } else {
      const int rowWidth = FTabsPosition.NormalRowWidth;
      const int gap = TabGaps(Painter(), ActuallyRotate()).First;
      int first = AVisibleIndex;
      int w = TabSize(AVisibleIndex);
      while (gap + w < rowWidth && first > 0) {
        --first;
        w += gap + TabSize(first);
      }
      // Never past the tab itself: a tab wider than the row still starts the range.
      if (w > rowWidth && first < AVisibleIndex) ++first;
      FFirstTabVisibleIndex = first;
    }
  }
  if (FFirstTabVisibleIndex != oldFirst) {
    CalculateSingleRow();
    if (FIControl) FIControl->RequestLayout();
  }
}

// ---- Interaction state

void TcxCustomTabControlViewInfo::RepaintTab(int AVisibleIndex, int AType) {
  TcxPCCustomPainter* painter = Painter();
  if (painter && TabViewInfo(AVisibleIndex)) painter->RepaintTab(AVisibleIndex, AType);
}

void TcxCustomTabControlViewInfo::SetMainTabVisibleIndex(int AValue) {
  if (FMainTabVisibleIndex == AValue) return;
  FTrackingTabVisibleIndex = -1;
  FFocusedTabVisibleIndex = -1;
  const int old = FMainTabVisibleIndex;
  FMainTabVisibleIndex = AValue;
  if (TabViewInfo(old)) RepaintTab(old, tpcIsMainTab);
  if (AValue != -1) RepaintTab(AValue, tpcIsMainTab);
  UpdateNavigatorButtonStates();
}

int TcxCustomTabControlViewInfo::FocusedTabVisibleIndex() const {
  return FFocusedTabVisibleIndex == -1 ? FMainTabVisibleIndex : FFocusedTabVisibleIndex;
}

void TcxCustomTabControlViewInfo::SetFocusedTabVisibleIndex(int AValue) {
  const int old = FocusedTabVisibleIndex();
  if (AValue == old) return;
  FFocusedTabVisibleIndex = AValue;
  RepaintTab(old, tpcFocused);
  if (TcxTabViewInfo* tab = TabViewInfo(AValue)) {
    if (PCSameRect(tab->FullRect(), tab->VisibleRect()))
      RepaintTab(AValue, tpcFocused);
    else
      EnsureTabVisible(AValue);
  }
}

void TcxCustomTabControlViewInfo::SetTrackingTabVisibleIndex(int AValue) {
  const int old = FTrackingTabVisibleIndex;
  if (AValue == old) return;
  FTrackingTabVisibleIndex = AValue;
  RepaintTab(old, tpcTracking);
  if (TcxTabViewInfo* tab = TabViewInfo(AValue)) {
    if (PCSameRect(tab->FullRect(), tab->VisibleRect()))
      RepaintTab(AValue, tpcTracking);
    else
      EnsureTabVisible(AValue);
  }
}

void TcxCustomTabControlViewInfo::SetHotTrackTabVisibleIndex(int AValue) {
  const int old = FHotTrackTabVisibleIndex;
  if (AValue == old) return;
  FHotTrackTabVisibleIndex = AValue;
  if (old != -1) RepaintTab(old, tpcHotTrack);
  if (AValue != -1) RepaintTab(AValue, tpcHotTrack);
}

bool TcxCustomTabControlViewInfo::IsHotTrackActive() const {
  TcxPCCustomPainter* painter = Painter();
  return Properties()->HotTrack() || (painter && painter->IsHotTrackRequired());
}

void TcxCustomTabControlViewInfo::SetHotTrackTabCloseButton(TcxPCTabCloseButtonViewInfo* AValue) {
  if (FHotTrackTabCloseButton == AValue) return;
  if (FHotTrackTabCloseButton) FHotTrackTabCloseButton->SetState(nbsNormal);
  FHotTrackTabCloseButton = AValue;
  if (AValue)
    AValue->SetState(AValue == FPressedTabCloseButton ? nbsPressed : IsHotTrackActive() ? nbsHotTrack : nbsNormal);
}

void TcxCustomTabControlViewInfo::SetHotTrackNavigatorButton(TcxPCNavigatorButtonViewInfo* AValue) {
  if (FHotTrackNavigatorButton == AValue) return;
  if (FHotTrackNavigatorButton) FHotTrackNavigatorButton->SetState(nbsNormal);
  FHotTrackNavigatorButton = AValue;
  if (AValue)
    AValue->SetState(AValue == FPressedNavigatorButton ? nbsPressed : IsHotTrackActive() ? nbsHotTrack : nbsNormal);
}

void TcxCustomTabControlViewInfo::SetPressedNavigatorButton(TcxPCNavigatorButtonViewInfo* AValue) {
  if (FPressedNavigatorButton == AValue) return;
  if (FPressedNavigatorButton)
    FPressedNavigatorButton->SetState(
        FPressedNavigatorButton == FHotTrackNavigatorButton && IsHotTrackActive() ? nbsHotTrack : nbsNormal);
  FPressedNavigatorButton = AValue;
  if (AValue) AValue->SetState(nbsPressed);
}

void TcxCustomTabControlViewInfo::UpdateNavigatorButtonStates() {
  const int n = TabViewInfoCount();
  const TcxPCNavigatorButton endButton =
      IsRightToLeftAlignment() || IsBottomToTopAlignment() ? nbTopLeft : nbBottomRight;
  for (const auto& button : FNavigatorButtonInfos) {
    bool enabled;
    switch (button->ButtonType()) {
      case nbGoDialog: continue;
      case nbClose: enabled = FMainTabVisibleIndex != -1; break;
      default:
        if (button->ButtonType() == endButton)
          enabled = !(FLastTabVisibleIndex == n - 1 &&
                      (FIsLastTabFullyVisible || FLastTabVisibleIndex == FFirstTabVisibleIndex));
        else
          enabled = FFirstTabVisibleIndex > 0;
        break;
    }
    if (!enabled) {
      if (button->State() != nbsDisabled) {
        button->SetState(nbsDisabled);
        FHotTrackNavigatorButton = nullptr;
        FPressedNavigatorButton = nullptr;
      }
    } else if (button->State() == nbsDisabled) {
      button->SetState(nbsNormal);
    }
  }
}

void TcxCustomTabControlViewInfo::UpdateHotTrack(TShiftState AShift) {
  TcxCustomTabControlController* controller = Controller();
  if (!controller || controller->IsGoDialogShowing()) return;
  TcxPCHitTest& hitTest = controller->HitTest();
  hitTest.SetHitTestPoint(AShift, controller->MousePos());
  TcxPCCustomElementViewInfo* hit = hitTest.HitObject();
  auto* navigator = hit && hit->Is<TcxPCNavigatorButtonViewInfo>() ? static_cast<TcxPCNavigatorButtonViewInfo*>(hit)
                                                                    : nullptr;
  int hotTab = -1;
  TcxPCTabCloseButtonViewInfo* hotClose = nullptr;
  TcxPCNavigatorButtonViewInfo* hotNavigator = navigator;
  if (IsEnabled()) {
    if (FIControl->QueryHotTrackSuppressed()) {
      hotNavigator = nullptr;
    } else if (!(navigator && navigator->State() != nbsDisabled && navigator->CanHotTrack())) {
      const POINT p = hitTest.HitPoint();
      const int tab = VisibleIndexOfTabAt(p.x, p.y);
      if (IsHotTrackActive() && tab != -1 && TabViewInfo(tab)->Enabled()) hotTab = tab;
      if (hitTest.HasHitTestCode(pchtTabCloseButton)) hotClose = static_cast<TcxPCTabCloseButtonViewInfo*>(hit);
      hotNavigator = nullptr;
    }
  } else {
    hotNavigator = nullptr;
  }
  SetHotTrackTabVisibleIndex(hotTab);
  SetHotTrackTabCloseButton(hotClose);
  SetHotTrackNavigatorButton(hotNavigator);
}

void TcxCustomTabControlViewInfo::ButtonDestroyed(TcxPCCustomButtonViewInfo* AButton) {
  if (TcxCustomTabControlController* controller = Controller())
    if (controller->HitTest().HitObject() == AButton) controller->HitTest().ClearHitTest();
  if (FHotTrackTabCloseButton == AButton) FHotTrackTabCloseButton = nullptr;
  if (FPressedTabCloseButton == AButton) FPressedTabCloseButton = nullptr;
  if (FHotTrackNavigatorButton == AButton) FHotTrackNavigatorButton = nullptr;
  if (FPressedNavigatorButton == AButton) FPressedNavigatorButton = nullptr;
}

void TcxCustomTabControlViewInfo::TabViewInfoDestroyed(TcxTabViewInfo* AViewInfo) {
  const int index = AViewInfo->VisibleIndex();
  if (index == -1) return;
  for (int* field : {&FMainTabVisibleIndex, &FTrackingTabVisibleIndex, &FFocusedTabVisibleIndex,
                     &FHotTrackTabVisibleIndex, &FPressedTabVisibleIndex})
    if (*field == index) *field = -1;
}

void TcxCustomTabControlViewInfo::TabsChanged(TcxTab* ATab, int AKind) {
  if (!FTabsViewInfo) return;
  if (AKind == tpcLayout || AKind == tpcVisible) FTabsViewInfo->RequestRecreation();
  TcxTabViewInfo* tab = ATab ? FTabsViewInfo->FindViewInfo(ATab) : nullptr;
  if (AKind == tpcVisible && tab) {
    if (Properties()->RejectsHiddenTabIndex() && tab->IsMainTab()) FTabsViewInfo->SetNeedCheckTabIndex(true);
    FTabsViewInfo->RemoveViewInfo(tab);
    tab = nullptr;
  }
  if (Properties()->IsUpdateLocked()) return;
  if (AKind == tpcLayout || AKind == tpcVisible) {
    if (FIControl) FIControl->RequestLayout();
  } else if (tab) {
    RepaintTab(tab->VisibleIndex(), AKind);
  }
}

}  // namespace tvk
