#pragma once
// The hex viewer's rows as text, for the clipboard and the console program: per row of sixteen
// bytes the offset ("%08X", more digits past 4 GiB), the sixteen cells ("%02X", "??" for a byte that
// cannot be read) and the sixteen characters (DisplayChar, "." for a byte that cannot be read).
//
//   00000010  41 42 43 44 45 46 47 48 49 4A 4B 4C 4D 4E 4F 50  ABCDEFGHIJKLMNOP
//
// Rows are the viewer's rows, at multiples of sixteen. Bytes of a row outside the requested range
// are left blank, so a range that starts or ends inside a row keeps its columns. Lines end in CRLF
// (the last one too). Every byte is read through ReadBytesSafely.
#include <cstdint>
#include <optional>
#include <string>

namespace quillon {

// The text of the bytes [begin, end) of the block at `base` (offsets are from `base`).
std::wstring FormatHexLines(const unsigned char* base, std::uint64_t begin, std::uint64_t end);

// The bytes [begin, end) as C array elements: "0xDE, 0xAD, ...", sixteen to a line, lines joined by
// ",\r\n" and the last ending without a comma or line break. Empty when a byte cannot be read.
std::optional<std::wstring> FormatCArray(const unsigned char* base, std::uint64_t begin, std::uint64_t end);

}  // namespace quillon
