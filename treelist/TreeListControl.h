#pragma once
// The tree list with columns and bands: it answers the base tree list's
// questions about bands, headers and cells from its column components and
// its band collection, keeps the header arrangement cached for painting,
// keeps header rows compact, and makes one in-place editor per editor class.
// Its nodes are text nodes, one string per column.
#include <memory>
#include <vector>

#include "Lists.h"
#include "TreeList.h"
#include "TreeListBands.h"
#include "TreeListColumn.h"

namespace tvk {

class TdxTreeListDesigner;
class TCustomdxTreeListControl;
class TdxRegIniWrapper;

// A row that keeps its cell texts: entry i is the text of the column with
// absolute index i (missing entries read as empty).
class TdxTreeListTextNode : public TdxTreeListNode {
public:
  TVK_CLASS(TdxTreeListTextNode, TdxTreeListNode)
  explicit TdxTreeListTextNode(TCustomdxTreeList* owner) : TdxTreeListNode(owner) {}
  int32_t FImageIndex = 0;
  int32_t FSelectedIndex = -1;
  int32_t FStateIndex = -1;
  TStringList Strings;
};

// Makes a node of a node class for its owner.
using TdxTreeListNodeClass = TdxTreeListNode* (*)(TCustomdxTreeList* owner);
template <class T>
TdxTreeListNodeClass NodeClassOf() {
  return [](TCustomdxTreeList* owner) -> TdxTreeListNode* { return new T(owner); };
}

using TTLGetImageEvent = std::function<void(TObject* Sender, TdxTreeListNode* Node, int& Index)>;
using TdxTLBandEvent = std::function<void(TObject* Sender, TdxTreeListBand* Band)>;
using TdxTLColumnEvent = std::function<void(TObject* Sender, TdxTreeListColumn* Column)>;
using TdxTLCanBandDragging = std::function<void(TObject* Sender, TdxTreeListBand* Band, bool& Allow)>;
using TdxTLCanHeaderDragging = std::function<void(TObject* Sender, TdxTreeListColumn* Column, bool& Allow)>;
using TdxTLShowBand = std::function<void(TObject* Sender, TdxTreeListBand* Band, int Index)>;
using TdxTLShowHeader =
    std::function<void(TObject* Sender, TdxTreeListColumn* Column, int BandIndex, int RowIndex, int ColIndex)>;
using TTLColumnMovedEvent = std::function<void(TObject* Sender, int FromIndex, int ToIndex)>;
using TdxTLColumnSorted = std::function<void(TObject* Sender, TdxTreeListColumn* Column, TdxTreeListColumnSort& Sorted)>;
using TdxTLColumnSorting = std::function<void(TObject* Sender, TdxTreeListColumn* Column, bool& Allow)>;
using TdxTLCalcRowLineHeight = std::function<void(
    TObject* Sender, TdxTreeListNode* Node, TdxTreeListColumn* Column, const WideString& Text, int BoundsWidth,
    int TextHeight, int MaxLineCount, bool InflateFlag, bool GridFlag, int& LineCount, int& LineHeight, bool& Done)>;
using TdxTLIsExistFooterCell = std::function<void(TObject* Sender, TdxTreeListColumn* Column, bool& Exist)>;
using TdxTLGetNodeDragText =
    std::function<void(TObject* Sender, TdxTreeListNode* Node, TdxTreeListColumn* Column, WideString& Text)>;
using TdxTLCustomDrawBand =
    std::function<void(TObject* Sender, TdxTreeListBand* ABand, TCanvas& ACanvas, RECT ARect, WideString& AText,
                       TColor& AColor, TFont& AFont, TAlignment& AAlignment, bool& ADone)>;
// The summary footer's cells (no node).
using TdxTLCustomDrawFooterCell =
    std::function<void(TObject* Sender, TCanvas& ACanvas, RECT ARect, TdxTreeListNode* ANode,
                       TdxTreeListColumn* AColumn, WideString& AText, TColor& AColor, TFont& AFont,
                       TAlignment& AAlignment, bool& ADone)>;
// A row footer's cells, footer level AFooterIndex of the node.
using TdxTLCustomDrawFooterNode =
    std::function<void(TObject* Sender, TCanvas& ACanvas, RECT ARect, TdxTreeListNode* ANode,
                       TdxTreeListColumn* AColumn, int AFooterIndex, WideString& AText, TColor& AColor,
                       TFont& AFont, TAlignment& AAlignment, bool& ADone)>;
// Draws on the indicator cell's bitmap, which then goes to the screen.
using TdxTLCustomDrawIndicator =
    std::function<void(TObject* Sender, TCanvas& ACanvas, RECT ARect, TdxTreeListNode* ANode,
                       TdxGridIndicatorKind AKind, TColor& AColor, TFont& AFont, bool& ADone)>;
using TdxTLCustomDrawPreview =
    std::function<void(TObject* Sender, TCanvas& ACanvas, RECT ARect, TdxTreeListNode* ANode, bool ASelected,
                       WideString& AText, TColor& ATextColor, TColor& AColor, TFont& AFont, bool& ADone)>;
using TdxTLGetLevelColor = std::function<void(TObject* Sender, int ALevel, TColor& AColor)>;
using TdxTLGetUsedImages = std::function<void(TObject* Sender, TdxTreeListNode* Node, TImageList*& Images)>;

class TCustomdxTreeListControl : public TCustomdxTreeList {
public:
  TVK_CLASS(TCustomdxTreeListControl, TCustomdxTreeList)
  explicit TCustomdxTreeListControl(TComponent* owner);
  ~TCustomdxTreeListControl() override;

  // --- columns
  int ColumnCount() const { return int(FColumns.size()); }
  TdxTreeListColumn* Columns(int index) const;
  int VisibleColumnCount() const;
  TdxTreeListColumn* CreateColumn(TComponentClass columnClass) { return CreateColumnEx(columnClass, this); }
  TdxTreeListColumn* CreateColumnEx(TComponentClass columnClass, TComponent* owner);
  virtual void DestroyColumns();
  virtual void AssignColumns(TCustomdxTreeListControl* source);
  TdxTreeListColumn* ColumnByName(std::wstring_view name) const;
  int GetAbsoluteColumnIndex(int visibleIndex) const;
  int GetVisibleColumnIndex(int absoluteIndex) const;
  Variant GetDisplayValue(TdxTreeListNode* node, int absoluteIndex);
  void RefreshDefaultColumnsWidths();
  void RestoreColumnsDefaults();
  // Appends and links a column; RemoveColumn unlinks it (the column's TreeList does both).
  void AddColumn(TdxTreeListColumn* column);
  virtual void RemoveColumn(TdxTreeListColumn* column);

  // --- bands and header rows
  TdxTreeListBands& Bands() { return *FBands; }
  void SetBands(const TdxTreeListBands& value) { FBands->Assign(value); }
  int BandMaxRowCount() const { return FBandMaxRowCount; }
  void SetBandMaxRowCount(int value);
  int BandRowCountValue() const { return FBandRowCount; }
  void SetBandRowCount(int value) override;
  bool DefaultLayout() const { return FDefaultLayout; }
  void SetDefaultLayout(bool value);
  int HeaderMinRowCount() const { return FHeaderMinRowCount; }
  void SetHeaderMinRowCount(int value);
  int HeaderPanelMaxRowCount() const { return FHeaderPanelMaxRowCount; }
  void SetHeaderPanelMaxRowCount(int value);
  int HeaderPanelRowCountValue() const { return FHeaderPanelRowCount; }
  void SetHeaderPanelRowCount(int value) override;
  bool HeaderPanelRowCountStored() const { return (OptionsEx() & OptionBit(aoAutoHeaderPanelHeight)) == 0; }
  // Compacts the header rows of every band (after column changes).
  void RefreshRowIndexes();
  int LockRefreshRowIndexes = 0;
  bool CustomStoring = false;
  TdxTreeListDesigner* Designer() const { return FDesigner; }
  TdxTreeListNodeClass DefaultNodeClass = NodeClassOf<TdxTreeListTextNode>();

  // --- the header caches (filled by MakeBandHeaderList, empty when stale)
  bool HeaderCachesFilled() const { return FCachesFilled; }

  // --- the control's virtual operations
  virtual void MoveColumnData(int oldIndex, int newIndex);
  virtual void ResetAutoHeaderPanelHeight();
  virtual void BandsChanged();
  virtual void ColumnChanged(TdxTreeListColumn* column);
  virtual void HeaderRowCountChanged() { LayoutChanged(); }
  virtual void AddSortedColumn(TdxTreeListColumn* column);
  // OnColumnSorting's answer (allowed unless it refuses).
  virtual bool DoColumnSorting(TdxTreeListColumn* column);
  // A header click: unsorted or descending becomes ascending, ascending descending; Ctrl clears.
  virtual void ToggleColumnSort(TdxTreeListColumn* column);
  virtual void BeforeColumnSorted(TdxTreeListColumn* column) { (void)column; }
  virtual void RemoveSortedColumn(TdxTreeListColumn* column);
  virtual void AfterColumnSorted(TdxTreeListColumn* column) { (void)column; }
  virtual void GetEditBounds(const RECT& rect, RECT& bounds);
  // The width that shows every cell text and the caption of Column (null: of every column);
  // without a window the fit waits for the window.
  virtual void ApplyBestFit(TdxTreeListColumn* column);
  bool NeedToApplyBestFit = false;
  // The header panel as deep as the deepest shown column's row.
  void HeaderPanelBestFit() override;
  // The lines Text takes in a cell BoundsWidth wide, measured by the column's editor class.
  bool ColumnCalcLineCount(TdxTreeListNode* node, int absoluteIndex, int& lineHeight, int& lineCount, bool gridFlag,
                           bool inflateFlag, int maxLineCount, int textHeight, int boundsWidth,
                           const WideString& text) override;
  int LockSorting() const { return FLockSorting; }
  virtual void RefreshSorting() {}
  void BeginSorting() { ++FLockSorting; }
  void EndSorting();
  int SortedColumnCount() override { return int(FSortedColumns.size()); }
  bool SortedColumnDesc(int index) override;
  int SortedColumnIndex(int index) override;
  TdxTreeListColumn* SortedColumns(int index) const;

  // --- editors: one per editor class, made on first need, freed with the control
  TdxInplaceEdit* GetEditor() override;
  TdxInplaceEdit* CreateEditor() override;
  int EditorCount() const { return int(FEditors.size()); }
  void InitEditProperties(TdxInplaceEdit* editor) override;
  void InitEditValue(TdxTreeListNode* node, TdxInplaceEdit* editor, Variant& value) override;
  void DoEditing(TdxTreeListNode* node, bool& allow) override;
  // The focused cell is editable: a focused column that is not read-only.
  bool CanEditModify() override;

  // --- position queries through the hit test
  TdxTreeListBand* GetBandAt(int x, int y);
  TdxTreeListColumn* GetColumnAt(int x, int y);
  TdxTreeListColumn* GetHeaderColumnAt(int x, int y);
  TdxTreeListColumn* GetFooterColumnAt(int x, int y);
  TdxTreeListColumn* GetNodeFooterColumnAt(int x, int y);

  // --- answers to the base tree list
  int GetBandCount() override { return FBands->Count(); }
  int GetVisibleBandCount() override { return FBands->VisibleCount(); }
  int GetAbsoluteBandIndex(int index) override { return FBands->GetAbsoluteIndex(index); }
  int GetVisibleBandIndex(int index) override { return FBands->GetVisibleIndex(index); }
  TAlignment GetAbsoluteBandAlignment(int band) override;
  void GetAbsoluteBandCaption(int band, WideString& text) override;
  int GetAbsoluteBandWidth(int band) override;
  TAlignment GetBandAlignment(int band) override;
  void GetBandCaption(int band, WideString& text) override;
  int GetBandWidthStored(int band) override;
  int GetBandMinWidthStored(int band) override;
  bool IsBandOnlyOwnColumns(int band) override;
  int GetFixedLeftBandIndex() override;
  int GetFixedRightBandIndex() override;
  bool IsBandSizing(int band) override;
  bool IsBandCustomizingDisabled(int band) override;
  bool IsBandHidden(int band) override;
  bool IsBandHeaderWidth() override { return FDefaultLayout || TCustomdxTreeList::IsBandHeaderWidth(); }
  int GetValueCount() override { return ColumnCount(); }
  int GetHeaderAbsoluteIndex(int band, int row, int col) override;
  int GetHeaderColCount(int band, int row) override;
  int GetHeaderRowCount(int band) override;
  int GetColumnBandIndex(int column) override;
  int GetColumnRowIndex(int column) override;
  int GetColumnColIndex(int column) override;
  TAlignment GetColumnAlignment(TdxTreeListNode* node, int column) override;
  TAlignment GetHeaderAlignment(int column) override;
  void GetColumnCaption(int column, WideString& text) override;
  void GetHeaderCaption(int column, WideString& text) override;
  int GetColumnWidth(int column) override;
  int GetColumnMinWidth(int column) override;
  TColor GetColumnColor(int column) override;
  TFont& GetColumnFont(int column) override;
  bool IsColumnFontAssigned(int column) override;
  TBitmap* GetHeaderGlyph(int column) override;
  bool IsHeaderGlyphAssigned(int column) override;
  int GetHeaderMaxLineCount(int column) override;
  bool IsColumnTabStop(int column) override;
  bool GetColumnSizing(int column) override;
  TdxTreeListColumnSort GetHeaderSorted(int column) override;
  int GetHeaderDropDownState(int column) override;
  int GetHeaderWidth(int column) override;
  int GetColumnLineHeight(TCanvas& canvas, int column) override;
  bool GetHeaderMultiLine(int column) override;
  bool IsHeaderVisible(int column) override;
  bool IsHeaderInCustomizeBox(int column) override;
  bool IsHeaderCustomizingDisabled(int column) override;
  int GetMaxBandRowCount() override { return FBandMaxRowCount; }
  int GetBandRowCount() override { return FBandRowCount; }
  int GetMaxHeaderPanelRowCount() override { return FHeaderPanelMaxRowCount; }
  int GetHeaderPanelRowCount() override { return FHeaderPanelRowCount; }
  int GetMinHeaderPanelRowCount() override;
  bool IsExistFooterCell(int column) override;
  void GetCellText(TdxTreeListNode* node, int column, WideString& text) override;
  WideString GetNodeDragText(TdxTreeListNode* node, int column) override;
  void SetBandWidth(int band, int width) override;
  void SetHeaderWidth(int column, int width) override;
  // Proportional resizing of the hidden sizable bands, or of a band's hidden sizable columns.
  using TCustomdxTreeList::ScaleBandWidths;
  using TCustomdxTreeList::ScaleHeaderWidths;
  void ScaleBandWidths(int numerator, int denominator);
  void ScaleHeaderWidths(int band, int numerator, int denominator);
  void MoveBand(int from, int to) override;
  void HideBand(int band) override;
  void ShowBandAt(int band, int position);
  void HideHeader(int column) override;
  void MoveHeaderTo(int column, int visibleBand, int row, int col);
  void ShowHeaderAt(int column, int visibleBand, int row, int col);
  bool CanBandDragging(int band) override;
  // Moves, shows and scales through the bands and columns.
  void ScaleBandWidthsBy(int numerator, int denominator) override { ScaleBandWidths(numerator, denominator); }
  void ScaleHeaderWidthsBy(int band, int numerator, int denominator) override {
    ScaleHeaderWidths(band, numerator, denominator);
  }
  void ShowBandAtPosition(int band, int position) override { ShowBandAt(band, position); }
  void MoveHeaderToPosition(int column, int band, int row, int col) override { MoveHeaderTo(column, band, row, col); }
  void ShowHeaderAtPosition(int column, int band, int row, int col) override { ShowHeaderAt(column, band, row, col); }
  // A one-click editor (a check box) under the true point of the release.
  bool IsClickEdit(int column, TdxTreeListNode* node, int x, int y) override;
  // Cells of hot-tracking columns track without aoHotTrack; the column picks the cursor.
  bool CanHotTrackCellAt(int x, int y, int32_t& activeIndex, int column, TdxTreeListNode* node) override;
  void DoHotTrackNode(const TdxTreeListHotTrackInfo& info, TCursor& cursor) override;
  bool CanHeaderDragging(int column) override;
  void ColumnClick(int column) override;
  void BandClick(int band) override;
  void DoChangedColumnsWidth() override { if (OnChangedColumnsWidth) OnChangedColumnsWidth(this); }

  // --- cell painting through the columns' editor classes
  bool IsCustomDrawCell(TdxTreeListNode* node, int column) override;
  void DoCustomDrawCell(TCanvas& canvas, const RECT& rect, bool& done, TAlignment& alignment, TFont& font,
                        TColor& color, WideString& text, HBRUSH brush, bool rightEdge, bool leftEdge,
                        bool newItemRow, bool focused, bool selected, int column, TdxTreeListNode* node) override;
  void DrawCellValue(HDC dc, const RECT& rect, TdxTreeListCellViewData& cell, int column) override;
  // --- bands, headers, footers, previews and indicators through the events
  bool IsCustomDrawBand(int band) override { (void)band; return bool(OnCustomDrawBand); }
  bool IsCustomDrawFooter(TdxTreeListNode* node, int column, int footerIndex) override;
  bool IsCustomDrawHeader(int column) override;
  bool IsCustomDrawPreview() override { return OnCustomDrawPreviewCell || OnCustomDrawPreview; }
  bool IsLevelColor() override { return bool(OnGetLevelColor); }
  void DoCustomDrawBand(int band, TCanvas& canvas, bool& done, TAlignment& alignment, TFont& font, TColor& color,
                        WideString& text, const RECT& clip, const RECT& rect) override;
  void DoCustomDrawFooter(TCanvas& canvas, const RECT& rect, bool& done, TAlignment& alignment, TFont& font,
                          TColor& color, WideString& text, int footerIndex, int column,
                          TdxTreeListNode* node) override;
  void DoCustomDrawHeader(int column, TCanvas& canvas, bool& done, TdxTreeListColumnSort& sorted,
                          TAlignment& alignment, TFont& font, TColor& color, WideString& text, const RECT& clip,
                          const RECT& rect) override;
  void DoCustomDrawIndicator(HDC dc, const RECT& rect, bool& done, TdxLookAndFeel look, TdxGridIndicatorKind kind,
                             TBitmap& bitmap, HBRUSH brush, TdxTreeListNode* node, const RECT& clip) override;
  void DoCustomDrawPreview(TCanvas& canvas, const RECT& rect, bool& done, TFont& font, TColor& textColor,
                           TColor& color, WideString& text, bool selected, TdxTreeListNode* node) override;
  void GetLevelColor(int level, TColor& color) override;
  // The node's images: the control's, unless OnGetUsedImages names others.
  TImageList* GetNodeImages(TdxTreeListNode* node) override;
  virtual void DoGetUsedImages(TdxTreeListNode* node, TImageList*& images);

  // --- text nodes
  TdxTreeListNode* CreateNode() override;
  int GetNodeImageIndex(const TdxTreeListNode* node) override;
  int GetNodeSelectedIndex(const TdxTreeListNode* node) override;
  int GetNodeStateIndex(const TdxTreeListNode* node) override;
  Variant GetNodeVariant(const TdxTreeListNode* node, int column) override;
  WideString GetNodeString(const TdxTreeListNode* node, int column) override;
  void SetNodeImageIndex(TdxTreeListNode* node, int value) override;
  void SetNodeSelectedIndex(TdxTreeListNode* node, int value) override;
  void SetNodeStateIndex(TdxTreeListNode* node, int value) override;
  void SetNodeString(TdxTreeListNode* node, int column, const WideString& value) override;
  void SetNodeVariant(TdxTreeListNode* node, int column, const Variant& value) override;
  void DeleteNodeColumnData(TdxTreeListNode* node, int column) override;
  // Every text node of the tree and of the hidden list, parents before children.
  void ForEachNode(const std::function<void(TdxTreeListNode*)>& action);

  // --- form streaming
  void GetChildren(const std::function<void(TComponent*)>& proc, TComponent* root) override;

  // --- the layout store: bands by ID and columns by component name, under a
  // key of the current user's registry or in sections of an ini file
  const WideString& IniFileName() const { return FIniFileName; }
  void SetIniFileName(const WideString& value) { FIniFileName = value; }
  const WideString& IniSectionName() const { return FIniSectionName; }
  void SetIniSectionName(const WideString& value) { FIniSectionName = value; }
  const WideString& RegistryPath() const { return FRegistryPath; }
  void SetRegistryPath(const WideString& value) { FRegistryPath = value; }
  void SaveToRegistry(const WideString& regPath);
  // Reads a key that exists; a missing key changes nothing and is not created.
  void LoadFromRegistry(const WideString& regPath);
  void EraseRegistryEntries(const WideString& regPath);
  void SaveToIniFile(const WideString& fileName);
  void LoadFromIniFile(const WideString& fileName);
  // The automatic load and save ran (each at most once in the control's life).
  bool LoadedLayout() const { return FLoadedLayout; }
  bool SavedLayout() const { return FSavedLayout; }
  // The name of the form the control was last placed on: an ini layout saved
  // while the control is destroyed, off its form, still finds its section.
  const WideString& ParentFormName() const { return FParentFormName; }
  void SetParent(TWinControl* parent) override;

  TTLGetImageEvent OnGetImageIndex, OnGetSelectedIndex, OnGetStateIndex;
  TdxTLBandEvent OnBandClick, OnHideBand;
  TdxTLShowBand OnShowBand;
  TdxTLColumnEvent OnColumnClick, OnHideHeader, OnHeaderMoved;
  TdxTLShowHeader OnShowHeader;
  TdxTLCanBandDragging OnCanBandDragging;
  TdxTLCanHeaderDragging OnCanHeaderDragging;
  TTLColumnMovedEvent OnColumnMoved;
  TdxTLColumnSorted OnColumnSorted;
  TdxTLColumnSorting OnColumnSorting;
  TdxTLCalcRowLineHeight OnCalcRowLineHeight;
  TdxTLIsExistFooterCell OnIsExistFooterCell;
  TdxTLGetNodeDragText OnGetNodeDragText;
  TNotifyEvent OnChangedColumnsWidth;
  // A cell goes to OnCustomDraw, then OnCustomDrawCell and OnCustomDrawCellWide, then its column.
  TdxTLCustomDrawCell OnCustomDraw, OnCustomDrawCell, OnCustomDrawCellWide;
  TdxTLCustomDrawBand OnCustomDrawBand;
  // A header goes to the control's handler, then to its column's.
  TdxTLCustomDrawHeader OnCustomDrawColumnHeader;
  TdxTLCustomDrawFooterCell OnCustomDrawFooter;
  TdxTLCustomDrawFooterNode OnCustomDrawFooterNode;
  TdxTLCustomDrawIndicator OnCustomDrawIndicator;
  // A preview goes to OnCustomDrawPreview, then OnCustomDrawPreviewCell.
  TdxTLCustomDrawPreview OnCustomDrawPreview, OnCustomDrawPreviewCell;
  TdxTLGetLevelColor OnGetLevelColor;
  TdxTLGetUsedImages OnGetUsedImages;

  void ClearListNodes() override;
  void ResetNodeRowHeights() override;
  void ClearHeaderBounds() override { FHeaderBounds.clear(); }
  void MakeBandHeaderList() override;
  void CalcHeaderBounds() override;
  void MakeListNodes() override;
  void LayoutRefreshing() override;

protected:
  void Loaded() override;
  TVK_MESSAGES();
  void CMFontChanged(TMessage& message);
  void CMCursorChanged(TMessage& message);
  void CMWinIniChange(TMessage& message);

  // The layout store's steps; descendants may add values of their own.
  virtual void BeginLoadLayout();
  virtual void EndLoadLayout();
  virtual void ReadLayoutValues(TdxRegIniWrapper& store, const WideString& path);
  virtual void ReadColumnLayout(TdxRegIniWrapper& store, const WideString& section, TdxTreeListColumn* column);
  virtual void WriteLayoutValues(TdxRegIniWrapper& store, const WideString& path);
  virtual void WriteColumnLayout(TdxRegIniWrapper& store, const WideString& section, TdxTreeListColumn* column);
  virtual void EraseLayoutValues(TdxRegIniWrapper& store, const WideString& path);
  void SaveLayout(TdxRegIniWrapper& store, const WideString& path);
  void LoadLayout(TdxRegIniWrapper& store, const WideString& path);
  void AutoLoadLayout() override;
  void AutoSaveLayout() override;
  // The automatic save as destruction begins: an error goes to the
  // application's handler and the destruction goes on.
  void SaveLayoutBeforeDestruction() noexcept;
  // SortedColumns rebuilt from the columns' SortedOrder.
  void RebuildSortedColumns();
  // Every column unsorted and SortedColumns empty, without notices or re-sorting.
  void ResetColumnSorts();
  // A fit asked for before the window existed runs now.
  void CreateWnd() override;

private:
  friend class TdxTreeListColumn;
  friend class TdxTreeListBand;
  friend class TdxTreeListBands;
  friend class TdxTreeListDesigner;
  TdxTreeListColumn* ColumnAt(int index) const {
    return index >= 0 && index < ColumnCount() ? FColumns[std::size_t(index)] : nullptr;
  }
  TdxTreeListBand* VisibleBand(int band) const { return FBands->GetVisibleItem(band); }
  void StoreDefaultLayout(bool value) { FDefaultLayout = value; }
  // The columns of a band's header row in list order (the counting path).
  std::vector<int> CountRowColumns(int absoluteBand, int row) const;

  std::unique_ptr<TdxTreeListBands> FBands;
  int FBandMaxRowCount = 5;
  int FBandRowCount = 1;
  std::vector<TdxTreeListColumn*> FColumns;  // not owned
  bool FDefaultLayout = true;
  TdxTreeListDesigner* FDesigner = nullptr;
  std::vector<TdxInplaceEdit*> FEditors;  // owned by the control as components
  int FHeaderMinRowCount = 1;
  int FHeaderPanelMaxRowCount = 5;
  int FHeaderPanelRowCount = 1;
  int FLockSorting = 0;
  bool FSetAutoHeaderPanelRowCount = false;
  std::vector<TdxTreeListColumn*> FSortedColumns;
  std::vector<int> FBandList;         // absolute band index per visible index
  std::vector<int> FBandVisibleList;  // visible index (or -1) per absolute band index
  bool FBandListLoading = false;
  std::vector<std::vector<std::vector<int>>> FHeaderAbsoluteList;  // per visible band, per row
  bool FHeaderListLoading = false;
  std::vector<int> FHeaderBounds;
  bool FHeaderBoundsLoading = false;
  bool FCachesFilled = false;  // the band and header lists are current
  WideString FIniFileName, FIniSectionName, FRegistryPath;
  WideString FParentFormName;
  bool FLoadedLayout = false, FSavedLayout = false;
};

// A design-time host's hook on a tree list: registers itself as the tree
// list's designer and leaves again when freed; the tree list frees it.
class TdxTreeListDesigner : public TObject {
public:
  TVK_CLASS(TdxTreeListDesigner, TObject)
  explicit TdxTreeListDesigner(TCustomdxTreeListControl* treeList);
  ~TdxTreeListDesigner() override;
  virtual void LayoutChanged() {}
  TCustomdxTreeListControl* TreeList;
};

}  // namespace tvk
