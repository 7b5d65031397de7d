// What quillon-cli costs on top of the work it cannot avoid.
//   cli_bench.exe list [N]      (default 10000)
//     Creates N session sections, then times in one run, best of three rounds each:
//     (a) the bare walk: EnumerateSectionNames plus open, map, VirtualQuery, unmap, close per section;
//     (b) "quillon-cli list --format json" as a child process, its output going to a file.
//   cli_bench.exe search [MiB]  (default 256)
//     Fills a section of that size with pseudo-random bytes, then times, best of three (children: five) each:
//     (a) a plain scan of the same mapped bytes in this process (std::search with a
//         Boyer-Moore-Horspool searcher) for a pattern that is absent;
//     (f) the same scan over a view mapped afresh (mapping and first touch included);
//     (e) the shared find (FindPattern) in this process;
//     (b) "quillon-cli search PATTERN NAME" as a child process (the viewer's find, exit 1: no match);
//     (c) the same with --ignore-case, and (d) as hex with a wildcard byte.
#include <windows.h>

#include <algorithm>
#include <chrono>
#include <cstring>
#include <cstdio>
#include <cwchar>
#include <functional>
#include <string>
#include <vector>

#include "catalogue/object_directory.h"
#include "catalogue/section_name.h"
#include "catalogue/section_view.h"
#include "catalogue/section_walk.h"
#include "hexview/byte_search.h"
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

double TimeChild(const std::vector<std::wstring>& args, DWORD& code) {
    double best = 1e9;
    for (int round = 0; round < 5; ++round) {
        const auto start = std::chrono::steady_clock::now();
        test::CliProcess child(args);
        code = child.Wait(600000);
        best = std::min(best, Seconds(start));
    }
    return best;
}

int BenchSearch(int mebibytes) {
    const std::uint64_t size = static_cast<std::uint64_t>(mebibytes) << 20;
    const std::wstring name = L"QuillonCliSearchBench_" + std::to_wstring(::GetCurrentProcessId());
    HANDLE section = ::CreateFileMappingW(INVALID_HANDLE_VALUE, nullptr, PAGE_READWRITE, static_cast<DWORD>(size >> 32),
                                          static_cast<DWORD>(size), name.c_str());
    auto* bytes = section ? static_cast<unsigned char*>(::MapViewOfFile(section, FILE_MAP_WRITE, 0, 0, 0)) : nullptr;
    if (!bytes) {
        std::printf("cannot make a section of %d MiB\n", mebibytes);
        return 1;
    }
    std::uint32_t state = 2463534242u;  // xorshift32
    for (std::uint64_t k = 0; k < size; k += 4) {
        state ^= state << 13;
        state ^= state >> 17;
        state ^= state << 5;
        std::memcpy(bytes + k, &state, 4);
    }
    const std::string needle = "QuillonAbsentNeedle!";

    double scanBest = 1e9;
    bool found = false;
    for (int round = 0; round < 3; ++round) {
        const auto start = std::chrono::steady_clock::now();
        const std::boyer_moore_horspool_searcher<std::string::const_iterator> searcher(needle.begin(), needle.end());
        found = std::search(bytes, bytes + size, searcher) != bytes + size;
        scanBest = std::min(scanBest, Seconds(start));
    }
    // The same scan over a view mapped afresh each round: what any process pays to read the bytes once
    // (the mapping and the first touch of every page), as the child does.
    double freshBest = 1e9;
    for (int round = 0; round < 3; ++round) {
        const auto start = std::chrono::steady_clock::now();
        const auto* fresh = static_cast<const unsigned char*>(::MapViewOfFile(section, FILE_MAP_READ, 0, 0, 0));
        const std::boyer_moore_horspool_searcher<std::string::const_iterator> searcher(needle.begin(), needle.end());
        found = found || std::search(fresh, fresh + size, searcher) != fresh + size;
        ::UnmapViewOfFile(fresh);
        freshBest = std::min(freshBest, Seconds(start));
    }
    // The shared find itself, in this process over the same bytes, for attributing the child's time.
    double coreBest = 1e9;
    const ParsedPattern parsed = ParsePattern(std::wstring(needle.begin(), needle.end()), SearchMode::Utf8Text, true);
    for (int round = 0; round < 3; ++round) {
        const auto start = std::chrono::steady_clock::now();
        const std::vector<OffsetSpan> readable = FindReadableSpans(bytes, size);
        FindPattern(bytes, size, readable, parsed.pattern, 0, SearchDirection::Forward);
        coreBest = std::min(coreBest, Seconds(start));
    }
    DWORD textCode = 0, foldedCode = 0, hexCode = 0;
    const std::wstring pattern(needle.begin(), needle.end());
    const double textBest = TimeChild({L"search", pattern, name}, textCode);
    const double foldedBest = TimeChild({L"search", pattern, name, L"--ignore-case"}, foldedCode);
    const double hexBest =
        TimeChild({L"search", L"--hex", L"51 75 69 6C ?? 6F 6E 41 62 73 65 6E 74", name}, hexCode);
    DWORD startCode = 0;
    const double startBest = TimeChild({L"--version"}, startCode);

    std::printf("section: %d MiB, pattern \"%s\" present: %s\n", mebibytes, needle.c_str(), found ? "yes" : "no");
    std::printf("(a) plain scan in this process (std::search, BMH searcher): %.3f s\n", scanBest);
    std::printf("(f) the same scan over a freshly mapped view:              %.3f s\n", freshBest);
    std::printf("(e) FindPattern in this process (the viewer's find core):  %.3f s\n", coreBest);
    std::printf("(b) quillon-cli search, text (child process, exit %lu):      %.3f s\n",
                static_cast<unsigned long>(textCode), textBest);
    std::printf("(c) quillon-cli search --ignore-case (exit %lu):             %.3f s\n",
                static_cast<unsigned long>(foldedCode), foldedBest);
    std::printf("(d) quillon-cli search --hex with a wildcard (exit %lu):     %.3f s\n",
                static_cast<unsigned long>(hexCode), hexBest);
    std::printf("    of which starting a process (quillon-cli --version):    %.3f s\n", startBest);
    std::printf("ratio b/a: %.2f, c/a: %.2f, d/a: %.2f (goal, as for the viewer's find: 1.50 or less)\n",
                textBest / scanBest, foldedBest / scanBest, hexBest / scanBest);
    std::printf("net of the process start, against the fresh-view scan: b/f %.2f, c/f %.2f, d/f %.2f\n",
                (textBest - startBest) / freshBest, (foldedBest - startBest) / freshBest, (hexBest - startBest) / freshBest);
    ::UnmapViewOfFile(bytes);
    ::CloseHandle(section);
    return 0;
}

}  // namespace

int wmain(int argc, wchar_t** argv) {
    const std::wstring mode = argc > 1 ? argv[1] : L"list";
    if (mode == L"list") return BenchList(argc > 2 ? std::wcstol(argv[2], nullptr, 10) : 10000);
    if (mode == L"search") return BenchSearch(argc > 2 ? std::wcstol(argv[2], nullptr, 10) : 256);
    std::fprintf(stderr, "usage: cli_bench.exe list [N] | search [MiB]\n");
    return 2;
}
