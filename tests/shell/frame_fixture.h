#pragma once
// A real main frame, created in-process the way start-up creates it, with a loop registered for the
// thread so that the frame adds its filter and idle handler.
#include <windows.h>

#include <gtest/gtest.h>

#include <memory>

#include "shell/app_module.h"
#include "shell/main_frame.h"
#include "shell/message_loop.h"
#include "tests/support/test_windows.h"

namespace quillon::test {

// Exposes the loop's filter step so that tests can hand it a message as the loop would.
class InspectableLoop : public CMessageLoop {
public:
    using CMessageLoop::PreTranslateMessage;
};

class FrameTest : public ::testing::Test {
protected:
    void SetUp() override {
        AppModule().Init(::GetModuleHandleW(nullptr));
        AppModule().AddMessageLoop(&loop_);
        frame_ = std::make_unique<CMainFrame>();
        ASSERT_NE(frame_->CreateEx(), nullptr);
        ::ShowWindow(frame_->Window(), SW_SHOWNORMAL);
        ::SetWindowPos(frame_->Window(), nullptr, 0, 0, 1000, 700, SWP_NOZORDER);
        PumpMessages();
    }
    void TearDown() override {
        frame_.reset();
        DrainQuit();
        AppModule().RemoveMessageLoop();
        AppModule().Term();
    }
    // Takes the WM_QUIT that destroying the frame posts; returns its code, or -1 when none came.
    static int DrainQuit() {
        MSG msg;
        int code = -1;
        while (::PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE))
            if (msg.message == WM_QUIT) code = static_cast<int>(msg.wParam);
        return code;
    }
    HWND Frame() const { return frame_->Window(); }
    HWND List() const { return frame_->ListWindow(); }
    void Command(UINT id) { ::SendMessageW(Frame(), WM_COMMAND, MAKEWPARAM(id, 0), 0); }

    InspectableLoop loop_;
    std::unique_ptr<CMainFrame> frame_;
};

}  // namespace quillon::test
