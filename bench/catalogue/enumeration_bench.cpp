// How much the section list adds to the bare cost of listing sections.
//   enumeration_bench.exe [N] [L] [R]   (defaults 1000, 0 and 3)
// Creates N session sections, L of them with 1,100-character names, then times in one run:
//   (r) a reference walk written here with nothing but the native calls: one 2,048-byte query per
//       entry, then OpenFileMappingW, map, VirtualQuery, unmap and close per section;
//   (a) the floor: the product's directory walks plus open, map, VirtualQuery, unmap and close;
//   (b) filling a real, visible section list from the same walk.
// Each pass runs R times, alternating, and the best time of each is printed. The reference stops at a
// record it cannot hold, so with L > 0 it finds fewer sections.
#include <windows.h>
#include <commctrl.h>
#include <winternl.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstring>
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

using QueryFn = NTSTATUS(NTAPI*)(HANDLE, PVOID, ULONG, BOOLEAN, BOOLEAN, PULONG, PULONG);
using OpenFn = NTSTATUS(NTAPI*)(PHANDLE, ACCESS_MASK, POBJECT_ATTRIBUTES);

// The reference walk of one directory: the least any listing of it can do.
int ReferenceWalk(const std::wstring& path, const std::wstring& prefix) {
    HMODULE ntdll = ::GetModuleHandleW(L"ntdll.dll");
    auto query = reinterpret_cast<QueryFn>(reinterpret_cast<void*>(::GetProcAddress(ntdll, "NtQueryDirectoryObject")));
    auto open = reinterpret_cast<OpenFn>(reinterpret_cast<void*>(::GetProcAddress(ntdll, "NtOpenDirectoryObject")));
    UNICODE_STRING name;
    name.Buffer = const_cast<wchar_t*>(path.c_str());
    name.Length = name.MaximumLength = static_cast<USHORT>(path.size() * sizeof(wchar_t));
    OBJECT_ATTRIBUTES attributes;
    std::memset(&attributes, 0, sizeof(attributes));
    attributes.Length = sizeof(attributes);
    attributes.ObjectName = &name;
    HANDLE directory = nullptr;
    if (open(&directory, 1, &attributes) < 0) return 0;
    struct Record {
        UNICODE_STRING name, type;
    };
    ULONG buffer[512];
    ULONG context = 0;
    int found = 0;
    wchar_t text[1100];
    for (BOOLEAN restart = TRUE; query(directory, buffer, sizeof(buffer), TRUE, restart, &context, nullptr) >= 0; restart = FALSE) {
        const auto* record = reinterpret_cast<const Record*>(buffer);
        if (record->type.Length != 14 || std::wmemcmp(record->type.Buffer, L"Section", 7) != 0) continue;
        const std::size_t length = record->name.Length / sizeof(wchar_t);
        std::wmemcpy(text, prefix.c_str(), prefix.size());
        std::wmemcpy(text + prefix.size(), record->name.Buffer, length);
        text[prefix.size() + length] = L'\0';
        if (HANDLE mapping = ::OpenFileMappingW(FILE_MAP_READ, FALSE, text)) {
            if (void* view = ::MapViewOfFile(mapping, FILE_MAP_READ, 0, 0, 0)) {
                MEMORY_BASIC_INFORMATION info;
                ::VirtualQuery(view, &info, sizeof(info));
                ::UnmapViewOfFile(view);
            }
            ::CloseHandle(mapping);
        }
        ++found;
    }
    ::CloseHandle(directory);
    return found;
}

}  // namespace

int wmain(int argc, wchar_t** argv) {
    const int count = argc > 1 ? std::wcstol(argv[1], nullptr, 10) : 1000;
    const int longCount = argc > 2 ? std::wcstol(argv[2], nullptr, 10) : 0;
    const int rounds = argc > 3 ? std::max(1, static_cast<int>(std::wcstol(argv[3], nullptr, 10))) : 3;
    INITCOMMONCONTROLSEX icc{sizeof(icc), ICC_BAR_CLASSES};
    ::InitCommonControlsEx(&icc);

    // The long names are spread evenly through the creation order.
    const int step = longCount > 0 && count / longCount > 0 ? count / longCount : 1;
    std::vector<HANDLE> sections;
    for (int i = 0; i < count; ++i) {
        std::wstring name = L"QuillonBench_" + std::to_wstring(::GetCurrentProcessId()) + L"_" + std::to_wstring(i);
        if (longCount > 0 && i % step == step / 2 && i / step < longCount) name.append(1100 - name.size(), L'L');
        if (HANDLE h = ::CreateFileMappingW(INVALID_HANDLE_VALUE, nullptr, PAGE_READWRITE, 0, 4096 * (1 + i % 4), name.c_str()))
            sections.push_back(h);
    }
    DWORD session = 0;
    ::ProcessIdToSessionId(::GetCurrentProcessId(), &session);
    ResolveNativeDirectoryRoutines();
    const std::wstring sessionPath = SessionDirectoryPath(session);

    test::TestParentWindow host(1000, 700);
    CQuillonView view;
    view.Create(host.Get());
    ::SetWindowPos(view.Window(), nullptr, 0, 0, 980, 650, SWP_NOZORDER);
    view.InsertColumns();
    test::PumpMessages();

    // The machine's load varies, so the three passes take turns and each keeps its best time.
    ReferenceWalk(sessionPath, L"");  // warms the caches the first walk of a run would pay for alone
    double referenceSeconds = 1e9, floorSeconds = 1e9, listSeconds = 1e9;
    int referenceFound = 0;
    MeasuringSink floor;
    for (int round = 0; round < rounds; ++round) {
        auto start = std::chrono::steady_clock::now();
        referenceFound = ReferenceWalk(kGlobalDirectoryPath, kGlobalPrefix) + ReferenceWalk(sessionPath, L"");
        referenceSeconds = std::min(referenceSeconds, Seconds(start));

        start = std::chrono::steady_clock::now();
        floor.sections = 0;
        EnumerateDirectory(kGlobalDirectoryPath, kGlobalPrefix, floor);
        EnumerateDirectory(sessionPath.c_str(), nullptr, floor);
        floorSeconds = std::min(floorSeconds, Seconds(start));

        start = std::chrono::steady_clock::now();
        view.Refresh(session);
        test::PumpMessages();
        listSeconds = std::min(listSeconds, Seconds(start));
    }

    std::printf("sections created: %d (%d with long names), found by the reference walk: %d, by the walk: %d, rows listed: %d\n",
                static_cast<int>(sections.size()), longCount, referenceFound, floor.sections, view.RowCount());
    std::printf("(r) reference walk + open/map/query/unmap/close: %.3f s\n", referenceSeconds);
    std::printf("(a) floor (walk + open/map/query/unmap/close): %.3f s\n", floorSeconds);
    std::printf("(b) EnumerateSections into a visible list:      %.3f s\n", listSeconds);
    std::printf("ratio a/r: %.2f, b/r: %.2f, b/a: %.2f\n", referenceSeconds > 0 ? floorSeconds / referenceSeconds : 0.0,
                referenceSeconds > 0 ? listSeconds / referenceSeconds : 0.0, floorSeconds > 0 ? listSeconds / floorSeconds : 0.0);

    for (HANDLE h : sections) ::CloseHandle(h);
    return 0;
}
