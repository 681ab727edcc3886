#pragma once
// The rows that fit the tree list, its vertical and horizontal positions,
// the window scrolling and scroll bars that follow them, and the window
// messages the tree list answers itself.
#include <windows.h>

#include "TreeList.h"

namespace tvk {

// Window timers handled by the tree list's timer message (the drag and the status hint start them).
constexpr UINT_PTR kDragExpandTimer = 101;
constexpr UINT_PTR kShowStatusHintTimer = 110;
constexpr UINT_PTR kHideStatusHintTimer = 111;

}  // namespace tvk
