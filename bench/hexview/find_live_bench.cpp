// Find and live watching in the Hex View dialog, on a large section.
//   find_live_bench.exe [MiB] [live-seconds] [hold-seconds]   (defaults 256, 10, 0)
// Prints:
//   - find, pattern absent: the viewer's search (readable ranges, then the scan) against a plain
//     std::search with a Boyer-Moore-Horspool searcher over the same mapped bytes, several rounds;
//   - the same search run from the real dialog (F3), with the longest time the dialog took to answer
//     a message sent from another thread while it ran;
//   - live watching on the maximised dialog: the user-interface thread's CPU time per second with
//     watching off and on (another thread changes bytes on screen ten times a second), and the
//     process's memory before and after.
// With hold-seconds, the dialog stays open with live watching on and changing bytes that long at the
// end, for a screenshot from outside (`import -window root` on the X display); live_highlight.png
// beside this file is one such picture of a 256 MiB section.
#include <windows.h>
#include <commctrl.h>
#include <psapi.h>

#include <algorithm>
#include <atomic>
#include <chrono>
#include <cstdio>
#include <cwchar>
#include <functional>
#include <string>
#include <thread>
#include <vector>

#include "hexview/byte_search.h"
#include "hexview/hex_dialog.h"
#include "hexview/hex_edit_control.h"
#include "resources/resource.h"
#include "tests/support/test_windows.h"

using namespace quillon;

namespace {

using Clock = std::chrono::steady_clock;

double Ms(Clock::time_point from, Clock::time_point to) {
    return std::chrono::duration<double, std::milli>(to - from).count();
}

double PrivateMiB() {
    SIZE_T bytes = 0;
    MEMORY_BASIC_INFORMATION info{};
    const char* at = nullptr;
    while (::VirtualQuery(at, &info, sizeof(info)) == sizeof(info)) {
        if (info.Type == MEM_PRIVATE && info.State == MEM_COMMIT) bytes += info.RegionSize;
        const char* next = static_cast<const char*>(info.BaseAddress) + info.RegionSize;
        if (next <= at) break;
        at = next;
    }
    return bytes / 1048576.0;
}

double WorkingSetMiB() {
    PROCESS_MEMORY_COUNTERS counters{};
    counters.cb = sizeof(counters);
    ::GetProcessMemoryInfo(::GetCurrentProcess(), &counters, sizeof(counters));
    return counters.WorkingSetSize / 1048576.0;
}

double ThreadCpuMs(HANDLE thread) {
    FILETIME created, exited, kernel, user;
    ::GetThreadTimes(thread, &created, &exited, &kernel, &user);
    const auto value = [](const FILETIME& t) {
        return (static_cast<unsigned long long>(t.dwHighDateTime) << 32 | t.dwLowDateTime) / 10000.0;
    };
    return value(kernel) + value(user);
}

// Pumps the dialog's messages as its own loop does, for `ms`.
void PumpDialog(HWND dialog, DWORD ms) {
    const DWORD start = ::GetTickCount();
    while (::GetTickCount() - start < ms) {
        MSG msg;
        while (::PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE)) {
            if (!::IsDialogMessageW(dialog, &msg)) {
                ::TranslateMessage(&msg);
                ::DispatchMessageW(&msg);
            }
        }
        const DWORD spent = ::GetTickCount() - start;
        if (spent < ms) ::MsgWaitForMultipleObjects(0, nullptr, FALSE, ms - spent, QS_ALLINPUT);
    }
}

const unsigned char kAbsent[8] = {0xDE, 0xAD, 0xBE, 0xEF, 0x01, 0x02, 0x03, 0x04};

void CompareScans(const unsigned char* bytes, std::uint64_t size) {
    const BytePattern pattern = ParsePattern(L"DE AD BE EF 01 02 03 04", SearchMode::HexBytes, true).pattern;
    const std::boyer_moore_horspool_searcher<const unsigned char*> searcher(kAbsent, kAbsent + 8);
    std::vector<double> ours, plain;
    for (int round = 0; round < 5; ++round) {
        Clock::time_point start = Clock::now();
        const std::vector<OffsetSpan> spans = FindReadableSpans(bytes, size);
        std::uint64_t calls = 0;
        const auto found = FindPattern(bytes, size, spans, pattern, 0, SearchDirection::Forward,
                                       [&](std::uint64_t, std::uint64_t) { return ++calls != 0; });
        ours.push_back(Ms(start, Clock::now()));
        if (found) std::printf("unexpected match at %llu\n", static_cast<unsigned long long>(*found));

        start = Clock::now();
        const unsigned char* hit = std::search(bytes, bytes + size, searcher);
        plain.push_back(Ms(start, Clock::now()));
        if (hit != bytes + size) std::printf("unexpected plain match\n");
    }
    const auto best = [](const std::vector<double>& v) { return *std::min_element(v.begin(), v.end()); };
    const auto mean = [](const std::vector<double>& v) {
        double s = 0;
        for (double x : v) s += x;
        return s / v.size();
    };
    std::printf("find      viewer search  %8.1f ms best  %8.1f ms mean   (readable ranges + scan + progress calls)\n",
                best(ours), mean(ours));
    std::printf("find      std::search BMH %7.1f ms best  %8.1f ms mean   (same mapped bytes)\n", best(plain),
                mean(plain));
    std::printf("find      ratio %.2f (best)  %.2f (mean)\n", best(ours) / best(plain), mean(ours) / mean(plain));

    // Other pattern kinds, for reference.
    const struct {
        const wchar_t* text;
        SearchMode mode;
        bool matchCase;
        const char* what;
    } kinds[] = {{L"DE ?? BE EF 01 02 ?? 04", SearchMode::HexBytes, true, "hex with two wildcards"},
                 {L"quillon marker", SearchMode::Utf8Text, false, "UTF-8 text, ignoring case"},
                 {L"quillon marker", SearchMode::Utf16Text, false, "UTF-16 text, ignoring case"}};
    for (const auto& kind : kinds) {
        const BytePattern p = ParsePattern(kind.text, kind.mode, kind.matchCase).pattern;
        const Clock::time_point start = Clock::now();
        const auto found = FindPattern(bytes, size, FindReadableSpans(bytes, size), p, 0, SearchDirection::Forward);
        std::printf("find      %-28s %8.1f ms%s\n", kind.what, Ms(start, Clock::now()), found ? " (found)" : "");
    }
}

struct Run {
    std::uint32_t mib = 256;
    DWORD liveMs = 10000;
    DWORD holdMs = 0;
    std::wstring name;
    CHexDlg* dialog = nullptr;
    HANDLE uiThread = nullptr;
    bool measured = false;
} g_run;

// Answers the Find dialog with the absent pattern.
void CALLBACK AnswerFind(HWND, UINT, UINT_PTR, DWORD) {
    HWND find = ::FindWindowW(L"#32770", L"Find");
    if (!find || !::IsWindowVisible(find)) return;
    ::SetDlgItemTextW(find, IDC_HEX_FIND_TEXT, L"DE AD BE EF 01 02 03 04");
    ::CheckRadioButton(find, IDC_HEX_FIND_HEX, IDC_HEX_FIND_UTF16, IDC_HEX_FIND_HEX);
    ::CheckRadioButton(find, IDC_HEX_FIND_UP, IDC_HEX_FIND_DOWN, IDC_HEX_FIND_DOWN);
    ::PostMessageW(find, WM_COMMAND, IDOK, 0);
}

void MeasureInsideDialog() {
    CHexDlg& dlg = *g_run.dialog;
    const HWND dialog = dlg.Window();
    const HWND control = dlg.Control();
    ::ShowWindow(dialog, SW_MAXIMIZE);
    PumpDialog(dialog, 300);
    RECT client{};
    ::GetClientRect(control, &client);
    std::printf("dialog    maximised, control %ld x %ld pixels\n", client.right, client.bottom);

    // Find from the dialog, with a probe thread timing how long the dialog takes to answer.
    std::atomic<bool> probing{true};
    std::atomic<bool> probeDone{false};
    std::atomic<double> worst{0};
    std::atomic<int> probes{0};
    std::thread probe([&] {
        while (probing) {
            const Clock::time_point start = Clock::now();
            DWORD_PTR result = 0;
            ::SendMessageTimeoutW(dialog, WM_NULL, 0, 0, SMTO_BLOCK, 5000, &result);
            const double took = Ms(start, Clock::now());
            if (took > worst) worst = took;
            if (probing) ++probes;
            ::Sleep(5);
        }
        probeDone = true;
    });
    const UINT_PTR answer = ::SetTimer(nullptr, 0, 20, &AnswerFind);
    const Clock::time_point start = Clock::now();
    dlg.OnDialogKey(HexDialogKey::Find);  // returns once the Find dialog is answered and the search started
    ::KillTimer(nullptr, answer);
    wchar_t status[512] = {};
    std::wstring lastStatus;
    bool sawProgress = false;
    for (;;) {
        MSG msg;
        while (::PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE)) {
            if (!::IsDialogMessageW(dialog, &msg)) {
                ::TranslateMessage(&msg);
                ::DispatchMessageW(&msg);
            }
        }
        ::GetDlgItemTextW(dialog, IDC_HEX_STATUS, status, 512);
        lastStatus = status;
        if (lastStatus.find(L"Searching") != std::wstring::npos) sawProgress = true;
        if (lastStatus.find(L"Not found") != std::wstring::npos) break;
        if (Ms(start, Clock::now()) > 60000) break;
        ::MsgWaitForMultipleObjects(0, nullptr, FALSE, 5, QS_ALLINPUT);
    }
    const double findMs = Ms(start, Clock::now());
    const double slowest = worst.load();
    probing = false;
    // The probe may be waiting for this thread: answer it while it ends.
    while (!probeDone) PumpDialog(dialog, 5);
    probe.join();
    std::printf("dialog    F3-style find, absent: %.1f ms to \"Not found\" (Find dialog included); progress %s; "
                "%d probe messages answered, slowest %.1f ms\n",
                findMs, sawProgress ? "shown" : "not shown (search too short)", probes.load(), slowest);

    // Live watching: CPU of this (the user-interface) thread per second, off and on.
    std::atomic<bool> writing{true};
    std::atomic<bool> paused{false};
    std::thread writer([&] {
        HANDLE section = ::OpenFileMappingW(FILE_MAP_WRITE, FALSE, g_run.name.c_str());
        auto* bytes = static_cast<unsigned char*>(::MapViewOfFile(section, FILE_MAP_WRITE, 0, 0, 64 * 1024));
        unsigned k = 0;
        while (writing) {
            if (paused) {
                ::Sleep(20);
                continue;
            }
            // Four bytes somewhere in the first screen's rows, ten times a second.
            bytes[(k * 37) % 512] = static_cast<unsigned char>(k);
            bytes[(k * 53) % 512 + 512] = static_cast<unsigned char>(k * 3);
            ++k;
            ::Sleep(100);
        }
        ::UnmapViewOfFile(bytes);
        ::CloseHandle(section);
    });
    const auto cpuPerSecond = [&](DWORD ms) {
        const double cpu0 = ThreadCpuMs(g_run.uiThread);
        const Clock::time_point t0 = Clock::now();
        PumpDialog(dialog, ms);
        return (ThreadCpuMs(g_run.uiThread) - cpu0) / (Ms(t0, Clock::now()) / 1000.0);
    };
    const double privateBefore = PrivateMiB();
    const double workingBefore = WorkingSetMiB();
    const double offCpu = cpuPerSecond(g_run.liveMs);
    dlg.OnDialogKey(HexDialogKey::ToggleLive);
    paused = true;
    PumpDialog(dialog, 2500);  // shades from before the pause fade out
    const double quietCpu = cpuPerSecond(g_run.liveMs);
    paused = false;
    const double onCpu = cpuPerSecond(g_run.liveMs);
    const double privateAfter = PrivateMiB();
    const double workingAfter = WorkingSetMiB();
    std::printf("live      UI thread CPU: off %.2f ms/s (%.2f%% of a core), on %.2f ms/s (%.2f%% of a core), "
                "over %lu ms each, bytes changing 10x/s\n",
                offCpu, offCpu / 10.0, onCpu, onCpu / 10.0, g_run.liveMs);
    std::printf("live      UI thread CPU with live watching on and nothing changing: %.2f ms/s (%.2f%% of a core)\n",
                quietCpu, quietCpu / 10.0);
    std::printf("memory    private committed %.1f -> %.1f MiB, working set %.1f -> %.1f MiB (section %u MiB)\n",
                privateBefore, privateAfter, workingBefore, workingAfter, g_run.mib);
    if (g_run.holdMs > 0) {
        std::printf("holding   %lu ms with live watching on\n", g_run.holdMs);
        std::fflush(stdout);
        PumpDialog(dialog, g_run.holdMs);
    }
    writing = false;
    writer.join();
    ::PostMessageW(dialog, WM_COMMAND, IDOK, 0);
}

void CALLBACK Start(HWND, UINT, UINT_PTR id, DWORD) {
    if (g_run.measured || !g_run.dialog || !g_run.dialog->Window() || !::IsWindowVisible(g_run.dialog->Window()))
        return;
    g_run.measured = true;
    ::KillTimer(nullptr, id);
    MeasureInsideDialog();
}

}  // namespace

int wmain(int argc, wchar_t** argv) {
    g_run.mib = argc > 1 ? static_cast<std::uint32_t>(std::wcstoul(argv[1], nullptr, 10)) : 256;
    g_run.liveMs = argc > 2 ? static_cast<DWORD>(std::wcstoul(argv[2], nullptr, 10)) * 1000 : 10000;
    g_run.holdMs = argc > 3 ? static_cast<DWORD>(std::wcstoul(argv[3], nullptr, 10)) * 1000 : 0;
    INITCOMMONCONTROLSEX icc{sizeof(icc), ICC_BAR_CLASSES};
    ::InitCommonControlsEx(&icc);
    RegisterHexEditControl(::GetModuleHandleW(nullptr));
    ::DuplicateHandle(::GetCurrentProcess(), ::GetCurrentThread(), ::GetCurrentProcess(), &g_run.uiThread, 0, FALSE,
                      DUPLICATE_SAME_ACCESS);

    g_run.name = L"QuillonFindBench_" + std::to_wstring(::GetCurrentProcessId());
    const unsigned long long bytes = static_cast<unsigned long long>(g_run.mib) << 20;
    HANDLE section = ::CreateFileMappingW(INVALID_HANDLE_VALUE, nullptr, PAGE_READWRITE, static_cast<DWORD>(bytes >> 32),
                                          static_cast<DWORD>(bytes), g_run.name.c_str());
    if (!section) {
        std::printf("cannot create a section of %u MiB (error %lu)\n", g_run.mib, ::GetLastError());
        return 1;
    }
    if (auto* fill = static_cast<unsigned char*>(::MapViewOfFile(section, FILE_MAP_WRITE, 0, 0, 0))) {
        for (unsigned long long k = 0; k < bytes; ++k) fill[k] = static_cast<unsigned char>(k * 7 + (k >> 12));
        ::UnmapViewOfFile(fill);
    }
    // The viewer's view: read-only, the whole section.
    HANDLE reader = ::OpenFileMappingW(FILE_MAP_READ, FALSE, g_run.name.c_str());
    const auto* view = static_cast<const unsigned char*>(::MapViewOfFile(reader, FILE_MAP_READ, 0, 0, 0));
    if (!view) {
        std::printf("cannot map the section\n");
        return 1;
    }
    std::printf("section   %ls, %u MiB\n", g_run.name.c_str(), g_run.mib);
    CompareScans(view, bytes);

    test::TestParentWindow host(900, 600);
    CHexDlg dialog(view, static_cast<std::int32_t>(std::min<unsigned long long>(bytes, 0x7FFFF000ull)));
    g_run.dialog = &dialog;
    const UINT_PTR timer = ::SetTimer(nullptr, 0, 50, &Start);
    dialog.Run(host.Get());
    ::KillTimer(nullptr, timer);
    ::UnmapViewOfFile(view);
    ::CloseHandle(reader);
    ::CloseHandle(section);
    return g_run.measured ? 0 : 1;
}
