#include "about/about_dialog.h"

#include "about/product_address.h"
#include "common/center_over_owner.h"
#include "resources/resource.h"

namespace quillon {

INT_PTR CAboutDlg::Run(HWND owner) { return DoModal(owner, IDD_ABOUTBOX); }

INT_PTR CAboutDlg::HandleMessage(UINT msg, WPARAM wParam, LPARAM, bool& handled) noexcept {
    switch (msg) {
    case WM_INITDIALOG:
        handled = true;
        return OnInitDialog();
    case WM_COMMAND: {
        const WORD id = LOWORD(wParam);
        if (id != IDOK && id != IDCANCEL) break;
        ::EndDialog(Window(), id);
        handled = true;
        return TRUE;
    }
    default:
        break;
    }
    return FALSE;
}

BOOL CAboutDlg::OnInitDialog() noexcept {
    const HWND dialog = Window();
    const HWND link = ::GetDlgItem(dialog, IDC_HYPERLINK);
    // The dialog's font; it stays the dialog's, the link only derives its underlined font from it.
    if (!link_.NormalFont()) link_.SetNormalFont(reinterpret_cast<HFONT>(::SendMessageW(link, WM_GETFONT, 0, 0)));
    link_.AttachToStatic(link);
    link_.SetDisplayText(kProductAddressDisplay);
    link_.SetTarget(kProductAddressTarget);
    CenterOverOwner(dialog, ::GetParent(dialog));
    return TRUE;  // the dialog manager focuses OK
}

void RunAboutBox(HWND owner) {
    CAboutDlg dialog;
    dialog.Run(owner);
}

}  // namespace quillon
