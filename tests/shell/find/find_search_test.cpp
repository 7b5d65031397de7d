// Find's matching and walk order as plain functions over a table of rows.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "catalogue/section_entry.h"
#include "shell/find_search.h"

namespace quillon {
namespace {

TEST(FindMatching, OnlyAToZFoldAndOnlyWithoutMatchCase) {
    struct Case {
        const wchar_t* cell;
        const wchar_t* what;
        bool matchCase;
        bool found;
    };
    const Case cases[] = {
        {L"Global\\Name", L"global\\", false, true},
        {L"Global\\Name", L"global\\", true, false},
        {L"Global\\Name", L"Global\\", true, true},
        {L"[Access Denied]", L"denied", false, true},
        {L"0x10000", L"0x1000", false, true},
        {L"0xB000", L"0xb", false, true},
        {L"0xB000", L"0xb", true, false},
        {L"\u00C4rger", L"\u00E4rger", false, false},  // Ä and ä stay apart
        {L"\u00E4rger", L"\u00E4RGER", false, true},
        {L"\u00C4rger", L"\u00C4", true, true},
        {L"abc", L"", false, true},                     // an empty text matches any cell
        {L"", L"a", false, false},
        {L"ab", L"abc", false, false},
        {L"x[y]z", L"[Y]", false, true},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(testing::Message() << "case " << (&c - cases));
        EXPECT_EQ(CellContains(c.cell, c.what, c.matchCase), c.found);
    }
}

TEST(FindMatching, StartRowIsNextToTheLowestSelectedRowOrAnEndOfTheList) {
    EXPECT_EQ(FindStartRow(-1, true, 5), 0);
    EXPECT_EQ(FindStartRow(-1, false, 5), 4) << "up with nothing selected starts at the last row";
    EXPECT_EQ(FindStartRow(-1, false, 0), -1) << "an empty list has no row to start at";
    EXPECT_EQ(FindStartRow(4, true, 5), 5);
    EXPECT_EQ(FindStartRow(4, false, 5), 3);
    EXPECT_EQ(FindStartRow(0, false, 5), -1);
}

TEST(FindMatching, WalkGoesOneWayWithoutWrappingAndLooksAtBothColumns) {
    const std::vector<SectionEntry> rows = {
        {L"Global\\alpha", L"0x1000"},  {L"beta", L"0x10000"},  {L"gamma", L"[Access Denied]"},
        {L"Global\\delta", L"0x3000"},  {L"alphabet", L"0x2000"},
    };
    const auto cell = [&rows](int row, int column) { return column == 0 ? rows[row].name : rows[row].size; };
    const int count = static_cast<int>(rows.size());
    struct Case {
        const wchar_t* text;
        bool matchCase;
        bool down;
        int firstSelected;
        int found;
    };
    const Case cases[] = {
        {L"alpha", false, true, -1, 0},  {L"alpha", false, true, 0, 4},   {L"alpha", false, true, 4, -1},
        {L"alpha", false, false, 4, 0},  {L"alpha", false, false, 0, -1}, {L"beta", false, false, -1, 1},
        {L"gamma", false, false, -1, 2}, {L"alpha", false, false, -1, 4}, {L"denied", false, true, -1, 2},
        {L"0x1000", false, true, -1, 0}, {L"0x1000", false, true, 0, 1},  {L"0x1000", false, true, 1, -1},
        {L"global\\", false, true, 0, 3}, {L"global\\", true, true, -1, -1}, {L"Global\\", true, false, 3, 0},
        {L"", false, true, 1, 2},         {L"", false, true, -1, 0},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(testing::Message() << "case " << (&c - cases));
        EXPECT_EQ(FindMatchingRow({c.text, c.matchCase, c.down}, c.firstSelected, count, cell), c.found);
    }
    EXPECT_EQ(FindMatchingRow({L"", false, true}, -1, 0, cell), -1);
}

}  // namespace
}  // namespace quillon
