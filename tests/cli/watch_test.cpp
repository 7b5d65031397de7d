// quillon-cli watch: a change this test makes shows up with its range and bytes, and --count ends it.
#include <windows.h>

#include <gtest/gtest.h>

#include <cstring>

#include "tests/cli/cli_process.h"
#include "tests/support/test_sections.h"

namespace quillon::test {
namespace {

TEST(CliWatch, ReportsAChangeInItsRangeWithOldAndNewBytesThenEndsAfterCount) {
    SectionOptions options;
    options.size = 4096;
    options.seed = 0x10;
    TestSection section(UniqueName(L"QuillonCliWatch"), options);
    ASSERT_TRUE(section.IsValid());

    CliProcess watch({L"watch", section.Name(), L"--interval", L"50", L"--count", L"30", L"--offset", L"0x10",
                      L"--length", L"32"});
    ASSERT_TRUE(watch.Started());
    // The first snapshot is taken before the notice.
    ASSERT_TRUE(watch.WaitForErr("watching 0x10-0x2F every 50 ms")) << watch.Err();

    HANDLE writable = ::OpenFileMappingW(FILE_MAP_WRITE, FALSE, section.Name().c_str());
    ASSERT_NE(writable, nullptr);
    auto* bytes = static_cast<unsigned char*>(::MapViewOfFile(writable, FILE_MAP_WRITE, 0, 0, 0));
    ASSERT_NE(bytes, nullptr);
    // One aligned four-byte store, so no look can see half of it; and a change outside the range.
    const std::uint32_t value = 0xDDCCBBAA;
    *reinterpret_cast<volatile std::uint32_t*>(bytes + 0x14) = value;
    bytes[0x40] ^= 0xFF;

    EXPECT_EQ(watch.Wait(20000), 0u) << watch.Err();
    ::UnmapViewOfFile(bytes);
    ::CloseHandle(writable);

    char before[32];
    std::snprintf(before, sizeof(before), "%02X %02X %02X %02X", section.ExpectedByte(0x14), section.ExpectedByte(0x15),
                  section.ExpectedByte(0x16), section.ExpectedByte(0x17));
    const std::vector<std::string> lines = Lines(watch.Out());
    ASSERT_EQ(lines.size(), 1u) << watch.Out();
    // "2026-12-11T10:17:30.123Z 0x14-0x17 34 3B 42 49 -> AA BB CC DD"
    const std::string& line = lines[0];
    ASSERT_GT(line.size(), 25u);
    EXPECT_EQ(line[4], '-');
    EXPECT_EQ(line[10], 'T');
    EXPECT_EQ(line[23], 'Z');
    EXPECT_EQ(line.substr(24), std::string(" 0x14-0x17 ") + before + " -> AA BB CC DD");
}

TEST(CliWatch, UnknownSectionExitsOneWithOneErrorLine) {
    const std::wstring name = UniqueName(L"QuillonCliMissing");
    const CliRun run = RunCli({L"watch", name, L"--count", L"1"});
    EXPECT_EQ(run.exitCode, 1u);
    EXPECT_EQ(run.out, "");
    EXPECT_EQ(run.err, "quillon-cli: " + Utf8(name) + ": not found\n");
}

}  // namespace
}  // namespace quillon::test
