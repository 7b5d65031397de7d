#pragma once
// Copying a hex viewer's selection to the clipboard in the "HexData" format: one global block of a
// 32-bit little-endian length followed by the bytes.
#include <windows.h>

#include <cstdint>

#include "common/unique_resource.h"
#include "hexview/hex_edit_state.h"

namespace quillon {

// The largest selection a copy takes: nobody wants a bigger clipboard block, and a block of 2 GiB
// ends the program under Wine.
constexpr std::uint32_t kMaxCopyBytes = 256u << 20;

enum class HexCopyResult {
    Copied,
    NothingSelected,  // an empty selection: nothing to do, nothing to say
    TooLarge,         // more than kMaxCopyBytes
    Unreadable,       // some selected byte cannot be read
    OutOfMemory,      // the block cannot be allocated, or the clipboard would not take it
    ClipboardBusy,    // another window holds the clipboard open
};

// The "HexData" block for `count` bytes from `bytes`: count + 7 bytes, allocated zeroed (the last
// three bytes are never written, and no leftover memory may leave with the block), GMEM_MOVEABLE |
// GMEM_DDESHARE, the bytes read through the fault-tolerant read. Unreadable or OutOfMemory, with
// `block` empty, when a byte cannot be read or the block cannot be had.
HexCopyResult MakeHexDataBlock(const unsigned char* bytes, std::uint32_t count, UniqueGlobal& block) noexcept;

// Places the selection on the clipboard under `format`, owned by `owner`, and beside it, for
// selections up to kMaxTextCopy, the selection as the viewer shows it as CF_UNICODETEXT. Anything but Copied leaves
// the clipboard as it was: it is emptied only once the block is complete. The wait cursor shows while
// a large selection is read.
HexCopyResult CopySelection(HWND owner, const HexEditState& state, UINT format) noexcept;

// What the user is told of a copy's result, by the control `control`: the too-large message box
// (owned by the control's dialog), or a warning beep and, for a held clipboard, the "Cannot open
// Clipboard." box. Nothing for a copy that worked or had nothing to copy.
void ReportCopyResult(HWND control, HexCopyResult result) noexcept;

}  // namespace quillon
