#include "cli/utf8.h"

namespace quillon::cli {

namespace {
constexpr bool IsHighSurrogate(char32_t c) noexcept { return c >= 0xD800 && c <= 0xDBFF; }
constexpr bool IsLowSurrogate(char32_t c) noexcept { return c >= 0xDC00 && c <= 0xDFFF; }
}  // namespace

char32_t NextCodePoint(std::wstring_view text, std::size_t& i, bool& lone) noexcept {
    // wchar_t is 16 bits on Windows: names arrive as UTF-16 code units.
    const char32_t unit = static_cast<char16_t>(text[i++]);
    lone = false;
    if (IsHighSurrogate(unit) && i < text.size()) {
        const char32_t next = static_cast<char16_t>(text[i]);
        if (IsLowSurrogate(next)) {
            ++i;
            return 0x10000 + ((unit - 0xD800) << 10) + (next - 0xDC00);
        }
    }
    lone = IsHighSurrogate(unit) || IsLowSurrogate(unit);
    return unit;
}

void AppendCodePoint(std::string& out, char32_t c) {
    if (c < 0x80) {
        out.push_back(static_cast<char>(c));
    } else if (c < 0x800) {
        out.push_back(static_cast<char>(0xC0 | (c >> 6)));
        out.push_back(static_cast<char>(0x80 | (c & 0x3F)));
    } else if (c < 0x10000) {
        out.push_back(static_cast<char>(0xE0 | (c >> 12)));
        out.push_back(static_cast<char>(0x80 | ((c >> 6) & 0x3F)));
        out.push_back(static_cast<char>(0x80 | (c & 0x3F)));
    } else {
        out.push_back(static_cast<char>(0xF0 | (c >> 18)));
        out.push_back(static_cast<char>(0x80 | ((c >> 12) & 0x3F)));
        out.push_back(static_cast<char>(0x80 | ((c >> 6) & 0x3F)));
        out.push_back(static_cast<char>(0x80 | (c & 0x3F)));
    }
}

void AppendUtf8(std::string& out, std::wstring_view text) {
    out.reserve(out.size() + text.size());
    for (std::size_t i = 0; i < text.size();) {
        const wchar_t unit = text[i];
        if (static_cast<unsigned>(unit) < 0x80) {  // the common case, one byte per unit
            out.push_back(static_cast<char>(unit));
            ++i;
            continue;
        }
        bool lone = false;
        const char32_t c = NextCodePoint(text, i, lone);
        AppendCodePoint(out, lone ? 0xFFFD : c);
    }
}

}  // namespace quillon::cli
