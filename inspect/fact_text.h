#pragma once
// The text forms of the numbers and flag sets in a section report.
#include <windows.h>

#include <cstdint>
#include <string>
#include <vector>

#include "inspect/section_report.h"

namespace quillon {

// "0x100000 (1,048,576 bytes)".
std::wstring FormatByteCount(std::uint64_t bytes);

// "0x04000000": eight upper-case hex digits.
std::wstring FormatHex32(std::uint32_t value);

// A section's allocation attributes by name, joined with " | ", then the raw value:
// "SEC_RESERVE (0x04000000)", "SEC_COMMIT | SEC_NOCACHE (0x18000000)", "none (0x00000000)".
// Bits without a name show as one hex term.
std::wstring DescribeSectionAttributes(std::uint32_t attributes);

// Section access rights by name, in a fixed order, then the raw mask: "query, map read (0x00000005)";
// "none (0x00000000)".
std::wstring DescribeSectionAccess(ACCESS_MASK access);

// One line per region ("0x0-0x2000 committed, readable"), then the totals line
// ("readable: 0x2000 (8,192 bytes); unreadable: 0xFE000 (1,040,384 bytes)"), joined with "\n".
std::wstring DescribeRegions(const std::vector<ViewRegion>& regions);

}  // namespace quillon
