#pragma once
// Sorting the section list by one of its columns, with the direction shown as an arrow in the header.
// The sort state word: bits 0-7 the column (0 name, 1 size), bit 8 set for descending.
#include <windows.h>

#include <cstdint>
#include <string>

namespace quillon {

inline constexpr DWORD kSortColumnMask = 0xFF;
inline constexpr DWORD kSortDescending = 0x100;

// The value of a size text as an unsigned 64-bit number in base 16: "0x1000" is 4096,
// "0x10000000000" is 1 TiB, and "[Access Denied]" (no digits) is 0.
std::uint64_t SizeTextValue(const wchar_t* text) noexcept;

// Compares two cell texts of `column`: names by code unit with only A-Z folded, sizes by value.
// Negative, 0 or positive; descending in `sortState` inverts the sign.
int CompareCellTexts(const std::wstring& a, const std::wstring& b, DWORD sortState) noexcept;

// What a click on `column` does, given that column's header format before the click: an up arrow
// turns into a down arrow (descending), anything else into an up arrow (ascending).
struct SortDecision {
    int format;       // the clicked column's new header format
    DWORD sortState;  // the new sort state word
};
SortDecision DecideSort(int clickedFormat, int column) noexcept;

// What a click on `column` of the list's header decides, from that column's arrow now.
SortDecision DecideColumnClick(HWND list, int column) noexcept;

// Clears both columns' arrows and gives `column` the header format `format`.
void ShowSortArrow(HWND list, int column, int format) noexcept;

// A header click on `column`: sorts the rows, and only once they are sorted shows the new arrow and
// stores the new state in `sortState`. False, with rows, arrows and state as they were, when the rows
// could not be sorted.
bool SortByColumnClick(HWND list, int column, DWORD& sortState) noexcept;

// Whether the header shows a sort arrow on either column: the rows have been sorted by `sortState`.
bool ShowsSortArrow(HWND list) noexcept;

// Rearranges the list's rows in the order of CompareCellTexts. The column's texts are read once into
// a snapshot; each row carries its snapshot index in its item data while LVM_SORTITEMS runs, and gets
// item data 0 back afterwards. Selection and focus move with their rows. Returns false, with the rows
// left as they were, when memory for the snapshot cannot be had.
bool SortListRows(HWND list, DWORD sortState) noexcept;

}  // namespace quillon
