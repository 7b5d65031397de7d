#pragma once
// Drawing the rows of a hex viewer: one function over a device context and a pixel band, shared by
// WM_PAINT, the immediate repaint of rows whose highlight changed, and WM_PRINTCLIENT.
#include <windows.h>

#include <cstdint>

#include "hexview/hex_edit_state.h"

namespace quillon {

struct HexColours {
    COLORREF window;
    COLORREF windowText;
    COLORREF highlight;
    COLORREF highlightText;
};

// Draws every row that the band from `top` to `bottom` (client coordinates) touches, across the
// whole width up to the client width, and fills the rest of the band with the window colour. Bytes
// that cannot be read show "??" and ".". The DC's font, colours and background are put back.
void PaintRows(HDC dc, const HexEditState& state, HFONT font, const HexColours& colours, std::int32_t top,
               std::int32_t bottom) noexcept;

}  // namespace quillon
