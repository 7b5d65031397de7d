// quillon-cli list, run as a child process over sections this test creates.
#include <gtest/gtest.h>

#include <algorithm>

#include "catalogue/section_name.h"
#include "tests/cli/cli_process.h"
#include "tests/cli/cli_test_support.h"
#include "tests/cli/json_reader.h"
#include "tests/support/test_namespace.h"
#include "tests/support/test_sections.h"

namespace quillon::test {
namespace {

struct ExpectedRow {
    std::string name;
    std::string sizeText;
    std::string status;
    std::uint64_t size;  // meaningful when status is "ok"
};

class CliListTest : public ::testing::Test {
protected:
    void SetUp() override {
        Add(L"QuillonCliGlobal", {100, true}, "0x1000", "ok", 4096);
        Add(L"QuillonCliSession", {45056}, "0xB000", "ok", 45056);
        SectionOptions denied;
        denied.size = 8192;
        denied.denyRead = true;
        Add(L"QuillonCliDenied", denied, "[Access Denied]", "access denied", 0);
        // Non-ASCII, including a character outside the basic plane (a surrogate pair in UTF-16).
        Add(L"QuillonCli\u00C4\u00DF\u65E5\U0001F600", {8192}, "0x2000", "ok", 8192);
    }

    void Add(const std::wstring& stem, const SectionOptions& options, const char* sizeText, const char* status,
             std::uint64_t size) {
        sections_.emplace_back(UniqueName(stem), options);
        ASSERT_TRUE(sections_.back().IsValid());
        expected_.push_back({Utf8(sections_.back().Name()), sizeText, status, size});
    }

    std::vector<TestSection> sections_;
    std::vector<ExpectedRow> expected_;
};

TEST_F(CliListTest, TsvHoldsTheWindowsRowsInItsOrderWithTheirSizeTexts) {
    const CliRun run = RunCli({L"list", L"--format", L"tsv"});
    ASSERT_EQ(run.exitCode, 0u) << run.err;
    EXPECT_EQ(run.err, "");
    std::vector<std::string> names;
    for (const std::string& line : Lines(run.out)) {
        const std::vector<std::string> fields = Fields(line);
        ASSERT_EQ(fields.size(), 2u) << line;
        names.push_back(fields[0]);
        for (const ExpectedRow& row : expected_) {
            if (fields[0] == row.name) {
                EXPECT_EQ(fields[1], row.sizeText) << line;
            }
        }
    }
    // The same walk in this process gives the same rows in the same order; the names arrive as UTF-8.
    EXPECT_EQ(names, WalkedNames());
    for (const ExpectedRow& row : expected_) EXPECT_EQ(std::count(names.begin(), names.end(), row.name), 1) << row.name;
    EXPECT_EQ(run.out.find('\r'), std::string::npos) << "lines end in LF";
}

TEST_F(CliListTest, JsonIsAnArrayOfRowsWithSizeAndStatus) {
    const CliRun run = RunCli({L"list", L"--format=json"});
    ASSERT_EQ(run.exitCode, 0u) << run.err;
    JsonValue list;
    std::string error;
    ASSERT_TRUE(ParseJson(run.out, list, error)) << error << "\n" << run.out.substr(0, 2000);
    ASSERT_EQ(list.type, JsonValue::Type::Array);

    std::vector<std::string> names;
    for (const JsonValue& item : list.items) {
        ASSERT_EQ(item.type, JsonValue::Type::Object);
        ASSERT_EQ(item.members.size(), 4u);
        const char* keys[] = {"name", "size", "sizeText", "status"};
        for (int k = 0; k < 4; ++k) EXPECT_EQ(item.members[k].first, keys[k]);
        names.push_back(item.Find("name")->text);
    }
    EXPECT_EQ(names, WalkedNames());

    for (const ExpectedRow& row : expected_) {
        SCOPED_TRACE(row.name);
        const auto found = std::find(names.begin(), names.end(), row.name);
        ASSERT_NE(found, names.end());
        const JsonValue& item = list.items[static_cast<std::size_t>(found - names.begin())];
        EXPECT_EQ(item.Find("sizeText")->text, row.sizeText);
        EXPECT_EQ(item.Find("status")->text, row.status);
        if (row.status == "ok") {
            ASSERT_EQ(item.Find("size")->type, JsonValue::Type::Number);
            EXPECT_EQ(item.Find("size")->Unsigned(), row.size);
        } else {
            EXPECT_EQ(item.Find("size")->type, JsonValue::Type::Null);
        }
    }
}

TEST_F(CliListTest, TextAlignsNameAndSizeColumns) {
    const CliRun run = RunCli({L"list"});
    ASSERT_EQ(run.exitCode, 0u) << run.err;
    const std::vector<std::string> lines = Lines(run.out);
    ASSERT_FALSE(lines.empty());
    const std::size_t sizeColumn = lines[0].find("Size");
    ASSERT_EQ(lines[0].compare(0, 4, "Name"), 0) << lines[0];
    ASSERT_NE(sizeColumn, std::string::npos);
    EXPECT_EQ(lines.size(), WalkedNames().size() + 1);
    for (const ExpectedRow& row : expected_) {
        SCOPED_TRACE(row.name);
        const auto line = std::find_if(lines.begin(), lines.end(), [&](const std::string& l) {
            return l.compare(0, row.name.size() + 1, row.name + " ") == 0;
        });
        ASSERT_NE(line, lines.end());
        // The size starts in the header's Size column, counted in characters.
        const std::string padded = line->substr(0, line->size() - row.sizeText.size());
        EXPECT_EQ(line->substr(padded.size()), row.sizeText);
        EXPECT_EQ(Utf8Length(padded), sizeColumn);
        EXPECT_EQ(padded.find_last_not_of(' ') + 1, row.name.size());
    }
}

// Object names may hold quotes, control characters and unpaired surrogates: JSON carries each exactly
// (escaped), text and TSV show an unpaired surrogate as U+FFFD.
TEST(CliList, JsonCarriesAnyNameExactly) {
    const std::wstring stem = UniqueName(L"QuillonCliOdd");
    std::wstring name = stem + L"\"q\x01";
    name.push_back(L'\xD800');
    name += L"z";
    TestSection section(name, SectionOptions{});
    ASSERT_TRUE(section.IsValid()) << section.LastError();

    const CliRun json = RunCli({L"list", L"--format", L"json"});
    ASSERT_EQ(json.exitCode, 0u) << json.err;
    EXPECT_NE(json.out.find("\"" + Utf8(stem) + "\\\"q\\u0001\\ud800z\""), std::string::npos) << json.out;
    JsonValue list;
    std::string error;
    ASSERT_TRUE(ParseJson(json.out, list, error)) << error;
    const std::string decoded = Utf8(stem) + "\"q\x01\xED\xA0\x80z";  // the reader keeps the lone unit
    EXPECT_TRUE(std::any_of(list.items.begin(), list.items.end(),
                            [&](const JsonValue& item) { return item.Find("name")->text == decoded; }));

    const CliRun tsv = RunCli({L"list", L"--format", L"tsv"});
    EXPECT_NE(tsv.out.find(Utf8(stem) + "\"q\x01\xEF\xBF\xBDz\t0x1000\n"), std::string::npos);
}

// Names the Win32 open path cannot express: an embedded NUL (shown as "\0") and 1,100 characters.
// Both are listed with their sizes and open from the command line through the native path.
TEST(CliList, NulHoldingAndLongNamesAreListedSizedAndOpen) {
    const std::wstring directory = L"\\Sessions\\" + std::to_wstring(OwnSessionId()) + L"\\BaseNamedObjects\\";
    const std::wstring stem = UniqueName(L"QuillonCliNul");
    std::wstring raw = stem;
    raw += L'\0';
    raw += L"Hidden";
    const std::wstring longName = UniqueName(L"QuillonCliLong") + std::wstring(1100, L'L');
    NativeSection nul(directory + raw, 8192, 1);
    NativeSection longOne(directory + longName, 4096, 2);
    ASSERT_TRUE(nul.IsValid() && longOne.IsValid());

    const CliRun run = RunCli({L"list", L"--format", L"tsv"});
    ASSERT_EQ(run.exitCode, 0u) << run.err;
    const std::string shownNul = Utf8(stem) + "\\0Hidden";
    EXPECT_NE(("\n" + run.out).find("\n" + shownNul + "\t0x2000\n"), std::string::npos) << run.out;
    EXPECT_NE(("\n" + run.out).find("\n" + Utf8(longName) + "\t0x1000\n"), std::string::npos);

    const CliRun dump = RunCli({L"hexdump", stem + L"\\0Hidden", L"--length", L"16"});
    ASSERT_EQ(dump.exitCode, 0u) << dump.err;
    int bytes[16];
    for (int k = 0; k < 16; ++k) bytes[k] = static_cast<unsigned char>(1 + k * 7);
    EXPECT_EQ(dump.out, HexRow(0, bytes) + "\n");
    EXPECT_EQ(RunCli({L"hexdump", longName, L"--length", L"16"}).exitCode, 0u);
}

// Other sessions' sections are listed only on request, as "Session\<id>\<name>", and open by that name.
TEST(CliList, AllNamespacesAddsAnotherSessionsRows) {
    const std::wstring id = std::to_wstring(UnusedSessionId());
    NativeDirectory session(L"\\Sessions\\" + id);
    NativeDirectory base(L"\\Sessions\\" + id + L"\\BaseNamedObjects");
    ASSERT_TRUE(session.IsValid() && base.IsValid()) << std::hex << base.Status();
    const std::wstring stem = UniqueName(L"QuillonCliElsewhere");
    NativeSection section(L"\\Sessions\\" + id + L"\\BaseNamedObjects\\" + stem, 12288, 4);
    ASSERT_TRUE(section.IsValid());
    const std::wstring row = L"Session\\" + id + L"\\" + stem;

    const CliRun plain = RunCli({L"list", L"--format", L"tsv"});
    EXPECT_EQ(plain.out.find(Utf8(stem)), std::string::npos);
    const CliRun all = RunCli({L"list", L"--all-namespaces", L"--format", L"tsv"});
    ASSERT_EQ(all.exitCode, 0u) << all.err;
    EXPECT_NE(all.out.find(Utf8(row) + "\t0x3000\n"), std::string::npos) << all.out;
    std::vector<std::string> names;
    for (const std::string& line : Lines(all.out)) names.push_back(Fields(line)[0]);
    EXPECT_EQ(names, WalkedNames(true));

    const CliRun info = RunCli({L"info", row, L"--format", L"json"});
    EXPECT_EQ(info.exitCode, 0u) << info.err;
    EXPECT_NE(info.out.find("\"viewSize\": \"0x3000 (12,288 bytes)\""), std::string::npos) << info.out;
}

}  // namespace
}  // namespace quillon::test
