#include "about/link_colours.h"

#include "about/anchor_colour.h"
#include "common/unique_resource.h"

namespace quillon {

bool ReadColourText(HKEY key, const wchar_t* name, wchar_t (&buffer)[kColourTextChars]) noexcept {
    DWORD type = REG_NONE;
    DWORD bytes = sizeof(buffer);
    if (::RegQueryValueExW(key, name, nullptr, &type, reinterpret_cast<BYTE*>(buffer), &bytes) != ERROR_SUCCESS)
        return false;
    if (type != REG_SZ && type != REG_EXPAND_SZ) return false;
    if (bytes == 0) {
        buffer[0] = L'\0';
        return true;
    }
    if (bytes % sizeof(wchar_t) != 0) return false;
    return buffer[bytes / sizeof(wchar_t) - 1] == L'\0';
}

LinkColours ReadLinkColours(LinkColours defaults) noexcept {
    HKEY raw = nullptr;
    if (::RegOpenKeyExW(HKEY_CURRENT_USER, kLinkColourKey, 0, KEY_READ | KEY_WRITE, &raw) != ERROR_SUCCESS)
        return defaults;
    const UniqueRegKey key(raw);

    wchar_t text[kColourTextChars] = {};
    if (ReadColourText(key.Get(), kLinkColourValue, text)) {
        const COLORREF colour = ParseAnchorColour(text);
        if (colour != CLR_INVALID) defaults.link = colour;
    }
    if (ReadColourText(key.Get(), kVisitedColourValue, text)) {
        const COLORREF colour = ParseAnchorColour(text);
        if (colour != CLR_INVALID) defaults.visited = colour;
    }
    return defaults;
}

}  // namespace quillon
