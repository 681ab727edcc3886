#pragma once
// The tree list's keys: moving the focus between rows and cells, expanding
// and collapsing, selecting with Shift and Ctrl, opening and closing the
// editor, copying, and the incremental search of the focused column.
#include "TreeList.h"

namespace tvk {

// Where a search starts (the Mode of DoSearch and SearchNode).
enum TdxTreeListSearchMode : int {
  smFromFocused = 0,  // forward from the focused node itself
  smBackward = 1,     // backward, starting before the focused node
  smForward = 2,      // forward, starting after the focused node
};

}  // namespace tvk
