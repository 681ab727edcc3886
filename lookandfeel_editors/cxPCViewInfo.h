#pragma once
// The tab control's layout: which tabs are shown, their rows, row order and
// side, every tab's position, the navigator buttons, the tab and page areas,
// and the interaction state (main, focused, hot, pressed and tracked tabs and
// buttons). One view info per shown tab calculates the tab's parts; buttons
// and tabs answer hit tests. Every metric comes from the painter.
#include "cxPC.h"

#include <memory>
#include <vector>

namespace tvk {

class TcxPCHitTest;
class TcxCustomTabControlViewInfo;

// The hit codes (bits of TcxPCHitTest's code set).
constexpr int pchtNavigatorButton = 1, pchtTab = 2, pchtTabCloseButton = 3;

// ---- Elements

class TcxPCCustomElementViewInfo : public TObject {
public:
  TVK_CLASS(TcxPCCustomElementViewInfo, TObject)
  const RECT& Bounds() const { return FBounds; }
  void SetBounds(const RECT& AValue) { FBounds = AValue; }
  virtual TcxCustomTabControlViewInfo* ControlViewInfo() const = 0;

  // True (the hit test filled) when the test point is on the element.
  virtual bool GetHitTest(TcxPCHitTest& AHitTest);
  virtual int GetHitTestCode() const = 0;
  virtual bool ContainsPoint(POINT P) const;
  virtual void FillHitTest(TcxPCHitTest& AHitTest);

protected:
  RECT FBounds{};
};

class TcxPCCustomButtonViewInfo : public TcxPCCustomElementViewInfo {
public:
  TVK_CLASS(TcxPCCustomButtonViewInfo, TcxPCCustomElementViewInfo)
  // Leaves the hit test and the hot and pressed references.
  ~TcxPCCustomButtonViewInfo() override;
  virtual bool IsEnabled() const { return State() != nbsDisabled; }
  virtual void Click() {}
  virtual void Invalidate();
  virtual RECT GetDisplayBounds() const { return FBounds; }
  virtual TcxPCNavigatorButtonState State() const { return FState; }
  // A changed state is stored and repainted.
  virtual void SetState(TcxPCNavigatorButtonState AValue);
  bool ContainsPoint(POINT P) const override;

protected:
  void Detach();
  TcxPCNavigatorButtonState FState = nbsNormal;
};

class TcxPCTabCloseButtonViewInfo : public TcxPCCustomButtonViewInfo {
public:
  TVK_CLASS(TcxPCTabCloseButtonViewInfo, TcxPCCustomButtonViewInfo)
  explicit TcxPCTabCloseButtonViewInfo(TcxTabViewInfo* ATabViewInfo) : FTabViewInfo(ATabViewInfo) {}
  ~TcxPCTabCloseButtonViewInfo() override { Detach(); }
  TcxCustomTabControlViewInfo* ControlViewInfo() const override;
  int GetHitTestCode() const override { return pchtTabCloseButton; }
  void Click() override;
  RECT GetDisplayBounds() const override;
  // Disabled while the tab is not accessible.
  TcxPCNavigatorButtonState State() const override;
  TcxTabViewInfo* TabViewInfo() const { return FTabViewInfo; }

private:
  TcxTabViewInfo* FTabViewInfo;
};

class TcxPCNavigatorButtonViewInfo : public TcxPCCustomButtonViewInfo {
public:
  TVK_CLASS(TcxPCNavigatorButtonViewInfo, TcxPCCustomButtonViewInfo)
  TcxPCNavigatorButtonViewInfo(TcxCustomTabControlViewInfo* AViewInfo, TcxPCNavigatorButton AButtonType)
      : FButtonType(AButtonType), FTabControlViewInfo(AViewInfo) {}
  ~TcxPCNavigatorButtonViewInfo() override { Detach(); }
  TcxCustomTabControlViewInfo* ControlViewInfo() const override { return FTabControlViewInfo; }
  int GetHitTestCode() const override { return pchtNavigatorButton; }
  void Click() override;
  TcxPCNavigatorButton ButtonType() const { return FButtonType; }
  // Not the go-dialog or close button while the owner is designed.
  bool CanHotTrack() const;

private:
  TcxPCNavigatorButton FButtonType;
  TcxCustomTabControlViewInfo* FTabControlViewInfo;
};

// ---- Tabs

class TcxTabViewInfo : public TcxPCCustomElementViewInfo {
public:
  TVK_CLASS(TcxTabViewInfo, TcxPCCustomElementViewInfo)
  TcxTabViewInfo(TcxTab* ATab, TcxTabsViewInfo* ATabsViewInfo);
  ~TcxTabViewInfo() override;

  TcxCustomTabControlViewInfo* ControlViewInfo() const override;
  int GetHitTestCode() const override { return pchtTab; }
  bool ContainsPoint(POINT P) const override;
  void FillHitTest(TcxPCHitTest& AHitTest) override;

  virtual bool IsClickable() const { return true; }
  virtual bool IsFocusable() const { return true; }
  virtual bool IsMultiSelectable() const;
  virtual bool IsOrdinaryTab() const { return true; }
  virtual void DoTabAction();
  virtual void SelectTab(bool AMultiSelectKey);
  virtual void FocusTab();
  virtual void ClickTab(TShiftState AShift);
  virtual bool IsPressable() const;
  virtual bool HasCloseButton() const;
  virtual bool IsVisibleForGoDialog() const;
  virtual int GetDefinedWidth() const;
  virtual void CorrectTabNormalWidth(int& AWidth) const;

  // The close button while the tab has one (made on first request).
  TcxPCTabCloseButtonViewInfo* CloseButtonInfo();
  WideString Caption() const;
  TColor Color() const;
  bool Enabled() const;
  int ImageIndex() const;
  int Index() const;
  TcxPCCustomPainter* Painter() const;
  TcxCustomTabControlProperties* Properties() const;
  TcxTab* Tab() const { return FTab; }
  TcxTabsViewInfo* TabsViewInfo() const { return FTabsViewInfo; }
  int VisibleIndex() const;
  int Row() const { return FRow; }
  void SetRow(int AValue) { FRow = AValue; }
  int VisibleRow() const { return FVisibleRow; }
  void SetVisibleRow(int AValue) { FVisibleRow = AValue; }
  POINT NormalPosition() const { return FNormalPosition; }
  void SetNormalPosition(POINT AValue) { FNormalPosition = AValue; }
  int NormalWidth() const { return FNormalWidth; }
  void SetNormalWidth(int AValue) { FNormalWidth = AValue; }
  const RECT& ContentRect() const { return FContentRect; }
  const RECT& ImageRect() const { return FImageRect; }
  const RECT& TextRect() const { return FTextRect; }
  bool IsTextTooLong() const { return FIsTextTooLong; }
  RECT NormalRect() const;
  RECT FullRect() const;
  RECT VisibleRect() const;
  TcxTabPosition PaintingPosition() const;
  int PaintingPositionIndex() const;

  bool ActuallyEnabled() const;
  bool ActuallyVisible() const;
  bool HasCaption() const { return !Caption().empty(); }
  bool HasImage() const { return ImageIndex() != -1; }
  bool IsActive() const;
  bool IsFocused() const;
  bool IsHotTrack() const;
  bool IsMainTab() const;
  bool IsPressed() const;
  bool IsTracking() const;
  bool IsHighlighted() const;
  bool IsSelected() const;
  bool IsCloseButtonPlacedFirst() const { return GetRelativeTextRotationAngle() == raMinus90; }
  TcxRotationAngle GetRelativeTextRotationAngle() const;
  int CalculateNormalWidth();
  void CalculateParts();
  // R in the control's canvas coordinates (differs only while painting natively).
  RECT ToCanvasRect(const RECT& R) const;
  // The caption's width once truncated to AMaxWidth with an end ellipsis; 0 when nothing fits.
  int FitCaption(int AMaxWidth) const;
  int GetCaptionAlignmentOffset(int ASpace, int ALength) const;

private:
  void TabDestroyed(TObject* Sender, const void* AArgs);
  void CentreAcross(RECT& R, int AExtent, const RECT& AOffsets) const;
  RECT LocalFullRect() const;
  void PlaceCloseButton(const RECT& AContent);
  RECT ContentWithoutCloseButton(int ACloseSpace) const;
  void PlaceImageOnly(RECT R);
  void PlaceImageAndText(RECT R);

  std::unique_ptr<TcxPCTabCloseButtonViewInfo> FCloseButtonInfo;
  TcxTab* FTab;
  TcxTabsViewInfo* FTabsViewInfo;
  POINT FNormalPosition{};
  int FNormalWidth = 0;
  int FRow = 0;
  int FVisibleRow = 0;
  RECT FContentRect{};
  RECT FImageRect{};
  bool FIsTextTooLong = false;
  RECT FTextRect{};
};

class TcxPCNewButtonViewInfo : public TcxTabViewInfo {
public:
  TVK_CLASS(TcxPCNewButtonViewInfo, TcxTabViewInfo)
  using TcxTabViewInfo::TcxTabViewInfo;
  bool IsClickable() const override { return ActuallyEnabled(); }
  bool IsFocusable() const override;
  bool IsMultiSelectable() const override { return false; }
  bool IsOrdinaryTab() const override { return false; }
  void ClickTab(TShiftState AShift) override;
  bool HasCloseButton() const override { return false; }
  bool IsVisibleForGoDialog() const override { return false; }
  int GetDefinedWidth() const override;
  void CorrectTabNormalWidth(int& AWidth) const override { (void)AWidth; }
};

class TcxTabsViewInfo : public TObject {
public:
  TVK_CLASS(TcxTabsViewInfo, TObject)
  TcxTabsViewInfo(TcxTabs* ATabs, TcxCustomTabControlViewInfo* AControlViewInfo);
  ~TcxTabsViewInfo() override;

  TcxCustomTabControlViewInfo* ControlViewInfo() const { return FControlViewInfo; }
  TcxTabs* Tabs() const { return FTabs; }
  int ViewInfoCount() const { return int(FViewInfos.size()); }
  TcxTabViewInfo* ViewInfos(int AVisibleIndex) const;
  int VisibleIndexOf(const TcxTabViewInfo* AViewInfo) const;
  TcxTabViewInfo* FindViewInfo(const TcxTab* ATab) const;
  int TabNormalHeight() const { return FTabNormalHeight; }
  int LastRealTabIndex() const;
  void CalculateNormalSizes();
  void CalculateTabParts();
  // Rebuilds the view infos when asked to (only remembered while the properties are update-locked).
  void UpdateViewInfos();
  void RequestRecreation() { FNeedRecreateViewInfos = true; }
  bool NeedCheckTabIndex() const { return FNeedCheckTabIndex; }
  void SetNeedCheckTabIndex(bool AValue) { FNeedCheckTabIndex = AValue; }
  // Takes the view info out and frees it (its tab is gone).
  void RemoveViewInfo(TcxTabViewInfo* AViewInfo);

  virtual void CreateViewInfos();
  virtual void DestroyViewInfos();
  virtual int GetTabDefaultHeight() const;

private:
  void TabsChanged(TObject* Sender, const void* AArgs);
  void TabsDestroyed(TObject* Sender, const void* AArgs);

  TcxCustomTabControlViewInfo* FControlViewInfo;
  TcxTabs* FTabs;
  std::vector<std::unique_ptr<TcxTabViewInfo>> FViewInfos;
  bool FNeedCheckTabIndex = false;
  bool FNeedRecreateViewInfos = true;
  int FTabNormalHeight = 0;
};

// ---- The controller the owner supplies

// (Left, Right) visible indexes of one row.
struct TcxPCIndexInterval {
  int Left, Right;
};
using TcxPCLineIndexBoundsArray = std::vector<TcxPCIndexInterval>;

struct TcxPCOutTabImageAndTextData {
  RECT TabImageRect;
  RECT TabTextRect;
  int TabVisibleIndex;
};
using TcxTabAfterPaintEvent =
    std::function<void(TcxCanvas& ACanvas, TcxTab* ATab, const TcxPCOutTabImageAndTextData& AImageAndTextData)>;

class TcxCustomTabControlController : public TObject {
public:
  TVK_CLASS(TcxCustomTabControlController, TObject)
  virtual TcxPCHitTest& HitTest() = 0;
  virtual bool IsGoDialogShowing() const = 0;
  virtual void SetGoDialogShowing(bool AValue) = 0;
  // The mouse in the control's client coordinates.
  virtual POINT MousePos() const = 0;
  virtual void TabClick(int AVisibleIndex, TShiftState AShift) = 0;
  virtual void DoTabAction(int AVisibleIndex, int AAction) = 0;
  virtual void ShowGoDialog() = 0;
  virtual IcxTabControl* Control() const = 0;
};

class TcxPCHitTest : public TObject {
public:
  TVK_CLASS(TcxPCHitTest, TObject)
  explicit TcxPCHitTest(TcxCustomTabControlController* AController) : FController(AController) {}
  void ClearHitTest();
  // Stores the point and the shift state and finds the element under it:
  // the navigator buttons in order, then the tabs in visible order.
  void SetHitTestPoint(TShiftState AShift, POINT P);
  void Recalculate();
  bool HasHitTestCode(int ACode) const { return (FHitTestCodes >> ACode) & 1u; }
  void SetHitTestCode(int ACode, bool AInclude);
  unsigned HitTestCodes() const { return FHitTestCodes; }
  TcxPCCustomElementViewInfo* HitObject() const { return FHitObject; }
  void SetHitObject(TcxPCCustomElementViewInfo* AValue) { FHitObject = AValue; }
  POINT HitPoint() const { return FHitPoint; }
  TShiftState Shift() const { return FShift; }
  TcxCustomTabControlController* Controller() const { return FController; }

private:
  TcxCustomTabControlController* FController;
  TcxPCCustomElementViewInfo* FHitObject = nullptr;
  unsigned FHitTestCodes = 0;
  POINT FHitPoint{};
  TShiftState FShift = 0;
};

// ---- The control's layout

class TcxCustomTabControlViewInfo : public TObject {
public:
  TVK_CLASS(TcxCustomTabControlViewInfo, TObject)
  explicit TcxCustomTabControlViewInfo(TObject* AOwner);
  ~TcxCustomTabControlViewInfo() override;

  // Lays the control out; not re-entrant.
  void Calculate();
  // The length the control needs along its rows for every tab; 0 without tabs.
  int GetOptimalSize();
  int IndexOfTabAt(int X, int Y) const;
  int VisibleIndexOfTabAt(int X, int Y) const;
  void InitializeLineBoundsArray(TcxPCLineIndexBoundsArray& AArray) const;
  void InitializeVisibleTabRange(int& AFirst, int& ALast) const;
  void InvalidateRect(const RECT& R, bool AEraseBackground);
  SIZE GetTabImageSize() const;
  TcxRotationAngle GetTextRotationAngle() const;
  bool IsVerticalText() const;
  bool IsRightToLeftAlignment() const;
  bool IsBottomToTopAlignment() const;
  bool ActuallyRotate() const;
  bool IsTabsOnBothSides() const;
  bool IsTabsContainer() const;
  bool IsNativePainting() const;
  bool IsEnabled() const;
  bool IsFocused() const;
  bool ParentBackground() const;
  bool CanDrawParentBackground() const;
  TcxLookAndFeel* GetLookAndFeel() const;
  bool HasTabCloseButtons() const;
  bool IsTabAccessible(int AVisibleIndex) const;
  bool IsTabVisibleInRange(int AVisibleIndex) const;
  int RotatedTabsMaxWidth() const;
  bool IsTooNarrow() const { return FTabsPosition.NormalRowWidth < 1; }

  void EnsureTabVisible(int AVisibleIndex);
  void UpdateHotTrack(TShiftState AShift);
  void UpdateNavigatorButtonStates();
  void RepaintTab(int AVisibleIndex, int AType);

  // ---- Properties
  RECT BoundsRect() const;
  TcxCanvas* Canvas() const;
  RECT ClientRect() const;
  RECT ControlBounds() const;
  TColor Color() const;
  TFont* Font() const;
  int Width() const;
  int Height() const;
  IcxTabControl* IControl() const { return FIControl; }
  TcxCustomTabControlProperties* Properties() const;
  TcxPCCustomPainter* Painter() const;
  TcxCustomTabControlController* Controller() const;
  int FirstTabVisibleIndex() const { return FFirstTabVisibleIndex; }
  void SetFirstTabVisibleIndex(int AValue) { FFirstTabVisibleIndex = AValue; }
  int LastTabVisibleIndex() const { return FLastTabVisibleIndex; }
  bool IsLastTabFullyVisible() const { return FIsLastTabFullyVisible; }
  int FocusedTabVisibleIndex() const;
  void SetFocusedTabVisibleIndex(int AValue);
  int MainTabVisibleIndex() const { return FMainTabVisibleIndex; }
  void SetMainTabVisibleIndex(int AValue);
  int HotTrackTabVisibleIndex() const { return FHotTrackTabVisibleIndex; }
  void SetHotTrackTabVisibleIndex(int AValue);
  int PressedTabVisibleIndex() const { return FPressedTabVisibleIndex; }
  void SetPressedTabVisibleIndex(int AValue) { FPressedTabVisibleIndex = AValue; }
  int TrackingTabVisibleIndex() const { return FTrackingTabVisibleIndex; }
  void SetTrackingTabVisibleIndex(int AValue);
  TcxPCTabCloseButtonViewInfo* HotTrackTabCloseButton() const { return FHotTrackTabCloseButton; }
  void SetHotTrackTabCloseButton(TcxPCTabCloseButtonViewInfo* AValue);
  TcxPCTabCloseButtonViewInfo* PressedTabCloseButton() const { return FPressedTabCloseButton; }
  void SetPressedTabCloseButton(TcxPCTabCloseButtonViewInfo* AValue) { FPressedTabCloseButton = AValue; }
  TcxPCNavigatorButtonViewInfo* HotTrackNavigatorButton() const { return FHotTrackNavigatorButton; }
  void SetHotTrackNavigatorButton(TcxPCNavigatorButtonViewInfo* AValue);
  TcxPCNavigatorButtonViewInfo* PressedNavigatorButton() const { return FPressedNavigatorButton; }
  void SetPressedNavigatorButton(TcxPCNavigatorButtonViewInfo* AValue);
  int RowCount() const { return FRowCount; }
  int RowHeight() const { return FRowHeight; }
  int TopOrLeftPartRowCount() const { return FTopOrLeftPartRowCount; }
  int MaxTabCaptionWidth() const { return FMaxTabCaptionWidth; }
  TcxTabsViewInfo* TabsViewInfo() const { return FTabsViewInfo.get(); }
  const TcxPCTabsPosition& TabsPosition() const { return FTabsPosition; }
  const RECT& ExtendedTopOrLeftTabsRect() const { return FExtendedTopOrLeftTabsRect; }
  const RECT& ExtendedBottomOrRightTabsRect() const { return FExtendedBottomOrRightTabsRect; }
  TcxPCNavigatorButtons NavigatorButtons() const { return FNavigatorButtons; }
  // Recreates the navigator buttons' view infos in display order.
  void SetNavigatorButtons(TcxPCNavigatorButtons AValue);
  int NavigatorButtonCount() const { return int(FNavigatorButtonInfos.size()); }
  TcxPCNavigatorButtonViewInfo* NavigatorButtonInfos(int AIndex) const;
  TcxPCNavigatorButtonViewInfo* FindNavigatorButton(TcxPCNavigatorButton AButton) const;
  TcxPCNavigatorPosition NavigatorPosition() const;
  TcxPCOptions Options() const;
  bool HideTabs() const;
  bool MultiLine() const;
  bool RaggedRight() const;
  bool ShowFrame() const;
  bool TabsScroll() const;
  TcxTabSlants& TabSlants() const;
  TcxTabPosition TabPosition() const;
  int ImageBorder() const;
  int TabHeight() const;
  int TabWidth() const;
  RECT PageClientRect() const;
  RECT PageClientRectOffset() const;
  RECT TabsAreaRect() const;
  TcxTabViewInfo* TabViewInfo(int AVisibleIndex) const;
  int TabViewInfoCount() const;

  TcxTabAfterPaintEvent OnAfterPaintTab;

  // ---- Overridable
  virtual bool IsActiveTabAt(int X, int Y) const;
  virtual TcxPCPainterClass GetPainterClass() const;
  virtual void CalculateLayout();
  virtual int TabIndex() const;
  virtual void SetTabIndex(int AValue);
  virtual void NotifyAfterPaintTab(TcxCanvas& ACanvas, TcxTab* ATab, const TcxPCOutTabImageAndTextData& AData) {
    (void)ACanvas, (void)ATab, (void)AData;
  }
  virtual TColor GetActivePageColor() const { return clDefault; }
  virtual TColor GetTabOwnColor(int AVisibleIndex) const;
  virtual bool IsActivePagePresent() const { return false; }
  virtual bool HasFullFrame() const { return true; }
  virtual bool UseActivePageColor() const { return false; }
  virtual TWinControl* GetPopupOwner() const;
  virtual void PrepareTabCanvasFont(TcxTabViewInfo* ATabViewInfo, TcxCanvas& ACanvas);

  // Layout counters (for measurements): width measurements and balancing steps.
  struct TLayoutCounts {
    long long WidthMeasurements = 0;
    long long BalancingSteps = 0;
    long long TabPlacements = 0;
  };
  TLayoutCounts& LayoutCounts() { return FCounts; }

private:
  friend class TcxTabsViewInfo;
  friend class TcxTabViewInfo;
  friend class TcxPCCustomButtonViewInfo;
  int TabSize(int AVisibleIndex) const;
  LONG& Along(POINT& P) const;
  LONG& Across(POINT& P) const;
  bool IsHorizontalRow() const;
  void ValidateIndexes();
  void UpdateMainTab();
  void UpdateTabsPosition(TcxPCNavigatorButtons AButtons);
  void PositionTabsInRow(int AFirst, int ALast, bool APlaceAll);
  void CalculateSingleRow();
  void CalculateMultiLine();
  void ArrangeTabsInRows();
  void ScrollingRow();
  void SqueezedRow();
  void StretchedRows();
  void BreakIntoRows();
  void BalanceSegment(int AFirst, int ALast, int AFirstRow);
  void DistributeShortfall(int AFirst, int ALast, int AAmount);
  void CalculateRowHeight();
  void CalculateRowOrder();
  void PositionRows();
  void CopyAlongFromExtended();
  void TabsChanged(TcxTab* ATab, int AKind);
  void TabViewInfoDestroyed(TcxTabViewInfo* AViewInfo);
  void ButtonDestroyed(TcxPCCustomButtonViewInfo* AButton);
  bool IsHotTrackActive() const;
  TcxPCNavigatorButtonState ButtonStateFor(TcxPCNavigatorButtonViewInfo* AButton) const;

  RECT FExtendedBottomOrRightTabsRect{};
  RECT FExtendedTopOrLeftTabsRect{};
  int FFirstTabVisibleIndex = -1;
  int FFocusedTabVisibleIndex = -1;
  IcxTabControl* FIControl = nullptr;
  int FLastTabVisibleIndex = -1;
  TcxPCTabCloseButtonViewInfo* FHotTrackTabCloseButton = nullptr;
  TcxPCNavigatorButtonViewInfo* FHotTrackNavigatorButton = nullptr;
  int FHotTrackTabVisibleIndex = -1;
  bool FIsLastTabFullyVisible = false;
  int FMainTabVisibleIndex = -1;
  int FMaxTabCaptionWidth = 0;
  TObject* FOwner;
  TcxPCNavigatorButtonViewInfo* FPressedNavigatorButton = nullptr;
  TcxPCTabCloseButtonViewInfo* FPressedTabCloseButton = nullptr;
  int FPressedTabVisibleIndex = -1;
  int FRowCount = 0;
  int FRowHeight = 0;
  TcxPCTabsPosition FTabsPosition{};
  std::unique_ptr<TcxTabsViewInfo> FTabsViewInfo;
  int FTopOrLeftPartRowCount = 0;
  int FTrackingTabVisibleIndex = -1;
  bool FUpdating = false;
  TcxPCNavigatorButtons FNavigatorButtons = 0;
  std::vector<std::unique_ptr<TcxPCNavigatorButtonViewInfo>> FNavigatorButtonInfos;
  TLayoutCounts FCounts;
};

}  // namespace tvk
