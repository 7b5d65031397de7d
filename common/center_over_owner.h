#pragma once
#include <windows.h>

namespace quillon {

// The placement arithmetic of CenterOverOwner, apart from the windows: where a box of the given size
// goes when centred on `centre` and then pushed back inside `area`. Divisions truncate toward zero.
POINT CenteredPosition(const RECT& centre, const RECT& area, LONG width, LONG height) noexcept;

// Centres `dialog` over `owner` (or, when `owner` is null, over the dialog's owner window) inside the
// work area of the nearest monitor, without resizing it. A missing, hidden or minimised owner centres
// the dialog on the work area of the monitor nearest to the dialog itself.
void CenterOverOwner(HWND dialog, HWND owner) noexcept;

}  // namespace quillon
