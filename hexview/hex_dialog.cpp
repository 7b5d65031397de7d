#include "hexview/hex_dialog.h"

#include <algorithm>

#include "common/center_over_owner.h"
#include "common/module.h"
#include "hexview/hex_edit_control.h"
#include "resources/resource.h"

namespace quillon {

INT_PTR CHexDlg::Run(HWND owner) { return DoModal(owner, IDD_HEXVIEW); }

BOOL CHexDlg::OnInitDialog() noexcept {
    const HWND dialog = Window();
    CenterOverOwner(dialog, ::GetParent(dialog));
    RECT client{};
    ::GetClientRect(dialog, &client);
    const int width = client.right - client.left;
    const int height = std::max<int>(client.bottom - client.top - kButtonStrip, 0);
    control_ = ::CreateWindowExW(0, kHexEditControlClass, nullptr, WS_CHILD | WS_VISIBLE | WS_CLIPCHILDREN, 0, 0,
                                 width, height, dialog, nullptr, ThisModule(), nullptr);
    if (control_) ::SendMessageW(control_, HEM_SETDATA, static_cast<WPARAM>(size_), reinterpret_cast<LPARAM>(data_));
    return TRUE;  // the focus goes to the first tab stop, the OK button
}

INT_PTR CHexDlg::HandleMessage(UINT msg, WPARAM wParam, LPARAM, bool& handled) {
    switch (msg) {
        case WM_INITDIALOG:
            handled = true;
            return OnInitDialog();
        case WM_COMMAND:
            switch (LOWORD(wParam)) {
                case IDOK:
                case IDCANCEL:
                    ::EndDialog(Window(), LOWORD(wParam));
                    handled = true;
                    return TRUE;
                default:
                    return FALSE;
            }
        case WM_NCDESTROY:
            control_ = nullptr;
            return FALSE;
        default:
            return FALSE;
    }
}

}  // namespace quillon
