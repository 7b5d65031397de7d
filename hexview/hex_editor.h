#pragma once
// The hex viewer's interaction as plain code: caret and selection moves with the rows they repaint,
// scrolling the caret into view, the scroll bar codes, the key table and the mouse drag. What it
// needs from a window it asks of a HexEditSink, so tests can drive it with a recording sink and the
// control's window procedure with one that makes the platform calls.
#include <windows.h>

#include <cstdint>

#include "hexview/hex_edit_state.h"

namespace quillon {

// A pixel band of the client area, top inclusive, bottom exclusive.
struct PixelBand {
    std::int32_t top;
    std::int32_t bottom;
};

class HexEditSink {
public:
    // Paints these bands now (the caret hidden meanwhile).
    virtual void RepaintBands(const PixelBand* bands, int count) = 0;
    // Moves the shown rows by `rows` (positive: the content moves down) and invalidates what is uncovered.
    virtual void ScrollContent(std::int64_t rows) = 0;
    // Range 0..lastRow, page visibleRows, position topRow.
    virtual void UpdateScrollBar() = 0;
    // Position topRow only.
    virtual void SetScrollPosition() = 0;
    virtual void PlaceCaret(ClientPoint point) = 0;
    virtual void CopySelection() = 0;
    // The caret or the selection moved (after the repaint and the scroll).
    virtual void SelectionChanged() {}

protected:
    ~HexEditSink() = default;
};

class HexEditor {
public:
    explicit HexEditor(HexEditSink& sink) noexcept : sink_(sink) {}

    HexEditState& State() noexcept { return state_; }
    const HexEditState& State() const noexcept { return state_; }

    // HEM_SETDATA and WM_SIZE.
    void SetData(const unsigned char* data, std::uint64_t size) noexcept;
    void Resize(std::int32_t width, std::int32_t height) noexcept;

    // Moves the caret to `position` (clamped to 0..size), extending the selection from its anchor or
    // collapsing it, repaints the rows whose highlight changed and scrolls the caret into view.
    void MoveCaret(std::int32_t position, bool extend) noexcept;
    void EnsureCaretVisible() noexcept;
    void PlaceCaret() noexcept;

    // WM_VSCROLL: `thumbRow` is used by SB_THUMBTRACK and SB_THUMBPOSITION only.
    void ScrollToRow(int code, std::int32_t thumbRow) noexcept;

    // WM_KEYDOWN with the state of Ctrl and Shift.
    void KeyDown(unsigned virtualKey, bool ctrl, bool shift) noexcept;

    // WM_SETFOCUS / WM_KILLFOCUS; the window creates and destroys the caret itself.
    void GainFocus() noexcept { state_.Set(hexflags::kFocus, true); }
    // True when the control had the focus (and so a caret to destroy).
    bool LoseFocus() noexcept;

    // WM_LBUTTONDOWN: moves the caret to the point and starts a drag.
    void ButtonDown(std::int32_t x, std::int32_t y, bool shift) noexcept;
    // WM_MOUSEMOVE while dragging: extends to the point; returns the drag timer's next interval, or 0
    // when no drag runs.
    unsigned DragTo(std::int32_t x, std::int32_t y) noexcept;
    // WM_TIMER: the same at the last point.
    unsigned DragTick() noexcept { return DragTo(state_.lastMouseX, state_.lastMouseY); }
    // WM_LBUTTONUP or a lost capture: true when a drag was running.
    bool EndDrag() noexcept;
    // WM_LBUTTONDBLCLK: extends the selection over the byte after the caret.
    void DoubleClick() noexcept;

private:
    void RepaintRange(std::int32_t from, std::int32_t to, PixelBand* bands, int& count) const noexcept;

    HexEditSink& sink_;
    HexEditState state_;
};

}  // namespace quillon
