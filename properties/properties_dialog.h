#pragma once
// The modal Properties dialog: one section's report as a two-column list (Field, Value), a warnings
// line above it, the regions strip below it, and Copy. It only shows a report gathered elsewhere.
#include <windows.h>

#include <memory>

#include "common/dialog_base.h"
#include "inspect/section_report.h"

namespace quillon {

class CPropertiesDlg : public ModalDialog<CPropertiesDlg> {
public:
    // When the report's Handles fact is still pending (GatherSectionReportWithoutHandles), the dialog
    // walks the handle table on a thread of its own and fills the row in when the walk ends, so the
    // rest of the report shows at once however crowded the table is.
    explicit CPropertiesDlg(SectionReport report);
    ~CPropertiesDlg();
    CPropertiesDlg(const CPropertiesDlg&) = delete;
    CPropertiesDlg& operator=(const CPropertiesDlg&) = delete;

    // Posted by the handle search when its result is ready.
    static constexpr UINT kHandlesFound = WM_APP + 1;

    // Runs the dialog owned by `owner`, centred over it; returns when OK, Enter, Esc or the close
    // box ends it.
    INT_PTR Run(HWND owner);

    INT_PTR HandleMessage(UINT msg, WPARAM wParam, LPARAM lParam, bool& handled);

    const SectionReport& Report() const noexcept { return report_; }

    // The caption for a section's list name: "<list name> Properties".
    static std::wstring Caption(const SectionReport& report);

    // Copy and Ctrl+C: the whole report as text. False when the clipboard could not take it.
    bool CopyReport() const noexcept;

private:
    BOOL OnInitDialog();
    void FillList();
    void Layout();
    void OnDrawItem(const DRAWITEMSTRUCT& item) const;
    void StartHandleSearch();
    void OnHandlesFound();
    void StopHandleSearch() noexcept;

    struct HandleSearch;
    std::shared_ptr<HandleSearch> search_;  // shared with the searching thread, which may outlive us

    SectionReport report_;
    HICON warningIcon_ = nullptr;  // shared system icon: never destroyed
    POINT minimumSize_{};
};

}  // namespace quillon
