#include "hexview/hex_edit_control.h"

#include <algorithm>
#include <new>
#include <utility>
#include <vector>

#include "common/gdi_scopes.h"
#include "common/unique_resource.h"
#include "hexview/hex_copy.h"
#include "hexview/hex_copy_text.h"
#include "hexview/hex_editor.h"
#include "hexview/hex_paint.h"
#include "hexview/live_paint.h"
#include "hexview/live_watch.h"

namespace quillon {

namespace {

constexpr wchar_t kClipboardFormatName[] = L"HexData";
constexpr UINT_PTR kDragTimer = 1;
constexpr UINT kFirstDragInterval = 400;
// Live watching looks at the rows on screen about four times a second.
constexpr UINT_PTR kLiveTimer = 2;
constexpr UINT kLiveInterval = 250;

// What registration fixes once per process: the instance, the clipboard format and the colours.
struct HexEditClass {
    HINSTANCE instance = nullptr;
    UINT clipboardFormat = 0;
    HexColours colours{};
};
HexEditClass g_class;

// One control: its font and its editor. The state lives with each window (in the class's window
// extra bytes), so a second control could never reset the first.
class HexEditWindow final : public HexEditSink {
public:
    HexEditWindow(HWND hwnd, UniqueFont font) noexcept
        : hwnd_(hwnd), font_(std::move(font)), colours_(g_class.colours), format_(g_class.clipboardFormat),
          editor_(*this) {}

    HexEditor& Editor() noexcept { return editor_; }
    const HexEditState& State() const noexcept { return editor_.State(); }
    HFONT Font() const noexcept { return font_.Get(); }

    void Paint(HDC dc, std::int32_t top, std::int32_t bottom) const noexcept {
        PaintRows(dc, editor_.State(), font_.Get(), colours_, top, bottom);
        if (liveOn_) PaintLiveShades(dc, editor_.State(), font_.Get(), colours_, live_, ::GetTickCount(), top, bottom);
    }

    void RepaintBands(const PixelBand* bands, int count) override {
        ::HideCaret(hwnd_);
        {
            WindowDC dc(hwnd_);
            if (dc) {
                for (int i = 0; i < count; ++i) Paint(dc.Get(), bands[i].top, bands[i].bottom);
            }
        }
        ::ShowCaret(hwnd_);
    }

    void ScrollContent(std::int64_t rows) override {
        const std::int64_t dy = rows * State().lineHeight;
        // A jump of a whole screen or more uncovers everything; no pixels are worth moving.
        if (dy >= State().clientHeight || -dy >= State().clientHeight) {
            ::InvalidateRect(hwnd_, nullptr, FALSE);
            return;
        }
        ::ScrollWindowEx(hwnd_, 0, static_cast<int>(dy), nullptr, nullptr, nullptr, nullptr, SW_INVALIDATE);
    }

    void UpdateScrollBar() override {
        SCROLLINFO info{};
        info.cbSize = sizeof(info);
        info.fMask = SIF_RANGE | SIF_PAGE | SIF_POS;
        info.nMin = 0;
        info.nMax = State().lastRow;
        info.nPage = static_cast<UINT>(State().visibleRows);
        info.nPos = State().topRow;
        ::SetScrollInfo(hwnd_, SB_VERT, &info, TRUE);
    }

    void SetScrollPosition() override {
        SCROLLINFO info{};
        info.cbSize = sizeof(info);
        info.fMask = SIF_POS;
        info.nPos = State().topRow;
        ::SetScrollInfo(hwnd_, SB_VERT, &info, TRUE);
    }

    void PlaceCaret(ClientPoint point) override { ::SetCaretPos(point.x, point.y); }

    void CopySelection() override { CopyBytes(); }
    BOOL CopyBytes() const noexcept {
        const HexCopyResult result = quillon::CopySelection(hwnd_, State(), format_);
        ReportCopyResult(hwnd_, result);
        return result == HexCopyResult::Copied ? TRUE : FALSE;
    }
    BOOL CopyAsCArray() const noexcept {
        const HexCopyResult result = quillon::CopySelectionAsCArray(hwnd_, State());
        // Over the C array's own limit a beep says enough; the "256 MiB" message is about HexData.
        if (result == HexCopyResult::TooLarge) {
            ::MessageBeep(MB_ICONWARNING);
        } else {
            ReportCopyResult(hwnd_, result);
        }
        return result == HexCopyResult::Copied ? TRUE : FALSE;
    }

    void SelectionChanged() override {
        ::SendMessageW(::GetParent(hwnd_), WM_COMMAND, MAKEWPARAM(::GetDlgCtrlID(hwnd_), HEN_SELCHANGE),
                       reinterpret_cast<LPARAM>(hwnd_));
    }

    void SetLive(bool on) noexcept {
        if (on == liveOn_) return;
        liveOn_ = on;
        if (on) {
            LiveTick();  // the first look: what is on screen now is the reference
            ::SetTimer(hwnd_, kLiveTimer, kLiveInterval, nullptr);
        } else {
            ::KillTimer(hwnd_, kLiveTimer);
            live_.Clear();
            ::InvalidateRect(hwnd_, nullptr, FALSE);  // shades still fading go at once
        }
    }

    void LiveTick() {
        const HexEditState& state = State();
        live_.Look(state.data, state.size, state.topRow, state.visibleRows + 1, ::GetTickCount(), liveRows_);
        for (const std::int32_t row : liveRows_) {
            const RECT band{0, row * state.lineHeight, state.clientWidth, (row + 1) * state.lineHeight};
            ::InvalidateRect(hwnd_, &band, FALSE);
        }
    }

private:
    HWND hwnd_;
    UniqueFont font_;
    HexColours colours_;
    UINT format_;
    HexEditor editor_;
    LiveWatch live_;
    bool liveOn_ = false;
    std::vector<std::int32_t> liveRows_;
};

HexEditWindow* WindowOf(HWND hwnd) noexcept {
    return reinterpret_cast<HexEditWindow*>(::GetWindowLongPtrW(hwnd, 0));
}

// A 10-point "Courier" at the display's resolution.
UniqueFont MakeFont(HDC dc) noexcept {
    LOGFONTW description{};
    description.lfHeight = -(10 * ::GetDeviceCaps(dc, LOGPIXELSY)) / 72;
    description.lfWeight = FW_NORMAL;
    description.lfCharSet = ANSI_CHARSET;
    description.lfOutPrecision = OUT_DEFAULT_PRECIS;
    description.lfClipPrecision = CLIP_DEFAULT_PRECIS;
    description.lfQuality = DEFAULT_QUALITY;
    description.lfPitchAndFamily = FIXED_PITCH | FF_DONTCARE;
    lstrcpynW(description.lfFaceName, L"Courier", LF_FACESIZE);
    return UniqueFont(::CreateFontIndirectW(&description));
}

LRESULT OnNcCreate(HWND hwnd, WPARAM wParam, LPARAM lParam) noexcept {
    TEXTMETRICW metrics{};
    SIZE digit{};
    UniqueFont font;
    {
        WindowDC dc(hwnd);
        if (!dc) return FALSE;
        font = MakeFont(dc.Get());
        if (!font) return FALSE;
        SelectionScope select(dc.Get(), font.Get());
        ::GetTextMetricsW(dc.Get(), &metrics);
        ::GetTextExtentPoint32W(dc.Get(), L"0", 1, &digit);
    }
    auto* window = new (std::nothrow) HexEditWindow(hwnd, std::move(font));
    if (!window) return FALSE;
    SetMetrics(window->Editor().State(), metrics.tmHeight, CharacterCellWidth(metrics.tmMaxCharWidth, digit.cx));
    ::SetWindowLongPtrW(hwnd, 0, reinterpret_cast<LONG_PTR>(window));
    return ::DefWindowProcW(hwnd, WM_NCCREATE, wParam, lParam);
}

std::int32_t LowSigned(LPARAM lParam) noexcept { return static_cast<short>(LOWORD(lParam)); }
std::int32_t HighSigned(LPARAM lParam) noexcept { return static_cast<short>(HIWORD(lParam)); }

LRESULT CALLBACK HexEditProc(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam) noexcept {
    if (msg == WM_NCCREATE) return OnNcCreate(hwnd, wParam, lParam);
    HexEditWindow* window = WindowOf(hwnd);
    if (!window) return ::DefWindowProcW(hwnd, msg, wParam, lParam);
    HexEditor& editor = window->Editor();

    switch (msg) {
        case WM_NCDESTROY: {
            ::SetWindowLongPtrW(hwnd, 0, 0);
            delete window;  // and with it the font
            // The default handling releases the window's scroll bar record.
            ::DefWindowProcW(hwnd, msg, wParam, lParam);
            return 0;
        }
        case WM_SIZE:
            editor.Resize(LowSigned(lParam), HighSigned(lParam));
            return 0;
        case WM_SETFOCUS:
            editor.GainFocus();
            ::CreateCaret(hwnd, nullptr, 0, window->State().lineHeight);
            editor.PlaceCaret();
            ::ShowCaret(hwnd);
            return 0;
        case WM_KILLFOCUS:
            if (editor.LoseFocus()) ::DestroyCaret();
            return 0;
        case WM_PAINT: {
            PaintScope paint(hwnd);
            if (paint.Get()) window->Paint(paint.Get(), paint.Area().top, paint.Area().bottom);
            return 0;
        }
        case WM_PRINTCLIENT:
            window->Paint(reinterpret_cast<HDC>(wParam), 0, window->State().clientHeight);
            return 0;
        case WM_ERASEBKGND:
            return 1;  // painting covers every pixel
        case WM_GETFONT:
            return reinterpret_cast<LRESULT>(window->Font());
        case WM_GETDLGCODE:
            return DLGC_WANTARROWS | DLGC_WANTCHARS;
        case WM_KEYDOWN:
            editor.KeyDown(static_cast<unsigned>(wParam), ::GetKeyState(VK_CONTROL) < 0, ::GetKeyState(VK_SHIFT) < 0);
            return 0;
        case WM_LBUTTONDOWN:
            editor.ButtonDown(LowSigned(lParam), HighSigned(lParam), (wParam & MK_SHIFT) != 0);
            if (!window->State().Has(hexflags::kFocus)) ::SetFocus(hwnd);
            ::SetCapture(hwnd);
            ::SetTimer(hwnd, kDragTimer, kFirstDragInterval, nullptr);
            return 0;
        case WM_MOUSEMOVE:
            if (const unsigned interval = editor.DragTo(LowSigned(lParam), HighSigned(lParam)))
                ::SetTimer(hwnd, kDragTimer, interval, nullptr);
            return 0;
        case WM_TIMER:
            if (wParam == kLiveTimer) {
                window->LiveTick();
                return 0;
            }
            if (const unsigned interval = editor.DragTick()) ::SetTimer(hwnd, kDragTimer, interval, nullptr);
            return 0;
        case WM_LBUTTONUP:
            if (editor.EndDrag()) {
                ::KillTimer(hwnd, kDragTimer);
                ::ReleaseCapture();
            }
            return 0;
        case WM_CAPTURECHANGED:
            // Another window took the mouse mid-drag: the drag ends, or it would go on selecting
            // with the button up.
            if (reinterpret_cast<HWND>(lParam) != hwnd && editor.EndDrag()) ::KillTimer(hwnd, kDragTimer);
            return 0;
        case WM_LBUTTONDBLCLK:
            editor.DoubleClick();
            return 0;
        case WM_VSCROLL: {
            const int code = LOWORD(wParam);
            std::int32_t thumb = 0;
            if (code == SB_THUMBTRACK || code == SB_THUMBPOSITION) {
                SCROLLINFO info{};
                info.cbSize = sizeof(info);
                info.fMask = SIF_TRACKPOS;
                ::GetScrollInfo(hwnd, SB_VERT, &info);
                thumb = ThumbRow(HIWORD(wParam), info.nTrackPos);
            }
            editor.ScrollToRow(code, thumb);
            return 0;
        }
        case HEM_SETDATA:
            editor.SetData(reinterpret_cast<const unsigned char*>(lParam), static_cast<std::uint64_t>(wParam));
            return 0;
        case HEM_SETSELECTION: {
            const std::int32_t size = window->State().size;
            const auto clamp = [size](WPARAM v) {
                return static_cast<std::int32_t>(std::min<ULONG_PTR>(static_cast<ULONG_PTR>(v), static_cast<ULONG_PTR>(size)));
            };
            editor.State().Set(hexflags::kRowEnd, false);
            editor.MoveCaret(clamp(wParam), false);
            if (clamp(static_cast<WPARAM>(lParam)) != clamp(wParam)) editor.MoveCaret(clamp(static_cast<WPARAM>(lParam)), true);
            return 0;
        }
        case HEM_GETSELECTION: {
            const HexEditState& state = window->State();
            if (wParam) *reinterpret_cast<std::int32_t*>(wParam) = state.selStart;
            if (lParam) *reinterpret_cast<std::int32_t*>(lParam) = state.selEnd;
            return state.caret;
        }
        case HEM_SETLIVE:
            window->SetLive(wParam != 0);
            return 0;
        case HEM_COPY:
            if (wParam == HEXCOPY_CARRAY) return window->CopyAsCArray();
            return window->CopyBytes();
        default:
            return ::DefWindowProcW(hwnd, msg, wParam, lParam);
    }
}

}  // namespace

BOOL RegisterHexEditControl(HINSTANCE instance) {
    g_class.instance = instance;
    g_class.clipboardFormat = ::RegisterClipboardFormatW(kClipboardFormatName);

    WNDCLASSW wc{};
    wc.style = CS_DBLCLKS;
    wc.lpfnWndProc = &HexEditProc;
    wc.cbClsExtra = 0;
    wc.cbWndExtra = sizeof(LONG_PTR);  // the control's own state
    wc.hInstance = instance;
    wc.hIcon = nullptr;
    wc.hCursor = ::LoadCursorW(nullptr, IDC_IBEAM);
    wc.hbrBackground = nullptr;
    wc.lpszMenuName = nullptr;
    wc.lpszClassName = kHexEditControlClass;

    g_class.colours.highlightText = ::GetSysColor(COLOR_HIGHLIGHTTEXT);
    g_class.colours.highlight = ::GetSysColor(COLOR_HIGHLIGHT);
    g_class.colours.windowText = ::GetSysColor(COLOR_WINDOWTEXT);
    g_class.colours.window = ::GetSysColor(COLOR_WINDOW);

    return ::RegisterClassW(&wc) != 0 ? TRUE : FALSE;
}

}  // namespace quillon
