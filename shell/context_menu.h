#pragma once
#include <windows.h>

namespace quillon {

// Keeps a context menu's x on the screen: a point on no monitor has its x pulled inside the work area
// of the nearest monitor (left and right edges only); y is never changed.
LONG ClampToWorkAreaX(LONG x, const RECT& workArea) noexcept;

// The position at which the list's context menu opens, from WM_CONTEXTMENU's lParam (signed screen
// coordinates, (-1, -1) when asked for from the keyboard).
POINT ContextMenuPosition(LPARAM lParam) noexcept;

}  // namespace quillon
