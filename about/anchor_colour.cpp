#include "about/anchor_colour.h"

#include <climits>

namespace quillon {

namespace {

constexpr bool IsBlank(wchar_t c) noexcept {
    return c == L' ' || c == L'\t' || c == L'\n' || c == L'\v' || c == L'\f' || c == L'\r';
}

// Reads one comma-terminated component starting at `text`; on success stores its value and moves
// `text` past the comma.
bool ReadComponent(const wchar_t*& text, int& value) noexcept {
    const wchar_t* comma = text;
    while (*comma != L'\0' && *comma != L',') comma = ::CharNextW(comma);
    if (*comma != L',') return false;
    value = ConvertDecimal(text, comma);
    text = comma + 1;
    return true;
}

}  // namespace

int ConvertDecimal(const wchar_t* text, const wchar_t* end) noexcept {
    auto more = [&](const wchar_t* p) { return (end == nullptr || p < end) && *p != L'\0'; };
    const wchar_t* p = text;
    while (more(p) && IsBlank(*p)) ++p;
    bool negative = false;
    if (more(p) && (*p == L'+' || *p == L'-')) {
        negative = *p == L'-';
        ++p;
    }
    // Accumulate as a negative number so that INT_MIN is reachable without overflow.
    long long value = 0;
    bool saturated = false;
    for (; more(p) && *p >= L'0' && *p <= L'9'; ++p) {
        if (saturated) continue;
        value = value * 10 - (*p - L'0');
        if (value < -static_cast<long long>(INT_MAX) - 1) saturated = true;
    }
    if (saturated) return negative ? INT_MIN : INT_MAX;
    if (negative) return static_cast<int>(value);
    return value < -static_cast<long long>(INT_MAX) ? INT_MAX : static_cast<int>(-value);
}

COLORREF ParseAnchorColour(const wchar_t* text) noexcept {
    if (text == nullptr) return CLR_INVALID;
    int red = 0;
    int green = 0;
    if (!ReadComponent(text, red) || red == -1) return CLR_INVALID;
    if (!ReadComponent(text, green) || green == -1) return CLR_INVALID;
    if (*text == L'\0') return CLR_INVALID;
    const int blue = ConvertDecimal(text);
    return static_cast<COLORREF>(red & 0xFF) | static_cast<COLORREF>(green & 0xFF) << 8 |
           static_cast<COLORREF>(blue & 0xFF) << 16;
}

}  // namespace quillon
