// quillon-cli search: the viewer's find over sections the test fills, one line per match.
#include <windows.h>

#include <gtest/gtest.h>

#include <algorithm>
#include <cstring>

#include "tests/cli/cli_process.h"
#include "tests/cli/cli_test_support.h"
#include "tests/support/test_sections.h"

namespace quillon::test {
namespace {

void Put(const TestSection& section, std::size_t offset, const void* bytes, std::size_t count) {
    HANDLE mapping = ::OpenFileMappingW(FILE_MAP_WRITE, FALSE, section.Name().c_str());
    ASSERT_NE(mapping, nullptr);
    auto* view = static_cast<unsigned char*>(::MapViewOfFile(mapping, FILE_MAP_WRITE, 0, 0, 0));
    ASSERT_NE(view, nullptr);
    std::memcpy(view + offset, bytes, count);
    ::UnmapViewOfFile(view);
    ::CloseHandle(mapping);
}

class CliSearchTest : public ::testing::Test {
protected:
    void SetUp() override {
        // A needle no other section holds: it carries this process's id.
        needle_ = "Needle" + std::to_string(::GetCurrentProcessId()) + "Zq";
        SectionOptions global;
        global.size = 8192;
        global.global = true;
        first_ = TestSection(UniqueName(L"QuillonCliSearchA"), global);
        SectionOptions session;
        session.size = 16384;
        second_ = TestSection(UniqueName(L"QuillonCliSearchB"), session);
        ASSERT_TRUE(first_.IsValid() && second_.IsValid());
        Put(first_, 0x123, needle_.data(), needle_.size());
        Put(second_, 0x10, needle_.data(), needle_.size());
        Put(second_, 0x3FF0 - needle_.size(), needle_.data(), needle_.size());
        std::u16string wide(needle_.begin(), needle_.end());
        Put(second_, 0x2001, wide.data(), wide.size() * 2);
    }
    std::wstring Needle() const { return std::wstring(needle_.begin(), needle_.end()); }
    std::string Line(const TestSection& section, const char* offset) const {
        return Utf8(section.Name()) + "\t" + offset;
    }

    std::string needle_;
    TestSection first_, second_;
};

TEST_F(CliSearchTest, EveryListedSectionIsSearchedInListOrder) {
    const CliRun run = RunCli({L"search", Needle()});
    ASSERT_EQ(run.exitCode, 0u) << run.err;
    EXPECT_EQ(run.err, "");
    char last[16];
    std::snprintf(last, sizeof(last), "0x%X", static_cast<unsigned>(0x3FF0 - needle_.size()));
    const std::vector<std::string> expected = {Line(first_, "0x123"), Line(second_, "0x10"), Line(second_, last)};
    EXPECT_EQ(Lines(run.out), expected);
}

TEST_F(CliSearchTest, NamedSectionsModesAndCase) {
    // Hex with a wildcard, over the two named sections in the order given.
    std::string hex;
    char cell[4];
    for (std::size_t k = 0; k < needle_.size(); ++k) {
        std::snprintf(cell, sizeof(cell), "%02X ", static_cast<unsigned char>(needle_[k]));
        hex += k == 2 ? "?? " : cell;
    }
    CliRun run = RunCli({L"search", L"--hex", std::wstring(hex.begin(), hex.end()), second_.Name(), first_.Name()});
    ASSERT_EQ(run.exitCode, 0u) << run.err;
    EXPECT_EQ(Lines(run.out).size(), 3u) << run.out;
    EXPECT_EQ(Lines(run.out).back(), Line(first_, "0x123"));

    run = RunCli({L"search", L"--utf16", Needle(), first_.Name(), second_.Name()});
    ASSERT_EQ(run.exitCode, 0u) << run.err;
    EXPECT_EQ(Lines(run.out), std::vector<std::string>{Line(second_, "0x2001")});

    std::wstring shouted = Needle();
    std::transform(shouted.begin(), shouted.end(), shouted.begin(), [](wchar_t c) { return static_cast<wchar_t>(::towupper(c)); });
    EXPECT_EQ(RunCli({L"search", shouted, first_.Name()}).exitCode, 1u);
    run = RunCli({L"search", shouted, first_.Name(), L"--ignore-case"});
    EXPECT_EQ(run.exitCode, 0u) << run.err;
    EXPECT_EQ(Lines(run.out), std::vector<std::string>{Line(first_, "0x123")});
}

TEST_F(CliSearchTest, NoMatchExitsOneAndBadPatternsExitTwo) {
    CliRun run = RunCli({L"search", Needle() + L"Absent", first_.Name(), second_.Name()});
    EXPECT_EQ(run.exitCode, 1u);
    EXPECT_EQ(run.out + run.err, "");

    const std::wstring missing = UniqueName(L"QuillonCliNoSearch");
    run = RunCli({L"search", Needle(), missing, first_.Name()});
    EXPECT_EQ(run.exitCode, 0u) << "a match elsewhere still counts";
    EXPECT_EQ(run.err, "quillon-cli: " + Utf8(missing) + ": not found\n");

    run = RunCli({L"search", L"--hex", L"ABC", first_.Name()});
    EXPECT_EQ(run.exitCode, 2u);
    EXPECT_EQ(Lines(run.err).at(0), "quillon-cli: search: PATTERN: hex bytes need two digits each");
    EXPECT_EQ(RunCli({L"search", L"--hex", L"--text", L"AB"}).exitCode, 2u);
}

}  // namespace
}  // namespace quillon::test
