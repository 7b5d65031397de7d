// The Hex View dialog's investigation features on real sections, through the real command and the
// real dialog: Go To, the status line and its inspector, Find with F3 and Esc, live watching read back
// from the screen, the text copies and resizing. Keys are posted to the focused window and pumped the
// way the dialog's own loop pumps them, so they reach the dialog's message filter as typed keys do.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdio>
#include <cstring>
#include <cwchar>
#include <functional>
#include <string>

#include "catalogue/quillon_view.h"
#include "common/gdi_scopes.h"
#include "hexview/data_inspector.h"
#include "hexview/hex_edit_control.h"
#include "hexview/hex_lines.h"
#include "hexview/live_watch.h"
#include "hexview/hex_text.h"
#include "hexview/status_text.h"
#include "resources/resource.h"
#include "shell/frame_commands.h"
#include "tests/hexview/hex_test_support.h"
#include "tests/support/test_sections.h"
#include "tests/support/test_windows.h"

namespace quillon {
namespace {

// A writable view of a section the test created, as another process would change it.
class Writer {
public:
    explicit Writer(const std::wstring& name) {
        handle_ = ::OpenFileMappingW(FILE_MAP_WRITE, FALSE, name.c_str());
        if (handle_) bytes_ = static_cast<unsigned char*>(::MapViewOfFile(handle_, FILE_MAP_WRITE, 0, 0, 0));
    }
    ~Writer() {
        if (bytes_) ::UnmapViewOfFile(bytes_);
        if (handle_) ::CloseHandle(handle_);
    }
    Writer(const Writer&) = delete;
    Writer& operator=(const Writer&) = delete;
    void Put(std::size_t offset, const void* data, std::size_t count) { std::memcpy(bytes_ + offset, data, count); }
    bool Ok() const noexcept { return bytes_ != nullptr; }

private:
    HANDLE handle_ = nullptr;
    unsigned char* bytes_ = nullptr;
};

// Pumps as the dialog's loop does: IsDialogMessage first, so the message filter sees every message.
bool PumpDialogUntil(HWND dialog, const std::function<bool()>& done, DWORD timeoutMs = 5000) {
    const DWORD start = ::GetTickCount();
    for (;;) {
        MSG msg;
        while (::PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE)) {
            if (!::IsDialogMessageW(dialog, &msg)) {
                ::TranslateMessage(&msg);
                ::DispatchMessageW(&msg);
            }
        }
        if (done()) return true;
        if (::GetTickCount() - start >= timeoutMs) return false;
        ::MsgWaitForMultipleObjects(0, nullptr, FALSE, 10, QS_ALLINPUT);
    }
}

// Types a key into whatever has the focus in the dialog, with Ctrl and Shift held as GetKeyState
// reports them while the key is handled.
void Press(HWND dialog, UINT key, bool ctrl = false, bool shift = false) {
    BYTE keys[256] = {};
    ::GetKeyboardState(keys);
    keys[VK_CONTROL] = ctrl ? 0x80 : 0;
    keys[VK_SHIFT] = shift ? 0x80 : 0;
    ::SetKeyboardState(keys);
    HWND focus = ::GetFocus();
    if (!focus || (focus != dialog && !::IsChild(dialog, focus))) focus = dialog;
    ::PostMessageW(focus, WM_KEYDOWN, key, 1);
    PumpDialogUntil(dialog, [] { return true; }, 0);
    keys[VK_CONTROL] = keys[VK_SHIFT] = 0;
    ::SetKeyboardState(keys);
}

std::wstring Status(HWND dialog) { return test::WindowText(::GetDlgItem(dialog, IDC_HEX_STATUS)); }

struct Selection {
    std::int32_t caret, start, end;
    bool operator==(const Selection& o) const { return caret == o.caret && start == o.start && end == o.end; }
};
Selection SelectionOf(HWND control) {
    Selection s{};
    s.caret = static_cast<std::int32_t>(::SendMessageW(control, HEM_GETSELECTION, reinterpret_cast<WPARAM>(&s.start),
                                                       reinterpret_cast<LPARAM>(&s.end)));
    return s;
}

bool Contains(const std::wstring& text, const std::wstring& part) { return text.find(part) != std::wstring::npos; }

class HexDialogFeatureTest : public ::testing::Test {
protected:
    void SetUp() override {
        test::RegisterHexControlClass();
        ASSERT_TRUE(view.Create(frame.Get()));
        view.InsertColumns();
        ::MoveWindow(view.Window(), 0, 0, 880, 560, TRUE);
        ::SetForegroundWindow(frame.Get());
        test::PumpMessages();
    }

    // Runs the Hex View command on `section`; `scenario` runs inside the open dialog, which is then
    // closed. Other dialogs that open meanwhile (Go To, Find, message boxes) go to `answer`.
    void RunDialog(const test::TestSection& section, const std::function<void(HWND dialog, HWND control)>& scenario) {
        view.AppendSection(section.Name().c_str());
        ASSERT_TRUE(view.SelectOneRow(test::FindRow(view.Window(), section.Name())));
        bool inside = false;
        bool ran = false;
        test::ModalAnswerer answerer([&](HWND dialog) {
            const std::wstring caption = test::WindowText(dialog);
            if (caption != L"Hex View") return answer ? answer(dialog, caption) : false;
            if (inside) return false;
            inside = true;
            const HWND control = ::FindWindowExW(dialog, nullptr, kHexEditControlClass, nullptr);
            if (control) scenario(dialog, control);
            ran = control != nullptr;
            ::PostMessageW(dialog, WM_COMMAND, IDOK, 0);
            return true;
        });
        RunHexViewCommand(frame.Get(), view.Window());
        EXPECT_TRUE(ran) << "the dialog opened with its control";
    }

    std::function<bool(HWND dialog, const std::wstring& caption)> answer;
    test::TestParentWindow frame{900, 600};
    CQuillonView view;
};

// Types `text` into the edit box `id` of `dialog` and presses its default button.
void Fill(HWND dialog, int id, const std::wstring& text) {
    ::SetDlgItemTextW(dialog, id, text.c_str());
    ::PostMessageW(dialog, WM_COMMAND, IDOK, 0);
}

TEST_F(HexDialogFeatureTest, GoToFindAndTheInspectorOnA64MiBSection) {
    test::SectionOptions options;
    options.size = 64u << 20;
    test::TestSection section(test::UniqueName(L"QuillonHexFind"), options);
    ASSERT_TRUE(section.IsValid());
    {
        Writer writer(section.Name());
        ASSERT_TRUE(writer.Ok());
        const unsigned char magic[8] = {0xDE, 0xAD, 0xBE, 0xEF, 0x01, 0x02, 0x03, 0x04};
        writer.Put(0x2345678, magic, 8);
        writer.Put(0x3000010, magic, 8);
        const unsigned char u32[4] = {0xEF, 0xBE, 0xAD, 0xDE};  // 0xDEADBEEF, little-endian
        writer.Put(0x1A2B, u32, 4);
        const double value = 1234.5;
        writer.Put(0x2000, &value, 8);
        unsigned char reversed[8];
        const double negative = -0.25;
        std::memcpy(reversed, &negative, 8);
        std::reverse(reversed, reversed + 8);
        writer.Put(0x2008, reversed, 8);  // -0.25, big-endian
    }
    const std::string before = section.Contents();

    std::wstring goTo;           // the next answer for Go To
    std::wstring boxText;        // the last message box
    int findAnswers = 0;
    answer = [&](HWND dialog, const std::wstring& caption) {
        // The message box of Go To has its caption too, but not its edit box.
        if (caption == L"Go To" && ::GetDlgItem(dialog, IDC_HEX_GOTO_OFFSET)) {
            Fill(dialog, IDC_HEX_GOTO_OFFSET, goTo);
            return true;
        }
        if (caption == L"Find") {
            ++findAnswers;
            ::CheckRadioButton(dialog, IDC_HEX_FIND_HEX, IDC_HEX_FIND_UTF16, IDC_HEX_FIND_HEX);
            Fill(dialog, IDC_HEX_FIND_TEXT, L"DE AD BE EF 01 02 03 04");
            return true;
        }
        boxText = test::ReadMessageBox(dialog).text;
        ::PostMessageW(dialog, WM_COMMAND, IDOK, 0);
        // Go To stays open after its message, for a correction: cancel it once the box is gone.
        ::PostMessageW(::GetWindow(dialog, GW_OWNER), WM_COMMAND, IDCANCEL, 0);
        return true;
    };

    RunDialog(section, [&](HWND dialog, HWND control) {
        EXPECT_EQ(::GetFocus(), ::GetDlgItem(dialog, IDOK));
        EXPECT_TRUE(Contains(Status(dialog), L"Offset 00000000")) << testing::PrintToString(Status(dialog));

        // Ctrl+G from the OK button: the caret, the view and the status line follow.
        goTo = L"0x1A2B";
        Press(dialog, 'G', true);
        EXPECT_EQ(SelectionOf(control), (Selection{0x1A2B, 0x1A2B, 0x1A2B}));
        const HexEditState layout = test::ControlLayout(control);
        EXPECT_LE(layout.topRow, 0x1A2);
        EXPECT_GT(layout.topRow + layout.visibleRows, 0x1A2);
        std::wstring status = Status(dialog);
        EXPECT_TRUE(Contains(status, L"Offset 00001A2B")) << testing::PrintToString(status);
        EXPECT_TRUE(Contains(status, L"u32 3735928559  i32 -559038737")) << testing::PrintToString(status);
        Press(dialog, 'E', true);  // big-endian
        EXPECT_EQ(::IsDlgButtonChecked(dialog, IDC_HEX_BIGENDIAN), BST_CHECKED);
        EXPECT_TRUE(Contains(Status(dialog), L"u32 4022250974")) << testing::PrintToString(Status(dialog));
        Press(dialog, 'E', true);
        EXPECT_EQ(::IsDlgButtonChecked(dialog, IDC_HEX_BIGENDIAN), BST_UNCHECKED);

        // Relative: +0x5D5 from 0x1A2B is 0x2000, the little-endian double.
        goTo = L"+0x5D5";
        Press(dialog, 'G', true);
        EXPECT_EQ(SelectionOf(control).caret, 0x2000);
        EXPECT_TRUE(Contains(Status(dialog), L"f64 1234.5")) << testing::PrintToString(Status(dialog));
        goTo = L"8200";  // decimal 0x2008: the big-endian double, read with the check box
        Press(dialog, 'G', true);
        ::SendMessageW(::GetDlgItem(dialog, IDC_HEX_BIGENDIAN), BM_CLICK, 0, 0);
        EXPECT_TRUE(Contains(Status(dialog), L"f64 -0.25")) << testing::PrintToString(Status(dialog));
        ::SendMessageW(::GetDlgItem(dialog, IDC_HEX_BIGENDIAN), BM_CLICK, 0, 0);

        // Past the end: the message, nothing moves.
        goTo = L"0x4000001";
        Press(dialog, 'G', true);
        EXPECT_EQ(boxText, L"Offset is beyond the end of the section");
        EXPECT_EQ(SelectionOf(control).caret, 0x2008);

        // F3 with nothing to repeat asks what to find, then finds it after the caret.
        goTo = L"0";
        Press(dialog, 'G', true);
        Press(dialog, VK_F3);
        EXPECT_EQ(findAnswers, 1);
        EXPECT_TRUE(PumpDialogUntil(dialog, [&] { return SelectionOf(control).start == 0x2345678; }, 20000));
        EXPECT_EQ(SelectionOf(control), (Selection{0x2345680, 0x2345678, 0x2345680}));
        EXPECT_TRUE(Contains(Status(dialog), L"Selection 02345678-0234567F (8 bytes)"))
            << testing::PrintToString(Status(dialog));
        const HexEditState found = test::ControlLayout(control);
        EXPECT_LE(found.topRow, 0x2345678 / 16);
        EXPECT_GT(found.topRow + found.visibleRows, 0x2345678 / 16);

        Press(dialog, VK_F3);  // the next one
        EXPECT_TRUE(PumpDialogUntil(dialog, [&] { return SelectionOf(control).start == 0x3000010; }, 20000));
        Press(dialog, VK_F3);  // no more: no wrap, the selection stays
        EXPECT_TRUE(PumpDialogUntil(dialog, [&] { return Contains(Status(dialog), L"Not found"); }, 20000));
        EXPECT_EQ(SelectionOf(control), (Selection{0x3000018, 0x3000010, 0x3000018}));
        Press(dialog, VK_F3, false, true);  // Shift+F3: the previous one
        EXPECT_TRUE(PumpDialogUntil(dialog, [&] { return SelectionOf(control).start == 0x2345678; }, 20000));
        EXPECT_EQ(findAnswers, 1);
    });
    EXPECT_TRUE(section.Contents() == before) << "no key or command changed the section's bytes";
}

TEST_F(HexDialogFeatureTest, EscStopsALongSearchWhileTheDialogKeepsAnswering) {
    // Zeros everywhere and a long pattern that differs only in its first byte: the scan compares the
    // whole pattern at every position, which takes seconds over 64 MiB.
    test::SectionOptions options;
    options.size = 64u << 20;
    options.reserveOnly = false;
    test::TestSection section(test::UniqueName(L"QuillonHexSlow"), options);
    ASSERT_TRUE(section.IsValid());
    {
        Writer writer(section.Name());
        ASSERT_TRUE(writer.Ok());
        std::string zeros(options.size, '\0');
        writer.Put(0, zeros.data(), zeros.size());
    }
    std::wstring pattern = L"FF";
    for (int i = 0; i < 400; ++i) pattern += L" 00";
    answer = [&](HWND dialog, const std::wstring& caption) {
        if (caption != L"Find") return false;
        Fill(dialog, IDC_HEX_FIND_TEXT, pattern);
        return true;
    };
    RunDialog(section, [&](HWND dialog, HWND control) {
        Press(dialog, 'F', true);
        EXPECT_TRUE(PumpDialogUntil(dialog, [&] { return Contains(Status(dialog), L"Searching... "); }, 5000))
            << "progress shows after a moment";
        // The dialog answers at once while the search runs.
        DWORD_PTR result = 0;
        EXPECT_TRUE(::SendMessageTimeoutW(dialog, WM_NULL, 0, 0, SMTO_BLOCK, 200, &result));
        EXPECT_TRUE(::IsWindowEnabled(dialog));
        Press(dialog, VK_ESCAPE);
        EXPECT_TRUE(PumpDialogUntil(dialog, [&] { return Contains(Status(dialog), L"Search stopped"); }, 3000));
        EXPECT_TRUE(::IsWindowVisible(dialog)) << "Esc stopped the search, not the dialog";
        EXPECT_EQ(SelectionOf(control), (Selection{0, 0, 0}));
    });
}

TEST_F(HexDialogFeatureTest, LiveWatchHighlightsChangedCellsAndFades) {
    test::SectionOptions options;
    options.size = 64 * 1024;
    test::TestSection section(test::UniqueName(L"QuillonHexLive"), options);
    ASSERT_TRUE(section.IsValid());
    Writer writer(section.Name());
    ASSERT_TRUE(writer.Ok());
    std::string expected = section.Contents();
    expected[0x23] = 0x12;  // what the test itself writes last
    expected[0x24] = 0x34;

    RunDialog(section, [&](HWND dialog, HWND control) {
        const HexEditState layout = test::ControlLayout(control);
        // The left margin of a cell (before its digits) holds only the cell's background.
        const auto cellBackground = [&](int row, int column) {
            HDC screen = ::GetDC(control);
            const COLORREF pixel =
                ::GetPixel(screen, layout.hexLeft + column * layout.cellWidth + 1, row * layout.lineHeight + 1);
            ::ReleaseDC(control, screen);
            return pixel;
        };
        const COLORREF window = ::GetSysColor(COLOR_WINDOW);
        ::UpdateWindow(control);
        ASSERT_EQ(cellBackground(2, 3), window);

        // Off: a change is not repainted by itself.
        int paints = 0;
        struct Counter {
            static LRESULT CALLBACK Proc(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam, UINT_PTR, DWORD_PTR data) {
                if (msg == WM_PAINT) ++*reinterpret_cast<int*>(data);
                return ::DefSubclassProc(hwnd, msg, wParam, lParam);
            }
        };
        ::SetWindowSubclass(control, &Counter::Proc, 7, reinterpret_cast<DWORD_PTR>(&paints));
        const unsigned char first[2] = {0xAB, 0xCD};
        writer.Put(0x23, first, 2);
        PumpDialogUntil(dialog, [] { return false; }, 800);
        EXPECT_EQ(paints, 0) << "live watching off: nothing repaints by itself";

        Press(dialog, VK_F5);
        EXPECT_TRUE(Contains(Status(dialog), L"Live")) << testing::PrintToString(Status(dialog));
        PumpDialogUntil(dialog, [] { return false; }, 300);  // the first look is the reference
        const unsigned char second[2] = {0x12, 0x34};
        writer.Put(0x23, second, 2);
        EXPECT_TRUE(PumpDialogUntil(dialog, [&] { return cellBackground(2, 3) == kLiveHighlight; }, 2000))
            << "the changed cell turns the live colour";
        EXPECT_EQ(cellBackground(2, 4), kLiveHighlight);
        EXPECT_EQ(cellBackground(2, 2), window) << "an unchanged neighbour stays as it was";
        EXPECT_EQ(cellBackground(2, 5), window);
        EXPECT_TRUE(PumpDialogUntil(dialog, [&] { return cellBackground(2, 3) == window; }, 4000))
            << "the highlight fades back";

        // Scrolling and selecting go on working while watching.
        test::SendKey(control, VK_NEXT);
        test::SendKey(control, VK_RIGHT, false, true);
        EXPECT_EQ(SelectionOf(control).end - SelectionOf(control).start, 1);
        Press(dialog, VK_F5);
        EXPECT_FALSE(Contains(Status(dialog), L"Live"));
        ::RemoveWindowSubclass(control, &Counter::Proc, 7);
    });
    EXPECT_TRUE(section.Contents() == expected) << "only the test's own writes changed the bytes";
}

TEST_F(HexDialogFeatureTest, CopiesTextBesideHexDataAndAsACArray) {
    test::SectionOptions options;
    options.size = 32u << 20;
    options.seed = 0x41;
    test::TestSection section(test::UniqueName(L"QuillonHexCopy"), options);
    ASSERT_TRUE(section.IsValid());
    const std::string before = section.Contents();
    RunDialog(section, [&](HWND dialog, HWND control) {
        // Two rows from the middle of one to the middle of the next, with Ctrl+C from the OK button.
        ::SendMessageW(control, HEM_SETSELECTION, 0x18, 0x28);
        Press(dialog, 'C', true);
        std::wstring expected;
        for (int row = 1; row <= 2; ++row) {
            wchar_t line[16];
            std::swprintf(line, 16, L"%08X", row * 16);
            expected += std::wstring(line, 8) + L"  ";
            for (int i = 0; i < 16; ++i) {
                const int pos = row * 16 + i;
                if (i > 0) expected += L' ';
                if (pos < 0x18 || pos >= 0x28) {
                    expected += L"  ";
                } else {
                    std::swprintf(line, 16, L"%02X", section.ExpectedByte(pos));
                    expected += line;
                }
            }
            expected += L"  ";
            for (int i = 0; i < 16 && row * 16 + i < 0x28; ++i) {
                const int pos = row * 16 + i;
                expected += pos < 0x18 ? L' ' : DisplayChar(section.ExpectedByte(pos));
            }
            expected += L"\r\n";
        }
        EXPECT_EQ(test::ClipboardText(), expected);
        const test::HexDataBlock block = test::ClipboardHexData();
        EXPECT_TRUE(block.present);
        EXPECT_EQ(block.length, 16u);
        EXPECT_EQ(block.bytes, before.substr(0x18, 16));
        EXPECT_EQ(block.blockSize, 16u + 7u);

        // Ctrl+Shift+C: a C array, sixteen to a line.
        Press(dialog, 'C', true, true);
        std::wstring array;
        for (int pos = 0x18; pos < 0x28; ++pos) {
            wchar_t item[16];
            std::swprintf(item, 16, L"0x%02X", section.ExpectedByte(pos));
            if (pos > 0x18) array += L", ";
            array += item;
        }
        EXPECT_EQ(test::ClipboardText(), array);
        EXPECT_FALSE(test::ClipboardHexData().present);

        // Up to 16 MiB the text goes beside "HexData"; one byte more and "HexData" goes alone.
        ::SendMessageW(control, HEM_SETSELECTION, 0, 16u << 20);
        ::SetFocus(control);
        test::SendKey(control, VK_INSERT, true);
        EXPECT_EQ(test::ClipboardHexData().length, 16u << 20);
        const std::wstring big = test::ClipboardText();
        const std::size_t line = 8 + 2 + 47 + 2 + 16 + 2;  // offset, cells, characters, CRLF
        ASSERT_EQ(big.size(), (std::size_t{1} << 20) * line);
        const auto* copy = reinterpret_cast<const unsigned char*>(before.data());
        EXPECT_EQ(big.substr(big.size() - line), FormatHexLines(copy, (16u << 20) - 16, 16u << 20));
        ::SendMessageW(control, HEM_SETSELECTION, 0, (16u << 20) + 1);
        test::SendKey(control, VK_DELETE, false, true);  // Shift+Delete copies too
        EXPECT_EQ(test::ClipboardHexData().length, (16u << 20) + 1);
        EXPECT_EQ(test::ClipboardText(), L"") << "over 16 MiB the text is left out";
    });
    EXPECT_TRUE(section.Contents() == before);
}

TEST_F(HexDialogFeatureTest, TheWidestStatusFitsTheStripAtTheOpeningSize) {
    // Offsets and counts at their widest, "Live", a search note, and inspector values of the widest
    // kinds: at the size the dialog opens with, no line may wrap or be cut off, and the check box and
    // OK must not overlap the text or each other.
    test::TestSection section(test::UniqueName(L"QuillonHexStrip"), test::SectionOptions{});
    ASSERT_TRUE(section.IsValid());
    RunDialog(section, [&](HWND dialog, HWND) {
        const HWND status = ::GetDlgItem(dialog, IDC_HEX_STATUS);
        RECT box{};
        ::GetClientRect(status, &box);
        WindowDC dc(status);
        SelectionScope font(dc.Get(), reinterpret_cast<HGDIOBJ>(::SendMessageW(status, WM_GETFONT, 0, 0)));
        TEXTMETRICW metrics{};
        ::GetTextMetricsW(dc.Get(), &metrics);

        const unsigned char kWidest[][8] = {
            {0x00, 0x80, 0x00, 0x00, 0x00, 0x00, 0x00, 0x80},  // i64 and i16 at their most negative
            {0xFF, 0xFF, 0x7F, 0xFF, 0xFF, 0xFF, 0xEF, 0xFF},  // f32 and f64 at their most negative
            {0x01, 0x00, 0x00, 0x80, 0x01, 0x00, 0x10, 0x80},  // i32, and an f64 near the smallest normal
            {0x88, 0x88, 0x88, 0x88, 0x88, 0x88, 0x88, 0x88},  // negative integers of every width
        };
        for (const auto& bytes : kWidest) {
            for (bool bigEndian : {false, true}) {
                const std::wstring text = FormatStatusLine(0x7FFFFFFE, 0x10000000, 0x7FFFFFFF, true,
                                                           L"Searching... 100% (Esc stops)",
                                                           FormatInspector(bytes, 8, bigEndian));
                int lines = 0;
                for (std::size_t from = 0; from <= text.size(); ++lines) {
                    const std::size_t end = std::min(text.find(L'\n', from), text.size());
                    SIZE extent{};
                    ::GetTextExtentPoint32W(dc.Get(), text.c_str() + from, static_cast<int>(end - from), &extent);
                    EXPECT_LE(extent.cx, box.right) << testing::PrintToString(text.substr(from, end - from));
                    from = end + 1;
                }
                EXPECT_LE(lines * metrics.tmHeight, box.bottom) << lines << " lines";
            }
        }

        const auto clientRectOf = [&](int id) {
            RECT r{};
            ::GetWindowRect(::GetDlgItem(dialog, id), &r);
            ::MapWindowPoints(nullptr, dialog, reinterpret_cast<POINT*>(&r), 2);
            return r;
        };
        RECT overlap{};
        const RECT statusRect = clientRectOf(IDC_HEX_STATUS), check = clientRectOf(IDC_HEX_BIGENDIAN),
                   ok = clientRectOf(IDOK);
        EXPECT_FALSE(::IntersectRect(&overlap, &statusRect, &check));
        EXPECT_FALSE(::IntersectRect(&overlap, &statusRect, &ok));
        EXPECT_FALSE(::IntersectRect(&overlap, &check, &ok));
    });
}

TEST_F(HexDialogFeatureTest, ResizingMovesTheControlAndTheStrip) {
    test::TestSection section(test::UniqueName(L"QuillonHexSize"), test::SectionOptions{});
    ASSERT_TRUE(section.IsValid());
    const std::string before = section.Contents();
    RunDialog(section, [&](HWND dialog, HWND control) {
        const auto clientRectOf = [&](HWND item) {
            RECT r{};
            ::GetWindowRect(item, &r);
            ::MapWindowPoints(nullptr, dialog, reinterpret_cast<POINT*>(&r), 2);
            return r;
        };
        RECT client{};
        ::GetClientRect(dialog, &client);
        const RECT ok0 = clientRectOf(::GetDlgItem(dialog, IDOK));
        const RECT status0 = clientRectOf(::GetDlgItem(dialog, IDC_HEX_STATUS));
        const RECT check0 = clientRectOf(::GetDlgItem(dialog, IDC_HEX_BIGENDIAN));
        EXPECT_TRUE(::GetWindowLongW(dialog, GWL_STYLE) & WS_THICKFRAME);
        EXPECT_TRUE(::GetWindowLongW(dialog, GWL_STYLE) & WS_MAXIMIZEBOX);

        RECT window{};
        ::GetWindowRect(dialog, &window);
        ::SetWindowPos(dialog, nullptr, 0, 0, window.right - window.left + 200, window.bottom - window.top + 100,
                       SWP_NOMOVE | SWP_NOZORDER);
        RECT grown{};
        ::GetClientRect(dialog, &grown);
        EXPECT_EQ(grown.right, client.right + 200);
        const RECT controlRect = clientRectOf(control);
        EXPECT_EQ(controlRect.right - controlRect.left, grown.right);
        EXPECT_EQ(controlRect.bottom - controlRect.top, grown.bottom - 50);
        const RECT ok1 = clientRectOf(::GetDlgItem(dialog, IDOK));
        EXPECT_EQ(ok1.left, ok0.left + 200);
        EXPECT_EQ(ok1.top, ok0.top + 100);
        const RECT check1 = clientRectOf(::GetDlgItem(dialog, IDC_HEX_BIGENDIAN));
        EXPECT_EQ(check1.left, check0.left + 200);
        EXPECT_EQ(check1.top, check0.top + 100);
        EXPECT_TRUE(::IsWindowVisible(::GetDlgItem(dialog, IDC_HEX_BIGENDIAN)));
        const RECT status1 = clientRectOf(::GetDlgItem(dialog, IDC_HEX_STATUS));
        EXPECT_LE(status1.right, check1.left) << "the status line stops short of the check box";
        EXPECT_EQ(status1.left, status0.left);
        EXPECT_EQ(status1.top, status0.top + 100);
        EXPECT_EQ(status1.right - status1.left, status0.right - status0.left + 200);

        // Maximised, the control fills all but the strip.
        ::ShowWindow(dialog, SW_MAXIMIZE);
        RECT maximised{};
        ::GetClientRect(dialog, &maximised);
        EXPECT_EQ(clientRectOf(control).bottom, maximised.bottom - 50);
        ::ShowWindow(dialog, SW_RESTORE);

        // Tiny: nothing breaks and the caret keeps its rules.
        ::SetWindowPos(dialog, nullptr, 0, 0, 30, 30, SWP_NOMOVE | SWP_NOZORDER);
        ::SetFocus(control);
        test::SendKey(control, VK_END, true);
        EXPECT_EQ(SelectionOf(control).caret, 4096);
        test::SendKey(control, VK_UP);
        EXPECT_EQ(SelectionOf(control).caret, 4096 - 16);
        test::SendKey(control, VK_END);
        EXPECT_EQ(SelectionOf(control).caret, 4096);  // the end of the full row, shown in its row
        test::SendKey(control, VK_HOME, true);
        EXPECT_EQ(SelectionOf(control).caret, 0);
        EXPECT_GE(test::TopRow(control), 0);
        ::UpdateWindow(dialog);
    });
    EXPECT_TRUE(section.Contents() == before);
}

}  // namespace
}  // namespace quillon
