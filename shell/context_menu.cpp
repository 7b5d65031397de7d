#include "shell/context_menu.h"

#include <commctrl.h>

namespace quillon {

LONG ClampToWorkAreaX(LONG x, const RECT& workArea) noexcept {
    if (x < workArea.left) return workArea.left;
    if (x > workArea.right) return workArea.right;
    return x;
}

POINT KeyboardMenuPoint(HWND list) noexcept {
    POINT at{0, 0};
    const int row = static_cast<int>(::SendMessageW(list, LVM_GETNEXTITEM, static_cast<WPARAM>(-1), LVNI_FOCUSED));
    if (row >= 0) {
        ::SendMessageW(list, LVM_ENSUREVISIBLE, static_cast<WPARAM>(row), FALSE);
        RECT label{};
        label.left = LVIR_LABEL;
        if (::SendMessageW(list, LVM_GETITEMRECT, static_cast<WPARAM>(row), reinterpret_cast<LPARAM>(&label)))
            at = POINT{label.left, label.bottom};
    }
    ::ClientToScreen(list, &at);
    return at;
}

POINT ContextMenuPosition(HWND list, LPARAM lParam) noexcept {
    // The keyboard's request carries -1; only the low 32 bits hold the message's coordinates.
    if (static_cast<DWORD>(lParam) == 0xFFFFFFFFu) return KeyboardMenuPoint(list);
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
