#include "TreeListEditing.h"

#include <algorithm>
#include <exception>

#include "TreeListEditors.h"

namespace tvk {

namespace {

bool HitInside(const RECT& r, int x, int y) { return x >= r.left && x < r.right && y >= r.top && y < r.bottom; }
bool HitEmpty(const RECT& r) { return r.right <= r.left || r.bottom <= r.top; }
// X within the sizing tolerance of the edge E.
bool NearEdge(int x, int e) { return x >= e - kSizingEdgeWidth && x <= e + kSizingEdgeWidth; }

// A span [Left, Right) of the tree area; empty when Right <= Left.
struct TTreeSpan {
  int Left = 0;
  int Right = 0;
  bool Exists = false;
  bool Contains(int x) const { return Exists && x >= Left && x < Right; }
};

// Raises the editors' initialising flag for a scope.
class TEditInitScope {
public:
  explicit TEditInitScope(TCustomdxContainer& host) : FHost(host) { FHost.BeginInitEdit(); }
  ~TEditInitScope() { FHost.EndInitEdit(); }
  TEditInitScope(const TEditInitScope&) = delete;
  TEditInitScope& operator=(const TEditInitScope&) = delete;

private:
  TCustomdxContainer& FHost;
};

}  // namespace

// ---- hit test

bool TCustomdxTreeList::CanSizeBand(int band) {
  return Ex(aoBandSizing) && IsBandSizing(band) && (!IsBandHeaderWidth() || FShowBands);
}

TdxTreeListHitInfo TCustomdxTreeList::GetHitInfo(POINT pos) {
  TdxTreeListHitInfo hit;
  const int x = pos.x, y = pos.y;
  hit.X = x;
  hit.Y = y;
  TdxGridDrawInfo d;
  CalcDrawInfo(d);
  if (!HitInside(d.CRect, x, y)) return hit;
  hit.hitType = htNowhere;
  if (!HitEmpty(d.GroupPanelRect) && HitInside(d.GroupPanelRect, x, y)) {
    hit.hitType = htGroupPanel;
    return hit;
  }
  // The right end of a panel's scrolling span: left of a fixed right band.
  auto spanRight = [&](const RECT& panel) {
    int right = panel.right;
    if (!HitEmpty(d.FixedBandRightRect)) right = std::min(right, int(d.FixedBandRightRect.left));
    return right;
  };
  // The right edge of a cell that may run past the span's right end.
  auto onRightEdge = [&](const RECT& cell, const RECT& panel) {
    int right = spanRight(panel);
    return x >= cell.right - kSizingEdgeWidth ||
           (cell.right > right && cell.left < right && x >= right - kSizingEdgeWidth);
  };
  auto panelEdge = [&](const RECT& button, const RECT& panel) {
    int left = HitEmpty(button) ? panel.left : button.left;
    return x >= left && x < panel.right && y >= panel.bottom - kSizingEdgeWidth && y < panel.bottom + kSizingEdgeWidth;
  };
  // The last column of a visible band's last header row, -1 when none.
  auto lastColumnOf = [&](int band) {
    int rows = band >= 0 ? GetHeaderRowCount(band) : 0;
    if (rows <= 0) return -1;
    int cols = GetHeaderColCount(band, rows - 1);
    return cols > 0 ? GetHeaderAbsoluteIndex(band, rows - 1, cols - 1) : -1;
  };
  // The band or column a header edge at a band border sizes; false when none may be sized.
  auto bandBorder = [&](int band) {
    if (!IsHeaderBandSizing()) {
      if (!CanSizeBand(band)) return false;
      hit.Band = band;
      hit.hitType = htBandEdge;
      return true;
    }
    int column = lastColumnOf(band);
    if (column < 0 || !CanSizeColumn(column)) return false;
    hit.Band = band;
    hit.Column = column;
    hit.hitType = htColumnEdge;
    return true;
  };

  // Band panel.
  if (!HitEmpty(d.BandRect) && IsBandPanelSizing() && panelEdge(d.BandButtonRect, d.BandRect)) {
    hit.hitType = htBandPanelEdge;
    return hit;
  }
  if (!HitEmpty(d.BandButtonRect) && HitInside(d.BandButtonRect, x, y)) {
    hit.hitType = htBandButton;
    return hit;
  }
  if (!HitEmpty(d.BandRect)) {
    if (HitInside(d.BandRect, x, y)) {
      hit.hitType = htBand;
      for (std::size_t k = 0; k < d.BandsInfo.size(); ++k) {
        const TdxGridBandDrawInfo& band = d.BandsInfo[k];
        if (HitInside(band.BandRect, x, y) && HitInside(band.BandClipRect, x, y)) {
          hit.Band = band.Index;
          if (CanSizeBand(band.Index) && onRightEdge(band.BandRect, d.BandRect)) {
            hit.hitType = htBandEdge;
          } else if (k > 0 && NearEdge(x, d.BandsInfo[k - 1].BandRect.right) &&
                     CanSizeBand(d.BandsInfo[k - 1].Index)) {
            hit.Band = d.BandsInfo[k - 1].Index;
            hit.hitType = htBandEdge;
          }
          break;
        }
        if (x > band.BandRect.right && x <= band.BandRect.right + kSizingEdgeWidth && CanSizeBand(band.Index)) {
          hit.Band = band.Index;
          hit.hitType = htBandEdge;
          break;
        }
      }
      return hit;
    }
    if (!d.BandsInfo.empty() && x >= d.BandRect.right && x < d.BandRect.right + kSizingEdgeWidth &&
        y >= d.BandRect.top && y < d.BandRect.bottom && CanSizeBand(d.BandsInfo.back().Index)) {
      hit.Band = d.BandsInfo.back().Index;
      hit.hitType = htBandEdge;
      return hit;
    }
  }

  // Header panel.
  if (!HitEmpty(d.HeaderRect) && IsHeaderPanelSizing() && panelEdge(d.HeaderButtonRect, d.HeaderRect)) {
    hit.hitType = htHeaderPanelEdge;
    return hit;
  }
  if (!HitEmpty(d.HeaderButtonRect) && HitInside(d.HeaderButtonRect, x, y)) {
    hit.hitType = htHeaderButton;
    return hit;
  }
  if (!HitEmpty(d.HeaderRect)) {
    if (HitInside(d.HeaderRect, x, y)) {
      hit.hitType = htColumn;
      for (std::size_t k = 0; k < d.HeadersInfo.size(); ++k) {
        const TdxGridHeaderDrawInfo& header = d.HeadersInfo[k];
        if (!HitInside(header.HeaderRect, x, y) || !HitInside(header.HeaderClipRect, x, y)) continue;
        hit.Band = header.BandIndex;
        hit.Column = header.AbsoluteIndex;
        if (onRightEdge(header.HeaderRect, d.HeaderRect)) {
          if (CanSizeColumn(hit.Column) && (!header.LastColumn || IsHeaderBandSizing())) {
            hit.hitType = htColumnEdge;
            return hit;
          }
          if (header.LastColumn && CanSizeBand(hit.Band)) {
            hit.hitType = htBandEdge;
            return hit;
          }
        }
        if (!header.FirstColumn && k > 0) {
          const TdxGridHeaderDrawInfo& prev = d.HeadersInfo[k - 1];
          if (prev.BandIndex == header.BandIndex && prev.RowIndex == header.RowIndex &&
              NearEdge(x, prev.HeaderRect.right) && CanSizeColumn(prev.AbsoluteIndex)) {
            hit.Column = prev.AbsoluteIndex;
            hit.hitType = htColumnEdge;
            return hit;
          }
        }
        if (header.FirstColumn && header.BandIndex != 0 && x < header.HeaderRect.left + kSizingEdgeWidth &&
            !bandBorder(header.BandIndex - 1)) {
          hit.Band = header.BandIndex;
          hit.Column = header.AbsoluteIndex;
        }
        return hit;
      }
      hit.hitType = htNowhere;
      return hit;
    }
    if (!d.BandsInfo.empty() && x >= d.HeaderRect.right && x < d.HeaderRect.right + kSizingEdgeWidth &&
        y >= d.HeaderRect.top && y < d.HeaderRect.bottom && bandBorder(d.BandsInfo.back().Index))
      return hit;
  }

  // New item row.
  if (!HitEmpty(d.NewItemRowRect) && HitInside(d.NewItemRowRect, x, y)) {
    hit.hitType = htNewRowItem;
    if (y < d.NewItemRowRect.bottom - FNewItemRowSeparatorHeight)
      for (const TdxGridHeaderDrawInfo& header : d.HeadersInfo)
        if (x >= header.HeaderRect.left && x < header.HeaderRect.right && x >= header.HeaderClipRect.left &&
            x < header.HeaderClipRect.right) {
          hit.Band = header.BandIndex;
          hit.Column = header.AbsoluteIndex;
          break;
        }
    return hit;
  }

  // Indicator column; without an indicator its row edges run along the whole rows.
  RECT indicator = d.IndicatorRect;
  if (!FShowIndicator) indicator.right = d.CellsRect.right;
  if (!HitEmpty(indicator)) {
    if (HitInside(indicator, x, y)) {
      hit.hitType = htIndicator;
      int t = d.CellsRect.top;
      for (std::size_t k = 0; k < d.RowsInfo.size(); ++k) {
        int h = d.RowsInfo[k].RowHeight;
        if (y >= t && y < t + h) {
          hit.Row = int(k);
          hit.Node = d.RowsInfo[k].Node;
          hit.NodeTop = t;
          if (IsRowSizing()) {
            if (k > 0 && y >= t && y <= t + kSizingEdgeWidth) {
              hit.Row = int(k) - 1;
              hit.Node = d.RowsInfo[k - 1].Node;
              hit.hitType = htRowEdge;
            } else if (y >= t + h - kSizingEdgeWidth && y <= t + h) {
              hit.hitType = htRowEdge;
            }
          }
          break;
        }
        t += h;
      }
      if (hit.hitType == htRowEdge || FShowIndicator) return hit;
      hit.hitType = htNowhere;
      hit.Row = -1;
      hit.Node = nullptr;
      hit.NodeTop = 0;
    } else if (x >= indicator.left && x < indicator.right && y >= indicator.bottom &&
               y < indicator.bottom + kSizingEdgeWidth && !d.RowsInfo.empty() && IsRowSizing()) {
      hit.Row = d.RowCount() - 1;
      hit.Node = d.RowsInfo.back().Node;
      hit.hitType = htRowEdge;
      return hit;
    }
  }

  if (!HitEmpty(d.StatusRect) && HitInside(d.StatusRect, x, y)) {
    hit.hitType = htStatusPanel;
    return hit;
  }

  // Footer.
  if (!HitEmpty(d.FooterRect) && HitInside(d.FooterRect, x, y)) {
    hit.hitType = htSummaryFooter;
    for (const TdxGridHeaderDrawInfo& header : d.HeadersInfo) {
      int top = d.FooterRect.top + FFooterRowHeight * header.RowIndex;
      RECT cell{header.HeaderRect.left, top - (header.RowIndex == 0 ? 1 : 0), header.HeaderRect.right,
                top + header.LineCount * FFooterRowHeight + 3};
      if (HitInside(cell, x, y) && x >= header.HeaderClipRect.left && x < header.HeaderClipRect.right) {
        hit.Band = header.BandIndex;
        hit.Column = header.AbsoluteIndex;
        break;
      }
    }
    return hit;
  }

  // Rows.
  if (d.RowsInfo.empty() || d.BandsInfo.empty()) return hit;
  int t = d.CellsRect.top, k = 0;
  for (; k < d.RowCount(); ++k) {
    if (y >= t && y < t + d.RowsInfo[std::size_t(k)].RowHeight) break;
    t += d.RowsInfo[std::size_t(k)].RowHeight;
  }
  if (k == d.RowCount()) return hit;
  const TdxGridRowDrawInfo& row = d.RowsInfo[std::size_t(k)];
  TdxTreeListNode* node = row.Node;
  const int h = row.RowHeight;
  hit.Row = k;
  hit.Node = node;
  hit.hitType = x < d.EdgeX ? htLabel : htRight;
  const int footerTop = t + h - d.RowSeparatorLineWidth - row.RowFooterHeight;
  for (int f = 0; f < row.RowFooterCount; ++f) {
    RECT r;
    GetRowFooterRect(node, f, r, d, FShowGrid ? 1 : 0, footerTop);
    if (HitInside(r, x, y)) {
      hit.hitType = htSummaryNodeFooter;
      hit.FooterRow = f;
      break;
    }
  }
  const bool fixedLeft = d.FixedBandLeftIndex != -1;
  if (hit.hitType != htSummaryNodeFooter) {
    int indent = 0, imageIndent = 0;
    GetNodeIndent(node, indent, imageIndent);
    imageIndent = std::min(imageIndent, d.IndentLimit);
    if (!fixedLeft) imageIndent -= FLeftCoord;
    if (x < d.CellsRect.left + imageIndent) {
      // The tree parts, in the row's own coordinates.
      const int local = x - d.CellsRect.left + (fixedLeft ? 0 : FLeftCoord);
      const int level = node->Level(), i = FIndent;
      const bool outlookLeaf = !node->HasChildren() && FPaintStyle == psOutlook;
      TTreeSpan button, state, image, indentArea;
      if (node->HasChildren() && FShowButtons) button = {level * i, (level + 1) * i, true};
      if (node->StateIndex() != -1) {
        int left = (level + 1) * i - (outlookLeaf ? i : 0);
        state = {left, left + FImageStateW, true};
      }
      if (node->SelectedIndex() != -1 || node->ImageIndex() != -1) {
        int w = GetNodeImageWidth(node);
        if (state.Exists) {
          image = {state.Right, state.Right + w, true};
        } else {
          int left = (level + 1) * i - (outlookLeaf ? i : 0);
          image = {left, left + w - 1, true};
        }
      }
      const TTreeSpan* first = button.Exists ? &button : state.Exists ? &state : image.Exists ? &image : nullptr;
      if (first && first->Left > 0) indentArea = {0, first->Left, true};
      for (TTreeSpan* span : {&indentArea, &button, &state, &image}) {
        if (!span->Exists) continue;
        if (!FShowRoot) {
          span->Left -= i;
          span->Right -= i;
        }
        if (span->Left >= d.IndentLimit)
          span->Exists = false;
        else
          span->Right = std::min(span->Right, d.IndentLimit);
      }
      hit.hitType = indentArea.Contains(local) ? htIndent
                    : button.Contains(local)   ? htButton
                    : state.Contains(local)    ? htStateIcon
                    : image.Contains(local)    ? htIcon
                                               : htNowhere;
    }
  }
  const int previewHeight = row.PreviewLineCount * FDescTextHeight;
  if (hit.hitType == htLabel && row.PreviewLineCount > 0) {
    int bottom = t + h - d.RowSeparatorLineWidth - row.RowFooterHeight;
    if (y >= bottom - previewHeight - 2 && y < bottom) hit.hitType = htPreview;
  }
  if (hit.hitType == htLabel || hit.hitType == htSummaryNodeFooter) {
    const bool oneRow = GetHeaderPanelRowCount() == 1;
    for (const TdxGridHeaderDrawInfo& header : d.HeadersInfo) {
      RECT cell;
      if (hit.hitType == htLabel) {
        int top = t + FRowHeight * header.RowIndex;
        cell = RECT{header.HeaderRect.left, top, header.HeaderRect.right, top + header.LineCount * FRowHeight};
        if (oneRow) cell.bottom = t + h - previewHeight - row.RowFooterHeight;
      } else {
        int c = t + h + hit.FooterRow * FFooterRowNodeHeight - row.RowFooterHeight + FFooterRowHeight * header.RowIndex;
        cell = RECT{header.HeaderRect.left, c - (header.RowIndex == 0 ? 1 : 0), header.HeaderRect.right,
                    c + header.LineCount * FFooterRowHeight + 2};
      }
      if (HitInside(cell, x, y) && x >= header.HeaderClipRect.left && x < header.HeaderClipRect.right) {
        hit.Band = header.BandIndex;
        hit.Column = header.AbsoluteIndex;
        break;
      }
    }
  }
  return hit;
}

bool TCustomdxTreeList::DesignHitTest(POINT p) {
  if (!(ComponentState() & csDesigning)) return false;
  switch (FState) {
    case tsColumnSizing: case tsColumnDragging: case tsColumnDown: case tsBandSizing: case tsBandDragging:
    case tsBandDown: case tsBandPanelSizing: case tsHeaderPanelSizing: case tsRowSizing:
      return true;
    default:
      break;
  }
  switch (GetHitInfo(p).hitType) {
    case htColumn: case htColumnEdge: case htBand: case htBandEdge: case htBandPanelEdge: case htHeaderPanelEdge:
    case htRowEdge:
      return true;
    default:
      return false;
  }
}

// ---- in-place editing

int TCustomdxTreeList::FocusedColumn() {
  if (IsRowSelect()) return 0;
  return FFocusedColumn >= 0 && FFocusedColumn < GetVisibleColumnCount() ? FFocusedColumn : 0;
}

void TCustomdxTreeList::SetFocusedColumn(int value) {
  if (value == FFocusedColumn || value < 0 || value >= GetVisibleColumnCount()) return;
  ChangeFocus(FFocused, value, true);
}

void TCustomdxTreeList::ShowEditor() {
  if (!IsEditing() || IsRowSelect() || !FFocused) return;
  bool allow = true;
  if (IsNewItemRowActive())
    CanEditNewItemRow(allow);
  else
    DoEditing(FFocused, allow);
  if (!allow) {
    FInplaceEdit = nullptr;  // the editor objects stay the control's
    return;
  }
  if (FState != tsNormal || FFocusedColumn == -1 || GetVisibleColumnCount() == 0) return;
  MakeColumnVisible(GetFocusedAbsoluteIndex(FocusedColumn()));
  MakeNodeVisible(FFocused);
  SetState(tsEditing);
  ShowInplaceEditor(true);
}

void TCustomdxTreeList::ShowEditorChar(wchar_t ch) {
  ShowEditor();
  if (!FInplaceEdit || FState != tsEditing) return;
  HWND editor = FInplaceEdit->Handle();
  if (ch == 22)
    PostMessageW(editor, WM_PASTE, 0, 0);
  else if (ch == 24)
    PostMessageW(editor, WM_CUT, 0, 0);
  else
    PostMessageW(editor, WM_CHAR, WPARAM(ch), 0);
}

void TCustomdxTreeList::ShowEditorMouse(int x, int y) {
  ShowEditor();
  if (FInplaceEdit && FState == tsEditing) FInplaceEdit->MouseClick(x, y);
}

void TCustomdxTreeList::ShowButtonEditorMouse(int x, int y) {
  ShowEditor();
  if (FInplaceEdit && FState == tsEditing) FInplaceEdit->MouseButtonClick(x, y);
}

void TCustomdxTreeList::EndEditing(bool takeFocus) {
  if (FState != tsEditing) return;
  // A refused value raises here and leaves the editor open.
  if (!IsDestroying() && FInplaceEdit) FInplaceEdit->ValidateEdit();
  SetState(tsNormal);
  HideInplaceEditor(takeFocus);
}

void TCustomdxTreeList::HideEditor() { EndEditing(false); }

void TCustomdxTreeList::CloseEditor() { EndEditing(true); }

void TCustomdxTreeList::CancelEditor() {
  FInplaceColumn = -1;
  FInplaceNode = nullptr;
  if (!IsDestroying()) CloseEditor();
}

void TCustomdxTreeList::DiscardEditor() {
  FInplaceColumn = -1;
  FInplaceNode = nullptr;
  if (IsDestroying() || FState != tsEditing) return;
  SetState(tsNormal);
  HideInplaceEditor(true);
}

bool TCustomdxTreeList::IsActive() {
  HWND focus = GetFocus();
  if (HandleAllocated() && focus && (focus == Handle() || IsChild(Handle(), focus))) return true;
  return FState == tsEditing && FInplaceEdit && FInplaceEdit->IsFocused();
}

WideString TCustomdxTreeList::EditingText() {
  return FState == tsEditing && FInplaceEdit ? FInplaceEdit->GetEditingText() : WideString();
}

void TCustomdxTreeList::SetEditingText(const WideString& value) {
  if (FState == tsEditing && FInplaceEdit) FInplaceEdit->SetEditingText(value);
}

// ---- the editor-hosting cycle

bool TCustomdxTreeList::CanShowEditor() {
  return FState == tsEditing && !(ComponentState() & csDesigning) && FLockUpdate == 0 && HandleAllocated();
}

TdxInplaceEdit* TCustomdxTreeList::CreateEditor() {
  if (FEnableUnicodeSupport) return CreateComponent<TdxInplaceTreeListTextEditW>(this);
  return CreateComponent<TdxInplaceTreeListTextEdit>(this);
}

void TCustomdxTreeList::InitEditProperties(TdxInplaceEdit* editor) {
  editor->SetCloseFlag(false);
  HDC screen = GetDC(nullptr);
  COLORREF nearest = ::GetNearestColor(screen, ColorToRGB(GetInplaceEditColor()));
  ReleaseDC(nullptr, screen);
  editor->SetColor(TColor(nearest));
  editor->Font().Assign(GetInplaceEditFont());
  editor->SetOffsetSize(RECT{1, 0, 0, 0});
}

void TCustomdxTreeList::InitEditValue(TdxTreeListNode* node, TdxInplaceEdit* editor, Variant& value) {
  (void)node;
  value = Variant(WideString());
  editor->SetEditValue(value);  // a reused editor shows nothing of its last cell
}

void TCustomdxTreeList::SaveEditValue(TdxTreeListNode* node, int column, Variant& value, TdxInplaceEdit* editor) {
  (void)node; (void)column; (void)editor;
  value = Variant(WideString());
}

void TCustomdxTreeList::PrepareInplaceEditor() {
  int column = FFocusedColumn == -1 ? 0 : FocusedColumn();
  FInplaceColumn = column;
  FInplaceNode = FFocused;
  FInplaceColumnIndex = column;
  FInplaceEdit->SetParent(this);
  if (!FFocused) return;
  TEditInitScope init(*this);
  InitEditProperties(FInplaceEdit);
  Variant value;
  InitEditValue(FInplaceNode, FInplaceEdit, value);
  FInplaceEdit->SetEditModified(false);
  if (IsHostReadOnly()) FInplaceEdit->SetReadOnly(true);
  FInplaceEdit->SetActive(true);
}

void TCustomdxTreeList::ShowInplaceEditor(bool activate) {
  if (!CanShowEditor()) return;
  const int column = FocusedColumn();
  TdxInplaceEdit* editor = GetEditor();
  // An editor of another class leaves the cell before the new one takes it.
  if (FInplaceEdit && editor != FInplaceEdit && FInplaceEdit->IsVisible()) HideInplaceEditor(false);
  if (editor) {
    FInplaceEdit = editor;
    if (FInplaceColumn != column || FInplaceNode != FFocused) {
      HideInplaceEditor(false);
      SetState(tsEditing);
      PrepareInplaceEditor();
    }
  } else {
    FInplaceEdit = CreateEditor();
    if (!FInplaceEdit) return;
    PrepareInplaceEditor();
  }
  RECT r = GetEditRect(FFocused, column);
  if (!CanShowEditor()) {
    FInplaceColumn = -1;
    FInplaceNode = nullptr;
    return;
  }
  if (activate) {
    FInplaceEdit->Move(r);
    return;
  }
  FInplaceEdit->LockActivate();
  try {
    FInplaceEdit->Move(r);
  } catch (...) {
    FInplaceEdit->UnLockActivate();
    throw;
  }
  FInplaceEdit->UnLockActivate();
}

void TCustomdxTreeList::SaveInplaceValue() {
  if (FInplaceColumn == -1 || !FInplaceNode || !FInplaceEdit) return;
  TdxTreeListNode* node = FInplaceNode;
  if (FInplaceEdit->GetEditModified()) {
    Variant value;
    SaveEditValue(node, FInplaceColumn, value, FInplaceEdit);
  }
  DoEdited(node);
}

void TCustomdxTreeList::HideInplaceEditor(bool takeFocus) {
  TdxInplaceEdit* editor = FInplaceEdit;
  if (!editor) return;
  editor->SetCloseFlag(true);
  HWND focus = GetFocus();
  bool hadFocus = editor->HandleAllocated() && focus && (focus == editor->Handle() || IsChild(editor->Handle(), focus));
  // The editor leaves its cell and gives the focus back also when saving fails.
  auto finish = [&] {
    FInplaceColumn = -1;
    FInplaceNode = nullptr;
    editor->Hide();
    if ((takeFocus || hadFocus) && HandleAllocated() && IsWindowVisible(Handle())) ::SetFocus(Handle());
  };
  try {
    if (!editor->IsDestroying()) SaveInplaceValue();
  } catch (...) {
    finish();
    throw;
  }
  finish();
}

void TCustomdxTreeList::HideEditorWindow() {
  if (FState == tsEditing && FInplaceEdit && FInplaceEdit->IsVisible()) FInplaceEdit->Hide();
}

void TCustomdxTreeList::RestoreEditorWindow() {
  if (FState == tsEditing && FInplaceEdit && FInplaceColumn != -1) ShowInplaceEditor(false);
}

void TCustomdxTreeList::StartClickHoverEditTimer(bool allowed) {
  if (!allowed || FState == tsEditing || FClickHoverTimerActive || !HandleAllocated()) return;
  FClickHoverTimerActive = SetTimer(Handle(), kClickHoverEditTimer, GetDoubleClickTime(), nullptr) != 0;
}

void TCustomdxTreeList::StopClickHoverEditTimer() {
  if (!FClickHoverTimerActive) return;
  if (HandleAllocated()) KillTimer(Handle(), kClickHoverEditTimer);
  FClickHoverTimerActive = false;
}

void TCustomdxTreeList::Notification(TComponent* component, TOperation operation) {
  TCustomdxContainer::Notification(component, operation);
  if (operation == TOperation::opRemove) {
    if (component == FImages) FImages = nullptr;
    if (component == FStateImages) FStateImages = nullptr;
  }
  if (operation == TOperation::opRemove && component == FInplaceEdit) {
    FInplaceEdit = nullptr;
    FInplaceColumn = -1;
    FInplaceNode = nullptr;
  }
}

// ---- answers to the editors

std::unique_ptr<TdxEditStyle> TCustomdxTreeList::CreateEditStyle(TdxInplaceEdit* edit) {
  return std::make_unique<TdxTreeListEditStyle>(edit, this);
}

TColor TCustomdxTreeList::GetInplaceEditColor() {
  TColor color = Color();
  if (FFocusedColumn != -1) {
    int column = GetFocusedAbsoluteIndex(FocusedColumn());
    if (column >= 0) color = GetColumnColor(column);
  }
  if (OnGetEditColor) OnGetEditColor(this, color);
  return color;
}

TFont& TCustomdxTreeList::GetInplaceEditFont() {
  if (FFocusedColumn != -1) {
    int column = GetFocusedAbsoluteIndex(FocusedColumn());
    if (column >= 0 && IsColumnFontAssigned(column)) return GetColumnFont(column);
  }
  return Font();
}

bool TCustomdxTreeList::IsEditorKeyBlocked() { return FocusedColumn() != FInplaceColumnIndex; }

void TCustomdxTreeList::MoveToNeighbourCell(bool backward) {
  CloseEditor();
  SetFocusedColumn(FocusedColumn() + (backward ? -1 : 1));
}

void TCustomdxTreeList::InplaceEditKillFocus(HWND focusedWnd) {
  (void)focusedWnd;
  RECT r;
  GetNodeRowRect(FFocused, r);
  InvalidateRows(r, false);
  if (SelectedCount() > 0) InvalidateSelection();
}

}  // namespace tvk
