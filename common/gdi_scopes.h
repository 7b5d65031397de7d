#pragma once
// Scope owners for device contexts and the objects selected into them.
#include <windows.h>

namespace quillon {

// GetDC / ReleaseDC.
class WindowDC {
public:
    explicit WindowDC(HWND hwnd) noexcept : hwnd_(hwnd), dc_(::GetDC(hwnd)) {}
    ~WindowDC() { if (dc_) ::ReleaseDC(hwnd_, dc_); }
    WindowDC(const WindowDC&) = delete;
    WindowDC& operator=(const WindowDC&) = delete;
    HDC Get() const noexcept { return dc_; }
    explicit operator bool() const noexcept { return dc_ != nullptr; }

private:
    HWND hwnd_;
    HDC dc_;
};

// BeginPaint / EndPaint.
class PaintScope {
public:
    explicit PaintScope(HWND hwnd) noexcept : hwnd_(hwnd), dc_(::BeginPaint(hwnd, &ps_)) {}
    ~PaintScope() { ::EndPaint(hwnd_, &ps_); }
    PaintScope(const PaintScope&) = delete;
    PaintScope& operator=(const PaintScope&) = delete;
    HDC Get() const noexcept { return dc_; }
    const RECT& Area() const noexcept { return ps_.rcPaint; }

private:
    HWND hwnd_;
    PAINTSTRUCT ps_{};
    HDC dc_;
};

// CreateCompatibleDC / DeleteDC.
class MemoryDC {
public:
    explicit MemoryDC(HDC reference) noexcept : dc_(::CreateCompatibleDC(reference)) {}
    ~MemoryDC() { if (dc_) ::DeleteDC(dc_); }
    MemoryDC(const MemoryDC&) = delete;
    MemoryDC& operator=(const MemoryDC&) = delete;
    HDC Get() const noexcept { return dc_; }
    explicit operator bool() const noexcept { return dc_ != nullptr; }

private:
    HDC dc_;
};

// SelectObject, with the previous object put back when the scope ends. A null object selects nothing.
class SelectionScope {
public:
    SelectionScope(HDC dc, HGDIOBJ object) noexcept
        : dc_(dc), previous_(object ? ::SelectObject(dc, object) : nullptr) {}
    ~SelectionScope() { if (previous_) ::SelectObject(dc_, previous_); }
    SelectionScope(const SelectionScope&) = delete;
    SelectionScope& operator=(const SelectionScope&) = delete;

private:
    HDC dc_;
    HGDIOBJ previous_;
};

}  // namespace quillon
