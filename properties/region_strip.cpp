#include "properties/region_strip.h"

#include <algorithm>
#include <cmath>

#include "common/gdi_scopes.h"
#include "common/unique_resource.h"

namespace quillon {

StripKind KindOfRegion(const ViewRegion& region) noexcept {
    if (region.readable) return StripKind::Readable;
    return region.state == RegionState::Committed ? StripKind::CommittedUnreadable : StripKind::Reserved;
}

std::vector<StripSpan> LayoutRegionStrip(const std::vector<ViewRegion>& regions, int width) {
    std::vector<StripSpan> spans;
    if (regions.empty() || width <= 0) return spans;
    const std::uint64_t first = regions.front().begin;
    const double total = static_cast<double>(regions.back().end - first);
    if (total <= 0) return spans;
    // Each pixel shows the most telling state among the regions it covers (unreadable committed
    // pages, then reserved ones, then readable), so a page too small for a pixel of its own is still
    // seen. Every region touches at least one pixel: one pass over regions plus one over pixels.
    std::vector<int> pixels(static_cast<std::size_t>(width), -1);
    for (const ViewRegion& region : regions) {
        const int rank = static_cast<int>(KindOfRegion(region));
        // Scaled in floating point: 64-bit offsets times a pixel count could overflow.
        int left = static_cast<int>(std::floor(static_cast<double>(region.begin - first) * width / total));
        int right = static_cast<int>(std::ceil(static_cast<double>(region.end - first) * width / total));
        left = std::min(std::max(left, 0), width - 1);
        right = std::min(std::max(right, left + 1), width);
        for (int x = left; x < right; ++x) pixels[x] = std::max(pixels[x], rank);
    }
    for (int x = 0; x < width; ++x) {
        const auto kind = static_cast<StripKind>(pixels[x] < 0 ? 0 : pixels[x]);
        if (!spans.empty() && spans.back().kind == kind)
            spans.back().right = x + 1;
        else
            spans.push_back(StripSpan{x, x + 1, kind});
    }
    return spans;
}

COLORREF StripColour(StripKind kind) noexcept {
    switch (kind) {
    case StripKind::Readable: return RGB(76, 175, 80);
    case StripKind::CommittedUnreadable: return RGB(230, 126, 34);
    case StripKind::Reserved: return RGB(189, 189, 189);
    }
    return RGB(0, 0, 0);
}

const wchar_t* StripLegendText(StripKind kind) noexcept {
    switch (kind) {
    case StripKind::Readable: return L"readable";
    case StripKind::CommittedUnreadable: return L"committed, unreadable";
    case StripKind::Reserved: return L"reserved";
    }
    return L"";
}

namespace {

void Fill(HDC dc, const RECT& rect, COLORREF colour) {
    UniqueBrush brush(::CreateSolidBrush(colour));
    if (brush) ::FillRect(dc, &rect, brush.Get());
}

}  // namespace

void PaintRegionStrip(HDC dc, const RECT& area, const std::vector<ViewRegion>& regions) {
    ::FillRect(dc, &area, ::GetSysColorBrush(COLOR_BTNFACE));
    TEXTMETRICW metrics{};
    ::GetTextMetricsW(dc, &metrics);
    const int line = metrics.tmHeight + 4;
    RECT strip{area.left, area.top, area.right, area.bottom - line};
    if (strip.bottom <= strip.top) strip.bottom = strip.top + 1;
    ::SetBkMode(dc, TRANSPARENT);
    ::SetTextColor(dc, ::GetSysColor(COLOR_BTNTEXT));
    if (regions.empty()) {
        RECT text = area;
        ::DrawTextW(dc, L"No view of this section could be mapped.", -1, &text, DT_LEFT | DT_TOP | DT_SINGLELINE);
        return;
    }
    // One brush per kind for the whole pass.
    UniqueBrush brushes[3] = {UniqueBrush(::CreateSolidBrush(StripColour(StripKind::Readable))),
                              UniqueBrush(::CreateSolidBrush(StripColour(StripKind::Reserved))),
                              UniqueBrush(::CreateSolidBrush(StripColour(StripKind::CommittedUnreadable)))};
    for (const StripSpan& span : LayoutRegionStrip(regions, strip.right - strip.left)) {
        const RECT part{strip.left + span.left, strip.top, strip.left + span.right, strip.bottom};
        ::FillRect(dc, &part, brushes[static_cast<int>(span.kind)].Get());
    }
    ::FrameRect(dc, &strip, ::GetSysColorBrush(COLOR_WINDOWFRAME));

    int x = area.left;
    const int swatch = metrics.tmHeight - 2;
    for (StripKind kind : {StripKind::Readable, StripKind::CommittedUnreadable, StripKind::Reserved}) {
        const RECT box{x, strip.bottom + 3, x + swatch, strip.bottom + 3 + swatch};
        Fill(dc, box, StripColour(kind));
        ::FrameRect(dc, &box, ::GetSysColorBrush(COLOR_WINDOWFRAME));
        x += swatch + 4;
        const wchar_t* text = StripLegendText(kind);
        SIZE extent{};
        const int length = static_cast<int>(std::char_traits<wchar_t>::length(text));
        ::GetTextExtentPoint32W(dc, text, length, &extent);
        ::TextOutW(dc, x, strip.bottom + 2, text, length);
        x += extent.cx + 16;
    }
}

}  // namespace quillon
