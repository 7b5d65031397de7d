#include "shell/main_frame.h"

#include <commctrl.h>
#include <commdlg.h>

#include <cstring>

#include "catalogue/object_directory.h"
#include "common/module.h"
#include "hexview/hex_edit_control.h"
#include "resources/resource.h"
#include "shell/app_module.h"
#include "shell/context_menu.h"
#include "shell/frame_accelerators.h"
#include "shell/frame_commands.h"
#include "shell/menu_help.h"
#include "shell/toolbar.h"

namespace quillon {

namespace {

constexpr wchar_t kClassName[] = L"QuillonMainFrame";
constexpr DWORD kFrameStyle = WS_OVERLAPPEDWINDOW | WS_CLIPCHILDREN | WS_CLIPSIBLINGS;
constexpr DWORD kFrameExStyle = WS_EX_APPWINDOW | WS_EX_WINDOWEDGE;
constexpr DWORD kToolbarStyle = WS_CHILD | WS_VISIBLE | WS_CLIPSIBLINGS | WS_CLIPCHILDREN | TBSTYLE_TOOLTIPS;
constexpr DWORD kStatusBarStyle = WS_CHILD | WS_VISIBLE | WS_CLIPSIBLINGS | WS_CLIPCHILDREN | SBARS_SIZEGRIP;
static_assert(kFrameStyle == 0x06CF0000, "frame style");
static_assert(kFrameExStyle == 0x00040100, "frame extended style");
static_assert(kToolbarStyle == 0x56000100, "toolbar style");
static_assert(kStatusBarStyle == 0x56000100, "status bar style");

// The frame binds itself to its window on the first message: creation passes no parameter, so the
// object being created is handed over here (one thread creates windows).
CMainFrame* g_creating = nullptr;

// Commands that the frame itself handles; anything else (Ctrl+X's ID_EDIT_CUT, ...) is ignored.
bool IsFrameCommand(UINT id) noexcept {
    switch (id) {
    case ID_FILE_REFRESH:
    case ID_APP_EXIT:
    case ID_EDIT_COPY:
    case ID_EDIT_DUMP:
    case ID_EDIT_HEXVIEW:
    case ID_EDIT_FIND:
    case ID_VIEW_TOOLBAR:
    case ID_VIEW_STATUS_BAR:
    case ID_APP_ABOUT:
    case ID_VIEW_ALL_NAMESPACES:
    case ID_EDIT_PROPERTIES:
        return true;
    default:
        return false;
    }
}

LONG WindowHeight(HWND hwnd) {
    RECT r{};
    ::GetWindowRect(hwnd, &r);
    return r.bottom - r.top;
}

bool IsShown(HWND hwnd) { return hwnd && (::GetWindowLongW(hwnd, GWL_STYLE) & WS_VISIBLE); }

}  // namespace

const wchar_t* MainFrameClassName() noexcept { return kClassName; }

UINT FindReplaceMessage() noexcept {
    static const UINT message = ::RegisterWindowMessageW(FINDMSGSTRINGW);
    return message;
}

CMainFrame::CMainFrame()
    : CUpdateUI({{ID_VIEW_TOOLBAR, kMenuPopup}, {ID_VIEW_STATUS_BAR, kMenuPopup}, {ID_VIEW_ALL_NAMESPACES, kMenuPopup}}) {}

CMainFrame::~CMainFrame() {
    if (frame && ::IsWindow(frame)) ::DestroyWindow(frame);
}

bool CMainFrame::RegisterWindowClass() {
    WNDCLASSEXW existing{};
    existing.cbSize = sizeof(existing);
    if (::GetClassInfoExW(ThisModule(), kClassName, &existing)) return true;
    WNDCLASSEXW wc{};
    wc.cbSize = sizeof(wc);
    wc.style = 0;
    wc.lpfnWndProc = &CMainFrame::WindowProc;
    wc.hInstance = ThisModule();
    wc.hCursor = ::LoadCursorW(nullptr, IDC_ARROW);
    wc.hbrBackground = reinterpret_cast<HBRUSH>(COLOR_WINDOW + 1);
    wc.hIcon = static_cast<HICON>(::LoadImageW(ThisModule(), MAKEINTRESOURCEW(IDR_MAINFRAME), IMAGE_ICON,
                                               ::GetSystemMetrics(SM_CXICON), ::GetSystemMetrics(SM_CYICON),
                                               LR_DEFAULTCOLOR));
    wc.hIconSm = static_cast<HICON>(::LoadImageW(ThisModule(), MAKEINTRESOURCEW(IDR_MAINFRAME), IMAGE_ICON,
                                                 ::GetSystemMetrics(SM_CXSMICON), ::GetSystemMetrics(SM_CYSMICON),
                                                 LR_DEFAULTCOLOR));
    wc.lpszClassName = kClassName;
    return ::RegisterClassExW(&wc) != 0;
}

HWND CMainFrame::CreateEx() {
    wchar_t caption[256] = {};
    ::LoadStringW(ThisModule(), IDR_MAINFRAME, caption, 256);
    // The window takes the menu over and destroys it with itself; only a failed creation leaves it here.
    UniqueMenu menu(::LoadMenuW(ThisModule(), MAKEINTRESOURCEW(IDR_MAINFRAME)));
    RegisterWindowClass();

    g_creating = this;
    HWND hwnd = ::CreateWindowExW(kFrameExStyle, kClassName, caption, kFrameStyle, CW_USEDEFAULT, CW_USEDEFAULT,
                                  CW_USEDEFAULT, CW_USEDEFAULT, nullptr, menu.Get(), ThisModule(), nullptr);
    g_creating = nullptr;
    if (!hwnd) return nullptr;
    menu.Release();
    accelerators = ::LoadAcceleratorsW(ThisModule(), MAKEINTRESOURCEW(IDR_MAINFRAME));
    return hwnd;
}

LRESULT CALLBACK CMainFrame::WindowProc(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam) noexcept {
    auto* self = reinterpret_cast<CMainFrame*>(::GetWindowLongPtrW(hwnd, GWLP_USERDATA));
    if (!self && g_creating) {
        self = g_creating;
        g_creating = nullptr;
        self->frame = hwnd;
        ::SetWindowLongPtrW(hwnd, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(self));
    }
    if (!self) return ::DefWindowProcW(hwnd, msg, wParam, lParam);

    LRESULT result = 0;
    bool handled = false;
    try {
        result = self->ProcessMessage(msg, wParam, lParam, handled);
    } catch (...) {
        handled = false;
    }
    if (!handled) result = ::DefWindowProcW(hwnd, msg, wParam, lParam);
    if (msg == WM_NCDESTROY) {
        ::SetWindowLongPtrW(hwnd, GWLP_USERDATA, 0);
        self->frame = nullptr;
        self->toolbar = self->statusBar = self->client = nullptr;
    }
    return result;
}

LRESULT CMainFrame::ProcessMessage(UINT msg, WPARAM wParam, LPARAM lParam, bool& handled) {
    // Stage 1: the frame's own messages and commands.
    handled = true;
    switch (msg) {
    case WM_CREATE:
        return OnCreate();
    case WM_DESTROY:
        OnDestroyStage1();
        break;  // stage 4 sees it too
    case WM_CONTEXTMENU:
        if (view_.Window() && reinterpret_cast<HWND>(wParam) == view_.Window()) {
            OnContextMenu(view_.Window(), lParam);
            return 0;
        }
        break;
    case WM_COMMAND:
        if (IsFrameCommand(LOWORD(wParam))) {
            OnCommand(LOWORD(wParam));
            return 0;
        }
        break;
    case WM_NOTIFY:
        if (reinterpret_cast<NMHDR*>(lParam)->code == LVN_COLUMNCLICK) {
            RunSortCommand(view_.Window(), reinterpret_cast<NMLISTVIEW*>(lParam)->iSubItem, sortState_);
            return 0;
        }
        break;
    default:
        if (msg == FindReplaceMessage()) return HandleFindRequest(frame, view_.Window(), lParam);
        break;
    }

    // Stage 2: check marks for popups that open.
    if (msg == WM_INITMENUPOPUP) {
        ApplyMenuStates(reinterpret_cast<HMENU>(wParam));
        handled = false;
        return 0;
    }

    // Stage 3: layout.
    if (msg == WM_SIZE) {
        if (wParam != SIZE_MINIMIZED) LayoutFrame(true);
        handled = false;
        return 0;
    }

    // Stage 4: what every frame window does.
    switch (msg) {
    case WM_DESTROY:
        if (!(::GetWindowLongW(frame, GWL_STYLE) & (WS_CHILD | WS_POPUP))) ::PostQuitMessage(1);
        handled = false;
        return 0;
    case WM_SETFOCUS:
        if (client) ::SetFocus(client);
        handled = false;
        return 0;
    case WM_ERASEBKGND:
        if (client) {
            // The list covers the client area; only the band under the toolbar is painted, because a
            // themed toolbar asks its parent to draw its background through this message.
            FillToolbarBackground(reinterpret_cast<HDC>(wParam));
            return 1;
        }
        handled = false;
        return 0;
    case WM_NOTIFY: {
        auto* header = reinterpret_cast<NMHDR*>(lParam);
        if (header->code == TTN_GETDISPINFOW || header->code == TTN_GETDISPINFOA) return ProvideToolTipText(header);
        break;
    }
    case WM_MENUSELECT:
        ShowMenuHelp(LOWORD(wParam), HIWORD(wParam), reinterpret_cast<HMENU>(lParam));
        handled = false;
        return 0;
    default:
        break;
    }
    handled = false;
    return 0;
}

LRESULT CMainFrame::OnCreate() {
    // 1-2: the bars.
    toolbar = CreateToolbarFromResource(frame, IDR_MAINFRAME, true, kToolbarStyle, ID_TOOLBAR_CHILD);
    if (toolbar) {
        images_.Reset(::ImageList_Create(16, 15, ILC_COLOR32 | ILC_MASK, 2, 1));
        UniqueBitmap strip(::LoadBitmapW(ThisModule(), MAKEINTRESOURCEW(IDR_MAINFRAME)));
        if (images_ && strip) ::ImageList_AddMasked(images_.Get(), strip.Get(), CLR_DEFAULT);
        ::SendMessageW(toolbar, TB_SETIMAGELIST, 0, reinterpret_cast<LPARAM>(images_.Get()));
    }
    wchar_t ready[128] = {};
    ::LoadStringW(ThisModule(), IDS_READY, ready, 128);
    statusBar = ::CreateStatusWindowW(kStatusBarStyle, ready, frame, ID_STATUSBAR_CHILD);

    // 3: the list becomes the client window.
    client = view_.Create(frame);

    // 4-5: the UI-update state.
    AddToolbar(toolbar);
    SetCommandChecked(ID_VIEW_TOOLBAR, true);
    SetCommandChecked(ID_VIEW_STATUS_BAR, true);

    // 6: the hex viewer's window class and clipboard format.
    RegisterHexEditControl(ThisModule());

    // 7: take part in the thread's message loop.
    if (CMessageLoop* loop = AppModule().GetMessageLoop()) {
        loop->AddMessageFilter(this);
        loop->AddIdleHandler(this);
    }

    // 8-9: the session and the native directory routines.
    sortState_ = 0;
    sessionId_ = 0;
    ::ProcessIdToSessionId(::GetCurrentProcessId(), &sessionId_);
    ResolveNativeDirectoryRoutines();

    // 10-11: columns, then the first fill.
    view_.InsertColumns();
    view_.Refresh(sessionId_);
    return 0;
}

void CMainFrame::FillToolbarBackground(HDC dc) const {
    if (!IsShown(toolbar) || !dc) return;
    RECT band{};
    ::GetWindowRect(toolbar, &band);
    ::MapWindowPoints(nullptr, frame, reinterpret_cast<POINT*>(&band), 2);
    ::FillRect(dc, &band, ::GetSysColorBrush(COLOR_BTNFACE));
}

void CMainFrame::OnDestroyStage1() {
    if (CMessageLoop* loop = AppModule().GetMessageLoop()) {
        loop->RemoveMessageFilter(this);
        loop->RemoveIdleHandler(this);
    }
}

void CMainFrame::OnCommand(UINT id) {
    switch (id) {
    case ID_FILE_REFRESH:
        RunRefreshCommand(view_, sessionId_, allNamespaces_, sortState_);
        break;
    case ID_APP_EXIT:
        ::PostMessageW(frame, WM_CLOSE, 0, 0);
        break;
    case ID_EDIT_COPY:
        RunCopyCommand(frame, view_.Window());
        break;
    case ID_EDIT_DUMP:
        RunDumpCommand(frame, view_.Window());
        break;
    case ID_EDIT_HEXVIEW:
        RunHexViewCommand(frame, view_.Window());
        break;
    case ID_EDIT_FIND:
        RunFindCommand(frame, view_.Window());
        break;
    case ID_VIEW_TOOLBAR:
        ToggleBar(toolbar, ID_VIEW_TOOLBAR);
        break;
    case ID_VIEW_STATUS_BAR:
        ToggleBar(statusBar, ID_VIEW_STATUS_BAR);
        break;
    case ID_APP_ABOUT:
        RunAboutCommand(frame);
        break;
    case ID_VIEW_ALL_NAMESPACES:
        // The list follows the toggle at once, as a Refresh would.
        allNamespaces_ = !allNamespaces_;
        SetCommandChecked(ID_VIEW_ALL_NAMESPACES, allNamespaces_);
        RunRefreshCommand(view_, sessionId_, allNamespaces_, sortState_);
        break;
    case ID_EDIT_PROPERTIES:
        RunPropertiesCommand(frame, view_.Window());
        break;
    default:
        break;
    }
}

void CMainFrame::OnContextMenu(HWND list, LPARAM position) {
    UniqueMenu menu(::LoadMenuW(ThisModule(), MAKEINTRESOURCEW(IDR_MAINFRAME)));
    if (!menu) return;
    HMENU edit = ::GetSubMenu(menu.Get(), 1);
    if (!edit) return;
    const POINT at = ContextMenuPosition(list, position);
    ::TrackPopupMenu(edit, TPM_LEFTALIGN | TPM_TOPALIGN | TPM_LEFTBUTTON, at.x, at.y, 0, frame, nullptr);
}

void CMainFrame::ToggleBar(HWND bar, UINT command) {
    if (!bar) return;
    const bool show = !::IsWindowVisible(bar);
    ::ShowWindow(bar, show ? SW_SHOWNOACTIVATE : SW_HIDE);
    SetCommandChecked(command, show);
    LayoutFrame(true);
}

void CMainFrame::LayoutFrame(bool resizeBars) {
    RECT r{};
    ::GetClientRect(frame, &r);
    if (IsShown(toolbar)) {
        if (resizeBars) {
            ::SendMessageW(toolbar, WM_SIZE, 0, 0);
            ::InvalidateRect(toolbar, nullptr, TRUE);
        }
        r.top += WindowHeight(toolbar);
    }
    if (IsShown(statusBar)) {
        if (resizeBars) ::SendMessageW(statusBar, WM_SIZE, 0, 0);
        r.bottom -= WindowHeight(statusBar);
    }
    if (client)
        ::SetWindowPos(client, nullptr, r.left, r.top, r.right - r.left, r.bottom - r.top, SWP_NOZORDER | SWP_NOACTIVATE);
}

void CMainFrame::ShowMenuHelp(UINT item, UINT flags, HMENU menu) {
    if (!statusBar) return;
    if (flags == 0xFFFF && !menu) {
        ::SendMessageW(statusBar, SB_SIMPLE, FALSE, 0);
        return;
    }
    std::wstring text;
    if (!(flags & MF_POPUP)) text = FirstLine(LoadResourceString(MenuHelpStringId(item)));
    ::SendMessageW(statusBar, SB_SIMPLE, TRUE, 0);
    ::SendMessageW(statusBar, SB_SETTEXTW, 255 | SBT_NOBORDERS, reinterpret_cast<LPARAM>(text.c_str()));
}

LRESULT CMainFrame::ProvideToolTipText(NMHDR* header) {
    const UINT id = static_cast<UINT>(header->idFrom);
    if (header->code == TTN_GETDISPINFOW) {
        auto* info = reinterpret_cast<NMTTDISPINFOW*>(header);
        if (id == 0 || (info->uFlags & TTF_IDISHWND)) return 0;
        const std::wstring full = LoadResourceString(id);
        if (full.empty()) return 0;
        const std::wstring tip = AfterFirstLine(full).substr(0, 79);
        if (full.find(L'\n') != std::wstring::npos) {
            std::memcpy(info->szText, tip.c_str(), (tip.size() + 1) * sizeof(wchar_t));
            info->uFlags |= TTF_DI_SETITEM;
        }
        return 0;
    }
    auto* info = reinterpret_cast<NMTTDISPINFOA*>(header);
    if (id == 0 || (info->uFlags & TTF_IDISHWND)) return 0;
    char full[256] = {};
    if (::LoadStringA(ThisModule(), id, full, 256) <= 0) return 0;
    if (const char* feed = std::strchr(full, '\n')) {
        lstrcpynA(info->szText, feed + 1, 80);
        info->uFlags |= TTF_DI_SETITEM;
    }
    return 0;
}

bool CMainFrame::PreTranslateMessage(MSG* msg) {
    if (TranslateFrameAccelerator(frame, accelerators, msg)) return true;
    if (view_.PreTranslateMessage(msg)) return true;
    return TranslateFindDialogMessage(msg);
}

bool CMainFrame::OnIdle() {
    RefreshToolbars();
    return false;
}

}  // namespace quillon
