// Building the toolbar from its resource words.
#include <windows.h>
#include <commctrl.h>

#include <gtest/gtest.h>

#include "resources/resource.h"
#include "shell/toolbar.h"
#include "tests/support/test_windows.h"

namespace quillon {
namespace {

ToolbarLayout ShippedLayout() {
    const WORD words[] = {1, 16, 15, 6, ID_FILE_REFRESH, 0, ID_EDIT_COPY, ID_EDIT_FIND, ID_EDIT_DUMP, ID_EDIT_HEXVIEW};
    ToolbarLayout layout;
    EXPECT_TRUE(ParseToolbarResource(words, 10, layout));
    return layout;
}

TEST(Toolbar, ResourceWordsGiveTheLayout) {
    const ToolbarLayout layout = ShippedLayout();
    EXPECT_EQ(layout.imageWidth, 16);
    EXPECT_EQ(layout.imageHeight, 15);
    EXPECT_EQ(layout.ids.size(), 6u);

    const WORD truncated[] = {1, 16, 15, 6, 57600};
    ToolbarLayout unused;
    EXPECT_FALSE(ParseToolbarResource(truncated, 5, unused));
    EXPECT_FALSE(ParseToolbarResource(truncated, 3, unused));
    EXPECT_FALSE(ParseToolbarResource(nullptr, 0, unused));
}

TEST(Toolbar, ButtonsCountImagesOverButtonsOnlyAndSeparatorsCarryTheirWidth) {
    const auto buttons = ToolbarButtons(ShippedLayout(), true);
    ASSERT_EQ(buttons.size(), 7u);
    const int commands[] = {0, ID_FILE_REFRESH, 0, ID_EDIT_COPY, ID_EDIT_FIND, ID_EDIT_DUMP, ID_EDIT_HEXVIEW};
    const int images[] = {4, 0, 8, 1, 2, 3, 4};
    for (int i = 0; i < 7; ++i) {
        EXPECT_EQ(buttons[i].idCommand, commands[i]);
        EXPECT_EQ(buttons[i].iBitmap, images[i]);
        EXPECT_EQ(buttons[i].fsStyle, commands[i] ? BTNS_BUTTON : BTNS_SEP);
        EXPECT_EQ(buttons[i].fsState, commands[i] ? TBSTATE_ENABLED : 0);
        EXPECT_EQ(buttons[i].dwData, 0u);
        EXPECT_EQ(buttons[i].iString, 0);
    }
    EXPECT_EQ(ToolbarButtons(ShippedLayout(), false).size(), 6u);
}

TEST(Toolbar, AFontTallerThanTheImagesEnlargesCellAndButtons) {
    struct Case {
        int fontHeight;
        SIZE bitmap;
        SIZE button;
    };
    const Case cases[] = {{0, {16, 15}, {23, 22}}, {13, {16, 15}, {23, 22}}, {15, {16, 15}, {23, 22}},
                          {16, {16, 16}, {23, 23}}, {24, {16, 24}, {23, 31}}};
    for (const Case& c : cases) {
        SCOPED_TRACE(c.fontHeight);
        const SIZE bitmap = ToolbarBitmapSize(ShippedLayout(), c.fontHeight);
        const SIZE button = ToolbarButtonSize(ShippedLayout(), c.fontHeight);
        EXPECT_EQ(bitmap.cx, c.bitmap.cx);
        EXPECT_EQ(bitmap.cy, c.bitmap.cy);
        EXPECT_EQ(button.cx, c.button.cx);
        EXPECT_EQ(button.cy, c.button.cy);
    }
}

TEST(Toolbar, MissingResourceGivesNoToolbar) {
    test::TestParentWindow parent;
    EXPECT_EQ(CreateToolbarFromResource(parent.Get(), 4242, true, WS_CHILD, 1), nullptr);
    HWND toolbar = CreateToolbarFromResource(parent.Get(), IDR_MAINFRAME, true, WS_CHILD | WS_VISIBLE, 77);
    ASSERT_NE(toolbar, nullptr);
    EXPECT_EQ(::GetDlgCtrlID(toolbar), 77);
    EXPECT_EQ(::SendMessageW(toolbar, TB_BUTTONCOUNT, 0, 0), 7);
}

}  // namespace
}  // namespace quillon
