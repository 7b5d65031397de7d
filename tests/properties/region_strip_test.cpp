// The regions strip: its layout as plain arithmetic, and its pixels in a memory DC.
#include <gtest/gtest.h>

#include "common/gdi_scopes.h"
#include "common/unique_resource.h"
#include "properties/region_strip.h"

namespace quillon {
namespace {

ViewRegion Region(std::uint64_t begin, std::uint64_t end, bool readable, RegionState state = RegionState::Committed) {
    return ViewRegion{begin, end, state, readable};
}

void ExpectTiled(const std::vector<StripSpan>& spans, int width) {
    ASSERT_FALSE(spans.empty());
    EXPECT_EQ(spans.front().left, 0);
    EXPECT_EQ(spans.back().right, width);
    for (std::size_t i = 0; i < spans.size(); ++i) {
        EXPECT_LT(spans[i].left, spans[i].right) << i;
        if (i) {
            EXPECT_EQ(spans[i].left, spans[i - 1].right) << i;
            EXPECT_NE(spans[i].kind, spans[i - 1].kind) << "neighbours of one kind merge, at " << i;
        }
    }
}

TEST(RegionStrip, DrawsToScale) {
    // Two committed pages of a 1 MiB reserved view: 1/128 of the strip.
    const std::vector<ViewRegion> regions = {Region(0, 0x2000, true),
                                             Region(0x2000, 0x100000, false, RegionState::Reserved)};
    const auto spans = LayoutRegionStrip(regions, 512);
    ExpectTiled(spans, 512);
    ASSERT_EQ(spans.size(), 2u);
    EXPECT_EQ(spans[0].right, 4);
    EXPECT_EQ(spans[0].kind, StripKind::Readable);
    EXPECT_EQ(spans[1].kind, StripKind::Reserved);
}

TEST(RegionStrip, ThousandsOfRegionsFitTheWidthAndTinyOnesStayVisible) {
    std::vector<ViewRegion> regions;
    // 5,000 alternating pages, then one unreadable committed page inside a long readable run.
    for (std::uint64_t i = 0; i < 5000; ++i)
        regions.push_back(Region(i * 0x1000, (i + 1) * 0x1000, i % 2 == 0, i % 2 ? RegionState::Reserved : RegionState::Committed));
    const std::uint64_t base = 5000 * 0x1000;
    regions.push_back(Region(base, base + 0x10000000, true));
    regions.push_back(Region(base + 0x10000000, base + 0x10001000, false));
    regions.push_back(Region(base + 0x10001000, base + 0x20000000, true));
    const auto spans = LayoutRegionStrip(regions, 300);
    ExpectTiled(spans, 300);
    EXPECT_LE(spans.size(), 300u);
    bool lonePage = false;
    for (const StripSpan& span : spans) lonePage |= span.kind == StripKind::CommittedUnreadable;
    EXPECT_TRUE(lonePage) << "a single unreadable page of half a GiB still shows";
}

TEST(RegionStrip, PaintsEachStateInItsColourAndALegend) {
    const std::vector<ViewRegion> regions = {Region(0, 0x40000, true), Region(0x40000, 0x80000, false),
                                             Region(0x80000, 0xC0000, false, RegionState::Reserved)};
    WindowDC screen(nullptr);
    MemoryDC dc(screen.Get());
    UniqueBitmap bitmap(::CreateCompatibleBitmap(screen.Get(), 300, 60));
    SelectionScope selected(dc.Get(), bitmap.Get());
    const RECT area{0, 0, 300, 60};
    PaintRegionStrip(dc.Get(), area, regions);
    EXPECT_EQ(::GetPixel(dc.Get(), 50, 10), StripColour(StripKind::Readable));
    EXPECT_EQ(::GetPixel(dc.Get(), 150, 10), StripColour(StripKind::CommittedUnreadable));
    EXPECT_EQ(::GetPixel(dc.Get(), 250, 10), StripColour(StripKind::Reserved));
    // The legend's first swatch sits under the strip, at the left.
    TEXTMETRICW metrics{};
    ::GetTextMetricsW(dc.Get(), &metrics);
    EXPECT_EQ(::GetPixel(dc.Get(), 3, 60 - metrics.tmHeight - 4 + 3 + 3), StripColour(StripKind::Readable));
}

}  // namespace
}  // namespace quillon
