#pragma once
// The hyperlink's colours, taken from the user's browser settings when they hold valid ones.
#include <windows.h>

namespace quillon {

struct LinkColours {
    COLORREF link = RGB(0, 0, 255);
    COLORREF visited = RGB(128, 0, 128);
};

// The settings key, under HKEY_CURRENT_USER, and its two values.
inline constexpr wchar_t kLinkColourKey[] = L"Software\\Microsoft\\Internet Explorer\\Settings";
inline constexpr wchar_t kLinkColourValue[] = L"Anchor Color";
inline constexpr wchar_t kVisitedColourValue[] = L"Anchor Color Visited";

// Room for "255,255,255" and its terminator; longer values are not colours we accept.
inline constexpr DWORD kColourTextChars = 12;

// Reads the string value `name` of `key` into `buffer`. Succeeds only for REG_SZ or REG_EXPAND_SZ
// data that fits the buffer and is either empty (read as "") or whole characters ending in a NUL.
bool ReadColourText(HKEY key, const wchar_t* name, wchar_t (&buffer)[kColourTextChars]) noexcept;

// `defaults` with each colour replaced by the registry's value when that value reads and parses.
// The key is opened for reading and writing (KEY_READ | KEY_WRITE), so a key the user may read but
// not write leaves both defaults in place.
LinkColours ReadLinkColours(LinkColours defaults = LinkColours{}) noexcept;

}  // namespace quillon
