#pragma once
// What the hex viewer's window tests share: a pixel canvas the control paints into, reference text
// drawn the way a cell should look, the keyboard state for Ctrl and Shift, and the clipboard.
#include <windows.h>

#include <cstdint>
#include <string>

#include "hexview/hex_edit_state.h"
#include "tests/support/test_clipboard.h"

namespace quillon::test {

// A 32-bit top-down DIB section selected into a memory DC, first filled with `fill`.
class Canvas {
public:
    Canvas(int width, int height, COLORREF fill = RGB(255, 0, 255));
    ~Canvas();
    Canvas(const Canvas&) = delete;
    Canvas& operator=(const Canvas&) = delete;
    Canvas(Canvas&& other) noexcept;
    Canvas& operator=(Canvas&& other) noexcept;

    HDC Dc() const noexcept { return dc_; }
    int Width() const noexcept { return width_; }
    int Height() const noexcept { return height_; }
    COLORREF Pixel(int x, int y) const noexcept;
    // Pixels of `box` (clipped to the canvas) that have `colour`.
    int Count(const RECT& box, COLORREF colour) const noexcept;
    // Whether `box` holds the same pixels in both canvases.
    bool SameIn(const Canvas& other, const RECT& box) const noexcept;

private:
    int width_ = 0;
    int height_ = 0;
    HDC dc_ = nullptr;
    HBITMAP bitmap_ = nullptr;
    HGDIOBJ previous_ = nullptr;
    std::uint32_t* bits_ = nullptr;
};

// Registers the control's class for this program (once).
void RegisterHexControlClass();

// A HexEditControl child of `parent` at (0, 0) with the given client size, showing `size` bytes.
HWND CreateHexControl(HWND parent, int width, int height, const void* data, std::uint64_t size);

// The control's state as far as the window shows it: metrics from its font, client size, the
// scroll bar's range and position as lastRow and topRow.
HexEditState ControlLayout(HWND control);

// The control painted (WM_PRINTCLIENT) into a canvas of its client size.
Canvas PaintControl(HWND control);

// Text drawn into `canvas` as the control draws a piece of a row: opaque over `box`, clipped to it.
void DrawReference(Canvas& canvas, HFONT font, int x, int y, const RECT& box, const std::wstring& text,
                   COLORREF background, COLORREF foreground);

// Whether the control's picture shows, in view row `row`, the offset `offset`.
bool ShowsOffset(HWND control, const Canvas& picture, int row, std::uint32_t offset);
// Whether the cell and the character of column `column` in view row `row` show `digits` and `character`,
// in the highlight colours when `selected`.
bool ShowsByte(HWND control, const Canvas& picture, int row, int column, const std::wstring& digits,
               wchar_t character, bool selected);

// Sends WM_KEYDOWN with Ctrl and Shift held as GetKeyState reports them.
void SendKey(HWND control, UINT key, bool ctrl = false, bool shift = false);

// The control's scroll bar position (its top row) and range end (its last row).
int TopRow(HWND control);
int LastRow(HWND control);

// Clipboard contents.
struct HexDataBlock {
    bool present = false;
    std::uint32_t length = 0;
    std::string bytes;
    SIZE_T blockSize = 0;
};
HexDataBlock ClipboardHexData();
UINT HexDataFormat();

}  // namespace quillon::test
