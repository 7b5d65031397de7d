// OpenTarget hands the target to the shell's "open" verb; never a real browser.
#include <gtest/gtest.h>

#include "about/hyperlink.h"
#include "tests/about/about_test_support.h"
#include "tests/support/test_windows.h"

namespace quillon {
namespace {

class OpenTargetTest : public ::testing::Test {
protected:
    void SetUp() override {
        staticWindow_ = ::CreateWindowExW(0, L"Static", L"address", WS_CHILD | WS_VISIBLE, 10, 10, 200, 30,
                                          parent_.Get(), nullptr, ::GetModuleHandleW(nullptr), nullptr);
        ASSERT_TRUE(link_.AttachToStatic(staticWindow_));
        test::PumpMessages();
        ::ValidateRect(staticWindow_, nullptr);
    }
    bool RepaintPending() const {
        RECT r{};
        return ::GetUpdateRect(staticWindow_, &r, FALSE) != FALSE;
    }

    test::SavedColourValues colours_;
    test::TestParentWindow parent_;
    HWND staticWindow_ = nullptr;
    CHyperLink link_;
};

TEST_F(OpenTargetTest, RejectedTargetLeavesTheLinkUnvisited) {
    for (const wchar_t* target : {L"C:\\quillon-no-such-folder\\missing.quillon-none", L"quillon-no-such-protocol:x"}) {
        SCOPED_TRACE(testing::Message() << "target " << target);
        ASSERT_TRUE(link_.SetTarget(target));
        EXPECT_FALSE(link_.OpenTarget());
        EXPECT_FALSE(link_.Visited());
        EXPECT_FALSE(RepaintPending());
        EXPECT_EQ(test::FindThreadWindow(L"#32770"), nullptr);  // and nothing shown
    }
}

TEST_F(OpenTargetTest, AcceptedTargetRunsItsHandlerAndMarksTheLinkVisited) {
    test::RegisteredTestProtocol protocol;
    ASSERT_TRUE(protocol.Ok());
    const std::wstring address = protocol.Address(L"opened");
    ASSERT_TRUE(link_.SetTarget(address.c_str()));
    EXPECT_TRUE(link_.OpenTarget());
    EXPECT_TRUE(link_.Visited());
    EXPECT_TRUE(RepaintPending());
    ASSERT_TRUE(protocol.WaitForOpened(1));
    EXPECT_EQ(protocol.Opened()[0], address);

    // A later failure does not take the visited state back.
    ASSERT_TRUE(link_.SetTarget(L"C:\\quillon-no-such-folder\\missing.quillon-none"));
    EXPECT_FALSE(link_.OpenTarget());
    EXPECT_TRUE(link_.Visited());
}

TEST(OpenTarget, WithoutATargetOpensNothing) {
    test::SavedColourValues colours;
    test::TestParentWindow parent;
    const HWND empty = ::CreateWindowExW(0, L"Static", L"", WS_CHILD | WS_VISIBLE, 10, 10, 200, 30, parent.Get(),
                                         nullptr, ::GetModuleHandleW(nullptr), nullptr);
    CHyperLink link;
    ASSERT_TRUE(link.AttachToStatic(empty));
    EXPECT_EQ(link.Target(), nullptr);
    EXPECT_EQ(link.DisplayText(), nullptr);
    EXPECT_FALSE(link.OpenTarget());
    EXPECT_FALSE(link.Visited());
    // No text: no link area, so no hand anywhere.
    const HCURSOR arrow = ::LoadCursorW(nullptr, IDC_ARROW);
    ::SetCursor(arrow);
    ::SendMessageW(empty, WM_MOUSEMOVE, 0, MAKELPARAM(0, 0));
    EXPECT_EQ(::GetCursor(), arrow);
    EXPECT_EQ(::SendMessageW(link.Tooltip(), TTM_GETTOOLCOUNT, 0, 0), 1);
}

}  // namespace
}  // namespace quillon
