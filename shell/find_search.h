#pragma once
// Finding the next row of the section list whose name or size text contains a search text.
#include <windows.h>

#include <functional>
#include <string>
#include <string_view>

namespace quillon {

struct FindQuery {
    std::wstring text;  // as typed
    bool matchCase = false;
    bool down = true;
};

// Whether `what` occurs anywhere in `cell`. Without Match case only A-Z are folded, on both sides;
// every other character, "Ä" and "ä" among them, is compared as it stands. An empty text matches.
bool CellContains(std::wstring_view cell, std::wstring_view what, bool matchCase);

// The first row the search examines: next to the lowest selected row in the search direction; with
// no row selected (`firstSelected` -1), row 0 going down and the last row going up.
int FindStartRow(int firstSelected, bool down, int rowCount) noexcept;

// Walks the rows from the start row in the query's direction up to the last row (down) or row 0 (up),
// with no wrap-around, looking at column 0 and then column 1 of each row. Returns the first matching
// row, or -1.
int FindMatchingRow(const FindQuery& query, int firstSelected, int rowCount,
                    const std::function<std::wstring(int row, int column)>& cellText);

// The same walk over the list's own texts, starting next to its lowest selected row.
int FindRowInList(HWND list, const FindQuery& query);

}  // namespace quillon
