// The report of real sections made by the tests, read back fact by fact.
#include <gtest/gtest.h>

#include <cstdio>

#include "catalogue/section_entry.h"
#include "inspect/section_report.h"
#include "tests/inspect/inspect_fixtures.h"
#include "tests/support/test_sections.h"

namespace quillon::test {
namespace {

// Prints a report once, so a run's log shows what each test section looks like.
void Show(const SectionReport& report) { std::printf("%s\n", Utf8(FormatReportText(report)).c_str()); }

std::wstring Value(const SectionReport& report, const wchar_t* field) {
    const SectionFact* fact = FindFact(report, field);
    return fact ? FactDisplayValue(*fact) : L"(missing)";
}

TEST(SectionReport, FactsComeInTheirOrder) {
    const std::wstring name = UniqueName(L"QuillonInspectOrder");
    UniqueHandle section = CreateSection(name, PAGE_READWRITE | SEC_COMMIT, 4096, nullptr);
    ASSERT_TRUE(section);
    const SectionReport report = GatherSectionReport(name);
    const wchar_t* const expected[] = {L"Name", L"Object path", L"Attributes", L"Maximum size", L"View size",
                                       L"Regions", L"Backing file", L"Owner", L"Integrity", L"Security (SDDL)",
                                       L"Access for you", L"Access at low integrity", L"Access for AppContainers",
                                       L"Handles"};
    ASSERT_EQ(report.facts.size(), sizeof(expected) / sizeof(expected[0]));
    for (std::size_t i = 0; i < report.facts.size(); ++i) EXPECT_EQ(report.facts[i].field, expected[i]);
    EXPECT_EQ(Value(report, L"Name"), name);
    wchar_t path[256];
    DWORD session = 0;
    ::ProcessIdToSessionId(::GetCurrentProcessId(), &session);
    std::swprintf(path, 256, L"\\Sessions\\%lu\\BaseNamedObjects\\%ls", session, name.c_str());
    EXPECT_EQ(Value(report, L"Object path"), path);
}

TEST(SectionReport, ReservedSectionWithTwoCommittedPages) {
    const std::wstring name = UniqueName(L"QuillonInspectReserve");
    UniqueHandle section = CreateSection(name, PAGE_READWRITE | SEC_RESERVE, 0x100000, nullptr);
    ASSERT_TRUE(section);
    ASSERT_TRUE(CommitFront(section.Get(), 0x2000));
    const SectionReport report = GatherSectionReport(name);
    Show(report);
    EXPECT_NE(Value(report, L"Attributes").find(L"SEC_RESERVE"), std::wstring::npos);
    EXPECT_EQ(Value(report, L"Maximum size"), L"0x100000 (1,048,576 bytes)");
    EXPECT_EQ(Value(report, L"View size"), L"0x2000 (8,192 bytes)");
    EXPECT_EQ(Value(report, L"Regions"),
              L"0x0-0x2000 committed, readable\n"
              L"0x2000-0x100000 reserved, unreadable\n"
              L"readable: 0x2000 (8,192 bytes); unreadable: 0xFE000 (1,040,384 bytes)");
    ASSERT_EQ(report.regions.size(), 2u);
    EXPECT_TRUE(report.regions[0].readable);
    EXPECT_EQ(report.regions[1].state, RegionState::Reserved);
    EXPECT_EQ(Value(report, L"Backing file"), L"none (paging file)");
}

TEST(SectionReport, FileBackedSectionNamesItsFile) {
    wchar_t folder[MAX_PATH];
    ASSERT_NE(::GetTempPathW(MAX_PATH, folder), 0u);
    const std::wstring filePath = std::wstring(folder) + UniqueName(L"quillon_inspect") + L".bin";
    UniqueFile file(::CreateFileW(filePath.c_str(), GENERIC_READ | GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS,
                                  FILE_ATTRIBUTE_TEMPORARY | FILE_FLAG_DELETE_ON_CLOSE, nullptr));
    ASSERT_TRUE(file);
    const char bytes[5000] = "file-backed";
    DWORD written = 0;
    ASSERT_TRUE(::WriteFile(file.Get(), bytes, sizeof(bytes), &written, nullptr));
    const std::wstring name = UniqueName(L"QuillonInspectFile");
    UniqueHandle section = CreateSection(name, PAGE_READONLY, 0, nullptr, file.Get());
    ASSERT_TRUE(section);
    const SectionReport report = GatherSectionReport(name);
    Show(report);
    EXPECT_NE(Value(report, L"Attributes").find(L"SEC_FILE"), std::wstring::npos);
    EXPECT_EQ(Value(report, L"Maximum size"), L"0x1388 (5,000 bytes)");
    wchar_t longExpected[MAX_PATH];
    wchar_t longActual[MAX_PATH];
    ASSERT_NE(::GetLongPathNameW(filePath.c_str(), longExpected, MAX_PATH), 0u);
    const std::wstring shown = Value(report, L"Backing file");
    ASSERT_NE(::GetLongPathNameW(shown.c_str(), longActual, MAX_PATH), 0u) << Utf8(shown);
    EXPECT_EQ(::CompareStringOrdinal(longExpected, -1, longActual, -1, TRUE), CSTR_EQUAL) << Utf8(shown);
}

TEST(SectionReport, DeniedReadHidesOnlyTheViewFacts) {
    const std::wstring name = UniqueName(L"QuillonInspectDenied");
    // Reading is denied to everyone; READ_CONTROL and everything else is granted.
    UniqueHandle section = CreateSection(name, PAGE_READWRITE | SEC_COMMIT, 4096, L"D:(D;;0x4;;;WD)(A;;GA;;;WD)");
    ASSERT_TRUE(section);
    const SectionReport report = GatherSectionReport(name);
    Show(report);
    for (const SectionFact& fact : report.facts) {
        SCOPED_TRACE(Utf8(fact.field));
        if (fact.field == L"View size" || fact.field == L"Regions") {
            EXPECT_EQ(FactDisplayValue(fact), L"unavailable: access denied");
        } else {
            EXPECT_TRUE(fact.available) << Utf8(fact.value);
        }
    }
    EXPECT_NE(Value(report, L"Security (SDDL)").find(L"(D;;LC;;;WD)"), std::wstring::npos);
    // The access rows tell the same story as the DACL: no map read for anyone.
    EXPECT_EQ(Value(report, L"Access for you").find(L"map read"), std::wstring::npos);
    EXPECT_NE(Value(report, L"Access for you").find(L"read control"), std::wstring::npos);
    EXPECT_TRUE(report.regions.empty());
}

TEST(SectionReport, AnUnknownNameSaysSoInEveryFact) {
    const SectionReport report = GatherSectionReport(UniqueName(L"QuillonInspectNeverMade"));
    EXPECT_EQ(Value(report, L"Attributes"), L"unavailable: the section no longer exists");
    EXPECT_EQ(Value(report, L"View size"), L"unavailable: the section no longer exists");
    EXPECT_EQ(Value(report, L"Owner"), L"unavailable: the section no longer exists");
}

// Which warnings a section gives under each platform: Wine's access check ignores mandatory labels,
// Windows applies the explicit label, or the implicit medium one with no-write-up.
struct WarningCase {
    const wchar_t* sddl;
    bool wineLow, wineAppContainer, windowsLow, windowsAppContainer, nullDacl;
};

TEST(SectionReport, WarningsFollowTheComputedAccess) {
    const WarningCase cases[] = {
        // Everyone may write, and the label lets low integrity write.
        {L"D:(A;;GA;;;WD)S:(ML;;NW;;;LW)", true, false, true, false, false},
        // Everyone and every app may write, no label: medium by default stops low writers on Windows.
        {L"D:(A;;GA;;;WD)(A;;GA;;;AC)", true, true, false, false, false},
        // The same with a low label: both kinds of low caller may write everywhere.
        {L"D:(A;;GA;;;WD)(A;;GA;;;AC)S:(ML;;NW;;;LW)", true, true, true, true, false},
        // Read-only for everyone: no write warning whatever the label says.
        {L"D:(A;;GR;;;WD)(A;;GR;;;AC)S:(ML;;NW;;;LW)", false, false, false, false, false},
        // Apps granted, but the user's own groups are not: an app needs both checks to pass.
        {L"D:(A;;GR;;;WD)(A;;GA;;;AC)S:(ML;;NW;;;LW)", false, false, false, false, false},
        // A NULL DACL always warns.
        {L"D:NO_ACCESS_CONTROL", true, true, false, false, true},
    };
    const bool wine = RunningUnderWine();
    for (const WarningCase& c : cases) {
        SCOPED_TRACE(Utf8(c.sddl));
        const std::wstring name = UniqueName(L"QuillonInspectWarn");
        UniqueHandle section = CreateSection(name, PAGE_READWRITE | SEC_COMMIT, 4096, c.sddl);
        ASSERT_TRUE(section);
        const SectionReport report = GatherSectionReport(name);
        Show(report);
        const bool lowWrites = Value(report, L"Access at low integrity").find(L"map write") != std::wstring::npos;
        const bool appWrites = Value(report, L"Access for AppContainers").find(L"map write") != std::wstring::npos;
        EXPECT_EQ(lowWrites, wine ? c.wineLow : c.windowsLow);
        EXPECT_EQ(appWrites, wine ? c.wineAppContainer : c.windowsAppContainer);
        std::vector<std::wstring> expected;
        if (lowWrites) expected.push_back(L"A low-integrity process can write to this section.");
        if (appWrites) expected.push_back(L"AppContainer apps can write to this section.");
        if (c.nullDacl) expected.push_back(L"The section has a NULL DACL: every caller gets full access.");
        EXPECT_EQ(report.warnings, expected);
    }
}

TEST(SectionReport, HandlesListThisProcessAndAnother) {
    const std::wstring name = UniqueName(L"QuillonInspectHeld");
    UniqueHandle section = CreateSection(name, PAGE_READWRITE | SEC_COMMIT, 4096, nullptr);
    ASSERT_TRUE(section);
    // A second process, kept suspended, that holds a copy of the handle.
    wchar_t self[MAX_PATH];
    ASSERT_NE(::GetModuleFileNameW(nullptr, self, MAX_PATH), 0u);
    std::wstring command = L"\"" + std::wstring(self) + L"\" --gtest_list_tests";
    STARTUPINFOW startup{};
    startup.cb = sizeof(startup);
    PROCESS_INFORMATION child{};
    ASSERT_TRUE(::CreateProcessW(self, &command[0], nullptr, nullptr, FALSE, CREATE_SUSPENDED, nullptr, nullptr,
                                 &startup, &child));
    UniqueHandle childProcess(child.hProcess);
    UniqueHandle childThread(child.hThread);
    HANDLE inChild = nullptr;
    ASSERT_TRUE(::DuplicateHandle(::GetCurrentProcess(), section.Get(), childProcess.Get(), &inChild, SECTION_MAP_READ,
                                  FALSE, 0));

    const SectionReport report = GatherSectionReport(name);
    Show(report);
    ::TerminateProcess(childProcess.Get(), 0);
    const std::wstring handles = Value(report, L"Handles");
    const std::wstring own = L"process " + std::to_wstring(::GetCurrentProcessId()) + L" (";
    const std::wstring other = L"process " + std::to_wstring(child.dwProcessId) + L" (";
    EXPECT_NE(handles.find(own), std::wstring::npos) << Utf8(handles);
    EXPECT_NE(handles.find(other), std::wstring::npos) << Utf8(handles);
    EXPECT_NE(handles.find(L"inspect_tests.exe"), std::wstring::npos) << Utf8(handles);
    // The child's copy carries exactly the access it was given.
    EXPECT_NE(handles.find(other + L"inspect_tests.exe), handle " + FormatSizeText(reinterpret_cast<ULONG_PTR>(inChild)) +
                           L": map read (0x00000004)"),
              std::wstring::npos)
        << Utf8(handles);
    // The report's own probing handles are not counted.
    EXPECT_EQ(handles.find(L"\n"), handles.find(L"\nprocess " + std::to_wstring(child.dwProcessId)));
}

TEST(SectionReportText, OneLinePerFactIndentedContinuationsCrLf) {
    SectionReport report;
    report.facts = {{L"Name", L"X", true}, {L"Regions", L"a\nb", true}, {L"Owner", L"access denied", false}};
    report.warnings = {L"Careful."};
    EXPECT_EQ(FormatReportText(report),
              L"Name: X\r\nRegions: a\r\n    b\r\nOwner: unavailable: access denied\r\nWarning: Careful.\r\n");
}

}  // namespace
}  // namespace quillon::test
