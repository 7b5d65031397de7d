#pragma once
// One row of the section list: the name that opens the section, and the size of its view.
#include <cstdint>
#include <string>

namespace quillon {

struct SectionEntry {
    std::wstring name;  // "Global\" + object name for the global directory, the bare name otherwise
    std::wstring size;  // "0x" + upper-case hex digits without leading zeros, or kAccessDeniedText
};

inline constexpr const wchar_t* kAccessDeniedText = L"[Access Denied]";

// "0x%I64X": 4096 -> "0x1000", 0 -> "0x0".
std::wstring FormatSizeText(std::uint64_t size);

}  // namespace quillon
