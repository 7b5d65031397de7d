// The hex viewer's interaction, driven directly: the key table, caret and selection moves with the
// rows they repaint, scrolling the caret into view, the scroll codes and the mouse drag.
#include <gtest/gtest.h>

#include <vector>

#include "hexview/hex_editor.h"

namespace quillon {
namespace {

using namespace hexflags;

// Records what the editor asks of its window.
struct RecordingSink : HexEditSink {
    std::vector<PixelBand> bands;
    int repaints = 0;
    std::vector<std::int64_t> scrolls;
    int scrollBarUpdates = 0;
    int scrollPositions = 0;
    std::vector<ClientPoint> carets;
    int copies = 0;

    void RepaintBands(const PixelBand* b, int count) override {
        ++repaints;
        bands.insert(bands.end(), b, b + count);
    }
    void ScrollContent(std::int64_t rows) override { scrolls.push_back(rows); }
    void UpdateScrollBar() override { ++scrollBarUpdates; }
    void SetScrollPosition() override { ++scrollPositions; }
    void PlaceCaret(ClientPoint point) override { carets.push_back(point); }
    void CopySelection() override { ++copies; }
    void Clear() { *this = RecordingSink(); }
};

// cw 8, 16-pixel lines, ten whole rows (165 pixels), 4096 bytes, with the focus.
class HexEditorTest : public ::testing::Test {
protected:
    void SetUp() override { Reset(4096); }
    void Reset(std::int32_t size) {
        SetMetrics(editor.State(), 16, 8);
        editor.Resize(640, 165);
        editor.SetData(bytes.data(), static_cast<std::uint64_t>(size));
        editor.GainFocus();
        sink.Clear();
    }
    HexEditState& S() { return editor.State(); }
    // Client point of the left edge of the cell of `position` in the current view.
    std::int32_t CellX(std::int32_t position) const { return 68 + (position % 16) * 24 + 2; }
    std::int32_t RowY(std::int32_t position) const { return (position / 16 - editor.State().topRow) * 16 + 3; }

    std::vector<unsigned char> bytes = std::vector<unsigned char>(8192);
    RecordingSink sink;
    HexEditor editor{sink};
};

struct KeyCase {
    const char* what;
    std::int32_t size, caret, selStart, selEnd;
    bool rowEnd;
    std::int32_t topRow;
    unsigned key;
    bool ctrl, shift;
    std::int32_t wantCaret, wantSelStart, wantSelEnd;
    bool wantRowEnd;
    std::int32_t wantTopRow;
};

TEST_F(HexEditorTest, KeyTable) {
    const KeyCase cases[] = {
        {"End on a full row", 4096, 5, 5, 5, false, 0, VK_END, false, false, 16, 16, 16, true, 0},
        {"End again does nothing", 4096, 16, 16, 16, true, 0, VK_END, false, false, 16, 16, 16, true, 0},
        {"Home from the end of a row", 4096, 32, 32, 32, true, 0, VK_HOME, false, false, 16, 16, 16, false, 0},
        {"Left from the end of a row", 4096, 16, 16, 16, true, 0, VK_LEFT, false, false, 15, 15, 15, false, 0},
        {"Right from the end of a row", 4096, 16, 16, 16, true, 0, VK_RIGHT, false, false, 17, 17, 17, false, 0},
        {"Up from the end of row 0", 4096, 16, 16, 16, true, 0, VK_UP, false, false, 16, 16, 16, true, 0},
        {"Up keeps RowEnd", 4096, 48, 48, 48, true, 0, VK_UP, false, false, 32, 32, 32, true, 0},
        {"Down keeps RowEnd", 4096, 32, 32, 32, true, 0, VK_DOWN, false, false, 48, 48, 48, true, 0},
        {"Up in row 0", 4096, 7, 7, 7, false, 0, VK_UP, false, false, 7, 7, 7, false, 0},
        {"Home inside a row", 4096, 37, 37, 37, false, 0, VK_HOME, false, false, 32, 32, 32, false, 0},
        {"End on the last, partial row", 4100, 4097, 4097, 4097, false, 247, VK_END, false, false, 4100, 4100, 4100,
         false, 247},
        {"Ctrl+End with 4096 bytes", 4096, 0, 0, 0, false, 0, VK_END, true, false, 4096, 4096, 4096, false, 247},
        {"Ctrl+End from the end of a row", 4096, 16, 16, 16, true, 0, VK_END, true, false, 4096, 4096, 4096, false,
         247},
        {"Ctrl+Home", 4096, 4000, 4000, 4000, false, 247, VK_HOME, true, false, 0, 0, 0, false, 0},
        {"Ctrl+Shift+Home selects to the start", 4096, 50, 50, 50, false, 0, VK_HOME, true, true, 0, 0, 50, false, 0},
        {"Down on the last row", 4100, 4098, 4098, 4098, false, 247, VK_DOWN, false, false, 4098, 4098, 4098, false,
         247},
        {"Down onto the shorter last row", 4100, 4090, 4090, 4090, false, 247, VK_DOWN, false, false, 4100, 4100,
         4100, false, 247},
        {"Down from the end of the last full row", 4096, 4096, 4096, 4096, true, 247, VK_DOWN, false, false, 4096,
         4096, 4096, false, 247},
        {"Ctrl+Up", 4096, 40, 40, 40, false, 0, VK_UP, true, false, 40, 40, 40, false, 0},
        {"Ctrl+Down", 4096, 40, 40, 40, false, 0, VK_DOWN, true, false, 40, 40, 40, false, 0},
        {"Left at the start", 4096, 0, 0, 0, false, 0, VK_LEFT, false, false, 0, 0, 0, false, 0},
        {"Right at the end", 4096, 4096, 4096, 4096, false, 247, VK_RIGHT, false, false, 4096, 4096, 4096, false, 247},
        {"PgUp at the top", 4096, 37, 37, 37, false, 0, VK_PRIOR, false, false, 37, 37, 37, false, 0},
        {"PgDn a page", 4096, 37, 37, 37, false, 0, VK_NEXT, false, false, 197, 197, 197, false, 10},
        {"Ctrl+PgDn as PgDn", 4096, 37, 37, 37, false, 0, VK_NEXT, true, false, 197, 197, 197, false, 10},
        {"Shift+PgDn selects a page", 4096, 37, 37, 37, false, 0, VK_NEXT, false, true, 197, 37, 197, false, 10},
        {"PgDn at the end", 4096, 4000, 4000, 4000, false, 247, VK_NEXT, false, false, 4000, 4000, 4000, false, 247},
        {"PgDn near the end scrolls what is left", 4096, 3900, 3900, 3900, false, 240, VK_NEXT, false, false, 4012,
         4012, 4012, false, 247},
        {"PgUp a page", 4096, 200, 200, 200, false, 12, VK_PRIOR, false, false, 40, 40, 40, false, 2},
        {"PgUp onto the end of row -1", 4096, 160, 160, 160, true, 10, VK_PRIOR, false, false, 160, 160, 160, true, 0},
        {"PgUp past the data's start", 4096, 20, 20, 20, false, 5, VK_PRIOR, false, false, 20, 20, 20, false, 0},
        {"Shift+Right from an empty selection", 4096, 10, 10, 10, false, 0, VK_RIGHT, false, true, 11, 10, 11, false,
         0},
        {"Shift+Right at the selection's start", 4096, 10, 10, 12, false, 0, VK_RIGHT, false, true, 11, 11, 12, false,
         0},
        {"Shift+Up over the anchor", 4096, 40, 30, 40, false, 0, VK_UP, false, true, 24, 24, 30, false, 0},
        {"Right without Shift drops the selection", 4096, 12, 10, 12, false, 0, VK_RIGHT, false, false, 13, 13, 13,
         false, 0},
        {"VK_SELECT", 4096, 12, 10, 12, false, 0, VK_SELECT, false, false, 12, 10, 12, false, 0},
        {"VK_SNAPSHOT", 4096, 12, 10, 12, false, 0, VK_SNAPSHOT, true, true, 12, 10, 12, false, 0},
        {"a letter", 4096, 12, 10, 12, false, 0, 'A', false, false, 12, 10, 12, false, 0},
        {"F5", 4096, 12, 10, 12, false, 0, VK_F5, false, false, 12, 10, 12, false, 0},
        {"Delete", 4096, 12, 10, 12, false, 0, VK_DELETE, false, false, 12, 10, 12, false, 0},
        {"Shift+Insert", 4096, 12, 10, 12, false, 0, VK_INSERT, false, true, 12, 10, 12, false, 0},
    };
    for (const KeyCase& c : cases) {
        SCOPED_TRACE(c.what);
        Reset(c.size);
        S().caret = c.caret;
        S().selStart = c.selStart;
        S().selEnd = c.selEnd;
        S().Set(kRowEnd, c.rowEnd);
        S().topRow = c.topRow;
        editor.KeyDown(c.key, c.ctrl, c.shift);
        EXPECT_EQ(S().caret, c.wantCaret);
        EXPECT_EQ(S().selStart, c.wantSelStart);
        EXPECT_EQ(S().selEnd, c.wantSelEnd);
        EXPECT_EQ(S().Has(kRowEnd), c.wantRowEnd);
        EXPECT_EQ(S().topRow, c.wantTopRow);
    }
}

TEST_F(HexEditorTest, ShiftLeftFlipsPastTheAnchor) {
    editor.MoveCaret(10, false);
    for (int i = 0; i < 3; ++i) editor.KeyDown(VK_RIGHT, false, true);
    EXPECT_EQ(S().selStart, 10);
    EXPECT_EQ(S().selEnd, 13);
    for (int i = 0; i < 5; ++i) editor.KeyDown(VK_LEFT, false, true);
    EXPECT_EQ(S().caret, 8);
    EXPECT_EQ(S().selStart, 8);
    EXPECT_EQ(S().selEnd, 10);
    editor.KeyDown(VK_DOWN, false, true);  // back over the anchor the other way
    EXPECT_EQ(S().caret, 24);
    EXPECT_EQ(S().selStart, 10);
    EXPECT_EQ(S().selEnd, 24);
}

TEST_F(HexEditorTest, EditingKeysLeaveTheBytesAndCopyOnlyWhereTheyCopy) {
    struct Case {
        unsigned key;
        bool ctrl, shift;
        int copies;
    } cases[] = {{VK_INSERT, true, false, 1},  {VK_DELETE, false, true, 1}, {VK_INSERT, false, false, 0},
                 {VK_INSERT, false, true, 0},  {VK_INSERT, true, true, 0},  {VK_DELETE, false, false, 0},
                 {VK_DELETE, true, false, 0},  {VK_DELETE, true, true, 0}};
    for (const Case& c : cases) {
        SCOPED_TRACE(testing::Message() << c.key << " ctrl " << c.ctrl << " shift " << c.shift);
        Reset(4096);
        editor.MoveCaret(10, false);
        editor.MoveCaret(30, true);
        sink.Clear();
        editor.KeyDown(c.key, c.ctrl, c.shift);
        EXPECT_EQ(sink.copies, c.copies);
        EXPECT_EQ(S().size, 4096);
        EXPECT_EQ(S().caret, 30);
        EXPECT_EQ(S().selStart, 10);
        EXPECT_EQ(S().selEnd, 30);
    }
}

TEST_F(HexEditorTest, MovesRepaintOnlyTheRowsWhoseHighlightChanged) {
    editor.MoveCaret(5, false);
    EXPECT_EQ(sink.repaints, 0);  // empty to empty

    editor.MoveCaret(6, true);  // a new selection: its rows
    ASSERT_EQ(sink.bands.size(), 1u);
    EXPECT_EQ(sink.bands[0].top, 0);
    EXPECT_EQ(sink.bands[0].bottom, 16);

    sink.Clear();
    editor.MoveCaret(40, true);  // one end moved: from the old end to the new, rows 0 to 2
    ASSERT_EQ(sink.bands.size(), 1u);
    EXPECT_EQ(sink.bands[0].top, 0);
    EXPECT_EQ(sink.bands[0].bottom, 48);

    sink.Clear();
    editor.MoveCaret(2, false);  // collapsed: the old selection's rows
    ASSERT_EQ(sink.bands.size(), 1u);
    EXPECT_EQ(sink.bands[0].bottom, 48);

    // Both ends change when extending flips the selection over its anchor: two ranges.
    editor.MoveCaret(40, false);
    editor.MoveCaret(20, true);  // 20..40, caret at 20
    sink.Clear();
    editor.MoveCaret(50, true);  // 40..50
    ASSERT_EQ(sink.bands.size(), 2u);
    EXPECT_EQ(sink.bands[0].top, 16);   // 20..40: rows 1-2
    EXPECT_EQ(sink.bands[0].bottom, 48);
    EXPECT_EQ(sink.bands[1].top, 32);   // 40..50: rows 2-3
    EXPECT_EQ(sink.bands[1].bottom, 64);
    EXPECT_EQ(sink.repaints, 1);        // one DC for both
}

TEST_F(HexEditorTest, RepaintBandsAreClippedToTheClientArea) {
    editor.LoseFocus();  // no scrolling, so the view stays where it is put
    S().topRow = 100;
    editor.MoveCaret(0, false);
    editor.MoveCaret(40, true);  // rows 0-2, far above the view
    EXPECT_EQ(sink.repaints, 0);
    editor.MoveCaret(95 * 16, false);  // collapsing repaints the old range: still above the view
    editor.MoveCaret(115 * 16, true);  // rows 95-115 over a view of rows 100-110
    ASSERT_EQ(sink.bands.size(), 1u);
    EXPECT_EQ(sink.bands[0].top, 0);
    EXPECT_EQ(sink.bands[0].bottom, 165);
}

TEST_F(HexEditorTest, CaretIsScrolledIntoViewOnlyWithTheFocus) {
    editor.LoseFocus();
    editor.MoveCaret(1000, false);
    EXPECT_EQ(S().topRow, 0);
    EXPECT_TRUE(sink.scrolls.empty());
    EXPECT_TRUE(sink.carets.empty());

    editor.GainFocus();
    editor.MoveCaret(1000, false);  // row 62: it ends on the last whole row, 9
    EXPECT_EQ(S().topRow, 53);
    ASSERT_EQ(sink.scrolls.size(), 1u);
    EXPECT_EQ(sink.scrolls[0], -53);
    EXPECT_EQ(sink.scrollBarUpdates, 1);
    ASSERT_FALSE(sink.carets.empty());
    EXPECT_EQ(sink.carets.back().y, 9 * 16);

    editor.MoveCaret(500, false);  // row 31, above the view: it ends on the top row
    EXPECT_EQ(S().topRow, 31);
    EXPECT_EQ(sink.scrolls.back(), 22);
    EXPECT_EQ(sink.carets.back().y, 0);

    sink.Clear();
    editor.MoveCaret(520, false);  // visible: no scroll, the caret is placed
    EXPECT_TRUE(sink.scrolls.empty());
    EXPECT_EQ(sink.carets.size(), 1u);
}

TEST_F(HexEditorTest, ClientLowerThanOneLineScrollsTheCaretOntoTheTopRow) {
    editor.Resize(640, 10);
    EXPECT_EQ(S().visibleRows, 0);
    editor.MoveCaret(100, false);
    EXPECT_EQ(S().topRow, 6);
    editor.KeyDown(VK_END, true, false);
    EXPECT_EQ(S().topRow, S().lastRow);  // never past the last row
    editor.KeyDown(VK_NEXT, false, false);
    EXPECT_EQ(S().caret, 4096);
}

TEST_F(HexEditorTest, ScrollCodes) {
    struct Case {
        const char* what;
        std::int32_t from;
        int code;
        std::int32_t thumb;
        std::int32_t want;
    } cases[] = {
        {"line up at the top", 0, SB_LINEUP, 0, 0},
        {"line down", 0, SB_LINEDOWN, 0, 1},
        {"line up", 5, SB_LINEUP, 0, 4},
        {"page down", 0, SB_PAGEDOWN, 0, 10},
        {"page up from row 5", 5, SB_PAGEUP, 0, 0},
        {"page down at the end", 247, SB_PAGEDOWN, 0, 247},
        {"thumb track", 0, SB_THUMBTRACK, 100, 100},
        {"thumb position", 3, SB_THUMBPOSITION, 200, 200},
        {"thumb past the end", 0, SB_THUMBTRACK, 100000, 247},
        {"top does not jump", 50, SB_TOP, 0, 50},
        {"bottom does not jump", 50, SB_BOTTOM, 0, 50},
        {"end scroll", 50, SB_ENDSCROLL, 0, 50},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        Reset(4096);
        editor.MoveCaret(37, false);
        S().topRow = c.from;
        sink.Clear();
        editor.ScrollToRow(c.code, c.thumb);
        EXPECT_EQ(S().topRow, c.want);
        EXPECT_EQ(S().caret, 37);  // the caret keeps its place in the data
        EXPECT_EQ(sink.scrollPositions, 1);
        if (c.want != c.from) {
            ASSERT_EQ(sink.scrolls.size(), 1u);
            EXPECT_EQ(sink.scrolls[0], c.from - c.want);
            ASSERT_EQ(sink.carets.size(), 1u);
            EXPECT_EQ(sink.carets[0].y, (2 - c.want) * 16);
        } else {
            EXPECT_TRUE(sink.scrolls.empty());
        }
    }
    // The next key moves the caret from where it was and brings it back into view.
    Reset(4096);
    editor.MoveCaret(37, false);
    editor.ScrollToRow(SB_THUMBTRACK, 200);
    editor.KeyDown(VK_RIGHT, false, false);
    EXPECT_EQ(S().caret, 38);
    EXPECT_EQ(S().topRow, 2);
}

TEST_F(HexEditorTest, LargestDataStaysInRange) {
    Reset(0x7FFFF000);  // the editor never reads the bytes
    editor.KeyDown(VK_END, true, false);
    EXPECT_EQ(S().caret, 0x7FFFF000);
    EXPECT_EQ(S().topRow, 0x7FFFF00 - 9);
    editor.KeyDown(VK_HOME, true, true);  // select everything
    EXPECT_EQ(S().selStart, 0);
    EXPECT_EQ(S().selEnd, 0x7FFFF000);
    EXPECT_EQ(S().topRow, 0);
    for (const PixelBand& band : sink.bands) {
        EXPECT_GE(band.top, 0);
        EXPECT_LE(band.bottom, 165);
    }
    editor.ScrollToRow(SB_THUMBTRACK, 0x7FFFFFFF);
    EXPECT_EQ(S().topRow, 0x7FFFF00 - 9);
    editor.KeyDown(VK_END, true, false);
    editor.ScrollToRow(SB_THUMBTRACK, 0x7FFFF00 - 14);
    editor.KeyDown(VK_NEXT, false, false);  // the view scrolls five rows; the caret cannot follow past the end
    EXPECT_EQ(S().topRow, 0x7FFFF00 - 9);
    EXPECT_EQ(S().caret, 0x7FFFF000);
}

TEST_F(HexEditorTest, DragBelowTheWindowScrollsTwoRowsPerTickToTheEnd) {
    editor.ButtonDown(CellX(0), RowY(0), false);
    ASSERT_TRUE(S().Has(kDragging));
    EXPECT_EQ(editor.DragTo(CellX(0), 165 + 40), 100u);
    std::vector<std::int32_t> tops{S().topRow};
    for (int tick = 0; tick < 200 && S().caret < S().size; ++tick) {
        EXPECT_EQ(editor.DragTick(), 100u);
        tops.push_back(S().topRow);
    }
    EXPECT_EQ(S().caret, 4096);
    EXPECT_EQ(S().selStart, 0);
    EXPECT_EQ(S().selEnd, 4096);
    EXPECT_EQ(S().topRow, 247);
    for (size_t i = 1; i < tops.size(); ++i) {
        SCOPED_TRACE(i);
        EXPECT_EQ(tops[i] - tops[i - 1], std::min(2, 247 - tops[i - 1]));
    }
    EXPECT_TRUE(editor.EndDrag());
    EXPECT_EQ(editor.DragTick(), 0u);  // no drag, no move
    EXPECT_FALSE(editor.EndDrag());
}

TEST_F(HexEditorTest, ClicksShiftClicksAndDoubleClicks) {
    editor.ButtonDown(CellX(50), RowY(50), false);
    editor.EndDrag();
    editor.ButtonDown(CellX(20), RowY(20), true);
    editor.EndDrag();
    EXPECT_EQ(S().selStart, 20);
    EXPECT_EQ(S().selEnd, 50);

    editor.ButtonDown(CellX(37), RowY(37), false);
    editor.EndDrag();
    editor.DoubleClick();
    EXPECT_EQ(S().selStart, 37);
    EXPECT_EQ(S().selEnd, 38);
    EXPECT_EQ(S().caret, 38);

    // A double-click at the end of a full row selects the next byte and draws the caret after it.
    editor.ButtonDown(600, RowY(16), false);
    EXPECT_EQ(S().caret, 32);
    EXPECT_TRUE(S().Has(kRowEnd));
    editor.EndDrag();
    editor.DoubleClick();
    EXPECT_EQ(S().selStart, 32);
    EXPECT_EQ(S().selEnd, 33);
    EXPECT_FALSE(S().Has(kRowEnd));
    EXPECT_EQ(CaretPoint(S()).y, 2 * 16);
}

TEST_F(HexEditorTest, FirstClickWithoutFocusDoesNotScroll) {
    editor.LoseFocus();
    editor.ButtonDown(CellX(160), 160, false);  // the partly shown row 10
    editor.EndDrag();
    EXPECT_EQ(S().caret, 160);
    EXPECT_EQ(S().topRow, 0);
    editor.GainFocus();
    editor.ButtonDown(CellX(160), 160, false);
    EXPECT_EQ(S().topRow, 1);
}

}  // namespace
}  // namespace quillon
