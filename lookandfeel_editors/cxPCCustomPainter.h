#pragma once
// The base of every tab painter style: the metrics the layout asks for and
// the painting of tabs, page, frame, navigator buttons and background, with
// small defaults that the styles override. Offsets and margins are written
// as for tabs on top and mapped to the real position. A painter class is a
// class reference object (TcxPCPainterClassOf) that answers the class-level
// questions without a painter.
#include "cxPC.h"
#include "cxPCPaintersFactory.h"

#include <memory>
#include <type_traits>

namespace tvk {

class TcxCustomLookAndFeelPainter;
class TcxTabViewInfo;

// ---- Free functions

// A rectangle written for top tabs mapped to APosition, and back.
RECT RotateRectForPosition(const RECT& ASource, TcxTabPosition APosition);
RECT UnrotateRectForPosition(const RECT& ASource, TcxTabPosition APosition);
// ABounds with the margins (mapped for APosition) taken off each side.
RECT DeflateRectForPosition(const RECT& ABounds, const RECT& AMargins, TcxTabPosition APosition);
RECT AddRectOffsets(const RECT& R, const RECT& AOffsets);
RECT NormalizeRectSize(const RECT& R);
RECT EmptyRectIfInverted(const RECT& R);
int PickSizeComponent(const TcxPCDistance& ASize, bool AFirst);
int GetPointCoordinate(POINT P, bool AIsY);
void SetPointCoordinate(POINT& P, bool AIsY, int AValue);
void SetRectSide(RECT& R, bool ALeftOrTop, bool AIsY, int AValue);
bool ButtonIsEither(TcxPCNavigatorButton AButton, TcxPCNavigatorButton A, TcxPCNavigatorButton B);
// The view info's text rotation, ra0 while it paints natively.
TcxRotationAngle GetEffectiveTextRotation(const TcxCustomTabControlViewInfo* AViewInfo);
bool IsEffectiveTextVertical(const TcxCustomTabControlViewInfo* AViewInfo);
// The text's extent on the shared screen canvas in AFont, or in the tab's
// font (prepared by the view info) without one.
SIZE MeasureTabText(TcxTabViewInfo* ATabViewInfo, const WideString& AText, TFont* AFont = nullptr);

// Side bits of GetTabSideBorders.
constexpr unsigned cxPCSideLeft = 1, cxPCSideTop = 2, cxPCSideRight = 4, cxPCSideBottom = 8;

class TcxPCCustomPainter : public TObject {
public:
  TVK_CLASS(TcxPCCustomPainter, TObject)
  explicit TcxPCCustomPainter(TcxCustomTabControlViewInfo* AViewInfo) : FViewInfo(AViewInfo) {}

  TcxCustomTabControlViewInfo* ViewInfo() const { return FViewInfo; }
  TcxPCImageList& ImagePainter() const;
  // The class reference of this painter's class.
  virtual TcxPCPainterClass PainterClass() const = 0;

  // ---- Class functions (asked through the class reference)
  static bool IsRotationSupported(TcxPCPainterClass) { return true; }
  static TcxPCStandardStyle GetStandardStyle(TcxPCPainterClass) { return tsTabs; }
  static TcxPCStyleID GetStyleID(TcxPCPainterClass) { return cxPCNoStyle; }
  static WideString GetStyleName(TcxPCPainterClass) { return {}; }
  static bool HasLookAndFeel(TcxPCPainterClass, TcxLookAndFeel*) { return false; }
  static bool IsDefault(TcxPCPainterClass, TcxLookAndFeel*) { return false; }
  static bool IsMainTabBoundWithClient(TcxPCPainterClass) { return true; }
  static bool IsMultiSelectionAccepted(TcxPCPainterClass) { return false; }
  static bool IsStandardStyle(TcxPCPainterClass) { return false; }
  static bool IsTabPressable(TcxPCPainterClass) { return false; }

  // ---- The slots, in order
  virtual int MeasureTabNormalWidth(TcxTabViewInfo* ATabViewInfo) = 0;
  virtual bool CanPaintParentBackground();
  virtual void AdjustTabElementOffsets(int ATabVisibleIndex, RECT& AOffsets);
  virtual void ApplyMinTabWidth(int& AWidth) { (void)AWidth; }
  virtual void GetTabRectExtension(int ATabVisibleIndex, RECT& AOffsets);
  virtual void PaintBackground(TcxCanvas& ACanvas);
  virtual void DrawCloseButtonGlyph(TcxCanvas& ACanvas, const RECT& R, TcxPCNavigatorButtonState AState) = 0;
  virtual void PaintTabFocusRect(TcxCanvas& ACanvas, int ATabVisibleIndex) { (void)ACanvas, (void)ATabVisibleIndex; }
  virtual void PaintNativePageBackground(HDC DC) { (void)DC; }
  virtual void PaintTabCloseButton(TcxCanvas& ACanvas, int ATabVisibleIndex);
  virtual void PaintTabImage(TcxCanvas& ACanvas, const RECT& R, int ATabVisibleIndex, TColor ABkColor, bool AEnabled,
                             int AImageIndex);
  virtual void PaintTabContent(TcxCanvas& ACanvas, int ATabVisibleIndex);
  virtual void PaintTabText(TcxCanvas& ACanvas, const RECT& R, int ATabVisibleIndex, TColor ABkColor, bool AEnabled,
                            const WideString& ACaption);
  virtual void FillBackgroundRect(TcxCanvas& ACanvas, const RECT& R);
  virtual void PaintPageClientBackground(TcxCanvas& ACanvas);
  virtual void PaintPageBackground(TcxCanvas& ACanvas) { PaintPageClientBackground(ACanvas); }
  virtual int GetNavigatorButtonsDistance(TcxPCNavigatorButton AButton, TcxPCNavigatorButton ANextButton) {
    (void)AButton, (void)ANextButton;
    return 0;
  }
  virtual int GetNavigatorTabsGap() { return 0; }
  virtual int GetNavigatorEdgeOffset() { return 0; }
  virtual int GetNavigatorEndOffset() { return 0; }
  virtual TColor GetPageClientColor();
  virtual int GetCloseButtonAreaHeight(int ATabVisibleIndex);
  virtual int GetCloseButtonAreaWidth(int ATabVisibleIndex);
  virtual void GetCloseButtonSize(SIZE& ASize) { ASize = {16, 14}; }
  virtual void GetCloseButtonMargins(int ATabVisibleIndex, RECT& AMargins);
  virtual void GetPageClientBackgroundRect(RECT& R) { CalculatePageClientRect(R); }
  virtual TColor GetBackgroundColor();
  virtual void GetPageClientRectOffset(RECT& AOffsets);
  virtual TColor GetDefaultPageClientColor();
  virtual void GetFrameRect(RECT& R);
  virtual void GetTabsAreaMargins(RECT& AMargins);
  virtual void GetTabImageOffsets(int ATabVisibleIndex, RECT& AOffsets) = 0;
  virtual void GetTabImageOnlyOffsets(int ATabVisibleIndex, TcxPCDistance& AOffsets) = 0;
  virtual void GetTabTextOffsets(int ATabVisibleIndex, RECT& AOffsets) = 0;
  virtual TcxCustomLookAndFeelPainter* GetLookAndFeelPainter();
  virtual void GetFrameWidths(RECT& AWidths);
  virtual int GetFrameWidth() { return 0; }
  virtual void DoAfterPaintTab(TcxCanvas& ACanvas, int ATabVisibleIndex);
  virtual bool IsTabShapeSlanted() { return false; }
  virtual void GetGoDialogPopupPosition(SIZE APopupSize, POINT& ATopLeft) = 0;
  virtual int GetImageTextDistance(int ATabVisibleIndex) = 0;
  virtual int GetTabMinWidth(int ATabVisibleIndex) = 0;
  virtual void GetOwnerSizeMetric(TcxPCDistance& AMetric) = 0;
  virtual void GetNativeContentOffsets(RECT& AOffsets);
  virtual TColor GetTabColor(int ATabVisibleIndex) = 0;
  virtual TColor GetTabDefinedColor(int ATabVisibleIndex);
  // The caller owns the region.
  virtual std::unique_ptr<TcxRegion> GetTabClipRegion(TcxCanvas& ACanvas, int ATabVisibleIndex);
  virtual TcxRegionOperation GetTabClipOperation(int ATabVisibleIndex) {
    (void)ATabVisibleIndex;
    return roIntersect;
  }
  virtual void GetTabContentOffsets(int ATabVisibleIndex, TcxPCDistance& AOffsets) = 0;
  virtual void GetTabNativePartAndState(int ATabVisibleIndex, int& APartId, int& AStateId);
  virtual void GetTabsContainerMargins(RECT& AMargins) { AMargins = {}; }
  virtual void GetTabsGap(TcxPCDistance& AGap) { AGap = {}; }
  virtual void CalculateTabsPosition(TcxPCNavigatorButtons ANavigatorButtons, TcxPCTabsPosition& ATabsPosition) = 0;
  virtual TColor GetTabTextColor(int ATabVisibleIndex);
  virtual void GetTabContentOffsetsLongText(int ATabVisibleIndex, TcxPCDistance& AOffsets) = 0;
  virtual void PrepareLayout() {}
  virtual void DrawTabText(TcxCanvas& ACanvas, const WideString& AText, int ATabVisibleIndex, const RECT& R);
  virtual void CalculateTabsAreaMargins(RECT& AMargins);
  virtual void PaintContent(TcxCanvas& ACanvas);
  virtual void DrawTab(TcxCanvas& ACanvas, int ATabVisibleIndex) = 0;
  virtual void InvalidateTab(int ATabVisibleIndex);
  virtual bool IsHotTrackRequired() { return UseNativePainting(); }
  virtual bool UseNativePainting() { return false; }
  virtual bool IsPointInTab(int ATabVisibleIndex, int X, int Y) {
    (void)ATabVisibleIndex, (void)X, (void)Y;
    return true;
  }
  virtual bool PaintTabsFirst() { return true; }
  virtual bool IsTabActiveLook(int ATabVisibleIndex) = 0;
  virtual bool IsTabTransparent(int ATabVisibleIndex) {
    (void)ATabVisibleIndex;
    return false;
  }
  virtual bool IsTabsAreaVisible(TcxCanvas& ACanvas);
  virtual bool HasDisabledTextShadow() { return true; }
  virtual bool IsOwnerOptionSet() { return false; }
  virtual bool UseOwnerNativePainting() { return UseNativePainting(); }
  virtual bool HasFrame();
  virtual void PaintNavigatorButton(TcxCanvas& ACanvas, const RECT& R, TcxPCNavigatorButton AButton,
                                    TcxPCNavigatorButtonState AState) = 0;
  virtual void PaintNavigatorButtons(TcxCanvas& ACanvas) = 0;
  virtual void PaintFrame(TcxCanvas& ACanvas) { (void)ACanvas; }
  virtual void PaintTabsArea(TcxCanvas& ACanvas);
  virtual void PaintTab(TcxCanvas& ACanvas, int ATabVisibleIndex) { (void)ACanvas, (void)ATabVisibleIndex; }
  virtual void PaintTabs(TcxCanvas& ACanvas) = 0;
  virtual void AdjustOwnerTabRect(int ATabVisibleIndex, RECT& R, bool AIsMainTab) {
    (void)ATabVisibleIndex, (void)R, (void)AIsMainTab;
  }
  virtual void PaintTabBackground(TcxCanvas& ACanvas, const RECT& R, int ATabVisibleIndex, TColor AColor);
  virtual void InvalidateNavigatorButtons() {}
  virtual void RepaintTab(int ATabVisibleIndex, int AType) { (void)ATabVisibleIndex, (void)AType; }
  virtual bool UsesLookAndFeelCloseButton() { return false; }
  // Content, then the background left over.
  virtual void Paint(TcxCanvas& ACanvas);
  virtual void PaintPageClientArea(TcxCanvas& ACanvas);
  virtual int CalculateTabNormalHeight() = 0;

  // ---- Services shared by every style
  TcxTabViewInfo* GetTabViewInfo(int ATabVisibleIndex) const;
  unsigned GetTabSideBorders() const;
  void CalculatePageClientRect(RECT& R);
  bool HasPageArea() const;
  bool DoCustomDrawTab(int ATabVisibleIndex);
  void ExcludeTabFromClip(TcxCanvas& ACanvas, int ATabVisibleIndex);
  bool ClipToRect(TcxCanvas& ACanvas, const RECT& R, bool AIntersect = true);
  void RestoreClip(TcxCanvas& ACanvas);
  void InvalidateTabsPart(int ATabVisibleIndex);
  void PaintFrameAndExclude(TcxCanvas& ACanvas);
  void PaintRemainingBackground(TcxCanvas& ACanvas) { PaintBackground(ACanvas); }
  TColor GetButtonHighlightColor() const { return clBtnHighlight; }
  TColor GetButtonShadowColor() const { return clBtnShadow; }
  TColor GetSelectionColor() const { return clHighlight; }
  TColor GetHotTrackColor() const;
  TColor GetHighlightedTabTextColor(int ATabVisibleIndex, TColor ADefaultColor);
  int GetTabNativeState(int ATabVisibleIndex) const;
  int GetMaxCaptionHeight() const;
  SIZE GetImageSize() const;
  SIZE GetRotatedImageSize() const;
  int GetImageAreaWidth() const;
  int GetImageAreaHeight() const;
  bool HasImages() const;
  bool TabHasImage(int ATabVisibleIndex) const;
  bool IsPageActive() const;
  bool IsActivePageColorUsed() const;
  // Whether the tab's image shows: the hot list rules a hot tab when it is assigned.
  bool IsTabImageShown(int ATabVisibleIndex) const;
  void DrawLines(const POINT* APoints, int ALastIndex, TcxCanvas& ACanvas, TColor AColor);
  void DrawRotatedLines(TcxCanvas& ACanvas, const RECT& R, TColor AColor, TcxTabPosition APosition, int ALastIndex,
                        const POINT* APoints);
  static void RotatePointInRect(const RECT& R, POINT& P, TcxTabPosition APosition);

  bool FIsDragImagePainted = false;

private:
  TcxCustomTabControlViewInfo* FViewInfo;
};

// The class reference of painter class T: each answer is T's class function.
template <class T>
class TcxPCPainterClassOf final : public TcxPCPainterClassRef {
public:
  static const TcxPCPainterClassOf& Instance() {
    static const TcxPCPainterClassOf instance;
    return instance;
  }
  TClass PainterClassInfo() const override { return &T::StaticClassInfo(); }
  bool IsRotationSupported() const override { return T::IsRotationSupported(this); }
  TcxPCStandardStyle GetStandardStyle() const override { return T::GetStandardStyle(this); }
  TcxPCStyleID GetStyleID() const override { return T::GetStyleID(this); }
  WideString GetStyleName() const override { return T::GetStyleName(this); }
  bool HasLookAndFeel(TcxLookAndFeel* ALookAndFeel) const override { return T::HasLookAndFeel(this, ALookAndFeel); }
  bool IsDefault(TcxLookAndFeel* ALookAndFeel) const override { return T::IsDefault(this, ALookAndFeel); }
  bool IsMainTabBoundWithClient() const override { return T::IsMainTabBoundWithClient(this); }
  bool IsMultiSelectionAccepted() const override { return T::IsMultiSelectionAccepted(this); }
  bool IsStandardStyle() const override { return T::IsStandardStyle(this); }
  bool IsTabPressable() const override { return T::IsTabPressable(this); }
  std::unique_ptr<TcxPCCustomPainter> Create(TcxCustomTabControlViewInfo* AViewInfo) const override {
    if constexpr (std::is_abstract_v<T>) {
      (void)AViewInfo;
      AbstractError();
    } else {
      return std::make_unique<T>(AViewInfo);
    }
  }
};

// Opens a painter class's body: its class info, its class reference
// (Class()), the painter's PainterClass() and the parent's constructor.
#define TVK_PC_PAINTER(Name, Parent)                                                           \
  TVK_CLASS(Name, Parent)                                                                      \
  using Inherited::Inherited;                                                                      \
  static ::tvk::TcxPCPainterClass Class() { return &::tvk::TcxPCPainterClassOf<Name>::Instance(); } \
  ::tvk::TcxPCPainterClass PainterClass() const override { return Class(); }

}  // namespace tvk
