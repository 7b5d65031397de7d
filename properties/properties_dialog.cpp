#include "properties/properties_dialog.h"

#include <commctrl.h>

#include <algorithm>
#include <atomic>
#include <mutex>
#include <thread>

#include "common/center_over_owner.h"
#include "common/gdi_scopes.h"
#include "properties/region_strip.h"
#include "properties/report_clipboard.h"
#include "resources/resource.h"

namespace quillon {

namespace {

// Ctrl+C reaches whichever control has the focus, so a message filter of the dialog's modal loop
// catches it for the whole dialog. One Properties dialog runs at a time on a thread.
thread_local HWND activeDialog = nullptr;
thread_local HHOOK filterHook = nullptr;

LRESULT CALLBACK DialogKeyFilter(int code, WPARAM wParam, LPARAM lParam) noexcept {
    const auto* msg = reinterpret_cast<const MSG*>(lParam);
    if (code == MSGF_DIALOGBOX && msg && activeDialog && msg->message == WM_KEYDOWN && msg->wParam == 'C' &&
        ::GetKeyState(VK_CONTROL) < 0 && ::GetKeyState(VK_MENU) >= 0 &&
        (msg->hwnd == activeDialog || ::IsChild(activeDialog, msg->hwnd))) {
        ::SendMessageW(activeDialog, WM_COMMAND, MAKEWPARAM(IDC_PROPERTIES_COPY, BN_CLICKED), 0);
        return 1;
    }
    return ::CallNextHookEx(filterHook, code, wParam, lParam);
}

// Installed around the modal loop; the dialog names itself at WM_INITDIALOG.
class KeyFilterScope {
public:
    KeyFilterScope() noexcept {
        filterHook = ::SetWindowsHookExW(WH_MSGFILTER, &DialogKeyFilter, nullptr, ::GetCurrentThreadId());
    }
    ~KeyFilterScope() {
        if (filterHook) ::UnhookWindowsHookEx(filterHook);
        filterHook = nullptr;
        activeDialog = nullptr;
    }
    KeyFilterScope(const KeyFilterScope&) = delete;
    KeyFilterScope& operator=(const KeyFilterScope&) = delete;
};

void InsertRow(HWND list, int index, const std::wstring& field, const std::wstring& value) {
    LVITEMW item{};
    item.mask = LVIF_TEXT;
    item.iItem = index;
    item.pszText = const_cast<wchar_t*>(field.c_str());
    const int row = static_cast<int>(::SendMessageW(list, LVM_INSERTITEMW, 0, reinterpret_cast<LPARAM>(&item)));
    if (row < 0) return;
    item.iItem = row;
    item.iSubItem = 1;
    item.pszText = const_cast<wchar_t*>(value.c_str());
    ::SendMessageW(list, LVM_SETITEMTEXTW, row, reinterpret_cast<LPARAM>(&item));
}

void AddColumn(HWND list, int index, const wchar_t* title, int width) {
    LVCOLUMNW column{};
    column.mask = LVCF_TEXT | LVCF_WIDTH | LVCF_SUBITEM;
    column.pszText = const_cast<wchar_t*>(title);
    column.cx = width;
    column.iSubItem = index;
    ::SendMessageW(list, LVM_INSERTCOLUMNW, index, reinterpret_cast<LPARAM>(&column));
}

RECT DialogUnits(HWND dialog, int x, int y) {
    RECT rect{0, 0, x, y};
    ::MapDialogRect(dialog, &rect);
    return rect;
}

void Place(HWND control, int x, int y, int width, int height) {
    ::SetWindowPos(control, nullptr, x, y, std::max(width, 0), std::max(height, 0), SWP_NOZORDER | SWP_NOACTIVATE);
}

}  // namespace

// What the dialog and its searching thread share. The thread posts to `dialog` only while it is set,
// under the lock; the dialog clears it as its window goes.
struct CPropertiesDlg::HandleSearch {
    std::atomic<bool> cancel{false};
    std::mutex lock;
    HWND dialog = nullptr;
    bool done = false;
    SectionFact result;
};

CPropertiesDlg::CPropertiesDlg(SectionReport report) : report_(std::move(report)) {}

CPropertiesDlg::~CPropertiesDlg() { StopHandleSearch(); }

void CPropertiesDlg::StartHandleSearch() {
    const bool pending = std::any_of(report_.facts.begin(), report_.facts.end(), [](const SectionFact& fact) {
        return fact.field == L"Handles" && !fact.available && fact.value == kHandlesPending;
    });
    if (!pending || report_.facts.empty()) return;
    search_ = std::make_shared<HandleSearch>();
    search_->dialog = Window();
    std::shared_ptr<HandleSearch> search = search_;
    const std::wstring name = report_.facts.front().value;
    try {
        std::thread([search, name] {
            SectionFact fact = GatherHandlesFact(name, &search->cancel);
            std::lock_guard<std::mutex> hold(search->lock);
            search->result = std::move(fact);
            search->done = true;
            if (search->dialog) ::PostMessageW(search->dialog, kHandlesFound, 0, 0);
        }).detach();
    } catch (...) {
        search_.reset();  // no thread: the row keeps saying the search did not finish
    }
}

void CPropertiesDlg::OnHandlesFound() {
    if (!search_) return;
    SectionFact fact;
    {
        std::lock_guard<std::mutex> hold(search_->lock);
        if (!search_->done) return;
        fact = search_->result;
    }
    for (SectionFact& shown : report_.facts)
        if (shown.field == L"Handles") shown = fact;
    FillList();
}

void CPropertiesDlg::StopHandleSearch() noexcept {
    if (!search_) return;
    search_->cancel = true;
    std::lock_guard<std::mutex> hold(search_->lock);
    search_->dialog = nullptr;
}

INT_PTR CPropertiesDlg::Run(HWND owner) {
    KeyFilterScope keys;
    return DoModal(owner, IDD_PROPERTIES);
}

std::wstring CPropertiesDlg::Caption(const SectionReport& report) {
    const std::wstring name = report.facts.empty() ? std::wstring() : report.facts.front().value;
    return name + L" Properties";
}

bool CPropertiesDlg::CopyReport() const noexcept {
    try {
        const bool copied = PutTextOnClipboard(Window(), FormatReportText(report_));
        if (!copied) ::MessageBeep(MB_ICONWARNING);
        return copied;
    } catch (...) {
        return false;
    }
}

BOOL CPropertiesDlg::OnInitDialog() {
    const HWND dialog = Window();
    activeDialog = dialog;
    ::SetWindowTextW(dialog, Caption(report_).c_str());
    RECT window{};
    ::GetWindowRect(dialog, &window);
    minimumSize_ = POINT{window.right - window.left, window.bottom - window.top};

    HWND list = ::GetDlgItem(dialog, IDC_PROPERTIES_LIST);
    ::SendMessageW(list, LVM_SETEXTENDEDLISTVIEWSTYLE, LVS_EX_FULLROWSELECT | LVS_EX_GRIDLINES,
                   LVS_EX_FULLROWSELECT | LVS_EX_GRIDLINES);
    AddColumn(list, 0, L"Field", DialogUnits(dialog, 80, 0).right);
    AddColumn(list, 1, L"Value", DialogUnits(dialog, 260, 0).right);
    FillList();

    std::wstring warnings;
    for (const std::wstring& warning : report_.warnings) warnings += (warnings.empty() ? L"" : L" ") + warning;
    ::SetDlgItemTextW(dialog, IDC_PROPERTIES_WARNING, warnings.c_str());
    if (!warnings.empty()) {
        warningIcon_ = ::LoadIconW(nullptr, IDI_WARNING);
        ::SendDlgItemMessageW(dialog, IDC_PROPERTIES_WARNICON, STM_SETICON, reinterpret_cast<WPARAM>(warningIcon_), 0);
    }
    const int show = warnings.empty() ? SW_HIDE : SW_SHOWNA;
    ::ShowWindow(::GetDlgItem(dialog, IDC_PROPERTIES_WARNING), show);
    ::ShowWindow(::GetDlgItem(dialog, IDC_PROPERTIES_WARNICON), show);

    Layout();
    CenterOverOwner(dialog, ::GetWindow(dialog, GW_OWNER));
    StartHandleSearch();
    ::SetFocus(list);
    return FALSE;  // the focus is set: the report list, where Ctrl+C and the arrows act
}

void CPropertiesDlg::FillList() {
    HWND list = ::GetDlgItem(Window(), IDC_PROPERTIES_LIST);
    // Thousands of region lines go in with the redraw off: one repaint at the end.
    ::SendMessageW(list, WM_SETREDRAW, FALSE, 0);
    const int top = static_cast<int>(::SendMessageW(list, LVM_GETTOPINDEX, 0, 0));
    ::SendMessageW(list, LVM_DELETEALLITEMS, 0, 0);
    int row = 0;
    for (const SectionFact& fact : report_.facts) {
        const std::wstring value = FactDisplayValue(fact);
        std::wstring::size_type start = 0;
        bool first = true;
        for (;;) {
            const std::wstring::size_type end = value.find(L'\n', start);
            // A multi-line value continues on rows of its own, under an empty field.
            InsertRow(list, row++, first ? fact.field : std::wstring(), value.substr(start, end - start));
            first = false;
            if (end == std::wstring::npos) break;
            start = end + 1;
        }
    }
    // Both columns as wide as their texts (a long SDDL scrolls sideways), the value column at least
    // to the list's right edge. Thousands of region rows are not measured.
    if (row <= 500) {
        ::SendMessageW(list, LVM_SETCOLUMNWIDTH, 0, LVSCW_AUTOSIZE_USEHEADER);
        ::SendMessageW(list, LVM_SETCOLUMNWIDTH, 1, LVSCW_AUTOSIZE);
        const int fitted = static_cast<int>(::SendMessageW(list, LVM_GETCOLUMNWIDTH, 1, 0));
        ::SendMessageW(list, LVM_SETCOLUMNWIDTH, 1, LVSCW_AUTOSIZE_USEHEADER);
        const int filling = static_cast<int>(::SendMessageW(list, LVM_GETCOLUMNWIDTH, 1, 0));
        ::SendMessageW(list, LVM_SETCOLUMNWIDTH, 1, std::max(fitted, filling));
    }
    // A refill (the handles arrived) keeps the rows the reader was looking at in view.
    if (top > 0) ::SendMessageW(list, LVM_ENSUREVISIBLE, std::min(top + ListView_GetCountPerPage(list) - 1, row - 1), FALSE);
    ::SendMessageW(list, WM_SETREDRAW, TRUE, 0);
    ::InvalidateRect(list, nullptr, TRUE);
}

void CPropertiesDlg::Layout() {
    const HWND dialog = Window();
    RECT client{};
    ::GetClientRect(dialog, &client);
    const RECT margin = DialogUnits(dialog, 7, 7);
    const RECT button = DialogUnits(dialog, 50, 14);
    const RECT stripSize = DialogUnits(dialog, 0, 30);
    const RECT gap = DialogUnits(dialog, 4, 4);
    const int left = margin.right;
    const int width = client.right - 2 * margin.right;
    int top = margin.bottom;

    HWND warning = ::GetDlgItem(dialog, IDC_PROPERTIES_WARNING);
    // Not IsWindowVisible: the dialog itself is still hidden during WM_INITDIALOG.
    if (!report_.warnings.empty()) {
        const int icon = ::GetSystemMetrics(SM_CYICON);
        Place(::GetDlgItem(dialog, IDC_PROPERTIES_WARNICON), left, top, ::GetSystemMetrics(SM_CXICON), icon);
        const int textLeft = left + ::GetSystemMetrics(SM_CXICON) + gap.right;
        Place(warning, textLeft, top, left + width - textLeft, icon);
        top += icon + gap.bottom;
    }
    const int buttonTop = client.bottom - margin.bottom - button.bottom;
    const int stripTop = buttonTop - gap.bottom - stripSize.bottom;
    Place(::GetDlgItem(dialog, IDC_PROPERTIES_LIST), left, top, width, stripTop - gap.bottom - top);
    HWND strip = ::GetDlgItem(dialog, IDC_PROPERTIES_STRIP);
    Place(strip, left, stripTop, width, stripSize.bottom);
    ::InvalidateRect(strip, nullptr, FALSE);
    Place(::GetDlgItem(dialog, IDC_PROPERTIES_COPY), left, buttonTop, button.right, button.bottom);
    Place(::GetDlgItem(dialog, IDOK), left + width - button.right, buttonTop, button.right, button.bottom);
}

void CPropertiesDlg::OnDrawItem(const DRAWITEMSTRUCT& item) const {
    HFONT font = reinterpret_cast<HFONT>(::SendMessageW(Window(), WM_GETFONT, 0, 0));
    SelectionScope selected(item.hDC, font);
    PaintRegionStrip(item.hDC, item.rcItem, report_.regions);
}

INT_PTR CPropertiesDlg::HandleMessage(UINT msg, WPARAM wParam, LPARAM lParam, bool& handled) {
    switch (msg) {
    case WM_INITDIALOG: {
        handled = true;
        return OnInitDialog();
    }
    case kHandlesFound: {
        OnHandlesFound();
        handled = true;
        return TRUE;
    }
    case WM_DESTROY: {
        StopHandleSearch();
        return FALSE;
    }
    case WM_SIZE: {
        if (wParam != SIZE_MINIMIZED) Layout();
        return FALSE;
    }
    case WM_GETMINMAXINFO: {
        auto* info = reinterpret_cast<MINMAXINFO*>(lParam);
        if (minimumSize_.x > 0) info->ptMinTrackSize = minimumSize_;
        handled = true;
        return TRUE;
    }
    case WM_DRAWITEM: {
        const auto* item = reinterpret_cast<const DRAWITEMSTRUCT*>(lParam);
        if (wParam != IDC_PROPERTIES_STRIP || !item) return FALSE;
        OnDrawItem(*item);
        handled = true;
        return TRUE;
    }
    case WM_COMMAND: {
        switch (LOWORD(wParam)) {
        case IDOK:
        case IDCANCEL:
            ::EndDialog(Window(), LOWORD(wParam));
            handled = true;
            return TRUE;
        case IDC_PROPERTIES_COPY:
            CopyReport();
            handled = true;
            return TRUE;
        default:
            return FALSE;
        }
    }
    default:
        return FALSE;
    }
}

}  // namespace quillon
