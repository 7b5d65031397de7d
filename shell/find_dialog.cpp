#include "shell/find_dialog.h"

#include <commctrl.h>

#include <algorithm>
#include <new>
#include <vector>

namespace quillon {

static_assert(CFindReplaceDialog::kInitialFlags == 0x00010101, "Find dialog flags");
static_assert(sizeof(void*) != 4 || sizeof(FINDREPLACEW) == 40, "FINDREPLACEW of the 32-bit build");

namespace {

constexpr UINT_PTR kSubclassId = 0x51F1;

// The object whose FindTextW call is running; its hook attaches it to the new window.
CFindReplaceDialog* g_opening = nullptr;

// The Find dialogs whose windows exist, in the order they opened. Only the UI thread touches it.
std::vector<CFindReplaceDialog*>& OpenDialogs() {
    static std::vector<CFindReplaceDialog*> dialogs;
    return dialogs;
}

void Forget(CFindReplaceDialog* dialog) noexcept {
    std::vector<CFindReplaceDialog*>& dialogs = OpenDialogs();
    dialogs.erase(std::remove(dialogs.begin(), dialogs.end(), dialog), dialogs.end());
}

}  // namespace

CFindReplaceDialog::CFindReplaceDialog() noexcept : record_{} {
    record_.lStructSize = sizeof(record_);
    record_.hInstance = nullptr;
    record_.Flags = kInitialFlags;
    record_.lpstrFindWhat = findText_;
    record_.lpstrReplaceWith = replaceText_;
    record_.wFindWhatLen = kTextLength;
    record_.wReplaceWithLen = kTextLength;
    record_.lCustData = 0;
    record_.lpfnHook = &CFindReplaceDialog::Hook;
    record_.lpTemplateName = nullptr;
}

HWND CFindReplaceDialog::Open(HWND owner) noexcept {
    auto* self = new (std::nothrow) CFindReplaceDialog;
    if (!self) return nullptr;
    self->record_.hwndOwner = owner;
    g_opening = self;
    const HWND created = ::FindTextW(&self->record_);
    g_opening = nullptr;
    const HWND window = self->hwnd_;
    // Attached to its window, the object lives until WM_NCDESTROY; unattached, it goes here, after any
    // window that still points at its record.
    if (!window) {
        if (created) ::DestroyWindow(created);
        delete self;
        return nullptr;
    }
    ::ShowWindow(window, SW_SHOWNORMAL);
    return window;
}

UINT_PTR CALLBACK CFindReplaceDialog::Hook(HWND dialog, UINT msg, WPARAM, LPARAM) {
    if (msg == WM_INITDIALOG && g_opening && !g_opening->hwnd_) {
        try {
            OpenDialogs().push_back(g_opening);
            if (::SetWindowSubclass(dialog, &CFindReplaceDialog::SubclassProc, kSubclassId,
                                    reinterpret_cast<DWORD_PTR>(g_opening)))
                g_opening->hwnd_ = dialog;
            else
                Forget(g_opening);
        } catch (...) {
            // Unattached, the dialog is closed again by Open.
        }
    }
    // The platform's own WM_INITDIALOG handling goes on untouched.
    return 0;
}

LRESULT CALLBACK CFindReplaceDialog::SubclassProc(HWND dialog, UINT msg, WPARAM wParam, LPARAM lParam, UINT_PTR,
                                                  DWORD_PTR data) noexcept {
    const LRESULT result = ::DefSubclassProc(dialog, msg, wParam, lParam);
    if (msg == WM_NCDESTROY) {
        auto* self = reinterpret_cast<CFindReplaceDialog*>(data);
        ::RemoveWindowSubclass(dialog, &CFindReplaceDialog::SubclassProc, kSubclassId);
        Forget(self);
        delete self;
    }
    return result;
}

CFindReplaceDialog* CFindReplaceDialog::FromWindow(HWND window) noexcept {
    if (!window) return nullptr;
    for (CFindReplaceDialog* dialog : OpenDialogs())
        if (dialog->hwnd_ == window) return dialog;
    return nullptr;
}

CFindReplaceDialog* CFindReplaceDialog::FromRecord(LPARAM record) noexcept {
    if (record == 0) return nullptr;
    for (CFindReplaceDialog* dialog : OpenDialogs())
        if (reinterpret_cast<LPARAM>(&dialog->record_) == record && dialog->hwnd_) return dialog;
    return nullptr;
}

}  // namespace quillon
