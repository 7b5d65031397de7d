#include "catalogue/sort_rows.h"

#include <commctrl.h>

#include <cwchar>
#include <string>
#include <vector>

#include "catalogue/list_rows.h"
#include "catalogue/redraw_suspension.h"
#include "common/text.h"

namespace quillon {

namespace {

constexpr int kArrowFlags = HDF_SORTUP | HDF_SORTDOWN;

struct Snapshot {
    std::vector<std::wstring> texts;
    DWORD sortState;
};

// LVM_SORTITEMS hands over the rows' item data, which holds each row's snapshot index during the sort.
int CALLBACK CompareSnapshotRows(LPARAM first, LPARAM second, LPARAM context) {
    const auto* snapshot = reinterpret_cast<const Snapshot*>(context);
    const std::size_t count = snapshot->texts.size();
    static const std::wstring empty;
    const std::size_t i = static_cast<std::size_t>(first);
    const std::size_t j = static_cast<std::size_t>(second);
    return CompareCellTexts(i < count ? snapshot->texts[i] : empty, j < count ? snapshot->texts[j] : empty,
                            snapshot->sortState);
}

void SetItemData(HWND list, int row, LPARAM data) noexcept {
    LVITEMW item{};
    item.mask = LVIF_PARAM;
    item.iItem = row;
    item.lParam = data;
    ::SendMessageW(list, LVM_SETITEMW, 0, reinterpret_cast<LPARAM>(&item));
}

int HeaderFormat(HWND header, int column) noexcept {
    HDITEMW item{};
    item.mask = HDI_FORMAT;
    if (!::SendMessageW(header, HDM_GETITEMW, static_cast<WPARAM>(column), reinterpret_cast<LPARAM>(&item))) return 0;
    return item.fmt;
}

void SetHeaderFormat(HWND header, int column, int format) noexcept {
    HDITEMW item{};
    item.mask = HDI_FORMAT;
    item.fmt = format;
    ::SendMessageW(header, HDM_SETITEMW, static_cast<WPARAM>(column), reinterpret_cast<LPARAM>(&item));
}

HWND HeaderOf(HWND list) noexcept { return reinterpret_cast<HWND>(::SendMessageW(list, LVM_GETHEADER, 0, 0)); }

}  // namespace

std::uint64_t SizeTextValue(const wchar_t* text) noexcept {
    if (!text) return 0;
    return std::wcstoull(text, nullptr, 16);
}

int CompareCellTexts(const std::wstring& a, const std::wstring& b, DWORD sortState) noexcept {
    int result = 0;
    if ((sortState & kSortColumnMask) == 1) {
        const std::uint64_t first = SizeTextValue(a.c_str());
        const std::uint64_t second = SizeTextValue(b.c_str());
        // The sign of first - second, without the overflow the plain difference could have.
        result = (first > second) - (first < second);
    } else {
        result = CompareFoldedAZ(a, b);
    }
    return (sortState & kSortDescending) ? -result : result;
}

SortDecision DecideSort(int clickedFormat, int column) noexcept {
    const DWORD columnBits = static_cast<DWORD>(column) & kSortColumnMask;
    if (clickedFormat & HDF_SORTUP) return {(clickedFormat & ~kArrowFlags) | HDF_SORTDOWN, columnBits | kSortDescending};
    return {(clickedFormat & ~kArrowFlags) | HDF_SORTUP, columnBits};
}

SortDecision DecideColumnClick(HWND list, int column) noexcept {
    return DecideSort(HeaderFormat(HeaderOf(list), column), column);
}

void ShowSortArrow(HWND list, int column, int format) noexcept {
    const HWND header = HeaderOf(list);
    for (int i = 0; i < 2; ++i) SetHeaderFormat(header, i, HeaderFormat(header, i) & ~kArrowFlags);
    SetHeaderFormat(header, column, format);
}

bool SortByColumnClick(HWND list, int column, DWORD& sortState) noexcept {
    const SortDecision decision = DecideColumnClick(list, column);
    if (!SortListRows(list, decision.sortState)) return false;
    ShowSortArrow(list, column, decision.format);
    sortState = decision.sortState;
    return true;
}

bool ShowsSortArrow(HWND list) noexcept {
    const HWND header = HeaderOf(list);
    for (int i = 0; i < 2; ++i)
        if (HeaderFormat(header, i) & kArrowFlags) return true;
    return false;
}

bool SortListRows(HWND list, DWORD sortState) noexcept {
    const int column = static_cast<int>(sortState & kSortColumnMask);
    Snapshot snapshot{{}, sortState};
    try {
        const int count = static_cast<int>(::SendMessageW(list, LVM_GETITEMCOUNT, 0, 0));
        snapshot.texts.reserve(static_cast<std::size_t>(count));
        for (int row = 0; row < count; ++row) snapshot.texts.push_back(ReadCellText(list, row, column));
    } catch (...) {
        return false;
    }
    const int count = static_cast<int>(snapshot.texts.size());
    // Each item-data change repaints its row in a visible list: 10,000 of them took most of a second.
    RedrawSuspension quiet(list);
    for (int row = 0; row < count; ++row) SetItemData(list, row, static_cast<LPARAM>(row));
    ::SendMessageW(list, LVM_SORTITEMS, reinterpret_cast<WPARAM>(&snapshot),
                   reinterpret_cast<LPARAM>(&CompareSnapshotRows));
    // Rows carry no item data outside a sort.
    for (int row = 0; row < count; ++row) SetItemData(list, row, 0);
    return true;
}

}  // namespace quillon
