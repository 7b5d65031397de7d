#pragma once
// The picture under the Properties report: the view's regions drawn to scale as one horizontal
// strip, coloured by state, with a legend.
#include <windows.h>

#include <vector>

#include "inspect/section_report.h"

namespace quillon {

// In rising order of what a reviewer should notice.
enum class StripKind { Readable, Reserved, CommittedUnreadable };

struct StripSpan {
    int left = 0;    // pixel offsets from the strip's left edge, [left, right)
    int right = 0;
    StripKind kind = StripKind::Readable;
};

StripKind KindOfRegion(const ViewRegion& region) noexcept;

// The strip's spans for `width` pixels, left to right, touching and without overlap, covering
// [0, width) when there is any region. Neighbours of one kind merge; a pixel shared by regions of
// several kinds takes the most telling one, so a lone unreadable page in a large view stays visible.
// One pass over the regions, however many there are.
std::vector<StripSpan> LayoutRegionStrip(const std::vector<ViewRegion>& regions, int width);

COLORREF StripColour(StripKind kind) noexcept;
const wchar_t* StripLegendText(StripKind kind) noexcept;

// Paints the strip across the top of `area` (its height less a legend line) and the legend under
// it, in the font selected into `dc`. With no regions, says that no view could be mapped.
void PaintRegionStrip(HDC dc, const RECT& area, const std::vector<ViewRegion>& regions);

}  // namespace quillon
