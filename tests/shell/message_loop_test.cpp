// The main thread's loop: idle passes, filters, and the quit code.
#include <windows.h>

#include <gtest/gtest.h>

#include <atomic>
#include <thread>
#include <vector>

#include "shell/app_module.h"
#include "shell/message_loop.h"
#include "tests/support/test_windows.h"

namespace quillon {
namespace {

struct CountingIdle final : CIdleHandler {
    std::atomic<int> passes{0};
    HANDLE signal = ::CreateEventW(nullptr, FALSE, FALSE, nullptr);
    ~CountingIdle() { ::CloseHandle(signal); }
    bool OnIdle() override {
        ++passes;
        ::SetEvent(signal);
        return true;  // the loop ignores this: one pass per idle period regardless
    }
};

struct RecordingFilter final : CMessageFilter {
    std::vector<int>* order;
    int tag;
    UINT consume;
    RecordingFilter(std::vector<int>* o, int t, UINT c) : order(o), tag(t), consume(c) {}
    bool PreTranslateMessage(MSG* msg) override {
        if (msg->message == WM_APP + 7) order->push_back(tag);
        return msg->message == consume;
    }
};

TEST(MessageLoop, OnlyMessagesOtherThanMovesPaintsAndCaretBlinksStartAnIdlePass) {
    struct Case {
        UINT message;
        bool startsIdle;
    };
    const Case cases[] = {{WM_MOUSEMOVE, false}, {WM_NCMOUSEMOVE, false}, {WM_PAINT, false}, {0x0118, false},
                          {WM_KEYDOWN, true},    {WM_LBUTTONDOWN, true}, {WM_TIMER, true},  {WM_APP, true}};
    for (const Case& c : cases) EXPECT_EQ(IsIdleMessage(c.message), c.startsIdle) << std::hex << c.message;
}

TEST(MessageLoop, EachIdlePeriodRunsExactlyOnePassAndQuitCodeIsReturned) {
    test::TestParentWindow window(200, 100);
    CMessageLoop loop;
    CountingIdle idle;
    loop.AddIdleHandler(&idle);
    HWND target = window.Get();
    const DWORD loopThread = ::GetCurrentThreadId();

    struct Step {
        UINT message;
        int expectedPasses;  // after the message has been handled and the queue ran empty
    };
    const std::vector<Step> steps = {{WM_MOUSEMOVE, 1},   {WM_NCMOUSEMOVE, 1}, {0x0118, 1}, {WM_KEYDOWN, 2},
                                     {WM_MOUSEMOVE, 2},   {WM_LBUTTONDOWN, 3}, {WM_APP, 4}};
    std::vector<int> observed;
    std::thread driver([&] {
        ::WaitForSingleObject(idle.signal, 5000);  // the first pass, at start
        for (const Step& step : steps) {
            ::PostMessageW(target, step.message, 0, 0);
            // An idle pass, when one is due, follows the dispatch at once; give it ample time.
            ::WaitForSingleObject(idle.signal, 300);
            observed.push_back(idle.passes.load());
        }
        ::PostThreadMessageW(loopThread, WM_QUIT, 42, 0);
    });
    const int code = loop.Run();
    driver.join();

    EXPECT_EQ(code, 42);
    ASSERT_EQ(observed.size(), steps.size());
    for (std::size_t i = 0; i < steps.size(); ++i) EXPECT_EQ(observed[i], steps[i].expectedPasses) << "step " << i;
    EXPECT_TRUE(loop.RemoveIdleHandler(&idle));
    EXPECT_FALSE(loop.RemoveIdleHandler(&idle));
}

TEST(MessageLoop, FiltersAreAskedNewestFirstAndAConsumedMessageIsNotDispatched) {
    std::vector<int> order;
    RecordingFilter older(&order, 1, 0), newer(&order, 2, WM_APP + 8);
    CMessageLoop loop;
    loop.AddMessageFilter(&older);
    loop.AddMessageFilter(&newer);

    int dispatched = 0;
    test::TestParentWindow window(200, 100);
    window.onMessage = [&](UINT msg, WPARAM, LPARAM, LRESULT&) {
        if (msg == WM_APP + 7 || msg == WM_APP + 8) ++dispatched;
        if (msg == WM_APP + 9) ::PostQuitMessage(5);
        return false;
    };
    ::PostMessageW(window.Get(), WM_APP + 7, 0, 0);
    ::PostMessageW(window.Get(), WM_APP + 8, 0, 0);  // consumed by the newer filter
    ::PostMessageW(window.Get(), WM_APP + 9, 0, 0);
    EXPECT_EQ(loop.Run(), 5);
    EXPECT_EQ(order, (std::vector<int>{2, 1}));
    EXPECT_EQ(dispatched, 1);
    EXPECT_TRUE(loop.RemoveMessageFilter(&newer));
    EXPECT_FALSE(loop.RemoveMessageFilter(&newer));
}

TEST(AppModule, RegistryFindsTheLoopOfTheCallingThreadOnly) {
    CAppModule module;
    module.Init(::GetModuleHandleW(nullptr));
    EXPECT_EQ(module.MainThreadId(), ::GetCurrentThreadId());
    CMessageLoop loop;
    EXPECT_EQ(module.GetMessageLoop(), nullptr);
    EXPECT_TRUE(module.AddMessageLoop(&loop));
    EXPECT_EQ(module.GetMessageLoop(), &loop);
    CMessageLoop* seenElsewhere = &loop;
    std::thread other([&] { seenElsewhere = module.GetMessageLoop(); });
    other.join();
    EXPECT_EQ(seenElsewhere, nullptr);
    EXPECT_TRUE(module.RemoveMessageLoop());
    EXPECT_EQ(module.GetMessageLoop(), nullptr);
    module.Term();
}

}  // namespace
}  // namespace quillon
