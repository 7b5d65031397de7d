// The About box on its real template under Wine: layout, centring, the link inside it, and the way
// each opening starts afresh. Addresses only ever reach the harmless browser.
#include "about/about_dialog.h"

#include <commctrl.h>

#include <gtest/gtest.h>

#include <cstring>
#include <functional>
#include <string>
#include <vector>

#include "about/product_address.h"
#include "common/gdi_scopes.h"
#include "common/module.h"
#include "resources/resource.h"
#include "tests/about/about_test_support.h"
#include "tests/support/test_windows.h"

namespace quillon {
namespace {

using test::HarmlessBrowser;
using test::PrintClient;

constexpr COLORREF kDefaultLink = RGB(0, 0, 255);
constexpr COLORREF kDefaultVisited = RGB(128, 0, 128);

// ---- The template, read back from the linked resources ----

struct TemplateItem {
    DWORD style = 0;
    DWORD exStyle = 0;
    short x = 0, y = 0, cx = 0, cy = 0;
    int id = 0;
    std::wstring className;
    std::wstring text;       // an ordinal as "#<number>"
};
struct DialogTemplate {
    WORD version = 0, signature = 0;
    DWORD style = 0, exStyle = 0;
    short x = 0, y = 0, cx = 0, cy = 0;
    std::wstring menu, className, caption, face;
    WORD pointSize = 0, weight = 0;
    BYTE italic = 0, charset = 0;
    std::vector<TemplateItem> items;
};

class TemplateReader {
public:
    explicit TemplateReader(const BYTE* p) : p_(p) {}
    template <typename T>
    T Read() {
        T value;
        std::memcpy(&value, p_, sizeof(T));
        p_ += sizeof(T);
        return value;
    }
    // A text, or 0xFFFF and an ordinal (as "#<number>").
    std::wstring SzOrOrd() {
        const WORD first = Read<WORD>();
        if (first == 0xFFFF) return L"#" + std::to_wstring(Read<WORD>());
        std::wstring text;
        for (WORD c = first; c != 0; c = Read<WORD>()) text.push_back(static_cast<wchar_t>(c));
        return text;
    }
    void AlignDword(const BYTE* base) {
        while ((p_ - base) % 4) ++p_;
    }
    const BYTE* Where() const { return p_; }
    void Skip(size_t bytes) { p_ += bytes; }

private:
    const BYTE* p_;
};

DialogTemplate LoadAboutTemplate() {
    DialogTemplate t;
    const HRSRC found = ::FindResourceW(ThisModule(), MAKEINTRESOURCEW(IDD_ABOUTBOX), RT_DIALOG);
    if (!found) return t;
    const auto* base = static_cast<const BYTE*>(::LockResource(::LoadResource(ThisModule(), found)));
    TemplateReader r(base);
    t.version = r.Read<WORD>();
    t.signature = r.Read<WORD>();
    r.Read<DWORD>();  // help id
    t.exStyle = r.Read<DWORD>();
    t.style = r.Read<DWORD>();
    const WORD count = r.Read<WORD>();
    t.x = r.Read<short>();
    t.y = r.Read<short>();
    t.cx = r.Read<short>();
    t.cy = r.Read<short>();
    t.menu = r.SzOrOrd();
    t.className = r.SzOrOrd();
    t.caption = r.SzOrOrd();
    if (t.style & DS_SETFONT) {
        t.pointSize = r.Read<WORD>();
        t.weight = r.Read<WORD>();
        t.italic = r.Read<BYTE>();
        t.charset = r.Read<BYTE>();
        t.face = r.SzOrOrd();
    }
    for (WORD i = 0; i < count; ++i) {
        r.AlignDword(base);
        TemplateItem item;
        r.Read<DWORD>();  // help id
        item.exStyle = r.Read<DWORD>();
        item.style = r.Read<DWORD>();
        item.x = r.Read<short>();
        item.y = r.Read<short>();
        item.cx = r.Read<short>();
        item.cy = r.Read<short>();
        item.id = static_cast<int>(r.Read<DWORD>());
        item.className = r.SzOrOrd();
        // The predefined classes may be stored by ordinal or by name in any case.
        if (item.className == L"#128") item.className = L"Button";
        if (item.className == L"#130") item.className = L"Static";
        item.text = r.SzOrOrd();
        r.Skip(r.Read<WORD>());  // creation data
        t.items.push_back(item);
    }
    return t;
}

TEST(AboutTemplate, HoldsTheFiveControlsOfTheAboutBox) {
    const DialogTemplate t = LoadAboutTemplate();
    EXPECT_EQ(t.version, 1);
    EXPECT_EQ(t.signature, 0xFFFF);
    EXPECT_EQ(t.style, 0x80C800C8u);
    EXPECT_EQ(t.exStyle, 0u);
    EXPECT_EQ(t.x, 0);
    EXPECT_EQ(t.y, 0);
    EXPECT_EQ(t.cx, 177);
    EXPECT_EQ(t.cy, 109);
    EXPECT_EQ(t.menu, L"");
    EXPECT_EQ(t.className, L"");
    EXPECT_EQ(t.caption, L"About");
    EXPECT_EQ(t.pointSize, 8);
    EXPECT_EQ(t.face, L"MS Shell Dlg");
    EXPECT_EQ(t.weight, 0);
    EXPECT_EQ(t.italic, 0);
    EXPECT_EQ(t.charset, 0);

    struct Expected {
        const wchar_t* className;
        int id;
        DWORD style;
        short x, y, cx, cy;
    };
    const Expected expected[] = {
        {L"Button", IDOK, 0x50010001, 120, 88, 50, 14},
        {L"Static", -1, 0x50020001, 34, 35, 100, 27},
        {L"Static", -1, 0x50000003, 75, 14, 18, 16},
        {L"Button", -1, 0x50000007, 7, 7, 163, 75},
        {L"Static", 1000, 0x50020000, 47, 69, 75, 8},
    };
    ASSERT_EQ(t.items.size(), 5u);
    for (size_t i = 0; i < 5; ++i) {
        SCOPED_TRACE(testing::Message() << "control " << i + 1);
        const TemplateItem& item = t.items[i];
        EXPECT_EQ(::lstrcmpiW(item.className.c_str(), expected[i].className), 0) << item.className;
        EXPECT_EQ(static_cast<short>(item.id), expected[i].id);
        EXPECT_EQ(item.style, expected[i].style);
        EXPECT_EQ(item.exStyle, 0u);
        EXPECT_EQ(item.x, expected[i].x);
        EXPECT_EQ(item.y, expected[i].y);
        EXPECT_EQ(item.cx, expected[i].cx);
        EXPECT_EQ(item.cy, expected[i].cy);
    }
    EXPECT_EQ(t.items[0].text, L"OK");
    EXPECT_EQ(t.items[2].text, L"#128");  // the program's icon
    EXPECT_EQ(t.items[3].text, L"");
    // The link's static shows the display form of the address the link opens.
    EXPECT_EQ(t.items[4].text, kProductAddressDisplay);
    const std::wstring about = t.items[1].text;
    const size_t first = about.find(L'\n');
    ASSERT_NE(first, std::wstring::npos);
    EXPECT_EQ(about.substr(0, first), L"Quillon Application v1.0");
    ASSERT_EQ(about.substr(first + 1, 1), L"\n");
    const std::wstring owner = about.substr(first + 2);
    EXPECT_FALSE(owner.empty());
    EXPECT_EQ(owner.find(L'\n'), std::wstring::npos);
}

// ---- The running dialog ----

HWND OpenAboutWindow() {
    struct Find {
        static BOOL CALLBACK Proc(HWND hwnd, LPARAM lParam) {
            wchar_t name[16] = {};
            ::GetClassNameW(hwnd, name, 16);
            if (::IsWindowVisible(hwnd) && lstrcmpW(name, L"#32770") == 0 && test::WindowText(hwnd) == L"About") {
                *reinterpret_cast<HWND*>(lParam) = hwnd;
                return FALSE;
            }
            return TRUE;
        }
    };
    HWND found = nullptr;
    ::EnumThreadWindows(::GetCurrentThreadId(), &Find::Proc, reinterpret_cast<LPARAM>(&found));
    return found;
}

// Calls `open` (which runs the About box modally), hands the open dialog to `inspect` once, then
// `close`s it. Returns whether the dialog was seen.
bool WhileOpen(const std::function<void()>& open, const std::function<void(HWND)>& inspect,
               const std::function<void(HWND)>& close) {
    bool seen = false;
    test::ModalAnswerer answerer([&](HWND) {
        if (seen) return true;
        const HWND dialog = OpenAboutWindow();
        if (!dialog) return false;
        seen = true;
        inspect(dialog);
        close(dialog);
        return true;
    });
    open();
    return seen;
}

void PressOk(HWND dialog) { ::PostMessageW(::GetDlgItem(dialog, IDOK), BM_CLICK, 0, 0); }

RECT WindowRect(HWND hwnd) {
    RECT r{};
    ::GetWindowRect(hwnd, &r);
    return r;
}

RECT WorkAreaOf(HWND hwnd) {
    MONITORINFO info{};
    info.cbSize = sizeof(info);
    ::GetMonitorInfoW(::MonitorFromWindow(hwnd, MONITOR_DEFAULTTONEAREST), &info);
    return info.rcWork;
}

class AboutDialogTest : public ::testing::Test {
protected:
    void SetUp() override { HarmlessBrowser::ClearLog(); }
    void TearDown() override { HarmlessBrowser::ClearLog(); }

    test::SavedColourValues colours_;  // the default colours unless a test writes values
};

TEST_F(AboutDialogTest, OpensCentredOverItsOwnerWithTheFocusOnOk) {
    test::TestParentWindow owner(700, 500);
    ::MoveWindow(owner.Get(), 150, 120, 701, 501, TRUE);
    const RECT ownerRect = WindowRect(owner.Get());
    RECT dialogRect{};
    HWND focus = nullptr;
    HWND ok = nullptr;
    HWND dialogOwner = nullptr;
    bool ownerEnabled = true;
    CAboutDlg dialog;
    INT_PTR result = 0;
    ASSERT_TRUE(WhileOpen([&] { result = dialog.Run(owner.Get()); },
                          [&](HWND d) {
                              dialogRect = WindowRect(d);
                              focus = ::GetFocus();
                              ok = ::GetDlgItem(d, IDOK);
                              dialogOwner = ::GetWindow(d, GW_OWNER);
                              ownerEnabled = ::IsWindowEnabled(owner.Get()) != FALSE;
                          },
                          PressOk));
    EXPECT_EQ(result, IDOK);
    EXPECT_EQ(focus, ok);
    EXPECT_EQ(dialogOwner, owner.Get());
    EXPECT_FALSE(ownerEnabled);
    const LONG width = dialogRect.right - dialogRect.left;
    const LONG height = dialogRect.bottom - dialogRect.top;
    EXPECT_GT(width, 100);
    EXPECT_EQ(dialogRect.left, (ownerRect.left + ownerRect.right) / 2 - width / 2);
    EXPECT_EQ(dialogRect.top, (ownerRect.top + ownerRect.bottom) / 2 - height / 2);
}

TEST_F(AboutDialogTest, StaysInsideTheWorkAreaNearItsEdge) {
    test::TestParentWindow owner(300, 200);
    const RECT work = WorkAreaOf(owner.Get());
    ::MoveWindow(owner.Get(), work.right - 150, work.bottom - 100, 300, 200, TRUE);
    RECT dialogRect{};
    CAboutDlg dialog;
    ASSERT_TRUE(WhileOpen([&] { dialog.Run(owner.Get()); }, [&](HWND d) { dialogRect = WindowRect(d); }, PressOk));
    EXPECT_EQ(dialogRect.right, work.right);
    EXPECT_EQ(dialogRect.bottom, work.bottom);
}

TEST_F(AboutDialogTest, HiddenOrMinimisedOwnerCentresOnTheWorkArea) {
    for (const bool minimise : {false, true}) {
        SCOPED_TRACE(minimise ? "minimised owner" : "hidden owner");
        test::TestParentWindow owner(300, 200, minimise ? WS_OVERLAPPEDWINDOW | WS_VISIBLE : WS_OVERLAPPEDWINDOW);
        ::MoveWindow(owner.Get(), 10, 10, 300, 200, TRUE);
        if (minimise) ::ShowWindow(owner.Get(), SW_MINIMIZE);
        test::PumpMessages();
        RECT dialogRect{};
        RECT work{};
        CAboutDlg dialog;
        ASSERT_TRUE(WhileOpen([&] { dialog.Run(owner.Get()); },
                              [&](HWND d) {
                                  dialogRect = WindowRect(d);
                                  work = WorkAreaOf(d);
                              },
                              PressOk));
        const LONG width = dialogRect.right - dialogRect.left;
        const LONG height = dialogRect.bottom - dialogRect.top;
        EXPECT_EQ(dialogRect.left, (work.left + work.right) / 2 - width / 2);
        EXPECT_EQ(dialogRect.top, (work.top + work.bottom) / 2 - height / 2);
    }
}

TEST_F(AboutDialogTest, OkEscapeAndTheCloseBoxEndIt) {
    test::TestParentWindow owner;
    struct Way {
        const char* what;
        std::function<void(HWND)> close;
        INT_PTR result;
    };
    const Way ways[] = {
        {"OK", PressOk, IDOK},
        {"Escape", [](HWND d) { ::PostMessageW(::GetFocus() ? ::GetFocus() : d, WM_KEYDOWN, VK_ESCAPE, 0); }, IDCANCEL},
        {"Enter", [](HWND d) { ::PostMessageW(::GetFocus() ? ::GetFocus() : d, WM_KEYDOWN, VK_RETURN, 0); }, IDOK},
        {"close box", [](HWND d) { ::PostMessageW(d, WM_SYSCOMMAND, SC_CLOSE, 0); }, IDCANCEL},
    };
    for (const Way& way : ways) {
        SCOPED_TRACE(way.what);
        CAboutDlg dialog;
        INT_PTR result = 0;
        ASSERT_TRUE(WhileOpen([&] { result = dialog.Run(owner.Get()); }, [](HWND) {}, way.close));
        EXPECT_EQ(result, way.result);
        EXPECT_EQ(OpenAboutWindow(), nullptr);
    }
}

TEST_F(AboutDialogTest, LinkShowsTheProductAddressInTheDialogFont) {
    test::TestParentWindow owner;
    CAboutDlg dialog;
    CHyperLink& link = dialog.Link();
    HFONT dialogFont = nullptr;
    HFONT linkFont = nullptr;
    ASSERT_TRUE(WhileOpen([&] { dialog.Run(owner.Get()); },
                          [&](HWND d) {
                              const HWND s = ::GetDlgItem(d, IDC_HYPERLINK);
                              ASSERT_EQ(link.Window(), s);
                              EXPECT_EQ(test::WindowText(s), kProductAddressDisplay);
                              EXPECT_STREQ(link.DisplayText(), kProductAddressDisplay);
                              EXPECT_STREQ(link.Target(), kProductAddressTarget);
                              EXPECT_FALSE(::GetWindowLongW(s, GWL_STYLE) & WS_TABSTOP);
                              EXPECT_TRUE(::GetWindowLongW(s, GWL_STYLE) & SS_NOTIFY);

                              // The dialog's font, not owned; an underlined copy, owned.
                              dialogFont = reinterpret_cast<HFONT>(::SendMessageW(d, WM_GETFONT, 0, 0));
                              EXPECT_EQ(reinterpret_cast<HFONT>(::SendMessageW(s, WM_GETFONT, 0, 0)), dialogFont);
                              EXPECT_FALSE(link.OwnsNormalFont());
                              ASSERT_TRUE(link.OwnsLinkFont());
                              linkFont = link.LinkFont();
                              LOGFONTW lf{};
                              ::GetObjectW(linkFont, sizeof(lf), &lf);
                              EXPECT_TRUE(lf.lfUnderline);

                              // The tooltip names the address that opens, over the text.
                              ASSERT_NE(link.Tooltip(), nullptr);
                              EXPECT_EQ(::SendMessageW(link.Tooltip(), TTM_GETTOOLCOUNT, 0, 0), 1);
                              wchar_t tip[128] = {};
                              TTTOOLINFOW info{};
                              info.cbSize = sizeof(info);
                              info.hwnd = s;
                              info.uId = 1;
                              info.lpszText = tip;
                              ::SendMessageW(link.Tooltip(), TTM_GETTEXTW, 128, reinterpret_cast<LPARAM>(&info));
                              EXPECT_STREQ(tip, kProductAddressTarget);

                              // One line of text that fits the static.
                              RECT client{};
                              ::GetClientRect(s, &client);
                              TEXTMETRICW tm{};
                              {
                                  const WindowDC dc(s);
                                  const SelectionScope font(dc.Get(), linkFont);
                                  ::GetTextMetricsW(dc.Get(), &tm);
                              }
                              EXPECT_LE(link.LinkRect().right, client.right);
                              EXPECT_EQ(link.LinkRect().bottom, tm.tmHeight);

                              const test::Pixels pixels = PrintClient(s);
                              EXPECT_GT(pixels.Count(kDefaultLink), 20);
                              EXPECT_EQ(pixels.Count(kDefaultVisited), 0);
                          },
                          PressOk));
    // The link's own font went with the dialog.
    EXPECT_EQ(link.Window(), nullptr);
    EXPECT_EQ(::GetObjectType(linkFont), 0u);
}

// The product and owner lines fit their static in three lines, without wrapping.
TEST_F(AboutDialogTest, AboutTextFitsItsStatic) {
    test::TestParentWindow owner;
    CAboutDlg dialog;
    ASSERT_TRUE(WhileOpen([&] { dialog.Run(owner.Get()); },
                          [&](HWND d) {
                              HWND text = nullptr;
                              for (HWND c = ::GetWindow(d, GW_CHILD); c; c = ::GetWindow(c, GW_HWNDNEXT))
                                  if (test::WindowText(c).find(L"Quillon Application") == 0) text = c;
                              ASSERT_NE(text, nullptr);
                              RECT client{};
                              ::GetClientRect(text, &client);
                              const std::wstring content = test::WindowText(text);
                              const WindowDC dc(text);
                              const SelectionScope font(dc.Get(),
                                                        reinterpret_cast<HFONT>(::SendMessageW(text, WM_GETFONT, 0, 0)));
                              RECT wrapped = client;
                              ::DrawTextW(dc.Get(), content.c_str(), -1, &wrapped,
                                          DT_CENTER | DT_WORDBREAK | DT_CALCRECT);
                              RECT unwrapped = client;
                              ::DrawTextW(dc.Get(), content.c_str(), -1, &unwrapped, DT_CENTER | DT_CALCRECT);
                              EXPECT_LE(wrapped.bottom, client.bottom);
                              EXPECT_EQ(wrapped.bottom, unwrapped.bottom);  // three lines, none wrapped
                          },
                          PressOk));
}

TEST_F(AboutDialogTest, SettingsColourTheLink) {
    ASSERT_TRUE(test::SavedColourValues::WriteText(L"Anchor Color", L"255, 0, 0"));
    test::TestParentWindow owner;
    CAboutDlg dialog;
    int red = 0;
    ASSERT_TRUE(WhileOpen([&] { dialog.Run(owner.Get()); },
                          [&](HWND d) { red = PrintClient(::GetDlgItem(d, IDC_HYPERLINK)).Count(RGB(255, 0, 0)); },
                          PressOk));
    EXPECT_GT(red, 20);
}

// The https address goes to WineBrowser, which the test program points at a harmless logger.
TEST_F(AboutDialogTest, PressOnTheLinkAndReleaseElsewhereOpensNothing) {
    if (!test::RunningUnderWine()) GTEST_SKIP() << "would open a real browser";
    test::TestParentWindow owner;
    CAboutDlg dialog;
    CHyperLink& link = dialog.Link();
    ASSERT_TRUE(WhileOpen([&] { dialog.Run(owner.Get()); },
                          [&](HWND d) {
                              const HWND s = ::GetDlgItem(d, IDC_HYPERLINK);
                              const RECT r = link.LinkRect();
                              const LPARAM on = MAKELPARAM((r.left + r.right) / 2, (r.top + r.bottom) / 2);
                              ::SendMessageW(s, WM_LBUTTONDOWN, MK_LBUTTON, on);
                              EXPECT_EQ(::GetCapture(), s);
                              EXPECT_EQ(::GetFocus(), s);
                              ::SendMessageW(s, WM_LBUTTONUP, 0, MAKELPARAM(r.right + 5, 2));
                              EXPECT_EQ(::GetCapture(), nullptr);
                              EXPECT_FALSE(link.Visited());
                              // After the click took the focus, the space bar opens the address.
                              ::SendMessageW(s, WM_CHAR, 32, 1);
                              EXPECT_TRUE(link.Visited());
                          },
                          PressOk));
    ASSERT_TRUE(HarmlessBrowser::WaitForOpened(1));
    test::PumpFor(300);
    const auto opened = HarmlessBrowser::Opened();
    ASSERT_EQ(opened.size(), 1u);
    EXPECT_EQ(opened[0], kProductAddressTarget);
}

TEST_F(AboutDialogTest, EveryOpeningStartsUnvisited) {
    if (!test::RunningUnderWine()) GTEST_SKIP() << "would open a real browser";
    test::TestParentWindow owner;
    for (int opening = 1; opening <= 2; ++opening) {
        SCOPED_TRACE(testing::Message() << "opening " << opening);
        int unvisitedBlue = 0, unvisitedPurple = -1, visitedBlue = -1, visitedPurple = 0;
        ASSERT_TRUE(WhileOpen([&] { RunAboutBox(owner.Get()); },
                              [&](HWND d) {
                                  const HWND s = ::GetDlgItem(d, IDC_HYPERLINK);
                                  test::Pixels pixels = PrintClient(s);
                                  unvisitedBlue = pixels.Count(kDefaultLink);
                                  unvisitedPurple = pixels.Count(kDefaultVisited);
                                  ::SetFocus(s);
                                  ::SendMessageW(s, WM_CHAR, 32, 1);
                                  pixels = PrintClient(s);
                                  visitedBlue = pixels.Count(kDefaultLink);
                                  visitedPurple = pixels.Count(kDefaultVisited);
                              },
                              PressOk));
        EXPECT_GT(unvisitedBlue, 20);
        EXPECT_EQ(unvisitedPurple, 0);
        EXPECT_EQ(visitedBlue, 0);
        EXPECT_GT(visitedPurple, 20);
        ASSERT_TRUE(HarmlessBrowser::WaitForOpened(static_cast<size_t>(opening)));
    }
}

}  // namespace
}  // namespace quillon
