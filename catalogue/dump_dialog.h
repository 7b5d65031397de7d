#pragma once
// The Save dialog in which the user names a dump file.
#include <windows.h>
#include <commdlg.h>

#include <string>

namespace quillon {

// OFN_HIDEREADONLY | OFN_OVERWRITEPROMPT | OFN_EXPLORER | OFN_ENABLEHOOK | OFN_ENABLESIZING.
inline constexpr DWORD kDumpDialogFlags = 0x880026;

// Shows the Save dialog owned by `owner`, starting with the name "Quill" and the "Binary File (*.BIN)"
// filter. Returns true with the chosen path, or false when the user cancelled.
bool ChooseDumpPath(HWND owner, std::wstring& path);

}  // namespace quillon
