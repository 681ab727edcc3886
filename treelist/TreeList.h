#pragma once
// The banded tree list's base: nodes, the base control with its options,
// locks and events, the operations through which it asks its descendants
// about bands, columns and values, row and band measures, and the flat list
// of visible nodes with the focus.
#include <cstdint>
#include <functional>
#include <memory>
#include <unordered_map>
#include <vector>

#include "ComRef.h"
#include "Graphics.h"
#include "ImageLists.h"
#include "Variants.h"
#include "dxCntner.h"

namespace tvk {

class TCustomdxTreeList;

// Misuse of a tree list or of its nodes.
class EInvaliddxTreeListOperation : public Exception {
public:
  using Exception::Exception;
};

[[noreturn]] void RaiseInvalidOperation(const WideString& message);
// "Invalid Owner TdxTreeListNode", from the string table.
WideString InvalidOwnerText();

enum TdxTreeListNodeAttachMode { natlAdd, natlAddFirst, natlAddChild, natlAddChildFirst, natlInsert };

enum TdxTreeListState {
  tsNormal, tsColumnSizing, tsEditing, tsColumnDragging, tsColumnDown, tsNodeDragging, tsNodeDown,
  tsHeaderButtonDown, tsBandSizing, tsBandDragging, tsBandDown, tsBandButtonDown, tsBandPanelSizing,
  tsHeaderPanelSizing, tsRowSizing, tsDropDownButtonDown, tsStatusCloseButtonDown
};
enum TdxTreeListPaintStyle { psStandard, psOutlook };
enum TdxTreeLineStyle { tlSolid, tlDot };
enum TdxLookAndFeel { lfStandard, lfFlat, lfUltraFlat };
enum TdxShowButtonStyle { sbDefault, sbAlways, sbNone };
enum TdxGridIndicatorKind { ikNone, ikArrow, ikEdit, ikInsert, ikMultiDot, ikMultiArrow };
enum TdxTreeListColumnSort { csNone, csDown, csUp };
enum TdxTreeListHeaderHotTrack { hhtNone, hhtBody, hhtDropDownButton, hhtDropDownButtonDisabled };
enum class TdxScrollBars { ssNone, ssHorizontal, ssVertical, ssBoth };
enum class TdxBorderStyle { bsNone, bsSingle };

enum TdxTreeListOption {
  aoColumnSizing, aoColumnMoving, aoEditing, aoTabs, aoTabThrough, aoRowSelect, aoMultiSelect,
  aoImmediateEditor, aoPreview, aoDrawEndEllipsis, aoAutoWidth, aoExtMultiSelect, aoExtCustomizing,
  aoHideFocusRect, aoAutoSort, aoCaseInsensitive, aoStoreToRegistry, aoStoreToIniFile, aoShowTooltips,
  aoHeaderBandSizing, aoDrawPathEllipsis
};
enum TdxTreeListOptionEx {
  aoInvertSelect, aoUseBitmap, aoBandHeaderWidth, aoAutoCalcPreviewLines, aoBandSizing, aoBandMoving,
  aoHorzThrough, aoVertThrough, aoCellMultiSelect, aoEnterThrough, aoEnterShowEditor, aoFullSizing,
  aoDragScroll, aoDragExpand, aoDragCollapse, aoRowAutoHeight, aoShowHourGlass, aoBandButtonClicking,
  aoBandPanelSizing, aoHeaderButtonClicking, aoHeaderPanelSizing, aoRowSizing, aoMultiSort,
  aoAutoSortRefresh, aoShowButtonAlways, aoAutoHeaderPanelHeight, aoKeepColumnWidth, aoAnsiSort,
  aoMouseScroll, aoAutoSearch, aoHotTrack, aoAutoCopySelectedToClipboard
};
// Sets stored as 32-bit words, bit n for value n.
using TdxTreeListOptions = uint32_t;
using TdxTreeListOptionsEx = uint32_t;
constexpr uint32_t OptionBit(int value) { return uint32_t(1) << value; }
// The declared stream defaults.
constexpr TdxTreeListOptions kDefaultOptions = 55;
constexpr TdxTreeListOptionsEx kDefaultOptionsEx = 12350;
constexpr int kDefaultIndicatorWidth = 12;

class TdxTreeListNode;
using TdxTreeListNodeList = std::vector<TdxTreeListNode*>;

// One row of the tree list: structure, expansion and user data; its cells
// are asked of the owner.
class TdxTreeListNode : public TObject {
public:
  TVK_CLASS(TdxTreeListNode, TObject)
  explicit TdxTreeListNode(TCustomdxTreeList* owner);
  ~TdxTreeListNode() override;

  TdxTreeListNode* AddChild() { return InsertChild(nullptr); }
  TdxTreeListNode* AddChildFirst();
  TdxTreeListNode* InsertChild(TdxTreeListNode* beforeNode);
  void DeleteChildren();
  void AddNodesToList(TdxTreeListNodeList& list) const;
  bool CanMove(TdxTreeListNode* destination, TdxTreeListNodeAttachMode mode) const;
  void MoveTo(TdxTreeListNode* destination, TdxTreeListNodeAttachMode mode);
  void Expand(bool recurse);
  void Collapse(bool recurse);
  void MakeVisible();

  TdxTreeListNode* GetFirstChild() const { return GetItem(0); }
  TdxTreeListNode* GetLastChild() const { return GetItem(Count() - 1); }
  TdxTreeListNode* GetNextSibling() const;
  TdxTreeListNode* GetPrevSibling() const;
  TdxTreeListNode* GetNext() const;
  TdxTreeListNode* GetPrev() const;
  TdxTreeListNode* GetNextNode() const;
  TdxTreeListNode* GetPriorNode() const;
  TdxTreeListNode* GetPriorParentNode() const;
  bool HasAsParent(const TdxTreeListNode* value) const;
  int IndexOf(const TdxTreeListNode* value) const;
  TdxTreeListNode* GetItem(int index) const;

  int AbsoluteIndex() const;
  int Count() const { return FList ? int(FList->size()) : 0; }
  int CountValues() const;
  void* Data() const { return FData; }
  void SetData(void* value);
  bool Deleting() const { return FDeleting; }
  bool Expanded() const { return FExpanded; }
  void SetExpanded(bool value);
  bool Focused() const;
  void SetFocused(bool value);
  bool HasChildren() const { return FHasChildren; }
  void SetHasChildren(bool value);
  int ImageIndex() const;
  void SetImageIndex(int value);
  int SelectedIndex() const;
  void SetSelectedIndex(int value);
  int StateIndex() const;
  void SetStateIndex(int value);
  int Index() const;
  bool IsLast() const;
  bool IsVisible() const;
  int Level() const;
  TCustomdxTreeList* Owner() const { return FOwner; }
  TdxTreeListNode* Parent() const { return FParent; }
  bool Selected() const;
  void SetSelected(bool value);
  WideString GetString(int column) const;
  void SetString(int column, const WideString& text);
  Variant GetValue(int column) const;
  void SetValue(int column, const Variant& value);

  // Cached row metrics (0: not measured).
  int FRowHeight = 0;
  int FRowLineCount = 0;

private:
  friend class TCustomdxTreeList;
  // The list that holds this node: the parent's children or the owner's top level.
  TdxTreeListNodeList& SiblingList() const;
  // Takes the node out of its parent's or the owner's list, as destruction and moving do.
  void Detach();
  void ChildListEmptied();

  void* FData = nullptr;
  bool FDeleting = false;
  bool FExpanded = false;
  bool FHasChildren = false;
  std::unique_ptr<TdxTreeListNodeList> FList;  // only while there are children
  TCustomdxTreeList* FOwner = nullptr;
  TdxTreeListNode* FParent = nullptr;
};

// A sort key: a node's value in one sort column, chained over the sort columns.
struct TNodeVariant {
  TdxTreeListNode* Node = nullptr;
  Variant Value;
  bool Desc = false;
  TNodeVariant* PNext = nullptr;
};

// The order of the addresses (-1, 0, 1): of two list items, or of the first
// pointer of two records. Never dereferences what the pointers point to.
int ComparePointers(const void* p1, const void* p2);
int CompareFirstPointers(const void* r1, const void* r2);
int CompareNodePositions(const TdxTreeListNode* node1, const TdxTreeListNode* node2);
int CompareNodeTexts(const TdxTreeListNode* node1, const TdxTreeListNode* node2);
int CompareSortKeys(const TNodeVariant* key1, const TNodeVariant* key2);
int CompareSortItems(const TNodeVariant* item1, const TNodeVariant* item2);
int CompareAnsiSortKeys(const TNodeVariant* key1, const TNodeVariant* key2);
int CompareAnsiSortItems(const TNodeVariant* item1, const TNodeVariant* item2);
int CompareByOnCompare(const TNodeVariant* item1, const TNodeVariant* item2);

using TdxTreeListNodeEvent = std::function<void(TObject* Sender, TdxTreeListNode* Node)>;
using TdxTreeListExpandingEvent = std::function<void(TObject* Sender, TdxTreeListNode* Node, bool& Allow)>;
using TdxTreeListChangeNodeEvent =
    std::function<void(TObject* Sender, TdxTreeListNode* OldNode, TdxTreeListNode* Node)>;
using TdxTreeListChangeColumnEvent = std::function<void(TObject* Sender, TdxTreeListNode* Node, int Column)>;
using TdxTreeListCompareEvent =
    std::function<void(TObject* Sender, TdxTreeListNode* Node1, TdxTreeListNode* Node2, int& Compare)>;
using TdxTreeListNotifyEvent = std::function<void(TObject* Sender)>;
using TdxTreeListEditValidateEvent = std::function<void(TObject* Sender, WideString& ErrorText, bool& Accept)>;
using TdxTreeListImmediateEditEvent = std::function<void(TObject* Sender, int Column, bool& ImmediateEdit)>;
using TdxTreeListMouseWheelScrollEvent = std::function<void(TObject* Sender, bool ScrollUp, int ScrollLines)>;

// Deterministic counts of the flat list's work.
struct TdxTreeListListStats {
  int64_t FullRebuilds = 0;      // full rebuilds of the visible-node list
  int64_t Comparisons = 0;       // address comparisons of the binary searches
  int64_t LayoutRefreshes = 0;   // layout refreshes run by LayoutChanged
};

// The base tree list: abstract about bands, columns and values.
class TCustomdxTreeList : public TCustomdxContainer {
public:
  TVK_CLASS(TCustomdxTreeList, TCustomdxContainer)
  explicit TCustomdxTreeList(TComponent* owner);
  ~TCustomdxTreeList() override;
  // The teardown that reaches virtual operations: the most derived class
  // calls it first in its destructor, while the object is whole.
  void PrepareDestroy();

  // --- update locks
  void BeginUpdate();
  void EndUpdate();
  void CancelUpdate();
  void DisableUpdate() { ++FLockUpdate; }
  void EnableUpdate() { --FLockUpdate; }
  void BeginPaintUpdate() { ++FLockPaintUpdate; }
  void EndPaintUpdate();
  virtual void BeginSelection();
  virtual void EndSelection();
  int LockUpdate() const { return FLockUpdate; }
  int LockSelection() const { return FLockSelection; }

  // --- top-level nodes
  int Count() const { return int(FNodeList.size()); }
  TdxTreeListNode* GetItem(int index) const;
  int IndexOf(const TdxTreeListNode* node) const;
  TdxTreeListNode* Add();
  TdxTreeListNode* AddFirst();
  TdxTreeListNode* Insert(TdxTreeListNode* beforeNode);
  void ClearNodes();
  void FullExpand();
  void FullCollapse();
  void AdjustColumnsWidth();
  void StabilizeAutoWidth();
  TdxTreeListNode* TopNode() const { return FNodeList.empty() ? nullptr : FNodeList.front(); }

  // --- visible nodes and focus
  int AbsoluteCount() const;
  int GetAbsoluteIndex(const TdxTreeListNode* node) const;
  TdxTreeListNode* GetAbsoluteNode(int index) const;
  bool IsFlatListValid() const;
  void MakeListNode(TdxTreeListNode* node, bool deleting);
  TdxTreeListNode* GetNextVisible(const TdxTreeListNode* node) const;
  bool IsNodeVisible(const TdxTreeListNode* node) const;
  void MakeNodeVisible(TdxTreeListNode* node);
  TdxTreeListNode* FocusedNode() const { return FFocused; }
  void SetFocusedNode(TdxTreeListNode* node) { ChangeFocus(node, FFocusedColumn, true); }
  int FocusedColumn() const { return FFocusedColumn; }
  int FocusedNumber() const { return GetAbsoluteIndex(FFocused); }
  TdxTreeListNode* TopVisibleNode() const { return FTopVisibleNode; }
  TdxTreeListNode* SelectionAnchor() const { return FSelectionAnchor; }
  TdxTreeListNode* DragNode() const { return FDragNode; }
  TdxTreeListNode* HotTrackNode() const { return FHotTrackNode; }
  TdxTreeListNode* InplaceNode() const { return FInplaceNode; }
  void GetNodeRowRect(TdxTreeListNode* node, RECT& rect);
  void GetNodeRowRectToBottom(TdxTreeListNode* node, RECT& rect);
  void ResetNodeReferences();
  TdxTreeListState State() const { return FState; }
  void SetState(TdxTreeListState value);
  void GetHeaderLine(WideString& text);
  void GetNodeLine(TdxTreeListNode* node, WideString& text);
  void UpdateNow();
  int TopIndex() const { return FTopIndex; }
  void SetTopIndex(int value);
  int LeftCoord() const { return FLeftCoord; }
  void SetLeftCoord(int value);
  const TdxTreeListListStats& ListStats() const { return FListStats; }
  void ResetListStats() { FListStats = {}; }

  // --- measures
  int GetRowHeight(TdxTreeListNode* node, int lineHeight, bool noCache);
  int GetLineHeightForRowHeight(TdxTreeListNode* node, int height);
  int GetNodeFooterCount(TdxTreeListNode* node);
  int GetNodeFooterLevel(TdxTreeListNode* node, int k);
  int GetNodeFooterCountBelow(TdxTreeListNode* node, int level);
  bool IsRowAutoHeightActive();
  int GetBandMinWidth(int band);
  int GetBandNaturalWidth(int band);
  int GetBandWidth(int band);
  int GetBandsWidth();
  int GetHeaderLineCount(int band, int row, int col);
  int GetBandLeft(int band);
  int GetScrollingWidth();
  void GetScrollingArea(RECT& rect);
  int GetPreviewWidth(TdxTreeListNode* node);
  void GetClientAreaRect(RECT& rect);
  void ScrollHorz(int dx);
  void ScrollVert(int dy);
  int GetVisibleHeaderCount();
  // The left indent of a node's cells in the first band (tree lines, buttons, images).
  int GetNodeImageIndent(TdxTreeListNode* node);

  // --- options and properties
  TdxTreeListOptions Options() const { return FOptions; }
  void SetOptions(TdxTreeListOptions value) { FOptions = value; }
  TdxTreeListOptionsEx OptionsEx() const { return FOptionsEx; }
  void SetOptionsEx(TdxTreeListOptionsEx value) { FOptionsEx = value; }
  bool OptionsStored() const { return FOptions != kDefaultOptions; }
  // A new control always differs from the declared default.
  bool OptionsExStored() const { return FOptionsEx != kDefaultOptionsEx; }
  bool IndicatorWidthStored() const { return FIndicatorWidth != kDefaultIndicatorWidth; }
  int IndicatorWidth() const { return FIndicatorWidth; }
  void SetIndicatorWidth(int value) { FIndicatorWidth = value < 0 ? 0 : value; }
  int RowHeight() const { return FRowHeight; }
  int DefaultRowHeight() const { return FRowHeight; }
  void SetDefaultRowHeight(int value);
  bool DefaultRowHeightStored() const { return FRowHeightAssigned; }
  TdxLookAndFeel LookAndFeel() const { return FLookAndFeel; }
  TdxTreeListPaintStyle PaintStyle() const { return FPaintStyle; }
  TImageList* Images() const { return FImages; }
  void SetImages(TImageList* value) { FImages = value; }
  int Indent() const { return FIndent; }
  bool ClearingNodes() const { return FClearNodes; }

  bool FDrawTransparent = false;
  bool FTrackNodeData = false;
  TColor FArrowsColor = clLime;
  TColor FBandColor = clBtnFace;
  TColor FHeaderColor = clBtnFace;
  TColor FGroupColor = clBtnFace;
  TColor FHideSelectionColor = clBtnFace;
  TColor FGridLineColor = clNone;
  TColor FGroupTextColor = clNone;
  TColor FAutoSearchColor = clNone;
  TColor FAutoSearchTextColor = clNone;
  TColor FHighlightColor = clHighlight;
  TColor FHighlightTextColor = clHighlightText;
  TColor FTreeLineColor = clGrayText;
  TdxTreeLineStyle FTreeLineStyle = tlDot;
  TColor FHideSelectionTextColor = clBtnText;
  TColor FFixedBandLineColor = clWindowFrame;
  TColor FFooterColor = cl3DLight;
  TColor FFooterTextColor = clWindowText;
  TColor FPlusMinusColor = clWindowText;
  TColor FGridColor = clBtnShadow;
  TFont FBandFont;
  TFont FHeaderFont;
  TFont FPreviewFont;
  TdxBorderStyle FBorderStyle = TdxBorderStyle::bsSingle;
  TdxScrollBars FScrollBars = TdxScrollBars::ssBoth;
  bool FDblClkExpanding = true;
  bool FHideFocusRect = true;
  bool FHideSelection = true;
  bool FShowButtons = true;
  bool FShowHeaders = true;
  bool FShowLines = true;
  bool FShowPreviewGrid = true;
  bool FShowRoot = true;
  bool FAutoExpandOnSearch = true;
  bool FShowBands = false;
  bool FShowGrid = false;
  bool FShowIndicator = false;
  bool FShowFooter = false;
  bool FShowRowFooter = false;
  bool FShowNewItemRow = false;
  bool FSimpleCustomizeBox = false;
  bool FShowHiddenInCustomizeBox = false;
  bool FFlat = false;
  bool FPaintStandard = true;
  bool FEnableUnicodeSupport = false;
  int FCustomizingRowCount = 11;
  int FWaitForExpandNodeTime = 500;
  POINT FCustomizingPos{-1000, -1000};

  // Layout metrics (pixels).
  int FGroupPanelHeight = 0;
  int FBandHeight = 0;
  int FBandRowCount = 1;
  int FHeaderHeight = 18;
  int FHeaderRowCount = 1;
  int FHeaderRowHeight = 18;
  int FNewItemRowHeight = 0;
  int FFixedBandLineWidth = 2;
  int FMinRowHeight = 18;
  int FRowSeparatorLineWidth = 1;
  int FTextHeight = 11;
  int FMaxRowLineCount = -1;
  int FDescTextHeight = 11;
  int FIndentDesc = 20;
  int FPreviewLines = 2;
  int FFooterRowNodeHeight = 0;
  int FStatusHeight = 0;
  int FImageButtonH = 16;
  int FImageButtonW = 16;
  int FIndent = 16;
  int FRowCount = 1;
  int FVisibleRowCount = 1;

  // Events.
  TdxTreeListNodeEvent OnBeginDragNode, OnCollapsed, OnDeletion, OnEdited, OnExpanded, OnSelectionChanged;
  TdxTreeListExpandingEvent OnCollapsing, OnEditing, OnExpanding, OnCanNodeSelected;
  TdxTreeListChangeNodeEvent OnChangeNode;
  TdxTreeListChangeColumnEvent OnChangeColumn;
  TdxTreeListCompareEvent OnCompare;
  TdxTreeListNotifyEvent OnChangeLeftCoord, OnChangeTopVisibleNode, OnEditChange, OnEndColumnsCustomizing,
      OnSelectedCountChange, OnBeforeSort;
  TdxTreeListEditValidateEvent OnEditValidate;
  TdxTreeListImmediateEditEvent OnImmediateEdit;
  TdxTreeListMouseWheelScrollEvent OnMouseWheelScroll;

  // --- the overridable operations
  virtual bool IsClickEdit(int column, TdxTreeListNode* node, int x, int y);
  virtual void CancelMouseState() {}
  virtual bool CanScroll() { return true; }
  virtual void NodeInserted(TdxTreeListNode* node);
  virtual void LayoutRefreshing() {}
  virtual bool CanDblClick() { return true; }
  virtual bool GetNodeHasChildren(TdxTreeListNode* node) { return node->Count() != 0; }
  virtual void ClearHeaderBounds() {}
  virtual void ClearListNodes();
  virtual void ResetNodeRowHeights();
  virtual void DoCollapsed(TdxTreeListNode* node);
  virtual void DoEdited(TdxTreeListNode* node);
  virtual void DoExpanded(TdxTreeListNode* node);
  virtual void DoCollapsing(TdxTreeListNode* node, bool& allow);
  virtual void DoEditing(TdxTreeListNode* node, bool& allow);
  virtual void DoExpanding(TdxTreeListNode* node, bool& allow);
  virtual void ApplyBandBestFit(int band) { (void)band; }
  virtual void ApplyColumnBestFit(int column) { (void)column; }
  virtual void DoChangeColumn(TdxTreeListNode* node, int column);
  virtual void DoChangeLeftCoord();
  virtual void DoChangeNode(TdxTreeListNode* oldNode, TdxTreeListNode* node);
  virtual void DoEditChange(TObject* editor);
  virtual void DoEditValidate(TObject* editor, WideString& errorText, bool& accept);
  virtual void AutoLoadLayout() {}
  virtual void AutoSaveLayout() {}
  virtual void NodeDeleted(TdxTreeListNode* node, TdxTreeListNode* priorParent, bool wasVisible, bool wasLast,
                           TdxTreeListNode* nextVisible);
  virtual void LayoutRefreshed() {}
  virtual void GetCellsArea(RECT& rect);
  virtual bool CanHotTrackCell() { return (FOptionsEx & OptionBit(aoHotTrack)) != 0; }
  virtual void LayoutChanged();
  virtual void MakeBandHeaderList() {}
  virtual void CalcHeaderBounds() {}
  virtual void MakeListNodes();
  virtual bool FocusCollapsingNode(TdxTreeListNode* node);
  virtual bool IsEditButtonHit(TdxTreeListNode* node, int column, bool focused);
  virtual void NodeChanged(TdxTreeListNode* node, bool structural);
  virtual bool CanSetNodeData() { return true; }
  virtual TdxTreeListNode* CreateNode();
  virtual int GetNodeImageIndex(const TdxTreeListNode* node);
  virtual int GetNodeSelectedIndex(const TdxTreeListNode* node);
  virtual int GetNodeStateIndex(const TdxTreeListNode* node);
  virtual Variant GetNodeVariant(const TdxTreeListNode* node, int column);
  virtual WideString GetNodeString(const TdxTreeListNode* node, int column);
  virtual void GetNodeSortValue(TdxTreeListNode* node, int column, Variant& value);
  virtual void ChangeFocus(TdxTreeListNode* node, int column, bool makeVisible);
  virtual void SetFocusedNumber(int value);
  virtual void SetNodeImageIndex(TdxTreeListNode* node, int value);
  virtual void SetNodeSelectedIndex(TdxTreeListNode* node, int value);
  virtual void SetNodeStateIndex(TdxTreeListNode* node, int value);
  virtual void SetNodeString(TdxTreeListNode* node, int column, const WideString& value);
  virtual void SetNodeVariant(TdxTreeListNode* node, int column, const Variant& value);
  virtual void SetTopVisibleNode(TdxTreeListNode* node);
  virtual int GetGroupPanelHeight() { return 0; }
  virtual TAlignment GetAbsoluteBandAlignment(int band) { (void)band; return TAlignment::taLeftJustify; }
  virtual int GetBandCount() { return 0; }
  virtual int GetAbsoluteBandIndex(int index) { return index; }
  virtual void GetAbsoluteBandCaption(int band, WideString& text) { (void)band; text.clear(); }
  virtual int GetAbsoluteBandWidth(int band) { (void)band; return 0; }
  virtual TAlignment GetBandAlignment(int band) { (void)band; return TAlignment::taLeftJustify; }
  virtual int GetVisibleBandCount() { return 0; }
  virtual int GetFixedLeftBandIndex() { return -1; }
  virtual int GetFixedRightBandIndex() { return -1; }
  virtual int GetBandMinWidthStored(int band) { (void)band; return 0; }
  virtual int GetBandWidthStored(int band) { (void)band; return 0; }
  virtual void GetBandCaption(int band, WideString& text) { (void)band; text.clear(); }
  virtual int GetBandsExtraWidth() { return 0; }
  virtual int GetVisibleBandIndex(int index) { return index; }
  virtual bool IsBandOnlyOwnColumns(int band) { (void)band; return false; }
  virtual int GetValueCount() { return 0; }
  virtual int GetHeaderAbsoluteIndex(int band, int row, int col) { (void)band; (void)row; (void)col; return -1; }
  virtual TAlignment GetHeaderAlignment(int column) { (void)column; return TAlignment::taLeftJustify; }
  virtual int GetColumnBandIndex(int column) { (void)column; return 0; }
  virtual int GetHeaderWidth(int column);
  virtual int GetHeaderColCount(int band, int row) { (void)band; (void)row; return 0; }
  virtual int GetColumnColIndex(int column) { (void)column; return 0; }
  virtual int GetHeaderDropDownState(int column);
  virtual TBitmap* GetHeaderGlyph(int column) { (void)column; return nullptr; }
  virtual int GetHeaderMaxLineCount(int column) { (void)column; return 1; }
  virtual int GetColumnMinWidth(int column) { (void)column; return 0; }
  virtual int GetHeaderRowCount(int band) { (void)band; return 0; }
  virtual int GetColumnRowIndex(int column) { (void)column; return 0; }
  virtual TdxTreeListColumnSort GetHeaderSorted(int column) { (void)column; return csNone; }
  virtual bool IsColumnTabStop(int column) { (void)column; return true; }
  virtual void GetHeaderCaption(int column, WideString& text) { (void)column; text.clear(); }
  virtual void GetColumnCaption(int column, WideString& text) { GetHeaderCaption(column, text); }
  virtual int GetColumnWidth(int column) { (void)column; return 0; }
  virtual TColor GetColumnColor(int column) { (void)column; return Color(); }
  virtual TFont& GetColumnFont(int column) { (void)column; return Font(); }
  virtual bool IsColumnFontAssigned(int column) { (void)column; return false; }
  virtual bool IsHeaderGlyphAssigned(int column) { (void)column; return false; }
  virtual TAlignment GetColumnAlignment(TdxTreeListNode* node, int column) {
    (void)node; (void)column; return TAlignment::taLeftJustify;
  }
  virtual void GetCellText(TdxTreeListNode* node, int column, WideString& text) { (void)node; (void)column; text.clear(); }
  virtual void GetNewItemRowText(int column, WideString& text) { (void)column; text.clear(); }
  virtual bool GetHeaderMultiLine(int column) { (void)column; return false; }
  virtual bool HasNewItemRowValue() { return true; }
  virtual int GetIndicatorWidth() { return FIndicatorWidth; }
  virtual int GetColumnLineHeight(TCanvas& canvas, int column);
  virtual void GetPreviewText(TdxTreeListNode* node, WideString& text) { (void)node; text.clear(); }
  virtual TdxGridIndicatorKind GetRowIndicatorKind(TdxTreeListNode* node, bool selected) {
    (void)node; (void)selected; return ikNone;
  }
  virtual int GetRowLineCount(TdxTreeListNode* node, int& lineHeight);
  virtual bool IsStatusCloseButton() { return false; }
  virtual void GetStatusText(WideString& text) { text.clear(); }
  virtual void GetHintText(WideString& text) { text.clear(); }
  virtual bool ColumnCalcLineCount(TdxTreeListNode* node, int absoluteIndex, int& lineHeight, int& lineCount,
                                   bool gridFlag, bool inflateFlag, int maxLineCount, int textHeight,
                                   int boundsWidth, const WideString& text);
  virtual int GetRowLineHeight(TCanvas& canvas);
  virtual int GetPreviewLineCount(TdxTreeListNode* node);
  virtual int GetRowSeparatorLineWidth() { return FRowSeparatorLineWidth < 1 ? 1 : FRowSeparatorLineWidth; }
  virtual void HeaderPanelBestFit() {}
  virtual bool IsGroupNode(TdxTreeListNode* node) { (void)node; return false; }
  virtual TAlignment GetFooterCellAlignment(TdxTreeListNode* node, int column) {
    return GetColumnAlignment(node, column);
  }
  virtual void GetFooterCellText(TdxTreeListNode* node, int column, int level, WideString& text) {
    (void)node; (void)column; (void)level; text.clear();
  }
  virtual bool IsExistFooterCell(int column) { (void)column; return false; }
  virtual bool IsExistRowFooterCell(TdxTreeListNode* node, int column, int level) {
    (void)node; (void)column; (void)level; return false;
  }
  virtual bool IsLevelFooter(int level) { (void)level; return false; }
  virtual bool IsAnsiSort() { return Ex(aoAnsiSort); }
  virtual bool IsAutoCalcPreviewLines() { return Ex(aoAutoCalcPreviewLines); }
  virtual bool CanDragCopy() { return false; }
  virtual bool IsHeaderDropDownButtons() { return false; }
  virtual bool IsAutoHeaderPanelHeight() { return Ex(aoAutoHeaderPanelHeight); }
  virtual bool IsAutoSearch() { return Ex(aoAutoSearch); }
  virtual bool IsAutoSort() { return Op(aoAutoSort); }
  virtual bool IsAutoSortRefresh() { return Ex(aoAutoSortRefresh); }
  virtual bool IsAutoWidth() { return Op(aoAutoWidth); }
  virtual bool IsBandHeaderWidth() { return Ex(aoBandHeaderWidth); }
  virtual bool IsCaseInsensitive() { return Op(aoCaseInsensitive); }
  virtual bool IsCellMultiSelect() { return Ex(aoCellMultiSelect); }
  virtual bool IsDragCollapse() { return Ex(aoDragCollapse); }
  virtual bool IsDrawEndEllipsis() { return Op(aoDrawEndEllipsis); }
  virtual bool IsDrawPathEllipsis() { return Op(aoDrawPathEllipsis); }
  virtual bool IsDragExpand() { return Ex(aoDragExpand); }
  virtual bool IsDragScroll() { return Ex(aoDragScroll); }
  virtual bool IsEditing() { return Op(aoEditing); }
  virtual bool IsEnterShowEditor() { return Ex(aoEnterShowEditor); }
  virtual bool IsEnterThrough() { return Ex(aoEnterThrough) && IsEnterShowEditor(); }
  virtual bool IsExtCustomizing() { return Op(aoExtCustomizing); }
  virtual bool IsExtMultiSelect() { return Op(aoExtMultiSelect); }
  virtual bool IsStatusPanel() { return false; }
  virtual bool IsHorzThrough() { return Ex(aoHorzThrough); }
  virtual bool IsHorzScrollBar() {
    return FScrollBars == TdxScrollBars::ssHorizontal || FScrollBars == TdxScrollBars::ssBoth;
  }
  virtual bool IsMouseSelectScroll() { return Ex(aoMouseScroll) && (IsRowSelect() || !IsEditing()); }
  virtual bool IsMultiSelect() { return Op(aoMultiSelect); }
  virtual bool IsMultiSort() { return Ex(aoMultiSort); }
  virtual bool IsNewItemRowActive() { return FNewItemRowActive; }
  virtual bool IsShowNewItemRow() { return FShowNewItemRow && FNewItemRowHeight > 0; }
  virtual bool IsRowAutoHeight() { return Ex(aoRowAutoHeight) && FMaxRowLineCount != 0; }
  virtual bool IsRowSelect() { return Op(aoRowSelect); }
  virtual bool IsShowHourGlass() { return Ex(aoShowHourGlass); }
  virtual bool IsRowFooter() { return FShowRowFooter; }
  virtual bool IsPreview() { return Op(aoPreview) && FPreviewLines != 0; }
  virtual bool UseRowHeightCache() { return true; }
  virtual bool IsTabThrough() { return Op(aoTabThrough); }
  virtual bool IsVertThrough() { return Ex(aoVertThrough); }
  virtual bool KeepBothScrollBars() { return false; }
  virtual bool IsVertScrollBar() {
    return FScrollBars == TdxScrollBars::ssVertical || FScrollBars == TdxScrollBars::ssBoth;
  }
  virtual bool IsUseBitmap() { return Ex(aoUseBitmap); }
  virtual bool IsBandButtonClicking() { return Ex(aoBandButtonClicking); }
  virtual bool IsFullSizing() { return Ex(aoFullSizing); }
  virtual bool IsBandPanelSizing() { return Ex(aoBandPanelSizing); }
  virtual bool IsBandSizing(int band) { (void)band; return true; }
  virtual bool IsHeaderBandSizing() { return Op(aoHeaderBandSizing); }
  virtual bool IsHeaderButtonClicking() { return Ex(aoHeaderButtonClicking); }
  virtual bool IsHeaderFullSizing() { return Ex(aoFullSizing); }
  virtual bool IsHeaderPanelSizing() { return Ex(aoHeaderPanelSizing); }
  virtual bool GetColumnSizing(int column) { (void)column; return true; }
  virtual bool CanSizeColumn(int column) { return Op(aoColumnSizing) && GetColumnSizing(column); }
  virtual bool IsRowSizing() { return Ex(aoRowSizing); }
  virtual void SetBandRowCount(int value) { (void)value; }
  virtual void SetBandWidth(int band, int width) { (void)band; (void)width; }
  virtual void SetHeaderPanelRowCount(int value) { (void)value; }
  virtual void SetHeaderWidth(int column, int width) { (void)column; (void)width; }
  virtual void ScaleBandWidths() {}
  virtual void ScaleHeaderWidths() {}
  virtual void BandButtonClick() {}
  virtual void BandClick(int band) { (void)band; }
  virtual void DoChangedColumnsWidth() {}
  virtual void HeaderButtonClick() {}
  virtual void ColumnClick(int column) { (void)column; }
  virtual void DropDownButtonClick(int column) { (void)column; }
  virtual void StatusCloseButtonClick() {}
  virtual int GetMaxBandRowCount() { return 5; }
  virtual int GetBandRowCount() { return 1; }
  virtual int GetMaxHeaderPanelRowCount() { return 4; }
  virtual int GetHeaderPanelRowCount() { return 1; }
  virtual int GetMinHeaderPanelRowCount() { return 1; }
  virtual bool IsCustomizing() { return false; }
  virtual WideString GetNodeDragText(TdxTreeListNode* node, int column);
  virtual bool IsCustomizingForm() { return false; }
  virtual void MoveBand(int from, int to) { (void)from; (void)to; }
  virtual bool CanBandDragging(int band) { (void)band; return Ex(aoBandMoving); }
  virtual void DoDragOverBand(int band, bool& accept) { (void)band; (void)accept; }
  virtual void DoDragEndBand(int band, bool& accept) { (void)band; (void)accept; }
  virtual bool IsBandCustomizingDisabled(int band) { (void)band; return false; }
  virtual void HideBand(int band) { (void)band; }
  virtual bool IsBandHidden(int band) { (void)band; return false; }
  virtual void ShowBand(int band) { (void)band; }
  virtual bool CanHeaderDragging(int column) { (void)column; return Op(aoColumnMoving); }
  virtual void DoDragOverHeader(int column, bool& accept) { (void)column; (void)accept; }
  virtual void DoDragEndHeader(int column, bool& accept) { (void)column; (void)accept; }
  virtual bool IsHeaderCustomizingDisabled(int column) { (void)column; return false; }
  virtual void MoveHeader(int from, int to) { (void)from; (void)to; }
  virtual void HideHeader(int column) { (void)column; }
  virtual bool IsHeaderInCustomizeBox(int column) { (void)column; return false; }
  virtual bool IsHeaderVisible(int column) { (void)column; return true; }
  virtual void ShowHeader(int column) { (void)column; }
  virtual void DoBeginDragNode(TdxTreeListNode* node);
  // Selection hooks: the rules and events here, the list of selected nodes
  // in the published tree list.
  virtual bool IsNodeSelected(const TdxTreeListNode* node) { (void)node; return false; }
  virtual void SelectNode(TdxTreeListNode* node, bool value) { (void)node; (void)value; }
  virtual int SelectedCount() { return 0; }
  virtual TdxTreeListNode* GetSelectedItem(int index) { (void)index; return nullptr; }
  virtual void ClearSelection();
  virtual void DeleteSelection();
  virtual void SelectAll() {}
  virtual bool CanNodeSelected(TdxTreeListNode* node);
  virtual void NodeSelectionChanged(TdxTreeListNode* node);
  virtual void SelectRange(TdxTreeListNode* node1, TdxTreeListNode* node2);
  void SetSelectionAnchor(TdxTreeListNode* node) { FSelectionAnchor = node; }
  int CompareWithAnchor(const TdxTreeListNode* node) const;
  virtual void SelectedCountChanged();
  void InvalidateSelection();
  // The node-data map (kept while FTrackNodeData): the nodes whose Data is a pointer.
  void MoveNodeData(TdxTreeListNode* node, void* newData);
  void RemoveTreeNodeDataReference(void* data);
  // The nodes that carry Data (empty when none or when the map is not kept).
  TdxTreeListNodeList NodesByData(void* data) const;
  // Sorting sibling lists: Level -1 every list, else the lists at that depth.
  virtual void SortNodes(int level, int column, bool desc);
  virtual int SortedColumnCount() { return 0; }
  virtual bool SortedColumnDesc(int index) { (void)index; return false; }
  virtual int SortedColumnIndex(int index) { return index; }
  virtual void ClearColumnsSorted() {}
  TdxTreeListNode* FFirstSelectedNode = nullptr;
  virtual bool IsInvertSelect() { return Ex(aoInvertSelect); }
  virtual TImageList* GetNodeImages(TdxTreeListNode* node) { (void)node; return FImages; }
  virtual void UpdateScrollBars() {}
  virtual void DeleteNodeColumnData(TdxTreeListNode* node, int column) { (void)node; (void)column; }
  // The editor and search calls the nodes and focus reach (stand-ins).
  virtual void CancelEditor() {}
  virtual void HideEditor() {}
  virtual void EndSearch() {}
  virtual void MakeColumnVisible(int column) { (void)column; }

  // Container queries.
  bool IsImmediateEditor(int column) override;
  bool InplaceEditWantTabs() override;
  bool HideDrawFocusRect() override { return Op(aoHideFocusRect); }
  bool IsShowButtonAlways() override { return Ex(aoShowButtonAlways); }
  TdxPopupBorderStyle GetDefaultPopupBorderStyle(TdxEditBorderStyle editBorderStyle) override;

protected:
  void Loaded() override;
  bool Op(TdxTreeListOption o) const { return (FOptions & OptionBit(o)) != 0; }
  bool Ex(TdxTreeListOptionEx o) const { return (FOptionsEx & OptionBit(o)) != 0; }
  void SetSelecting(bool value) { FSelecting = value; }
  // Nodes kept out of the tree (freed with it): their cells follow the columns too.
  const TdxTreeListNodeList& HiddenNodes() const { return FHiddenList; }
  // The rows' rectangle (below the panels, right of the indicator).
  RECT CellsRect();
  void InvalidateRows(const RECT& r, bool erase);

private:
  friend class TdxTreeListNode;
  void NodeListInsert(TdxTreeListNodeList& list, int index, TdxTreeListNode* node);
  int FindListEntry(const TdxTreeListNode* node) const;  // position in FListNodes, or -1
  int WalkAbsoluteIndex(const TdxTreeListNode* node) const;
  TdxTreeListNode* WalkAbsoluteNode(int index) const;
  void ClearListNodesNow();

  TdxTreeListNodeList FNodeList;
  int FLockUpdate = 0;
  int FLockPaintUpdate = 0;
  int FLockSelection = 0;
  int FPrevSelectedCount = 0;
  TdxTreeListNode* FFocused = nullptr;
  TdxTreeListNode* OldFocusedNode = nullptr;
  bool FlagEditor = false;
  TdxTreeListNodeList FListRealNodes;
  TdxTreeListNodeList FListNodes;
  std::vector<int> FListIndexes;
  bool FMakeListNodesFlag = false;
  TdxTreeListNode* FMakeListNode = nullptr;
  bool FMakeListNodeVisible = false;
  bool FNodeDeleteing = false;
  bool FClearListNodesFlag = false;
  bool FClearNodes = false;
  bool FDestroyPrepared = false;
  TdxTreeListOptions FOptions = kDefaultOptions;
  TdxTreeListOptionsEx FOptionsEx = kDefaultOptionsEx | OptionBit(aoAutoCopySelectedToClipboard);
  TdxLookAndFeel FLookAndFeel = lfStandard;
  TdxTreeListPaintStyle FPaintStyle = psStandard;
  TdxTreeListState FState = tsNormal;
  int FIndicatorWidth = 0;
  int FRowHeight = 18;
  bool FRowHeightAssigned = false;
  bool FNewItemRowActive = false;
  int FFocusedColumn = -1;
  int FFocusedAbsoluteIndex = -1;
  int FInplaceColumn = -1;
  TdxTreeListNode* FInplaceNode = nullptr;
  TdxTreeListNode* FTopVisibleNode = nullptr;
  TdxTreeListNode* FSelectionAnchor = nullptr;
  TdxTreeListNode* FDragNode = nullptr;
  TdxTreeListNode* FHotTrackNode = nullptr;
  bool FSelecting = false;
  int FLockSearching = 0;
  int FTopIndex = 0;
  int FLeftCoord = 0;
  TImageList* FImages = nullptr;
  TdxTreeListNodeList FHiddenList;  // nodes kept out of the tree, freed with it
  mutable TdxTreeListListStats FListStats;
  // Pointer -> the nodes whose Data it is; made on first use. A null Data is never a key.
  std::unique_ptr<std::unordered_map<void*, TdxTreeListNodeList>> FNodesByData;
  void SortNodeList(TdxTreeListNodeList& list, int column, bool desc);
};

// Text measuring and registry paths of the unit.
int CalcTextLines(const WideString& text, int width, int lineHeight, int& height, int inset, bool exact,
                  TFont& font, int maxLines);
WideString NormalizeRegistryPath(const WideString& path);

}  // namespace tvk
