// The Hex View command end to end: a real section, a real section list in a window standing in for
// the main frame, the real dialog from template 201, and the control inside it.
#include <gtest/gtest.h>

#include <cstring>
#include <functional>
#include <string>
#include <vector>

#include "catalogue/quillon_view.h"
#include "common/center_over_owner.h"
#include "hexview/hex_edit_control.h"
#include "hexview/hex_text.h"
#include "common/readable_memory.h"
#include "resources/resource.h"
#include "shell/frame_commands.h"
#include "tests/hexview/hex_test_support.h"
#include "tests/support/file_section.h"
#include "tests/support/test_sections.h"
#include "tests/support/test_windows.h"

namespace quillon {
namespace {

using test::SendKey;

// Views of this process mapped from some section that match `match`.
int CountViews(const std::function<bool(const MEMORY_BASIC_INFORMATION&)>& match) {
    int count = 0;
    MEMORY_BASIC_INFORMATION info{};
    const char* at = nullptr;
    while (::VirtualQuery(at, &info, sizeof(info)) == sizeof(info)) {
        if (info.Type == MEM_MAPPED && info.BaseAddress == info.AllocationBase && match(info)) ++count;
        const char* next = static_cast<const char*>(info.BaseAddress) + info.RegionSize;
        if (next <= at) break;
        at = next;
    }
    return count;
}

// Mapped views whose bytes begin with `contents`.
int ViewsHolding(const std::string& contents) {
    return CountViews([&](const MEMORY_BASIC_INFORMATION& info) {
        return IsReadableRegion(info) && info.RegionSize >= contents.size() &&
               std::memcmp(info.BaseAddress, contents.data(), contents.size()) == 0;
    });
}

// Mapped views whose first pages are only reserved, `size` bytes of them.
int ReservedViewsOf(SIZE_T size) {
    return CountViews([&](const MEMORY_BASIC_INFORMATION& info) {
        return info.State == MEM_RESERVE && info.RegionSize == size;
    });
}

std::wstring Digits(unsigned char b) {
    wchar_t digits[2];
    FormatByte(b, digits);
    return std::wstring(digits, 2);
}

class HexViewCommandTest : public ::testing::Test {
protected:
    void SetUp() override {
        test::RegisterHexControlClass();
        ASSERT_TRUE(view.Create(frame.Get()));
        view.InsertColumns();
        ::MoveWindow(view.Window(), 0, 0, 880, 560, TRUE);
        ::SetForegroundWindow(frame.Get());
        ::SetActiveWindow(frame.Get());
        test::PumpMessages();
    }
    int AddRow(const std::wstring& name) {
        view.AppendSection(name.c_str());
        return test::FindRow(view.Window(), name);
    }
    void Run() { RunHexViewCommand(frame.Get(), view.Window()); }

    static bool IsHexView(HWND dialog) { return test::WindowText(dialog) == L"Hex View"; }
    static HWND ControlOf(HWND dialog) { return ::FindWindowExW(dialog, nullptr, kHexEditControlClass, nullptr); }

    test::TestParentWindow frame{900, 600};
    CQuillonView view;
};

enum class Ending { Escape, Enter, CloseBox };

class HexViewEndingTest : public HexViewCommandTest, public ::testing::WithParamInterface<Ending> {};

TEST_P(HexViewEndingTest, OnePageSectionOpensWith257RowsAndIsUnmappedAfterwards) {
    test::SectionOptions options;
    options.size = 4096;
    options.seed = 0x5A;
    test::TestSection section(test::UniqueName(L"QuillonHexView"), options);
    ASSERT_TRUE(section.IsValid());
    const std::string before = section.Contents();
    ASSERT_EQ(before.size(), 4096u);
    ASSERT_EQ(ViewsHolding(before), 0);
    const int row = AddRow(section.Name());
    ASSERT_GE(row, 0);
    ASSERT_TRUE(view.SelectOneRow(row));

    struct Seen {
        HWND dialog = nullptr;
        HWND control = nullptr;
        HWND owner = nullptr;
        int lastRow = -1;
        int viewsDuring = -1;
        bool focusOnOk = false;
        bool firstRowShown = false;
        bool lastRowShown = false;
        RECT client{};
        RECT controlRect{};
        RECT expectedClient{};
        POINT expectedAt{};
        RECT placed{};
    } seen;
    bool busy = false;
    test::ModalAnswerer answerer([&](HWND dialog) {
        if (busy || !IsHexView(dialog)) return false;
        busy = true;
        seen.dialog = dialog;
        seen.control = ControlOf(dialog);
        seen.owner = ::GetWindow(dialog, GW_OWNER);
        seen.focusOnOk = ::GetFocus() == ::GetDlgItem(dialog, IDOK);
        ::GetClientRect(dialog, &seen.client);
        seen.expectedClient = RECT{0, 0, 429, 210};
        ::MapDialogRect(dialog, &seen.expectedClient);
        ::GetWindowRect(dialog, &seen.placed);
        if (seen.control) {
            ::GetWindowRect(seen.control, &seen.controlRect);
            ::MapWindowPoints(nullptr, dialog, reinterpret_cast<POINT*>(&seen.controlRect), 2);
            seen.lastRow = test::LastRow(seen.control);
            seen.viewsDuring = ViewsHolding(before);
            const test::Canvas picture = test::PaintControl(seen.control);
            seen.firstRowShown =
                test::ShowsOffset(seen.control, picture, 0, 0) &&
                test::ShowsByte(seen.control, picture, 0, 1, Digits(static_cast<unsigned char>(before[1])),
                                DisplayChar(static_cast<unsigned char>(before[1])), false);

            // Every key the control could see, with every combination of Ctrl and Shift, and the mouse.
            ::SetFocus(seen.control);
            for (int mods = 0; mods < 4; ++mods)
                for (UINT key = 1; key < 256; ++key) SendKey(seen.control, key, (mods & 1) != 0, (mods & 2) != 0);
            for (wchar_t c : std::wstring(L"aZ0 \x7f\x08\x0d\x16\x18")) ::SendMessageW(seen.control, WM_CHAR, c, 1);
            ::SendMessageW(seen.control, WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(100, 5));
            ::SendMessageW(seen.control, WM_LBUTTONUP, 0, MAKELPARAM(100, 5));
            ::SendMessageW(seen.control, WM_LBUTTONDBLCLK, MK_LBUTTON, MAKELPARAM(100, 5));
            ::SendMessageW(seen.control, WM_LBUTTONUP, 0, MAKELPARAM(100, 5));
            ::SendMessageW(seen.control, WM_RBUTTONDOWN, MK_RBUTTON, MAKELPARAM(100, 5));
            ::SendMessageW(seen.control, WM_MOUSEWHEEL, MAKEWPARAM(0, -120), 0);

            SendKey(seen.control, VK_END, true);
            const test::Canvas end = test::PaintControl(seen.control);
            const HexEditState layout = test::ControlLayout(seen.control);
            seen.lastRowShown = test::ShowsOffset(seen.control, end, 256 - layout.topRow, 0x1000);
        }
        switch (GetParam()) {
            case Ending::Escape:
                ::SetFocus(seen.control);
                ::PostMessageW(seen.control, WM_KEYDOWN, VK_ESCAPE, 1);
                break;
            case Ending::Enter:
                ::SetFocus(seen.control);  // Enter ends the dialog even from the control
                ::PostMessageW(seen.control, WM_KEYDOWN, VK_RETURN, 1);
                break;
            case Ending::CloseBox:
                ::PostMessageW(dialog, WM_SYSCOMMAND, SC_CLOSE, 0);
                break;
        }
        busy = false;
        return true;
    });
    Run();

    EXPECT_EQ(answerer.Handled(), 1);
    ASSERT_TRUE(seen.control) << "the dialog holds a HexEditControl";
    EXPECT_EQ(seen.lastRow, 256) << "257 rows for one page";
    EXPECT_EQ(seen.viewsDuring, 1) << "the section is mapped while the dialog runs";
    EXPECT_TRUE(seen.firstRowShown);
    EXPECT_TRUE(seen.lastRowShown) << "the end-position row shows 00001000";
    EXPECT_TRUE(seen.focusOnOk);
    EXPECT_EQ(seen.owner, frame.Get());
    EXPECT_EQ(seen.client.right, seen.expectedClient.right);
    EXPECT_EQ(seen.client.bottom, seen.expectedClient.bottom);
    EXPECT_EQ(seen.controlRect.left, 0);
    EXPECT_EQ(seen.controlRect.top, 0);
    EXPECT_EQ(seen.controlRect.right - seen.controlRect.left, seen.client.right);
    EXPECT_EQ(seen.controlRect.bottom - seen.controlRect.top, seen.client.bottom - 50);

    RECT frameRect{};
    ::GetWindowRect(frame.Get(), &frameRect);
    MONITORINFO monitor{};
    monitor.cbSize = sizeof(monitor);
    ::GetMonitorInfoW(::MonitorFromWindow(frame.Get(), MONITOR_DEFAULTTONEAREST), &monitor);
    const POINT at = CenteredPosition(frameRect, monitor.rcWork, seen.placed.right - seen.placed.left,
                                      seen.placed.bottom - seen.placed.top);
    EXPECT_EQ(seen.placed.left, at.x);
    EXPECT_EQ(seen.placed.top, at.y);

    EXPECT_FALSE(::IsWindow(seen.dialog));
    EXPECT_FALSE(::IsWindow(seen.control));
    EXPECT_EQ(ViewsHolding(before), 0) << "the view is unmapped once the dialog has closed";
    EXPECT_EQ(section.Contents(), before) << "no key changed the section's bytes";
}

INSTANTIATE_TEST_SUITE_P(Endings, HexViewEndingTest,
                         ::testing::Values(Ending::Escape, Ending::Enter, Ending::CloseBox),
                         [](const auto& info) {
                             switch (info.param) {
                                 case Ending::Escape: return std::string("Escape");
                                 case Ending::Enter: return std::string("Enter");
                                 default: return std::string("CloseBox");
                             }
                         });

TEST_F(HexViewCommandTest, TemplateHasTheCaptionAndTheDefaultOkButton) {
    test::TestSection section(test::UniqueName(L"QuillonHexTemplate"), test::SectionOptions{});
    ASSERT_TRUE(view.SelectOneRow(AddRow(section.Name())));
    std::wstring okText;
    LONG okStyle = 0;
    RECT okRect{}, expected{372, 189, 372 + 50, 189 + 14};
    LONG dialogStyle = 0;
    test::ModalAnswerer answerer([&](HWND dialog) {
        if (!IsHexView(dialog)) return false;
        HWND ok = ::GetDlgItem(dialog, IDOK);
        okText = test::WindowText(ok);
        okStyle = ::GetWindowLongW(ok, GWL_STYLE);
        ::GetWindowRect(ok, &okRect);
        ::MapWindowPoints(nullptr, dialog, reinterpret_cast<POINT*>(&okRect), 2);
        ::MapDialogRect(dialog, &expected);
        dialogStyle = ::GetWindowLongW(dialog, GWL_STYLE);
        ::PostMessageW(dialog, WM_COMMAND, IDOK, 0);
        return true;
    });
    Run();
    EXPECT_EQ(okText, L"OK");
    EXPECT_EQ(okStyle & 0x0F, BS_DEFPUSHBUTTON);
    EXPECT_TRUE(okStyle & WS_TABSTOP);
    EXPECT_EQ(okRect.left, expected.left);
    EXPECT_EQ(okRect.top, expected.top);
    EXPECT_EQ(okRect.right, expected.right);
    EXPECT_EQ(okRect.bottom, expected.bottom);
    EXPECT_TRUE(dialogStyle & WS_CAPTION);
    EXPECT_TRUE(dialogStyle & WS_SYSMENU);
    EXPECT_TRUE(dialogStyle & DS_MODALFRAME);
}

TEST_F(HexViewCommandTest, SectionThatCannotBeOpenedShowsCannotOpenSection) {
    struct Case {
        const char* what;
        bool denyRead;
        bool goneBeforeTheCommand;
    } cases[] = {{"reading denied", true, false}, {"deleted after listing", false, true}};
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        test::SectionOptions options;
        options.denyRead = c.denyRead;
        test::TestSection section(test::UniqueName(L"QuillonHexDenied"), options);
        ASSERT_TRUE(section.IsValid());
        const int row = AddRow(section.Name());
        ASSERT_GE(row, 0);
        if (c.denyRead) {
            EXPECT_EQ(test::ReadListRows(view.Window())[row].size, L"[Access Denied]");
        }
        ASSERT_TRUE(view.SelectOneRow(row));
        if (c.goneBeforeTheCommand) section.Close();

        test::MessageBoxInfo box;
        HWND owner = nullptr;
        bool hexView = false;
        test::ModalAnswerer answerer([&](HWND dialog) {
            if (IsHexView(dialog)) {
                hexView = true;
                ::PostMessageW(dialog, WM_COMMAND, IDCANCEL, 0);
                return true;
            }
            box = test::ReadMessageBox(dialog);
            owner = ::GetWindow(dialog, GW_OWNER);
            ::PostMessageW(dialog, WM_COMMAND, IDOK, 0);
            return true;
        });
        Run();
        EXPECT_FALSE(hexView);
        EXPECT_EQ(answerer.Handled(), 1);
        EXPECT_EQ(box.text, L"Cannot open section");
        EXPECT_EQ(box.caption, L"Quillon");
        EXPECT_EQ(owner, frame.Get());
    }
}

TEST_F(HexViewCommandTest, NothingSelectedDoesNothing) {
    test::TestSection section(test::UniqueName(L"QuillonHexNone"), test::SectionOptions{});
    ASSERT_GE(AddRow(section.Name()), 0);
    test::ModalAnswerer answerer([&](HWND dialog) {
        ::PostMessageW(dialog, WM_COMMAND, IDCANCEL, 0);
        return true;
    });
    Run();
    test::PumpFor(200);
    EXPECT_EQ(answerer.Handled(), 0);
}

TEST_F(HexViewCommandTest, ReservedSectionOpensPaintsScrollsAndCopiesNothingWithoutACrash) {
    const std::uint32_t size = 64 * 1024;
    test::SectionOptions options;
    options.size = size;
    options.reserveOnly = true;
    test::TestSection section(test::UniqueName(L"QuillonHexReserved"), options);
    ASSERT_TRUE(section.IsValid());
    ASSERT_TRUE(view.SelectOneRow(AddRow(section.Name())));
    const int viewsBefore = ReservedViewsOf(size);
    test::PutClipboardText(L"kept");

    int lastRow = -1;
    int viewsDuring = -1;
    bool unreadableShown = false;
    bool endShown = false;
    std::wstring clipboard;
    bool busy = false;  // the drag below pumps messages, and with them this answerer's timer
    test::ModalAnswerer answerer([&](HWND dialog) {
        if (busy || !IsHexView(dialog)) return false;
        busy = true;
        HWND control = ControlOf(dialog);
        if (control) {
            lastRow = test::LastRow(control);
            viewsDuring = ReservedViewsOf(size);
            ::SetFocus(control);
            unreadableShown = test::ShowsByte(control, test::PaintControl(control), 0, 0, L"??", L'.', false);
            for (int i = 0; i < 20; ++i) SendKey(control, VK_NEXT);
            ::UpdateWindow(control);
            ::SendMessageW(control, WM_VSCROLL, MAKEWPARAM(SB_THUMBTRACK, 1000), 0);
            ::UpdateWindow(control);
            const HexEditState layout = test::ControlLayout(control);
            ::SendMessageW(control, WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(layout.hexLeft + 2, 2));
            ::SendMessageW(control, WM_MOUSEMOVE, MK_LBUTTON, MAKELPARAM(layout.hexLeft + 2, layout.clientHeight + 30));
            test::PumpFor(300);
            ::SendMessageW(control, WM_LBUTTONUP, 0, 0);
            SendKey(control, VK_HOME, true);
            SendKey(control, VK_END, true, true);
            ::UpdateWindow(control);
            SendKey(control, VK_INSERT, true);
            SendKey(control, VK_DELETE, false, true);
            clipboard = test::ClipboardText();
            const test::Canvas picture = test::PaintControl(control);
            endShown = test::ShowsOffset(control, picture, layout.visibleRows - 1, size) &&
                       test::ShowsByte(control, picture, layout.visibleRows - 2, 15, L"??", L'.', true);
        }
        ::PostMessageW(dialog, WM_COMMAND, IDOK, 0);
        busy = false;
        return true;
    });
    Run();
    EXPECT_EQ(answerer.Handled(), 1);
    EXPECT_EQ(lastRow, static_cast<int>(size / 16));
    EXPECT_EQ(viewsDuring, viewsBefore + 1);
    EXPECT_TRUE(unreadableShown);
    EXPECT_TRUE(endShown);
    EXPECT_EQ(clipboard, L"kept") << "copying reserved bytes fails quietly";
    EXPECT_EQ(ReservedViewsOf(size), viewsBefore);
}

// The file behind the section is cut while the dialog shows it: the pages past the new end can no
// longer be read. Keys, a drag, paints and copies go on without a crash.
TEST_F(HexViewCommandTest, FileCutWhileTheDialogIsOpenShowsQuestionMarksAndCopiesNothing) {
    if (!test::FileBackedSection::CanShrinkWhileMapped())
        GTEST_SKIP() << "the platform refuses to shrink a mapped file";
    const std::uint32_t page = 4096;
    test::FileBackedSection file(test::UniqueName(L"QuillonHexCut"), 3 * page);
    ASSERT_TRUE(file.IsValid());
    ASSERT_TRUE(view.SelectOneRow(AddRow(file.Name())));
    test::PutClipboardText(L"kept");

    bool shrunk = false;
    bool firstPageShown = false;
    bool cutPagesUnreadable = false;
    std::wstring clipboard;
    std::vector<std::wstring> boxes;
    bool busy = false;  // the drag below pumps messages, and with them this answerer's timer
    test::ModalAnswerer answerer([&](HWND dialog) {
        if (!IsHexView(dialog)) {
            boxes.push_back(test::ReadMessageBox(dialog).text);
            ::PostMessageW(dialog, WM_COMMAND, IDOK, 0);
            return true;
        }
        if (busy) return false;
        busy = true;
        if (HWND control = ControlOf(dialog)) {
            ::SetFocus(control);
            SendKey(control, VK_HOME, true);
            SendKey(control, VK_END, true, true);  // the earlier selection: everything
            ::UpdateWindow(control);
            shrunk = file.Shrink(page);
            SendKey(control, VK_INSERT, true);
            clipboard = test::ClipboardText();
            SendKey(control, VK_UP, false, true);
            SendKey(control, VK_DOWN, false, true);
            SendKey(control, VK_HOME, true, true);
            SendKey(control, VK_END, true, true);
            ::UpdateWindow(control);
            const HexEditState layout = test::ControlLayout(control);
            SendKey(control, VK_HOME, true);
            ::SendMessageW(control, WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(layout.hexLeft + 2, 2));
            ::SendMessageW(control, WM_MOUSEMOVE, MK_LBUTTON, MAKELPARAM(layout.hexLeft + 2, layout.clientHeight + 30));
            test::PumpFor(300);
            ::SendMessageW(control, WM_LBUTTONUP, 0, 0);
            SendKey(control, VK_HOME, true);
            SendKey(control, VK_END, true, true);
            SendKey(control, VK_DELETE, false, true);
            clipboard += L"|" + test::ClipboardText();

            SendKey(control, VK_HOME, true);
            ::SendMessageW(control, WM_VSCROLL, MAKEWPARAM(SB_THUMBTRACK, 254), 0);
            ::UpdateWindow(control);
            const test::Canvas picture = test::PaintControl(control);
            const unsigned char last = test::FileBackedSection::ExpectedByte(page - 1);
            firstPageShown = test::ShowsByte(control, picture, 1, 15, Digits(last), DisplayChar(last), false);
            cutPagesUnreadable = test::ShowsByte(control, picture, 2, 0, L"??", L'.', false) &&
                                 test::ShowsByte(control, picture, 4, 15, L"??", L'.', false);
        }
        ::PostMessageW(dialog, WM_COMMAND, IDOK, 0);
        busy = false;
        return true;
    });
    Run();
    ASSERT_TRUE(shrunk);
    EXPECT_EQ(clipboard, L"kept|kept") << "copies over the cut pages fail";
    EXPECT_TRUE(boxes.empty()) << "a failed copy beeps; only a held clipboard or the size limit shows a box";
    EXPECT_TRUE(firstPageShown);
    EXPECT_TRUE(cutPagesUnreadable);
}

}  // namespace
}  // namespace quillon
