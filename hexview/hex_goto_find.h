#pragma once
// The two small dialogs of the Hex View dialog: Go To (template 211) and Find (template 212). Each
// checks its input before it closes and says what is wrong in a message box, staying open.
#include <windows.h>

#include <cstdint>
#include <string>

#include "common/dialog_base.h"
#include "hexview/byte_search.h"

namespace quillon {

class CHexGoToDlg : public ModalDialog<CHexGoToDlg> {
public:
    // `lastInput` is shown first and, after OK, holds what was typed.
    CHexGoToDlg(std::wstring& lastInput, std::int64_t caret, std::int64_t size) noexcept
        : lastInput_(lastInput), caret_(caret), size_(size) {}

    // IDOK with Offset() set, or IDCANCEL.
    INT_PTR Run(HWND owner);
    std::int64_t Offset() const noexcept { return offset_; }

    INT_PTR HandleMessage(UINT msg, WPARAM wParam, LPARAM lParam, bool& handled);

private:
    std::wstring& lastInput_;
    std::int64_t caret_;
    std::int64_t size_;
    std::int64_t offset_ = 0;
};

// What the Find dialog asks for; kept by the Hex View dialog between searches.
struct FindSettings {
    std::wstring text;
    SearchMode mode = SearchMode::HexBytes;
    bool matchCase = false;
    bool backward = false;
};

class CHexFindDlg : public ModalDialog<CHexFindDlg> {
public:
    explicit CHexFindDlg(FindSettings& settings) noexcept : settings_(settings) {}

    // IDOK with the settings updated and Pattern() parsed from them, or IDCANCEL.
    INT_PTR Run(HWND owner);
    const BytePattern& Pattern() const noexcept { return pattern_; }

    INT_PTR HandleMessage(UINT msg, WPARAM wParam, LPARAM lParam, bool& handled);

private:
    FindSettings& settings_;
    BytePattern pattern_;
};

// The window text of a dialog item.
std::wstring DialogItemText(HWND dialog, int id);

}  // namespace quillon
