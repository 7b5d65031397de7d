#include "catalogue/dump_dialog.h"

namespace quillon {

static_assert(kDumpDialogFlags ==
                  (OFN_HIDEREADONLY | OFN_OVERWRITEPROMPT | OFN_EXPLORER | OFN_ENABLEHOOK | OFN_ENABLESIZING),
              "Save dialog flags");

namespace {

constexpr wchar_t kFilter[] = L"Binary File (*.BIN)\0*.BIN\0All Files\0*.*\0";

// The dialog runs with a hook of ours that leaves every message to the system.
UINT_PTR CALLBACK SaveDialogHook(HWND, UINT, WPARAM, LPARAM) { return 0; }

}  // namespace

bool ChooseDumpPath(HWND owner, std::wstring& path) {
    wchar_t file[260] = L"Quill";
    wchar_t fileTitle[256] = L"";
    OPENFILENAMEW ofn{};
    ofn.lStructSize = sizeof(ofn);
    ofn.hwndOwner = owner;
    ofn.lpstrFilter = kFilter;
    ofn.nFilterIndex = 0;
    ofn.lpstrFile = file;
    ofn.nMaxFile = 260;
    ofn.lpstrFileTitle = fileTitle;
    ofn.nMaxFileTitle = 256;
    ofn.lpstrDefExt = L".bin";
    ofn.Flags = kDumpDialogFlags;
    ofn.lpfnHook = &SaveDialogHook;
    if (!::GetSaveFileNameW(&ofn)) return false;
    path = file;
    return true;
}

}  // namespace quillon
