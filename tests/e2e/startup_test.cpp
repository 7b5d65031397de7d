// The real program, started as a child process: first window, show command, arguments, exit codes.
#include <windows.h>

#include <gtest/gtest.h>

#include <algorithm>

#include "resources/resource.h"
#include "tests/e2e/quillon_process.h"
#include "tests/support/test_sections.h"

namespace quillon {
namespace {

using test::QuillonProcess;

int RowOf(const QuillonProcess& quillon, const std::wstring& name) {
    const auto names = quillon.Names();
    const auto it = std::find(names.begin(), names.end(), name);
    return it == names.end() ? -1 : static_cast<int>(it - names.begin());
}

TEST(Startup, TheWindowAppearsWithTheListFilledAndClosingExitsWithOne) {
    test::TestSection section(test::UniqueName(L"QuillonE2E"), test::SectionOptions{45056});
    QuillonProcess quillon;
    ASSERT_TRUE(quillon.Started()) << "quillon.exe at " << std::string(test::QuillonExePath().begin(), test::QuillonExePath().end());
    ASSERT_NE(quillon.WaitForFrame(), nullptr);
    const int row = RowOf(quillon, section.Name());
    ASSERT_NE(row, -1) << "the list is filled before the window is shown";
    EXPECT_EQ(quillon.CellText(row, 1), L"0xB000");
    EXPECT_FALSE(::IsIconic(quillon.Frame()));

    ::PostMessageW(quillon.Frame(), WM_CLOSE, 0, 0);
    EXPECT_EQ(quillon.WaitForExit(), 1u);
}

TEST(Startup, FileExitEndsTheProcessWithOne) {
    QuillonProcess quillon;
    ASSERT_NE(quillon.WaitForFrame(), nullptr);
    ::PostMessageW(quillon.Frame(), WM_COMMAND, MAKEWPARAM(ID_APP_EXIT, 0), 0);
    EXPECT_EQ(quillon.WaitForExit(), 1u);
}

TEST(Startup, AMinimisingShowCommandShowsTheFrameMinimisedWithItsListBuilt) {
    test::TestSection section(test::UniqueName(L"QuillonE2EMin"), test::SectionOptions{});
    QuillonProcess quillon(L"", SW_SHOWMINNOACTIVE);
    ASSERT_NE(quillon.WaitForFrame(), nullptr);
    EXPECT_TRUE(::IsIconic(quillon.Frame()));
    EXPECT_NE(RowOf(quillon, section.Name()), -1);
    ::PostMessageW(quillon.Frame(), WM_CLOSE, 0, 0);
    EXPECT_EQ(quillon.WaitForExit(), 1u);
}

TEST(Startup, CommandLineArgumentsChangeNothing) {
    test::TestSection section(test::UniqueName(L"QuillonE2EArgs"), test::SectionOptions{});
    QuillonProcess quillon(L"/refresh --hexview \"Global\\Nothing\" -x 42");
    ASSERT_NE(quillon.WaitForFrame(), nullptr);
    EXPECT_NE(RowOf(quillon, section.Name()), -1);
    wchar_t caption[64] = {};
    ::GetWindowTextW(quillon.Frame(), caption, 64);
    EXPECT_STREQ(caption, L"Quillon");
    ::PostMessageW(quillon.Frame(), WM_CLOSE, 0, 0);
    EXPECT_EQ(quillon.WaitForExit(), 1u);
}

}  // namespace
}  // namespace quillon
