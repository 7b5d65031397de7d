#pragma once
// Sorting the section list by one of its columns, with the direction shown as an arrow in the header.
// The sort state word: bits 0-7 the column (0 name, 1 size), bit 8 set for descending.
#include <windows.h>

#include <string>

namespace quillon {

inline constexpr DWORD kSortColumnMask = 0xFF;
inline constexpr DWORD kSortDescending = 0x100;

// The value of a size text as a signed 32-bit number in base 16, as wcstol reads it: "0x1000" is
// 4096, "[Access Denied]" is 0, anything above 0x7FFFFFFF is 0x7FFFFFFF.
long SizeTextValue(const wchar_t* text) noexcept;

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

// Header steps of a click on `column`: clears both columns' arrows, puts the new arrow on the clicked
// column and returns the new sort state word.
DWORD UpdateSortArrows(HWND list, int column) noexcept;

// Rearranges the list's rows in the order of CompareCellTexts. The column's texts are read once into
// a snapshot; each row carries its snapshot index in its item data while LVM_SORTITEMS runs, and gets
// item data 0 back afterwards. Selection and focus move with their rows. Returns false, with the rows
// left as they were, when memory for the snapshot cannot be had.
bool SortListRows(HWND list, DWORD sortState) noexcept;

}  // namespace quillon
