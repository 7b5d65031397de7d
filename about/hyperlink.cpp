#include "about/hyperlink.h"

#include <commctrl.h>
#include <shellapi.h>
#include <windowsx.h>

#include <new>

#include "about/link_painting.h"
#include "common/gdi_scopes.h"
#include "common/module.h"

namespace quillon {

namespace {

// The mouse messages the tooltip is told about; 0x020D is WM_XBUTTONDBLCLK.
constexpr UINT kLastRelayedMouseMessage = 0x020D;
constexpr UINT_PTR kToolId = 1;

std::optional<std::wstring> CopyText(const wchar_t* text) noexcept {
    try {
        return std::wstring(text ? text : L"");
    } catch (const std::bad_alloc&) {
        return std::nullopt;
    }
}

TTTOOLINFOW ToolInfo(HWND link) noexcept {
    TTTOOLINFOW info{};
    info.cbSize = sizeof(info);
    info.hwnd = link;
    info.uId = kToolId;
    return info;
}

}  // namespace

bool CHyperLink::AttachToStatic(HWND hwnd) noexcept {
    if (!TakeOver(hwnd)) return false;
    Initialise();
    return true;
}

void CHyperLink::Initialise() noexcept {
    const HWND hwnd = Window();

    wchar_t className[8] = {};
    ::GetClassNameW(hwnd, className, 8);
    if (::lstrcmpiW(className, L"static") == 0) {
        const LONG style = ::GetWindowLongW(hwnd, GWL_STYLE);
        if (!(style & SS_NOTIFY)) ::SetWindowLongW(hwnd, GWL_STYLE, style | SS_NOTIFY);
    }

    handCursor_ = ::LoadCursorW(nullptr, IDC_HAND);

    if (!normalFont_.Get()) {
        LOGFONTW iconTitle{};
        if (::SystemParametersInfoW(SPI_GETICONTITLELOGFONT, sizeof(iconTitle), &iconTitle, 0))
            normalFont_.Reset(::CreateFontIndirectW(&iconTitle), true);
    }
    if (!linkFont_.Get()) DeriveLinkFont();

    tooltip_.Reset(::CreateWindowExW(0, TOOLTIPS_CLASSW, nullptr, 0, CW_USEDEFAULT, CW_USEDEFAULT, CW_USEDEFAULT,
                                     CW_USEDEFAULT, hwnd, nullptr, ThisModule(), nullptr));

    if (!displayText_) {
        const int length = ::GetWindowTextLengthW(hwnd);
        if (length > 0) {
            try {
                std::wstring text(static_cast<size_t>(length) + 1, L'\0');
                text.resize(static_cast<size_t>(::GetWindowTextW(hwnd, &text[0], length + 1)));
                displayText_ = std::move(text);
            } catch (const std::bad_alloc&) {
                displayText_.reset();
            }
        }
    }

    MeasureLink();

    if (!target_) {
        if (displayText_) {
            SetTarget(displayText_->c_str());
        } else {
            RegisterTool();
        }
    }

    colours_ = ReadLinkColours(colours_);
}

void CHyperLink::DeriveLinkFont() noexcept {
    LOGFONTW font{};
    const HGDIOBJ source = normalFont_.Get() ? static_cast<HGDIOBJ>(normalFont_.Get()) : ::GetStockObject(SYSTEM_FONT);
    if (::GetObjectW(source, sizeof(font), &font) == 0) {
        linkFont_.Reset();
        return;
    }
    font.lfUnderline = TRUE;
    linkFont_.Reset(::CreateFontIndirectW(&font), true);
}

// Both setters copy before they free, so a text may be set from the link's own texts.
bool CHyperLink::SetDisplayText(const wchar_t* text) noexcept {
    displayText_ = CopyText(text);
    if (!displayText_) return false;
    MeasureLink();
    if (const HWND hwnd = Window()) {
        ::SetWindowTextW(hwnd, displayText_->c_str());
        // The static may draw its own text while handling WM_SETTEXT; ours is painted over it.
        ::InvalidateRect(hwnd, nullptr, TRUE);
    }
    return true;
}

bool CHyperLink::SetTarget(const wchar_t* text) noexcept {
    target_ = CopyText(text);
    if (!target_) return false;
    if (!displayText_) MeasureLink();
    RegisterTool();
    return true;
}

// One tool covering the link rectangle, whose text is the target. Replacing the tool rather than
// adding another keeps the tooltip showing the current target.
void CHyperLink::RegisterTool() noexcept {
    if (!tooltip_) return;
    ::SendMessageW(tooltip_.Get(), TTM_ACTIVATE, TRUE, 0);
    TTTOOLINFOW info = ToolInfo(Window());
    ::SendMessageW(tooltip_.Get(), TTM_DELTOOLW, 0, reinterpret_cast<LPARAM>(&info));
    info.rect = linkRect_;
    info.hinst = ThisModule();
    info.lpszText = target_ ? &(*target_)[0] : nullptr;
    ::SendMessageW(tooltip_.Get(), TTM_ADDTOOLW, 0, reinterpret_cast<LPARAM>(&info));
}

bool CHyperLink::OpenTarget() noexcept {
    if (!target_) return false;
    const HINSTANCE result = ::ShellExecuteW(nullptr, L"open", target_->c_str(), nullptr, nullptr, SW_SHOWNORMAL);
    if (reinterpret_cast<INT_PTR>(result) <= 32) return false;
    visited_ = true;
    if (const HWND hwnd = Window()) ::InvalidateRect(hwnd, nullptr, TRUE);
    return true;
}

const wchar_t* CHyperLink::PaintedText() const noexcept {
    if (displayText_) return displayText_->c_str();
    return target_ ? target_->c_str() : nullptr;
}

void CHyperLink::MeasureLink() noexcept {
    const HWND hwnd = Window();
    const wchar_t* text = PaintedText();
    if (!hwnd || !text) return;
    const WindowDC dc(hwnd);
    if (!dc) return;
    ::GetClientRect(hwnd, &linkRect_);
    {
        const SelectionScope font(dc.Get(), linkFont_.Get());
        ::DrawTextW(dc.Get(), text, -1, &linkRect_, DT_LEFT | DT_WORDBREAK | DT_CALCRECT);
    }
    // Keep the tooltip's area on the text as it moves.
    if (tooltip_) {
        TTTOOLINFOW info = ToolInfo(hwnd);
        info.rect = linkRect_;
        ::SendMessageW(tooltip_.Get(), TTM_NEWTOOLRECTW, 0, reinterpret_cast<LPARAM>(&info));
    }
}

bool CHyperLink::OnLink(LPARAM lParam) const noexcept {
    return OnLink(POINT{GET_X_LPARAM(lParam), GET_Y_LPARAM(lParam)});
}

bool CHyperLink::CursorOnLink() const noexcept {
    POINT point{};
    if (!::GetCursorPos(&point) || !::ScreenToClient(Window(), &point)) return false;
    return OnLink(point);
}

void CHyperLink::Repaint(bool update) noexcept {
    ::InvalidateRect(Window(), nullptr, TRUE);
    if (update) ::UpdateWindow(Window());
}

LRESULT CHyperLink::HandleMessage(UINT msg, WPARAM wParam, LPARAM lParam, bool& handled) noexcept {
    if (msg >= WM_MOUSEFIRST && msg <= kLastRelayedMouseMessage && tooltip_) {
        MSG relayed{};
        relayed.hwnd = Window();
        relayed.message = msg;
        relayed.wParam = wParam;
        relayed.lParam = lParam;
        ::SendMessageW(tooltip_.Get(), TTM_RELAYEVENT, 0, reinterpret_cast<LPARAM>(&relayed));
    }

    handled = true;
    switch (msg) {
    case WM_MOUSEMOVE:
        return OnMouseMove(lParam, handled);
    case WM_SETCURSOR:
        return OnSetCursor(handled);
    case WM_LBUTTONDOWN:
        OnLButtonDown(lParam);
        return 0;
    case WM_LBUTTONUP:
        OnLButtonUp(lParam);
        return 0;
    case WM_CHAR:
        OnChar(wParam);
        return 0;
    case WM_GETDLGCODE:
        return DLGC_WANTCHARS;
    case WM_SETFOCUS:
    case WM_KILLFOCUS:
        Repaint(false);
        return 0;
    case WM_ERASEBKGND:
        return 1;
    case WM_PAINT:
    case WM_PRINTCLIENT:
        OnPaint(reinterpret_cast<HDC>(wParam));
        return 0;
    case WM_SIZE:
        MeasureLink();
        Repaint(false);
        return 0;
    case WM_ENABLE:
        Repaint(true);
        return 0;
    case WM_GETFONT:
        return reinterpret_cast<LRESULT>(normalFont_.Get());
    case WM_SETFONT:
        OnSetFont(reinterpret_cast<HFONT>(wParam), lParam != 0);
        return 0;
    case WM_UPDATEUISTATE:
        return 0;
    case WM_DESTROY:
        OnDestroy();
        handled = false;
        return 0;
    default:
        handled = false;
        return 0;
    }
}

LRESULT CHyperLink::OnMouseMove(LPARAM lParam, bool& handled) noexcept {
    if (target_ && OnLink(lParam)) {
        ::SetCursor(handCursor_);
        return 0;
    }
    handled = false;
    return 0;
}

LRESULT CHyperLink::OnSetCursor(bool& handled) noexcept {
    if (target_ && CursorOnLink()) {
        // Set here too, so the hand shows even before the first WM_MOUSEMOVE over the text.
        ::SetCursor(handCursor_);
        return TRUE;
    }
    handled = false;
    return 0;
}

void CHyperLink::OnLButtonDown(LPARAM lParam) noexcept {
    if (!OnLink(lParam)) return;
    ::SetFocus(Window());
    ::SetCapture(Window());
}

void CHyperLink::OnLButtonUp(LPARAM lParam) noexcept {
    if (::GetCapture() != Window()) return;
    ::ReleaseCapture();
    if (OnLink(lParam)) OpenTarget();
}

void CHyperLink::OnChar(WPARAM ch) noexcept {
    if (ch == 13 || ch == 32) OpenTarget();
}

void CHyperLink::OnPaint(HDC given) noexcept {
    const HWND hwnd = Window();
    auto paint = [&](HDC dc) {
        LinkAppearance look;
        ::GetClientRect(hwnd, &look.client);
        look.link = linkRect_;
        look.background = reinterpret_cast<HBRUSH>(
            ::SendMessageW(::GetParent(hwnd), WM_CTLCOLORSTATIC, reinterpret_cast<WPARAM>(dc),
                           reinterpret_cast<LPARAM>(hwnd)));
        look.textColour = LinkTextColour(colours_, ::IsWindowEnabled(hwnd) != FALSE, visited_);
        look.font = linkFont_.Get() ? linkFont_.Get() : normalFont_.Get();
        look.text = PaintedText();
        look.focused = ::GetFocus() == hwnd;
        PaintLink(dc, look);
    };
    if (given) {
        paint(given);
    } else {
        const PaintScope scope(hwnd);
        paint(scope.Get());
    }
}

void CHyperLink::OnSetFont(HFONT font, bool redraw) noexcept {
    normalFont_.Reset(font, false);
    if (linkFont_.Owned()) DeriveLinkFont();
    MeasureLink();
    if (redraw) Repaint(true);
}

void CHyperLink::OnDestroy() noexcept {
    tooltip_.Reset();
    linkFont_.Reset();
    normalFont_.Reset();
}

}  // namespace quillon
