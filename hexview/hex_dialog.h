#pragma once
// The modal Hex View dialog (template 201): one HexEditControl over the client area, less a strip at
// the bottom for the OK button, showing bytes the caller keeps mapped while the dialog runs.
#include <windows.h>

#include <cstdint>

#include "common/dialog_base.h"

namespace quillon {

class CHexDlg : public ModalDialog<CHexDlg> {
public:
    // The strip below the control where the OK button stands, in pixels.
    static constexpr int kButtonStrip = 50;

    CHexDlg(const unsigned char* data, std::int32_t size) noexcept : data_(data), size_(size) {}

    // Runs the dialog owned by `owner`; returns when OK, Enter, Escape or the close box ends it.
    INT_PTR Run(HWND owner);

    INT_PTR HandleMessage(UINT msg, WPARAM wParam, LPARAM lParam, bool& handled);

    // The control, or null when it could not be created.
    HWND Control() const noexcept { return control_; }

private:
    BOOL OnInitDialog() noexcept;

    const unsigned char* data_;  // not owned: the caller maps and unmaps it
    std::int32_t size_;
    HWND control_ = nullptr;
};

}  // namespace quillon
