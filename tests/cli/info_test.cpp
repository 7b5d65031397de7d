// quillon-cli info: the Properties facts with the dialog's labels, as text and as JSON.
#include <windows.h>
#include <sddl.h>

#include <gtest/gtest.h>

#include "tests/cli/cli_process.h"
#include "tests/cli/cli_test_support.h"
#include "tests/cli/json_reader.h"
#include "tests/support/test_sections.h"

namespace quillon::test {
namespace {

// "Field: value" -> value, for the line that starts with `field`; empty when there is none.
std::string TextFact(const std::string& text, const std::string& field) {
    for (const std::string& line : Lines(text))
        if (line.compare(0, field.size() + 2, field + ": ") == 0) return line.substr(field.size() + 2);
    return {};
}

JsonValue InfoJson(const std::wstring& name) {
    const CliRun run = RunCli({L"info", name, L"--format", L"json"});
    EXPECT_EQ(run.exitCode, 0u) << run.err;
    JsonValue info;
    std::string error;
    EXPECT_TRUE(ParseJson(run.out, info, error)) << error << "\n" << run.out;
    return info;
}

TEST(CliInfo, ReservedSectionShowsItsAttributesSizesAndRegions) {
    SectionOptions options;
    options.size = 0x100000;
    options.reserveOnly = true;
    TestSection section(UniqueName(L"QuillonCliReserved"), options);
    ASSERT_TRUE(section.IsValid());
    ASSERT_TRUE(CommitPages(section.Name(), 0, 0x2000, 0));

    const CliRun run = RunCli({L"info", section.Name()});
    ASSERT_EQ(run.exitCode, 0u) << run.err;
    EXPECT_EQ(run.out.find('\r'), std::string::npos);
    EXPECT_EQ(TextFact(run.out, "Name"), Utf8(section.Name()));
    EXPECT_NE(TextFact(run.out, "Attributes").find("SEC_RESERVE"), std::string::npos) << run.out;
    EXPECT_EQ(TextFact(run.out, "Maximum size"), "0x100000 (1,048,576 bytes)");
    EXPECT_EQ(TextFact(run.out, "View size"), "0x2000 (8,192 bytes)");
    // A multi-line value continues on indented lines.
    const std::string regions = run.out.substr(run.out.find("Regions: "));
    EXPECT_EQ(regions.compare(0, 40, "Regions: 0x0-0x2000 committed, readable\n"), 0) << regions;
    EXPECT_EQ(regions.compare(40, 4, "    "), 0) << regions;

    // JSON: camelCase keys in the dialog's order, multi-line values joined by "\n", the warnings.
    const JsonValue info = InfoJson(section.Name());
    ASSERT_EQ(info.type, JsonValue::Type::Object);
    const char* keys[] = {"name", "objectPath", "attributes", "maximumSize", "viewSize", "regions", "backingFile", "owner",
                          "integrity", "securitySDDL", "accessForYou", "accessAtLowIntegrity", "accessForAppContainers",
                          "handles", "warnings"};
    ASSERT_EQ(info.members.size(), sizeof(keys) / sizeof(keys[0]));
    for (std::size_t k = 0; k < info.members.size(); ++k) EXPECT_EQ(info.members[k].first, keys[k]);
    EXPECT_EQ(info.Find("maximumSize")->text, "0x100000 (1,048,576 bytes)");
    EXPECT_EQ(info.Find("regions")->text.compare(0, 40, "0x0-0x2000 committed, readable\n0x2000-0x"), 0)
        << info.Find("regions")->text;
    EXPECT_EQ(info.Find("backingFile")->text, "none (paging file)");
    EXPECT_EQ(info.Find("warnings")->type, JsonValue::Type::Array);
}

TEST(CliInfo, FileBackedSectionNamesItsFile) {
    TempFolder folder;
    const std::wstring path = folder.Path() + L"\\backing.bin";
    ASSERT_TRUE(WriteFileBytes(path, std::string(5000, 'q')));
    HANDLE file = ::CreateFileW(path.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING, 0, nullptr);
    ASSERT_NE(file, INVALID_HANDLE_VALUE);
    const std::wstring name = UniqueName(L"QuillonCliFile");
    HANDLE section = ::CreateFileMappingW(file, nullptr, PAGE_READONLY, 0, 0, name.c_str());
    ASSERT_NE(section, nullptr);

    const JsonValue info = InfoJson(name);
    ::CloseHandle(section);
    ::CloseHandle(file);
    EXPECT_NE(info.Find("attributes")->text.find("SEC_FILE"), std::string::npos) << info.Find("attributes")->text;
    EXPECT_EQ(info.Find("maximumSize")->text, "0x1388 (5,000 bytes)");
    // The same file, whatever form of its path the platform reports.
    const std::string shown = info.Find("backingFile")->text;
    wchar_t expected[MAX_PATH], actual[MAX_PATH];
    ASSERT_NE(::GetLongPathNameW(path.c_str(), expected, MAX_PATH), 0u);
    const int units = ::MultiByteToWideChar(CP_UTF8, 0, shown.c_str(), -1, actual, MAX_PATH);
    ASSERT_GT(units, 0);
    ASSERT_NE(::GetLongPathNameW(std::wstring(actual).c_str(), actual, MAX_PATH), 0u) << shown;
    EXPECT_EQ(::CompareStringOrdinal(expected, -1, actual, -1, TRUE), CSTR_EQUAL) << shown;
}

TEST(CliInfo, DeniedSectionShowsTheViewFactsUnavailableAndTheRest) {
    SectionOptions options;
    options.denyRead = true;  // FILE_MAP_READ denied, everything else granted
    TestSection section(UniqueName(L"QuillonCliDeniedInfo"), options);
    ASSERT_TRUE(section.IsValid());

    const CliRun text = RunCli({L"info", section.Name()});
    ASSERT_EQ(text.exitCode, 0u) << text.err;
    EXPECT_EQ(TextFact(text.out, "View size"), "unavailable: access denied");
    EXPECT_EQ(TextFact(text.out, "Maximum size"), "0x1000 (4,096 bytes)");

    const JsonValue info = InfoJson(section.Name());
    for (const char* key : {"viewSize", "regions"}) {
        SCOPED_TRACE(key);
        const JsonValue* fact = info.Find(key);
        ASSERT_NE(fact, nullptr);
        ASSERT_EQ(fact->type, JsonValue::Type::Object);
        ASSERT_EQ(fact->members.size(), 1u);
        EXPECT_EQ(fact->members[0].first, "unavailable");
        EXPECT_EQ(fact->members[0].second.text, "access denied");
    }
    EXPECT_EQ(info.Find("securitySDDL")->type, JsonValue::Type::String);
    EXPECT_NE(info.Find("securitySDDL")->text.find("D:"), std::string::npos) << info.Find("securitySDDL")->text;
}

TEST(CliInfo, MissingSectionExitsOne) {
    const std::wstring name = UniqueName(L"QuillonCliNoInfo");
    const CliRun run = RunCli({L"info", name});
    EXPECT_EQ(run.exitCode, 1u);
    EXPECT_EQ(run.out, "");
    EXPECT_EQ(run.err, "quillon-cli: " + Utf8(name) + ": not found\n");
}

}  // namespace
}  // namespace quillon::test
