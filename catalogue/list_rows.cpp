#include "catalogue/list_rows.h"

#include <commctrl.h>

namespace quillon {

std::wstring ReadCellText(HWND list, int row, int column) {
    std::wstring text;
    for (int room = 256;; room *= 2) {
        text.assign(static_cast<size_t>(room), L'\0');
        LVITEMW item{};
        item.iSubItem = column;
        item.pszText = &text[0];
        item.cchTextMax = room;
        const int length = static_cast<int>(::SendMessageW(list, LVM_GETITEMTEXTW, static_cast<WPARAM>(row),
                                                           reinterpret_cast<LPARAM>(&item)));
        if (length < room - 1 || room >= (1 << 20)) {
            text.resize(static_cast<size_t>(length < 0 ? 0 : length));
            return text;
        }
    }
}

int FirstSelectedRow(HWND list) noexcept {
    if (::SendMessageW(list, LVM_GETSELECTEDCOUNT, 0, 0) == 0) return -1;
    return static_cast<int>(::SendMessageW(list, LVM_GETNEXTITEM, static_cast<WPARAM>(-1), MAKELPARAM(LVNI_SELECTED, 0)));
}

std::vector<int> SelectedRows(HWND list) {
    std::vector<int> rows;
    const int count = static_cast<int>(::SendMessageW(list, LVM_GETSELECTEDCOUNT, 0, 0));
    int row = -1;
    for (int i = 0; i < count; ++i) {
        row = static_cast<int>(::SendMessageW(list, LVM_GETNEXTITEM, static_cast<WPARAM>(row), MAKELPARAM(LVNI_SELECTED, 0)));
        if (row == -1) break;
        rows.push_back(row);
    }
    return rows;
}

bool SelectOneRow(HWND list, int row) noexcept {
    if (!(::GetWindowLongW(list, GWL_STYLE) & LVS_SINGLESEL)) {
        LVITEMW clear{};
        clear.stateMask = LVIS_SELECTED;
        clear.state = 0;
        ::SendMessageW(list, LVM_SETITEMSTATE, static_cast<WPARAM>(-1), reinterpret_cast<LPARAM>(&clear));
    }
    LVITEMW select{};
    select.stateMask = LVIS_SELECTED | LVIS_FOCUSED;
    select.state = LVIS_SELECTED | LVIS_FOCUSED;
    if (!::SendMessageW(list, LVM_SETITEMSTATE, static_cast<WPARAM>(row), reinterpret_cast<LPARAM>(&select))) return false;
    ::SendMessageW(list, LVM_ENSUREVISIBLE, static_cast<WPARAM>(row), FALSE);
    return true;
}

}  // namespace quillon
