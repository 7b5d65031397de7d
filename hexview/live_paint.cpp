#include "hexview/live_paint.h"

#include <algorithm>

#include "common/gdi_scopes.h"
#include "common/safe_read.h"
#include "hexview/hex_text.h"

namespace quillon {

COLORREF LiveShade(std::uint32_t age, COLORREF window) noexcept {
    const auto live = static_cast<COLORREF>(kLiveHighlight);
    if (age <= LiveWatch::kHoldMs) return live;
    if (age >= LiveWatch::kFadeMs) return window;
    const std::uint32_t span = LiveWatch::kFadeMs - LiveWatch::kHoldMs;
    const std::uint32_t t = age - LiveWatch::kHoldMs;  // 0..span: from the live colour to the window's
    const auto mix = [&](int shift) {
        const std::uint32_t a = (live >> shift) & 0xFF;
        const std::uint32_t b = (window >> shift) & 0xFF;
        return ((a * (span - t) + b * t) / span) << shift;
    };
    return static_cast<COLORREF>(mix(0) | mix(8) | mix(16));
}

void PaintLiveShades(HDC dc, const HexEditState& state, HFONT font, const HexColours& colours, const LiveWatch& live,
                     std::uint32_t now, std::int32_t top, std::int32_t bottom) noexcept {
    const std::int32_t lineHeight = std::max(state.lineHeight, 1);
    const std::int32_t cw = state.charWidth;
    const std::int32_t firstRow = std::max(top, 0) / lineHeight;
    const std::int32_t lastRow = std::max(bottom - 1, 0) / lineHeight;
    SelectionScope fontScope(dc, font);
    const COLORREF oldBack = ::GetBkColor(dc);
    const COLORREF oldText = ::GetTextColor(dc);
    ::SetTextColor(dc, colours.windowText);
    for (std::int32_t row = firstRow; row <= lastRow; ++row) {
        const std::int64_t rowStart = (std::int64_t{state.topRow} + row) * kBytesPerRow;
        if (rowStart >= state.size) break;
        const int count = static_cast<int>(std::min<std::int64_t>(kBytesPerRow, state.size - rowStart));
        unsigned char bytes[kBytesPerRow] = {};
        unsigned char readable[kBytesPerRow] = {};
        bool read = false;
        const std::int32_t y = row * lineHeight;
        for (int i = 0; i < count; ++i) {
            const std::int64_t pos = rowStart + i;
            const std::uint32_t age = live.Age(pos, now);
            const bool selected = pos >= state.selStart && pos < state.selEnd;
            if (age >= LiveWatch::kFadeMs || selected) continue;
            if (!read) {
                ReadReadableBytes(state.data + rowStart, bytes, readable, static_cast<std::size_t>(count));
                read = true;
            }
            wchar_t digits[2] = {kUnreadableDigit, kUnreadableDigit};
            wchar_t character = kUnreadableChar;
            if (readable[i]) {
                FormatByte(bytes[i], digits);
                character = DisplayChar(bytes[i]);
            }
            ::SetBkColor(dc, LiveShade(age, colours.window));
            const std::int32_t cellLeft = state.hexLeft + i * state.cellWidth;
            const RECT cell{cellLeft, y, cellLeft + state.cellWidth, y + lineHeight};
            ::ExtTextOutW(dc, cellLeft + cw / 2, y, ETO_OPAQUE | ETO_CLIPPED, &cell, digits, 2, nullptr);
            const std::int32_t charX = state.charLeft + i * cw;
            const RECT box{charX, y, charX + cw, y + lineHeight};
            ::ExtTextOutW(dc, charX, y, ETO_OPAQUE | ETO_CLIPPED, &box, &character, 1, nullptr);
        }
    }
    ::SetBkColor(dc, oldBack);
    ::SetTextColor(dc, oldText);
}

}  // namespace quillon
