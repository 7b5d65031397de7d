#include "shell/context_menu.h"

namespace quillon {

LONG ClampToWorkAreaX(LONG x, const RECT& workArea) noexcept {
    if (x < workArea.left) return workArea.left;
    if (x > workArea.right) return workArea.right;
    return x;
}

POINT ContextMenuPosition(LPARAM lParam) noexcept {
    POINT at{static_cast<short>(LOWORD(lParam)), static_cast<short>(HIWORD(lParam))};
    if (!::MonitorFromPoint(at, MONITOR_DEFAULTTONULL)) {
        HMONITOR nearest = ::MonitorFromPoint(at, MONITOR_DEFAULTTONEAREST);
        MONITORINFO info{};
        info.cbSize = sizeof(info);
        if (nearest && ::GetMonitorInfoW(nearest, &info)) at.x = ClampToWorkAreaX(at.x, info.rcWork);
    }
    return at;
}

}  // namespace quillon
