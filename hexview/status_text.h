#pragma once
// The Hex View dialog's status line as text, and the keys the dialog takes whatever has the focus.
// Plain code, no window.
#include <cstdint>
#include <string>

namespace quillon {

// Line 1: the caret's offset, the selection as "start-end (n bytes)" when there is one (hex offsets,
// the last selected byte as the end, the count in decimal), then "Live" and the search note.
// Lines 2 and 3: the data inspector at the caret.
//   "Offset 00000010   Selection 00000010-0000001F (16 bytes)   Live   Searching... 42%"
std::wstring FormatStatusLine(std::int64_t caret, std::int64_t selStart, std::int64_t selEnd, bool live,
                              const std::wstring& note, const std::wstring& inspector);

enum class HexDialogKey {
    None,
    GoTo,          // Ctrl+G
    Find,          // Ctrl+F
    FindNext,      // F3
    FindPrevious,  // Shift+F3
    ToggleLive,    // F5
    ToggleOrder,   // Ctrl+E
    Copy,          // Ctrl+C: as Ctrl+Insert
    CopyCArray,    // Ctrl+Shift+C
    CancelSearch,  // Esc while a search runs
};

// The dialog's own keys; everything else goes on to the focused control as before.
HexDialogKey DialogKeyFor(unsigned virtualKey, bool ctrl, bool shift, bool alt, bool searching) noexcept;

}  // namespace quillon
