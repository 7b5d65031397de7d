#pragma once
// The hex viewer's text copies: the selection as the viewer shows it (beside "HexData") and as C array
// elements, both as CF_UNICODETEXT.
#include <windows.h>

#include <cstdint>
#include <string>

#include "common/unique_resource.h"
#include "hexview/hex_copy.h"
#include "hexview/hex_edit_state.h"

namespace quillon {

// Selections up to this size also go on the clipboard as text; larger ones as "HexData" alone.
constexpr std::uint32_t kMaxTextCopy = 16u << 20;

// A CF_UNICODETEXT block holding `text` and its terminating zero. Empty when it cannot be allocated.
UniqueGlobal MakeUnicodeTextBlock(const std::wstring& text) noexcept;

// Ctrl+Shift+C: the selection as "0xDE, 0xAD, ..." sixteen to a line, as CF_UNICODETEXT alone.
// Anything but Copied leaves the clipboard as it was: an empty selection, one larger than
// kMaxTextCopy (TooLarge), an unreadable byte, no memory, or a clipboard held by another window.
HexCopyResult CopySelectionAsCArray(HWND owner, const HexEditState& state) noexcept;

}  // namespace quillon
