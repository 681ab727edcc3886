#pragma once
// The banded tree list's base: nodes, the base control with its options,
// locks and events, the operations through which it asks its descendants
// about bands, columns and values, row and band measures, and the flat list
// of visible nodes with the focus.
#include <algorithm>
#include <cstdint>
#include <functional>
#include <map>
#include <memory>
#include <vector>

#include "ComRef.h"
#include "Graphics.h"
#include "ImageLists.h"
#include "Lists.h"
#include "Variants.h"
#include "dxCntner.h"

namespace tvk {

class TCustomdxTreeList;
class TCustomizeForm;
class TdxBandsListBox;
class TdxHeadersListBox;

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
  int64_t SearchComparisons = 0; // nodes compared by the incremental search
};

// ---- the geometry of one paint, hit test or cell query

// A laid-out band: its caption cell at its scrolled place and the part of it that may be painted.
struct TdxGridBandDrawInfo {
  int Index = 0;  // visible band index
  RECT BandRect{};
  RECT BandClipRect{};
};

// A laid-out column header; its horizontal extent is the column's in every row.
struct TdxGridHeaderDrawInfo {
  int AbsoluteIndex = 0;
  int BandIndex = 0;  // visible band index
  int RowIndex = 0;
  int ColIndex = 0;
  int LineCount = 0;  // header rows the header spans
  RECT HeaderRect{};
  RECT HeaderClipRect{};
  RECT HeaderEmptyRect{};  // below the last header of a band's last row, else empty
  bool FirstColumn = false;
  bool LastColumn = false;
  bool LeftEdgeColumn = false;
  bool RightEdgeColumn = false;
  bool MultiLine = false;
};

// The header area of a band without header rows.
struct TdxGridEmptyRectDrawInfo {
  int BandIndex = 0;
  RECT EmptyRect{};
  bool ClippingFlag = false;  // the band is cut at its right
};

struct TdxGridRowDrawInfo {
  TdxTreeListNode* Node = nullptr;
  bool IsGroup = false;
  bool IsSelected = false;
  int RowHeight = 0;
  int RowFooterCount = 0;
  int RowFooterHeight = 0;
  TdxGridIndicatorKind IndicatorKind = ikNone;
  int PreviewLineCount = 0;
  int RowLineCount = -1;
  int Indent = 0;  // the image indent, written by the painter's first pass
};

// Panels, bands, headers and rows of the client area (or of a whole-list
// export), computed per use. The tables are reserved once at their exact or
// upper-bound size and never grow past it.
struct TdxGridDrawInfo {
  RECT CRect{};
  RECT GroupPanelRect{};
  RECT BandRect{};
  RECT BandButtonRect{};
  RECT HeaderRect{};
  RECT HeaderButtonRect{};
  RECT IndicatorRect{};
  RECT NewItemRowRect{};
  RECT CellsRect{};
  RECT EmptyRectRight{};
  RECT EmptyRectBottom{};
  RECT FooterRect{};
  RECT StatusRect{};
  RECT FixedBandLeftRect{};
  RECT FixedBandRightRect{};
  int FixedBandLeftIndex = -1;
  int FixedBandRightIndex = -1;
  int FixedBandPrevRightIndex = -1;
  int EdgeX = 0;
  int EdgeY = 0;
  int IndentLimit = 0;
  int RowSeparatorLineWidth = 0;
  std::vector<TdxGridBandDrawInfo> BandsInfo;
  std::vector<TdxGridHeaderDrawInfo> HeadersInfo;
  std::vector<TdxGridEmptyRectDrawInfo> EmptyRectsInfo;
  std::vector<TdxGridRowDrawInfo> RowsInfo;
  int BandCount() const { return int(BandsInfo.size()); }
  int HeaderCount() const { return int(HeadersInfo.size()); }
  int EmptyRectCount() const { return int(EmptyRectsInfo.size()); }
  int RowCount() const { return int(RowsInfo.size()); }
};

// True when the spans [A1, A2] and [B1, B2] meet (ends inclusive).
bool SpansOverlap(int a1, int a2, int b1, int b2);
bool IsZeroRect(const RECT& r);

// ---- what lies under a client point

enum TdxTreeListHitTest {
  htNowhere, htColumn, htColumnEdge, htButton, htIcon, htStateIcon, htIndent, htLabel, htRight, htOutside,
  htGroupPanel, htBandButton, htBand, htBandEdge, htHeaderButton, htIndicator, htNewRowItem, htSummaryNodeFooter,
  htSummaryFooter, htBandPanelEdge, htHeaderPanelEdge, htRowEdge, htPreview, htStatusPanel
};

// Sizing edges are found this many pixels either side of a border.
constexpr int kSizingEdgeWidth = 4;

struct TdxTreeListHitInfo {
  int X = 0;
  int Y = 0;
  int Band = -1;    // visible band index
  int Column = -1;  // absolute column index
  TdxTreeListNode* Node = nullptr;
  int Row = -1;        // index into the draw info's rows
  int FooterRow = -1;  // row footer index
  TdxTreeListHitTest hitType = htOutside;
  int NodeTop = 0;  // top of the row, for indicator hits only
};

// Deterministic counts of scrolling.
struct TdxTreeListScrollStats {
  int64_t RowsWalked = 0;      // rows measured by the row counts and scroll distances
  int64_t WindowScrolls = 0;   // ScrollWindowEx calls
  int64_t FullRepaints = 0;    // scrolls that repainted the whole control instead
  int64_t BarWrites = 0;       // scroll-bar information actually written
};

// One cell on its way to its column's editor class, refilled for every cell drawn.
class TdxTreeListCellViewData : public TObject {
public:
  TVK_CLASS(TdxTreeListCellViewData, TObject)
  HBRUSH Cell_Brush = nullptr;
  HFONT Cell_Font = nullptr;
  TColor Cell_BkColor = clWindow;
  TColor Cell_TextColor = clWindowText;
  TAlignment Cell_Alignment = TAlignment::taLeftJustify;
  WideString Cell_Text;
  int32_t Cell_TextLength = 0;  // characters to draw; 0: all
  bool Cell_Selected = false;
  bool Cell_InvertSelect = false;
  bool Cell_LeftEdge = false;
  bool Cell_RightEdge = false;
  bool Cell_MultiLine = false;
  bool Cell_InvertText = false;  // the search highlight's second pass
  bool Cell_DrawEndEllipsis = false;
  bool Cell_DrawPathEllipsis = false;
  TdxTreeListNode* Cell_Node = nullptr;
  bool Cell_IsNullNode = false;
  TColor Cell_SelectionColor = clHighlight;
  HBRUSH Cell_CellBrush = nullptr;
  TColor Cell_CellColor = clWindow;
  bool Cell_HotTrackNode = false;
  RECT Cell_Rect{};  // the cell in its own coordinates, widened by 2 on every side
};

// Deterministic counts of the painter's work.
struct TdxTreeListPaintStats {
  int64_t Paints = 0;        // PaintArea calls that painted
  int64_t RowsLaidOut = 0;   // draw-info rows of those paints
  int64_t CellsDrawn = 0;    // DrawCell calls
  int64_t GridSegments = 0;  // segments of the last paint's poly-polyline
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
  // 0 with row selection or a stored column out of range.
  int FocusedColumn();
  void SetFocusedColumn(int value);
  int FocusedNumber() const { return GetAbsoluteIndex(FFocused); }
  TdxTreeListNode* TopVisibleNode() const { return FTopVisibleNode; }
  TdxTreeListNode* SelectionAnchor() const { return FSelectionAnchor; }
  TdxTreeListNode* DragNode() const { return FDragNode; }
  TdxTreeListNode* HotTrackNode() const { return FHotTrackInfo.Node; }
  TdxTreeListNode* InplaceNode() const { return FInplaceNode; }
  void GetNodeRowRect(TdxTreeListNode* node, RECT& rect);
  void GetNodeRowRectToBottom(TdxTreeListNode* node, RECT& rect);
  void ResetNodeReferences();
  TdxTreeListState State() const { return FState; }
  void SetState(TdxTreeListState value);
  void GetHeaderLine(WideString& text);
  void GetNodeLine(TdxTreeListNode* node, WideString& text);
  void UpdateNow();
  int TopIndex() const { return FTopVisibleNode ? GetAbsoluteIndex(FTopVisibleNode) : -1; }
  void SetTopIndex(int value);
  int LeftCoord() const { return FLeftCoord; }
  void SetLeftCoord(int value);
  // --- visible rows and scrolling
  int RowCount() const { return FRowCount; }
  virtual int VisibleRowCount() { return FVisibleRowCount; }
  virtual void UpdateRowCount();
  virtual void GetVScrollInfo(int& min, int& max, int& pos, UINT& page, UINT& mask);
  // Rows that fit from Node down (then above it) in Height: whole and partial ones; answers the height used.
  int CountRows(TdxTreeListNode* node, int height, int& whole, int& partial);
  // The scrollable bands' width, and the part of the cells area that shows them.
  int GetVisibleScrollingWidth();
  const TdxTreeListScrollStats& ScrollStats() const { return FScrollStats; }
  void ResetScrollStats() { FScrollStats = {}; }

  // --- hit test
  virtual TdxTreeListHitInfo GetHitInfo(POINT pos);
  TdxTreeListHitTest GetHitTestInfoAt(int x, int y) { return GetHitInfo(POINT{x, y}).hitType; }
  TdxTreeListNode* GetNodeAt(int x, int y) { return GetHitInfo(POINT{x, y}).Node; }
  // The designer's question: does the control take the mouse at P (client coordinates)?
  bool DesignHitTest(POINT p);
  virtual bool CanSizeBand(int band);

  // --- in-place editing
  void ShowEditor();
  void ShowEditorChar(wchar_t ch);
  void ShowEditorMouse(int x, int y);
  void ShowButtonEditorMouse(int x, int y);
  void CloseEditor();
  // The keyboard focus is in the control or a window inside it, or the open editor has it.
  bool IsActive();
  TdxInplaceEdit* InplaceEditor() const { return FInplaceEdit; }
  int InplaceColumnIndex() const { return FInplaceColumnIndex; }
  WideString EditingText();
  void SetEditingText(const WideString& value);
  void StartClickHoverEditTimer(bool allowed);
  void StopClickHoverEditTimer();
  bool ClickHoverEditTimerActive() const { return FClickHoverTimerActive; }
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

  // --- draw info and cell geometry
  void CalcRectInfo(TdxGridDrawInfo& info, bool includeAll);
  void CalcDrawInfo(TdxGridDrawInfo& info);
  void CalcFullDrawInfo(TdxGridDrawInfo& info, bool selectedOnly);
  static void FreeDrawInfo(TdxGridDrawInfo& info);
  // Column is a visible column index; (-1, -1, -1, -1) for a cell not shown.
  RECT CellRect(TdxTreeListNode* node, int column);
  RECT GetEditRect(TdxTreeListNode* node, int column);
  void GetNodeIndent(TdxTreeListNode* node, int& indent, int& imageIndent);
  int GetVisibleNodeCount() const { return AbsoluteCount(); }

  // --- navigation and text export
  TdxTreeListNode* LastNode() const;
  int GetFocusedAbsoluteIndex(int focusedIndex);
  int GetFocusedVisibleIndex(int absoluteIndex);
  int GetVisibleColumnCount();
  void GotoFirst() { GotoNode(0, false); }
  void GotoLast(bool gotoHidden) { GotoNode(3, gotoHidden); }
  bool GotoNext(bool gotoHidden) { return GotoNode(2, gotoHidden) != nullptr; }
  bool GotoPrev(bool gotoHidden) { return GotoNode(1, gotoHidden) != nullptr; }
  bool IsBOF() const;
  bool IsEOF() const;
  void MakeBandVisible(int visibleIndex);
  // The top index that shows the row at Index in the last row that fits.
  int GetTopIndexForLastRow(int index);
  // Rows of default height that fit the cells (at least 1).
  int GetVisibleRowCapacity();
  void SaveAllToTextFile(const WideString& fileName);
  void SaveSelectedToTextFile(const WideString& fileName);
  void CopyAllToClipboard();
  void CopySelectedToClipboard();

  // --- the columns customizing form: hidden bands and headers, dragged in and out
  // Opens it (closing an open one first) beside the parent form, where it was last closed.
  void ColumnsCustomizing();
  void EndColumnsCustomizing();
  // The form is open and shown, and the screen point lies in its client area.
  bool PointInCustomizingForm(POINT p);
  TCustomizeForm* CustomizingForm() const { return FCustomizingForm; }
  TdxBandsListBox* CustomizingBandListBox() const { return FCustomizingBandListBox; }
  TdxHeadersListBox* CustomizingHeaderListBox() const { return FCustomizingHeaderListBox; }
  // The list boxes follow the look and rebuild their items.
  void RefreshCustomizingListBoxes();

  // --- keyboard and incremental search
  // One row up (-1) or down (+1); with Shift under multi-selection the range from the anchor follows.
  void MoveFocus(int delta);
  // A page up or down: first to the edge of the shown page, then by a page less one row.
  void PageMove(int delta);
  // Up or down between the header rows of the focused column's band; false when it could not
  // or when it wrapped (the caller then moves the row).
  bool MoveInBandRows(bool up);
  // The first visible column from Start in the direction given that is a tab stop;
  // -1 (backward) or the column count (forward) when none.
  int FindTabStopColumn(int start, bool forward);
  void PrevRowLastColumn();
  void NextRowFirstColumn();
  // Starts a search in a column (-1: the focused one) with Text; answers whether text is left.
  bool StartSearch(int column, const WideString& text);
  virtual void EndSearch();
  bool Searching() const { return FSearching; }
  const WideString& SearchText() const { return FSearchText; }
  bool AutoExpandOnSearch() const { return FAutoExpandOnSearch; }
  void SetAutoExpandOnSearch(bool value) { FAutoExpandOnSearch = value; }
  // Mode 0 from the focused node on, 1 backward before it, 2 forward after it; a failed
  // search empties Text (ClearOnFail) or, in mode 0, drops its last character.
  virtual void DoSearch(WideString& text, int mode, bool clearOnFail);
  // The first node whose text in Column starts with Text, ignoring case in the user's locale;
  // wraps once, so each node is compared at most once.
  virtual bool SearchNode(int column, const WideString& text, TdxTreeListNode*& node, int mode);
  void ResetSearchColumn();
  // The whole list (or its selected rows), at most 500 rows, unscrolled, as an
  // enhanced metafile; fonts and display settings are put back on every path.
  void DrawTreeListToMetaFile(TMetafile& metafile, bool onlySelection);
  void CopyTreeListToClipboardAsMetafile(bool onlySelection);
  // Text and picture, put while the clipboard is held open once.
  virtual void CopyTreeListToClipboard(bool onlySelection);

  // --- painting and layout metrics
  // Paints what Info describes onto Canvas; the caller keeps Info's tables.
  void PaintArea(const TdxGridDrawInfo& info, TCanvas& canvas);
  bool IsRectVisible(HDC dc, const RECT& rect) const;
  void GetStatusCloseButtonRect(RECT& rect);
  void DrawIndicator(HDC dc, const RECT& rect, TdxLookAndFeel look, TdxGridIndicatorKind kind, TBitmap* drawBitmap,
                     HBRUSH brush, TdxTreeListNode* node, const RECT& clip);
  void CalcLayoutMetrics();
  void GetRowFooterRect(TdxTreeListNode* node, int footerIndex, RECT& rect, const TdxGridDrawInfo& info,
                        int gridWidth, int top);
  void InvalidateBandPanel();
  void InvalidateBandButton();
  void InvalidateHeaderPanel();
  void InvalidateHeaderButton();
  void InvalidateNewItemRow();
  void SetNewItemRowActive(bool value);
  int GetNodeImageWidth(TdxTreeListNode* node);
  int GetNodeImageHeight(TdxTreeListNode* node);
  TImageList* StateImages() const { return FStateImages; }
  // The layout follows the list's changes; a freed list is forgotten.
  void SetStateImages(TImageList* value);
  TdxTreeListCellViewData& CellViewData() { return FCellViewData; }
  // Scratch bitmap of the paint under way; null outside a paint.
  TBitmap* DrawBitmap() const { return FDrawBitmap.get(); }
  const TdxTreeListPaintStats& PaintStats() const { return FPaintStats; }
  void ResetPaintStats() { FPaintStats = {}; }
  void SetLookAndFeel(TdxLookAndFeel value);
  void SetPaintStyle(TdxTreeListPaintStyle value);

  // --- the node-by-data map
  bool TrackNodeData() const { return FTrackNodeData; }
  void SetTrackNodeData(bool value);
  // Clears Data of every node that carries it.
  void RemoveTreeNodeDataReference(void* data);
  // The nodes whose Data is the pointer (tracked only while TrackNodeData is on).
  TdxTreeListNodeList NodesByData(void* data) const;

  // --- options and properties
  TdxTreeListOptions Options() const { return FOptions; }
  // A change hides the editor, keeps aoRowSelect and aoInvertSelect apart and clears the selection.
  void SetOptions(TdxTreeListOptions value);
  TdxTreeListOptionsEx OptionsEx() const { return FOptionsEx; }
  void SetOptionsEx(TdxTreeListOptionsEx value);
  bool OptionsStored() const { return FOptions != kDefaultOptions; }
  // A new control always differs from the declared default.
  bool OptionsExStored() const { return FOptionsEx != kDefaultOptionsEx; }
  bool IndicatorWidthStored() const { return FIndicatorWidth != kDefaultIndicatorWidth; }
  int IndicatorWidth() const { return FIndicatorWidth; }
  void SetIndicatorWidth(int value) { ClampStoreLayoutRepaint(FIndicatorWidth, std::max(value, 0)); }
  int RowHeight() const { return FRowHeight; }
  int DefaultRowHeight() const { return FRowHeight; }
  void SetDefaultRowHeight(int value);
  bool DefaultRowHeightStored() const { return FRowHeightAssigned; }
  TdxLookAndFeel LookAndFeel() const { return FLookAndFeel; }
  TdxTreeListPaintStyle PaintStyle() const { return FPaintStyle; }
  TImageList* Images() const { return FImages; }
  void SetImages(TImageList* value);
  int Indent() const { return FIndent; }
  bool ClearingNodes() const { return FClearNodes; }

  // --- property setters, each redoing what its change needs: a repaint, the
  // layout, or a new window (nothing when the value is the stored one)
  void SetBandColor(TColor value) { StoreRepaint(FBandColor, value); }
  void SetHeaderColor(TColor value) { StoreRepaint(FHeaderColor, value); }
  void SetGroupNodeColor(TColor value) { StoreRepaint(FGroupColor, value); }
  void SetGroupNodeTextColor(TColor value) { StoreRepaint(FGroupTextColor, value); }
  void SetRowFooterColor(TColor value) { StoreRepaint(FFooterColor, value); }
  void SetRowFooterTextColor(TColor value) { StoreRepaint(FFooterTextColor, value); }
  void SetFixedBandLineColor(TColor value) { StoreRepaint(FFixedBandLineColor, value); }
  void SetPlusMinusColor(TColor value) { StoreRepaint(FPlusMinusColor, value); }
  void SetGridLineColor(TColor value) { StoreRepaint(FGridLineColor, value); }
  void SetHighlightColor(TColor value) { StoreRepaint(FHighlightColor, value); }
  void SetHighlightTextColor(TColor value) { StoreRepaint(FHighlightTextColor, value); }
  void SetHideSelectionColor(TColor value) { StoreRepaint(FHideSelectionColor, value); }
  void SetHideSelectionTextColor(TColor value) { StoreRepaint(FHideSelectionTextColor, value); }
  void SetTreeLineColor(TColor value) { StoreRepaint(FTreeLineColor, value); }
  void SetTreeLineStyle(TdxTreeLineStyle value) { StoreRepaint(FTreeLineStyle, value); }
  void SetHideFocusRect(bool value) { StoreRepaint(FHideFocusRect, value); }
  void SetHideSelection(bool value) { StoreRepaint(FHideSelection, value); }
  void SetShowButtons(bool value) { StoreRepaint(FShowButtons, value); }
  void SetShowLines(bool value) { StoreRepaint(FShowLines, value); }
  void SetDrawTransparent(bool value) { StoreRepaint(FDrawTransparent, value); }
  void SetShowBands(bool value) { StoreLayout(FShowBands, value); }
  void SetShowHeader(bool value) { StoreLayout(FShowHeaders, value); }
  void SetShowFooter(bool value) { StoreLayout(FShowFooter, value); }
  void SetShowGrid(bool value) { StoreLayout(FShowGrid, value); }
  void SetShowPreviewGrid(bool value) { StoreLayout(FShowPreviewGrid, value); }
  void SetShowIndicator(bool value) { StoreLayout(FShowIndicator, value); }
  void SetShowRoot(bool value) { StoreLayout(FShowRoot, value); }
  void SetShowRowFooter(bool value) { StoreLayout(FShowRowFooter, value); }
  // The outlook styles always show root lines and buttons.
  bool ShowRoot() const { return FShowRoot || !FPaintStandard; }
  void SetFixedBandLineWidth(int value) { StoreLayout(FFixedBandLineWidth, std::max(value, 1)); }
  void SetRowSeparatorLineWidth(int value) { StoreLayout(FRowSeparatorLineWidth, std::max(value, 1)); }
  void SetIndentDesc(int value) { StoreLayout(FIndentDesc, std::max(value, 0)); }
  void SetMaxRowLineCount(int value) { StoreLayout(FMaxRowLineCount, std::max(value, -1)); }
  void SetPreviewLines(int value) { StoreLayout(FPreviewLines, std::max(value, -1)); }
  void SetIndent(int value) { ClampStoreLayoutRepaint(FIndent, std::max(value, 0)); }
  void SetBorderStyle(TdxBorderStyle value) { StoreRecreate(FBorderStyle, value); }
  void SetScrollBars(TdxScrollBars value) { StoreRecreate(FScrollBars, value); }
  // The title fonts take a copy even of an equal font, and refresh the layout.
  void SetBandFont(const TFont& value) { FBandFont.Assign(value); LayoutChanged(); }
  void SetHeaderFont(const TFont& value) { FHeaderFont.Assign(value); LayoutChanged(); }
  void SetPreviewFont(const TFont& value) { FPreviewFont.Assign(value); LayoutChanged(); }
  // Written to a form only while the control does not take its parent's font.
  bool TitleFontsStored() const { return !ParentFont(); }
  int CustomizingRowCount() const { return FCustomizingRowCount; }
  void SetCustomizingRowCount(int value) { FCustomizingRowCount = std::max(value, 2); }

  bool FDrawTransparent = false;
  bool FDrawNonVisibleParts = false;  // an export paints what the screen does not show
  bool FDisableHeaderImages = false;
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
  int FCustomizingLastBandIndex = -1;    // the list's selection at the last close
  int FCustomizingLastHeaderIndex = -1;

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
  int FBandTextHeight = 11;
  int FHeaderLineCount = 1;
  RECT FArrowsRect{0, 0, 11, 36};
  int FFooterRowHeight = 18;
  int FFooterHeight = 0;
  int FDeltaHScroll = 6;
  int FImageStateW = 0;
  int FImageStateH = 0;
  int FNewItemRowSeparatorHeight = 6;

  // Pushed and active parts (set by the mouse handling).
  bool FBandButtonPushed = false;
  bool FHeaderButtonPushed = false;
  int FDownBandIndex = -1;
  bool FDownBandPushed = false;
  int FDownColumnIndex = -1;
  bool FDownColumnPushed = false;
  bool FStatusCloseButtonActive = false;
  bool FStatusCloseButtonPressed = false;
  // An outside drag over the control (the drag issue sets it).
  TObject* FDragObject = nullptr;
  // Set only while a header click is handled: Shift with aoMultiSort adds a sort key, Ctrl clears the sort.
  bool FlagMultiSort = false;
  bool FlagClearSort = false;
  // Incremental search: typed text and the absolute column searched (-1 none).
  bool FSearching = false;
  WideString FSearchText;
  int FSearchColumnIndex = -1;
  // Keeps the canvas font while a cell uses another.
  TFont FSaveFont;

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
  std::function<void(TObject* Sender, TColor& AColor)> OnGetEditColor;
  std::function<void(TObject* Sender, int AColumn, bool& ClickHoverEdit)> OnClickHoverEdit;
  std::function<void(TObject* Sender, const RECT& ImageRect, TdxTreeListNode* Node, int UsedImageIndex)>
      OnPostDrawImage;

  // --- the overridable operations
  virtual bool IsClickEdit(int column, TdxTreeListNode* node, int x, int y);
  virtual void CancelMouseState();
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
  virtual bool IsCustomizing() { return FCustomizingForm != nullptr; }
  virtual WideString GetNodeDragText(TdxTreeListNode* node, int column);
  virtual bool IsCustomizingForm() { return FCustomizingForm != nullptr; }
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
  // Sorting sibling lists: Level -1 every list, else the lists at that depth.
  virtual void SortNodes(int level, int column, bool desc);
  virtual int SortedColumnCount() { return 0; }
  virtual bool SortedColumnDesc(int index) { (void)index; return false; }
  virtual int SortedColumnIndex(int index) { return index; }
  virtual void ClearColumnsSorted() {}
  TdxTreeListNode* FFirstSelectedNode = nullptr;
  virtual bool IsInvertSelect() { return Ex(aoInvertSelect); }
  virtual TImageList* GetNodeImages(TdxTreeListNode* node) { (void)node; return FImages; }
  virtual void UpdateScrollBars();
  virtual void DeleteNodeColumnData(TdxTreeListNode* node, int column) { (void)node; (void)column; }
  // Ending the edit: HideEditor and CloseEditor validate first (a refused value keeps the editor
  // open); CancelEditor writes nothing back.
  virtual void CancelEditor();
  virtual void HideEditor();
  // The editor-hosting cycle.
  virtual bool CanShowEditor();
  virtual TdxInplaceEdit* CreateEditor();
  virtual TdxInplaceEdit* GetEditor() { return FInplaceEdit; }
  virtual void InitEditProperties(TdxInplaceEdit* editor);
  virtual void InitEditValue(TdxTreeListNode* node, TdxInplaceEdit* editor, Variant& value);
  virtual void SaveEditValue(TdxTreeListNode* node, int column, Variant& value, TdxInplaceEdit* editor);
  virtual void CanEditNewItemRow(bool& allow) { (void)allow; }
  void MakeColumnVisible(int column);
  // The cursor hot tracking starts from (the control's own, unless it set the cursor itself).
  TCursor FDefaultCursor = crDefault;
  bool FCursorChange = false;

  // --- the mouse: presses, moves and releases drive the tracking states
  const TdxTreeListHitInfo& PressHitInfo() const { return FHitInfo; }
  int SizingPos() const { return FSizingPos; }
  // Pos clamped to [Min, Max]; the inverted line moves with it.
  void UpdateSizingLine(int pos, int min, int max);
  // Runs the middle-button scroll mode until a key, a button or the wheel ends it.
  void MouseScroll();
  // The neutral zone's half-width and the marker's size of the last mouse-scroll mode.
  SIZE MouseScrollMarkerSize() const { return FMouseScrollMarkerSize; }

  // --- the drag: the node's drag image, the drop arrows and the sizing line
  TdxTreeListNode* DragExpandNode() const { return FDragExpandNode; }
  TObject* DragTargetObject() const { return FDragObject; }
  void SetDragObject(TObject* value);
  TDragImageList* GetDragImages() override { return FShowDragImage ? FDragImageList.get() : nullptr; }
  TDragImageList* DragImageList() const { return FDragImageList.get(); }
  // The cursor of a node drag: by the selected count and Ctrl with CanDragCopy.
  TCursor NodeDragCursor();
  // Toggles the drop arrows at FArrowsPos (screen), saving the screen under them.
  void DrawArrows(bool hideDragImage);
  bool ArrowsShown() const { return FFlagSaveArrowsRect; }
  POINT ArrowsPos() const { return FArrowsPos; }
  void SetArrowsPos(POINT p) { FArrowsPos = p; }
  // Draws (or, drawn twice, erases) the sizing line of the current state.
  void DrawSizingLine();
  virtual bool IsFirstNode(TdxTreeListNode* node) { return node && node == TopNode(); }
  virtual bool IsLastNode(TdxTreeListNode* node) {
    return node && GetAbsoluteIndex(node) == AbsoluteCount() - 1;
  }
  virtual void DragExpandTimer();
  void DragOver(TObject* source, int x, int y, TDragState state, bool& accept) override;
  void DragDrop(TObject* source, int x, int y) override;
  void DoEndDrag(TObject* target, int x, int y) override;

  // --- sizing and moving bands and headers
  int GetBandPanelHeight(int rows);
  int GetBandRowCountAt(int y);
  void SnapBandPanelSizing(int y, int& pos, int& pos2);
  int GetHeaderRowCountAt(int y);
  void SnapHeaderPanelSizing(int y, int& pos, int& pos2);
  void GetRowSizingLimits(TdxTreeListNode* node, int y, int& max, int& min);
  void GetBandSizingLimits(int band, int x, int& max, int& min, int& left);
  void GetHeaderSizingLimits(int column, int x, int& max, int& min, int& left);
  void SetBandWidthAuto(int band, int newWidth);
  void SetHeaderWidthAuto(int band, int column, int newWidth);
  void SetBandWidthByHeaders(int band, int newWidth);
  void SetHeaderWidthInBand(int band, int column, int newWidth);
  // Target: a band's visible index, -1 hide, -2 no move; a header's (band, row, col, kind),
  // kind -1 hide, -2 no move, -3 move. ScreenPoint becomes the arrows' place.
  struct TdxHeaderDropTarget {
    int Band = -1, Row = -1, Col = -1, Kind = -1;
  };
  virtual void CalcBandDropPosition(POINT& screenPoint, int& target, int dragIndex, int downIndex);
  virtual void CalcHeaderDropPosition(POINT& screenPoint, TdxHeaderDropTarget& target, int dragIndex,
                                      int downIndex);
  virtual void AdjustDragCursor(POINT p, TCursor& cursor);
  virtual void StartBandDragging(int band);
  virtual void StartHeaderDragging(int column);
  void BandDragMove();
  void HeaderDragMove();
  void DragMoveStep(bool band);
  virtual void EndBandDragging(bool accept);
  virtual void EndHeaderDragging(bool accept);
  // The cursor a band or header move shows (the screen's while it runs).
  TCursor MoveCursor() const { return FMoveCursor; }
  virtual void DoDragOverBandAt(POINT p, int band, bool& accept) { (void)p; DoDragOverBand(band, accept); }
  virtual void DoDragOverHeaderAt(POINT p, int column, bool& accept) { (void)p; DoDragOverHeader(column, accept); }
  virtual void DoDragEndBandAt(POINT p, int band, bool& accept, int& target, int downIndex) {
    (void)p; (void)target; (void)downIndex; DoDragEndBand(band, accept);
  }
  virtual void DoDragEndHeaderAt(POINT p, int column, bool& accept, TdxHeaderDropTarget& target) {
    (void)p; (void)target; DoDragEndHeader(column, accept);
  }
  virtual void ShowBandAtPosition(int band, int position) { (void)position; ShowBand(band); }
  virtual void MoveHeaderToPosition(int column, int band, int row, int col) { (void)band; (void)row; (void)col; MoveHeader(column, col); }
  virtual void ShowHeaderAtPosition(int column, int band, int row, int col) { (void)band; (void)row; (void)col; ShowHeader(column); }
  virtual void ScaleBandWidthsBy(int numerator, int denominator) { (void)numerator; (void)denominator; }
  virtual void ScaleHeaderWidthsBy(int band, int numerator, int denominator) {
    (void)band; (void)numerator; (void)denominator;
  }

  // --- hot tracking, cell tooltips and the status hint
  struct TdxTreeListHotTrackInfo {
    TdxTreeListNode* Node = nullptr;
    int32_t Column = -1;
    int32_t ActiveIndex = 0;
    TdxTreeListHeaderHotTrack HeaderHotTrack = hhtNone;
  };
  const TdxTreeListHotTrackInfo& HotTrackInfo() const { return FHotTrackInfo; }
  virtual void UpdateHotTrack(const TdxTreeListHitInfo& hit);
  virtual bool CanHotTrackCellAt(int x, int y, int32_t& activeIndex, int column, TdxTreeListNode* node) {
    (void)x; (void)y; (void)activeIndex; (void)column; (void)node; return CanHotTrackCell();
  }
  virtual bool IsAlwaysHotTrack() { return false; }
  virtual TdxTreeListHeaderHotTrack GetHeaderHotTrack(int column, int x, int y);
  virtual bool IsHotTrackedCell(TdxTreeListNode* node, int column) {
    return node && node == FHotTrackInfo.Node && column == FHotTrackInfo.Column;
  }
  virtual void DoHotTrackNode(const TdxTreeListHotTrackInfo& info, TCursor& cursor);
  void UpdateTooltip(const TdxTreeListHitInfo& hit);
  virtual void CloseCellTooltip();
  void StartStatusHint();
  virtual void ShowStatusHint();
  virtual void HideStatusHint();
  TdxContainerHintWindow* TooltipWindow() const { return FTooltipWindow.get(); }
  TdxContainerHintWindow* StatusHintWindow() const { return FHintWindow.get(); }
  bool StatusHintTimersRunning() const { return FShowHintTimerId != 0 || FHideHintTimerId != 0; }
  std::function<void(TObject* Sender, const TdxTreeListHotTrackInfo& AHotTrackInfo, TCursor& ACursor)>
      OnHotTrackNode;
  std::function<void(TObject* Sender, int X, int Y, TdxTreeListNode* Node, bool& IsHotTracked)>
      OnGetIsHotTrackNode;
  std::function<void(TObject* Sender, TdxTreeListNode* ANode, int AColumn, RECT& ARect, WideString& AText,
                     bool& AShowTooltip, bool& ADone)>
      OnGetTooltipInfo;

  // Navigation: kind 0 the top node, 1 the prior, 2 the next, 3 the last.
  virtual TdxTreeListNode* GetNavigationNode(TdxTreeListNode* node, int kind, bool gotoHidden);
  virtual TdxTreeListNode* GotoNode(int kind, bool gotoHidden);
  virtual void SaveAllToStrings(TStrings& list);
  virtual void SaveSelectedToStrings(TStrings& list);
  // The selected nodes in any order (the selection issue answers them).
  virtual void GetSelectedNodes(TdxTreeListNodeList& nodes) { (void)nodes; }

  // --- cell painters. Kind: 0 a node's data cell, 1 a footer or row-footer
  // cell, 2 a cell of the new item row, 3 the text panel of a group row.
  virtual bool IsCustomDrawBand(int band) { (void)band; return false; }
  virtual bool IsCustomDrawCell(TdxTreeListNode* node, int column) { (void)node; (void)column; return false; }
  virtual bool IsCustomDrawFooter(TdxTreeListNode* node, int column, int footerIndex) {
    (void)node; (void)column; (void)footerIndex; return false;
  }
  virtual bool IsCustomDrawHeader(int column) { (void)column; return false; }
  virtual bool IsCustomDrawPreview() { return false; }
  virtual bool IsLevelColor() { return false; }
  virtual void DoCustomDrawBand(int band, TCanvas& canvas, bool& done, TAlignment& alignment, TFont& font,
                                TColor& color, WideString& text, const RECT& clip, const RECT& rect) {
    (void)band; (void)canvas; (void)done; (void)alignment; (void)font; (void)color; (void)text; (void)clip;
    (void)rect;
  }
  virtual void DoCustomDrawCell(TCanvas& canvas, const RECT& rect, bool& done, TAlignment& alignment, TFont& font,
                                TColor& color, WideString& text, HBRUSH brush, bool rightEdge, bool leftEdge,
                                bool newItemRow, bool focused, bool selected, int column, TdxTreeListNode* node) {
    (void)canvas; (void)rect; (void)done; (void)alignment; (void)font; (void)color; (void)text; (void)brush;
    (void)rightEdge; (void)leftEdge; (void)newItemRow; (void)focused; (void)selected; (void)column; (void)node;
  }
  virtual void DoCustomDrawFooter(TCanvas& canvas, const RECT& rect, bool& done, TAlignment& alignment,
                                  TFont& font, TColor& color, WideString& text, int footerIndex, int column,
                                  TdxTreeListNode* node) {
    (void)canvas; (void)rect; (void)done; (void)alignment; (void)font; (void)color; (void)text;
    (void)footerIndex; (void)column; (void)node;
  }
  virtual void DoCustomDrawHeader(int column, TCanvas& canvas, bool& done, TdxTreeListColumnSort& sorted,
                                  TAlignment& alignment, TFont& font, TColor& color, WideString& text,
                                  const RECT& clip, const RECT& rect) {
    (void)column; (void)canvas; (void)done; (void)sorted; (void)alignment; (void)font; (void)color; (void)text;
    (void)clip; (void)rect;
  }
  virtual void DoCustomDrawIndicator(HDC dc, const RECT& rect, bool& done, TdxLookAndFeel look,
                                     TdxGridIndicatorKind kind, TBitmap& bitmap, HBRUSH brush,
                                     TdxTreeListNode* node, const RECT& clip) {
    (void)dc; (void)rect; (void)done; (void)look; (void)kind; (void)bitmap; (void)brush; (void)node; (void)clip;
  }
  virtual void DoCustomDrawPreview(TCanvas& canvas, const RECT& rect, bool& done, TFont& font, TColor& textColor,
                                   TColor& color, WideString& text, bool selected, TdxTreeListNode* node) {
    (void)canvas; (void)rect; (void)done; (void)font; (void)textColor; (void)color; (void)text; (void)selected;
    (void)node;
  }
  virtual void GetLevelColor(int level, TColor& color) { (void)level; (void)color; }
  virtual void DrawPanelCell(TCanvas& canvas, const RECT& rect, bool rightEdge, bool leftEdge, int kind,
                             bool multiLine, HBRUSH brush, TColor color, bool focused, bool selected,
                             int footerIndex, int column, TdxTreeListNode* node, TBitmap* drawBitmap);
  // Draws one cell's value; the column-owning tree list hands it to the
  // column's editor class. The base draws nothing.
  virtual void DrawCellValue(HDC dc, const RECT& rect, TdxTreeListCellViewData& cell, int column) {
    (void)dc; (void)rect; (void)cell; (void)column;
  }
  virtual void DrawCell(TCanvas& canvas, const RECT& rect, HBRUSH cellBrush, TColor cellColor, bool rightEdge,
                        bool leftEdge, int kind, bool multiLine, HBRUSH brush, TColor textColor, TColor bkColor,
                        bool focused, bool selected, int column, TdxTreeListNode* node, TBitmap* drawBitmap);
  virtual void DrawGroupPanel(TCanvas& canvas, const RECT& rect, HBRUSH shadowBrush, HBRUSH headerBrush) {
    (void)canvas; (void)rect; (void)shadowBrush; (void)headerBrush;
  }
  virtual void DrawPreview(TCanvas& canvas, const RECT& rect, bool selected, HBRUSH brush, TColor textColor,
                           TColor bkColor, TdxTreeListNode* node, TBitmap* drawBitmap);
  virtual TColor GetGridLineColor() { return FGridLineColor == clNone ? FGridColor : FGridLineColor; }
  virtual void BeginDrawNode(TdxTreeListNode* node) { (void)node; }
  virtual void EndDrawNode(TdxTreeListNode* node) { (void)node; }
  // The flat looks' own border.
  virtual void DrawBorder(HDC dc, const RECT& rect);

  // Container queries.
  bool IsImmediateEditor(int column) override;
  bool InplaceEditWantTabs() override;
  bool HideDrawFocusRect() override { return Op(aoHideFocusRect); }
  bool IsShowButtonAlways() override { return Ex(aoShowButtonAlways); }
  bool CanEditModify() override { return true; }
  bool CanEditAcceptKey(wchar_t key) override { (void)key; return true; }
  std::unique_ptr<TdxEditStyle> CreateEditStyle(TdxInplaceEdit* edit) override;
  TColor GetInplaceEditColor() override;
  TFont& GetInplaceEditFont() override;
  bool IsEditorKeyBlocked() override;
  void MoveToNeighbourCell(bool backward) override;
  void InplaceEditKillFocus(HWND focusedWnd) override;
  TdxPopupBorderStyle GetDefaultPopupBorderStyle(TdxEditBorderStyle editBorderStyle) override;

protected:
  void Loaded() override;
  // Keys move the focus, expand, select, edit, copy and search; one selection bracket per key.
  void KeyDown(WORD& key, TShiftState shift) override;
  void KeyPress(wchar_t& key) override;
  virtual bool CanProcessKey(WORD key, TShiftState shift) { (void)key; (void)shift; return true; }
  virtual bool CanRangeSelect() { return true; }
  bool IsFirstNode(const TdxTreeListNode* node) const { return node == TopNode(); }
  bool IsLastNode(const TdxTreeListNode* node) const { return node == LastNode(); }
  // Clears the selection unless the move cannot happen.
  void PrepareMoveSelection(int delta);
  bool Op(TdxTreeListOption o) const { return (FOptions & OptionBit(o)) != 0; }
  bool Ex(TdxTreeListOptionEx o) const { return (FOptionsEx & OptionBit(o)) != 0; }
  void SetSelecting(bool value) { FSelecting = value; }
  // Nodes kept out of the tree (freed with it): their cells follow the columns too.
  const TdxTreeListNodeList& HiddenNodes() const { return FHiddenList; }
  // The rows' rectangle (below the panels, right of the indicator).
  RECT CellsRect();
  void InvalidateRows(const RECT& r, bool erase);
  void Paint() override;
  void CreateParams(TCreateParams& params) override;
  void CreateWnd() override;
  TVK_MESSAGES();
  void WMMouseWheel(TMessage& message);
  void CMFontChanged(TMessage& message);
  void CMColorChanged(TMessage& message);
  void CMParentFontChanged(TMessage& message);
  void Notification(TComponent* component, TOperation operation) override;
  // The window messages the tree list answers itself.
  void WMDestroy(TMessage& message);
  void WMSize(TMessage& message);
  void WMSetFocus(TMessage& message);
  void WMKillFocus(TMessage& message);
  void WMEraseBkgnd(TMessage& message);
  void WMCancelMode(TMessage& message);
  void WMSetCursor(TMessage& message);
  void WMNCCalcSize(TMessage& message);
  void WMNCHitTest(TMessage& message);
  void WMNCPaint(TMessage& message);
  void WMGetDlgCode(TMessage& message);
  void WMIMEStartComposition(TMessage& message);
  void WMTimer(TMessage& message);
  void WMHScroll(TMessage& message);
  void WMVScroll(TMessage& message);
  void WMLButtonDown(TMessage& message);
  void CMCancelMode(TMessage& message);
  void CMCtl3DChanged(TMessage& message);
  void CMMouseEnter(TMessage& message);
  void CMMouseLeave(TMessage& message);
  void CMExit(TMessage& message);
  // The control or a window inside it has the input focus, or the editor has.
  virtual bool IsPaintFocused();
  // The focused column as an absolute index (cached in FFocusedAbsoluteIndex).
  int FocusedColumnAbsoluteIndex();
  // The mouse handlers and the window procedure that starts drags itself.
  void MouseDown(TMouseButton button, TShiftState shift, int x, int y) override;
  void MouseMove(TShiftState shift, int x, int y) override;
  void MouseUp(TMouseButton button, TShiftState shift, int x, int y) override;
  void WndProc(TMessage& message) override;
  void HandleDragStart(TDragObject*& dragObject) override;
  void WMMButtonDown(TMessage& message);
  int FFocusedAbsoluteIndex = -1;  // -1: not computed

private:
  friend class TdxTreeListNode;
  struct TPaintContext;
  class TScrollingClip;
  void InvalidatePanel(RECT TdxGridDrawInfo::*part, bool updateNow);
  int RowSeparatorStart(const TdxGridDrawInfo& info, std::size_t k, TdxTreeListNode* lastNode);
  void TitleFontChanged();
  void MoveNodeData(TdxTreeListNode* node, void* newData);
  void FinishDrawInfo(TdxGridDrawInfo& info);
  void LayoutBandsAndHeaders(TdxGridDrawInfo& info);
  void PaintBandPanel(TPaintContext& pc);
  void PaintHeaderPanel(TPaintContext& pc);
  void PaintNewItemRow(TPaintContext& pc);
  void PaintIndicatorColumn(TPaintContext& pc);
  void PaintFooterPanel(TPaintContext& pc);
  void PaintStatusPanel(TPaintContext& pc);
  void PaintNodeRows(TPaintContext& pc);
  void PaintTreeArea(TPaintContext& pc, std::vector<POINT>& segments);
  void PaintRowCells(TPaintContext& pc, std::vector<POINT>& segments);
  void GetCellColors(TPaintContext& pc, TdxTreeListNode* node, bool selected, int header, int level,
                     bool hasChildren, bool isGroup, HBRUSH& brush, TColor& textColor, TColor& bkColor);
  HBRUSH GetLevelBrush(TPaintContext& pc, int level, TColor& color);
  bool IsCellSelected(const TdxGridRowDrawInfo& row, int column);
  bool IsRowWideSelected(const TdxGridRowDrawInfo& row);
  void DrawFocusRectangle(TPaintContext& pc, const RECT& rect);
  void HideDragImages();
  void ShowDragImages();
  void NodeListInsert(TdxTreeListNodeList& list, int index, TdxTreeListNode* node);
  int FindListEntry(const TdxTreeListNode* node) const;  // position in FListNodes, or -1
  int WalkAbsoluteIndex(const TdxTreeListNode* node) const;
  TdxTreeListNode* WalkAbsoluteNode(int index) const;
  void ClearListNodesNow();
  // Editing steps.
  void ShowInplaceEditor(bool activate);
  void PrepareInplaceEditor();
  void HideInplaceEditor(bool takeFocus);
  void SaveInplaceValue();
  void EndEditing(bool takeFocus);
  // Ends an edit for a node notification: without validating (a node being deleted), or keeping a
  // refusal for the caller to raise once the list is consistent again.
  void DiscardEditor();
  // The editor leaves its window while the rows move and comes back to its cell afterwards.
  void HideEditorWindow();
  // The in-place editor's window or one inside it (an editor's inner edit).
  bool IsEditorWindow(HWND wnd);
  void RestoreEditorWindow();
  // Top index and left coordinate back in their ranges after a size or layout change.
  void CorrectPositions();
  void RemoveSuperfluousScrollBars();
  // Pixels the rows move when the top row goes Rows rows up (Rows > 0) or down from Top.
  int ScrollDistance(TdxTreeListNode* top, int rows);
  void UpdateVertScrollBar();
  void UpdateHorzScrollBar();

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
  int FInplaceColumn = -1;
  TdxTreeListNode* FInplaceNode = nullptr;
  TdxTreeListNode* FTopVisibleNode = nullptr;
  TdxTreeListNode* FSelectionAnchor = nullptr;
  TdxTreeListNode* FDragNode = nullptr;
  bool FSelecting = false;
  int FLockSearching = 0;
  TCustomizeForm* FCustomizingForm = nullptr;
  TdxBandsListBox* FCustomizingBandListBox = nullptr;
  TdxHeadersListBox* FCustomizingHeaderListBox = nullptr;
  void CustomizingFormClose();
  void DestroyCustomizingForm();
  int FLeftCoord = 0;
  TImageList* FImages = nullptr;
  TdxTreeListNodeList FHiddenList;  // nodes kept out of the tree, freed with it
  mutable TdxTreeListListStats FListStats;
  bool FTrackNodeData = false;
  std::unique_ptr<std::map<void*, TdxTreeListNodeList>> FNodesByData;  // made on first use
  TImageList* FStateImages = nullptr;
  std::unique_ptr<TChangeLink> FImageChangeLink = std::make_unique<TChangeLink>();
  std::unique_ptr<TChangeLink> FStateChangeLink = std::make_unique<TChangeLink>();
  void SetImageList(TImageList*& field, TChangeLink& link, TImageList* value);
  void ImageListChange(TObject* sender);
  TdxTreeListCellViewData FCellViewData;
  int FLockHideDragImages = 0;
  std::unique_ptr<TBitmap> FDrawBitmap;
  bool FSelfChangingTitleFont = false;
  TdxTreeListPaintStats FPaintStats;
  TdxInplaceEdit* FInplaceEdit = nullptr;
  int FInplaceColumnIndex = -1;
  bool FClickHoverTimerActive = false;
  POINT FHitTest{};  // the last non-client hit test's point (screen)
  // Mouse tracking.
  TdxTreeListHitInfo FHitInfo;  // the press's hit, kept until the release
  POINT FPointDragging{};
  int FSizingPos = 0;
  int FPrevSizingPos = 0;
  int FMouseDownLeftCoord = 0;
  bool FlagCtrl = false;
  bool FlagSelect = false;
  // The customizing lists drag hidden bands and headers out through the move above.
  friend class TdxBandsListBox;
  friend class TdxHeadersListBox;
  int FDragAbsoluteBandIndex = -1;
  int FDragAbsoluteHeaderIndex = -1;
  TCursor FMoveCursor = crDefault;
  SIZE FMouseScrollMarkerSize{};
  // The drag.
  std::unique_ptr<TDragImageList> FDragImageList;
  bool FShowDragImage = true;
  TdxTreeListNode* FDragExpandNode = nullptr;
  UINT_PTR FDragExpandTimerId = 0;
  POINT FArrowsPos{-100, -100};
  RECT FSaveArrowsRect{};
  bool FFlagSaveArrowsRect = false;
  void BuildNodeDragImage(TdxTreeListNode* node, int column);
  void BuildBandDragImage(int band);
  void BuildHeaderDragImage(int column);
  void AddDragImage(TBitmap& bitmap, TColor mask);
  void SetArrowsRect(bool band);
  void MoveDragImage(TCursor cursor);
  void StopAutoScrollTimers();
  void StartHorzAutoScroll(int x, const TdxGridDrawInfo& info);
  void MouseSelectScroll(int y);
  void EndSizing(const TdxTreeListHitInfo& hit);
  // Hot tracking.
  TdxTreeListHotTrackInfo FHotTrackInfo;
  TdxTreeListNode* FTooltipNode = nullptr;
  int FTooltipColumn = -1;
  std::unique_ptr<TdxContainerHintWindow> FTooltipWindow;
  std::unique_ptr<TdxContainerHintWindow> FHintWindow;
  UINT_PTR FShowHintTimerId = 0;
  UINT_PTR FHideHintTimerId = 0;
  void InvalidateHotTrack(const TdxTreeListHotTrackInfo& info);
  int TextWidthOf(const WideString& text);
  // Drops the mouse's references to a node going away (null: to every node).
  void ForgetMouseNode(TdxTreeListNode* node);
  TdxTreeListScrollStats FScrollStats;
  void SortNodeList(TdxTreeListNodeList& list, int column, bool desc);
  template <class T>
  void StoreRepaint(T& field, T value) {
    if (field == value) return;
    field = value;
    Invalidate();
  }
  template <class T>
  void StoreLayout(T& field, T value) {
    if (field == value) return;
    field = value;
    LayoutChanged();
  }
  void ClampStoreLayoutRepaint(int& field, int value) {
    if (field == value) return;
    field = value;
    LayoutChanged();
    Invalidate();
  }
  template <class T>
  void StoreRecreate(T& field, T value) {
    if (field == value) return;
    field = value;
    if (HandleAllocated()) RecreateWnd();
  }
};

// Text measuring and registry paths of the unit.
int CalcTextLines(const WideString& text, int width, int lineHeight, int& height, int inset, bool exact,
                  TFont& font, int maxLines);
WideString NormalizeRegistryPath(const WideString& path);

}  // namespace tvk
