#pragma once
// The tab control's model: its option set (TcxCustomTabControlProperties),
// the tab collection (a string list of owned TcxTab objects and the new-tab
// pseudo-tab), the tab image list with its rotated drawing, the slant options
// of slanted styles, and the interfaces through which the owning control
// (not part of the module) takes part.
#include "Controls.h"
#include "ImageLists.h"
#include "Lists.h"
#include "cxClasses.h"
#include "cxGraphics.h"
#include "cxPCPaintersFactory.h"

#include <cstdint>
#include <functional>
#include <memory>
#include <vector>

namespace tvk {

class TcxCustomTabControlProperties;
class TcxCustomTabControlViewInfo;
class TcxCustomTabControlController;
class TcxPCCustomPainter;
class TcxTabs;
class TcxTabsViewInfo;
class TcxTabViewInfo;
class TcxLookAndFeel;
class TcxDragImage;

// ---- Shared types

enum TcxTabPosition { tpTop, tpBottom, tpLeft, tpRight };
enum TcxPCCloseButtonMode { cbmNone, cbmActiveTab, cbmEveryTab };
enum TcxPCNavigatorPosition { npLeftTop, npLeftBottom, npRightTop, npRightBottom };
enum TcxPCOption {
  pcoAlwaysShowGoDialogButton, pcoCloseButton, pcoFixedTabWidthWhenRotated, pcoGoDialog, pcoGradient,
  pcoGradientClientArea, pcoNoArrows, pcoRedrawOnResize, pcoSort, pcoTopToBottomText, pcoUsePageColorForTab
};
constexpr int cxPCOptionCount = pcoUsePageColorForTab + 1;
// A set of options, one bit per option in its order.
using TcxPCOptions = uint16_t;
constexpr TcxPCOptions PCOptions(std::initializer_list<TcxPCOption> AOptions) {
  TcxPCOptions set = 0;
  for (TcxPCOption option : AOptions) set = TcxPCOptions(set | (1u << option));
  return set;
}
constexpr bool HasOption(TcxPCOptions AOptions, TcxPCOption AOption) { return (AOptions >> AOption) & 1u; }

enum TcxPCNavigatorButton { nbTopLeft, nbBottomRight, nbGoDialog, nbClose };
// A set of navigator buttons, one bit per button.
using TcxPCNavigatorButtons = unsigned;
constexpr TcxPCNavigatorButtons NavButtons(std::initializer_list<TcxPCNavigatorButton> AButtons) {
  TcxPCNavigatorButtons set = 0;
  for (TcxPCNavigatorButton button : AButtons) set |= 1u << button;
  return set;
}
constexpr bool HasButton(TcxPCNavigatorButtons AButtons, TcxPCNavigatorButton AButton) {
  return (AButtons >> AButton) & 1u;
}
enum TcxPCNavigatorButtonState { nbsNormal, nbsPressed, nbsHotTrack, nbsDisabled };
enum TcxCustomTabControlPropertiesChangedType { pctHard, pctMedium, pctLight };

// The change codes a tab reports with each notification.
constexpr int tpcColor = 1, tpcEnabled = 2, tpcHighlighted = 4, tpcLayout = 7, tpcSelected = 9, tpcVisible = 11;
// The repaint codes of the layout's interaction state.
constexpr int tpcFocused = 3, tpcHotTrack = 5, tpcIsMainTab = 6, tpcTracking = 10;

// The tab area's geometry a painter computes (all pixels).
struct TcxPCTabsPosition {
  RECT ExtendedTabsRect;  // the whole area the tab rows may use
  int32_t ExtendedTopOrLeftTabsRectBottomOrRightBorderOffset;
  int32_t ExtendedBottomOrRightTabsRectTopOrLeftBorderOffset;
  int32_t MinDistanceBetweenTopOrLeftAndBottomOrRightExtendedTabsRects;
  int32_t NormalRowWidth;  // usable length of a row
  RECT NormalTabsRect;     // where rows start and end
};

// Two distances: before and after an element along the tab; or the gap along
// and across the rows.
struct TcxPCDistance {
  int First = 0;
  int Second = 0;
};

// ---- What the owning control supplies

// {E29BF582-E8C0-4868-A799-DB4C41AC3BC8}
inline constexpr GUID IID_IcxControlComponentState = {
    0xE29BF582, 0xE8C0, 0x4868, {0xA7, 0x99, 0xDB, 0x4C, 0x41, 0xAC, 0x3B, 0xC8}};
struct IcxControlComponentState {
  virtual bool QueryDesigning() = 0;
  virtual bool QueryDestroying() = 0;
  virtual bool QueryLoading() = 0;

protected:
  ~IcxControlComponentState() = default;
};

// {8C8C2262-5419-46E1-BCE0-5A5311C330A0}
inline constexpr GUID IID_IcxTabControl = {
    0x8C8C2262, 0x5419, 0x46E1, {0xBC, 0xE0, 0x5A, 0x53, 0x11, 0xC3, 0x30, 0xA0}};
struct IcxTabControl : IcxControlComponentState {
  virtual TcxCustomTabControlController* QueryController() = 0;
  virtual TcxPCCustomPainter* QueryPainter() = 0;
  virtual TcxCustomTabControlProperties* QueryProperties() = 0;
  virtual TcxCustomTabControlViewInfo* QueryViewInfo() = 0;
  virtual bool QueryCanDrawParentBackground() = 0;
  virtual void QueryBoundsRect(RECT& ABounds) = 0;
  virtual TcxCanvas* QueryCanvas() = 0;
  virtual TWinControl* QueryControl() = 0;
  virtual TColor QueryColor() = 0;
  virtual void Reserved() = 0;  // never called by the layout
  virtual bool QueryHotTrackSuppressed() = 0;
  virtual TFont* QueryFont() = 0;
  virtual TcxLookAndFeel* QueryLookAndFeel() = 0;
  virtual void RequestInvalidateRect(const RECT& ARect, bool AEraseBackground) = 0;
  virtual void NotifyModified() = 0;
  virtual bool QueryEnabled() = 0;
  virtual bool QueryFocused() = 0;
  virtual bool QueryParentBackground() = 0;
  virtual void RequestLayout() = 0;

protected:
  ~IcxTabControl() = default;
};

// {E28B1858-EC86-4559-8FCD-6B4F824151ED}
inline constexpr GUID IID_IcxTabControlPopupOwner = {
    0xE28B1858, 0xEC86, 0x4559, {0x8F, 0xCD, 0x6B, 0x4F, 0x82, 0x41, 0x51, 0xED}};
struct IcxTabControlPopupOwner {
  // The object that owns the control's pop-ups.
  virtual TObject* GetPopupOwnerObject() = 0;

protected:
  ~IcxTabControlPopupOwner() = default;
};

// ---- Tabs

struct TcxTabChangedArgs {
  class TcxTab* Tab;  // null: no particular tab
  int Kind;
};

class TcxTab : public TPersistent {
public:
  TVK_CLASS(TcxTab, TPersistent)
  explicit TcxTab(TcxTabs* ATabs);
  // Tells the destroy handlers, then leaves the collection.
  ~TcxTab() override;

  const WideString& Caption() const { return FCaption; }
  void SetCaption(const WideString& AValue);
  TColor Color() const { return FColor; }
  void SetColor(TColor AValue);
  TObject* Data() const { return FObject; }
  void SetData(TObject* AValue) { FObject = AValue; }
  bool Enabled() const { return FEnabled; }
  void SetEnabled(bool AValue);
  bool Highlighted() const { return FHighlighted; }
  void SetHighlighted(bool AValue);
  int ImageIndex() const { return FImageIndex; }
  // Negative values become -1.
  void SetImageIndex(int AValue);
  bool Selected() const { return FSelected; }
  // Without multi-selection only the active tab can be selected.
  void SetSelected(bool AValue);
  bool Visible() const { return FVisible; }
  void SetVisible(bool AValue);

  // From the layout.
  int VisibleIndex() const;  // -1 without a view info
  int VisibleRow() const;
  RECT FullRect() const;
  RECT VisibleRect() const;  // empty without a view info
  bool HotTrack() const;
  bool IsMainTab() const;
  bool Pressed() const;
  bool Tracking() const;
  bool RealVisible() const;

  TcxTabs* Tabs() const { return FTabs; }
  TcxCustomTabControlProperties* GetProperties() const;
  TcxCustomTabControlViewInfo* GetControlViewInfo() const;
  // The view info of this tab; null without a layout.
  TcxTabViewInfo* GetViewInfo() const;
  TcxEventHandlerCollection& DestroyHandlers() { return *FDestroyHandlers; }

  virtual int Index() const;
  virtual bool IsNewButton() const { return false; }
  // Makes the layout's view info for this tab.
  virtual std::unique_ptr<TcxTabViewInfo> CreateViewInfo(TcxTabsViewInfo* ATabsViewInfo);

protected:
  void AssignTo(TPersistent& Dest) const override;
  // Leaves the collection (unless it is being cleared).
  virtual void Detach();
  void TabChanged(int AKind);
  bool FNeverDetach = false;  // a destroyed tab that never was an item

private:
  friend class TcxTabs;
  friend class TcxCustomTabControlProperties;
  WideString FCaption;
  TColor FColor = clDefault;
  std::unique_ptr<TcxEventHandlerCollection> FDestroyHandlers;
  bool FEnabled = true;
  int FImageIndex = -1;
  TObject* FObject = nullptr;
  bool FSelected = false;
  bool FHighlighted = false;
  TcxTabs* FTabs;
  bool FVisible = true;
};

// The new-tab pseudo-tab: never among the items, index -2, hidden at first.
class TcxPCNewButton : public TcxTab {
public:
  TVK_CLASS(TcxPCNewButton, TcxTab)
  explicit TcxPCNewButton(TcxTabs* ATabs);
  int Width() const { return FWidth; }
  void SetWidth(int AValue);
  int Index() const override { return -2; }
  bool IsNewButton() const override { return true; }
  std::unique_ptr<TcxTabViewInfo> CreateViewInfo(TcxTabsViewInfo* ATabsViewInfo) override;

protected:
  void Detach() override {}

private:
  int FWidth = 0;
};

class TcxTabs : public TStrings {
public:
  TVK_CLASS(TcxTabs, TStrings)
  explicit TcxTabs(TcxCustomTabControlProperties* AProperties);
  ~TcxTabs() override;

  int Count() const override { return int(FTabItems.size()); }
  WideString Get(int AIndex) const override;
  void Put(int AIndex, const WideString& S) override;
  TObject* Objects(int AIndex) const override;
  void PutObject(int AIndex, TObject* AObject) override;
  void Insert(int AIndex, const WideString& S) override;
  void Delete(int AIndex) override;
  void Clear() override;
  void Move(int AFrom, int ATo) override;

  TcxTab* Tabs(int AIndex) const;
  TcxTab* GetTab(int AIndex) const { return Tabs(AIndex); }
  TcxTab* GetTabByVisibleIndex(int AVisibleIndex) const;
  TcxPCNewButton* NewButton() const { return FNewButton.get(); }
  TcxCustomTabControlProperties* Properties() const { return FProperties; }
  TcxCustomTabControlViewInfo* GetControlViewInfo() const;
  TcxTabsViewInfo* GetTabsViewInfo() const;
  // The tab view infos of the layout (the new-tab button's included).
  int VisibleTabsCount() const;
  bool IsTabsCleaning() const { return FIsTabsCleaning; }
  int IndexOfTab(const TcxTab* ATab) const;

  // Told (sender the collection) of every change, with a TcxTabChangedArgs.
  TcxEventHandlerCollection& ChangedHandlers() { return *FChangedHandlers; }
  // Told when the collection goes.
  TcxEventHandlerCollection& DestroyHandlers() { return *FDestroyHandlers; }
  // Nothing while the owner loads or is destroyed.
  void NotifyTabChanged(TcxTab* ATab, int AKind);
  // Takes the tab out without freeing it.
  void ExtractTab(TcxTab* ATab);

  virtual void CreateNewButton();
  virtual void DestroyNewButton();

protected:
  void SetUpdateState(bool AUpdating) override;

private:
  std::unique_ptr<TcxEventHandlerCollection> FChangedHandlers;
  std::unique_ptr<TcxEventHandlerCollection> FDestroyHandlers;
  bool FIsTabsCleaning = false;
  std::unique_ptr<TcxPCNewButton> FNewButton;
  TcxCustomTabControlProperties* FProperties;
  std::vector<TcxTab*> FTabItems;  // owned
};

// ---- Tab images

class TcxPCImageList : public TObject {
public:
  TVK_CLASS(TcxPCImageList, TObject)
  explicit TcxPCImageList(TcxCustomTabControlProperties* AProperties);
  ~TcxPCImageList() override;

  TCustomImageList* BaseImages() const { return FBaseImages; }
  void SetBaseImages(TCustomImageList* AValue);
  TCustomImageList* BaseHotImages() const { return FBaseHotImages; }
  void SetBaseHotImages(TCustomImageList* AValue);
  TcxRotationAngle ImageRotationAngle() const { return FImageRotationAngle; }
  void SetImageRotationAngle(TcxRotationAngle AValue) { FImageRotationAngle = AValue; }
  // The base list's size, else the hot list's, else (0, 0).
  SIZE BaseImageSize() const;
  // BaseImageSize turned whenever the rotation is not ra0.
  SIZE RotatedImageSize() const;
  bool IsImagesAssigned() const { return FBaseImages || FBaseHotImages; }
  // The hot list when hot is asked for and assigned, else the base list.
  TCustomImageList* GetImages(bool AHot) const;
  // Image AIndex at (X, Y), turned by the rotation angle; raises EdxException
  // without a list or for an index out of its range.
  void Draw(TcxCanvas& ACanvas, int X, int Y, bool AHot, bool AEnabled, bool ANativePainting, TColor ABkColor,
            int AIndex);
  TNotifyEvent OnChange;

private:
  void ImagesChanged();
  void FreeNotification(TComponent* AComponent);

  std::unique_ptr<TChangeLink> FBaseHotImageChangeLink;
  std::unique_ptr<TChangeLink> FBaseImageChangeLink;
  TCustomImageList* FBaseHotImages = nullptr;
  TCustomImageList* FBaseImages = nullptr;
  std::unique_ptr<TcxFreeNotificator> FFreeNotificator;
  TcxRotationAngle FImageRotationAngle = ra0;
  TcxCustomTabControlProperties* FProperties;
};

// ---- Slants of the slanted styles

enum TcxTabSlantKind { skCutCorner, skSlant };
enum TcxTabSlantPosition { spLeft, spRight };
using TcxTabSlantPositions = unsigned;  // one bit per position

class TcxTabSlants : public TPersistent {
public:
  TVK_CLASS(TcxTabSlants, TPersistent)
  explicit TcxTabSlants(TPersistent* AOwner) : FOwner(AOwner) {}
  void Assign(const TPersistent& Source) override;
  TPersistent* GetOwner() const override { return FOwner; }
  TcxTabSlantKind Kind() const { return FKind; }
  void SetKind(TcxTabSlantKind AValue);
  TcxTabSlantPositions Positions() const { return FPositions; }
  void SetPositions(TcxTabSlantPositions AValue);
  TNotifyEvent OnChange;

private:
  void Changed();
  TcxTabSlantKind FKind = skSlant;
  TPersistent* FOwner;
  TcxTabSlantPositions FPositions = 1u << spLeft;
};

// ---- Properties

using TcxCustomTabControlPropertiesChangedEvent =
    std::function<void(TObject* Sender, TcxCustomTabControlPropertiesChangedType AType)>;
using TcxTabChangingEvent = std::function<void(TObject* Sender, bool& AllowChange)>;
using TcxPCCanCloseEventEx = std::function<void(TObject* Sender, int ATabIndex, bool& ACanClose)>;
using TcxPCCloseEvent = std::function<void(TObject* Sender, int ATabIndex)>;
using TcxPCPropertiesDrawTabEvent =
    std::function<void(TcxCustomTabControlProperties* AProperties, TcxTab* ATab, bool& DefaultDraw)>;
using TcxPCPropertiesDrawTabExEvent =
    std::function<void(TcxCustomTabControlProperties* AProperties, TcxTab* ATab, TFont& Font)>;
using TcxGetTabImageEvent = std::function<void(TObject* Sender, int TabIndex, int& ImageIndex)>;
using TcxPCNewTabButtonClickEvent = std::function<void(TObject* Sender, bool& AHandled)>;
using TcxPCNewTabCreateEvent = std::function<void(TObject* Sender, int AIndex)>;
using TcxPCPaintDragImageEvent = std::function<void(TObject* Sender, TBitmap& ABitmap, bool& ADone)>;
using TcxPCPrepareTabCanvasFontEvent = std::function<void(TcxTab* ATab, TcxCanvas& ACanvas)>;
using TcxPCTabClickEvent = std::function<void(TObject* Sender, int ATabVisibleIndex, TShiftState AShift)>;

class TcxCustomTabControlProperties : public TcxOwnedPersistent {
public:
  TVK_CLASS(TcxCustomTabControlProperties, TcxOwnedPersistent)
  explicit TcxCustomTabControlProperties(TPersistent* AOwner);
  ~TcxCustomTabControlProperties() override;

  void BeginUpdate() { ++FUpdateLockCount; }
  void CancelUpdate() { --FUpdateLockCount; }
  void EndUpdate();
  bool IsUpdateLocked() const;
  // Nothing while update-locked.
  void NotifyChanged(TcxCustomTabControlPropertiesChangedType AType = pctHard);

  // ---- Options
  bool ActivateFocusedTab() const { return FActivateFocusedTab; }
  void SetActivateFocusedTab(bool AValue);
  bool AllowDisabledTabAccess() const { return FAllowDisabledTabAccess; }
  void SetAllowDisabledTabAccess(bool AValue);
  bool AllowTabDragDrop() const { return FAllowTabDragDrop; }
  void SetAllowTabDragDrop(bool AValue) { FAllowTabDragDrop = AValue; }
  TcxPCCloseButtonMode CloseButtonMode() const { return FCloseButtonMode; }
  void SetCloseButtonMode(TcxPCCloseButtonMode AValue);
  TBitmap& DragImage() { return *FDragImage; }
  bool HideTabs() const { return FHideTabs; }
  void SetHideTabs(bool AValue);
  bool HotTrack() const { return FHotTrack; }
  void SetHotTrack(bool AValue);
  bool IsTabsContainer() const { return FIsTabsContainer; }
  void SetIsTabsContainer(bool AValue);
  TcxPCImageList& Images() { return *FImages; }
  const TcxPCImageList& Images() const { return *FImages; }
  int ImageBorder() const { return FImageBorder; }
  void SetImageBorder(int AValue);  // negative values are ignored
  bool MultiLine() const { return FMultiLine; }
  void SetMultiLine(bool AValue);
  bool MultiSelect() const { return FMultiSelect; }
  void SetMultiSelect(bool AValue) { FMultiSelect = AValue; }
  TcxPCNavigatorPosition NavigatorPosition() const { return FNavigatorPosition; }
  void SetNavigatorPosition(TcxPCNavigatorPosition AValue);
  // 1: the new-tab button is shown; anything else hides it.
  int NewButtonMode() const;
  void SetNewButtonMode(int AValue);
  TcxPCOptions Options() const { return FOptions; }
  void SetOptions(TcxPCOptions AValue);
  bool OwnerDraw() const { return FOwnerDraw; }
  void SetOwnerDraw(bool AValue);
  bool RaggedRight() const { return FRaggedRight; }
  void SetRaggedRight(bool AValue);  // only while multi-line
  bool Rotate() const { return FRotate; }
  void SetRotate(bool AValue);
  int RotatedTabsMaxWidth() const { return FRotatedTabsMaxWidth; }
  void SetRotatedTabsMaxWidth(int AValue);  // negative values become 0
  bool ScrollOpposite() const { return FScrollOpposite; }
  void SetScrollOpposite(bool AValue);
  bool ShowFrame() const { return FShowFrame; }
  void SetShowFrame(bool AValue);
  TcxPCStyleID Style() const { return FStyle; }
  // An identifier no registered painter has is stored as 0; OnStyleChanged follows.
  void SetStyle(TcxPCStyleID AValue);
  TAlignment TabCaptionAlignment() const { return FTabCaptionAlignment; }
  void SetTabCaptionAlignment(TAlignment AValue);
  int TabIndex() const { return FTabIndex; }
  void SetTabIndex(int AValue);
  TcxTabPosition TabPosition() const { return FTabPosition; }
  void SetTabPosition(TcxTabPosition AValue);
  TcxTabs& Tabs() { return *FTabs; }
  const TcxTabs& Tabs() const { return *FTabs; }
  bool TabsScroll() const { return FTabsScroll; }
  void SetTabsScroll(bool AValue);
  int TabHeight() const { return FTabSize.y; }
  void SetTabHeight(int AValue);
  int TabWidth() const { return FTabSize.x; }
  void SetTabWidth(int AValue);
  TcxTabSlants& TabSlants() { return *FTabSlants; }
  void SetTabSlants(const TcxTabSlants& AValue) { FTabSlants->Assign(AValue); }

  // ---- Operations
  void Assign(const TPersistent& Source) override;
  TcxPCNavigatorButtons CalcNavigatorButtons(bool AAllTabsFit) const;
  void NewTabButtonClick();
  TcxCustomTabControlViewInfo* GetOwnerViewInfo() const;
  IcxTabControl* GetOwnerControl() const;
  bool InDesignMode() const;
  bool InDestruction() const;
  bool InLoading() const;

  virtual void RaiseTabPropertiesChanged(TcxCustomTabControlPropertiesChangedType AType);
  // Sizes the drag-image form to the picture and copies it there.
  virtual bool PaintDragImage(TcxDragImage& AForm);
  virtual void DoPrepareTabCanvasFont(TcxTab* ATab, TcxCanvas& ACanvas);
  virtual void CloseActiveTab();
  virtual void CloseTab(int AIndex);
  virtual int AddNewTab();
  virtual bool CanCloseTab(int AIndex);
  virtual void DoTabClosed(int AIndex);
  virtual void DeleteTab(int AIndex);
  virtual void DoCloseButtonClick(int AIndex);
  virtual bool DoNewTabButtonClick();
  virtual void DoNewTabCreate(int AIndex);
  virtual void DoTabClick(int AVisibleIndex, TShiftState AShift);
  virtual void MoveTab(int AFrom, int ATo);
  virtual void DoDrawTabEx(int AVisibleIndex, TFont& AFont);
  virtual void ImagesChanged(TObject* Sender);
  virtual int GetTabImageIndex(const TcxTab* ATab) const;
  virtual bool RejectsHiddenTabIndex() const { return false; }
  virtual bool CanChangeTab();
  virtual void DoChange();
  // True when the handlers drew the tab.
  virtual bool CustomDrawTab(int AVisibleIndex);

  // ---- Events
  TNotifyEvent OnChange;
  TcxCustomTabControlPropertiesChangedEvent OnChanged;
  TcxTabChangingEvent OnChanging;
  TNotifyEvent OnStyleChanged;
  TcxPCCanCloseEventEx OnCanClose;
  TcxPCCloseEvent OnClose;
  TcxPCPropertiesDrawTabEvent OnDrawTab;
  TcxPCPropertiesDrawTabExEvent OnDrawTabEx;
  TcxGetTabImageEvent OnGetImageIndex;
  TcxPCNewTabButtonClickEvent OnNewTabButtonClick;
  TcxPCNewTabCreateEvent OnNewTabCreate;
  TcxPCPaintDragImageEvent OnPaintDragImage;
  TcxPCPrepareTabCanvasFontEvent OnPrepareTabCanvasFont;
  TcxPCTabClickEvent OnTabClick;

private:
  friend class TcxTabs;
  template <class T>
  void SetValue(T& AField, T AValue, TcxCustomTabControlPropertiesChangedType AType);
  IcxControlComponentState* ComponentState() const;
  void TabSlantsChanged();

  bool FActivateFocusedTab = true;
  bool FAllowDisabledTabAccess = false;
  bool FAllowTabDragDrop = false;
  TcxPCCloseButtonMode FCloseButtonMode = cbmNone;
  std::unique_ptr<TBitmap> FDragImage;
  bool FHideTabs = false;
  bool FHotTrack = false;
  bool FIsTabsContainer = false;
  std::unique_ptr<TcxPCImageList> FImages;
  int FImageBorder = 0;
  bool FMultiLine = false;
  bool FMultiSelect = false;
  TcxPCNavigatorPosition FNavigatorPosition = npRightTop;
  TcxPCOptions FOptions =
      PCOptions({pcoAlwaysShowGoDialogButton, pcoGradient, pcoGradientClientArea, pcoRedrawOnResize});
  bool FOwnerDraw = false;
  bool FRaggedRight = false;
  bool FRotate = false;
  int FRotatedTabsMaxWidth = 0;
  bool FScrollOpposite = false;
  bool FShowFrame = false;
  TcxPCStyleID FStyle = cxPCDefaultStyle;
  TAlignment FTabCaptionAlignment = TAlignment::taCenter;
  int FTabIndex = -1;
  TcxTabPosition FTabPosition = tpTop;
  std::unique_ptr<TcxTabs> FTabs;
  bool FTabsScroll = true;
  struct {
    int16_t x, y;
  } FTabSize{0, 0};
  std::unique_ptr<TcxTabSlants> FTabSlants;
  int FUpdateLockCount = 0;
};

// ---- Names kept for the owner

// The option names without their prefix, in option order (empty after shut-down).
const std::vector<WideString>& PCOptionNames();
// "tsTabs", "tsButtons", "tsFlatButtons" (empty after shut-down).
const std::vector<WideString>& PCStandardStyleNames();

void cxPCUnitStart();
// Frees the unit's shared object and releases the two name tables.
void cxPCUnitStop();

}  // namespace tvk
