#pragma once
// Shading the bytes live watching saw change: drawn over what PaintRows drew, cell by cell, so the
// viewer paints exactly as before whenever live watching is off or nothing has changed.
#include <windows.h>

#include <cstdint>

#include "hexview/hex_edit_state.h"
#include "hexview/hex_paint.h"
#include "hexview/live_watch.h"

namespace quillon {

// The background for a change `age` milliseconds old: the live colour for the first second, then a
// blend towards `window` that reaches it at LiveWatch::kFadeMs.
COLORREF LiveShade(std::uint32_t age, COLORREF window) noexcept;

// Redraws, in the band from `top` to `bottom`, the hex cell and the character of every unselected
// byte whose change is still fading at `now`, on its shade.
void PaintLiveShades(HDC dc, const HexEditState& state, HFONT font, const HexColours& colours, const LiveWatch& live,
                     std::uint32_t now, std::int32_t top, std::int32_t bottom) noexcept;

}  // namespace quillon
