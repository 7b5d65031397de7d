#include "catalogue/copy_rows.h"

#include <cstring>

#include "catalogue/list_rows.h"
#include "common/clipboard.h"
#include "common/unique_resource.h"

namespace quillon {

std::wstring ComposeCopyText(const std::vector<SectionEntry>& rows) {
    std::wstring text;
    for (const SectionEntry& row : rows) {
        text += row.name;
        text += L'\t';
        text += row.size;
        text += L"\t\r\n";
    }
    return text;
}

CopyOutcome CopySelectedRows(HWND list, HWND owner) noexcept {
    std::wstring text;
    try {
        std::vector<SectionEntry> rows;
        for (int row : SelectedRows(list)) rows.push_back({ReadCellText(list, row, 0), ReadCellText(list, row, 1)});
        if (rows.empty()) return CopyOutcome::NothingSelected;
        text = ComposeCopyText(rows);
    } catch (...) {
        // Without memory for the text nothing is placed and the clipboard stays as it was.
        return CopyOutcome::OutOfMemory;
    }

    return detail::PlaceClipboardText(owner, text, &::GlobalAlloc);
}

namespace detail {

CopyOutcome PlaceClipboardText(HWND owner, const std::wstring& text, ClipboardAllocator allocate) noexcept {
    // Everything that can run out of memory happens before EmptyClipboard, which cannot be undone.
    const SIZE_T bytes = (text.size() + 1) * sizeof(wchar_t);
    UniqueGlobal block(allocate(GMEM_DDESHARE, bytes));
    if (!block) return CopyOutcome::OutOfMemory;
    {
        GlobalLockScope lock(block.Get());
        if (!lock.Get()) return CopyOutcome::OutOfMemory;
        std::memcpy(lock.Get(), text.c_str(), bytes);
    }
    ClipboardSession clipboard(owner);
    if (!clipboard.IsOpen()) return CopyOutcome::ClipboardBusy;
    ::EmptyClipboard();
    if (!::SetClipboardData(CF_UNICODETEXT, block.Get())) return CopyOutcome::NotPlaced;
    // The clipboard holds the block now and frees it.
    block.Release();
    return CopyOutcome::Copied;
}

}  // namespace detail

}  // namespace quillon
