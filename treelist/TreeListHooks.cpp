#include "TreeListHooks.h"

#include <algorithm>

#include "Forms.h"
#include "Lists.h"

namespace tvk {

TdxTreeListSortStats& TreeListSortStats() {
  static TdxTreeListSortStats stats;
  return stats;
}

// ---- selection hooks

void TCustomdxTreeList::ClearSelection() {
  FSelecting = false;
  SelectedCountChanged();
}

void TCustomdxTreeList::DeleteSelection() { FSelecting = false; }

bool TCustomdxTreeList::CanNodeSelected(TdxTreeListNode* node) {
  bool allow = true;
  if (OnCanNodeSelected) OnCanNodeSelected(this, node, allow);
  if (!IsExtMultiSelect()) {
    // Only siblings of the first selected node join a selection.
    TdxTreeListNode* first = SelectedCount() > 0 ? GetSelectedItem(0) : FFirstSelectedNode;
    if (first && node && first->Parent() != node->Parent()) allow = false;
  }
  return allow;
}

void TCustomdxTreeList::NodeSelectionChanged(TdxTreeListNode* node) {
  if (OnSelectionChanged) OnSelectionChanged(this, node);
  SelectedCountChanged();
}

void TCustomdxTreeList::SelectRange(TdxTreeListNode* node1, TdxTreeListNode* node2) {
  int a = GetAbsoluteIndex(node1), b = GetAbsoluteIndex(node2);
  if (a < 0 || b < 0) return;
  if (a > b) std::swap(a, b);
  BeginSelection();
  try {
    TdxTreeListNode* node = GetAbsoluteNode(a);
    for (int i = a; i <= b && node; ++i, node = GetNextVisible(node)) node->SetSelected(true);
  } catch (...) {
    EndSelection();
    throw;
  }
  EndSelection();
}

int TCustomdxTreeList::CompareWithAnchor(const TdxTreeListNode* node) const {
  int index = GetAbsoluteIndex(node), anchor = GetAbsoluteIndex(FSelectionAnchor);
  return index == anchor ? 0 : (index < anchor ? -1 : 1);
}

void TCustomdxTreeList::InvalidateSelection() {
  RECT r;
  GetNodeRowRect(FFocused, r);
  InvalidateRows(r, false);
  int count = SelectedCount();
  if (count > 10) {
    Invalidate();
    return;
  }
  for (int i = 0; i < count; ++i) {
    GetNodeRowRect(GetSelectedItem(i), r);
    InvalidateRows(r, false);
  }
}

// ---- sorting

namespace {

int CompareItemsCounted(const void* a, const void* b) {
  ++TreeListSortStats().Comparisons;
  return CompareSortItems(static_cast<const TNodeVariant*>(a), static_cast<const TNodeVariant*>(b));
}

int CompareAnsiItemsCounted(const void* a, const void* b) {
  ++TreeListSortStats().Comparisons;
  return CompareAnsiSortItems(static_cast<const TNodeVariant*>(a), static_cast<const TNodeVariant*>(b));
}

int CompareByEventCounted(const void* a, const void* b) {
  ++TreeListSortStats().Comparisons;
  return CompareByOnCompare(static_cast<const TNodeVariant*>(a), static_cast<const TNodeVariant*>(b));
}

}  // namespace

void TCustomdxTreeList::SortNodeList(TdxTreeListNodeList& list, int column, bool desc) {
  if (list.size() < 2) return;
  ++TreeListSortStats().ListsSorted;
  int sortCount = SortedColumnCount();
  bool several = IsMultiSort() && sortCount > 1;
  if (several) {
    column = SortedColumnIndex(0);
    desc = SortedColumnDesc(0);
  }
  int keysPerNode = several ? sortCount : 1;
  // One block of records: each node's first key, then its chained keys.
  std::vector<TNodeVariant> keys(list.size() * std::size_t(keysPerNode));
  TList records;
  for (std::size_t i = 0; i < list.size(); ++i) {
    TNodeVariant* key = &keys[i * std::size_t(keysPerNode)];
    key->Node = list[i];
    GetNodeSortValue(list[i], column, key->Value);
    key->Desc = desc;
    for (int k = 1; k < keysPerNode; ++k) {
      TNodeVariant* next = key + k;
      next->Node = list[i];
      GetNodeSortValue(list[i], SortedColumnIndex(k), next->Value);
      next->Desc = SortedColumnDesc(k);
      (key + k - 1)->PNext = next;
    }
    records.Add(key);
  }
  records.Sort(OnCompare ? &CompareByEventCounted : IsAnsiSort() ? &CompareAnsiItemsCounted : &CompareItemsCounted);
  for (int i = 0; i < records.Count(); ++i) list[std::size_t(i)] = static_cast<TNodeVariant*>(records.Items(i))->Node;
}

void TCustomdxTreeList::SortNodes(int level, int column, bool desc) {
  TScreen& screen = Screen();
  TCursor saved = screen.Cursor();
  if (IsShowHourGlass()) screen.SetCursor(crHourGlass);
  try {
    if (OnBeforeSort) OnBeforeSort(this);
    // Depth-first over the sibling lists, without recursion: deep trees cannot exhaust the stack.
    struct TPending {
      TdxTreeListNodeList* List;
      int Depth;
    };
    std::vector<TPending> pending{{&FNodeList, 0}};
    while (!pending.empty()) {
      TPending item = pending.back();
      pending.pop_back();
      if (level < 0 || item.Depth == level) SortNodeList(*item.List, column, desc);
      if (level >= 0 && item.Depth >= level) continue;
      for (TdxTreeListNode* node : *item.List)
        if (node->FList) pending.push_back({node->FList.get(), item.Depth + 1});
    }
  } catch (...) {
    screen.SetCursor(saved);
    ClearListNodes();
    LayoutChanged();
    throw;
  }
  screen.SetCursor(saved);
  ClearListNodes();
  LayoutChanged();
}

}  // namespace tvk
