// The real HexEditControl under Wine, driven by messages: what it paints, the drag timer, the
// clipboard, unreadable pages and thumb tracking.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstring>
#include <string>
#include <vector>

#include "common/unique_resource.h"
#include "hexview/hex_copy.h"
#include "hexview/hex_edit_control.h"
#include "hexview/hex_text.h"
#include "tests/hexview/hex_test_support.h"
#include "tests/support/file_section.h"
#include "tests/support/test_sections.h"
#include "tests/support/test_windows.h"

namespace quillon {
namespace {

using test::Canvas;
using test::PaintControl;
using test::SendKey;

std::wstring Digits(unsigned char b) {
    wchar_t digits[2];
    FormatByte(b, digits);
    return std::wstring(digits, 2);
}

// Memory of our own whose pages a test can make unreadable.
struct VirtualBlock {
    explicit VirtualBlock(SIZE_T bytes, DWORD type = MEM_RESERVE | MEM_COMMIT, DWORD protect = PAGE_READWRITE)
        : base(static_cast<unsigned char*>(::VirtualAlloc(nullptr, bytes, type, protect))) {}
    ~VirtualBlock() {
        if (base) ::VirtualFree(base, 0, MEM_RELEASE);
    }
    VirtualBlock(const VirtualBlock&) = delete;
    VirtualBlock& operator=(const VirtualBlock&) = delete;
    unsigned char* base;
};

class HexControlTest : public ::testing::Test {
protected:
    void SetUp() override {
        bytes.resize(4096);
        for (size_t k = 0; k < bytes.size(); ++k) bytes[k] = static_cast<unsigned char>(k * 7 + 3);
    }
    void TearDown() override {
        if (control) ::DestroyWindow(control);
        test::PumpMessages();
    }
    HWND Create(const void* data, std::uint64_t size, int width = 640, int height = 0) {
        if (height == 0) height = 200;
        control = test::CreateHexControl(parent.Get(), width, height, data, size);
        return control;
    }
    void Focus() {
        ::SetFocus(control);
        test::PumpMessages();
    }
    const std::vector<unsigned char>& Bytes() const { return bytes; }

    test::TestParentWindow parent{900, 600};
    std::vector<unsigned char> bytes;
    HWND control = nullptr;
};

TEST_F(HexControlTest, PaintsEveryPixelWithOffsetsCellsAndCharacters) {
    ASSERT_TRUE(Create(bytes.data(), bytes.size()));
    const HexEditState layout = test::ControlLayout(control);
    ASSERT_GT(layout.visibleRows, 2);
    EXPECT_EQ(test::LastRow(control), 256);  // 257 rows

    const Canvas picture = PaintControl(control);
    EXPECT_EQ(picture.Count(RECT{0, 0, picture.Width(), picture.Height()}, RGB(255, 0, 255)), 0)
        << "the control leaves no pixel unpainted";
    for (int row = 0; row <= layout.visibleRows; ++row) {  // the partly shown row too
        SCOPED_TRACE(row);
        EXPECT_TRUE(test::ShowsOffset(control, picture, row, static_cast<std::uint32_t>(row * 16)));
        for (int column : {0, 7, 15}) {
            const unsigned char b = bytes[row * 16 + column];
            EXPECT_TRUE(test::ShowsByte(control, picture, row, column, Digits(b), DisplayChar(b), false));
        }
    }
    EXPECT_FALSE(test::ShowsOffset(control, picture, 1, 0x20)) << "the comparison can fail";
}

TEST_F(HexControlTest, DrawsCharactersByTheSevenBitRule) {
    std::vector<unsigned char> data;
    for (int b = 0x70; b <= 0xFF; ++b) data.push_back(static_cast<unsigned char>(b));  // 9 rows
    ASSERT_TRUE(Create(data.data(), data.size(), 640, 400));
    const Canvas picture = PaintControl(control);
    for (size_t k = 0; k < data.size(); ++k) {
        const unsigned char b = data[k];
        SCOPED_TRACE(static_cast<int>(b));
        const wchar_t shown = (b >= 0x80 && b < 0xA0) ? L'.' : static_cast<wchar_t>(b);
        EXPECT_TRUE(test::ShowsByte(control, picture, static_cast<int>(k / 16), static_cast<int>(k % 16), Digits(b),
                                    shown, false));
    }
}

TEST_F(HexControlTest, EndPositionRowShowsItsOffsetAndNoCells) {
    ASSERT_TRUE(Create(bytes.data(), bytes.size()));
    Focus();
    SendKey(control, VK_END, true);
    const HexEditState layout = test::ControlLayout(control);
    const int lastView = 256 - layout.topRow;
    ASSERT_EQ(lastView, layout.visibleRows - 1);
    const Canvas picture = PaintControl(control);
    EXPECT_TRUE(test::ShowsOffset(control, picture, lastView, 0x1000));
    const int y = lastView * layout.lineHeight;
    const RECT rest{layout.hexLeft, y, layout.clientWidth, y + layout.lineHeight};
    const LONG area = (rest.right - rest.left) * (rest.bottom - rest.top);
    EXPECT_EQ(picture.Count(rest, ::GetSysColor(COLOR_WINDOW)), area) << "no cells, no characters";
    EXPECT_TRUE(test::ShowsOffset(control, picture, lastView - 1, 0xFF0));
    EXPECT_TRUE(test::ShowsByte(control, picture, lastView - 1, 15, Digits(bytes[4095]), DisplayChar(bytes[4095]),
                                false));
}

TEST_F(HexControlTest, SelectionHighlightsItsCellsWithMarginsButNeverTheOffsetsOrTheGap) {
    ASSERT_TRUE(Create(bytes.data(), bytes.size()));
    Focus();
    for (int i = 0; i < 3; ++i) SendKey(control, VK_RIGHT);
    for (int i = 0; i < 17; ++i) SendKey(control, VK_RIGHT, false, true);  // bytes 3 to 19

    const HexEditState layout = test::ControlLayout(control);
    const COLORREF highlight = ::GetSysColor(COLOR_HIGHLIGHT);
    auto check = [&](const Canvas& picture) {
        for (int k = 0; k < 32; ++k) {
            SCOPED_TRACE(k);
            const bool selected = k >= 3 && k < 20;
            EXPECT_TRUE(test::ShowsByte(control, picture, k / 16, k % 16, Digits(bytes[k]), DisplayChar(bytes[k]),
                                        selected));
            // The half-character margin left of a cell's digits takes the cell's colour.
            const int x = layout.hexLeft + (k % 16) * layout.cellWidth;
            EXPECT_EQ(picture.Pixel(x, (k / 16) * layout.lineHeight + 1) == highlight, selected);
        }
        for (int row = 0; row < 2; ++row) {
            const int y = row * layout.lineHeight;
            EXPECT_EQ(picture.Count(RECT{0, y, layout.hexLeft, y + layout.lineHeight}, highlight), 0);
            EXPECT_EQ(picture.Count(RECT{layout.hexLeft + 16 * layout.cellWidth, y, layout.charLeft, y + layout.lineHeight},
                                    highlight),
                      0);
            EXPECT_EQ(picture.Count(RECT{layout.charLeft + 16 * layout.charWidth, y, layout.clientWidth,
                                         y + layout.lineHeight},
                                    highlight),
                      0);
        }
    };
    check(PaintControl(control));

    // The immediate repaint went to the screen; what WM_PAINT draws after an invalidation agrees.
    ::SetFocus(parent.Get());
    test::PumpMessages();
    SCOPED_TRACE("after the focus left");
    check(PaintControl(control));
}

TEST_F(HexControlTest, DragBelowTheWindowScrollsTwoRowsPerTickUntilTheEnd) {
    std::vector<unsigned char> data(bytes.begin(), bytes.begin() + 1024);  // 65 rows
    ASSERT_TRUE(Create(data.data(), data.size()));
    const HexEditState layout = test::ControlLayout(control);
    const int maxTop = 64 - (layout.visibleRows - 1);
    const LPARAM start = MAKELPARAM(layout.hexLeft + 2, 2);
    ::SendMessageW(control, WM_LBUTTONDOWN, MK_LBUTTON, start);
    EXPECT_EQ(::GetFocus(), control) << "a click takes the focus";
    EXPECT_EQ(::GetCapture(), control);
    const int below = layout.clientHeight + 40;  // 100 ms ticks
    ::SendMessageW(control, WM_MOUSEMOVE, MK_LBUTTON, MAKELPARAM(layout.hexLeft + 2, below));

    std::vector<int> tops{test::TopRow(control)};
    EXPECT_EQ(tops[0], 2) << "the move itself selects two rows below the last whole row";
    const bool reachedEnd = test::PumpUntil(
        [&] {
            const int top = test::TopRow(control);
            if (top != tops.back()) tops.push_back(top);
            return top == maxTop;
        },
        15000);
    ASSERT_TRUE(reachedEnd) << "stopped at row " << tops.back();
    for (size_t i = 1; i < tops.size(); ++i) {
        SCOPED_TRACE(i);
        EXPECT_EQ(tops[i] - tops[i - 1], std::min(2, maxTop - tops[i - 1]));
    }
    ::SendMessageW(control, WM_LBUTTONUP, 0, MAKELPARAM(layout.hexLeft + 2, below));
    EXPECT_EQ(::GetCapture(), nullptr);

    // Everything from the first byte to the end is selected; it stays highlighted without the focus.
    SendKey(control, VK_INSERT, true);
    const test::HexDataBlock copied = test::ClipboardHexData();
    EXPECT_EQ(copied.length, 1024u);
    ::SetFocus(parent.Get());
    test::PumpMessages();
    const Canvas picture = PaintControl(control);
    const int topRow = test::TopRow(control);
    for (int row = 0; row < 64 - topRow; ++row) {
        SCOPED_TRACE(row);
        const int k = (topRow + row) * 16 + 5;
        EXPECT_TRUE(test::ShowsByte(control, picture, row, 5, Digits(data[k]), DisplayChar(data[k]), true));
    }
}

TEST_F(HexControlTest, ReleasingTheButtonStopsTheDrag) {
    ASSERT_TRUE(Create(bytes.data(), bytes.size()));
    const HexEditState layout = test::ControlLayout(control);
    ::SendMessageW(control, WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(layout.hexLeft + 2, 2));
    ::SendMessageW(control, WM_MOUSEMOVE, MK_LBUTTON, MAKELPARAM(layout.hexLeft + 2, layout.clientHeight + 40));
    ASSERT_TRUE(test::PumpUntil([&] { return test::TopRow(control) >= 6; }, 5000));
    ::SendMessageW(control, WM_LBUTTONUP, 0, 0);
    const int stopped = test::TopRow(control);
    test::PumpFor(500);
    EXPECT_EQ(test::TopRow(control), stopped);

    // Losing the capture to another window mid-drag ends the drag too.
    ::SendMessageW(control, WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(layout.hexLeft + 2, 2));
    ::SendMessageW(control, WM_MOUSEMOVE, MK_LBUTTON, MAKELPARAM(layout.hexLeft + 2, layout.clientHeight + 40));
    ::SetCapture(parent.Get());
    ::ReleaseCapture();
    const int lost = test::TopRow(control);
    test::PumpFor(500);
    EXPECT_EQ(test::TopRow(control), lost);
    ::SendMessageW(control, WM_MOUSEMOVE, 0, MAKELPARAM(layout.hexLeft + 2, layout.clientHeight + 40));
    EXPECT_EQ(test::TopRow(control), lost) << "moving without the button selects nothing";
}

TEST_F(HexControlTest, CopyPutsTheLengthAndTheBytesWithTheTextBeside) {
    ASSERT_TRUE(Create(bytes.data(), bytes.size()));
    Focus();
    test::PutClipboardText(L"kept");
    SendKey(control, VK_INSERT, true);  // no selection
    EXPECT_EQ(test::ClipboardText(), L"kept");
    EXPECT_FALSE(test::ClipboardHexData().present);

    SendKey(control, 'C', true);  // Ctrl+C is not a copy key
    ::SendMessageW(control, WM_CHAR, 3, 1);
    EXPECT_EQ(test::ClipboardText(), L"kept");

    SendKey(control, VK_HOME, true);
    SendKey(control, VK_END, true, true);
    SendKey(control, VK_INSERT, true);
    const test::HexDataBlock copied = test::ClipboardHexData();
    ASSERT_TRUE(copied.present);
    EXPECT_EQ(copied.length, 4096u);
    EXPECT_GE(copied.blockSize, 4096u + 7);
    EXPECT_EQ(copied.bytes, std::string(bytes.begin(), bytes.end()));
    // Beside "HexData", the rows as the viewer shows them: 256 lines of offset, cells and characters.
    const std::wstring text = test::ClipboardText();
    EXPECT_EQ(text.size(), 256u * (8 + 2 + 47 + 2 + 16 + 2));
    EXPECT_EQ(text.substr(0, 10), L"00000000  ");
    EXPECT_EQ(text.substr(text.size() - 2), L"\r\n");

    // Shift+Delete copies a selection across rows, in data order, and removes nothing.
    SendKey(control, VK_HOME, true);
    for (int i = 0; i < 10; ++i) SendKey(control, VK_RIGHT);
    SendKey(control, VK_DOWN, false, true);
    SendKey(control, VK_DOWN, false, true);
    SendKey(control, VK_DELETE, false, true);
    const test::HexDataBlock cut = test::ClipboardHexData();
    EXPECT_EQ(cut.length, 32u);
    EXPECT_EQ(cut.bytes, std::string(bytes.begin() + 10, bytes.begin() + 42));
    SendKey(control, VK_DELETE);
    SendKey(control, VK_INSERT, false, true);
    const Canvas picture = PaintControl(control);
    EXPECT_TRUE(test::ShowsByte(control, picture, 0, 10, Digits(bytes[10]), DisplayChar(bytes[10]), true));
}

TEST_F(HexControlTest, ClipboardHeldElsewhereWarnsAndKeepsTheClipboard) {
    ASSERT_TRUE(Create(bytes.data(), bytes.size()));
    Focus();
    test::PutClipboardText(L"kept");
    SendKey(control, VK_HOME, true);
    SendKey(control, VK_END, true, true);
    ASSERT_TRUE(::OpenClipboard(parent.Get()));
    test::MessageBoxInfo box;
    HWND owner = nullptr;
    test::ModalAnswerer answerer([&](HWND dialog) {
        box = test::ReadMessageBox(dialog);
        owner = ::GetWindow(dialog, GW_OWNER);
        ::PostMessageW(dialog, WM_COMMAND, IDOK, 0);
        return true;
    });
    SendKey(control, VK_INSERT, true);
    ::CloseClipboard();
    EXPECT_EQ(answerer.Handled(), 1);
    EXPECT_EQ(box.text, L"Cannot open Clipboard.");
    EXPECT_EQ(box.caption, L"");
    EXPECT_EQ(owner, parent.Get());
    EXPECT_EQ(test::ClipboardText(), L"kept");
}

// Selecting more than the copy limit needs no committed memory: reserved pages hold the place.
TEST_F(HexControlTest, SelectionsOverTheLimitAreRefusedWithAMessage) {
    const SIZE_T size = SIZE_T{kMaxCopyBytes} + 4096;
    VirtualBlock block(size, MEM_RESERVE, PAGE_NOACCESS);
    ASSERT_TRUE(block.base);
    ASSERT_TRUE(Create(block.base, size));
    Focus();
    test::PutClipboardText(L"kept");
    SendKey(control, VK_HOME, true);
    SendKey(control, VK_END, true, true);

    std::vector<test::MessageBoxInfo> boxes;
    HWND owner = nullptr;
    test::ModalAnswerer answerer([&](HWND dialog) {
        boxes.push_back(test::ReadMessageBox(dialog));
        owner = ::GetWindow(dialog, GW_OWNER);
        ::PostMessageW(dialog, WM_COMMAND, IDOK, 0);
        return true;
    });
    SendKey(control, VK_INSERT, true);
    ASSERT_EQ(boxes.size(), 1u);
    EXPECT_EQ(boxes[0].text, L"The selection is too large to copy (256 MiB at most)");
    EXPECT_EQ(boxes[0].caption, L"Quillon");
    EXPECT_EQ(owner, parent.Get());
    EXPECT_EQ(test::ClipboardText(), L"kept");

    // Exactly the limit is no longer too large: these reserved pages then fail as unreadable, with
    // no message.
    SendKey(control, VK_HOME, true);
    for (int i = 0; i < 256; ++i) SendKey(control, VK_DOWN);
    SendKey(control, VK_END, true, true);
    HexEditState state;
    SetData(state, block.base, size);
    state.selStart = 4096;
    state.selEnd = static_cast<std::int32_t>(size);
    EXPECT_EQ(CopySelection(parent.Get(), state, test::HexDataFormat()), HexCopyResult::Unreadable);
    SendKey(control, VK_INSERT, true);
    EXPECT_EQ(boxes.size(), 1u);
    EXPECT_EQ(test::ClipboardText(), L"kept");
}

TEST_F(HexControlTest, CopiesTheLimitWithTheWaitCursorShown) {
    test::SectionOptions options;
    options.size = kMaxCopyBytes;
    options.seed = 11;
    test::TestSection section(test::UniqueName(L"QuillonHexLimit"), options);
    ASSERT_TRUE(section.IsValid());
    HANDLE mapping = ::OpenFileMappingW(FILE_MAP_READ, FALSE, section.Name().c_str());
    ASSERT_TRUE(mapping);
    const auto* view = static_cast<const unsigned char*>(::MapViewOfFile(mapping, FILE_MAP_READ, 0, 0, 0));
    ASSERT_TRUE(view);
    ASSERT_TRUE(Create(view, kMaxCopyBytes));
    Focus();
    SendKey(control, VK_HOME, true);
    SendKey(control, VK_END, true, true);

    // The parent owns the clipboard, so the copy's EmptyClipboard tells it, from inside the copy.
    ASSERT_TRUE(::OpenClipboard(parent.Get()));
    ::EmptyClipboard();
    ::CloseClipboard();
    HCURSOR duringCopy = nullptr;
    parent.onMessage = [&](UINT msg, WPARAM, LPARAM, LRESULT&) {
        if (msg == WM_DESTROYCLIPBOARD) duringCopy = ::GetCursor();
        return false;
    };
    ::SetCursor(::LoadCursorW(nullptr, IDC_ARROW));
    SendKey(control, VK_INSERT, true);
    parent.onMessage = nullptr;
    EXPECT_EQ(duringCopy, ::LoadCursorW(nullptr, IDC_WAIT));
    EXPECT_EQ(::GetCursor(), ::LoadCursorW(nullptr, IDC_ARROW)) << "the cursor is put back";

    const test::HexDataBlock copied = test::ClipboardHexData();
    ASSERT_EQ(copied.length, kMaxCopyBytes);
    ASSERT_EQ(copied.bytes.size(), SIZE_T{kMaxCopyBytes});
    EXPECT_EQ(std::memcmp(copied.bytes.data(), view, kMaxCopyBytes), 0);
    ::UnmapViewOfFile(view);
    ::CloseHandle(mapping);
}

TEST(HexDataBlockTest, TheBlockCarriesNoLeftoverMemory) {
    for (std::uint32_t count : {1u, 13u, 4096u, 70000u}) {
        SCOPED_TRACE(count);
        // A freed block full of old bytes, likely to be handed out again for the same size.
        HGLOBAL dirty = ::GlobalAlloc(GMEM_MOVEABLE | GMEM_DDESHARE, SIZE_T{count} + 7);
        ASSERT_TRUE(dirty);
        std::memset(::GlobalLock(dirty), 0xCC, SIZE_T{count} + 7);
        ::GlobalUnlock(dirty);
        ::GlobalFree(dirty);

        std::vector<unsigned char> source(count, 0x5A);
        UniqueGlobal block;
        ASSERT_EQ(MakeHexDataBlock(source.data(), count, block), HexCopyResult::Copied);
        const SIZE_T blockSize = ::GlobalSize(block.Get());
        ASSERT_GE(blockSize, SIZE_T{count} + 7);
        const auto* bytes = static_cast<const unsigned char*>(::GlobalLock(block.Get()));
        ASSERT_TRUE(bytes);
        EXPECT_EQ(bytes[0] | (bytes[1] << 8) | (bytes[2] << 16) | (std::uint32_t{bytes[3]} << 24), count);
        EXPECT_EQ(std::count(bytes + 4, bytes + 4 + count, 0x5A), static_cast<std::ptrdiff_t>(count));
        EXPECT_EQ(std::count(bytes + 4 + count, bytes + count + 7, 0), 3) << "the three bytes after the data";
        ::GlobalUnlock(block.Get());
    }
}

struct UnreadableCase {
    const char* what;
    DWORD middleType;     // how the middle page of three is made unreadable
    DWORD middleProtect;
};

class HexUnreadableTest : public HexControlTest, public ::testing::WithParamInterface<UnreadableCase> {};

TEST_P(HexUnreadableTest, PagesThatCannotBeReadShowQuestionMarksAndAreNotCopied) {
    const SIZE_T page = 4096;
    VirtualBlock block(3 * page, MEM_RESERVE, PAGE_NOACCESS);
    ASSERT_TRUE(block.base);
    ASSERT_TRUE(::VirtualAlloc(block.base, page, MEM_COMMIT, PAGE_READWRITE));
    ASSERT_TRUE(::VirtualAlloc(block.base + 2 * page, page, MEM_COMMIT, PAGE_READWRITE));
    if (GetParam().middleType == MEM_COMMIT) {
        ASSERT_TRUE(::VirtualAlloc(block.base + page, page, MEM_COMMIT, PAGE_READWRITE));
        DWORD old = 0;
        ASSERT_TRUE(::VirtualProtect(block.base + page, page, GetParam().middleProtect, &old));
    }
    for (SIZE_T k = 0; k < page; ++k) {
        block.base[k] = static_cast<unsigned char>(k);
        block.base[2 * page + k] = static_cast<unsigned char>(k + 1);
    }

    ASSERT_TRUE(Create(block.base, 3 * page));
    Focus();
    ::SendMessageW(control, WM_VSCROLL, MAKEWPARAM(SB_THUMBTRACK, 254), 0);  // rows 254-255 readable, 256 on not
    ASSERT_EQ(test::TopRow(control), 254);
    Canvas picture = PaintControl(control);
    EXPECT_TRUE(test::ShowsByte(control, picture, 1, 15, Digits(0xFF), DisplayChar(0xFF), false));
    for (int column : {0, 9, 15}) {
        SCOPED_TRACE(column);
        EXPECT_TRUE(test::ShowsByte(control, picture, 2, column, L"??", L'.', false));
    }
    EXPECT_TRUE(test::ShowsOffset(control, picture, 2, 0x1000));

    // Page through it all, select everything (the repaint of the selection reads the rows it shows).
    for (int i = 0; i < 40; ++i) SendKey(control, VK_NEXT);
    for (int i = 0; i < 40; ++i) SendKey(control, VK_PRIOR);
    SendKey(control, VK_HOME, true);
    SendKey(control, VK_END, true, true);
    ::UpdateWindow(control);
    ::SendMessageW(control, WM_VSCROLL, MAKEWPARAM(SB_THUMBTRACK, 0), 0);
    ::UpdateWindow(control);
    ASSERT_EQ(test::TopRow(control), 0);
    picture = PaintControl(control);
    EXPECT_TRUE(test::ShowsByte(control, picture, 0, 1, Digits(1), DisplayChar(1), true));

    test::PutClipboardText(L"kept");
    SendKey(control, VK_INSERT, true);
    EXPECT_EQ(test::ClipboardText(), L"kept") << "a copy touching unreadable bytes fails quietly";

    // The readable first page alone copies.
    SendKey(control, VK_HOME, true);
    for (int i = 0; i < 256; ++i) SendKey(control, VK_DOWN, false, true);
    SendKey(control, VK_INSERT, true);
    const test::HexDataBlock copied = test::ClipboardHexData();
    EXPECT_EQ(copied.length, page);
    // One byte more reaches the unreadable page.
    test::PutClipboardText(L"kept");
    SendKey(control, VK_RIGHT, false, true);
    SendKey(control, VK_INSERT, true);
    EXPECT_EQ(test::ClipboardText(), L"kept");
}

INSTANTIATE_TEST_SUITE_P(Pages, HexUnreadableTest,
                         ::testing::Values(UnreadableCase{"reserved", MEM_RESERVE, 0},
                                           UnreadableCase{"no access", MEM_COMMIT, PAGE_NOACCESS},
                                           UnreadableCase{"guard", MEM_COMMIT, PAGE_READWRITE | PAGE_GUARD}),
                         [](const auto& info) {
                             std::string name = info.param.what;
                             for (char& c : name)
                                 if (c == ' ') c = '_';
                             return name;
                         });

// The file behind a section shrinks while its bytes are shown: the pages past the new end can no
// longer be read, though VirtualQuery still calls them committed and readable.
TEST_F(HexControlTest, AFileThatShrinksUnderTheViewShowsQuestionMarksAndIsNotCopied) {
    if (!test::FileBackedSection::CanShrinkWhileMapped())
        GTEST_SKIP() << "the platform refuses to shrink a mapped file";
    const std::uint32_t page = 4096;
    test::FileBackedSection file(test::UniqueName(L"QuillonHexShrink"), 3 * page);
    ASSERT_TRUE(file.IsValid());
    UniqueHandle mapping(::OpenFileMappingW(FILE_MAP_READ, FALSE, file.Name().c_str()));
    ASSERT_TRUE(mapping);
    const auto* view = static_cast<const unsigned char*>(::MapViewOfFile(mapping.Get(), FILE_MAP_READ, 0, 0, 0));
    ASSERT_TRUE(view);
    ASSERT_TRUE(Create(view, 3 * page));
    Focus();

    // An earlier selection of everything, copied while everything can be read.
    SendKey(control, VK_HOME, true);
    SendKey(control, VK_END, true, true);
    SendKey(control, VK_INSERT, true);
    const test::HexDataBlock before = test::ClipboardHexData();
    ASSERT_EQ(before.length, 3 * page);
    EXPECT_EQ(static_cast<unsigned char>(before.bytes[2 * page + 1]), test::FileBackedSection::ExpectedByte(2 * page + 1));

    ASSERT_TRUE(file.Shrink(page));
    MEMORY_BASIC_INFORMATION info{};
    ASSERT_TRUE(::VirtualQuery(view + 2 * page, &info, sizeof(info)));
    EXPECT_EQ(info.State, static_cast<DWORD>(MEM_COMMIT)) << "nothing but a read tells the page is gone";

    // The same selection copied again fails, and the clipboard keeps what it had.
    test::PutClipboardText(L"kept");
    SendKey(control, VK_INSERT, true);
    EXPECT_EQ(test::ClipboardText(), L"kept");
    HexEditState state;
    SetData(state, view, 3 * page);
    state.selEnd = static_cast<std::int32_t>(3 * page);
    EXPECT_EQ(CopySelection(parent.Get(), state, test::HexDataFormat()), HexCopyResult::Unreadable);
    state.selEnd = static_cast<std::int32_t>(page);
    EXPECT_EQ(CopySelection(parent.Get(), state, test::HexDataFormat()), HexCopyResult::Copied);

    // Selection keys, a drag and real paints over the lost pages.
    SendKey(control, VK_HOME, true);
    SendKey(control, VK_END, true, true);
    SendKey(control, VK_UP, false, true);
    SendKey(control, VK_DOWN, false, true);
    ::UpdateWindow(control);
    SendKey(control, VK_HOME, true);
    const HexEditState layout = test::ControlLayout(control);
    ::SendMessageW(control, WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(layout.hexLeft + 2, 2));
    ::SendMessageW(control, WM_MOUSEMOVE, MK_LBUTTON, MAKELPARAM(layout.hexLeft + 40, layout.clientHeight + 40));
    ::SendMessageW(control, WM_TIMER, 1, 0);
    ::SendMessageW(control, WM_LBUTTONUP, 0, MAKELPARAM(layout.hexLeft + 40, layout.clientHeight + 40));
    ::UpdateWindow(control);

    // The first page still shows its bytes; the rows past the file's new end show "??" and ".".
    SendKey(control, VK_HOME, true);
    ::SendMessageW(control, WM_VSCROLL, MAKEWPARAM(SB_THUMBTRACK, 254), 0);
    ASSERT_EQ(test::TopRow(control), 254);
    const Canvas picture = PaintControl(control);
    const unsigned char last = test::FileBackedSection::ExpectedByte(page - 1);
    EXPECT_TRUE(test::ShowsByte(control, picture, 1, 15, Digits(last), DisplayChar(last), false));
    for (int column : {0, 15}) {
        SCOPED_TRACE(column);
        EXPECT_TRUE(test::ShowsByte(control, picture, 2, column, L"??", L'.', false));
        EXPECT_TRUE(test::ShowsByte(control, picture, 5, column, L"??", L'.', false));
    }
    ::DestroyWindow(control);
    control = nullptr;
    ::UnmapViewOfFile(view);
}

TEST_F(HexControlTest, ThumbDraggingReachesRowsBeyondSixteenBits) {
    // 8 MiB of reserved address space: 524289 rows, far past what 16 bits can name.
    const SIZE_T size = 8u << 20;
    VirtualBlock block(size, MEM_RESERVE, PAGE_NOACCESS);
    ASSERT_TRUE(block.base);
    ASSERT_TRUE(Create(block.base, size, 640, 400));
    const HexEditState layout = test::ControlLayout(control);
    const int maxTop = static_cast<int>(size / 16) - (layout.visibleRows - 1);

    SCROLLBARINFO bar{};
    bar.cbSize = sizeof(bar);
    ASSERT_TRUE(::GetScrollBarInfo(control, OBJID_VSCROLL, &bar));
    const int x = (bar.rcScrollBar.left + bar.rcScrollBar.right) / 2;
    const int thumbY = bar.rcScrollBar.top + (bar.xyThumbTop + bar.xyThumbBottom) / 2;
    const int trackTop = bar.rcScrollBar.top + bar.dxyLineButton;
    const int trackBottom = bar.rcScrollBar.bottom - bar.dxyLineButton;

    auto drag = [&](int toScreenY) {
        POINT to{x, toScreenY};
        ::ScreenToClient(control, &to);
        // The scroll bar's tracking loop reads these once the button goes down on the thumb.
        ::PostMessageW(control, WM_MOUSEMOVE, MK_LBUTTON, MAKELPARAM(to.x, to.y));
        ::PostMessageW(control, WM_LBUTTONUP, 0, MAKELPARAM(to.x, to.y));
        ::SendMessageW(control, WM_NCLBUTTONDOWN, HTVSCROLL, MAKELPARAM(x, thumbY));
        test::PumpMessages();
    };
    drag(trackTop + (trackBottom - trackTop) * 3 / 4);
    const int threeQuarters = test::TopRow(control);
    EXPECT_GT(threeQuarters, 0xFFFF);
    EXPECT_GT(threeQuarters, maxTop / 2);
    EXPECT_LT(threeQuarters, maxTop);
    EXPECT_EQ(threeQuarters, test::ControlLayout(control).topRow);

    // The next drag starts where the thumb now is.
    ASSERT_TRUE(::GetScrollBarInfo(control, OBJID_VSCROLL, &bar));
    const int from = bar.rcScrollBar.top + (bar.xyThumbTop + bar.xyThumbBottom) / 2;
    POINT to{x, bar.rcScrollBar.bottom + 5};  // past the end, but near enough to keep the drag
    ::ScreenToClient(control, &to);
    ::PostMessageW(control, WM_MOUSEMOVE, MK_LBUTTON, MAKELPARAM(to.x, to.y));
    ::PostMessageW(control, WM_LBUTTONUP, 0, MAKELPARAM(to.x, to.y));
    ::SendMessageW(control, WM_NCLBUTTONDOWN, HTVSCROLL, MAKELPARAM(x, from));
    test::PumpMessages();
    EXPECT_EQ(test::TopRow(control), maxTop);
    const Canvas picture = PaintControl(control);
    EXPECT_TRUE(test::ShowsOffset(control, picture, layout.visibleRows - 1, static_cast<std::uint32_t>(size)));
}

#if defined(_WIN64)
TEST_F(HexControlTest, ViewsLargerThanTheSignedSizeAreClamped) {
    // 2 GiB of address space, its first page readable; the control is told it has 5 GiB.
    VirtualBlock block(SIZE_T{1} << 31, MEM_RESERVE, PAGE_NOACCESS);
    ASSERT_TRUE(block.base);
    ASSERT_TRUE(::VirtualAlloc(block.base, 4096, MEM_COMMIT, PAGE_READWRITE));
    block.base[0] = 0x41;
    ASSERT_TRUE(Create(block.base, std::uint64_t{5} << 30));
    EXPECT_EQ(test::LastRow(control), kMaxDataSize / 16);
    Focus();
    Canvas picture = PaintControl(control);
    EXPECT_TRUE(test::ShowsByte(control, picture, 0, 0, L"41", L'A', false));

    SendKey(control, VK_END, true);
    const HexEditState layout = test::ControlLayout(control);
    picture = PaintControl(control);
    EXPECT_TRUE(test::ShowsOffset(control, picture, layout.visibleRows - 1, kMaxDataSize));
    EXPECT_TRUE(test::ShowsByte(control, picture, layout.visibleRows - 2, 15, L"??", L'.', false));

    // Everything selected is far past the copy limit.
    test::PutClipboardText(L"kept");
    SendKey(control, VK_HOME, true, true);
    test::MessageBoxInfo box;
    test::ModalAnswerer answerer([&](HWND dialog) {
        box = test::ReadMessageBox(dialog);
        ::PostMessageW(dialog, WM_COMMAND, IDOK, 0);
        return true;
    });
    SendKey(control, VK_INSERT, true);
    EXPECT_EQ(answerer.Handled(), 1);
    EXPECT_EQ(box.text, L"The selection is too large to copy (256 MiB at most)");
    EXPECT_EQ(test::ClipboardText(), L"kept");
}
#endif

TEST_F(HexControlTest, WindowClassAndMessages) {
    test::RegisterHexControlClass();
    WNDCLASSW info{};
    ASSERT_TRUE(::GetClassInfoW(::GetModuleHandleW(nullptr), kHexEditControlClass, &info));
    EXPECT_EQ(info.style, static_cast<UINT>(CS_DBLCLKS));
    EXPECT_EQ(info.hbrBackground, nullptr);
    EXPECT_EQ(HEM_SETDATA, 1040);

    ASSERT_TRUE(Create(bytes.data(), bytes.size()));
    EXPECT_EQ(::SendMessageW(control, WM_GETDLGCODE, 0, 0), DLGC_WANTARROWS | DLGC_WANTCHARS);
    EXPECT_EQ(::SendMessageW(control, WM_ERASEBKGND, 0, 0), 1);
    EXPECT_EQ(::SendMessageW(control, HEM_SETDATA, 100, reinterpret_cast<LPARAM>(bytes.data())), 0);
    EXPECT_EQ(test::LastRow(control), 6);

    // A second control has a state of its own.
    HWND second = test::CreateHexControl(parent.Get(), 300, 100, bytes.data(), 32);
    ASSERT_TRUE(second);
    EXPECT_EQ(test::LastRow(second), 2);
    Focus();
    SendKey(control, VK_END, true);
    const Canvas picture = PaintControl(control);
    EXPECT_TRUE(test::ShowsOffset(control, picture, 6, 0x60));
    ::DestroyWindow(second);
}

}  // namespace
}  // namespace quillon
