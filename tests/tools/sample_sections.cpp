// Creates a handful of named sections so that a first run of Quillon under Wine has something to
// show, and keeps them alive until it is told to stop (the named event below) or its time runs out.
//   sample_sections.exe [seconds]
#include <windows.h>
#include <sddl.h>

#include <cstdio>
#include <cwchar>
#include <vector>

namespace {

struct Sample {
    const wchar_t* name;
    DWORD size;
    DWORD protect;
    bool denyRead;
};

const Sample kSamples[] = {
    {L"Global\\QuillonSampleShared", 65536, PAGE_READWRITE | SEC_COMMIT, false},
    {L"Global\\QuillonSampleTiny", 100, PAGE_READWRITE | SEC_COMMIT, false},
    {L"QuillonSampleSession", 45056, PAGE_READWRITE | SEC_COMMIT, false},
    {L"QuillonSampleOnePage", 4096, PAGE_READWRITE | SEC_COMMIT, false},
    {L"QuillonSampleReserved", 1 << 20, PAGE_READWRITE | SEC_RESERVE, false},
    {L"QuillonSampleLocked", 8192, PAGE_READWRITE | SEC_COMMIT, true},
};

}  // namespace

int wmain(int argc, wchar_t** argv) {
    const DWORD seconds = argc > 1 ? static_cast<DWORD>(std::wcstoul(argv[1], nullptr, 10)) : 3600;
    std::vector<HANDLE> handles;
    for (const Sample& sample : kSamples) {
        SECURITY_ATTRIBUTES security{};
        PSECURITY_DESCRIPTOR descriptor = nullptr;
        if (sample.denyRead) {
            ::ConvertStringSecurityDescriptorToSecurityDescriptorW(L"D:(D;;0x4;;;WD)(A;;GA;;;WD)", SDDL_REVISION_1,
                                                                   &descriptor, nullptr);
            security.nLength = sizeof(security);
            security.lpSecurityDescriptor = descriptor;
        }
        HANDLE h = ::CreateFileMappingW(INVALID_HANDLE_VALUE, descriptor ? &security : nullptr, sample.protect, 0,
                                        sample.size, sample.name);
        if (descriptor) ::LocalFree(descriptor);
        if (!h) continue;
        handles.push_back(h);
        if ((sample.protect & SEC_RESERVE) || sample.denyRead) continue;
        if (auto* bytes = static_cast<unsigned char*>(::MapViewOfFile(h, FILE_MAP_WRITE, 0, 0, 0))) {
            const char banner[] = "Quillon sample section: hello from shared memory!";
            for (DWORD k = 0; k < sample.size; ++k)
                bytes[k] = k < sizeof(banner) - 1 ? static_cast<unsigned char>(banner[k]) : static_cast<unsigned char>(k * 7);
            ::UnmapViewOfFile(bytes);
        }
    }
    HANDLE stop = ::CreateEventW(nullptr, TRUE, FALSE, L"QuillonSampleSectionsStop");
    std::printf("%u sample sections ready\n", static_cast<unsigned>(handles.size()));
    std::fflush(stdout);
    ::WaitForSingleObject(stop, seconds * 1000);
    for (HANDLE h : handles) ::CloseHandle(h);
    if (stop) ::CloseHandle(stop);
    return 0;
}
