#pragma once
// Numbers on the command line and in the output.
#include <cstdint>
#include <string>
#include <string_view>

namespace quillon::cli {

// Decimal ("4096") or hexadecimal with "0x"/"0X" ("0x1000"). False for anything else: empty, a sign,
// spaces, a trailing character, or a value beyond 64 bits.
bool ParseCount(std::wstring_view text, std::uint64_t& value) noexcept;

// "0x" and upper-case hex digits without leading zeros, as the list shows sizes: 4096 -> "0x1000".
std::string HexText(std::uint64_t value);

}  // namespace quillon::cli
