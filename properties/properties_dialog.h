#pragma once
// The modal Properties dialog: one section's report as a two-column list (Field, Value), a warnings
// line above it, the regions strip below it, and Copy. It only shows a report gathered elsewhere.
#include <windows.h>

#include "common/dialog_base.h"
#include "inspect/section_report.h"

namespace quillon {

class CPropertiesDlg : public ModalDialog<CPropertiesDlg> {
public:
    explicit CPropertiesDlg(SectionReport report) : report_(std::move(report)) {}

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

    SectionReport report_;
    HICON warningIcon_ = nullptr;  // shared system icon: never destroyed
    POINT minimumSize_{};
};

}  // namespace quillon
