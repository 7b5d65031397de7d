#pragma once
// Building the toolbar from its resource: the layout words, the button records, and the sizes that
// follow the toolbar font's height.
#include <windows.h>
#include <commctrl.h>

#include <cstddef>
#include <vector>

namespace quillon {

struct ToolbarLayout {
    int imageWidth = 0;
    int imageHeight = 0;
    std::vector<WORD> ids;  // in display order; 0 for a gap
};

// Reads the resource's words: version, image width, image height, item count, then the ids.
bool ParseToolbarResource(const WORD* words, std::size_t wordCount, ToolbarLayout& layout);

// The button records: an optional leading 4-pixel separator, an 8-pixel separator for each 0 id, and a
// button for each other id, with image indexes counted over buttons only.
std::vector<TBBUTTON> ToolbarButtons(const ToolbarLayout& layout, bool leadingSeparator);

// Image cell and button sizes for a toolbar font `fontHeight` pixels high (the absolute lfHeight).
SIZE ToolbarBitmapSize(const ToolbarLayout& layout, int fontHeight) noexcept;
SIZE ToolbarButtonSize(const ToolbarLayout& layout, int fontHeight) noexcept;

// Creates the toolbar window from toolbar resource `resourceId`, without images. Returns null when the
// resource or the window is missing.
HWND CreateToolbarFromResource(HWND parent, UINT resourceId, bool leadingSeparator, DWORD style, UINT childId);

}  // namespace quillon
