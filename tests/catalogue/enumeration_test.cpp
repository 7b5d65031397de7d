// Walking the object directories and filling a real section list.
#include <windows.h>
#include <commctrl.h>
#include <winternl.h>

#include <gtest/gtest.h>

#include <algorithm>
#include <cstring>
#include <memory>

#include "catalogue/object_directory.h"
#include "catalogue/quillon_view.h"
#include "catalogue/section_view.h"
#include "tests/support/test_sections.h"
#include "tests/support/test_windows.h"

namespace quillon {
namespace {

using test::SectionOptions;
using test::TestSection;
using test::UniqueName;

unsigned long CurrentSession() {
    DWORD session = 0;
    ::ProcessIdToSessionId(::GetCurrentProcessId(), &session);
    return session;
}

// A section list inside a plain parent window, set up the way the main frame does it.
class SectionListTest : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_TRUE(ResolveNativeDirectoryRoutines());
        ASSERT_NE(view_.Create(parent_.Get()), nullptr);
        view_.InsertColumns();
    }
    HWND List() const { return view_.Window(); }

    test::TestParentWindow parent_;
    CQuillonView view_;
};

TEST(ObjectDirectory, TypeNameComparisonFoldsOnlyAToZ) {
    struct Case {
        const wchar_t* type;
        bool section;
    };
    const Case cases[] = {{L"Section", true},  {L"SECTION", true}, {L"section", true}, {L"SectionX", true},
                          {L"Sectio", false},  {L"", false},       {L"Event", false},  {L"Directory", false},
                          {L"SymbolicLink", false}, {L"Secti\u00D3n", false}};
    for (const Case& c : cases) {
        SCOPED_TRACE(testing::Message() << static_cast<int>(std::wcslen(c.type)));
        EXPECT_EQ(IsSectionTypeName(c.type), c.section);
    }
    EXPECT_FALSE(IsSectionTypeName(nullptr));
}

TEST(ObjectDirectory, SessionPathCarriesTheSessionId) {
    EXPECT_EQ(SessionDirectoryPath(1), L"\\Sessions\\1\\BaseNamedObjects");
    EXPECT_EQ(SessionDirectoryPath(4294967295ul), L"\\Sessions\\4294967295\\BaseNamedObjects");
}

TEST_F(SectionListTest, ColumnsAndStylesAreThoseOfTheCatalogue) {
    EXPECT_EQ(static_cast<DWORD>(::GetWindowLongW(List(), GWL_STYLE)) & ~static_cast<DWORD>(WS_HSCROLL | WS_VSCROLL), 0x56000009u);
    EXPECT_TRUE(::GetWindowLongW(List(), GWL_EXSTYLE) & WS_EX_CLIENTEDGE);
    EXPECT_EQ(::SendMessageW(List(), LVM_GETEXTENDEDLISTVIEWSTYLE, 0, 0) & 0x120, 0x120);
    const wchar_t* names[] = {L"Mapping Name", L"Size"};
    const int widths[] = {600, 200};
    for (int i = 0; i < 2; ++i) {
        wchar_t text[64] = {};
        LVCOLUMNW column{};
        column.mask = LVCF_TEXT | LVCF_WIDTH | LVCF_FMT;
        column.pszText = text;
        column.cchTextMax = 64;
        ASSERT_TRUE(::SendMessageW(List(), LVM_GETCOLUMNW, i, reinterpret_cast<LPARAM>(&column)));
        EXPECT_STREQ(text, names[i]);
        EXPECT_EQ(column.cx, widths[i]);
        EXPECT_EQ(column.fmt & LVCFMT_JUSTIFYMASK, LVCFMT_LEFT);
    }
}

TEST_F(SectionListTest, GlobalRowsComeFirstWithPrefixAndBothNamesakesList) {
    const std::wstring globalName = UniqueName(L"QuillonX");
    const std::wstring sessionName = UniqueName(L"QuillonY");
    const std::wstring twinName = UniqueName(L"QuillonTwin");
    TestSection global(globalName, SectionOptions{100, true});
    TestSection session(sessionName, SectionOptions{45056});
    TestSection twinGlobal(twinName, SectionOptions{4096, true});
    TestSection twinSession(twinName, SectionOptions{8192});
    TestSection denied(UniqueName(L"QuillonDenied"), SectionOptions{4096, false, false, true});
    ASSERT_TRUE(global.IsValid() && session.IsValid() && twinGlobal.IsValid() && twinSession.IsValid() && denied.IsValid());

    view_.Refresh(CurrentSession());
    const auto rows = test::ReadListRows(List());

    // Every "Global\" row stands before every session row.
    const auto firstSession = std::find_if(rows.begin(), rows.end(),
                                           [](const SectionEntry& r) { return r.name.rfind(L"Global\\", 0) != 0; });
    EXPECT_TRUE(std::all_of(firstSession, rows.end(), [](const SectionEntry& r) { return r.name.rfind(L"Global\\", 0) != 0; }));

    const auto ours = test::RowsNamed(List(), {L"Global\\" + globalName, sessionName, L"Global\\" + twinName, twinName,
                                               denied.Name()});
    std::vector<std::pair<std::wstring, std::wstring>> got;
    for (const auto& r : ours) got.emplace_back(r.name, r.size);
    std::sort(got.begin(), got.end());
    std::vector<std::pair<std::wstring, std::wstring>> want = {
        {L"Global\\" + globalName, L"0x1000"}, {sessionName, L"0xB000"},  {L"Global\\" + twinName, L"0x1000"},
        {twinName, L"0x2000"},                 {denied.Name(), L"[Access Denied]"}};
    std::sort(want.begin(), want.end());
    EXPECT_EQ(got, want);
}

// NtCreateDirectoryObject, to put a sub-directory into the session's directory.
HANDLE CreateSubDirectory(const std::wstring& path) {
    using Fn = NTSTATUS(NTAPI*)(PHANDLE, ACCESS_MASK, POBJECT_ATTRIBUTES);
    auto create = reinterpret_cast<Fn>(
        reinterpret_cast<void*>(::GetProcAddress(::GetModuleHandleW(L"ntdll.dll"), "NtCreateDirectoryObject")));
    if (!create) return nullptr;
    UNICODE_STRING name{};
    ::RtlInitUnicodeString(&name, path.c_str());
    OBJECT_ATTRIBUTES attributes;
    std::memset(&attributes, 0, sizeof(attributes));
    attributes.Length = sizeof(attributes);
    attributes.ObjectName = &name;
    HANDLE handle = nullptr;
    return create(&handle, 0xF000F /*DIRECTORY_ALL_ACCESS*/, &attributes) >= 0 ? handle : nullptr;
}

TEST_F(SectionListTest, OtherObjectTypesGiveNoRow) {
    const std::wstring stem = UniqueName(L"QuillonNotASection");
    HANDLE event = ::CreateEventW(nullptr, TRUE, FALSE, (stem + L"_event").c_str());
    HANDLE mutex = ::CreateMutexW(nullptr, FALSE, (stem + L"_mutex").c_str());
    HANDLE semaphore = ::CreateSemaphoreW(nullptr, 0, 1, (stem + L"_semaphore").c_str());
    HANDLE directory = CreateSubDirectory(SessionDirectoryPath(CurrentSession()) + L"\\" + stem + L"_directory");
    ASSERT_TRUE(event && mutex && semaphore);
    EXPECT_NE(directory, nullptr);
    TestSection section(stem + L"_section", SectionOptions{});

    view_.Refresh(CurrentSession());
    std::vector<std::wstring> found;
    for (const auto& row : test::ReadListRows(List()))
        if (row.name.find(stem) != std::wstring::npos) found.push_back(row.name);
    EXPECT_EQ(found, std::vector<std::wstring>{stem + L"_section"});

    // The global directory's own symbolic links ("Global", "Local", "Session") are not sections either.
    for (const wchar_t* link : {L"Global\\Global", L"Global\\Local", L"Global\\Session"})
        EXPECT_EQ(test::FindRow(List(), link), -1) << link;

    for (HANDLE h : {event, mutex, semaphore, directory})
        if (h) ::CloseHandle(h);
}

TEST_F(SectionListTest, AnUnreadableDirectoryAddsNoRowsAndTheOtherStillLists) {
    const std::wstring globalName = UniqueName(L"QuillonOnlyGlobal");
    const std::wstring sessionName = UniqueName(L"QuillonOnlySession");
    TestSection global(globalName, SectionOptions{4096, true});
    TestSection session(sessionName, SectionOptions{});

    view_.Refresh(987654);  // no such session directory
    EXPECT_NE(test::FindRow(List(), L"Global\\" + globalName), -1);
    EXPECT_EQ(test::FindRow(List(), sessionName), -1);
    for (const auto& row : test::ReadListRows(List())) EXPECT_EQ(row.name.rfind(L"Global\\", 0), 0u) << row.name.c_str();

    // Directly: a path that does not exist reports nothing.
    struct Count final : SectionSink {
        int n = 0;
        void OnSection(const wchar_t*, std::size_t) override { ++n; }
    } count;
    EnumerateDirectory(L"\\NoSuchDirectory\\Anywhere", nullptr, count);
    EXPECT_EQ(count.n, 0);
}

TEST_F(SectionListTest, LongNamesAreReadBackWhole) {
    const std::wstring name = UniqueName(std::wstring(600, L'q'));
    TestSection section(name, SectionOptions{});
    ASSERT_TRUE(section.IsValid());
    view_.Refresh(CurrentSession());
    const int row = test::FindRow(List(), name);
    ASSERT_NE(row, -1);
    EXPECT_EQ(view_.CellText(row, 0).size(), name.size());
    EXPECT_EQ(view_.CellText(row, 1), L"0x1000");
}

TEST_F(SectionListTest, ASectionClosedAfterListingCanNoLongerBeOpened) {
    auto section = std::make_unique<TestSection>(UniqueName(L"QuillonVanish"), SectionOptions{});
    const std::wstring name = section->Name();
    view_.Refresh(CurrentSession());
    const int row = test::FindRow(List(), name);
    ASSERT_NE(row, -1);
    section.reset();
    SectionView view;
    EXPECT_LT(view.Open(view_.CellText(row, 0).c_str()), 0);
}

TEST_F(SectionListTest, RefreshRelistsInEnumerationOrderWithNothingSelected) {
    std::vector<TestSection> sections;
    std::vector<std::wstring> names;
    for (int i = 0; i < 5; ++i) {
        sections.emplace_back(UniqueName(L"QuillonOrder"), SectionOptions{4096, i % 2 == 0});
        names.push_back(sections.back().Name());
    }
    view_.Refresh(CurrentSession());
    ASSERT_TRUE(view_.SelectOneRow(0));
    ASSERT_TRUE(view_.SelectOneRow(view_.RowCount() - 1));
    // Reverse the rows so that a refresh has something to undo.
    struct Reverse {
        static int CALLBACK Compare(LPARAM a, LPARAM b, LPARAM) { return static_cast<int>(b - a); }
    };
    ::SendMessageW(List(), LVM_SORTITEMSEX, 0, reinterpret_cast<LPARAM>(&Reverse::Compare));

    view_.Refresh(CurrentSession());
    EXPECT_EQ(::SendMessageW(List(), LVM_GETSELECTEDCOUNT, 0, 0), 0);
    EXPECT_EQ(view_.SelectedEntry(), -1);

    // The same order a direct walk gives.
    struct Collect final : SectionSink {
        std::vector<std::wstring> names;
        void OnSection(const wchar_t* text, std::size_t) override { names.emplace_back(text); }
    } walk;
    EnumerateDirectory(kGlobalDirectoryPath, kGlobalPrefix, walk);
    EnumerateDirectory(SessionDirectoryPath(CurrentSession()).c_str(), nullptr, walk);
    std::vector<std::wstring> listed;
    for (const auto& row : test::ReadListRows(List())) listed.push_back(row.name);
    EXPECT_EQ(listed, walk.names);
}

TEST_F(SectionListTest, SelectOneRowLeavesOnlyThatRowSelectedAndFocused) {
    std::vector<TestSection> sections;
    for (int i = 0; i < 3; ++i) sections.emplace_back(UniqueName(L"QuillonSelect"), SectionOptions{});
    view_.Refresh(CurrentSession());
    ASSERT_GE(view_.RowCount(), 3);
    LVITEMW all{};
    all.stateMask = LVIS_SELECTED;
    all.state = LVIS_SELECTED;
    ::SendMessageW(List(), LVM_SETITEMSTATE, static_cast<WPARAM>(-1), reinterpret_cast<LPARAM>(&all));
    ASSERT_EQ(view_.SelectedEntry(), 0);

    ASSERT_TRUE(view_.SelectOneRow(2));
    EXPECT_EQ(::SendMessageW(List(), LVM_GETSELECTEDCOUNT, 0, 0), 1);
    EXPECT_EQ(view_.SelectedEntry(), 2);
    EXPECT_EQ(::SendMessageW(List(), LVM_GETNEXTITEM, static_cast<WPARAM>(-1), LVNI_FOCUSED), 2);
    EXPECT_FALSE(view_.SelectOneRow(view_.RowCount() + 5));
}

}  // namespace
}  // namespace quillon
