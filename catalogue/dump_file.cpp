#include "catalogue/dump_file.h"

#include <string>

#include "catalogue/dump_dialog.h"
#include "catalogue/dump_writer.h"
#include "catalogue/list_rows.h"
#include "catalogue/section_view.h"
#include "common/wait_cursor.h"

namespace quillon {

DumpOutcome DumpSelectedSection(HWND list, HWND owner) noexcept {
    try {
        const int row = FirstSelectedRow(list);
        if (row < 0) return DumpOutcome::NothingSelected;
        const std::wstring name = ReadCellText(list, row, 0);

        // The view stays mapped until the file is written, so the section cannot vanish meanwhile.
        SectionView view;
        if (view.Open(name.c_str()) < 0) return DumpOutcome::CannotOpen;
        const std::uint64_t size = view.Size();

        std::wstring path;
        if (!ChooseDumpPath(owner, path)) return DumpOutcome::Cancelled;
        WaitCursor busy;  // a large section takes seconds to write
        switch (WriteDumpFile(path.c_str(), view.Base(), size, false, nullptr)) {
            case DumpResult::Written:
                return DumpOutcome::Written;
            case DumpResult::CannotRead:
                return DumpOutcome::CannotRead;
            case DumpResult::CannotWrite:
                break;
        }
        return DumpOutcome::CannotWrite;
    } catch (...) {
        // Out of memory for the name or the path: nothing was written.
        return DumpOutcome::Cancelled;
    }
}

}  // namespace quillon
