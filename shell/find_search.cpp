#include "shell/find_search.h"

#include <commctrl.h>

#include "catalogue/list_rows.h"
#include "common/text.h"

namespace quillon {

namespace {

// The search text is folded once; each cell is folded as it is read.
class CellMatcher {
public:
    explicit CellMatcher(const FindQuery& query)
        : what_(query.matchCase ? query.text : FoldedAZ(query.text)), matchCase_(query.matchCase) {}

    bool Matches(std::wstring cell) const {
        if (!matchCase_)
            for (wchar_t& c : cell) c = FoldAZ(c);
        return cell.find(what_) != std::wstring::npos;
    }

private:
    std::wstring what_;
    bool matchCase_;
};

}  // namespace

bool CellContains(std::wstring_view cell, std::wstring_view what, bool matchCase) {
    FindQuery query{std::wstring(what), matchCase, true};
    return CellMatcher(query).Matches(std::wstring(cell));
}

int FindStartRow(int firstSelected, bool down, int rowCount) noexcept {
    if (firstSelected < 0) return down ? 0 : rowCount - 1;
    return down ? firstSelected + 1 : firstSelected - 1;
}

int FindMatchingRow(const FindQuery& query, int firstSelected, int rowCount,
                    const std::function<std::wstring(int row, int column)>& cellText) {
    const CellMatcher matcher(query);
    const int step = query.down ? 1 : -1;
    for (int row = FindStartRow(firstSelected, query.down, rowCount); row >= 0 && row < rowCount; row += step) {
        for (int column = 0; column < 2; ++column)
            if (matcher.Matches(cellText(row, column))) return row;
    }
    return -1;
}

int FindRowInList(HWND list, const FindQuery& query) {
    const int firstSelected = FirstSelectedRow(list);
    const int rowCount = static_cast<int>(::SendMessageW(list, LVM_GETITEMCOUNT, 0, 0));
    return FindMatchingRow(query, firstSelected, rowCount,
                           [list](int row, int column) { return ReadCellText(list, row, column); });
}

}  // namespace quillon
