#pragma once
// The state of one hex viewer control and the arithmetic that follows from it alone: the column
// geometry, the last row, the range of the top row, where the caret is drawn and which position a
// client point hits. Nothing here touches a window.
#include <cstdint>

namespace quillon {

namespace hexflags {
constexpr std::uint32_t kFocus = 0x01;       // the control has the focus and owns a caret
constexpr std::uint32_t kDragging = 0x02;    // the left button went down: capture and drag timer run
constexpr std::uint32_t kCharColumn = 0x04;  // the caret is drawn in the character column
constexpr std::uint32_t kRowEnd = 0x10;      // the caret is drawn after the sixteenth cell of the row above
}  // namespace hexflags

constexpr int kBytesPerRow = 16;

// The largest number of bytes a control shows: the state counts in signed 32 bits, and a 64-bit view
// may be larger. Whole pages, so the last row stays the empty end-position row of a page-sized view.
constexpr std::int32_t kMaxDataSize = 0x7FFFF000;

// Clamps a byte count (a view's size, or HEM_SETDATA's wParam) to what the state can hold.
std::int32_t ClampDataSize(std::uint64_t size) noexcept;

struct HexEditState {
    const unsigned char* data = nullptr;  // owned by the creator; never written
    std::int32_t size = 0;
    std::int32_t caret = 0;               // 0..size; position p lies before byte p
    std::int32_t selStart = 0;            // selection [selStart, selEnd), selStart <= selEnd
    std::int32_t selEnd = 0;
    std::int32_t topRow = 0;
    std::int32_t lastRow = 0;             // the row holding the end position: size / 16
    std::int32_t clientWidth = 0;
    std::int32_t clientHeight = 0;
    std::int32_t visibleRows = 0;         // whole rows only
    std::int32_t lineHeight = 1;
    std::int32_t charWidth = 1;
    std::int32_t hexLeft = 0;
    std::int32_t cellWidth = 0;
    std::int32_t charLeft = 0;
    std::uint32_t flags = 0;
    std::int32_t lastMouseX = 0;
    std::int32_t lastMouseY = 0;

    bool Has(std::uint32_t flag) const noexcept { return (flags & flag) != 0; }
    void Set(std::uint32_t flag, bool on) noexcept { flags = on ? (flags | flag) : (flags & ~flag); }
};

// The width of one character cell of the control's fixed-pitch font. For the bitmap "Courier" the
// widest character (tmMaxCharWidth) is the advance of every character; a scalable stand-in (Wine maps
// "Courier" to a TrueType monospace face) can hold a few wide glyphs that double tmMaxCharWidth and
// would spread the columns far apart. The advance of a digit is then the cell everything is drawn in.
std::int32_t CharacterCellWidth(std::int32_t maxCharWidth, std::int32_t digitAdvance) noexcept;

// Font metrics and the column geometry derived from the character width.
void SetMetrics(HexEditState& state, std::int32_t lineHeight, std::int32_t charWidth) noexcept;

// HEM_SETDATA's state change: the bytes, a reset caret, selection and top row, and the last row.
void SetData(HexEditState& state, const unsigned char* data, std::uint64_t size) noexcept;

// WM_SIZE's state change: the client size and the number of whole rows it shows.
void SetClientSize(HexEditState& state, std::int32_t width, std::int32_t height) noexcept;

// The highest top row the scroll bar accepts (its range less a page), as SetScrollInfo clamps it.
std::int32_t MaxTopRow(const HexEditState& state) noexcept;
std::int32_t ClampTopRow(const HexEditState& state, std::int64_t row) noexcept;

// The row in which the caret is drawn: its own, or the one above with RowEnd.
std::int32_t CaretShownRow(const HexEditState& state) noexcept;

struct ClientPoint {
    std::int32_t x;
    std::int32_t y;
};
// Where the caret goes: the left edge of its cell (or character) in its shown row. Rows far outside
// the view are pinned just beyond it, so the result always fits the platform's coordinates.
ClientPoint CaretPoint(const HexEditState& state) noexcept;

// The position under a client point; sets or clears CharColumn and RowEnd as the hit requires.
std::int32_t HitTest(HexEditState& state, std::int32_t x, std::int32_t y) noexcept;

// The drag timer's interval for the pointer at client height y: faster the farther it is above or
// below the window, never below 100 ms.
unsigned DragTimerInterval(const HexEditState& state, std::int32_t y) noexcept;

// The top row a thumb message asks for. The message carries only 16 bits; while the thumb is really
// being tracked, the scroll bar's 32-bit tracking position has the same low word and is used instead,
// so every row of large data can be reached.
std::int32_t ThumbRow(unsigned short messagePosition, std::int32_t trackPosition) noexcept;

}  // namespace quillon
