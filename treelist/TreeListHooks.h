#pragma once
// The base tree list's selection rules, its map from a node's Data to the
// nodes that carry it, and the engine that sorts sibling lists by one or
// several columns.
#include <cstdint>

#include "TreeList.h"

namespace tvk {

// Deterministic counts of the sort engine's work.
struct TdxTreeListSortStats {
  int64_t Comparisons = 0;  // comparer calls of the list sorts
  int64_t ListsSorted = 0;  // sibling lists with two or more nodes
};
TdxTreeListSortStats& TreeListSortStats();

}  // namespace tvk
