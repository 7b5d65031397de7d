#include "hexview/data_inspector.h"

#include <cstdint>
#include <cstdio>
#include <cstring>
#include <cwchar>

namespace quillon {

namespace {

std::uint64_t Load(const unsigned char* bytes, std::size_t width, bool bigEndian) noexcept {
    std::uint64_t value = 0;
    for (std::size_t i = 0; i < width; ++i) {
        const std::size_t k = bigEndian ? i : width - 1 - i;
        value = (value << 8) | bytes[k];
    }
    return value;
}

void Append(std::wstring& out, const wchar_t* label, const wchar_t* text) {
    if (!out.empty() && out.back() != L'\n') out.append(L"  ");
    out.append(label);
    out.push_back(L' ');
    out.append(text);
}

}  // namespace

std::wstring FormatInspector(const unsigned char* bytes, std::size_t available, bool bigEndian) {
    std::wstring out;
    wchar_t text[40];
    const auto integer = [&](const wchar_t* u, const wchar_t* i, std::size_t width) {
        if (available < width) {
            Append(out, u, L"??");
            Append(out, i, L"??");
            return;
        }
        const std::uint64_t value = Load(bytes, width, bigEndian);
        std::swprintf(text, 40, L"%llu", static_cast<unsigned long long>(value));
        Append(out, u, text);
        // Sign-extend from the value's width.
        const unsigned shift = static_cast<unsigned>(64 - 8 * width);
        const auto signedValue = static_cast<std::int64_t>(value << shift) >> shift;
        std::swprintf(text, 40, L"%lld", static_cast<long long>(signedValue));
        Append(out, i, text);
    };
    // Two lines of about the same length, so that both fit the strip at the dialog's opening size:
    // the values up to four bytes wide, then the eight-byte ones.
    integer(L"u8", L"i8", 1);
    integer(L"u16", L"i16", 2);
    integer(L"u32", L"i32", 4);
    if (available < 4) {
        Append(out, L"f32", L"??");
    } else {
        const auto bits = static_cast<std::uint32_t>(Load(bytes, 4, bigEndian));
        float value;
        std::memcpy(&value, &bits, 4);
        std::swprintf(text, 40, L"%.9g", static_cast<double>(value));
        Append(out, L"f32", text);
    }
    out.push_back(L'\n');
    integer(L"u64", L"i64", 8);
    if (available < 8) {
        Append(out, L"f64", L"??");
    } else {
        const std::uint64_t bits = Load(bytes, 8, bigEndian);
        double value;
        std::memcpy(&value, &bits, 8);
        std::swprintf(text, 40, L"%.17g", value);
        Append(out, L"f64", text);
    }
    return out;
}

}  // namespace quillon
