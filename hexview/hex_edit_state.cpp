#include "hexview/hex_edit_state.h"

#include <algorithm>

namespace quillon {

namespace {
// Pixel coordinates are worked out in 64 bits (rows times line height can pass 2^31 for large data)
// and pinned to this range, which every caller's int holds.
constexpr std::int64_t kCoordinateLimit = std::int64_t{1} << 30;

std::int32_t PinCoordinate(std::int64_t value) noexcept {
    return static_cast<std::int32_t>(std::clamp(value, -kCoordinateLimit, kCoordinateLimit));
}
}  // namespace

std::int32_t ClampDataSize(std::uint64_t size) noexcept {
    return static_cast<std::int32_t>(std::min<std::uint64_t>(size, static_cast<std::uint64_t>(kMaxDataSize)));
}

std::int32_t CharacterCellWidth(std::int32_t maxCharWidth, std::int32_t digitAdvance) noexcept {
    if (digitAdvance > 0 && digitAdvance < maxCharWidth) return digitAdvance;
    return maxCharWidth;
}

void SetMetrics(HexEditState& state, std::int32_t lineHeight, std::int32_t charWidth) noexcept {
    state.lineHeight = std::max(lineHeight, 1);
    state.charWidth = std::max(charWidth, 1);
    const std::int32_t cw = state.charWidth;
    state.hexLeft = (17 * cw) / 2;
    state.cellWidth = 3 * cw;
    state.charLeft = 48 * cw + state.hexLeft + (3 * cw) / 2;
    state.visibleRows = state.clientHeight / state.lineHeight;
}

void SetData(HexEditState& state, const unsigned char* data, std::uint64_t size) noexcept {
    state.data = data;
    state.size = data ? ClampDataSize(size) : 0;
    state.caret = 0;
    state.selStart = 0;
    state.selEnd = 0;
    state.topRow = 0;
    state.lastRow = state.size / kBytesPerRow;
}

void SetClientSize(HexEditState& state, std::int32_t width, std::int32_t height) noexcept {
    state.clientWidth = std::max(width, 0);
    state.clientHeight = std::max(height, 0);
    state.visibleRows = state.clientHeight / state.lineHeight;
}

std::int32_t MaxTopRow(const HexEditState& state) noexcept {
    return std::max(0, state.lastRow - std::max(state.visibleRows - 1, 0));
}

std::int32_t ClampTopRow(const HexEditState& state, std::int64_t row) noexcept {
    return static_cast<std::int32_t>(std::clamp<std::int64_t>(row, 0, MaxTopRow(state)));
}

std::int32_t CaretShownRow(const HexEditState& state) noexcept {
    const std::int32_t row = state.caret / kBytesPerRow - (state.Has(hexflags::kRowEnd) ? 1 : 0);
    return std::max(row, 0);
}

ClientPoint CaretPoint(const HexEditState& state) noexcept {
    std::int64_t column = state.caret % kBytesPerRow;
    std::int64_t y = (std::int64_t{state.caret / kBytesPerRow} - state.topRow) * state.lineHeight;
    if (state.Has(hexflags::kRowEnd)) {
        column = kBytesPerRow;
        y -= state.lineHeight;
    }
    const std::int64_t x = state.Has(hexflags::kCharColumn) ? state.charLeft + column * state.charWidth
                                                              : state.hexLeft + column * state.cellWidth;
    return ClientPoint{PinCoordinate(x), PinCoordinate(y)};
}

std::int32_t HitTest(HexEditState& state, std::int32_t x, std::int32_t y) noexcept {
    std::int64_t row;
    if (y < 0) {
        row = -1;
    } else if (y >= state.clientHeight) {
        row = std::int64_t{state.visibleRows} + 1;
    } else {
        row = y / state.lineHeight;
    }
    // Raised to row 0 before the last-row test: with a single row, a point above the window must
    // still be held to the data's end, not given a full row's sixteen positions.
    row = std::max<std::int64_t>(row + state.topRow, 0);
    const bool lastRow = row >= state.lastRow;
    if (lastRow) row = state.lastRow;

    x = std::max(x, state.hexLeft);
    std::int64_t column;
    if (x < state.hexLeft + kBytesPerRow * state.cellWidth + state.charWidth) {
        column = (x - state.hexLeft) / state.cellWidth;
        state.Set(hexflags::kCharColumn, false);
    } else {
        column = (std::int64_t{x} - state.charLeft + state.charWidth / 2) / state.charWidth;
        state.Set(hexflags::kCharColumn, true);
    }
    state.Set(hexflags::kRowEnd, false);

    if (lastRow) return static_cast<std::int32_t>(std::min<std::int64_t>(row * kBytesPerRow + column, state.size));
    if (column < kBytesPerRow) return static_cast<std::int32_t>(row * kBytesPerRow + column);
    state.Set(hexflags::kRowEnd, true);
    return static_cast<std::int32_t>(row * kBytesPerRow + kBytesPerRow);
}

unsigned DragTimerInterval(const HexEditState& state, std::int32_t y) noexcept {
    const std::int64_t distance = y < 0 ? -std::int64_t{y} : std::int64_t{y} - state.clientHeight;
    return static_cast<unsigned>(std::max<std::int64_t>(400 - 16 * distance, 100));
}

std::int32_t ThumbRow(unsigned short messagePosition, std::int32_t trackPosition) noexcept {
    if (trackPosition >= 0 && (static_cast<std::uint32_t>(trackPosition) & 0xFFFFu) == messagePosition)
        return trackPosition;
    return messagePosition;
}

}  // namespace quillon
