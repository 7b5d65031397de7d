// Edit > Properties on the real main frame: the menu item, the accelerator, the dialog, Copy.
#include <windows.h>
#include <commctrl.h>

#include <gtest/gtest.h>

#include <cstring>
#include <memory>

#include "catalogue/list_rows.h"
#include "inspect/section_report.h"
#include "resources/resource.h"
#include "tests/inspect/inspect_fixtures.h"
#include "tests/shell/frame_fixture.h"
#include "tests/support/test_clipboard.h"
#include "tests/support/test_sections.h"
#include "tests/support/test_windows.h"

namespace quillon::test {
namespace {

using PropertiesTest = FrameTest;

POINT Centre(HWND window) {
    RECT r{};
    ::GetWindowRect(window, &r);
    return POINT{(r.left + r.right) / 2, (r.top + r.bottom) / 2};
}

struct SeenDialog {
    int opened = 0;
    HWND owner = nullptr;
    POINT centre{};
    std::vector<std::pair<std::wstring, std::wstring>> rows;
    bool hasCopyButton = false;
    std::wstring warning;
    bool listGrewWithTheDialog = false;
    int pendingTicks = 0;
};

std::vector<std::pair<std::wstring, std::wstring>> ListRows(HWND list) {
    std::vector<std::pair<std::wstring, std::wstring>> rows;
    const int count = static_cast<int>(::SendMessageW(list, LVM_GETITEMCOUNT, 0, 0));
    for (int i = 0; i < count; ++i) rows.emplace_back(ReadCellText(list, i, 0), ReadCellText(list, i, 1));
    return rows;
}

TEST_F(PropertiesTest, MenuItemPromptMenuHelpAndAcceleratorAreInPlace) {
    HMENU edit = ::GetSubMenu(::GetMenu(Frame()), 1);
    const int count = ::GetMenuItemCount(edit);
    ASSERT_EQ(count, 6);
    EXPECT_EQ(::GetMenuState(edit, 4, MF_BYPOSITION) & MF_SEPARATOR, static_cast<UINT>(MF_SEPARATOR));
    EXPECT_EQ(::GetMenuItemID(edit, 5), static_cast<UINT>(ID_EDIT_PROPERTIES));
    wchar_t text[64] = {};
    ::GetMenuStringW(edit, 5, text, 64, MF_BYPOSITION);
    EXPECT_STREQ(text, L"P&roperties\tAlt+Enter");

    wchar_t prompt[128] = {};
    ::LoadStringW(::GetModuleHandleW(nullptr), ID_EDIT_PROPERTIES, prompt, 128);
    EXPECT_STREQ(prompt, L"Show the selected section's properties\nProperties");

    // Resting on the item shows the prompt's first line in the status bar (Wine answers the simple
    // text under part 0, Windows under 255).
    HWND status = frame_->StatusBarWindow();
    ::SendMessageW(Frame(), WM_MENUSELECT, MAKEWPARAM(ID_EDIT_PROPERTIES, MF_HILITE), reinterpret_cast<LPARAM>(edit));
    wchar_t shown[256] = {};
    ::SendMessageW(status, SB_GETTEXTW, 255, reinterpret_cast<LPARAM>(shown));
    if (!shown[0]) ::SendMessageW(status, SB_GETTEXTW, 0, reinterpret_cast<LPARAM>(shown));
    EXPECT_STREQ(shown, L"Show the selected section's properties");
    ::SendMessageW(Frame(), WM_MENUSELECT, MAKEWPARAM(0, 0xFFFF), 0);

    HACCEL table = ::LoadAcceleratorsW(::GetModuleHandleW(nullptr), MAKEINTRESOURCEW(IDR_MAINFRAME));
    ACCEL entries[32];
    const int entryCount = ::CopyAcceleratorTableW(table, entries, 32);
    ASSERT_EQ(entryCount, 18);
    EXPECT_EQ(entries[16].cmd, ID_EDIT_FIND) << "the seed's 17 entries come first";
    EXPECT_EQ(entries[17].cmd, ID_EDIT_PROPERTIES);
    EXPECT_EQ(entries[17].key, VK_RETURN);
    EXPECT_EQ(entries[17].fVirt & (FVIRTKEY | FALT | FCONTROL | FSHIFT), FVIRTKEY | FALT);
}

TEST_F(PropertiesTest, CommandShowsTheReportCentredOverTheFrameAndCopiesIt) {
    const std::wstring name = UniqueName(L"QuillonProps");
    UniqueHandle section = CreateSection(name, PAGE_READWRITE | SEC_RESERVE, 0x100000, L"D:(A;;GA;;;WD)S:(ML;;NW;;;LW)");
    ASSERT_TRUE(section);
    ASSERT_TRUE(CommitFront(section.Get(), 0x2000));
    Command(ID_FILE_REFRESH);
    const int row = FindRow(List(), name);
    ASSERT_GE(row, 0);
    ASSERT_TRUE(SelectOneRow(List(), row));
    ASSERT_TRUE(PutClipboardText(L"before"));

    SeenDialog seen;
    int stage = 0;
    std::unique_ptr<HeldKeys> ctrl;
    ModalAnswerer answerer([&](HWND dialog) {
        if (WindowText(dialog) != name + L" Properties") return false;
        HWND list = ::GetDlgItem(dialog, IDC_PROPERTIES_LIST);
        if (stage == 0) {
            // The handle table is walked in the background; the row fills in when it is done.
            const auto rows = ListRows(list);
            for (const auto& shown : rows)
                if (shown.first == L"Handles" && shown.second == std::wstring(L"unavailable: ") + kHandlesPending) {
                    ++seen.pendingTicks;
                    return false;
                }
            ++seen.opened;
            seen.owner = ::GetWindow(dialog, GW_OWNER);
            seen.centre = Centre(dialog);
            seen.rows = ListRows(list);
            seen.hasCopyButton = ::GetDlgItem(dialog, IDC_PROPERTIES_COPY) != nullptr;
            seen.warning = WindowText(::GetDlgItem(dialog, IDC_PROPERTIES_WARNING));
            // It can be resized, and the report follows.
            RECT before{};
            ::GetWindowRect(list, &before);
            RECT window{};
            ::GetWindowRect(dialog, &window);
            ::SetWindowPos(dialog, nullptr, 0, 0, window.right - window.left + 100, window.bottom - window.top + 80,
                           SWP_NOMOVE | SWP_NOZORDER);
            RECT after{};
            ::GetWindowRect(list, &after);
            seen.listGrewWithTheDialog = after.right - after.left == before.right - before.left + 100 &&
                                         after.bottom - after.top == before.bottom - before.top + 80;
            ::SetWindowPos(dialog, nullptr, window.left, window.top, window.right - window.left,
                           window.bottom - window.top, SWP_NOZORDER);
            // Ctrl+C, wherever the focus is in the dialog.
            ctrl = std::make_unique<HeldKeys>(std::initializer_list<int>{VK_CONTROL});
            ::PostMessageW(::GetDlgItem(dialog, IDOK), WM_KEYDOWN, 'C', 1);
            stage = 1;
            return false;
        }
        ctrl.reset();
        ::PostMessageW(list, WM_KEYDOWN, VK_ESCAPE, 1);
        return true;
    });
    Command(ID_EDIT_PROPERTIES);
    ASSERT_EQ(seen.opened, 1);
    EXPECT_EQ(seen.owner, Frame());
    const POINT frameCentre = Centre(Frame());
    EXPECT_LE(std::abs(seen.centre.x - frameCentre.x), 1);
    EXPECT_LE(std::abs(seen.centre.y - frameCentre.y), 1);
    EXPECT_TRUE(seen.hasCopyButton);
    EXPECT_TRUE(seen.listGrewWithTheDialog);
    EXPECT_NE(seen.warning.find(L"low-integrity"), std::wstring::npos) << Utf8(seen.warning);

    // The rows are the facts, multi-line values continuing under an empty field.
    const SectionReport report = GatherSectionReport(name);
    ASSERT_GE(seen.rows.size(), report.facts.size());
    EXPECT_EQ(seen.rows[0], std::make_pair(std::wstring(L"Name"), name));
    std::size_t at = 0;
    for (const SectionFact& fact : report.facts) {
        ASSERT_LT(at, seen.rows.size());
        EXPECT_EQ(seen.rows[at].first, fact.field);
        const std::wstring value = FactDisplayValue(fact);
        EXPECT_EQ(seen.rows[at].second, value.substr(0, value.find(L'\n')));
        ++at;
        while (at < seen.rows.size() && seen.rows[at].first.empty()) ++at;
    }
    EXPECT_EQ(at, seen.rows.size());
    EXPECT_EQ(ClipboardText(), FormatReportText(report));
    const std::wstring handles = FactDisplayValue(*FindFact(report, L"Handles"));
    EXPECT_NE(handles.find(L"process " + std::to_wstring(::GetCurrentProcessId()) + L" ("), std::wstring::npos)
        << Utf8(handles);
}

TEST_F(PropertiesTest, AltEnterOpensItEnterClosesItAndNoSelectionDoesNothing) {
    const std::wstring name = UniqueName(L"QuillonPropsKeys");
    UniqueHandle section = CreateSection(name, PAGE_READWRITE | SEC_COMMIT, 4096, nullptr);
    ASSERT_TRUE(section);
    Command(ID_FILE_REFRESH);
    int opened = 0;
    ModalAnswerer answerer([&](HWND dialog) {
        if (WindowText(dialog) != name + L" Properties") return false;
        ++opened;
        ::SendMessageW(::GetDlgItem(dialog, IDC_PROPERTIES_COPY), BM_CLICK, 0, 0);
        ::PostMessageW(::GetDlgItem(dialog, IDC_PROPERTIES_LIST), WM_KEYDOWN, VK_RETURN, 1);
        return true;
    });

    Command(ID_EDIT_PROPERTIES);
    PumpFor(150);
    EXPECT_EQ(opened, 0) << "nothing selected";

    ASSERT_TRUE(SelectOneRow(List(), FindRow(List(), name)));
    ASSERT_TRUE(PutClipboardText(L"before"));
    {
        HeldKeys alt({VK_MENU});
        MSG msg{};
        msg.hwnd = List();
        msg.message = WM_SYSKEYDOWN;
        msg.wParam = VK_RETURN;
        msg.lParam = 1 | (1 << 29);
        EXPECT_TRUE(loop_.PreTranslateMessage(&msg));
    }
    EXPECT_EQ(opened, 1);
    EXPECT_EQ(FindThreadWindow(L"#32770"), nullptr) << "Enter ended the dialog";
    EXPECT_EQ(ClipboardText().rfind(L"Name: " + name + L"\r\n", 0), 0u) << "the Copy button";
}

}  // namespace
}  // namespace quillon::test
