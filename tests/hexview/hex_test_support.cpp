#include "tests/hexview/hex_test_support.h"

#include <algorithm>
#include <cstring>
#include <utility>

#include "common/clipboard.h"
#include "common/gdi_scopes.h"
#include "hexview/hex_edit_control.h"
#include "hexview/hex_text.h"
#include "tests/support/test_windows.h"

namespace quillon::test {

Canvas::Canvas(int width, int height, COLORREF fill) : width_(width), height_(height) {
    BITMAPINFO info{};
    info.bmiHeader.biSize = sizeof(info.bmiHeader);
    info.bmiHeader.biWidth = width;
    info.bmiHeader.biHeight = -height;  // top-down
    info.bmiHeader.biPlanes = 1;
    info.bmiHeader.biBitCount = 32;
    info.bmiHeader.biCompression = BI_RGB;
    void* bits = nullptr;
    bitmap_ = ::CreateDIBSection(nullptr, &info, DIB_RGB_COLORS, &bits, nullptr, 0);
    bits_ = static_cast<std::uint32_t*>(bits);
    dc_ = ::CreateCompatibleDC(nullptr);
    previous_ = ::SelectObject(dc_, bitmap_);
    const RECT all{0, 0, width, height};
    ::SetBkColor(dc_, fill);
    ::ExtTextOutW(dc_, 0, 0, ETO_OPAQUE, &all, nullptr, 0, nullptr);
    ::GdiFlush();
}

Canvas::Canvas(Canvas&& other) noexcept
    : width_(other.width_), height_(other.height_), dc_(std::exchange(other.dc_, nullptr)),
      bitmap_(std::exchange(other.bitmap_, nullptr)), previous_(other.previous_),
      bits_(std::exchange(other.bits_, nullptr)) {}

Canvas& Canvas::operator=(Canvas&& other) noexcept {
    std::swap(width_, other.width_);
    std::swap(height_, other.height_);
    std::swap(dc_, other.dc_);
    std::swap(bitmap_, other.bitmap_);
    std::swap(previous_, other.previous_);
    std::swap(bits_, other.bits_);
    return *this;
}

Canvas::~Canvas() {
    if (dc_) {
        ::SelectObject(dc_, previous_);
        ::DeleteDC(dc_);
    }
    if (bitmap_) ::DeleteObject(bitmap_);
}

COLORREF Canvas::Pixel(int x, int y) const noexcept {
    if (!bits_ || x < 0 || y < 0 || x >= width_ || y >= height_) return CLR_INVALID;
    const std::uint32_t p = bits_[static_cast<size_t>(y) * width_ + x];
    return RGB((p >> 16) & 0xFF, (p >> 8) & 0xFF, p & 0xFF);
}

int Canvas::Count(const RECT& box, COLORREF colour) const noexcept {
    ::GdiFlush();
    int count = 0;
    for (int y = std::max<LONG>(box.top, 0); y < std::min<LONG>(box.bottom, height_); ++y)
        for (int x = std::max<LONG>(box.left, 0); x < std::min<LONG>(box.right, width_); ++x)
            if (Pixel(x, y) == colour) ++count;
    return count;
}

bool Canvas::SameIn(const Canvas& other, const RECT& box) const noexcept {
    ::GdiFlush();
    for (int y = std::max<LONG>(box.top, 0); y < std::min<LONG>(box.bottom, height_); ++y)
        for (int x = std::max<LONG>(box.left, 0); x < std::min<LONG>(box.right, width_); ++x)
            if (Pixel(x, y) != other.Pixel(x, y)) return false;
    return true;
}

void RegisterHexControlClass() {
    static const bool registered = RegisterHexEditControl(::GetModuleHandleW(nullptr)) != FALSE;
    (void)registered;
}

HWND CreateHexControl(HWND parent, int width, int height, const void* data, std::uint64_t size) {
    RegisterHexControlClass();
    HWND control = ::CreateWindowExW(0, kHexEditControlClass, nullptr, WS_CHILD | WS_VISIBLE | WS_CLIPCHILDREN, 0, 0,
                                     width, height, parent, nullptr, ::GetModuleHandleW(nullptr), nullptr);
    if (control)
        ::SendMessageW(control, HEM_SETDATA, static_cast<WPARAM>(size), reinterpret_cast<LPARAM>(data));
    PumpMessages();
    return control;
}

HexEditState ControlLayout(HWND control) {
    HexEditState state;
    HFONT font = reinterpret_cast<HFONT>(::SendMessageW(control, WM_GETFONT, 0, 0));
    TEXTMETRICW metrics{};
    SIZE digit{};
    {
        WindowDC dc(control);
        SelectionScope select(dc.Get(), font);
        ::GetTextMetricsW(dc.Get(), &metrics);
        ::GetTextExtentPoint32W(dc.Get(), L"0", 1, &digit);
    }
    RECT client{};
    ::GetClientRect(control, &client);
    SetClientSize(state, client.right, client.bottom);
    SetMetrics(state, metrics.tmHeight, CharacterCellWidth(metrics.tmMaxCharWidth, digit.cx));
    state.topRow = TopRow(control);
    state.lastRow = LastRow(control);
    return state;
}

Canvas PaintControl(HWND control) {
    RECT client{};
    ::GetClientRect(control, &client);
    Canvas canvas(client.right, client.bottom);
    ::SendMessageW(control, WM_PRINTCLIENT, reinterpret_cast<WPARAM>(canvas.Dc()), PRF_CLIENT);
    ::GdiFlush();
    return canvas;
}

void DrawReference(Canvas& canvas, HFONT font, int x, int y, const RECT& box, const std::wstring& text,
                   COLORREF background, COLORREF foreground) {
    SelectionScope select(canvas.Dc(), font);
    ::SetBkColor(canvas.Dc(), background);
    ::SetTextColor(canvas.Dc(), foreground);
    ::ExtTextOutW(canvas.Dc(), x, y, ETO_OPAQUE | ETO_CLIPPED, &box, text.data(), static_cast<UINT>(text.size()),
                  nullptr);
    ::GdiFlush();
}

bool ShowsOffset(HWND control, const Canvas& picture, int row, std::uint32_t offset) {
    const HexEditState layout = ControlLayout(control);
    HFONT font = reinterpret_cast<HFONT>(::SendMessageW(control, WM_GETFONT, 0, 0));
    wchar_t digits[8];
    FormatOffset(offset, digits);
    const int y = row * layout.lineHeight;
    const RECT box{0, y, layout.hexLeft, y + layout.lineHeight};
    Canvas expected(picture.Width(), picture.Height());
    DrawReference(expected, font, 0, y, box, std::wstring(digits, 8), ::GetSysColor(COLOR_WINDOW),
                  ::GetSysColor(COLOR_WINDOWTEXT));
    return picture.SameIn(expected, box);
}

bool ShowsByte(HWND control, const Canvas& picture, int row, int column, const std::wstring& digits,
               wchar_t character, bool selected) {
    const HexEditState layout = ControlLayout(control);
    HFONT font = reinterpret_cast<HFONT>(::SendMessageW(control, WM_GETFONT, 0, 0));
    const COLORREF background = ::GetSysColor(selected ? COLOR_HIGHLIGHT : COLOR_WINDOW);
    const COLORREF foreground = ::GetSysColor(selected ? COLOR_HIGHLIGHTTEXT : COLOR_WINDOWTEXT);
    const int y = row * layout.lineHeight;
    const int cellLeft = layout.hexLeft + column * layout.cellWidth;
    const RECT cell{cellLeft, y, cellLeft + layout.cellWidth, y + layout.lineHeight};
    const int charLeft = layout.charLeft + column * layout.charWidth;
    const RECT charBox{charLeft, y, charLeft + layout.charWidth, y + layout.lineHeight};
    Canvas expected(picture.Width(), picture.Height());
    DrawReference(expected, font, cellLeft + layout.charWidth / 2, y, cell, digits, background, foreground);
    DrawReference(expected, font, charLeft, y, charBox, std::wstring(1, character), background, foreground);
    return picture.SameIn(expected, cell) && picture.SameIn(expected, charBox);
}

void SendKey(HWND control, UINT key, bool ctrl, bool shift) {
    BYTE keys[256] = {};
    ::GetKeyboardState(keys);
    BYTE saved[256];
    std::memcpy(saved, keys, sizeof(keys));
    keys[VK_CONTROL] = ctrl ? 0x80 : 0;
    keys[VK_SHIFT] = shift ? 0x80 : 0;
    ::SetKeyboardState(keys);
    ::SendMessageW(control, WM_KEYDOWN, key, 1);
    ::SetKeyboardState(saved);
}

namespace {
SCROLLINFO ScrollInfo(HWND control) {
    SCROLLINFO info{};
    info.cbSize = sizeof(info);
    info.fMask = SIF_ALL;
    if (!::GetScrollInfo(control, SB_VERT, &info)) info = SCROLLINFO{};
    return info;
}
}  // namespace

int TopRow(HWND control) { return ScrollInfo(control).nPos; }
int LastRow(HWND control) { return ScrollInfo(control).nMax; }

UINT HexDataFormat() { return ::RegisterClipboardFormatW(L"HexData"); }

HexDataBlock ClipboardHexData() {
    HexDataBlock block;
    ClipboardSession clipboard(nullptr, 1000);
    if (!clipboard.IsOpen()) return block;
    HANDLE data = ::GetClipboardData(HexDataFormat());
    if (!data) return block;
    block.present = true;
    block.blockSize = ::GlobalSize(data);
    GlobalLockScope lock(data);
    const auto* bytes = static_cast<const unsigned char*>(lock.Get());
    if (!bytes || block.blockSize < 4) return block;
    block.length = bytes[0] | (bytes[1] << 8) | (bytes[2] << 16) | (static_cast<std::uint32_t>(bytes[3]) << 24);
    if (block.blockSize >= 4 + SIZE_T{block.length})
        block.bytes.assign(reinterpret_cast<const char*>(bytes + 4), block.length);
    return block;
}

}  // namespace quillon::test
