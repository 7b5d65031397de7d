#pragma once
// The frame's table of command states: which commands show a check mark, pushed to popup menus as
// they open and to registered toolbars on idle turns.
#include <windows.h>

#include <vector>

namespace quillon {

class CUpdateUI {
public:
    enum Kind : unsigned { kMenuPopup = 0x1, kToolbar = 0x2 };
    struct Element {
        UINT id;
        unsigned kinds;
    };

    explicit CUpdateUI(std::vector<Element> elements);

    void AddToolbar(HWND toolbar);
    // Records the check state of `id`; ids outside the table change nothing.
    void SetCommandChecked(UINT id, bool checked);
    bool IsCommandChecked(UINT id) const noexcept;
    bool ToolbarUpdatePending() const noexcept { return pendingToolbarUpdate_; }

    // WM_INITMENUPOPUP: sets each popup-kind element's item in `popup` (by command) checked or not.
    void ApplyMenuStates(HMENU popup) const;
    // Idle turn: pushes toolbar-kind elements' states to the registered toolbars if anything changed.
    void RefreshToolbars();

private:
    std::vector<Element> elements_;
    std::vector<bool> checked_;
    std::vector<HWND> toolbars_;
    bool pendingToolbarUpdate_ = false;
};

}  // namespace quillon
