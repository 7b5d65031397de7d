// The Find command, its modeless dialogs and the find-next handler, with a plain window standing in
// for the main frame and a message loop that filters like the frame's: accelerators first, then the
// Find dialogs' keyboard handling. The frame's accelerators apply to keys aimed at it or its children.
#include <windows.h>
#include <commctrl.h>
#include <commdlg.h>

#include <gtest/gtest.h>

#include <cstring>
#include <cwchar>
#include <string>
#include <vector>

#include "catalogue/list_rows.h"
#include "common/clipboard.h"
#include "common/unique_resource.h"
#include "resources/resource.h"
#include "shell/find_dialog.h"
#include "shell/frame_accelerators.h"
#include "shell/frame_commands.h"
#include "tests/catalogue/list_fixture.h"
#include "tests/support/test_clipboard.h"

namespace quillon::test {
namespace {

constexpr int kFindText = 0x480;   // edt1
constexpr int kMatchCase = 0x411;  // chx2
constexpr int kUp = 0x420;         // rad1
constexpr int kDown = 0x421;       // rad2

BOOL CALLBACK CollectFindDialog(HWND window, LPARAM list) {
    if (CFindReplaceDialog::FromWindow(window)) reinterpret_cast<std::vector<HWND>*>(list)->push_back(window);
    return TRUE;
}

std::vector<HWND> OpenFindDialogs() {
    std::vector<HWND> dialogs;
    ::EnumThreadWindows(::GetCurrentThreadId(), &CollectFindDialog, reinterpret_cast<LPARAM>(&dialogs));
    return dialogs;
}

class FindTest : public ListFixture {
protected:
    void SetUp() override {
        ListFixture::SetUp();
        findMessage_ = ::RegisterWindowMessageW(FINDMSGSTRINGW);
        accelerators_ = ::LoadAcceleratorsW(::GetModuleHandleW(nullptr), MAKEINTRESOURCEW(IDR_MAINFRAME));
        ASSERT_NE(accelerators_, nullptr);
        frame_.onMessage = [this](UINT msg, WPARAM wParam, LPARAM lParam, LRESULT& result) {
            if (msg == findMessage_) {
                ++requests_;
                result = HandleFindRequest(Frame(), List(), lParam);
                return true;
            }
            if (msg == WM_COMMAND && LOWORD(wParam) == ID_EDIT_FIND) {
                RunFindCommand(Frame(), List());
                return true;
            }
            if (msg == WM_COMMAND) commands_.push_back(LOWORD(wParam));
            return false;
        };
        // Rows of this test only: two global sections, a denied one, and names with Ä and ä.
        AddRow(L"QlFindAlpha", 0x1000, true);
        AddRow(L"QlFindBeta", 0x10000, false);
        AddRow(L"QlFindDenied", 0, false);
        AddRow(L"QlFindGamma", 0x3000, true);
        AddRow(L"QlFindAlphabet", 0x2000, false);
        AddRow(L"QlFind\u00C4rger", 0x1000, false);
        AddRow(L"QlFind\u00E4rger", 0x1000, false);
        ASSERT_EQ(view_.RowCount(), 7);
        ASSERT_EQ(view_.CellText(2, 1), L"[Access Denied]");
    }

    void TearDown() override {
        for (HWND dialog : OpenFindDialogs()) ::DestroyWindow(dialog);
        PumpMessages();
        if (accelerators_) ::DestroyAcceleratorTable(accelerators_);
    }

    void AddRow(const wchar_t* prefix, std::uint32_t size, bool global) {
        SectionOptions options;
        options.size = size ? size : 4096;
        options.denyRead = size == 0;
        options.global = global;
        AddSection(prefix, options);
    }

    // One turn of the frame's loop for every queued message.
    void PumpLikeTheFrame() {
        MSG msg;
        while (::PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE)) {
            if (TranslateFrameAccelerator(Frame(), accelerators_, &msg)) continue;
            if (TranslateFindDialogMessage(&msg)) continue;
            ::TranslateMessage(&msg);
            ::DispatchMessageW(&msg);
        }
    }

    HWND OpenFindDialog() {
        const std::vector<HWND> before = OpenFindDialogs();
        ::SendMessageW(Frame(), WM_COMMAND, ID_EDIT_FIND, 0);
        for (HWND dialog : OpenFindDialogs())
            if (std::find(before.begin(), before.end(), dialog) == before.end()) return dialog;
        return nullptr;
    }

    // Fills in the dialog as a user would and presses Find Next; closes and records any message box.
    void FindNext(HWND dialog, const std::wstring& text, bool down = true, bool matchCase = false) {
        ::SetDlgItemTextW(dialog, kFindText, text.c_str());
        ::CheckRadioButton(dialog, kUp, kDown, down ? kDown : kUp);
        ::CheckDlgButton(dialog, kMatchCase, matchCase ? BST_CHECKED : BST_UNCHECKED);
        Answering([&] { ::SendMessageW(dialog, WM_COMMAND, MAKEWPARAM(IDOK, BN_CLICKED), 0); });
    }

    void Answering(const std::function<void()>& action) {
        ModalAnswerer answerer([this](HWND dialog) {
            if (CFindReplaceDialog::FromWindow(dialog) || !IsMessageBox(dialog)) return false;
            boxes_.push_back(AnswerMessageBox(dialog));
            return true;
        });
        action();
        PumpMessages();
    }

    // The selected rows, and whether the single selected row also has the focus.
    std::vector<int> Selection() const { return SelectedRows(List()); }
    int Focused() const {
        return static_cast<int>(::SendMessageW(List(), LVM_GETNEXTITEM, static_cast<WPARAM>(-1), LVNI_FOCUSED));
    }
    void SelectOnly(std::initializer_list<int> rows) {
        LVITEMW clear{};
        clear.stateMask = LVIS_SELECTED;
        ::SendMessageW(List(), LVM_SETITEMSTATE, static_cast<WPARAM>(-1), reinterpret_cast<LPARAM>(&clear));
        Select(rows);
    }

    // Sets a key's state for this thread, as a held modifier would.
    static void SetKeyDown(int key, bool down) {
        BYTE keys[256] = {};
        ::GetKeyboardState(keys);
        keys[key] = down ? 0x80 : 0;
        ::SetKeyboardState(keys);
    }

    UINT findMessage_ = 0;
    HACCEL accelerators_ = nullptr;
    int requests_ = 0;
    std::vector<WORD> commands_;
    std::vector<SeenBox> boxes_;
};

TEST_F(FindTest, DialogStartsEmptyDownWithoutMatchCaseAndIsOwnedByTheFrame) {
    HWND dialog = OpenFindDialog();
    ASSERT_NE(dialog, nullptr);
    EXPECT_TRUE(::IsWindowVisible(dialog));
    EXPECT_EQ(::GetWindow(dialog, GW_OWNER), Frame());
    EXPECT_EQ(WindowText(::GetDlgItem(dialog, kFindText)), L"");
    EXPECT_EQ(::IsDlgButtonChecked(dialog, kDown), BST_CHECKED);
    EXPECT_EQ(::IsDlgButtonChecked(dialog, kMatchCase), BST_UNCHECKED);
    // The whole-word box is hidden.
    HWND wholeWord = ::GetDlgItem(dialog, 0x410);
    EXPECT_TRUE(!wholeWord || !::IsWindowVisible(wholeWord));
    const FINDREPLACEW& record = CFindReplaceDialog::FromWindow(dialog)->Record();
    EXPECT_EQ(record.lStructSize, sizeof(FINDREPLACEW));
    EXPECT_EQ(record.hwndOwner, Frame());
    EXPECT_EQ(record.wFindWhatLen, 128);
    EXPECT_EQ(record.lCustData, 0);
}

TEST_F(FindTest, RepeatedFindNextWalksEveryMatchDownThenReportsTheTextAsTyped) {
    HWND dialog = OpenFindDialog();
    ASSERT_NE(dialog, nullptr);
    for (int expected = 0; expected < 7; ++expected) {
        FindNext(dialog, L"qlFIND");
        EXPECT_EQ(Selection(), std::vector<int>{expected});
        EXPECT_EQ(Focused(), expected);
    }
    EXPECT_TRUE(boxes_.empty());
    FindNext(dialog, L"qlFIND");
    ASSERT_EQ(boxes_.size(), 1u);
    EXPECT_EQ(boxes_[0].owner, Frame());
    EXPECT_EQ(boxes_[0].caption, L"Quillon");
    EXPECT_EQ(boxes_[0].text, L"Cannot find \"qlFIND\"");
    EXPECT_EQ(boxes_[0].icon, SystemIcon(IDI_INFORMATION));
    EXPECT_EQ(Selection(), std::vector<int>{6});
}

TEST_F(FindTest, NoWrapAroundAtEitherEnd) {
    HWND dialog = OpenFindDialog();
    SelectOnly({6});
    FindNext(dialog, L"alpha", true);
    EXPECT_EQ(boxes_.size(), 1u);
    EXPECT_EQ(Selection(), std::vector<int>{6});

    SelectOnly({0});
    FindNext(dialog, L"alphabet", false);
    EXPECT_EQ(boxes_.size(), 2u);
    EXPECT_EQ(Selection(), std::vector<int>{0});

    // Up from row 4 reaches row 0.
    SelectOnly({4});
    FindNext(dialog, L"alpha", false);
    EXPECT_EQ(Selection(), std::vector<int>{0});
}

TEST_F(FindTest, WithoutSelectionDownStartsAtRowZeroAndUpAtTheLastRow) {
    HWND dialog = OpenFindDialog();
    FindNext(dialog, L"qlfind", false);
    EXPECT_EQ(Selection(), std::vector<int>{6});
    SelectOnly({});
    FindNext(dialog, L"alpha", false);
    EXPECT_EQ(Selection(), std::vector<int>{4}) << "the lowest match going up from the last row";
    SelectOnly({});
    FindNext(dialog, L"beta", false);
    EXPECT_EQ(Selection(), std::vector<int>{1});
    SelectOnly({});
    FindNext(dialog, L"beta", true);
    EXPECT_EQ(Selection(), std::vector<int>{1});
    EXPECT_TRUE(boxes_.empty());
}

TEST_F(FindTest, SizeColumnIsSearchedToo) {
    HWND dialog = OpenFindDialog();
    FindNext(dialog, L"denied");
    EXPECT_EQ(Selection(), std::vector<int>{2});
    SelectOnly({});
    FindNext(dialog, L"0x1000");
    EXPECT_EQ(Selection(), std::vector<int>{0});
    FindNext(dialog, L"0x1000");
    EXPECT_EQ(Selection(), std::vector<int>{1});  // 0x10000
    FindNext(dialog, L"0x1000");
    EXPECT_EQ(Selection(), std::vector<int>{5});
    EXPECT_TRUE(boxes_.empty());
}

TEST_F(FindTest, GlobalPrefixTypedInLowerCaseNeedsMatchCaseOff) {
    HWND dialog = OpenFindDialog();
    FindNext(dialog, L"global\\");
    EXPECT_EQ(Selection(), std::vector<int>{0});
    FindNext(dialog, L"global\\");
    EXPECT_EQ(Selection(), std::vector<int>{3});
    SelectOnly({});
    FindNext(dialog, L"global\\", true, true);
    ASSERT_EQ(boxes_.size(), 1u);
    EXPECT_EQ(boxes_[0].text, L"Cannot find \"global\\\"");
    FindNext(dialog, L"Global\\", true, true);
    EXPECT_EQ(Selection(), std::vector<int>{0});
}

TEST_F(FindTest, SeveralSelectedRowsStartNextToTheLowestAndLeaveOnlyTheMatch) {
    HWND dialog = OpenFindDialog();
    SelectOnly({4, 1});
    FindNext(dialog, L"qlfind");
    EXPECT_EQ(Selection(), std::vector<int>{2});
    EXPECT_EQ(Focused(), 2);
}

TEST_F(FindTest, OnlyAToZAreFoldedForNonAsciiText) {
    // The platform's dialog may not carry these characters through its text box, so the text goes
    // straight into the dialog's own record before its request is handled.
    HWND dialog = OpenFindDialog();
    FINDREPLACEW& record = CFindReplaceDialog::FromWindow(dialog)->Record();
    const auto request = [&](const wchar_t* text) {
        std::wcscpy(record.lpstrFindWhat, text);
        record.Flags = (record.Flags & ~(FR_MATCHCASE | FR_DIALOGTERM)) | FR_FINDNEXT | FR_DOWN;
        Answering([&] { HandleFindRequest(Frame(), List(), reinterpret_cast<LPARAM>(&record)); });
    };
    request(L"QLFIND\u00E4");
    EXPECT_EQ(Selection(), std::vector<int>{6});
    SelectOnly({});
    request(L"qlfind\u00C4");
    EXPECT_EQ(Selection(), std::vector<int>{5});
    request(L"qlfind\u00C4");
    ASSERT_EQ(boxes_.size(), 1u);
    EXPECT_EQ(boxes_[0].text, L"Cannot find \"qlfind\u00C4\"");
}

TEST_F(FindTest, TwoDialogsSearchIndependently) {
    HWND first = OpenFindDialog();
    HWND second = OpenFindDialog();
    ASSERT_NE(first, nullptr);
    ASSERT_NE(second, nullptr);
    ASSERT_NE(first, second);
    ::SetDlgItemTextW(first, kFindText, L"beta");
    ::SetDlgItemTextW(second, kFindText, L"ALPHA");
    ::CheckRadioButton(second, kUp, kDown, kUp);
    ::CheckDlgButton(second, kMatchCase, BST_CHECKED);

    // Each Find Next reads only its own dialog's text, direction and Match case.
    Answering([&] { ::SendMessageW(first, WM_COMMAND, IDOK, 0); });
    EXPECT_EQ(Selection(), std::vector<int>{1});
    Answering([&] { ::SendMessageW(second, WM_COMMAND, IDOK, 0); });
    EXPECT_EQ(boxes_.size(), 1u);  // up from row 1 with Match case: "ALPHA" is nowhere
    ::CheckDlgButton(second, kMatchCase, BST_UNCHECKED);
    Answering([&] { ::SendMessageW(second, WM_COMMAND, IDOK, 0); });
    EXPECT_EQ(Selection(), std::vector<int>{0});
    Answering([&] { ::SendMessageW(first, WM_COMMAND, IDOK, 0); });
    EXPECT_EQ(Selection(), std::vector<int>{1});
    EXPECT_EQ(WindowText(::GetDlgItem(first, kFindText)), L"beta");
    EXPECT_EQ(::IsDlgButtonChecked(first, kDown), BST_CHECKED);
}

TEST_F(FindTest, ClosingADialogChangesNothingAndFreesIt) {
    HWND dialog = OpenFindDialog();
    ::SetDlgItemTextW(dialog, kFindText, L"qlfind");
    SelectOnly({3});
    const int before = requests_;
    Answering([&] { ::SendMessageW(dialog, WM_COMMAND, IDCANCEL, 0); });
    EXPECT_GT(requests_, before);  // the closing dialog's FR_DIALOGTERM reached the handler
    EXPECT_FALSE(::IsWindow(dialog));
    EXPECT_TRUE(OpenFindDialogs().empty());
    EXPECT_EQ(Selection(), std::vector<int>{3});
    EXPECT_TRUE(boxes_.empty());
}

TEST_F(FindTest, RequestWhoseRecordIsNoOpenDialogsIsIgnored) {
    wchar_t text[128] = L"qlfind";
    FINDREPLACEW stray{};
    stray.lStructSize = sizeof(stray);
    stray.Flags = FR_FINDNEXT | FR_DOWN;
    stray.lpstrFindWhat = text;
    stray.wFindWhatLen = 128;
    Answering([&] {
        EXPECT_EQ(HandleFindRequest(Frame(), List(), reinterpret_cast<LPARAM>(&stray)), 0);
        EXPECT_EQ(HandleFindRequest(Frame(), List(), 0), 0);
    });
    EXPECT_TRUE(Selection().empty());
    EXPECT_TRUE(boxes_.empty());
}

TEST_F(FindTest, EnterEscAndTabWorkInTheDialog) {
    HWND dialog = OpenFindDialog();
    HWND edit = ::GetDlgItem(dialog, kFindText);
    ::SetWindowTextW(edit, L"gamma");
    ::SetForegroundWindow(dialog);
    ::SetFocus(edit);
    ASSERT_EQ(::GetFocus(), edit);

    ::PostMessageW(edit, WM_KEYDOWN, VK_TAB, 0);
    PumpLikeTheFrame();
    EXPECT_NE(::GetFocus(), edit);
    EXPECT_EQ(::GetAncestor(::GetFocus(), GA_ROOT), dialog);

    ::SetFocus(edit);
    ::PostMessageW(edit, WM_KEYDOWN, VK_RETURN, 0);
    Answering([&] { PumpLikeTheFrame(); });
    EXPECT_EQ(Selection(), std::vector<int>{3});

    ::PostMessageW(edit, WM_KEYDOWN, VK_ESCAPE, 0);
    PumpLikeTheFrame();
    EXPECT_FALSE(::IsWindow(dialog));
    EXPECT_EQ(Selection(), std::vector<int>{3});
}

// The frame's shortcuts are for the frame and its children; in a Find dialog the text box keeps the
// editing keys every edit box has.
TEST_F(FindTest, TheTextBoxKeepsItsEditingKeysAndTheListItsShortcuts) {
    HWND dialog = OpenFindDialog();
    HWND edit = ::GetDlgItem(dialog, kFindText);
    ::SetForegroundWindow(dialog);
    ::SetFocus(edit);
    ASSERT_EQ(::GetFocus(), edit);
    const auto press = [&](HWND target, UINT key, int modifier) {
        if (modifier) SetKeyDown(modifier, true);
        ::PostMessageW(target, WM_KEYDOWN, key, 1);
        ::PostMessageW(target, WM_KEYUP, key, 0xC0000001);
        PumpLikeTheFrame();
        if (modifier) SetKeyDown(modifier, false);
    };

    ASSERT_TRUE(PutClipboardText(L"pasted"));
    press(edit, 'V', VK_CONTROL);
    EXPECT_EQ(WindowText(edit), L"pasted");
    press(edit, VK_INSERT, VK_SHIFT);
    EXPECT_EQ(WindowText(edit), L"pastedpasted");
    ::SetWindowTextW(edit, L"start");  // a fresh undo buffer
    ::SendMessageW(edit, EM_SETSEL, 5, 5);
    press(edit, 'V', VK_CONTROL);
    ASSERT_EQ(WindowText(edit), L"startpasted");
    press(edit, 'Z', VK_CONTROL);
    EXPECT_EQ(WindowText(edit), L"start") << "Ctrl+Z undoes the paste";

    ::SetWindowTextW(edit, L"box text");
    ::SendMessageW(edit, EM_SETSEL, 0, -1);
    press(edit, 'C', VK_CONTROL);
    EXPECT_EQ(ClipboardText(), L"box text");
    press(edit, 'X', VK_CONTROL);
    EXPECT_EQ(WindowText(edit), L"");
    EXPECT_EQ(ClipboardText(), L"box text");
    EXPECT_TRUE(commands_.empty()) << "no frame command ran";
    EXPECT_EQ(OpenFindDialogs().size(), 1u);

    // Enter still finds, in the dialog.
    ::SetWindowTextW(edit, L"gamma");
    ::PostMessageW(edit, WM_KEYDOWN, VK_RETURN, 0);
    Answering([&] { PumpLikeTheFrame(); });
    EXPECT_EQ(Selection(), std::vector<int>{3});

    // In the list, Ctrl+C is still the frame's Copy, and Ctrl+F opens a dialog owned by the frame.
    press(List(), 'C', VK_CONTROL);
    press(List(), 'F', VK_CONTROL);
    EXPECT_EQ(commands_, std::vector<WORD>{ID_EDIT_COPY});
    const std::vector<HWND> dialogs = OpenFindDialogs();
    ASSERT_EQ(dialogs.size(), 2u);
    HWND second = dialogs[0] == dialog ? dialogs[1] : dialogs[0];
    EXPECT_EQ(::GetWindow(second, GW_OWNER), Frame());
}

}  // namespace
}  // namespace quillon::test
