// Centring dialogs over their owners inside the work area.
#include <windows.h>

#include <gtest/gtest.h>

#include "common/center_over_owner.h"
#include "tests/support/test_windows.h"

namespace quillon {
namespace {

TEST(CenteredPosition, CentresThenPushesBackInsideTheArea) {
    struct Case {
        const char* what;
        RECT centre;
        RECT area;
        LONG w, h;
        POINT at;
    };
    const RECT area{0, 0, 1280, 1000};
    const Case cases[] = {
        {"centred on the owner", {100, 100, 500, 400}, area, 200, 100, {200, 200}},
        {"odd sizes truncate", {0, 0, 301, 201}, area, 101, 51, {100, 75}},
        {"past the right edge", {1100, 100, 1300, 300}, area, 400, 100, {880, 150}},
        {"past the bottom edge", {100, 900, 300, 1100}, area, 100, 300, {150, 700}},
        {"left of the area", {-300, 100, -100, 300}, area, 200, 100, {0, 150}},
        {"above the area", {100, -400, 300, -200}, area, 100, 100, {150, 0}},
        {"larger than the area keeps the top-left edge", {0, 0, 100, 100}, area, 2000, 1200, {0, 0}},
        {"an area not at the origin", {0, 0, 100, 100}, RECT{200, 100, 800, 600}, 50, 50, {200, 100}},
        {"negative centre truncates toward zero", {-101, -101, 0, 0}, RECT{-1000, -1000, 1000, 1000}, 1, 1, {-50, -50}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        const POINT at = CenteredPosition(c.centre, c.area, c.w, c.h);
        EXPECT_EQ(at.x, c.at.x);
        EXPECT_EQ(at.y, c.at.y);
    }
}

RECT WindowRect(HWND hwnd) {
    RECT r{};
    ::GetWindowRect(hwnd, &r);
    return r;
}

RECT WorkAreaNear(HWND hwnd) {
    MONITORINFO info{};
    info.cbSize = sizeof(info);
    ::GetMonitorInfoW(::MonitorFromWindow(hwnd, MONITOR_DEFAULTTONEAREST), &info);
    return info.rcWork;
}

TEST(CenterOverOwner, RealWindowsOverVisibleHiddenMinimisedAndMissingOwners) {
    test::TestParentWindow owner(600, 400);
    ::SetWindowPos(owner.Get(), nullptr, 100, 80, 600, 400, SWP_NOZORDER);
    HWND dialog = ::CreateWindowExW(0, L"STATIC", L"", WS_POPUP, 0, 0, 200, 100, owner.Get(), nullptr,
                                    ::GetModuleHandleW(nullptr), nullptr);
    ASSERT_NE(dialog, nullptr);

    auto expectCentredOn = [&](const RECT& centre, const char* what) {
        SCOPED_TRACE(what);
        const RECT d = WindowRect(dialog);
        EXPECT_EQ(d.right - d.left, 200) << "never resized";
        EXPECT_EQ(d.left, (centre.left + centre.right) / 2 - 100);
        EXPECT_EQ(d.top, (centre.top + centre.bottom) / 2 - 50);
    };

    CenterOverOwner(dialog, owner.Get());
    expectCentredOn(WindowRect(owner.Get()), "visible owner");

    ::SetWindowPos(dialog, nullptr, 0, 0, 0, 0, SWP_NOSIZE | SWP_NOZORDER);
    CenterOverOwner(dialog, nullptr);  // falls back to the dialog's own owner
    expectCentredOn(WindowRect(owner.Get()), "owner taken from the dialog");

    ::ShowWindow(owner.Get(), SW_HIDE);
    CenterOverOwner(dialog, owner.Get());
    expectCentredOn(WorkAreaNear(dialog), "hidden owner");

    ::ShowWindow(owner.Get(), SW_SHOWMINNOACTIVE);
    CenterOverOwner(dialog, owner.Get());
    expectCentredOn(WorkAreaNear(dialog), "minimised owner");

    HWND orphan = ::CreateWindowExW(0, L"STATIC", L"", WS_POPUP, 0, 0, 200, 100, nullptr, nullptr,
                                    ::GetModuleHandleW(nullptr), nullptr);
    std::swap(dialog, orphan);
    CenterOverOwner(dialog, nullptr);
    expectCentredOn(WorkAreaNear(dialog), "no owner at all");
    ::DestroyWindow(dialog);
    ::DestroyWindow(orphan);
}

}  // namespace
}  // namespace quillon
