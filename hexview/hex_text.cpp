#include "hexview/hex_text.h"

namespace quillon {

namespace {
constexpr wchar_t kDigits[] = L"0123456789ABCDEF";
}

void FormatOffset(std::uint32_t offset, wchar_t out[8]) noexcept {
    for (int i = 7; i >= 0; --i) {
        out[i] = kDigits[offset & 0xF];
        offset >>= 4;
    }
}

void FormatByte(unsigned char b, wchar_t out[2]) noexcept {
    out[0] = kDigits[b >> 4];
    out[1] = kDigits[b & 0xF];
}

}  // namespace quillon
