#include "catalogue/section_entry.h"

namespace quillon {

std::wstring FormatSizeText(std::uint64_t size) {
    static const wchar_t kDigits[] = L"0123456789ABCDEF";
    wchar_t digits[16];
    int count = 0;
    do {
        digits[count++] = kDigits[size & 0xF];
        size >>= 4;
    } while (size != 0);
    std::wstring text = L"0x";
    while (count > 0) text.push_back(digits[--count]);
    return text;
}

}  // namespace quillon
