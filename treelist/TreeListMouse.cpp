#include "TreeListMouse.h"

#include <cstdlib>

#include "Forms.h"
#include "TreeListRoutines.h"
#include "TreeListScrolling.h"

namespace tvk {

namespace {

int MouseX(LPARAM lParam) { return short(LOWORD(lParam)); }
int MouseY(LPARAM lParam) { return short(HIWORD(lParam)); }

bool IsNodeAreaHit(TdxTreeListHitTest kind) {
  switch (kind) {
    case htButton: case htIcon: case htStateIcon: case htIndent: case htLabel: case htRight:
    case htSummaryNodeFooter: case htPreview: case htNewRowItem:
      return true;
    default:
      return false;
  }
}

// The parts of a node row a drag over the list tracks.
bool IsNodeRowHit(TdxTreeListHitTest kind) { return kind != htNewRowItem && IsNodeAreaHit(kind); }

bool MovedPastThreshold(POINT from, int x, int y) {
  return std::abs(x - from.x) > kMouseDragThreshold || std::abs(y - from.y) > kMouseDragThreshold;
}

bool IsSizingState(TdxTreeListState s) {
  return s == tsBandSizing || s == tsColumnSizing || s == tsBandPanelSizing || s == tsHeaderPanelSizing ||
         s == tsRowSizing;
}

int RectWidth(const RECT& r) { return int(r.right - r.left); }

// Shares Total over the widths in proportion (the last takes the rest).
void Distribute(std::vector<int>& widths, int total, int sum) {
  if (widths.empty() || sum <= 0) return;
  int given = 0;
  for (std::size_t i = 0; i + 1 < widths.size(); ++i) {
    widths[i] = MulDiv(widths[i], total, sum);
    given += widths[i];
  }
  widths.back() = total - given;
}

}  // namespace

// ---- unit-level routines of the mouse-scroll mode

TMouseScrollMotion MouseScrollMotion(POINT origin, POINT p, int width, bool horzBar, bool vertBar) {
  const int half = width / 2;
  const int dx = p.x - origin.x, dy = p.y - origin.y;
  // A missing bar widens the neutral zone across the whole screen in its direction.
  const bool inX = !horzBar || std::abs(dx) <= half;
  const bool inY = !vertBar || std::abs(dy) <= half;
  if (inX && inY) return {};
  TMouseScrollMotion motion;
  int distance;
  if (!horzBar || (vertBar && std::abs(dy) >= std::abs(dx))) {
    motion.Direction = dy < 0 ? TMouseScrollDirection::Up : TMouseScrollDirection::Down;
    distance = std::abs(dy);
  } else {
    motion.Direction = dx < 0 ? TMouseScrollDirection::Left : TMouseScrollDirection::Right;
    distance = std::abs(dx);
  }
  motion.Speed = std::clamp((distance - half) / 5 + 1, 1, 12);
  return motion;
}

TCursor MouseScrollCursor(TMouseScrollDirection direction, bool horzBar, bool vertBar) {
  switch (direction) {
    case TMouseScrollDirection::Left: return crdxTreeListLeftScroll;
    case TMouseScrollDirection::Up: return crdxTreeListUpScroll;
    case TMouseScrollDirection::Right: return crdxTreeListRightScroll;
    case TMouseScrollDirection::Down: return crdxTreeListDownScroll;
    case TMouseScrollDirection::None: break;
  }
  if (horzBar && vertBar) return crdxTreeListFullScroll;
  return horzBar ? crdxTreeListHorScroll : crdxTreeListVerScroll;
}

// ---- references to nodes

void TCustomdxTreeList::ForgetMouseNode(TdxTreeListNode* node) {
  auto forget = [node](TdxTreeListNode*& field) {
    if (!node || field == node) field = nullptr;
  };
  forget(FHotTrackInfo.Node);
  forget(FHitInfo.Node);
  forget(FTooltipNode);
  forget(FDragExpandNode);
}

// ---- the window procedure

void TCustomdxTreeList::WndProc(TMessage& message) {
  const bool automatic = DragMode() == TDragMode::dmAutomatic;
  switch (message.Msg) {
    case WM_MOUSEMOVE:
      // A band or header move takes the mouse from the library.
      if (FState == tsBandDragging) return BandDragMove();
      if (FState == tsColumnDragging) return HeaderDragMove();
      break;
    case WM_KEYDOWN:
      if (!Dragging() || !automatic) break;
      if (message.WParam == VK_ESCAPE) {
        EndDrag(false);
      } else if (message.WParam == VK_ADD || message.WParam == VK_SUBTRACT) {
        POINT p{};
        GetCursorPos(&p);
        p = ScreenToClient(p);
        if (TdxTreeListNode* node = GetNodeAt(p.x, p.y); node && node->HasChildren())
          node->SetExpanded(message.WParam == VK_ADD);
      }
      break;
    case WM_LBUTTONDOWN:
    case WM_LBUTTONDBLCLK:
      // The list begins a node drag itself once the mouse has moved: the
      // press goes straight to the handlers, past the library's drag start.
      if (!(ComponentState() & csDesigning) && !Dragging() && automatic) {
        if (IsControlMouseMsg(message)) return;
        FControlState |= csLButtonDown;
        Dispatch(message);
        return;
      }
      break;
    default:
      break;
  }
  TCustomdxContainer::WndProc(message);
}

void TCustomdxTreeList::WMMButtonDown(TMessage& message) {
  TVK_INHERITED(message);
  MouseDown(TMouseButton::mbMiddle, KeyboardShiftState() | ssMiddle, MouseX(message.LParam),
            MouseY(message.LParam));
}

// ---- presses

void TCustomdxTreeList::MouseDown(TMouseButton button, TShiftState shift, int x, int y) {
  if (FState == tsEditing && FInplaceEdit && FInplaceEdit->FDisableKillFocus) return;
  if (FInplaceEdit && !FInplaceEdit->IsCloseEditorDisabled()) CloseEditor();
  bool wasUnfocused = false;
  FlagCtrl = FlagSelect = FlagEditor = false;
  if (!(ComponentState() & csDesigning) && (CanFocus() || !GetParentForm(this))) {
    wasUnfocused = !Focused();
    SetFocus();
    HWND focus = GetFocus();
    if (!HandleAllocated() || (focus != Handle() && !IsChild(Handle(), focus))) {
      SetMouseCapture(false);
      return;
    }
  }
  FHitInfo = GetHitInfo(POINT{x, y});
  const TdxTreeListHitInfo& hit = FHitInfo;
  const bool left = button == TMouseButton::mbLeft;
  const bool dbl = (shift & ssDouble) != 0;
  if (button == TMouseButton::mbRight && FState != tsNormal) CancelMouseState();

  if (left && FState == tsNormal) {
    auto startSizing = [&](TdxTreeListState state, int pos) {
      SetState(state);
      FSizingPos = FPrevSizingPos = pos;
      DrawSizingLine();
    };
    switch (hit.hitType) {
      case htBandEdge:
        if (hit.Band < 0) break;
        if (dbl) ApplyBandBestFit(hit.Band); else startSizing(tsBandSizing, x);
        return;
      case htColumnEdge:
        if (hit.Column < 0) break;
        if (dbl) ApplyColumnBestFit(hit.Column); else startSizing(tsColumnSizing, x);
        return;
      case htBandPanelEdge: startSizing(tsBandPanelSizing, y); return;
      case htHeaderPanelEdge: startSizing(tsHeaderPanelSizing, y); return;
      case htRowEdge: startSizing(tsRowSizing, y); return;
      case htBand:
        SetState(tsBandDown);
        FDownBandIndex = hit.Band;
        FDownBandPushed = true;
        FPointDragging = POINT{x, y};
        InvalidateBandPanel();
        break;
      case htColumn:
        SetState(tsColumnDown);
        FDownColumnIndex = hit.Column;
        FDownColumnPushed = true;
        FPointDragging = POINT{x, y};
        InvalidateHeaderPanel();
        break;
      case htBandButton:
        if (!IsBandButtonClicking()) break;
        SetState(tsBandButtonDown);
        FBandButtonPushed = true;
        InvalidateBandButton();
        break;
      case htHeaderButton:
        if (!IsHeaderButtonClicking()) break;
        SetState(tsHeaderButtonDown);
        FHeaderButtonPushed = true;
        InvalidateHeaderButton();
        break;
      case htStatusPanel: {
        RECT close;
        GetStatusCloseButtonRect(close);
        if (!PtInRect(&close, POINT{x, y})) break;
        SetState(tsStatusCloseButtonDown);
        FStatusCloseButtonPressed = true;
        InvalidateRect(Handle(), &close, FALSE);
        break;
      }
      default:
        break;
    }
  }

  if (FState == tsNormal && (left || (button == TMouseButton::mbRight && IsNodeAreaHit(hit.hitType)))) {
    if (hit.hitType == htNewRowItem) {
      if (FFocused) {
        const int column = GetFocusedVisibleIndex(hit.Column);
        const bool columnChanged = hit.Column >= 0 && column != FFocusedColumn;
        if (columnChanged) SetFocusedColumn(column);
        const bool wasActive = IsNewItemRowActive();
        SetNewItemRowActive(true);
        FlagEditor = true;
        if (left)
          StartClickHoverEditTimer(!IsRowSelect() && hit.Column >= 0 && wasActive && !columnChanged && !wasUnfocused);
      }
    } else if (hit.Node && (hit.hitType == htButton || (dbl && IsNodeAreaHit(hit.hitType)))) {
      StopClickHoverEditTimer();
      if (FDblClkExpanding || hit.hitType == htButton) hit.Node->SetExpanded(!hit.Node->Expanded());
      if (!dbl) return;
      if (hit.hitType != htButton && CanDblClick()) DblClick();
      return;
    } else if (hit.Node && (IsNodeAreaHit(hit.hitType) || hit.hitType == htIndicator)) {
      if (left && hit.hitType != htIndicator) SetState(tsNodeDown);
      FDragNode = hit.Node;
      SetNewItemRowActive(false);
      BeginSelection();
      OldFocusedNode = FFocused;
      const int oldColumn = FFocusedColumn;
      FMouseDownLeftCoord = FLeftCoord;
      ChangeFocus(hit.Node, hit.Column >= 0 ? GetFocusedVisibleIndex(hit.Column) : oldColumn, true);
      FPointDragging = POINT{x, y};
      if (FFocused && IsMultiSelect()) {
        FSelecting = false;
        if (shift & (ssCtrl | ssShift)) {
          BeginSelection();
          FlagCtrl = true;
          TdxTreeListNode* start = nullptr;
          if (shift & ssShift) {
            if (!FSelectionAnchor) FSelectionAnchor = OldFocusedNode;
            if (!(shift & ssCtrl) && FSelectionAnchor) {
              ClearSelection();
              start = FSelectionAnchor;
            }
          }
          if (start) {
            SelectRange(start, FFocused);
          } else {
            FFocused->SetSelected(!FFocused->Selected());
            if (!(shift & ssShift)) FSelectionAnchor = FFocused;
          }
          EndSelection();
          EndSelection();
          return;
        }
        if (FFocused->Selected()) {
          if (left) FlagSelect = true;
        } else {
          BeginSelection();
          ClearSelection();
          FFocused->SetSelected(true);
          FSelectionAnchor = FFocused;
          EndSelection();
        }
      }
      EndSelection();
      if (left && hit.hitType == htLabel && hit.Column >= 0 && !IsRowSelect()) {
        const int absolute = FocusedColumnAbsoluteIndex();
        if (IsEditButtonHit(FFocused, absolute, FFocused == OldFocusedNode)) {
          SetState(tsNormal);
          ShowButtonEditorMouse(x, y);
        } else if (FFocused == OldFocusedNode && FFocusedColumn == oldColumn) {
          StartClickHoverEditTimer(!wasUnfocused);
        }
      }
    }
  } else if (FState == tsEditing) {
    CloseEditor();
  }

  if (left && dbl && CanDblClick()) {
    switch (hit.hitType) {
      case htNowhere: case htIcon: case htStateIcon: case htIndent: case htLabel: case htRight: case htOutside:
        DblClick();
        break;
      default:
        break;
    }
  }
  if (button == TMouseButton::mbMiddle && FState == tsNormal) MouseScroll();
  TCustomdxContainer::MouseDown(button, shift, x, y);
}

// ---- moves

void TCustomdxTreeList::MouseMove(TShiftState shift, int x, int y) {
  const TdxTreeListHitInfo hit = GetHitInfo(POINT{x, y});
  if (!(shift & ssLeft) && FState == tsNodeDown) SetState(tsNormal);
  int min = 0, max = 0, left = 0;
  switch (FState) {
    case tsBandSizing:
      GetBandSizingLimits(FHitInfo.Band, x, max, min, left);
      UpdateSizingLine(x, min, max);
      break;
    case tsColumnSizing:
      GetHeaderSizingLimits(FHitInfo.Column, x, max, min, left);
      UpdateSizingLine(x, min, max);
      break;
    case tsBandPanelSizing:
      SnapBandPanelSizing(y, min, max);
      UpdateSizingLine(y, min, max);
      break;
    case tsHeaderPanelSizing:
      SnapHeaderPanelSizing(y, min, max);
      UpdateSizingLine(y, min, max);
      break;
    case tsRowSizing:
      GetRowSizingLimits(FHitInfo.Node, y, max, min);
      UpdateSizingLine(y, min, max);
      break;
    case tsBandDown:
      if (CanBandDragging(FDownBandIndex) && MovedPastThreshold(FPointDragging, x, y)) {
        FDragAbsoluteBandIndex = GetAbsoluteBandIndex(FDownBandIndex);
        StartBandDragging(FDownBandIndex);
      }
      break;
    case tsColumnDown:
      if (CanHeaderDragging(FDownColumnIndex) && MovedPastThreshold(FPointDragging, x, y)) {
        FDragAbsoluteHeaderIndex = FDownColumnIndex;
        StartHeaderDragging(FDownColumnIndex);
      }
      break;
    case tsNodeDown:
      if (DragMode() == TDragMode::dmAutomatic && MovedPastThreshold(FPointDragging, x, y)) {
        TdxTreeListNode* node = FDragNode ? FDragNode : hit.Node;
        if (node) {
          if (node != FFocused) {
            if (!FlagCtrl) ClearSelection();
            ChangeFocus(node, FFocusedColumn, true);
          }
          node->SetSelected(true);
          FlagCtrl = FlagSelect = false;
          BeginDrag(false);
        }
      } else if (IsMouseSelectScroll() && AbsoluteCount() > 0) {
        MouseSelectScroll(y);
      }
      break;
    default:
      break;
  }
  // Pressed feedback follows the mouse.
  auto follow = [&](bool& pushed, bool now, auto invalidate) {
    if (pushed == now) return;
    pushed = now;
    (this->*invalidate)();
  };
  switch (FState) {
    case tsBandDown:
      follow(FDownBandPushed, hit.hitType == htBand && hit.Band == FDownBandIndex,
             &TCustomdxTreeList::InvalidateBandPanel);
      break;
    case tsColumnDown:
      follow(FDownColumnPushed, hit.hitType == htColumn && hit.Column == FDownColumnIndex,
             &TCustomdxTreeList::InvalidateHeaderPanel);
      break;
    case tsBandButtonDown:
      follow(FBandButtonPushed, hit.hitType == htBandButton, &TCustomdxTreeList::InvalidateBandButton);
      break;
    case tsHeaderButtonDown:
      follow(FHeaderButtonPushed, hit.hitType == htHeaderButton, &TCustomdxTreeList::InvalidateHeaderButton);
      break;
    default:
      break;
  }
  UpdateHotTrack(hit);
  TCustomdxContainer::MouseMove(shift, x, y);
}

// Focus follows the mouse along the rows; above or below them a timer scrolls on.
void TCustomdxTreeList::MouseSelectScroll(int y) {
  TdxGridDrawInfo info;
  CalcRectInfo(info, false);
  const RECT& cells = info.CellsRect;
  TTreeListUnitState& unit = TreeListUnitState();
  if (y < cells.top || y >= cells.bottom) {
    const bool up = y < cells.top;
    if (!up || FFocused == FTopVisibleNode) {
      TdxTreeListNode* last = GetAbsoluteNode(std::min(TopIndex() + FRowCount - 1, AbsoluteCount() - 1));
      if (!up && last && last != FFocused) ChangeFocus(last, FFocusedColumn, true);
    } else if (FTopVisibleNode && FFocused != FTopVisibleNode) {
      ChangeFocus(FTopVisibleNode, FFocusedColumn, true);
    }
    unit.ScrollUp = up;
    unit.VertScrollTimerId = INT_PTR(SetTimer(Handle(), kAutoScrollTimer, kSelectScrollInterval, MouseSelectScrollTimer));
    if (unit.VertScrollTimerId == 0) unit.VertScrollTimerId = -1;
    return;
  }
  if (unit.VertScrollTimerId != -1) {
    KillTimer(Handle(), kAutoScrollTimer);
    unit.VertScrollTimerId = -1;
  }
  TdxTreeListNode* node = GetHitInfo(POINT{cells.left, y}).Node;
  if (!node) return;
  ChangeFocus(node, FFocusedColumn, true);
  if (IsMultiSelect()) {
    BeginSelection();
    ClearSelection();
    node->SetSelected(true);
    EndSelection();
  }
}

// ---- releases

void TCustomdxTreeList::EndSizing(const TdxTreeListHitInfo& hit) {
  (void)hit;
  DrawSizingLine();
  int min = 0, max = 0, left = 0;
  const TdxTreeListState state = FState;
  SetState(tsNormal);
  switch (state) {
    case tsBandSizing: {
      if (FHitInfo.Band < 0) break;
      GetBandSizingLimits(FHitInfo.Band, FSizingPos, max, min, left);
      FSizingPos = std::clamp(FSizingPos, min, std::max(min, max));
      if (FSizingPos == FPrevSizingPos) break;
      const int width = FSizingPos - left + 2 - (FHitInfo.Band == 0 ? GetBandsExtraWidth() : 0);
      if (IsAutoWidth()) SetBandWidthAuto(FHitInfo.Band, width); else SetBandWidthByHeaders(FHitInfo.Band, width);
      DoChangedColumnsWidth();
      break;
    }
    case tsColumnSizing: {
      const int column = FHitInfo.Column;
      if (column < 0) break;
      GetHeaderSizingLimits(column, FSizingPos, max, min, left);
      FSizingPos = std::clamp(FSizingPos, min, std::max(min, max));
      if (FSizingPos == FPrevSizingPos) break;
      const int band = GetVisibleBandIndex(GetColumnBandIndex(column));
      const int width = FSizingPos - left + 1;
      if (IsBandHeaderWidth() && !IsAutoWidth() && GetHeaderRowCount(band) <= 1)
        SetHeaderWidthInBand(band, column, width);
      else
        SetHeaderWidthAuto(band, column, width);
      DoChangedColumnsWidth();
      break;
    }
    case tsBandPanelSizing: SetBandRowCount(GetBandRowCountAt(FSizingPos)); break;
    case tsHeaderPanelSizing: SetHeaderPanelRowCount(GetHeaderRowCountAt(FSizingPos)); break;
    case tsRowSizing:
      if (FSizingPos != FPrevSizingPos && FHitInfo.Node && FHitInfo.Row >= 0) {
        RECT row;
        GetNodeRowRect(FHitInfo.Node, row);
        SetDefaultRowHeight(GetLineHeightForRowHeight(FHitInfo.Node, FSizingPos - row.top));
      }
      break;
    default:
      break;
  }
}

void TCustomdxTreeList::MouseUp(TMouseButton button, TShiftState shift, int x, int y) {
  BeginSelection();
  struct TEnd {
    TCustomdxTreeList* Tree;
    ~TEnd() { Tree->EndSelection(); }
  } end{this};
  const TdxTreeListHitInfo hit = GetHitInfo(POINT{x, y});
  const TdxTreeListState state = FState;
  if (IsSizingState(state)) {
    EndSizing(hit);
  } else {
    switch (state) {
      case tsBandDown: {
        const int band = FDownBandIndex;
        CancelMouseState();
        if (hit.hitType == htBand && hit.Band == band) BandClick(band);
        break;
      }
      case tsBandDragging: EndBandDragging(true); break;
      case tsColumnDragging: EndHeaderDragging(true); break;
      case tsStatusCloseButtonDown:
        CancelMouseState();
        if (FStatusCloseButtonActive) StatusCloseButtonClick();
        break;
      case tsColumnDown: {
        const int column = FDownColumnIndex;
        CancelMouseState();
        if (hit.hitType == htColumn && hit.Column == column) {
          FlagMultiSort = IsMultiSort() && (shift & ssShift);
          FlagClearSort = (shift & ssCtrl) != 0;
          struct TClear {
            TCustomdxTreeList* Tree;
            ~TClear() { Tree->FlagMultiSort = Tree->FlagClearSort = false; }
          } clear{this};
          ColumnClick(column);
        }
        break;
      }
      case tsBandButtonDown:
      case tsHeaderButtonDown: {
        const bool pushed = state == tsBandButtonDown ? FBandButtonPushed : FHeaderButtonPushed;
        CancelMouseState();
        if (pushed) {
          if (state == tsBandButtonDown) BandButtonClick(); else HeaderButtonClick();
        }
        break;
      }
      default:
        break;
    }
  }
  if (FlagSelect) {
    ClearSelection();
    if (FFocused) FFocused->SetSelected(true);
    FSelectionAnchor = FFocused;
    FlagSelect = false;
  }
  const bool wasClick = FState == tsEditing || FState == tsNodeDragging || FState == tsNodeDown;
  if ((wasClick || FlagEditor) && FHitInfo.Column >= 0 &&
      (IsImmediateEditor(FHitInfo.Column) || IsClickEdit(FHitInfo.Column, FHitInfo.Node, x, y)) &&
      !IsRowSelect() && hit.Column == FHitInfo.Column && hit.Node == FHitInfo.Node &&
      hit.hitType == FHitInfo.hitType && (hit.hitType == htLabel || hit.hitType == htNewRowItem) &&
      button == TMouseButton::mbLeft && (FFocused == hit.Node || hit.hitType == htNewRowItem)) {
    SetState(tsNormal);
    if (!(shift & (ssShift | ssCtrl))) {
      if (FSingleClickCheckEdit) {
        ShowEditor();
        if (FState == tsEditing && FInplaceEdit && FInplaceEdit->HandleAllocated()) {
          POINT p = ClientToScreen(FPointDragging);
          ::ScreenToClient(FInplaceEdit->Handle(), &p);
          FInplaceEdit->MouseClick(p.x, p.y);
        }
      } else {
        ShowEditorMouse(x, y);
      }
    }
  }
  FlagEditor = false;
  if (FState == tsNodeDown) SetState(tsNormal);
  if (wasClick) Click();
  TCustomdxContainer::MouseUp(button, shift, x, y);
}

void TCustomdxTreeList::UpdateSizingLine(int pos, int min, int max) {
  pos = std::clamp(pos, min, std::max(min, max));
  if (pos == FSizingPos) return;
  DrawSizingLine();
  FSizingPos = pos;
  DrawSizingLine();
}

void TCustomdxTreeList::CancelMouseState() {
  switch (FState) {
    case tsColumnSizing: case tsBandSizing: case tsBandPanelSizing: case tsHeaderPanelSizing: case tsRowSizing:
      DrawSizingLine();
      SetState(tsNormal);
      if (HandleAllocated()) Perform(WM_SETCURSOR, WPARAM(Handle()), HTCLIENT);
      break;
    case tsBandDown:
      SetState(tsNormal);
      FDownBandIndex = -1;
      InvalidateBandPanel();
      break;
    case tsBandDragging: EndBandDragging(false); break;
    case tsDropDownButtonDown:
    case tsColumnDown:
      SetState(tsNormal);
      FDownColumnIndex = -1;
      InvalidateHeaderPanel();
      break;
    case tsStatusCloseButtonDown: {
      SetState(tsNormal);
      FStatusCloseButtonPressed = false;
      RECT close;
      GetStatusCloseButtonRect(close);
      if (HandleAllocated()) InvalidateRect(Handle(), &close, FALSE);
      break;
    }
    case tsColumnDragging: EndHeaderDragging(false); break;
    case tsBandButtonDown:
      SetState(tsNormal);
      FBandButtonPushed = false;
      InvalidateBandButton();
      break;
    case tsHeaderButtonDown:
      SetState(tsNormal);
      FHeaderButtonPushed = false;
      InvalidateHeaderButton();
      break;
    default:
      break;
  }
  HideStatusHint();
  CloseCellTooltip();
}

// ---- sizing limits and snapping

int TCustomdxTreeList::GetBandPanelHeight(int rows) { return rows * FBandTextHeight + 5 + (FFlat ? 0 : 1); }

int TCustomdxTreeList::GetBandRowCountAt(int y) {
  TdxGridDrawInfo info;
  CalcRectInfo(info, false);
  int count = 0;
  for (int r = 1; r <= GetMaxBandRowCount(); ++r)
    if (y >= info.BandRect.top + GetBandPanelHeight(r)) count = r;
  return std::max(count, 1);
}

void TCustomdxTreeList::SnapBandPanelSizing(int y, int& pos, int& pos2) {
  pos = pos2 = y;
  TdxGridDrawInfo info;
  CalcRectInfo(info, false);
  if (IsZeroRect(info.BandRect) && info.BandRect.bottom == info.BandRect.top) return;
  const int top = info.BandRect.top;
  int r = 1;
  while (r < GetMaxBandRowCount() &&
         y >= (top + GetBandPanelHeight(r) + top + GetBandPanelHeight(r + 1)) / 2)
    ++r;
  pos = pos2 = top + GetBandPanelHeight(r);
}

int TCustomdxTreeList::GetHeaderRowCountAt(int y) {
  TdxGridDrawInfo info;
  CalcRectInfo(info, false);
  const int h = std::max(FHeaderRowHeight, 1);
  return std::max((y + h / 2 - int(info.HeaderRect.top)) / h, 1);
}

void TCustomdxTreeList::SnapHeaderPanelSizing(int y, int& pos, int& pos2) {
  pos = pos2 = y;
  TdxGridDrawInfo info;
  CalcRectInfo(info, false);
  if (info.HeaderRect.bottom == info.HeaderRect.top) return;
  const int n = std::min(GetHeaderRowCountAt(y), GetMaxHeaderPanelRowCount());
  pos = pos2 = info.HeaderRect.top + n * FHeaderRowHeight;
}

void TCustomdxTreeList::GetRowSizingLimits(TdxTreeListNode* node, int y, int& max, int& min) {
  max = min = y;
  if (!node) return;
  RECT row;
  GetNodeRowRect(node, row);
  min = row.top + GetRowHeight(node, FMinRowHeight, true);
  TdxGridDrawInfo info;
  CalcRectInfo(info, false);
  max = (info.FooterRect.bottom > info.FooterRect.top ? info.FooterRect.top : ClientRect().bottom) - 1;
}

void TCustomdxTreeList::GetBandSizingLimits(int band, int x, int& max, int& min, int& left) {
  max = min = x;
  TdxGridDrawInfo info;
  CalcDrawInfo(info);
  for (const TdxGridBandDrawInfo& b : info.BandsInfo) {
    if (b.Index != band) continue;
    left = b.BandRect.left;
    min = left + GetBandMinWidth(band) + (band == 0 ? GetBandsExtraWidth() : 0);
    max = IsFullSizing() ? 100000 : int(ClientRect().right) - 2;
    return;
  }
}

void TCustomdxTreeList::GetHeaderSizingLimits(int column, int x, int& max, int& min, int& left) {
  max = min = x;
  TdxGridDrawInfo info;
  CalcDrawInfo(info);
  for (const TdxGridHeaderDrawInfo& h : info.HeadersInfo) {
    if (h.AbsoluteIndex != column) continue;
    left = h.HeaderRect.left;
    const bool first = h.BandIndex == 0 && h.ColIndex == 0;
    min = left + GetColumnMinWidth(column) + (first ? GetBandsExtraWidth() : 0);
    if (!IsAutoWidth() && IsFullSizing()) {
      max = 100000;
    } else if (IsHeaderBandSizing()) {
      max = int(ClientRect().right) - 1;
    } else {
      max = left;
      for (const TdxGridHeaderDrawInfo& other : info.HeadersInfo)
        if (other.BandIndex == h.BandIndex) max = std::max(max, int(other.HeaderRect.right));
    }
    return;
  }
}

// ---- width distributions

void TCustomdxTreeList::SetBandWidthAuto(int band, int newWidth) {
  const int count = GetVisibleBandCount();
  if (band < 0 || band >= count) return;
  const int extra = GetBandsExtraWidth();
  std::vector<int> widths(static_cast<std::size_t>(count));
  for (int j = 0; j < count; ++j) widths[std::size_t(j)] = GetBandWidth(j) - (j == 0 ? extra : 0);
  // The bands right of it absorb the change; left of the last one, all before it.
  std::vector<int> absorbing;
  if (band < count - 1)
    for (int j = band + 1; j < count; ++j) absorbing.push_back(j);
  else
    for (int j = 0; j < band; ++j) absorbing.push_back(j);
  BeginUpdate();
  struct TEnd {
    TCustomdxTreeList* Tree;
    ~TEnd() { Tree->EndUpdate(); }
  } end{this};
  int d = 0;
  for (int j : absorbing) d += widths[std::size_t(j)];
  if (d > 0) {
    const int n = d + widths[std::size_t(band)] - newWidth;
    std::vector<int> part;
    for (int j : absorbing) part.push_back(widths[std::size_t(j)]);
    Distribute(part, n, d);
    for (std::size_t i = 0; i < absorbing.size(); ++i) widths[std::size_t(absorbing[i])] = part[i];
    ScaleBandWidthsBy(n, d);
  }
  widths[std::size_t(band)] = newWidth;
  if (IsBandHeaderWidth()) MakeBandHeaderList();
  for (int j = 0; j < count; ++j) {
    if (IsBandHeaderWidth())
      SetBandWidthByHeaders(j, widths[std::size_t(j)]);
    else
      SetBandWidth(j, widths[std::size_t(j)]);
  }
}

void TCustomdxTreeList::SetHeaderWidthAuto(int band, int column, int newWidth) {
  BeginUpdate();
  struct TEnd {
    TCustomdxTreeList* Tree;
    ~TEnd() { Tree->EndUpdate(); }
  } end{this};
  MakeBandHeaderList();
  const int row = GetColumnRowIndex(column);
  const int cols = GetHeaderColCount(band, row);
  const int oldBandWidth = GetBandWidth(band) - (band == 0 ? GetBandsExtraWidth() : 0);
  std::vector<int> headers, widths;
  int at = -1;
  for (int col = 0; col < cols; ++col) {
    const int h = GetHeaderAbsoluteIndex(band, row, col);
    if (h == column) at = col;
    headers.push_back(h);
    widths.push_back(GetHeaderWidth(h) - (band == 0 && col == 0 ? GetBandsExtraWidth() : 0));
  }
  if (at < 0) return;
  std::vector<int> absorbing;
  if (at < cols - 1)
    for (int j = at + 1; j < cols; ++j) absorbing.push_back(j);
  else
    for (int j = 0; j < at; ++j) absorbing.push_back(j);
  int d = 0;
  for (int j : absorbing) d += widths[std::size_t(j)];
  if (d > 0) {
    const int n = d + widths[std::size_t(at)] - newWidth;
    std::vector<int> part;
    for (int j : absorbing) part.push_back(widths[std::size_t(j)]);
    Distribute(part, n, d);
    for (std::size_t i = 0; i < absorbing.size(); ++i) widths[std::size_t(absorbing[i])] = part[i];
    ScaleHeaderWidthsBy(band, n, d);
  }
  widths[std::size_t(at)] = newWidth;
  int total = 0;
  for (int col = 0; col < cols; ++col) {
    SetHeaderWidth(headers[std::size_t(col)], widths[std::size_t(col)]);
    total += widths[std::size_t(col)];
  }
  if (IsBandHeaderWidth() && oldBandWidth > 0) {
    for (int r = 0, rows = GetHeaderRowCount(band); r < rows; ++r) {
      if (r == row) continue;
      for (int col = 0, n = GetHeaderColCount(band, r); col < n; ++col) {
        const int h = GetHeaderAbsoluteIndex(band, r, col);
        SetHeaderWidth(h, MulDiv(GetColumnWidth(h), total, oldBandWidth));
      }
    }
  }
}

void TCustomdxTreeList::SetBandWidthByHeaders(int band, int newWidth) {
  const bool own = FLockUpdate == 0;
  if (own) BeginUpdate();
  struct TEnd {
    TCustomdxTreeList* Tree;
    bool Own;
    ~TEnd() { if (Own) Tree->EndUpdate(); }
  } end{this, own};
  const int extra = band == 0 ? GetBandsExtraWidth() : 0;
  const int oldWidth = GetBandWidth(band) - extra;
  if (oldWidth > 0) {
    for (int row = 0, rows = GetHeaderRowCount(band); row < rows; ++row)
      for (int col = 0, cols = GetHeaderColCount(band, row); col < cols; ++col) {
        const int h = GetHeaderAbsoluteIndex(band, row, col);
        const int w = GetHeaderWidth(h) - (col == 0 ? extra : 0);
        SetHeaderWidth(h, MulDiv(w, newWidth, oldWidth));
      }
  }
  ScaleHeaderWidthsBy(band, newWidth, oldWidth);
  SetBandWidth(band, newWidth);
}

void TCustomdxTreeList::SetHeaderWidthInBand(int band, int column, int newWidth) {
  BeginUpdate();
  struct TEnd {
    TCustomdxTreeList* Tree;
    ~TEnd() { Tree->EndUpdate(); }
  } end{this};
  const int extra = band == 0 ? GetBandsExtraWidth() : 0;
  const int bandWidth = GetBandWidth(band) - extra;
  const int n = newWidth + GetBandWidth(band) - GetHeaderWidth(column) - extra;
  const int ownRow = GetColumnRowIndex(column);
  for (int row = 0, rows = GetHeaderRowCount(band); row < rows; ++row) {
    const int cols = GetHeaderColCount(band, row);
    std::vector<int> widths;
    int given = 0;
    for (int col = 0; col < cols; ++col) {
      const int h = GetHeaderAbsoluteIndex(band, row, col);
      const int w = GetHeaderWidth(h) - (col == 0 ? extra : 0);
      int value;
      if (row == ownRow)
        value = h == column ? newWidth - (col == 0 ? extra : 0) : w;
      else
        value = bandWidth > 0 ? MulDiv(w, n, bandWidth) : w;
      if (col == cols - 1 && !(row == ownRow && h == column)) value = n - given;
      widths.push_back(value);
      given += value;
    }
    for (int col = 0; col < cols; ++col) SetHeaderWidth(GetHeaderAbsoluteIndex(band, row, col), widths[std::size_t(col)]);
  }
  ScaleHeaderWidthsBy(band, n, bandWidth);
}

// ---- the drag: source side

TCursor TCustomdxTreeList::NodeDragCursor() {
  const bool copy = CanDragCopy() && GetAsyncKeyState(VK_CONTROL) < 0;
  if (SelectedCount() < 2) return copy ? crdxTreeListDragCopy : crDrag;
  return copy ? crdxTreeListMultiDragCopy : crMultiDrag;
}

void TCustomdxTreeList::HandleDragStart(TDragObject*& dragObject) {
  if (FState == tsEditing) HideEditor();
  StopClickHoverEditTimer();
  SetDragCursor(NodeDragCursor());
  TCustomdxContainer::HandleDragStart(dragObject);
  if (!FDragNode) {
    POINT p{};
    GetCursorPos(&p);
    p = ScreenToClient(p);
    FDragNode = GetNodeAt(p.x, p.y);
  }
  if (FDragNode) {
    DoBeginDragNode(FDragNode);
    if (FDragNode) {
      BuildNodeDragImage(FDragNode, FocusedColumnAbsoluteIndex());
      SetState(tsNodeDragging);
    }
  }
  SetDragObject(nullptr);
}

void TCustomdxTreeList::DoEndDrag(TObject* target, int x, int y) {
  TCustomdxContainer::DoEndDrag(target, x, y);
  FDragNode = nullptr;
  SetDragObject(nullptr);
  if (FState == tsNodeDragging) SetState(tsNormal);
  FDragImageList.reset();
}

void TCustomdxTreeList::AddDragImage(TBitmap& bitmap, TColor mask) {
  if (!FDragImageList) {
    FDragImageList = std::make_unique<TDragImageList>(nullptr);
    FDragImageList->SetSize(bitmap.Width(), bitmap.Height());
  }
  FDragImageList->AddMasked(bitmap, mask);
}

void TCustomdxTreeList::BuildNodeDragImage(TdxTreeListNode* node, int column) {
  RECT cell{0, 0, FRowHeight, 16};
  WideString text;
  if (GetValueCount() > 0 && column >= 0) {
    cell = CellRect(node, GetFocusedVisibleIndex(column));
    if (cell.right <= cell.left) cell = RECT{0, 0, FRowHeight, 16};
    text = GetNodeDragText(node, column);
  }
  TBitmap bitmap;
  bitmap.SetSize(RectWidth(cell) + 26, int(cell.bottom - cell.top) + 6);
  TCanvas& canvas = bitmap.Canvas();
  canvas.Font().Assign(Font());
  canvas.Brush().SetColor(Color());
  RECT r{0, 0, bitmap.Width(), bitmap.Height()};
  canvas.FillRect(r);
  r.left += 20;
  for (int i = 0; i < 3; ++i) {
    DrawFocusRect(canvas.Handle(), &r);
    InflateRect(&r, -1, -1);
  }
  if (int state = node->StateIndex(); state != -1 && FStateImages) {
    FStateImages->Draw(canvas, r.left, r.top, state);
    r.left += FStateImages->Width();
  }
  TImageList* images = GetNodeImages(node);
  if (int image = node->ImageIndex(); image != -1 && images) {
    images->Draw(canvas, r.left, r.top, image);
    r.left += images->Width();
  }
  SetBkMode(canvas.Handle(), TRANSPARENT);
  DrawTextW(canvas.Handle(), text.c_str(), int(text.size()), &r,
            DT_END_ELLIPSIS | DT_NOPREFIX | DT_EXPANDTABS | DT_WORDBREAK);
  AddDragImage(bitmap, Color());
}

// ---- the drag: target side

void TCustomdxTreeList::SetDragObject(TObject* value) {
  if (value == FDragObject) return;
  auto* old = dynamic_cast<TDragObject*>(FDragObject);
  FDragObject = value;
  if (!value && old) old->HideDragImage();
  if (HandleAllocated() && FFocused) {
    RECT r;
    GetNodeRowRect(FFocused, r);
    InvalidateRows(r, false);
    UpdateWindow(Handle());
  }
  if (!FDragObject && old) old->ShowDragImage();
  if (!FDragObject) FDragExpandNode = nullptr;
}

void TCustomdxTreeList::StopAutoScrollTimers() {
  TTreeListUnitState& unit = TreeListUnitState();
  if ((unit.HorzScrollTimerId != -1 || unit.VertScrollTimerId != -1) && HandleAllocated())
    KillTimer(Handle(), kAutoScrollTimer);
  unit.HorzScrollTimerId = unit.VertScrollTimerId = -1;
}

void TCustomdxTreeList::StartHorzAutoScroll(int x, const TdxGridDrawInfo& info) {
  const int l = IsZeroRect(info.FixedBandLeftRect) ? info.CellsRect.left : info.FixedBandLeftRect.right;
  const int r = IsZeroRect(info.FixedBandRightRect) ? info.CellsRect.right : info.FixedBandRightRect.left;
  TTreeListUnitState& unit = TreeListUnitState();
  if (l < x && x < l + kAutoScrollMargin)
    unit.ScrollLeft = true;
  else if (r - kAutoScrollMargin < x && x <= r)
    unit.ScrollLeft = false;
  else
    return;
  unit.HorzScrollTimerId = INT_PTR(SetTimer(Handle(), kAutoScrollTimer, kDragScrollInterval, HorzScrollTimer));
  if (unit.HorzScrollTimerId == 0) unit.HorzScrollTimerId = -1;
}

void TCustomdxTreeList::DragOver(TObject* source, int x, int y, TDragState state, bool& accept) {
  // The list's own drag shows the cursor of the selected count.
  if (Dragging()) SetDragCursor(NodeDragCursor());
  TCustomdxContainer::DragOver(source, x, y, state, accept);
  if (FState != tsNodeDragging && !Dragging()) {
    if (state == TDragState::dsDragEnter && OnDragOver) SetDragObject(DragObject());
    if (state == TDragState::dsDragLeave) SetDragObject(nullptr);
  }
  if (state == TDragState::dsDragLeave) return;
  if (!Dragging() && !FDragObject) return;
  StopAutoScrollTimers();
  const TdxTreeListHitInfo hit = GetHitInfo(POINT{x, y});
  if (IsDragExpand() && hit.hitType == htButton) {
    FDragExpandNode = hit.Node;
    if (FDragExpandTimerId != 0) KillTimer(Handle(), kDragExpandTimer);
    FDragExpandTimerId = SetTimer(Handle(), kDragExpandTimer, UINT(FWaitForExpandNodeTime), nullptr);
  }
  if (!IsDragScroll()) return;
  TdxGridDrawInfo info;
  CalcDrawInfo(info);
  StartHorzAutoScroll(x, info);
  if (!IsNodeRowHit(hit.hitType) || !hit.Node) return;
  const int column = hit.Column == -1 ? FocusedColumnAbsoluteIndex() : hit.Column;
  const int visible = column >= 0 ? GetFocusedVisibleIndex(column) : FFocusedColumn;
  if (hit.Node != FFocused)
    ChangeFocus(hit.Node, visible, true);
  else if (!IsRowSelect() && column != -1 && visible != FFocusedColumn)
    SetFocusedColumn(visible);
  UpdateWindow(Handle());
  TTreeListUnitState& unit = TreeListUnitState();
  auto startVertical = [&](bool up) {
    unit.ScrollUp = up;
    unit.VertScrollTimerId = INT_PTR(SetTimer(Handle(), kAutoScrollTimer, kDragScrollInterval, VertScrollTimer));
    if (unit.VertScrollTimerId == 0) unit.VertScrollTimerId = -1;
  };
  if (hit.Node == FTopVisibleNode && !IsFirstNode(hit.Node)) startVertical(true);
  if (GetAbsoluteIndex(hit.Node) >= TopIndex() + FRowCount - 1 && !IsLastNode(hit.Node)) startVertical(false);
}

void TCustomdxTreeList::DragDrop(TObject* source, int x, int y) {
  TCustomdxContainer::DragDrop(source, x, y);
  if (FState != tsNodeDragging && !Dragging()) SetDragObject(nullptr);
}

void TCustomdxTreeList::DragExpandTimer() {
  if (FDragExpandTimerId != 0 && HandleAllocated()) KillTimer(Handle(), kDragExpandTimer);
  FDragExpandTimerId = 0;
  POINT p{};
  GetCursorPos(&p);
  p = ScreenToClient(p);
  const TdxTreeListHitInfo hit = GetHitInfo(p);
  if (hit.hitType != htButton || !hit.Node || hit.Node != FDragExpandNode) return;
  if (IsDragCollapse()) {
    hit.Node->SetExpanded(!hit.Node->Expanded());
    FDragExpandTimerId = SetTimer(Handle(), kDragExpandTimer, UINT(FWaitForExpandNodeTime) * 2, nullptr);
  } else {
    hit.Node->SetExpanded(true);
  }
}

// ---- on-screen feedback

namespace {

// The screen under the arrows, kept for all tree lists (grown, never shrunk).
struct TArrowsScreen {
  HBITMAP Bitmap = nullptr;
  SIZE Size{};
  ~TArrowsScreen() {
    if (Bitmap) DeleteObject(Bitmap);
  }
  void Ensure(HDC screen, int width, int height) {
    if (Bitmap && Size.cx >= width && Size.cy >= height) return;
    width = std::max(width, int(Size.cx));
    height = std::max(height, int(Size.cy));
    HBITMAP bitmap = CreateCompatibleBitmap(screen, width, height);
    if (!bitmap) return;
    if (Bitmap) DeleteObject(Bitmap);
    Bitmap = bitmap;
    Size = SIZE{width, height};
  }
};
TArrowsScreen gArrowsScreen;

}  // namespace

void TCustomdxTreeList::DrawArrows(bool hideDragImage) {
  FSaveArrowsRect = RECT{FArrowsPos.x, FArrowsPos.y, FArrowsPos.x + FArrowsRect.right - FArrowsRect.left,
                         FArrowsPos.y + FArrowsRect.bottom - FArrowsRect.top};
  TDragImageList* images = FDragImageList.get();
  if (hideDragImage && images && images->DragImageVisible()) {
    const POINT at = images->DragPosition();
    const POINT hot = images->DragHotspot();
    RECT image{at.x - hot.x, at.y - hot.y, at.x - hot.x + images->Width(), at.y - hot.y + images->Height()};
    RECT both;
    hideDragImage = IntersectRect(&both, &image, &FSaveArrowsRect) != 0;
  } else {
    hideDragImage = false;
  }
  if (hideDragImage) images->HideDragImage();
  HDC screen = GetDC(nullptr);
  if (screen) {
    const int w = RectWidth(FSaveArrowsRect), h = int(FSaveArrowsRect.bottom - FSaveArrowsRect.top);
    gArrowsScreen.Ensure(screen, w, h);
    HDC memory = CreateCompatibleDC(screen);
    HGDIOBJ oldBitmap = SelectObject(memory, gArrowsScreen.Bitmap);
    if (FFlagSaveArrowsRect) {
      BitBlt(screen, FSaveArrowsRect.left, FSaveArrowsRect.top, w, h, memory, 0, 0, SRCCOPY);
      FFlagSaveArrowsRect = false;
    } else {
      BitBlt(memory, 0, 0, w, h, screen, FSaveArrowsRect.left, FSaveArrowsRect.top, SRCCOPY);
      FFlagSaveArrowsRect = true;
      const int l = FSaveArrowsRect.left, t = FSaveArrowsRect.top, b = FSaveArrowsRect.bottom;
      const POINT down[] = {{l + 5, t + 8}, {l, t + 3},  {l + 3, t + 3}, {l + 3, t},
                            {l + 7, t},     {l + 7, t + 3}, {l + 10, t + 3}};
      const POINT up[] = {{l + 5, b - 9}, {l + 10, b - 4}, {l + 7, b - 4}, {l + 7, b - 1},
                          {l + 3, b - 1}, {l + 3, b - 4},  {l, b - 4}};
      HBRUSH brush = CreateSolidBrush(ColorToRGB(FArrowsColor));
      HGDIOBJ oldBrush = SelectObject(screen, brush);
      HGDIOBJ oldPen = SelectObject(screen, GetStockObject(BLACK_PEN));
      Polygon(screen, down, 7);
      Polygon(screen, up, 7);
      SelectObject(screen, oldPen);
      SelectObject(screen, oldBrush);
      DeleteObject(brush);
    }
    SelectObject(memory, oldBitmap);
    DeleteDC(memory);
    ReleaseDC(nullptr, screen);
  }
  if (hideDragImage) images->ShowDragImage();
}

void TCustomdxTreeList::DrawSizingLine() {
  if (!HandleAllocated()) return;
  TdxGridDrawInfo info;
  CalcRectInfo(info, false);
  HDC dc = GetDC(Handle());
  if (!dc) return;
  const int oldRop = SetROP2(dc, R2_NOTXORPEN);
  HGDIOBJ oldPen = SelectObject(dc, GetStockObject(BLACK_PEN));
  auto line = [dc](int x1, int y1, int x2, int y2) {
    MoveToEx(dc, x1, y1, nullptr);
    LineTo(dc, x2, y2);
  };
  const bool emptyBand = info.BandRect.bottom <= info.BandRect.top;
  const bool emptyHeader = info.HeaderRect.bottom <= info.HeaderRect.top;
  switch (FState) {
    case tsColumnSizing:
    case tsBandSizing: {
      int top;
      if (FState == tsBandSizing)
        top = !emptyBand ? info.BandRect.top : info.HeaderRect.top;
      else
        top = !emptyHeader ? info.HeaderRect.top : info.CellsRect.top;
      const int lines = FState == tsBandSizing ? 2 : 1;
      for (int i = 0; i < lines; ++i) line(FSizingPos + i, top, FSizingPos + i, info.CellsRect.bottom);
      break;
    }
    default: {
      const bool row = FState == tsRowSizing;
      const int left = row && !IsZeroRect(info.IndicatorRect) ? info.IndicatorRect.left : info.CellsRect.left;
      const int lines = row ? 1 : 2;
      for (int i = 0; i < lines; ++i) line(left, FSizingPos + i, info.CellsRect.right, FSizingPos + i);
      break;
    }
  }
  SelectObject(dc, oldPen);
  SetROP2(dc, oldRop);
  ReleaseDC(Handle(), dc);
}

// ---- moving bands and headers

void TCustomdxTreeList::SetArrowsRect(bool band) {
  FArrowsRect = RECT{0, 0, 11, (band ? FBandHeight : FHeaderRowHeight) + 18};
}

void TCustomdxTreeList::BuildBandDragImage(int band) {
  const int visible = GetVisibleBandIndex(band);
  int width = visible >= 0 ? GetBandWidth(visible) : GetAbsoluteBandWidth(band);
  if (band == 0) width += GetBandsExtraWidth();
  width = std::clamp(width, 1, GetSystemMetrics(SM_CXSCREEN));
  TBitmap bitmap;
  bitmap.SetSize(width, std::max(FBandHeight, 1));
  TCanvas& canvas = bitmap.Canvas();
  canvas.Font().Assign(FBandFont);
  canvas.Brush().SetColor(FBandColor);
  WideString caption;
  GetAbsoluteBandCaption(band, caption);
  DrawHeaderCell(canvas.Handle(), RECT{0, 0, bitmap.Width(), bitmap.Height()}, canvas.Brush().Handle(), 0,
                 FLookAndFeel, 0, nullptr, csNone, GetAbsoluteBandAlignment(band), FBandRowCount > 1, false, caption);
  AddDragImage(bitmap, clNone);
}

void TCustomdxTreeList::BuildHeaderDragImage(int column) {
  TdxGridDrawInfo info;
  CalcDrawInfo(info);
  int width = GetColumnWidth(column);
  for (const TdxGridHeaderDrawInfo& h : info.HeadersInfo)
    if (h.AbsoluteIndex == column) width = RectWidth(h.HeaderRect);
  if (width < 1) width = 20;
  width = std::max(std::min(width, GetSystemMetrics(SM_CXSCREEN)), GetSystemMetrics(SM_CXCURSOR));
  TBitmap bitmap;
  bitmap.SetSize(width, std::max(FHeaderRowHeight, 1));
  TCanvas& canvas = bitmap.Canvas();
  canvas.Font().Assign(FHeaderFont);
  canvas.Brush().SetColor(FHeaderColor);
  const RECT r{0, 0, bitmap.Width(), bitmap.Height()};
  WideString caption;
  GetHeaderCaption(column, caption);
  TdxTreeListColumnSort sorted = GetHeaderSorted(column);
  TAlignment alignment = GetHeaderAlignment(column);
  TColor color = FHeaderColor;
  bool done = false;
  DoCustomDrawHeader(column, canvas, done, sorted, alignment, canvas.Font(), color, caption, r, r);
  if (!done) {
    canvas.Brush().SetColor(color);
    DrawHeaderCell(canvas.Handle(), r, canvas.Brush().Handle(), 0, FLookAndFeel, 0, nullptr, sorted, alignment,
                   false, false, caption);
  }
  AddDragImage(bitmap, clNone);
}

void TCustomdxTreeList::StartBandDragging(int band) {
  (void)band;  // the dragged band is already the absolute one: a hidden band has no visible index
  SetArrowsRect(true);
  BuildBandDragImage(FDragAbsoluteBandIndex);
  FArrowsPos = POINT{-100, -100};
  FFlagSaveArrowsRect = false;
  DrawArrows(false);
  if (FDragImageList) {
    FDragImageList->SetDragImage(0, FDragImageList->Width() / 2, FDragImageList->Height() / 2);
    POINT p{};
    GetCursorPos(&p);
    FDragImageList->BeginDrag(GetDesktopWindow(), p.x, p.y);
  }
  SetState(tsBandDragging);
}

void TCustomdxTreeList::StartHeaderDragging(int column) {
  SetArrowsRect(false);
  BuildHeaderDragImage(column);
  FArrowsPos = POINT{-100, -100};
  FFlagSaveArrowsRect = false;
  DrawArrows(false);
  if (FDragImageList) {
    FDragImageList->SetDragImage(0, FDragImageList->Width() / 2, FDragImageList->Height() / 2);
    POINT p{};
    GetCursorPos(&p);
    FDragImageList->BeginDrag(GetDesktopWindow(), p.x, p.y);
  }
  SetState(tsColumnDragging);
}

void TCustomdxTreeList::CalcBandDropPosition(POINT& screenPoint, int& target, int dragIndex, int downIndex) {
  (void)dragIndex;
  target = -1;
  const POINT p = ScreenToClient(screenPoint);
  screenPoint = POINT{-100, -100};
  if (PointInCustomizingForm(ClientToScreen(p))) return;
  TdxGridDrawInfo info;
  CalcDrawInfo(info);
  const RECT& panel = info.BandRect;
  if (p.y < panel.top || p.y >= panel.bottom) return;
  target = -2;
  if (info.BandsInfo.empty()) {
    target = 0;
    screenPoint = ClientToScreen(POINT{panel.left - 5, panel.top - 9});
    return;
  }
  const TdxGridBandDrawInfo* chosen = nullptr;
  bool before = false;
  for (const TdxGridBandDrawInfo& b : info.BandsInfo)
    if (p.x >= b.BandRect.left && p.x < b.BandRect.right) {
      chosen = &b;
      before = p.x <= (b.BandRect.left + b.BandRect.right) / 2;
    }
  const TdxGridBandDrawInfo& last = info.BandsInfo.back();
  if (!chosen && p.x >= last.BandRect.right && last.Index != downIndex && last.Index != info.FixedBandRightIndex) {
    chosen = &last;
    before = false;
  }
  if (!chosen || chosen->Index == downIndex) return;
  const int index = chosen->Index;
  if (downIndex >= 0 && ((before && index == downIndex + 1) || (!before && index == downIndex - 1))) return;
  if ((before && index == info.FixedBandLeftIndex && index >= 0) ||
      (!before && index == info.FixedBandRightIndex && index >= 0))
    return;
  target = index;
  if (before && downIndex >= 0 && downIndex < index) target -= 1;
  if (!before && (downIndex < 0 || downIndex > index)) target += 1;
  const int x = std::clamp(int(before ? chosen->BandClipRect.left : chosen->BandClipRect.right) - 5,
                           int(panel.left) - 5, int(panel.right));
  screenPoint = ClientToScreen(POINT{x, chosen->BandRect.top - 9});
}

void TCustomdxTreeList::CalcHeaderDropPosition(POINT& screenPoint, TdxHeaderDropTarget& target, int dragIndex,
                                               int downIndex) {
  target = {};
  const POINT p = ScreenToClient(screenPoint);
  screenPoint = POINT{-100, -100};
  if (PointInCustomizingForm(ClientToScreen(p))) return;
  TdxGridDrawInfo info;
  CalcDrawInfo(info);
  const RECT& panel = info.HeaderRect;
  if (info.HeadersInfo.empty() || p.y < panel.top || p.y >= panel.bottom) return;
  target.Kind = -2;
  const int ownBand = dragIndex >= 0 ? GetVisibleBandIndex(GetColumnBandIndex(dragIndex)) : -1;
  auto allowed = [&](int band) {
    return ownBand < 0 || band == ownBand ||
           (!IsBandOnlyOwnColumns(GetAbsoluteBandIndex(band)) && !IsBandOnlyOwnColumns(GetAbsoluteBandIndex(ownBand)));
  };
  const TdxGridHeaderDrawInfo* chosen = nullptr;
  bool before = false;
  for (const TdxGridHeaderDrawInfo& h : info.HeadersInfo) {
    if (!PtInRect(&h.HeaderClipRect, p)) continue;
    if (!allowed(h.BandIndex) || h.AbsoluteIndex == dragIndex) {
      target = {h.BandIndex, h.RowIndex, h.ColIndex, -2};
      return;
    }
    chosen = &h;
    before = p.x <= (h.HeaderClipRect.left + h.HeaderClipRect.right) / 2;
    if (downIndex >= 0 && GetColumnBandIndex(downIndex) == GetColumnBandIndex(h.AbsoluteIndex) &&
        GetColumnRowIndex(downIndex) == h.RowIndex &&
        ((before && h.ColIndex == GetColumnColIndex(downIndex) + 1) ||
         (!before && h.ColIndex == GetColumnColIndex(downIndex) - 1)))
      return;
  }
  if (!chosen) {
    const TdxGridBandDrawInfo* lastBand = info.BandsInfo.empty() ? nullptr : &info.BandsInfo.back();
    const int lastRight = lastBand ? int(lastBand->BandRect.right) : int(panel.right);
    if (p.x < lastRight) {
      // Under an existing header: a new row below it.
      for (auto h = info.HeadersInfo.rbegin(); h != info.HeadersInfo.rend(); ++h) {
        if (!allowed(h->BandIndex) || p.x < h->HeaderClipRect.left || p.x >= h->HeaderClipRect.right) continue;
        target = {h->BandIndex, h->RowIndex + 1, h->ColIndex, -3};
        const int x = std::clamp(int(h->HeaderClipRect.left) - 5, int(h->HeaderRect.left) - 5, int(h->HeaderRect.right));
        screenPoint = ClientToScreen(POINT{x, h->HeaderRect.top + FHeaderRowHeight - 9});
        return;
      }
      for (const TdxGridBandDrawInfo& b : info.BandsInfo) {
        if (!allowed(b.Index) || p.x < b.BandClipRect.left || p.x >= b.BandClipRect.right) continue;
        target = {b.Index, 0, 0, -3};
        const int x = std::clamp(int(b.BandClipRect.left) - 5, int(panel.left) - 5, int(panel.right));
        screenPoint = ClientToScreen(POINT{x, panel.bottom - 9});
        return;
      }
      return;
    }
    chosen = &info.HeadersInfo.back();
    for (auto h = info.HeadersInfo.rbegin(); h != info.HeadersInfo.rend(); ++h) {
      POINT probe{lastRight - 1, p.y};
      if (PtInRect(&h->HeaderClipRect, probe)) {
        chosen = &*h;
        break;
      }
    }
    before = false;
    if (!allowed(chosen->BandIndex)) {
      target = {chosen->BandIndex, chosen->RowIndex, chosen->ColIndex, -2};
      return;
    }
  }
  const int c = chosen->ColIndex;
  const bool sameBand = downIndex >= 0 && GetVisibleBandIndex(GetColumnBandIndex(downIndex)) == chosen->BandIndex;
  int col;
  if (before) {
    col = c >= 1 && downIndex >= 0 && dragIndex < chosen->AbsoluteIndex && sameBand ? c - 1 : c;
  } else if (downIndex < 0 || dragIndex >= chosen->AbsoluteIndex) {
    col = c;
    if (dragIndex >= 0 && ownBand == chosen->BandIndex)
      col = (GetColumnRowIndex(dragIndex) != chosen->RowIndex || downIndex < 0) ? c + 1 : c;
    else if (dragIndex != -1)
      col = c + 1;
  } else {
    col = c + 1;
  }
  target = {chosen->BandIndex, chosen->RowIndex, col, -3};
  const int x = std::clamp(int(before ? chosen->HeaderClipRect.left : chosen->HeaderClipRect.right) - 5,
                           int(panel.left) - 5, int(panel.right));
  screenPoint = ClientToScreen(POINT{x, chosen->HeaderRect.top - 9});
}

void TCustomdxTreeList::AdjustDragCursor(POINT p, TCursor& cursor) {
  if (PointInCustomizingForm(ClientToScreen(p))) {
    cursor = crDrag;
    if (FState == tsColumnDragging && FDownColumnIndex >= 0 && GetVisibleHeaderCount() == 1) cursor = Cursor();
    if (FState == tsColumnDragging && IsHeaderCustomizingDisabled(FDragAbsoluteHeaderIndex))
      cursor = crdxTreeListDeleteCursor;
  }
  if (FState == tsColumnDragging && GetVisibleBandCount() == 0) cursor = crdxTreeListDeleteCursor;
}

void TCustomdxTreeList::MoveDragImage(TCursor cursor) {
  POINT p{};
  GetCursorPos(&p);
  if (cursor != FMoveCursor) {
    FMoveCursor = cursor;
    Screen().SetCursor(cursor == crDefault ? crArrow : cursor);
  }
  TDragImageList* images = FDragImageList.get();
  if (!images) return;
  POINT hot{images->Width() / 2, images->Height() / 2};
  if (cursor == crdxTreeListDeleteCursor) {
    hot = POINT{(images->Width() - 32) / 2, images->Height() / 2};
    p.x -= 16;
  }
  const POINT now = images->DragHotspot();
  if (!images->Dragging() || now.x != hot.x || now.y != hot.y) {
    images->EndDrag();
    images->SetDragImage(0, hot.x, hot.y);
    images->BeginDrag(GetDesktopWindow(), p.x, p.y);
  } else {
    images->DragMove(p.x, p.y);
  }
}

void TCustomdxTreeList::BandDragMove() { DragMoveStep(true); }

void TCustomdxTreeList::HeaderDragMove() { DragMoveStep(false); }

// One move step of a band or header drag: the drop arrows follow the drop position, and the
// drag is accepted while the pointer stays in the band or header row.
void TCustomdxTreeList::DragMoveStep(bool band) {
  StopAutoScrollTimers();
  POINT screen{};
  GetCursorPos(&screen);
  const POINT p = ScreenToClient(screen);
  POINT arrows = screen;
  const int dragged = band ? FDragAbsoluteBandIndex : FDragAbsoluteHeaderIndex;
  if (band) {
    int target = -1;
    CalcBandDropPosition(arrows, target, dragged, FDownBandIndex);
  } else {
    TdxHeaderDropTarget target;
    CalcHeaderDropPosition(arrows, target, dragged, FDownColumnIndex);
  }
  if (arrows.x != FArrowsPos.x || arrows.y != FArrowsPos.y) {
    if (FFlagSaveArrowsRect) DrawArrows(true);
    FArrowsPos = arrows;
    DrawArrows(true);
  }
  TdxGridDrawInfo info;
  CalcDrawInfo(info);
  const RECT& row = band ? info.BandRect : info.HeaderRect;
  TCursor cursor = p.y >= row.top && p.y < row.bottom ? Cursor() : crdxTreeListDeleteCursor;
  AdjustDragCursor(p, cursor);
  bool accept = cursor != crdxTreeListDeleteCursor;
  if (band)
    DoDragOverBandAt(p, dragged, accept);
  else
    DoDragOverHeaderAt(p, dragged, accept);
  MoveDragImage(accept ? Cursor() : crdxTreeListDeleteCursor);
  if (!PointInCustomizingForm(screen)) StartHorzAutoScroll(p.x, info);
}

void TCustomdxTreeList::EndBandDragging(bool accept) {
  SetState(tsNormal);
  if (FDragImageList) FDragImageList->EndDrag();
  FDragImageList.reset();
  if (FFlagSaveArrowsRect) DrawArrows(false);
  StopAutoScrollTimers();
  Screen().SetCursor(crDefault);
  FMoveCursor = crDefault;
  const int downIndex = std::exchange(FDownBandIndex, -1);
  InvalidateBandPanel();
  const int band = std::exchange(FDragAbsoluteBandIndex, -1);
  if (!accept || band == -1) return;
  POINT screen{};
  GetCursorPos(&screen);
  int target = -1;
  if (!PointInCustomizingForm(screen)) {
    POINT arrows = screen;
    CalcBandDropPosition(arrows, target, band, downIndex);
  }
  bool allow = true;
  DoDragEndBandAt(ScreenToClient(screen), band, allow, target, downIndex);
  if (!allow) return;
  if (downIndex == -1) {
    if (IsCustomizing() && target != -1 && target != -2) ShowBandAtPosition(band, target);
    return;
  }
  if (target != -1 && target != -2 && target != downIndex) {
    MoveBand(downIndex, target);
    MakeBandVisible(target);
    return;
  }
  if (!IsCustomizing() && !IsExtCustomizing()) return;
  if (target == -1 && !IsBandCustomizingDisabled(band)) HideBand(GetVisibleBandIndex(band));
}

void TCustomdxTreeList::EndHeaderDragging(bool accept) {
  SetState(tsNormal);
  if (FDragImageList) FDragImageList->EndDrag();
  FDragImageList.reset();
  if (FFlagSaveArrowsRect) DrawArrows(false);
  StopAutoScrollTimers();
  Screen().SetCursor(crDefault);
  FMoveCursor = crDefault;
  const int downIndex = std::exchange(FDownColumnIndex, -1);
  InvalidateHeaderPanel();
  const int column = std::exchange(FDragAbsoluteHeaderIndex, -1);
  if (!accept || column == -1) return;
  POINT screen{};
  GetCursorPos(&screen);
  TdxHeaderDropTarget target;
  if (!PointInCustomizingForm(screen)) {
    POINT arrows = screen;
    CalcHeaderDropPosition(arrows, target, column, downIndex);
  }
  bool allow = true;
  DoDragEndHeaderAt(ScreenToClient(screen), column, allow, target);
  if (!allow) return;
  const bool moves = target.Kind != -1 && target.Kind != -2;
  if (!IsHeaderVisible(column)) {
    if (IsCustomizing() && moves) ShowHeaderAtPosition(column, target.Band, target.Row, target.Col);
    return;
  }
  if (moves) {
    MoveHeaderToPosition(column, target.Band, target.Row, target.Col);
    MakeColumnVisible(column);
    return;
  }
  // The last visible header stays.
  if (target.Kind == -1 && (IsCustomizing() || IsExtCustomizing()) && !IsHeaderCustomizingDisabled(column) &&
      GetVisibleHeaderCount() > 1)
    HideHeader(column);
}

// ---- hot tracking, tooltips and the status hint

TdxTreeListHeaderHotTrack TCustomdxTreeList::GetHeaderHotTrack(int column, int x, int y) {
  TdxGridDrawInfo info;
  CalcDrawInfo(info);
  for (const TdxGridHeaderDrawInfo& h : info.HeadersInfo) {
    if (h.AbsoluteIndex != column) continue;
    RECT r = h.HeaderRect;
    InflateRect(&r, -2, -2);
    if (RectWidth(r) >= 16 && x >= r.right - 15 && x < r.right && y >= r.top && y < r.bottom)
      return hhtDropDownButton;
    break;
  }
  return hhtBody;
}

void TCustomdxTreeList::DoHotTrackNode(const TdxTreeListHotTrackInfo& info, TCursor& cursor) {
  if (OnHotTrackNode) OnHotTrackNode(this, TdxTreeListHotTrackInfo(info), cursor);
}

void TCustomdxTreeList::InvalidateHotTrack(const TdxTreeListHotTrackInfo& info) {
  if (!HandleAllocated()) return;
  if (info.Node && info.Column >= 0) {
    RECT cell = CellRect(info.Node, GetFocusedVisibleIndex(info.Column));
    if (cell.right > cell.left) InvalidateRect(Handle(), &cell, FALSE);
    RECT row;
    GetNodeRowRect(info.Node, row);
    if (row.bottom > row.top) {
      int indent = 0, imageIndent = 0;
      GetNodeIndent(info.Node, indent, imageIndent);
      row.right = std::min(int(row.right), int(row.left) + imageIndent);
      if (row.right > row.left) InvalidateRect(Handle(), &row, FALSE);
    }
  } else if (info.Column >= 0 && info.HeaderHotTrack != hhtNone) {
    InvalidateHeaderPanel();
  }
}

void TCustomdxTreeList::UpdateHotTrack(const TdxTreeListHitInfo& hit) {
  if (FState == tsNormal || FState == tsStatusCloseButtonDown) {
    RECT close;
    GetStatusCloseButtonRect(close);
    const bool active = PtInRect(&close, POINT{hit.X, hit.Y}) != 0;
    if (active != FStatusCloseButtonActive) {
      FStatusCloseButtonActive = active;
      if (HandleAllocated()) InvalidateRect(Handle(), &close, FALSE);
      if (active && FState == tsNormal) StartStatusHint(); else HideStatusHint();
    }
  }
  if (Op(aoShowTooltips) && FState == tsNormal) UpdateTooltip(hit);
  if (!Ex(aoHotTrack) && !IsAlwaysHotTrack()) return;
  const TdxTreeListHotTrackInfo old = FHotTrackInfo;
  TdxTreeListHotTrackInfo now;
  bool cell = false;
  if (hit.Node && hit.Column >= 0 &&
      CanHotTrackCellAt(hit.X, hit.Y, FHotTrackInfo.ActiveIndex, hit.Column, hit.Node)) {
    cell = true;
    if (OnGetIsHotTrackNode) OnGetIsHotTrackNode(this, hit.X, hit.Y, hit.Node, cell);
  }
  if (cell) {
    now.Node = hit.Node;
    now.Column = hit.Column;
  } else if (hit.hitType == htColumn && hit.Column >= 0) {
    now.Column = hit.Column;
    now.HeaderHotTrack = GetHeaderHotTrack(hit.Column, hit.X, hit.Y);
  }
  now.ActiveIndex = FHotTrackInfo.ActiveIndex;
  FHotTrackInfo = now;
  if (now.Node != old.Node || now.Column != old.Column) {
    TCursor cursor = FDefaultCursor;
    DoHotTrackNode(now, cursor);
    if (cursor != Cursor()) {
      FCursorChange = true;
      struct TDone {
        bool& Flag;
        ~TDone() { Flag = false; }
      } done{FCursorChange};
      SetCursor(cursor);
    }
    InvalidateHotTrack(old);
    InvalidateHotTrack(now);
  } else if (now.HeaderHotTrack != old.HeaderHotTrack) {
    InvalidateHotTrack(old);
    InvalidateHotTrack(now);
  }
}

// The text's width in the control's font, measured on the unit's screen context.
int TCustomdxTreeList::TextWidthOf(const WideString& text) {
  HDC dc = TreeListScreenDC();
  if (!dc) return 0;
  HGDIOBJ old = SelectObject(dc, Font().Handle());
  SIZE extent{};
  GetTextExtentPoint32W(dc, text.c_str(), int(text.size()), &extent);
  SelectObject(dc, old);
  return int(extent.cx);
}

void TCustomdxTreeList::UpdateTooltip(const TdxTreeListHitInfo& hit) {
  if (hit.Node == FTooltipNode && hit.Column == FTooltipColumn) return;
  CloseCellTooltip();
  FTooltipNode = hit.Node;
  FTooltipColumn = hit.Column;
  if (!hit.Node || hit.Column < 0) return;
  RECT rect = GetEditRect(hit.Node, GetFocusedVisibleIndex(hit.Column));
  WideString text;
  GetCellText(hit.Node, hit.Column, text);
  bool show = false, done = false;
  if (OnGetTooltipInfo) OnGetTooltipInfo(this, hit.Node, hit.Column, rect, text, show, done);
  if (!done) {
    show = TextWidthOf(text) + 4 > RectWidth(rect);
  }
  if (!show) return;
  if (!FTooltipWindow) FTooltipWindow = std::make_unique<TdxContainerHintWindow>(nullptr);
  POINT at = ClientToScreen(POINT{rect.left, rect.top});
  at.x -= 1;
  at.y -= 2;
  FTooltipWindow->ActivateHintEx(at, GetSystemMetrics(SM_CXSCREEN), text, Font(), true);
}

void TCustomdxTreeList::CloseCellTooltip() {
  FTooltipNode = nullptr;
  FTooltipColumn = -1;
  FTooltipWindow.reset();
}

void TCustomdxTreeList::StartStatusHint() {
  HideStatusHint();
  if (HandleAllocated()) FShowHintTimerId = SetTimer(Handle(), kShowStatusHintTimer, kShowStatusHintDelay, nullptr);
}

void TCustomdxTreeList::ShowStatusHint() {
  HideStatusHint();
  WideString text;
  GetHintText(text);
  RECT close;
  GetStatusCloseButtonRect(close);
  if (!FHintWindow) FHintWindow = std::make_unique<TdxContainerHintWindow>(nullptr);
  SIZE extent{};
  if (HDC dc = TreeListScreenDC()) {
    HGDIOBJ old = SelectObject(dc, Font().Handle());
    GetTextExtentPoint32W(dc, L"Wg", 2, &extent);
    SelectObject(dc, old);
  }
  const int height = int(extent.cy);
  FHintWindow->ActivateHint(ClientToScreen(POINT{close.right + 4, close.top - height}), text, Font());
  if (HandleAllocated()) FHideHintTimerId = SetTimer(Handle(), kHideStatusHintTimer, kHideStatusHintDelay, nullptr);
}

void TCustomdxTreeList::HideStatusHint() {
  if (HandleAllocated()) {
    if (FShowHintTimerId != 0) KillTimer(Handle(), kShowStatusHintTimer);
    if (FHideHintTimerId != 0) KillTimer(Handle(), kHideStatusHintTimer);
  }
  FShowHintTimerId = FHideHintTimerId = 0;
  FHintWindow.reset();
}

// ---- the mouse-scroll mode

void TCustomdxTreeList::MouseScroll() {
  CloseCellTooltip();
  const LONG style = GetWindowLongW(Handle(), GWL_STYLE);
  const bool horz = (style & WS_HSCROLL) != 0, vert = (style & WS_VSCROLL) != 0;
  POINT origin{};
  GetCursorPos(&origin);
  const wchar_t* name = horz && vert ? L"DXGRID_FULLSCROLLBITMAP" : !horz ? L"DXGRID_VERSCROLLBITMAP"
                                                                          : L"DXGRID_HORSCROLLBITMAP";
  HBITMAP bitmap = HBITMAP(LoadImageW(ClassLibraryInstance(), name, IMAGE_BITMAP, 0, 0, LR_CREATEDIBSECTION));
  BITMAP info{};
  if (bitmap) GetObjectW(bitmap, sizeof(info), &info);
  const int w = info.bmWidth > 0 ? info.bmWidth : 29, h = info.bmHeight > 0 ? info.bmHeight : 29;
  FMouseScrollMarkerSize = SIZE{w, h};
  // What the mode takes is given back on every path, also when a dispatched message raises.
  struct TMode {
    HWND Owner;
    HWND Marker = nullptr;
    UINT_PTR Timer = 0;
    ~TMode() {
      if (GetCapture() == Owner) ReleaseCapture();
      if (Timer) KillTimer(nullptr, Timer);
      if (Marker) DestroyWindow(Marker);
    }
  } mode{Handle()};
  mode.Marker = CreateWindowExW(0, L"STATIC", L"", WS_POPUP, origin.x - w / 2, origin.y - h / 2, w, h, Handle(),
                                nullptr, HINSTANCE(GetModuleHandleW(nullptr)), nullptr);
  if (mode.Marker) {
    SetWindowRgn(mode.Marker, CreateEllipticRgn(0, 0, w + 1, h + 1), FALSE);
    SetWindowPos(mode.Marker, nullptr, 0, 0, 0, 0,
                 SWP_SHOWWINDOW | SWP_NOACTIVATE | SWP_NOMOVE | SWP_NOSIZE | SWP_NOZORDER);
    if (HDC dc = GetDC(mode.Marker)) {
      if (bitmap) {
        HDC memory = CreateCompatibleDC(dc);
        HGDIOBJ old = SelectObject(memory, bitmap);
        BitBlt(dc, 0, 0, w, h, memory, 0, 0, SRCCOPY);
        SelectObject(memory, old);
        DeleteDC(memory);
      }
      HRGN frame = CreateEllipticRgn(0, 0, w + 1, h + 1);
      FrameRgn(dc, frame, GetSysColorBrush(COLOR_WINDOWTEXT), 1, 1);
      DeleteObject(frame);
      ReleaseDC(mode.Marker, dc);
    }
  }
  if (bitmap) DeleteObject(bitmap);
  TMouseScrollMotion motion{TMouseScrollDirection::None, 1};
  bool moved = false;
  Screen().SetCursor(MouseScrollCursor(motion.Direction, horz, vert));
  mode.Timer = SetTimer(nullptr, 0, kMouseScrollTick, nullptr);
  SetCapture(Handle());
  int tick = 0;
  POINT last = origin;
  while (GetCapture() == Handle()) {
    MSG msg;
    const BOOL got = GetMessageW(&msg, nullptr, 0, 0);
    if (got == -1) break;
    if (got == 0) {
      PostQuitMessage(int(msg.wParam));
      break;
    }
    switch (msg.message) {
      case WM_KEYDOWN:
      case WM_KEYUP:
        if (msg.wParam == VK_ESCAPE) return;
        continue;
      case WM_TIMER:
        if (msg.hwnd == nullptr && msg.wParam == mode.Timer) {
          ++tick;
          if (IsMouseScrollStep(tick, motion.Speed)) {
            switch (motion.Direction) {
              case TMouseScrollDirection::Left: Perform(WM_HSCROLL, SB_LINELEFT, 0); break;
              case TMouseScrollDirection::Right: Perform(WM_HSCROLL, SB_LINERIGHT, 0); break;
              case TMouseScrollDirection::Up: Perform(WM_VSCROLL, SB_LINEUP, 0); break;
              case TMouseScrollDirection::Down: Perform(WM_VSCROLL, SB_LINEDOWN, 0); break;
              case TMouseScrollDirection::None: break;
            }
          }
        }
        continue;
      case WM_MOUSEMOVE: {
        POINT p{MouseX(msg.lParam), MouseY(msg.lParam)};
        ::ClientToScreen(msg.hwnd, &p);
        if (p.x == last.x && p.y == last.y) continue;
        last = p;
        motion = MouseScrollMotion(origin, p, w, horz, vert);
        if (motion.Direction != TMouseScrollDirection::None) moved = true;
        Screen().SetCursor(MouseScrollCursor(motion.Direction, horz, vert));
        continue;
      }
      case WM_MBUTTONUP:
        if (moved) return;
        continue;
      case WM_PAINT:
        if (msg.hwnd == mode.Marker) {
          ValidateRect(mode.Marker, nullptr);
          continue;
        }
        break;
      default:
        if (msg.message >= WM_LBUTTONDOWN && msg.message <= WM_MOUSEHWHEEL) return;
        break;
    }
    TranslateMessage(&msg);
    DispatchMessageW(&msg);
  }
}

}  // namespace tvk
