#pragma once
// Reading and selecting rows of a report list-view through its own messages. The list control is
// the catalogue's only store, so every reader goes through these.
#include <windows.h>

#include <string>
#include <vector>

namespace quillon {

// The whole text of one cell, however long: the read starts with room for 256 characters and doubles
// the room until the text fits.
std::wstring ReadCellText(HWND list, int row, int column);

// The selected row with the lowest index, or -1 when no row is selected.
int FirstSelectedRow(HWND list) noexcept;

// Every selected row, in index order.
std::vector<int> SelectedRows(HWND list);

// Clears the selection of every row (unless the list is single-selection), then selects and focuses
// `row` and scrolls it fully into view. Returns false when the row could not be selected.
bool SelectOneRow(HWND list, int row) noexcept;

}  // namespace quillon
