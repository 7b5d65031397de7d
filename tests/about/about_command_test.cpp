// Help > About on the real main frame: the box opens over the frame, centred, with the frame disabled.
#include <gtest/gtest.h>

#include "resources/resource.h"
#include "tests/shell/frame_fixture.h"
#include "tests/support/test_windows.h"

namespace quillon::test {
namespace {

using AboutCommandTest = FrameTest;

TEST_F(AboutCommandTest, HelpAboutOpensTheBoxCentredOverTheFrame) {
    ::MoveWindow(Frame(), 120, 80, 900, 640, TRUE);
    PumpMessages();
    RECT frameRect{};
    ::GetWindowRect(Frame(), &frameRect);

    HWND about = nullptr;
    RECT aboutRect{};
    HWND owner = nullptr;
    bool frameEnabled = true;
    ModalAnswerer answerer([&](HWND dialog) {
        if (about || WindowText(dialog) != L"About") return false;
        about = dialog;
        ::GetWindowRect(dialog, &aboutRect);
        owner = ::GetWindow(dialog, GW_OWNER);
        frameEnabled = ::IsWindowEnabled(Frame()) != FALSE;
        ::PostMessageW(dialog, WM_COMMAND, IDOK, 0);
        return true;
    });
    Command(ID_APP_ABOUT);

    ASSERT_NE(about, nullptr);
    EXPECT_FALSE(::IsWindow(about));
    EXPECT_EQ(owner, Frame());
    EXPECT_FALSE(frameEnabled);
    EXPECT_TRUE(::IsWindowEnabled(Frame()));
    const LONG width = aboutRect.right - aboutRect.left;
    const LONG height = aboutRect.bottom - aboutRect.top;
    EXPECT_EQ(aboutRect.left, (frameRect.left + frameRect.right) / 2 - width / 2);
    EXPECT_EQ(aboutRect.top, (frameRect.top + frameRect.bottom) / 2 - height / 2);
}

}  // namespace
}  // namespace quillon::test
