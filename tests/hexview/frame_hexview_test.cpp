// Edit > Hex View on the real main frame: from the menu, the toolbar and the list's context menu.
#include <windows.h>
#include <commctrl.h>

#include <gtest/gtest.h>

#include "catalogue/list_rows.h"
#include "hexview/hex_edit_control.h"
#include "resources/resource.h"
#include "tests/hexview/hex_test_support.h"
#include "tests/shell/frame_fixture.h"
#include "tests/support/test_sections.h"
#include "tests/support/test_windows.h"

namespace quillon::test {
namespace {

using HexViewFrameTest = FrameTest;

// Chooses Hex View in the first popup menu that opens, with the keyboard, as a user would.
struct MenuChooser {
    static LRESULT CALLBACK Hook(int code, WPARAM wParam, LPARAM lParam) {
        auto* call = reinterpret_cast<CWPSTRUCT*>(lParam);
        if (code == HC_ACTION && call->message == WM_INITMENUPOPUP) {
            HMENU popup = reinterpret_cast<HMENU>(call->wParam);
            for (int i = 0; i < ::GetMenuItemCount(popup); ++i) {
                ::PostMessageW(call->hwnd, WM_KEYDOWN, VK_DOWN, 1);
                if (::GetMenuItemID(popup, i) == ID_EDIT_HEXVIEW) break;
            }
            ::PostMessageW(call->hwnd, WM_KEYDOWN, VK_RETURN, 1);
        }
        return ::CallNextHookEx(nullptr, code, wParam, lParam);
    }
};

TEST_F(HexViewFrameTest, MenuToolbarAndContextMenuOpenTheSelectedSection) {
    SectionOptions options;
    options.size = 8192;
    options.seed = 0x21;
    TestSection section(UniqueName(L"QuillonHexFrame"), options);
    ASSERT_TRUE(section.IsValid());
    Command(ID_FILE_REFRESH);
    const int row = FindRow(List(), section.Name());
    ASSERT_GE(row, 0);
    ASSERT_TRUE(SelectOneRow(List(), row));

    int opened = 0;
    int lastRow = -1;
    HWND owner = nullptr;
    ModalAnswerer answerer([&](HWND dialog) {
        if (WindowText(dialog) != L"Hex View") return false;
        ++opened;
        if (HWND control = ::FindWindowExW(dialog, nullptr, kHexEditControlClass, nullptr)) lastRow = LastRow(control);
        owner = ::GetWindow(dialog, GW_OWNER);
        ::PostMessageW(dialog, WM_COMMAND, IDCANCEL, 0);
        return true;
    });

    {
        SCOPED_TRACE("Edit menu");
        Command(ID_EDIT_HEXVIEW);
        EXPECT_EQ(opened, 1);
        EXPECT_EQ(lastRow, 512);
        EXPECT_EQ(owner, Frame());
    }
    {
        SCOPED_TRACE("toolbar button");
        HWND toolbar = frame_->ToolbarWindow();
        const LRESULT index = ::SendMessageW(toolbar, TB_COMMANDTOINDEX, ID_EDIT_HEXVIEW, 0);
        ASSERT_GE(index, 0);
        RECT button{};
        ASSERT_TRUE(::SendMessageW(toolbar, TB_GETITEMRECT, index, reinterpret_cast<LPARAM>(&button)));
        const LPARAM at = MAKELPARAM((button.left + button.right) / 2, (button.top + button.bottom) / 2);
        ::SendMessageW(toolbar, WM_LBUTTONDOWN, MK_LBUTTON, at);
        ::SendMessageW(toolbar, WM_LBUTTONUP, 0, at);
        PumpUntil([&] { return opened == 2; }, 3000);
        EXPECT_EQ(opened, 2);
    }
    {
        SCOPED_TRACE("context menu of the list");
        HHOOK hook = ::SetWindowsHookExW(WH_CALLWNDPROC, &MenuChooser::Hook, nullptr, ::GetCurrentThreadId());
        ASSERT_NE(hook, nullptr);
        ::SendMessageW(Frame(), WM_CONTEXTMENU, reinterpret_cast<WPARAM>(List()), MAKELPARAM(200, 200));
        ::UnhookWindowsHookEx(hook);
        PumpUntil([&] { return opened == 3; }, 3000);
        EXPECT_EQ(opened, 3);
    }
    EXPECT_EQ(lastRow, 512);
}

}  // namespace
}  // namespace quillon::test
