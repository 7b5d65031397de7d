// CHyperLink on a real static control under Wine, driven by messages.
#include "about/hyperlink.h"

#include <commctrl.h>

#include <gtest/gtest.h>

#include <memory>
#include <string>

#include "common/unique_resource.h"
#include "tests/about/about_test_support.h"
#include "tests/support/test_windows.h"

namespace quillon {
namespace {

using test::Pixels;
using test::PrintClient;
using test::PumpMessages;
using test::TestParentWindow;

constexpr COLORREF kBackground = RGB(10, 200, 30);
constexpr COLORREF kDefaultLink = RGB(0, 0, 255);
constexpr COLORREF kDefaultVisited = RGB(128, 0, 128);

LPARAM PointParam(int x, int y) { return MAKELPARAM(static_cast<WORD>(x), static_cast<WORD>(y)); }
POINT Centre(const RECT& r) { return POINT{(r.left + r.right) / 2, (r.top + r.bottom) / 2}; }

std::wstring ToolText(HWND tooltip, HWND link) {
    wchar_t text[256] = {};
    TTTOOLINFOW info{};
    info.cbSize = sizeof(info);
    info.hwnd = link;
    info.uId = 1;
    info.lpszText = text;
    ::SendMessageW(tooltip, TTM_GETTEXTW, 256, reinterpret_cast<LPARAM>(&info));
    return text;
}

RECT ToolRect(HWND tooltip, HWND link) {
    TTTOOLINFOW info{};
    info.cbSize = sizeof(info);
    info.hwnd = link;
    info.uId = 1;
    ::SendMessageW(tooltip, TTM_GETTOOLINFOW, 0, reinterpret_cast<LPARAM>(&info));
    return info.rect;
}

bool SameRect(const RECT& a, const RECT& b) { return ::EqualRect(&a, &b) != FALSE; }

// Moves the pointer and waits until the system reports it there, steadily: under Wine the move
// reaches the X server later, and a late report of an earlier position can move it back.
bool MovePointer(POINT to) {
    const auto there = [&] {
        POINT now{};
        return ::GetCursorPos(&now) && now.x == to.x && now.y == to.y;
    };
    for (int attempt = 0; attempt < 10; ++attempt) {
        if (!::SetCursorPos(to.x, to.y)) return false;
        if (!test::PumpUntil(there, 1000)) continue;
        test::PumpFor(50);
        if (there()) return true;
    }
    return false;
}

// A visible static with the given text in a parent window that paints statics on kBackground.
class HyperLinkTest : public ::testing::Test {
protected:
    void SetUp() override {
        parent_.onMessage = [this](UINT msg, WPARAM, LPARAM, LRESULT& result) {
            if (msg != WM_CTLCOLORSTATIC) return false;
            result = reinterpret_cast<LRESULT>(brush_.Get());
            return true;
        };
        ::MoveWindow(parent_.Get(), 100, 100, 600, 300, TRUE);
        staticWindow_ = CreateStatic(L"quillon.example");
    }
    HWND CreateStatic(const wchar_t* text, int width = 300, int height = 40) {
        HWND hwnd = ::CreateWindowExW(0, L"Static", text, WS_CHILD | WS_VISIBLE | SS_LEFT, 20, 30, width, height,
                                      parent_.Get(), reinterpret_cast<HMENU>(1000), ::GetModuleHandleW(nullptr),
                                      nullptr);
        PumpMessages();
        return hwnd;
    }
    void Attach() {
        ASSERT_TRUE(link_->AttachToStatic(staticWindow_));
        PumpMessages();
    }
    // The screen point of a client point of the link.
    POINT OnScreen(POINT client) const {
        ::ClientToScreen(staticWindow_, &client);
        return client;
    }
    // A client point inside the control but to the right of the text.
    POINT BesideText() const {
        return POINT{link_->LinkRect().right + 40, (link_->LinkRect().top + link_->LinkRect().bottom) / 2};
    }

    test::SavedColourValues colours_;  // no colour values: the defaults apply
    UniqueBrush brush_{::CreateSolidBrush(kBackground)};
    TestParentWindow parent_;
    HWND staticWindow_ = nullptr;
    std::unique_ptr<CHyperLink> link_ = std::make_unique<CHyperLink>();
};

TEST_F(HyperLinkTest, TakesOverTheStaticAndStartsFromItsText) {
    const WNDPROC original = reinterpret_cast<WNDPROC>(::GetWindowLongPtrW(staticWindow_, GWLP_WNDPROC));
    Attach();
    EXPECT_EQ(link_->Window(), staticWindow_);
    EXPECT_NE(reinterpret_cast<WNDPROC>(::GetWindowLongPtrW(staticWindow_, GWLP_WNDPROC)), original);
    EXPECT_TRUE(::GetWindowLongW(staticWindow_, GWL_STYLE) & SS_NOTIFY);
    ASSERT_NE(link_->DisplayText(), nullptr);
    EXPECT_STREQ(link_->DisplayText(), L"quillon.example");
    ASSERT_NE(link_->Target(), nullptr);
    EXPECT_STREQ(link_->Target(), L"quillon.example");
    EXPECT_FALSE(link_->Visited());
    EXPECT_EQ(link_->Colours().link, kDefaultLink);
    EXPECT_EQ(link_->Colours().visited, kDefaultVisited);

    // The text's rectangle from the top left corner, narrower than the control.
    const RECT& r = link_->LinkRect();
    EXPECT_EQ(r.left, 0);
    EXPECT_EQ(r.top, 0);
    EXPECT_GT(r.right, 10);
    EXPECT_LT(r.right, 300);
    EXPECT_GT(r.bottom, 5);

    // With no font given, the link makes both its fonts, the link font underlined.
    EXPECT_TRUE(link_->OwnsNormalFont());
    EXPECT_TRUE(link_->OwnsLinkFont());
    LOGFONTW font{};
    ASSERT_NE(::GetObjectW(link_->LinkFont(), sizeof(font), &font), 0);
    EXPECT_TRUE(font.lfUnderline);
    EXPECT_EQ(reinterpret_cast<HFONT>(::SendMessageW(staticWindow_, WM_GETFONT, 0, 0)), link_->NormalFont());

    // A second takeover of the same window, or of no window, is refused.
    CHyperLink other;
    EXPECT_FALSE(other.AttachToStatic(staticWindow_));
    EXPECT_FALSE(other.AttachToStatic(nullptr));
    EXPECT_FALSE(link_->AttachToStatic(CreateStatic(L"another")));
}

TEST_F(HyperLinkTest, LongTextWrapsAtTheControlWidth) {
    staticWindow_ = CreateStatic(L"a rather long address that cannot fit on one line of this narrow control", 120, 200);
    Attach();
    const RECT& r = link_->LinkRect();
    EXPECT_LE(r.right, 120);
    EXPECT_GT(r.bottom, 2 * (link_->LinkRect().bottom / 3));
    CHyperLink single;
    const HWND oneLine = CreateStatic(L"short", 120, 200);
    ASSERT_TRUE(single.AttachToStatic(oneLine));
    EXPECT_GT(r.bottom, single.LinkRect().bottom * 2);
}

// One tool, on the text, naming the current target: setting a target replaces the tool rather than
// stacking a second one whose old text would win.
TEST_F(HyperLinkTest, TooltipShowsTheCurrentTargetOverTheText) {
    Attach();
    const HWND tooltip = link_->Tooltip();
    ASSERT_NE(tooltip, nullptr);
    EXPECT_EQ(::SendMessageW(tooltip, TTM_GETTOOLCOUNT, 0, 0), 1);
    EXPECT_EQ(ToolText(tooltip, staticWindow_), L"quillon.example");

    ASSERT_TRUE(link_->SetTarget(L"https://quillon.example/"));
    EXPECT_EQ(::SendMessageW(tooltip, TTM_GETTOOLCOUNT, 0, 0), 1);
    EXPECT_EQ(ToolText(tooltip, staticWindow_), L"https://quillon.example/");
    EXPECT_TRUE(SameRect(ToolRect(tooltip, staticWindow_), link_->LinkRect()));

    // A longer display text widens the link, and the tool follows it.
    const LONG before = link_->LinkRect().right;
    ASSERT_TRUE(link_->SetDisplayText(L"quillon.example, the project page"));
    EXPECT_GT(link_->LinkRect().right, before);
    EXPECT_TRUE(SameRect(ToolRect(tooltip, staticWindow_), link_->LinkRect()));
    EXPECT_EQ(test::WindowText(staticWindow_), L"quillon.example, the project page");
    EXPECT_STREQ(link_->Target(), L"https://quillon.example/");
}

TEST_F(HyperLinkTest, MouseMoveShowsTheHandOnlyOverTheText) {
    Attach();
    const HCURSOR hand = ::LoadCursorW(nullptr, IDC_HAND);
    const HCURSOR arrow = ::LoadCursorW(nullptr, IDC_ARROW);
    const POINT on = Centre(link_->LinkRect());
    const POINT beside = BesideText();

    ::SetCursor(arrow);
    EXPECT_EQ(::SendMessageW(staticWindow_, WM_MOUSEMOVE, 0, PointParam(on.x, on.y)), 0);
    EXPECT_EQ(::GetCursor(), hand);

    ::SetCursor(arrow);
    ::SendMessageW(staticWindow_, WM_MOUSEMOVE, 0, PointParam(beside.x, beside.y));
    EXPECT_EQ(::GetCursor(), arrow);
    // Just outside the right and bottom edges of the text is off the link too.
    ::SendMessageW(staticWindow_, WM_MOUSEMOVE, 0, PointParam(link_->LinkRect().right, on.y));
    EXPECT_EQ(::GetCursor(), arrow);
    ::SendMessageW(staticWindow_, WM_MOUSEMOVE, 0, PointParam(on.x, link_->LinkRect().bottom));
    EXPECT_EQ(::GetCursor(), arrow);
}

// WM_SETCURSOR looks at where the pointer really is.
TEST_F(HyperLinkTest, SetCursorKeepsTheHandOnlyOverTheText) {
    Attach();
    const HCURSOR hand = ::LoadCursorW(nullptr, IDC_HAND);
    const HCURSOR arrow = ::LoadCursorW(nullptr, IDC_ARROW);
    const LPARAM hit = MAKELPARAM(HTCLIENT, WM_MOUSEMOVE);

    const POINT on = OnScreen(Centre(link_->LinkRect()));
    ASSERT_TRUE(MovePointer(on));
    ::SetCursor(arrow);
    EXPECT_EQ(::SendMessageW(staticWindow_, WM_SETCURSOR, reinterpret_cast<WPARAM>(staticWindow_), hit), TRUE);
    EXPECT_EQ(::GetCursor(), hand);

    const POINT beside = OnScreen(BesideText());
    ASSERT_TRUE(MovePointer(beside));
    ::SetCursor(arrow);
    ::SendMessageW(staticWindow_, WM_SETCURSOR, reinterpret_cast<WPARAM>(staticWindow_), hit);
    EXPECT_NE(::GetCursor(), hand);
}

// A click is a press and a release both on the text. The target is an address of a protocol the test
// registers, whose handler only logs what it was given.
TEST_F(HyperLinkTest, PressOnTheLinkAndReleaseElsewhereOpensNothing) {
    test::RegisteredTestProtocol protocol;
    ASSERT_TRUE(protocol.Ok());
    Attach();
    ASSERT_TRUE(link_->SetTarget(protocol.Address(L"click").c_str()));
    const POINT on = Centre(link_->LinkRect());
    const POINT beside = BesideText();

    // Pressed on the text: focus and capture, nothing opened yet.
    EXPECT_EQ(::SendMessageW(staticWindow_, WM_LBUTTONDOWN, MK_LBUTTON, PointParam(on.x, on.y)), 0);
    EXPECT_EQ(::GetCapture(), staticWindow_);
    EXPECT_EQ(::GetFocus(), staticWindow_);
    // Released beside it (and far outside the control): capture ends, nothing opens.
    EXPECT_EQ(::SendMessageW(staticWindow_, WM_LBUTTONUP, 0, PointParam(beside.x, beside.y)), 0);
    EXPECT_EQ(::GetCapture(), nullptr);
    EXPECT_FALSE(link_->Visited());
    ::SendMessageW(staticWindow_, WM_LBUTTONDOWN, MK_LBUTTON, PointParam(on.x, on.y));
    ::SendMessageW(staticWindow_, WM_LBUTTONUP, 0, PointParam(-200, 500));
    EXPECT_FALSE(link_->Visited());

    // A press beside the text takes neither capture nor focus; its release opens nothing.
    ::SetFocus(parent_.Get());
    ::SendMessageW(staticWindow_, WM_LBUTTONDOWN, MK_LBUTTON, PointParam(beside.x, beside.y));
    EXPECT_EQ(::GetCapture(), nullptr);
    EXPECT_NE(::GetFocus(), staticWindow_);
    ::SendMessageW(staticWindow_, WM_LBUTTONUP, 0, PointParam(on.x, on.y));
    EXPECT_FALSE(link_->Visited());

    // A release on the text without a press before it opens nothing either.
    ::SendMessageW(staticWindow_, WM_LBUTTONUP, 0, PointParam(on.x, on.y));
    EXPECT_FALSE(link_->Visited());

    // Then one real click: the handler runs once, for this click alone.
    ::SendMessageW(staticWindow_, WM_LBUTTONDOWN, MK_LBUTTON, PointParam(on.x, on.y));
    ::SendMessageW(staticWindow_, WM_LBUTTONUP, 0, PointParam(on.x + 1, on.y));
    EXPECT_TRUE(link_->Visited());
    ASSERT_TRUE(protocol.WaitForOpened(1));
    test::PumpFor(300);
    const auto opened = protocol.Opened();
    ASSERT_EQ(opened.size(), 1u);
    EXPECT_EQ(opened[0], protocol.Address(L"click"));
}

TEST_F(HyperLinkTest, EnterAndSpaceOpenOtherCharactersDoNot) {
    test::RegisteredTestProtocol protocol;
    ASSERT_TRUE(protocol.Ok());
    Attach();
    EXPECT_EQ(::SendMessageW(staticWindow_, WM_GETDLGCODE, 0, 0), DLGC_WANTCHARS);
    ASSERT_TRUE(link_->SetTarget(protocol.Address(L"keys").c_str()));

    for (WPARAM ch : {WPARAM{'a'}, WPARAM{9}, WPARAM{27}, WPARAM{'0'}}) {
        EXPECT_EQ(::SendMessageW(staticWindow_, WM_CHAR, ch, 1), 0);
    }
    EXPECT_FALSE(link_->Visited());
    EXPECT_EQ(::SendMessageW(staticWindow_, WM_CHAR, 32, 1), 0);
    EXPECT_TRUE(link_->Visited());
    // One handler at a time: two would contend for the log file.
    ASSERT_TRUE(protocol.WaitForOpened(1));
    EXPECT_EQ(::SendMessageW(staticWindow_, WM_CHAR, 13, 1), 0);
    ASSERT_TRUE(protocol.WaitForOpened(2));
}

TEST_F(HyperLinkTest, PaintsOnTheParentsBrushInTheStateColour) {
    test::RegisteredTestProtocol protocol;
    ASSERT_TRUE(protocol.Ok());
    Attach();
    Pixels pixels = PrintClient(staticWindow_);
    ASSERT_GT(pixels.width, 0);
    // The corner beyond the text shows the parent's brush, the text the link colour.
    EXPECT_EQ(pixels.At(pixels.width - 1, pixels.height - 1), kBackground);
    EXPECT_GT(pixels.Count(kDefaultLink), 20);
    EXPECT_EQ(pixels.Count(kDefaultVisited), 0);
    // The underline: a run of link-coloured pixels along the text's lower part.
    int underline = 0;
    for (int y = link_->LinkRect().bottom / 2; y < link_->LinkRect().bottom; ++y) {
        int run = 0;
        for (int x = 0; x < link_->LinkRect().right; ++x) run += pixels.At(x, y) == kDefaultLink ? 1 : 0;
        underline = std::max(underline, run);
    }
    EXPECT_GT(underline, link_->LinkRect().right * 3 / 4);

    ASSERT_TRUE(link_->SetTarget(protocol.Address(L"paint").c_str()));
    ::ValidateRect(staticWindow_, nullptr);
    ASSERT_TRUE(link_->OpenTarget());
    RECT update{};
    EXPECT_TRUE(::GetUpdateRect(staticWindow_, &update, FALSE));  // repaint asked for
    pixels = PrintClient(staticWindow_);
    EXPECT_GT(pixels.Count(kDefaultVisited), 20);
    EXPECT_EQ(pixels.Count(kDefaultLink), 0);

    ::EnableWindow(staticWindow_, FALSE);
    pixels = PrintClient(staticWindow_);
    EXPECT_GT(pixels.Count(::GetSysColor(COLOR_GRAYTEXT)), 20);
    EXPECT_EQ(pixels.Count(kDefaultVisited), 0);
    ASSERT_TRUE(protocol.WaitForOpened(1));
}

TEST_F(HyperLinkTest, FocusRectangleFollowsTheFocus) {
    Attach();
    ::SetFocus(parent_.Get());
    const Pixels unfocused = PrintClient(staticWindow_);
    ::SetFocus(staticWindow_);
    ASSERT_EQ(::GetFocus(), staticWindow_);
    RECT update{};
    EXPECT_TRUE(::GetUpdateRect(staticWindow_, &update, FALSE));
    const Pixels focused = PrintClient(staticWindow_);
    // The focus rectangle's dots lie on the link rectangle's edge, where unfocused shows background.
    int changed = 0;
    const RECT& r = link_->LinkRect();
    for (int y = r.top; y < r.bottom; ++y) changed += focused.At(r.left, y) != unfocused.At(r.left, y) ? 1 : 0;
    EXPECT_GT(changed, 2);
    // Nothing changes outside that rectangle.
    EXPECT_EQ(focused.At(focused.width - 1, focused.height - 1), kBackground);
    ::ValidateRect(staticWindow_, nullptr);
    ::SetFocus(parent_.Get());
    EXPECT_TRUE(::GetUpdateRect(staticWindow_, &update, FALSE));
    const Pixels after = PrintClient(staticWindow_);
    EXPECT_EQ(after.colours, unfocused.colours);
}

TEST_F(HyperLinkTest, ColoursComeFromTheSettingsWhenTheLinkTakesOver) {
    ASSERT_TRUE(test::SavedColourValues::WriteText(L"Anchor Color", L"255,0,0"));
    ASSERT_TRUE(test::SavedColourValues::WriteText(L"Anchor Color Visited", L"0, 128, 0"));
    Attach();
    EXPECT_EQ(link_->Colours().link, RGB(255, 0, 0));
    EXPECT_EQ(link_->Colours().visited, RGB(0, 128, 0));
    EXPECT_GT(PrintClient(staticWindow_).Count(RGB(255, 0, 0)), 20);
}

TEST_F(HyperLinkTest, SetFontReplacesTheNormalFontAndRederivesTheLinkFont) {
    Attach();
    const HFONT ownNormal = link_->NormalFont();
    const HFONT ownLink = link_->LinkFont();
    const RECT before = link_->LinkRect();

    LOGFONTW big{};
    big.lfHeight = -30;
    wcscpy_s(big.lfFaceName, L"Tahoma");
    const UniqueFont bigFont(::CreateFontIndirectW(&big));
    ::SendMessageW(staticWindow_, WM_SETFONT, reinterpret_cast<WPARAM>(bigFont.Get()), TRUE);

    EXPECT_EQ(reinterpret_cast<HFONT>(::SendMessageW(staticWindow_, WM_GETFONT, 0, 0)), bigFont.Get());
    EXPECT_FALSE(link_->OwnsNormalFont());
    EXPECT_TRUE(link_->OwnsLinkFont());
    EXPECT_EQ(::GetObjectType(ownNormal), 0u);  // the fonts the link made are gone
    EXPECT_EQ(::GetObjectType(ownLink), 0u);
    LOGFONTW derived{};
    ASSERT_NE(::GetObjectW(link_->LinkFont(), sizeof(derived), &derived), 0);
    EXPECT_EQ(derived.lfHeight, -30);
    EXPECT_TRUE(derived.lfUnderline);
    EXPECT_GT(link_->LinkRect().bottom, before.bottom);
    EXPECT_GT(link_->LinkRect().right, before.right);

    // The font handed in is not the link's: destroying the window leaves it alive.
    const HFONT linkFont = link_->LinkFont();
    ::DestroyWindow(staticWindow_);
    EXPECT_EQ(::GetObjectType(bigFont.Get()), static_cast<DWORD>(OBJ_FONT));
    EXPECT_EQ(::GetObjectType(linkFont), 0u);
}

TEST_F(HyperLinkTest, FontGivenBeforeTakeoverStaysTheOwners) {
    const HFONT dialogFont = static_cast<HFONT>(::GetStockObject(DEFAULT_GUI_FONT));
    link_->SetNormalFont(dialogFont);
    Attach();
    EXPECT_EQ(link_->NormalFont(), dialogFont);
    EXPECT_FALSE(link_->OwnsNormalFont());
    EXPECT_TRUE(link_->OwnsLinkFont());
    LOGFONTW given{};
    LOGFONTW derived{};
    ::GetObjectW(dialogFont, sizeof(given), &given);
    ::GetObjectW(link_->LinkFont(), sizeof(derived), &derived);
    EXPECT_EQ(derived.lfHeight, given.lfHeight);
    EXPECT_STREQ(derived.lfFaceName, given.lfFaceName);
    EXPECT_TRUE(derived.lfUnderline);
}

TEST_F(HyperLinkTest, DestroyingTheWindowFreesWhatTheLinkOwns) {
    Attach();
    const HWND tooltip = link_->Tooltip();
    const HFONT normal = link_->NormalFont();
    const HFONT linkFont = link_->LinkFont();
    ASSERT_TRUE(::IsWindow(tooltip));
    ::DestroyWindow(staticWindow_);
    EXPECT_FALSE(::IsWindow(tooltip));
    EXPECT_EQ(::GetObjectType(normal), 0u);
    EXPECT_EQ(::GetObjectType(linkFont), 0u);
    EXPECT_EQ(link_->Window(), nullptr);
    EXPECT_EQ(link_->NormalFont(), nullptr);
    EXPECT_EQ(link_->Tooltip(), nullptr);
    // Texts live on until the object goes; the link can take over another static.
    EXPECT_STREQ(link_->DisplayText(), L"quillon.example");
    EXPECT_TRUE(link_->AttachToStatic(CreateStatic(L"again")));
}

// An object that goes before its window hands the window back to the static's own procedure.
TEST_F(HyperLinkTest, LinkGoingFirstGivesTheStaticBack) {
    const LONG_PTR original = ::GetWindowLongPtrW(staticWindow_, GWLP_WNDPROC);
    Attach();
    link_.reset();
    EXPECT_EQ(::GetWindowLongPtrW(staticWindow_, GWLP_WNDPROC), original);
    ::SendMessageW(staticWindow_, WM_SETTEXT, 0, reinterpret_cast<LPARAM>(L"plain"));
    EXPECT_EQ(test::WindowText(staticWindow_), L"plain");
    CHyperLink again;
    EXPECT_TRUE(again.AttachToStatic(staticWindow_));
}

}  // namespace
}  // namespace quillon
