#include "TreeListControl.h"

#include <algorithm>
#include <initializer_list>
#include <tuple>

#include "Application.h"
#include "Forms.h"
#include "IniFiles.h"
#include "Registry.h"
#include "Variants.h"
#include "dxUtils.h"

namespace tvk {

namespace {

// The one-pixel frame of an inverted selection's cell: top and bottom always,
// the sides only at the row's edges; the rectangle shrinks inside it.
void DrawCellFrame(HDC dc, RECT& rect, HBRUSH brush, bool rightEdge, bool leftEdge) {
  RECT line{rect.left, rect.top, rect.right, rect.top + 1};
  FillRect(dc, &line, brush);
  line = RECT{rect.left, rect.bottom - 1, rect.right, rect.bottom};
  FillRect(dc, &line, brush);
  ++rect.top;
  --rect.bottom;
  if (leftEdge) {
    line = RECT{rect.left, rect.top, rect.left + 1, rect.bottom};
    FillRect(dc, &line, brush);
    ++rect.left;
  }
  if (rightEdge) {
    line = RECT{rect.right - 1, rect.top, rect.right, rect.bottom};
    FillRect(dc, &line, brush);
    --rect.right;
  }
}

}  // namespace

namespace {

template <class W>
void InUpdate(TCustomdxTreeList& tree, W&& work) {
  tree.BeginUpdate();
  try {
    work();
  } catch (...) {
    tree.EndUpdate();
    throw;
  }
  tree.EndUpdate();
}

TdxTreeListTextNode* AsTextNode(const TdxTreeListNode* node) {
  return node && node->Is<TdxTreeListTextNode>() ? const_cast<TdxTreeListTextNode*>(
                                                        static_cast<const TdxTreeListTextNode*>(node))
                                                  : nullptr;
}

// Empty strings appended until the list has an entry Index.
void PadStrings(TStringList& strings, int index) {
  while (strings.Count() <= index) strings.Add(WideString());
}

}  // namespace

TCustomdxTreeListControl::TCustomdxTreeListControl(TComponent* owner) : TCustomdxTreeList(owner) {
  FBands = std::make_unique<TdxTreeListBands>(nullptr, CollectionItemClassOf<TdxTreeListBand>());
  FBands->Add();  // before the link: adding it needs no layout work
  FBands->FTreeList = this;
}

TCustomdxTreeListControl::~TCustomdxTreeListControl() {
  SaveLayoutBeforeDestruction();
  PrepareDestroy();
  delete FDesigner;  // its destructor clears FDesigner
  ClearListNodes();
  DestroyColumns();
  FBands.reset();
}

// ---- columns

TdxTreeListColumn* TCustomdxTreeListControl::Columns(int index) const { return ColumnAt(index); }

int TCustomdxTreeListControl::VisibleColumnCount() const {
  return int(std::count_if(FColumns.begin(), FColumns.end(), [](TdxTreeListColumn* c) { return c->Visible(); }));
}

TdxTreeListColumn* TCustomdxTreeListControl::CreateColumnEx(TComponentClass columnClass, TComponent* owner) {
  TComponent* made = columnClass->Create(owner);
  auto* column = made->Is<TdxTreeListColumn>() ? static_cast<TdxTreeListColumn*>(made) : nullptr;
  if (!column) {
    if (!owner) delete made;
    throw EComponentError(L"Invalid column class " + WideString(columnClass->Info->Name));
  }
  // The next number while the name is taken; every owned component can take at most one.
  int limit = ColumnCount() + 1 + (owner ? owner->ComponentCount() : 0);
  for (int n = ColumnCount() + 1;; ++n) {
    try {
      column->SetName(Name() + L"Column" + std::to_wstring(n));
      break;
    } catch (const EComponentError&) {
      if (n > limit) throw;
    }
  }
  column->SetTreeList(this);
  return column;
}

void TCustomdxTreeListControl::DestroyColumns() {
  while (!FColumns.empty()) {
    TdxTreeListColumn* column = FColumns.back();
    RemoveColumn(column);
    delete column;
  }
}

void TCustomdxTreeListControl::AssignColumns(TCustomdxTreeListControl* source) {
  if (!source || source == this) return;
  InUpdate(*this, [&] {
    TComponent* owner = FColumns.empty() ? static_cast<TComponent*>(this) : FColumns.front()->Owner();
    DestroyColumns();
    for (TdxTreeListColumn* from : source->FColumns) {
      TdxTreeListColumn* column = CreateColumnEx(from->ColumnClass(), owner);
      column->Assign(*from);
      column->SetName(from->Name());  // a clash ends here, the columns made so far kept
    }
  });
}

TdxTreeListColumn* TCustomdxTreeListControl::ColumnByName(std::wstring_view name) const {
  for (TdxTreeListColumn* column : FColumns) {
    const WideString& own = column->Name();
    if (CompareStringOrdinal(own.data(), int(own.size()), name.data(), int(name.size()), TRUE) == CSTR_EQUAL)
      return column;
  }
  return nullptr;
}

int TCustomdxTreeListControl::GetAbsoluteColumnIndex(int visibleIndex) const {
  if (visibleIndex < 0) return -1;
  for (int i = 0; i < ColumnCount(); ++i)
    if (FColumns[std::size_t(i)]->Visible() && visibleIndex-- == 0) return i;
  return -1;
}

int TCustomdxTreeListControl::GetVisibleColumnIndex(int absoluteIndex) const {
  if (absoluteIndex < 0 || absoluteIndex >= ColumnCount()) return -1;
  int count = 0;
  for (int i = 0; i <= absoluteIndex; ++i)
    if (FColumns[std::size_t(i)]->Visible()) ++count;
  return count - 1;
}

Variant TCustomdxTreeListControl::GetDisplayValue(TdxTreeListNode* node, int absoluteIndex) {
  Variant value(GetNodeString(node, absoluteIndex));
  TdxTreeListColumn* column = ColumnAt(absoluteIndex);
  return column ? column->GetDisplayValue(node, value) : value;
}

void TCustomdxTreeListControl::RefreshDefaultColumnsWidths() {
  for (TdxTreeListColumn* column : FColumns) column->RefreshDefaultWidth();
}

void TCustomdxTreeListControl::RestoreColumnsDefaults() {
  InUpdate(*this, [&] {
    for (TdxTreeListColumn* column : FColumns) column->RestoreDefaults();
  });
}

void TCustomdxTreeListControl::AddColumn(TdxTreeListColumn* column) {
  FColumns.push_back(column);
  column->FTreeList = this;
  ColumnChanged(nullptr);
}

void TCustomdxTreeListControl::RemoveColumn(TdxTreeListColumn* column) {
  column->FTreeList = nullptr;
  std::erase(FColumns, column);
  std::erase(FSortedColumns, column);
  if (!IsDestroying()) ColumnChanged(nullptr);
}

// ---- bands and header rows

void TCustomdxTreeListControl::SetBandMaxRowCount(int value) {
  FBandMaxRowCount = std::max(value, 1);
  SetBandRowCount(FBandRowCount);
}

void TCustomdxTreeListControl::SetBandRowCount(int value) {
  value = std::clamp(value, 1, FBandMaxRowCount);
  if (value == FBandRowCount) return;
  FBandRowCount = value;
  BandsChanged();
}

void TCustomdxTreeListControl::SetHeaderPanelMaxRowCount(int value) {
  FHeaderPanelMaxRowCount = std::max(value, 1);
  SetHeaderPanelRowCount(FHeaderPanelRowCount);
}

void TCustomdxTreeListControl::SetHeaderPanelRowCount(int value) {
  value = std::clamp(value, 1, FHeaderPanelMaxRowCount);
  if (value == FHeaderPanelRowCount) return;
  if (!FSetAutoHeaderPanelRowCount) ResetAutoHeaderPanelHeight();
  FHeaderPanelRowCount = value;
  if (value > 1) FDefaultLayout = false;
  RefreshRowIndexes();
  HeaderRowCountChanged();
}

void TCustomdxTreeListControl::SetHeaderMinRowCount(int value) {
  value = std::max(value, 1);
  if (value == FHeaderMinRowCount) return;
  FHeaderMinRowCount = value;
  HeaderRowCountChanged();
}

void TCustomdxTreeListControl::ResetAutoHeaderPanelHeight() {
  SetOptionsEx(OptionsEx() & ~OptionBit(aoAutoHeaderPanelHeight));
}

void TCustomdxTreeListControl::SetDefaultLayout(bool value) {
  if (!value || FDefaultLayout) {
    FDefaultLayout = value;
    return;
  }
  InUpdate(*this, [&] {
    FShowBands = false;
    SetHeaderPanelRowCount(1);
    while (FBands->Count() > 1) FBands->Delete(FBands->Count() - 1);
    if (FBands->Count() == 0) FBands->Add();
    FBands->GetItem(0)->SetVisible(true);
    for (TdxTreeListColumn* column : FColumns) column->SetBandIndex(0);
    FDefaultLayout = true;
  });
}

std::vector<int> TCustomdxTreeListControl::CountRowColumns(int absoluteBand, int row) const {
  std::vector<int> result;
  if (absoluteBand < 0 || row < 0) return result;
  for (int i = 0; i < ColumnCount(); ++i) {
    TdxTreeListColumn* column = FColumns[std::size_t(i)];
    if (column->Visible() && column->BandIndex() == absoluteBand && column->RowIndex() == row) result.push_back(i);
  }
  return result;
}

void TCustomdxTreeListControl::RefreshRowIndexes() {
  ClearListNodes();
  int panelRows = FHeaderPanelRowCount;
  for (TdxTreeListColumn* column : FColumns) column->FRowIndex = std::clamp(column->FRowIndex, 0, panelRows - 1);
  for (int band = 0; band < FBands->Count(); ++band) {
    if (!FBands->GetItem(band)->Visible()) continue;
    int rows = 0;
    for (TdxTreeListColumn* column : FColumns)
      if (column->Visible() && column->FBandIndex == band) rows = std::max(rows, column->FRowIndex + 1);
    for (int r = rows - 1; r >= 0; --r) {
      bool occupied = std::any_of(FColumns.begin(), FColumns.end(), [&](TdxTreeListColumn* c) {
        return c->Visible() && c->FBandIndex == band && c->FRowIndex == r;
      });
      if (occupied) continue;
      for (TdxTreeListColumn* column : FColumns)
        if (column->Visible() && column->FBandIndex == band && column->FRowIndex > r) {
          --column->FRowIndex;
          --column->FStoredRowIndex;
        }
    }
  }
  std::vector<int> counts(std::size_t(FBands->Count()), 0);
  for (TdxTreeListColumn* column : FColumns)
    if (column->Visible() && column->FBandIndex >= 0 && column->FBandIndex < FBands->Count()) {
      int& count = counts[std::size_t(column->FBandIndex)];
      count = std::max(count, column->FRowIndex + 1);
    }
  for (TdxTreeListColumn* column : FColumns) {
    if (column->FBandIndex < 0 || column->FBandIndex >= FBands->Count()) continue;
    int count = counts[std::size_t(column->FBandIndex)];
    if (column->FRowIndex >= count) column->FRowIndex = column->FStoredRowIndex = std::max(count - 1, 0);
  }
  if (IsAutoHeaderPanelHeight() && !FSetAutoHeaderPanelRowCount) HeaderPanelBestFit();
  if (LockUpdate() == 0) MakeListNodes();
}

void TCustomdxTreeListControl::ColumnChanged(TdxTreeListColumn* column) {
  if (Loading()) return;
  if (column) column->RefreshDefaultWidth();
  if (LockRefreshRowIndexes <= 0) RefreshRowIndexes();
  LayoutChanged();
}

void TCustomdxTreeListControl::BandsChanged() {
  if (IsAutoHeaderPanelHeight())
    InUpdate(*this, [&] { HeaderPanelBestFit(); });
  else
    LayoutChanged();
}

// ---- sorted columns

void TCustomdxTreeListControl::AddSortedColumn(TdxTreeListColumn* column) {
  if (std::find(FSortedColumns.begin(), FSortedColumns.end(), column) == FSortedColumns.end())
    FSortedColumns.push_back(column);
}

void TCustomdxTreeListControl::RemoveSortedColumn(TdxTreeListColumn* column) { std::erase(FSortedColumns, column); }

void TCustomdxTreeListControl::EndSorting() {
  if (--FLockSorting == 0) RefreshSorting();
}

TdxTreeListColumn* TCustomdxTreeListControl::SortedColumns(int index) const {
  return index >= 0 && index < int(FSortedColumns.size()) ? FSortedColumns[std::size_t(index)] : nullptr;
}

bool TCustomdxTreeListControl::SortedColumnDesc(int index) {
  TdxTreeListColumn* column = SortedColumns(index);
  return column ? column->Sorted() == csDown : TCustomdxTreeList::SortedColumnDesc(index);
}

int TCustomdxTreeListControl::SortedColumnIndex(int index) {
  TdxTreeListColumn* column = SortedColumns(index);
  return column ? column->Index() : TCustomdxTreeList::SortedColumnIndex(index);
}

bool TCustomdxTreeListControl::IsCustomDrawCell(TdxTreeListNode* node, int column) {
  (void)node;
  if (OnCustomDraw || OnCustomDrawCell || OnCustomDrawCellWide) return true;
  TdxTreeListColumn* owner = ColumnAt(column);
  return owner && owner->HasCustomDrawCell();
}

void TCustomdxTreeListControl::DoCustomDrawCell(TCanvas& canvas, const RECT& rect, bool& done, TAlignment& alignment,
                                                TFont& font, TColor& color, WideString& text, HBRUSH brush,
                                                bool rightEdge, bool leftEdge, bool newItemRow, bool focused,
                                                bool selected, int column, TdxTreeListNode* node) {
  (void)brush; (void)rightEdge; (void)leftEdge;
  TdxTreeListColumn* owner = ColumnAt(column);
  if (OnCustomDraw)
    OnCustomDraw(this, canvas, rect, node, owner, selected, focused, newItemRow, text, color, font, alignment, done);
  if (done) return;
  if (OnCustomDrawCell) {
    // The narrow handler works on a copy, taken back only when it changed.
    WideString copy = text;
    OnCustomDrawCell(this, canvas, rect, node, owner, selected, focused, newItemRow, copy, color, font, alignment,
                     done);
    if (copy != text) text = copy;
  }
  if (OnCustomDrawCellWide)
    OnCustomDrawCellWide(this, canvas, rect, node, owner, selected, focused, newItemRow, text, color, font,
                         alignment, done);
  if (done || !owner) return;
  if (newItemRow || (node && !IsGroupNode(node)))
    owner->DoCustomDrawCell(canvas, rect, node, selected, focused, newItemRow, text, color, font, alignment, done);
}

void TCustomdxTreeListControl::DrawCellValue(HDC dc, const RECT& rect, TdxTreeListCellViewData& cell, int column) {
  TdxTreeListColumn* owner = ColumnAt(column);
  if (!owner) return;
  // The column answers for the node it paints only while it paints it.
  struct TActualNodeScope {
    TdxTreeListColumn* Column;
    ~TActualNodeScope() { Column->SetActualNode(nullptr); }
  } scope{owner};
  owner->SetActualNode(cell.Cell_Node);
  TdxEditViewData* viewData = owner->GetViewData();
  owner->PrepareViewData(*viewData, cell);
  RECT bounds = rect;
  if (cell.Cell_InvertSelect) DrawCellFrame(dc, bounds, cell.Cell_Brush, cell.Cell_RightEdge, cell.Cell_LeftEdge);
  GetEditBounds(bounds, viewData->ViewBounds);
  owner->GetEditorClass()->Functions().Draw(dc, bounds, *viewData, nullptr);
}

bool TCustomdxTreeListControl::IsCustomDrawFooter(TdxTreeListNode* node, int column, int footerIndex) {
  (void)node; (void)column;
  return footerIndex == -1 ? bool(OnCustomDrawFooter) : bool(OnCustomDrawFooterNode);
}

bool TCustomdxTreeListControl::IsCustomDrawHeader(int column) {
  if (OnCustomDrawColumnHeader) return true;
  TdxTreeListColumn* owner = ColumnAt(column);
  return owner && owner->OnCustomDrawColumnHeader;
}

void TCustomdxTreeListControl::DoCustomDrawBand(int band, TCanvas& canvas, bool& done, TAlignment& alignment,
                                                TFont& font, TColor& color, WideString& text, const RECT& clip,
                                                const RECT& rect) {
  (void)clip;
  if (OnCustomDrawBand) OnCustomDrawBand(this, VisibleBand(band), canvas, rect, text, color, font, alignment, done);
}

void TCustomdxTreeListControl::DoCustomDrawFooter(TCanvas& canvas, const RECT& rect, bool& done, TAlignment& alignment,
                                                  TFont& font, TColor& color, WideString& text, int footerIndex,
                                                  int column, TdxTreeListNode* node) {
  // The handlers work on a copy, taken back only when it changed.
  WideString copy = text;
  TdxTreeListColumn* owner = ColumnAt(column);
  if (footerIndex == -1) {
    if (OnCustomDrawFooter) OnCustomDrawFooter(this, canvas, rect, node, owner, copy, color, font, alignment, done);
  } else if (OnCustomDrawFooterNode) {
    OnCustomDrawFooterNode(this, canvas, rect, node, owner, footerIndex, copy, color, font, alignment, done);
  }
  if (copy != text) text = copy;
}

void TCustomdxTreeListControl::DoCustomDrawHeader(int column, TCanvas& canvas, bool& done,
                                                  TdxTreeListColumnSort& sorted, TAlignment& alignment, TFont& font,
                                                  TColor& color, WideString& text, const RECT& clip,
                                                  const RECT& rect) {
  (void)clip;
  TdxTreeListColumn* owner = ColumnAt(column);
  if (OnCustomDrawColumnHeader)
    OnCustomDrawColumnHeader(this, canvas, rect, owner, text, color, font, alignment, sorted, done);
  if (!done && owner && owner->OnCustomDrawColumnHeader)
    owner->OnCustomDrawColumnHeader(owner, canvas, rect, owner, text, color, font, alignment, sorted, done);
}

void TCustomdxTreeListControl::DoCustomDrawIndicator(HDC dc, const RECT& rect, bool& done, TdxLookAndFeel look,
                                                     TdxGridIndicatorKind kind, TBitmap& bitmap, HBRUSH brush,
                                                     TdxTreeListNode* node, const RECT& clip) {
  (void)dc; (void)look; (void)brush; (void)clip;
  if (!OnCustomDrawIndicator) return;
  // The handler draws on the cell's bitmap in the header's font and colour.
  TCanvas& canvas = bitmap.Canvas();
  struct TFontBack {
    TCanvas& Canvas;
    TFont Saved;
    ~TFontBack() { Canvas.Font().Assign(Saved); }
  } back{canvas, {}};
  back.Saved.Assign(canvas.Font());
  canvas.Font().Assign(FHeaderFont);
  TColor color = FHeaderColor;
  canvas.Brush().SetColor(color);
  OnCustomDrawIndicator(this, canvas, rect, node, kind, color, canvas.Font(), done);
}

void TCustomdxTreeListControl::DoCustomDrawPreview(TCanvas& canvas, const RECT& rect, bool& done, TFont& font,
                                                   TColor& textColor, TColor& color, WideString& text, bool selected,
                                                   TdxTreeListNode* node) {
  if (OnCustomDrawPreview) OnCustomDrawPreview(this, canvas, rect, node, selected, text, textColor, color, font, done);
  if (!done && OnCustomDrawPreviewCell)
    OnCustomDrawPreviewCell(this, canvas, rect, node, selected, text, textColor, color, font, done);
}

void TCustomdxTreeListControl::GetLevelColor(int level, TColor& color) {
  if (OnGetLevelColor) OnGetLevelColor(this, level, color);
}

TImageList* TCustomdxTreeListControl::GetNodeImages(TdxTreeListNode* node) {
  TImageList* images = TCustomdxTreeList::GetNodeImages(node);
  DoGetUsedImages(node, images);
  return images;
}

void TCustomdxTreeListControl::DoGetUsedImages(TdxTreeListNode* node, TImageList*& images) {
  if (OnGetUsedImages) OnGetUsedImages(this, node, images);
}

void TCustomdxTreeListControl::GetEditBounds(const RECT& rect, RECT& bounds) {
  bounds = rect;
  InflateRect(&bounds, 2, 2);
}

// ---- editors

TdxInplaceEdit* TCustomdxTreeListControl::GetEditor() {
  TdxTreeListColumn* column = ColumnAt(GetFocusedAbsoluteIndex(FocusedColumn()));
  if (!column) return nullptr;
  TClass cls = column->GetEditorClass()->Info;
  for (TdxInplaceEdit* editor : FEditors)
    if (editor->ClassType() == cls) return editor;
  return nullptr;
}

TdxInplaceEdit* TCustomdxTreeListControl::CreateEditor() {
  TdxTreeListColumn* column = ColumnAt(GetFocusedAbsoluteIndex(FocusedColumn()));
  if (!column) return nullptr;
  TdxInplaceEdit* editor = column->GetEditorClass()->Create(this);
  FEditors.push_back(editor);
  return editor;
}

void TCustomdxTreeListControl::InitEditProperties(TdxInplaceEdit* editor) {
  TCustomdxTreeList::InitEditProperties(editor);
  if (TdxTreeListColumn* column = ColumnAt(GetFocusedAbsoluteIndex(FocusedColumn()))) column->InitEditor(editor);
}

void TCustomdxTreeListControl::InitEditValue(TdxTreeListNode* node, TdxInplaceEdit* editor, Variant& value) {
  value = Variant(WideString());
  if (TdxTreeListColumn* column = ColumnAt(GetFocusedAbsoluteIndex(FocusedColumn())))
    column->InitEditValue(node, editor, value);
}

void TCustomdxTreeListControl::DoEditing(TdxTreeListNode* node, bool& allow) {
  TCustomdxTreeList::DoEditing(node, allow);
  if (!allow) return;
  if (TdxTreeListColumn* column = ColumnAt(GetFocusedAbsoluteIndex(FocusedColumn())))
    allow = column->CanEditorShow();
}

bool TCustomdxTreeListControl::CanEditModify() {
  TdxTreeListColumn* column = ColumnAt(GetFocusedAbsoluteIndex(FocusedColumn()));
  return column && !column->ReadOnly();
}

// ---- position queries

namespace {

// The hit's column when its kind is one of Kinds.
TdxTreeListColumn* ColumnOfHit(TCustomdxTreeListControl& tree, int x, int y,
                               std::initializer_list<TdxTreeListHitTest> kinds) {
  TdxTreeListHitInfo hit = tree.GetHitInfo(POINT{x, y});
  for (TdxTreeListHitTest kind : kinds)
    if (hit.hitType == kind) return hit.Column >= 0 ? tree.Columns(hit.Column) : nullptr;
  return nullptr;
}

}  // namespace

TdxTreeListBand* TCustomdxTreeListControl::GetBandAt(int x, int y) {
  TdxTreeListHitInfo hit = GetHitInfo(POINT{x, y});
  if (hit.hitType != htBand && hit.hitType != htBandEdge) return nullptr;
  return hit.Band >= 0 ? VisibleBand(hit.Band) : nullptr;
}

TdxTreeListColumn* TCustomdxTreeListControl::GetColumnAt(int x, int y) {
  return ColumnOfHit(*this, x, y, {htColumn, htColumnEdge, htButton, htIcon, htStateIcon, htIndent, htLabel});
}

TdxTreeListColumn* TCustomdxTreeListControl::GetHeaderColumnAt(int x, int y) {
  return ColumnOfHit(*this, x, y, {htColumn, htColumnEdge});
}

TdxTreeListColumn* TCustomdxTreeListControl::GetFooterColumnAt(int x, int y) {
  return ColumnOfHit(*this, x, y, {htSummaryFooter});
}

TdxTreeListColumn* TCustomdxTreeListControl::GetNodeFooterColumnAt(int x, int y) {
  return ColumnOfHit(*this, x, y, {htSummaryNodeFooter});
}

// ---- the header caches

void TCustomdxTreeListControl::ClearListNodes() {
  TCustomdxTreeList::ClearListNodes();
  FBandList.clear();
  FBandVisibleList.clear();
  FHeaderAbsoluteList.clear();
  FCachesFilled = false;
  ClearHeaderBounds();
}

void TCustomdxTreeListControl::ResetNodeRowHeights() {
  TCustomdxTreeList::ResetNodeRowHeights();
  ClearHeaderBounds();
}

void TCustomdxTreeListControl::MakeBandHeaderList() {
  FCachesFilled = false;
  FBandListLoading = true;
  FBandList.clear();
  FBandVisibleList.assign(std::size_t(FBands->Count()), -1);
  for (int i = 0; i < FBands->Count(); ++i)
    if (FBands->GetItem(i)->Visible()) {
      FBandVisibleList[std::size_t(i)] = int(FBandList.size());
      FBandList.push_back(i);
    }
  FBandListLoading = false;
  FHeaderListLoading = true;
  std::vector<std::tuple<int, int, int>> triples;
  for (int i = 0; i < ColumnCount(); ++i) {
    TdxTreeListColumn* column = FColumns[std::size_t(i)];
    int band = column->BandIndex();
    if (column->Visible() && band >= 0 && band < FBands->Count() && FBands->GetItem(band)->Visible())
      triples.emplace_back(band, column->RowIndex(), i);
  }
  std::sort(triples.begin(), triples.end());
  FHeaderAbsoluteList.assign(FBandList.size(), {});
  for (auto [band, row, index] : triples) {
    auto& rows = FHeaderAbsoluteList[std::size_t(FBandVisibleList[std::size_t(band)])];
    if (int(rows.size()) <= row) rows.resize(std::size_t(row) + 1);
    rows[std::size_t(row)].push_back(index);
  }
  FHeaderListLoading = false;
  FCachesFilled = true;
  ClearHeaderBounds();
}

void TCustomdxTreeListControl::CalcHeaderBounds() {
  FHeaderBoundsLoading = true;
  std::vector<int> bounds(std::size_t(ColumnCount()), 0);
  try {
    for (int i = 0; i < ColumnCount(); ++i)
      if (IsHeaderVisible(i)) bounds[std::size_t(i)] = TCustomdxTreeList::GetHeaderWidth(i);
  } catch (...) {
    FHeaderBoundsLoading = false;
    throw;
  }
  FHeaderBounds = std::move(bounds);
  FHeaderBoundsLoading = false;
}

void TCustomdxTreeListControl::MakeListNodes() {
  TCustomdxTreeList::MakeListNodes();
  if (!FCachesFilled) MakeBandHeaderList();
}

void TCustomdxTreeListControl::LayoutRefreshing() {
  TCustomdxTreeList::LayoutRefreshing();
  MakeBandHeaderList();
}

// ---- answers to the base tree list

TAlignment TCustomdxTreeListControl::GetAbsoluteBandAlignment(int band) {
  TdxTreeListBand* b = FBands->GetItem(band);
  return b ? b->Alignment() : TAlignment::taCenter;
}

void TCustomdxTreeListControl::GetAbsoluteBandCaption(int band, WideString& text) {
  TdxTreeListBand* b = FBands->GetItem(band);
  text = b ? b->Caption() : WideString();
}

int TCustomdxTreeListControl::GetAbsoluteBandWidth(int band) {
  TdxTreeListBand* b = FBands->GetItem(band);
  return b ? b->Width() : 0;
}

TAlignment TCustomdxTreeListControl::GetBandAlignment(int band) {
  TdxTreeListBand* b = VisibleBand(band);
  return b ? b->Alignment() : TAlignment::taCenter;
}

void TCustomdxTreeListControl::GetBandCaption(int band, WideString& text) {
  TdxTreeListBand* b = VisibleBand(band);
  text = b ? b->Caption() : WideString();
}

int TCustomdxTreeListControl::GetBandWidthStored(int band) {
  TdxTreeListBand* b = VisibleBand(band);
  return b ? b->Width() : 0;
}

int TCustomdxTreeListControl::GetBandMinWidthStored(int band) {
  TdxTreeListBand* b = VisibleBand(band);
  return b ? b->MinWidth() : 0;
}

bool TCustomdxTreeListControl::IsBandOnlyOwnColumns(int band) {
  TdxTreeListBand* b = VisibleBand(band);
  return b && b->OnlyOwnColumns();
}

int TCustomdxTreeListControl::GetFixedLeftBandIndex() {
  TdxTreeListBand* b = VisibleBand(0);
  return b && b->Fixed() == bfLeft ? 0 : -1;
}

int TCustomdxTreeListControl::GetFixedRightBandIndex() {
  int last = FBands->VisibleCount() - 1;
  TdxTreeListBand* b = VisibleBand(last);
  return b && b->Fixed() == bfRight ? last : -1;
}

bool TCustomdxTreeListControl::IsBandSizing(int band) {
  TdxTreeListBand* b = VisibleBand(band);
  return TCustomdxTreeList::IsBandSizing(band) && b && b->Sizing();
}

bool TCustomdxTreeListControl::IsBandCustomizingDisabled(int band) {
  TdxTreeListBand* b = FBands->GetItem(band);
  return b && b->DisableCustomizing();
}

bool TCustomdxTreeListControl::IsBandHidden(int band) {
  TdxTreeListBand* b = FBands->GetItem(band);
  return b && !b->Visible();
}

int TCustomdxTreeListControl::GetHeaderAbsoluteIndex(int band, int row, int col) {
  if (FCachesFilled && !FHeaderListLoading) {
    if (band < 0 || band >= int(FHeaderAbsoluteList.size())) return -1;
    const auto& rows = FHeaderAbsoluteList[std::size_t(band)];
    if (row < 0 || row >= int(rows.size())) return -1;
    const auto& cols = rows[std::size_t(row)];
    return col >= 0 && col < int(cols.size()) ? cols[std::size_t(col)] : -1;
  }
  std::vector<int> cols = CountRowColumns(FBands->GetAbsoluteIndex(band), row);
  return col >= 0 && col < int(cols.size()) ? cols[std::size_t(col)] : -1;
}

int TCustomdxTreeListControl::GetHeaderColCount(int band, int row) {
  if (FCachesFilled && !FHeaderListLoading) {
    if (band < 0 || band >= int(FHeaderAbsoluteList.size())) return 0;
    const auto& rows = FHeaderAbsoluteList[std::size_t(band)];
    return row >= 0 && row < int(rows.size()) ? int(rows[std::size_t(row)].size()) : 0;
  }
  return int(CountRowColumns(FBands->GetAbsoluteIndex(band), row).size());
}

int TCustomdxTreeListControl::GetHeaderRowCount(int band) {
  if (FCachesFilled && !FHeaderListLoading)
    return band >= 0 && band < int(FHeaderAbsoluteList.size()) ? int(FHeaderAbsoluteList[std::size_t(band)].size())
                                                               : 0;
  int absolute = FBands->GetAbsoluteIndex(band);
  if (absolute < 0) return 0;
  int count = 0;
  for (int row = 0; row <= FHeaderPanelRowCount; ++row)
    if (!CountRowColumns(absolute, row).empty()) ++count;
  return count;
}

int TCustomdxTreeListControl::GetColumnBandIndex(int column) {
  TdxTreeListColumn* c = ColumnAt(column);
  return c ? c->BandIndex() : -1;
}

int TCustomdxTreeListControl::GetColumnRowIndex(int column) {
  TdxTreeListColumn* c = ColumnAt(column);
  return c ? c->RowIndex() : 0;
}

int TCustomdxTreeListControl::GetColumnColIndex(int column) {
  TdxTreeListColumn* c = ColumnAt(column);
  return c ? c->ColIndex() : -1;
}

TAlignment TCustomdxTreeListControl::GetColumnAlignment(TdxTreeListNode* node, int column) {
  (void)node;
  TdxTreeListColumn* c = ColumnAt(column);
  return c ? c->Alignment() : TAlignment::taLeftJustify;
}

TAlignment TCustomdxTreeListControl::GetHeaderAlignment(int column) {
  TdxTreeListColumn* c = ColumnAt(column);
  return c ? c->HeaderAlignment() : TAlignment::taLeftJustify;
}

void TCustomdxTreeListControl::GetColumnCaption(int column, WideString& text) {
  TdxTreeListColumn* c = ColumnAt(column);
  text = c ? c->Caption() : WideString();
}

void TCustomdxTreeListControl::GetHeaderCaption(int column, WideString& text) {
  TdxTreeListColumn* c = ColumnAt(column);
  text = c && !c->DisableCaption() ? c->Caption() : WideString();
}

int TCustomdxTreeListControl::GetColumnWidth(int column) {
  TdxTreeListColumn* c = ColumnAt(column);
  return c ? c->Width() : 0;
}

int TCustomdxTreeListControl::GetColumnMinWidth(int column) {
  TdxTreeListColumn* c = ColumnAt(column);
  return c ? (c->Sizing() ? c->MinWidth() : c->Width()) : 0;
}

TColor TCustomdxTreeListControl::GetColumnColor(int column) {
  TdxTreeListColumn* c = ColumnAt(column);
  return c ? c->Color() : TControl::Color();
}

TFont& TCustomdxTreeListControl::GetColumnFont(int column) {
  TdxTreeListColumn* c = ColumnAt(column);
  return c ? c->Font() : TControl::Font();
}

bool TCustomdxTreeListControl::IsColumnFontAssigned(int column) {
  TdxTreeListColumn* c = ColumnAt(column);
  return c && c->IsAssigned(cvFont);
}

TBitmap* TCustomdxTreeListControl::GetHeaderGlyph(int column) {
  TdxTreeListColumn* c = ColumnAt(column);
  return c ? c->HeaderGlyph() : nullptr;
}

bool TCustomdxTreeListControl::IsHeaderGlyphAssigned(int column) {
  TdxTreeListColumn* c = ColumnAt(column);
  return c && c->HeaderGlyphAssigned();
}

int TCustomdxTreeListControl::GetHeaderMaxLineCount(int column) {
  TdxTreeListColumn* c = ColumnAt(column);
  return c ? c->HeaderMaxLineCount() : 1;
}

bool TCustomdxTreeListControl::IsColumnTabStop(int column) {
  TdxTreeListColumn* c = ColumnAt(column);
  return c && c->TabStop();
}

bool TCustomdxTreeListControl::GetColumnSizing(int column) {
  TdxTreeListColumn* c = ColumnAt(column);
  return TCustomdxTreeList::GetColumnSizing(column) && c && c->Sizing();
}

TdxTreeListColumnSort TCustomdxTreeListControl::GetHeaderSorted(int column) {
  TdxTreeListColumn* c = ColumnAt(column);
  if (!c) return csNone;
  TdxTreeListColumnSort sorted = c->Sorted();
  if (OnColumnSorted) OnColumnSorted(this, c, sorted);
  return sorted;
}

int TCustomdxTreeListControl::GetHeaderDropDownState(int column) {
  TdxTreeListColumn* c = ColumnAt(column);
  return c && c->DisableFilter() ? 0 : TCustomdxTreeList::GetHeaderDropDownState(column);
}

int TCustomdxTreeListControl::GetHeaderWidth(int column) {
  if (FHeaderBoundsLoading) return TCustomdxTreeList::GetHeaderWidth(column);
  if (FHeaderBounds.empty() && LockUpdate() == 0) CalcHeaderBounds();
  if (column < 0 || column >= int(FHeaderBounds.size())) return TCustomdxTreeList::GetHeaderWidth(column);
  return FHeaderBounds[std::size_t(column)];
}

int TCustomdxTreeListControl::GetColumnLineHeight(TCanvas& canvas, int column) {
  int height = TCustomdxTreeList::GetColumnLineHeight(canvas, column);
  TdxTreeListColumn* c = ColumnAt(column);
  return c ? std::max(height, c->GetMinCellHeight(canvas)) : height;
}

bool TCustomdxTreeListControl::GetHeaderMultiLine(int column) {
  TdxTreeListColumn* c = ColumnAt(column);
  return c && c->IsMultiLineColumn();
}

bool TCustomdxTreeListControl::IsHeaderVisible(int column) {
  TdxTreeListColumn* c = ColumnAt(column);
  if (!c || !c->Visible() || c->BandIndex() == -1 || FBands->Count() == 0) return false;
  TdxTreeListBand* band = FBands->GetItem(c->BandIndex());
  return band && band->Visible();
}

bool TCustomdxTreeListControl::IsHeaderInCustomizeBox(int column) {
  TdxTreeListColumn* c = ColumnAt(column);
  if (!c || c->DisableCustomizing()) return false;
  if (!c->Visible() || c->BandIndex() == -1) return true;
  return FShowHiddenInCustomizeBox && !IsHeaderVisible(column);
}

bool TCustomdxTreeListControl::IsHeaderCustomizingDisabled(int column) {
  TdxTreeListColumn* c = ColumnAt(column);
  return c && c->DisableCustomizing();
}

int TCustomdxTreeListControl::GetMinHeaderPanelRowCount() {
  return std::max(FHeaderMinRowCount, TCustomdxTreeList::GetMinHeaderPanelRowCount());
}

bool TCustomdxTreeListControl::IsExistFooterCell(int column) {
  bool exist = false;
  if (OnIsExistFooterCell) OnIsExistFooterCell(this, ColumnAt(column), exist);
  return exist;
}

void TCustomdxTreeListControl::GetCellText(TdxTreeListNode* node, int column, WideString& text) {
  text = GetNodeString(node, column);
}

WideString TCustomdxTreeListControl::GetNodeDragText(TdxTreeListNode* node, int column) {
  WideString text = TCustomdxTreeList::GetNodeDragText(node, column);
  if (OnGetNodeDragText) OnGetNodeDragText(this, node, ColumnAt(column), text);
  return text;
}

void TCustomdxTreeListControl::SetBandWidth(int band, int width) {
  if (TdxTreeListBand* b = VisibleBand(band)) b->SetWidth(width);
}

void TCustomdxTreeListControl::SetHeaderWidth(int column, int width) {
  TdxTreeListColumn* c = ColumnAt(column);
  if (!c || !c->Sizing()) return;
  c->FWidth = std::max(width, c->MinWidth());
  c->MarkAssigned(cvWidth);
}

void TCustomdxTreeListControl::ScaleBandWidths(int numerator, int denominator) {
  if (denominator == 0) return;  // a band of no width and no minimum: nothing to scale by
  InUpdate(*this, [&] {
    for (int i = 0; i < FBands->Count(); ++i) {
      TdxTreeListBand* band = FBands->GetItem(i);
      if (!band->Visible() && band->Sizing())
        band->SetWidth(int(int64_t(band->Width()) * numerator / denominator));
    }
  });
}

void TCustomdxTreeListControl::ScaleHeaderWidths(int band, int numerator, int denominator) {
  if (denominator == 0) return;
  int absolute = FBands->GetAbsoluteIndex(band);
  InUpdate(*this, [&] {
    for (TdxTreeListColumn* column : FColumns)
      if (column->BandIndex() == absolute && !column->Visible() && column->Sizing())
        column->SetWidth(int(int64_t(column->Width()) * numerator / denominator));
  });
}

void TCustomdxTreeListControl::MoveBand(int from, int to) {
  if (from == to) return;
  TdxTreeListBand* band = VisibleBand(from);
  int target = FBands->GetAbsoluteIndex(to);
  if (band && target >= 0) band->SetIndex(target);
}

void TCustomdxTreeListControl::HideBand(int band) {
  TdxTreeListBand* b = VisibleBand(band);
  if (!b) return;
  b->SetVisible(false);
  if (OnHideBand) OnHideBand(this, b);
}

void TCustomdxTreeListControl::ShowBandAt(int band, int position) {
  TdxTreeListBand* b = FBands->GetItem(band);
  if (!b) return;
  position = std::max(position, 0);
  InUpdate(*this, [&] {
    b->SetVisible(true);
    if (FBands->VisibleCount() > 1) {
      int target = FBands->GetAbsoluteIndex(position);
      b->SetIndex(target < 0 ? FBands->Count() - 1 : target);
    }
  });
  if (OnShowBand) OnShowBand(this, b, position);
}

void TCustomdxTreeListControl::HideHeader(int column) {
  TdxTreeListColumn* c = ColumnAt(column);
  if (!c) return;
  c->SetVisible(false);
  if (OnHideHeader) OnHideHeader(this, c);
}

void TCustomdxTreeListControl::MoveHeaderTo(int column, int visibleBand, int row, int col) {
  TdxTreeListColumn* c = ColumnAt(column);
  if (!c) return;
  InUpdate(*this, [&] {
    c->SetBandIndex(FBands->GetAbsoluteIndex(visibleBand));
    c->SetRowIndex(row);
    c->SetColIndex(col);
  });
  if (OnHeaderMoved) OnHeaderMoved(this, c);
}

void TCustomdxTreeListControl::ShowHeaderAt(int column, int visibleBand, int row, int col) {
  TdxTreeListColumn* c = ColumnAt(column);
  if (!c) return;
  InUpdate(*this, [&] {
    c->SetBandIndex(FBands->GetAbsoluteIndex(visibleBand));
    c->SetVisible(true);
    c->SetRowIndex(row);
    c->SetColIndex(col);
  });
  if (OnShowHeader) OnShowHeader(this, c, visibleBand, row, col);
}

bool TCustomdxTreeListControl::CanBandDragging(int band) {
  bool allow = TCustomdxTreeList::CanBandDragging(band);
  TdxTreeListBand* b = VisibleBand(band);
  if (!b) return allow;
  allow = allow && b->Fixed() == bfNone && !b->DisableDragging();
  if (allow && OnCanBandDragging) OnCanBandDragging(this, b, allow);
  return allow;
}

bool TCustomdxTreeListControl::CanHeaderDragging(int column) {
  TdxTreeListColumn* c = ColumnAt(column);
  bool allow = TCustomdxTreeList::CanHeaderDragging(column) && !(c && c->DisableDragging());
  if (allow && c && OnCanHeaderDragging) OnCanHeaderDragging(this, c, allow);
  return allow;
}

void TCustomdxTreeListControl::ColumnClick(int column) {
  TdxTreeListColumn* c = ColumnAt(column);
  if (!c) return;
  if (OnColumnClick) OnColumnClick(this, c);
  if (IsAutoSort()) ToggleColumnSort(c);
}

void TCustomdxTreeListControl::BandClick(int band) {
  if (OnBandClick) OnBandClick(this, VisibleBand(band));
}

// ---- text nodes

TdxTreeListNode* TCustomdxTreeListControl::CreateNode() { return DefaultNodeClass(this); }

int TCustomdxTreeListControl::GetNodeImageIndex(const TdxTreeListNode* node) {
  TdxTreeListTextNode* text = AsTextNode(node);
  int index = text ? text->FImageIndex : 0;
  if (OnGetImageIndex) OnGetImageIndex(this, const_cast<TdxTreeListNode*>(node), index);
  return index;
}

int TCustomdxTreeListControl::GetNodeSelectedIndex(const TdxTreeListNode* node) {
  TdxTreeListTextNode* text = AsTextNode(node);
  int index = text ? text->FSelectedIndex : -1;
  if (OnGetSelectedIndex) OnGetSelectedIndex(this, const_cast<TdxTreeListNode*>(node), index);
  return index;
}

int TCustomdxTreeListControl::GetNodeStateIndex(const TdxTreeListNode* node) {
  TdxTreeListTextNode* text = AsTextNode(node);
  int index = text ? text->FStateIndex : -1;
  if (OnGetStateIndex) OnGetStateIndex(this, const_cast<TdxTreeListNode*>(node), index);
  return index;
}

void TCustomdxTreeListControl::SetNodeImageIndex(TdxTreeListNode* node, int value) {
  TdxTreeListTextNode* text = AsTextNode(node);
  if (!text || value == GetNodeImageIndex(node)) return;
  text->FImageIndex = value;
  NodeChanged(node, false);
}

void TCustomdxTreeListControl::SetNodeSelectedIndex(TdxTreeListNode* node, int value) {
  TdxTreeListTextNode* text = AsTextNode(node);
  if (!text || value == GetNodeSelectedIndex(node)) return;
  text->FSelectedIndex = value;
  NodeChanged(node, false);
}

void TCustomdxTreeListControl::SetNodeStateIndex(TdxTreeListNode* node, int value) {
  TdxTreeListTextNode* text = AsTextNode(node);
  if (!text || value == GetNodeStateIndex(node)) return;
  text->FStateIndex = value;
  NodeChanged(node, false);
}

WideString TCustomdxTreeListControl::GetNodeString(const TdxTreeListNode* node, int column) {
  TdxTreeListTextNode* text = AsTextNode(node);
  if (!text || column < 0 || column >= text->Strings.Count()) return {};
  return text->Strings.Get(column);
}

Variant TCustomdxTreeListControl::GetNodeVariant(const TdxTreeListNode* node, int column) {
  return Variant(GetNodeString(node, column));
}

void TCustomdxTreeListControl::SetNodeString(TdxTreeListNode* node, int column, const WideString& value) {
  TdxTreeListTextNode* text = AsTextNode(node);
  if (!text || column < 0) return;
  PadStrings(text->Strings, column);
  text->Strings.Put(column, value);
  NodeChanged(node, false);
}

void TCustomdxTreeListControl::SetNodeVariant(TdxTreeListNode* node, int column, const Variant& value) {
  SetNodeString(node, column, VarToStr(value));
  if (LockUpdate() == 0) NodeChanged(node, false);
}

void TCustomdxTreeListControl::DeleteNodeColumnData(TdxTreeListNode* node, int column) {
  TdxTreeListTextNode* text = AsTextNode(node);
  if (text && column >= 0 && column < text->Strings.Count()) text->Strings.Delete(column);
}

void TCustomdxTreeListControl::ForEachNode(const std::function<void(TdxTreeListNode*)>& action) {
  std::vector<TdxTreeListNode*> stack;
  const TdxTreeListNodeList& hidden = HiddenNodes();
  stack.insert(stack.end(), hidden.rbegin(), hidden.rend());
  for (int i = Count() - 1; i >= 0; --i) stack.push_back(GetItem(i));
  while (!stack.empty()) {
    TdxTreeListNode* node = stack.back();
    stack.pop_back();
    action(node);
    for (int i = node->Count() - 1; i >= 0; --i) stack.push_back(node->GetItem(i));
  }
}

void TCustomdxTreeListControl::MoveColumnData(int oldIndex, int newIndex) {
  if (oldIndex < 0 || newIndex < 0 || oldIndex == newIndex) return;
  ForEachNode([&](TdxTreeListNode* node) {
    TdxTreeListTextNode* text = AsTextNode(node);
    if (!text) return;
    TStringList& strings = text->Strings;
    PadStrings(strings, newIndex);
    PadStrings(strings, oldIndex);
    WideString moved = strings.Get(oldIndex);
    TObject* object = strings.Objects(oldIndex);
    if (oldIndex < newIndex) {
      if (newIndex == strings.Count() - 1)
        strings.AddObject(moved, object);
      else
        strings.InsertObject(newIndex + 1, moved, object);
      strings.Delete(oldIndex);
    } else {
      strings.InsertObject(newIndex, moved, object);
      strings.Delete(oldIndex + 1);
    }
  });
}

// ---- streaming and messages

void TCustomdxTreeListControl::GetChildren(const std::function<void(TComponent*)>& proc, TComponent* root) {
  for (TdxTreeListColumn* column : FColumns)
    if (CustomStoring || column->Owner() == root) proc(column);
}

void TCustomdxTreeListControl::Loaded() {
  TCustomdxTreeList::Loaded();
  RefreshRowIndexes();
  FSortedColumns.clear();
  RebuildSortedColumns();
  LayoutChanged();
  AutoLoadLayout();
}

void TCustomdxTreeListControl::CMFontChanged(TMessage& message) {
  TVK_INHERITED(message);
  InUpdate(*this, [&] {
    for (TdxTreeListColumn* column : FColumns) column->RefreshDefaultFont();
  });
}

void TCustomdxTreeListControl::CMCursorChanged(TMessage& message) {
  TVK_INHERITED(message);
  // A cursor set from outside becomes the one hot tracking returns to.
  if (!FCursorChange) FDefaultCursor = Cursor();
}

void TCustomdxTreeListControl::CMWinIniChange(TMessage& message) {
  TVK_INHERITED(message);
  // Columns are no controls: they hear of the new settings through their tree list.
  for (TdxTreeListColumn* column : FColumns) {
    TMessage copy = message;
    column->Dispatch(copy);
  }
}

TVK_MESSAGE_MAP(TCustomdxTreeListControl, {CM_FONTCHANGED, &TCustomdxTreeListControl::CMFontChanged},
                {CM_CURSORCHANGED, &TCustomdxTreeListControl::CMCursorChanged},
                {CM_WININICHANGE, &TCustomdxTreeListControl::CMWinIniChange})

// ---- sorting, best fit and line counts

bool TCustomdxTreeListControl::DoColumnSorting(TdxTreeListColumn* column) {
  bool allow = true;
  if (OnColumnSorting) OnColumnSorting(this, column, allow);
  return allow;
}

void TCustomdxTreeListControl::ToggleColumnSort(TdxTreeListColumn* column) {
  if (!DoColumnSorting(column)) return;
  if (FlagClearSort)
    column->SetSorted(csNone);
  else
    column->SetSorted(column->Sorted() == csUp ? csDown : csUp);
}

void TCustomdxTreeListControl::ResetColumnSorts() {
  FSortedColumns.clear();
  for (TdxTreeListColumn* column : FColumns) column->FSorted = csNone;
}

void TCustomdxTreeListControl::CreateWnd() {
  TCustomdxTreeList::CreateWnd();
  if (NeedToApplyBestFit) ApplyBestFit(nullptr);
}

void TCustomdxTreeListControl::ApplyBestFit(TdxTreeListColumn* column) {
  if (!HandleAllocated()) {
    NeedToApplyBestFit = true;
    return;
  }
  TControlCanvas canvas;
  canvas.SetControl(this);
  canvas.Font().Assign(Font());
  const int margin = canvas.TextWidth(L"0") / 2 + 1;
  const int firstBand = FBands->GetAbsoluteIndex(0);
  auto fit = [&](TdxTreeListColumn* c) {
    const bool treeColumn = c->Visible() && c->BandIndex() == firstBand && c->ColIndex() == 0;
    canvas.Font().Assign(c->IsAssigned(cvFont) ? c->Font() : Font());
    const int rootLevels = FShowRoot && PaintStyle() == psStandard ? 1 : 0;
    int widest = 0;
    for (TdxTreeListNode* node = TopNode(); node; node = node->GetNext()) {
      int width = c->GetBestFit(canvas, node);
      if (treeColumn) {
        width += (node->Level() + rootLevels) * Indent();
        if (node->StateIndex() != -1 && StateImages()) width += StateImages()->Width();
        TImageList* images = GetNodeImages(node);
        if (images && (node->ImageIndex() != -1 || node->SelectedIndex() != -1)) width += images->Width();
      }
      widest = std::max(widest, width);
    }
    widest += c->ExtraWidth;
    canvas.Font().Assign(FHeaderFont);
    widest = std::max(widest, canvas.TextWidth(c->Caption()) + (c->DisableFilter() ? 0 : 15));
    if (c->Sizing()) c->SetWidth(widest + 2 * margin);
  };
  if (column)
    fit(column);
  else
    InUpdate(*this, [&] {
      for (TdxTreeListColumn* c : std::vector<TdxTreeListColumn*>(FColumns)) fit(c);
    });
  NeedToApplyBestFit = false;
}

void TCustomdxTreeListControl::HeaderPanelBestFit() {
  int deepest = -1;
  for (TdxTreeListColumn* column : FColumns)
    if (column->Visible()) deepest = std::max(deepest, column->StoredRowIndex());
  if (deepest < 0) return;
  FSetAutoHeaderPanelRowCount = true;
  struct TReset {
    bool& Flag;
    ~TReset() { Flag = false; }
  } reset{FSetAutoHeaderPanelRowCount};
  SetHeaderPanelRowCount(deepest + 1);
}

bool TCustomdxTreeListControl::ColumnCalcLineCount(TdxTreeListNode* node, int absoluteIndex, int& lineHeight,
                                                   int& lineCount, bool gridFlag, bool inflateFlag,
                                                   int maxLineCount, int textHeight, int boundsWidth,
                                                   const WideString& text) {
  TdxTreeListColumn* column = ColumnAt(absoluteIndex);
  if (!column) return false;
  bool done = false;
  if (OnCalcRowLineHeight) {
    OnCalcRowLineHeight(this, node, column, text, boundsWidth, textHeight, maxLineCount, inflateFlag, gridFlag,
                        lineCount, lineHeight, done);
    if (done) return true;
  }
  TdxTreeListCellViewData& cell = CellViewData();
  cell.Cell_Brush = Brush().Handle();
  cell.Cell_Font = (column->IsAssigned(cvFont) ? column->Font() : Font()).Handle();
  cell.Cell_BkColor = TColor(0);
  cell.Cell_TextColor = TColor(0);
  cell.Cell_Alignment = column->Alignment();
  cell.Cell_Text = text;
  cell.Cell_TextLength = 0;
  cell.Cell_InvertSelect = cell.Cell_LeftEdge = cell.Cell_RightEdge = cell.Cell_InvertText = false;
  cell.Cell_DrawEndEllipsis = cell.Cell_DrawPathEllipsis = false;
  cell.Cell_MultiLine = true;
  cell.Cell_Node = node;
  cell.Cell_IsNullNode = false;
  cell.Cell_SelectionColor = FHighlightColor;
  cell.Cell_CellBrush = cell.Cell_Brush;
  cell.Cell_CellColor = cell.Cell_BkColor;
  cell.Cell_HotTrackNode = IsHotTrackedCell(node, absoluteIndex);
  const RECT bounds{-2, -2, boundsWidth + 2, textHeight + 2};
  cell.Cell_Rect = bounds;
  struct TActualNodeScope {
    TdxTreeListColumn* Column;
    ~TActualNodeScope() { Column->SetActualNode(nullptr); }
  } scope{column};
  column->SetActualNode(node);
  TdxEditViewData* viewData = column->GetViewData();
  column->PrepareViewData(*viewData, cell);
  viewData->ViewBounds = bounds;
  struct TCalcHeightScope {
    TdxEditViewData* Data;
    ~TCalcHeightScope() { Data->CalcHeight = false; }
  } measuring{viewData};
  const TdxInplaceEditClass& editClass = column->GetEditorClass()->Functions();
  TdxEditViewInfo viewInfo;
  editClass.CalcViewInfo(*viewData, false, viewInfo);
  viewData->CalcHeight = true;
  viewData->LineCount = 0;
  HDC screen = GetDC(nullptr);
  struct TScreenDC {
    HDC DC;
    ~TScreenDC() { ReleaseDC(nullptr, DC); }
  } screenDC{screen};
  editClass.DrawClientArea(screen, viewData->ViewBounds, *viewData, false);
  if (viewData->LineCount > 0) {
    lineHeight = viewData->LineHeight;
    lineCount = viewData->LineCount;
    if (maxLineCount != -1 && lineCount > maxLineCount) {
      lineCount = maxLineCount;
      lineHeight = viewData->LineTextHeight * maxLineCount;
    }
  } else {
    lineCount = 1;
  }
  lineHeight += 3;
  return true;
}

// ---- the layout store

namespace {

constexpr const wchar_t* kLayoutValueNames[] = {L"ShowGrid", L"ShowPreviewGrid", L"BandRowCount", L"DefaultRowHeight",
                                                L"HeaderPanelRowCount"};

// A store wrapper over a store object that lives as long as it.
template <class S>
struct TLayoutStore {
  S Store;
  TdxRegIniWrapper Wrapper;
  explicit TLayoutStore(const WideString& name) : Store(name) { Wrapper.SetRegIniObject(&Store); }
};
using TRegistryLayoutStore = TLayoutStore<TRegIniFile>;
using TIniLayoutStore = TLayoutStore<TMemIniFile>;

// Orders remembered (stored index, item) pairs by the stored index; equal indexes keep their order.
template <class T>
void OrderByStoredIndex(std::vector<std::pair<int, T*>>& items) {
  std::stable_sort(items.begin(), items.end(), [](const auto& a, const auto& b) { return a.first < b.first; });
}

}  // namespace

void TCustomdxTreeListControl::SetParent(TWinControl* parent) {
  TCustomdxTreeList::SetParent(parent);
  if (!parent) return;
  TCustomForm* form = GetParentForm(this);
  FParentFormName = form ? form->Name() : WideString();
}

void TCustomdxTreeListControl::BeginLoadLayout() {
  BeginUpdate();
  if (IsMultiSort()) BeginSorting();
}

void TCustomdxTreeListControl::EndLoadLayout() {
  struct TEndUpdate {
    TCustomdxTreeListControl& Tree;
    ~TEndUpdate() { Tree.EndUpdate(); }
  } endUpdate{*this};
  if (IsMultiSort()) EndSorting();
}

void TCustomdxTreeListControl::ReadLayoutValues(TdxRegIniWrapper& store, const WideString& path) {
  SetShowGrid(store.ReadBool(path, L"ShowGrid", FShowGrid));
  SetShowPreviewGrid(store.ReadBool(path, L"ShowPreviewGrid", FShowPreviewGrid));
  SetBandRowCount(store.ReadInteger(path, L"BandRowCount", FBandRowCount));
  SetDefaultRowHeight(store.ReadInteger(path, L"DefaultRowHeight", DefaultRowHeight()));
  const int headerRows = store.ReadInteger(path, L"HeaderPanelRowCount", FHeaderPanelRowCount);
  if (headerRows != -1) {
    SetOptionsEx(OptionsEx() & ~OptionBit(aoAutoHeaderPanelHeight));
    SetHeaderPanelRowCount(headerRows);
  }
}

void TCustomdxTreeListControl::ReadColumnLayout(TdxRegIniWrapper& store, const WideString& section,
                                                TdxTreeListColumn* column) {
  column->SetVisible(store.ReadBool(section, L"Visible", column->Visible()));
  column->SetWidth(store.ReadInteger(section, L"Width", column->Width()));
  const int sorted = store.ReadInteger(section, L"Sorted", int(column->Sorted()));
  column->SetSorted(sorted >= csNone && sorted <= csUp ? TdxTreeListColumnSort(sorted) : column->Sorted());
  column->SetSortedOrder(store.ReadInteger(section, L"SortedOrder", -1));
}

void TCustomdxTreeListControl::WriteLayoutValues(TdxRegIniWrapper& store, const WideString& path) {
  store.WriteBool(path, L"ShowGrid", FShowGrid);
  store.WriteBool(path, L"ShowPreviewGrid", FShowPreviewGrid);
  store.WriteInteger(path, L"BandRowCount", FBandRowCount);
  store.WriteInteger(path, L"DefaultRowHeight", DefaultRowHeight());
  store.WriteInteger(path, L"HeaderPanelRowCount", IsAutoHeaderPanelHeight() ? -1 : FHeaderPanelRowCount);
  for (int k = 0; k < FBands->Count(); ++k) {
    TdxTreeListBand* band = FBands->GetItem(k);
    const WideString section = path + L"\\Band\\Band" + std::to_wstring(k);
    store.WriteInteger(section, L"ID", band->ID());
    store.WriteBool(section, L"Visible", band->Visible());
    store.WriteInteger(section, L"Index", k);
    store.WriteInteger(section, L"Width", band->Width());
  }
}

void TCustomdxTreeListControl::WriteColumnLayout(TdxRegIniWrapper& store, const WideString& section,
                                                 TdxTreeListColumn* column) {
  store.WriteInteger(section, L"BandIndex", column->BandIndex());
  store.WriteInteger(section, L"RowIndex", column->RowIndex());
  store.WriteInteger(section, L"ColIndex", column->ColIndex());
  store.WriteBool(section, L"Visible", column->Visible());
  store.WriteInteger(section, L"Index", column->Index());
  store.WriteInteger(section, L"Width", column->Width());
  store.WriteInteger(section, L"Sorted", int(column->Sorted()));
  const auto sortedAt = std::find(FSortedColumns.begin(), FSortedColumns.end(), column);
  store.WriteInteger(section, L"SortedOrder",
                     sortedAt == FSortedColumns.end() ? -1 : int(sortedAt - FSortedColumns.begin()));
  store.WriteInteger(section, L"StoredRowIndex", column->StoredRowIndex());
}

void TCustomdxTreeListControl::EraseLayoutValues(TdxRegIniWrapper& store, const WideString& path) {
  store.EraseSection(path + L"\\Band");
  store.EraseSection(path + L"\\Columns");
  for (const wchar_t* name : kLayoutValueNames) store.DeleteKey(path, name);
}

void TCustomdxTreeListControl::SaveLayout(TdxRegIniWrapper& store, const WideString& path) {
  const WideString p = NormalizeRegistryPath(path);
  if (!store.RegIniObject()->Is<TRegIniFile>()) {
    // Only this layout's own sections: another control's name may begin with this one's.
    store.EraseSection(p);
    store.Erase(p + L"\\");
  }
  WriteLayoutValues(store, p);
  for (TdxTreeListColumn* column : FColumns) WriteColumnLayout(store, p + L"\\Columns\\" + column->Name(), column);
}

void TCustomdxTreeListControl::LoadLayout(TdxRegIniWrapper& store, const WideString& path) {
  const WideString p = NormalizeRegistryPath(path);
  BeginLoadLayout();
  struct TEndLoad {
    TCustomdxTreeListControl& Tree;
    ~TEndLoad() { Tree.EndLoadLayout(); }
  } endLoad{*this};
  ReadLayoutValues(store, p);
  std::vector<std::pair<int, TdxTreeListBand*>> bands;
  for (int k = 0; k < FBands->Count(); ++k) {
    const WideString section = p + L"\\Band\\Band" + std::to_wstring(k);
    const int id = store.ReadInteger(section, L"ID", -1);
    auto* band = id == -1 ? nullptr : static_cast<TdxTreeListBand*>(FBands->FindItemID(id));
    if (!band) continue;
    band->SetVisible(store.ReadBool(section, L"Visible", band->Visible()));
    band->SetWidth(store.ReadInteger(section, L"Width", band->Width()));
    bands.emplace_back(std::max(store.ReadInteger(section, L"Index", band->Index()), 0), band);
  }
  OrderByStoredIndex(bands);
  for (std::size_t i = 0; i < bands.size(); ++i) bands[i].second->SetIndex(int(i));

  std::vector<std::pair<int, TdxTreeListColumn*>> columns;
  for (TdxTreeListColumn* column : std::vector<TdxTreeListColumn*>(FColumns)) {
    const WideString section = p + L"\\Columns\\" + column->Name();
    ReadColumnLayout(store, section, column);
    columns.emplace_back(std::max(store.ReadInteger(section, L"Index", column->Index()), 0), column);
  }
  OrderByStoredIndex(columns);
  for (std::size_t i = 0; i < columns.size(); ++i) columns[i].second->SetIndex(int(i));

  ++LockRefreshRowIndexes;
  try {
    for (TdxTreeListColumn* column : FColumns) {
      const WideString section = p + L"\\Columns\\" + column->Name();
      column->SetBandIndex(store.ReadInteger(section, L"BandIndex", column->BandIndex()));
      column->SetRowIndex(store.ReadInteger(section, L"RowIndex", column->RowIndex()));
      column->FStoredRowIndex = store.ReadInteger(section, L"StoredRowIndex", column->StoredRowIndex());
    }
  } catch (...) {
    --LockRefreshRowIndexes;
    throw;
  }
  --LockRefreshRowIndexes;
  ColumnChanged(nullptr);
  if (IsMultiSort()) {
    FSortedColumns.clear();
    RebuildSortedColumns();
  }
}

void TCustomdxTreeListControl::RebuildSortedColumns() {
  for (TdxTreeListColumn* column : FColumns)
    if (column->Sorted() != csNone) AddSortedColumn(column);
  std::stable_sort(FSortedColumns.begin(), FSortedColumns.end(),
                   [](TdxTreeListColumn* a, TdxTreeListColumn* b) { return a->SortedOrder() < b->SortedOrder(); });
}

void TCustomdxTreeListControl::SaveToRegistry(const WideString& regPath) {
  TRegistryLayoutStore store(L"");
  SaveLayout(store.Wrapper, regPath);
}

void TCustomdxTreeListControl::LoadFromRegistry(const WideString& regPath) {
  const WideString path = NormalizeRegistryPath(regPath);
  {
    TRegistry probe;
    if (!probe.OpenKey(path, false)) return;
  }
  TRegistryLayoutStore store(L"");
  LoadLayout(store.Wrapper, path);
}

void TCustomdxTreeListControl::EraseRegistryEntries(const WideString& regPath) {
  TRegistryLayoutStore store(L"");
  EraseLayoutValues(store.Wrapper, NormalizeRegistryPath(regPath));
}

void TCustomdxTreeListControl::SaveToIniFile(const WideString& fileName) {
  TIniLayoutStore store(fileName);
  SaveLayout(store.Wrapper, FIniSectionName.empty() ? FParentFormName + L"_" + Name() : FIniSectionName);
  store.Store.UpdateFile();
}

void TCustomdxTreeListControl::LoadFromIniFile(const WideString& fileName) {
  WideString section = FIniSectionName;
  if (section.empty()) {
    TCustomForm* form = GetParentForm(this);
    section = (form ? form->Name() : WideString()) + L"_" + Name();
  }
  TIniLayoutStore store(fileName);
  LoadLayout(store.Wrapper, section);
}

void TCustomdxTreeListControl::AutoLoadLayout() {
  if (FLoadedLayout || (ComponentState() & csDesigning)) return;
  FLoadedLayout = true;
  if (Op(aoStoreToRegistry) && !FRegistryPath.empty()) {
    // Read, erase, read again: the key stays, its layout entries are gone until the next save.
    LoadFromRegistry(FRegistryPath);
    EraseRegistryEntries(FRegistryPath);
    LoadFromRegistry(FRegistryPath);
  }
  if (Op(aoStoreToIniFile) && !FIniFileName.empty()) LoadFromIniFile(FIniFileName);
}

void TCustomdxTreeListControl::AutoSaveLayout() {
  if (FSavedLayout || (ComponentState() & csDesigning)) return;
  FSavedLayout = true;
  if (Op(aoStoreToRegistry) && !FRegistryPath.empty()) SaveToRegistry(FRegistryPath);
  if (Op(aoStoreToIniFile) && !FIniFileName.empty()) SaveToIniFile(FIniFileName);
}

void TCustomdxTreeListControl::SaveLayoutBeforeDestruction() noexcept {
  try {
    AutoSaveLayout();
  } catch (...) {
    Application().HandleException(this);
  }
}

// ---- the designer

TdxTreeListDesigner::TdxTreeListDesigner(TCustomdxTreeListControl* treeList) : TreeList(treeList) {
  if (TreeList) {
    delete TreeList->FDesigner;
    TreeList->FDesigner = this;
  }
}

TdxTreeListDesigner::~TdxTreeListDesigner() {
  if (TreeList && TreeList->FDesigner == this) TreeList->FDesigner = nullptr;
}

}  // namespace tvk

namespace tvk {

bool TCustomdxTreeListControl::IsClickEdit(int column, TdxTreeListNode* node, int x, int y) {
  TdxTreeListColumn* c = ColumnAt(column);
  if (!FSingleClickCheckEdit || !c || !node) return false;
  const RECT cell = CellRect(node, GetFocusedVisibleIndex(column));
  if (cell.right <= cell.left) return false;
  return c->GetEditorClass()->Functions().DoesEditorNeedActivating(cell, GetColumnAlignment(node, column), x, y);
}

bool TCustomdxTreeListControl::CanHotTrackCellAt(int x, int y, int32_t& activeIndex, int column,
                                                 TdxTreeListNode* node) {
  if (TCustomdxTreeList::CanHotTrackCellAt(x, y, activeIndex, column, node)) return true;
  TdxTreeListColumn* c = ColumnAt(column);
  return c && c->IsCellHotTrack();
}

void TCustomdxTreeListControl::DoHotTrackNode(const TdxTreeListHotTrackInfo& info, TCursor& cursor) {
  if (TdxTreeListColumn* c = ColumnAt(info.Column)) c->GetHotTrackCursor(info.Node, cursor);
  TCustomdxTreeList::DoHotTrackNode(info, cursor);
}

}  // namespace tvk
