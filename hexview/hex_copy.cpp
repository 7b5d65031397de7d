#include "hexview/hex_copy.h"

#include <cstring>

#include "common/clipboard.h"
#include "common/readable_memory.h"

namespace quillon {

UniqueGlobal MakeHexDataBlock(const unsigned char* bytes, std::uint32_t count) noexcept {
    UniqueGlobal block(::GlobalAlloc(GMEM_MOVEABLE | GMEM_DDESHARE, SIZE_T{count} + 7));
    if (!block) return block;
    GlobalLockScope lock(block.Get());
    auto* out = static_cast<unsigned char*>(lock.Get());
    if (!out) return UniqueGlobal();
    for (int i = 0; i < 4; ++i) out[i] = static_cast<unsigned char>(count >> (8 * i));
    if (count > 0) std::memcpy(out + 4, bytes, count);
    return block;
}

BOOL CopySelection(HWND owner, const HexEditState& state, UINT format) noexcept {
    const std::int32_t count = state.selEnd - state.selStart;
    if (count <= 0 || !state.data || state.selEnd > state.size) return FALSE;
    const unsigned char* first = state.data + state.selStart;
    ReadableMemory readable;
    if (!readable.IsRangeReadable(first, static_cast<std::size_t>(count))) return FALSE;

    // The block is made before the clipboard is opened, so the clipboard is held only for the swap.
    UniqueGlobal block = MakeHexDataBlock(first, static_cast<std::uint32_t>(count));
    if (!block) return FALSE;
    ClipboardSession clipboard(owner);
    if (!clipboard.IsOpen()) return FALSE;
    ::EmptyClipboard();
    if (!::SetClipboardData(format, block.Get())) return FALSE;
    block.Release();  // the clipboard owns it now
    return TRUE;
}

}  // namespace quillon
