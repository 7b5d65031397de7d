#include "shell/frame_commands.h"

#include <string>

#include "catalogue/list_rows.h"
#include "catalogue/section_view.h"
#include "hexview/hex_dialog.h"
#include "hexview/hex_edit_state.h"

namespace quillon {

void RunHexViewCommand(HWND frame, HWND list) {
    const int row = FirstSelectedRow(list);
    if (row < 0) return;
    const std::wstring name = ReadCellText(list, row, 0);

    // The view stays mapped until the dialog, and the control reading it, are gone.
    SectionView view;
    if (view.Open(name.c_str()) < 0) {
        ::MessageBoxW(frame, L"Cannot open section", L"Quillon", MB_ICONERROR);
        return;
    }
    // A 64-bit view can be larger than the control's signed 32-bit count: it shows the first part.
    // Owned by the frame, like Find and About, so the frame stays disabled while it is open (the active
    // window could be another, for instance a Find dialog).
    CHexDlg dialog(view.Base(), ClampDataSize(view.Size()));
    dialog.Run(frame);
}

}  // namespace quillon
