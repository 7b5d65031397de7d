// Sorting the section list by a header click, through the frame's hook, on real rows.
#include <windows.h>
#include <commctrl.h>

#include <gtest/gtest.h>

#include <algorithm>
#include <random>
#include <set>

#include "catalogue/list_rows.h"
#include "catalogue/sort_rows.h"
#include "common/unique_resource.h"
#include "shell/frame_commands.h"
#include "tests/catalogue/list_fixture.h"

namespace quillon::test {
namespace {

TEST(SortComparison, SizesCompareByHexValueAndDeniedCountsAsZero) {
    struct Case {
        const wchar_t* text;
        std::uint64_t value;
    };
    const Case cases[] = {{L"0x1000", 0x1000},
                          {L"0x9", 9},
                          {L"0x10", 16},
                          {L"0xB000", 0xB000},
                          {L"[Access Denied]", 0},
                          {L"", 0},
                          {L"0x7FFFFFFF", 0x7FFFFFFF},
                          {L"0x80000000", 0x80000000},
                          {L"0x100000000", 0x100000000},
                          {L"0x10000000000", 0x10000000000},
                          {L"0xFFFFFFFFFFFFF000", 0xFFFFFFFFFFFFF000}};
    for (const Case& c : cases) EXPECT_EQ(SizeTextValue(c.text), c.value) << static_cast<const void*>(c.text);
}

int Sign(int value) { return (value > 0) - (value < 0); }

TEST(SortComparison, NamesFoldOnlyAToZAndDescendingInvertsTheSign) {
    struct Case {
        const wchar_t* a;
        const wchar_t* b;
        DWORD state;
        int sign;
    };
    const Case cases[] = {
        {L"abc", L"ABC", 0, 0},
        {L"Global\\x", L"b", 0, 1},          // the prefix sorts the global rows under G
        {L"Global\\x", L"h", 0, -1},
        {L"a", L"ab", 0, -1},
        {L"\u00C4", L"\u00E4", 0, -1},       // only A-Z fold: capital A-umlaut stays below a-umlaut
        {L"[", L"a", 0, -1},                 // '[' (0x5B) below 'a' once 'A'-'Z' fold
        {L"a", L"b", kSortDescending, 1},
        {L"0x9", L"0x10", 1, -1},
        {L"0x10", L"0x9", 1, 1},
        {L"[Access Denied]", L"0x1000", 1, -1},
        {L"[Access Denied]", L"0x0", 1, 0},
        {L"0x9", L"0x10", 1 | kSortDescending, 1},
        {L"0x7FFFFFFF", L"0x0", 1, 1},
        {L"0x80000000", L"0x7FFFF000", 1, 1},      // past 2 GiB: no longer a tie
        {L"0x10000000000", L"0x400000000", 1, 1},
        {L"0x180000000", L"0x100000000", 1 | kSortDescending, -1},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(testing::Message() << "state " << c.state << " expected sign " << c.sign);
        EXPECT_EQ(Sign(CompareCellTexts(c.a, c.b, c.state)), c.sign);
        EXPECT_EQ(Sign(CompareCellTexts(c.b, c.a, c.state)), -c.sign);
    }
}

TEST(SortComparison, AClickTogglesItsOwnColumnAndStartsOthersAscending) {
    struct Case {
        int format;
        int column;
        int newFormat;
        DWORD state;
    };
    const Case cases[] = {
        {HDF_STRING, 0, HDF_STRING | HDF_SORTUP, 0},
        {HDF_STRING | HDF_SORTUP, 1, HDF_STRING | HDF_SORTDOWN, 1 | kSortDescending},
        {HDF_STRING | HDF_SORTDOWN, 1, HDF_STRING | HDF_SORTUP, 1},
        {HDF_SORTUP | HDF_SORTDOWN, 0, HDF_SORTDOWN, kSortDescending},
    };
    for (const Case& c : cases) {
        const SortDecision decision = DecideSort(c.format, c.column);
        EXPECT_EQ(decision.format, c.newFormat);
        EXPECT_EQ(decision.sortState, c.state);
    }
}

unsigned long CurrentSession() {
    DWORD session = 0;
    ::ProcessIdToSessionId(::GetCurrentProcessId(), &session);
    return session;
}

// The cursor at each row insertion into the list under test.
HWND g_list = nullptr;
std::vector<HCURSOR> g_cursors;
LRESULT CALLBACK RecordCursorOnInsert(int code, WPARAM wParam, LPARAM lParam) {
    const auto* message = reinterpret_cast<const CWPSTRUCT*>(lParam);
    if (code == HC_ACTION && message->hwnd == g_list && message->message == LVM_INSERTITEMW)
        g_cursors.push_back(::GetCursor());
    return ::CallNextHookEx(nullptr, code, wParam, lParam);
}

// The header's arrows at the moment the rows are handed to the list's sort.
std::vector<int> g_arrowsWhileSorting;
LRESULT CALLBACK RecordArrowsOnSort(int code, WPARAM wParam, LPARAM lParam) {
    const auto* message = reinterpret_cast<const CWPSTRUCT*>(lParam);
    if (code == HC_ACTION && message->hwnd == g_list && message->message == LVM_SORTITEMS) {
        HWND header = reinterpret_cast<HWND>(::SendMessageW(g_list, LVM_GETHEADER, 0, 0));
        for (int column = 0; column < 2; ++column) {
            HDITEMW item{};
            item.mask = HDI_FORMAT;
            ::SendMessageW(header, HDM_GETITEMW, static_cast<WPARAM>(column), reinterpret_cast<LPARAM>(&item));
            g_arrowsWhileSorting.push_back(item.fmt & (HDF_SORTUP | HDF_SORTDOWN));
        }
    }
    return ::CallNextHookEx(nullptr, code, wParam, lParam);
}

class SortTest : public ListFixture {
protected:
    int Arrow(int column) const {
        HWND header = reinterpret_cast<HWND>(::SendMessageW(List(), LVM_GETHEADER, 0, 0));
        HDITEMW item{};
        item.mask = HDI_FORMAT;
        ::SendMessageW(header, HDM_GETITEMW, static_cast<WPARAM>(column), reinterpret_cast<LPARAM>(&item));
        return item.fmt & (HDF_SORTUP | HDF_SORTDOWN);
    }

    void Click(int column) { RunSortCommand(List(), column, sortState_); }

    // Every pair of neighbouring rows stands in the comparison's order for the current state.
    ::testing::AssertionResult FullyOrdered() const {
        const int column = static_cast<int>(sortState_ & kSortColumnMask);
        const std::vector<SectionEntry> rows = ReadListRows(List());
        int bad = 0;
        int first = -1;
        for (std::size_t i = 1; i < rows.size(); ++i) {
            const std::wstring& a = column == 0 ? rows[i - 1].name : rows[i - 1].size;
            const std::wstring& b = column == 0 ? rows[i].name : rows[i].size;
            if (CompareCellTexts(a, b, sortState_) > 0) {
                if (first < 0) first = static_cast<int>(i);
                ++bad;
            }
        }
        if (bad == 0) return ::testing::AssertionSuccess() << rows.size() << " rows in order";
        return ::testing::AssertionFailure() << bad << " pairs of " << rows.size() << " rows out of order, first at row "
                                             << first;
    }

    std::vector<std::wstring> SizesOf(const std::vector<std::wstring>& names) const {
        std::vector<std::wstring> sizes;
        for (const SectionEntry& row : RowsNamed(List(), names)) sizes.push_back(row.size);
        return sizes;
    }

    DWORD sortState_ = 0;
};

TEST_F(SortTest, HeaderClicksSetArrowsStateAndOrder) {
    std::vector<std::wstring> names;
    const std::uint32_t sizes[] = {0x10000, 0x9000, 0x1000};
    for (std::uint32_t size : sizes) {
        SectionOptions options;
        options.size = size;
        names.push_back(AddSection(L"QlSort", options, false).Name());
    }
    SectionOptions denied;
    denied.denyRead = true;
    names.push_back(AddSection(L"QlSort", denied, false).Name());
    view_.Refresh(CurrentSession());
    ASSERT_EQ(RowsNamed(List(), names).size(), 4u);

    Click(1);
    EXPECT_EQ(sortState_, 1u);
    EXPECT_EQ(Arrow(1), HDF_SORTUP);
    EXPECT_EQ(Arrow(0), 0);
    EXPECT_TRUE(FullyOrdered());
    // 0x9000 before 0x10000: by value, not as text.
    EXPECT_EQ(SizesOf(names), (std::vector<std::wstring>{L"[Access Denied]", L"0x1000", L"0x9000", L"0x10000"}));
    // "[Access Denied]" counts as 0, so no measured row comes before it.
    const int deniedRow = FindRow(List(), names[3]);
    for (int row = 0; row < deniedRow; ++row) EXPECT_EQ(SizeTextValue(ReadCellText(List(), row, 1).c_str()), 0);

    Click(1);
    EXPECT_EQ(sortState_, 1u | kSortDescending);
    EXPECT_EQ(Arrow(1), HDF_SORTDOWN);
    EXPECT_TRUE(FullyOrdered());
    EXPECT_EQ(SizesOf(names), (std::vector<std::wstring>{L"0x10000", L"0x9000", L"0x1000", L"[Access Denied]"}));

    Click(0);
    EXPECT_EQ(sortState_, 0u);
    EXPECT_EQ(Arrow(0), HDF_SORTUP);
    EXPECT_EQ(Arrow(1), 0);
    EXPECT_TRUE(FullyOrdered());

    // The list alone refills in enumeration order; the Refresh command then sorts again as the arrow
    // says, under the wait cursor, so arrow and rows agree.
    Click(1);
    ASSERT_EQ(Arrow(1), HDF_SORTUP);
    CQuillonView fresh;
    ASSERT_NE(fresh.Create(Frame()), nullptr);
    fresh.InsertColumns();
    fresh.Refresh(CurrentSession());
    g_list = List();
    g_cursors.clear();
    HHOOK hook = ::SetWindowsHookExW(WH_CALLWNDPROC, &RecordCursorOnInsert, nullptr, ::GetCurrentThreadId());
    ::SetCursor(::LoadCursorW(nullptr, IDC_ARROW));
    RunRefreshCommand(view_, CurrentSession(), false, sortState_);
    ::UnhookWindowsHookEx(hook);
    ASSERT_FALSE(g_cursors.empty());
    EXPECT_EQ(g_cursors.front(), ::LoadCursorW(nullptr, IDC_WAIT));
    EXPECT_EQ(::GetCursor(), ::LoadCursorW(nullptr, IDC_ARROW));
    EXPECT_EQ(Arrow(1), HDF_SORTUP);
    EXPECT_EQ(sortState_, 1u);
    EXPECT_TRUE(FullyOrdered());
    EXPECT_EQ(SizesOf(names), (std::vector<std::wstring>{L"[Access Denied]", L"0x1000", L"0x9000", L"0x10000"}));
    std::multiset<std::wstring> listed, enumerated;
    for (const SectionEntry& row : ReadListRows(List())) listed.insert(row.name);
    for (const SectionEntry& row : ReadListRows(fresh.Window())) enumerated.insert(row.name);
    EXPECT_EQ(listed, enumerated);
    Click(0);
    EXPECT_EQ(Arrow(0), HDF_SORTUP);

    // The next click on the arrowed column toggles it.
    Click(0);
    EXPECT_EQ(sortState_, kSortDescending);
    EXPECT_EQ(Arrow(0), HDF_SORTDOWN);
    EXPECT_TRUE(FullyOrdered());
}

TEST_F(SortTest, HundredsOfShuffledRowsComeOutFullyOrderedWithSelectionAndFocus) {
    std::mt19937 random(20260415);
    const wchar_t letters[] = L"abcXYZ_";
    for (int i = 0; i < 300; ++i) {
        std::wstring prefix = L"QlMix";
        for (int k = 0; k < 3; ++k) prefix += letters[random() % 7];
        SectionOptions options;
        options.size = static_cast<std::uint32_t>(4096 * (1 + random() % 48));
        options.denyRead = (random() % 10 == 0);
        options.global = (random() % 4 == 0);
        AddSection(prefix, options);
    }
    ASSERT_EQ(view_.RowCount(), 300);
    Select({7, 150, 299});
    LVITEMW focus{};
    focus.stateMask = focus.state = LVIS_FOCUSED;
    ::SendMessageW(List(), LVM_SETITEMSTATE, 150, reinterpret_cast<LPARAM>(&focus));
    const std::set<std::wstring> selected = {view_.CellText(7, 0), view_.CellText(150, 0), view_.CellText(299, 0)};
    const std::wstring focused = view_.CellText(150, 0);

    for (int column : {0, 1, 1, 0}) {
        Click(column);
        SCOPED_TRACE(testing::Message() << "sort state " << sortState_);
        EXPECT_TRUE(FullyOrdered());
        std::set<std::wstring> nowSelected;
        for (int row : SelectedRows(List())) nowSelected.insert(view_.CellText(row, 0));
        EXPECT_EQ(nowSelected, selected);
        const int focusRow =
            static_cast<int>(::SendMessageW(List(), LVM_GETNEXTITEM, static_cast<WPARAM>(-1), LVNI_FOCUSED));
        ASSERT_GE(focusRow, 0);
        EXPECT_EQ(view_.CellText(focusRow, 0), focused);
        // Outside a sort the rows carry no item data.
        for (int row = 0; row < view_.RowCount(); ++row) {
            LVITEMW item{};
            item.mask = LVIF_PARAM;
            item.iItem = row;
            item.lParam = -1;
            ::SendMessageW(List(), LVM_GETITEMW, 0, reinterpret_cast<LPARAM>(&item));
            if (item.lParam != 0) {
                ADD_FAILURE() << "row " << row << " keeps item data " << item.lParam;
                break;
            }
        }
    }
}

// Reserved sections of up to 1 TiB cost nothing, and their size texts pass every 32-bit limit.
TEST_F(SortTest, SizesFrom2GiBUpSortByTheirFullValueBothWays) {
    const std::uint64_t sizes[] = {0x10000000000, 0x180000000, 0x7FFFF000, 0x400000000, 0x80000000, 0x100000000};
    std::vector<std::wstring> names;
    std::vector<UniqueHandle> held;
    for (std::uint64_t size : sizes) {
        const std::wstring name = UniqueName(L"QlHuge");
        held.emplace_back(::CreateFileMappingW(INVALID_HANDLE_VALUE, nullptr, PAGE_READWRITE | SEC_RESERVE,
                                               static_cast<DWORD>(size >> 32), static_cast<DWORD>(size), name.c_str()));
        ASSERT_TRUE(held.back()) << std::hex << size << " error " << ::GetLastError();
        view_.AppendSection(name.c_str());
        names.push_back(name);
    }
    SectionOptions denied;
    denied.denyRead = true;
    names.push_back(AddSection(L"QlHuge", denied).Name());
    const std::vector<std::wstring> ascending = {L"[Access Denied]", L"0x7FFFF000",  L"0x80000000",   L"0x100000000",
                                                 L"0x180000000",     L"0x400000000", L"0x10000000000"};
    std::vector<std::wstring> listed = SizesOf(names);
    std::sort(listed.begin(), listed.end());
    std::vector<std::wstring> expected = ascending;
    std::sort(expected.begin(), expected.end());
    ASSERT_EQ(listed, expected) << "the size texts as the list shows them";

    // The arrow changes only once the rows are sorted: at the sort it still shows the old state.
    g_list = List();
    g_arrowsWhileSorting.clear();
    HHOOK hook = ::SetWindowsHookExW(WH_CALLWNDPROC, &RecordArrowsOnSort, nullptr, ::GetCurrentThreadId());
    Click(1);
    ::UnhookWindowsHookEx(hook);
    EXPECT_EQ(g_arrowsWhileSorting, (std::vector<int>{0, 0}));
    EXPECT_EQ(Arrow(1), HDF_SORTUP);
    EXPECT_EQ(SizesOf(names), ascending);
    EXPECT_TRUE(FullyOrdered());

    Click(1);
    EXPECT_EQ(Arrow(1), HDF_SORTDOWN);
    EXPECT_EQ(SizesOf(names), std::vector<std::wstring>(ascending.rbegin(), ascending.rend()));
    EXPECT_TRUE(FullyOrdered());
}

}  // namespace
}  // namespace quillon::test
