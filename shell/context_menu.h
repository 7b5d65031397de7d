#pragma once
#include <windows.h>

namespace quillon {

// Keeps a context menu's x on the screen: a point on no monitor has its x pulled inside the work area
// of the nearest monitor (left and right edges only); y is never changed.
LONG ClampToWorkAreaX(LONG x, const RECT& workArea) noexcept;

// Where a menu asked for from the keyboard (Shift+F10, the Menu key) opens over the list: below the
// label of the focused row, scrolled into view first, or at the list's top-left when no row has the
// focus. Screen coordinates.
POINT KeyboardMenuPoint(HWND list) noexcept;

// The position at which the list's context menu opens, from WM_CONTEXTMENU's lParam: signed screen
// coordinates, or -1 when asked for from the keyboard.
POINT ContextMenuPosition(HWND list, LPARAM lParam) noexcept;

}  // namespace quillon
