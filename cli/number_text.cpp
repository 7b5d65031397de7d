#include "cli/number_text.h"

namespace quillon::cli {

bool ParseCount(std::wstring_view text, std::uint64_t& value) noexcept {
    unsigned base = 10;
    if (text.size() > 2 && text[0] == L'0' && (text[1] == L'x' || text[1] == L'X')) {
        base = 16;
        text.remove_prefix(2);
    }
    if (text.empty()) return false;
    std::uint64_t result = 0;
    for (wchar_t c : text) {
        unsigned digit;
        if (c >= L'0' && c <= L'9')
            digit = static_cast<unsigned>(c - L'0');
        else if (base == 16 && c >= L'a' && c <= L'f')
            digit = static_cast<unsigned>(c - L'a' + 10);
        else if (base == 16 && c >= L'A' && c <= L'F')
            digit = static_cast<unsigned>(c - L'A' + 10);
        else
            return false;
        if (result > (UINT64_MAX - digit) / base) return false;
        result = result * base + digit;
    }
    value = result;
    return true;
}

std::string HexText(std::uint64_t value) {
    static const char kDigits[] = "0123456789ABCDEF";
    char digits[16];
    int count = 0;
    do {
        digits[count++] = kDigits[value & 0xF];
        value >>= 4;
    } while (value != 0);
    std::string text = "0x";
    while (count > 0) text.push_back(digits[--count]);
    return text;
}

}  // namespace quillon::cli
