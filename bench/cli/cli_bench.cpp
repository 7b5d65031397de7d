// What quillon-cli costs on top of the work it cannot avoid.
//   cli_bench.exe list [N]      (default 10000)
//     Creates N session sections, then times in one run, best of three rounds each:
//     (a) the bare walk: EnumerateSectionNames plus open, map, VirtualQuery, unmap, close per section;
//     (b) "quillon-cli list --format json" as a child process, its output going to a file.
#include <windows.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cwchar>
#include <string>
#include <vector>

#include "catalogue/object_directory.h"
#include "catalogue/section_name.h"
#include "catalogue/section_view.h"
#include "catalogue/section_walk.h"
#include "tests/cli/cli_process.h"

using namespace quillon;

namespace {

double Seconds(std::chrono::steady_clock::time_point since) {
    return std::chrono::duration<double>(std::chrono::steady_clock::now() - since).count();
}

struct MeasuringSink final : SectionSink {
    int sections = 0;
    void OnSection(const wchar_t* name, std::size_t) override {
        std::uint64_t size = 0;
        QuerySectionSize(name, size);
        ++sections;
    }
};

std::size_t Count(const std::string& text, const std::string& what) {
    std::size_t count = 0;
    for (std::size_t at = text.find(what); at != std::string::npos; at = text.find(what, at + 1)) ++count;
    return count;
}

int BenchList(int count) {
    std::vector<HANDLE> sections;
    for (int i = 0; i < count; ++i) {
        const std::wstring name = L"QuillonCliBench_" + std::to_wstring(::GetCurrentProcessId()) + L"_" + std::to_wstring(i);
        if (HANDLE h = ::CreateFileMappingW(INVALID_HANDLE_VALUE, nullptr, PAGE_READWRITE, 0, 4096 * (1 + i % 4), name.c_str()))
            sections.push_back(h);
    }
    ResolveNativeDirectoryRoutines();
    const unsigned long session = OwnSessionId();

    double walkBest = 1e9, cliBest = 1e9, startBest = 1e9;
    int walked = 0;
    std::size_t rows = 0;
    for (int round = 0; round < 3; ++round) {
        auto start = std::chrono::steady_clock::now();
        MeasuringSink sink;
        EnumerateSectionNames(session, false, sink);
        walkBest = std::min(walkBest, Seconds(start));
        walked = sink.sections;

        start = std::chrono::steady_clock::now();
        test::CliProcess list({L"list", L"--format", L"json"});
        const DWORD code = list.Wait(600000);
        cliBest = std::min(cliBest, Seconds(start));
        if (code != 0) std::printf("list exited with %lu\n", static_cast<unsigned long>(code));
        rows = Count(list.Out(), "\"name\": ");

        // The fixed cost of starting a console process under this system.
        start = std::chrono::steady_clock::now();
        test::CliProcess version({L"--version"});
        version.Wait(60000);
        startBest = std::min(startBest, Seconds(start));
    }
    std::printf("sections created: %d, found by the walk: %d, JSON rows: %u\n", static_cast<int>(sections.size()), walked,
                static_cast<unsigned>(rows));
    std::printf("(a) bare walk (walk + open/map/query/unmap/close): %.3f s\n", walkBest);
    std::printf("(b) quillon-cli list --format json (child process): %.3f s\n", cliBest);
    std::printf("    of which starting a process (quillon-cli --version): %.3f s\n", startBest);
    std::printf("ratio b/a: %.2f (goal: 1.20 or less)\n", walkBest > 0 ? cliBest / walkBest : 0.0);
    for (HANDLE h : sections) ::CloseHandle(h);
    return 0;
}

}  // namespace

int wmain(int argc, wchar_t** argv) {
    const std::wstring mode = argc > 1 ? argv[1] : L"list";
    if (mode == L"list") return BenchList(argc > 2 ? std::wcstol(argv[2], nullptr, 10) : 10000);
    std::fprintf(stderr, "usage: cli_bench.exe list [N]\n");
    return 2;
}
