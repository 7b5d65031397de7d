// The hex viewer's plain arithmetic: layout, hit testing, the caret's place, the drag interval, the
// thumb position, size clamping and the character rule.
#include <gtest/gtest.h>

#include <cwchar>
#include <string>

#include "hexview/hex_edit_state.h"
#include "hexview/hex_text.h"

namespace quillon {
namespace {

using namespace hexflags;

// cw 8, 16-pixel lines, ten whole rows, 4096 bytes.
HexEditState MakeState(std::int32_t size = 4096, std::int32_t charWidth = 8) {
    HexEditState state;
    SetClientSize(state, 640, 165);
    SetMetrics(state, 16, charWidth);
    static unsigned char bytes[1];
    SetData(state, bytes, static_cast<std::uint64_t>(size));
    return state;
}

TEST(HexLayout, ColumnsFollowTheCharacterWidth) {
    struct Case {
        std::int32_t cw, hexLeft, cellWidth, charLeft;
    } cases[] = {{8, 68, 24, 464}, {7, 59, 21, 405}, {9, 76, 27, 521}, {1, 8, 3, 57}};
    for (const Case& c : cases) {
        SCOPED_TRACE(c.cw);
        const HexEditState state = MakeState(4096, c.cw);
        EXPECT_EQ(state.hexLeft, c.hexLeft);
        EXPECT_EQ(state.cellWidth, c.cellWidth);
        EXPECT_EQ(state.charLeft, c.charLeft);
    }
    EXPECT_EQ(MakeState().hexLeft + 16 * MakeState().cellWidth, 452);  // the cells end before the gap
}

TEST(HexLayout, CellWidthIsTheAdvanceOfAMonospaceFace) {
    EXPECT_EQ(CharacterCellWidth(8, 8), 8);    // bitmap Courier: widest and advance agree
    EXPECT_EQ(CharacterCellWidth(17, 8), 8);   // a scalable face with a few wide glyphs
    EXPECT_EQ(CharacterCellWidth(8, 0), 8);    // no measurement: the widest character
    EXPECT_EQ(CharacterCellWidth(8, 10), 8);   // never wider than the widest character
}

TEST(HexLayout, SizeGivesTheLastRowAndClampsToThirtyTwoBits) {
    struct Case {
        std::uint64_t size;
        std::int32_t stored, lastRow;
    } cases[] = {{0, 0, 0},
                 {15, 15, 0},
                 {16, 16, 1},
                 {4096, 4096, 256},
                 {4097, 4097, 256},
                 {0x7FFFF000ull, 0x7FFFF000, 0x7FFFF00},
                 {0x80000000ull, 0x7FFFF000, 0x7FFFF00},
                 {0xFFFFFFFFull, 0x7FFFF000, 0x7FFFF00},
                 {0x140000000ull, 0x7FFFF000, 0x7FFFF00}};
    for (const Case& c : cases) {
        SCOPED_TRACE(c.size);
        HexEditState state = MakeState();
        state.caret = state.selStart = 3;
        state.selEnd = 9;
        state.topRow = 7;
        SetData(state, reinterpret_cast<const unsigned char*>(&state), c.size);
        EXPECT_EQ(state.size, c.stored);
        EXPECT_EQ(state.lastRow, c.lastRow);
        EXPECT_EQ(state.caret, 0);
        EXPECT_EQ(state.selStart, 0);
        EXPECT_EQ(state.selEnd, 0);
        EXPECT_EQ(state.topRow, 0);
    }
    HexEditState state = MakeState();
    SetData(state, nullptr, 4096);  // no bytes at all: nothing to show, nothing to read
    EXPECT_EQ(state.size, 0);
}

TEST(HexLayout, VisibleRowsAndTheTopRowRange) {
    HexEditState state = MakeState();
    EXPECT_EQ(state.visibleRows, 10);  // 165 / 16: a partly shown row does not count
    EXPECT_EQ(MaxTopRow(state), 247);  // 257 rows, ten on screen
    EXPECT_EQ(ClampTopRow(state, -5), 0);
    EXPECT_EQ(ClampTopRow(state, 100000), 247);
    SetClientSize(state, 640, 15);  // less than a line
    EXPECT_EQ(state.visibleRows, 0);
    EXPECT_EQ(MaxTopRow(state), 256);
    SetData(state, state.data, 32);
    SetClientSize(state, 640, 165);
    EXPECT_EQ(MaxTopRow(state), 0);  // everything fits
}

TEST(HexHitTest, PointsMapToPositionsAndColumns) {
    struct Case {
        const char* what;
        std::int32_t size, topRow, x, y;
        std::int32_t position;
        bool charColumn, rowEnd;
    } cases[] = {
        {"offset column counts as the first cell", 4096, 0, 10, 5, 0, false, false},
        {"a cell", 4096, 0, 68 + 3 * 24 + 5, 2 * 16 + 3, 35, false, false},
        {"right half of a cell is still that cell", 4096, 0, 68 + 4 * 24 - 1, 0, 3, false, false},
        {"scrolled view", 4096, 5, 68, 16, 6 * 16, false, false},
        {"gap up to one character past the cells: end of the row", 4096, 0, 459, 0, 16, false, true},
        {"gap beyond that: character column", 4096, 0, 460, 0, 0, true, false},
        {"nearest character boundary", 4096, 0, 464 + 2 * 8 + 4, 16, 16 + 3, true, false},
        {"past the sixteenth character of a full row", 4096, 0, 600, 16, 32, true, true},
        {"far right of a full row", 4096, 0, 30000, 0, 16, true, true},
        {"below the data: the last row", 40, 0, 68 + 3 * 24, 5 * 16, 35, false, false},
        {"below the data, past its end", 40, 0, 68 + 12 * 24, 5 * 16, 40, false, false},
        {"right of the last row's characters", 40, 0, 30000, 2 * 16, 40, true, false},
        {"above the window: the row above the top", 4096, 3, 68, -5, 2 * 16, false, false},
        {"above the window at the top: row 0", 4096, 0, 68 + 24, -5, 1, false, false},
        {"below the window: two rows below the last whole row", 4096, 0, 68, 165, 11 * 16, false, false},
        {"one row of data, above the window, far right", 5, 0, 30000, -30, 5, true, false},
        {"no data at all", 0, 0, 300, 50, 0, false, false},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        HexEditState state = MakeState(c.size);
        state.topRow = c.topRow;
        state.flags = (c.charColumn ? 0 : kCharColumn) | (c.rowEnd ? 0 : kRowEnd);  // the opposite, to see them change
        EXPECT_EQ(HitTest(state, c.x, c.y), c.position);
        EXPECT_EQ(state.Has(kCharColumn), c.charColumn);
        EXPECT_EQ(state.Has(kRowEnd), c.rowEnd);
    }
}

TEST(HexCaretPoint, CellOrCharacterOfTheShownRow) {
    HexEditState state = MakeState();
    state.caret = 16 * 3 + 5;
    state.topRow = 1;
    EXPECT_EQ(CaretPoint(state).x, 68 + 5 * 24);
    EXPECT_EQ(CaretPoint(state).y, 2 * 16);
    state.Set(kCharColumn, true);
    EXPECT_EQ(CaretPoint(state).x, 464 + 5 * 8);
    state.caret = 32;
    state.Set(kRowEnd, true);  // after the sixteenth byte of row 1
    EXPECT_EQ(CaretShownRow(state), 1);
    EXPECT_EQ(CaretPoint(state).x, 464 + 16 * 8);
    EXPECT_EQ(CaretPoint(state).y, 0);
    state.Set(kCharColumn, false);
    EXPECT_EQ(CaretPoint(state).x, 452);

    // Rows far from the view in the largest data: no overflow, still far outside the client area.
    HexEditState big = MakeState(0x7FFFF000);
    big.caret = big.size;
    EXPECT_GT(CaretPoint(big).y, 1 << 20);
    big.topRow = big.lastRow;
    big.caret = 0;
    EXPECT_LT(CaretPoint(big).y, -(1 << 20));
}

TEST(HexDrag, TimerIntervalGrowsFasterWithDistance) {
    const HexEditState state = MakeState();  // 165 pixels high
    struct Case {
        std::int32_t y;
        unsigned interval;
    } cases[] = {{-1, 384}, {-10, 240}, {-18, 112}, {-19, 100}, {-500, 100}, {165, 400},
                 {166, 384}, {175, 240}, {1000, 100}, {100, 1440}, {0, 3040}};
    for (const Case& c : cases) {
        SCOPED_TRACE(c.y);
        EXPECT_EQ(DragTimerInterval(state, c.y), c.interval);
    }
}

TEST(HexThumb, TrackingPositionReachesRowsBeyondSixteenBits) {
    EXPECT_EQ(ThumbRow(100, 100), 100);
    EXPECT_EQ(ThumbRow(0x1234, 0x51234), 0x51234);      // live tracking: the 32-bit value
    EXPECT_EQ(ThumbRow(0xFFFF, 0x7FFFFFF), 0x7FFFFFF);
    EXPECT_EQ(ThumbRow(300, 70000), 300);               // a message made by someone else: its own value
    EXPECT_EQ(ThumbRow(5, -1), 5);
}

TEST(HexText, CharacterRuleAndHexDigits) {
    for (int b = 0; b < 256; ++b) {
        SCOPED_TRACE(b);
        const bool control = b < 0x20 || (b >= 0x80 && b < 0xA0);
        EXPECT_EQ(DisplayChar(static_cast<unsigned char>(b)), control ? L'.' : static_cast<wchar_t>(b));

        wchar_t expected[3];
        std::swprintf(expected, 3, L"%02X", b);
        wchar_t digits[2];
        FormatByte(static_cast<unsigned char>(b), digits);
        EXPECT_EQ(std::wstring(digits, 2), std::wstring(expected));
    }
    for (std::uint32_t offset : {0u, 0x10u, 0x1000u, 0xABCDEF0u, 0x7FFFF000u, 0xFFFFFFFFu}) {
        wchar_t expected[9];
        std::swprintf(expected, 9, L"%08X", offset);
        wchar_t digits[8];
        FormatOffset(offset, digits);
        EXPECT_EQ(std::wstring(digits, 8), std::wstring(expected));
    }
}

}  // namespace
}  // namespace quillon
