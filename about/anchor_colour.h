#pragma once
// The link colours as the browser settings store them: "red,green,blue" in decimal.
#include <windows.h>

namespace quillon {

// Converts `text` the way _wtoi does: leading white space skipped, an optional sign, then decimal
// digits up to the first other character; 0 when there are none. Out-of-range values saturate at
// INT_MAX / INT_MIN. Reads no further than `end` (or the first NUL when `end` is null).
int ConvertDecimal(const wchar_t* text, const wchar_t* end = nullptr) noexcept;

// The colour of a "red,green,blue" text, each component cut to its low 8 bits, or CLR_INVALID when
// a comma is missing, nothing follows the second comma, or the red or green part reads as -1.
// Deliberately lenient otherwise: "300,0,0" has a red of 44, " 255, 0, 0" is red.
COLORREF ParseAnchorColour(const wchar_t* text) noexcept;

}  // namespace quillon
