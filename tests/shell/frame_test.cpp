// The main frame: creation, accelerators, commands, context menu, layout, bars and menu help.
#include <windows.h>
#include <commctrl.h>

#include <gtest/gtest.h>

#include <algorithm>
#include <cstring>
#include <vector>

#include "catalogue/list_rows.h"
#include "resources/resource.h"
#include "shell/context_menu.h"
#include "shell/menu_help.h"
#include "tests/shell/frame_fixture.h"
#include "tests/support/test_namespace.h"
#include "tests/support/test_sections.h"

namespace quillon {
namespace {

using test::FrameTest;
using test::HeldKeys;

std::wstring MenuText(HMENU menu, UINT position) {
    wchar_t text[128] = {};
    ::GetMenuStringW(menu, position, text, 128, MF_BYPOSITION);
    return text;
}

RECT ChildRectInParent(HWND child) {
    RECT r{};
    ::GetWindowRect(child, &r);
    ::MapWindowPoints(nullptr, ::GetParent(child), reinterpret_cast<POINT*>(&r), 2);
    return r;
}

MSG KeyMessage(HWND target, UINT vk, bool alt = false) {
    MSG msg{};
    msg.hwnd = target;
    msg.message = alt ? WM_SYSKEYDOWN : WM_KEYDOWN;
    msg.wParam = vk;
    msg.lParam = alt ? (1 | (1 << 29)) : 1;
    return msg;
}

TEST_F(FrameTest, CreationBuildsMenuBarsAndTheFilledList) {
    EXPECT_EQ(test::WindowText(Frame()), L"Quillon");
    EXPECT_EQ(static_cast<DWORD>(::GetWindowLongW(Frame(), GWL_STYLE)) & 0x06CF0000u, 0x06CF0000u);
    EXPECT_EQ(static_cast<DWORD>(::GetWindowLongW(Frame(), GWL_EXSTYLE)) & 0x00040100u, 0x00040100u);

    HMENU bar = ::GetMenu(Frame());
    ASSERT_NE(bar, nullptr);
    const std::vector<std::wstring> popups = {L"&File", L"&Edit", L"&View", L"&Help"};
    ASSERT_EQ(::GetMenuItemCount(bar), 4);
    for (UINT i = 0; i < 4; ++i) EXPECT_EQ(MenuText(bar, i), popups[i]);
    HMENU edit = ::GetSubMenu(bar, 1);
    EXPECT_EQ(MenuText(edit, 0), L"&Copy\tCtrl+C");
    EXPECT_EQ(MenuText(edit, 1), L"&Dump\tCtrl+D");
    EXPECT_EQ(MenuText(edit, 2), L"He&x View\t Ctrl+X");
    EXPECT_EQ(MenuText(edit, 3), L"&Find\tCtrl+F");
    EXPECT_EQ(MenuText(::GetSubMenu(bar, 0), 0), L"&Refresh\tCtrl+R");
    EXPECT_EQ(MenuText(::GetSubMenu(bar, 0), 2), L"E&xit");
    EXPECT_EQ(MenuText(::GetSubMenu(bar, 3), 0), L"&About Quillon");
    // View: the two bar toggles, then a separator and All Namespaces.
    HMENU view = ::GetSubMenu(bar, 2);
    ASSERT_EQ(::GetMenuItemCount(view), 4);
    EXPECT_EQ(::GetMenuItemID(view, 0), static_cast<UINT>(ID_VIEW_TOOLBAR));
    EXPECT_EQ(::GetMenuItemID(view, 1), static_cast<UINT>(ID_VIEW_STATUS_BAR));
    EXPECT_TRUE(::GetMenuState(view, 2, MF_BYPOSITION) & MF_SEPARATOR);
    EXPECT_EQ(::GetMenuItemID(view, 3), 32780u);
    EXPECT_EQ(MenuText(view, 3), L"All &Namespaces");

    ASSERT_NE(frame_->ToolbarWindow(), nullptr);
    ASSERT_NE(frame_->StatusBarWindow(), nullptr);
    EXPECT_EQ(::GetDlgCtrlID(frame_->ToolbarWindow()), ID_VIEW_TOOLBAR);
    EXPECT_EQ(::GetDlgCtrlID(frame_->StatusBarWindow()), ID_VIEW_STATUS_BAR);
    wchar_t status[64] = {};
    ::SendMessageW(frame_->StatusBarWindow(), SB_GETTEXTW, 0, reinterpret_cast<LPARAM>(status));
    EXPECT_STREQ(status, L"Ready");
    EXPECT_TRUE(::GetWindowLongW(frame_->StatusBarWindow(), GWL_STYLE) & SBARS_SIZEGRIP);

    EXPECT_EQ(frame_->SortState(), 0u);
    DWORD session = 0;
    ::ProcessIdToSessionId(::GetCurrentProcessId(), &session);
    EXPECT_EQ(frame_->SessionId(), session);
    // Both View items checked from the start; the filter and idle handler joined the loop.
    EXPECT_TRUE(frame_->IsCommandChecked(ID_VIEW_TOOLBAR));
    EXPECT_TRUE(frame_->IsCommandChecked(ID_VIEW_STATUS_BAR));
    EXPECT_FALSE(frame_->IsCommandChecked(ID_VIEW_ALL_NAMESPACES));
    EXPECT_FALSE(frame_->AllNamespaces());
    WNDCLASSW hex{};
    EXPECT_TRUE(::GetClassInfoW(::GetModuleHandleW(nullptr), L"HexEditControl", &hex));
}

TEST_F(FrameTest, TheFirstFillHappensDuringCreation) {
    test::TestSection section(test::UniqueName(L"QuillonFrameFill"), test::SectionOptions{});
    frame_.reset();
    DrainQuit();
    frame_ = std::make_unique<CMainFrame>();
    ASSERT_NE(frame_->CreateEx(), nullptr);
    // Not shown yet, and the row is already there.
    EXPECT_FALSE(::IsWindowVisible(Frame()));
    EXPECT_NE(test::FindRow(List(), section.Name()), -1);
}

TEST_F(FrameTest, AcceleratorsRunTheirCommandsOrSwallowTheKeystroke) {
    test::TestSection section(test::UniqueName(L"QuillonCtrlR"), test::SectionOptions{});
    ASSERT_EQ(test::FindRow(List(), section.Name()), -1);

    // A keystroke aimed at another window of the thread is that window's own: its edit box keeps
    // Ctrl+R, Ctrl+V and the rest. Aimed at the list, it reaches the frame's table.
    test::TestParentWindow other(300, 200);
    HWND edit = ::CreateWindowExW(0, L"EDIT", L"", WS_CHILD | WS_VISIBLE, 0, 0, 100, 20, other.Get(), nullptr,
                                  ::GetModuleHandleW(nullptr), nullptr);
    {
        HeldKeys ctrl({VK_CONTROL});
        MSG msg = KeyMessage(edit, 'R');
        EXPECT_FALSE(loop_.PreTranslateMessage(&msg));
        EXPECT_EQ(test::FindRow(List(), section.Name()), -1);
        msg = KeyMessage(List(), 'R');
        EXPECT_TRUE(loop_.PreTranslateMessage(&msg));
    }
    EXPECT_NE(test::FindRow(List(), section.Name()), -1) << "Ctrl+R refreshed the list";

    // Keys whose commands nothing handles are consumed and change nothing, even with a row selected.
    ASSERT_TRUE(SelectOneRow(List(), test::FindRow(List(), section.Name())));
    int dialogs = 0;
    test::ModalAnswerer closer([&](HWND dialog) {
        ++dialogs;
        ::PostMessageW(dialog, WM_COMMAND, IDCANCEL, 0);
        return true;
    });
    struct Key {
        UINT vk;
        std::initializer_list<int> held;
        bool alt;
    };
    const Key swallowed[] = {{'V', {VK_CONTROL}, false},
                             {'Z', {VK_CONTROL}, false},      {'O', {VK_CONTROL}, false},
                             {'S', {VK_CONTROL}, false},      {'P', {VK_CONTROL}, false},
                             {VK_F6, {}, false},              {VK_F6, {VK_SHIFT}, false},
                             {VK_INSERT, {VK_SHIFT}, false},  {VK_DELETE, {VK_SHIFT}, false},
                             {VK_BACK, {VK_MENU}, true}};
    const int rows = static_cast<int>(::SendMessageW(List(), LVM_GETITEMCOUNT, 0, 0));
    for (const Key& key : swallowed) {
        HeldKeys held(key.held);
        MSG msg = KeyMessage(List(), key.vk, key.alt);
        EXPECT_TRUE(frame_->PreTranslateMessage(&msg)) << "vk " << key.vk;
    }
    test::PumpFor(150);
    EXPECT_EQ(dialogs, 0) << "Shift+Delete must not reach Hex View";
    EXPECT_EQ(::SendMessageW(List(), LVM_GETITEMCOUNT, 0, 0), rows);

    // A plain key is not an accelerator.
    MSG plain = KeyMessage(List(), 'R');
    HeldKeys none({});
    EXPECT_FALSE(frame_->PreTranslateMessage(&plain));
}

TEST_F(FrameTest, ExitAndCloseDestroyTheWindowAndPostQuitOne) {
    const HWND frame = Frame();
    Command(ID_APP_EXIT);
    // The posted WM_CLOSE destroys the window; the quit message must be caught, not dispatched.
    int code = -1;
    const DWORD start = ::GetTickCount();
    while (code == -1 && ::GetTickCount() - start < 2000) {
        MSG msg;
        while (::PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE)) {
            if (msg.message == WM_QUIT) {
                code = static_cast<int>(msg.wParam);
                break;
            }
            ::DispatchMessageW(&msg);
        }
    }
    EXPECT_FALSE(::IsWindow(frame));
    EXPECT_EQ(code, 1);
    EXPECT_EQ(AppModule().GetMessageLoop(), &loop_);
    MSG probe = KeyMessage(List(), 'R');
    EXPECT_FALSE(loop_.PreTranslateMessage(&probe)) << "the frame's filter left the loop";
}

TEST_F(FrameTest, ActivationPutsTheFocusIntoTheList) {
    ::SetFocus(nullptr);
    ::SendMessageW(Frame(), WM_SETFOCUS, 0, 0);
    EXPECT_EQ(::GetFocus(), List());
}

// Records the popups the frame is told about while a context menu is tracked, and closes it.
struct PopupRecorder {
    static std::vector<std::vector<UINT>>* sink;
    static LRESULT CALLBACK Hook(int code, WPARAM wParam, LPARAM lParam) {
        auto* call = reinterpret_cast<CWPSTRUCT*>(lParam);
        if (code == HC_ACTION && call->message == WM_INITMENUPOPUP && sink) {
            HMENU popup = reinterpret_cast<HMENU>(call->wParam);
            std::vector<UINT> ids;
            for (int i = 0; i < ::GetMenuItemCount(popup); ++i) ids.push_back(::GetMenuItemID(popup, i));
            sink->push_back(ids);
            ::PostMessageW(call->hwnd, WM_CANCELMODE, 0, 0);
            ::EndMenu();
        }
        return ::CallNextHookEx(nullptr, code, wParam, lParam);
    }
};
std::vector<std::vector<UINT>>* PopupRecorder::sink = nullptr;

TEST_F(FrameTest, ContextMenuOfTheListShowsTheEditItemsAndNothingElsewhere) {
    std::vector<std::vector<UINT>> popups;
    PopupRecorder::sink = &popups;
    HHOOK hook = ::SetWindowsHookExW(WH_CALLWNDPROC, &PopupRecorder::Hook, nullptr, ::GetCurrentThreadId());
    ASSERT_NE(hook, nullptr);
    test::ModalAnswerer safety([](HWND) { ::EndMenu(); return false; });

    ::SendMessageW(Frame(), WM_CONTEXTMENU, reinterpret_cast<WPARAM>(List()), MAKELPARAM(100, 100));
    ::SendMessageW(Frame(), WM_CONTEXTMENU, reinterpret_cast<WPARAM>(frame_->ToolbarWindow()), MAKELPARAM(100, 100));
    ::SendMessageW(Frame(), WM_CONTEXTMENU, reinterpret_cast<WPARAM>(frame_->StatusBarWindow()), MAKELPARAM(100, 100));
    ::SendMessageW(Frame(), WM_CONTEXTMENU, reinterpret_cast<WPARAM>(List()), MAKELPARAM(-1, -1));

    ::UnhookWindowsHookEx(hook);
    PopupRecorder::sink = nullptr;
    // The Edit popup: the four seed items, a separator (id 0) and Properties.
    const std::vector<UINT> editItems = {ID_EDIT_COPY, ID_EDIT_DUMP, ID_EDIT_HEXVIEW, ID_EDIT_FIND, 0, ID_EDIT_PROPERTIES};
    ASSERT_EQ(popups.size(), 2u) << "one menu for each request from the list, none for the bars";
    EXPECT_EQ(popups[0], editItems);
    EXPECT_EQ(popups[1], editItems);
}

TEST(ContextMenuPosition, OffScreenXIsPulledIntoTheNearestWorkAreaAndYIsKept) {
    const RECT work{0, 0, 1280, 1000};
    EXPECT_EQ(ClampToWorkAreaX(-50, work), 0);
    EXPECT_EQ(ClampToWorkAreaX(5000, work), 1280);
    EXPECT_EQ(ClampToWorkAreaX(640, work), 640);

    MONITORINFO info{};
    info.cbSize = sizeof(info);
    ::GetMonitorInfoW(::MonitorFromPoint(POINT{0, 0}, MONITOR_DEFAULTTOPRIMARY), &info);
    const POINT left = ContextMenuPosition(nullptr, MAKELPARAM(-5, 300));
    EXPECT_EQ(left.x, info.rcWork.left);
    EXPECT_EQ(left.y, 300);
    const POINT inside = ContextMenuPosition(nullptr, MAKELPARAM(200, 300));
    EXPECT_EQ(inside.x, 200);
    EXPECT_EQ(inside.y, 300);
}

// Where each tracked context menu of the frame opened (its window's top-left); closes it at once.
struct MenuPlaces {
    static std::vector<POINT>* sink;
    static LRESULT CALLBACK Hook(int code, WPARAM wParam, LPARAM lParam) {
        auto* call = reinterpret_cast<CWPSTRUCT*>(lParam);
        if (code == HC_ACTION && call->message == WM_ENTERIDLE && call->wParam == MSGF_MENU && sink) {
            RECT menu{};
            ::GetWindowRect(reinterpret_cast<HWND>(call->lParam), &menu);
            sink->push_back(POINT{menu.left, menu.top});
            ::EndMenu();
        }
        return ::CallNextHookEx(nullptr, code, wParam, lParam);
    }
};
std::vector<POINT>* MenuPlaces::sink = nullptr;

TEST_F(FrameTest, KeyboardContextMenuOpensBelowTheFocusedRowOrAtTheListsCorner) {
    std::vector<test::TestSection> sections;
    for (int i = 0; i < 3; ++i) sections.emplace_back(test::UniqueName(L"QuillonMenuRow"), test::SectionOptions{});
    Command(ID_FILE_REFRESH);
    const int row = test::FindRow(List(), sections[1].Name());
    ASSERT_GE(row, 0);
    std::vector<POINT> places;
    MenuPlaces::sink = &places;
    HHOOK hook = ::SetWindowsHookExW(WH_CALLWNDPROC, &MenuPlaces::Hook, nullptr, ::GetCurrentThreadId());
    test::ModalAnswerer safety([](HWND) { ::EndMenu(); return false; });

    // No row has the focus: the list's top-left.
    LVITEMW clear{};
    clear.stateMask = LVIS_FOCUSED | LVIS_SELECTED;
    ::SendMessageW(List(), LVM_SETITEMSTATE, static_cast<WPARAM>(-1), reinterpret_cast<LPARAM>(&clear));
    ::SendMessageW(Frame(), WM_CONTEXTMENU, reinterpret_cast<WPARAM>(List()), -1);

    // Shift+F10 in the list, as the keyboard delivers it, with `row` focused.
    ASSERT_TRUE(SelectOneRow(List(), row));
    ::SetFocus(List());
    {
        HeldKeys shift({VK_SHIFT});
        ::PostMessageW(List(), WM_SYSKEYDOWN, VK_F10, 1);
        ::PostMessageW(List(), WM_SYSKEYUP, VK_F10, 0xC0000001);
        MSG msg;
        while (::PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE)) {
            if (loop_.PreTranslateMessage(&msg)) continue;
            ::TranslateMessage(&msg);
            ::DispatchMessageW(&msg);
        }
    }
    ::UnhookWindowsHookEx(hook);
    MenuPlaces::sink = nullptr;

    ASSERT_EQ(places.size(), 2u);
    POINT corner{0, 0};
    ::ClientToScreen(List(), &corner);
    EXPECT_EQ(places[0].x, corner.x);
    EXPECT_EQ(places[0].y, corner.y);
    RECT label{};
    label.left = LVIR_LABEL;
    ASSERT_TRUE(::SendMessageW(List(), LVM_GETITEMRECT, static_cast<WPARAM>(row), reinterpret_cast<LPARAM>(&label)));
    POINT below{label.left, label.bottom};
    ::ClientToScreen(List(), &below);
    EXPECT_EQ(places[1].x, below.x);
    EXPECT_EQ(places[1].y, below.y);
}

TEST_F(FrameTest, ListFillsTheSpaceBetweenTheBarsAndMinimisingSkipsTheLayout) {
    RECT client{};
    ::GetClientRect(Frame(), &client);
    RECT toolbar{}, status{};
    ::GetWindowRect(frame_->ToolbarWindow(), &toolbar);
    ::GetWindowRect(frame_->StatusBarWindow(), &status);
    const RECT expected{0, toolbar.bottom - toolbar.top, client.right, client.bottom - (status.bottom - status.top)};
    RECT list = ChildRectInParent(List());
    EXPECT_TRUE(::EqualRect(&list, &expected));

    ::SetWindowPos(List(), nullptr, 5, 5, 10, 10, SWP_NOZORDER);
    ::SendMessageW(Frame(), WM_SIZE, SIZE_MINIMIZED, 0);
    list = ChildRectInParent(List());
    EXPECT_EQ(list.right - list.left, 10);
    ::SendMessageW(Frame(), WM_SIZE, SIZE_RESTORED, MAKELPARAM(client.right, client.bottom));
    list = ChildRectInParent(List());
    EXPECT_TRUE(::EqualRect(&list, &expected));
}

UINT CheckState(HWND frame, UINT command) {
    HMENU view = ::GetSubMenu(::GetMenu(frame), 2);
    ::SendMessageW(frame, WM_INITMENUPOPUP, reinterpret_cast<WPARAM>(view), 2);
    return ::GetMenuState(view, command, MF_BYCOMMAND) & MF_CHECKED;
}

TEST_F(FrameTest, ViewTogglesHideShowAndCheckTheBars) {
    EXPECT_TRUE(CheckState(Frame(), ID_VIEW_TOOLBAR));
    EXPECT_TRUE(CheckState(Frame(), ID_VIEW_STATUS_BAR));

    Command(ID_VIEW_TOOLBAR);
    EXPECT_FALSE(::IsWindowVisible(frame_->ToolbarWindow()));
    EXPECT_FALSE(CheckState(Frame(), ID_VIEW_TOOLBAR));
    EXPECT_TRUE(CheckState(Frame(), ID_VIEW_STATUS_BAR));
    EXPECT_EQ(ChildRectInParent(List()).top, 0) << "the list moves up to the menu bar";

    Command(ID_VIEW_STATUS_BAR);
    RECT client{};
    ::GetClientRect(Frame(), &client);
    RECT list = ChildRectInParent(List());
    EXPECT_TRUE(::EqualRect(&list, &client)) << "with both bars hidden the list covers the client area";
    EXPECT_FALSE(CheckState(Frame(), ID_VIEW_STATUS_BAR));

    Command(ID_VIEW_TOOLBAR);
    Command(ID_VIEW_STATUS_BAR);
    EXPECT_TRUE(::IsWindowVisible(frame_->ToolbarWindow()));
    EXPECT_TRUE(::IsWindowVisible(frame_->StatusBarWindow()));
    EXPECT_TRUE(CheckState(Frame(), ID_VIEW_TOOLBAR));
    EXPECT_TRUE(CheckState(Frame(), ID_VIEW_STATUS_BAR));
    // A popup holding neither command is left alone.
    HMENU edit = ::GetSubMenu(::GetMenu(Frame()), 1);
    ::SendMessageW(Frame(), WM_INITMENUPOPUP, reinterpret_cast<WPARAM>(edit), 1);
    EXPECT_EQ(::GetMenuState(edit, ID_EDIT_COPY, MF_BYCOMMAND) & MF_CHECKED, 0u);
}

TEST_F(FrameTest, CtrlXOpensHexViewOwnedByTheFrameAndTheTableKeepsEveryEntry) {
    // The table: all seventeen entries (and Properties after them), the Hex View entry for Ctrl+X
    // before the Cut entry.
    HACCEL table = ::LoadAcceleratorsW(::GetModuleHandleW(nullptr), MAKEINTRESOURCEW(IDR_MAINFRAME));
    ACCEL entries[32] = {};
    ASSERT_EQ(::CopyAcceleratorTableW(table, entries, 32), 18);
    EXPECT_EQ(entries[17].cmd, ID_EDIT_PROPERTIES);
    int hexView = -1, cut = -1, shiftDelete = -1;
    for (int i = 0; i < 17; ++i) {
        if (entries[i].key == 'X' && entries[i].cmd == ID_EDIT_HEXVIEW) hexView = i;
        if (entries[i].key == 'X' && entries[i].cmd == ID_EDIT_CUT) cut = i;
        if (entries[i].key == VK_DELETE && entries[i].cmd == ID_EDIT_CUT) shiftDelete = i;
    }
    EXPECT_EQ(hexView, 3);
    EXPECT_EQ(cut, 4);
    EXPECT_EQ(shiftDelete, 2);

    test::TestSection section(test::UniqueName(L"QuillonCtrlX"), test::SectionOptions{});
    Command(ID_FILE_REFRESH);
    ASSERT_TRUE(SelectOneRow(List(), test::FindRow(List(), section.Name())));
    int dialogs = 0;
    HWND owner = nullptr;
    bool frameEnabled = true;
    test::ModalAnswerer closer([&](HWND dialog) {
        ++dialogs;
        if (test::WindowText(dialog) == L"Hex View") owner = ::GetWindow(dialog, GW_OWNER);
        frameEnabled = ::IsWindowEnabled(Frame()) != FALSE;
        ::PostMessageW(dialog, WM_COMMAND, IDCANCEL, 0);
        return true;
    });
    // Typed into the list while another window of the thread is active: the dialog still belongs to
    // the frame, which stays disabled while it is open.
    test::TestParentWindow other(300, 200);
    ::SetActiveWindow(other.Get());
    HeldKeys ctrl({VK_CONTROL});
    MSG msg = KeyMessage(List(), 'X');
    EXPECT_TRUE(loop_.PreTranslateMessage(&msg));
    test::PumpUntil([&] { return dialogs > 0; }, 3000);
    EXPECT_EQ(dialogs, 1);
    EXPECT_EQ(owner, Frame());
    EXPECT_FALSE(frameEnabled);
    EXPECT_TRUE(::IsWindowEnabled(Frame()));
}

TEST_F(FrameTest, AllNamespacesTogglesItsCheckAndRelistsAtOnce) {
    // A session directory of the test's own, with a section in it.
    const std::wstring id = std::to_wstring(test::UnusedSessionId());
    test::NativeDirectory session(L"\\Sessions\\" + id);
    test::NativeDirectory base(L"\\Sessions\\" + id + L"\\BaseNamedObjects");
    const std::wstring name = test::UniqueName(L"QuillonOtherSession");
    test::NativeSection section(L"\\Sessions\\" + id + L"\\BaseNamedObjects\\" + name, 4096);
    ASSERT_TRUE(section.IsValid());
    const std::wstring row = L"Session\\" + id + L"\\" + name;
    Command(ID_FILE_REFRESH);
    EXPECT_EQ(test::FindRow(List(), row), -1) << "off: exactly the two directories";

    Command(ID_VIEW_ALL_NAMESPACES);
    EXPECT_TRUE(frame_->AllNamespaces());
    EXPECT_TRUE(CheckState(Frame(), ID_VIEW_ALL_NAMESPACES));
    const int at = test::FindRow(List(), row);
    ASSERT_NE(at, -1);
    EXPECT_EQ(ReadCellText(List(), at, 1), L"0x1000");
    Command(ID_FILE_REFRESH);
    EXPECT_NE(test::FindRow(List(), row), -1) << "Refresh keeps walking every namespace";

    Command(ID_VIEW_ALL_NAMESPACES);
    EXPECT_FALSE(CheckState(Frame(), ID_VIEW_ALL_NAMESPACES));
    EXPECT_EQ(test::FindRow(List(), row), -1);
    // The bar toggles are untouched by it.
    EXPECT_TRUE(CheckState(Frame(), ID_VIEW_TOOLBAR));
    EXPECT_TRUE(CheckState(Frame(), ID_VIEW_STATUS_BAR));
}

TEST_F(FrameTest, ToolbarHasItsButtonsInResourceOrder) {
    HWND toolbar = frame_->ToolbarWindow();
    struct Expected {
        int command;
        int image;  // the separator width for separators
        BYTE style;
    };
    const Expected expected[] = {{0, 4, BTNS_SEP},         {ID_FILE_REFRESH, 0, BTNS_BUTTON}, {0, 8, BTNS_SEP},
                                 {ID_EDIT_COPY, 1, BTNS_BUTTON}, {ID_EDIT_FIND, 2, BTNS_BUTTON},
                                 {ID_EDIT_DUMP, 3, BTNS_BUTTON}, {ID_EDIT_HEXVIEW, 4, BTNS_BUTTON}};
    ASSERT_EQ(::SendMessageW(toolbar, TB_BUTTONCOUNT, 0, 0), 7);
    for (int i = 0; i < 7; ++i) {
        TBBUTTON button{};
        ASSERT_TRUE(::SendMessageW(toolbar, TB_GETBUTTON, i, reinterpret_cast<LPARAM>(&button)));
        EXPECT_EQ(button.idCommand, expected[i].command) << i;
        EXPECT_EQ(button.iBitmap, expected[i].image) << i;
        EXPECT_EQ(button.fsStyle & BTNS_SEP, expected[i].style & BTNS_SEP) << i;
        if (expected[i].command) {
            EXPECT_EQ(button.fsState & TBSTATE_ENABLED, TBSTATE_ENABLED) << i;
        }
    }
    EXPECT_EQ(reinterpret_cast<HIMAGELIST>(::SendMessageW(toolbar, TB_GETIMAGELIST, 0, 0)), frame_->ToolbarImages());
    EXPECT_EQ(::ImageList_GetImageCount(frame_->ToolbarImages()), 5);
    // Nothing selected, and every button still enabled after an idle turn.
    frame_->OnIdle();
    EXPECT_TRUE(::SendMessageW(toolbar, TB_ISBUTTONENABLED, ID_EDIT_COPY, 0));
}

TEST_F(FrameTest, TooltipsComeFromTheSecondLineOfEachCommandString) {
    const std::pair<UINT, const wchar_t*> tips[] = {{ID_FILE_REFRESH, L"Refresh"}, {ID_EDIT_COPY, L"Copy"},
                                                    {ID_EDIT_FIND, L"Find"},       {ID_EDIT_DUMP, L"Dump"},
                                                    {ID_EDIT_HEXVIEW, L"Hex View"}, {ID_VIEW_TOOLBAR, L"Toggle ToolBar"}};
    for (const auto& tip : tips) {
        NMTTDISPINFOW wide{};
        wide.hdr.hwndFrom = frame_->ToolbarWindow();
        wide.hdr.idFrom = tip.first;
        wide.hdr.code = TTN_GETDISPINFOW;
        ::SendMessageW(Frame(), WM_NOTIFY, 0, reinterpret_cast<LPARAM>(&wide));
        EXPECT_STREQ(wide.szText, tip.second);
        EXPECT_TRUE(wide.uFlags & TTF_DI_SETITEM);

        NMTTDISPINFOA narrow{};
        narrow.hdr.idFrom = tip.first;
        narrow.hdr.code = TTN_GETDISPINFOA;
        ::SendMessageW(Frame(), WM_NOTIFY, 0, reinterpret_cast<LPARAM>(&narrow));
        EXPECT_EQ(std::wstring(tip.second), std::wstring(narrow.szText, narrow.szText + std::strlen(narrow.szText)));
    }
    NMTTDISPINFOW byWindow{};
    byWindow.hdr.idFrom = ID_EDIT_COPY;
    byWindow.hdr.code = TTN_GETDISPINFOW;
    byWindow.uFlags = TTF_IDISHWND;
    ::SendMessageW(Frame(), WM_NOTIFY, 0, reinterpret_cast<LPARAM>(&byWindow));
    EXPECT_STREQ(byWindow.szText, L"");
}

// The simple-mode text. Windows answers it under part 255; Wine under the part it shows, 0.
std::wstring SimpleStatusText(HWND status) {
    wchar_t text[256] = {};
    ::SendMessageW(status, SB_GETTEXTW, 255, reinterpret_cast<LPARAM>(text));
    if (!text[0]) ::SendMessageW(status, SB_GETTEXTW, 0, reinterpret_cast<LPARAM>(text));
    return text;
}

TEST_F(FrameTest, MenuHelpShowsTheStatusLineAndReadyReturnsWhenTheMenuCloses) {
    HWND status = frame_->StatusBarWindow();
    HMENU file = ::GetSubMenu(::GetMenu(Frame()), 0);
    ::SendMessageW(Frame(), WM_MENUSELECT, MAKEWPARAM(ID_FILE_REFRESH, MF_HILITE), reinterpret_cast<LPARAM>(file));
    EXPECT_TRUE(::SendMessageW(status, SB_ISSIMPLE, 0, 0));
    EXPECT_EQ(SimpleStatusText(status), L"Refresh memory map list");

    ::SendMessageW(Frame(), WM_MENUSELECT, MAKEWPARAM(1, MF_POPUP | MF_HILITE), reinterpret_cast<LPARAM>(::GetMenu(Frame())));
    EXPECT_EQ(SimpleStatusText(status), L"");

    ::SendMessageW(Frame(), WM_MENUSELECT, MAKEWPARAM(SC_MOVE, MF_HILITE | MF_SYSMENU), reinterpret_cast<LPARAM>(file));
    EXPECT_EQ(SimpleStatusText(status), L"Change the window position");

    ::SendMessageW(Frame(), WM_MENUSELECT, MAKEWPARAM(0, 0xFFFF), 0);
    EXPECT_FALSE(::SendMessageW(status, SB_ISSIMPLE, 0, 0));
    wchar_t part[64] = {};
    ::SendMessageW(status, SB_GETTEXTW, 0, reinterpret_cast<LPARAM>(part));
    EXPECT_STREQ(part, L"Ready");
}

TEST(MenuHelp, StringIdsAndLines) {
    const std::pair<UINT, UINT> ids[] = {{SC_SIZE, 61184},      {SC_MOVE, 61185},     {SC_MINIMIZE, 61186},
                                         {SC_MAXIMIZE, 61187},  {SC_CLOSE, 61190},    {SC_RESTORE, 61202},
                                         {SC_TASKLIST, 61203},  {0xF1EF, 61214},      {0xF1F0, 0xF1F0},
                                         {ID_EDIT_COPY, ID_EDIT_COPY}};
    for (const auto& id : ids) EXPECT_EQ(MenuHelpStringId(id.first), id.second) << std::hex << id.first;
    EXPECT_EQ(FirstLine(L"status\ntip"), L"status");
    EXPECT_EQ(AfterFirstLine(L"status\ntip"), L"tip");
    EXPECT_EQ(AfterFirstLine(L"no tip"), L"");
    EXPECT_EQ(LoadResourceString(IDS_SCCLOSE), L"Close the active window and prompts to save the documents");
    EXPECT_EQ(LoadResourceString(ID_APP_ABOUT),
              L"Display program information, version number and copyright\nAbout");
}

}  // namespace
}  // namespace quillon
