// quillon-cli watch: prints each changed byte range of a section until --count looks or Ctrl+C.
#include <windows.h>

#include <cstdio>

#include "catalogue/section_view.h"
#include "cli/byte_watch.h"
#include "cli/commands.h"
#include "cli/exit_codes.h"
#include "cli/number_text.h"
#include "cli/section_access.h"
#include "common/unique_resource.h"

namespace quillon::cli {

namespace {

// The console's control handler runs on a thread of its own and can only reach the loop through
// something global: the event it sets.
HANDLE g_stopWatching = nullptr;

BOOL WINAPI OnConsoleControl(DWORD) noexcept {
    if (g_stopWatching) ::SetEvent(g_stopWatching);
    return TRUE;  // handled: the watch ends normally, with its output flushed
}

// "2026-12-11T10:17:30.123Z": UTC, so lines from different machines compare.
std::string Timestamp() {
    SYSTEMTIME now{};
    ::GetSystemTime(&now);
    char text[32];
    std::snprintf(text, sizeof(text), "%04u-%02u-%02uT%02u:%02u:%02u.%03uZ", now.wYear, now.wMonth, now.wDay, now.wHour,
                  now.wMinute, now.wSecond, now.wMilliseconds);
    return text;
}

}  // namespace

int RunWatch(const Invocation& invocation, CliContext& context) {
    const std::wstring& name = invocation.operands[0];
    SectionView view;
    ByteSpan span;
    if (const int failed = OpenSectionSpan(invocation, context, view, span); failed != kExitDone) return failed;

    const std::uint64_t interval = invocation.Number(L"--interval", 1000);
    const bool counted = invocation.Has(L"--count");
    std::uint64_t looksLeft = invocation.Number(L"--count", 0);

    UniqueHandle stop(::CreateEventW(nullptr, TRUE, FALSE, nullptr));
    g_stopWatching = stop.Get();
    ::SetConsoleCtrlHandler(&OnConsoleControl, TRUE);

    ByteWatch watch(view.Base(), span.begin, span.end);
    context.Notice(name, "watching " + HexText(span.begin) + "-" + HexText(span.end ? span.end - 1 : 0) + " every " +
                             std::to_string(interval) + " ms");
    const DWORD wait = interval >= INFINITE ? INFINITE - 1 : static_cast<DWORD>(interval);
    while (!counted || looksLeft > 0) {
        if (::WaitForSingleObject(stop.Get(), wait) != WAIT_TIMEOUT) break;
        const std::string stamp = Timestamp();
        watch.Look([&](const ByteChange& change) {
            context.out << stamp << ' ' << HexText(change.begin) << '-' << HexText(change.end - 1) << ' '
                        << change.before << " -> " << change.after << '\n';
        });
        if (!context.out.Flush()) break;  // nobody reads any more (a closed pipe)
        if (counted) --looksLeft;
    }
    ::SetConsoleCtrlHandler(&OnConsoleControl, FALSE);
    g_stopWatching = nullptr;
    return kExitDone;
}

}  // namespace quillon::cli
