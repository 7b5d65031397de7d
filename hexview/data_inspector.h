#pragma once
// The data inspector of the Hex View dialog: the bytes at the caret read as integers of 8 to 64 bits
// and as IEEE floats, in either byte order. Plain text, no window.
#include <cstddef>
#include <string>

namespace quillon {

// `bytes` holds the `available` readable bytes at the caret (at most 8 are used; fewer when the data
// ends or a page cannot be read). Each value whose bytes are not all available shows "??".
// Two lines, joined by "\n":
//   "u8 222  i8 -34  u16 44510  i16 -21026  u32 3735928559  i32 -559038737"
//   "u64 ...  i64 ...  f32 -6.2598534e+18  f64 ..."
std::wstring FormatInspector(const unsigned char* bytes, std::size_t available, bool bigEndian);

}  // namespace quillon
