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
    OutOfMemory,       // no memory for the text; if the clipboard was emptied already it stays empty
};

// Puts the selected rows, in list order, on the clipboard as CF_UNICODETEXT, with `owner` as the
// clipboard's owner.
CopyOutcome CopySelectedRows(HWND list, HWND owner) noexcept;

}  // namespace quillon
