// How much the section list adds to the bare cost of listing sections.
//   enumeration_bench.exe [N]   (default 1000)
// Creates N session sections, then times in one run:
//   (a) the floor: both directory walks plus open, map, VirtualQuery, unmap and close per section;
//   (b) filling a real, visible section list from the same walk.
#include <windows.h>
#include <commctrl.h>

#include <chrono>
#include <cstdio>
#include <cwchar>
#include <string>
#include <vector>

#include "catalogue/object_directory.h"
#include "catalogue/quillon_view.h"
#include "catalogue/section_view.h"
#include "tests/support/test_windows.h"

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

}  // namespace

int wmain(int argc, wchar_t** argv) {
    const int count = argc > 1 ? std::wcstol(argv[1], nullptr, 10) : 1000;
    INITCOMMONCONTROLSEX icc{sizeof(icc), ICC_BAR_CLASSES};
    ::InitCommonControlsEx(&icc);

    std::vector<HANDLE> sections;
    for (int i = 0; i < count; ++i) {
        const std::wstring name = L"QuillonBench_" + std::to_wstring(::GetCurrentProcessId()) + L"_" + std::to_wstring(i);
        if (HANDLE h = ::CreateFileMappingW(INVALID_HANDLE_VALUE, nullptr, PAGE_READWRITE, 0, 4096 * (1 + i % 4), name.c_str()))
            sections.push_back(h);
    }
    DWORD session = 0;
    ::ProcessIdToSessionId(::GetCurrentProcessId(), &session);
    ResolveNativeDirectoryRoutines();
    const std::wstring sessionPath = SessionDirectoryPath(session);

    auto start = std::chrono::steady_clock::now();
    MeasuringSink floor;
    EnumerateDirectory(kGlobalDirectoryPath, kGlobalPrefix, floor);
    EnumerateDirectory(sessionPath.c_str(), nullptr, floor);
    const double floorSeconds = Seconds(start);

    test::TestParentWindow host(1000, 700);
    CQuillonView view;
    view.Create(host.Get());
    ::SetWindowPos(view.Window(), nullptr, 0, 0, 980, 650, SWP_NOZORDER);
    view.InsertColumns();
    test::PumpMessages();

    start = std::chrono::steady_clock::now();
    view.Refresh(session);
    test::PumpMessages();
    const double listSeconds = Seconds(start);

    std::printf("sections created: %d, found by the walk: %d, rows listed: %d\n", static_cast<int>(sections.size()),
                floor.sections, view.RowCount());
    std::printf("(a) floor (walk + open/map/query/unmap/close): %.3f s\n", floorSeconds);
    std::printf("(b) EnumerateSections into a visible list:      %.3f s\n", listSeconds);
    std::printf("ratio b/a: %.2f\n", floorSeconds > 0 ? listSeconds / floorSeconds : 0.0);

    for (HANDLE h : sections) ::CloseHandle(h);
    return 0;
}
