#pragma once
// What lies under a point of the tree list, and the in-place editor it hosts:
// opening, filling, placing, closing and writing back the editor of the
// focused cell, and the tree list's answers to its editors.
#include <windows.h>

#include "TreeList.h"

namespace tvk {

// The window timer that opens the editor after a click on the focused cell.
constexpr UINT_PTR kClickHoverEditTimer = 2;

}  // namespace tvk
