// File > Refresh, Edit > Dump, Edit > Copy and the column-header sort of the section list.
#include "catalogue/copy_rows.h"
#include "catalogue/dump_file.h"
#include "catalogue/quillon_view.h"
#include "catalogue/sort_rows.h"
#include "common/wait_cursor.h"
#include "shell/frame_commands.h"

namespace quillon {

namespace {
constexpr wchar_t kProductCaption[] = L"Quillon";
}  // namespace

void RunDumpCommand(HWND frame, HWND list) {
    switch (DumpSelectedSection(list, frame)) {
        case DumpOutcome::CannotOpen:
            ::MessageBoxW(frame, L"Cannot open section", kProductCaption, MB_OK | MB_ICONERROR);
            break;
        case DumpOutcome::CannotRead:
            ::MessageBoxW(frame, L"Cannot read section", kProductCaption, MB_OK | MB_ICONERROR);
            break;
        case DumpOutcome::CannotWrite:
            ::MessageBoxW(frame, L"Cannot write file", kProductCaption, MB_OK | MB_ICONERROR);
            break;
        case DumpOutcome::NothingSelected:
        case DumpOutcome::Cancelled:
        case DumpOutcome::Written:
            break;
    }
}

void RunCopyCommand(HWND frame, HWND list) {
    switch (CopySelectedRows(list, frame)) {
        case CopyOutcome::ClipboardBusy:
        case CopyOutcome::NotPlaced:
            ::MessageBoxW(frame, L"Cannot open Clipboard.", L"", MB_OK | MB_ICONWARNING);
            break;
        case CopyOutcome::OutOfMemory:
            ::MessageBoxW(frame, L"Allocate memory failed.", L"", MB_OK | MB_ICONWARNING);
            break;
        case CopyOutcome::NothingSelected:
        case CopyOutcome::Copied:
            break;
    }
}

void RunSortCommand(HWND list, int column, DWORD& sortState) {
    if (column < 0 || column > 1) return;
    SortByColumnClick(list, column, sortState);
}

void RunRefreshCommand(CQuillonView& view, DWORD sessionId, bool allNamespaces, DWORD sortState) {
    WaitCursor busy;
    view.Refresh(sessionId, allNamespaces);
    // The header keeps its arrow across a Refresh, so the new rows are put in the order it shows.
    if (ShowsSortArrow(view.Window())) SortListRows(view.Window(), sortState);
}

}  // namespace quillon
