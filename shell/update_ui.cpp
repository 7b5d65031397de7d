#include "shell/update_ui.h"

#include <commctrl.h>

namespace quillon {

CUpdateUI::CUpdateUI(std::vector<Element> elements) : elements_(std::move(elements)), checked_(elements_.size(), false) {}

void CUpdateUI::AddToolbar(HWND toolbar) {
    if (toolbar) toolbars_.push_back(toolbar);
}

void CUpdateUI::SetCommandChecked(UINT id, bool checked) {
    for (std::size_t i = 0; i < elements_.size(); ++i) {
        if (elements_[i].id != id) continue;
        if (checked_[i] != checked) {
            checked_[i] = checked;
            if (elements_[i].kinds & kToolbar) pendingToolbarUpdate_ = true;
        }
        return;
    }
}

bool CUpdateUI::IsCommandChecked(UINT id) const noexcept {
    for (std::size_t i = 0; i < elements_.size(); ++i)
        if (elements_[i].id == id) return checked_[i];
    return false;
}

void CUpdateUI::ApplyMenuStates(HMENU popup) const {
    if (!popup) return;
    for (std::size_t i = 0; i < elements_.size(); ++i) {
        if (!(elements_[i].kinds & kMenuPopup)) continue;
        MENUITEMINFOW info{};
        info.cbSize = sizeof(info);
        info.fMask = MIIM_STATE;
        info.fState = checked_[i] ? MFS_CHECKED : 0;
        ::SetMenuItemInfoW(popup, elements_[i].id, FALSE, &info);
    }
}

void CUpdateUI::RefreshToolbars() {
    if (!pendingToolbarUpdate_) return;
    for (std::size_t i = 0; i < elements_.size(); ++i) {
        if (!(elements_[i].kinds & kToolbar)) continue;
        for (HWND toolbar : toolbars_)
            ::SendMessageW(toolbar, TB_CHECKBUTTON, elements_[i].id, MAKELPARAM(checked_[i] ? TRUE : FALSE, 0));
    }
    pendingToolbarUpdate_ = false;
}

}  // namespace quillon
