#include "inspect/view_facts.h"

#include <windows.h>
#include <psapi.h>

#include <cstdint>

#include "common/readable_memory.h"

namespace quillon {

namespace {

bool StartsWith(const std::wstring& text, const wchar_t* head) {
    const std::wstring::size_type length = std::char_traits<wchar_t>::length(head);
    return text.size() >= length && text.compare(0, length, head) == 0;
}

// "\Device\HarddiskVolume3" -> "C:" for every drive letter whose device name is a prefix of `path`.
std::wstring DriveForDevicePath(const std::wstring& path) {
    wchar_t drives[512];
    const DWORD length = ::GetLogicalDriveStringsW(static_cast<DWORD>(sizeof(drives) / sizeof(drives[0])), drives);
    if (length == 0 || length >= sizeof(drives) / sizeof(drives[0])) return path;
    for (const wchar_t* drive = drives; *drive; drive += std::char_traits<wchar_t>::length(drive) + 1) {
        const wchar_t letter[3] = {drive[0], L':', L'\0'};
        wchar_t device[MAX_PATH];
        if (!::QueryDosDeviceW(letter, device, MAX_PATH)) continue;
        const std::wstring prefix(device);
        if (path.size() > prefix.size() && path.compare(0, prefix.size(), prefix) == 0 && path[prefix.size()] == L'\\')
            return letter + path.substr(prefix.size());
    }
    return path;
}

}  // namespace

std::vector<ViewRegion> CollectViewRegions(const void* base) {
    std::vector<ViewRegion> regions;
    if (!base) return regions;
    const auto start = reinterpret_cast<std::uintptr_t>(base);
    std::uintptr_t at = start;
    for (;;) {
        MEMORY_BASIC_INFORMATION info{};
        if (::VirtualQuery(reinterpret_cast<const void*>(at), &info, sizeof(info)) != sizeof(info)) break;
        if (info.AllocationBase != base || info.State == MEM_FREE || info.RegionSize == 0) break;
        ViewRegion region;
        region.begin = at - start;
        region.end = region.begin + info.RegionSize;
        region.state = info.State == MEM_COMMIT ? RegionState::Committed : RegionState::Reserved;
        region.readable = IsReadableRegion(info);
        regions.push_back(region);
        const std::uintptr_t next = reinterpret_cast<std::uintptr_t>(info.BaseAddress) + info.RegionSize;
        if (next <= at) break;  // the top of the address space
        at = next;
    }
    return regions;
}

std::wstring MappedFileDrivePath(const void* view, unsigned long& error) {
    error = 0;
    std::wstring path(1024, L'\0');
    for (;;) {
        const DWORD length = ::GetMappedFileNameW(::GetCurrentProcess(), const_cast<void*>(view), &path[0],
                                                  static_cast<DWORD>(path.size()));
        if (length == 0) {
            error = ::GetLastError();
            return std::wstring();
        }
        if (length < path.size() - 1 || path.size() >= 32768) {
            path.resize(length);
            return DrivePathFromNativePath(path);
        }
        path.assign(path.size() * 4, L'\0');
    }
}

std::wstring DrivePathFromNativePath(const std::wstring& path) {
    if (StartsWith(path, L"\\??\\") || StartsWith(path, L"\\\\?\\")) {
        std::wstring rest = path.substr(4);
        if (StartsWith(rest, L"UNC\\")) return L"\\\\" + rest.substr(4);
        return rest;
    }
    if (StartsWith(path, L"\\Device\\")) return DriveForDevicePath(path);
    return path;
}

}  // namespace quillon
