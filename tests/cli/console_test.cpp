// quillon-cli on a real console: Ctrl+C ends watch, and text reaches the console as characters,
// whatever the console's code page.
#include <windows.h>

#include <gtest/gtest.h>

#include "tests/cli/cli_process.h"
#include "tests/support/test_sections.h"

namespace quillon::test {
namespace {

// A console of the test's own, shared with the children it starts.
class SharedConsole {
public:
    SharedConsole() {
        ::FreeConsole();
        ok_ = ::AllocConsole() != FALSE;
    }
    // Only after the child has started: children inherit the choice to ignore Ctrl+C.
    void IgnoreCtrlC() { ::SetConsoleCtrlHandler(nullptr, TRUE); }
    ~SharedConsole() {
        ::SetConsoleCtrlHandler(nullptr, FALSE);
        ::FreeConsole();
    }
    bool Ok() const { return ok_; }

private:
    bool ok_ = false;
};

TEST(CliConsole, CtrlCEndsWatchNormally) {
    SharedConsole console;
    ASSERT_TRUE(console.Ok());
    TestSection section(UniqueName(L"QuillonCliBreak"), SectionOptions{});
    ASSERT_TRUE(section.IsValid());
    CliProcess watch({L"watch", section.Name(), L"--interval", L"50"}, 0);
    ASSERT_TRUE(watch.WaitForErr("watching")) << watch.Err();
    // Ctrl+C goes to every process of the console; this one ignores it.
    console.IgnoreCtrlC();
    ASSERT_TRUE(::GenerateConsoleCtrlEvent(CTRL_C_EVENT, 0)) << ::GetLastError();
    EXPECT_EQ(watch.Wait(10000), 0u) << watch.Err();
}

TEST(CliConsole, NonAsciiNamesReachTheConsoleAsCharacters) {
    SharedConsole console;
    ASSERT_TRUE(console.Ok());
    ::SetConsoleOutputCP(437);  // a code page that has none of the characters below
    TestSection section(UniqueName(L"QuillonCli\u0416\u4E2D\u00E9"), SectionOptions{});
    ASSERT_TRUE(section.IsValid());
    SECURITY_ATTRIBUTES inherit{sizeof(inherit), nullptr, TRUE};
    HANDLE screen = ::CreateFileW(L"CONOUT$", GENERIC_READ | GENERIC_WRITE, FILE_SHARE_READ | FILE_SHARE_WRITE, &inherit,
                                  OPEN_EXISTING, 0, nullptr);
    ASSERT_NE(screen, INVALID_HANDLE_VALUE) << ::GetLastError();
    CONSOLE_SCREEN_BUFFER_INFO before{};
    ASSERT_TRUE(::GetConsoleScreenBufferInfo(screen, &before)) << ::GetLastError();

    CliProcess list({L"search", L"--hex", L"00", section.Name()}, 0, screen);
    EXPECT_EQ(list.Wait(), 0u) << list.Err();

    // The first line the child wrote: "<name><TAB>0x0", read back as UTF-16 from the screen.
    std::wstring line(200, L'\0');
    DWORD read = 0;
    COORD start{0, before.dwCursorPosition.Y};
    ASSERT_TRUE(::ReadConsoleOutputCharacterW(screen, &line[0], static_cast<DWORD>(line.size()), start, &read));
    line.resize(read);
    EXPECT_EQ(line.compare(0, section.Name().size(), section.Name()), 0) << Utf8(line);
    ::CloseHandle(screen);
}

}  // namespace
}  // namespace quillon::test
