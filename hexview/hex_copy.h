#pragma once
// Copying a hex viewer's selection to the clipboard in the "HexData" format: one global block of a
// 32-bit little-endian length followed by the bytes.
#include <windows.h>

#include <cstdint>

#include "common/unique_resource.h"
#include "hexview/hex_edit_state.h"

namespace quillon {

// The "HexData" block for `count` bytes from `bytes`: count + 7 bytes allocated (the last three
// unwritten), GMEM_MOVEABLE | GMEM_DDESHARE. Empty when the allocation fails.
UniqueGlobal MakeHexDataBlock(const unsigned char* bytes, std::uint32_t count) noexcept;

// Places the selection on the clipboard under `format`, owned by `owner`. FALSE, with the clipboard
// left as it was, when the selection is empty, touches bytes that cannot be read, the block cannot
// be allocated or the clipboard cannot be opened; the clipboard is emptied only once the block is
// complete.
BOOL CopySelection(HWND owner, const HexEditState& state, UINT format) noexcept;

}  // namespace quillon
