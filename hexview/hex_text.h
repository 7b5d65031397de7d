#pragma once
// The texts a row is drawn with: the offset, the two digits of a cell and the character of a byte.
#include <cstdint>

namespace quillon {

// A byte is shown as the UTF-16 code unit of its value when its low seven bits are at least 0x20;
// control codes (0x00-0x1F, 0x80-0x9F) are shown as ".".
constexpr wchar_t DisplayChar(unsigned char b) noexcept {
    return (b & 0x7F) >= 0x20 ? static_cast<wchar_t>(b) : L'.';
}

// Eight upper-case hexadecimal digits ("%08X"), no terminator.
void FormatOffset(std::uint32_t offset, wchar_t out[8]) noexcept;

// Two upper-case hexadecimal digits ("%02X"), no terminator.
void FormatByte(unsigned char b, wchar_t out[2]) noexcept;

// What an unreadable byte shows: "??" in its cell and "." as its character.
constexpr wchar_t kUnreadableDigit = L'?';
constexpr wchar_t kUnreadableChar = L'.';

}  // namespace quillon
