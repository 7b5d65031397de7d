// The Hex View dialog on a large section.
//   hexview_bench.exe [MiB] [pages-with-paint] [hold-seconds] [presses]
//   (defaults 256, every page, 0, to the bottom; presses limits the PgDn run)
// Creates a named section of the given size filled with a pattern, lists it in a real section list,
// runs the Hex View command on it and, from inside the dialog, measures:
//   - opening: from the command to the end of the control's first paint;
//   - a full-screen paint: the dialog maximised over the work area, the whole control repainted
//     (to the screen, and into a memory DC), without and with everything selected;
//   - Ctrl+Insert with everything selected: the copy of the whole section to the clipboard;
//   - PgDn from the top to the bottom, each page painted as a user would see it;
//   - the process's memory (private committed bytes, working set) before, while and after.
// With hold-seconds, the dialog stays as first shown that long first, for a screenshot from outside
// (for example `import -window root` on the X display).
#include <windows.h>
#include <commctrl.h>
#include <psapi.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstring>
#include <cwchar>
#include <string>
#include <vector>

#include "catalogue/list_rows.h"
#include "catalogue/quillon_view.h"
#include "hexview/hex_edit_control.h"
#include "shell/frame_commands.h"
#include "tests/support/test_windows.h"

using namespace quillon;

namespace {

using Clock = std::chrono::steady_clock;

double Ms(Clock::time_point from, Clock::time_point to) {
    return std::chrono::duration<double, std::milli>(to - from).count();
}

struct Memory {
    double privateMiB;     // committed private pages, summed region by region
    double workingSetMiB;  // as the process counters report it
    double privateUsageMiB;
};

Memory MeasureMemory() {
    SIZE_T privateBytes = 0;
    MEMORY_BASIC_INFORMATION info{};
    const char* at = nullptr;
    while (::VirtualQuery(at, &info, sizeof(info)) == sizeof(info)) {
        if (info.Type == MEM_PRIVATE && info.State == MEM_COMMIT) privateBytes += info.RegionSize;
        const char* next = static_cast<const char*>(info.BaseAddress) + info.RegionSize;
        if (next <= at) break;
        at = next;
    }
    PROCESS_MEMORY_COUNTERS_EX counters{};
    counters.cb = sizeof(counters);
    ::GetProcessMemoryInfo(::GetCurrentProcess(), reinterpret_cast<PROCESS_MEMORY_COUNTERS*>(&counters),
                           sizeof(counters));
    const double mib = 1024.0 * 1024.0;
    return Memory{privateBytes / mib, counters.WorkingSetSize / mib, counters.PrivateUsage / mib};
}

void PrintMemory(const char* when, const Memory& m) {
    std::printf("memory %-28s private committed %8.1f MiB   working set %8.1f MiB   PrivateUsage %8.1f MiB\n",
                when, m.privateMiB, m.workingSetMiB, m.privateUsageMiB);
}

struct Run {
    Clock::time_point commandStart;
    Clock::time_point firstPaintEnd;
    bool painted = false;
    bool measured = false;
    HWND dialog = nullptr;
    HWND control = nullptr;
    long long pagesWithPaint = -1;  // -1: all
    long long presses = -1;         // -1: PgDn until the bottom
    DWORD holdMs = 0;
    std::uint32_t sizeMiB = 256;
} g_run;

LRESULT CALLBACK FirstPaintSubclass(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam, UINT_PTR, DWORD_PTR) {
    const LRESULT result = ::DefSubclassProc(hwnd, msg, wParam, lParam);
    if (msg == WM_PAINT && !g_run.painted) {
        g_run.firstPaintEnd = Clock::now();
        g_run.painted = true;
    }
    return result;
}

// Sees the dialog's WM_INITDIALOG return and times the control's first paint from there.
LRESULT CALLBACK CallWndRetHook(int code, WPARAM wParam, LPARAM lParam) {
    if (code == HC_ACTION) {
        const auto* message = reinterpret_cast<const CWPRETSTRUCT*>(lParam);
        if (message->message == WM_INITDIALOG && !g_run.control) {
            HWND control = ::FindWindowExW(message->hwnd, nullptr, kHexEditControlClass, nullptr);
            if (control) {
                g_run.dialog = message->hwnd;
                g_run.control = control;
                ::SetWindowSubclass(control, &FirstPaintSubclass, 1, 0);
            }
        }
    }
    return ::CallNextHookEx(nullptr, code, wParam, lParam);
}

SCROLLINFO ScrollState(HWND control) {
    SCROLLINFO info{};
    info.cbSize = sizeof(info);
    info.fMask = SIF_ALL;
    ::GetScrollInfo(control, SB_VERT, &info);
    return info;
}

void PressKey(HWND control, UINT key, bool ctrl, bool shift) {
    BYTE keys[256] = {};
    ::GetKeyboardState(keys);
    keys[VK_CONTROL] = ctrl ? 0x80 : 0;
    keys[VK_SHIFT] = shift ? 0x80 : 0;
    ::SetKeyboardState(keys);
    ::SendMessageW(control, WM_KEYDOWN, key, 1);
    keys[VK_CONTROL] = keys[VK_SHIFT] = 0;
    ::SetKeyboardState(keys);
}

struct PaintFigures {
    double mean, best, worst;
};

PaintFigures TimePaints(HWND control, bool toMemory, int rounds) {
    RECT client{};
    ::GetClientRect(control, &client);
    HDC screen = ::GetDC(control);
    HDC memory = ::CreateCompatibleDC(screen);
    HBITMAP bitmap = ::CreateCompatibleBitmap(screen, client.right, client.bottom);
    HGDIOBJ old = ::SelectObject(memory, bitmap);
    std::vector<double> times;
    for (int i = 0; i < rounds; ++i) {
        const Clock::time_point start = Clock::now();
        if (toMemory) {
            ::SendMessageW(control, WM_PRINTCLIENT, reinterpret_cast<WPARAM>(memory), PRF_CLIENT);
            ::GdiFlush();
        } else {
            ::InvalidateRect(control, nullptr, FALSE);
            ::UpdateWindow(control);
            ::GdiFlush();
        }
        times.push_back(Ms(start, Clock::now()));
    }
    ::SelectObject(memory, old);
    ::DeleteObject(bitmap);
    ::DeleteDC(memory);
    ::ReleaseDC(control, screen);
    double sum = 0;
    for (double t : times) sum += t;
    return PaintFigures{sum / times.size(), *std::min_element(times.begin(), times.end()),
                        *std::max_element(times.begin(), times.end())};
}

void MeasureInsideDialog() {
    HWND dialog = g_run.dialog;
    HWND control = g_run.control;
    std::printf("open      %8.1f ms  (command to the end of the control's first paint)\n",
                Ms(g_run.commandStart, g_run.firstPaintEnd));
    PrintMemory("with the dialog open", MeasureMemory());
    if (g_run.holdMs > 0) {
        std::printf("holding   the dialog as shown for %lu ms\n", g_run.holdMs);
        std::fflush(stdout);
        const DWORD start = ::GetTickCount();
        while (::GetTickCount() - start < g_run.holdMs) {
            test::PumpMessages();
            ::MsgWaitForMultipleObjects(0, nullptr, FALSE, 20, QS_ALLINPUT);
        }
    }

    // Full screen: the dialog over the whole work area, the control over its client less the strip.
    RECT work{};
    ::SystemParametersInfoW(SPI_GETWORKAREA, 0, &work, 0);
    ::SetWindowPos(dialog, nullptr, work.left, work.top, work.right - work.left, work.bottom - work.top,
                   SWP_NOZORDER);
    RECT client{};
    ::GetClientRect(dialog, &client);
    ::MoveWindow(control, 0, 0, client.right, client.bottom - 50, TRUE);
    ::UpdateWindow(dialog);
    const SCROLLINFO bar = ScrollState(control);
    ::GetClientRect(control, &client);
    std::printf("screen    control %ld x %ld pixels, %u whole rows of %d\n", client.right, client.bottom, bar.nPage,
                bar.nMax + 1);

    const int rounds = 50;
    PaintFigures f = TimePaints(control, false, rounds);
    std::printf("paint     %8.2f ms mean  %8.2f best  %8.2f worst  full screen to the window, no selection\n", f.mean,
                f.best, f.worst);
    f = TimePaints(control, true, rounds);
    std::printf("paint     %8.2f ms mean  %8.2f best  %8.2f worst  full screen into a memory DC, no selection\n",
                f.mean, f.best, f.worst);
    PressKey(control, VK_HOME, true, false);  // everything selected, the view back at the top
    PressKey(control, VK_END, true, true);
    ::SendMessageW(control, WM_VSCROLL, MAKEWPARAM(SB_THUMBPOSITION, 0), 0);
    ::UpdateWindow(control);
    f = TimePaints(control, false, rounds);
    std::printf("paint     %8.2f ms mean  %8.2f best  %8.2f worst  full screen to the window, all selected\n", f.mean,
                f.best, f.worst);

    // The copy of everything (the selection is still the whole section), read back from the clipboard.
    const Clock::time_point copyStart = Clock::now();
    PressKey(control, VK_INSERT, true, false);
    const double copyMs = Ms(copyStart, Clock::now());
    std::uint32_t copied = 0;
    const UINT format = ::RegisterClipboardFormatW(L"HexData");
    if (::OpenClipboard(nullptr)) {
        if (HANDLE block = ::GetClipboardData(format)) {
            if (const void* data = ::GlobalLock(block)) {
                std::memcpy(&copied, data, sizeof(copied));
                ::GlobalUnlock(block);
            }
        }
        ::CloseClipboard();
    }
    std::printf("copy      %8.1f ms  Ctrl+Insert of %u MiB, the clipboard holds %u bytes\n", copyMs, g_run.sizeMiB,
                copied);
    PrintMemory("after the copy", MeasureMemory());
    if (::OpenClipboard(nullptr)) {
        ::EmptyClipboard();
        ::CloseClipboard();
    }

    PressKey(control, VK_HOME, true, false);
    ::UpdateWindow(control);

    // PgDn from the top to the bottom, each page painted before the next key.
    const SCROLLINFO start = ScrollState(control);
    const int maxTop = start.nMax - static_cast<int>(start.nPage) + 1;
    long long presses = 0;
    const Clock::time_point pagingStart = Clock::now();
    Clock::time_point lastReport = pagingStart;
    for (;;) {
        const int before = ScrollState(control).nPos;
        PressKey(control, VK_NEXT, false, false);
        if (g_run.pagesWithPaint < 0 || presses < g_run.pagesWithPaint) ::UpdateWindow(control);
        ++presses;
        const int after = ScrollState(control).nPos;
        if (after == before || after >= maxTop) break;
        if (g_run.presses >= 0 && presses >= g_run.presses) break;
        if (Ms(lastReport, Clock::now()) > 30000) {
            lastReport = Clock::now();
            std::printf("          ... %lld pages, row %d of %d, %.0f s\n", presses, after, maxTop,
                        Ms(pagingStart, lastReport) / 1000);
            std::fflush(stdout);
        }
    }
    ::UpdateWindow(control);
    const double pagingMs = Ms(pagingStart, Clock::now());
    std::printf("PgDn      %8.1f s for %lld pages %s (%.3f ms per page, %s)\n", pagingMs / 1000, presses,
                g_run.presses >= 0 ? "from the top" : "top to bottom",
                pagingMs / presses,
                g_run.pagesWithPaint < 0 ? "each page painted" : "only the first pages painted");
    PrintMemory("after paging to the end", MeasureMemory());
    ::PostMessageW(dialog, WM_COMMAND, IDOK, 0);
}

void CALLBACK Tick(HWND, UINT, UINT_PTR id, DWORD) {
    if (g_run.measured || !g_run.painted || !g_run.dialog || !::IsWindowVisible(g_run.dialog)) return;
    g_run.measured = true;
    ::KillTimer(nullptr, id);
    MeasureInsideDialog();
}

}  // namespace

int wmain(int argc, wchar_t** argv) {
    g_run.sizeMiB = argc > 1 ? static_cast<std::uint32_t>(std::wcstoul(argv[1], nullptr, 10)) : 256;
    g_run.pagesWithPaint = argc > 2 ? std::wcstoll(argv[2], nullptr, 10) : -1;
    g_run.holdMs = argc > 3 ? static_cast<DWORD>(std::wcstoul(argv[3], nullptr, 10)) * 1000 : 0;
    g_run.presses = argc > 4 ? std::wcstoll(argv[4], nullptr, 10) : -1;
    INITCOMMONCONTROLSEX icc{sizeof(icc), ICC_BAR_CLASSES | ICC_LISTVIEW_CLASSES};
    ::InitCommonControlsEx(&icc);
    RegisterHexEditControl(::GetModuleHandleW(nullptr));

    // The section, filled through a view of our own that is gone before the measurement starts.
    const std::wstring name = L"QuillonHexBench_" + std::to_wstring(::GetCurrentProcessId());
    const unsigned long long bytes = static_cast<unsigned long long>(g_run.sizeMiB) << 20;
    HANDLE section = ::CreateFileMappingW(INVALID_HANDLE_VALUE, nullptr, PAGE_READWRITE, static_cast<DWORD>(bytes >> 32),
                                          static_cast<DWORD>(bytes), name.c_str());
    if (!section) {
        std::printf("cannot create a section of %u MiB (error %lu)\n", g_run.sizeMiB, ::GetLastError());
        return 1;
    }
    if (auto* fill = static_cast<unsigned char*>(::MapViewOfFile(section, FILE_MAP_WRITE, 0, 0, 0))) {
        for (unsigned long long k = 0; k < bytes; ++k) fill[k] = static_cast<unsigned char>(k * 7 + (k >> 12));
        ::UnmapViewOfFile(fill);
    }

    test::TestParentWindow host(900, 600);
    CQuillonView view;
    view.Create(host.Get());
    view.InsertColumns();
    ::MoveWindow(view.Window(), 0, 0, 880, 560, TRUE);
    view.AppendSection(name.c_str());
    view.SelectOneRow(0);
    std::wprintf(L"section   %ls, %u MiB, size column %ls\n", name.c_str(), g_run.sizeMiB,
                 ReadCellText(view.Window(), 0, 1).c_str());
    test::PumpMessages();
    PrintMemory("before opening", MeasureMemory());

    HHOOK hook = ::SetWindowsHookExW(WH_CALLWNDPROCRET, &CallWndRetHook, nullptr, ::GetCurrentThreadId());
    const UINT_PTR timer = ::SetTimer(nullptr, 0, 10, &Tick);
    g_run.commandStart = Clock::now();
    RunHexViewCommand(host.Get(), view.Window());
    ::KillTimer(nullptr, timer);
    ::UnhookWindowsHookEx(hook);
    test::PumpMessages();
    if (!g_run.measured) std::printf("the dialog did not open\n");
    PrintMemory("after closing", MeasureMemory());

    ::CloseHandle(section);
    return g_run.measured ? 0 : 1;
}
