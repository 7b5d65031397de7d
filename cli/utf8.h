#pragma once
// UTF-16 to UTF-8 for everything the console program prints.
#include <string>
#include <string_view>

namespace quillon::cli {

// Appends `text` to `out` as UTF-8. A lone surrogate (an object name may hold one) becomes U+FFFD.
void AppendUtf8(std::string& out, std::wstring_view text);

inline std::string ToUtf8(std::wstring_view text) {
    std::string out;
    AppendUtf8(out, text);
    return out;
}

// Appends the UTF-8 form of one code point (at most U+10FFFF).
void AppendCodePoint(std::string& out, char32_t codePoint);

// Reads the code point at `text[i]` and advances `i` past it. Sets `lone` when the unit at `i` is a
// surrogate without its partner; the code point is then that unit itself.
char32_t NextCodePoint(std::wstring_view text, std::size_t& i, bool& lone) noexcept;

}  // namespace quillon::cli
