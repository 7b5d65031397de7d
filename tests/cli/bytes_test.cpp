// quillon-cli hexdump and dump: the viewer's rows and the window's Dump rules over real sections.
#include <windows.h>

#include <gtest/gtest.h>

#include "tests/cli/cli_process.h"
#include "tests/cli/cli_test_support.h"
#include "tests/support/test_sections.h"

namespace quillon::test {
namespace {

// Three pages: the first two committed and filled, the last one only reserved. (Under Wine 8, a page
// committed behind a reserved one shows as committed in no other view, not even a new one of the
// same process; a committed run at the front does. So the reserved page comes last.)
class GappedSection {
public:
    GappedSection() : section_(UniqueName(L"QuillonCliGap"), Options()) {
        ok_ = section_.IsValid() && CommitPages(section_.Name(), 0, 0x2000, kSeed);
    }
    bool Ok() const { return ok_; }
    const std::wstring& Name() const { return section_.Name(); }
    static unsigned char Byte(std::uint64_t k) { return static_cast<unsigned char>(kSeed + k * 7); }

private:
    static constexpr unsigned char kSeed = 9;
    static SectionOptions Options() {
        SectionOptions options;
        options.size = 0x3000;
        options.reserveOnly = true;
        return options;
    }
    TestSection section_;
    bool ok_ = false;
};

TEST(CliHexdump, RowsShowOffsetsCellsAndCharactersOfAPattern) {
    SectionOptions options;
    options.size = 4096;
    options.seed = 0x21;
    // A non-ASCII name travels through the command line as UTF-16.
    TestSection section(UniqueName(L"QuillonCliHex\u00E9\u4E2D"), options);
    ASSERT_TRUE(section.IsValid());

    // 0x100 bytes from 0x10 cover every byte value, so every character rule shows.
    const CliRun run = RunCli({L"hexdump", section.Name(), L"--offset", L"16", L"--length", L"0x100"});
    ASSERT_EQ(run.exitCode, 0u) << run.err;
    const std::vector<std::string> lines = Lines(run.out);
    ASSERT_EQ(lines.size(), 16u) << run.out;
    for (std::size_t row = 0; row < 16; ++row) {
        int bytes[16];
        for (int k = 0; k < 16; ++k) bytes[k] = section.ExpectedByte(0x10 + row * 16 + static_cast<std::size_t>(k));
        EXPECT_EQ(lines[row], HexRow(0x10 + row * 16, bytes));
    }
    EXPECT_EQ(run.out.find('\r'), std::string::npos);

    // Without a range: the whole view, one row per sixteen bytes.
    EXPECT_EQ(Lines(RunCli({L"hexdump", section.Name()}).out).size(), 4096u / 16);
}

TEST(CliHexdump, ReservedPageShowsQuestionMarks) {
    GappedSection section;
    ASSERT_TRUE(section.Ok());
    // The view's size (the list's) covers the committed run; an explicit range reaches the rest.
    EXPECT_EQ(Lines(RunCli({L"hexdump", section.Name()}).out).size(), 0x200u);
    const CliRun run = RunCli({L"hexdump", section.Name(), L"--offset", L"0x1FF0", L"--length", L"0x1010"});
    ASSERT_EQ(run.exitCode, 0u) << run.err;
    const std::vector<std::string> lines = Lines(run.out);
    ASSERT_EQ(lines.size(), 0x101u);
    int readable[16], unreadable[16];
    for (int k = 0; k < 16; ++k) {
        readable[k] = GappedSection::Byte(0x1FF0 + static_cast<std::uint64_t>(k));
        unreadable[k] = -1;
    }
    EXPECT_EQ(lines.front(), HexRow(0x1FF0, readable));
    EXPECT_EQ(lines[1], HexRow(0x2000, unreadable));
    EXPECT_EQ(lines.back(), HexRow(0x2FF0, unreadable));

    const CliRun past = RunCli({L"hexdump", section.Name(), L"--offset", L"0x3001"});
    EXPECT_EQ(past.exitCode, 2u);
    EXPECT_EQ(Lines(past.err).at(0), "quillon-cli: hexdump: --offset 0x3001 is past the section's end (0x3000)");
}

TEST(CliDump, WritesTheSectionsBytesExactly) {
    SectionOptions options;
    options.size = 8192;
    options.seed = 3;
    TestSection section(UniqueName(L"QuillonCliDump"), options);
    ASSERT_TRUE(section.IsValid());
    TempFolder folder;
    const std::wstring whole = folder.Path() + L"\\whole.bin";
    const std::wstring part = folder.Path() + L"\\part.bin";

    CliRun run = RunCli({L"dump", section.Name(), whole});
    ASSERT_EQ(run.exitCode, 0u) << run.err;
    EXPECT_EQ(run.out + run.err, "");
    EXPECT_EQ(ReadFileBytes(whole), section.Contents());

    run = RunCli({L"dump", section.Name(), part, L"--offset", L"0x100", L"--length", L"300"});
    ASSERT_EQ(run.exitCode, 0u) << run.err;
    EXPECT_EQ(ReadFileBytes(part), section.Contents().substr(0x100, 300));
}

TEST(CliDump, UnreadableBytesFailAndLeaveTheFileUnlessFilled) {
    GappedSection section;
    ASSERT_TRUE(section.Ok());
    TempFolder folder;
    const std::wstring target = folder.Path() + L"\\precious.bin";
    ASSERT_TRUE(WriteFileBytes(target, "the user's own bytes"));

    CliRun run = RunCli({L"dump", section.Name(), target, L"--length", L"0x3000"});
    EXPECT_EQ(run.exitCode, 3u);
    EXPECT_EQ(run.err, "quillon-cli: " + Utf8(section.Name()) + ": cannot read section\n");
    EXPECT_EQ(ReadFileBytes(target), "the user's own bytes");
    EXPECT_EQ(folder.Files(), std::vector<std::wstring>{L"precious.bin"}) << "no temporary file is left";

    run = RunCli({L"dump", section.Name(), target, L"--length", L"0x3000", L"--fill-unreadable=00"});
    ASSERT_EQ(run.exitCode, 0u) << run.err;
    EXPECT_EQ(run.err, "quillon-cli: " + Utf8(section.Name()) + ": unreadable bytes 0x2000-0x2FFF written as zeros\n");
    const std::string bytes = ReadFileBytes(target);
    ASSERT_EQ(bytes.size(), 0x3000u);
    for (std::size_t k = 0; k < bytes.size(); ++k) {
        const unsigned char expected = k >= 0x2000 ? 0 : GappedSection::Byte(k);
        ASSERT_EQ(static_cast<unsigned char>(bytes[k]), expected) << "at " << k;
    }
    EXPECT_EQ(folder.Files(), std::vector<std::wstring>{L"precious.bin"});

    // Only zeros are offered as a filler.
    EXPECT_EQ(RunCli({L"dump", section.Name(), target, L"--fill-unreadable=FF"}).exitCode, 2u);
}

TEST(CliDump, TargetThatCannotBeWrittenExitsFour) {
    SectionOptions options;
    TestSection section(UniqueName(L"QuillonCliDumpNoFolder"), options);
    ASSERT_TRUE(section.IsValid());
    TempFolder folder;
    const std::wstring target = folder.Path() + L"\\missing\\out.bin";
    const CliRun run = RunCli({L"dump", section.Name(), target});
    EXPECT_EQ(run.exitCode, 4u);
    EXPECT_EQ(run.err, "quillon-cli: " + Utf8(target) + ": cannot write file\n");
}

}  // namespace
}  // namespace quillon::test
