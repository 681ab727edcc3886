#include "TreeListScrolling.h"

#include <algorithm>
#include <cstdlib>
#include <exception>

#include <windowsx.h>

#include "Forms.h"
#include "TreeListEditing.h"

namespace tvk {

namespace {

int CellsAreaHeight(TCustomdxTreeList& tree) {
  TdxGridDrawInfo info;
  tree.CalcRectInfo(info, false);
  return std::max(0, int(info.CellsRect.bottom - info.CellsRect.top));
}

// Runs Step; an error it raises comes back only once the rest of a message's handling ran.
class TDeferredError {
public:
  template <class F>
  void Run(F&& step) {
    try {
      step();
    } catch (...) {
      if (!FError) FError = std::current_exception();
    }
  }
  void Raise() {
    if (FError) std::rethrow_exception(FError);
  }

private:
  std::exception_ptr FError;
};

// Info as the window keeps it: the page at most the range, the position within what the page leaves.
bool SameScrollInfo(const SCROLLINFO& current, SCROLLINFO info) {
  const int range = info.nMax - info.nMin + 1;
  if (range > 0 && int(info.nPage) > range) info.nPage = UINT(range);
  const int last = info.nMax - std::max(int(info.nPage) - 1, 0);
  info.nPos = std::max(info.nMin, std::min(info.nPos, last));
  return current.nMin == info.nMin && current.nMax == info.nMax && current.nPage == info.nPage &&
         current.nPos == info.nPos;
}

}  // namespace

// ---- visible rows

int TCustomdxTreeList::CountRows(TdxTreeListNode* node, int height, int& whole, int& partial) {
  int sum = 0;
  whole = partial = 0;
  // One row: answers whether the walk goes on.
  auto take = [&](TdxTreeListNode* n) {
    ++FScrollStats.RowsWalked;
    int h = GetRowHeight(n, FRowHeight, false);
    if (sum + h <= height) {
      ++whole;
      ++partial;
      sum += h;
      return true;
    }
    if (sum <= height) ++partial;  // a row whose top lies on the bottom edge counts too
    sum += h;
    return false;
  };
  bool full = false;
  for (TdxTreeListNode* n = node; n && !full; n = GetNextVisible(n)) full = !take(n);
  // Room left below the last row: the rows above fill it.
  if (!full && node)
    for (TdxTreeListNode* n = node->GetPriorNode(); n && !full; n = n->GetPriorNode()) full = !take(n);
  whole = std::max(whole, 1);
  partial = std::max(partial, 1);
  return sum;
}

void TCustomdxTreeList::UpdateRowCount() {
  CountRows(FTopVisibleNode, CellsAreaHeight(*this), FRowCount, FVisibleRowCount);
}

void TCustomdxTreeList::GetVScrollInfo(int& min, int& max, int& pos, UINT& page, UINT& mask) {
  (void)mask;
  int count = AbsoluteCount();
  min = 0;
  page = UINT(FRowCount);
  max = FRowCount >= count ? 0 : count - 1;
  pos = TopIndex();
}

int TCustomdxTreeList::GetVisibleScrollingWidth() {
  RECT area;
  GetScrollingArea(area);
  return std::max(0, int(area.right - area.left));
}

int TCustomdxTreeList::ScrollDistance(TdxTreeListNode* top, int rows) {
  int distance = 0;
  TdxTreeListNode* n = rows < 0 ? top : (top ? top->GetPriorNode() : nullptr);
  for (int i = 0; i < std::abs(rows) && n; ++i) {
    ++FScrollStats.RowsWalked;
    distance += GetRowHeight(n, FRowHeight, false);
    n = rows < 0 ? GetNextVisible(n) : n->GetPriorNode();
  }
  return rows < 0 ? -distance : distance;
}

// ---- positions

void TCustomdxTreeList::SetTopIndex(int value) {
  HideEditorWindow();
  auto scroll = [&] {
    const int old = TopIndex();
    if (value == old) return;
    value = std::max(value, 0);
    const int count = AbsoluteCount();
    if (count < 2) return;
    int whole = 0, partial = 0;
    CountRows(GetAbsoluteNode(value), CellsAreaHeight(*this), whole, partial);
    if (count < value + whole) value = std::max(count - FRowCount, 0);
    const int rows = old - value;
    TdxTreeListNode* oldTop = FTopVisibleNode;
    if (value != old) {
      RECT focused;
      GetNodeRowRect(FFocused, focused);
      SetTopVisibleNode(GetAbsoluteNode(value));
      UpdateScrollBars();
      if (FLockUpdate != 0) return;
      // The focus frame is repainted where it was and where it is.
      if (HandleAllocated() && focused.left >= 0) {
        ValidateRect(Handle(), &focused);
        InvalidateRect(Handle(), &focused, FALSE);
      }
      GetNodeRowRect(FFocused, focused);
      InvalidateRows(focused, false);
    }
    if (rows == 0 || !HandleAllocated()) return;
    if (std::abs(rows) > FRowCount) {
      ++FScrollStats.FullRepaints;
      Invalidate();
      return;
    }
    // Only a scroll the window shows needs the distance; it is taken from the old top row.
    int distance = ScrollDistance(oldTop, rows);
    ++FScrollStats.WindowScrolls;
    HideDragImages();
    try {
      ScrollVert(distance);
    } catch (...) {
      ShowDragImages();
      throw;
    }
    ShowDragImages();
  };
  scroll();
  RestoreEditorWindow();
}

void TCustomdxTreeList::SetLeftCoord(int value) {
  HideEditorWindow();
  auto scroll = [&] {
    if (value == FLeftCoord) return;
    const int visible = GetVisibleScrollingWidth();
    value = std::max(0, std::min(value, GetScrollingWidth() - visible));
    if (value == FLeftCoord) return;
    const int old = FLeftCoord;
    FLeftCoord = value;
    UpdateScrollBars();
    if (FLockUpdate != 0) return;
    if (HandleAllocated()) {
      if (FShowFooter || std::abs(old - value) > visible || GetFixedLeftBandIndex() != -1 ||
          GetFixedRightBandIndex() != -1) {
        ++FScrollStats.FullRepaints;
        Invalidate();
      } else {
        ++FScrollStats.WindowScrolls;
        HideDragImages();
        try {
          ScrollHorz(old - value);
        } catch (...) {
          ShowDragImages();
          throw;
        }
        ShowDragImages();
      }
    }
    DoChangeLeftCoord();
  };
  scroll();
  RestoreEditorWindow();
}

void TCustomdxTreeList::CorrectPositions() {
  const int count = AbsoluteCount(), top = TopIndex();
  if (top >= 0 && count < top + FRowCount) {
    int corrected = std::max(0, count - FRowCount);
    if (corrected != top) SetTopIndex(corrected);
  }
  const int width = GetScrollingWidth(), visible = GetVisibleScrollingWidth();
  if (visible < width) {
    if (width < visible + FLeftCoord) {
      FLeftCoord = width - visible;
      Invalidate();
    }
  } else if (FLeftCoord != 0) {
    SetLeftCoord(0);
  }
}

// ---- scroll bars

void TCustomdxTreeList::UpdateVertScrollBar() {
  UpdateRowCount();
  if (!IsVertScrollBar()) return;
  SCROLLINFO current{};
  current.cbSize = sizeof(current);
  current.fMask = SIF_ALL;
  GetFlatScrollInfo(SB_VERT, current);
  int min = 0, max = 0, pos = 0;
  UINT page = 0, mask = SIF_ALL;
  GetVScrollInfo(min, max, pos, page, mask);
  SCROLLINFO info{};
  info.cbSize = sizeof(info);
  info.fMask = mask;
  info.nMin = min;
  info.nMax = max;
  info.nPage = page;
  info.nPos = pos;
  if (SameScrollInfo(current, info)) return;
  ++FScrollStats.BarWrites;
  HideDragImages();
  SetFlatScrollInfo(SB_VERT, info, true);
  ShowDragImages();
}

void TCustomdxTreeList::UpdateHorzScrollBar() {
  if (!IsHorzScrollBar()) return;
  SCROLLINFO current{};
  current.cbSize = sizeof(current);
  current.fMask = SIF_ALL;
  GetFlatScrollInfo(SB_HORZ, current);
  const int width = GetScrollingWidth(), visible = GetVisibleScrollingWidth();
  SCROLLINFO info{};
  info.cbSize = sizeof(info);
  info.fMask = SIF_ALL;
  info.nMin = 0;
  info.nPage = UINT(visible);
  info.nMax = visible < width ? width - 1 : 0;
  info.nPos = FLeftCoord;
  if (SameScrollInfo(current, info)) return;
  ++FScrollStats.BarWrites;
  HideDragImages();
  SetFlatScrollInfo(SB_HORZ, info, true);
  ShowDragImages();
}

void TCustomdxTreeList::UpdateScrollBars() {
  if (!HandleAllocated()) return;
  // Each bar may change the other's page.
  UpdateVertScrollBar();
  UpdateHorzScrollBar();
  UpdateVertScrollBar();
  UpdateHorzScrollBar();
}

void TCustomdxTreeList::RemoveSuperfluousScrollBars() {
  if (!HandleAllocated()) return;
  const LONG style = GetWindowLongW(Handle(), GWL_STYLE);
  if (!(style & WS_HSCROLL) || !(style & WS_VSCROLL) || KeepBothScrollBars()) return;
  int height = CellsAreaHeight(*this) + GetSystemMetrics(SM_CYHSCROLL);
  int width = GetVisibleScrollingWidth() + GetSystemMetrics(SM_CXVSCROLL);
  int whole = 0, partial = 0;
  CountRows(FTopVisibleNode, height, whole, partial);
  if (whole < AbsoluteCount() || width < GetScrollingWidth()) return;
  // Both go at once: either alone could make the other necessary again.
  SetWindowLongW(Handle(), GWL_STYLE, style & ~(WS_HSCROLL | WS_VSCROLL));
  SetWindowPos(Handle(), nullptr, 0, 0, 0, 0,
               SWP_NOMOVE | SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE | SWP_FRAMECHANGED);
}

// ---- window messages

void TCustomdxTreeList::WMDestroy(TMessage& message) {
  HideStatusHint();
  CloseCellTooltip();
  TVK_INHERITED(message);
}

void TCustomdxTreeList::WMSize(TMessage& message) {
  ResetNodeRowHeights();
  TDeferredError refused;
  refused.Run([&] { CloseEditor(); });
  RemoveSuperfluousScrollBars();
  TVK_INHERITED(message);
  UpdateScrollBars();
  CorrectPositions();
  refused.Raise();
}

bool TCustomdxTreeList::IsEditorWindow(HWND wnd) {
  if (!wnd || !FInplaceEdit || !FInplaceEdit->HandleAllocated()) return false;
  HWND editor = FInplaceEdit->Handle();
  return wnd == editor || IsChild(editor, wnd);
}

void TCustomdxTreeList::WMSetFocus(TMessage& message) {
  TVK_INHERITED(message);
  if (!FFocused && FTopVisibleNode) ChangeFocus(FTopVisibleNode, FFocusedColumn, false);
  if (!IsRowSelect() && FFocusedColumn == -1) FFocusedColumn = 0;
  if (IsEditorWindow(reinterpret_cast<HWND>(message.WParam))) return;
  RECT r;
  GetNodeRowRect(FFocused, r);
  InvalidateRows(r, false);
  if (FState == tsEditing) ShowInplaceEditor(true);
  if (IsMultiSelect() && SelectedCount() > 0) InvalidateSelection();
  if (IsShowNewItemRow()) InvalidateNewItemRow();
}

void TCustomdxTreeList::WMKillFocus(TMessage& message) {
  TVK_INHERITED(message);
  if (IsEditorWindow(reinterpret_cast<HWND>(message.WParam))) return;
  RECT r;
  GetNodeRowRect(FFocused, r);
  InvalidateRows(r, false);
  TDeferredError refused;
  refused.Run([&] { HideEditor(); });
  if (IsMultiSelect() && SelectedCount() > 0) InvalidateSelection();
  if (IsShowNewItemRow()) InvalidateNewItemRow();
  if (FState == tsNodeDown) SetState(tsNormal);
  refused.Raise();
}

void TCustomdxTreeList::WMEraseBkgnd(TMessage& message) { message.Result = 1; }

void TCustomdxTreeList::WMCancelMode(TMessage& message) {
  CancelMouseState();
  TVK_INHERITED(message);
}

void TCustomdxTreeList::WMSetCursor(TMessage& message) {
  if (LOWORD(message.LParam) == HTCLIENT) {
    TdxTreeListState state = FState;
    if (state == tsNormal || state == tsEditing) {
      TdxTreeListHitInfo hit = GetHitInfo(ScreenToClient(FHitTest));
      if ((hit.hitType == htBandEdge && hit.Band >= 0) || hit.hitType == htColumnEdge)
        state = tsColumnSizing;
      else if (hit.hitType == htBandPanelEdge || hit.hitType == htHeaderPanelEdge || hit.hitType == htRowEdge)
        state = tsRowSizing;
    }
    int cursor = 0;
    switch (state) {
      case tsColumnSizing: case tsBandSizing: cursor = crHSplit; break;
      case tsBandPanelSizing: case tsHeaderPanelSizing: case tsRowSizing: cursor = crVSplit; break;
      default: break;
    }
    if (cursor != 0) {
      ::SetCursor(Screen().Cursors(cursor));
      message.Result = 1;
      return;
    }
  }
  TVK_INHERITED(message);
}

void TCustomdxTreeList::WMNCCalcSize(TMessage& message) {
  // The flat looks draw a one-pixel border of their own.
  if (FBorderStyle != TdxBorderStyle::bsNone && FLookAndFeel != lfStandard && message.LParam != 0)
    InflateRect(reinterpret_cast<RECT*>(message.LParam), -1, -1);
  TVK_INHERITED(message);
}

void TCustomdxTreeList::WMNCHitTest(TMessage& message) {
  TVK_INHERITED(message);
  FHitTest = POINT{GET_X_LPARAM(message.LParam), GET_Y_LPARAM(message.LParam)};
}

void TCustomdxTreeList::WMNCPaint(TMessage& message) {
  TVK_INHERITED(message);
  if (FLookAndFeel == lfStandard || FBorderStyle == TdxBorderStyle::bsNone || !HandleAllocated()) return;
  HDC dc = GetWindowDC(Handle());
  if (!dc) return;
  RECT window;
  GetWindowRect(Handle(), &window);
  RECT r{0, 0, window.right - window.left, window.bottom - window.top};
  DrawBorder(dc, r);
  const LONG style = GetWindowLongW(Handle(), GWL_STYLE);
  if ((style & WS_HSCROLL) && (style & WS_VSCROLL)) {
    RECT corner{r.right - 1 - GetSystemMetrics(SM_CXVSCROLL), r.bottom - 1 - GetSystemMetrics(SM_CYHSCROLL),
                r.right - 1, r.bottom - 1};
    FillRect(dc, &corner, GetSysColorBrush(COLOR_BTNFACE));
  }
  ReleaseDC(Handle(), dc);
}

void TCustomdxTreeList::WMGetDlgCode(TMessage& message) {
  LRESULT code = DLGC_WANTARROWS;
  if (Op(aoEditing) || FSearching || (IsAutoSearch() && GetKeyState(VK_MENU) >= 0)) code |= DLGC_WANTCHARS;
  if (Op(aoTabs) && GetKeyState(VK_CONTROL) >= 0) code |= DLGC_WANTTAB;
  message.Result = code;
}

void TCustomdxTreeList::WMIMEStartComposition(TMessage& message) {
  TVK_INHERITED(message);
  ShowEditor();
}

void TCustomdxTreeList::WMTimer(TMessage& message) {
  TVK_INHERITED(message);
  switch (message.WParam) {
    case kClickHoverEditTimer: {
      StopClickHoverEditTimer();
      if (FState != tsNormal) break;
      bool edit = true;
      if (OnClickHoverEdit) OnClickHoverEdit(this, FocusedColumn(), edit);
      if (edit) ShowEditor();
      break;
    }
    case kDragExpandTimer: DragExpandTimer(); break;
    case kShowStatusHintTimer: ShowStatusHint(); break;
    case kHideStatusHintTimer: HideStatusHint(); break;
    default: break;
  }
}

void TCustomdxTreeList::WMHScroll(TMessage& message) {
  message.Result = 0;
  const int code = LOWORD(message.WParam);
  if (GetVisibleColumnCount() == 0 || code > SB_RIGHT) return;
  const int width = GetScrollingWidth(), visible = GetVisibleScrollingWidth();
  int value = FLeftCoord;
  switch (code) {
    case SB_LINELEFT: value -= FDeltaHScroll; break;
    case SB_LINERIGHT: value += FDeltaHScroll; break;
    case SB_PAGELEFT: value -= visible; break;
    case SB_PAGERIGHT: value += visible; break;
    case SB_THUMBPOSITION:
    case SB_THUMBTRACK: {
      SCROLLINFO info{};
      info.cbSize = sizeof(info);
      info.fMask = SIF_TRACKPOS;
      GetFlatScrollInfo(SB_HORZ, info);
      const int t = info.nTrackPos;
      // The thumb moves in steps of 4 pixels, except to reach the right end.
      if (t < 1)
        value = 0;
      else if (t < width)
        value = visible + t + 1 < width ? (t + 1) / 4 * 4 : t + 1;
      else
        value = width;
      break;
    }
    case SB_LEFT: value = 0; break;
    case SB_RIGHT: value = width; break;
    default: break;
  }
  SetLeftCoord(value);
}

void TCustomdxTreeList::WMVScroll(TMessage& message) {
  message.Result = 0;
  const int code = LOWORD(message.WParam);
  if (code > SB_BOTTOM) return;
  const int count = AbsoluteCount();
  int value = TopIndex();
  switch (code) {
    case SB_LINEUP: value -= 1; break;
    case SB_LINEDOWN: value += 1; break;
    case SB_PAGEUP: value -= FRowCount; break;
    case SB_PAGEDOWN: value += FRowCount; break;
    case SB_THUMBPOSITION:
    case SB_THUMBTRACK: {
      SCROLLINFO info{};
      info.cbSize = sizeof(info);
      info.fMask = SIF_TRACKPOS;
      GetFlatScrollInfo(SB_VERT, info);
      const int t = info.nTrackPos;
      value = t < 1 ? 0 : std::min(t, count);
      break;
    }
    case SB_TOP: value = 0; break;
    case SB_BOTTOM: value = count; break;
    default: break;
  }
  SetTopIndex(value);
}

void TCustomdxTreeList::WMLButtonDown(TMessage& message) {
  StopClickHoverEditTimer();
  TVK_INHERITED(message);
  if (FInplaceEdit) FInplaceEdit->SetClickTime(int(GetMessageTime()));
}

void TCustomdxTreeList::CMCancelMode(TMessage& message) {
  CancelMouseState();
  if (FInplaceEdit) FInplaceEdit->Perform(message.Msg, message.WParam, message.LParam);
  TVK_INHERITED(message);
}

void TCustomdxTreeList::CMCtl3DChanged(TMessage& message) {
  TVK_INHERITED(message);
  if (FBorderStyle == TdxBorderStyle::bsSingle && FLookAndFeel == lfStandard) RecreateWnd();
}

void TCustomdxTreeList::CMMouseEnter(TMessage& message) {
  TVK_INHERITED(message);
  POINT p{};
  GetCursorPos(&p);
  UpdateHotTrack(GetHitInfo(ScreenToClient(p)));
}

void TCustomdxTreeList::CMMouseLeave(TMessage& message) {
  TVK_INHERITED(message);
  TdxTreeListHitInfo nothing;
  nothing.hitType = htNowhere;
  UpdateHotTrack(nothing);
  HideStatusHint();
  CloseCellTooltip();
}

void TCustomdxTreeList::CMExit(TMessage& message) {
  // A refused value keeps the focus in the control.
  HideEditor();
  TVK_INHERITED(message);
}

}  // namespace tvk
