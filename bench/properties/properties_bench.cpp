// The Properties command with a crowded namespace and handle table.
//   properties_bench.exe [N] [rounds]   (default 10000 sections, 5 rounds)
// Creates N named sections (held by this process) and hands a copy of every handle to a second,
// suspended process, so the handle table holds 2N section handles in two processes: the walk names
// N of them in place and duplicates the other N. Then, per round, for one of the sections:
//   the handle walk alone (FindSectionHolders);
//   the whole report (GatherSectionReport);
//   the command on the real main frame, from WM_COMMAND until the dialog has painted, and until its
//   Handles row, which a background walk fills in, has painted as well.
// Prints the median and the slowest round of each.
#include <windows.h>
#include <commctrl.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <string>
#include <vector>

#include "catalogue/list_rows.h"
#include "catalogue/section_name.h"
#include "inspect/handle_holders.h"
#include "inspect/section_report.h"
#include "properties/properties_dialog.h"
#include "resources/resource.h"
#include "shell/app_module.h"
#include "shell/main_frame.h"
#include "shell/message_loop.h"
#include "tests/support/test_sections.h"
#include "tests/support/test_windows.h"

using namespace quillon;

namespace {

using Clock = std::chrono::steady_clock;

double Ms(Clock::time_point since) { return std::chrono::duration<double, std::milli>(Clock::now() - since).count(); }

void Print(const char* what, std::vector<double> figures) {
    std::sort(figures.begin(), figures.end());
    std::printf("%-52s median %8.1f ms   slowest %8.1f ms\n", what, figures[figures.size() / 2], figures.back());
}

// Notes when the dialog has painted: its regions strip drew (WM_DRAWITEM) and its modal loop then
// found no message left, paint messages included (the first WM_ENTERIDLE to the owner); and when
// the Handles row, filled in by the background walk, has painted too. Then ends the dialog.
struct PaintWatch {
    static inline Clock::time_point painted{};
    static inline Clock::time_point handlesShown{};
    static inline bool strip = false;
    static inline bool done = false;
    static inline bool handlesArrived = false;
    static inline bool handlesDone = false;
    static inline HHOOK sentHook = nullptr;
    static inline HHOOK postedHook = nullptr;

    static void Reset() { strip = done = handlesArrived = handlesDone = false; }

    static LRESULT CALLBACK AfterMessage(int code, WPARAM wParam, LPARAM lParam) {
        const auto* message = reinterpret_cast<const CWPRETSTRUCT*>(lParam);
        if (code == HC_ACTION && message) {
            if (message->message == WM_DRAWITEM && message->wParam == IDC_PROPERTIES_STRIP) strip = true;
            if (message->message == WM_ENTERIDLE && message->wParam == MSGF_DIALOGBOX && strip) {
                if (!done) {
                    done = true;
                    painted = Clock::now();
                }
                if (handlesArrived && !handlesDone) {
                    handlesDone = true;
                    handlesShown = Clock::now();
                    ::PostMessageW(reinterpret_cast<HWND>(message->lParam), WM_COMMAND, IDCANCEL, 0);
                }
            }
        }
        return ::CallNextHookEx(sentHook, code, wParam, lParam);
    }
    static LRESULT CALLBACK Retrieved(int code, WPARAM wParam, LPARAM lParam) {
        const auto* message = reinterpret_cast<const MSG*>(lParam);
        if (code == HC_ACTION && message && message->message == CPropertiesDlg::kHandlesFound) handlesArrived = true;
        return ::CallNextHookEx(postedHook, code, wParam, lParam);
    }
};

}  // namespace

int wmain(int argc, wchar_t** argv) {
    std::setvbuf(stdout, nullptr, _IONBF, 0);
    const int count = argc > 1 ? _wtoi(argv[1]) : 10000;
    const int rounds = argc > 2 ? _wtoi(argv[2]) : 5;

    // The second process that holds a copy of every section handle.
    wchar_t self[MAX_PATH];
    ::GetModuleFileNameW(nullptr, self, MAX_PATH);
    std::wstring command = L"\"" + std::wstring(self) + L"\" 0 0";
    STARTUPINFOW startup{};
    startup.cb = sizeof(startup);
    PROCESS_INFORMATION child{};
    if (count > 0 && !::CreateProcessW(self, &command[0], nullptr, nullptr, FALSE, CREATE_SUSPENDED, nullptr, nullptr,
                                       &startup, &child)) {
        std::printf("cannot start the holder process\n");
        return 1;
    }
    if (count == 0) return 0;

    const auto createStart = Clock::now();
    std::vector<HANDLE> sections;
    std::vector<std::wstring> names;
    for (int i = 0; i < count; ++i) {
        names.push_back(test::UniqueName(L"QuillonPropsBench"));
        HANDLE section = ::CreateFileMappingW(INVALID_HANDLE_VALUE, nullptr, PAGE_READWRITE, 0, 4096, names.back().c_str());
        if (!section) break;
        sections.push_back(section);
        HANDLE copy = nullptr;
        ::DuplicateHandle(::GetCurrentProcess(), section, child.hProcess, &copy, 0, FALSE, DUPLICATE_SAME_ACCESS);
    }
    std::printf("%zu sections created and handed to process %lu in %.0f ms\n", sections.size(), child.dwProcessId,
                Ms(createStart));

    SectionLocation location;
    LocateSection(names[count / 2], OwnSessionId(), location);
    std::vector<double> walks, reports, dialogs, withHandles;
    HandleWalk lastWalk;
    for (int round = 0; round < rounds; ++round) {
        HANDLE probe = nullptr;
        ::DuplicateHandle(::GetCurrentProcess(), sections[count / 2], ::GetCurrentProcess(), &probe, 0, FALSE,
                          DUPLICATE_SAME_ACCESS);
        auto start = Clock::now();
        lastWalk = FindSectionHolders(location.objectPath, probe);
        walks.push_back(Ms(start));
        ::CloseHandle(probe);
        start = Clock::now();
        const SectionReport report = GatherSectionReport(names[count / 2]);
        reports.push_back(Ms(start));
    }
    std::printf("handle table: %zu handles, %zu of them sections; %zu holders found; by address: %s\n",
                lastWalk.handlesInTable, lastWalk.sectionHandles, lastWalk.holders.size(),
                lastWalk.matchedByAddress ? "yes" : "no");

    // The real frame; its first fill lists every section (not timed here).
    AppModule().Init(::GetModuleHandleW(nullptr));
    CMessageLoop loop;
    AppModule().AddMessageLoop(&loop);
    {
        CMainFrame frame;
        const auto fillStart = Clock::now();
        frame.CreateEx();
        ::ShowWindow(frame.Window(), SW_SHOWNORMAL);
        test::PumpMessages();
        std::printf("frame created and filled in %.0f ms (not part of the figures)\n", Ms(fillStart));
        const int row = test::FindRow(frame.ListWindow(), names[count / 2]);
        SelectOneRow(frame.ListWindow(), row);
        PaintWatch::sentHook = ::SetWindowsHookExW(WH_CALLWNDPROCRET, &PaintWatch::AfterMessage, nullptr, ::GetCurrentThreadId());
        PaintWatch::postedHook = ::SetWindowsHookExW(WH_GETMESSAGE, &PaintWatch::Retrieved, nullptr, ::GetCurrentThreadId());
        // Should a paint never be seen, the dialog still ends.
        test::ModalAnswerer safety([](HWND dialog) {
            ::PostMessageW(dialog, WM_COMMAND, IDCANCEL, 0);
            return true;
        }, 20000);
        for (int round = 0; round < rounds; ++round) {
            PaintWatch::Reset();
            const auto start = Clock::now();
            ::SendMessageW(frame.Window(), WM_COMMAND, MAKEWPARAM(ID_EDIT_PROPERTIES, 0), 0);
            if (!PaintWatch::done || !PaintWatch::handlesDone) {
                std::printf("round %d: the dialog did not paint\n", round);
                continue;
            }
            dialogs.push_back(std::chrono::duration<double, std::milli>(PaintWatch::painted - start).count());
            withHandles.push_back(std::chrono::duration<double, std::milli>(PaintWatch::handlesShown - start).count());
        }
        ::UnhookWindowsHookEx(PaintWatch::sentHook);
        ::UnhookWindowsHookEx(PaintWatch::postedHook);
        ::DestroyWindow(frame.Window());
        test::PumpMessages();
    }
    AppModule().RemoveMessageLoop();

    std::printf("\n%d sections, %d rounds\n", count, rounds);
    Print("handle walk alone", walks);
    Print("whole report (GatherSectionReport)", reports);
    if (!dialogs.empty()) Print("command to painted dialog", dialogs);
    if (!withHandles.empty()) Print("command to painted Handles row (background walk)", withHandles);

    ::TerminateProcess(child.hProcess, 0);
    ::CloseHandle(child.hProcess);
    ::CloseHandle(child.hThread);
    for (HANDLE section : sections) ::CloseHandle(section);
    return 0;
}
