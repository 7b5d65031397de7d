#include "hexview/hex_editor.h"

#include <algorithm>

namespace quillon {

using namespace hexflags;

void HexEditor::SetData(const unsigned char* data, std::uint64_t size) noexcept {
    quillon::SetData(state_, data, size);
    sink_.UpdateScrollBar();
}

void HexEditor::Resize(std::int32_t width, std::int32_t height) noexcept {
    SetClientSize(state_, width, height);
    sink_.UpdateScrollBar();
}

void HexEditor::RepaintRange(std::int32_t from, std::int32_t to, PixelBand* bands, int& count) const noexcept {
    const std::int32_t first = std::min(from, to);
    const std::int32_t last = std::max(from, to);
    // The band includes the row of the range's end position, so it may be one row taller than needed.
    std::int64_t top = (std::int64_t{first / kBytesPerRow} - state_.topRow) * state_.lineHeight;
    std::int64_t bottom = (std::int64_t{last / kBytesPerRow} - state_.topRow + 1) * state_.lineHeight;
    if (top >= state_.clientHeight || bottom < 0) return;
    top = std::max<std::int64_t>(top, 0);
    bottom = std::min<std::int64_t>(bottom, state_.clientHeight);
    bands[count++] = PixelBand{static_cast<std::int32_t>(top), static_cast<std::int32_t>(bottom)};
}

void HexEditor::MoveCaret(std::int32_t position, bool extend) noexcept {
    position = std::clamp(position, 0, state_.size);
    // RowEnd describes a caret at the end of a full row; it cannot outlive a move to any other kind
    // of position (a clamped PgDn or Down, a double-click), where it would draw the caret a row off.
    if (position % kBytesPerRow != 0 || position < kBytesPerRow) state_.Set(kRowEnd, false);

    const std::int32_t a = state_.selStart;
    const std::int32_t d = state_.selEnd;
    if (extend) {
        if (state_.caret == state_.selEnd) {
            state_.selEnd = position;
        } else {
            state_.selStart = position;
        }
        if (state_.selStart > state_.selEnd) std::swap(state_.selStart, state_.selEnd);
    } else {
        state_.selStart = state_.selEnd = position;
    }
    state_.caret = position;
    const std::int32_t c = state_.selStart;
    const std::int32_t b = state_.selEnd;

    PixelBand bands[2];
    int count = 0;
    const bool oldEmpty = a == d;
    const bool newEmpty = c == b;
    if (oldEmpty && !newEmpty) {
        RepaintRange(c, b, bands, count);
    } else if (!oldEmpty && newEmpty) {
        RepaintRange(a, d, bands, count);
    } else if (!oldEmpty && !newEmpty) {
        if (a != c) RepaintRange(a, c, bands, count);
        if (d != b) RepaintRange(d, b, bands, count);
    }
    if (count > 0) sink_.RepaintBands(bands, count);

    EnsureCaretVisible();
    sink_.SelectionChanged();
}

void HexEditor::EnsureCaretVisible() noexcept {
    if (!state_.Has(kFocus)) return;
    const std::int32_t caretRow = CaretShownRow(state_);
    // A client area lower than one line still shows its top row, partly; treat it as that row so the
    // caret is scrolled onto it instead of past it.
    const std::int32_t rows = std::max(state_.visibleRows, 1);
    const std::int32_t lastVisible = state_.topRow + rows - 1;
    std::int32_t target;
    if (caretRow > lastVisible) {
        target = lastVisible;
    } else if (caretRow >= state_.topRow) {
        PlaceCaret();
        return;
    } else {
        target = state_.topRow;
    }
    sink_.ScrollContent(std::int64_t{target} - caretRow);
    state_.topRow += caretRow - target;
    sink_.UpdateScrollBar();
    PlaceCaret();
}

void HexEditor::PlaceCaret() noexcept { sink_.PlaceCaret(CaretPoint(state_)); }

void HexEditor::ScrollToRow(int code, std::int32_t thumbRow) noexcept {
    std::int64_t requested = state_.topRow;
    switch (code) {
        case SB_LINEUP: requested -= 1; break;
        case SB_LINEDOWN: requested += 1; break;
        case SB_PAGEUP: requested -= state_.visibleRows; break;
        case SB_PAGEDOWN: requested += state_.visibleRows; break;
        case SB_THUMBPOSITION:
        case SB_THUMBTRACK: requested = thumbRow; break;
        default: break;  // SB_TOP, SB_BOTTOM and SB_ENDSCROLL do not move the view
    }
    const std::int32_t old = state_.topRow;
    const std::int32_t next = ClampTopRow(state_, requested);
    state_.topRow = next;
    sink_.SetScrollPosition();
    if (next == old) return;
    sink_.ScrollContent(std::int64_t{old} - next);
    PlaceCaret();
}

void HexEditor::KeyDown(unsigned virtualKey, bool ctrl, bool shift) noexcept {
    const std::int32_t caret = state_.caret;
    const std::int32_t size = state_.size;
    const bool rowEnd = state_.Has(kRowEnd);
    switch (virtualKey) {
        case VK_PRIOR:
        case VK_NEXT: {
            const std::int32_t old = state_.topRow;
            ScrollToRow(virtualKey == VK_PRIOR ? SB_PAGEUP : SB_PAGEDOWN, 0);
            const std::int64_t target = std::int64_t{caret} + std::int64_t{kBytesPerRow} * (state_.topRow - old);
            if (virtualKey == VK_PRIOR) {
                if (target < 0 || (target == 0 && state_.Has(kRowEnd))) return;
                MoveCaret(static_cast<std::int32_t>(target), shift);
            } else {
                MoveCaret(static_cast<std::int32_t>(std::min<std::int64_t>(target, size)), shift);
            }
            return;
        }
        case VK_END:
            if (ctrl) {
                state_.Set(kRowEnd, false);
                MoveCaret(size, shift);
                return;
            }
            if (rowEnd) return;
            {
                const std::int64_t rowStart = caret - caret % kBytesPerRow;
                const std::int64_t t = rowStart + kBytesPerRow;
                if (t <= size) {
                    state_.Set(kRowEnd, true);
                    MoveCaret(static_cast<std::int32_t>(t), shift);
                } else {
                    MoveCaret(size, shift);
                }
            }
            return;
        case VK_HOME:
            state_.Set(kRowEnd, false);
            if (ctrl) {
                MoveCaret(0, shift);
            } else {
                MoveCaret(rowEnd ? caret - kBytesPerRow : caret - caret % kBytesPerRow, shift);
            }
            return;
        case VK_LEFT:
            state_.Set(kRowEnd, false);
            if (caret - 1 < 0) return;
            MoveCaret(caret - 1, shift);
            return;
        case VK_RIGHT:
            state_.Set(kRowEnd, false);
            MoveCaret(std::min(caret + 1, size), shift);
            return;
        case VK_UP:
            if (ctrl) return;
            if (caret - kBytesPerRow < 0 || (rowEnd && caret == kBytesPerRow)) return;
            MoveCaret(caret - kBytesPerRow, shift);
            return;
        case VK_DOWN: {
            if (ctrl) return;
            const std::int64_t t = std::int64_t{caret} + kBytesPerRow;
            if (t / kBytesPerRow > state_.lastRow) {
                if (!rowEnd) return;
                state_.Set(kRowEnd, false);
                MoveCaret(size, shift);
                return;
            }
            MoveCaret(static_cast<std::int32_t>(std::min<std::int64_t>(t, size)), shift);
            return;
        }
        case VK_INSERT:
            // Ctrl+Insert copies. Shift+Insert would paste into the bytes, which are a read-only view:
            // it does nothing.
            if (ctrl && !shift) sink_.CopySelection();
            return;
        case VK_DELETE:
            // Shift+Delete would cut: it copies and leaves the bytes alone. Delete alone does nothing.
            if (shift && !ctrl) sink_.CopySelection();
            return;
        default:
            return;  // every other key, VK_SELECT to VK_SNAPSHOT among them, does nothing
    }
}

bool HexEditor::LoseFocus() noexcept {
    const bool had = state_.Has(kFocus);
    state_.Set(kFocus, false);
    return had;
}

void HexEditor::ButtonDown(std::int32_t x, std::int32_t y, bool shift) noexcept {
    MoveCaret(HitTest(state_, x, y), shift);
    state_.Set(kDragging, true);
    state_.lastMouseX = x;
    state_.lastMouseY = y;
}

unsigned HexEditor::DragTo(std::int32_t x, std::int32_t y) noexcept {
    if (!state_.Has(kDragging)) return 0;
    MoveCaret(HitTest(state_, x, y), true);
    state_.lastMouseX = x;
    state_.lastMouseY = y;
    return DragTimerInterval(state_, y);
}

bool HexEditor::EndDrag() noexcept {
    const bool was = state_.Has(kDragging);
    state_.Set(kDragging, false);
    return was;
}

void HexEditor::DoubleClick() noexcept { MoveCaret(std::min(state_.caret + 1, state_.size), true); }

}  // namespace quillon
