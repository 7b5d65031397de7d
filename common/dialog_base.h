#pragma once
// Base for modal dialogs: binds the C++ object to its window at WM_INITDIALOG and forwards every
// message to Derived::HandleMessage(msg, wParam, lParam, handled). Exceptions never leave the
// dialog procedure.
#include <windows.h>

#include "common/module.h"

namespace quillon {

template <typename Derived>
class ModalDialog {
public:
    // Runs the dialog from template `templateId`; returns what EndDialog was given, or -1.
    INT_PTR DoModal(HWND owner, WORD templateId) {
        return ::DialogBoxParamW(ThisModule(), MAKEINTRESOURCEW(templateId), owner, &ModalDialog::DialogProc,
                                 reinterpret_cast<LPARAM>(this));
    }
    HWND Window() const noexcept { return hwnd_; }

protected:
    ModalDialog() = default;
    ~ModalDialog() = default;

private:
    static INT_PTR CALLBACK DialogProc(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam) noexcept {
        ModalDialog* self = nullptr;
        if (msg == WM_INITDIALOG) {
            self = reinterpret_cast<ModalDialog*>(lParam);
            self->hwnd_ = hwnd;
            ::SetWindowLongPtrW(hwnd, DWLP_USER, lParam);
        } else {
            self = reinterpret_cast<ModalDialog*>(::GetWindowLongPtrW(hwnd, DWLP_USER));
        }
        if (!self) return FALSE;
        try {
            bool handled = false;
            const INT_PTR result = static_cast<Derived*>(self)->HandleMessage(msg, wParam, lParam, handled);
            if (msg == WM_NCDESTROY) self->hwnd_ = nullptr;
            return handled ? result : FALSE;
        } catch (...) {
            return FALSE;
        }
    }

    HWND hwnd_ = nullptr;
};

}  // namespace quillon
