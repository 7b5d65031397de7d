#include "hexview/offset_input.h"

namespace quillon {

namespace {

bool IsBlank(wchar_t c) noexcept { return c == L' ' || c == L'\t'; }

int DigitValue(wchar_t c, int radix) noexcept {
    int v = -1;
    if (c >= L'0' && c <= L'9') v = c - L'0';
    if (c >= L'A' && c <= L'F') v = c - L'A' + 10;
    if (c >= L'a' && c <= L'f') v = c - L'a' + 10;
    return v < radix ? v : -1;
}

}  // namespace

OffsetInput ParseOffsetInput(std::wstring_view text, std::int64_t caret, std::int64_t size) {
    OffsetInput result;
    while (!text.empty() && IsBlank(text.front())) text.remove_prefix(1);
    while (!text.empty() && IsBlank(text.back())) text.remove_suffix(1);
    int sign = 0;  // 0: absolute
    if (!text.empty() && (text.front() == L'+' || text.front() == L'-')) {
        sign = text.front() == L'+' ? 1 : -1;
        text.remove_prefix(1);
        while (!text.empty() && IsBlank(text.front())) text.remove_prefix(1);
    }
    int radix = 10;
    if (text.size() > 2 && text[0] == L'0' && (text[1] == L'x' || text[1] == L'X')) {
        radix = 16;
        text.remove_prefix(2);
    } else if (text.size() > 1 && (text.back() == L'h' || text.back() == L'H')) {
        radix = 16;
        text.remove_suffix(1);
    }
    if (text.empty()) {
        result.error = OffsetInputError::Unreadable;
        return result;
    }
    // Values beyond any section saturate here; the range check below refuses them.
    constexpr std::int64_t kCeiling = std::int64_t{1} << 48;
    std::int64_t value = 0;
    for (wchar_t c : text) {
        const int digit = DigitValue(c, radix);
        if (digit < 0) {
            result.error = OffsetInputError::Unreadable;
            return result;
        }
        value = value * radix + digit;
        if (value > kCeiling) value = kCeiling;
    }
    const std::int64_t target = sign == 0 ? value : caret + sign * value;
    if (target < 0) {
        result.error = OffsetInputError::BeforeStart;
    } else if (target > size) {
        result.error = OffsetInputError::BeyondEnd;
    }
    result.offset = target;
    return result;
}

const wchar_t* OffsetInputErrorText(OffsetInputError error) noexcept {
    switch (error) {
        case OffsetInputError::None: return L"";
        case OffsetInputError::Unreadable:
            return L"Type an offset: hexadecimal (0x1A2B or 1A2Bh), decimal (6699), or +/- relative to the caret.";
        case OffsetInputError::BeforeStart: return L"Offset is before the start of the section";
        case OffsetInputError::BeyondEnd: return L"Offset is beyond the end of the section";
    }
    return L"";
}

}  // namespace quillon
