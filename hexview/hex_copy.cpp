#include "hexview/hex_copy.h"

#include <new>

#include "common/clipboard.h"
#include "common/readable_memory.h"
#include "common/safe_read.h"
#include "common/wait_cursor.h"
#include "hexview/hex_copy_text.h"
#include "hexview/hex_lines.h"

namespace quillon {

namespace {
// From this size on a copy takes long enough under Wine to deserve the wait cursor.
constexpr std::uint32_t kWaitCursorBytes = 1u << 20;
}  // namespace

HexCopyResult MakeHexDataBlock(const unsigned char* bytes, std::uint32_t count, UniqueGlobal& block) noexcept {
    block.Reset(::GlobalAlloc(GMEM_MOVEABLE | GMEM_DDESHARE | GMEM_ZEROINIT, SIZE_T{count} + 7));
    if (!block) return HexCopyResult::OutOfMemory;
    bool read = false;
    {
        GlobalLockScope lock(block.Get());
        auto* out = static_cast<unsigned char*>(lock.Get());
        if (!out) {
            block.Reset();
            return HexCopyResult::OutOfMemory;
        }
        for (int i = 0; i < 4; ++i) out[i] = static_cast<unsigned char>(count >> (8 * i));
        read = ReadBytesSafely(bytes, out + 4, count);
    }
    if (!read) {
        block.Reset();
        return HexCopyResult::Unreadable;
    }
    return HexCopyResult::Copied;
}

HexCopyResult CopySelection(HWND owner, const HexEditState& state, UINT format) noexcept {
    const std::int32_t count = state.selEnd - state.selStart;
    if (count <= 0 || !state.data || state.selEnd > state.size) return HexCopyResult::NothingSelected;
    if (static_cast<std::uint32_t>(count) > kMaxCopyBytes) return HexCopyResult::TooLarge;
    const unsigned char* first = state.data + state.selStart;
    // Reserved and no-access pages are known before a block is allocated for them.
    if (!IsReadableRange(first, static_cast<std::size_t>(count))) return HexCopyResult::Unreadable;

    WaitCursor busy(static_cast<std::uint32_t>(count) >= kWaitCursorBytes);
    UniqueGlobal block;
    const HexCopyResult made = MakeHexDataBlock(first, static_cast<std::uint32_t>(count), block);
    if (made != HexCopyResult::Copied) return made;
    // Beside it, up to a size a text editor can take, the selection as the viewer shows it. Without
    // the memory for the text, "HexData" goes alone.
    UniqueGlobal text;
    if (static_cast<std::uint32_t>(count) <= kMaxTextCopy) {
        try {
            text = MakeUnicodeTextBlock(FormatHexLines(state.data, static_cast<std::uint64_t>(state.selStart),
                                                       static_cast<std::uint64_t>(state.selEnd)));
        } catch (const std::bad_alloc&) {
            text.Reset();
        }
    }
    // The blocks are made before the clipboard is opened, so the clipboard is held only for the swap.
    ClipboardSession clipboard(owner);
    if (!clipboard.IsOpen()) return HexCopyResult::ClipboardBusy;
    ::EmptyClipboard();
    if (!::SetClipboardData(format, block.Get())) return HexCopyResult::OutOfMemory;
    block.Release();  // the clipboard owns it now
    if (text && ::SetClipboardData(CF_UNICODETEXT, text.Get())) text.Release();
    return HexCopyResult::Copied;
}

void ReportCopyResult(HWND control, HexCopyResult result) noexcept {
    const HWND owner = ::GetAncestor(control, GA_ROOT);
    switch (result) {
        case HexCopyResult::TooLarge:
            ::MessageBoxW(owner, L"The selection is too large to copy (256 MiB at most)", L"Quillon",
                          MB_OK | MB_ICONWARNING);
            break;
        case HexCopyResult::ClipboardBusy:
            ::MessageBeep(MB_ICONWARNING);
            ::MessageBoxW(owner, L"Cannot open Clipboard.", L"", MB_OK | MB_ICONWARNING);
            break;
        case HexCopyResult::Unreadable:
        case HexCopyResult::OutOfMemory:
            ::MessageBeep(MB_ICONWARNING);
            break;
        case HexCopyResult::Copied:
        case HexCopyResult::NothingSelected:
            break;
    }
}

}  // namespace quillon
