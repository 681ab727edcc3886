#pragma once
// The tree list under the mouse: presses, moves and releases, the window
// procedure that starts drags itself, dragging nodes out and over it, sizing
// and moving bands and headers, hot tracking with cell tooltips, and the
// middle-button scroll mode.
#include <windows.h>

#include "TreeList.h"

namespace tvk {

// The drag and selection auto-scroll share one window timer: one scroll at a time.
constexpr UINT_PTR kAutoScrollTimer = 1;
constexpr UINT kDragScrollInterval = 100;
constexpr UINT kSelectScrollInterval = 60;
constexpr UINT kShowStatusHintDelay = 1000;
constexpr UINT kHideStatusHintDelay = 5000;
// A press becomes a move or a node drag past this many pixels.
constexpr int kMouseDragThreshold = 5;
// Auto-scroll starts this close to a side of the scrolling cells.
constexpr int kAutoScrollMargin = 12;
// The mouse-scroll mode's tick.
constexpr UINT kMouseScrollTick = 20;

// The mouse-scroll mode's direction: none, or where the rows move into view.
enum class TMouseScrollDirection { None, Up, Right, Down, Left };

struct TMouseScrollMotion {
  TMouseScrollDirection Direction = TMouseScrollDirection::None;
  int Speed = 0;  // 0 in the neutral zone, else 1 .. 12
};

// The direction and speed for the cursor at P, the mode started at Origin
// with a marker Width wide; a missing bar widens the neutral zone across the screen.
TMouseScrollMotion MouseScrollMotion(POINT origin, POINT p, int width, bool horzBar, bool vertBar);
// The cursor of the mode for a direction (at rest: by the bars present).
TCursor MouseScrollCursor(TMouseScrollDirection direction, bool horzBar, bool vertBar);
// A step is made on ticks that are multiples of 13 - Speed.
inline bool IsMouseScrollStep(int tick, int speed) { return speed > 0 && tick % (13 - speed) == 0; }

}  // namespace tvk
