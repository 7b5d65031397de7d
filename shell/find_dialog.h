#pragma once
// The modeless Find dialog: one heap object per dialog, holding the FINDREPLACEW record and the text
// buffers the platform's dialog edits. Several may be open at once; each object deletes itself when
// its window is destroyed (Cancel, the close box, or the destruction of its owner).
#include <windows.h>
#include <commdlg.h>

namespace quillon {

class CFindReplaceDialog {
public:
    static constexpr WORD kTextLength = 128;  // characters, with the terminating null
    static constexpr DWORD kInitialFlags = FR_ENABLEHOOK | FR_DOWN | FR_HIDEWHOLEWORD;

    // Opens a new Find dialog owned by `owner`, with an empty text, direction Down and Match case off,
    // and shows it. Returns the dialog window, or null when the dialog could not be created.
    static HWND Open(HWND owner) noexcept;

    // The open Find dialog of this thread whose record is `record`, or null when `record` is no live
    // dialog's record (a stale or foreign pointer is never read).
    static CFindReplaceDialog* FromRecord(LPARAM record) noexcept;
    // The Find dialog object attached to `window`, or null.
    static CFindReplaceDialog* FromWindow(HWND window) noexcept;

    HWND Window() const noexcept { return hwnd_; }
    FINDREPLACEW& Record() noexcept { return record_; }

    CFindReplaceDialog(const CFindReplaceDialog&) = delete;
    CFindReplaceDialog& operator=(const CFindReplaceDialog&) = delete;

private:
    CFindReplaceDialog() noexcept;
    ~CFindReplaceDialog() = default;

    static UINT_PTR CALLBACK Hook(HWND dialog, UINT msg, WPARAM wParam, LPARAM lParam);
    static LRESULT CALLBACK SubclassProc(HWND dialog, UINT msg, WPARAM wParam, LPARAM lParam, UINT_PTR id,
                                         DWORD_PTR self) noexcept;

    HWND hwnd_ = nullptr;
    FINDREPLACEW record_;
    wchar_t findText_[kTextLength] = {};
    wchar_t replaceText_[kTextLength] = {};
};

}  // namespace quillon
