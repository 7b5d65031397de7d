#include "hexview/hex_dialog.h"

#include <algorithm>

#include "common/center_over_owner.h"
#include "common/module.h"
#include "common/safe_read.h"
#include "hexview/data_inspector.h"
#include "hexview/hex_edit_control.h"
#include "hexview/hex_lines.h"
#include "resources/resource.h"

namespace quillon {

namespace {

constexpr UINT kFindDone = WM_APP + 1;
constexpr UINT_PTR kProgressTimer = 1;
constexpr UINT_PTR kLiveStatusTimer = 2;

// The dialog whose keys the message filter serves; the dialog is modal, so one per thread.
thread_local CHexDlg* t_active = nullptr;

}  // namespace

INT_PTR CHexDlg::Run(HWND owner) { return DoModal(owner, IDD_HEXVIEW); }

BOOL CHexDlg::OnInitDialog() noexcept {
    const HWND dialog = Window();
    CenterOverOwner(dialog, ::GetParent(dialog));
    RECT client{};
    ::GetClientRect(dialog, &client);
    const int width = client.right - client.left;
    const int height = std::max<int>(client.bottom - client.top - kButtonStrip, 0);
    control_ = ::CreateWindowExW(0, kHexEditControlClass, nullptr, WS_CHILD | WS_VISIBLE | WS_CLIPCHILDREN, 0, 0,
                                 width, height, dialog, nullptr, ThisModule(), nullptr);
    if (control_) ::SendMessageW(control_, HEM_SETDATA, static_cast<WPARAM>(size_), reinterpret_cast<LPARAM>(data_));

    // Where the template put the strip's items: they keep their distance from the bottom edge (and
    // OK and the check box from the right edge; the status line stretches).
    templateClient_ = SIZE{client.right, client.bottom};
    const int ids[3] = {IDOK, IDC_HEX_STATUS, IDC_HEX_BIGENDIAN};
    for (int i = 0; i < 3; ++i) {
        anchored_[i].id = ids[i];
        anchored_[i].stretch = ids[i] == IDC_HEX_STATUS;
        if (const HWND item = ::GetDlgItem(dialog, ids[i])) {
            ::GetWindowRect(item, &anchored_[i].rect);
            ::MapWindowPoints(nullptr, dialog, reinterpret_cast<POINT*>(&anchored_[i].rect), 2);
        }
    }
    laidOut_ = true;

    t_active = this;
    filter_ = ::SetWindowsHookExW(WH_MSGFILTER, &CHexDlg::MessageFilter, nullptr, ::GetCurrentThreadId());
    UpdateStatus();
    return TRUE;  // the focus goes to the first tab stop, the OK button
}

void CHexDlg::Layout(int width, int height) noexcept {
    if (!laidOut_) return;
    const HWND dialog = Window();
    if (control_) ::MoveWindow(control_, 0, 0, std::max(width, 0), std::max(height - kButtonStrip, 0), TRUE);
    const int dx = width - templateClient_.cx;
    const int dy = height - templateClient_.cy;
    for (const Anchored& item : anchored_) {
        const HWND window = ::GetDlgItem(dialog, item.id);
        if (!window) continue;
        const int w = item.rect.right - item.rect.left;
        const int h = item.rect.bottom - item.rect.top;
        if (item.stretch) {
            ::MoveWindow(window, item.rect.left, item.rect.top + dy, std::max(w + dx, 0), h, FALSE);
        } else {
            ::MoveWindow(window, item.rect.left + dx, item.rect.top + dy, w, h, FALSE);
        }
    }
    // The dialog erases its background over its children: the strip and everything in it is painted
    // again, the dialog first, so a moved item is never left erased.
    const RECT strip{0, std::max(height - kButtonStrip, 0), width, height};
    ::RedrawWindow(dialog, &strip, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_ALLCHILDREN);
}

std::int32_t CHexDlg::Selection(std::int32_t& start, std::int32_t& end) const noexcept {
    start = end = 0;
    if (!control_) return 0;
    return static_cast<std::int32_t>(::SendMessageW(control_, HEM_GETSELECTION, reinterpret_cast<WPARAM>(&start),
                                                    reinterpret_cast<LPARAM>(&end)));
}

void CHexDlg::UpdateStatus() {
    std::int32_t start = 0, end = 0;
    const std::int32_t caret = Selection(start, end);
    unsigned char bytes[8] = {};
    unsigned char readable[8] = {};
    std::size_t available = 0;
    if (control_ && data_ && caret < size_) {
        const std::size_t count = static_cast<std::size_t>(std::min<std::int64_t>(8, std::int64_t{size_} - caret));
        ReadReadableBytes(data_ + caret, bytes, readable, count);
        while (available < count && readable[available]) ++available;
    }
    const std::wstring text =
        FormatStatusLine(caret, start, end, live_, note_, FormatInspector(bytes, available, bigEndian_));
    if (text == shown_) return;  // no flicker from the live refresh
    shown_ = text;
    ::SetDlgItemTextW(Window(), IDC_HEX_STATUS, text.c_str());
}

bool CHexDlg::OnDialogKey(HexDialogKey key) {
    switch (key) {
        case HexDialogKey::GoTo: GoTo(); return true;
        case HexDialogKey::Find: OpenFind(); return true;
        case HexDialogKey::FindNext: FindAgain(false); return true;
        case HexDialogKey::FindPrevious: FindAgain(true); return true;
        case HexDialogKey::ToggleLive: SetLive(!live_); return true;
        case HexDialogKey::ToggleOrder:
            bigEndian_ = !bigEndian_;
            ::CheckDlgButton(Window(), IDC_HEX_BIGENDIAN, bigEndian_ ? BST_CHECKED : BST_UNCHECKED);
            UpdateStatus();
            return true;
        case HexDialogKey::Copy:
            if (control_) ::SendMessageW(control_, HEM_COPY, HEXCOPY_BYTES, 0);
            return true;
        case HexDialogKey::CopyCArray:
            if (control_) ::SendMessageW(control_, HEM_COPY, HEXCOPY_CARRAY, 0);
            return true;
        case HexDialogKey::CancelSearch:
            if (!job_.Running()) return false;
            job_.Cancel();
            return true;
        case HexDialogKey::None: return false;
    }
    return false;
}

void CHexDlg::GoTo() {
    if (!control_) return;
    std::int32_t start = 0, end = 0;
    const std::int32_t caret = Selection(start, end);
    CHexGoToDlg ask(lastGoTo_, caret, size_);
    if (ask.Run(Window()) != IDOK) return;
    // The control takes the focus, so the caret is shown and its row scrolled into view.
    ::SetFocus(control_);
    const auto offset = static_cast<WPARAM>(ask.Offset());
    ::SendMessageW(control_, HEM_SETSELECTION, offset, static_cast<LPARAM>(offset));
}

void CHexDlg::OpenFind() {
    if (!control_ || job_.Running()) return;
    CHexFindDlg ask(find_);
    if (ask.Run(Window()) != IDOK) return;
    pattern_ = ask.Pattern();
    StartFind(find_.backward);
}

void CHexDlg::FindAgain(bool backward) {
    if (!control_ || job_.Running()) return;
    if (pattern_.Empty()) {
        OpenFind();  // nothing to repeat yet
        return;
    }
    StartFind(backward);
}

void CHexDlg::StartFind(bool backward) {
    std::int32_t start = 0, end = 0;
    Selection(start, end);
    // Forward from the end of the selection (the caret when there is none); backward, matches that
    // start before it.
    const std::uint64_t from = static_cast<std::uint64_t>(backward ? start : end);
    if (!job_.Start(Window(), kFindDone, data_, static_cast<std::uint64_t>(size_), pattern_, from,
                    backward ? SearchDirection::Backward : SearchDirection::Forward)) {
        return;
    }
    jobStarted_ = ::GetTickCount();
    note_.clear();
    ::SetTimer(Window(), kProgressTimer, 100, nullptr);
}

void CHexDlg::ShowFindProgress() {
    if (!job_.Running() || ::GetTickCount() - jobStarted_ < kProgressDelayMs) return;
    note_ = L"Searching... " + std::to_wstring(job_.Percent()) + L"% (Esc stops)";
    UpdateStatus();
}

void CHexDlg::OnFindDone() {
    ::KillTimer(Window(), kProgressTimer);
    bool cancelled = false;
    const std::optional<std::uint64_t> found = job_.Finish(cancelled);
    if (found && control_) {
        note_.clear();
        ::SetFocus(control_);
        ::SendMessageW(control_, HEM_SETSELECTION, static_cast<WPARAM>(*found),
                       static_cast<LPARAM>(*found + pattern_.Size()));
    } else {
        note_ = cancelled ? L"Search stopped" : L"Not found";
    }
    UpdateStatus();
}

void CHexDlg::SetLive(bool on) {
    if (!control_) return;
    live_ = on;
    ::SendMessageW(control_, HEM_SETLIVE, on ? TRUE : FALSE, 0);
    // The inspector follows the bytes at the caret while they change.
    if (on) {
        ::SetTimer(Window(), kLiveStatusTimer, 250, nullptr);
    } else {
        ::KillTimer(Window(), kLiveStatusTimer);
    }
    UpdateStatus();
}

LRESULT CALLBACK CHexDlg::MessageFilter(int code, WPARAM wParam, LPARAM lParam) noexcept {
    CHexDlg* self = t_active;
    if (code == MSGF_DIALOGBOX && self && self->Window()) {
        const auto* msg = reinterpret_cast<const MSG*>(lParam);
        const HWND dialog = self->Window();
        if (msg->message == WM_KEYDOWN && (msg->hwnd == dialog || ::IsChild(dialog, msg->hwnd))) {
            const HexDialogKey key =
                DialogKeyFor(static_cast<unsigned>(msg->wParam), ::GetKeyState(VK_CONTROL) < 0,
                             ::GetKeyState(VK_SHIFT) < 0, ::GetKeyState(VK_MENU) < 0, self->job_.Running());
            if (key != HexDialogKey::None) {
                try {
                    if (self->OnDialogKey(key)) return 1;
                } catch (...) {
                    return 1;
                }
            }
        }
    }
    return ::CallNextHookEx(nullptr, code, wParam, lParam);
}

INT_PTR CHexDlg::HandleMessage(UINT msg, WPARAM wParam, LPARAM lParam, bool& handled) {
    switch (msg) {
        case WM_INITDIALOG:
            handled = true;
            return OnInitDialog();
        case WM_SIZE:
            Layout(static_cast<short>(LOWORD(lParam)), static_cast<short>(HIWORD(lParam)));
            return FALSE;
        case WM_COMMAND:
            switch (LOWORD(wParam)) {
                case IDOK:
                case IDCANCEL:
                    ::EndDialog(Window(), LOWORD(wParam));
                    handled = true;
                    return TRUE;
                case IDC_HEX_BIGENDIAN:
                    if (HIWORD(wParam) == BN_CLICKED) {
                        bigEndian_ = ::IsDlgButtonChecked(Window(), IDC_HEX_BIGENDIAN) == BST_CHECKED;
                        UpdateStatus();
                        handled = true;
                    }
                    return FALSE;
                default:
                    if (control_ && reinterpret_cast<HWND>(lParam) == control_ && HIWORD(wParam) == HEN_SELCHANGE) {
                        if (!job_.Running()) note_.clear();
                        UpdateStatus();
                        handled = true;
                    }
                    return FALSE;
            }
        case WM_TIMER:
            if (wParam == kProgressTimer) ShowFindProgress();
            if (wParam == kLiveStatusTimer) UpdateStatus();
            handled = true;
            return TRUE;
        case kFindDone:
            OnFindDone();
            handled = true;
            return TRUE;
        case WM_DESTROY:
            // The worker reads the view; it stops before the caller unmaps it.
            job_.Stop();
            if (filter_) ::UnhookWindowsHookEx(filter_);
            filter_ = nullptr;
            if (t_active == this) t_active = nullptr;
            return FALSE;
        case WM_NCDESTROY:
            control_ = nullptr;
            return FALSE;
        default:
            return FALSE;
    }
}

}  // namespace quillon
