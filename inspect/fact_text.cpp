#include "inspect/fact_text.h"

#include <cwchar>

#include "catalogue/section_entry.h"

namespace quillon {

namespace {

struct NamedBit {
    std::uint32_t bit;
    const wchar_t* name;
};

// The names people look for first come first; the rest follow in bit order.
constexpr NamedBit kAttributeNames[] = {
    {0x08000000u, L"SEC_COMMIT"},        {0x04000000u, L"SEC_RESERVE"},   {0x00800000u, L"SEC_FILE"},
    {0x01000000u, L"SEC_IMAGE"},         {0x10000000u, L"SEC_NOCACHE"},   {0x80000000u, L"SEC_LARGE_PAGES"},
    {0x00200000u, L"SEC_BASED"},         {0x00080000u, L"SEC_64K_PAGES"}, {0x00400000u, L"SEC_NO_CHANGE"},
    {0x02000000u, L"SEC_PROTECTED_IMAGE"}, {0x40000000u, L"SEC_WRITECOMBINE"},
};

constexpr NamedBit kAccessNames[] = {
    {SECTION_QUERY, L"query"},
    {SECTION_MAP_READ, L"map read"},
    {SECTION_MAP_WRITE, L"map write"},
    {SECTION_MAP_EXECUTE, L"map execute"},
    {SECTION_EXTEND_SIZE, L"extend size"},
    {READ_CONTROL, L"read control"},
    {WRITE_DAC, L"write DAC"},
    {WRITE_OWNER, L"write owner"},
    {DELETE, L"delete"},
    {SYNCHRONIZE, L"synchronize"},
};

template <std::size_t N>
std::wstring JoinNames(std::uint32_t value, const NamedBit (&names)[N], const wchar_t* separator) {
    std::wstring text;
    std::uint32_t rest = value;
    for (const NamedBit& named : names) {
        if ((value & named.bit) == 0) continue;
        if (!text.empty()) text += separator;
        text += named.name;
        rest &= ~named.bit;
    }
    if (rest != 0) {
        if (!text.empty()) text += separator;
        text += FormatHex32(rest);
    }
    if (text.empty()) text = L"none";
    return text + L" (" + FormatHex32(value) + L")";
}

std::wstring GroupedDecimal(std::uint64_t value) {
    std::wstring digits = std::to_wstring(value);
    std::wstring grouped;
    const std::size_t count = digits.size();
    for (std::size_t i = 0; i < count; ++i) {
        if (i != 0 && (count - i) % 3 == 0) grouped.push_back(L',');
        grouped.push_back(digits[i]);
    }
    return grouped;
}

}  // namespace

std::wstring FormatByteCount(std::uint64_t bytes) {
    return FormatSizeText(bytes) + L" (" + GroupedDecimal(bytes) + (bytes == 1 ? L" byte)" : L" bytes)");
}

std::wstring FormatHex32(std::uint32_t value) {
    wchar_t text[16];
    std::swprintf(text, sizeof(text) / sizeof(text[0]), L"0x%08X", static_cast<unsigned>(value));
    return text;
}

std::wstring DescribeSectionAttributes(std::uint32_t attributes) {
    return JoinNames(attributes, kAttributeNames, L" | ");
}

std::wstring DescribeSectionAccess(ACCESS_MASK access) {
    return JoinNames(static_cast<std::uint32_t>(access), kAccessNames, L", ");
}

std::wstring DescribeRegions(const std::vector<ViewRegion>& regions) {
    std::wstring text;
    std::uint64_t readable = 0;
    std::uint64_t unreadable = 0;
    for (const ViewRegion& region : regions) {
        text += FormatSizeText(region.begin) + L"-" + FormatSizeText(region.end);
        text += region.state == RegionState::Committed ? L" committed, " : L" reserved, ";
        text += region.readable ? L"readable\n" : L"unreadable\n";
        (region.readable ? readable : unreadable) += region.end - region.begin;
    }
    text += L"readable: " + FormatByteCount(readable) + L"; unreadable: " + FormatByteCount(unreadable);
    return text;
}

}  // namespace quillon
