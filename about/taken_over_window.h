#pragma once
// Base for a C++ object that takes over an existing window (a control created by a dialog template):
// the window's procedure is replaced by ours, every message goes first to
// Derived::HandleMessage(msg, wParam, lParam, handled), and what it leaves unhandled goes on to the
// window's own procedure. The object is found through window properties, never through the window's
// user data, which belongs to the window's class. Exceptions never leave the window procedure.
#include <windows.h>

namespace quillon {

template <typename Derived>
class TakenOverWindow {
public:
    HWND Window() const noexcept { return hwnd_; }

protected:
    TakenOverWindow() = default;
    ~TakenOverWindow() { Release(); }
    TakenOverWindow(const TakenOverWindow&) = delete;
    TakenOverWindow& operator=(const TakenOverWindow&) = delete;

    // Replaces `hwnd`'s window procedure by ours, keeping the previous one. False when `hwnd` is not a
    // window, this object already holds one, or another object has taken `hwnd` over.
    bool TakeOver(HWND hwnd) noexcept {
        if (hwnd_ || !::IsWindow(hwnd) || ::GetPropW(hwnd, kSelfProperty) || ::GetPropW(hwnd, kPreviousProperty))
            return false;
        if (!::SetPropW(hwnd, kSelfProperty, this)) return false;
        const LONG_PTR previous =
            ::SetWindowLongPtrW(hwnd, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(&TakenOverWindow::WindowProc));
        if (previous == 0 || !::SetPropW(hwnd, kPreviousProperty, reinterpret_cast<HANDLE>(previous))) {
            if (previous != 0) ::SetWindowLongPtrW(hwnd, GWLP_WNDPROC, previous);
            ::RemovePropW(hwnd, kSelfProperty);
            return false;
        }
        hwnd_ = hwnd;
        previous_ = reinterpret_cast<WNDPROC>(previous);
        return true;
    }

    // Hands the window back to its own procedure. When someone else has replaced the procedure after
    // us, ours stays in their chain and simply forwards every message from now on.
    void Release() noexcept {
        if (!hwnd_) return;
        ::RemovePropW(hwnd_, kSelfProperty);
        if (::GetWindowLongPtrW(hwnd_, GWLP_WNDPROC) == reinterpret_cast<LONG_PTR>(&TakenOverWindow::WindowProc)) {
            ::SetWindowLongPtrW(hwnd_, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(previous_));
            ::RemovePropW(hwnd_, kPreviousProperty);
        }
        hwnd_ = nullptr;
        previous_ = nullptr;
    }

    // The window's own handling of a message.
    LRESULT CallPrevious(UINT msg, WPARAM wParam, LPARAM lParam) noexcept {
        return ::CallWindowProcW(previous_, hwnd_, msg, wParam, lParam);
    }

private:
    static constexpr wchar_t kSelfProperty[] = L"Quillon.TakenOver.Self";
    static constexpr wchar_t kPreviousProperty[] = L"Quillon.TakenOver.Previous";

    static LRESULT CALLBACK WindowProc(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam) noexcept {
        auto* self = static_cast<TakenOverWindow*>(::GetPropW(hwnd, kSelfProperty));
        const auto previous = reinterpret_cast<WNDPROC>(::GetPropW(hwnd, kPreviousProperty));
        if (!previous) return ::DefWindowProcW(hwnd, msg, wParam, lParam);
        if (!self) {
            if (msg == WM_NCDESTROY) ::RemovePropW(hwnd, kPreviousProperty);
            return ::CallWindowProcW(previous, hwnd, msg, wParam, lParam);
        }
        bool handled = false;
        LRESULT result = 0;
        try {
            result = static_cast<Derived*>(self)->HandleMessage(msg, wParam, lParam, handled);
        } catch (...) {
            handled = false;
        }
        if (!handled) result = ::CallWindowProcW(previous, hwnd, msg, wParam, lParam);
        if (msg == WM_NCDESTROY) {
            self->Release();
            ::RemovePropW(hwnd, kPreviousProperty);
        }
        return result;
    }

    HWND hwnd_ = nullptr;
    WNDPROC previous_ = nullptr;
};

}  // namespace quillon
