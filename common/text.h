#pragma once
// Small text helpers shared by the rooms. Folding is deliberately limited to A-Z (the C locale):
// "Ä" and "ä" stay different, as users of the program's searches and sorts expect.
#include <string>
#include <string_view>

namespace quillon {

constexpr wchar_t FoldAZ(wchar_t c) noexcept {
    return (c >= L'A' && c <= L'Z') ? static_cast<wchar_t>(c - L'A' + L'a') : c;
}

std::wstring FoldedAZ(std::wstring_view text);

// Code unit by code unit after A-Z folding; the difference of the first differing pair, 0 if equal.
int CompareFoldedAZ(std::wstring_view a, std::wstring_view b) noexcept;

}  // namespace quillon
