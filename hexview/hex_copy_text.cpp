#include "hexview/hex_copy_text.h"

#include <cstring>
#include <new>
#include <optional>

#include "common/clipboard.h"
#include "hexview/hex_lines.h"

namespace quillon {

UniqueGlobal MakeUnicodeTextBlock(const std::wstring& text) noexcept {
    const SIZE_T bytes = (text.size() + 1) * sizeof(wchar_t);
    UniqueGlobal block(::GlobalAlloc(GMEM_MOVEABLE, bytes));
    if (!block) return block;
    GlobalLockScope lock(block.Get());
    if (!lock.Get()) return UniqueGlobal();
    std::memcpy(lock.Get(), text.c_str(), bytes);
    return block;
}

HexCopyResult CopySelectionAsCArray(HWND owner, const HexEditState& state) noexcept {
    const std::int64_t count = std::int64_t{state.selEnd} - state.selStart;
    if (count <= 0 || !state.data || state.selEnd > state.size) return HexCopyResult::NothingSelected;
    if (count > kMaxTextCopy) return HexCopyResult::TooLarge;
    UniqueGlobal block;
    try {
        const std::optional<std::wstring> text =
            FormatCArray(state.data, static_cast<std::uint64_t>(state.selStart), static_cast<std::uint64_t>(state.selEnd));
        if (!text) return HexCopyResult::Unreadable;
        block = MakeUnicodeTextBlock(*text);
    } catch (const std::bad_alloc&) {
        return HexCopyResult::OutOfMemory;
    }
    if (!block) return HexCopyResult::OutOfMemory;
    ClipboardSession clipboard(owner);
    if (!clipboard.IsOpen()) return HexCopyResult::ClipboardBusy;
    ::EmptyClipboard();
    if (!::SetClipboardData(CF_UNICODETEXT, block.Get())) return HexCopyResult::OutOfMemory;
    block.Release();
    return HexCopyResult::Copied;
}

}  // namespace quillon
