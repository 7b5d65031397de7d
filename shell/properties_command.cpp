#include "shell/frame_commands.h"

#include <string>

#include "catalogue/list_rows.h"
#include "inspect/section_report.h"
#include "properties/properties_dialog.h"

namespace quillon {

void RunPropertiesCommand(HWND frame, HWND list) {
    const int row = FirstSelectedRow(list);
    if (row < 0) return;
    const std::wstring name = ReadCellText(list, row, 0);
    // The handle table is walked by the dialog, in the background; the rest takes a moment.
    HCURSOR previous = ::SetCursor(::LoadCursorW(nullptr, IDC_WAIT));
    SectionReport report = GatherSectionReportWithoutHandles(name);
    ::SetCursor(previous);
    CPropertiesDlg dialog(std::move(report));
    dialog.Run(frame);
}

}  // namespace quillon
