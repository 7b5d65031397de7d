#include "shell/frame_commands.h"

namespace quillon {

void RunDumpCommand(HWND, HWND) {}
void RunCopyCommand(HWND, HWND) {}
void RunSortCommand(HWND, int, DWORD&) {}
void RunFindCommand(HWND, HWND) {}
LRESULT HandleFindRequest(HWND, HWND, LPARAM) { return 0; }
bool TranslateFindDialogMessage(MSG*) { return false; }

}  // namespace quillon
