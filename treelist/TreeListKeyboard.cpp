#include "TreeListKeyboard.h"

#include <algorithm>
#include <iterator>

#include "Files.h"

namespace tvk {

namespace {

// Holds one selection bracket for a scope, so OnSelectedCountChange fires at most once per key.
class TKeySelectionScope {
public:
  explicit TKeySelectionScope(TCustomdxTreeList& tree) : FTree(tree) { FTree.BeginSelection(); }
  ~TKeySelectionScope() { FTree.EndSelection(); }
  TKeySelectionScope(const TKeySelectionScope&) = delete;
  TKeySelectionScope& operator=(const TKeySelectionScope&) = delete;

private:
  TCustomdxTreeList& FTree;
};

// Raises the search-in-progress count for a scope: the search's own focus changes keep it going.
class TSearchLockScope {
public:
  explicit TSearchLockScope(int& count) : FCount(count) { ++FCount; }
  ~TSearchLockScope() { --FCount; }
  TSearchLockScope(const TSearchLockScope&) = delete;
  TSearchLockScope& operator=(const TSearchLockScope&) = delete;

private:
  int& FCount;
};

// The states of a mouse sizing or move, in which only Esc (to cancel it) counts.
constexpr TdxTreeListState kMouseTrackingStates[] = {tsColumnSizing,    tsColumnDragging,    tsBandSizing, tsBandDragging,
                                                     tsBandPanelSizing, tsHeaderPanelSizing, tsRowSizing};

bool IsMouseTrackingState(TdxTreeListState state) {
  return std::find(std::begin(kMouseTrackingStates), std::end(kMouseTrackingStates), state) !=
         std::end(kMouseTrackingStates);
}

// Shift (or Ctrl) down without Alt.
bool Held(TShiftState shift, TShiftFlag flag) { return (shift & flag) && !(shift & ssAlt); }
bool ShiftKeyHeld() { return KeyState(VK_SHIFT) < 0 && KeyState(VK_MENU) >= 0; }

constexpr wchar_t kCtrlA = 1, kCtrlC = 3, kCtrlV = 22, kCtrlX = 24;

// Does Cell start with Wanted (already upper-cased), compared upper-cased in the user's locale?
bool StartsWithUpper(const WideString& cell, const WideString& wanted) {
  if (cell.size() < wanted.size()) return false;
  return UpperCaseText(std::wstring_view(cell).substr(0, wanted.size())) == wanted;
}

}  // namespace

// ---- moving the focus

void TCustomdxTreeList::PrepareMoveSelection(int delta) {
  const bool blocked = (delta < 0 && IsFirstNode(FFocused) && SelectedCount() == 1) ||
                       (delta > 0 && IsLastNode(FFocused));
  if (!blocked) ClearSelection();
}

void TCustomdxTreeList::MoveFocus(int delta) {
  bool selectNew = false;
  if (IsMultiSelect() && FFocused) {
    if (!ShiftKeyHeld()) {
      PrepareMoveSelection(delta);
      FSelectionAnchor = nullptr;
    } else if (FSelecting) {
      const int s = delta + CompareWithAnchor(FFocused);
      if (s == 0) FFocused->SetSelected(false);  // the move goes back towards the anchor
      selectNew = s != 0;
    } else {
      PrepareMoveSelection(delta);
      if (CanRangeSelect() && FSelectionAnchor) {
        SelectRange(FSelectionAnchor, FFocused);
        const int towardsFocus = GetAbsoluteIndex(FSelectionAnchor) - FocusedNumber();
        const bool away = (towardsFocus < 0) == (delta > 0) && towardsFocus != 0;
        FFocused->SetSelected(away);
      } else {
        FSelectionAnchor = FFocused;
        FFocused->SetSelected(true);
      }
      FSelecting = true;
      selectNew = true;
    }
  }
  SetFocusedNumber(FocusedNumber() + delta);
  if (selectNew && FFocused) FFocused->SetSelected(true);
}

void TCustomdxTreeList::PageMove(int delta) {
  if (!FFocused) return;
  const int f = FocusedNumber();
  if (AbsoluteCount() < 2) {
    if ((delta < 0 && IsFirstNode(FFocused)) || (delta > 0 && IsLastNode(FFocused))) return;
    SetFocusedNumber(f + delta);
    return;
  }
  const int t = std::max(GetAbsoluteIndex(FTopVisibleNode), 0);
  const int b = std::min(t + FRowCount - 1, AbsoluteCount() - 1);
  if (t < f && f < b) {
    SetFocusedNumber(delta < 0 ? t : b);  // first to the edge of the shown page
    return;
  }
  SetFocusedNumber(f + delta * std::max(FRowCount - 1, 1));
}

bool TCustomdxTreeList::MoveInBandRows(bool up) {
  if (IsRowSelect() || !FFocused || IsGroupNode(FFocused)) return false;
  const int column = GetFocusedAbsoluteIndex(FocusedColumn());
  if (column < 0) return false;
  const int band = GetVisibleBandIndex(GetColumnBandIndex(column));
  const int rows = GetHeaderRowCount(band);
  if (rows < 2) return false;
  int r = -1, c = -1;
  for (int row = 0; row < rows && r < 0; ++row)
    for (int col = 0; col < GetHeaderColCount(band, row); ++col)
      if (GetHeaderAbsoluteIndex(band, row, col) == column) {
        r = row;
        c = col;
        break;
      }
  if (r < 0) return false;
  bool wrapped = false;
  if (up) {
    if (r == 0 && IsFirstNode(FFocused)) return false;
    wrapped = r == 0;
    r = wrapped ? rows - 1 : r - 1;
  } else {
    if (r == rows - 1 && IsLastNode(FFocused)) return false;
    wrapped = r == rows - 1;
    r = wrapped ? 0 : r + 1;
  }
  c = std::min(c, GetHeaderColCount(band, r) - 1);
  const int target = GetHeaderAbsoluteIndex(band, r, c);
  if (target < 0) return false;
  SetFocusedColumn(GetFocusedVisibleIndex(target));
  return !wrapped;
}

int TCustomdxTreeList::FindTabStopColumn(int start, bool forward) {
  const int count = GetVisibleColumnCount();
  for (int i = start; i >= 0 && i < count; i += forward ? 1 : -1)
    if (IsColumnTabStop(GetFocusedAbsoluteIndex(i))) return i;
  return forward ? count : -1;
}

void TCustomdxTreeList::PrevRowLastColumn() {
  ClearSelection();
  SetFocusedNumber(FocusedNumber() - 1);
  SetFocusedColumn(FindTabStopColumn(GetVisibleColumnCount() - 1, false));
}

void TCustomdxTreeList::NextRowFirstColumn() {
  ClearSelection();
  SetFocusedNumber(FocusedNumber() + 1);
  const int first = FindTabStopColumn(0, true);
  if (first < GetVisibleColumnCount()) SetFocusedColumn(first);
}

// ---- incremental search

bool TCustomdxTreeList::StartSearch(int column, const WideString& text) {
  HideEditor();
  SetNewItemRowActive(false);
  if (column < 0) column = GetFocusedAbsoluteIndex(FocusedColumn());
  FSearchColumnIndex = column;
  SetFocusedColumn(GetFocusedVisibleIndex(column));
  FSearching = true;
  FSearchText = text;
  DoSearch(FSearchText, smFromFocused, true);
  return !FSearchText.empty();
}

void TCustomdxTreeList::EndSearch() {
  if (!FSearching) return;
  FSearching = false;
  if (FLockUpdate != 0 || !FFocused || IsDestroying()) return;
  RECT r;
  GetNodeRowRect(FFocused, r);
  InvalidateRows(r, false);
}

void TCustomdxTreeList::ResetSearchColumn() {
  if (IsRowSelect()) return;
  const int focused = GetFocusedAbsoluteIndex(FocusedColumn());
  if (focused == FSearchColumnIndex) return;
  FSearchColumnIndex = focused;
  FSearchText.clear();
}

bool TCustomdxTreeList::SearchNode(int column, const WideString& text, TdxTreeListNode*& node, int mode) {
  if (text.empty()) return false;
  const WideString wanted = UpperCaseText(text);
  const bool all = FAutoExpandOnSearch;
  TdxTreeListNode* current = FFocused;
  TdxTreeListNode* stop = nullptr;
  auto step = [&] {
    if (mode == smBackward)
      current = all ? current->GetPrev() : current->GetPriorNode();
    else
      current = all ? current->GetNext() : current->GetNextNode();
    if (!current && !stop) {
      // Off the end: once more from the other end, up to where the search began.
      current = mode == smBackward ? LastNode() : TopNode();
      stop = FFocused;
    }
  };
  if (current && mode != smFromFocused) step();
  while (current && current != stop) {
    ++FListStats.SearchComparisons;
    if (StartsWithUpper(GetNodeString(current, column), wanted)) {
      node = current;
      return true;
    }
    step();
  }
  return false;
}

void TCustomdxTreeList::DoSearch(WideString& text, int mode, bool clearOnFail) {
  TSearchLockScope lock(FLockSearching);
  if (FSearchColumnIndex >= 0 && TopNode()) {
    TdxTreeListNode* found = nullptr;
    if (SearchNode(FSearchColumnIndex, text, found, mode))
      found->SetFocused(true);
    else if (clearOnFail)
      text.clear();
    else if (mode == smFromFocused && !text.empty())
      text.pop_back();  // a typed character that matches nothing is dropped
  }
  if (!FFocused) return;
  if (IsMultiSelect()) {
    ClearSelection();
    FFocused->SetSelected(true);
  }
  FFocused->MakeVisible();
  RECT r;
  GetNodeRowRect(FFocused, r);
  InvalidateRows(r, false);
}

// ---- keys

void TCustomdxTreeList::KeyDown(WORD& key, TShiftState shift) {
  TKeySelectionScope bracket(*this);
  TCustomdxContainer::KeyDown(key, shift);
  if (key != 0 && !CanProcessKey(key, shift)) key = 0;
  if (key == 0) return;
  if (IsMouseTrackingState(FState)) {
    if (key == VK_ESCAPE) CancelMouseState();
    return;
  }
  if (!TopNode()) return;
  const bool shiftHeld = Held(shift, ssShift), ctrl = Held(shift, ssCtrl);

  if (FState == tsEditing) {
    switch (key) {
      case VK_TAB: case VK_RETURN: case VK_ESCAPE: case VK_PRIOR: case VK_NEXT: case VK_UP: case VK_DOWN:
        CloseEditor();
        if (key == VK_ESCAPE) return;
        break;
      default: break;
    }
  }

  if (IsNewItemRowActive() && (key == VK_NEXT || key == VK_DOWN)) {
    SetNewItemRowActive(false);
    if (FTopVisibleNode) SetFocusedNode(FTopVisibleNode);
    if (!ctrl && !shiftHeld) {
      ClearSelection();
      FSelectionAnchor = nullptr;
      if (FFocused) FFocused->SetSelected(true);
    }
    return;
  }

  if (FSearching) {
    int mode = -1;
    switch (key) {
      case VK_BACK:
        if (!FSearchText.empty()) FSearchText.pop_back();
        mode = smFromFocused;
        break;
      case VK_DELETE:
        FSearchText.clear();
        mode = smFromFocused;
        break;
      case VK_RETURN:
        if (ctrl) mode = smForward;
        else if (shiftHeld) mode = smBackward;
        break;
      case VK_ESCAPE:
        EndSearch();
        return;
      default: break;
    }
    if (mode >= 0) {
      ResetSearchColumn();
      DoSearch(FSearchText, mode, false);
      return;
    }
  }

  const bool rangeKey = key == VK_PRIOR || key == VK_NEXT || key == VK_END || key == VK_HOME || key == VK_UP ||
                        key == VK_DOWN;
  if (ctrl && !(rangeKey && shiftHeld && CanRangeSelect())) {
    FSelecting = false;
    switch (key) {
      case VK_SPACE:
        if (FFocused && (IsRowSelect() || !IsEditing())) {
          FFocused->SetSelected(!FFocused->Selected());
          FSelectionAnchor = FFocused;
        }
        break;
      case VK_PRIOR: PageMove(-1); break;
      case VK_NEXT: PageMove(1); break;
      case VK_HOME: SetFocusedNumber(0); break;
      case VK_END: SetFocusedNumber(AbsoluteCount() - 1); break;
      case VK_UP:
        if (IsFirstNode(FFocused))
          SetNewItemRowActive(true);
        else
          SetFocusedNumber(FocusedNumber() - 1);
        break;
      case VK_DOWN: SetFocusedNumber(FocusedNumber() + 1); break;
      case VK_LEFT: SetFocusedColumn(0); break;
      case VK_RIGHT: SetFocusedColumn(GetVisibleColumnCount() - 1); break;
      case VK_INSERT: CopySelectedToClipboard(); break;
      default: break;
    }
    return;
  }

  // The anchor of a Shift range: kept, or the focused node when there is none yet.
  auto prepareRange = [&] {
    ClearSelection();
    if (!shiftHeld)
      FSelectionAnchor = nullptr;
    else if (!FSelectionAnchor && CanRangeSelect())
      FSelectionAnchor = FFocused;
  };
  auto selectToAnchor = [&] {
    if (shiftHeld && FSelectionAnchor) SelectRange(FSelectionAnchor, FFocused);
  };
  const bool rowMode = IsRowSelect() || GetVisibleColumnCount() < 2;
  const int columns = GetVisibleColumnCount();
  switch (key) {
    case VK_TAB: {
      if (shift & ssAlt) break;
      const bool back = (shift & ssShift) != 0;
      if (IsRowSelect()) {
        ClearSelection();
        SetFocusedNumber(FocusedNumber() + (back ? -1 : 1));
        break;
      }
      const int next = FindTabStopColumn(FocusedColumn() + (back ? -1 : 1), !back);
      if (next >= 0 && next < columns)
        SetFocusedColumn(next);
      else if (IsTabThrough())
        back ? PrevRowLastColumn() : NextRowFirstColumn();
      break;
    }
    case VK_RETURN:
      if (IsEnterThrough()) {
        const int next = FindTabStopColumn(FocusedColumn() + 1, true);
        if (next < columns)
          SetFocusedColumn(next);
        else
          NextRowFirstColumn();
      }
      ShowEditor();
      break;
    case VK_ESCAPE:
      ClearSelection();
      FInplaceColumn = -1;
      FInplaceNode = nullptr;
      if (FInplaceEdit) FInplaceEdit->Deselect();
      CloseEditor();
      break;
    case VK_PRIOR:
    case VK_NEXT:
      prepareRange();
      if (key == VK_PRIOR && IsFirstNode(FFocused))
        SetNewItemRowActive(true);
      else
        PageMove(key == VK_PRIOR ? -1 : 1);
      selectToAnchor();
      break;
    case VK_HOME:
    case VK_END: {
      const int target = key == VK_HOME ? 0 : AbsoluteCount() - 1;
      if (IsRowSelect() || shiftHeld) {
        ClearSelection();
        if (shiftHeld && CanRangeSelect()) {
          prepareRange();
          SetFocusedNumber(target);
          selectToAnchor();
        } else {
          FSelectionAnchor = nullptr;
          SetFocusedNumber(target);
        }
      } else {
        SetFocusedColumn(key == VK_HOME ? 0 : columns - 1);
      }
      break;
    }
    case VK_LEFT:
      if (rowMode) {
        if (!FFocused) break;
        FFocused->MakeVisible();
        if (IsNewItemRowActive()) break;
        if (FFocused->Expanded()) {
          FFocused->Collapse(false);
        } else if (TdxTreeListNode* parent = FFocused->Parent()) {
          ClearSelection();
          parent->SetFocused(true);
          parent->SetSelected(true);
        }
      } else if (FocusedColumn() == 0 && IsHorzThrough()) {
        PrevRowLastColumn();
      } else {
        SetFocusedColumn(FocusedColumn() - 1);
      }
      break;
    case VK_RIGHT:
      if (rowMode) {
        if (!FFocused) break;
        FFocused->MakeVisible();
        if (IsNewItemRowActive() || !FFocused->HasChildren()) break;
        if (!FFocused->Expanded()) {
          FFocused->Expand(false);
        } else if (TdxTreeListNode* child = FFocused->GetFirstChild()) {
          ClearSelection();
          child->SetFocused(true);
          child->SetSelected(true);
        }
      } else if (FocusedColumn() == columns - 1 && IsHorzThrough()) {
        NextRowFirstColumn();
      } else {
        SetFocusedColumn(FocusedColumn() + 1);
      }
      break;
    case VK_UP:
      if (IsVertThrough() && MoveInBandRows(true)) break;
      if (IsFirstNode(FFocused))
        SetNewItemRowActive(true);
      else
        MoveFocus(-1);
      break;
    case VK_DOWN:
      if (IsVertThrough() && MoveInBandRows(false)) break;
      MoveFocus(1);
      break;
    case VK_F2:
      ShowEditor();
      break;
    default: break;
  }
  if (SelectedCount() == 0 && FFocused) FFocused->SetSelected(true);
}

void TCustomdxTreeList::KeyPress(wchar_t& key) {
  // Ctrl with Alt is AltGr: typing, not a command.
  const bool ctrl = KeyState(VK_CONTROL) < 0 && KeyState(VK_MENU) >= 0;
  // Every character from the space up, not only the ANSI range: letters above #255 are typed too.
  const bool typed = key >= L' ' && !ctrl;
  if (FState == tsNormal && !FSearching && IsAutoSearch() && key != VK_BACK && key != VK_TAB && key != VK_RETURN &&
      key != VK_ESCAPE && !ctrl)
    StartSearch(GetFocusedAbsoluteIndex(FocusedColumn()), WideString());

  if (FSearching || !IsEnterShowEditor() || FState == tsEditing) {
    TCustomdxContainer::KeyPress(key);
  } else if (key == VK_RETURN) {
    ShowEditor();
  } else if (key == VK_BACK || key == kCtrlV || key == kCtrlX || key >= L' ') {
    ShowEditorChar(key);
    if (FState != tsEditing) TCustomdxContainer::KeyPress(key);
  } else {
    TCustomdxContainer::KeyPress(key);
  }
  if (key == 0 || FState == tsEditing) return;

  if (key == kCtrlC && KeyState(VK_SHIFT) < 0) {
    CopyTreeListToClipboard(false);
  } else if (FFocused) {
    switch (key) {
      case kCtrlA: SelectAll(); break;
      case kCtrlC: CopyTreeListToClipboard(IsMultiSelect() && SelectedCount() > 0); break;
      case L'*':
        if (FFocused->HasChildren()) FFocused->Expand(true);
        break;
      case L'+':
      case L'-':
        FFocused->MakeVisible();
        if (key == L'+')
          FFocused->Expand(false);
        else
          FFocused->Collapse(false);
        break;
      default: break;
    }
  }

  if (FSearching && typed) {
    ResetSearchColumn();
    FSearchText.push_back(key);
    DoSearch(FSearchText, smFromFocused, false);
  }
}

}  // namespace tvk
