#include "common/center_over_owner.h"

namespace quillon {

POINT CenteredPosition(const RECT& centre, const RECT& area, LONG width, LONG height) noexcept {
    LONG x = (centre.left + centre.right) / 2 - width / 2;
    LONG y = (centre.top + centre.bottom) / 2 - height / 2;
    if (x + width > area.right) x = area.right - width;
    if (x < area.left) x = area.left;
    if (y + height > area.bottom) y = area.bottom - height;
    if (y < area.top) y = area.top;
    return POINT{x, y};
}

void CenterOverOwner(HWND dialog, HWND owner) noexcept {
    if (!owner) owner = ::GetWindow(dialog, GW_OWNER);

    RECT dialogRect{};
    ::GetWindowRect(dialog, &dialogRect);
    const LONG width = dialogRect.right - dialogRect.left;
    const LONG height = dialogRect.bottom - dialogRect.top;

    const LONG ownerStyle = owner ? ::GetWindowLongW(owner, GWL_STYLE) : 0;
    const bool useWorkArea = !owner || !(ownerStyle & WS_VISIBLE) || (ownerStyle & WS_MINIMIZE);

    HMONITOR monitor = ::MonitorFromWindow(useWorkArea ? dialog : owner, MONITOR_DEFAULTTONEAREST);
    MONITORINFO info{};
    info.cbSize = sizeof(info);
    if (!monitor || !::GetMonitorInfoW(monitor, &info)) return;

    RECT centre = info.rcWork;
    if (!useWorkArea) ::GetWindowRect(owner, &centre);

    const POINT at = CenteredPosition(centre, info.rcWork, width, height);
    ::SetWindowPos(dialog, nullptr, at.x, at.y, 0, 0, SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
}

}  // namespace quillon
