#pragma once
// Switches a window's drawing off for a scope (WM_SETREDRAW) and repaints it once at the end. A
// visible list view otherwise repaints for every row a bulk operation touches.
#include <windows.h>

namespace quillon {

class RedrawSuspension {
public:
    explicit RedrawSuspension(HWND hwnd) noexcept : hwnd_(hwnd) { ::SendMessageW(hwnd_, WM_SETREDRAW, FALSE, 0); }
    ~RedrawSuspension() {
        ::SendMessageW(hwnd_, WM_SETREDRAW, TRUE, 0);
        ::InvalidateRect(hwnd_, nullptr, TRUE);
    }
    RedrawSuspension(const RedrawSuspension&) = delete;
    RedrawSuspension& operator=(const RedrawSuspension&) = delete;

private:
    HWND hwnd_;
};

}  // namespace quillon
