// Edit > Copy through the frame's hook, against the real clipboard.
#include <windows.h>

#include <gtest/gtest.h>

#include <cstring>
#include <thread>

#include "catalogue/copy_rows.h"
#include "common/clipboard.h"
#include "shell/frame_commands.h"
#include "tests/catalogue/list_fixture.h"
#include "tests/support/test_clipboard.h"

namespace quillon::test {
namespace {

TEST(CopyText, EachRowIsNameTabSizeTabCrLf) {
    EXPECT_EQ(ComposeCopyText({}), L"");
    EXPECT_EQ(ComposeCopyText({{L"Global\\X", L"0x1000"}}), L"Global\\X\t0x1000\t\r\n");
    EXPECT_EQ(ComposeCopyText({{L"a", L"[Access Denied]"}, {L"", L""}, {L"b\u00E4", L"0xB000"}}),
              L"a\t[Access Denied]\t\r\n\t\t\r\nb\u00E4\t0xB000\t\r\n");
}

class CopyTest : public ListFixture {
protected:
    // Runs Copy, closing and recording any message box it shows.
    std::vector<SeenBox> RunCopy() {
        std::vector<SeenBox> boxes;
        ModalAnswerer answerer([&](HWND dialog) {
            if (!IsMessageBox(dialog)) return false;
            boxes.push_back(AnswerMessageBox(dialog));
            return true;
        });
        RunCopyCommand(Frame(), List());
        PumpMessages();
        return boxes;
    }
};

TEST_F(CopyTest, OneGlobalRowCopiesAsOneLine) {
    SectionOptions options;
    options.global = true;
    const TestSection& section = AddSection(L"QlCopyOne", options);
    Select({0});
    EXPECT_TRUE(RunCopy().empty());
    EXPECT_EQ(ClipboardText(), section.Name() + L"\t0x1000\t\r\n");
    EXPECT_EQ(::GetClipboardOwner(), Frame());
}

TEST_F(CopyTest, SelectedRowsCopyInListOrderNotInClickOrder) {
    std::vector<std::wstring> names;
    for (int i = 0; i < 10; ++i) {
        SectionOptions options;
        options.size = static_cast<std::uint32_t>(4096 * (i + 1));
        options.denyRead = (i == 5);
        names.push_back(AddSection(L"QlCopyMany", options).Name());
    }
    Select({5, 2, 9});
    EXPECT_TRUE(RunCopy().empty());
    EXPECT_EQ(ClipboardText(), names[2] + L"\t0x3000\t\r\n" + names[5] + L"\t[Access Denied]\t\r\n" + names[9] +
                                   L"\t0xA000\t\r\n");
}

TEST_F(CopyTest, NoSelectionLeavesTheClipboardAsItWas) {
    AddSection(L"QlCopyNone", {});
    ASSERT_TRUE(PutClipboardText(L"left alone", Frame()));
    EXPECT_TRUE(RunCopy().empty());
    EXPECT_EQ(ClipboardText(), L"left alone");
}

TEST_F(CopyTest, ClipboardHeldByAnotherWindowGivesCannotOpenClipboard) {
    AddSection(L"QlCopyBusy", {});
    Select({0});
    ASSERT_TRUE(PutClipboardText(L"before", Frame()));

    // Another thread's window holds the clipboard open until told to let go.
    HANDLE opened = ::CreateEventW(nullptr, TRUE, FALSE, nullptr);
    HANDLE release = ::CreateEventW(nullptr, TRUE, FALSE, nullptr);
    std::thread holder([&] {
        HWND window = ::CreateWindowExW(0, L"STATIC", L"holder", 0, 0, 0, 0, 0, nullptr, nullptr, nullptr, nullptr);
        const BOOL open = ::OpenClipboard(window);
        ::SetEvent(opened);
        ::WaitForSingleObject(release, 10000);
        if (open) ::CloseClipboard();
        ::DestroyWindow(window);
    });
    ::WaitForSingleObject(opened, 10000);

    const std::vector<SeenBox> boxes = RunCopy();
    ::SetEvent(release);
    holder.join();
    ::CloseHandle(opened);
    ::CloseHandle(release);

    ASSERT_EQ(boxes.size(), 1u);
    EXPECT_EQ(boxes[0].owner, Frame());
    EXPECT_EQ(boxes[0].caption, L"");
    EXPECT_EQ(boxes[0].text, L"Cannot open Clipboard.");
    EXPECT_EQ(boxes[0].icon, SystemIcon(IDI_WARNING));
    EXPECT_EQ(ClipboardText(), L"before");
}

// The block's allocator as Copy calls it: these record the request, then fail or allocate for real.
UINT g_askedFlags = 0;
SIZE_T g_askedBytes = 0;
HGLOBAL WINAPI FailingAllocate(UINT flags, SIZE_T bytes) {
    g_askedFlags = flags;
    g_askedBytes = bytes;
    return nullptr;
}
HGLOBAL WINAPI RecordingAllocate(UINT flags, SIZE_T bytes) {
    g_askedFlags = flags;
    g_askedBytes = bytes;
    return ::GlobalAlloc(flags, bytes);
}

TEST_F(CopyTest, AFailedAllocationLeavesThePreviousClipboardTextInPlace) {
    ASSERT_TRUE(PutClipboardText(L"the user's text", Frame()));
    const std::wstring text = L"Global\\X\t0x1000\t\r\n";
    EXPECT_EQ(detail::PlaceClipboardText(Frame(), text, &FailingAllocate), CopyOutcome::OutOfMemory);
    EXPECT_EQ(g_askedFlags, static_cast<UINT>(GMEM_DDESHARE));
    EXPECT_EQ(g_askedBytes, (text.size() + 1) * sizeof(wchar_t));
    EXPECT_EQ(ClipboardText(), L"the user's text");

    g_askedBytes = 0;
    EXPECT_EQ(detail::PlaceClipboardText(Frame(), text, &RecordingAllocate), CopyOutcome::Copied);
    EXPECT_EQ(g_askedBytes, (text.size() + 1) * sizeof(wchar_t));
    EXPECT_EQ(ClipboardText(), text);
}

}  // namespace
}  // namespace quillon::test
