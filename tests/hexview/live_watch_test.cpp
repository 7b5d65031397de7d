// Live watching's memory of the rows on screen: which bytes changed, how long ago, which rows to
// repaint, across scrolling; and the shade a change fades through.
#include <gtest/gtest.h>

#include <vector>

#include "hexview/live_paint.h"
#include "hexview/live_watch.h"

namespace quillon {
namespace {

TEST(LiveWatch, MarksChangesFadesThemAndFollowsScrolling) {
    std::vector<unsigned char> data(4096, 0);
    LiveWatch live;
    std::vector<std::int32_t> rows;
    live.Look(data.data(), 4096, 0, 10, 1000, rows);
    EXPECT_TRUE(rows.empty()) << "the first look is only the reference";
    EXPECT_EQ(live.Age(5, 1000), LiveWatch::kFadeMs);

    data[0x25] = 1;  // row 2
    data[0x90] = 2;  // row 9
    live.Look(data.data(), 4096, 0, 10, 1250, rows);
    EXPECT_EQ(rows, (std::vector<std::int32_t>{2, 9}));
    EXPECT_EQ(live.Age(0x25, 1250), 0u);
    EXPECT_EQ(live.Age(0x26, 1250), LiveWatch::kFadeMs);

    // Scrolled down by three rows: row 2 has left the screen, row 9 is now view row 6 and keeps its age.
    live.Look(data.data(), 4096, 3, 10, 1500, rows);
    EXPECT_EQ(rows, (std::vector<std::int32_t>{6})) << "the fading shade repaints";
    EXPECT_EQ(live.Age(0x90, 1500), 250u);
    EXPECT_EQ(live.Age(0x25, 1500), LiveWatch::kFadeMs);

    // Once the fade is over the row repaints one last time, then never again.
    live.Look(data.data(), 4096, 3, 10, 1250 + LiveWatch::kFadeMs, rows);
    EXPECT_EQ(rows, (std::vector<std::int32_t>{6}));
    live.Look(data.data(), 4096, 3, 10, 1500 + LiveWatch::kFadeMs, rows);
    EXPECT_TRUE(rows.empty());

    // What is kept is the rows on screen, whatever the data's size.
    EXPECT_LE(live.Footprint(), 10u * 16u * 2u * 6u);
    live.Clear();
    EXPECT_EQ(live.Footprint(), 0u);
}

TEST(LiveWatch, ShadeHoldsThenBlendsToTheWindow) {
    const COLORREF window = RGB(255, 255, 255);
    const auto live = static_cast<COLORREF>(kLiveHighlight);
    EXPECT_EQ(LiveShade(0, window), live);
    EXPECT_EQ(LiveShade(LiveWatch::kHoldMs, window), live);
    const COLORREF half = LiveShade((LiveWatch::kHoldMs + LiveWatch::kFadeMs) / 2, window);
    EXPECT_EQ(GetRValue(half), (GetRValue(live) + 255) / 2);
    EXPECT_EQ(GetBValue(half), (GetBValue(live) + 255) / 2);
    EXPECT_EQ(LiveShade(LiveWatch::kFadeMs, window), window);
}

}  // namespace
}  // namespace quillon
