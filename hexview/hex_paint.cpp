#include "hexview/hex_paint.h"

#include <algorithm>

#include "common/gdi_scopes.h"
#include "common/safe_read.h"
#include "hexview/hex_text.h"

namespace quillon {

namespace {

// Opaque text over `box` (or just the box's fill when there is no text).
void Draw(HDC dc, int x, int y, const RECT& box, const wchar_t* text, UINT length) noexcept {
    ::ExtTextOutW(dc, x, y, ETO_OPAQUE | ETO_CLIPPED, &box, text, length, nullptr);
}

void Fill(HDC dc, const RECT& box) noexcept {
    if (box.right > box.left && box.bottom > box.top) ::ExtTextOutW(dc, 0, 0, ETO_OPAQUE, &box, nullptr, 0, nullptr);
}

// Colours kept in the DC while painting, and put back afterwards.
class ColourScope {
public:
    explicit ColourScope(HDC dc) noexcept
        : dc_(dc), background_(::GetBkColor(dc)), text_(::GetTextColor(dc)), mode_(::GetBkMode(dc)) {}
    ~ColourScope() {
        ::SetBkColor(dc_, background_);
        ::SetTextColor(dc_, text_);
        ::SetBkMode(dc_, mode_);
    }
    ColourScope(const ColourScope&) = delete;
    ColourScope& operator=(const ColourScope&) = delete;

private:
    HDC dc_;
    COLORREF background_;
    COLORREF text_;
    int mode_;
};

// The bytes of the rows being painted, fetched a block at a time through the fault-tolerant read: a
// full screen is one read, and a page that cannot be read (reserved, no access, or past the end of a
// file that shrank) shows as unreadable instead of faulting.
class RowBytes {
public:
    RowBytes(const unsigned char* data, std::int64_t end) noexcept : data_(data), end_(end) {}

    // The byte at `pos`, false when it cannot be read.
    bool Get(std::int64_t pos, unsigned char& value) noexcept {
        if (pos < start_ || pos >= start_ + count_) Load(pos);
        const std::size_t i = static_cast<std::size_t>(pos - start_);
        value = bytes_[i];
        return readable_[i] != 0;
    }

private:
    static constexpr std::int64_t kBlock = 4096;

    void Load(std::int64_t pos) noexcept {
        start_ = pos;
        count_ = std::min(kBlock, end_ - pos);
        ReadReadableBytes(data_ + pos, bytes_, readable_, static_cast<std::size_t>(count_));
    }

    const unsigned char* data_;
    std::int64_t end_;
    std::int64_t start_ = 0;
    std::int64_t count_ = 0;
    unsigned char bytes_[kBlock];
    unsigned char readable_[kBlock];
};

}  // namespace

void PaintRows(HDC dc, const HexEditState& state, HFONT font, const HexColours& colours, std::int32_t top,
               std::int32_t bottom) noexcept {
    SelectionScope fontScope(dc, font);
    ColourScope colourScope(dc);
    ::SetBkMode(dc, OPAQUE);
    ::SetBkColor(dc, colours.window);
    ::SetTextColor(dc, colours.windowText);

    const std::int32_t lineHeight = std::max(state.lineHeight, 1);
    const std::int32_t cw = state.charWidth;
    top = std::max(top, 0);
    const std::int32_t firstRow = top / lineHeight;
    std::int32_t endRow = bottom / lineHeight;
    const std::int64_t dataEnd = std::int64_t{state.lastRow} - state.topRow;
    std::int32_t lastRowBytes = kBytesPerRow;
    if (endRow >= dataEnd) {
        endRow = static_cast<std::int32_t>(std::max<std::int64_t>(dataEnd, -1));
        lastRowBytes = state.size % kBytesPerRow;
    }

    std::int32_t y = firstRow * lineHeight;
    std::int64_t pos = (std::int64_t{state.topRow} + firstRow) * kBytesPerRow;
    // Only the rows of the band are read; their bytes end at the band's last row or the data's end.
    const std::int64_t bandEnd = std::min<std::int64_t>((std::int64_t{state.topRow} + endRow + 1) * kBytesPerRow,
                                                        state.size);
    RowBytes bytes(state.data, bandEnd);
    for (std::int32_t row = firstRow; row <= endRow; ++row) {
        const std::int32_t rowBottom = y + lineHeight;
        wchar_t offset[8];
        FormatOffset(static_cast<std::uint32_t>(pos), offset);
        Draw(dc, 0, y, RECT{0, y, state.hexLeft, rowBottom}, offset, 8);

        const std::int32_t count = row == endRow ? lastRowBytes : kBytesPerRow;
        bool highlight = false;
        for (std::int32_t i = 0; i < count; ++i, ++pos) {
            if (pos >= state.selStart) {
                if (pos < state.selEnd && !highlight) {
                    ::SetBkColor(dc, colours.highlight);
                    ::SetTextColor(dc, colours.highlightText);
                    highlight = true;
                } else if (pos >= state.selEnd && highlight) {
                    ::SetBkColor(dc, colours.window);
                    ::SetTextColor(dc, colours.windowText);
                    highlight = false;
                }
            }
            wchar_t digits[2] = {kUnreadableDigit, kUnreadableDigit};
            wchar_t character = kUnreadableChar;
            unsigned char value = 0;
            if (bytes.Get(pos, value)) {
                FormatByte(value, digits);
                character = DisplayChar(value);
            }
            const std::int32_t cellLeft = state.hexLeft + i * state.cellWidth;
            Draw(dc, cellLeft + cw / 2, y, RECT{cellLeft, y, cellLeft + state.cellWidth, rowBottom}, digits, 2);
            const std::int32_t charX = state.charLeft + i * cw;
            Draw(dc, charX, y, RECT{charX, y, charX + cw, rowBottom}, &character, 1);
        }
        if (highlight) {
            ::SetBkColor(dc, colours.window);
            ::SetTextColor(dc, colours.windowText);
        }
        Fill(dc, RECT{state.hexLeft + count * state.cellWidth, y, state.charLeft, rowBottom});
        Fill(dc, RECT{state.charLeft + count * cw, y, state.clientWidth, rowBottom});
        y = rowBottom;
    }
    if (y < bottom) Fill(dc, RECT{0, y, state.clientWidth, bottom});
}

}  // namespace quillon
