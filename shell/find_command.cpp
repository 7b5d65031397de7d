// Edit > Find: the modeless Find dialogs and the frame's handler of their Find Next requests.
#include <cwchar>
#include <string>

#include "catalogue/list_rows.h"
#include "shell/find_dialog.h"
#include "shell/find_search.h"
#include "shell/frame_commands.h"

namespace quillon {

void RunFindCommand(HWND frame, HWND) {
    // The frame owns every Find dialog, whichever window is active when the command runs: requests
    // go to the owner, and the frame's handler is the one that acts on them.
    CFindReplaceDialog::Open(frame);
}

LRESULT HandleFindRequest(HWND frame, HWND list, LPARAM request) {
    CFindReplaceDialog* dialog = CFindReplaceDialog::FromRecord(request);
    if (!dialog) return 0;
    const FINDREPLACEW& record = dialog->Record();
    try {
        FindQuery query;
        query.text.assign(record.lpstrFindWhat, ::wcsnlen(record.lpstrFindWhat, record.wFindWhatLen));
        if ((record.Flags & FR_DIALOGTERM) || !(record.Flags & FR_FINDNEXT)) return 0;
        query.down = (record.Flags & FR_DOWN) != 0;
        query.matchCase = (record.Flags & FR_MATCHCASE) != 0;

        const int row = FindRowInList(list, query);
        if (row >= 0) {
            SelectOneRow(list, row);
        } else {
            const std::wstring message = L"Cannot find \"" + query.text + L"\"";
            ::MessageBoxW(frame, message.c_str(), L"Quillon", MB_OK | MB_ICONINFORMATION);
        }
    } catch (...) {
        // Without memory for the texts the search ends as if it had not been asked for.
    }
    return 0;
}

bool TranslateFindDialogMessage(MSG* msg) {
    if (!msg || !msg->hwnd) return false;
    const HWND root = ::GetAncestor(msg->hwnd, GA_ROOT);
    if (!CFindReplaceDialog::FromWindow(root)) return false;
    // Tab, Enter and Esc as in any dialog; the editing keys reach the text box, since the frame's
    // accelerators are not translated for the dialog's messages.
    return ::IsDialogMessageW(root, msg) != FALSE;
}

}  // namespace quillon
