#pragma once
// The command handlers the main frame routes to, each in a file of its own. `frame` is the main
// frame window (the owner of message boxes and dialogs); `list` is the section list.
#include <windows.h>

namespace quillon {

class CQuillonView;

// Edit > Hex View: opens the selected section read-only in the Hex View dialog.
void RunHexViewCommand(HWND frame, HWND list);

// Edit > Properties: the selected section's report in the modal Properties dialog.
void RunPropertiesCommand(HWND frame, HWND list);

// Help > About Quillon.
void RunAboutCommand(HWND frame);

// Edit > Dump: writes the selected section's bytes to a file chosen in the Save dialog.
void RunDumpCommand(HWND frame, HWND list);

// Edit > Copy: puts the selected rows on the clipboard as text.
void RunCopyCommand(HWND frame, HWND list);

// A click on column `column` of the list's header: sorts the rows, then shows the arrow and updates
// the sort state word (neither changes when the rows could not be sorted).
void RunSortCommand(HWND list, int column, DWORD& sortState);

// File > Refresh: lists the sections anew, under the wait cursor, and sorts them again by `sortState`
// when the header shows a sort arrow.
void RunRefreshCommand(CQuillonView& view, DWORD sessionId, bool allNamespaces, DWORD sortState);

// Edit > Find: opens another modeless Find dialog owned by `frame`.
void RunFindCommand(HWND frame, HWND list);

// The frame's handler of the registered "commdlg_FindReplace" message; `request` is its lParam.
LRESULT HandleFindRequest(HWND frame, HWND list, LPARAM request);

// Dialog keyboard handling (Tab, Enter, Esc) for the open Find dialogs; the frame's message filter
// asks it after its accelerators. Returns true when the message was consumed.
bool TranslateFindDialogMessage(MSG* msg);

}  // namespace quillon
