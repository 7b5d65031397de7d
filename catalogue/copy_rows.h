#pragma once
// Copying the selected rows of the section list to the clipboard as text.
#include <windows.h>

#include <string>
#include <vector>

#include "catalogue/section_entry.h"

namespace quillon {

// One line per row, in the order given: name, tab, size, tab, CR LF.
std::wstring ComposeCopyText(const std::vector<SectionEntry>& rows);

enum class CopyOutcome {
    NothingSelected,   // the clipboard was not touched
    Copied,
    ClipboardBusy,     // another window holds the clipboard open; it is unchanged
    OutOfMemory,       // no memory for the text or its block; the clipboard is unchanged
    NotPlaced,         // the clipboard refused the block (SetClipboardData failed); reported like Busy
};

// Puts the selected rows, in list order, on the clipboard as CF_UNICODETEXT, with `owner` as the
// clipboard's owner. The text and its memory block are made before the clipboard is opened, so a
// failure to make them leaves the user's clipboard as it was.
CopyOutcome CopySelectedRows(HWND list, HWND owner) noexcept;

namespace detail {
// Allocates the clipboard block: GlobalAlloc in the program; tests make it fail.
using ClipboardAllocator = HGLOBAL(WINAPI*)(UINT flags, SIZE_T bytes);
// Places `text` as CF_UNICODETEXT: block first (with `allocate`), then open, empty and set.
CopyOutcome PlaceClipboardText(HWND owner, const std::wstring& text, ClipboardAllocator allocate) noexcept;
}  // namespace detail

}  // namespace quillon
