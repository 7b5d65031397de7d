#pragma once
// The modal About box on template IDD_ABOUTBOX: the program's icon, product and owner lines, and the
// hyperlink to the product's web address that takes over static IDC_HYPERLINK.
#include <windows.h>

#include "about/hyperlink.h"
#include "common/dialog_base.h"

namespace quillon {

class CAboutDlg final : public ModalDialog<CAboutDlg> {
public:
    CAboutDlg() = default;
    ~CAboutDlg() = default;
    CAboutDlg(const CAboutDlg&) = delete;
    CAboutDlg& operator=(const CAboutDlg&) = delete;

    // Runs the dialog modally over `owner`; the result (IDOK or IDCANCEL) is of no interest to callers.
    INT_PTR Run(HWND owner);

    CHyperLink& Link() noexcept { return link_; }

    INT_PTR HandleMessage(UINT msg, WPARAM wParam, LPARAM lParam, bool& handled) noexcept;

private:
    BOOL OnInitDialog() noexcept;

    CHyperLink link_;
};

// Opens a fresh About box over `owner` and returns when it closes: every opening starts unvisited
// and reads the link colours afresh.
void RunAboutBox(HWND owner);

}  // namespace quillon
